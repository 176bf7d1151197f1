#pragma once

// Which selected devices the main window's diagnostics commands hand on: pure
// functions of the devices' type, versions and repeater word.

#include <QList>
#include <QString>
#include <QStringList>
#include <QVersionNumber>

// Whether a device of that type, hardware and firmware keeps radio
// statistics. Types without a rule always do; a null firmware passes no rule
// with a firmware bound.
bool statisticsVersionGate(int type, const QVersionNumber &hardware, const QVersionNumber &firmware);

// Pings a request cycle of the statistics and link-quality runs for the
// master's exchange interval: twice its whole seconds, at least 1.
quint32 diagnosticsAttemptLimit(int exchangeIntervalMs);

// A device offered to the link-quality test.
struct LqiCandidate
{
    int type = 0;
    quint32 auxValue = 0;       // the repeater word; non-zero through a repeater
    bool testsThroughRepeater = false; // DeviceItem::isFeatureSupported(0)
    QString modelName;
    QVersionNumber firmware;
    QVersionNumber hardware;
};

struct LqiSelection
{
    QList<int> tested;       // positions of the devices to test, in order
    bool throughRepeater = false; // some device works through (or is) a repeater
    QStringList unsupported; // "model fw x hw y" of devices left out, once each
};

// Devices working through a repeater whose version cannot test through one
// are left out and named; repeaters in use and such devices count as
// working through a repeater.
LqiSelection selectForLqiTest(const QList<LqiCandidate> &devices);

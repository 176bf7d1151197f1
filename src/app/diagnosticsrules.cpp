#include "diagnosticsrules.h"

#include "appglobals.h"
#include "versiontext.h"

#include <QCoreApplication>

namespace {
using V = QVersionNumber;

bool from(const V &firmware, int major, int minor)
{
    return firmware >= V(major, minor);
}

bool between(const V &firmware, int major, int minor, int toMajor, int toMinor)
{
    return firmware >= V(major, minor) && firmware < V(toMajor, toMinor);
}
} // namespace

bool statisticsVersionGate(int type, const QVersionNumber &hardware, const QVersionNumber &firmware)
{
    const bool hw1 = hardware.segmentCount() > 0 && hardware.majorVersion() == 1;
    const V &fw = firmware;
    switch (type) {
    case 0:
    case 10:
    case 31:
    case 17:
    case 34:
    case 27:
    case 28:
    case 50:
    case 29:
    case 53:
    case 55:
    case 30:
    case 32:
    case 57:
    case 67:
        return from(fw, 1, 0);
    case 2:
    case 5:
        return !hw1 && from(fw, 1, 20);
    case 3:
        return hw1 ? from(fw, 1, 5) : from(fw, 1, 11);
    case 4:
        return hw1 ? between(fw, 1, 0, 1, 13) : from(fw, 1, 0);
    case 6:
        return hw1 ? between(fw, 1, 0, 1, 9) : from(fw, 1, 5);
    case 7:
        return hw1 ? between(fw, 1, 2, 1, 7) : from(fw, 1, 5);
    case 13:
        return hw1 || hardware == V(2, 6) ? from(fw, 1, 1) : between(fw, 1, 12, 1, 17);
    case 14:
    case 18:
        return hw1 ? between(fw, 1, 0, 1, 10) : from(fw, 1, 0);
    case 15:
    case 23:
    case 66:
        return false;
    case 20:
        return !hw1 && from(fw, 1, 10);
    case 22:
        return from(fw, 1, 1);
    case 26:
        return hw1 ? between(fw, 1, 0, 1, 7) : from(fw, 1, 0);
    case 56:
        return from(fw, 1, 2);
    default:
        return true;
    }
}

quint32 diagnosticsAttemptLimit(int exchangeIntervalMs)
{
    return quint32(qMax(1, 2 * (qMax(0, exchangeIntervalMs) / 1000)));
}

LqiSelection selectForLqiTest(const QList<LqiCandidate> &devices)
{
    LqiSelection selection;
    for (int i = 0; i < devices.size(); ++i) {
        const LqiCandidate &d = devices.at(i);
        if (repeaterDeviceTypes.contains(d.type) && ((d.auxValue & 0xF) != 0 || d.auxValue > 0xF0))
            selection.throughRepeater = true;
    }
    for (int i = 0; i < devices.size(); ++i) {
        const LqiCandidate &d = devices.at(i);
        if (d.auxValue != 0 && !d.testsThroughRepeater) {
            const QString line = QCoreApplication::translate("MainWindow", "%1 fw %2 hw %3")
                                     .arg(d.modelName, versionToString(d.firmware), versionToString(d.hardware));
            if (!selection.unsupported.contains(line))
                selection.unsupported << line;
            selection.throughRepeater = true;
            continue;
        }
        selection.tested << i;
    }
    return selection;
}

#pragma once

#include "discovereddevice.h"
#include "hubroinfo.h"

#include <QObject>
#include <QStringList>

// Looks for reachable masters in one way. Every run started by start() reports each master
// with deviceDiscovered and ends with exactly one discoveryFinished; a finished run can be
// started again. Agents may emit from threads of their own: connect with automatic or
// queued connections.
class DeviceDiscoveryAgent : public QObject
{
    Q_OBJECT
public:
    explicit DeviceDiscoveryAgent(QObject *parent = nullptr);

    virtual void start() = 0;

    // Debug line "Available modules: (...)" listing the modules of a status record.
    static void logModules(const hubroInfo_t &info);
    // The entries of that line, in order.
    static QStringList moduleTexts(const hubroInfo_t &info);

signals:
    void deviceDiscovered(DiscoveredDevice device);
    // -1: the run ended normally.
    void discoveryFinished(int state = -1);
};

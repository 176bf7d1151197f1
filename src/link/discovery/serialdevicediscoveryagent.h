#pragma once

#include "portdiscoveryagent.h"

// Finds masters connected directly to a serial (USB) port: status request in a serial
// frame at 38462 baud.
class SerialDeviceDiscoveryAgent : public PortDiscoveryAgent
{
    Q_OBJECT
public:
    static constexpr qint32 BaudRate = 38462;
    static constexpr ProbeTiming DefaultTiming{75, 20};

    explicit SerialDeviceDiscoveryAgent(QObject *parent = nullptr);
};

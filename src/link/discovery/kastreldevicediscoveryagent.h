#pragma once

#include "portdiscoveryagent.h"

// Finds masters on the wired Kastrel bus behind a serial port: status request in an
// envelope for bus address 0x7F at 9600 baud.
class KastrelDeviceDiscoveryAgent : public PortDiscoveryAgent
{
    Q_OBJECT
public:
    static constexpr qint32 BaudRate = 9600;
    static constexpr ProbeTiming DefaultTiming{200, 100};

    explicit KastrelDeviceDiscoveryAgent(QObject *parent = nullptr);
};

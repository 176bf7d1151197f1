#include "serialdevicediscoveryagent.h"

SerialDeviceDiscoveryAgent::SerialDeviceDiscoveryAgent(QObject *parent)
    : PortDiscoveryAgent({SerialProbeHex, BaudRate, QStringLiteral("[Serial] "), tr("[Serial] Probing port "),
                          tr("[Serial] Response: "), false, parseSerialProbeAnswer},
                         DefaultTiming, parent)
{
}

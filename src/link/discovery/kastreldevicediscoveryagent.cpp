#include "kastreldevicediscoveryagent.h"

KastrelDeviceDiscoveryAgent::KastrelDeviceDiscoveryAgent(QObject *parent)
    : PortDiscoveryAgent({KastrelProbeHex, BaudRate, QStringLiteral("[Kastrel] "), tr("[Kastrel] Probing port "),
                          tr("[Kastrel] Response: "), true, parseKastrelProbeAnswer},
                         DefaultTiming, parent)
{
}

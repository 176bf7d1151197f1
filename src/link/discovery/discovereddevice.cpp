#include "discovereddevice.h"

bool DiscoveredDevice::operator==(const DiscoveredDevice &other) const
{
    return serialNumber == other.serialNumber && protocolVersion == other.protocolVersion
        && deviceType == other.deviceType && passwordEnabled == other.passwordEnabled
        && connectionType == other.connectionType && updateMode == other.updateMode
        && hardwareVersion == other.hardwareVersion && mk2FirmwareVersion == other.mk2FirmwareVersion
        && mk1FirmwareVersion == other.mk1FirmwareVersion && address == other.address
        && modules == other.modules;
}

void registerDiscoveredDeviceMetaType()
{
    registerConnectionMetaTypes();
    qRegisterMetaType<DiscoveredDevice>("DiscoveredDevice");
}

QDebug operator<<(QDebug debug, const DiscoveredDevice &device)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "DiscoveredDevice(" << device.address << ", type " << int(device.deviceType)
                    << ", serial " << device.serialNumber << ", protocol " << device.protocolVersion
                    << ", kind " << int(device.connectionType) << ", update " << device.updateMode
                    << ", password " << device.passwordEnabled << ", hw " << device.hardwareVersion
                    << ", mk2 " << device.mk2FirmwareVersion << ", mk1 " << device.mk1FirmwareVersion
                    << ", modules " << int(device.modules) << ')';
    return debug;
}

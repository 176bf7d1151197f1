#pragma once

#include "connectiontypes.h"

#include <QDebug>
#include <QMetaType>
#include <QString>
#include <QVersionNumber>

#include <cstdint>

// One master found by a discovery agent. A default record has all numbers 0, empty
// versions, an empty address and no module flag.
//
// The open-device dialog knows these fields under other names; they match by position:
//
//   here                 open-device dialog
//   -------------------  ------------------------------------------------------------
//   serialNumber         serialNumber (0: not known)
//   protocolVersion      the 16-bit status-record value it does not use
//   deviceType           deviceType
//   passwordEnabled      passwordSet
//   connectionType       connectionType
//   updateMode           updatingFirmware (listed as "Zentar-HUBRO32 - Updating firmware")
//   hardwareVersion      firmwareVersion: it is the HARDWARE version; its major number
//                        below 7 (or an empty version) on device type 0 gives MasterType 2
//   mk2FirmwareVersion   first of the two further versions
//   mk1FirmwareVersion   second of the two further versions
//   address              address
//   modules              modes: bit 0 Wireloop (usable as master), bit 1 Kastrel
//                        ("Zentar-TROMBEL" entry), bit 2 Bluetooth (type 141)
struct DiscoveredDevice
{
    enum Module : uint8_t {
        wireloop = 0x01,  // Wireloop bus interface
        kastrel = 0x02,   // Kastrel bus interface
        bluetooth = 0x04, // Bluetooth interface
    };

    uint32_t serialNumber = 0;
    uint32_t protocolVersion = 0;
    uint8_t deviceType = 0;
    bool passwordEnabled = false;
    ConnectionType connectionType = Serial;
    int updateMode = 0;                 // 1: answered from its firmware-update mode
    QVersionNumber hardwareVersion;     // major only
    QVersionNumber mk2FirmwareVersion;  // core firmware
    QVersionNumber mk1FirmwareVersion;  // radio firmware
    QString address;                    // port; "port:bus" on the wired bus; BLE address
    uint8_t modules = 0;                // Module flags

    bool operator==(const DiscoveredDevice &other) const;
    bool operator!=(const DiscoveredDevice &other) const { return !(*this == other); }
};
Q_DECLARE_METATYPE(DiscoveredDevice)

// Registers "DiscoveredDevice" (and the connection types it carries); safe to call repeatedly.
void registerDiscoveredDeviceMetaType();

QDebug operator<<(QDebug debug, const DiscoveredDevice &device);

#pragma once

#include <QMetaType>

// Kind of a connection, as chosen in the device dialog.
enum ConnectionType : int {
    Serial = 0,
    Kastrel = 1,
    Bluetooth = 2,
    File = 3,
    Simulation = 4,
};
Q_DECLARE_METATYPE(ConnectionType)

// Kind of the connected master, fixed when the device dialog lists it.
enum MasterType : qint32 {
    MasterOrdinary = 0,
    MasterTrombel = 1,     // reached as its wired-side "Zentar-TROMBEL" entry: address range up to 255
    MasterHubro32Slow = 2, // 32-device master with hardware below 7: 1000 ms serial transmit time-out
};
Q_DECLARE_METATYPE(MasterType)

// Link state of a device item (byte 11 of its device-info record).
enum ConnectionState : int {
    DeviceNotOnline = 0,
    DeviceNotOnlineLost = 1,
    DeviceOnline = 2,
    DeviceFromFile = 3,
};
Q_DECLARE_METATYPE(ConnectionState)

// Registers "ConnectionType", "MasterType" and "ConnectionState"; safe to call repeatedly.
inline void registerConnectionMetaTypes()
{
    qRegisterMetaType<ConnectionType>("ConnectionType");
    qRegisterMetaType<MasterType>("MasterType");
    qRegisterMetaType<ConnectionState>("ConnectionState");
}

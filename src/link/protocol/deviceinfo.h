#pragma once

#include <QByteArray>
#include <QMetaType>

#include <cstdint>

// The 21-byte device-info record of a radio device, as the master reports it
// after the packet type of PT_GET_DEV_INFO_ACK. Packed; multi-byte fields are
// little-endian on the wire (use the functions below to convert).
#pragma pack(push, 1)
struct deviceInfo_t
{
    quint8 radioAddress = 0;     // 0: number in the master's device table
    quint32 serialNumber = 0;    // 1
    quint16 firmwareVersion = 0; // 5: high byte major, low byte minor; 0xFFFF none
    quint16 hardwareVersion = 0; // 7: high byte major, low byte minor
    quint8 wireloopAddress = 0;  // 9: 0 not assigned
    quint8 deviceType = 0;       // 10: device-type code
    quint8 linkState = 0;        // 11: 2 online; 3 taken from a configuration file
    qint8 rssi = 0;              // 12: dBm
    quint32 rl = 0;              // 13: repeater word
    quint8 rlSupported = 0;      // 17: non-zero when the device reports rl
    quint8 buildNumber = 0;      // 18
    quint8 kastrelAddress = 0;   // 19
    quint8 reserved = 0;         // 20
};
#pragma pack(pop)
static_assert(sizeof(deviceInfo_t) == 21, "deviceInfo_t must be 21 bytes");
Q_DECLARE_METATYPE(deviceInfo_t)

constexpr int DeviceInfoSize = 21;

// Byte-wise equality, the reserved byte included.
bool operator==(const deviceInfo_t &a, const deviceInfo_t &b);
inline bool operator!=(const deviceInfo_t &a, const deviceInfo_t &b)
{
    return !(a == b);
}

// Reads a record from the first 21 bytes at `offset`; false (record
// untouched) when fewer bytes are there.
bool deviceInfoFromBytes(const QByteArray &bytes, int offset, deviceInfo_t *info);
// The 21 wire bytes of a record.
QByteArray deviceInfoToBytes(const deviceInfo_t &info);

// Registers "deviceInfo_t"; safe to repeat.
void registerDeviceInfoMetaType();

#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QVersionNumber>
#include <QtGlobal>

// The 24-byte header of a firmware image: the head of a firmware container's
// header line, and what the master answers for each image it keeps. All
// multi-byte fields are little-endian on the wire; the record holds them as
// numbers. The one layout of these bytes in the program: read and write them
// only through bootSectionHeaderFromBytes and bootSectionHeaderBytes.
#pragma pack(push, 1)
struct HUBRO32BootSectionHeader_t
{
    quint16 deviceType = 0;      // 0-1: device-type code the image is for
    quint16 hardwareVersion = 0; // 2-3: high byte major, low byte minor
    quint16 firmwareVersion = 0; // 4-5: the same packing
    quint8 flags = 0;            // 6: bit 0 32-bit record addresses, bit 1 build number valid
    quint8 buildNumber = 0;      // 7
    quint32 firmwareSize = 0;    // 8-11: the 100 % mark of a radio device's update
    quint16 reserved1 = 0;       // 12-13
    quint16 firmwareSum = 0;     // 14-15: 16-bit sum of the container's data-line bytes
    quint16 reserved2 = 0;       // 16-17
    quint32 buildTime = 0;       // 18-21: seconds since 1970-01-01
    quint16 reserved3 = 0;       // 22-23
};
#pragma pack(pop)
static_assert(sizeof(HUBRO32BootSectionHeader_t) == 24, "the header is 24 bytes on the wire");

Q_DECLARE_METATYPE(HUBRO32BootSectionHeader_t)

constexpr int BootSectionHeaderSize = int(sizeof(HUBRO32BootSectionHeader_t));

// The header in the first 24 bytes; missing bytes read as 0.
HUBRO32BootSectionHeader_t bootSectionHeaderFromBytes(const QByteArray &bytes);
// The 24 bytes of a header.
QByteArray bootSectionHeaderBytes(const HUBRO32BootSectionHeader_t &header);
bool operator==(const HUBRO32BootSectionHeader_t &a, const HUBRO32BootSectionHeader_t &b);
inline bool operator!=(const HUBRO32BootSectionHeader_t &a, const HUBRO32BootSectionHeader_t &b)
{
    return !(a == b);
}

// A packed version word: high byte major, low byte minor.
inline QVersionNumber versionOfPackedWord(quint16 word)
{
    return QVersionNumber(word >> 8, word & 0xFF);
}

// Registers "HUBRO32BootSectionHeader_t"; safe to repeat.
void registerBootSectionHeaderMetaType();

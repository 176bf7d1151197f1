#pragma once

// The master's own requests as bytes, and pure readers of the answers that
// carry more than their type. Every reader is given the answer's size without
// the frame's check byte (HubroStatus::replySize) and never reads past it.

#include "bootsectionheader.h"
#include "packet.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QTime>
#include <QVersionNumber>
#include <QtGlobal>

#include <optional>

namespace MasterRequest {

QByteArray withByte(PacketType type, quint8 value); // type and one byte
QByteArray keyboardLock(bool lock);
// The older master's event log lives in its EEPROM: 34 bytes of 0xFF at 0x03D3.
QByteArray clearOlderLog();
QByteArray timeSet(quint32 secondsSinceEpoch);
QByteArray firmwareHeader(int slot);
QByteArray configFilterReset();
QByteArray configFilterDevType(quint32 serial, quint8 devType, qint8 rssiThreshold);
QByteArray configFilterSerial(quint32 serial, quint8 devType);
// PT_DEVICE_SEND_DATA to every device (0xFF), command 0x20, a 16-bit value.
QByteArray deviceUpdateMode(quint16 value);
QByteArray login(quint64 hash);
QByteArray passwordChange(quint64 oldHash, quint64 newHash);
QByteArray exchangeInterval(quint16 units);
QByteArray channelSet(quint8 mode, quint8 channel);

} // namespace MasterRequest

// One master heard nearby by the connected master.
struct NearbyMasterInfo
{
    int type = 0;
    quint32 serial = 0;
    quint32 master = 0;
    int interval = 0;
    int rssi = 0;
    QDateTime time;
    int channel = 0;
    int configEnabled = 0;

    // Records differ when serial, master, interval or rssi differ.
    bool operator==(const NearbyMasterInfo &other) const;
    bool operator!=(const NearbyMasterInfo &other) const { return !(*this == other); }
};
Q_DECLARE_METATYPE(NearbyMasterInfo)

// Registers "NearbyMasterInfo"; safe to repeat.
void registerNearbyMasterInfoMetaType();

// A PT_NEARBY_HUBRO_INFO_ACK answer of `size` bytes (check byte excluded):
// empty below 12 bytes. `channel` is the asking master's own channel, `now`
// the time of arrival.
std::optional<NearbyMasterInfo> nearbyMasterInfoFromAnswer(const QByteArray &data, int size, int channel,
                                                           const QDateTime &now);

// ---- Firmware image headers kept by the master ----------------------------------

constexpr int FirmwareHeaderSize = BootSectionHeaderSize;

// The header in a PT_FW_READ_HEADER_ACK answer of `size` bytes: bytes 2 to 25;
// an all-zero (empty) header when the answer does not hold them.
QByteArray firmwareHeaderFromAnswer(const QByteArray &data, int size);
bool isEmptyFirmwareHeader(const QByteArray &header);
// Fields of a kept header, read through HUBRO32BootSectionHeader_t.
int firmwareHeaderDeviceType(const QByteArray &header);     // bytes 0-1
QVersionNumber firmwareHeaderHardware(const QByteArray &header); // bytes 2-3
QVersionNumber firmwareHeaderFirmware(const QByteArray &header); // bytes 4-5
quint32 firmwareHeaderBuildTime(const QByteArray &header);  // bytes 18-21
QString firmwareHeaderTimeText(const QByteArray &header);   // "dd.MM.yy hh:mm", local time

// ---- The radio part's firmware header, read piece by piece ------------------------

constexpr int Mk1HeaderSize = 66;

struct Mk1Piece
{
    int offset = 0;
    QByteArray data;
};
// A piece in the bytes after the type byte of PT_HEADER_FIRMWARE_READ_RECEIVED.
// An older master puts its offset at byte 3 and its length at byte 5 with the
// data from byte 6, any other master at bytes 7 and 9 with the data from byte
// 10. Empty for a piece that is shorter than that, whose data reach past its
// end, whose byte 0 is not 255, or that reaches past the 66-byte header.
std::optional<Mk1Piece> mk1PieceFromResponse(const QByteArray &response, bool olderMaster);

struct Mk1Header
{
    QVersionNumber version; // bytes 64-65, little-endian, high byte major
    QDate date;             // text at bytes 0-13, "Aug 28 2026"
    QTime time;             // text at bytes 14-27, "HH:mm:ss"
    int buildNumber = 0;    // byte 28
};
Mk1Header decodeMk1Header(const QByteArray &header);
// "%1 (%2 %3)": the version, the date "dd.MM.yy" and the time "hh:mm".
QString mk1HeaderText(const Mk1Header &header);

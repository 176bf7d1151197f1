#include "masterpackets.h"

#include "hubrostatus.h"

#include <QtEndian>

namespace {

void appendLe16(QByteArray &data, quint16 value)
{
    data.append(char(value & 0xFF));
    data.append(char(value >> 8));
}

void appendLe32(QByteArray &data, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        data.append(char((value >> (8 * i)) & 0xFF));
}

void appendLe64(QByteArray &data, quint64 value)
{
    for (int i = 0; i < 8; ++i)
        data.append(char((value >> (8 * i)) & 0xFF));
}

quint8 byteAt(const QByteArray &data, int index)
{
    return index >= 0 && index < data.size() ? quint8(data.at(index)) : 0;
}

quint16 le16At(const QByteArray &data, int index)
{
    return quint16(byteAt(data, index) | (byteAt(data, index + 1) << 8));
}

quint32 le32At(const QByteArray &data, int index)
{
    return quint32(le16At(data, index)) | (quint32(le16At(data, index + 2)) << 16);
}

} // namespace

namespace MasterRequest {

QByteArray withByte(PacketType type, quint8 value)
{
    QByteArray data = plainRequest(type);
    data.append(char(value));
    return data;
}

QByteArray keyboardLock(bool lock)
{
    return withByte(PT_KEYBOARD_LOCK, lock ? 1 : 0);
}

QByteArray clearOlderLog()
{
    QByteArray data = plainRequest(PT_HUBRO_EEPROM_WRITE);
    appendLe16(data, 0x03D3);
    data.append(QByteArray(34, char(0xFF)));
    return data;
}

QByteArray timeSet(quint32 secondsSinceEpoch)
{
    QByteArray data = plainRequest(PT_USB_TIME_SET);
    appendLe32(data, secondsSinceEpoch);
    return data;
}

QByteArray firmwareHeader(int slot)
{
    return withByte(PT_FW_READ_HEADER, quint8(slot));
}

QByteArray configFilterReset()
{
    QByteArray data = plainRequest(PT_USB_CONFIG_SET_FILTER);
    data.append(QByteArray(5, '\0'));
    return data;
}

QByteArray configFilterSerial(quint32 serial, quint8 devType)
{
    QByteArray data = plainRequest(PT_USB_CONFIG_SET_FILTER);
    appendLe32(data, serial);
    data.append(char(devType));
    return data;
}

QByteArray configFilterDevType(quint32 serial, quint8 devType, qint8 rssiThreshold)
{
    return configFilterSerial(serial, devType) + char(rssiThreshold);
}

QByteArray deviceUpdateMode(quint16 value)
{
    QByteArray data = plainRequest(PT_DEVICE_SEND_DATA);
    data.append(char(0xFF));
    data.append(char(0x20));
    appendLe16(data, value);
    return data;
}

QByteArray login(quint64 hash)
{
    QByteArray data = plainRequest(PT_PASSWORD_LOGIN);
    appendLe64(data, hash);
    return data;
}

QByteArray passwordChange(quint64 oldHash, quint64 newHash)
{
    QByteArray data = plainRequest(PT_PASSWORD_CHANGE);
    appendLe64(data, oldHash);
    appendLe64(data, newHash);
    return data;
}

QByteArray exchangeInterval(quint16 units)
{
    QByteArray data = plainRequest(PT_EXCHANGE_INTERVAL);
    appendLe16(data, units);
    return data;
}

QByteArray channelSet(quint8 mode, quint8 channel)
{
    QByteArray data = plainRequest(PT_USB_CHANNEL_SET);
    data.append(char(mode));
    data.append(char(channel));
    return data;
}

} // namespace MasterRequest

bool NearbyMasterInfo::operator==(const NearbyMasterInfo &other) const
{
    return serial == other.serial && master == other.master && interval == other.interval && rssi == other.rssi;
}

void registerNearbyMasterInfoMetaType()
{
    qRegisterMetaType<NearbyMasterInfo>("NearbyMasterInfo");
}

std::optional<NearbyMasterInfo> nearbyMasterInfoFromAnswer(const QByteArray &data, int size, int channel,
                                                           const QDateTime &now)
{
    size = qMin(size, data.size());
    if (size < 12)
        return std::nullopt;
    NearbyMasterInfo info;
    info.type = size > 12 ? byteAt(data, 12) : 0;
    info.serial = le32At(data, 1);
    info.master = qFromBigEndian<quint32>(reinterpret_cast<const uchar *>(data.constData()) + 5);
    info.interval = le16At(data, 9);
    info.rssi = qint8(byteAt(data, 11));
    info.time = now;
    info.channel = channel;
    info.configEnabled = size > 13 ? byteAt(data, 13) : 0;
    return info;
}

QByteArray firmwareHeaderFromAnswer(const QByteArray &data, int size)
{
    size = qMin(size, data.size());
    if (size < 2 + FirmwareHeaderSize)
        return QByteArray(FirmwareHeaderSize, '\0');
    return data.mid(2, FirmwareHeaderSize);
}

bool isEmptyFirmwareHeader(const QByteArray &header)
{
    for (const char c : header)
        if (c != 0)
            return false;
    return true;
}

int firmwareHeaderDeviceType(const QByteArray &header)
{
    return bootSectionHeaderFromBytes(header).deviceType;
}

QVersionNumber firmwareHeaderHardware(const QByteArray &header)
{
    return versionOfPackedWord(bootSectionHeaderFromBytes(header).hardwareVersion);
}

QVersionNumber firmwareHeaderFirmware(const QByteArray &header)
{
    return versionOfPackedWord(bootSectionHeaderFromBytes(header).firmwareVersion);
}

quint32 firmwareHeaderBuildTime(const QByteArray &header)
{
    return bootSectionHeaderFromBytes(header).buildTime;
}

QString firmwareHeaderTimeText(const QByteArray &header)
{
    return QDateTime::fromSecsSinceEpoch(qint64(firmwareHeaderBuildTime(header)))
        .toString(QStringLiteral("dd.MM.yy hh:mm"));
}

std::optional<Mk1Piece> mk1PieceFromResponse(const QByteArray &response, bool olderMaster)
{
    const int offsetAt = olderMaster ? 3 : 7;
    const int lengthAt = olderMaster ? 5 : 9;
    const int dataAt = olderMaster ? 6 : 10;
    if (response.size() < dataAt || byteAt(response, 0) != 0xFF)
        return std::nullopt;
    const int offset = byteAt(response, offsetAt);
    const int length = byteAt(response, lengthAt);
    if (dataAt + length > response.size() || offset + length > Mk1HeaderSize)
        return std::nullopt;
    return Mk1Piece{offset, response.mid(dataAt, length)};
}

Mk1Header decodeMk1Header(const QByteArray &header)
{
    const QByteArray whole = header.leftJustified(Mk1HeaderSize, '\0', true);
    Mk1Header decoded;
    decoded.version = versionOfPackedWord(le16At(whole, 64));
    decoded.date = HubroStatus::buildDate(HubroStatus::fieldText(whole.constData(), 14));
    decoded.time = QTime::fromString(HubroStatus::fieldText(whole.constData() + 14, 14), QStringLiteral("HH:mm:ss"));
    decoded.buildNumber = byteAt(whole, 28);
    return decoded;
}

QString mk1HeaderText(const Mk1Header &header)
{
    return QStringLiteral("%1 (%2 %3)")
        .arg(HubroStatus::versionText(header.version), header.date.toString(QStringLiteral("dd.MM.yy")),
             header.time.toString(QStringLiteral("hh:mm")));
}

#include "bootsectionheader.h"

#include <QtEndian>

#include <cstring>

HUBRO32BootSectionHeader_t bootSectionHeaderFromBytes(const QByteArray &bytes)
{
    uchar raw[BootSectionHeaderSize] = {};
    std::memcpy(raw, bytes.constData(), size_t(qMin(bytes.size(), BootSectionHeaderSize)));
    HUBRO32BootSectionHeader_t h;
    h.deviceType = qFromLittleEndian<quint16>(raw + 0);
    h.hardwareVersion = qFromLittleEndian<quint16>(raw + 2);
    h.firmwareVersion = qFromLittleEndian<quint16>(raw + 4);
    h.flags = raw[6];
    h.buildNumber = raw[7];
    h.firmwareSize = qFromLittleEndian<quint32>(raw + 8);
    h.reserved1 = qFromLittleEndian<quint16>(raw + 12);
    h.firmwareSum = qFromLittleEndian<quint16>(raw + 14);
    h.reserved2 = qFromLittleEndian<quint16>(raw + 16);
    h.buildTime = qFromLittleEndian<quint32>(raw + 18);
    h.reserved3 = qFromLittleEndian<quint16>(raw + 22);
    return h;
}

QByteArray bootSectionHeaderBytes(const HUBRO32BootSectionHeader_t &h)
{
    QByteArray bytes(BootSectionHeaderSize, '\0');
    auto *raw = reinterpret_cast<uchar *>(bytes.data());
    qToLittleEndian<quint16>(h.deviceType, raw + 0);
    qToLittleEndian<quint16>(h.hardwareVersion, raw + 2);
    qToLittleEndian<quint16>(h.firmwareVersion, raw + 4);
    raw[6] = h.flags;
    raw[7] = h.buildNumber;
    qToLittleEndian<quint32>(h.firmwareSize, raw + 8);
    qToLittleEndian<quint16>(h.reserved1, raw + 12);
    qToLittleEndian<quint16>(h.firmwareSum, raw + 14);
    qToLittleEndian<quint16>(h.reserved2, raw + 16);
    qToLittleEndian<quint32>(h.buildTime, raw + 18);
    qToLittleEndian<quint16>(h.reserved3, raw + 22);
    return bytes;
}

bool operator==(const HUBRO32BootSectionHeader_t &a, const HUBRO32BootSectionHeader_t &b)
{
    return bootSectionHeaderBytes(a) == bootSectionHeaderBytes(b);
}

void registerBootSectionHeaderMetaType()
{
    qRegisterMetaType<HUBRO32BootSectionHeader_t>("HUBRO32BootSectionHeader_t");
}

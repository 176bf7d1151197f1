#include "deviceinfo.h"

#include <QtEndian>

bool operator==(const deviceInfo_t &a, const deviceInfo_t &b)
{
    return deviceInfoToBytes(a) == deviceInfoToBytes(b);
}

bool deviceInfoFromBytes(const QByteArray &bytes, int offset, deviceInfo_t *info)
{
    if (!info || offset < 0 || bytes.size() - offset < DeviceInfoSize)
        return false;
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData()) + offset;
    deviceInfo_t r;
    r.radioAddress = p[0];
    r.serialNumber = qFromLittleEndian<quint32>(p + 1);
    r.firmwareVersion = qFromLittleEndian<quint16>(p + 5);
    r.hardwareVersion = qFromLittleEndian<quint16>(p + 7);
    r.wireloopAddress = p[9];
    r.deviceType = p[10];
    r.linkState = p[11];
    r.rssi = qint8(p[12]);
    r.rl = qFromLittleEndian<quint32>(p + 13);
    r.rlSupported = p[17];
    r.buildNumber = p[18];
    r.kastrelAddress = p[19];
    r.reserved = p[20];
    *info = r;
    return true;
}

QByteArray deviceInfoToBytes(const deviceInfo_t &info)
{
    QByteArray bytes(DeviceInfoSize, '\0');
    auto *p = reinterpret_cast<uchar *>(bytes.data());
    p[0] = info.radioAddress;
    qToLittleEndian<quint32>(info.serialNumber, p + 1);
    qToLittleEndian<quint16>(info.firmwareVersion, p + 5);
    qToLittleEndian<quint16>(info.hardwareVersion, p + 7);
    p[9] = info.wireloopAddress;
    p[10] = info.deviceType;
    p[11] = info.linkState;
    p[12] = uchar(info.rssi);
    qToLittleEndian<quint32>(info.rl, p + 13);
    p[17] = info.rlSupported;
    p[18] = info.buildNumber;
    p[19] = info.kastrelAddress;
    p[20] = info.reserved;
    return bytes;
}

void registerDeviceInfoMetaType()
{
    qRegisterMetaType<deviceInfo_t>("deviceInfo_t");
}

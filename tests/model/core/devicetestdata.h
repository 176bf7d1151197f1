#pragma once

#include "appglobals.h"
#include "deviceinfo.h"
#include "packet.h"

#include <QByteArray>

// A device-info record of an online device.
inline deviceInfo_t makeInfo(int type, quint8 wireloopAddress = 10, quint8 linkState = 2)
{
    deviceInfo_t info;
    info.radioAddress = 5;
    info.serialNumber = 1234567;
    info.firmwareVersion = 0x0105; // 1.5
    info.hardwareVersion = 0x020A; // 2.10
    info.wireloopAddress = wireloopAddress;
    info.deviceType = quint8(type);
    info.linkState = linkState;
    info.rssi = -60;
    info.buildNumber = 7;
    info.kastrelAddress = 40;
    return info;
}

inline QByteArray hexBytes(const char *hex)
{
    return QByteArray::fromHex(hex);
}

inline Packet packetOf(const char *hex)
{
    Packet packet;
    packet.data = QByteArray::fromHex(hex);
    return packet;
}

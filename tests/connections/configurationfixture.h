#pragma once

// A configuration file of a full 125-device master, made at run time with
// the exporter's own writers (master object, common device objects, state
// keys) and the extended setting keys of each device type. Its indented form
// is well over 64 KiB.

#include "configurationjson.h"
#include "deviceinfo.h"
#include "hubroinfo.h"
#include "masterjson.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>

#include <cstring>

namespace ConfigurationFixture {

inline hubroInfo_t masterRecord()
{
    hubroInfo_t info;
    std::memset(&info, 0, sizeof info);
    info.bDevType = 40;
    info.bHWVer = 14;
    info.wMK1FWVer = 0x020F;
    info.wMK2FWVer = 0x0120;
    info.Options.fPowerAdjustment = 1;
    info.dwSerialId = 0x80000001u; // written as a negative number
    info.wExchangeInterval = 6000;   // 180 s
    info.bWireloopAddr = 1;
    info.bChannelMode = 1;
    info.ChannelsAdvanced.btfRFCurr = 2;
    info.ChannelsAdvanced.btfRecommended = 3;
    return info;
}

// Types with state keys or settings in the file, and some without.
inline int deviceType(int number)
{
    static const int types[] = {27, 28, 4, 14, 16, 24, 6, 13, 3, 32, 22, 50};
    return types[number % int(sizeof types / sizeof types[0])];
}

inline deviceInfo_t deviceRecord(int number)
{
    deviceInfo_t info;
    info.radioAddress = quint8(number);
    info.serialNumber = 3000000u + quint32(number) * 17u;
    info.firmwareVersion = quint16(0x0105 + number % 7);
    info.hardwareVersion = 0x0101;
    info.wireloopAddress = quint8(number);
    info.deviceType = quint8(deviceType(number));
    info.linkState = 2;
    info.rl = number % 10 == 0 ? 0xFFFFFFF0u : quint32(number % 5) << 4;
    info.rlSupported = 1;
    info.buildNumber = quint8(number % 13);
    return info;
}

inline QByteArray deviceState(int number)
{
    QByteArray state(ConfigurationJson::StateBytes, '\0');
    for (int i = 0; i < state.size(); ++i)
        state[i] = char((number * 37 + i * 11) & 0xFF);
    return state;
}

// The extended keys the exporter adds, by type.
inline void addSettings(QJsonObject &device, int type, int number)
{
    QStringList keys;
    switch (type) {
    case 13: keys = QStringList{"workMode", "inputMode", "speedMode"}; break;
    case 22: keys = QStringList{"specRange", "specSpeed"}; break;
    case 50: keys = QStringList{"brightness", "wallControl"}; break;
    case 4: keys = QStringList{"enabledCable", "enabledSabotage"}; break;
    case 27: case 28: keys = QStringList{"nearSensitivity", "farSensitivity"}; break;
    case 16: case 24: keys = QStringList{"shiftDetection", "shiftSensitivity", "tiltDetection", "tiltSensitivity"}; break;
    case 14: device.insert(QStringLiteral("enabledCable"), number % 2 == 0); return;
    default: return;
    }
    for (int i = 0; i < keys.size(); ++i)
        device.insert(keys.at(i), (number + i) % 2);
}

inline QJsonObject document(int devices = 125)
{
    QJsonObject document;
    document.insert(QStringLiteral("created"), QDateTime(QDate(2026, 8, 28), QTime(16, 1, 40)).toString());
    document.insert(QStringLiteral("version"), QStringLiteral("1.0"));
    document.insert(QStringLiteral("configurator"),
                    QJsonObject{{QStringLiteral("version"), QStringLiteral("1.14.4043")},
                                {QStringLiteral("application"), QStringLiteral("/opt/tandrel/tandrel")}});
    document.insert(QStringLiteral("master"), masterToJsonHubro125(masterRecord()));
    QJsonArray array;
    for (int number = 0; number < devices; ++number) {
        const deviceInfo_t info = deviceRecord(number);
        QJsonObject device = deviceToJson(info);
        device.insert(QStringLiteral("protocol"), int(info.rlSupported));
        device.insert(QStringLiteral("zone count"), int(quint8(deviceState(number).at(1))));
        const QJsonObject state = ConfigurationJson::deviceState(info, deviceState(number));
        for (auto it = state.begin(); it != state.end(); ++it)
            device.insert(it.key(), it.value());
        addSettings(device, info.deviceType, number);
        array.append(device);
    }
    document.insert(QStringLiteral("devices"), array);
    return document;
}

} // namespace ConfigurationFixture

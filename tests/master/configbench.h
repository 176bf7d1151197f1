#pragma once

// What the configuration export and import tests share: a master with a mix
// of radio devices as its link answers them, and the scripts that make the
// scripted link answer an export or an import.

#include "masterbench.h"

#include "appglobals.h"
#include "configurationtransfer.h"
#include "deviceinfo.h"
#include "registerdeviceclasses.h"
#include "testsupport.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>

// Once per test program: names, device classes, quick master timers. The
// returned recorder answers the master item's warnings about the short
// intervals some records carry; keep it for the program's life.
inline std::unique_ptr<MessageBoxRecorder> prepareConfigurationTests()
{
    initTestResources();
    registerDeviceModelNames();
    registerDeviceClasses();
    HubroItem::setTimings(fastTimings());
    return std::make_unique<MessageBoxRecorder>();
}

inline deviceInfo_t deviceRecord(quint8 number, quint8 type, quint32 serial, quint16 firmware, quint16 hardware,
                                 quint8 wireloopAddress, quint8 linkState = 2)
{
    deviceInfo_t info;
    info.radioAddress = number;
    info.serialNumber = serial;
    info.firmwareVersion = firmware;
    info.hardwareVersion = hardware;
    info.wireloopAddress = wireloopAddress;
    info.deviceType = type;
    info.linkState = linkState;
    info.rssi = -55;
    info.rl = 0x01020304u + number;
    info.rlSupported = 3;
    info.buildNumber = quint8(20 + number);
    info.kastrelAddress = quint8(100 + number);
    return info;
}

// PT_GET_DEV_INFO_ACK: the record, then the device's state bytes.
inline QByteArray deviceAnswer(const deviceInfo_t &info, const QByteArray &state)
{
    return QByteArray(1, char(PT_GET_DEV_INFO_ACK)) + deviceInfoToBytes(info) + state;
}

struct RadioDevice
{
    deviceInfo_t info;
    QByteArray state; // the bytes after the record
};

// A 125-device master's devices: every decoded family, a device without a
// class yet, an offline slot, extreme serial and rl values, short states.
inline QList<RadioDevice> hubro125Devices()
{
    QList<RadioDevice> list;
    // Contact sensor (its class carries the extended settings).
    list << RadioDevice{deviceRecord(1, 4, 1000001, 0x0203, 0x0105, 11), bytesOf({0x00, 0x02, 0, 0, 0xC0, 0, 0x40, 0, 0})};
    // Two-zone detector: near zone alarm (bits 8-9 = 10), far zone bits 10-11 = 11.
    list << RadioDevice{deviceRecord(2, 27, 1000002, 0x0110, 0x0201, 12),
                        bytesOf({0, 0x02, 0, 0, 0x80, 0x02, 0x35, 0x0E, 0})};
    // Motion detector, firmware 1.5: no "sensitivity"; test mode with e7 = 3.
    list << RadioDevice{deviceRecord(3, 6, 1000003, 0x0105, 0x0100, 13), bytesOf({0, 0, 0, 0, 0x20, 0x07, 0x04, 0x03, 0})};
    // Relay module: out 1 on, out 2 code 5.
    list << RadioDevice{deviceRecord(5, 14, 1000005, 0x0302, 0x0100, 15), bytesOf({0x03, 0x01, 0, 0, 0x01, 0x05, 0x7F, 0x99, 0})};
    // Shift and tilt detector.
    list << RadioDevice{deviceRecord(6, 16, 1000006, 0x0101, 0x0100, 16), bytesOf({0, 0x01, 0, 0, 0, 0x83, 0x0D, 0x1A, 0x80})};
    // A model without a class in the program yet.
    list << RadioDevice{deviceRecord(7, 13, 1000007, 0x0100, 0x0100, 17), bytesOf({0, 0x03, 0, 0, 0, 0, 0, 0, 0})};
    // An empty slot of the master's table: no element in "devices".
    list << RadioDevice{deviceRecord(8, 2, 1000008, 0x0100, 0x0100, 18, 0), bytesOf({0, 0, 0, 0, 0, 0, 0, 0, 0})};
    // Largest serial and rl; only five state bytes.
    deviceInfo_t extreme = deviceRecord(9, 18, 0xFFFFFFFFu, 0x0102, 0x0100, 19);
    extreme.rl = 0xFFFFFFFFu;
    list << RadioDevice{extreme, bytesOf({0, 0x02, 0, 0, 0})};
    // No state bytes at all.
    list << RadioDevice{deviceRecord(10, 2, 1000010, 0x0100, 0x0100, 20), QByteArray()};
    return list;
}

// A 32-device master's devices.
inline QList<RadioDevice> hubro32Devices()
{
    QList<RadioDevice> list;
    list << RadioDevice{deviceRecord(0, 2, 2000000, 0x0104, 0x0100, 5), bytesOf({1, 2, 3})};
    list << RadioDevice{deviceRecord(3, 4, 0x80000000u, 0x0209, 0x0103, 6), QByteArray()};
    list << RadioDevice{deviceRecord(4, 3, 2000004, 0x0100, 0x0100, 7, 0), QByteArray()};
    return list;
}

inline QList<int> numbersOf(const QList<RadioDevice> &devices)
{
    QList<int> numbers;
    for (const RadioDevice &device : devices)
        numbers << device.info.radioAddress;
    return numbers;
}

// PT_HUBRO_EEPROM_READ_ACK of the error log: address, index 3, five slots
// (one empty, one with a code beyond the name table).
inline QByteArray errorLogAnswer()
{
    return bytesOf({0x71, 0xD3, 0x03, 3,
                    0x01, 0x02, 0x03, 12, 0x34, 0x12,
                    0x04, 0x05, 0x06, 255, 0, 0,
                    0x07, 0x08, 0x09, 17, 0xFF, 0x00,
                    0x0A, 0x0B, 0x0C, 19, 0x01, 0x00,
                    0x0D, 0x0E, 0x0F, 0, 0x00, 0x80});
}

// Makes the link answer the device-info requests of these devices; other
// numbers get no answer.
inline void scriptDevices(ScriptedLink &link, const QList<RadioDevice> &devices)
{
    QMap<int, QByteArray> answers;
    for (const RadioDevice &device : devices)
        answers.insert(device.info.radioAddress, deviceAnswer(device.info, device.state));
    link.script(PT_GET_DEV_INFO, [answers](const QByteArray &request) {
        return answers.value(request.size() > 1 ? quint8(request.at(1)) : -1);
    });
}

// Makes the link acknowledge every request of an import.
inline void scriptImportAcks(ScriptedLink &link)
{
    link.script(PT_SET_DEV_ADDRESS, bytesOf({PT_SET_DEV_ADDRESS_ACK}));
    link.script(PT_KEYBOARD_LOCK, bytesOf({PT_KEYBOARD_LOCK_ACK}));
    link.script(PT_HUBRO_POWER_ADJUSTMENT, bytesOf({PT_HUBRO_POWER_ADJUSTMENT_ACK}));
    link.script(PT_WIRELOOP_POWER_MODE_SET, bytesOf({PT_WIRELOOP_POWER_MODE_SET_ACK}));
    link.script(PT_USB_CHANNEL_SET, bytesOf({PT_USB_CHANNEL_SET_ACK}));
    link.script(PT_EXCHANGE_INTERVAL, bytesOf({PT_EXCHANGE_INTERVAL_ACK}));
    link.script(PT_WRITE_DEV_CONFIG, bytesOf({PT_WRITE_DEV_CONFIG_ACK}));
}

// A saved document with the values that change from run to run masked.
inline QJsonObject masked(QJsonObject document)
{
    document.insert(QStringLiteral("created"), QStringLiteral("<masked>"));
    document.insert(QStringLiteral("configurator"), QStringLiteral("<masked>"));
    return document;
}

inline QJsonObject readJsonFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QJsonObject();
    return QJsonDocument::fromJson(file.readAll()).object();
}

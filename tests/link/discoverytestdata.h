#pragma once

// Status records and the discovery results they give, for the discovery tests.

#include "discovereddevice.h"
#include "packet.h"

#include <QtTest>

namespace QTest {
template<>
inline char *toString(const DiscoveredDevice &device)
{
    QString text;
    QDebug(&text) << device;
    return qstrdup(text.toUtf8().constData());
}
} // namespace QTest

namespace DiscoveryTestData {

struct RecordFields
{
    uint8_t devType = 40;
    uint8_t modules = 0x02; // Kastrel only
};

// A status record with distinct values in the fields discovery reads.
inline QByteArray statusRecord(RecordFields fields = {})
{
    QByteArray record(78, '\0');
    auto put = [&record](int offset, quint64 value, int width) {
        for (int i = 0; i < width; ++i)
            record[offset + i] = char(value >> (8 * i));
    };
    put(0, fields.devType, 1);
    put(1, 12, 1);          // bHWVer
    put(2, 0x0105, 2);      // wMK1FWVer 1.5
    put(4, 0x021D, 2);      // wMK2FWVer 2.29
    put(34, 0x08, 1);       // Options: fPswE
    put(43, 0x12345678, 4); // dwSerialId
    put(52, 255, 1);        // bWireloopAddr
    put(53, 0x0203, 2);     // wProtocolVer
    put(64, fields.modules, 1);
    put(65, 5, 1);          // bKastrelAddr
    put(70, 0xEE, 1);       // bytes discovery does not read
    return record;
}

inline QByteArray statusReply(const QByteArray &record = statusRecord())
{
    return char(PT_HUBRO_INFO_ACK) + record;
}

// The log line of statusRecord()'s modules.
constexpr char ModulesLine[] = "Available modules: (Kastrel (5), NO Bluetooth)";

// What a status reply built from statusRecord() reports.
inline DiscoveredDevice expectedDevice(const QString &address, ConnectionType kind, uint8_t devType = 40,
                                       uint8_t modules = 0x02, uint32_t protocol = 0x0203)
{
    DiscoveredDevice device;
    device.serialNumber = 0x12345678;
    device.protocolVersion = protocol;
    device.deviceType = devType;
    device.passwordEnabled = true;
    device.connectionType = kind;
    device.hardwareVersion = QVersionNumber(12, 0);
    device.mk2FirmwareVersion = QVersionNumber(2, 29);
    device.mk1FirmwareVersion = QVersionNumber(1, 5);
    device.address = address;
    device.modules = modules;
    return device;
}

// What an answer of another packet type reports: a master in its firmware-update mode.
inline DiscoveredDevice updatingDevice(const QString &address, ConnectionType kind)
{
    DiscoveredDevice device;
    device.connectionType = kind;
    device.updateMode = 1;
    device.address = address;
    return device;
}

} // namespace DiscoveryTestData

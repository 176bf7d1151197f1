// The master's status record as the master item reads it: the status answer
// by link kind, derived values, display texts, alarm and fault, status text
// and measured values.
#include "hubrostatus.h"
#include "packet.h"

#include <QtTest>

using namespace HubroStatus;

namespace {

struct Field
{
    int offset;
    quint32 value;
    int width;
};

QByteArray put(QByteArray record, std::initializer_list<Field> fields)
{
    for (const Field &field : fields) {
        for (int i = 0; i < field.width; ++i)
            record[field.offset + i] = char(field.value >> (8 * i));
    }
    return record;
}

// A healthy 125-device master: firmware 1.32, mains and reserve good, Wireloop
// at 24 V, no noise, case closed, channel 2 (recommended 3), 180 s loss time.
QByteArray healthyRecord()
{
    QByteArray record(78, '\0');
    record.replace(6, 11, "Aug 28 2026");
    record.replace(20, 8, "14:03:07");
    return put(record, {
                           {0, 40, 1},         // bDevType
                           {1, 12, 1},         // bHWVer
                           {2, 0x0110, 2},     // radio firmware 1.16
                           {4, 0x0120, 2},     // core firmware 1.32
                           {35, 12000, 2},     // wPowerMain
                           {37, 12500, 2},     // wPowerBackup
                           {39, 24000, 2},     // wPowerWireloop
                           {43, 1234567, 4},   // dwSerialId
                           {47, 6000, 2},      // wExchangeInterval
                           {49, 4096, 2},      // wHeapFree
                           {52, 17, 1},        // bWireloopAddr
                           {63, 0x32, 1},      // ChannelsAdvanced: current 2, recommended 3
                           {65, 9, 1},         // bKastrelAddr
                           {73, 0x03, 1},      // bPowerState
                       });
}

hubroInfo_t info(const QByteArray &record)
{
    return hubroInfoFromBytes(record);
}

QByteArray bytesOf(const hubroInfo_t &record)
{
    return hubroInfoToBytes(record);
}

QByteArray numbered(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i + 1);
    return bytes;
}

} // namespace

class HubroStatusTest : public QObject
{
    Q_OBJECT

private slots:
    void replyCheckByteByLink()
    {
        QVERIFY(replyHasCheckByte(Serial));
        QVERIFY(replyHasCheckByte(Kastrel));
        QVERIFY(replyHasCheckByte(Bluetooth));
        QVERIFY(!replyHasCheckByte(Simulation));
        QVERIFY(!replyHasCheckByte(File));
    }

    void statusAnswer_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("askingType");
        QTest::addColumn<bool>("checkByte");
        QTest::addColumn<QByteArray>("expected"); // empty: refused

        const QByteArray type = QByteArray(1, char(PT_HUBRO_INFO_ACK));
        const QByteArray full = numbered(78);
        const QByteArray check(1, char(0xC5));
        // A 32-device master's record: bytes 0-55, zeros, RFNoise from the answer's byte 57.
        const QByteArray shortRecord = numbered(57);
        QByteArray shortExpected = shortRecord.left(56) + QByteArray(22, '\0');
        shortExpected[72] = shortRecord.at(56);

        QTest::newRow("serial, 1 + 78 + 1") << type + full + check << 40 << true << full;
        QTest::newRow("simulation, 1 + 78") << type + full << 40 << false << full;
        QTest::newRow("serial, one record byte short") << type + full.left(77) + check << 40 << true
                                                       << QByteArray();
        QTest::newRow("simulation, one record byte short") << type + full.left(77) << 40 << false << QByteArray();
        QTest::newRow("32-device master on serial, 1 + 57 + 1")
            << type + shortRecord + check << 0 << true << shortExpected;
        QTest::newRow("32-device master on a simulation, 1 + 57")
            << type + shortRecord << 0 << false << shortExpected;
        QTest::newRow("32-device master on serial, 56 record bytes")
            << type + shortRecord.left(56) + check << 0 << true << QByteArray();
        QByteArray fullFromType0 = full.left(56) + QByteArray(22, '\0');
        fullFromType0[72] = full.at(56);
        QTest::newRow("32-device master sending 78 bytes: still read short")
            << type + full << 0 << false << fullFromType0;
        QTest::newRow("a short answer for another type") << type + shortRecord + check << 1 << true
                                                         << QByteArray();
        QTest::newRow("other packet type") << QByteArray(1, char(PT_HUBRO_INFO)) + full + check << 40 << true
                                           << QByteArray();
        QTest::newRow("empty") << QByteArray() << 40 << false << QByteArray();
        QTest::newRow("type byte only, with check byte") << type + check << 0 << true << QByteArray();
    }

    void statusAnswer()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, askingType);
        QFETCH(bool, checkByte);
        QFETCH(QByteArray, expected);
        const std::optional<hubroInfo_t> record = recordFromStatusAnswer(data, uint8_t(askingType), checkByte);
        QCOMPARE(record.has_value(), !expected.isEmpty());
        if (record)
            QCOMPARE(bytesOf(*record).toHex(' '), expected.toHex(' '));
    }

    void bluetoothModuleMakesType141()
    {
        QByteArray record = put(healthyRecord(), {{64, 0x04, 1}});
        const QByteArray answer = char(PT_HUBRO_INFO_ACK) + record + char(0);
        std::optional<hubroInfo_t> decoded = recordFromStatusAnswer(answer, 40, true);
        QVERIFY(decoded);
        QCOMPARE(int(decoded->bDevType), 40); // the adjustment is the item's step
        adjustMasterType(*decoded);
        QCOMPARE(int(decoded->bDevType), 141);
        QCOMPARE(maxDeviceCount(*decoded), 125);
        QCOMPARE(channelGroup(*decoded), 0); // group byte 0
        QVERIFY(!isOlderMaster(*decoded));
    }

    void supplies_data()
    {
        QTest::addColumn<int>("millivolts");
        QTest::addColumn<QString>("supply");
        QTest::addColumn<double>("volts");
        QTest::addColumn<QString>("wireloop");
        QTest::addColumn<bool>("wireloopFailed");
        QTest::newRow("0") << 0 << "Disconnected" << 0.0 << "Disconnected" << true;
        QTest::newRow("2000") << 2000 << "Disconnected" << 0.0 << "Disconnected" << true;
        QTest::newRow("2001") << 2001 << "2.0 V" << 2.001 << "Disconnected" << true;
        QTest::newRow("6499") << 6499 << "6.5 V" << 6.499 << "Disconnected" << true;
        QTest::newRow("6500") << 6500 << "6.5 V" << 6.5 << "6.5 V" << false;
        QTest::newRow("12345") << 12345 << "12.3 V" << 12.345 << "12.3 V" << false;
        QTest::newRow("29999") << 29999 << "30.0 V" << 29.999 << "30.0 V" << false;
        QTest::newRow("30000") << 30000 << "30.0 V" << 30.0 << "Fail" << true;
        QTest::newRow("65535") << 65535 << "65.5 V" << 65.535 << "Fail" << true;
    }

    void supplies()
    {
        QFETCH(int, millivolts);
        QFETCH(QString, supply);
        QFETCH(double, volts);
        QFETCH(QString, wireloop);
        QFETCH(bool, wireloopFailed);
        QCOMPARE(supplyText(uint16_t(millivolts)), supply);
        QCOMPARE(supplyVolts(uint16_t(millivolts)), volts);
        const SupplyReading reading = wireloopSupply(uint16_t(millivolts));
        QCOMPARE(reading.text, wireloop);
        QCOMPARE(reading.failed, wireloopFailed);
    }

    // Alarm, fault and the status text, with the "WIRELOOP as supply" value
    // the item passes in.
    void alarmFaultStatus_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<int>("wireloopAsSupply");
        QTest::addColumn<bool>("alarm");
        QTest::addColumn<bool>("fault");
        QTest::addColumn<QString>("status");
        const QByteArray healthy = healthyRecord();
        const QByteArray oldFirmware = put(healthy, {{4, 0x011F, 2}}); // 1.31: no interference reporting

        QTest::newRow("healthy") << healthy << 0 << false << false << "Devices connected: 5";
        QTest::newRow("case open") << put(healthy, {{42, 1, 1}}) << 0 << true << false << "Devices connected: 5";
        QTest::newRow("noise 0") << healthy << 0 << false << false << "Devices connected: 5";
        QTest::newRow("noise 255: fault, no alarm") << put(healthy, {{72, 255, 1}}) << 0 << false << true
                                                    << "Devices connected: 5, Radio noise fault (255)";
        QTest::newRow("noise 7") << put(healthy, {{72, 7, 1}}) << 0 << true << true
                                 << "Devices connected: 5, Interference!";
        QTest::newRow("noise 7 without interference reporting")
            << put(oldFirmware, {{72, 7, 1}}) << 0 << false << true
            << "Devices connected: 5, Radio noise fault (7)";
        QTest::newRow("interference reporting on demo board 44 from 0.32")
            << put(healthy, {{0, 44, 1}, {4, 0x0020, 2}, {72, 7, 1}}) << 0 << true << true
            << "Devices connected: 5, Interference!";
        QTest::newRow("main failed") << put(healthy, {{73, 0x02, 1}}) << 0 << false << true
                                     << "Devices connected: 5, Main power failed";
        QTest::newRow("reserve failed") << put(healthy, {{73, 0x01, 1}}) << 0 << false << true
                                        << "Devices connected: 5, Reserve power failed";
        QTest::newRow("both failed, Wireloop as supply") << put(healthy, {{73, 0x00, 1}}) << 1 << false << false
                                                         << "Devices connected: 5";
        QTest::newRow("Wireloop supply 6499: shown failed, no fault")
            << put(healthy, {{39, 6499, 2}}) << 1 << false << false
            << "Devices connected: 5, WIRELOOP power failed";
        QTest::newRow("Wireloop supply 6498") << put(healthy, {{39, 6498, 2}}) << 1 << false << true
                                              << "Devices connected: 5, WIRELOOP power failed";
        QTest::newRow("Wireloop supply 30000: Fail, no fault")
            << put(healthy, {{39, 30000, 2}}) << 1 << false << false
            << "Devices connected: 5, WIRELOOP power failed";
        QTest::newRow("Wireloop supply 30001") << put(healthy, {{39, 30001, 2}}) << 1 << false << true
                                               << "Devices connected: 5, WIRELOOP power failed";
        QTest::newRow("Wireloop low while not the supply: no fault")
            << put(healthy, {{39, 0, 2}}) << 0 << false << false << "Devices connected: 5, WIRELOOP power failed";
    }

    void alarmFaultStatus()
    {
        QFETCH(QByteArray, record);
        QFETCH(int, wireloopAsSupply);
        QFETCH(bool, alarm);
        QFETCH(bool, fault);
        QFETCH(QString, status);
        const hubroInfo_t r = info(record);
        QCOMPARE(hasAlarm(r), alarm);
        QCOMPARE(hasFault(r, wireloopAsSupply), fault);
        QCOMPARE(statusText(r, 5, false, wireloopAsSupply, QString()), status);
    }

    void statusTextParts()
    {
        const hubroInfo_t r = info(put(healthyRecord(), {{73, 0, 1}, {39, 0, 2}, {72, 9, 1}}));
        QCOMPARE(statusText(r, 0, false, 0, QStringLiteral("Case open")),
                 QStringLiteral("Devices connected: 0, Main power failed, Reserve power failed, "
                                "WIRELOOP power failed, Interference!, Case open"));
        // A configuration file (viewing mode) measured no supply: none is failed.
        QCOMPARE(statusText(r, 0, true, 0, QStringLiteral("Case open")),
                 QStringLiteral("Devices connected: 0, Viewing mode, Interference!, Case open"));
        QCOMPARE(noiseText(r), QStringLiteral("Interference!"));
        QCOMPARE(noiseText(info(healthyRecord())), QStringLiteral("No"));
    }

    // Which byte the channel comes from, and the texts of the channel row.
    void channels_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<bool>("older");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("recommended");
        QTest::addColumn<int>("group");
        QTest::addColumn<QString>("olderText");
        QTest::addColumn<QStringList>("choices");
        QTest::addColumn<int>("index");

        // Byte 51: current 1, recommended 2; byte 63: current 5, recommended 4.
        const QByteArray both = put(healthyRecord(), {{51, 0x09, 1}, {63, 0x45, 1}, {66, 1, 1}});
        const QStringList group0{"0", "1", "2", "3", "Auto", "Dynamic"};
        const QStringList group1{"1", "4", "7", "Auto", "Dynamic"};

        QTest::newRow("type 1, hardware 9: first form") << put(both, {{0, 1, 1}, {1, 9, 1}}) << true << 1 << 2 << 0
                                                        << "1" << group0 << 1;
        QTest::newRow("type 1, hardware 10: second form") << put(both, {{0, 1, 1}, {1, 10, 1}}) << false << 5 << 4
                                                          << 0 << "5" << group0 << -1;
        QTest::newRow("type 0, automatic, recommended differs")
            << put(both, {{0, 0, 1}, {1, 6, 1}, {51, 0x89, 1}}) << true << 1 << 2 << 0 << "Auto: 2 (1)" << group0
            << 1;
        QTest::newRow("type 0, automatic, on the recommended channel")
            << put(both, {{0, 0, 1}, {1, 6, 1}, {51, 0x8A, 1}}) << true << 2 << 2 << 0 << "Auto: 2" << group0 << 2;
        QTest::newRow("type 40, group 1 from 1.29") << put(both, {{4, 0x011D, 2}, {63, 0x44, 1}}) << false << 4
                                                    << 4 << 1 << "0" << group1 << 1;
        QTest::newRow("type 40 before 1.29: group 0") << put(both, {{4, 0x011C, 2}, {63, 0x42, 1}}) << false << 2
                                                      << 4 << 0 << "0" << group0 << 2;
        QTest::newRow("group byte above 3 is capped") << put(both, {{66, 9, 1}, {63, 0x43, 1}}) << false << 3 << 4
                                                      << 3 << "0" << QStringList{"3", "6", "9", "Auto", "Dynamic"}
                                                      << 0;
        QTest::newRow("demo board 43 with old firmware has groups")
            << put(both, {{0, 43, 1}, {4, 0x0001, 2}, {66, 2, 1}, {63, 0x48, 1}}) << false << 8 << 4 << 2 << "0"
            << QStringList{"2", "5", "8", "Auto", "Dynamic"} << 2;
        QTest::newRow("automatic mode") << put(both, {{62, 1, 1}, {63, 0x44, 1}}) << false << 4 << 4 << 1 << "0"
                                        << QStringList{"1", "4", "7", "Auto: 4", "Dynamic"} << 3;
        QTest::newRow("dynamic mode") << put(both, {{62, 2, 1}, {63, 0x47, 1}}) << false << 7 << 4 << 1 << "0"
                                      << QStringList{"1", "4", "7", "Auto", "Dynamic: 7"} << 4;
    }

    void channels()
    {
        QFETCH(QByteArray, record);
        QFETCH(bool, older);
        QFETCH(int, current);
        QFETCH(int, recommended);
        QFETCH(int, group);
        QFETCH(QString, olderText);
        QFETCH(QStringList, choices);
        QFETCH(int, index);
        const hubroInfo_t r = info(record);
        QCOMPARE(isOlderMaster(r), older);
        QCOMPARE(currentChannel(r), current);
        QCOMPARE(recommendedChannel(r), recommended);
        QCOMPARE(channelGroup(r), group);
        if (older)
            QCOMPARE(olderChannelText(r), olderText);
        QCOMPARE(channelChoiceTexts(r), choices);
        QCOMPARE(channelChoiceIndex(r), index);
    }

    void firmwareText_data()
    {
        QTest::addColumn<QByteArray>("date");
        QTest::addColumn<QByteArray>("time");
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("text");
        QTest::newRow("stamp") << QByteArray("Aug 28 2026") << QByteArray("14:03:07") << 0x0120
                               << "1.32 (28.08.26 14:03:07)";
        QTest::newRow("one-digit day padded with a space")
            << QByteArray("Aug  5 2026") << QByteArray("09:00:59") << 0x0120 << "1.32 (05.08.26 09:00:59)";
        QTest::newRow("one-digit day") << QByteArray("Jan 5 2026") << QByteArray("00:00:00") << 0x0105
                                       << "1.5 (05.01.26 00:00:00)";
        QTest::newRow("bad date: version alone") << QByteArray("Foo 28 2026") << QByteArray("14:03:07") << 0x0120
                                                 << "1.32";
        QTest::newRow("bad time: version alone") << QByteArray("Aug 28 2026") << QByteArray("25:03:07") << 0x0120
                                                 << "1.32";
        QTest::newRow("unavailable version") << QByteArray("Aug 28 2026") << QByteArray("14:03:07") << 0xFF01
                                             << "Unavailable (28.08.26 14:03:07)";
        // All 14 bytes used: read no further than the field.
        QTest::newRow("unterminated fields") << QByteArray("Aug 28 2026XXX") << QByteArray("14:03:07XXXXXX")
                                             << 0x0120 << "1.32";
    }

    void firmwareText()
    {
        QFETCH(QByteArray, date);
        QFETCH(QByteArray, time);
        QFETCH(int, version);
        QFETCH(QString, text);
        QByteArray record = put(healthyRecord(), {{4, quint32(version), 2}});
        record.replace(6, 14, date.leftJustified(14, '\0'));
        record.replace(20, 14, time.leftJustified(14, '\0'));
        QCOMPARE(coreFirmwareText(info(record)), text);
    }

    void identityTexts()
    {
        const hubroInfo_t r = info(healthyRecord());
        QCOMPARE(serialText(r), QStringLiteral("0001234567"));
        QCOMPARE(addressText(r, false), QStringLiteral("17"));
        QCOMPARE(addressText(r, true), QStringLiteral("9"));
        QCOMPARE(addressText(info(put(healthyRecord(), {{52, 0, 1}})), false), QStringLiteral("Not assigned"));
        QCOMPARE(freeMemoryText(r), QStringLiteral("4096 B"));
        QCOMPARE(serialText(info(put(healthyRecord(), {{43, 0xFFFFFFFF, 4}}))), QStringLiteral("4294967295"));
        QCOMPARE(versionText(hardwareVersion(r)), QStringLiteral("12.0"));
        QCOMPARE(versionText(radioFirmwareVersion(r)), QStringLiteral("1.16"));
    }

    void supportsFeature_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("hardware");
        QTest::addColumn<int>("core");
        QTest::addColumn<int>("radio");
        QTest::addColumn<int>("feature");
        QTest::addColumn<bool>("supported");
        QTest::newRow("9 before 1.32") << 40 << 12 << 0x011F << 0x0110 << 9 << false;
        QTest::newRow("9 from 1.32") << 40 << 12 << 0x0120 << 0x0110 << 9 << true;
        QTest::newRow("9 on type 44 from 0.32") << 44 << 12 << 0x0020 << 0x0110 << 9 << true;
        QTest::newRow("9 on type 0 from 1.32") << 0 << 5 << 0x0120 << 0x0110 << 9 << true;
        QTest::newRow("type 0, feature 11") << 0 << 12 << 0x0130 << 0x0110 << 11 << false;
        QTest::newRow("type 1, 7 at 1.11") << 1 << 5 << 0x010B << 0x0110 << 7 << false;
        QTest::newRow("type 1, 7 at 1.12") << 1 << 5 << 0x010C << 0x0110 << 7 << true;
        QTest::newRow("type 1, 6 radio 1.6 core 1.20") << 1 << 5 << 0x0114 << 0x0106 << 6 << true;
        QTest::newRow("type 1, 6 radio 1.5") << 1 << 5 << 0x0114 << 0x0105 << 6 << false;
        QTest::newRow("type 1, 6 core 1.19") << 1 << 5 << 0x0113 << 0x0106 << 6 << false;
        QTest::newRow("type 0, 4 on hardware 9") << 0 << 9 << 0x0120 << 0x0110 << 4 << false;
        QTest::newRow("type 0, 4 on hardware 10") << 0 << 10 << 0x0120 << 0x0110 << 4 << true;
        QTest::newRow("type 43, anything") << 43 << 1 << 0x0001 << 0x0001 << 13 << true;
        QTest::newRow("11 at 1.28") << 40 << 12 << 0x011C << 0x0110 << 11 << false;
        QTest::newRow("11 at 1.29") << 40 << 12 << 0x011D << 0x0110 << 11 << true;
        QTest::newRow("3 on hardware 13") << 40 << 13 << 0x0120 << 0x0110 << 3 << true;
        QTest::newRow("3 on hardware 14") << 40 << 14 << 0x0120 << 0x0110 << 3 << false;
        QTest::newRow("12 at 1.31") << 40 << 12 << 0x011F << 0x0110 << 12 << true;
        QTest::newRow("13 at 1.31") << 40 << 12 << 0x011F << 0x0110 << 13 << false;
        QTest::newRow("13 at 2.0") << 141 << 12 << 0x0200 << 0x0110 << 13 << true;
        QTest::newRow("other feature") << 40 << 1 << 0x0001 << 0x0001 << 4 << true;
    }

    void supportsFeature()
    {
        QFETCH(int, type);
        QFETCH(int, hardware);
        QFETCH(int, core);
        QFETCH(int, radio);
        QFETCH(int, feature);
        QFETCH(bool, supported);
        const hubroInfo_t r = info(put(healthyRecord(), {{0, quint32(type), 1},
                                                        {1, quint32(hardware), 1},
                                                        {2, quint32(radio), 2},
                                                        {4, quint32(core), 2}}));
        QCOMPARE(HubroStatus::supportsFeature(r, feature), supported);
    }

    void wireloopAsSupply_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("hardware");
        QTest::addColumn<int>("jumpers");
        QTest::addColumn<int>("options");
        QTest::addColumn<bool>("editable");
        QTest::addColumn<int>("value");
        QTest::newRow("type 0 old, jumper clear") << 0 << 9 << 0x00 << 0x40 << false << 1;
        QTest::newRow("type 0 old, jumper set") << 0 << 9 << 0x01 << 0x00 << false << 0;
        QTest::newRow("type 1 old: option bit") << 1 << 9 << 0x00 << 0x40 << false << 1;
        QTest::newRow("type 1 hardware 10: editable") << 1 << 10 << 0x00 << 0x40 << true << 1;
        QTest::newRow("type 0 hardware 10: editable") << 0 << 10 << 0x01 << 0x00 << true << 0;
        QTest::newRow("demo board 43 hardware 14: editable") << 43 << 14 << 0x00 << 0x40 << true << 1;
        QTest::newRow("type 40 hardware 13: editable") << 40 << 13 << 0x00 << 0x00 << true << 0;
        QTest::newRow("type 40 hardware 14: plain") << 40 << 14 << 0x00 << 0x40 << false << 1;
    }

    void wireloopAsSupply()
    {
        QFETCH(int, type);
        QFETCH(int, hardware);
        QFETCH(int, jumpers);
        QFETCH(int, options);
        QFETCH(bool, editable);
        QFETCH(int, value);
        const hubroInfo_t r = info(put(healthyRecord(), {{0, quint32(type), 1},
                                                        {1, quint32(hardware), 1},
                                                        {34, quint32(options), 1},
                                                        {41, quint32(jumpers), 1}}));
        const WireloopAsSupply row = HubroStatus::wireloopAsSupply(r);
        QCOMPARE(row.editable, editable);
        QCOMPARE(row.value, value);
    }

    void intervals()
    {
        const hubroInfo_t r = info(healthyRecord());
        QCOMPARE(exchangeIntervalMs(r), 60000);
        QCOMPARE(lossDetectionSeconds(r), 180);
        QCOMPARE(lossDetectionSeconds(info(put(healthyRecord(), {{47, 3333, 2}}))), 99);
        QCOMPARE(int(exchangeIntervalForSeconds(180)), 6000);
        QCOMPARE(int(exchangeIntervalForSeconds(45)), 1500);
        QCOMPARE(int(exchangeIntervalForSeconds(900)), 30000);
        for (const int seconds : lossDetectionChoices(0, false))
            QCOMPARE(lossDetectionSeconds(info(put(healthyRecord(), {{47, exchangeIntervalForSeconds(seconds), 2}}))),
                     seconds);
        QCOMPARE(lossDetectionChoices(0, false), (QList<int>{30, 45, 90, 180, 270, 360, 540, 720, 900}));
        QCOMPARE(lossDetectionChoices(0, true), (QList<int>{180, 270, 360, 540, 720, 900}));
        QCOMPARE(lossDetectionChoices(40, false), (QList<int>{180, 270, 360, 540, 720, 900}));
    }

    void modesAndClock()
    {
        const QByteArray healthy = healthyRecord();
        QVERIFY(isConfigurationMode(info(put(healthy, {{34, 0x02, 1}}))));
        QVERIFY(isChannelScanMode(info(put(healthy, {{34, 0x04, 1}}))));
        QVERIFY(isKeyboardLocked(info(put(healthy, {{34, 0x01, 1}}))));
        QVERIFY(isPasswordEnabled(info(put(healthy, {{34, 0x08, 1}}))));
        QVERIFY(!isConfigurationMode(info(healthy)) && !isChannelScanMode(info(healthy)));
        QCOMPARE(maxDeviceCount(info(put(healthy, {{0, 0, 1}}))), 32);

        const qint64 now = 1790000000;
        QVERIFY(!clockNeedsSetting(info(put(healthy, {{56, quint32(now + 60), 4}})), now));
        QVERIFY(clockNeedsSetting(info(put(healthy, {{56, quint32(now + 61), 4}})), now));
        QVERIFY(clockNeedsSetting(info(put(healthy, {{56, quint32(now - 61), 4}})), now));
        QVERIFY(!clockNeedsSetting(info(put(healthy, {{0, 1, 1}, {1, 9, 1}, {56, 0, 4}})), now)); // older master
    }

    void measured()
    {
        const QByteArray record = put(healthyRecord(), {{42, 1, 1}, {62, 2, 1}, {66, 1, 1}, {63, 0x47, 1},
                                                        {72, 9, 1}, {34, 0x68, 1}, {37, 1500, 2}});
        const QList<QPair<QString, QVariant>> values = measuredValues(info(record));
        QStringList keys;
        for (const auto &value : values)
            keys << value.first;
        QCOMPARE(keys, measuredKeys());
        QCOMPARE(measuredKeys().size(), 14);
        const QVariantList expected{1, 4096, 2, 1, 7, 4, 9, 180, 1, 12.0, 0.0, 1, 24000, 1};
        for (int i = 0; i < values.size(); ++i)
            QCOMPARE(values.at(i).second, expected.at(i));

        // Without interference reporting the noise is not handed over; an older
        // master's radio mode is 0 whatever the mode byte says.
        const QList<QPair<QString, QVariant>> old =
            measuredValues(info(put(record, {{0, 1, 1}, {1, 9, 1}, {4, 0x011F, 2}, {51, 0x0E, 1}})));
        QCOMPARE(old.size(), 13);
        QVERIFY(std::none_of(old.begin(), old.end(), [](const auto &v) { return v.first == "RFNoise"; }));
        QCOMPARE(old.at(2).second, QVariant(0));
        QCOMPARE(old.at(4).second, QVariant(2));
        QCOMPARE(old.at(5).second, QVariant(3));
    }
};

QTEST_GUILESS_MAIN(HubroStatusTest)
#include "tst_hubrostatus.moc"

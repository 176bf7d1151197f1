// Reading the simulation file, and the master and device records built from it.

#include "messagecapture.h"
#include "simulationfile.h"

#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QJsonObject json(const QByteArray &text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        qFatal("bad test JSON: %s", text.constData());
    return document.object();
}

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// `record` with the bytes at each offset replaced.
QByteArray patched(QByteArray record, std::initializer_list<std::pair<int, const char *>> patches)
{
    for (const auto &patch : patches) {
        const QByteArray bytes = hex(patch.second);
        record.replace(patch.first, bytes.size(), bytes);
    }
    return record;
}

const QDateTime Now = QDateTime::fromSecsSinceEpoch(1787932900, Qt::UTC); // 0x6A91B0E4, Aug 28 2026 16:01:40

// The record of an empty "master" object at Now.
const QByteArray DefaultMaster = hex("00 0A 0001 0001"
                                     "41756720323820323032360000 00" // "Aug 28 2026"
                                     "31363A30313A3430000000000000"  // "16:01:40"
                                     "00 E02E E02E 2823 03 01 40E20100 2823 B80B"
                                     "00 00 0000 00 E4B0916A 0000"
                                     "00 00 00 00 00 0000000000000000000000");

} // namespace

class SimulationFileTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void refusesWhatIsNoSimulation_data()
    {
        QTest::addColumn<QByteArray>("contents"); // "<none>": no file, "<folder>": a folder
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << QByteArray("<none>") << "does not exist";
        QTest::newRow("folder") << QByteArray("<folder>") << "not a regular file";
        QTest::newRow("empty") << QByteArray() << "is empty";
        QTest::newRow("blank") << QByteArray(" \n\t\n") << "is empty";
        QTest::newRow("not JSON") << QByteArray("{\"master\": {") << "is not valid JSON";
        QTest::newRow("binary") << QByteArray("\x01\x02\xff", 3) << "is not valid JSON";
        QTest::newRow("array") << QByteArray("[{\"master\": {}}]") << "does not hold a JSON object";
        QTest::newRow("empty object") << QByteArray(" { } ") << "describes nothing";
        QTest::newRow("device number beyond a byte") << QByteArray(R"({"devices": [{"id": 1}, {"id": 257}]})")
                                                     << "device entry 2: \"id\" 257 cannot be read";
        QTest::newRow("fractional type") << QByteArray(R"({"devices": [{"id": 1, "type": 3.5}]})")
                                         << "device entry 1: \"type\" 3.5 cannot be read";
        QTest::newRow("device number as text") << QByteArray(R"({"devices": [{"id": "x"}]})")
                                               << "device entry 1: \"id\" \"x\" cannot be read";
        QTest::newRow("more devices than addresses")
            << QByteArray(R"({"master": {"bDevType": 0}, "devices": [)") + QByteArray("{}, ").repeated(32) + "{}]}"
            << "33 device entries, more than the 32 addresses";
    }
    void refusesWhatIsNoSimulation()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, message);
        const QString path = dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + QLatin1String(".sim"));
        if (contents == "<folder>") {
            QVERIFY(QDir().mkpath(path));
        } else if (contents != "<none>") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(contents);
        }

        MessageCapture log;
        QString error = QStringLiteral("stale");
        QVERIFY(readSimulationFile(path, &error).isEmpty());
        QVERIFY2(error.contains(message) && error.contains(path), qPrintable(error));
        QCOMPARE(log.lines.size(), 1);
        QVERIFY(log.lines.first().startsWith(QLatin1String("Simulation file error ")));
        QVERIFY(readSimulationFile(path).isEmpty()); // no error text wanted
    }

    void readsAnyObjectWithContent_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("master only") << QByteArray(R"({"master": {"bDevType": 40}})");
        QTest::newRow("devices only") << QByteArray(R"({"devices": [{"type": 5}, {}]})");
        QTest::newRow("neither") << QByteArray(R"({"refresh": "instant"})");
        QTest::newRow("all, UTF-8 with a byte-order mark")
            << QByteArray("\xEF\xBB\xBF{\"master\": {\"szDate\": \"Aug 28 2026\"}, \"devices\": [], \"refresh\": \"\"}");
    }
    void readsAnyObjectWithContent()
    {
        QFETCH(QByteArray, contents);
        const QString path = dir.filePath(QStringLiteral("good.sim"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(contents);
        file.close();

        MessageCapture log;
        QString error = QStringLiteral("stale");
        const QJsonObject root = readSimulationFile(path, &error);
        QCOMPARE(error, QString());
        QCOMPARE(log.lines, QStringList{QStringLiteral("Simulation reload successfull")});
        const QByteArray plain = contents.startsWith("\xEF\xBB\xBF") ? contents.mid(3) : contents;
        QCOMPARE(root, QJsonDocument::fromJson(plain).object());
    }

    void masterRecord_data()
    {
        QTest::addColumn<QByteArray>("master");
        QTest::addColumn<QByteArray>("record");
        QTest::newRow("empty object: every default") << QByteArray("{}") << DefaultMaster;
        QTest::newRow("every key") << QByteArray(R"({
                "bDevType": 40, "bHWVer": 14, "wMK1FWVer": "2.15", "wMK2FWVer": "1.32",
                "szDate": "Jan  5 2025", "szTime": "09:08:07",
                "Options": {"fKbdLock": 1, "btfRFMode": 2, "fPswE": 1, "fRestricted": 0,
                            "fPowerAdjustment": 1, "fWireloopPowerDisable": 0, "fReserv": 1},
                "wPowerMain": 13500, "wPowerBackup": 0, "wPowerWireloop": 24000,
                "bJamperState": 0, "bCaseState": 0, "dwSerialId": 4294967295,
                "wExchangeInterval": 6000, "wHeapFree": 70000,
                "Channels": {"btfRFCurr": 3, "btfRecommended": 1, "reserved": 2,
                             "fDynamicEnable": 1, "fAutoEnable": 0,
                             "ChannelsAdvanced": {"btfRFCurr": 12, "ChannelGroup": 2}},
                "bWireloopAddr": 17, "wProtocolVer": 258, "HUBROError": {"btfType": 2, "btfData": 5},
                "Time": 1700000000, "wLogQntMsg": 513, "bKastrelAddr": 9})")
                                       << hex("28 0E 0F02 2001"
                                              "4A616E20203520323032350000 00"
                                              "30393A30383A3037000000000000"
                                              "AD BC34 0000 C05D 00 00 FFFFFFFF 7017 7011"
                                              "67 11 0201 16 00F15365 0102"
                                              "00 0C 00 09 02 0000000000000000000000");
        QTest::newRow("text where a number belongs") << QByteArray(R"({"wPowerMain": "5000", "bHWVer": true})")
                                                     << DefaultMaster;
        QTest::newRow("fraction or null where a number belongs")
            << QByteArray(R"({"bHWVer": 10.5, "bCaseState": null, "Time": 1.5})") << DefaultMaster;
        QTest::newRow("channel group outside Channels is not read")
            << QByteArray(R"({"ChannelsAdvanced": {"btfRFCurr": 5, "ChannelGroup": 1}})") << DefaultMaster;
        QTest::newRow("objects of the wrong type")
            << QByteArray(R"({"Options": 255, "Channels": [1], "HUBROError": "x"})") << DefaultMaster;
        QTest::newRow("versions without a point") << QByteArray(R"({"wMK1FWVer": "7", "wMK2FWVer": 2})")
                                                  << DefaultMaster;
        QTest::newRow("version parts beyond a byte")
            << QByteArray(R"({"wMK1FWVer": "99999999.1", "wMK2FWVer": "1.-3"})") << DefaultMaster;
        QTest::newRow("numbers cut to the field")
            << QByteArray(R"({"bDevType": -1, "wPowerMain": 65537, "Time": -1,
                              "Options": {"btfRFMode": 7}, "HUBROError": {"btfData": 255}})")
            << patched(DefaultMaster, {{0, "FF"}, {35, "0100"}, {56, "FFFFFFFF"}, {34, "06"}, {55, "FC"}});
        QTest::newRow("supply states: main and reserve good")
            << QByteArray(R"({"bPowerState": 3})") << patched(DefaultMaster, {{73, "03"}});
        QTest::newRow("long texts keep 13 characters")
            << QByteArray(R"({"szDate": "September 28 2026", "szTime": "Ärger"})")
            << patched(DefaultMaster, {{6, "53657074656D62657220323820 00"}, {20, "C47267657200000000"}});
    }
    void masterRecord()
    {
        QFETCH(QByteArray, master);
        QFETCH(QByteArray, record);
        QCOMPARE(hubroInfoToBytes(masterRecordFromJson(json(master), Now)).toHex(' '), record.toHex(' '));
    }

    void masterTimeDefaultsToNow()
    {
        const qint64 before = QDateTime::currentSecsSinceEpoch();
        const hubroInfo_t record = masterRecordFromJson(QJsonObject());
        QVERIFY(record.Time >= before && record.Time <= QDateTime::currentSecsSinceEpoch());
    }

    void deviceRecord_data()
    {
        QTest::addColumn<QByteArray>("device");
        QTest::addColumn<int>("defaultId");
        QTest::addColumn<int>("counter");
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<int>("counterAfter");
        const QByteArray empty = hex("00 E7030000 0001 0001 00 0C 02 D8 00000000 00 00 00 00");
        QTest::newRow("empty object in an empty connection") << QByteArray("{}") << 0 << 999 << empty << 998;
        QTest::newRow("next number, counter further down")
            << QByteArray("{}") << 5 << 997 << patched(empty, {{0, "05"}, {1, "E5030000"}}) << 996;
        QTest::newRow("every key") << QByteArray(R"({"id": 7, "serial": 305419896, "fwVer": "1.32",
                                                    "hwVer": "3.4", "address": 300, "type": 14, "state": 0,
                                                    "rssi": -70, "rl": "1A2B", "protocolVersion": 1,
                                                    "buildNumber": 77, "extra": {"Z1": {}}})")
                                   << 3 << 999 << hex("07 78563412 2001 0403 2C 0E 00 BA 00001A2B 01 4D 00 00")
                                   << 999;
        QTest::newRow("serial of the wrong type counts as missing")
            << QByteArray(R"({"serial": "12"})") << 0 << 999 << empty << 998;
        QTest::newRow("versions 2.15 and 7") << QByteArray(R"({"fwVer": "2.15", "hwVer": "7"})") << 0 << 999
                                             << patched(empty, {{5, "0F02"}}) << 998;
        QTest::newRow("rl: not hexadecimal") << QByteArray(R"({"rl": "xyz"})") << 0 << 999 << empty << 998;
        QTest::newRow("rl: more than 32 bits") << QByteArray(R"({"rl": "1FFFFFFFF"})") << 0 << 999 << empty << 998;
        QTest::newRow("rl: a number") << QByteArray(R"({"rl": 6699})") << 0 << 999 << empty << 998;
        QTest::newRow("rl: 32 bits") << QByteArray(R"({"rl": "fedcba98"})") << 0 << 999
                                     << patched(empty, {{13, "FEDCBA98"}}) << 998;
        QTest::newRow("numbers cut to the field")
            << QByteArray(R"({"id": 257, "serial": -1, "type": 511, "rssi": 200})") << 0 << 999
            << patched(empty, {{0, "01"}, {1, "FFFFFFFF"}, {10, "FF"}, {12, "C8"}}) << 999;
    }
    void deviceRecord()
    {
        QFETCH(QByteArray, device);
        QFETCH(int, defaultId);
        QFETCH(int, counter);
        QFETCH(QByteArray, record);
        QFETCH(int, counterAfter);
        qint32 serialCounter = counter;
        const deviceInfo_t info = deviceRecordFromJson(json(device), defaultId, serialCounter);
        QCOMPARE(deviceInfoToBytes(info).toHex(' '), record.toHex(' '));
        QCOMPARE(serialCounter, counterAfter);
    }
};

QTEST_GUILESS_MAIN(SimulationFileTest)

#include "tst_simulationfile.moc"

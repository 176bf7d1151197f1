// The configuration-file connection on real files in a temporary folder:
// the records read from the file, refused files, the lock against other
// processes (this program started again as a helper) before and after a
// write-back, edits written back, failed and refused writes, and files
// written by the exporter read back.

#include "appglobals.h"
#include "connectionfixture.h"
#include "configurationexporter.h"
#include "configurationfilereader.h"
#include "configurationfixture.h"
#include "deviceitem.h"
#include "di_tirun.h"
#include "fileconnection.h"
#include "filelocker.h"
#include "hubroitem.h"
#include "masterbench.h"
#include "offlineconnections.h"
#include "registerdeviceclasses.h"
#include "settings.h"
#include "simulatedconnection.h"
#include "testsupport.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <algorithm>

#include <cerrno>
#include <cstring>
#include <memory>

namespace {

using ConfigurationFileReader::Vocabulary;

bool save(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QJsonObject json(const QByteArray &text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        qFatal("bad test JSON: %s", text.constData());
    return document.object();
}

QJsonObject fileObject(const QString &path)
{
    return QJsonDocument::fromJson(readFile(path)).object();
}

// Whether a locker in another process can take the file now.
bool otherProcessCanLock(const QString &path)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--try-lock"), path});
    if (!child.waitForStarted() || !child.waitForFinished(10000))
        qFatal("--try-lock helper did not finish");
    return child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
}

Vocabulary englishVocabulary()
{
    Vocabulary vocabulary;
    vocabulary.modelNames << deviceModelNames;
    vocabulary.onWords << QStringLiteral("On");
    vocabulary.offWords << QStringLiteral("Off");
    return vocabulary;
}

// Pretends to be the Russian catalogue for model names.
class MarkedTranslator : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *source, const char *, int) const override
    {
        return QLatin1String(context) == QLatin1String("QObject") ? QStringLiteral("RU ") + QString::fromUtf8(source)
                                                                  : QString();
    }
};

void dropDeletedItems()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Record fields a configuration file carries.
void compareMasters(const hubroInfo_t &read, const hubroInfo_t &written)
{
    QCOMPARE(int(read.bDevType), int(written.bDevType)); // packed: compared by value
    QCOMPARE(int(read.bHWVer), int(written.bHWVer));
    QCOMPARE(int(read.wMK1FWVer), int(written.wMK1FWVer));
    QCOMPARE(int(read.wMK2FWVer), int(written.wMK2FWVer));
    QCOMPARE(int(read.dwSerialId), int(written.dwSerialId));
    QCOMPARE(int(read.wExchangeInterval), int(written.wExchangeInterval));
    QCOMPARE(int(read.bWireloopAddr), int(written.bWireloopAddr));
    QCOMPARE(int(read.Options.fKbdLock), int(written.Options.fKbdLock));
    QCOMPARE(int(read.Options.fPswE), int(written.Options.fPswE));
    QCOMPARE(int(read.Options.fPowerAdjustment), int(written.Options.fPowerAdjustment));
    QCOMPARE(int(read.Options.fWireloopPowerDisable), int(written.Options.fWireloopPowerDisable));
    QCOMPARE(int(read.bChannelMode), int(written.bChannelMode));
    QCOMPARE(int(read.ChannelsAdvanced.btfRFCurr), int(written.ChannelsAdvanced.btfRFCurr));
    QCOMPARE(int(read.ChannelsAdvanced.btfRecommended), int(written.ChannelsAdvanced.btfRecommended));
}

// All of a device record but what only a live device reports.
QByteArray carried(deviceInfo_t info)
{
    info.linkState = 3;
    info.rssi = 0;
    info.kastrelAddress = 0;
    info.reserved = 0;
    return deviceInfoToBytes(info).toHex(' ');
}

} // namespace

class FileConnectionTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<MessageBoxRecorder> boxes;

    QString path(const QString &name = QStringLiteral("site.conf")) const { return dir.filePath(name); }

    // A 125-device file: master, a contact sensor, an input module with its
    // settings and a relay module.
    static QByteArray smallFile()
    {
        return "{\"version\": \"1.0\", \"master\": {\"device\": \"Zentar-HUBRO125\", \"hw\": 14, \"serial\": -5,"
               " \"interval\": 180, \"mk1\": 527, \"mk2\": 288, \"wireloop address\": 1, \"current channel\": 2,"
               " \"recommended channel\": 3, \"auto mode\": false, \"dynamic mode\": false, \"wireloop power\": false},"
               " \"devices\": ["
               "{\"id\": 1, \"serial\": 101, \"type id\": 3, \"firmware\": \"1.5\", \"hardware\": \"1.0\","
               " \"wireloop address\": 2},"
               "{\"id\": 2, \"serial\": 102, \"type id\": 4, \"firmware\": \"1.7\", \"hardware\": \"1.0\","
               " \"wireloop address\": 3, \"enabledCable\": 1, \"enabledSabotage\": 1, \"Z1.fAlarm\": 1},"
               "{\"id\": 7, \"serial\": 107, \"type id\": 14, \"firmware\": \"1.1\", \"hardware\": \"1.0\","
               " \"wireloop address\": 5, \"out 1\": \"On\"}]}";
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        prepareConnectionTests();
        boxes = std::make_unique<MessageBoxRecorder>();
    }
    void init() { boxes->clear(); }
    void cleanup()
    {
        FileLocker::setWriteFunction(nullptr);
        dropDeletedItems();
    }

    // ---------------------------------------------------------------- reading

    void masterRecord_data()
    {
        QTest::addColumn<QByteArray>("master");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("bytes");

        QTest::newRow("whole record")
            << QByteArray("{\"device\": \"Zentar-HUBRO125\", \"hw\": 14, \"mk1\": \"2.15 (01.02.20 10:00:00)\","
                          " \"mk2\": \"3.1 (28.08.26 16:01:40)\", \"keyboard lock\": true, \"rf mode\": 5,"
                          " \"password enabled\": true, \"power adjustment\": true, \"wireloop power\": true,"
                          " \"power main\": 12000, \"power backup\": 12500, \"jamper state\": true,"
                          " \"case state\": false, \"serial\": -2147483648, \"interval\": 180, \"heapfree\": 3000,"
                          " \"current channel\": 18, \"recommended channel\": 3, \"channel mode\": 2,"
                          " \"wireloop address\": 7, \"protocol version\": 258}")
            << 0
            << QByteArray::fromHex("28 0e 0f02 0103"
                                   "32382e30382e3236 000000000000" // "28.08.26"
                                   "31363a30313a3430 000000000000" // "16:01:40"
                                   "6b e02e d430 0100 01 00 00000080 7017 b80b"
                                   "00 07 0201 00 00000000 0000 02 32 00 00 00 0000000000000000000000");
        QTest::newRow("32-device channels")
            << QByteArray("{\"device\": \"Zentar-HUBRO32\", \"current channel\": 3, \"recommended channel\": 2,"
                          " \"channel\": 1, \"dynamic channel\": true, \"auto channel\": false, \"channel mode\": 2}")
            << 51 << QByteArray::fromHex("5b 00 0000 00 00000000 0000 00 00");
        QTest::newRow("interval in whole seconds") << QByteArray("{\"interval\": 180}") << 47 << QByteArray::fromHex("7017");
        QTest::newRow("interval as exported") << QByteArray("{\"interval\": 5.3999999999999995}") << 47
                                              << QByteArray::fromHex("b400");
        QTest::newRow("interval to the nearest tick") << QByteArray("{\"interval\": 180.5}") << 47
                                                      << QByteArray::fromHex("8117");
        QTest::newRow("interval as text") << QByteArray("{\"interval\": \"180\"}") << 47 << QByteArray::fromHex("0000");
        QTest::newRow("mk1 number") << QByteArray("{\"mk1\": 527}") << 2 << QByteArray::fromHex("0f02");
        QTest::newRow("mk1 without minor") << QByteArray("{\"mk1\": \"2\"}") << 2 << QByteArray::fromHex("0002");
        QTest::newRow("mk1 no version") << QByteArray("{\"mk1\": \"x.1\"}") << 2 << QByteArray::fromHex("0000");
        QTest::newRow("mk2 without date") << QByteArray("{\"mk2\": \"3.1\"}") << 4
                                          << QByteArray::fromHex("0103 0000000000000000000000000000");
        QTest::newRow("serial unsigned") << QByteArray("{\"serial\": 4294967295}") << 43 << QByteArray::fromHex("ffffffff");
        QTest::newRow("serial signed") << QByteArray("{\"serial\": -1}") << 43 << QByteArray::fromHex("ffffffff");
        QTest::newRow("serial as text") << QByteArray("{\"serial\": \"5\"}") << 43 << QByteArray::fromHex("00000000");
        QTest::newRow("auto mode") << QByteArray("{\"device\": \"Zentar-HUBRO125\", \"auto mode\": true}") << 62
                                   << QByteArray::fromHex("01");
        QTest::newRow("dynamic channel") << QByteArray("{\"device\": \"Zentar-HUBRO125\", \"dynamic channel\": true}")
                                         << 62 << QByteArray::fromHex("02");
        QTest::newRow("channel mode as text")
            << QByteArray("{\"device\": \"Zentar-HUBRO125\", \"channel mode\": \"2\", \"auto mode\": true}") << 62
            << QByteArray::fromHex("01");
        QTest::newRow("flag as number") << QByteArray("{\"keyboard lock\": 1}") << 34 << QByteArray::fromHex("01");
        QTest::newRow("model with Bluetooth") << QByteArray("{\"device\": \"Zentar-HUBRO125 exec. 01\"}") << 0
                                              << QByteArray::fromHex("8d");
        QTest::newRow("no model name") << QByteArray("{}") << 0 << QByteArray::fromHex("08");
        QTest::newRow("unknown model") << QByteArray("{\"device\": \"Zentar-XYZ\"}") << 0 << QByteArray::fromHex("00");
        // Parts beyond a byte are no version: read as 0.
        QTest::newRow("versions beyond a byte")
            << QByteArray("{\"mk1\": \"99999999.1\", \"mk2\": \"1.256 (01.02.20 10:00:00)\"}") << 2
            << QByteArray::fromHex("00000000");
    }
    void masterRecord()
    {
        QFETCH(QByteArray, master);
        QFETCH(int, offset);
        QFETCH(QByteArray, bytes);
        const auto data = ConfigurationFileReader::readMaster(json(master), englishVocabulary());
        QCOMPARE(hubroInfoToBytes(data.record).mid(offset, bytes.size()).toHex(' '), bytes.toHex(' '));
    }

    void radioFirmwareText_data()
    {
        QTest::addColumn<QByteArray>("master");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("seconds");
        QTest::newRow("text") << QByteArray("{\"mk1\": \"2.15 (01.02.20 10:00:00)\", \"interval\": 180}")
                              << "2.15 (01.02.20 10:00:00)" << 180;
        QTest::newRow("number") << QByteArray("{\"mk1\": 527, \"interval\": 5.4}") << "2.15" << 5;
        QTest::newRow("missing") << QByteArray("{}") << "0.0" << 0;
    }
    void radioFirmwareText()
    {
        QFETCH(QByteArray, master);
        QFETCH(QString, text);
        QFETCH(int, seconds);
        const auto data = ConfigurationFileReader::readMaster(json(master), englishVocabulary());
        QCOMPARE(data.radioFirmwareText, text);
        QCOMPARE(data.intervalSeconds, seconds);
    }

    void modelNamesOfEitherLanguage()
    {
        // The window in English, a file saved under the other language, and back.
        MarkedTranslator russian;
        const QList<QStringList> english{deviceModelNames, untranslatedDeviceModelNames(),
                                         deviceModelNamesIn(russian)};
        QCOMPARE(ConfigurationFileReader::typeOfModelName(QStringLiteral("RU Zentar-HUBRO125 exec. 01"), english), 141);
        QCOMPARE(ConfigurationFileReader::typeOfModelName(QStringLiteral("Zentar-HUBRO125 exec. 01"), english), 141);

        QCoreApplication::installTranslator(&russian);
        registerDeviceModelNames();
        QCOMPARE(deviceModelNames.at(141), QStringLiteral("RU Zentar-HUBRO125 exec. 01"));
        QVERIFY(save(path(), "{\"master\": {\"device\": \"Zentar-HUBRO125 exec. 01\"}}"));
        FileConnection connection;
        const bool opened = connection.connectToMaster(File, path(), MasterOrdinary);
        const int type = opened ? connection.master()->hubroInfo().bDevType : -1;
        QCoreApplication::removeTranslator(&russian);
        registerDeviceModelNames();
        QVERIFY(opened);
        QCOMPARE(type, 141);
    }

    void deviceRecordAndState_data()
    {
        QTest::addColumn<QByteArray>("device");
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QByteArray>("state");
        QTest::newRow("input module")
            << QByteArray("{\"id\": 5, \"serial\": -1, \"firmware\": \"2.3\", \"hardware\": \"7\", \"wireloop address\": 9,"
                          " \"type id\": 4, \"rl\": 4294967295, \"protocol\": 1, \"build number\": 12, \"bActiveZone\": 3,"
                          " \"Z1.fAlarm\": 1, \"Z2.fFail\": 1}")
            << QByteArray::fromHex("05 ffffffff 0302 0000 09 04 03 00 ffffffff 01 0c 0000")
            << QByteArray::fromHex("00 03 00 00 80 00 40 00 00");
        QTest::newRow("build number of other writers")
            << QByteArray("{\"buildNumber\": 7, \"type id\": 3}")
            << QByteArray::fromHex("00 00000000 0000 0000 00 03 03 00 00000000 00 07 0000") << QByteArray();
        QTest::newRow("both build numbers") << QByteArray("{\"buildNumber\": 7, \"build number\": 8}")
                                            << QByteArray::fromHex("00 00000000 0000 0000 00 00 03 00 00000000 00 08 0000")
                                            << QByteArray();
        QTest::newRow("wrong types") << QByteArray("{\"id\": \"5\", \"serial\": \"7\", \"type id\": 4.5, \"rl\": true}")
                                     << QByteArray::fromHex("00 00000000 0000 0000 00 00 03 00 00000000 00 00 0000")
                                     << QByteArray();
        QTest::newRow("relay module")
            << QByteArray("{\"type id\": 14, \"out 1\": \"On\", \"out 2\": \"5\", \"main source\": 1, \"fReserved\": 1,"
                          " \"bActiveZone\": 2, \"btfTrainState\": 255, \"bAdc\": 9}")
            << QByteArray::fromHex("00 00000000 0000 0000 00 0e 03 00 00000000 00 00 0000")
            << QByteArray::fromHex("03 02 00 00 01 05 3f 09");
        QTest::newRow("relay outputs off and cut")
            << QByteArray("{\"type id\": 15, \"out 1\": \"33\", \"out 2\": \"Off\"}")
            << QByteArray::fromHex("00 00000000 0000 0000 00 0f 03 00 00000000 00 00 0000")
            << QByteArray::fromHex("00 00 00 00 01 00 00 00");
        QTest::newRow("tilt detector")
            << QByteArray("{\"type id\": 16, \"Z1.fShift\": 1, \"Z1.fLean\": 1, \"Z1.fNoise\": 1, \"shiftSensitivity\": 13,"
                          " \"shiftDisableDetection\": 1, \"tiltSensitivity\": 2, \"tiltDisableDetection\": 1,"
                          " \"tiltAutoFix\": 1, \"Z2.fAlarm\": 1}")
            << QByteArray::fromHex("00 00000000 0000 0000 00 10 03 00 00000000 00 00 0000")
            << QByteArray::fromHex("00 00 00 00 00 83 0d 1a 80");
        QTest::newRow("zone count wins over tilt")
            << QByteArray("{\"type id\": 24, \"zone count\": 2, \"Z1.fShift\": 1}")
            << QByteArray::fromHex("00 00000000 0000 0000 00 18 03 00 00000000 00 00 0000")
            << QByteArray::fromHex("00 02 00 00 00 00 00 00 00");
        QTest::newRow("detector flags")
            << QByteArray("{\"type id\": 27, \"fCustomBit\": 1, \"fAlarm\": 1, \"movement\": 4, \"ADC value\": 772,"
                          " \"bSystemFlag\": 2}")
            << QByteArray::fromHex("00 00000000 0000 0000 00 1b 03 00 00000000 00 00 0000")
            << QByteArray::fromHex("00 03 00 00 a0 04 04 03 02");
        QTest::newRow("detector as exported")
            << QByteArray("{\"type id\": 6, \"test mode\": true, \"state\": 2}")
            << QByteArray::fromHex("00 00000000 0000 0000 00 06 03 00 00000000 00 00 0000")
            << QByteArray::fromHex("00 03 00 00 60 00 00 00 00");
    }
    void deviceRecordAndState()
    {
        QFETCH(QByteArray, device);
        QFETCH(QByteArray, record);
        QFETCH(QByteArray, state);
        const deviceInfo_t info = ConfigurationFileReader::readDevice(json(device));
        QCOMPARE(deviceInfoToBytes(info).toHex(' '), record.toHex(' '));
        QCOMPARE(ConfigurationFileReader::readDeviceState(info.deviceType, json(device), englishVocabulary()).toHex(' '),
                 state.toHex(' '));
    }

    // ---------------------------------------------------------------- opening

    void refusesWhatIsNoConfiguration_data()
    {
        QTest::addColumn<QByteArray>("contents"); // "<none>": no file, "<folder>", "<locked>": held by another window
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << QByteArray("<none>") << "Cannot open";
        QTest::newRow("folder") << QByteArray("<folder>") << "Cannot open";
        QTest::newRow("locked") << QByteArray("<locked>") << "in use by another window";
        QTest::newRow("empty") << QByteArray("") << "is empty";
        QTest::newRow("blank") << QByteArray(" \n ") << "is empty";
        QTest::newRow("not JSON") << QByteArray("{\"master\": {\"hw\": 1") << "not valid JSON";
        QTest::newRow("array") << QByteArray("[{\"master\": {}}]") << "does not hold a JSON object";
        QTest::newRow("beyond any configuration") << QByteArray("<huge>") << "too large";
        // Device numbers and types that would wrap or collapse onto another device.
        const auto devices = [](const QByteArray &entries) -> QByteArray { return "{\"devices\": [" + entries + "]}"; };
        QTest::newRow("number beyond a byte")
            << devices(R"({"id": 1, "type id": 3}, {"id": 257, "type id": 3})")
            << "Device entry 2: the device number 257 cannot be read";
        QTest::newRow("negative number") << devices(R"({"id": -1, "type id": 3})")
                                         << "Device entry 1: the device number -1 cannot be read";
        QTest::newRow("fractional number") << devices(R"({"id": 1.5, "type id": 3})")
                                           << "Device entry 1: the device number 1.5 cannot be read";
        QTest::newRow("number as text") << devices(R"({"id": "7", "type id": 3})")
                                        << "Device entry 1: the device number \"7\" cannot be read";
        QTest::newRow("no number") << devices(R"({"type id": 3})")
                                   << "Device entry 1: the device number missing cannot be read";
        QTest::newRow("type as text") << devices(R"({"id": 4, "type id": "smoke"})")
                                      << "Device entry 1 (device 4): the device type \"smoke\" cannot be read";
        QTest::newRow("type beyond a byte") << devices(R"({"id": 4, "type id": 300})")
                                            << "Device entry 1 (device 4): the device type 300 cannot be read";
        QTest::newRow("unknown master model") << QByteArray(R"({"master": {"device": "Zentar-XYZ"}})")
                                              << "the master model \"Zentar-XYZ\" is unknown";
        QByteArray many;
        for (int i = 0; i < 33; ++i)
            many += QByteArray(i ? ", " : "") + "{\"id\": " + QByteArray::number(i) + ", \"type id\": 3}";
        QTest::newRow("more devices than the master's addresses")
            << "{\"master\": {\"device\": \"Zentar-HUBRO32\"}, \"devices\": [" + many + "]}"
            << "33 device entries, more than the 32 addresses of the master";
        QByteArray thousands;
        for (int i = 0; i < 10000; ++i)
            thousands += QByteArray(i ? ", " : "") + "{\"id\": 1, \"type id\": 3}";
        QTest::newRow("ten thousand entries") << devices(thousands)
                                              << "10000 device entries, more than the 125 addresses";
    }
    void refusesWhatIsNoConfiguration()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, message);
        const QString file = path(QStringLiteral("refused-%1.conf").arg(QTest::currentDataTag()));
        FileLocker other;
        if (contents == "<folder>") {
            QVERIFY(QDir().mkpath(file));
        } else if (contents == "<locked>") {
            QVERIFY(save(file, smallFile()));
            other.lockFile(file);
            QVERIFY(other.isLocked());
        } else if (contents == "<huge>") {
            QFile huge(file);
            QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(FileLocker::MaxFileSize + 1));
        } else if (contents != "<none>") {
            QVERIFY(save(file, contents));
        }
        appSettings.setValue(QLatin1String(SettingsKey::Interval), 4321);

        FileConnection connection;
        QSignalSpy masters(&connection, &Connection::masterConnected);
        QSignalSpy devices(&connection, &Connection::deviceConnected);
        QVERIFY(!connection.connectToMaster(File, file, MasterOrdinary));
        QVERIFY2(connection.errorString().contains(message), qPrintable(connection.errorString()));
        QVERIFY(!connection.master());
        QVERIFY(!connection.isFileLocked());
        QCOMPARE(masters.count() + devices.count(), 0);
        QCOMPARE(appSettings.value(QLatin1String(SettingsKey::Interval)).toInt(), 4321);
        if (!contents.startsWith('<')) {
            FileLocker again; // a failed open leaves the file free
            again.lockFile(file);
            QVERIFY(again.isLocked());
        }
    }

    void opensWhatTheFileHolds_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<int>("devices");
        QTest::newRow("nothing in it") << QByteArray("{}") << 0;
        QTest::newRow("master only") << QByteArray("{\"master\": {\"device\": \"Zentar-HUBRO32\"}}") << 0;
        QTest::newRow("devices only") << QByteArray("{\"devices\": [{\"id\": 1, \"type id\": 3}]}") << 1;
        QTest::newRow("wrong types") << QByteArray("{\"master\": 5, \"devices\": {\"id\": 1}}") << 0;
        QTest::newRow("entry that is no object") << QByteArray("{\"devices\": [7, {\"id\": 2, \"type id\": 3}]}") << 1;
    }
    void opensWhatTheFileHolds()
    {
        QFETCH(QByteArray, contents);
        QFETCH(int, devices);
        QVERIFY(save(path(), contents));
        FileConnection connection;
        QSignalSpy announced(&connection, &Connection::deviceConnected);
        QVERIFY(connection.connectToMaster(File, path(), MasterOrdinary));
        QVERIFY(connection.master());
        QCOMPARE(announced.count(), devices);
        QCOMPARE(connection.devices().size(), devices);
    }

    void opensLockedAndWritesBack()
    {
        QVERIFY(save(path(), smallFile()));
        auto connection = std::make_unique<FileConnection>();
        QSignalSpy masters(connection.get(), &Connection::masterConnected);
        QSignalSpy announced(connection.get(), &Connection::deviceConnected);
        QVERIFY2(connection->connectToMaster(File, path(), MasterOrdinary), qPrintable(connection->errorString()));

        HubroItem *master = connection->master();
        QCOMPARE(masters.count(), 1);
        QCOMPARE(masters.at(0).at(0).value<HubroItem *>(), master);
        QCOMPARE(master->connectionState(), int(DeviceFromFile));
        QCOMPARE(master->connectionType(), File);
        QCOMPARE(master->hubroInfo().bDevType, quint8(40));
        QCOMPARE(master->serialNumber(), quint32(0xFFFFFFFB));
        QCOMPARE(master->connectedDevices(), 3);
        QCOMPARE(appSettings.value(QLatin1String(SettingsKey::Interval)).toInt(), 180);
        QCOMPARE(announced.count(), 3);
        const QList<DeviceItem *> items = connection->devices();
        QCOMPARE(items.size(), 3);
        for (DeviceItem *item : items)
            QCOMPARE(item->connectionState(), int(DeviceFromFile));
        auto *input = qobject_cast<DI_Tirun *>(connection->device(2));
        QVERIFY(input);
        QCOMPARE(input->enabledCable(), 1);
        QCOMPARE(input->enabledSabotage(), 1);
        QCOMPARE(connection->device(2)->stateByte(4), quint8(0x80));
        QCOMPARE(connection->device(7)->stateBlock().toHex(' '), QByteArray("00 00 00 00 01 00 00 00"));

        // Held against this process and every other.
        QVERIFY(!otherProcessCanLock(path()));
        FileLocker here;
        here.lockFile(path());
        QVERIFY(!here.isLocked());

        // Edits of a device and of the master are written back at once, and
        // the file stays held throughout.
        connection->device(1)->changeAddress(20);
        QCOMPARE(connection->device(1)->address(), quint8(20));
        emit master->intervalChanged(300);
        emit master->wireloopPowerModeChanged(1);
        const QJsonObject written = fileObject(path());
        QCOMPARE(written.value("devices").toArray().at(0).toObject().value("wireloop address").toInt(), 20);
        QCOMPARE(written.value("master").toObject().value("interval").toInt(), 300);
        QCOMPARE(written.value("master").toObject().value("wireloop power").toBool(), true);
        QCOMPARE(written.value("version").toString(), QStringLiteral("1.0")); // the rest stays
        QCOMPARE(written, connection->document());
        QVERIFY(!otherProcessCanLock(path()));
        QCOMPARE(boxes->count(), 0);

        // A refused second file changes nothing of the open one.
        QVERIFY(!connection->connectToMaster(File, path(QStringLiteral("absent.conf")), MasterOrdinary));
        QCOMPARE(connection->master(), master);
        QVERIFY(!otherProcessCanLock(path()));

        // Closing releases the file; so does the end of the connection.
        QSignalSpy disconnected(connection.get(), &Connection::masterDisconnected);
        QVERIFY(connection->disconnectFromMaster());
        QCOMPARE(disconnected.count(), 1);
        QVERIFY(connection->devices().isEmpty());
        QVERIFY(otherProcessCanLock(path()));
        QVERIFY(connection->connectToMaster(File, path(), MasterOrdinary));
        QVERIFY(!otherProcessCanLock(path()));

        // Another file on the same connection: the first one's items and lock go.
        const QString other = path(QStringLiteral("other.conf"));
        QVERIFY(save(other, smallFile()));
        QVERIFY(connection->connectToMaster(File, other, MasterOrdinary));
        QCOMPARE(disconnected.count(), 2);
        QCOMPARE(connection->devices().size(), 3);
        QVERIFY(otherProcessCanLock(path()));
        QVERIFY(!otherProcessCanLock(other));
        connection.reset();
        QVERIFY(otherProcessCanLock(other));
    }

    void channelEdits_data()
    {
        QTest::addColumn<QByteArray>("master");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("autoMode");
        QTest::addColumn<bool>("dynamicMode");
        QTest::addColumn<QByteArray>("expected"); // the "master" object after the edit
        QTest::addColumn<int>("mode");            // read back
        const QByteArray hubro125 = "\"device\": \"Zentar-HUBRO125\", \"current channel\": 2";
        QTest::newRow("fixed channel")
            << "{" + hubro125 + ", \"auto mode\": true, \"dynamic mode\": false}" << 3 << false << false
            << QByteArray("{\"device\": \"Zentar-HUBRO125\", \"current channel\": 3, \"auto mode\": false,"
                          " \"dynamic mode\": false}")
            << 0;
        QTest::newRow("automatic keeps the channel")
            << "{" + hubro125 + ", \"auto mode\": false, \"dynamic mode\": false}" << 10 << true << false
            << "{" + hubro125 + ", \"auto mode\": true, \"dynamic mode\": false}" << 1;
        QTest::newRow("every spelling") << "{" + hubro125 + ", \"auto channel\": true, \"dynamic mode\": false, \"channel mode\": 1}"
                                        << 11 << false << true
                                        << "{" + hubro125 + ", \"auto channel\": false, \"dynamic mode\": true, \"channel mode\": 2}"
                                        << 2;
        QTest::newRow("no mode keys") << "{" + hubro125 + "}" << 11 << false << true
                                      << "{" + hubro125 + ", \"auto mode\": false, \"dynamic mode\": true}" << 2;
        QTest::newRow("32-device master")
            << QByteArray("{\"device\": \"Zentar-HUBRO32\", \"current channel\": 1}") << 2 << false << false
            << QByteArray("{\"device\": \"Zentar-HUBRO32\", \"current channel\": 2, \"auto channel\": false,"
                          " \"dynamic channel\": false}")
            << 0;
    }
    void channelEdits()
    {
        QFETCH(QByteArray, master);
        QFETCH(int, value);
        QFETCH(bool, autoMode);
        QFETCH(bool, dynamicMode);
        QFETCH(QByteArray, expected);
        QFETCH(int, mode);
        QVERIFY(save(path(), "{\"master\": " + master + "}"));
        {
            FileConnection connection;
            QVERIFY(connection.connectToMaster(File, path(), MasterOrdinary));
            emit connection.master()->channelChanged(value, autoMode, dynamicMode);
            QCOMPARE(fileObject(path()).value("master").toObject(), json(expected));
        }
        const auto data = ConfigurationFileReader::readMaster(json(expected), englishVocabulary());
        QCOMPARE(data.record.bDevType ? int(data.record.bChannelMode)
                                      : data.record.Channels.fAutoEnable + 2 * data.record.Channels.fDynamicEnable,
                 mode);
    }

    void failedWriteLeavesTheFileWhole()
    {
        QVERIFY(save(path(), smallFile()));
        FileConnection connection;
        QVERIFY(connection.connectToMaster(File, path(), MasterOrdinary));
        const QByteArray before = readFile(path());
        FileLocker::setWriteFunction([](int, const char *, qint64) -> qint64 {
            errno = ENOSPC;
            return -1;
        });

        // One edit that writes three keys: one warning.
        emit connection.master()->channelChanged(3, false, false);
        QCOMPARE(readFile(path()), before);
        QTRY_COMPARE(boxes->count(), 1);
        QCoreApplication::processEvents();
        QCOMPARE(boxes->count(), 1);
        QCOMPARE(boxes->last().kind, UiSeams::MessageBoxRequest::WarningDetails);
        QVERIFY2(boxes->last().informativeText.contains(QString::fromLocal8Bit(std::strerror(ENOSPC))),
                 qPrintable(boxes->last().informativeText));
        QVERIFY(!otherProcessCanLock(path()));

        // The next edit fails too and tells so again; once writing works, both
        // edits reach the file.
        emit connection.master()->intervalChanged(600);
        QTRY_COMPARE(boxes->count(), 2);
        FileLocker::setWriteFunction(nullptr);
        emit connection.master()->wireloopPowerModeChanged(1);
        const QJsonObject master = fileObject(path()).value("master").toObject();
        QCOMPARE(master.value("current channel").toInt(), 3);
        QCOMPARE(master.value("interval").toInt(), 600);
        QCOMPARE(master.value("wireloop power").toBool(), true);
        QVERIFY(connection.isWritable());
        QCOMPARE(boxes->count(), 2);
    }

    void fileReplacedBehindItsBack()
    {
        QVERIFY(save(path(), smallFile()));
        FileConnection connection;
        QVERIFY(connection.connectToMaster(File, path(), MasterOrdinary));
        QVERIFY(QFile::remove(path()));
        QVERIFY(save(path(), "theirs"));

        emit connection.master()->intervalChanged(600);
        QTRY_COMPARE(boxes->count(), 1);
        QVERIFY(!connection.isWritable());
        emit connection.master()->intervalChanged(300);
        connection.device(1)->changeAddress(30);
        QCoreApplication::processEvents();
        QCOMPARE(readFile(path()), QByteArray("theirs"));
        QCOMPARE(boxes->count(), 1);
    }

    void fileChangedByAnotherProgram_data()
    {
        QTest::addColumn<int>("answer"); // position of the button pressed; -1 the box closed
        QTest::addColumn<bool>("overwritten");
        QTest::newRow("overwrite") << 0 << true;
        QTest::newRow("reload") << 1 << false;
        QTest::newRow("box closed") << -1 << false;
    }
    void fileChangedByAnotherProgram()
    {
        QFETCH(int, answer);
        QFETCH(bool, overwritten);
        QVERIFY(save(path(), smallFile()));
        FileConnection connection;
        QVERIFY(connection.connectToMaster(File, path(), MasterOrdinary));
        emit connection.master()->intervalChanged(300); // its own writes ask nothing
        QCOMPARE(boxes->count(), 0);

        // Another program rewrites the file in place, heedless of the lock.
        QJsonObject theirs = fileObject(path());
        theirs.insert(QStringLiteral("version"), QStringLiteral("9.9"));
        QVERIFY(save(path(), QJsonDocument(theirs).toJson()));
        const QByteArray theirBytes = readFile(path());

        QSignalSpy reload(&connection, &FileConnection::reloadRequested);
        boxes->answer(answer);
        emit connection.master()->intervalChanged(600);
        // Nothing is written before the answer; an edit meanwhile waits for it too.
        QCOMPARE(readFile(path()), theirBytes);
        emit connection.master()->wireloopPowerModeChanged(1);
        QCOMPARE(readFile(path()), theirBytes);
        QTRY_COMPARE(boxes->count(), 1);
        QCOMPARE(boxes->last().kind, UiSeams::MessageBoxRequest::Choice);
        QCOMPARE(boxes->last().title, QStringLiteral("Configuration file"));
        QVERIFY(boxes->last().text.contains(path()));
        QCOMPARE(boxes->last().choices, (QStringList{QStringLiteral("Overwrite"), QStringLiteral("Reload")}));
        QCOMPARE(boxes->last().defaultChoice, 1);
        QCOMPARE(boxes->last().escapeChoice, 1);

        const QJsonObject master = fileObject(path()).value("master").toObject();
        if (overwritten) {
            QCOMPARE(fileObject(path()), connection.document());
            QCOMPARE(fileObject(path()).value("version").toString(), QStringLiteral("1.0"));
            QCOMPARE(master.value("interval").toInt(), 600);
            QCOMPARE(master.value("wireloop power").toBool(), true);
            QCOMPARE(reload.count(), 0);
            // Its own again: the next edit is written unasked.
            emit connection.master()->intervalChanged(900);
            QCOMPARE(fileObject(path()).value("master").toObject().value("interval").toInt(), 900);
        } else {
            QCOMPARE(readFile(path()), theirBytes);
            QCOMPARE(reload.count(), 1);
            QCOMPARE(reload.at(0).at(0).toString(), path());
            // Nothing more from the old contents.
            emit connection.master()->intervalChanged(900);
            QCOMPARE(readFile(path()), theirBytes);
        }
        QVERIFY(!otherProcessCanLock(path()));
        QCoreApplication::processEvents();
        QCOMPARE(boxes->count(), 1);
    }

    void duplicateNumbersAndRemoval()
    {
        QVERIFY(save(path(), "{\"master\": {}, \"devices\": [{\"id\": 1, \"type id\": 3}, {\"id\": 2, \"serial\": 21,"
                             " \"type id\": 3}, {\"id\": 2, \"serial\": 22, \"type id\": 4}, {\"id\": 3, \"type id\": 32}]}"));
        FileConnection connection;
        QSignalSpy announced(&connection, &Connection::deviceConnected);
        QSignalSpy removed(&connection, &Connection::deviceRemoved);
        QVERIFY(connection.connectToMaster(File, path(), MasterOrdinary));
        QCOMPARE(announced.count(), 4);
        QCOMPARE(removed.count(), 1); // the earlier item of number 2 is not left behind
        QCOMPARE(removed.at(0).at(0).value<DeviceItem *>(), announced.at(1).at(0).value<DeviceItem *>());
        QCOMPARE(connection.devices().size(), 3);
        QCOMPARE(connection.device(2)->serialNumber(), quint32(22));
        QCOMPARE(connection.master()->connectedDevices(), 3);

        // Removing a device takes every entry of its number out of the file.
        QPointer<DeviceItem> second = connection.device(2);
        connection.removeDevice(2);
        QCOMPARE(removed.count(), 2);
        QVERIFY(!connection.device(2));
        QCOMPARE(connection.master()->connectedDevices(), 2);
        QJsonArray devices = fileObject(path()).value("devices").toArray();
        QCOMPARE(devices.size(), 2);
        QCOMPARE(devices.at(1).toObject().value("id").toInt(), 3);
        dropDeletedItems();
        QVERIFY(second.isNull());

        // A number the file does not hold changes nothing.
        const QByteArray before = readFile(path());
        connection.removeDevice(9);
        QCOMPARE(readFile(path()), before);
        QCOMPARE(removed.count(), 2);
    }

    void windowMakesAndReportsOfflineConnections_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("file") << int(File) << "FileConnection" << "Configuration file opening"
                              << "Error while configuration file opening";
        QTest::newRow("simulation") << int(Simulation) << "SimulatedConnection" << "Simulation file opening"
                                    << "Error while simulation file opening";
    }
    void windowMakesAndReportsOfflineConnections()
    {
        QFETCH(int, kind);
        QFETCH(QString, className);
        QFETCH(QString, title);
        QFETCH(QString, text);
        const ConnectionType type = ConnectionType(kind);
        QVERIFY(!OfflineConnections::create(Serial));
        std::unique_ptr<Connection> connection(OfflineConnections::create(type));
        QVERIFY(connection);
        QCOMPARE(QString::fromLatin1(connection->metaObject()->className()), className);

        QVERIFY(!connection->connectToMaster(type, path(QStringLiteral("absent")), MasterOrdinary));
        OfflineConnections::reportFailure(type, connection.get());
        QCOMPARE(boxes->count(), 1);
        QCOMPARE(boxes->last().kind, UiSeams::MessageBoxRequest::WarningDetails);
        QCOMPARE(boxes->last().title, title);
        QCOMPARE(boxes->last().text, text);
        QVERIFY2(boxes->last().informativeText.contains(QLatin1String("absent")), qPrintable(boxes->last().informativeText));
    }

    // ---------------------------------------------------------------- the exporter's files

    void readsTheExportersFileBack()
    {
        // The demo installation saved from a simulation with the exporter, as
        // the window's "Save configuration" does.
        SimulatedConnection simulation;
        QVERIFY(simulation.connectToMaster(Simulation, QStringLiteral(TANDREL_EXAMPLES_DIR "/demo.sim"), MasterOrdinary));
        QList<int> numbers;
        for (DeviceItem *item : simulation.devices())
            numbers << item->deviceId();
        ConfigurationExporter *exporter = simulation.master()->createConfigurationExporter(numbers);
        QSignalSpy finished(exporter, &ConfigurationExporter::readFinished);
        exporter->writeHeader();
        QCOMPARE(finished.count(), 1);
        exporter->applyExtendedSettings(simulation.devices());
        const QString exported = path(QStringLiteral("exported.conf"));
        QVERIFY(exporter->saveToFile(exported));

        FileConnection connection;
        QVERIFY(connection.connectToMaster(File, exported, MasterOrdinary));
        compareMasters(connection.master()->hubroInfo(), simulation.masterRecord());
        QCOMPARE(connection.devices().size(), simulation.devices().size());
        for (DeviceItem *item : simulation.devices()) {
            DeviceItem *read = connection.device(item->deviceId());
            QVERIFY(read);
            QCOMPARE(carried(read->deviceInfo()), carried(item->deviceInfo()));
            QCOMPARE(read->metaObject()->className(), item->metaObject()->className());
        }

        // The bundled configuration file is that same installation, and
        // devices a simulation cannot describe (no state block).
        QJsonObject document = fileObject(exported);
        QJsonObject demo = fileObject(QStringLiteral(TANDREL_EXAMPLES_DIR "/demo.conf"));
        const QList<int> fileOnlyTypes{52, 56, 65, 70, 71};
        QJsonArray simulated, fileOnly;
        for (const QJsonValue &device : demo.value(QStringLiteral("devices")).toArray())
            (fileOnlyTypes.contains(device.toObject().value(QStringLiteral("type id")).toInt()) ? fileOnly : simulated)
                .append(device);
        demo.insert(QStringLiteral("devices"), simulated);
        if (!qEnvironmentVariableIsEmpty("TANDREL_WRITE_DEMO_CONF")) {
            const QJsonArray exportedDevices = document.value(QStringLiteral("devices")).toArray();
            QJsonArray devices = exportedDevices;
            for (const QJsonValue &device : fileOnly)
                devices.append(device);
            // Every device in the order of its number.
            QList<QJsonValue> ordered(devices.begin(), devices.end());
            std::stable_sort(ordered.begin(), ordered.end(), [](const QJsonValue &a, const QJsonValue &b) {
                return a.toObject().value(QStringLiteral("id")).toInt() < b.toObject().value(QStringLiteral("id")).toInt();
            });
            devices = QJsonArray();
            for (const QJsonValue &device : ordered)
                devices.append(device);
            document.insert(QStringLiteral("devices"), devices);
            document.insert(QStringLiteral("created"), QStringLiteral("Fri Aug 28 16:01:40 2026"));
            document.insert(QStringLiteral("configurator"),
                            QJsonObject{{QStringLiteral("version"), QStringLiteral("1.14.4043")},
                                        {QStringLiteral("application"), QStringLiteral("tandrel")}});
            QVERIFY(save(qEnvironmentVariable("TANDREL_WRITE_DEMO_CONF"), QJsonDocument(document).toJson()));
            document.insert(QStringLiteral("devices"), exportedDevices);
        }
        QVERIFY(!fileOnly.isEmpty());
        for (const char *key : {"created", "configurator"}) {
            QVERIFY(demo.contains(QLatin1String(key)));
            demo.remove(QLatin1String(key));
            document.remove(QLatin1String(key));
        }
        QCOMPARE(demo, document);
    }

    void readsAFullMastersFileBack()
    {
        const QByteArray bytes = ConfigurationJson::toBytes(ConfigurationFixture::document());
        QVERIFY(bytes.size() > 65536);
        QVERIFY(save(path(), bytes));
        FileConnection connection;
        QVERIFY(connection.connectToMaster(File, path(), MasterOrdinary));
        compareMasters(connection.master()->hubroInfo(), ConfigurationFixture::masterRecord());
        QCOMPARE(connection.devices().size(), 125);
        for (int number = 0; number < 125; ++number) {
            DeviceItem *item = connection.device(number);
            QVERIFY(item);
            QCOMPARE(carried(item->deviceInfo()), carried(ConfigurationFixture::deviceRecord(number)));
        }
        // Settings of a class that exists, taken from the file.
        auto *input = qobject_cast<DI_Tirun *>(connection.device(2));
        QVERIFY(input);
        QCOMPARE(input->enabledCable(), 0);
        QCOMPARE(input->enabledSabotage(), 1);
    }
};

int main(int argc, char **argv)
{
    if (argc > 2 && !std::strcmp(argv[1], "--try-lock")) {
        QCoreApplication app(argc, argv);
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        FileLocker locker;
        locker.lockFile(QString::fromLocal8Bit(argv[2]));
        return locker.isLocked() ? 0 : 1;
    }
    QApplication app(argc, argv);
    FileConnectionTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_fileconnection.moc"

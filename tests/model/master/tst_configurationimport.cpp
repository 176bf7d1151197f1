// Import of a configuration file into a live master through the master
// item's link: the packets, refused devices, lost replies, what the reader
// accepts, and export followed by import.
#include "configbench.h"
#include "configurationexporter.h"
#include "configurationimporter.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QJsonObject masterSettings()
{
    return QJsonObject{{"wireloop address", 9},   {"keyboard lock", true},   {"power adjustment", false},
                       {"wireloop power", true},  {"dynamic mode", true},    {"current channel", 5},
                       {"interval", 3},           {"device", "Zentar-HUBRO32"}};
}

QJsonArray twoDevices()
{
    return QJsonArray{
        QJsonObject{{"id", 3}, {"serial", -1}, {"hardware", "2.5"}, {"firmware", "1.05"}, {"type id", 4},
                    {"wireloop address", 11}, {"build number", 7}, {"zone count", 2}, {"productCode", 0x01020304}},
        // No "zone count": sent as 1. A serial as an unsigned writer puts it.
        QJsonObject{{"id", 4}, {"serial", 4294967295.0}, {"hardware", "1.00"}, {"firmware", "1.10"},
                    {"type id", 27}, {"wireloop address", 12}, {"build number", 8}},
    };
}

QJsonObject documentOf(const QJsonObject &master, const QJsonArray &devices)
{
    return QJsonObject{{"version", "1.0"}, {"master", master}, {"devices", devices}};
}

QString writeDocument(const QTemporaryDir &dir, const QJsonObject &document)
{
    const QString path = dir.filePath("load.conf");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(ConfigurationJson::toBytes(document));
    return path;
}

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// The PT_WRITE_DEV_CONFIG packet a device record must come back as.
QByteArray recordPacket(const deviceInfo_t &info, int zoneCount, ConfigurationJson::RecordLayout layout)
{
    auto le = [](quint32 value, int size) {
        QByteArray bytes;
        for (int i = 0; i < size; ++i)
            bytes.append(char(value >> (8 * i)));
        return bytes;
    };
    QByteArray packet = bytesOf({PT_WRITE_DEV_CONFIG, info.radioAddress});
    const QByteArray versions = le(info.serialNumber, 4) + le(info.hardwareVersion, 2) + le(info.firmwareVersion, 2);
    switch (layout) {
    case ConfigurationJson::RecordLayout::Hubro32:
        return packet + versions + bytesOf({info.deviceType, info.wireloopAddress});
    case ConfigurationJson::RecordLayout::Hubro125:
        return packet + versions + bytesOf({info.buildNumber, info.deviceType, zoneCount, info.wireloopAddress, 0, 0, 0});
    case ConfigurationJson::RecordLayout::Hubro125Coded:
        return packet + QByteArray(5, '\0') + versions
               + bytesOf({info.buildNumber, info.deviceType, zoneCount & 0x7F, info.wireloopAddress, 0, 0});
    }
    return QByteArray();
}

} // namespace

class ConfigurationImportTest : public QObject, public MasterFixture
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_boxes = prepareConfigurationTests();
    }

    void cleanup()
    {
        TransferChain::setReplyTimeout(0);
        releaseMaster();
    }

    void sendsThePacketSequence_data()
    {
        QTest::addColumn<quint8>("masterType");
        QTest::addColumn<quint16>("coreFirmware");
        QTest::addColumn<QList<QByteArray>>("expected");

        const QList<QByteArray> settings125{hex("07ff09"), hex("a001"), hex("a600"), hex("8e01"), hex("8c0205"), hex("a26400")};
        QTest::newRow("125-device, core below 1.32")
            << quint8(40) << quint16(0x011F)
            << settings125 + QList<QByteArray>{hex("0d03ffffffff050205010704020b000000"),
                                               hex("0d04ffffffff00010a01081b010c000000")};
        QTest::newRow("125-device, core 1.32")
            << quint8(40) << quint16(0x0120)
            << settings125 + QList<QByteArray>{hex("0d030004030201ffffffff050205010704020b0000"),
                                               hex("0d040000000000ffffffff00010a01081b010c0000")};
        QTest::newRow("32-device")
            << quint8(0) << quint16(0x0120)
            << QList<QByteArray>{hex("07ff09"), hex("a001"), hex("a600"), hex("a26400"),
                                 hex("0d03ffffffff05020501040b"), hex("0d04ffffffff00010a011b0c")};
    }

    void sendsThePacketSequence()
    {
        QFETCH(quint8, masterType);
        QFETCH(quint16, coreFirmware);
        QFETCH(QList<QByteArray>, expected);

        hubroInfo_t record = masterType == 0 ? hubro32Record() : healthyRecord();
        record.wMK2FWVer = coreFirmware;
        QVERIFY(connectMaster(record));
        scriptImportAcks(*m_link);
        QTemporaryDir dir;
        std::unique_ptr<ConfigurationImporter> importer(m_item->createConfigurationImporter());
        QSignalSpy finished(importer.get(), &ConfigurationImporter::writeFinished);
        QSignalSpy failed(importer.get(), &ConfigurationImporter::writeFailed);
        QVERIFY(importer->loadFile(writeDocument(dir, documentOf(masterSettings(), twoDevices()))));
        importer->start();
        QVERIFY(finished.wait(2000));
        QCOMPARE(m_link->sent, expected);
        QCOMPARE(importer->addedCount(), 2);
        QCOMPARE(importer->failedCount(), 0);
        QCOMPARE(failed.count(), 0);
        QVERIFY(!importer->isRunning());
    }

    // A device the master refuses, answers wrongly or the file cannot give is
    // a failure; the import goes on with the next device and finishes.
    void deviceFailuresAreCounted_data()
    {
        QTest::addColumn<QByteArray>("firstAnswer");
        QTest::addColumn<QString>("firstHardware");
        QTest::addColumn<int>("recordsSent");
        QTest::newRow("refused") << bytesOf({PT_WRITE_DEV_CONFIG_ERROR}) << "2.5" << 2;
        QTest::newRow("unknown answer") << bytesOf({PT_UNKNOWN_REQ_ERROR}) << "2.5" << 2;
        QTest::newRow("unreadable hardware") << QByteArray() << "two" << 1;
        QTest::newRow("hardware beyond a byte") << QByteArray() << "1.256" << 1;
    }

    void deviceFailuresAreCounted()
    {
        QFETCH(QByteArray, firstAnswer);
        QFETCH(QString, firstHardware);
        QFETCH(int, recordsSent);

        QVERIFY(connectMaster(healthyRecord()));
        scriptImportAcks(*m_link);
        m_link->script(PT_WRITE_DEV_CONFIG, [firstAnswer](const QByteArray &request) {
            return quint8(request.at(1)) == 3 ? firstAnswer : bytesOf({PT_WRITE_DEV_CONFIG_ACK});
        });
        QJsonArray devices = twoDevices();
        QJsonObject first = devices.at(0).toObject();
        first.insert("hardware", firstHardware);
        devices.replace(0, first);

        QTemporaryDir dir;
        std::unique_ptr<ConfigurationImporter> importer(m_item->createConfigurationImporter());
        QSignalSpy finished(importer.get(), &ConfigurationImporter::writeFinished);
        QVERIFY(importer->loadFile(writeDocument(dir, documentOf(masterSettings(), devices))));
        importer->start();
        QVERIFY(finished.wait(2000));
        QCOMPARE(m_link->countOf(PT_WRITE_DEV_CONFIG), recordsSent);
        QCOMPARE(quint8(m_link->sentOfType(PT_WRITE_DEV_CONFIG).last().at(1)), quint8(4));
        QCOMPARE(importer->addedCount(), 1);
        QCOMPARE(importer->failedCount(), 1);
    }

    // A lost or wrong settings reply, or a lost device reply, ends the import
    // after the time-out with writeFailed, never writeFinished, and nothing
    // more is sent.
    void lostOrWrongReplyFails_data()
    {
        QTest::addColumn<quint8>("requestType");
        QTest::addColumn<QByteArray>("reply"); // empty: none
        QTest::newRow("keyboard lock lost") << quint8(PT_KEYBOARD_LOCK) << QByteArray();
        QTest::newRow("keyboard lock wrong") << quint8(PT_KEYBOARD_LOCK) << bytesOf({PT_UNKNOWN_REQ_ERROR});
        QTest::newRow("channel wrong") << quint8(PT_USB_CHANNEL_SET) << bytesOf({PT_WIRELOOP_POWER_MODE_SET_ACK});
        QTest::newRow("interval lost") << quint8(PT_EXCHANGE_INTERVAL) << QByteArray();
        QTest::newRow("device record lost") << quint8(PT_WRITE_DEV_CONFIG) << QByteArray();
    }

    void lostOrWrongReplyFails()
    {
        QFETCH(quint8, requestType);
        QFETCH(QByteArray, reply);

        TransferChain::setReplyTimeout(100);
        QVERIFY(connectMaster(healthyRecord()));
        scriptImportAcks(*m_link);
        if (reply.isEmpty())
            m_link->unscript(requestType);
        else
            m_link->script(requestType, reply);

        QTemporaryDir dir;
        std::unique_ptr<ConfigurationImporter> importer(m_item->createConfigurationImporter());
        QSignalSpy finished(importer.get(), &ConfigurationImporter::writeFinished);
        QSignalSpy failed(importer.get(), &ConfigurationImporter::writeFailed);
        QVERIFY(importer->loadFile(writeDocument(dir, documentOf(masterSettings(), twoDevices()))));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("did not answer"));
        importer->start();
        QVERIFY(failed.wait(2000));
        QCOMPARE(finished.count(), 0);
        QVERIFY(!importer->isRunning());
        const QByteArray last = m_link->sent.last();
        QCOMPARE(quint8(last.at(0)), requestType);
        if (reply.isEmpty()) {
            // A reply after the time-out moves nothing.
            const int sent = m_link->sent.size();
            m_link->respond(requestType, bytesOf({requestType + 1}));
            QCOMPARE(m_link->sent.size(), sent);
        }
        QTest::qWait(0);
        QCOMPARE(finished.count(), 0);
    }

    // What the reader takes besides the exporter's own form.
    void readerTolerances_data()
    {
        QTest::addColumn<QJsonObject>("changes");
        QTest::addColumn<QByteArray>("channelRequest");
        QTest::addColumn<QByteArray>("intervalRequest");

        QTest::newRow("auto mode") << QJsonObject{{"dynamic mode", false}, {"auto mode", true}} << hex("8c0105") << hex("a26400");
        QTest::newRow("auto channel") << QJsonObject{{"dynamic mode", false}, {"auto channel", true}} << hex("8c0105")
                                      << hex("a26400");
        QTest::newRow("dynamic channel") << QJsonObject{{"dynamic mode", false}, {"dynamic channel", true}} << hex("8c0205")
                                         << hex("a26400");
        QTest::newRow("neither flag") << QJsonObject{{"dynamic mode", false}} << hex("8c0005") << hex("a26400");
        // 100.02 s is 3334 ticks: rounded, where dropping the fraction gives 3333.
        QTest::newRow("fractional interval") << QJsonObject{{"interval", 100.02}} << hex("8c0205") << hex("a2060d");
        QTest::newRow("180 s") << QJsonObject{{"interval", 180}} << hex("8c0205") << hex("a27017");
    }

    void readerTolerances()
    {
        QFETCH(QJsonObject, changes);
        QFETCH(QByteArray, channelRequest);
        QFETCH(QByteArray, intervalRequest);

        QJsonObject master = masterSettings();
        for (auto it = changes.begin(); it != changes.end(); ++it)
            master.insert(it.key(), it.value());
        QVERIFY(connectMaster(healthyRecord()));
        scriptImportAcks(*m_link);
        QTemporaryDir dir;
        std::unique_ptr<ConfigurationImporter> importer(m_item->createConfigurationImporter());
        QSignalSpy finished(importer.get(), &ConfigurationImporter::writeFinished);
        QVERIFY(importer->loadFile(writeDocument(dir, documentOf(master, QJsonArray()))));
        importer->start();
        QVERIFY(finished.wait(2000));
        QCOMPARE(m_link->sentOfType(PT_USB_CHANNEL_SET), QList<QByteArray>{channelRequest});
        QCOMPARE(m_link->sentOfType(PT_EXCHANGE_INTERVAL), QList<QByteArray>{intervalRequest});
        QCOMPARE(m_link->countOf(PT_WRITE_DEV_CONFIG), 0);
    }

    // Files the importer refuses: loadFile() is false and nothing is sent,
    // and start() without a loaded file ends at once.
    void refusedFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("warning");

        auto withMaster = [](const QJsonObject &changes, const QStringList &removed = {}) {
            QJsonObject master = masterSettings();
            for (auto it = changes.begin(); it != changes.end(); ++it)
                master.insert(it.key(), it.value());
            for (const QString &key : removed)
                master.remove(key);
            return ConfigurationJson::toBytes(documentOf(master, QJsonArray()));
        };
        QTest::newRow("not JSON") << QByteArray("{\"master\": ") << "Configuration file error ";
        QTest::newRow("no master") << QByteArray("{\"devices\": []}") << "Wrong format of configuration file";
        QTest::newRow("devices not a list") << QByteArray("{\"master\": {}, \"devices\": 3}")
                                            << "Wrong format of configuration file";
        QTest::newRow("no wireloop address") << withMaster({}, {"wireloop address"})
                                             << "Wireloop address of HUBRO is undefined";
        QTest::newRow("no interval") << withMaster({}, {"interval"}) << "Interval of HUBRO is undefined";
        QTest::newRow("zero interval") << withMaster({{"interval", 0}}) << "Interval of HUBRO is undefined";
        QTest::newRow("interval below a tick") << withMaster({{"interval", 0.01}}) << "Interval of HUBRO is undefined";
        QTest::newRow("interval beyond 16 bits") << withMaster({{"interval", 2000}}) << "Interval of HUBRO is undefined";
    }

    void refusedFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, warning);

        TransferChain::setReplyTimeout(100);
        QVERIFY(connectMaster(healthyRecord()));
        scriptImportAcks(*m_link);
        QTemporaryDir dir;
        const QString path = dir.filePath("bad.conf");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();

        std::unique_ptr<ConfigurationImporter> importer(m_item->createConfigurationImporter());
        QSignalSpy failed(importer.get(), &ConfigurationImporter::writeFailed);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^" + QRegularExpression::escape(warning)));
        QVERIFY(!importer->loadFile(path));
        if (!warning.startsWith("Configuration file error"))
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^" + QRegularExpression::escape(warning)));
        else
            QTest::ignoreMessage(QtWarningMsg, "Wrong format of configuration file");
        importer->start();
        QCOMPARE(failed.count(), 0); // never inside start()
        QVERIFY(failed.wait(2000));
        QVERIFY(m_link->sent.isEmpty());
    }

    // Export, save, load, import: the master gets back what it gave.
    void exportThenImportRoundTrips_data()
    {
        QTest::addColumn<bool>("hubro125");
        QTest::newRow("125-device master") << true;
        QTest::newRow("32-device master") << false;
    }

    void exportThenImportRoundTrips()
    {
        QFETCH(bool, hubro125);

        hubroInfo_t record = hubro125 ? healthyRecord() : hubro32Record();
        record.wExchangeInterval = 3334; // 100.02 s, fractional in the file
        record.bWireloopAddr = 42;
        record.Options.fKbdLock = 1;
        record.Options.fWireloopPowerDisable = 1;
        record.bChannelMode = 2;
        record.ChannelsAdvanced.btfRFCurr = 6;
        const QList<RadioDevice> devices = hubro125 ? hubro125Devices() : hubro32Devices();
        QVERIFY(connectMaster(record));
        scriptDevices(*m_link, devices);
        m_link->script(PT_HUBRO_EEPROM_READ, errorLogAnswer());
        scriptImportAcks(*m_link);

        ConfigurationExporter *exporter = m_item->createConfigurationExporter(numbersOf(devices));
        QSignalSpy read(exporter, &ConfigurationExporter::readFinished);
        exporter->writeHeader();
        QVERIFY(read.wait(2000));
        QTemporaryDir dir;
        const QString path = dir.filePath("roundtrip.conf");
        QVERIFY(exporter->saveToFile(path));
        delete exporter;
        m_link->sent.clear();

        ConfigurationImporter *importer = m_item->createConfigurationImporter();
        QSignalSpy written(importer, &ConfigurationImporter::writeFinished);
        QVERIFY(importer->loadFile(path));
        importer->start();
        QVERIFY(written.wait(2000));

        QCOMPARE(m_link->sentOfType(PT_SET_DEV_ADDRESS), QList<QByteArray>{bytesOf({PT_SET_DEV_ADDRESS, 255, 42})});
        QCOMPARE(m_link->sentOfType(PT_KEYBOARD_LOCK), QList<QByteArray>{bytesOf({PT_KEYBOARD_LOCK, 1})});
        QCOMPARE(m_link->sentOfType(PT_HUBRO_POWER_ADJUSTMENT),
                 QList<QByteArray>{bytesOf({PT_HUBRO_POWER_ADJUSTMENT, 0})});
        QCOMPARE(m_link->sentOfType(PT_EXCHANGE_INTERVAL), QList<QByteArray>{hex("a2060d")});
        if (hubro125) {
            QCOMPARE(m_link->sentOfType(PT_WIRELOOP_POWER_MODE_SET),
                     QList<QByteArray>{bytesOf({PT_WIRELOOP_POWER_MODE_SET, 1})});
            QCOMPARE(m_link->sentOfType(PT_USB_CHANNEL_SET), QList<QByteArray>{bytesOf({PT_USB_CHANNEL_SET, 2, 6})});
        }

        QList<QByteArray> expectedRecords;
        for (const RadioDevice &device : devices) {
            if (device.info.linkState == 0)
                continue;
            const int zones = device.state.size() > 1 ? quint8(device.state.at(1)) : 0;
            expectedRecords << recordPacket(device.info, zones,
                                            hubro125 ? ConfigurationJson::RecordLayout::Hubro125Coded
                                                     : ConfigurationJson::RecordLayout::Hubro32);
        }
        QCOMPARE(m_link->sentOfType(PT_WRITE_DEV_CONFIG), expectedRecords);
        QCOMPARE(importer->addedCount(), expectedRecords.size());
        delete importer;
    }

    // The importer goes with the master item; a reply arriving afterwards
    // finds nothing to call.
    void goesWithTheMasterItem()
    {
        QVERIFY(connectMaster(healthyRecord()));
        QTemporaryDir dir;
        QPointer<ConfigurationImporter> importer = m_item->createConfigurationImporter();
        QVERIFY(importer->loadFile(writeDocument(dir, documentOf(masterSettings(), twoDevices()))));
        importer->start();
        QVERIFY(m_link->hasPending(PT_SET_DEV_ADDRESS));
        m_item.reset();
        QVERIFY(importer.isNull());
        QVERIFY(!m_link->respond(PT_SET_DEV_ADDRESS, bytesOf({PT_SET_DEV_ADDRESS_ACK})));
    }

private:
    std::unique_ptr<MessageBoxRecorder> m_boxes;
};

QTEST_MAIN(ConfigurationImportTest)
#include "tst_configurationimport.moc"

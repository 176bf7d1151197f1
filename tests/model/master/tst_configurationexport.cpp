// Export of a live master's configuration through the master item's link:
// the request sequence, the file it writes, its ends and its failures.
#include "configbench.h"
#include "configurationexporter.h"
#include "configurationjson.h"
#include "deviceclasses.h"
#include "devicesettings.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Set TANDREL_WRITE_GOLDEN=1 to rewrite the golden files from a run (then
// read them through before keeping them).
void compareWithGolden(const QJsonObject &saved, const QString &goldenName)
{
    const QByteArray actual = ConfigurationJson::toBytes(masked(saved));
    const QString goldenPath = QFINDTESTDATA(QStringLiteral("data/") + goldenName);
    if (qEnvironmentVariableIsSet("TANDREL_WRITE_GOLDEN")) {
        QFile out(QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("data/") + goldenName));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(actual);
        return;
    }
    QFile golden(goldenPath);
    QVERIFY2(golden.open(QIODevice::ReadOnly), qPrintable(goldenName));
    QCOMPARE(QString::fromUtf8(actual), QString::fromUtf8(golden.readAll()));
}

} // namespace

class ConfigurationExportTest : public QObject, public MasterFixture
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_boxes = prepareConfigurationTests();
        QCoreApplication::setApplicationVersion(QStringLiteral("1.14.4043"));
    }

    void cleanup()
    {
        TransferChain::setReplyTimeout(0);
        releaseMaster();
    }

    // The whole export as the main window runs it, against the golden files.
    void writesTheFileOfEachKind_data()
    {
        QTest::addColumn<bool>("hubro125");
        QTest::addColumn<QString>("golden");
        QTest::newRow("125-device master") << true << "export125.conf";
        QTest::newRow("32-device master") << false << "export32.conf";
    }

    void writesTheFileOfEachKind()
    {
        QFETCH(bool, hubro125);
        QFETCH(QString, golden);

        hubroInfo_t record = hubro125 ? healthyRecord() : hubro32Record();
        record.dwSerialId = 0x80000000u;
        record.wExchangeInterval = 100;
        record.Options.fKbdLock = 1;
        record.Options.fPowerAdjustment = 1;
        record.bChannelMode = 1;
        if (hubro125)
            record.modules.bluetooth = 1; // written as the model of type 141
        const QList<RadioDevice> devices = hubro125 ? hubro125Devices() : hubro32Devices();
        QVERIFY(connectMaster(record));
        scriptDevices(*m_link, devices);
        m_link->script(PT_HUBRO_EEPROM_READ, errorLogAnswer());

        // The items the window holds; the contact sensor's settings differ from their defaults.
        std::vector<std::unique_ptr<DeviceItem>> owned;
        QList<DeviceItem *> items;
        for (const RadioDevice &device : devices) {
            owned.emplace_back(createDeviceItem(device.info, false));
            items << owned.back().get();
            DeviceSettings::setValue(items.last(), QStringLiteral("enabledCable"), 1);
            DeviceSettings::setValue(items.last(), QStringLiteral("enabledSabotage"), 1);
        }

        ConfigurationExporter *exporter = m_item->createConfigurationExporter(numbersOf(devices));
        QSignalSpy finished(exporter, &ConfigurationExporter::readFinished);
        QSignalSpy failed(exporter, &ConfigurationExporter::readFailed);
        exporter->masterFirmwareInfo(m_item->topProperties() + findRow(*m_item, "Firmware information")->subProperties());
        QVERIFY(exporter->document().value("master").toObject().contains("mk2"));
        exporter->writeHeader();
        QVERIFY(finished.wait(2000));
        QCOMPARE(failed.count(), 0);

        QList<QByteArray> expected{bytesOf({PT_HUBRO_INFO})};
        if (!hubro125)
            expected << bytesOf({0x70, 0xD3, 0x03, 0x20});
        for (const RadioDevice &device : devices)
            expected << bytesOf({PT_GET_DEV_INFO, device.info.radioAddress});
        // (The master item sends its own interval correction meanwhile.)
        QList<QByteArray> sent = m_link->sent;
        sent.erase(std::remove_if(sent.begin(), sent.end(),
                                  [](const QByteArray &r) { return quint8(r.at(0)) == PT_EXCHANGE_INTERVAL; }),
                   sent.end());
        QCOMPARE(sent, expected);

        exporter->applyExtendedSettings(items);
        QTemporaryDir dir;
        const QString path = dir.filePath("saved.conf");
        QVERIFY(exporter->saveToFile(path));

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const QJsonObject saved = QJsonDocument::fromJson(bytes).object();
        // Indented, keys in order: the form the JSON library writes.
        QCOMPARE(bytes, ConfigurationJson::toBytes(saved));
        QVERIFY(bytes.contains("\n    \"configurator\": {\n        \"application\": "));
        QVERIFY(QDateTime::fromString(saved.value("created").toString()).isValid());
        QCOMPARE(saved.value("configurator").toObject().value("version").toString(), QStringLiteral("1.14.4043"));
        QCOMPARE(saved.value("configurator").toObject().value("application").toString(),
                 QCoreApplication::applicationFilePath());
        compareWithGolden(saved, golden);
        delete exporter;
    }

    // Where the sequence ends besides the end of the device list.
    void endsOfTheSequence_data()
    {
        QTest::addColumn<bool>("hubro125");
        QTest::addColumn<QList<int>>("numbers");
        QTest::addColumn<QByteArray>("answerOfFirst");
        QTest::addColumn<int>("requests");
        QTest::addColumn<int>("deviceObjects");

        const QByteArray ordinary = deviceAnswer(deviceRecord(4, 2, 5, 0x0100, 0x0100, 1), bytesOf({0, 1, 0, 0, 0, 0, 0, 0, 0}));
        // Status (and log) only.
        QTest::newRow("125: no devices") << true << QList<int>() << QByteArray() << 1 << 0;
        QTest::newRow("32: no devices") << false << QList<int>() << QByteArray() << 2 << 0;
        // A reply of 21 bytes or fewer ends the export, numbers left or not.
        QTest::newRow("125: short reply") << true << QList<int>{4, 5} << ordinary.left(21) << 2 << 0;
        QTest::newRow("32: short reply") << false << QList<int>{4, 5} << ordinary.left(21) << 3 << 0;
        // The last number of the kind ends it.
        QTest::newRow("125: device 124")
            << true << QList<int>{124, 5} << deviceAnswer(deviceRecord(124, 2, 5, 0x0100, 0x0100, 1), QByteArray()) << 2 << 1;
        QTest::newRow("32: device 31")
            << false << QList<int>{31, 5} << deviceAnswer(deviceRecord(31, 2, 5, 0x0100, 0x0100, 1), QByteArray()) << 3 << 1;
        QTest::newRow("125: device 123 goes on")
            << true << QList<int>{123} << deviceAnswer(deviceRecord(123, 2, 5, 0x0100, 0x0100, 1), QByteArray()) << 2 << 1;
    }

    void endsOfTheSequence()
    {
        QFETCH(bool, hubro125);
        QFETCH(QList<int>, numbers);
        QFETCH(QByteArray, answerOfFirst);
        QFETCH(int, requests);
        QFETCH(int, deviceObjects);

        QVERIFY(connectMaster(hubro125 ? healthyRecord() : hubro32Record()));
        m_link->script(PT_HUBRO_EEPROM_READ, errorLogAnswer());
        m_link->script(PT_GET_DEV_INFO, answerOfFirst);
        std::unique_ptr<ConfigurationExporter> exporter(m_item->createConfigurationExporter(numbers));
        QSignalSpy finished(exporter.get(), &ConfigurationExporter::readFinished);
        exporter->writeHeader();
        QVERIFY(finished.wait(2000));
        QCOMPARE(m_link->sent.size(), requests);
        QCOMPARE(exporter->document().value("devices").toArray().size(), deviceObjects);
        QCOMPARE(exporter->document().contains("logs"), !hubro125);
        QVERIFY(!exporter->isRunning());
    }

    // A lost or wrong reply ends the run after the time-out with readFailed,
    // never readFinished; a reply coming later changes nothing.
    void lostOrWrongReplyFails_data()
    {
        QTest::addColumn<QByteArray>("reply"); // empty: none
        QTest::newRow("lost") << QByteArray();
        QTest::newRow("wrong type") << bytesOf({PT_UNKNOWN_REQ_ERROR});
    }

    void lostOrWrongReplyFails()
    {
        QFETCH(QByteArray, reply);
        TransferChain::setReplyTimeout(100);
        QVERIFY(connectMaster(healthyRecord()));
        if (!reply.isEmpty())
            m_link->script(PT_GET_DEV_INFO, reply);
        std::unique_ptr<ConfigurationExporter> exporter(m_item->createConfigurationExporter({3, 4}));
        QSignalSpy finished(exporter.get(), &ConfigurationExporter::readFinished);
        QSignalSpy failed(exporter.get(), &ConfigurationExporter::readFailed);
        if (!reply.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^readDeviceInfo responce error 255"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("did not answer"));
        exporter->writeHeader();
        QVERIFY(failed.wait(2000));
        QVERIFY(!failed.first().first().toString().isEmpty());
        QCOMPARE(finished.count(), 0);
        QVERIFY(!exporter->isRunning());
        QCOMPARE(m_link->countOf(PT_GET_DEV_INFO), 1);
        if (reply.isEmpty()) {
            QVERIFY(!m_link->respond(PT_GET_DEV_INFO, deviceAnswer(deviceRecord(3, 2, 1, 0x100, 0x100, 1), QByteArray())));
            QCOMPARE(m_link->countOf(PT_GET_DEV_INFO), 1);
            QCOMPARE(exporter->document().value("devices").toArray().size(), 0);
        }
        QCOMPARE(finished.count(), 0);
    }

    void shortStatusAnswerFails()
    {
        QVERIFY(connectMaster(healthyRecord()));
        m_link->script(PT_HUBRO_INFO, statusAnswer(healthyRecord()).left(40));
        std::unique_ptr<ConfigurationExporter> exporter(m_item->createConfigurationExporter({1}));
        QSignalSpy failed(exporter.get(), &ConfigurationExporter::readFailed);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("too short"));
        exporter->writeHeader();
        QVERIFY(failed.wait(2000));
        QCOMPARE(m_link->countOf(PT_GET_DEV_INFO), 0);
    }

    // The exporter goes with the master item; a reply arriving afterwards
    // finds nothing to call.
    void goesWithTheMasterItem()
    {
        QVERIFY(connectMaster(healthyRecord()));
        QPointer<ConfigurationExporter> exporter = m_item->createConfigurationExporter({1});
        exporter->writeHeader();
        QTRY_VERIFY(m_link->hasPending(PT_GET_DEV_INFO));
        m_item.reset();
        QVERIFY(exporter.isNull());
        QVERIFY(!m_link->respond(PT_GET_DEV_INFO, deviceAnswer(deviceRecord(1, 2, 1, 0x100, 0x100, 1), QByteArray())));
    }

private:
    std::unique_ptr<MessageBoxRecorder> m_boxes;
};

QTEST_MAIN(ConfigurationExportTest)
#include "tst_configurationexport.moc"

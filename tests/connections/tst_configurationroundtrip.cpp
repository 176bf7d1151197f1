// A configuration saved from a live master and loaded back into it, end to
// end: the fake master on a pseudo-terminal, the serial or wired-bus link,
// the connection with its poller and device classes, and the exporter and
// importer the master item makes, driven in the main window's order.
#include "configbench.h"
#include "configurationexporter.h"
#include "configurationimporter.h"
#include "connectionfixture.h"
#include "deviceitem.h"
#include "fileconnection.h"
#include "devicesettings.h"
#include "mastersim.h"
#include "messagecapture.h"
#include "statelayout.h"
#include "qtpropertybrowser.h"

#include <QDataStream>
#include <QDateTime>
#include <QJsonArray>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(FakeMaster::Layout)
// The firmware library declares it with its upload manager, which is not linked here.

namespace {

hubroInfo_t masterRecord()
{
    hubroInfo_t info = healthyRecord();
    info.dwSerialId = 0x80000001u; // written as a negative number
    info.wExchangeInterval = 9000; // 270 s
    info.bWireloopAddr = 42;
    info.Options.fKbdLock = 1;
    info.Options.fPowerAdjustment = 1;
    info.Options.fWireloopPowerDisable = 1;
    info.bChannelMode = 2; // dynamic
    info.ChannelsAdvanced.btfRFCurr = 3;
    info.ChannelsAdvanced.btfRecommended = 4;
    return info;
}

SimDevice withState(SimDevice device, const char *hex)
{
    device.state = QByteArray::fromHex(hex);
    return device;
}

// Every family with state keys in the file, the device classes, a repeater
// and a device behind it, the largest serial, and the first and last address.
QList<SimDevice> deviceMix()
{
    SimDevice extreme = simDevice(100, 12);
    extreme.record.serialNumber = 0xFFFFFFFFu;
    extreme.record.hardwareVersion = 0x0205;
    extreme.record.firmwareVersion = 0x020A;
    extreme.record.buildNumber = 200;
    SimDevice glass = withState(simDevice(124, 18), "000100004000030000");
    glass.record.firmwareVersion = 0x0103;
    return {withState(simDevice(0, 4), "000200008000400000"),
            withState(simDevice(1, 27), "000100008002350e00"),
            simDevice(2, 6),
            withState(simDevice(5, 14), "03010000010557f799"),
            simDevice(9, 30, 0x10),
            withState(simDevice(10, 16, 0x10), "0001000000830d1a80"),
            withState(simDevice(40, 3), "0003"),
            simDevice(77, 32),
            extreme,
            glass};
}

// The property rows of a tree, parents before their children.
QList<QtProperty *> allRows(const QList<QtProperty *> &rows)
{
    QList<QtProperty *> all;
    for (QtProperty *row : rows)
        all << row << allRows(row->subProperties());
    return all;
}

// What an import of the master's own configuration writes: the settings of
// its status record, then one 19-byte record per device (core firmware 1.32).
QList<QByteArray> importPackets(const hubroInfo_t &status, const QList<SimDevice> &devices)
{
    const quint16 ticks = status.wExchangeInterval;
    QList<QByteArray> packets{
        bytesOf({PT_SET_DEV_ADDRESS, 255, status.bWireloopAddr}),
        bytesOf({PT_KEYBOARD_LOCK, status.Options.fKbdLock}),
        bytesOf({PT_HUBRO_POWER_ADJUSTMENT, status.Options.fPowerAdjustment}),
        bytesOf({PT_WIRELOOP_POWER_MODE_SET, status.Options.fWireloopPowerDisable}),
        bytesOf({PT_USB_CHANNEL_SET, status.bChannelMode, status.ChannelsAdvanced.btfRFCurr}),
        bytesOf({PT_EXCHANGE_INTERVAL, ticks & 0xFF, ticks >> 8}),
    };
    for (const SimDevice &device : devices) {
        const deviceInfo_t &r = device.record;
        QByteArray packet;
        QDataStream out(&packet, QIODevice::WriteOnly);
        out.setByteOrder(QDataStream::LittleEndian);
        out << quint8(PT_WRITE_DEV_CONFIG) << r.radioAddress << quint8(0) << quint32(0) // no product code
            << r.serialNumber << r.hardwareVersion << r.firmwareVersion << r.buildNumber << r.deviceType
            << quint8(quint8(device.state.at(1)) & 0x7F) << r.wireloopAddress << quint16(0);
        packets << packet;
    }
    return packets;
}

} // namespace

class ConfigurationRoundTripTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        prepareConnectionTests();
        QCoreApplication::setApplicationVersion(QStringLiteral("1.14.4043"));
        // Well past the link's own give-up time, and still quick when a reply is lost.
        TransferChain::setReplyTimeout(3000);
    }

    // Both links give the same file: the wired bus's replies carry no check byte.
    void exportThenImport_data()
    {
        QTest::addColumn<FakeMaster::Layout>("layout");
        QTest::newRow("serial") << FakeMaster::Layout::Serial;
        QTest::newRow("wired bus") << FakeMaster::Layout::KastrelAt4;
    }
    void exportThenImport()
    {
        QFETCH(FakeMaster::Layout, layout);
        const hubroInfo_t status = masterRecord();
        const QList<SimDevice> devices = deviceMix();
        SimMaster sim(status, layout);
        for (const SimDevice &device : devices)
            sim.setDevice(device);
        DeviceConnection connection;
        QSignalSpy masterConnected(&connection, &Connection::masterConnected);
        QSignalSpy deviceConnected(&connection, &Connection::deviceConnected);
        QVERIFY(sim.fake.isValid());
        const ConnectionType kind = layout == FakeMaster::Layout::Serial ? Serial : Kastrel;
        QVERIFY(connection.connectToMaster(kind, sim.address(), MasterOrdinary));
        QTRY_COMPARE(masterConnected.size(), 1);
        // The sweep goes in address order: the last address ends it.
        QTRY_COMPARE(deviceConnected.size(), devices.size());
        HubroItem *master = connection.master();
        QVERIFY(master);
        QCOMPARE(master->maxDeviceCount(), 125);
        // An editor value the export must take from the item, not the master.
        QVERIFY(DeviceSettings::setValue(connection.device(0), QStringLiteral("enabledCable"), 1));

        // ---- Export, as the window's "Save configuration" runs it.
        sim.fake.clearLog();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("master.conf"));
        QList<int> numbers;
        for (const DeviceItem *item : connection.devices())
            numbers << item->deviceId();
        ConfigurationExporter *exporter = master->createConfigurationExporter(numbers);
        QSignalSpy readFinished(exporter, &ConfigurationExporter::readFinished);
        QSignalSpy readFailed(exporter, &ConfigurationExporter::readFailed);
        bool saved = false;
        connect(exporter, &ConfigurationExporter::readFinished, this, [&] {
            exporter->applyExtendedSettings(connection.devices());
            saved = exporter->saveToFile(path);
        });
        exporter->masterFirmwareInfo(allRows(master->topProperties()));
        QVERIFY(exporter->document().value(QStringLiteral("master")).toObject().contains(QStringLiteral("mk2")));
        exporter->writeHeader();
        QVERIFY(readFinished.wait(10000));
        QVERIFY(saved);
        QCOMPARE(readFailed.size(), 0);
        // One status request, then the devices in order (the poller read none meanwhile).
        QCOMPARE(sim.fake.receivedCount(PT_HUBRO_INFO), 1);
        QCOMPARE(sim.infoRequests(), numbers);

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const QJsonObject document = QJsonDocument::fromJson(bytes).object();
        QCOMPARE(bytes, ConfigurationJson::toBytes(document));
        QVERIFY(QDateTime::fromString(document.value(QStringLiteral("created")).toString()).isValid());
        const QJsonObject configurator = document.value(QStringLiteral("configurator")).toObject();
        QCOMPARE(configurator.value(QStringLiteral("version")).toString(), QStringLiteral("1.14.4043"));
        QCOMPARE(configurator.value(QStringLiteral("application")).toString(), QCoreApplication::applicationFilePath());
        compareWithGolden(document, QStringLiteral("roundtrip125.conf"));

        // ---- Import of the saved file, as "Load configuration" runs it.
        sim.fake.clearLog();
        ConfigurationImporter *importer = master->createConfigurationImporter();
        QSignalSpy writeFinished(importer, &ConfigurationImporter::writeFinished);
        QSignalSpy writeFailed(importer, &ConfigurationImporter::writeFailed);
        QVERIFY(importer->loadFile(path));
        importer->start();
        QVERIFY(writeFinished.wait(10000));
        QCOMPARE(writeFailed.size(), 0);
        QCOMPARE(importer->addedCount(), devices.size());
        QCOMPARE(importer->failedCount(), 0);
        QVERIFY(!importer->isRunning());

        // The frame log, less the poller's event reads: the import and nothing else.
        QList<QByteArray> written;
        for (const FakeMaster::Received &request : sim.fake.received())
            if (request.type() != PT_NEW_EVENTS_READ)
                written << request.packet;
        QCOMPARE(written, importPackets(status, devices));
    }

    // A device's state keys are saved as far as it sent their bytes: a relay
    // sends 8 state bytes, which hold all its keys, and a reopened file gives
    // back its outputs. A key whose bytes are missing stays out of the file.
    void stateKeysAsFarAsSent()
    {
        const QStringList relayKeys{"fReserved", "main source", "bActiveZone", "out 1", "out 2", "btfTrainState", "bAdc"};
        struct Sent
        {
            SimDevice device;
            QStringList keys;    // the state keys the file holds
            QStringList missing; // those it leaves out
        };
        const QList<Sent> sent{
            {withState(simDevice(1, 14), "0301000001425717"), relayKeys, {}},
            {withState(simDevice(2, 15), "02010000020157f799"), relayKeys, {}},
            {withState(simDevice(3, 14), "0101000001"),
             {"fReserved", "main source", "bActiveZone", "out 1"},
             {"out 2", "btfTrainState", "bAdc"}},
            {withState(simDevice(4, 16), "0001000000830d1a"),
             {"Z1.fShift", "Z1.fLean", "Z1.fNoise", "shiftSensitivity", "shiftDisableDetection", "tiltSensitivity",
              "tiltDisableDetection", "tiltAutoFix"},
             {"Z2.fAlarm"}},
            {withState(simDevice(5, 3), "0003"), {}, {}}, // no state keys at all
        };
        SimMaster sim(masterRecord());
        for (const Sent &device : sent)
            sim.setDevice(device.device);
        DeviceConnection live;
        QSignalSpy masterConnected(&live, &Connection::masterConnected);
        QSignalSpy deviceConnected(&live, &Connection::deviceConnected);
        QVERIFY(sim.fake.isValid());
        QVERIFY(live.connectToMaster(Serial, sim.address(), MasterOrdinary));
        QTRY_COMPARE(masterConnected.size(), 1);
        QTRY_COMPARE(deviceConnected.size(), sent.size());

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("relays.conf"));
        QList<int> numbers;
        for (const Sent &device : sent)
            numbers << device.device.record.radioAddress;
        MessageCapture log;
        ConfigurationExporter *exporter = live.master()->createConfigurationExporter(numbers);
        QSignalSpy readFinished(exporter, &ConfigurationExporter::readFinished);
        exporter->writeHeader();
        QVERIFY(readFinished.wait(10000));
        exporter->applyExtendedSettings(live.devices());
        QVERIFY(exporter->saveToFile(path));
        QCOMPARE(log.matching(QStringLiteral("state is not saved")),
                 QStringList({QStringLiteral("Device 3 sent 5 state bytes; its state is not saved"),
                              QStringLiteral("Device 4 sent 8 state bytes; its state is not saved")}));

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonArray saved = QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("devices")).toArray();
        QCOMPARE(saved.size(), sent.size());
        for (int i = 0; i < sent.size(); ++i) {
            const QJsonObject object = saved.at(i).toObject();
            const QString where = QString::number(sent.at(i).device.record.radioAddress);
            for (const QString &key : sent.at(i).keys)
                QVERIFY2(object.contains(key), qPrintable(where + QLatin1Char(' ') + key));
            for (const QString &key : sent.at(i).missing)
                QVERIFY2(!object.contains(key), qPrintable(where + QLatin1Char(' ') + key));
        }
        const QJsonObject relay = saved.at(0).toObject();
        QCOMPARE(relay.value(QStringLiteral("out 1")).toString(), QStringLiteral("On"));
        QCOMPARE(relay.value(QStringLiteral("out 2")).toString(), QStringLiteral("Off"));
        QCOMPARE(relay.value(QStringLiteral("bAdc")).toInt(), 0x17);
        live.disconnectFromMaster();

        // Opened again, the relays show the outputs they reported: "On" 1, "Off" 0.
        FileConnection opened;
        QVERIFY2(opened.connectToMaster(File, path, MasterOrdinary), qPrintable(opened.errorString()));
        const struct
        {
            int number;
            int out1, out2, train, adc;
        } outputs[] = {{1, 1, 0, 0x17, 0x17}, {2, 0, 1, 0x17, 0xF7}, {3, 1, 0, 0, 0}};
        for (const auto &expected : outputs) {
            const DeviceItem *item = opened.device(expected.number);
            QVERIFY(item);
            const StateLayout::Layout &layout = *StateLayout::deviceLayout(item->deviceType());
            const QByteArray block = item->stateBlock();
            QCOMPARE(layout.value(block, QStringLiteral("Z1.outMask")), qint64(expected.out1));
            QCOMPARE(layout.value(block, QStringLiteral("Z2.outMask")), qint64(expected.out2));
            QCOMPARE(layout.value(block, QStringLiteral("Z3.btfTrainState")), qint64(expected.train));
            QCOMPARE(layout.value(block, QStringLiteral("Z3.bAdc")), qint64(expected.adc));
            QCOMPARE(layout.value(block, QStringLiteral("bActiveZone")), qint64(1));
        }
    }

private:
    // Set TANDREL_WRITE_GOLDEN=1 to rewrite the golden file from a run (then
    // read it through before keeping it).
    void compareWithGolden(const QJsonObject &document, const QString &name)
    {
        const QByteArray actual = ConfigurationJson::toBytes(masked(document));
        if (qEnvironmentVariableIsSet("TANDREL_WRITE_GOLDEN")) {
            QFile out(QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("data/") + name));
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(actual);
            return;
        }
        QFile golden(QFINDTESTDATA(QStringLiteral("data/") + name));
        QVERIFY2(golden.open(QIODevice::ReadOnly), qPrintable(name));
        QCOMPARE(QString::fromUtf8(actual), QString::fromUtf8(golden.readAll()));
    }
};

QTEST_MAIN(ConfigurationRoundTripTest)
#include "tst_configurationroundtrip.moc"

// The meter readers over the link: a master on a pseudo-terminal with a
// water-meter reader and a pulse-counter adapter behind it, the live
// connection, its poller and the command queue.
#include "configurationexporter.h"
#include "connectionfixture.h"
#include "devicecard.h"
#include "di_nilvo.h"
#include "di_zelvo.h"
#include "fileconnection.h"
#include "hubroitem.h"
#include "mastersim.h"
#include "qteditorfactory.h"
#include "qtpropertymanager.h"
#include "qttreepropertybrowser.h"
#include "senddatamanager.h"
#include "simmeters.h"
#include "simulatedconnection.h"
#include "widgetdevicewritesettings.h"

#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {
constexpr quint8 ZelvoNumber = 3;
constexpr quint8 NilvoNumber = 4;

QByteArray le32(quint32 value)
{
    QByteArray data;
    for (int i = 0; i < 4; ++i)
        data.append(char((value >> (8 * i)) & 0xFF));
    return data;
}

QList<SimDevice> meters()
{
    SimDevice zelvo = simDevice(ZelvoNumber, 19);
    zelvo.state = QByteArray::fromHex("f203006400"); // awake
    SimDevice nilvo = simDevice(NilvoNumber, 13);
    nilvo.state = QByteArray::fromHex("f2060064090900"); // inputs 1 and 2, NAMUR, 500 iph
    return {zelvo, nilvo};
}

QString valueOf(DeviceItem *item, const QString &group, const QString &name)
{
    for (QtProperty *top : item->topProperties())
        if (top->propertyName() == group)
            for (QtProperty *property : top->subProperties())
                if (property->propertyName() == name)
                    return property->valueText();
    return QString();
}
} // namespace

class MeterReadersTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        prepareConnectionTests();
        DI_Zelvo::setTimings(50, 60000, 300);
        DI_Nilvo::setTimings(100, 20);
    }

    void overTheLink()
    {
        SimMaster sim(healthyRecord());
        for (const SimDevice &device : meters())
            sim.setDevice(device);
        SimMeters meterSim(sim);
        // 10000 l, meter 123456789, then six bytes the reader keeps.
        meterSim.setRecord(ZelvoNumber, QByteArray::fromHex("10270000" "15cd5b070000" "000000000000"));
        meterSim.setRecord(NilvoNumber, QByteArray::fromHex("0000") + le32(1500) + le32(27) + QByteArray(8, '\0'));

        DeviceConnection connection;
        QSignalSpy deviceConnected(&connection, &Connection::deviceConnected);
        QVERIFY(sim.fake.isValid());
        QVERIFY(connection.connectToMaster(Serial, sim.address(), MasterOrdinary));
        // The command queue goes over the link, as the main window wires it.
        connect(SendDataManager::instance(), &SendDataManager::sendPacket, connection.interface(),
                &ConnectionInterface::sendPacket, Qt::UniqueConnection);
        QTRY_COMPARE(deviceConnected.size(), 2);

        QPointer<DI_Zelvo> zelvo = qobject_cast<DI_Zelvo *>(connection.device(ZelvoNumber));
        QPointer<DI_Nilvo> nilvo = qobject_cast<DI_Nilvo *>(connection.device(NilvoNumber));
        QVERIFY(zelvo && nilvo);

        // The reader's counter and the meter's serial number.
        QTRY_COMPARE(valueOf(zelvo, "Counter", "Value"), QStringLiteral("10000 l"));
        QCOMPARE(zelvo->data(DeviceRole::Value2).toULongLong(), 123456789ull);
        QTRY_VERIFY(zelvo->data(DeviceRole::StatusText).toString().startsWith(QStringLiteral("Input: 10000 l, s/n 123456789, 15 sec")));

        // A counter write waits for a reply that carries it.
        meterSim.setApplyWrites(false);
        zelvo->setData(12345u, DeviceRole::ClassValue);
        QTRY_COMPARE(meterSim.received(PT_DEVICE_EEPROM_WRITE_REQ).size(), 1);
        QCOMPARE(meterSim.received(PT_DEVICE_EEPROM_WRITE_REQ).first(), QByteArray::fromHex("6603480039300000"));
        const int reads = meterSim.received(PT_GET_RFADDITIONAL_DATA).size();
        QTRY_VERIFY(meterSim.received(PT_GET_RFADDITIONAL_DATA).size() > reads + 1);
        QCOMPARE(zelvo->data(DeviceRole::StatusText).toString(), QStringLiteral("Please wait while saving data: 12345"));
        meterSim.setRecord(ZelvoNumber, le32(12345) + QByteArray::fromHex("15cd5b070000" "000000000000"));
        QTRY_COMPARE(valueOf(zelvo, "Counter", "Value"), QStringLiteral("12345 l"));
        QVERIFY(!zelvo->isWritePending());

        // The deactivation: memory, restart, and later the device asked for again.
        QSignalSpy forceRead(zelvo.data(), &DeviceItem::forceReadData);
        const qint64 deactivatedNs = FakeMaster::nowNs(); // before: a bound the program cannot beat
        zelvo->deactivate();
        const int infoReads = sim.infoRequests().count(ZelvoNumber);
        QTRY_COMPARE(meterSim.received(PT_REBOOT_DEVICE).size(), 1);
        QCOMPARE(meterSim.received(PT_DEVICE_EEPROM_WRITE_REQ).last(), QByteArray::fromHex("66032d0000"));
        QCOMPARE(meterSim.received(PT_REBOOT_DEVICE).first(), QByteArray::fromHex("c003"));
        QTRY_COMPARE(meterSim.received(PT_USB_DEVICE_LOST), QList<QByteArray>({QByteArray::fromHex("6d03")}));
        // The loss is told after the restart, once the deactivation delay (300 ms here) is over.
        qint64 rebootNs = 0, lostNs = 0;
        for (const FakeMaster::Received &r : sim.fake.received()) {
            if (r.type() == PT_REBOOT_DEVICE && rebootNs == 0)
                rebootNs = r.receivedNs;
            if (r.type() == PT_USB_DEVICE_LOST && lostNs == 0)
                lostNs = r.receivedNs;
        }
        QVERIFY(rebootNs > 0 && lostNs > rebootNs);
        QVERIFY2(lostNs - deactivatedNs >= 300 * 1000000LL, qPrintable(QString::number(lostNs - deactivatedNs)));
        QTRY_COMPARE(forceRead.size(), 1);
        QCOMPARE(forceRead.first().first().toInt(), int(ZelvoNumber));
        // The poller reads the reader at once (no event of the master asked for it).
        QTRY_VERIFY(sim.infoRequests().count(ZelvoNumber) > infoReads);

        // Keep-alives went out through the queue, the reader's when it was made.
        QVERIFY(meterSim.received(PT_DEVICE_SEND_DATA).contains(QByteArray::fromHex("6a030005010101")));
        QTRY_VERIFY(meterSim.received(PT_DEVICE_SEND_DATA).count(QByteArray::fromHex("6a040005010101")) > 1);

        // The adapter reads its counters after its keep-alive.
        QTRY_COMPARE(valueOf(nilvo, "Input 1", "Counter"), QStringLiteral("1500 imp"));
        QCOMPARE(valueOf(nilvo, "Input 2", "Counter"), QStringLiteral("27 imp"));

        // A speed change goes out as the memory write and the restart.
        QtTreePropertyBrowser browser;
        QtEnumEditorFactory factory;
        browser.setFactoryForManager(nilvo->data(DeviceRole::EnumManager).value<QtEnumPropertyManager *>(), &factory);
        QtProperty *speed = nullptr;
        for (QtProperty *property : nilvo->data(DeviceRole::EnumManager).value<QtEnumPropertyManager *>()->properties())
            if (property->propertyName() == QLatin1String("Speed mode"))
                speed = property;
        QVERIFY(speed);
        browser.addProperty(speed);
        {
            std::unique_ptr<QWidget> editor(factory.createEditor(speed, &browser));
            qobject_cast<QComboBox *>(editor.get())->setCurrentIndex(0);
        }
        QVERIFY(speed->isModified());
        nilvo->writeSettingsPanel()->findChild<QPushButton *>(QStringLiteral("pbWriteSettings"))->click();
        QTRY_COMPARE(meterSim.received(PT_REBOOT_DEVICE).size(), 2);
        QCOMPARE(meterSim.received(PT_DEVICE_EEPROM_WRITE_REQ).last(), QByteArray::fromHex("6604540000010100" "00"));
        QCOMPARE(meterSim.received(PT_REBOOT_DEVICE).last(), QByteArray::fromHex("c004"));

        disconnect(SendDataManager::instance(), &SendDataManager::sendPacket, connection.interface(), nullptr);
        QVERIFY(connection.disconnectFromMaster());
    }

    void theDemoShowsThem()
    {
        SimulatedConnection simulation;
        QVERIFY(simulation.connectToMaster(Simulation, QStringLiteral(TANDREL_EXAMPLES_DIR "/demo.sim"), MasterOrdinary));
        const ShownDevices expected{
            {90, {"DI_Zelvo", "Input: Requesting data..., s/n 0, 15 sec, Normal"}},
            {92, {"DI_Nilvo", "Input 1: Reading (Ok), Input2: Reading (Ok), sensor: Unknown, Transmit interval: 30 sec"}},
            {95, {"DI_Rufta", "Flood alarm"}},
            {96, {"DI_Rufta_ISP1", "Normal"}},
            {97, {"DI_Wemdar", "21.5°C, 48.2%, Normal"}},
            {98, {"DI_Wemdar", "23.1°C, 51.2%, 3.5 ppm, Normal"}},
            {99, {"DI_Vuxo_ISP1", "Sensitivity: -12 dB, Alarm"}}};
        compareShownDevices(simulation, expected);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(simulation.device(92)->addressText(), QStringLiteral("92, 93, 94"));
        QVERIFY(simulation.device(95)->hasAlarm());
        QVERIFY(simulation.device(99)->hasAlarm());
        // The climate cards' readout.
        QCOMPARE(DeviceCard::readoutText(2, simulation.device(97)->data(DeviceRole::ClassValue)), QStringLiteral("21.5"));
        QCOMPARE(DeviceCard::readoutText(2, simulation.device(98)->data(DeviceRole::ClassValue)), QStringLiteral("23.1"));

        // The adapter's settings go into a saved file and come back from it.
        auto *adapter = qobject_cast<DI_Nilvo *>(simulation.device(92));
        QVERIFY(adapter);
        adapter->setSpeedMode(3);
        QList<int> numbers;
        for (DeviceItem *item : simulation.devices())
            numbers << item->deviceId();
        ConfigurationExporter *exporter = simulation.master()->createConfigurationExporter(numbers);
        exporter->writeHeader();
        exporter->applyExtendedSettings(simulation.devices());
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("meters.conf"));
        QVERIFY(exporter->saveToFile(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QJsonObject saved;
        for (const QJsonValue &device : QJsonDocument::fromJson(file.readAll()).object().value("devices").toArray())
            if (device.toObject().value("id").toInt() == 92)
                saved = device.toObject();
        file.close();
        QCOMPARE(saved.value("workMode"), QJsonValue(1));
        QCOMPARE(saved.value("inputMode"), QJsonValue(1));
        QCOMPARE(saved.value("speedMode"), QJsonValue(3));

        FileConnection opened;
        QVERIFY(opened.connectToMaster(File, path, MasterOrdinary));
        auto *read = qobject_cast<DI_Nilvo *>(opened.device(92));
        QVERIFY(read);
        // The file's state block tells no counter type or speed: the keys set the editors.
        QCOMPARE(QList<int>({read->workMode(), read->inputMode(), read->speedMode()}), QList<int>({1, 1, 3}));
        QVERIFY(opened.disconnectFromMaster());

        // The second reader type, which simulations cannot describe, comes from the bundled file.
        const QTemporaryDir copies;
        FileConnection demo;
        QVERIFY(demo.connectToMaster(File, copiedInto(copies, QStringLiteral(TANDREL_EXAMPLES_DIR "/demo.conf")),
                                     MasterOrdinary));
        QVERIFY(demo.device(91));
        QCOMPARE(demo.device(91)->deviceType(), 56);
        QVERIFY(qobject_cast<DI_Zelvo *>(demo.device(91)));
        QVERIFY(demo.disconnectFromMaster());
    }
};

QTEST_MAIN(MeterReadersTest)
#include "tst_meterreaders.moc"

// The supply and output devices over the link, in the demo and in files: a
// master on a pseudo-terminal with a two-line repeater, a relay module and a
// mains sign behind it; the simulated demo in the tree; a saved file.
#include "configurationexporter.h"
#include "connectionfixture.h"
#include "devicesettings.h"
#include "devicetablemodel.h"
#include "di_fotra.h"
#include "di_pondra.h"
#include "di_sebrel.h"
#include "fileconnection.h"
#include "hubroitem.h"
#include "mastersim.h"
#include "qteditorfactory.h"
#include "qtpropertymanager.h"
#include "qttreepropertybrowser.h"
#include "senddatamanager.h"
#include "signtest.h"
#include "simulatedconnection.h"
#include "widgetdevicewritesettings.h"

#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {
constexpr quint8 RepeaterNumber = 3;
constexpr quint8 RelayNumber = 4;
constexpr quint8 SignNumber = 6;

QByteArray signState(quint8 mode)
{
    QByteArray state(16, '\0');
    state[0] = char(0xE0);
    state[8] = 3;
    state[9] = 1;
    state[12] = char(mode);
    state[13] = 100;
    state[14] = 1;
    return state;
}

QList<SimDevice> devices()
{
    SimDevice repeater = simDevice(RepeaterNumber, 71, 0x20);
    repeater.state = QByteArray::fromHex("c0003831e02e041003010100");
    SimDevice relay = simDevice(RelayNumber, 14, 0x20);
    relay.record.hardwareVersion = 0x0200;
    relay.state = QByteArray::fromHex("e1000000" "00000000");
    SimDevice sign = simDevice(SignNumber, 50);
    sign.state = signState(0);
    return {repeater, relay, sign};
}

QtProperty *named(const DeviceItem *item, const QString &name)
{
    for (QtProperty *property : item->data(DeviceRole::EnumManager).value<QtEnumPropertyManager *>()->properties())
        if (property->propertyName() == name)
            return property;
    return nullptr;
}

// The user picks `index` for the item's editable property `name`.
void choose(DeviceItem *item, const QString &name, int index)
{
    QtTreePropertyBrowser browser;
    QtEnumEditorFactory factory;
    browser.setFactoryForManager(item->data(DeviceRole::EnumManager).value<QtEnumPropertyManager *>(), &factory);
    QtProperty *property = named(item, name);
    QVERIFY(property);
    // An item follows edits from the first turn of the event loop after it was made;
    // it may have been made in the turn that has just ended.
    item->postInit();
    browser.addProperty(property);
    std::unique_ptr<QWidget> editor(factory.createEditor(property, &browser));
    qobject_cast<QComboBox *>(editor.get())->setCurrentIndex(index);
    QVERIFY(property->isModified());
}

void pressWrite(DeviceItem *item)
{
    item->writeSettingsPanel()->findChild<QPushButton *>(QStringLiteral("pbWriteSettings"))->click();
}

QList<QByteArray> commands(const SimMaster &sim)
{
    QList<QByteArray> packets;
    for (const FakeMaster::Received &r : sim.fake.received())
        if (r.type() == PT_DEVICE_SEND_DATA || r.type() == PT_DEVICE_EEPROM_WRITE_REQ || r.type() == PT_REBOOT_DEVICE)
            packets << r.packet;
    return packets;
}

} // namespace

class SupplyDevicesTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { prepareConnectionTests(); }
    void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    void overTheLink()
    {
        SimMaster sim(healthyRecord());
        for (const SimDevice &device : devices())
            sim.setDevice(device);
        DeviceConnection connection;
        QSignalSpy deviceConnected(&connection, &Connection::deviceConnected);
        QVERIFY(sim.fake.isValid());
        QVERIFY(connection.connectToMaster(Serial, sim.address(), MasterOrdinary));
        connect(SendDataManager::instance(), &SendDataManager::sendPacket, connection.interface(),
                &ConnectionInterface::sendPacket, Qt::UniqueConnection);
        QTRY_COMPARE(deviceConnected.size(), 3);
        QPointer<DeviceItem> repeater = connection.device(RepeaterNumber);
        QPointer<DeviceItem> relay = connection.device(RelayNumber);
        QPointer<DI_Pondra_24_220> sign = qobject_cast<DI_Pondra_24_220 *>(connection.device(SignNumber));
        QVERIFY(qobject_cast<DI_Sebrel_ISP02 *>(repeater));
        QVERIFY(qobject_cast<DI_Fotra *>(relay));
        QVERIFY(sign);

        // The reserve supply goes through the command queue.
        choose(repeater, "Reserve power supply", 1);
        pressWrite(repeater);
        QTRY_COMPARE(commands(sim), QList<QByteArray>{QByteArray::fromHex("6a03" "000500020001")});

        // The relay's cable mode leaves as a request of the item's own.
        QSignalSpy queued(SendDataManager::instance(), &SendDataManager::sendPacket);
        choose(relay, "Cable mode", 2);
        pressWrite(relay);
        QTRY_COMPARE(commands(sim).size(), 2);
        QCOMPARE(commands(sim).last(), QByteArray::fromHex("6a04" "0005030102"));
        QCOMPARE(queued.size(), 0);

        // The sign test follows the readings the master gives.
        const QByteArray turnOn = QByteArray::fromHex("6a06" "0004010fff");
        const QByteArray turnOff = QByteArray::fromHex("6a06" "00040103ff");
        SignTest::setWatchdogInterval(60000);
        sign->startTesting();
        sim.raiseEvent(SignNumber);
        QTRY_COMPARE(commands(sim).size(), 3);
        QCOMPARE(commands(sim).last(), turnOn);
        SimDevice lit = sim.device(SignNumber);
        lit.state = signState(1);
        sim.setDevice(lit);
        sim.raiseEvent(SignNumber);
        QTRY_COMPARE(commands(sim).size(), 4);
        QCOMPARE(commands(sim).last(), turnOff);
        QVERIFY(sign->signTest()->watchdog().isActive());
        sign->endTesting();
        QTRY_COMPARE(commands(sim).size(), 5);
        QCOMPARE(commands(sim).last(), turnOff);
        QVERIFY(!sign->signTest()->watchdog().isActive());

        disconnect(SendDataManager::instance(), &SendDataManager::sendPacket, connection.interface(), nullptr);
        QVERIFY(connection.disconnectFromMaster());
    }

    void theDemoShowsThem()
    {
        SimulatedConnection simulation;
        QVERIFY(simulation.connectToMaster(Simulation, QStringLiteral(TANDREL_EXAMPLES_DIR "/demo.sim"), MasterOrdinary));
        const ShownDevices expected{
            {10, {"DI_Sebrel", "Normal"}},
            {61, {"DI_Plimsa", "Turned on by button, Voltage: 230 V, Current: 1.5 A, Power: 345.6 W"}},
            {62, {"DI_Fotra", "Out 1: On, Out 2: Off, No alarm"}},
            {63, {"DI_FotraISP1", "Out 1: Off, Out 2: Off, Normal"}},
            {64, {"DI_Pondra_24_220", "Display: Off, External power: Not detected, Battery: No battery"}},
            {65, {"DI_Pondra_24_220", "Display: Off, External power: Not detected, Battery: No battery"}},
            {66, {"DI_Jorvu", "Out #1: On, Out #2: Cut"}},
            {67, {"DI_Pondra", "Display: Mask active: 5, Normal"}},
            {68, {"DI_Hoxel", "Light: On   Sound: Fail"}}};
        compareShownDevices(simulation, expected);
        if (QTest::currentTestFailed())
            return;

        // In the tree the devices heard through a repeater sit under it.
        DeviceTableModel model;
        model.setViewMode(DeviceTableModel::TreeMode);
        model.deviceConnected(simulation.master());
        for (DeviceItem *item : simulation.devices())
            model.deviceConnected(item);
        const QList<QPair<int, int>> under{{11, 10}, {12, 10}, {62, 61}, {66, 64}};
        for (const auto &pair : under)
            QCOMPARE(model.parentOf(simulation.device(pair.first)), simulation.device(pair.second));
        QCOMPARE(model.parentOf(simulation.device(63)), static_cast<DeviceItem *>(simulation.master()));
        // A repeater taken out leaves its devices to the master, and takes them back.
        for (int repeater : {10, 61, 64}) {
            model.removeDevice(simulation.device(repeater));
            for (const auto &pair : under)
                if (pair.second == repeater)
                    QCOMPARE(model.parentOf(simulation.device(pair.first)), static_cast<DeviceItem *>(simulation.master()));
            model.deviceConnected(simulation.device(repeater));
        }
        for (const auto &pair : under)
            QCOMPARE(model.parentOf(simulation.device(pair.first)), simulation.device(pair.second));
        model.clear();
        QVERIFY(simulation.disconnectFromMaster());
    }

    void settingsInFiles()
    {
        SimulatedConnection simulation;
        QVERIFY(simulation.connectToMaster(Simulation, QStringLiteral(TANDREL_EXAMPLES_DIR "/demo.sim"), MasterOrdinary));
        auto *sign = qobject_cast<DI_Pondra_24_220 *>(simulation.device(64));
        auto *smallSign = qobject_cast<DI_Pondra_24_220 *>(simulation.device(65));
        QVERIFY(sign && smallSign);
        QVERIFY(DeviceSettings::setValue(sign, "brightness", 1));
        QVERIFY(DeviceSettings::setValue(sign, "wallControl", 0));

        QList<int> numbers;
        for (DeviceItem *item : simulation.devices())
            numbers << item->deviceId();
        ConfigurationExporter *exporter = simulation.master()->createConfigurationExporter(numbers);
        exporter->writeHeader();
        exporter->applyExtendedSettings(simulation.devices());
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("signs.conf"));
        QVERIFY(exporter->saveToFile(path));
        QVERIFY(simulation.disconnectFromMaster());

        const QJsonObject saved = savedDeviceEntry(path, 64);
        QCOMPARE(saved.value("brightness"), QJsonValue(1));
        QCOMPARE(saved.value("wallControl"), QJsonValue(0));
        // The type-49 sign carries neither; the relay module its third input.
        QVERIFY(!savedDeviceEntry(path, 65).contains("brightness"));
        QVERIFY(!savedDeviceEntry(path, 65).contains("wallControl"));
        QCOMPARE(savedDeviceEntry(path, 62).value("enabledCable"), QJsonValue(false));

        FileConnection opened;
        QVERIFY(opened.connectToMaster(File, path, MasterOrdinary));
        auto *read = qobject_cast<DI_Pondra_24_220 *>(opened.device(64));
        QVERIFY(read);
        QCOMPARE(read->brightness(), 1);
        QCOMPARE(read->wallControl(), 0);
        QVERIFY(opened.disconnectFromMaster());

        // Devices a simulation cannot describe come from the bundled file.
        const QTemporaryDir copies;
        FileConnection demo;
        QVERIFY(demo.connectToMaster(File, copiedInto(copies, QStringLiteral(TANDREL_EXAMPLES_DIR "/demo.conf")),
                                     MasterOrdinary));
        const QList<QPair<int, QString>> fileOnly{{60, "DI_Sebrel_ISP02"}, {69, "DI_Drovi"}, {70, "DI_Vindrak"}};
        for (const auto &device : fileOnly) {
            QVERIFY2(demo.device(device.first), qPrintable(QString::number(device.first)));
            QCOMPARE(QString::fromLatin1(demo.device(device.first)->metaObject()->className()), device.second);
        }
        auto *demoSign = qobject_cast<DI_Pondra_24_220 *>(demo.device(64));
        QVERIFY(demoSign);
        QCOMPARE(demoSign->brightness(), 0);
        QCOMPARE(demoSign->wallControl(), 1);
        QVERIFY(demo.disconnectFromMaster());
    }
};

QTEST_MAIN(SupplyDevicesTest)
#include "tst_supplydevices.moc"

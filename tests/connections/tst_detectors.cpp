// The detectors over the link and offline: the heat and smoke detectors'
// alarm levels read and written through the fake master, the demo's
// detectors, and a saved file carrying the detectors' settings.
#include "configurationexporter.h"
#include "connectionfixture.h"
#include "devicebench.h"
#include "di_bexil.h"
#include "di_lumeq.h"
#include "di_mavo.h"
#include "di_olvek.h"
#include "di_taskel.h"
#include "di_yolvik.h"
#include "fileconnection.h"
#include "hubroitem.h"
#include "mastersim.h"
#include "senddatamanager.h"
#include "simdetectors.h"
#include "simulatedconnection.h"
#include "widgetdevicewritesettings.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
constexpr quint8 BexilNumber = 3;
constexpr quint8 MavoNumber = 4;

SimDevice fireDetector(quint8 number, quint8 type, const char *stateHex)
{
    SimDevice device = simDevice(number, type);
    device.record.firmwareVersion = 0x011F; // 1.31
    device.record.hardwareVersion = 0x0200; // 2.0
    device.state = QByteArray::fromHex(stateHex);
    return device;
}

QByteArray record(const char *frontHex)
{
    const QByteArray front = QByteArray::fromHex(frontHex);
    return front + QByteArray(18 - front.size(), '\0');
}

QStringList rowTexts(const DeviceItem &item, const QString &group, const QStringList &names)
{
    QStringList shown;
    for (const QString &name : names) {
        QtProperty *row = propertyAt(item, {group, name});
        shown << (row ? row->valueText() : QStringLiteral("<none>"));
    }
    return shown;
}

bool anyModified(const DeviceItem &item, const QString &group)
{
    for (QtProperty *row : propertyAt(item, {group})->subProperties())
        if (row->isModified())
            return true;
    return false;
}

} // namespace

class DetectorsTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        prepareConnectionTests();
        DeviceItem::setTimings(100, 300);
        FireDetectorItem::setReadDelay(100);
    }

    void alarmLevelsOverTheLink()
    {
        SimMaster sim(healthyRecord());
        sim.setDevice(fireDetector(BexilNumber, 2, "f4030064001700000000"));
        sim.setDevice(fireDetector(MavoNumber, 5, "f0030064003207000000"));
        SimDetectors detectors(sim);
        detectors.setRecord(BexilNumber, QByteArray::fromHex("02de46")); // B, warning at 70
        detectors.setRecord(MavoNumber, QByteArray::fromHex("02a9d532")); // 120, 100, 80, 75

        DeviceConnection connection;
        QSignalSpy deviceConnected(&connection, &Connection::deviceConnected);
        QVERIFY(sim.fake.isValid());
        QVERIFY(connection.connectToMaster(Serial, sim.address(), MasterOrdinary));
        connect(SendDataManager::instance(), &SendDataManager::sendPacket, connection.interface(),
                &ConnectionInterface::sendPacket, Qt::UniqueConnection);
        QTRY_COMPARE(deviceConnected.size(), 2);
        QPointer<DI_Bexil> bexil = qobject_cast<DI_Bexil *>(connection.device(BexilNumber));
        QPointer<DI_Mavo> mavo = qobject_cast<DI_Mavo *>(connection.device(MavoNumber));
        QVERIFY(bexil && mavo);
        QVERIFY(bexil->hasFeature(1001) && mavo->hasFeature(1001));

        // The extra properties come, and the alarm level is read into them.
        const QStringList bexilRows{"Detector class", "Warning", "Threshold, °C"};
        QTRY_COMPARE(rowTexts(*bexil, "Temperature", bexilRows), QStringList({"B", "Enable", "70"}));
        QCOMPARE(bexil->deviceClass(), 7);
        QCOMPARE(detectors.received(PT_GET_RFADDITIONAL_DATA).first(), QByteArray::fromHex("8003"));

        // An edit of class and threshold goes out as the record, is acknowledged and read back.
        {
            EditorBench bench(*bexil);
            QVERIFY(bench.choose(propertyAt(*bexil, {"Temperature", "Detector class"}), 6));
            QVERIFY(bench.enter(propertyAt(*bexil, {"Temperature", "Threshold, °C"}), 55));
            QCOMPARE(panelOf(*bexil)->state(), int(WidgetDeviceWriteSettings::HasChanges));
            const int reads = detectors.received(PT_GET_RFADDITIONAL_DATA).size();
            pressWrite(*bexil);
            QTRY_COMPARE(detectors.received(PT_SET_RFADDITIONAL_DATA).size(), 1);
            QCOMPARE(detectors.received(PT_SET_RFADDITIONAL_DATA).first(), QByteArray::fromHex("9603") + record("02d437"));
            QTRY_VERIFY(detectors.received(PT_GET_RFADDITIONAL_DATA).size() > reads);
            QTRY_COMPARE(panelOf(*bexil)->state(), int(WidgetDeviceWriteSettings::NoChanges));
            QCOMPARE(rowTexts(*bexil, "Temperature", bexilRows), QStringList({"A3", "Enable", "55"}));
            QVERIFY(!anyModified(*bexil, "Temperature"));
            QVERIFY(!bexil->isConfigurationChanged());
        }

        // A wrong or short reply changes nothing.
        for (SimDetectors::Answer answer : {SimDetectors::Answer::WrongType, SimDetectors::Answer::Short}) {
            detectors.setRecord(BexilNumber, QByteArray::fromHex("028a80"));
            detectors.setAnswer(answer);
            const int reads = detectors.received(PT_GET_RFADDITIONAL_DATA).size();
            QVERIFY(QMetaObject::invokeMethod(bexil, "readAlarmLevel"));
            QTRY_COMPARE(detectors.received(PT_GET_RFADDITIONAL_DATA).size(), reads + 1);
            QTest::qWait(100);
            QCOMPARE(rowTexts(*bexil, "Temperature", bexilRows), QStringList({"A3", "Enable", "55"}));
            QCOMPARE(bexil->deviceClass(), 6);
        }
        detectors.setAnswer(SimDetectors::Answer::Record);

        // The smoke detector's thresholds the same way.
        const QStringList mavoRows{"Input type", "Daytime fire threshold", "Night fire threshold",
                                   "Daytime warning threshold", "Night warning threshold"};
        QTRY_COMPARE(rowTexts(*mavo, "Smoke sensor", mavoRows),
                     QStringList({"Smoke analogue", "120", "100", "80", "75"}));
        {
            EditorBench bench(*mavo);
            QVERIFY(bench.enter(propertyAt(*mavo, {"Smoke sensor", "Daytime fire threshold"}), 110));
            pressWrite(*mavo);
            QTRY_COMPARE(detectors.received(PT_SET_RFADDITIONAL_DATA).size(), 2);
            QCOMPARE(detectors.received(PT_SET_RFADDITIONAL_DATA).last(), QByteArray::fromHex("9604") + record("029fd532"));
            QTRY_COMPARE(mavo->deviceValues(), QList<int>({110, 100, 80, 75, 1}));
            QTRY_COMPARE(panelOf(*mavo)->state(), int(WidgetDeviceWriteSettings::NoChanges));
            QVERIFY(!anyModified(*mavo, "Smoke sensor"));
        }

        disconnect(SendDataManager::instance(), &SendDataManager::sendPacket, connection.interface(), nullptr);
        QVERIFY(connection.disconnectFromMaster());
    }

    void theDemoShowsThem()
    {
        SimulatedConnection simulation;
        QVERIFY(simulation.connectToMaster(Simulation, QStringLiteral(TANDREL_EXAMPLES_DIR "/demo.sim"), MasterOrdinary));
        const ShownDevices expected{
            {30, {"DI_Bexil", "Temperature: 23°C, Normal"}},
            {31, {"DI_Mavo", "Fire, Smoke: 0.12 dB/m, Alarm"}},
            {32, {"DI_Olvek", "Movement detected, Sensitivity : Level 3, Test mode"}},
            {33, {"DI_Yolvik", "Gerkon: Alarm, Motion: not detected, Tilt: not detected"}},
            {35, {"DI_Kemrel", "Movement detected, Sensitivity : Level 2"}},
            {36, {"DI_Lumeq", "Dirty lens"}},
            {37, {"DI_Yolvik_ISP1", "Motion: detected, Tilt: not detected"}},
            {38, {"DI_Yolvik_ISP2", "Normal"}},
            {39, {"DI_Olvek_ISP2", "Sensitivity : high, No movement detected, Normal"}},
            {40, {"DI_Taskel", "No movement detected, Near zone sensitivity : Level 2, Far zone sensitivity : Level 3, Normal"}},
            {41, {"DI_Taskel", "Movement detected, Near zone sensitivity : Level 1 (max), Far zone sensitivity : Level 2, "
                               "Main power failed"}},
            {42, {"DI_Olvek_Pemmel", "Failure"}}};
        compareShownDevices(simulation, expected);
        if (QTest::currentTestFailed())
            return;
        for (const auto &device : expected)
            QCOMPARE(simulation.device(device.first)->address(), quint8(device.first));
        QVERIFY(!simulation.device(34)); // the reed-switch model's second address
        QCOMPARE(simulation.device(33)->addressText(), QStringLiteral("33, 34"));
        for (int alarmed : {31, 33, 35, 37})
            QVERIFY2(simulation.device(alarmed)->hasAlarm(), qPrintable(QString::number(alarmed)));
        for (int faulty : {41, 42})
            QVERIFY2(simulation.device(faulty)->hasFault(), qPrintable(QString::number(faulty)));

        // The four-level model that simulations cannot describe comes from the bundled file.
        const QTemporaryDir copies;
        FileConnection demo;
        QVERIFY(demo.connectToMaster(File, copiedInto(copies, QStringLiteral(TANDREL_EXAMPLES_DIR "/demo.conf")),
                                     MasterOrdinary));
        QVERIFY(qobject_cast<DI_Olvek_Pemmel *>(demo.device(43)));
        QCOMPARE(demo.device(43)->deviceType(), 52);
        QVERIFY(qobject_cast<DI_Yolvik *>(demo.device(33)));
        QVERIFY(demo.disconnectFromMaster());
    }

    void savedFileCarriesTheSettings()
    {
        SimulatedConnection simulation;
        QVERIFY(simulation.connectToMaster(Simulation, QStringLiteral(TANDREL_EXAMPLES_DIR "/demo.sim"), MasterOrdinary));
        auto *lumeq = qobject_cast<DI_Lumeq *>(simulation.device(36));
        auto *taskel = qobject_cast<DI_Taskel *>(simulation.device(40));
        auto *yolvik = qobject_cast<DI_Yolvik *>(simulation.device(33));
        auto *isp1 = qobject_cast<DI_Yolvik_ISP1 *>(simulation.device(37));
        QVERIFY(lumeq && taskel && yolvik && isp1);
        // Values the file's state blocks do not give.
        lumeq->setSpecRange(1);
        lumeq->setSpecSpeed(1);
        taskel->setNearSensitivity(3);
        taskel->setFarSensitivity(0);
        yolvik->setTiltSensitivity(6);
        isp1->setShiftDetection(0);
        isp1->setTiltSensitivity(7);

        QList<int> numbers;
        for (DeviceItem *item : simulation.devices())
            numbers << item->deviceId();
        ConfigurationExporter *exporter = simulation.master()->createConfigurationExporter(numbers);
        exporter->writeHeader();
        exporter->applyExtendedSettings(simulation.devices());
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("detectors.conf"));
        QVERIFY(exporter->saveToFile(path));

        const QList<QPair<int, QJsonObject>> keys{
            {36, {{"specRange", 1}, {"specSpeed", 1}}},
            {40, {{"nearSensitivity", 3}, {"farSensitivity", 0}}},
            {33, {{"shiftDetection", 1}, {"shiftSensitivity", 2}, {"tiltDetection", 1}, {"tiltSensitivity", 6}}},
            {37, {{"shiftDetection", 0}, {"shiftSensitivity", 1}, {"tiltDetection", 1}, {"tiltSensitivity", 7}}}};
        for (const auto &device : keys) {
            const QJsonObject saved = savedDeviceEntry(path, device.first);
            for (auto it = device.second.begin(); it != device.second.end(); ++it)
                QVERIFY2(saved.value(it.key()) == it.value(), qPrintable(QStringLiteral("%1 %2").arg(device.first).arg(it.key())));
        }
        for (const char *key : {"shiftDetection", "tiltSensitivity", "specRange"})
            QVERIFY(!savedDeviceEntry(path, 38).contains(QLatin1String(key))); // the reed-switch model has none

        FileConnection opened;
        QVERIFY(opened.connectToMaster(File, path, MasterOrdinary));
        auto *readLumeq = qobject_cast<DI_Lumeq *>(opened.device(36));
        auto *readTaskel = qobject_cast<DI_Taskel *>(opened.device(40));
        auto *readYolvik = qobject_cast<DI_Yolvik *>(opened.device(33));
        auto *readIsp1 = qobject_cast<DI_Yolvik_ISP1 *>(opened.device(37));
        QVERIFY(readLumeq && readTaskel && readYolvik && readIsp1);
        QCOMPARE(QList<int>({readLumeq->specRange(), readLumeq->specSpeed()}), QList<int>({1, 1}));
        QCOMPARE(QList<int>({readTaskel->nearSensitivity(), readTaskel->farSensitivity()}), QList<int>({3, 0}));
        QCOMPARE(readYolvik->tiltSensitivity(), 6);
        QCOMPARE(QList<int>({readIsp1->shiftDetection(), readIsp1->tiltSensitivity()}), QList<int>({0, 7}));
        QVERIFY(opened.disconnectFromMaster());
    }
};

QTEST_MAIN(DetectorsTest)
#include "tst_detectors.moc"

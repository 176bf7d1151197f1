// Bluetooth discovery over the Lookout stand-in beside this program and
// scripted watchers: the steps of a run, the lines it rejects, the adapter
// answers, a missing library or export, rescans, and an agent deleted mid-run.
#include "blelibraries.h"
#include "bluetoothdevicediscoveryagent.h"
#include "lookoutradio.h"
#include "messagecapture.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// Every signal of an agent, in order, as text.
struct Trace
{
    explicit Trace(BluetoothDeviceDiscoveryAgent &agent)
    {
        QObject::connect(&agent, QOverload<DiscoveredDevice, QString, QString, QString>::of(
                                     &BluetoothDeviceDiscoveryAgent::deviceDiscovered),
                         [this](const DiscoveredDevice &device, const QString &name, const QString &address,
                                const QString &id) {
                             devices << device;
                             events << QStringLiteral("device %1|%2|%3").arg(name, address, id);
                         });
        QObject::connect(&agent, &BluetoothDeviceDiscoveryAgent::advReceived,
                         [this](const QString &address, const QString &info) {
                             events << QStringLiteral("adv %1|%2").arg(address, info);
                         });
        QObject::connect(&agent, &BluetoothDeviceDiscoveryAgent::removeInactive,
                         [this] { events << QStringLiteral("removeInactive"); });
        QObject::connect(&agent, &BluetoothDeviceDiscoveryAgent::deviceRemoved,
                         [this](const QString &id) { events << QStringLiteral("removed %1").arg(id); });
        QObject::connect(&agent, &DeviceDiscoveryAgent::discoveryFinished,
                         [this](int state) { events << QStringLiteral("finished %1").arg(state); });
    }
    bool finished() const { return !events.isEmpty() && events.last().startsWith(QLatin1String("finished")); }

    QStringList events;
    QList<DiscoveredDevice> devices;
};

const QString MasterInfo = QStringLiteral("device type: 141, hardware: 1, radio: 0, core: 0, bluetooth: 0, "
                                          "serial: 5150, kastrel: 0, password: 0");
} // namespace

class BluetoothDiscoveryTest : public QObject
{
    Q_OBJECT

    LookoutRadio m_radio;

private slots:
    void initTestCase()
    {
        registerDiscoveredDeviceMetaType();
        BluetoothDeviceDiscoveryAgent::Timings timings;
        timings.supportCheck = 20;
        timings.step = 40;
        BluetoothDeviceDiscoveryAgent::setTimings(timings);
        StandIns::setLookout(&m_radio);
    }
    void init()
    {
        m_radio.support = 3;
        m_radio.supportDelayMs = 0;
        m_radio.deviceStatus = 1;
        m_radio.advertisementStatus = 1;
        m_radio.devices.clear();
        m_radio.removals.clear();
        m_radio.advertisements.clear();
        BleLibraries::setFolderForTesting(QString());
        BleLibraries::setAvailableForTesting(-1);
    }
    void cleanup() { QCOMPARE(m_radio.alive, 0); }

    void aRun()
    {
        m_radio.addMaster("ZORVO HUBRO", 0xC0FFEE000001ull, 5150);
        m_radio.addMaster("ZORVO LATE", 0xC0FFEE000002ull, 7, 200, 0); // found after the first step
        m_radio.removals.push_back({60, "BluetoothLE#C0:FF:EE:00:00:01"}); // taken already: not reported
        MessageCapture log;
        BluetoothDeviceDiscoveryAgent agent;
        Trace trace(agent);
        agent.start();
        QTRY_VERIFY(trace.finished());
        QCOMPARE(trace.events,
                 (QStringList{QStringLiteral("device ZORVO HUBRO|C0:FF:EE:00:00:01|BluetoothLE#C0:FF:EE:00:00:01"),
                              QStringLiteral("adv C0:FF:EE:00:00:01|") + MasterInfo,
                              QStringLiteral("adv C0:FF:EE:00:00:02|")
                                  + QString(MasterInfo).replace(QStringLiteral("5150"), QStringLiteral("7")),
                              QStringLiteral("removeInactive"), QStringLiteral("removed "),
                              QStringLiteral("finished -1")}));
        QCOMPARE(trace.devices.first(), BluetoothDeviceDiscoveryAgent::makeDevice(QStringLiteral("C0:FF:EE:00:00:01")));
        QCOMPARE(log.count(QStringLiteral("BLE supported")), 1);
        QCOMPARE(log.count(QStringLiteral("Device watcher status: STARTED")), 1);
        QCOMPARE(log.count(QStringLiteral("Advertisement watcher status: 1")), 1);
        // The run's end let the library's watchers go.
        QCOMPARE(m_radio.alive, 0);
    }

    void aMasterRecord()
    {
        const DiscoveredDevice device = BluetoothDeviceDiscoveryAgent::makeDevice(QStringLiteral("AA:BB"));
        QCOMPARE(device.serialNumber, 0u);
        QCOMPARE(device.protocolVersion, 1u);
        QCOMPARE(int(device.deviceType), 141);
        QVERIFY(device.passwordEnabled);
        QCOMPARE(device.connectionType, Bluetooth);
        QCOMPARE(device.updateMode, 0);
        for (const QVersionNumber &version : {device.hardwareVersion, device.mk1FirmwareVersion, device.mk2FirmwareVersion})
            QCOMPARE(version, QVersionNumber(1, 0));
        QCOMPARE(device.address, QStringLiteral("AA:BB"));
        QCOMPARE(int(device.modules), int(DiscoveredDevice::bluetooth));
    }

    void removedDevicesAreReported()
    {
        m_radio.addMaster("ZORVO GONE", 0x1ull, 1, 60); // found after the first step ...
        m_radio.removals.push_back({90, "BluetoothLE#00:00:00:00:00:01"}); // ... and removed before the last
        BluetoothDeviceDiscoveryAgent agent;
        Trace trace(agent);
        agent.start();
        QTRY_VERIFY(trace.finished());
        QVERIFY(trace.events.contains(QStringLiteral("removed BluetoothLE#00:00:00:00:00:01")));
        QVERIFY(!trace.events.contains(QStringLiteral("removed ")));
        QVERIFY(trace.devices.isEmpty());
    }

    void linesOfTheWrongShape_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<QStringList>("reported");
        QTest::newRow(";; in the name") << "ZORVO;;X" << "A1" << "Bad format of device information: ZORVO;;X;;A1;;id"
                                        << QStringList{QStringLiteral("adv")};
        QTest::newRow("an empty address") << "ZORVO" << "" << QString()
                                          << QStringList{QStringLiteral("device ZORVO||id"), QStringLiteral("adv")};
    }
    void linesOfTheWrongShape()
    {
        QFETCH(QString, name);
        QFETCH(QString, address);
        QFETCH(QString, warning);
        QFETCH(QStringList, reported);
        LookoutDevice device;
        device.name = name.toStdString();
        device.id = "id";
        device.properties = {{"DeviceAddress", address.toStdString()}};
        m_radio.devices.push_back({0, device});
        LookoutAdvertisement advertisement;
        advertisement.localName = "ZORVO;;X";
        advertisement.address = 1;
        advertisement.manufacturerData = {std::string(16, '\0')};
        m_radio.advertisements.push_back({0, advertisement});
        advertisement.localName = "ZORVO";
        m_radio.advertisements.push_back({0, advertisement});

        MessageCapture log;
        BluetoothDeviceDiscoveryAgent agent;
        Trace trace(agent);
        agent.start();
        QTRY_VERIFY(trace.finished());
        QStringList kinds;
        for (const QString &event : qAsConst(trace.events))
            if (!event.startsWith(QLatin1String("remove")) && !event.startsWith(QLatin1String("finished")))
                kinds << (event.startsWith(QLatin1String("adv")) ? QStringLiteral("adv") : event);
        QCOMPARE(kinds, reported);
        QCOMPARE(log.matching(QStringLiteral("^Bad format of advertisement: ZORVO;;X;;00:00:00:00:00:01;;")).size(), 1);
        if (!warning.isEmpty())
            QCOMPARE(log.count(warning), 1);
    }

    void watcherStatusesGateTheReading()
    {
        m_radio.addMaster("ZORVO HUBRO", 0x1ull, 1);
        m_radio.deviceStatus = 3;        // stopping
        m_radio.advertisementStatus = 2; // stopping
        MessageCapture log;
        BluetoothDeviceDiscoveryAgent agent;
        Trace trace(agent);
        agent.start();
        QTRY_VERIFY(trace.finished());
        QCOMPARE(trace.events, (QStringList{QStringLiteral("removeInactive"), QStringLiteral("removed "),
                                            QStringLiteral("finished -1")}));
        QCOMPARE(log.count(QStringLiteral("Device watcher status: STOPPING")), 1);
    }

    void adapterAnswers_data()
    {
        QTest::addColumn<int>("support");
        QTest::addColumn<int>("delay");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<int>("finished");
        QTest::newRow("no adapter") << 1 << 0 << "Bluetooth adapter not found" << 1;
        QTest::newRow("no LE") << 2 << 0 << "BLE not supported" << 2;
        QTest::newRow("answered late") << 3 << 30 << "Bluetooth adapter not ready" << 3;
        QTest::newRow("never answered") << 0 << 0 << "Bluetooth adapter not ready" << 0;
        QTest::newRow("unknown value") << 7 << 0 << "BLE support is unknown" << -1;
    }
    void adapterAnswers()
    {
        QFETCH(int, support);
        QFETCH(int, delay);
        QFETCH(QString, warning);
        QFETCH(int, finished);
        m_radio.support = support;
        m_radio.supportDelayMs = delay;
        m_radio.addMaster("ZORVO HUBRO", 0x1ull, 1);
        MessageCapture log;
        auto agent = std::make_unique<BluetoothDeviceDiscoveryAgent>();
        Trace trace(*agent);
        agent->start();
        QTRY_VERIFY(trace.finished());
        QCOMPARE(trace.events, QStringList{QStringLiteral("finished %1").arg(finished)});
        QCOMPARE(log.count(warning), 1);
        // No watching: the radio never had a device watcher started.
        QVERIFY(m_radio.last && !m_radio.last->hasDeviceWatcher());
        QTest::qWait(3 * BluetoothDeviceDiscoveryAgent::timings().step);
        QCOMPARE(trace.events.size(), 1);
        agent.reset();
    }

    // A run that ended at the adapter check left its context; the next start
    // does not pile another one on it.
    void rescansDoNotPileUpContexts()
    {
        m_radio.support = 1;
        auto agent = std::make_unique<BluetoothDeviceDiscoveryAgent>();
        Trace trace(*agent);
        for (int run = 1; run <= 3; ++run) {
            agent->start();
            QTRY_COMPARE(trace.events.size(), run);
            QCOMPARE(m_radio.alive, 1);
        }
        agent.reset();
        QCOMPARE(m_radio.alive, 0);
    }

    void deletedMidRun_data()
    {
        QTest::addColumn<int>("afterMs");
        QTest::newRow("before the adapter check") << 5;
        QTest::newRow("between the steps") << 70;
    }
    void deletedMidRun()
    {
        QFETCH(int, afterMs);
        m_radio.addMaster("ZORVO HUBRO", 0x1ull, 1);
        QObject receiver;
        int signalsAfter = 0;
        bool deleted = false;
        auto *agent = new BluetoothDeviceDiscoveryAgent;
        connect(agent, &DeviceDiscoveryAgent::discoveryFinished, &receiver, [&] { signalsAfter += deleted; });
        agent->start();
        QTest::qWait(afterMs);
        delete agent;
        deleted = true;
        QCOMPARE(m_radio.alive, 0);
        QTest::qWait(6 * BluetoothDeviceDiscoveryAgent::timings().step);
        QCOMPARE(signalsAfter, 0);
    }

    void aMissingLibraryEndsTheRun_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QStringList>("warnings");
        QTest::newRow("no file") << "empty" << QStringList{"^Bluetooth device discovery agent can't start: file .*/Lookout/release/libLookout.so not found$"};
        QTest::newRow("an export missing") << "without-export"
                                           << QStringList{"^Can't resolve BLE advertisement watcher API: ",
                                                          "^Can't init BLE advertisement watcher$"};
    }
    void aMissingLibraryEndsTheRun()
    {
        QFETCH(QString, folder);
        QFETCH(QStringList, warnings);
        QTemporaryDir empty;
        BleLibraries::setFolderForTesting(folder == QLatin1String("empty")
                                              ? empty.path()
                                              : QCoreApplication::applicationDirPath() + QLatin1Char('/') + folder);
        MessageCapture log;
        const int contexts = m_radio.made_;
        BluetoothDeviceDiscoveryAgent agent;
        Trace trace(agent);
        agent.start();
        QCOMPARE(trace.events, QStringList{QStringLiteral("finished -1")});
        for (const QString &warning : warnings)
            QCOMPARE(log.matching(warning).size(), 1);
        QCOMPARE(m_radio.made_, contexts);

        // Found later: the next start binds it.
        BleLibraries::setFolderForTesting(QString());
        m_radio.support = 1;
        agent.start();
        QTRY_COMPARE(trace.events.size(), 2);
        QCOMPARE(trace.events.last(), QStringLiteral("finished 1"));
    }

    void withoutTheLibrariesNothingStarts()
    {
        BleLibraries::setAvailableForTesting(0);
        QTest::ignoreMessage(QtWarningMsg, "Current OS do not support Bluetooth connection with device");
        BluetoothDeviceDiscoveryAgent agent;
        Trace trace(agent);
        agent.start();
        QCOMPARE(trace.events, QStringList{QStringLiteral("finished -1")});
    }
};

QTEST_GUILESS_MAIN(BluetoothDiscoveryTest)
#include "tst_bluetoothdiscovery.moc"

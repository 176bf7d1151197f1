// Lookout's watchers on Qt Bluetooth, fed constructed device reports through
// the backend's own slots; and once on the radio of this machine.
#include "lookoutcore.h"
#include "lookoutqt.h"

#include <QBluetoothLocalDevice>
#include <QtTest>

using ManufacturerData = QList<QPair<quint16, QByteArray>>;

namespace {
const QByteArray MasterData = QByteArray::fromHex("8d01010002000300d20400000201ffff"); // serial 1234

QBluetoothDeviceInfo report(const QString &address, const QString &name, qint16 rssi,
                            const ManufacturerData &data = {{0x0059, MasterData}})
{
    QBluetoothDeviceInfo info(QBluetoothAddress(address), name, 0);
    info.setCoreConfigurations(QBluetoothDeviceInfo::LowEnergyCoreConfiguration);
    info.setRssi(rssi);
    for (const auto &entry : data)
        info.setManufacturerData(entry.first, entry.second);
    return info;
}

QStringList takeAll(WatcherContext &context, std::string (WatcherContext::*take)())
{
    QStringList lines;
    for (std::string line = (context.*take)(); !line.empty(); line = (context.*take)())
        lines << QString::fromStdString(line);
    return lines;
}

// A context on the Qt watchers without a radio: the test plays the agent.
struct Watchers
{
    Watchers()
        : backend(new LookoutQtBackend(nullptr))
        , context(std::unique_ptr<LookoutBackend>(backend))
    {
    }
    QStringList devices() { return takeAll(context, &WatcherContext::takeDevice); }
    QStringList advertisements() { return takeAll(context, &WatcherContext::takeAdvertisement); }

    LookoutQtBackend *backend;
    WatcherContext context;
};

const QString Master = QStringLiteral("C0:FF:EE:00:00:01");
const QString MasterLine = QStringLiteral("ZORVO HUBRO;;C0:FF:EE:00:00:01;;device type: 141, hardware: 1, radio: 1, "
                                          "core: 2, bluetooth: 3, serial: 1234, kastrel: 1, password: 1");
} // namespace

class LookoutQtTest : public QObject
{
    Q_OBJECT

private slots:
    // The program reads the devices at its first step and starts advertising
    // then: a master heard before reaches it at the second step all the same.
    void heardMasterGivesBothLines()
    {
        Watchers w;
        w.context.findDevices();
        w.backend->onDeviceDiscovered(report(Master, QStringLiteral("ZORVO HUBRO"), -60));
        QCOMPARE(w.devices(), QStringList{QStringLiteral("ZORVO HUBRO;;C0:FF:EE:00:00:01;;BluetoothLE#C0:FF:EE:00:00:01")});
        QCOMPARE(w.advertisements(), QStringList());

        w.context.startAdvertisement();
        QCOMPARE(w.advertisements(), QStringList{MasterLine});
        w.backend->onDeviceUpdated(report(Master, QStringLiteral("ZORVO HUBRO"), -58), QBluetoothDeviceInfo::Field::RSSI);
        QCOMPARE(w.advertisements(), QStringList{MasterLine});
        // One device line per device and watcher.
        QCOMPARE(w.devices(), QStringList());

        w.context.stopAdvertisement();
        w.backend->onDeviceUpdated(report(Master, QStringLiteral("ZORVO HUBRO"), -57), QBluetoothDeviceInfo::Field::RSSI);
        QCOMPARE(w.advertisements(), QStringList());
        // A new device watcher reports what is there again.
        w.context.findDevices();
        QCOMPARE(w.devices().size(), 1);
    }

    // The system's memory of a device is no proof that it is near.
    void rememberedDataNeverCounts()
    {
        Watchers w;
        w.context.findDevices();
        w.context.startAdvertisement();
        w.backend->onDeviceDiscovered(report(Master, QStringLiteral("ZORVO HUBRO"), 0));
        w.backend->onDeviceUpdated(report(Master, QStringLiteral("ZORVO HUBRO"), 0), QBluetoothDeviceInfo::Field::ManufacturerData);
        QCOMPARE(w.devices(), QStringList());
        QCOMPARE(w.advertisements(), QStringList());
        w.context.startAdvertisement();
        QCOMPARE(w.advertisements(), QStringList());

        w.backend->onDeviceUpdated(report(Master, QStringLiteral("ZORVO HUBRO"), -70), QBluetoothDeviceInfo::Field::RSSI);
        QCOMPARE(w.devices().size(), 1);
        QCOMPARE(w.advertisements(), QStringList{MasterLine});
    }

    void advertisementContents_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<ManufacturerData>("data");
        QTest::addColumn<QStringList>("devices");
        QTest::addColumn<QString>("advertisement");
        const QString master = QStringLiteral("ZORVO HUBRO;;C0:FF:EE:00:00:01;;BluetoothLE#C0:FF:EE:00:00:01");
        QTest::newRow("lowest company id first")
            << "ZORVO HUBRO" << ManufacturerData{{0x0100, QByteArray(15, '\0')}, {0x0059, MasterData}}
            << QStringList{master} << MasterLine;
        QTest::newRow("first section of the wrong size")
            << "ZORVO HUBRO" << ManufacturerData{{0x0100, MasterData}, {0x0001, QByteArray(17, '\0')}}
            << QStringList{master}
            << "ZORVO HUBRO;;C0:FF:EE:00:00:01;;Incorrect size of manufacturer data=17";
        QTest::newRow("no manufacturer data") << "ZORVO HUBRO" << ManufacturerData{}
                                              << QStringList{master} << QString();
        QTest::newRow("no name") << "" << ManufacturerData{{0x0059, MasterData}} << QStringList()
                                 << QString();
        QTest::newRow("not a master")
            << "Phone" << ManufacturerData{{0x004C, QByteArray(4, '\x02')}} << QStringList()
            << "Phone;;C0:FF:EE:00:00:01;;Incorrect size of manufacturer data=4";
    }
    void advertisementContents()
    {
        QFETCH(QString, name);
        QFETCH(ManufacturerData, data);
        QFETCH(QStringList, devices);
        QFETCH(QString, advertisement);
        Watchers w;
        w.context.findDevices();
        w.context.startAdvertisement();
        w.backend->onDeviceDiscovered(report(Master, name, -40, data));
        QCOMPARE(w.devices(), devices);
        QCOMPARE(w.advertisements(), advertisement.isEmpty() ? QStringList() : QStringList{advertisement});
    }

    void statusesFollowTheAgent()
    {
        Watchers w;
        QCOMPARE(w.context.devWatcherStatus(), 0);
        QCOMPARE(w.context.advWatcherStatus(), 0);
        w.context.findDevices();
        w.context.startAdvertisement();
        QCOMPARE(w.context.devWatcherStatus(), 1);
        QCOMPARE(w.context.advWatcherStatus(), 1);
        w.backend->onAgentError(QBluetoothDeviceDiscoveryAgent::PoweredOffError);
        QCOMPARE(w.context.devWatcherStatus(), 5);
        QCOMPARE(w.context.advWatcherStatus(), 4);
        // Aborted watchers report nothing.
        w.backend->onDeviceDiscovered(report(Master, QStringLiteral("ZORVO HUBRO"), -60));
        QCOMPARE(w.devices(), QStringList());
        QCOMPARE(w.advertisements(), QStringList());

        w.context.findDevices();
        w.context.startAdvertisement();
        w.backend->onAgentFinished();
        QCOMPARE(w.context.devWatcherStatus(), 2);
        QCOMPARE(w.context.advWatcherStatus(), 3);
        w.context.stopDeviceWatcher();
        QCOMPARE(w.context.devWatcherStatus(), 0);
    }

    // This machine's radio: without an adapter the agent fails within its
    // start, and both watchers read aborted at once.
    void theRadioWithoutAnAdapter()
    {
        if (!QBluetoothLocalDevice::allDevices().isEmpty())
            QSKIP("This machine has a Bluetooth adapter");
        WatcherContext context(std::make_unique<LookoutQtBackend>(LookoutQtBackend::makeAgent()));
        context.checkBLESupport();
        QTRY_COMPARE(context.bleSupport(), 1);
        context.findDevices();
        QCOMPARE(context.devWatcherStatus(), 5);
        context.startAdvertisement();
        QCOMPARE(context.advWatcherStatus(), 4);
    }
};

QTEST_GUILESS_MAIN(LookoutQtTest)
#include "tst_lookoutqt.moc"

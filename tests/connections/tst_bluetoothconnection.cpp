// The live connection over Bluetooth LE end to end: the Tether stand-in beside
// this program, a peripheral in the process passing the link's bytes to a
// simulated master on a pseudo-terminal and its replies back in notifications
// of 20 bytes; the master item, the poller and the device classes. Also the
// link lost, the master's restart with a new link, and a build without the
// libraries.
#include "blelibraries.h"
#include "blepeer.h"
#include "bluetoothfixture.h"
#include "deviceitem.h"
#include "eventwait.h"
#include "mastersim.h"
#include "tetherinterface.h"

#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

namespace {
const QString Address = QStringLiteral("C0:FF:EE:00:00:01");

QList<SimDevice> devices()
{
    return {simDevice(0, 4), simDevice(1, 3), simDevice(2, 32), simDevice(9, 30, 0x10), simDevice(124, 4)};
}

struct Run
{
    explicit Run(BlePeripheral &peer)
        : sim(healthyRecord())
    {
        for (const SimDevice &device : devices())
            sim.setDevice(device);
        relayed = peer.relayTo(sim.fake.portName());
    }

    TetherInterface *link() const { return qobject_cast<TetherInterface *>(connection.interface()); }

    bool connectAll()
    {
        if (!relayed || !connection.connectToMaster(Bluetooth, Address, MasterOrdinary))
            return false;
        return runUntil([this] { return deviceConnected.size() == devices().size(); })
               && masterConnected.size() == 1;
    }

    SimMaster sim;
    bool relayed = false;
    DeviceConnection connection;
    QSignalSpy masterConnected{&connection, &Connection::masterConnected};
    QSignalSpy masterDisconnected{&connection, &Connection::masterDisconnected};
    QSignalSpy masterRestarted{&connection, &Connection::masterRestarted};
    QSignalSpy deviceConnected{&connection, &Connection::deviceConnected};
    QSignalSpy connectionLost{&connection, &Connection::connectionLost};
};

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
} // namespace

class BluetoothConnectionTest : public QObject
{
    Q_OBJECT

    BlePeripheral m_peer;
    std::unique_ptr<MessageBoxRecorder> m_boxes;

private slots:
    void initTestCase()
    {
        prepareBluetoothConnectionTests();
        StandIns::setTether(&m_peer);
    }
    void init()
    {
        m_boxes = std::make_unique<MessageBoxRecorder>();
        m_peer.connectError.clear();
        BleLibraries::setAvailableForTesting(-1);
    }
    void cleanup()
    {
        m_boxes.reset();
        settle();
    }

    void connectsWithEveryDevice()
    {
        Run run(m_peer);
        QVERIFY(run.relayed);
        QVERIFY(run.connection.connectToMaster(Bluetooth, Address, MasterOrdinary));
        // Connected, not yet open: the state checks tell when it is ready.
        TetherInterface *link = run.link();
        QVERIFY(link);
        QVERIFY(link->isQuiet());
        QVERIFY(!run.connection.isConnected());
        QCOMPARE(run.connection.portName(), Address);
        QVERIFY(runUntil([&] { return run.masterConnected.size() == 1; }));
        QVERIFY(!link->isQuiet());
        QVERIFY(runUntil([&] { return run.deviceConnected.size() == devices().size(); }));
        QCOMPARE(run.connection.connectionType(), Bluetooth);
        QVERIFY(run.connection.master());
        QCOMPARE(run.connection.master()->serialNumber(), healthyRecord().dwSerialId);
        // The 83-byte status answer came in pieces and was read whole.
        QVERIFY(run.sim.fake.receivedCount(PT_HUBRO_INFO) >= 1);
        QCOMPARE(m_boxes->count(), 0);

        // The poller keeps up: nothing piles up behind the request in flight.
        int most = 0;
        QElapsedTimer clock;
        clock.start();
        runUntil([&] {
            most = std::max(most, link->pendingCount());
            return clock.elapsed() >= 300;
        });
        QVERIFY2(most <= 1, qPrintable(QString::number(most)));

        QVERIFY(run.connection.disconnectFromMaster());
        QCOMPARE(run.masterDisconnected.size(), 1);
        settle();
        QCOMPARE(m_peer.liveControllers, 0);
    }

    // A restart lets the link go; the new link after the wait works.
    void restartReconnectsWithANewLink()
    {
        Run run(m_peer);
        QVERIFY(run.connectAll());
        QPointer<TetherInterface> first = run.link();
        run.connection.restartMaster(150);
        QTRY_COMPARE(run.masterRestarted.size(), 1);
        QCOMPARE(run.connection.interface(), nullptr);
        QCOMPARE(run.connection.reconnectAddress(), Address);
        QVERIFY(runUntil([&] { return run.deviceConnected.size() == 2 * devices().size(); }));
        QCOMPARE(run.masterConnected.size(), 2);
        settle();
        QVERIFY(first.isNull());
        QCOMPARE(m_peer.liveControllers, 1);
        QVERIFY(run.link()->ownsLibraryObject());
        // Still answering after the old link is gone.
        bool answered = false;
        run.connection.interface()->sendPacket(QByteArray(1, char(PT_HUBRO_INFO)), [&answered](const Packet &p) {
            answered = uint8_t(p.data.at(0)) == PT_HUBRO_INFO_ACK;
            return answered;
        });
        QVERIFY(runUntil([&] { return answered; }));
        QCOMPARE(m_boxes->count(), 0);
        QVERIFY(run.connection.disconnectFromMaster());
    }

    void losingTheLinkTellsTheUser()
    {
        Run run(m_peer);
        QVERIFY(run.connectAll());
        m_peer.dropLink();
        QVERIFY(runUntil([&] { return run.connectionLost.size() == 1; }));
        // As on the serial link, the items stay for the window to let go.
        QVERIFY(!run.link()->ownsLibraryObject());
        run.connection.forceDisconnect();
        QCOMPARE(run.connection.master(), nullptr);
        QCOMPARE(m_boxes->count(), 1);
        QCOMPARE(m_boxes->last().text, QStringLiteral("Unable to connect to BLE device."));
    }

    // A settings reset restarts the master: its link goes quietly.
    void aSettingsResetQuietsTheLink()
    {
        Run run(m_peer);
        QVERIFY(run.connectAll());
        QVERIFY(!run.link()->isQuiet());
        QVERIFY(QMetaObject::invokeMethod(run.connection.master(), "settingsResetStarted"));
        QVERIFY(run.link()->isQuiet());
        m_peer.dropLink();
        QVERIFY(runUntil([&] { return run.connectionLost.size() == 1; }));
        QCOMPARE(m_boxes->count(), 0);
    }

    void aFailedConnectLeavesNoLink()
    {
        Run run(m_peer);
        m_peer.connectError = QStringLiteral("Connection refused");
        QVERIFY(!run.connection.connectToMaster(Bluetooth, Address, MasterOrdinary));
        QCOMPARE(run.connection.interface(), nullptr);
        QCOMPARE(m_boxes->count(), 1);
        QCOMPARE(m_boxes->last().text, QStringLiteral("Unable to connect to BLE device."));
    }

    void withoutTheLibrariesBluetoothIsRefused()
    {
        BleLibraries::setAvailableForTesting(0);
        QTest::ignoreMessage(QtWarningMsg, "Connection type Bluetooth is not available");
        DeviceConnection connection;
        QVERIFY(!connection.connectToMaster(Bluetooth, Address, MasterOrdinary));
        QCOMPARE(connection.interface(), nullptr);
    }
};

QTEST_MAIN(BluetoothConnectionTest)
#include "tst_bluetoothconnection.moc"

// The Tether connection over a scripted controller and service: the road to
// Ready, the failures and their texts, disconnecting, service errors, the data
// both ways, the writes under way; and its thirteen exports (linked in directly), with and without an
// object.
#include "blepeer.h"
#include "tether.h"

#include <QElapsedTimer>
#include <QtTest>

extern "C" {
Tether *makeConnection();
void closeConnection();
int connectToDevice(const std::string *address);
void disconnectFromDevice();
int connectionState();
int controlState();
int isConnected();
int receivedCount();
void getReceived(QByteArray *out);
int errorCount();
void takeError(std::string *out);
void writeCharacteristic(const QByteArray *data);
int writesInProgress();
}

namespace {
BlePeripheral *peer = nullptr;
const QString Address = QStringLiteral("C0:FF:EE:00:00:01");

QStringList errorsOf(Tether &tether)
{
    QStringList texts;
    while (tether.errorCount() > 0)
        texts << tether.takeError();
    return texts;
}

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
} // namespace

std::unique_ptr<TetherBackend> createTetherBackend()
{
    return peer ? peer->create() : nullptr;
}

class TetherCoreTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<BlePeripheral> m_peer;

private slots:
    void initTestCase()
    {
        Tether::Waits waits;
        waits.connect = 200;
        waits.disconnect = 200;
        waits.serviceReconnect = 20;
        Tether::setWaits(waits);
    }
    void init()
    {
        m_peer = std::make_unique<BlePeripheral>();
        m_peer->responder = [](const QByteArray &written) { return QVector<QByteArray>{written}; };
        peer = m_peer.get();
    }
    void cleanup()
    {
        ::closeConnection();
        settle();
        QCOMPARE(m_peer->liveControllers, 0);
        peer = nullptr;
        m_peer.reset();
    }

    void aGoodConnection()
    {
        Tether tether(m_peer->create());
        QCOMPARE(tether.connectionState(), int(TetherDisconnected));
        QCOMPARE(tether.connectToDevice(Address), 1);
        QCOMPARE(m_peer->addresses, QStringList{Address});
        QCOMPARE(tether.connectionState(), int(TetherConnected));
        QTRY_COMPARE(tether.connectionState(), int(TetherReady));
        QCOMPARE(tether.controlState(), 4);
        QCOMPARE(tether.isConnected(), 1);
        QCOMPARE(m_peer->descriptorWrites, 1);

        // 45 bytes out, the same back in notifications of 20, 20 and 5.
        const QByteArray data = QByteArray(45, 'x');
        tether.writeCharacteristic(data);
        QTRY_COMPARE(tether.receivedCount(), 3);
        QCOMPARE(m_peer->writes, QList<QByteArray>{data});
        QCOMPARE(tether.takeReceived().size(), 20);
        QCOMPARE(tether.takeReceived().size(), 20);
        QCOMPARE(tether.takeReceived().size(), 5);
        QCOMPARE(tether.takeReceived(), QByteArray());
        // The same bytes twice are two entries.
        m_peer->notify(QByteArrayLiteral("ab"));
        m_peer->notify(QByteArrayLiteral("ab"));
        QTRY_COMPARE(tether.receivedCount(), 2);
        QCOMPARE(tether.takeReceived(), QByteArrayLiteral("ab"));
        QCOMPARE(tether.takeReceived(), QByteArrayLiteral("ab"));
        QCOMPARE(errorsOf(tether), QStringList());
    }

    void connectFailures_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("errors");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("control");
        QTest::addColumn<bool>("waits");
        QTest::newRow("no controller") << "create fails" << 0
                                       << QStringList{"Bluetooth controller creation failed"} << 0 << 0 << false;
        QTest::newRow("fails within the connect") << "at once" << 0 << QStringList{"Cannot find local adapter"} << 1
                                                  << 0 << false;
        QTest::newRow("fails later") << "later" << 0 << QStringList{"Cannot find local adapter"} << 1 << 0 << false;
        QTest::newRow("nothing answers") << "silent" << 1 << QStringList() << 0 << 1 << true;
    }
    void connectFailures()
    {
        QFETCH(QString, script);
        QFETCH(int, result);
        QFETCH(QStringList, errors);
        QFETCH(int, state);
        QFETCH(int, control);
        QFETCH(bool, waits);
        m_peer->createFails = script == QLatin1String("create fails");
        m_peer->silent = script == QLatin1String("silent");
        if (script == QLatin1String("at once") || script == QLatin1String("later")) {
            m_peer->connectError = QStringLiteral("Cannot find local adapter");
            m_peer->failAtOnce = script == QLatin1String("at once");
            m_peer->connectDelayMs = 20;
        }
        Tether tether(m_peer->create());
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(tether.connectToDevice(Address), result);
        QCOMPARE(clock.elapsed() >= 150, waits); // a coarse timer may end a little early
        QCOMPARE(tether.connectionState(), state);
        QCOMPARE(tether.controlState(), control);
        QCOMPARE(errorsOf(tether), errors);
    }

    void serviceProblems_data()
    {
        QTest::addColumn<QString>("missing");
        QTest::addColumn<QStringList>("errors");
        QTest::newRow("TX") << "tx" << QStringList{"Terminal TX failed to get characteristic BLE_UUID_NUS_TX_CHARACTERISTIC"};
        QTest::newRow("RX") << "rx" << QStringList{"Terminal RX failed to get characteristic BLE_UUID_NUS_RX_CHARACTERISTIC"};
        QTest::newRow("RX notify descriptor")
            << "notify" << QStringList{"Terminal RX failed to get notify descriptor for BLE_UUID_NUS_RX_CHARACTERISTIC"};
        QTest::newRow("descriptor written with another value") << "echo" << QStringList();
        QTest::newRow("no UART service") << "service" << QStringList();
    }
    void serviceProblems()
    {
        QFETCH(QString, missing);
        QFETCH(QStringList, errors);
        m_peer->hasTx = missing != QLatin1String("tx");
        m_peer->hasRx = missing != QLatin1String("rx");
        m_peer->hasNotify = missing != QLatin1String("notify");
        if (missing == QLatin1String("echo"))
            m_peer->descriptorEcho = QByteArray::fromHex("0200");
        if (missing == QLatin1String("service"))
            m_peer->services = {QBluetoothUuid(quint16(0x180F))};
        Tether tether(m_peer->create());
        QCOMPARE(tether.connectToDevice(Address), 1);
        QTRY_COMPARE(tether.connectionState(), int(TetherDiscovered));
        QTRY_COMPARE(tether.errorCount(), errors.size());
        QTest::qWait(20);
        QCOMPARE(tether.connectionState(), int(TetherDiscovered));
        QCOMPARE(errorsOf(tether), errors);
    }

    // Texts left from an earlier attempt fail the next connect, even one that
    // comes up; a write empties them.
    void staleErrorsFailTheNextConnect()
    {
        Tether tether(m_peer->create());
        m_peer->connectError = QStringLiteral("Connection refused");
        QCOMPARE(tether.connectToDevice(Address), 0);
        m_peer->connectError.clear();
        QCOMPARE(tether.connectToDevice(Address), 0);
        QTRY_COMPARE(tether.connectionState(), int(TetherReady));
        QCOMPARE(tether.errorCount(), 1);
        tether.writeCharacteristic(QByteArrayLiteral("x"));
        QCOMPARE(tether.errorCount(), 0);
    }

    void writeWithoutServiceOnlyWarns()
    {
        Tether tether(m_peer->create());
        m_peer->connectError = QStringLiteral("Connection refused");
        QCOMPARE(tether.connectToDevice(Address), 0);
        QTest::ignoreMessage(QtWarningMsg, "Connection already closed");
        tether.writeCharacteristic(QByteArrayLiteral("x"));
        QCOMPARE(tether.errorCount(), 0);
        QVERIFY(m_peer->writes.isEmpty());
    }

    void disconnecting()
    {
        m_peer->disconnectDelayMs = 50;
        Tether tether(m_peer->create());
        QCOMPARE(tether.connectToDevice(Address), 1);
        QTRY_COMPARE(tether.connectionState(), int(TetherReady));
        // A second disconnect while the first waits does nothing.
        bool nestedReturned = false;
        QTimer::singleShot(10, &tether, [&] {
            QElapsedTimer inner;
            inner.start();
            tether.disconnectFromDevice();
            nestedReturned = inner.elapsed() < 30;
        });
        QElapsedTimer clock;
        clock.start();
        tether.disconnectFromDevice();
        QVERIFY(clock.elapsed() >= 40);
        QVERIFY(nestedReturned);
        QCOMPARE(tether.connectionState(), int(TetherDisconnected));
        QCOMPARE(tether.controlState(), 0);
        QCOMPARE(tether.isConnected(), 0);
        QTest::ignoreMessage(QtWarningMsg, "Connection already closed");
        tether.writeCharacteristic(QByteArrayLiteral("x"));

        // A controller that is unconnected already goes without a wait.
        QCOMPARE(tether.connectToDevice(Address), 1);
        QTRY_COMPARE(tether.connectionState(), int(TetherReady));
        m_peer->dropLink();
        QCOMPARE(tether.connectionState(), int(TetherDisconnected));
        QCOMPARE(tether.isConnected(), 0);
        clock.restart();
        tether.disconnectFromDevice();
        QVERIFY(clock.elapsed() < 40);
        QCOMPARE(tether.controlState(), 0);
    }

    // A write counts as under way from its hand-over to its acknowledgement,
    // however long it takes; a service error ends every write under way.
    void writesUnderWay()
    {
        Tether tether(m_peer->create());
        QCOMPARE(tether.connectToDevice(Address), 1);
        QTRY_COMPARE(tether.connectionState(), int(TetherReady));
        QCOMPARE(tether.writesInProgress(), 0);
        m_peer->interval = 20; // a 40-byte long write: 3 pieces and the execute, 160 ms
        QElapsedTimer clock;
        clock.start();
        tether.writeCharacteristic(QByteArray(40, 'w'));
        tether.writeCharacteristic(QByteArray(2, 's'));
        QCOMPARE(tether.writesInProgress(), 2);
        QTRY_COMPARE(tether.writesInProgress(), 0);
        // Both writes end one after the other: 160 ms and 40 ms on the radio.
        QVERIFY2(clock.elapsed() >= 195, qPrintable(QString::number(clock.elapsed())));

        tether.writeCharacteristic(QByteArray(40, 'w'));
        QCOMPARE(tether.writesInProgress(), 1);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("BLE serice error occured")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("state: ")));
        m_peer->service->raiseError(2 /* CharacteristicWriteError */, BlePeer::ServiceDiscovered);
        QCOMPARE(tether.writesInProgress(), 0);
        QTest::qWait(250);
        QCOMPARE(tether.writesInProgress(), 0);
        QCOMPARE(errorsOf(tether), QStringList());
    }

    void serviceErrors_data()
    {
        QTest::addColumn<int>("serviceState");
        QTest::addColumn<bool>("reconnects");
        QTest::newRow("service lost") << int(BlePeer::DiscoveryRequired) << true;
        QTest::newRow("service still discovered") << int(BlePeer::ServiceDiscovered) << false;
    }
    void serviceErrors()
    {
        QFETCH(int, serviceState);
        QFETCH(bool, reconnects);
        Tether tether(m_peer->create());
        QCOMPARE(tether.connectToDevice(Address), 1);
        QTRY_COMPARE(tether.connectionState(), int(TetherReady));
        QPointer<BlePeer::Service> first = m_peer->service;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("BLE serice error occured: CharacteristicWriteError")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("state: ")));
        first->raiseError(2 /* CharacteristicWriteError */, serviceState);
        if (!reconnects) {
            QTest::qWait(50);
            QCOMPARE(tether.connectionState(), int(TetherReady));
            return;
        }
        QCOMPARE(tether.connectionState(), int(TetherReady));
        QTRY_COMPARE(tether.connectionState(), int(TetherDisconnected));
        QTRY_COMPARE(tether.connectionState(), int(TetherReady));
        QVERIFY(m_peer->service != first);
        // Data flow on the new service.
        tether.writeCharacteristic(QByteArrayLiteral("again"));
        QTRY_COMPARE(tether.receivedCount(), 1);
    }

    // ---------------------------------------------------------------- the exports

    void exportsWithoutObject()
    {
        ::closeConnection();
        const std::string address = Address.toStdString();
        QCOMPARE(::connectToDevice(&address), 0);
        ::disconnectFromDevice();
        QCOMPARE(::connectionState(), 0);
        QCOMPARE(::controlState(), 0);
        QCOMPARE(::isConnected(), 0);
        QCOMPARE(::receivedCount(), 0);
        QCOMPARE(::errorCount(), 0);
        QCOMPARE(::writesInProgress(), 0);
        QByteArray received("untouched");
        ::getReceived(&received);
        QCOMPARE(received, QByteArray("untouched"));
        std::string error;
        ::takeError(&error);
        QCOMPARE(QString::fromStdString(error), QStringLiteral("Connection closed"));
        const QByteArray data("x");
        ::writeCharacteristic(&data);
        ::closeConnection();
        QCOMPARE(m_peer->addresses, QStringList());
    }

    void aConnectionThroughTheExports()
    {
        QVERIFY(::makeConnection());
        const std::string address = Address.toStdString();
        QCOMPARE(::connectToDevice(&address), 1);
        QTRY_COMPARE(::connectionState(), int(TetherReady));
        QCOMPARE(::controlState(), 4);
        const QByteArray data("\x22\x00\x02\x01\x25", 5);
        ::writeCharacteristic(&data);
        QCOMPARE(::writesInProgress(), 1);
        QTRY_COMPARE(::receivedCount(), 1);
        QCOMPARE(::writesInProgress(), 0);
        QByteArray received;
        ::getReceived(&received);
        QCOMPARE(received, data);
        ::getReceived(&received);
        QCOMPARE(received, QByteArray());
        std::string error = "stale";
        ::takeError(&error);
        QVERIFY(error.empty());
        ::disconnectFromDevice();
        QCOMPARE(::connectionState(), 0);
    }

    // The old object is no longer reachable; it goes, with its controller.
    void aSecondMakeConnectionFreesTheFirst()
    {
        QPointer<Tether> first = ::makeConnection();
        const std::string address = Address.toStdString();
        QCOMPARE(::connectToDevice(&address), 1);
        QTRY_COMPARE(::connectionState(), int(TetherReady));
        QPointer<Tether> second = ::makeConnection();
        QVERIFY(second != first);
        QCOMPARE(::connectionState(), 0);
        QCOMPARE(::receivedCount(), 0);
        settle();
        QVERIFY(first.isNull());
        QCOMPARE(m_peer->liveControllers, 0);
        QVERIFY(second);
    }

    // Closed while its connect waits: it goes once the wait is over.
    void closedWhileConnecting()
    {
        m_peer->silent = true;
        QPointer<Tether> object = ::makeConnection();
        QTimer::singleShot(20, [] {
            ::closeConnection();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        });
        const std::string address = Address.toStdString();
        QCOMPARE(::connectToDevice(&address), 1);
        QVERIFY(object);
        settle();
        QVERIFY(object.isNull());
        QCOMPARE(::connectionState(), 0);
    }
};

QTEST_GUILESS_MAIN(TetherCoreTest)
#include "tst_tethercore.moc"

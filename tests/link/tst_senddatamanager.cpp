#include "senddatamanager.h"

#include <QStandardItem>
#include <QtTest>

namespace {
// A device as the queue sees it: a Qt object and an item whose user-role
// data is its radio address.
class FakeDevice : public QObject, public QStandardItem
{
public:
    explicit FakeDevice(const QVariant &address) { setData(address, Qt::UserRole); }
};

struct Sent
{
    QByteArray data;
    ResponseCb cb;
};

Packet reply(quint8 type)
{
    Packet packet;
    packet.data = QByteArray(1, char(type));
    return packet;
}

const Packet ack = reply(PT_DEVICE_SEND_DATA_ACK);

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray data;
    for (int v : values)
        data.append(char(v));
    return data;
}
} // namespace

class SendDataManagerTest : public QObject
{
    Q_OBJECT

    SendDataManager *queue = nullptr;
    QList<Sent> sent;

    void record(SendDataManager *manager)
    {
        connect(manager, &SendDataManager::sendPacket, this,
                [this](const QByteArray &data, const ResponseCb &cb) { sent.append(Sent{data, cb}); });
    }

private slots:
    void init()
    {
        sent.clear();
        queue = new SendDataManager(this);
        record(queue);
    }
    void cleanup()
    {
        delete queue;
        queue = nullptr;
    }

    void sendsOneAtATimeServingEachDeviceToTheEnd()
    {
        FakeDevice a(12), b(0x85);
        queue->enqueue({&a}, bytes({0x00, 0x01, 0x02, 0x01}));
        queue->enqueue({&a}, bytes({0x00, 0x02}));
        queue->enqueue({&b}, bytes({0x00, 0x05}));
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent[0].data, bytes({0x6A, 12, 0x00, 0x01, 0x02, 0x01}));

        // A payload for the device being served keeps its place before b.
        queue->enqueue({&a}, bytes({0x00, 0x03}));
        QCOMPARE(sent.size(), 1);

        QVERIFY(!sent[0].cb(reply(PT_DEVICE_SEND_DATA))); // another type: not the acknowledgement
        QCOMPARE(sent.size(), 1);

        QVERIFY(sent[0].cb(ack));
        QCOMPARE(sent.size(), 2);
        QCOMPARE(sent[1].data, bytes({0x6A, 12, 0x00, 0x02}));
        QVERIFY(sent[1].cb(ack));
        QCOMPARE(sent[2].data, bytes({0x6A, 12, 0x00, 0x03}));
        QVERIFY(sent[2].cb(ack));
        QCOMPARE(sent[3].data, bytes({0x6A, 0x85, 0x00, 0x05}));
        QVERIFY(queue->isBusy());
        QVERIFY(sent[3].cb(ack));
        QCOMPARE(sent.size(), 4);
        QVERIFY(!queue->isBusy());
    }

    void listedDevicesAndAddresses()
    {
        FakeDevice a(QStringLiteral("not a number")), b(7);
        // One payload for several devices; a device listed twice gets it twice.
        queue->enqueue({&a, &b, &a}, bytes({0x00, 0x09}));
        QCOMPARE(queue->pendingCount(&a), 2);
        QCOMPARE(queue->pendingCount(&b), 1);
        QCOMPARE(sent[0].data, bytes({0x6A, 0x00, 0x00, 0x09})); // no number: address 0
        sent[0].cb(ack);
        QCOMPARE(sent[1].data, bytes({0x6A, 0x00, 0x00, 0x09}));
        sent[1].cb(ack);
        QCOMPARE(sent[2].data, bytes({0x6A, 7, 0x00, 0x09}));

        // The template form takes a list of device pointers as it is.
        QList<FakeDevice *> devices{&b};
        queue->enqueue(devices, bytes({0x01}));
        QCOMPARE(queue->pendingCount(&b), 2);
    }

    void watchdogDropsTheWholeQueueOfTheSilentDevice()
    {
        queue->setWatchdogInterval(20);
        FakeDevice a(1), b(2);
        queue->enqueue({&a}, bytes({0x00, 0x01}));
        queue->enqueue({&a}, bytes({0x00, 0x02}));
        queue->enqueue({&b}, bytes({0x00, 0x03}));

        // The watchdog's packet for b arrives inside the wait; no event runs after it.
        QSignalSpy spy(queue, &SendDataManager::sendPacket);
        QTest::ignoreMessage(QtWarningMsg, "SendDataManager failed to send data");
        QVERIFY(spy.wait(5000));
        QCOMPARE(sent.size(), 2);
        QCOMPARE(sent[1].data, bytes({0x6A, 2, 0x00, 0x03})); // a's second payload was dropped too
        QCOMPARE(queue->pendingCount(&a), 0);

        // a's acknowledgement comes after all: it completes nothing of b.
        QVERIFY(sent[0].cb(ack));
        QVERIFY(queue->isBusy());
        QCOMPARE(queue->pendingCount(&b), 1);
        QCOMPARE(sent.size(), 2);

        QVERIFY(sent[1].cb(ack));
        QVERIFY(!queue->isBusy());
        QCOMPARE(sent.size(), 2);
    }

    void silentLinkDropsOneDevicePerWatchdog()
    {
        queue->setWatchdogInterval(10);
        FakeDevice a(1), b(2);
        queue->enqueue({&a, &b}, bytes({0x00}));
        QTest::ignoreMessage(QtWarningMsg, "SendDataManager failed to send data");
        QTest::ignoreMessage(QtWarningMsg, "SendDataManager failed to send data");
        QTRY_VERIFY(!queue->isBusy());
        QCOMPARE(sent.size(), 2);
    }

    void deviceDeletedWhileItsPacketsWait()
    {
        FakeDevice a(1);
        auto *b = new FakeDevice(2);
        queue->enqueue({&a}, bytes({0x00, 0x01}));
        queue->enqueue({b}, bytes({0x00, 0x02}));
        queue->enqueue({b}, bytes({0x00, 0x03}));
        delete b;
        QVERIFY(sent[0].cb(ack));
        QCOMPARE(sent.size(), 1); // nothing left for the deleted device
        QVERIFY(!queue->isBusy());

        // A new device, maybe at the same address in memory, starts empty.
        auto *c = new FakeDevice(3);
        QCOMPARE(queue->pendingCount(c), 0);
        delete c;
    }

    void deviceDeletedWithItsPacketInFlight()
    {
        auto *a = new FakeDevice(1);
        FakeDevice b(2);
        queue->enqueue({a}, bytes({0x00, 0x01}));
        queue->enqueue({a}, bytes({0x00, 0x02}));
        queue->enqueue({&b}, bytes({0x00, 0x03}));
        delete a;
        QCOMPARE(sent.size(), 1); // the packet in flight stays in flight
        QVERIFY(queue->isBusy());

        // Its acknowledgement ends it, and b's packet goes out unanswered.
        QVERIFY(sent[0].cb(ack));
        QCOMPARE(sent.size(), 2);
        QCOMPARE(sent[1].data, bytes({0x6A, 2, 0x00, 0x03}));
        QVERIFY(queue->isBusy());

        // A repeated acknowledgement of the deleted device's packet must not
        // complete b's packet.
        QVERIFY(sent[0].cb(ack));
        QVERIFY(queue->isBusy());
        QCOMPARE(queue->pendingCount(&b), 1);

        QVERIFY(sent[1].cb(ack));
        QVERIFY(!queue->isBusy());
        QCOMPARE(queue->pendingCount(&b), 0);
    }

    void deviceDeletedInFlightAndSilent()
    {
        queue->setWatchdogInterval(20);
        auto *a = new FakeDevice(1);
        FakeDevice b(2);
        queue->enqueue({a}, bytes({0x00, 0x01}));
        queue->enqueue({&b}, bytes({0x00, 0x03}));
        delete a;
        QSignalSpy spy(queue, &SendDataManager::sendPacket);
        QTest::ignoreMessage(QtWarningMsg, "SendDataManager failed to send data");
        QVERIFY(spy.wait(5000));
        QCOMPARE(sent.size(), 2);
        QCOMPARE(sent[1].data, bytes({0x6A, 2, 0x00, 0x03})); // b is served, not dropped
        QVERIFY(sent[0].cb(ack));                              // late: completes nothing
        QCOMPARE(queue->pendingCount(&b), 1);
    }

    void synchronousAcknowledgementsSendEverythingInOrder()
    {
        auto *answering = new SendDataManager(this);
        QList<QByteArray> wire;
        connect(answering, &SendDataManager::sendPacket, this, [&wire](const QByteArray &data, const ResponseCb &cb) {
            wire.append(data);
            cb(ack); // answered before the emit returns
        });
        FakeDevice a(1), b(2);
        for (int i = 0; i < 200; ++i)
            answering->enqueue({i % 2 ? &b : &a}, bytes({i}));
        QCOMPARE(wire.size(), 200);
        QCOMPARE(wire.first(), bytes({0x6A, 1, 0}));
        QVERIFY(!answering->isBusy());
        delete answering;
    }

    void processWideQueue()
    {
        SendDataManager *manager = SendDataManager::instance();
        QCOMPARE(SendDataManager::instance(), manager);
        QCOMPARE(manager->watchdogInterval(), 1000);
        QList<Sent> global;
        const auto connection = connect(manager, &SendDataManager::sendPacket, this,
                                        [&global](const QByteArray &data, const ResponseCb &cb) {
                                            global.append(Sent{data, cb});
                                        });
        FakeDevice a(1), b(2);
        manager->enqueue({&a}, bytes({0x00}));
        manager->enqueue({&b}, bytes({0x01}));
        SendDataManager::forgetDevice(&b);
        QCOMPARE(manager->pendingCount(&b), 0);
        global[0].cb(ack);
        QCOMPARE(global.size(), 1);
        disconnect(connection);
    }
};

QTEST_GUILESS_MAIN(SendDataManagerTest)
#include "tst_senddatamanager.moc"

// The serial link through its worker thread against a scripted master on a pseudo-terminal.

#include "fakemaster.h"
#include "frame.h"
#include "serialconnectioninterface.h"
#include "serialthreadworker.h"

#include <QSerialPort>
#include <QtTest>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// Collects log messages from every thread while it lives.
class LogCapture
{
public:
    LogCapture()
    {
        instance = this;
        previous = qInstallMessageHandler(&LogCapture::handler);
    }
    ~LogCapture()
    {
        qInstallMessageHandler(previous);
        instance = nullptr;
    }
    QStringList lines(const QString &prefix = QString()) const
    {
        std::lock_guard<std::mutex> lock(mutex);
        return prefix.isEmpty() ? messages : messages.filter(QRegularExpression(QLatin1Char('^') + prefix));
    }

private:
    static void handler(QtMsgType, const QMessageLogContext &, const QString &message)
    {
        if (LogCapture *self = instance) {
            std::lock_guard<std::mutex> lock(self->mutex);
            self->messages << message;
        }
    }
    static inline LogCapture *instance = nullptr;
    QtMessageHandler previous = nullptr;
    mutable std::mutex mutex;
    QStringList messages;
};

// Aborts the test program when the scope takes longer than it may (a call that blocks for ever).
class Watchdog
{
public:
    explicit Watchdog(int ms)
        : thread([this, ms] {
            std::unique_lock<std::mutex> lock(mutex);
            if (!cv.wait_for(lock, std::chrono::milliseconds(ms), [this] { return done; })) {
                fprintf(stderr, "blocked for more than %d ms\n", ms);
                std::abort();
            }
        })
    {
    }
    ~Watchdog()
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            done = true;
        }
        cv.notify_all();
        thread.join();
    }

private:
    std::mutex mutex;
    std::condition_variable cv;
    bool done = false;
    std::thread thread;
};

// Counts callback calls and keeps the packets they got.
struct Replies
{
    QVector<Packet> packets;
    QVector<bool> onGuiThread;
    ResponseCb callback()
    {
        return [this](const Packet &packet) {
            packets << packet;
            onGuiThread << (QThread::currentThread() == QCoreApplication::instance()->thread());
            return true;
        };
    }
};

// A link connected to a fake master, with its signals counted.
struct Link
{
    explicit Link(FakeMaster &master, ConnectionType type = Serial, const QString &busSuffix = QString())
        : link(type, MasterOrdinary)
        , unsolicited(&link, &ConnectionInterface::unsolicitedPacket)
        , lost(&link, &ConnectionInterface::connectionLost)
    {
        connected = link.connectToDevice(master.portName() + busSuffix);
    }
    SerialConnectionInterface link;
    QSignalSpy unsolicited;
    QSignalSpy lost;
    bool connected = false;
};

} // namespace

class TestSerialLink : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void replyReachesCallbackOnGuiThread();
    void logFilterLeavesTypesOut();
    void requestsWaitForTheReplyAndTheGap();
    void silentMasterLosesTheLinkAfterSixTransmissions();
    void shippedTimeouts_data();
    void shippedTimeouts();
    void tryAgainLaterGivesTransmissionsBack();
    void replyVariants_data();
    void replyVariants();
    void strayStartByteWithTheAwaitedNumber();
    void repliesInPiecesComeWhole_data();
    void repliesInPiecesComeWhole();
    void frameBeforeAnyRequestIsUnsolicited();
    void emptyCallbackMakesTheReplyUnsolicited();
    void tooLongPacketIsRefused();
    void sequenceWrapsAfter256Frames();

    void kastrelExchange_data();
    void kastrelExchange();
    void kastrelDiscards_data();
    void kastrelDiscards();
    void kastrelTwoEnvelopesInOneRead();

    void connectFailureIsReported();
    void disconnectTwiceAndDestroyDoNotBlock();
    void reconnectAfterDisconnect();
    void reconnectDuringTheGapSendsNothingStale();
};

void TestSerialLink::initTestCase()
{
    FakeMaster probe;
    if (!probe.isValid())
        QSKIP("no pseudo-terminals here");
}

void TestSerialLink::replyReachesCallbackOnGuiThread()
{
    LogCapture log;
    FakeMaster master;
    master.answer(PT_HUBRO_INFO, FakeMaster::Reply(hex("02a1a2a3")));
    Link l(master);
    QVERIFY(l.connected);
    QVERIFY(l.link.isOpen());
    QCOMPARE(l.link.portName(), master.portName());

    Replies replies;
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    l.link.sendPacket(hex("01"), replies.callback());
    QTRY_COMPARE(replies.packets.size(), 1);
    const Packet &p = replies.packets.at(0);
    QCOMPARE(p.data.toHex(), buildSerialFrame(0, hex("02a1a2a3")).mid(3).toHex());
    QCOMPARE(p.request.toHex(), QByteArray("2200020125"));
    QVERIFY(p.timestamp >= before && p.timestamp <= QDateTime::currentMSecsSinceEpoch());
    QVERIFY(replies.onGuiThread.at(0));
    QCOMPARE(l.unsolicited.size(), 0);

    // 38462 baud (not 38400) is set on the pseudo-terminal without complaint.
    QCOMPARE(master.lineBaudRate(), 38462);
    QCOMPARE(log.lines(QStringLiteral("Baud")), QStringList());
    QCOMPARE(log.lines(QStringLiteral("TX:")), QStringList{QStringLiteral("TX: \"2200020125\" PT_HUBRO_INFO")});
    QTRY_COMPARE(log.lines(QStringLiteral("RX:")).size(), 1);
    QCOMPARE(log.lines(QStringLiteral("RX:")).at(0),
             QStringLiteral("RX: \"%1\" PT_HUBRO_INFO_ACK").arg(QString::fromLatin1(master.wrap(0, hex("02a1a2a3")).toHex())));
}

void TestSerialLink::logFilterLeavesTypesOut()
{
    LogCapture log;
    FakeMaster master;
    master.answer(PT_HUBRO_INFO, FakeMaster::Reply(hex("02")));
    master.answer(PT_GET_DEV_INFO, FakeMaster::Reply(hex("06")));
    Link l(master);
    l.link.setLogFilter({PT_HUBRO_INFO, PT_GET_DEV_INFO_ACK});
    Replies replies;
    l.link.sendPacket(hex("01"), replies.callback());
    l.link.sendPacket(hex("05"), replies.callback());
    QTRY_COMPARE(replies.packets.size(), 2);
    QStringList traffic = log.lines(QStringLiteral("TX:")) + log.lines(QStringLiteral("RX:"));
    QCOMPARE(traffic.size(), 2);
    QVERIFY(traffic.at(0).endsWith(QLatin1String(" PT_GET_DEV_INFO")));
    QVERIFY(traffic.at(1).endsWith(QLatin1String(" PT_HUBRO_INFO_ACK")));
}

void TestSerialLink::requestsWaitForTheReplyAndTheGap()
{
    FakeMaster master;
    // The first reply is held back until the test writes it, so the second
    // request waits for it however late this thread runs.
    master.answerOnce(PT_HUBRO_INFO, {FakeMaster::Reply::dropped()});
    master.answer(PT_HUBRO_INFO, FakeMaster::Reply(hex("02")));
    Link l(master);
    l.link.setTimingsForTesting(30000, SerialThreadWorker::SendGapMs); // no re-sends while the reply waits
    Replies first, second;
    l.link.sendPacket(hex("01"), first.callback());
    l.link.sendPacket(hex("01aa"), second.callback());
    QVERIFY(master.waitForReceived(1, 10000));
    QTest::qWait(2 * SerialThreadWorker::SendGapMs + 20);
    QCOMPARE(master.receivedCount(), 1);
    QCOMPARE(l.link.pendingCount(), 1);
    QCOMPARE(first.packets.size(), 0);

    // Stamped before the write: the program cannot have read the reply earlier.
    const qint64 replyNs = FakeMaster::nowNs();
    master.writeRaw(master.wrap(0, hex("02")));
    QTRY_COMPARE(second.packets.size(), 1);
    QCOMPARE(first.packets.size(), 1);
    QCOMPARE(l.link.pendingCount(), 0);

    const QVector<FakeMaster::Received> log = master.received();
    QCOMPARE(log.size(), 2);
    QCOMPARE(log.at(0).sequence, uint8_t(0));
    QCOMPARE(log.at(1).sequence, uint8_t(1));
    QCOMPARE(second.packets.at(0).request.toHex(), buildSerialFrame(1, hex("01aa")).toHex());
    // The second request went out only after the first reply, and not before the gap.
    QVERIFY2(log.at(1).receivedNs - replyNs >= SerialThreadWorker::SendGapMs * 1000000LL,
             qPrintable(QString::number(log.at(1).receivedNs - replyNs)));
}

void TestSerialLink::silentMasterLosesTheLinkAfterSixTransmissions()
{
    FakeMaster master; // answers nothing
    Link l(master);
    l.link.setTimingsForTesting(20, 1);
    Replies replies;
    l.link.sendPacket(hex("01"), replies.callback());
    l.link.sendPacket(hex("05"), replies.callback());
    QVERIFY(l.lost.wait(5000));
    QCOMPARE(l.lost.size(), 1);
    QVERIFY(!l.link.isOpen());
    QCOMPARE(l.link.pendingCount(), 0);
    const QVector<FakeMaster::Received> log = master.received();
    QCOMPARE(log.size(), SerialThreadWorker::MaxTransmissions);
    for (const FakeMaster::Received &r : log)
        QCOMPARE(r.raw.toHex(), QByteArray("2200020125")); // the same frame, the same sequence byte
    QCOMPARE(replies.packets.size(), 0);
    QCOMPARE(l.unsolicited.size(), 0);

    // The abandoned request stays abandoned: its late reply after a reconnection is unsolicited.
    QVERIFY(l.link.connectToDevice(master.portName()));
    master.writeRaw(buildSerialFrame(0, hex("02")));
    QTRY_COMPARE(l.unsolicited.size(), 1);
    QCOMPARE(replies.packets.size(), 0);
}

void TestSerialLink::shippedTimeouts_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("masterType");
    QTest::addColumn<int>("timeout");
    QTest::newRow("serial") << int(Serial) << int(MasterOrdinary) << 200;
    QTest::newRow("serial, wired-side entry") << int(Serial) << int(MasterTrombel) << 200;
    QTest::newRow("serial, old 32-device master") << int(Serial) << int(MasterHubro32Slow) << 1000;
    QTest::newRow("wired bus") << int(Kastrel) << int(MasterOrdinary) << 500;
    QTest::newRow("wired bus, old 32-device master") << int(Kastrel) << int(MasterHubro32Slow) << 500;
}

void TestSerialLink::shippedTimeouts()
{
    QFETCH(int, type);
    QFETCH(int, masterType);
    QFETCH(int, timeout);
    SerialConnectionInterface link{ConnectionType(type), MasterType(masterType)};
    QCOMPARE(link.transmitTimeout(), timeout);
}

void TestSerialLink::tryAgainLaterGivesTransmissionsBack()
{
    int transmissions = 0; // master thread only; outlives the master's thread
    FakeMaster master;
    master.setResponder([&transmissions](const FakeMaster::Received &r) {
        if (r.type() != PT_HUBRO_INFO)
            return QVector<FakeMaster::Reply>();
        return ++transmissions <= 10 ? QVector<FakeMaster::Reply>{FakeMaster::Reply::tryAgainLater()}
                                     : QVector<FakeMaster::Reply>{FakeMaster::Reply(hex("02"))};
    });
    Link l(master);
    l.link.setTimingsForTesting(15, 1);
    Replies replies;
    l.link.sendPacket(hex("01"), replies.callback());
    QTRY_COMPARE(replies.packets.size(), 1);
    QCOMPARE(master.receivedCount(PT_HUBRO_INFO), 11);
    QCOMPARE(l.lost.size(), 0);
    QCOMPARE(l.unsolicited.size(), 0);
    QVERIFY(l.link.isOpen());
}

void TestSerialLink::replyVariants_data()
{
    QTest::addColumn<QVector<FakeMaster::Reply>>("firstAnswer");  // to the first transmission
    QTest::addColumn<QVector<FakeMaster::Reply>>("laterAnswers"); // to every re-transmission
    QTest::addColumn<int>("transmissions");
    QTest::addColumn<int>("unsolicited");

    const FakeMaster::Reply good(hex("02"));
    FakeMaster::Reply foreign(hex("02"));
    foreign.sequence = 0x77;
    FakeMaster::Reply twice(hex("02"));
    twice.copies = 2;
    FakeMaster::Reply late(hex("02"));
    late.delayMs = 5;
    FakeMaster::Reply split(hex("02b1b2b3b4"));
    split.chunkSize = 2;
    FakeMaster::Reply garbage(hex("02"));
    garbage.garbageBefore = hex("00ff13229901");
    FakeMaster::Reply emptyLength(hex("02"));
    emptyLength.garbageBefore = hex("22de00");
    FakeMaster::Reply stray(hex("02"));
    stray.garbageBefore = hex("2244c8");
    FakeMaster::Reply spoiled(hex("02"));
    spoiled.badChecksum = true;
    using Replies = QVector<FakeMaster::Reply>;

    QTest::newRow("plain") << Replies{good} << Replies{good} << 1 << 0;
    QTest::newRow("foreign sequence, then re-sent") << Replies{foreign} << Replies{good} << 2 << 1;
    QTest::newRow("duplicate in one read") << Replies{twice} << Replies{} << 1 << 1;
    QTest::newRow("duplicate in a later read") << Replies{good, late} << Replies{} << 1 << 1;
    QTest::newRow("split across writes") << Replies{split} << Replies{} << 1 << 0;
    QTest::newRow("garbage in front") << Replies{garbage} << Replies{} << 1 << 0;
    QTest::newRow("zero-length frame in front") << Replies{emptyLength} << Replies{} << 1 << 0;
    QTest::newRow("stray start byte in front") << Replies{stray} << Replies{} << 1 << 0;
    QTest::newRow("bad check byte, then re-sent") << Replies{spoiled} << Replies{good} << 2 << 0;
    QTest::newRow("dropped, then re-sent") << Replies{FakeMaster::Reply::dropped()} << Replies{good} << 2 << 0;
}

void TestSerialLink::replyVariants()
{
    QFETCH(QVector<FakeMaster::Reply>, firstAnswer);
    QFETCH(QVector<FakeMaster::Reply>, laterAnswers);
    QFETCH(int, transmissions);
    QFETCH(int, unsolicited);

    FakeMaster master;
    master.answerOnce(PT_HUBRO_INFO, firstAnswer);
    master.answer(PT_HUBRO_INFO, laterAnswers);
    Link l(master);
    // Long enough that a master kept waiting by a busy machine is not sent the request again.
    l.link.setTimingsForTesting(400, 1);
    Replies replies;
    l.link.sendPacket(hex("01"), replies.callback());
    QTRY_COMPARE(replies.packets.size(), 1);
    QCOMPARE(uint8_t(replies.packets.at(0).data.at(0)), uint8_t(PT_HUBRO_INFO_ACK));
    QCOMPARE(replies.packets.at(0).data, buildSerialFrame(0, firstAnswer.at(0).packet.isEmpty() ? laterAnswers.at(0).packet
                                                                                                 : firstAnswer.at(0).packet)
                                             .mid(3));
    QTRY_COMPARE(l.unsolicited.size(), unsolicited);
    QCOMPARE(master.receivedCount(), transmissions);
    for (const QList<QVariant> &args : qAsConst(l.unsolicited))
        QVERIFY(args.at(0).value<Packet>().request.isEmpty());
    QCOMPARE(replies.packets.size(), 1);
    QCOMPARE(l.lost.size(), 0);
}

// A stray start byte followed by the awaited number could begin the reply: the
// link waits for a short silence, then gives it up; the link is not lost.
void TestSerialLink::strayStartByteWithTheAwaitedNumber()
{
    FakeMaster master;
    FakeMaster::Reply stray(hex("02"));
    stray.garbageBefore = hex("2200c8");
    master.answer(PT_HUBRO_INFO, stray);
    Link l(master);
    Replies replies;
    l.link.sendPacket(hex("01"), replies.callback());
    QTRY_COMPARE(replies.packets.size(), 1);
    QCOMPARE(replies.packets.at(0).data, buildSerialFrame(0, hex("02")).mid(3));
    QCOMPARE(l.lost.size(), 0);
    QVERIFY(l.link.isOpen());
}

void TestSerialLink::repliesInPiecesComeWhole_data()
{
    QTest::addColumn<QByteArray>("packet");
    // In pieces of 20 bytes the frame inside is complete well before the reply around it.
    QTest::newRow("holding a frame of the awaited number") << hex("02a1a2") + buildSerialFrame(0, hex("0203")) + QByteArray(40, 'x');
    QTest::newRow("holding a frame of the next number") << hex("02a1a2") + buildSerialFrame(1, hex("0203")) + QByteArray(40, 'x');
    QTest::newRow("text rich in start bytes")
        << QByteArray(1, '\x02') + QByteArray("{\"name\": \"\"\"\", \"x\": \"\\\"\\\"\", \"y\": \"\"\"\"\"\"\"\"\"\" }");
}

// A master behind a converter writes its replies in pieces of 20 bytes, some
// time apart: each reply arrives whole, whatever its packet holds.
void TestSerialLink::repliesInPiecesComeWhole()
{
    QFETCH(QByteArray, packet);
    FakeMaster master;
    FakeMaster::Reply reply(packet);
    reply.chunkSize = 20;
    reply.chunkGapMs = 15;
    master.answer(PT_HUBRO_INFO, reply);
    Link l(master);
    Replies replies;
    l.link.sendPacket(hex("01"), replies.callback());
    QTRY_COMPARE(replies.packets.size(), 1);
    const QByteArray whole = buildSerialFrame(0, packet).mid(3);
    QCOMPARE(replies.packets.at(0).data, whole);
    // A re-send on a busy machine brings the reply once more, never a part of it.
    for (const QList<QVariant> &args : qAsConst(l.unsolicited))
        QCOMPARE(args.at(0).value<Packet>().data, whole);
    QCOMPARE(l.lost.size(), 0);
}

void TestSerialLink::frameBeforeAnyRequestIsUnsolicited()
{
    FakeMaster master;
    Link l(master);
    master.writeRaw(buildSerialFrame(0x40, hex("15")) + hex("0102") + buildSerialFrame(0x41, hex("6d07")));
    QTRY_COMPARE(l.unsolicited.size(), 2);
    const Packet first = l.unsolicited.at(0).at(0).value<Packet>();
    QCOMPARE(first.data, buildSerialFrame(0x40, hex("15")).mid(3));
    QVERIFY(first.request.isEmpty());
    QVERIFY(first.timestamp > 0);
    QCOMPARE(uint8_t(l.unsolicited.at(1).at(0).value<Packet>().data.at(0)), uint8_t(PT_USB_DEVICE_LOST));
}

void TestSerialLink::emptyCallbackMakesTheReplyUnsolicited()
{
    FakeMaster master;
    master.answer(PT_REBOOT, FakeMaster::Reply(hex("b1")));
    Link l(master);
    l.link.sendPacket(hex("b0"), ResponseCb());
    QTRY_COMPARE(l.unsolicited.size(), 1);
    const Packet p = l.unsolicited.at(0).at(0).value<Packet>();
    QCOMPARE(uint8_t(p.data.at(0)), uint8_t(PT_REBOOT_ACK));
    QCOMPARE(p.request.toHex(), buildSerialFrame(0, hex("b0")).toHex());
}

void TestSerialLink::tooLongPacketIsRefused()
{
    LogCapture log;
    FakeMaster master;
    master.answer(PT_HUBRO_INFO, FakeMaster::Reply(hex("02")));
    Link l(master);
    Replies replies;
    l.link.sendPacket(QByteArray(255, char(PT_DEVICE_SEND_DATA)), replies.callback());
    l.link.sendPacket(hex("01"), replies.callback());
    QTRY_COMPARE(replies.packets.size(), 1);
    QCOMPARE(master.receivedCount(), 1);
    QCOMPARE(master.received().at(0).sequence, uint8_t(0)); // the refused packet took no number
    QCOMPARE(log.lines(QStringLiteral("Packet of 255 bytes is too long")).size(), 1);
}

void TestSerialLink::sequenceWrapsAfter256Frames()
{
    QSerialPort port;
    SerialThreadWorker serial(&port, false, MasterOrdinary);
    SerialThreadWorker kastrel(&port, true, MasterOrdinary);
    for (int i = 0; i < 256; ++i) {
        QCOMPARE(uint8_t(serial.buildFrame(hex("01")).at(1)), uint8_t(i));
        QCOMPARE(uint8_t(kastrel.buildKastrelFrame(hex("01")).at(5)), uint8_t(i));
    }
    QCOMPARE(uint8_t(serial.buildFrame(hex("01")).at(1)), uint8_t(0));
}

void TestSerialLink::kastrelExchange_data()
{
    QTest::addColumn<int>("layout");
    QTest::newRow("frame at byte 4") << int(FakeMaster::Layout::KastrelAt4);
    QTest::newRow("frame at byte 3") << int(FakeMaster::Layout::KastrelAt3);
}

void TestSerialLink::kastrelExchange()
{
    QFETCH(int, layout);
    FakeMaster master(FakeMaster::Layout(layout), 5);
    master.answer(PT_HUBRO_INFO, FakeMaster::Reply(hex("02c1c2")));
    Link l(master, Kastrel, QStringLiteral(":5"));
    QVERIFY(l.connected);
    QCOMPARE(l.link.portName(), master.portName() + QStringLiteral(":5"));
    QCOMPARE(master.lineBaudRate(), 9600);
    Replies replies;
    l.link.sendPacket(hex("01"), replies.callback());
    QTRY_COMPARE(replies.packets.size(), 1);
    const QByteArray envelope = buildKastrelEnvelope(5, 0, hex("01"));
    QCOMPARE(master.received().at(0).raw.toHex(), envelope.toHex());
    QCOMPARE(master.received().at(0).busAddress, uint8_t(5));
    QCOMPARE(replies.packets.at(0).request.toHex(), envelope.mid(4).toHex()); // frame and CRC
    QCOMPARE(replies.packets.at(0).data, buildSerialFrame(0, hex("02c1c2")).mid(3));
}

void TestSerialLink::kastrelDiscards_data()
{
    QTest::addColumn<int>("masterAddress");
    QTest::addColumn<bool>("spoilFirst");
    QTest::addColumn<int>("answered"); // 0: the link gives up, 1: the re-sent request is answered
    QTest::newRow("answer from another address") << 6 << false << 0;
    QTest::newRow("bad CRC, then a good answer") << 5 << true << 1;
}

void TestSerialLink::kastrelDiscards()
{
    QFETCH(int, masterAddress);
    QFETCH(bool, spoilFirst);
    QFETCH(int, answered);
    FakeMaster master(FakeMaster::Layout::KastrelAt4, uint8_t(masterAddress));
    master.setAnswerAnyAddress(true);
    FakeMaster::Reply spoiled(hex("02"));
    spoiled.badChecksum = true;
    if (spoilFirst)
        master.answerOnce(PT_HUBRO_INFO, {spoiled});
    master.answer(PT_HUBRO_INFO, FakeMaster::Reply(hex("02")));
    Link l(master, Kastrel, QStringLiteral(":5"));
    // Long enough that a busy machine's good answer still beats the re-send.
    l.link.setTimingsForTesting(400, 1);
    Replies replies;
    l.link.sendPacket(hex("01"), replies.callback());
    if (answered) {
        QTRY_COMPARE(replies.packets.size(), 1);
        QCOMPARE(master.receivedCount(), 2);
    } else {
        QVERIFY(l.lost.wait(15000));
        QCOMPARE(replies.packets.size(), 0);
        // The last transmission may still be on its way through the master's thread.
        QVERIFY(master.waitForReceived(SerialThreadWorker::MaxTransmissions, 5000));
        QCOMPARE(master.receivedCount(), SerialThreadWorker::MaxTransmissions);
    }
    QCOMPARE(l.unsolicited.size(), 0);
}

void TestSerialLink::kastrelTwoEnvelopesInOneRead()
{
    FakeMaster master(FakeMaster::Layout::KastrelAt4, 9);
    FakeMaster::Reply twice(hex("02"));
    twice.copies = 2;
    master.answer(PT_HUBRO_INFO, twice);
    Link l(master, Kastrel, QStringLiteral(":9"));
    Replies replies;
    l.link.sendPacket(hex("01"), replies.callback());
    QTRY_COMPARE(replies.packets.size(), 1);
    QTRY_COMPARE(l.unsolicited.size(), 1);
}

void TestSerialLink::connectFailureIsReported()
{
    LogCapture log;
    SerialConnectionInterface link(Serial, MasterOrdinary);
    QVERIFY(!link.connectToDevice(QStringLiteral("/nonexistent/ttyUSB9")));
    QVERIFY(!link.isOpen());
    QCOMPARE(link.errorString(), QStringLiteral("No such file or directory"));
    QCOMPARE(log.lines(QStringLiteral("Failed to connect")),
             QStringList{QStringLiteral("Failed to connect: /nonexistent/ttyUSB9")});
}

void TestSerialLink::disconnectTwiceAndDestroyDoNotBlock()
{
    FakeMaster master;
    Watchdog watchdog(10000);
    auto l = std::make_unique<Link>(master);
    QVERIFY(l->link.isOpen());
    l->link.disconnectFromDevice();
    QVERIFY(!l->link.isOpen());
    l->link.disconnectFromDevice();
    l->link.setLogFilter({PT_HUBRO_INFO});
    l->link.sendPacket(hex("01"), ResponseCb()); // dropped
    l.reset();
}

void TestSerialLink::reconnectAfterDisconnect()
{
    FakeMaster master;
    master.answer(PT_HUBRO_INFO, FakeMaster::Reply(hex("02")));
    Link l(master);
    l.link.disconnectFromDevice();
    QVERIFY(l.link.connectToDevice(master.portName()));
    Replies replies;
    l.link.sendPacket(hex("01"), replies.callback());
    QTRY_COMPARE(replies.packets.size(), 1);
}

void TestSerialLink::reconnectDuringTheGapSendsNothingStale()
{
    FakeMaster master;
    // The first reply is held back until the second request waits behind the first:
    // a reply before it was handed over would let it go at once.
    master.answerOnce(PT_HUBRO_INFO, {FakeMaster::Reply::dropped()});
    master.answer(PT_HUBRO_INFO, FakeMaster::Reply(hex("02")));
    Link l(master);
    // A re-send time-out longer than the whole test, so only a stale gap timer can add
    // a frame, and a gap long enough that the reconnection falls inside it even when a
    // busy machine holds this thread up for a while.
    const int gapMs = 3000;
    l.link.setTimingsForTesting(30000, gapMs);
    Replies first, dropped, after;
    l.link.sendPacket(hex("01"), first.callback());
    l.link.sendPacket(hex("01aa"), dropped.callback()); // waits out the gap behind the first
    QVERIFY(master.waitForReceived(1, 10000));
    QTRY_COMPARE(l.link.pendingCount(), 1);
    master.writeRaw(master.wrap(0, hex("02")));
    QTRY_COMPARE(first.packets.size(), 1);
    QVERIFY(l.link.connectToDevice(master.portName())); // the gap is still running
    l.link.sendPacket(hex("01bb"), after.callback());
    QTRY_COMPARE(after.packets.size(), 1);

    // The gap's end neither re-sends the answered request nor takes the link down.
    QVERIFY(!l.lost.wait(gapMs + 500));
    QVERIFY(l.link.isOpen());
    QStringList sent;
    for (const FakeMaster::Received &r : master.received())
        sent << QString::fromLatin1(r.packet.toHex());
    QCOMPARE(sent.join(QLatin1Char(' ')), QStringLiteral("01 01bb"));
    QCOMPARE(dropped.packets.size(), 0);
    QCOMPARE(l.unsolicited.size(), 0);
}

QTEST_GUILESS_MAIN(TestSerialLink)
#include "tst_seriallink.moc"

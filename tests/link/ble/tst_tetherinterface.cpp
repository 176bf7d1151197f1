// The BLE link over the Tether stand-in beside this program and a scripted
// peripheral: replies matched to requests, frames joined across
// notifications, one request in flight with its re-sends (counted from the end
// of a long write), giving up, the gap
// before a new connect, reopening with two interfaces, and finding the library.
#include "blelibraries.h"
#include "blepeer.h"
#include "frame.h"
#include "messagecapture.h"
#include "tetherinterface.h"
#include "testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {
const QString Address = QStringLiteral("C0:FF:EE:00:00:01");

uint8_t sequenceOf(const QByteArray &frame)
{
    return uint8_t(frame.at(1));
}

// The reply a master gives to a written frame: the packet under the frame's sequence.
QByteArray reply(const QByteArray &written, const QByteArray &packet)
{
    return buildSerialFrame(sequenceOf(written), packet);
}

// A master that answers every request with its type + 1 and `size` - 1 more bytes.
BlePeripheral::Responder answering(int size = 2)
{
    return [size](const QByteArray &written) {
        QByteArray packet(size, '\x07');
        packet[0] = char(uint8_t(written.at(3)) + 1);
        return QVector<QByteArray>{reply(written, packet)};
    };
}

struct Link
{
    Link() : tether(Address) {}

    // Connects and waits for the state checks to see the link ready.
    bool open()
    {
        if (!tether.connectToDevice(Address))
            return false;
        QTimer::singleShot(TetherInterface::timings().stateCheck, &tether, &TetherInterface::checkConnectionState);
        return QTest::qWaitFor([this] { return tether.lastStatus() == TetherReady; }, 3000);
    }

    // Sends and records the reply given to the callback.
    void send(const QByteArray &packet)
    {
        tether.sendPacket(packet, [this](const Packet &p) {
            replies << p;
            return true;
        });
    }

    TetherInterface tether;
    QList<Packet> replies;
    QSignalSpy lost{&tether, &ConnectionInterface::connectionLost};
    QSignalSpy unsolicited{&tether, &ConnectionInterface::unsolicitedPacket};
    QSignalSpy status{&tether, &TetherInterface::statusChanged};
};

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
} // namespace

class TetherInterfaceTest : public QObject
{
    Q_OBJECT

    BlePeripheral m_peer;
    std::unique_ptr<MessageBoxRecorder> m_boxes;

    void resetPeer()
    {
        m_peer.createFails = false;
        m_peer.connectError.clear();
        m_peer.failAtOnce = false;
        m_peer.silent = false;
        m_peer.connectDelayMs = 0;
        m_peer.discoveryDelayMs = 0;
        m_peer.interval = 0;
        m_peer.responder = answering();
        m_peer.writes.clear();
        m_peer.addresses.clear();
    }

private slots:
    void initTestCase()
    {
        initTestResources();
        registerPacketMetaTypes();
        StandIns::setTether(&m_peer);
    }
    void init()
    {
        TetherInterface::Timings timings;
        timings.resend = 60;
        timings.poll = 5;
        timings.response = 1000;
        timings.stateCheck = 30;
        timings.reconnectGap = 100;
        TetherInterface::setTimings(timings);
        BleLibraries::setFolderForTesting(QString());
        resetPeer();
        m_boxes = std::make_unique<MessageBoxRecorder>();
    }
    void cleanup()
    {
        m_boxes.reset();
        settle();
        QCOMPARE(m_peer.liveControllers, 0);
    }

    void repliesMatchedBySequence_data()
    {
        QTest::addColumn<QByteArray>("chunk");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QByteArrayList>("unsolicited");
        QTest::newRow("the answer") << QByteArray::fromHex("220502012a") << QByteArray::fromHex("012a")
                                    << QByteArrayList();
        QTest::newRow("a wrong check byte") << QByteArray::fromHex("220502012b") << QByteArray() << QByteArrayList();
        QTest::newRow("two frames in one chunk")
            << QByteArray::fromHex("220502012a220502032c") << QByteArray::fromHex("012a")
            << QByteArrayList{QByteArray::fromHex("032c")};
        QTest::newRow("another sequence") << QByteArray::fromHex("220602012b") << QByteArray()
                                          << QByteArrayList{QByteArray::fromHex("012b")};
        QTest::newRow("noise before the answer") << QByteArray::fromHex("00ff220502012a")
                                                 << QByteArray::fromHex("012a") << QByteArrayList();
        // A stray start byte costs the answer nothing: given up at once when the
        // frame behind it carries the awaited number, else after a short silence.
        QTest::newRow("a stray start byte before the answer") << QByteArray::fromHex("22220502012a")
                                                              << QByteArray::fromHex("012a") << QByteArrayList();
        QTest::newRow("a stray start byte with the awaited number")
            << QByteArray::fromHex("2205c8220502012a") << QByteArray::fromHex("012a") << QByteArrayList();
    }
    void repliesMatchedBySequence()
    {
        QFETCH(QByteArray, chunk);
        QFETCH(QByteArray, answer);
        QFETCH(QByteArrayList, unsolicited);
        m_peer.responder = nullptr;
        Link link;
        QVERIFY(link.open());
        tetherSequence = 5;
        link.send(QByteArray(1, '\x01'));
        QTRY_COMPARE(m_peer.writes.size(), 1);
        QCOMPARE(m_peer.writes.first(), QByteArray::fromHex("220502012a"));
        m_peer.notify(chunk);
        QTRY_COMPARE(link.unsolicited.size(), unsolicited.size());
        if (!answer.isEmpty()) {
            QTRY_COMPARE(link.replies.size(), 1);
            QCOMPARE(link.replies.first().data, answer);
            QCOMPARE(link.replies.first().request, m_peer.writes.first());
        } else {
            // Still in flight: the next request waits behind it.
            link.send(QByteArray(1, '\x03'));
            QCOMPARE(link.tether.pendingCount(), 1);
        }
        for (int i = 0; i < unsolicited.size(); ++i)
            QCOMPARE(link.unsolicited.at(i).first().value<Packet>().data, unsolicited.at(i));
        QCOMPARE(link.replies.size(), answer.isEmpty() ? 0 : 1);
    }

    // The master's status reply is 83 bytes: five notifications.
    void framesJoinedAcrossNotifications()
    {
        m_peer.responder = [](const QByteArray &written) {
            QByteArray status(79, '\x11');
            status[0] = char(PT_HUBRO_INFO_ACK);
            const QByteArray frame = reply(written, status);
            // Two replies back to back, the second one unasked.
            return QVector<QByteArray>{frame, buildSerialFrame(0x7F, QByteArray(3, '\x55'))};
        };
        Link link;
        QVERIFY(link.open());
        link.send(QByteArray(1, char(PT_HUBRO_INFO)));
        QTRY_COMPARE(link.replies.size(), 1);
        QCOMPARE(link.replies.first().data.size(), 80); // the packet and the frame's check byte
        QCOMPARE(uint8_t(link.replies.first().data.at(0)), uint8_t(PT_HUBRO_INFO_ACK));
        QTRY_COMPARE(link.unsolicited.size(), 1);
        QCOMPARE(link.unsolicited.first().first().value<Packet>().data.left(3), QByteArray(3, '\x55'));
    }

    // Replies come in notifications of 20 bytes; a packet holding a whole
    // frame, or text rich in start bytes, still gives exactly its reply.
    void repliesHoldingFramesComeWhole_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a frame of its own number") << "own";
        QTest::newRow("a frame of the next number") << "next";
        QTest::newRow("text rich in start bytes") << "text";
    }
    void repliesHoldingFramesComeWhole()
    {
        QFETCH(QString, kind);
        TetherInterface::Timings timings = TetherInterface::timings();
        timings.resend = 2000; // no re-send, however busy the machine
        TetherInterface::setTimings(timings);
        QList<QByteArray> sent;
        m_peer.responder = [&](const QByteArray &written) {
            QByteArray packet = QByteArray::fromHex("02a1a2");
            if (kind == QLatin1String("text"))
                packet += QByteArray("{\"a\": \"\"\"\", \"b\": \"\\\"\\\"\", \"c\": \"\"\"\"\"\"\"\" }");
            else
                packet += buildSerialFrame(uint8_t(sequenceOf(written) + (kind == QLatin1String("next") ? 1 : 0)),
                                           QByteArray::fromHex("0607"))
                    + QByteArray(30, 'x');
            sent << reply(written, packet);
            return QVector<QByteArray>{sent.last()};
        };
        Link link;
        QVERIFY(link.open());
        link.send(QByteArray(1, '\x01'));
        link.send(QByteArray(1, '\x01'));
        QTRY_COMPARE(link.replies.size(), 2);
        QCOMPARE(link.replies.at(0).data, sent.at(0).mid(3));
        QCOMPARE(link.replies.at(1).data, sent.at(1).mid(3));
        QCOMPARE(link.unsolicited.size(), 0);
        QCOMPARE(link.lost.size(), 0);
    }

    void oneRequestInFlight()
    {
        Link link;
        QVERIFY(link.open());
        QList<int> writesAtReply;
        for (int i = 0; i < 3; ++i)
            link.tether.sendPacket(QByteArray(1, char(0x10 + 2 * i)), [&](const Packet &) {
                writesAtReply << m_peer.writes.size();
                return true;
            });
        QCOMPARE(link.tether.pendingCount(), 2);
        QCOMPARE(m_peer.writes.size(), 1);
        QTRY_COMPARE(writesAtReply.size(), 3);
        // Each request is written only after the reply to the one before.
        QCOMPARE(writesAtReply, (QList<int>{1, 2, 3}));
        QCOMPARE(link.tether.pendingCount(), 0);
        QCOMPARE(uint8_t(m_peer.writes.at(2).at(3)), uint8_t(0x14));
    }

    void resends_data()
    {
        QTest::addColumn<QString>("master");
        QTest::addColumn<int>("writes");
        QTest::addColumn<bool>("answered");
        QTest::addColumn<bool>("lost");
        QTest::newRow("answers at once") << "answers" << 1 << true << false;
        QTest::newRow("silent") << "silent" << 6 << false << true;
        QTest::newRow("busy seven times") << "busy" << 8 << true << false;
        QTest::newRow("something else twice") << "other" << 3 << true << false;
    }
    void resends()
    {
        QFETCH(QString, master);
        QFETCH(int, writes);
        QFETCH(bool, answered);
        QFETCH(bool, lost);
        int count = 0;
        m_peer.responder = [&count, master](const QByteArray &written) {
            ++count;
            if (master == QLatin1String("silent"))
                return QVector<QByteArray>();
            if (master == QLatin1String("busy") && count <= 7)
                return QVector<QByteArray>{reply(written, QByteArray(1, char(PT_TRY_AGAIN_LATER)))};
            if (master == QLatin1String("other") && count <= 2)
                return QVector<QByteArray>{buildSerialFrame(uint8_t(written.at(1) + 1), QByteArray(1, '\x33'))};
            return answering()(written);
        };
        Link link;
        QVERIFY(link.open());
        link.send(QByteArray(1, '\x20'));
        if (lost)
            QTRY_COMPARE(link.lost.size(), 1);
        else
            QTRY_COMPARE(link.replies.size(), 1);
        QTest::qWait(3 * TetherInterface::timings().resend);
        QCOMPARE(m_peer.writes.size(), writes);
        QCOMPARE(link.replies.size(), answered ? 1 : 0);
        QCOMPARE(link.lost.size(), lost ? 1 : 0);
        QCOMPARE(link.tether.pendingCount(), 0);
    }

    // An answer for another request restarts the wait of the one in flight.
    void anUnsolicitedFrameRestartsTheResendWait()
    {
        TetherInterface::Timings timings = TetherInterface::timings();
        timings.resend = 900; // the frame comes a third of it in: room for a busy machine
        TetherInterface::setTimings(timings);
        // Both ends of the interval are stamped as they happen, not when a poll sees them.
        QElapsedTimer clock;
        clock.start();
        const auto writtenAt = std::make_shared<QList<qint64>>();
        m_peer.responder = [writtenAt, clock](const QByteArray &) {
            *writtenAt << clock.elapsed();
            return QVector<QByteArray>();
        };
        qint64 frameAt = -1;
        int writesBeforeFrame = -1;
        Link link;
        connect(&link.tether, &ConnectionInterface::unsolicitedPacket, this, [&] {
            frameAt = clock.elapsed();
            writesBeforeFrame = m_peer.writes.size();
        });
        QVERIFY(link.open());
        link.send(QByteArray(1, '\x20'));
        QTRY_COMPARE(writtenAt->size(), 1);
        QTest::qWait(timings.resend / 3);
        m_peer.notify(buildSerialFrame(0x70, QByteArray(1, '\x33')));
        QTRY_COMPARE(link.unsolicited.size(), 1);
        QCOMPARE(writesBeforeFrame, 1);
        QTRY_COMPARE_WITH_TIMEOUT(writtenAt->size(), 2, 5000);
        QVERIFY2(writtenAt->at(1) - frameAt >= timings.resend * 9 / 10,
                 qPrintable(QStringLiteral("re-sent %1 ms after the frame").arg(writtenAt->at(1) - frameAt)));
    }

    // A long write that outlasts the re-send time is not written again while it
    // is under way: the re-send time counts from the write's end.
    void aLongWriteIsWrittenAgainOnlyAfterItsEnd_data()
    {
        QTest::addColumn<bool>("answers");
        QTest::newRow("answered") << true;
        QTest::newRow("unanswered") << false;
    }
    void aLongWriteIsWrittenAgainOnlyAfterItsEnd()
    {
        QFETCH(bool, answers);
        TetherInterface::Timings timings = TetherInterface::timings();
        timings.resend = 300; // room for a busy machine
        timings.response = 5000;
        TetherInterface::setTimings(timings);
        const int writeMs = BlePeripheral::writeSteps(104) * 30; // a 100-byte packet: 420 ms
        QVERIFY(writeMs > timings.resend);
        QElapsedTimer clock;
        QList<qint64> ends; // of the writes, as the master gets them
        QList<int> handedOver; // writes handed to the radio by then
        m_peer.responder = [&](const QByteArray &written) {
            ends << clock.elapsed();
            handedOver << m_peer.writes.size();
            return answers ? answering()(written) : QVector<QByteArray>();
        };
        Link link;
        QVERIFY(link.open());
        m_peer.interval = 30;
        clock.start();
        link.send(QByteArray(100, '\x20'));
        if (answers) {
            QTRY_COMPARE_WITH_TIMEOUT(link.replies.size(), 1, 10000);
            QTest::qWait(2 * timings.resend);
            QCOMPARE(m_peer.writes.size(), 1);
            QCOMPARE(link.unsolicited.size(), 0);
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(ends.size(), 2, 10000);
            QCOMPARE(handedOver.at(0), 1);
            QVERIFY2(ends.at(1) - ends.at(0) >= writeMs + timings.resend * 9 / 10,
                     qPrintable(QStringLiteral("%1 ms between the ends").arg(ends.at(1) - ends.at(0))));
        }
        QCOMPARE(handedOver.at(0), 1);
        QCOMPARE(link.lost.size(), 0);
    }

    void waitingRequestsAreCounted()
    {
        m_peer.interval = 10; // each exchange takes several radio steps
        Link link;
        QVERIFY(link.open());
        QList<int> pendingAtReply;
        for (int i = 0; i < 4; ++i)
            link.tether.sendPacket(QByteArray(1, '\x20'), [&](const Packet &) {
                pendingAtReply << link.tether.pendingCount();
                return true;
            });
        QCOMPARE(link.tether.pendingCount(), 3);
        QTRY_COMPARE(pendingAtReply.size(), 4);
        QCOMPARE(pendingAtReply, (QList<int>{3, 2, 1, 0}));
        QCOMPARE(link.tether.pendingCount(), 0);
    }

    void aPacketTooLongIsRefused()
    {
        Link link;
        QVERIFY(link.open());
        tetherSequence = 9;
        QTest::ignoreMessage(QtWarningMsg, "Packet of 255 bytes is too long for a frame, not sent (type DUMMY)");
        link.send(QByteArray(255, '\0'));
        QCOMPARE(int(tetherSequence.load()), 9);
        link.send(QByteArray(254, '\x20'));
        QTRY_COMPARE(link.replies.size(), 1);
        QCOMPARE(m_peer.writes.size(), 1);
        QCOMPARE(m_peer.writes.first().size(), 258);
        QCOMPARE(sequenceOf(m_peer.writes.first()), uint8_t(9));
    }

    void requestsBeforeTheServicesAreDropped()
    {
        m_peer.discoveryDelayMs = 100;
        Link link;
        QVERIFY(link.tether.connectToDevice(Address));
        link.send(QByteArray(1, '\x20'));
        link.send(QByteArray(1, '\x22'));
        QCOMPARE(link.tether.pendingCount(), 0);
        QVERIFY(m_peer.writes.isEmpty());
        QTimer::singleShot(0, &link.tether, &TetherInterface::checkConnectionState);
        QTRY_COMPARE(link.tether.lastStatus(), int(TetherReady));
        link.send(QByteArray(1, '\x24'));
        QTRY_COMPARE(link.replies.size(), 1);
        QCOMPARE(uint8_t(link.replies.first().data.at(0)), uint8_t(0x25));
    }

    void statesAndOpenness()
    {
        m_peer.discoveryDelayMs = 60;
        Link link;
        QVERIFY(!link.tether.isOpen());
        QVERIFY(link.tether.connectToDevice(Address));
        QCOMPARE(link.status.size(), 1);
        QCOMPARE(link.status.first().first().value<TetherStatus>(), TetherConnected);
        QVERIFY(!link.tether.isOpen()); // nothing seen by a check yet
        link.tether.checkConnectionState();
        QCOMPARE(link.tether.lastStatus(), int(TetherConnected));
        QVERIFY(link.tether.isOpen());
        QTRY_COMPARE(link.tether.lastStatus(), int(TetherReady));
        QVERIFY(link.tether.isOpen());
        QCOMPARE(link.status.last().first().value<TetherStatus>(), TetherReady);

        link.send(QByteArray(1, '\x20'));
        QTRY_COMPARE(link.replies.size(), 1);
        m_peer.dropLink();
        QTRY_COMPARE(link.tether.lastStatus(), int(TetherDisconnected));
        QVERIFY(!link.tether.isOpen());
    }

    void givingUp_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("quiet");
        QTest::addColumn<QString>("reason");
        const QString noAnswer = QStringLiteral("did not respond within timeout, disconnecting");
        const QString notReady = QStringLiteral("did not become ready within reconnect timeout, giving up");
        QTest::newRow("no answer") << "silent" << false << noAnswer;
        QTest::newRow("no answer, quiet") << "silent" << true << noAnswer;
        QTest::newRow("link gone") << "drop" << false << notReady;
        QTest::newRow("link gone, quiet") << "drop" << true << notReady;
    }
    void givingUp()
    {
        QFETCH(QString, how);
        QFETCH(bool, quiet);
        QFETCH(QString, reason);
        TetherInterface::Timings timings = TetherInterface::timings();
        timings.resend = 5000; // the response time-out comes first
        timings.response = 80;
        TetherInterface::setTimings(timings);
        MessageBoxRecorder boxes;
        MessageCapture log;
        Link link;
        QVERIFY(link.open());
        link.tether.setQuiet(quiet);
        if (how == QLatin1String("silent")) {
            m_peer.responder = [](const QByteArray &) { return QVector<QByteArray>(); };
            link.send(QByteArray(1, '\x20'));
        } else {
            link.send(QByteArray(1, '\x20'));
            QTRY_COMPARE(link.replies.size(), 1);
            m_peer.dropLink();
        }
        QTRY_COMPARE(link.lost.size(), 1);
        QCOMPARE(log.matching(QStringLiteral("^BLE device C0:FF:EE:00:00:01 ") + QRegularExpression::escape(reason)).size(), 1);
        QCOMPARE(boxes.count(), quiet ? 0 : 1);
        if (!quiet) {
            QCOMPARE(boxes.last().text, QStringLiteral("Unable to connect to BLE device."));
            QCOMPARE(boxes.last().title, QStringLiteral("Connection lost"));
        }
        // Closed: the library's object is gone, nothing more happens.
        QVERIFY(!link.tether.ownsLibraryObject());
        settle();
        QCOMPARE(m_peer.liveControllers, 0);
        QTest::qWait(100);
        QCOMPARE(link.lost.size(), 1);
    }

    void aFailedConnectTellsTheUser()
    {
        MessageBoxRecorder boxes;
        MessageCapture log;
        m_peer.connectError = QStringLiteral("Cannot find local adapter");
        m_peer.failAtOnce = true;
        Link link;
        QVERIFY(!link.tether.connectToDevice(Address));
        QCOMPARE(log.count(QStringLiteral("Error(s) occurred while BLE device connecting: Cannot find local adapter")), 1);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, QStringLiteral("Unable to connect to BLE device."));
        link.tether.disconnectFromDevice();
    }

    void aNewConnectWaitsOutTheGap()
    {
        const int gap = TetherInterface::timings().reconnectGap;
        Link first;
        QVERIFY(first.open());
        first.tether.disconnectFromDevice();
        QElapsedTimer sinceDisconnect;
        sinceDisconnect.start();
        QTest::qWait(gap * 2 / 5);
        Link second;
        const qint64 before = sinceDisconnect.elapsed();
        QElapsedTimer clock;
        clock.start();
        QVERIFY(second.tether.connectToDevice(Address));
        const qint64 waited = clock.elapsed();
        // No earlier than the gap after the disconnect, and not much later.
        QVERIFY2(before + waited >= gap * 95 / 100 && waited <= gap - before + 25,
                 qPrintable(QStringLiteral("%1 + %2 ms").arg(before).arg(waited)));
        second.tether.disconnectFromDevice();
    }

    // The old interface is deleted later than the new one connects: it must
    // not close the new one's object.
    void reopeningKeepsTheNewLink_data()
    {
        QTest::addColumn<bool>("closedFirst");
        QTest::newRow("the old link closed first") << true;
        QTest::newRow("the old link left open") << false;
    }
    void reopeningKeepsTheNewLink()
    {
        QFETCH(bool, closedFirst);
        auto old = std::make_unique<Link>();
        QVERIFY(old->open());
        if (closedFirst)
            old->tether.disconnectFromDevice();
        Link fresh;
        QVERIFY(fresh.open());
        QVERIFY(fresh.tether.ownsLibraryObject());
        QVERIFY(!old->tether.ownsLibraryObject());
        settle();
        QCOMPARE(m_peer.liveControllers, 1); // the old object went with the new one's making
        // The old interface sends nothing and closes nothing.
        old->send(QByteArray(1, '\x20'));
        old.reset();
        settle();
        fresh.send(QByteArray(1, '\x20'));
        QTRY_COMPARE(fresh.replies.size(), 1);
        QCOMPARE(m_peer.writes.size(), 1);
        QCOMPARE(m_peer.liveControllers, 1);
        fresh.tether.disconnectFromDevice();
    }

    void findingTheLibrary()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        MessageCapture log;

        // Nowhere.
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("program/bin")));
        BleLibraries::setFolderForTesting(dir.filePath(QStringLiteral("program/bin")));
        {
            TetherInterface tether(Address);
            QVERIFY(!tether.connectToDevice(Address));
            QCOMPARE(log.count(QStringLiteral("File ") + dir.filePath(QStringLiteral("Tether/release/libTether.so"))
                               + QStringLiteral(" not found")),
                     1);
        }

        // Two folders up, in Tether/release.
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Tether/release")));
        QVERIFY(QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/libTether.so"),
                            dir.filePath(QStringLiteral("Tether/release/libTether.so"))));
        {
            Link link;
            QVERIFY(link.open());
            link.tether.disconnectFromDevice();
        }

        // A library without one of the functions.
        BleLibraries::setFolderForTesting(QCoreApplication::applicationDirPath() + QStringLiteral("/without-export"));
        {
            TetherInterface tether(Address);
            QVERIFY(!tether.connectToDevice(Address));
            QCOMPARE(log.matching(QStringLiteral("^Can't resolve BLE connection API: ")).size(), 1);
            QCOMPARE(log.count(QStringLiteral("Can't make BLE connection")), 1);
            QCOMPARE(m_peer.addresses.size(), 1);
        }
    }
};

QTEST_MAIN(TetherInterfaceTest)
#include "tst_tetherinterface.moc"

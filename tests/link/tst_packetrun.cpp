// A run of packets through a link without a thread of its own: each accepted
// reply sends the next, progress and the end are told as the run says.

#include "connectioninterface.h"

#include <QTimer>
#include <QtTest>

namespace {

// Answers every packet a turn of the event loop later with the reply type
// its script gives for the packet's position (the accepted type otherwise).
class AnsweringLink : public ConnectionInterface
{
public:
    bool connectToDevice(const QString &) override { return true; }
    void disconnectFromDevice() override {}
    bool isOpen() const override { return true; }
    void setLogFilter(const QVector<uint8_t> &) override {}
    QString portName() const override { return QString(); }
    int pendingCount() const override { return 0; }

    void sendPacket(const QByteArray &data, const ResponseCb &cb) override
    {
        const int position = sent.size();
        sent << data;
        const uint8_t type = replies.value(position, Accepted);
        QTimer::singleShot(0, this, [cb, type] {
            Packet reply;
            reply.data = QByteArray(1, char(type));
            cb(reply);
        });
    }

    static constexpr uint8_t Accepted = 0x42;
    QHash<int, uint8_t> replies; // position -> reply type other than the accepted one
    QList<QByteArray> sent;
};

} // namespace

class PacketRunTest : public QObject
{
    Q_OBJECT
private slots:
    void runThroughTheCallingThread_data()
    {
        QTest::addColumn<int>("packets");
        QTest::addColumn<int>("reportEvery");
        QTest::addColumn<int>("otherReplyAt"); // -1: none
        QTest::addColumn<int>("cancelAfter");  // progress reports before the cancel; -1: never
        QTest::addColumn<int>("sent");
        QTest::addColumn<QList<int>>("progress");
        QTest::addColumn<int>("answered"); // -1: no end told
        QTest::newRow("all accepted") << 7 << 3 << -1 << -1 << 7 << QList<int>{3, 6} << 7;
        QTest::newRow("a report after every packet (0 as 1)") << 3 << 0 << -1 << -1 << 3 << QList<int>{1, 2} << 3;
        QTest::newRow("another reply ends it") << 7 << 2 << 4 << -1 << 5 << QList<int>{2, 4} << 4;
        QTest::newRow("the first packet refused") << 3 << 1 << 0 << -1 << 1 << QList<int>{} << 0;
        QTest::newRow("cancelled at a report") << 9 << 2 << -1 << 2 << 4 << QList<int>{2, 4} << -1;
        QTest::newRow("one packet") << 1 << 1 << -1 << -1 << 1 << QList<int>{} << 1;
    }
    void runThroughTheCallingThread()
    {
        QFETCH(int, packets);
        QFETCH(int, reportEvery);
        QFETCH(int, otherReplyAt);
        QFETCH(int, cancelAfter);
        QFETCH(int, sent);
        QFETCH(QList<int>, progress);
        QFETCH(int, answered);

        AnsweringLink link;
        if (otherReplyAt >= 0)
            link.replies.insert(otherReplyAt, 0x99);
        PacketRun run;
        for (int i = 0; i < packets; ++i)
            run.packets << QByteArray(1, char(0x41)) + char(i);
        run.acceptType = AnsweringLink::Accepted;
        run.reportEvery = reportEvery;
        QList<int> reported;
        int endedWith = -1;
        uint8_t endType = 0;
        bool ended = false;
        const auto cancelled = run.cancelled;
        run.progress = [&](int n) {
            reported << n;
            if (reported.size() == cancelAfter)
                cancelled->store(true);
        };
        run.done = [&](const Packet &reply, int n) {
            ended = true;
            endedWith = n;
            endType = uint8_t(reply.data.at(0));
        };
        link.sendRun(run);
        QTRY_VERIFY(ended || (cancelAfter >= 0 && reported.size() == cancelAfter));
        // A cancelled run sends what was in flight and nothing after it.
        QCoreApplication::processEvents();
        QCOMPARE(link.sent.size(), sent);
        for (int i = 0; i < link.sent.size(); ++i)
            QCOMPARE(link.sent.at(i), run.packets.at(i));
        QCOMPARE(reported, progress);
        QCOMPARE(ended ? endedWith : -1, answered);
        if (ended)
            QCOMPARE(endType, otherReplyAt >= 0 ? uint8_t(0x99) : AnsweringLink::Accepted);
    }
};

QTEST_GUILESS_MAIN(PacketRunTest)
#include "tst_packetrun.moc"

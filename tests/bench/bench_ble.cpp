// Exchanges through the BLE link: TetherInterface and the Tether core (its
// stand-in build beside this program) over a scripted peripheral that answers
// every request at once. The peripheral's radio takes one connection interval
// per notification of 20 bytes and two per write (a long write: two per
// 18-byte piece and two to execute); the link keeps its shipped timings.
// Printed beside the floor of that path: the radio's intervals, the link's
// 3 ms gap before the next request and the mean wait for the 15 ms receive
// poll (7.5 ms). Replies of three sizes to a short request, and long writes (a
// firmware line, the largest request) answered by an acknowledgement, with
// the writes the peripheral saw: a long write may outlast the 500 ms re-send.
// Also the queue under the device poller's 100 ms ticks. The result is the
// measured time over the floor's, all cases together.
//
//   bench_ble [--exchanges N] [--log file|none]

#include "benchstats.h"
#include "blepeer.h"
#include "eventwait.h"
#include "frame.h"
#include "logging.h"
#include "packet.h"
#include "tetherinterface.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>

namespace {
// A firmware line of 128 bytes behind its packet type.
constexpr int FirmwareLinePacketSize = 129;
const QString Address = QStringLiteral("C0:FF:EE:00:00:01");

// The master's answer to a request: `size` bytes of packet under the request's sequence.
BlePeripheral::Responder answering(int size)
{
    return [size](const QByteArray &written) {
        QByteArray packet(size, '\x07');
        packet[0] = char(uint8_t(written.at(3)) + 1);
        return QVector<QByteArray>{buildSerialFrame(uint8_t(written.at(1)), packet)};
    };
}

int notifications(int frameBytes)
{
    return (frameBytes + 19) / 20;
}

double meanPollWait()
{
    return TetherInterface::timings().poll / 2.0;
}

// A link to the peripheral, ready for requests.
bool open(TetherInterface &link, BlePeripheral &peer)
{
    if (!link.connectToDevice(Address))
        return false;
    if (!runUntil([&peer] { return peer.service && peer.service->notifying; }, 5000))
        return false;
    link.checkConnectionState();
    return link.lastStatus() == TetherReady;
}

struct Case
{
    double measuredMs = 0; // per exchange
    double floorMs = 0;    // per exchange
    int exchanges = 0;
    int writes = 0;        // writes the peripheral saw (re-sends included)
    qint64 bytes = 0;      // both ways
};

// `count` exchanges one after the other, each request sent from the previous reply's callback.
Case exchanges(BlePeripheral &peer, double interval, int requestSize, int replySize, int count)
{
    Case result;
    peer.interval = interval;
    peer.responder = answering(replySize);
    TetherInterface link(Address);
    if (!open(link, peer))
        return result;
    const int requestFrame = requestSize + 4;
    const int replyFrame = replySize + 4;
    const QByteArray request(requestSize, '\x20');
    const int writesBefore = peer.writes.size();
    int done = 0;
    std::function<void()> next = [&] {
        link.sendPacket(request, [&](const Packet &) {
            if (++done < count)
                next();
            return true;
        });
    };
    QElapsedTimer clock;
    clock.start();
    next();
    runUntil([&] { return done == count; }, 600000);
    const double elapsed = clock.nsecsElapsed() / 1e6;
    link.disconnectFromDevice();
    if (done != count)
        return result;
    result.exchanges = count;
    result.writes = peer.writes.size() - writesBefore;
    result.measuredMs = elapsed / count;
    result.bytes = qint64(count) * (requestFrame + replyFrame);
    const double radio = (BlePeripheral::writeSteps(requestFrame) + notifications(replyFrame)) * interval;
    // The first request goes at once; each later one after the gap.
    result.floorMs = radio + meanPollWait() + TetherInterface::timings().sendGap * double(count - 1) / count;
    return result;
}

// The device poller's rule: a tick sends only while nothing waits behind the
// request in flight; `honest` false stands for a link that always reports 0.
int queueUnderTicks(BlePeripheral &peer, double interval, int replySize, int seconds, bool honest, int *sent)
{
    peer.interval = interval;
    peer.responder = answering(replySize);
    TetherInterface link(Address);
    if (!open(link, peer))
        return -1;
    int most = 0;
    *sent = 0;
    QTimer tick;
    tick.setInterval(100);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (honest && link.pendingCount() != 0)
            return;
        link.sendPacket(QByteArray::fromHex("0300"), [](const Packet &) { return true; });
        ++*sent;
        most = std::max(most, link.pendingCount());
    });
    tick.start();
    runUntil([] { return false; }, seconds * 1000);
    link.disconnectFromDevice();
    return most;
}
} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Zorvo"));
    QCoreApplication::setApplicationName(QStringLiteral("ZentarConfiguratorBench"));

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("exchanges"), QStringLiteral("Exchanges per case at 7.5 ms (a quarter at 30 ms)."),
                      QStringLiteral("n"), QStringLiteral("80")});
    parser.addOption(
        {QStringLiteral("log"), QStringLiteral("file or none."), QStringLiteral("mode"), QStringLiteral("file")});
    parser.process(app);
    const int count = std::max(4, parser.value(QStringLiteral("exchanges")).toInt());
    qInstallMessageHandler(parser.value(QStringLiteral("log")) == QLatin1String("none") ? discardMessage
                                                                                      : logMessageHandler);
    registerPacketMetaTypes();
    BlePeripheral peer;
    StandIns::setTether(&peer);

    const TetherInterface::Timings t = TetherInterface::timings();
    printf("BLE link, shipped timings: re-send %d ms, poll %d ms, gap %d ms; notifications of %d bytes\n", t.resend,
           t.poll, t.sendGap, peer.chunkSize);
    struct Reply
    {
        const char *what;
        int size;
    };
    const Reply replies[] = {{"acknowledgement", 2}, {"device info", 31}, {"master status", 79}};
    struct Request
    {
        const char *what;
        int size;
    };
    double measuredTotal = 0;
    double floorTotal = 0;
    for (double interval : {7.5, 30.0}) {
        const int n = interval < 10 ? count : std::max(4, count / 4);
        for (const Reply &reply : replies) {
            const Case c = exchanges(peer, interval, 2, reply.size, n);
            if (c.exchanges == 0) {
                fprintf(stderr, "%s at %.1f ms did not complete\n", reply.what, interval);
                return 1;
            }
            measuredTotal += c.measuredMs * c.exchanges;
            floorTotal += c.floorMs * c.exchanges;
            printf("%4.1f ms interval, %-15s (%3d-byte frame): %6.1f exchanges/s, %7.0f bytes/s; %6.1f ms each, "
                   "floor %6.1f ms, ratio %.3f\n",
                   interval, reply.what, reply.size + 4, 1000.0 / c.measuredMs, c.bytes / (c.measuredMs * c.exchanges) * 1000.0,
                   c.measuredMs, c.floorMs, c.measuredMs / c.floorMs);
        }
        // Long writes: a firmware line and the largest request, each answered by an acknowledgement.
        const Request requests[] = {{"firmware line", FirmwareLinePacketSize}, {"largest request", MaxSerialPacketSize}};
        for (const Request &request : requests) {
            const Case c = exchanges(peer, interval, request.size, 2, std::max(4, n / 4));
            if (c.exchanges == 0) {
                fprintf(stderr, "%s at %.1f ms did not complete\n", request.what, interval);
                return 1;
            }
            measuredTotal += c.measuredMs * c.exchanges;
            floorTotal += c.floorMs * c.exchanges;
            const double writeMs = BlePeripheral::writeSteps(request.size + 4) * interval;
            printf("%4.1f ms interval, %-15s (%3d-byte frame): write %4.0f ms, %s the %d ms re-send; %6.1f ms each, "
                   "floor %6.1f ms, ratio %.3f; %d writes for %d requests\n",
                   interval, request.what, request.size + 4, writeMs, writeMs > t.resend ? "outlasts" : "within",
                   t.resend, c.measuredMs, c.floorMs, c.measuredMs / c.floorMs, c.writes, c.exchanges);
        }
    }

    for (bool honest : {true, false}) {
        int sent = 0;
        const int most = queueUnderTicks(peer, 30.0, 79, 3, honest, &sent);
        printf("100 ms ticks for 3 s, 30 ms interval, status-sized replies, pending counted %s: %d sent, at most %d "
               "waiting\n",
               honest ? "as waiting" : "as always 0", sent, most);
    }

    printf("result: %.3f x floor\n", floorTotal > 0 ? measuredTotal / floorTotal : 0.0);
    return 0;
}

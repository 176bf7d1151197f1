// Reply latency of the serial link: from the moment the fake master has written the last byte
// of a reply to the moment the request's callback runs on the GUI thread, through the real
// worker thread, QSerialPort and a pseudo-terminal. Prints median, 90th and 99th percentile
// and exchanges per second, beside the link thread's own share (reply written until the worker
// has handed it on) and the floor of the same run: the same exchanges through the least a Qt
// program needs, a bare thread whose socket notifier reads the port and hands each reply to
// the main thread by one queued call. Last line: the median latency.
//
//   bench_link [--count N] [--log file|none|filtered] [--baud B] [--burst]
//
// --log file      the program's own log handler (daily log file; the default)
//       none      log messages discarded before formatting
//       filtered  the link's log filter leaves the exchanged types out
// --baud B        the fake master paces its replies at B baud (wire time before each reply)
// --burst         all requests queued at once (each waits for the 3 ms gap) instead of
//                 sending the next one from the previous callback

#include "benchstats.h"
#include "fakemaster.h"
#include "frame.h"
#include "logging.h"
#include "serialconnectioninterface.h"
#include "serialthreadworker.h"

#include <QCoreApplication>
#include <QCommandLineParser>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {
double percentile(std::vector<qint64> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5));
    return double(values[index]) / 1000.0;
}

// The status request and its 78-byte record, as a connection starts with.
void answerStatus(FakeMaster &master)
{
    master.answer(PT_HUBRO_INFO, FakeMaster::Reply(QByteArray(1, char(PT_HUBRO_INFO_ACK)) + QByteArray(78, '\x5a')));
}

// The floor: `total` exchanges one after the other through a bare reader
// thread (a socket notifier on the port, whole frames handed to the main
// thread by one queued call each), the main thread writing the next request
// when a reply comes. Reply written -> main thread, in ns, after `warmup`.
std::vector<qint64> bareLatencies(int total, int warmup, int baud)
{
    std::vector<qint64> latency;
    FakeMaster master;
    if (!master.isValid())
        return latency;
    master.setBaudRate(baud);
    answerStatus(master);
    const int fd = ::open(master.portName().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return latency;
    termios tio{};
    if (tcgetattr(fd, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(fd, TCSANOW, &tio);
    }

    QThread thread;
    QObject reader;
    reader.moveToThread(&thread);
    thread.start();
    QEventLoop loop;
    std::vector<qint64> arrivedNs;
    int sequence = 0;
    const auto sendNext = [&] {
        const QByteArray frame = buildSerialFrame(uint8_t(++sequence), QByteArray(1, char(PT_HUBRO_INFO)));
        if (::write(fd, frame.constData(), size_t(frame.size())) != frame.size())
            loop.quit();
    };
    QByteArray buffer; // reader thread only
    QMetaObject::invokeMethod(
        &reader,
        [&] {
            auto *notifier = new QSocketNotifier(fd, QSocketNotifier::Read, &reader);
            QObject::connect(notifier, &QSocketNotifier::activated, &reader, [&] {
                char bytes[512];
                for (ssize_t n; (n = ::read(fd, bytes, sizeof bytes)) > 0;)
                    buffer.append(bytes, int(n));
                const FrameScan scan = scanFrames(buffer);
                buffer = scan.rest;
                for (int i = 0; i < scan.frames.size(); ++i) {
                    QMetaObject::invokeMethod(&loop, [&] {
                        arrivedNs.push_back(FakeMaster::nowNs());
                        if (int(arrivedNs.size()) == total)
                            loop.quit();
                        else
                            sendNext();
                    }, Qt::QueuedConnection);
                }
            });
        },
        Qt::BlockingQueuedConnection);
    QTimer::singleShot(0, &loop, sendNext);
    QTimer::singleShot(600000, &loop, &QEventLoop::quit);
    loop.exec();
    QMetaObject::invokeMethod(&reader, [&reader] { qDeleteAll(reader.children()); }, Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
    ::close(fd);

    const QVector<FakeMaster::Received> log = master.received();
    if (int(arrivedNs.size()) != total || log.size() < total)
        return {};
    for (int i = warmup; i < total; ++i)
        latency.push_back(arrivedNs[size_t(i)] - log.at(i).replyWrittenNs);
    return latency;
}
} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit()); // the log file goes to a throw-away folder
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Zorvo"));
    QCoreApplication::setApplicationName(QStringLiteral("ZentarConfiguratorBench"));

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("count"), QStringLiteral("Measured exchanges."), QStringLiteral("n"), QStringLiteral("2000")});
    parser.addOption({QStringLiteral("log"), QStringLiteral("file, none or filtered."), QStringLiteral("mode"), QStringLiteral("file")});
    parser.addOption({QStringLiteral("baud"), QStringLiteral("Pace replies at this baud rate."), QStringLiteral("baud"), QStringLiteral("0")});
    parser.addOption({QStringLiteral("burst"), QStringLiteral("Queue all requests at once.")});
    parser.process(app);
    const int count = std::max(1, parser.value(QStringLiteral("count")).toInt());
    const QString logMode = parser.value(QStringLiteral("log"));
    const bool burst = parser.isSet(QStringLiteral("burst"));
    const int warmup = 50;
    const int total = count + warmup;

    if (logMode == QLatin1String("none"))
        qInstallMessageHandler(discardMessage);
    else
        qInstallMessageHandler(logMessageHandler);

    FakeMaster master;
    if (!master.isValid()) {
        fprintf(stderr, "no pseudo-terminal\n");
        return 1;
    }
    const int baud = parser.value(QStringLiteral("baud")).toInt();
    master.setBaudRate(baud);
    answerStatus(master);

    SerialConnectionInterface link(Serial, MasterOrdinary);
    if (!link.connectToDevice(master.portName())) {
        fprintf(stderr, "cannot open %s\n", qPrintable(master.portName()));
        return 1;
    }
    if (logMode == QLatin1String("filtered"))
        link.setLogFilter({PT_HUBRO_INFO, PT_HUBRO_INFO_ACK});
    int lost = 0;
    QObject::connect(&link, &ConnectionInterface::connectionLost, &app, [&] {
        lost = 1;
        app.quit();
    });

    // When the worker hands each reply on (link thread, right after the queued post).
    std::vector<qint64> emittedNs;
    emittedNs.reserve(size_t(total));
    QObject::connect(link.worker(), &SerialThreadWorker::packetReceived, link.worker(),
                     [&emittedNs](const Packet &, const ResponseCb &) { emittedNs.push_back(FakeMaster::nowNs()); },
                     Qt::DirectConnection);

    std::vector<qint64> callbackNs;
    callbackNs.reserve(size_t(total));
    qint64 startNs = 0;
    qint64 endNs = 0;
    const QByteArray request(1, char(PT_HUBRO_INFO));
    std::function<bool(const Packet &)> callback = [&](const Packet &) {
        callbackNs.push_back(FakeMaster::nowNs());
        const int done = int(callbackNs.size());
        if (done == warmup)
            startNs = callbackNs.back();
        if (done == total) {
            endNs = callbackNs.back();
            app.quit();
        } else if (!burst) {
            link.sendPacket(request, callback);
        }
        return true;
    };
    QTimer::singleShot(0, &app, [&] {
        for (int i = 0; i < (burst ? total : 1); ++i)
            link.sendPacket(request, callback);
    });
    QTimer::singleShot(600000, &app, [&] { app.quit(); });
    app.exec();
    link.disconnectFromDevice();

    const QVector<FakeMaster::Received> log = master.received();
    if (lost || int(callbackNs.size()) != total || int(emittedNs.size()) != total || log.size() != total) {
        fprintf(stderr, "incomplete run: %zu callbacks, %d requests seen by the master, link lost: %d\n",
                callbackNs.size(), log.size(), lost);
        return 1;
    }
    std::vector<qint64> latency, toWorker;
    for (int i = warmup; i < total; ++i) {
        latency.push_back(callbackNs[size_t(i)] - log.at(i).replyWrittenNs);
        toWorker.push_back(emittedNs[size_t(i)] - log.at(i).replyWrittenNs);
    }

    const double seconds = double(endNs - startNs) / 1e9;
    printf("exchanges: %d (after %d warm-up), log: %s, baud: %s, mode: %s\n", count, warmup, qPrintable(logMode),
           qPrintable(parser.value(QStringLiteral("baud"))), burst ? "burst" : "one at a time");
    printf("reply written -> callback on GUI thread (us): median %.1f, p90 %.1f, p99 %.1f, max %.1f\n",
           percentile(latency, 0.5), percentile(latency, 0.9), percentile(latency, 0.99), percentile(latency, 1.0));
    // Taken just after the worker posted the reply to the GUI thread: an upper bound of the link thread's share.
    printf("  reply written -> worker has handed it on (us): median %.1f, p99 %.1f\n", percentile(toWorker, 0.5),
           percentile(toWorker, 0.99));
    printf("exchanges per second: %.0f\n", seconds > 0 ? double(count - 1) / seconds : 0.0);
    const std::vector<qint64> floor = bareLatencies(total, warmup, baud);
    if (floor.empty()) {
        fprintf(stderr, "incomplete floor run\n");
        return 1;
    }
    printf("floor, a bare reader thread and one queued call (us): median %.1f, p99 %.1f; the link's median %.2f x "
           "floor\n",
           percentile(floor, 0.5), percentile(floor, 0.99), percentile(latency, 0.5) / percentile(floor, 0.5));
    printf("result: %.1f us\n", percentile(latency, 0.5));
    return 0;
}

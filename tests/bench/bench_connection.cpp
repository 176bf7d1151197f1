// Initial read of a full 125-device master through the live connection: from
// connectToMaster until the last of the 125 devices has been reported, with
// the fake master pacing its requests and replies at the serial link's baud
// rate. Printed beside the floor that the wire itself sets: every request's and
// reply's bytes at 10 bits a byte, plus the link's 3 ms gap before each request
// after the first. Last line: the median of the runs' measured/floor. The fake
// master's thread asks for a real-time priority, as the link's thread does, so
// that on a busy machine its own wake-ups do not count as the program's.
//
//   bench_connection [--runs N] [--baud B] [--log file|none]
//
// --log file  the program's own log handler (daily log file; the default)
//       none  log messages discarded before formatting

#include "benchread.h"
#include "benchstats.h"
#include "appglobals.h"
#include "deviceconnection.h"
#include "deviceitem.h"
#include "logging.h"
#include "masterbench.h"
#include "mastersim.h"
#include "registerdeviceclasses.h"
#include "serialthreadworker.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
struct Result
{
    double measuredMs = 0;
    double floorMs = 0;
    int requests = 0;
    qint64 replyBytes = 0;
    qint64 requestBytes = 0;
    double openMs = 0;       // connectToMaster -> the status request on the wire
    double turnaroundMs = 0; // mean: reply written -> next request received
    double tailMs = 0;       // last reply written -> last device reported
    bool complete = false;
    bool masterRaised = false; // the fake master's thread on a real-time priority
};

Result runOnce(int baud, int devices)
{
    Result result;
    SimMaster sim(healthyRecord());
    if (!sim.fake.isValid()) {
        fprintf(stderr, "no pseudo-terminal\n");
        return result;
    }
    fillMixedInstallation(sim, devices, baud);
    // The fake master stands in for hardware, which a busy machine does not slow down.
    result.masterRaised = sim.fake.raiseThreadPriority();

    DeviceConnection connection;
    int connected = 0;
    qint64 endNs = 0;
    QEventLoop loop;
    QObject::connect(&connection, &Connection::deviceConnected, &loop, [&] {
        if (++connected == devices) {
            endNs = FakeMaster::nowNs();
            loop.quit();
        }
    });
    QObject::connect(&connection, &Connection::connectionLost, &loop, &QEventLoop::quit);
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);

    const qint64 startNs = FakeMaster::nowNs();
    if (!connection.connectToMaster(Serial, sim.address(), MasterOrdinary)) {
        fprintf(stderr, "cannot open %s\n", qPrintable(sim.address()));
        return result;
    }
    loop.exec();
    result.complete = connected == devices;
    const QVector<FakeMaster::Received> log = sim.fake.received();
    const QVector<int> bytes = sim.replyWireBytes();
    connection.forceDisconnect();
    if (!result.complete)
        return result;

    // Every exchange whose reply was on the wire before the end.
    qint64 turnaroundNs = 0;
    qint64 lastReplyNs = 0;
    for (int i = 0; i < log.size() && i < bytes.size(); ++i) {
        if (log.at(i).replyWrittenNs == 0 || log.at(i).replyWrittenNs > endNs)
            continue;
        ++result.requests;
        result.replyBytes += bytes.at(i);
        result.requestBytes += log.at(i).raw.size();
        if (lastReplyNs)
            turnaroundNs += log.at(i).receivedNs - lastReplyNs;
        lastReplyNs = log.at(i).replyWrittenNs;
    }
    if (!log.isEmpty())
        result.openMs = double(log.first().receivedNs - startNs) / 1e6;
    if (result.requests > 1)
        result.turnaroundMs = double(turnaroundNs) / 1e6 / (result.requests - 1);
    result.tailMs = double(endNs - lastReplyNs) / 1e6;
    const double wireMs =
        baud > 0 ? double(result.replyBytes + result.requestBytes) * 10.0 * 1000.0 / baud : 0.0;
    result.floorMs = wireMs + double(std::max(0, result.requests - 1)) * SerialThreadWorker::SendGapMs;
    result.measuredMs = double(endNs - startNs) / 1e6;
    return result;
}
} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home;
    useBenchHome(home);
    QApplication app(argc, argv);

    QCommandLineParser parser;
    parser.addHelpOption();
    LinkBenchOptions::add(parser, 5, SerialThreadWorker::SerialBaudRate,
                          QStringLiteral("Pace requests and replies at this baud rate."));
    parser.process(app);
    const LinkBenchOptions options = LinkBenchOptions::read(parser);
    const int runs = options.runs;
    const int baud = options.baud;
    const QString logMode = options.logMode;
    qInstallMessageHandler(options.logDiscarded() ? discardMessage : logMessageHandler);

    registerDeviceModelNames();
    registerDeviceClasses();
    // The master item's own later requests (status refresh, firmware headers)
    // stay as the program has them.
    constexpr int Devices = 125;

    printf("initial read of a %d-device master, requests and replies paced at %d baud, log: %s\n", Devices, baud,
           qPrintable(logMode));
    std::vector<double> ratios;
    for (int run = 0; run < runs; ++run) {
        const Result r = runOnce(baud, Devices);
        if (!r.complete) {
            fprintf(stderr, "run %d incomplete\n", run + 1);
            return 1;
        }
        const double ratio = r.floorMs > 0 ? r.measuredMs / r.floorMs : 0.0;
        ratios.push_back(ratio);
        if (run == 0)
            printf("fake master's thread %s\n",
                   r.masterRaised ? "on a real-time priority"
                                  : "at its ordinary priority (refused): its own delays on a busy machine count");
        printf("run %d: measured %.1f ms, floor %.1f ms (%d exchanges, %lld request and %lld reply bytes), ratio "
               "%.3f\n",
               run + 1, r.measuredMs, r.floorMs, r.requests, static_cast<long long>(r.requestBytes),
               static_cast<long long>(r.replyBytes), ratio);
        printf("  opening %.1f ms, reply -> next request %.2f ms on average (gap %d ms), last reply -> last "
               "device %.1f ms\n",
               r.openMs, r.turnaroundMs, SerialThreadWorker::SendGapMs, r.tailMs);
    }
    std::sort(ratios.begin(), ratios.end());
    printf("ratio: best %.3f, median %.3f, worst %.3f (goal 1.100 or below)\n", ratios.front(),
           ratios[ratios.size() / 2], ratios.back());
    printf("result: %.3f x floor\n", ratios[ratios.size() / 2]);
    return 0;
}

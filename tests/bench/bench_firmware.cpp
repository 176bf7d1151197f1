// A 256 KiB firmware container (2048 lines of 128 bytes) uploaded into the
// simulated master through the upload manager and the serial link, the fake
// master pacing requests and replies at the serial link's baud rate. From
// upload() to uploadFinished, printed beside the floor the wire itself sets:
// every byte of every frame both ways at 10 bits a byte, plus the manager's
// fixed 300 ms waits before the pings (one before the lines, one after them).
// One line per packet, stop-and-wait, the shipped timers. A second run starts
// the same upload from the firmware dock (the process-wide manager, the dock's
// status line and progress bar following every line). Each run also prints
// the GUI thread's CPU time over the upload (CLOCK_THREAD_CPUTIME_ID); the
// dock's own share is the difference between the two.
//
//   bench_firmware [--runs N] [--lines N] [--line-size B] [--baud B] [--log file|none]

#include "benchstats.h"
#include "containerbuilder.h"
#include "firmwareuploadmanager.h"
#include "logging.h"
#include "serialconnectioninterface.h"
#include "serialthreadworker.h"
#include "simfirmware.h"
#include "updatestatusdock.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct Result
{
    bool complete = false;
    double measuredMs = 0;
    double floorMs = 0;
    int frames = 0;
    qint64 requestBytes = 0;
    qint64 replyBytes = 0;
    double turnaroundMs = 0; // mean: reply written -> next request received
    double guiCpuMs = 0;     // the GUI thread's CPU time from upload() to uploadFinished
};

pVORL bigContainer(int lines, int lineSize)
{
    ContainerBuilder builder;
    builder.flags(0x03).key(countingKey());
    const int data = lineSize - 5;
    for (int i = 0; i < lines; ++i) {
        QByteArray bytes(data, '\0');
        for (int j = 0; j < data; ++j)
            bytes[j] = char((i * 31 + j * 7) & 0xFF);
        builder.record(recordV2(0x08000000u + quint32(i * data), bytes));
    }
    return builder.parse();
}

Result runOnce(const pVORL &firmware, int baud, bool fromDock)
{
    Result result;
    hubroInfo_t status;
    std::memset(&status, 0, sizeof status);
    status.bDevType = 40; // only firmware packets are exchanged
    SimMaster sim(status);
    if (!sim.fake.isValid()) {
        fprintf(stderr, "no pseudo-terminal\n");
        return result;
    }
    SimFirmware simFirmware(sim);
    sim.fake.setBaudRate(baud);

    SerialConnectionInterface link(Serial, MasterOrdinary);
    if (!link.connectToDevice(sim.address())) {
        fprintf(stderr, "cannot open %s\n", qPrintable(sim.address()));
        return result;
    }
    FirmwareUploadManager own;
    FirmwareUploadManager &manager = fromDock ? *FirmwareUploadManager::instance() : own;
    QObject::connect(&manager, &FirmwareUploadManager::sendPacket, &link, &ConnectionInterface::sendPacket);
    QObject::connect(&manager, &FirmwareUploadManager::sendRun, &link, &ConnectionInterface::sendRun);
    std::unique_ptr<UpdateStatusDock> dock;
    if (fromDock) {
        dock = std::make_unique<UpdateStatusDock>();
        dock->setConnectionKind(Serial);
        dock->show();
    }

    QEventLoop loop;
    qint64 endNs = 0;
    QObject::connect(&manager, &FirmwareUploadManager::uploadFinished, &loop, [&] {
        endNs = FakeMaster::nowNs();
        loop.quit();
    });
    QObject::connect(&manager, &FirmwareUploadManager::uploadError, &loop, &QEventLoop::quit);
    QTimer::singleShot(600000, &loop, &QEventLoop::quit);

    const double cpuStart = threadCpuMs();
    double cpuEnd = 0;
    QObject::connect(&manager, &FirmwareUploadManager::uploadFinished, &loop, [&] { cpuEnd = threadCpuMs(); });
    const qint64 startNs = FakeMaster::nowNs();
    if (dock)
        dock->nextFirmware(firmware);
    else
        manager.upload(firmware);
    loop.exec();
    result.guiCpuMs = cpuEnd - cpuStart;
    QObject::disconnect(&manager, nullptr, &link, nullptr);
    QObject::disconnect(&manager, nullptr, &loop, nullptr);
    const QVector<FakeMaster::Received> log = sim.fake.received();
    const QVector<int> replyBytes = sim.replyWireBytes();
    result.complete = endNs != 0 && simFirmware.lines() == firmware->lines();
    if (!result.complete)
        return result;

    qint64 turnaroundNs = 0;
    int turnarounds = 0;
    for (int i = 0; i < log.size() && i < replyBytes.size(); ++i) {
        ++result.frames;
        result.requestBytes += log.at(i).raw.size();
        result.replyBytes += replyBytes.at(i);
        // Requests sent at once on a reply (not after a ping's wait).
        if (i > 0 && log.at(i).type() != PT_FW_UPLOAD_PING) {
            turnaroundNs += log.at(i).receivedNs - log.at(i - 1).replyWrittenNs;
            ++turnarounds;
        }
    }
    const FirmwareTimings timings = manager.timings();
    const double waitsMs = 2.0 * timings.uploadPing;
    result.floorMs = double(result.requestBytes + result.replyBytes) * 10.0 * 1000.0 / baud + waitsMs;
    result.measuredMs = double(endNs - startNs) / 1e6;
    result.turnaroundMs = turnarounds ? double(turnaroundNs) / 1e6 / turnarounds : 0.0;
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
    LinkBenchOptions::add(parser, 1, SerialThreadWorker::SerialBaudRate,
                          QStringLiteral("Pace requests and replies at this baud rate."));
    parser.addOption({QStringLiteral("lines"), QStringLiteral("Data lines of the container."), QStringLiteral("n"),
                      QStringLiteral("2048")});
    parser.addOption({QStringLiteral("line-size"), QStringLiteral("Bytes of a data line."), QStringLiteral("bytes"),
                      QStringLiteral("128")});
    parser.process(app);
    const LinkBenchOptions options = LinkBenchOptions::read(parser);
    const int lines = std::max(1, parser.value(QStringLiteral("lines")).toInt());
    const int lineSize = std::clamp(parser.value(QStringLiteral("line-size")).toInt(), 6, 246);
    const int baud = std::max(1, options.baud);
    qInstallMessageHandler(options.logDiscarded() ? discardMessage : logMessageHandler);
    registerFirmwareMetaTypes();

    const pVORL firmware = bigContainer(lines, lineSize);
    printf("container: %d lines of %d bytes (%d KiB), %d baud both ways, log %s\n", lines, lineSize,
           lines * lineSize / 1024, baud, qPrintable(options.logMode));
    std::vector<double> ratios;
    std::vector<double> dockRatios;
    std::vector<double> cpuMs;
    std::vector<double> dockCpuMs;
    for (int run = 0; run < options.runs; ++run) {
        for (const bool fromDock : {false, true}) {
            const Result r = runOnce(firmware, baud, fromDock);
            if (!r.complete) {
                fprintf(stderr, "run %d incomplete\n", run + 1);
                return 1;
            }
            const double ratio = r.measuredMs / r.floorMs;
            (fromDock ? dockRatios : ratios).push_back(ratio);
            (fromDock ? dockCpuMs : cpuMs).push_back(r.guiCpuMs);
            printf("run %d %s: measured %.1f ms, floor %.1f ms (%d frames, %lld request and %lld reply bytes), "
                   "ratio %.3f\n",
                   run + 1, fromDock ? "from the dock" : "manager alone", r.measuredMs, r.floorMs, r.frames,
                   static_cast<long long>(r.requestBytes), static_cast<long long>(r.replyBytes), ratio);
            printf("  reply -> next request %.3f ms on average; GUI-thread CPU %.1f ms\n", r.turnaroundMs, r.guiCpuMs);
            fflush(stdout);
        }
    }
    printf("manager alone: %.3f x floor\n", median(ratios));
    printf("from the dock: %.3f x floor\n", median(dockRatios));
    printf("GUI-thread CPU per upload: manager alone %.1f ms, from the dock %.1f ms (medians)\n", median(cpuMs),
           median(dockCpuMs));
    printf("result: %.3f x floor\n", median(dockRatios));
    return 0;
}

// Building device items: what one item of the common classes costs, and what
// that makes of opening a configuration file in the main window.
//
//   bench_items [--items N] [--rounds R]
//
// Instructions: the program runs itself again under callgrind (valgrind on
// the PATH), which counts only the building of N items (100): the twelve
// types of the generated configuration file in turn. Beside them, as the
// floor, the same number of plain items (the base class, no description).
// Opening: the generated configuration file with 125 devices opened in the
// shown main window (offscreen) against the same file with 12 devices, from
// the open until the events it posted are handled: the instructions of one
// open of each, counted by callgrind after a first open of both, and their
// ratio (goal: 2 or below); then R rounds (5) of each in turn, timed: wall
// and GUI-thread CPU time, min/median/max, and the ratio of the medians.
// Last line: result: <instructions per item> instr/item (goal: 600000 or below).

#include "appglobals.h"
#include "connection.h"
#include "benchstats.h"
#include "configurationfixture.h"
#include "deviceclasses.h"
#include "deviceitem.h"
#include "mainwindow.h"
#include "registerdeviceclasses.h"
#include "registermasterclass.h"
#include "resources.h"
#include "uiseams.h"
#include "windowbench.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

// Outside any namespace, never inlined: callgrind collects from their entry to their return.
__attribute__((noinline)) void benchBuildItems(std::vector<std::unique_ptr<DeviceItem>> &items, int count,
                                               bool plain)
{
    for (int i = 0; i < count; ++i) {
        const deviceInfo_t info = ConfigurationFixture::deviceRecord(i);
        items.emplace_back(plain ? new DeviceItem(info, false) : createDeviceItem(info, false));
    }
}

// Opens the file in the window until the events the open posted are handled.
void openFile(MainWindow &window, const QString &path, int devices)
{
    if (!window.establishConnection(File, path) || window.currentConnection()->devices().size() != devices)
        qFatal("%s did not open whole", qPrintable(path));
    QCoreApplication::processEvents();
}

// The one open callgrind counts (the first opens of both files are not).
__attribute__((noinline)) void benchOpenFile(MainWindow &window, const QString &path, int devices)
{
    openFile(window, path, devices);
}

namespace {

double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// Instructions callgrind counted in `function` with the program run again
// with `arguments`; -1 on failure.
double countInstructions(const QString &dir, const QString &function, const QStringList &arguments)
{
    const QString valgrind = QStandardPaths::findExecutable(QStringLiteral("valgrind"));
    if (valgrind.isEmpty())
        return -1;
    const QString out = dir + QStringLiteral("/callgrind.") + arguments.join(QLatin1Char('.'));
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(valgrind, QStringList{QStringLiteral("--tool=callgrind"), QStringLiteral("--collect-atstart=no"),
                                        QStringLiteral("--toggle-collect=") + function + QLatin1Char('*'),
                                        QStringLiteral("--callgrind-out-file=") + out,
                                        QStringLiteral("--log-file=/dev/null"), QCoreApplication::applicationFilePath()}
                                + arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return -1;
    QFile file(out);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QRegularExpression totals(QStringLiteral("^(?:totals|summary): (\\d+)"),
                                    QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = totals.match(QString::fromLatin1(file.readAll()));
    return match.hasMatch() ? match.captured(1).toDouble() : -1;
}

bool writeConfiguration(const QString &path, int devices)
{
    const QByteArray bytes = ConfigurationJson::toBytes(ConfigurationFixture::document(devices));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

struct Open
{
    double wallMs = 0;
    double cpuMs = 0;
};

// Opens the file in the window, then closes it (not timed); `counted`: the
// open callgrind counts.
Open openInWindow(MainWindow &window, const QString &path, int devices, bool counted = false)
{
    Open open;
    QElapsedTimer timer;
    const double cpu = threadCpuMs();
    timer.start();
    if (counted)
        benchOpenFile(window, path, devices);
    else
        openFile(window, path, devices);
    open.wallMs = timer.nsecsElapsed() / 1e6;
    open.cpuMs = threadCpuMs() - cpu;
    window.deviceClose();
    settle();
    return open;
}

// The shown window with the two files, each opened once.
struct WindowBench
{
    WindowBench()
    {
        if (!writeConfiguration(small, 12) || !writeConfiguration(full, 125))
            qFatal("cannot write the configuration files");
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qFatal("the window was not shown");
        settle();
        openInWindow(window, small, 12); // fonts, style, first pictures
        openInWindow(window, full, 125);
    }

    QTemporaryDir dir;
    const QString small = dir.filePath(QStringLiteral("devices12.conf"));
    const QString full = dir.filePath(QStringLiteral("devices125.conf"));
    MainWindow window{QString()};
};

// Under callgrind: builds the items, or opens one file in the window; only
// that is collected. The fonts and the style are set up before, as the
// window has them.
int runUnderCallgrind(const QString &what, int count)
{
    if (what == QLatin1String("classes") || what == QLatin1String("plain")) {
        QWidget().ensurePolished();
        std::vector<std::unique_ptr<DeviceItem>> items;
        items.reserve(size_t(count));
        benchBuildItems(items, count, what == QLatin1String("plain"));
        return int(items.size()) == count ? 0 : 1;
    }
    // Under callgrind an open takes seconds of wall time: the check the window
    // runs two seconds after a connection (an earlier open's included) would
    // fall into the count in some runs and not in others.
    MainWindow::setPostConnectionDelay(10 * 60 * 1000);
    WindowBench bench;
    const bool full = what == QLatin1String("open125");
    openInWindow(bench.window, full ? bench.full : bench.small, full ? 125 : 12, true);
    return 0;
}

struct Spread
{
    double min = 0;
    double median = 0;
    double max = 0;
};

Spread spreadOf(const std::vector<double> &values)
{
    return {*std::min_element(values.begin(), values.end()), median(values), worst(values)};
}
} // namespace

int main(int argc, char **argv)
{
    const bool underCallgrind = [argc, argv] {
        for (int i = 1; i < argc; ++i)
            if (qstrcmp(argv[i], "--build") == 0)
                return true;
        return false;
    }();
    if (!underCallgrind) {
        const int isolated = runIsolated(argv);
        if (isolated >= 0)
            return isolated;
    }
    initTandrelResources();
    QApplication app(argc, argv);
    qInstallMessageHandler(discardMessage);

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("items"), QStringLiteral("Items built under callgrind."), QStringLiteral("n"),
                      QStringLiteral("100")});
    parser.addOption({QStringLiteral("rounds"), QStringLiteral("Opens of each file."), QStringLiteral("n"),
                      QStringLiteral("5")});
    parser.addOption({QStringLiteral("build"), QStringLiteral("(internal) classes, plain, open12 or open125."),
                      QStringLiteral("kind")});
    parser.process(app);
    const int items = std::max(1, parser.value(QStringLiteral("items")).toInt());
    const int rounds = std::max(1, parser.value(QStringLiteral("rounds")).toInt());

    prepareWindowBench();
    if (underCallgrind)
        return runUnderCallgrind(parser.value(QStringLiteral("build")), items);

    QTemporaryDir dir;
    std::printf("configuration files of 12 and 125 devices opened in the main window\n");
    const double open12 = countInstructions(dir.path(), QStringLiteral("benchOpenFile"),
                                            {QStringLiteral("--build"), QStringLiteral("open12")});
    const double open125 = countInstructions(dir.path(), QStringLiteral("benchOpenFile"),
                                             {QStringLiteral("--build"), QStringLiteral("open125")});
    if (open12 < 0 || open125 < 0) {
        std::fprintf(stderr, "callgrind did not count (is valgrind installed?)\n");
        return 1;
    }
    std::printf("instructions, counted by callgrind: 12 devices %.0f, 125 devices %.0f, 125 against 12: %.2f "
                "(goal 2 or below)\n",
                open12, open125, open125 / open12);
    std::printf("timed, %d rounds each:\n", rounds);
    {
        WindowBench bench;
        std::vector<double> wall12, wall125, cpu12, cpu125;
        for (int round = 0; round < rounds; ++round) {
            const Open a = openInWindow(bench.window, bench.small, 12);
            const Open b = openInWindow(bench.window, bench.full, 125);
            wall12.push_back(a.wallMs);
            cpu12.push_back(a.cpuMs);
            wall125.push_back(b.wallMs);
            cpu125.push_back(b.cpuMs);
        }
        for (const auto &row : {std::make_pair("12 devices", std::make_pair(wall12, cpu12)),
                                std::make_pair("125 devices", std::make_pair(wall125, cpu125))}) {
            const Spread wall = spreadOf(row.second.first);
            const Spread cpu = spreadOf(row.second.second);
            std::printf("%-12s wall min/median/max %.1f/%.1f/%.1f ms, GUI-thread CPU %.1f/%.1f/%.1f ms\n", row.first,
                        wall.min, wall.median, wall.max, cpu.min, cpu.median, cpu.max);
        }
        std::printf("125 against 12 devices (medians): wall %.2f, CPU %.2f (goal 2 or below)\n",
                    median(wall125) / median(wall12), median(cpu125) / median(cpu12));
    }

    std::printf("instructions of building %d items, counted by callgrind\n", items);
    const QStringList count{QStringLiteral("--items"), QString::number(items)};
    const double classes = countInstructions(dir.path(), QStringLiteral("benchBuildItems"),
                                             QStringList{QStringLiteral("--build"), QStringLiteral("classes")} + count);
    const double plain = countInstructions(dir.path(), QStringLiteral("benchBuildItems"),
                                           QStringList{QStringLiteral("--build"), QStringLiteral("plain")} + count);
    if (classes < 0 || plain < 0) {
        std::fprintf(stderr, "callgrind did not count (is valgrind installed?)\n");
        return 1;
    }
    std::printf("plain items (floor): %.0f instr/item\n", plain / items);
    std::printf("items of the twelve common types: %.0f instr/item (goal 600000 or below)\n", classes / items);
    std::printf("result: %.0f instr/item\n", classes / items);
    return 0;
}

#pragma once

// Shared pieces of the benchmark programs: round summaries in milliseconds,
// a message handler that keeps log output out of the timings, the round count.

#include <QByteArray>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QtGlobal>

#include <algorithm>
#include <vector>

#include <cstdlib>
#include <ctime>
#include <sys/wait.h>
#include <unistd.h>

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// CPU time the calling thread has used, in milliseconds.
inline double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

inline double worst(const std::vector<double> &values)
{
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

// Before the application object: settings and logs go to the throw-away
// folder, and windows to the offscreen platform unless one is chosen.
inline void discardMessage(QtMsgType, const QMessageLogContext &, const QString &) {}

// The "--rounds N" option (default 20, at least 1) of a program without other options.
inline int roundsFromArguments(const QCoreApplication &app, const QString &help)
{
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption roundsOption(QStringLiteral("rounds"), help, QStringLiteral("N"), QStringLiteral("20"));
    parser.addOption(roundsOption);
    parser.process(app);
    return qMax(1, parser.value(roundsOption).toInt());
}

// Before the application object: settings and the daily log go to the
// throw-away folder `home` under the benchmark's own application name; the
// platform is offscreen unless one is chosen.
inline void useBenchHome(const QTemporaryDir &home)
{
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication::setOrganizationName(QStringLiteral("Zorvo"));
    QCoreApplication::setApplicationName(QStringLiteral("ZentarConfiguratorBench"));
}

// Runs the benchmark once more as a child process with its own settings and
// data folders and the offscreen platform (unless one is chosen), and
// returns the child's exit code; returns -1 in the child itself, which goes
// on. The program's settings store is made before main runs, so only a new
// process sees the throw-away folders.
inline int runIsolated(char **argv)
{
    if (qEnvironmentVariableIsSet("TANDREL_BENCH_ISOLATED"))
        return -1;
    QByteArray home = QDir::tempPath().toLocal8Bit() + "/tandrel-bench-XXXXXX";
    if (!mkdtemp(home.data()))
        return 1;
    qputenv("TANDREL_BENCH_ISOLATED", "1");
    qputenv("XDG_CONFIG_HOME", home + "/config");
    qputenv("XDG_DATA_HOME", home + "/data");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int status = 1;
    const pid_t child = fork();
    if (child == 0) {
        execv("/proc/self/exe", argv);
        _exit(127);
    }
    if (child > 0)
        waitpid(child, &status, 0);
    QDir(QString::fromLocal8Bit(home)).removeRecursively();
    return child > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

// The options of the benchmarks on the fake master: measured runs, the baud
// rate it paces at, and the log (the program's handler, or none).
struct LinkBenchOptions
{
    int runs = 1;
    int baud = 0;
    QString logMode;

    static void add(QCommandLineParser &parser, int defaultRuns, int defaultBaud, const QString &baudHelp)
    {
        parser.addOption({QStringLiteral("runs"), QStringLiteral("Measured runs."), QStringLiteral("n"),
                          QString::number(defaultRuns)});
        parser.addOption({QStringLiteral("baud"), baudHelp, QStringLiteral("baud"), QString::number(defaultBaud)});
        parser.addOption(
            {QStringLiteral("log"), QStringLiteral("file or none."), QStringLiteral("mode"), QStringLiteral("file")});
    }
    static LinkBenchOptions read(const QCommandLineParser &parser)
    {
        LinkBenchOptions options;
        options.runs = std::max(1, parser.value(QStringLiteral("runs")).toInt());
        options.baud = parser.value(QStringLiteral("baud")).toInt();
        options.logMode = parser.value(QStringLiteral("log"));
        return options;
    }
    bool logDiscarded() const { return logMode == QLatin1String("none"); }
};

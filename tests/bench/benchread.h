#pragma once

// What the benchmarks of a master's initial read share: the fake master filled
// with a mixed installation, and the --baud and --log options.

#include "benchstats.h"
#include "logging.h"
#include "mastersim.h"
#include "serialthreadworker.h"

#include <QCommandLineParser>
#include <QTemporaryDir>

// Device types of a mixed installation, repeated over the addresses.
inline quint8 mixedDeviceType(int address)
{
    static const quint8 types[] = {4, 3, 32, 12, 20, 30, 4, 32};
    return types[address % int(sizeof types)];
}

// Devices 0 .. devices - 1 of a mixed installation; replies paced at `baud`.
inline void fillMixedInstallation(SimMaster &sim, int devices, int baud)
{
    for (int address = 0; address < devices; ++address)
        sim.setDevice(simDevice(quint8(address), mixedDeviceType(address)));
    sim.fake.setBaudRate(baud);
}

// Before the application is made: settings, log files and data go to
// folders inside `home`; the offscreen platform unless another is asked for.
inline void prepareBenchEnvironment(const QTemporaryDir &home)
{
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// After it: the names that place the settings and the log.
inline void nameBenchApplication()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Zorvo"));
    QCoreApplication::setApplicationName(QStringLiteral("ZentarConfiguratorBench"));
}

// --runs N, --baud B and --log MODE.
inline void addReadOptions(QCommandLineParser &parser, int defaultRuns)
{
    parser.addOption({QStringLiteral("runs"), QStringLiteral("Measured runs."), QStringLiteral("n"),
                      QString::number(defaultRuns)});
    parser.addOption({QStringLiteral("baud"), QStringLiteral("Pace replies at this baud rate."), QStringLiteral("baud"),
                      QString::number(SerialThreadWorker::SerialBaudRate)});
    parser.addOption(
        {QStringLiteral("log"), QStringLiteral("file or none."), QStringLiteral("mode"), QStringLiteral("file")});
}

// --log file: the program's own log handler (daily log file); none: log
// messages discarded before formatting. Returns the mode.
inline QString installLogMode(const QCommandLineParser &parser)
{
    const QString mode = parser.value(QStringLiteral("log"));
    qInstallMessageHandler(mode == QLatin1String("none") ? discardMessage : logMessageHandler);
    return mode;
}

#pragma once

// Shared pieces of the benchmark programs: round summaries in milliseconds,
// a message handler that keeps log output out of the timings, the round count.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QtGlobal>

#include <algorithm>
#include <vector>

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

inline double worst(const std::vector<double> &values)
{
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

// Before the application object: settings and logs go to the throw-away
// folder, and windows to the offscreen platform unless one is chosen.
inline void useThrowAwayHomeOffscreen(const QString &home)
{
    qputenv("XDG_CONFIG_HOME", home.toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

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

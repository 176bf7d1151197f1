#pragma once

// Shared by the libFuzzer targets: a broken invariant traps, so libFuzzer
// keeps the input as a crash; an offscreen application for the targets that
// make items (widgets, pictures and translations need one).

#include <QApplication>
#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

inline void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

inline QByteArray inputBytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), int(size));
}

// The input as a JSON object; false when it is none.
inline bool inputObject(const QByteArray &bytes, QJsonObject *object)
{
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    if (!document.isObject())
        return false;
    *object = document.object();
    return true;
}

// Log lines of the code under test would only slow the runs down.
// Also: no JIT for regular expressions, whose code the leak checker cannot
// look into (what it holds would be reported as leaked).
inline void quietLog()
{
    ::setenv("QT_ENABLE_REGEXP_JIT", "0", 1);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
}

inline void startApplication()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Never destroyed: what it holds stays reachable, no leak at the end.
    static QApplication *application = new QApplication(argc, argv);
    (void)application;
    quietLog();
}

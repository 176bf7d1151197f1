// Helper program of the measurement database tests.
//
//   tandrel_dbwriter write SERIAL INTERVAL_MS [DEVICES FIELDS]
//       A session collector in its own thread, wired as the main window wires
//       it, with the stored choice "4:S" = wValue, wValue1, ... (FIELDS names,
//       default 1) for the DEVICES serial numbers S from SERIAL on (default
//       1), all entered as devices that connect are. Prints "open PATH" once
//       the session database is open, then hands over the values 1, 2, 3,
//       ... one per interval, each to every device and field, and prints
//       "value N MS" after each, MS being the monotonic clock in
//       milliseconds. Runs until killed.
//
//   tandrel_dbwriter lock PATH
//       Holds an exclusive lock on the database file; prints "locked", and
//       lets go when a line (or the end) arrives on its standard input.

#include "deviceinfocollector.h"
#include "settings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QTimer>

#include <cstdio>

namespace {

// The system's monotonic clock, comparable between processes.
qint64 monotonicMs()
{
    QElapsedTimer clock;
    clock.start();
    return clock.msecsSinceReference();
}

QString fieldName(int field)
{
    return field ? QStringLiteral("wValue%1").arg(field) : QStringLiteral("wValue");
}

int write(QApplication &app, uint serial, int interval, int devices, int fields)
{
    QStringList names;
    for (int f = 0; f < fields; ++f)
        names << fieldName(f);
    QVariantMap choice;
    for (int d = 0; d < devices; ++d)
        choice.insert(QStringLiteral("4:%1").arg(serial + uint(d)), names);
    appSettings.setValue(QLatin1String(SettingsKey::SQLiteStoringMap), choice);
    QThread thread;
    auto *collector = new DeviceInfoCollector;
    collector->moveToThread(&thread);
    QObject::connect(&thread, &QThread::started, collector, &DeviceInfoCollector::openSessionDatabase);
    QObject::connect(&thread, &QThread::finished, collector, &DeviceInfoCollector::removeSessionDatabase);

    QTimer values;
    values.setTimerType(Qt::PreciseTimer);
    int n = 0;
    QObject::connect(&values, &QTimer::timeout, &app, [&] {
        ++n;
        for (int d = 0; d < devices; ++d) {
            for (const QString &name : qAsConst(names))
                collector->appendValue(name, serial + uint(d), double(n));
        }
        std::printf("value %d %lld\n", n, monotonicMs());
        std::fflush(stdout);
    });
    QObject::connect(collector, &DeviceInfoCollector::connectionNameChanged, &app, [&](const QString &name) {
        std::printf("open %s\n", qPrintable(name));
        std::fflush(stdout);
        if (!name.isEmpty())
            values.start(interval);
    });
    thread.start();
    collector->createDefaultTables();
    for (int d = 0; d < devices; ++d)
        collector->appendDevice(4, serial + uint(d));
    const int code = app.exec();
    thread.exit(0);
    thread.wait();
    delete collector;
    return code;
}

int lock(const QString &path)
{
    int code = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("lock"));
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        QSqlQuery query(db);
        if (!db.open() || !query.exec(QStringLiteral("BEGIN EXCLUSIVE"))) {
            std::printf("failed %s\n", qPrintable(query.lastError().text()));
            code = 1;
        } else {
            std::printf("locked\n");
            std::fflush(stdout);
            char line[64];
            if (!std::fgets(line, sizeof line, stdin))
                line[0] = 0;
            query.exec(QStringLiteral("ROLLBACK"));
            std::printf("released\n");
        }
        std::fflush(stdout);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("lock"));
    return code;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The data folder of the test that runs it, when it says which.
    app.setOrganizationName(qEnvironmentVariableIsSet("TANDREL_DBWRITER_ORGANIZATION")
                                ? qEnvironmentVariable("TANDREL_DBWRITER_ORGANIZATION")
                                : QStringLiteral("Zorvo"));
    if (qEnvironmentVariableIsSet("TANDREL_DBWRITER_APPLICATION"))
        app.setApplicationName(qEnvironmentVariable("TANDREL_DBWRITER_APPLICATION"));
    const QStringList args = app.arguments();
    if ((args.size() == 4 || args.size() == 6) && args.at(1) == QLatin1String("write"))
        return write(app, args.at(2).toUInt(), args.at(3).toInt(), args.size() == 6 ? args.at(4).toInt() : 1,
                     args.size() == 6 ? args.at(5).toInt() : 1);
    if (args.size() == 3 && args.at(1) == QLatin1String("lock"))
        return lock(args.at(2));
    std::fprintf(stderr, "usage: tandrel_dbwriter write SERIAL INTERVAL_MS [DEVICES FIELDS] | lock PATH\n");
    return 2;
}

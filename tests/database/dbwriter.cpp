// Helper program of the measurement database tests.
//
//   tandrel_dbwriter write SERIAL INTERVAL_MS
//       A session collector in its own thread, wired as the main window wires
//       it, with the stored choice "4:SERIAL" = wValue. Prints "open PATH"
//       once the session database is open, then hands over the values 1, 2,
//       3, ... one per interval and prints "value N MS" after each, MS being
//       the monotonic clock in milliseconds. Runs until killed.
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

int write(QApplication &app, uint serial, int interval)
{
    appSettings.setValue(QLatin1String(SettingsKey::SQLiteStoringMap),
                         QVariantMap{{QStringLiteral("4:%1").arg(serial), QStringList{QStringLiteral("wValue")}}});
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
        collector->appendValue(QStringLiteral("wValue"), serial, double(n));
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
    app.setOrganizationName(QStringLiteral("Zorvo"));
    const QStringList args = app.arguments();
    if (args.size() == 4 && args.at(1) == QLatin1String("write"))
        return write(app, args.at(2).toUInt(), args.at(3).toInt());
    if (args.size() == 3 && args.at(1) == QLatin1String("lock"))
        return lock(args.at(2));
    std::fprintf(stderr, "usage: tandrel_dbwriter write SERIAL INTERVAL_MS | lock PATH\n");
    return 2;
}

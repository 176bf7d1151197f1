// The first seconds of a session: how long a measurement value waits from
// DeviceInfoCollector::appendValue until another connection sees its row,
// while the collector enters the devices, makes the tables and records the
// first value of every series. The collector runs in its own thread as the
// main window runs it, on a new session file.
//
//   bench_collector_start [--devices N] [--fields F] [--seconds S] [--busy T] [--dir PATH]
//
// --devices  devices in the stored choice (default 125)
// --fields   values stored per device (default 11)
// --seconds  how long values are handed over (default 20); every device
//            reports all its fields once a second, the devices spread
//            evenly over the second
// --busy     threads that spin for the whole run, to load the machine (default 0)
// --dir      folder of the files (default: a temporary folder)
//
// A reader in a thread of its own polls the file's sqlite_sequence every
// 5 ms: a table's sequence tells how many of the values handed over for that
// field are committed. Prints the waits, how long the reader was kept from
// reading, the floor of the same run (the commit interval plus one commit of
// the first interval's rows, written in one transaction) and last
// `result: <longest wait> ms`.

#include "appglobals.h"
#include "benchstats.h"
#include "deviceinfocollector.h"
#include "settings.h"
#include "sqlitehandler.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QMutex>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr quint32 FirstSerial = 100001;
constexpr int DeviceType = 4;

QString fieldName(int field)
{
    return QStringLiteral("wField%1").arg(field);
}

QElapsedTimer &benchClock()
{
    static QElapsedTimer timer;
    return timer;
}

// A table's sequence from one poll on: (time the poll ended, rows committed).
struct Step
{
    qint64 at;
    qint64 rows;
};

class Reader : public QThread
{
public:
    Reader(const QString &path, int fields) : m_path(path), m_steps(size_t(fields)) {}

    std::atomic<bool> stop{false};
    QString journal;
    int polls = 0;
    int lockedPolls = 0;
    qint64 longestPoll = 0;  // ns
    qint64 longestLockout = 0; // ns between two reads that succeeded
    std::vector<std::vector<Step>> steps() const
    {
        QMutexLocker lock(&m_lock);
        return m_steps;
    }
    qint64 committed(int field) const
    {
        QMutexLocker lock(&m_lock);
        return m_steps[size_t(field)].empty() ? 0 : m_steps[size_t(field)].back().rows;
    }

protected:
    void run() override
    {
        const QString name = QStringLiteral("bench-reader");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(m_path);
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=60000"));
            if (!db.open())
                qFatal("the reader cannot open %s", qPrintable(m_path));
            qint64 lastRead = benchClock().nsecsElapsed();
            while (!stop) {
                const qint64 start = benchClock().nsecsElapsed();
                QSqlQuery query(db);
                query.setForwardOnly(true);
                const bool ok = query.exec(QStringLiteral("SELECT name, seq FROM sqlite_sequence"));
                std::vector<qint64> seq(m_steps.size(), 0);
                while (ok && query.next()) {
                    const QString table = query.value(0).toString();
                    if (!table.startsWith(QLatin1String("wField")))
                        continue;
                    const int field = table.mid(6).toInt();
                    if (field >= 0 && field < int(seq.size()))
                        seq[size_t(field)] = query.value(1).toLongLong();
                }
                query.finish();
                const qint64 end = benchClock().nsecsElapsed();
                ++polls;
                longestPoll = qMax(longestPoll, end - start);
                // Before the first table there is no sqlite_sequence: that is a read too.
                const int code = query.lastError().nativeErrorCode().toInt() & 0xff;
                if (ok || (code != 5 && code != 6)) {
                    longestLockout = qMax(longestLockout, end - lastRead);
                    lastRead = end;
                    QMutexLocker lock(&m_lock);
                    for (size_t f = 0; f < seq.size(); ++f) {
                        std::vector<Step> &series = m_steps[f];
                        if (seq[f] > (series.empty() ? 0 : series.back().rows))
                            series.push_back(Step{end, seq[f]});
                    }
                } else {
                    ++lockedPolls;
                }
                if (journal.isEmpty()) {
                    QSqlQuery mode(db);
                    if (mode.exec(QStringLiteral("PRAGMA journal_mode")) && mode.next())
                        journal = mode.value(0).toString();
                }
                QThread::msleep(5);
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }

private:
    const QString m_path;
    mutable QMutex m_lock;
    std::vector<std::vector<Step>> m_steps;
};

// One commit of what the collector writes in its first interval, on a new
// file of the same journal mode: the schema, the devices, their series and
// half a second of values. Milliseconds.
double firstCommitMs(const QString &path, const QString &journal, int devices, int fields)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
    double ms = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("floor"));
        db.setDatabaseName(path);
        if (!db.open())
            qFatal("cannot open %s", qPrintable(path));
        QSqlQuery query(db);
        if (!journal.isEmpty())
            query.exec(QStringLiteral("PRAGMA journal_mode=%1").arg(journal));
        const QString id = QStringLiteral("id INTEGER PRIMARY KEY AUTOINCREMENT, ");
        const QString now = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
        QElapsedTimer timer;
        timer.start();
        query.exec(QStringLiteral("BEGIN IMMEDIATE"));
        query.exec("CREATE TABLE DeviceType (" + id + "type INTEGER, name TEXT)");
        query.exec("CREATE TABLE UsedField (" + id + "device INTEGER, name TEXT)");
        query.exec("CREATE TABLE Device (" + id + "type INTEGER, serial INTEGER, created TEXT)");
        QSqlQuery insert(db);
        insert.prepare(QStringLiteral("INSERT INTO DeviceType (type, name) VALUES (?, ?)"));
        for (int code = 0; code < DeviceModelCount; ++code) {
            insert.bindValue(0, code);
            insert.bindValue(1, deviceModelNames.value(code));
            insert.exec();
        }
        insert.prepare(QStringLiteral("INSERT INTO Device (type, serial, created) VALUES (?, ?, ?)"));
        for (int d = 0; d < devices; ++d) {
            insert.bindValue(0, DeviceType);
            insert.bindValue(1, qlonglong(FirstSerial + quint32(d)));
            insert.bindValue(2, now);
            insert.exec();
        }
        for (int f = 0; f < fields; ++f)
            query.exec("CREATE TABLE " + fieldName(f) + " (" + id + "device INTEGER, value REAL, created TEXT)");
        QSqlQuery used(db);
        used.prepare(QStringLiteral("INSERT INTO UsedField (device, name) VALUES (?, ?)"));
        for (int f = 0; f < fields; ++f) {
            insert.prepare("INSERT INTO " + fieldName(f) + " (device, value, created) VALUES (?, ?, ?)");
            for (int d = 0; d < devices / 2; ++d) {
                insert.bindValue(0, qlonglong(FirstSerial + quint32(d)));
                insert.bindValue(1, 1.0);
                insert.bindValue(2, now);
                insert.exec();
                used.bindValue(0, qlonglong(FirstSerial + quint32(d)));
                used.bindValue(1, fieldName(f));
                used.exec();
            }
        }
        insert.finish();
        used.finish();
        if (!query.exec(QStringLiteral("COMMIT")))
            qFatal("the floor's commit failed: %s", qPrintable(query.lastError().text()));
        ms = double(timer.nsecsElapsed()) / 1e6;
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("floor"));
    return ms;
}

double percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(double(values.size()) * share))];
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home;
    useBenchHome(home);
    QApplication app(argc, argv);
    qInstallMessageHandler(discardMessage);
    registerDeviceModelNames();

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("devices"), QStringLiteral("Devices in the stored choice."), QStringLiteral("n"),
                      QStringLiteral("125")});
    parser.addOption({QStringLiteral("fields"), QStringLiteral("Values stored per device."), QStringLiteral("n"),
                      QStringLiteral("11")});
    parser.addOption({QStringLiteral("seconds"), QStringLiteral("How long values are handed over."),
                      QStringLiteral("s"), QStringLiteral("20")});
    parser.addOption({QStringLiteral("busy"), QStringLiteral("Threads that spin for the whole run."),
                      QStringLiteral("n"), QStringLiteral("0")});
    parser.addOption({QStringLiteral("dir"), QStringLiteral("Folder of the files."), QStringLiteral("path")});
    parser.process(app);
    const int devices = qBound(1, parser.value(QStringLiteral("devices")).toInt(), 100000);
    const int fields = qBound(1, parser.value(QStringLiteral("fields")).toInt(), 1000);
    const int seconds = qMax(1, parser.value(QStringLiteral("seconds")).toInt());
    const int busy = qMax(0, parser.value(QStringLiteral("busy")).toInt());
    QTemporaryDir scratch;
    const QString folder = parser.value(QStringLiteral("dir")).isEmpty() ? scratch.path()
                                                                       : parser.value(QStringLiteral("dir"));
    qputenv("XDG_DATA_HOME", folder.toLocal8Bit());
    const QString dataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir(dataFolder).removeRecursively();
    QDir().mkpath(dataFolder);
    std::printf("files in %s\n", qPrintable(QDir::toNativeSeparators(dataFolder)));

    std::atomic<bool> spinning{true};
    std::vector<std::unique_ptr<QThread>> spinners;
    for (int i = 0; i < busy; ++i) {
        spinners.emplace_back(QThread::create([&spinning] {
            volatile quint64 n = 0;
            while (spinning.load(std::memory_order_relaxed))
                n = n + 1;
        }));
        spinners.back()->start();
    }

    QVariantMap choice;
    QStringList names;
    for (int f = 0; f < fields; ++f)
        names << fieldName(f);
    for (int d = 0; d < devices; ++d)
        choice.insert(QStringLiteral("%1:%2").arg(DeviceType).arg(FirstSerial + quint32(d)), names);
    appSettings.setValue(QLatin1String(SettingsKey::SQLiteStoringMap), choice);

    // The session as the main window starts it when a master connects.
    QThread thread;
    auto *collector = new DeviceInfoCollector;
    collector->moveToThread(&thread);
    QObject::connect(&thread, &QThread::started, collector, &DeviceInfoCollector::openSessionDatabase);
    QObject::connect(&thread, &QThread::finished, collector, &DeviceInfoCollector::removeSessionDatabase);
    QString opened;
    QObject::connect(collector, &DeviceInfoCollector::connectionNameChanged, &app,
                     [&opened](const QString &name) { opened = name; }, Qt::DirectConnection);
    benchClock().start();
    thread.start();
    collector->createDefaultTables();
    for (int d = 0; d < devices; ++d)
        collector->appendDevice(DeviceType, FirstSerial + quint32(d));
    QMetaObject::invokeMethod(collector, [] {}, Qt::BlockingQueuedConnection);
    if (opened.isEmpty())
        qFatal("the session database did not open");
    std::unique_ptr<Reader> reader(new Reader(opened, fields));
    reader->start();

    // Every device reports all its fields once a second, one device after
    // another; the time of each hand-over, per field in order.
    std::vector<std::vector<qint64>> handed(static_cast<size_t>(fields));
    const qint64 reports = qint64(seconds) * devices;
    qint64 next = 0;
    const qint64 begin = benchClock().nsecsElapsed();
    QTimer feed;
    feed.setTimerType(Qt::PreciseTimer);
    QObject::connect(&feed, &QTimer::timeout, &app, [&] {
        const qint64 due = qMin(reports, (benchClock().nsecsElapsed() - begin) * devices / 1000000000 + 1);
        for (; next < due; ++next) {
            const quint32 serial = FirstSerial + quint32(next % devices);
            const double value = double(next / devices);
            for (int f = 0; f < fields; ++f) {
                handed[size_t(f)].push_back(benchClock().nsecsElapsed());
                collector->appendValue(fieldName(f), serial, value);
            }
        }
        if (next >= reports)
            feed.stop();
    });
    QTimer done;
    QObject::connect(&done, &QTimer::timeout, &app, [&] {
        if (next < reports)
            return;
        for (int f = 0; f < fields; ++f) {
            if (reader->committed(f) < qint64(handed[size_t(f)].size()))
                return;
        }
        app.quit();
    });
    feed.start(1);
    done.start(20);
    QTimer::singleShot((seconds + 60) * 1000, &app, [&app] { app.quit(); });
    app.exec();
    const qint64 ended = benchClock().nsecsElapsed();
    reader->stop = true;
    reader->wait();
    thread.exit(0);
    thread.wait();
    delete collector;
    spinning = false;
    for (auto &spinner : spinners)
        spinner->wait();

    // Each value's wait: the end of the first poll that saw its row.
    std::vector<double> waits;
    double longest = 0;
    qint64 longestAt = 0;
    qint64 missing = 0;
    const std::vector<std::vector<Step>> steps = reader->steps();
    for (int f = 0; f < fields; ++f) {
        const std::vector<qint64> &times = handed[size_t(f)];
        const std::vector<Step> &seen = steps[size_t(f)];
        size_t s = 0;
        for (size_t i = 0; i < times.size(); ++i) {
            while (s < seen.size() && seen[s].rows < qint64(i + 1))
                ++s;
            // A value never seen waits at least until the run ends.
            if (s == seen.size())
                ++missing;
            const double wait = double((s == seen.size() ? ended : seen[s].at) - times[i]) / 1e6;
            waits.push_back(wait);
            if (wait > longest) {
                longest = wait;
                longestAt = times[i] - begin;
            }
        }
    }
    std::printf("session: %d devices x %d fields, %lld values handed over in %d s, %d busy threads\n", devices, fields,
                qlonglong(reports) * fields, seconds, busy);
    std::printf("wait from appendValue until a reader sees the row: median %.1f ms, 99%% %.1f ms, longest %.1f ms "
                "(a value handed over at %.2f s)%s\n",
                percentile(waits, 0.5), percentile(waits, 0.99), longest, double(longestAt) / 1e9,
                missing ? qPrintable(QStringLiteral(", %1 values never seen, counted until the end").arg(missing)) : "");
    std::printf("reader: %d polls, %d locked out, longest poll %.1f ms, longest time without a read %.1f ms; "
                "journal %s\n",
                reader->polls, reader->lockedPolls, double(reader->longestPoll) / 1e6,
                double(reader->longestLockout) / 1e6, qPrintable(reader->journal));
    const double commit = firstCommitMs(dataFolder + QStringLiteral("/floor.sqlite"), reader->journal, devices, fields);
    std::printf("floor:  %.1f ms (the %d ms commit interval plus one commit of the first interval's rows, "
                "schema included: %.1f ms)\n",
                SqliteHandler::CommitInterval + commit, SqliteHandler::CommitInterval, commit);
    std::printf("result: %.0f ms\n", longest);
    return missing ? 1 : 0;
}

// Measurement values from DeviceInfoCollector::appendValue to committed rows
// of the session database, with the collector in its own thread as the main
// window runs it; beside the same rows written in the same run, to the same
// disk, in the same journal mode and into a table of the same form (its
// indexes too), through the SQLite C library the way the collector writes
// them: ChunkRows rows per INSERT statement (the rest one by one), one
// transaction per CommitRows rows.
//
//   bench_database [--count N] [--rate R] [--seconds S] [--dir PATH]
//
// --count    values of the burst (default 1000000)
// --rate     values per second of the paced stream (default 2000)
// --seconds  length of the paced stream (default 3)
// --dir      folder of the files (default: a temporary folder)
//
// Prints the burst's rate beside the peer's, the GUI thread's cost per
// appendValue, a row's longest wait for its commit in the paced stream
// (seen by a reader thread that looks every 0.2 ms), and whether the file
// holds the schema and rows handed over. Two limits: the burst at half the
// peer's rate or better, and no row waiting longer than the commit interval
// plus one commit (the peer's longest commit of one interval's rows, in as
// many commits as the paced stream made, appended to its file after its burst
// as the collector's follow its own; at that half rate). The result is the ratio to the peer; the program exits with 1 when
// a limit fails or the file differs.

#include "benchstats.h"
#include "deviceinfocollector.h"
#include "settings.h"
#include "sqlitehandler.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

const QString Table = QStringLiteral("wValue");
constexpr uint Serial = 1001;

// A plain connection of the C library on a file, for polling and for the peer.
class Lite
{
public:
    explicit Lite(const QString &path, bool readOnly)
    {
        const int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
        if (sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr) != SQLITE_OK)
            qFatal("cannot open %s", qPrintable(path));
        sqlite3_busy_timeout(db, 2000);
    }
    ~Lite() { sqlite3_close(db); }
    Lite(const Lite &) = delete;
    Lite &operator=(const Lite &) = delete;

    bool exec(const char *sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
    // The first column of the first row as an integer; -1 when the statement fails.
    qint64 integer(const char *sql)
    {
        sqlite3_stmt *statement = nullptr;
        qint64 value = -1;
        if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK && sqlite3_step(statement) == SQLITE_ROW)
            value = sqlite3_column_int64(statement, 0);
        sqlite3_finalize(statement);
        return value;
    }
    QString text(const char *sql)
    {
        sqlite3_stmt *statement = nullptr;
        QString value;
        if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK && sqlite3_step(statement) == SQLITE_ROW)
            value = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
        sqlite3_finalize(statement);
        return value;
    }

    sqlite3 *db = nullptr;
};

struct Row
{
    qint64 device;
    double value;
    std::string created;
};

// The statement of `rows` rows of the value table, as the collector builds it.
std::string insertText(int rows)
{
    std::string text = "INSERT INTO wValue (device, value, created) VALUES ";
    for (int i = 0; i < rows; ++i)
        text += i ? ", (?, ?, ?)" : "(?, ?, ?)";
    return text + ";";
}

// Writes `rows` through the C library as the collector writes them: ChunkRows
// rows per statement, one transaction per `commitRows` rows. Returns the time
// of each transaction (ns), the first one's including the statements' preparation.
std::vector<qint64> writeRows(Lite &peer, const std::vector<Row> &rows, size_t commitRows)
{
    const auto prepare = [&peer](int count) {
        sqlite3_stmt *statement = nullptr;
        const std::string text = insertText(count);
        if (sqlite3_prepare_v2(peer.db, text.c_str(), -1, &statement, nullptr) != SQLITE_OK)
            qFatal("peer statement failed: %s", sqlite3_errmsg(peer.db));
        return statement;
    };
    const auto step = [&peer](sqlite3_stmt *statement) {
        if (sqlite3_step(statement) != SQLITE_DONE)
            qFatal("peer insert failed: %s", sqlite3_errmsg(peer.db));
        sqlite3_reset(statement);
    };
    const int chunk = SqliteHandler::ChunkRows;
    std::vector<qint64> times;
    QElapsedTimer timer;
    timer.start();
    sqlite3_stmt *single = prepare(1);
    sqlite3_stmt *many = prepare(chunk);
    for (size_t first = 0; first < rows.size(); first += commitRows) {
        const size_t end = std::min(rows.size(), first + commitRows);
        peer.exec("BEGIN IMMEDIATE");
        size_t row = first;
        for (; end - row >= size_t(chunk); row += size_t(chunk)) {
            for (int i = 0; i < chunk; ++i) {
                const Row &r = rows[row + size_t(i)];
                sqlite3_bind_int64(many, 3 * i + 1, r.device);
                sqlite3_bind_double(many, 3 * i + 2, r.value);
                sqlite3_bind_text(many, 3 * i + 3, r.created.data(), int(r.created.size()), SQLITE_STATIC);
            }
            step(many);
        }
        for (; row < end; ++row) {
            sqlite3_bind_int64(single, 1, rows[row].device);
            sqlite3_bind_double(single, 2, rows[row].value);
            sqlite3_bind_text(single, 3, rows[row].created.data(), int(rows[row].created.size()), SQLITE_STATIC);
            step(single);
        }
        if (!peer.exec("COMMIT"))
            qFatal("peer commit failed");
        times.push_back(timer.nsecsElapsed());
        timer.start();
    }
    sqlite3_finalize(single);
    sqlite3_finalize(many);
    return times;
}

// Rows per second of the peer: the rows into a new file whose value table
// (and its indexes) is made by `schema`, in the journal mode `mode`, one
// transaction per CommitRows rows, ChunkRows rows per statement.
double peerRate(const QString &path, const QString &mode, const QStringList &schema, const std::vector<Row> &rows,
                QString *journal)
{
    for (const char *suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QLatin1String(suffix));
    Lite peer(path, false);
    peer.exec(QStringLiteral("PRAGMA journal_mode=%1;").arg(mode).toUtf8().constData());
    for (const QString &statement : schema)
        peer.exec(statement.toUtf8().constData());
    *journal = peer.text("PRAGMA journal_mode;") + QStringLiteral(", synchronous ")
               + QString::number(peer.integer("PRAGMA synchronous;"));
    qint64 ns = 0;
    for (const qint64 t : writeRows(peer, rows, size_t(SqliteHandler::CommitRows)))
        ns += t;
    return double(rows.size()) * 1e9 / double(ns);
}

// The peer's longest commit of `rows` in `commits` transactions, appended
// to its file after the burst (ms), as the collector's commits of the paced
// stream follow its burst.
double peerLongestCommitMs(const QString &path, const std::vector<Row> &rows, int commits)
{
    Lite peer(path, false);
    std::vector<Row> all;
    for (int i = 0; i < commits; ++i)
        all.insert(all.end(), rows.begin(), rows.end());
    const std::vector<qint64> times = writeRows(peer, all, std::max<size_t>(1, rows.size()));
    return double(*std::max_element(times.begin(), times.end())) / 1e6;
}

// Waits until the table holds `rows` rows; false after `limitMs`.
bool waitForRows(Lite &reader, qint64 rows, int limitMs)
{
    QElapsedTimer timer;
    timer.start();
    while (reader.integer("SELECT max(id) FROM wValue;") < rows) {
        if (timer.elapsed() > limitMs)
            return false;
        QThread::msleep(2);
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Zorvo"));
    QCoreApplication::setApplicationName(QStringLiteral("bench_database"));
    qInstallMessageHandler(discardMessage);

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("count"), QStringLiteral("Values of the burst."), QStringLiteral("n"),
                      QStringLiteral("1000000")});
    parser.addOption({QStringLiteral("rate"), QStringLiteral("Values per second of the paced stream."),
                      QStringLiteral("r"), QStringLiteral("2000")});
    parser.addOption({QStringLiteral("seconds"), QStringLiteral("Length of the paced stream."), QStringLiteral("s"),
                      QStringLiteral("3")});
    parser.addOption({QStringLiteral("dir"), QStringLiteral("Folder of the files."), QStringLiteral("path")});
    parser.process(app);
    const int count = qMax(1, parser.value(QStringLiteral("count")).toInt());
    const int rate = qMax(1, parser.value(QStringLiteral("rate")).toInt());
    const int seconds = qMax(1, parser.value(QStringLiteral("seconds")).toInt());
    QTemporaryDir scratch;
    const QString folder = parser.value(QStringLiteral("dir")).isEmpty() ? scratch.path()
                                                                       : parser.value(QStringLiteral("dir"));
    qputenv("XDG_DATA_HOME", folder.toLocal8Bit());
    const QString sessionFile =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/session.sqlite");
    QFile::remove(sessionFile);

    appSettings.setValue(QLatin1String(SettingsKey::SQLiteStoringMap),
                         QVariantMap{{QStringLiteral("4:%1").arg(Serial), QStringList{Table}}});
    QThread thread;
    auto *collector = new DeviceInfoCollector;
    collector->moveToThread(&thread);
    QObject::connect(&thread, &QThread::started, collector, &DeviceInfoCollector::openSessionDatabase);
    QObject::connect(&thread, &QThread::finished, collector, &DeviceInfoCollector::removeSessionDatabase);
    QString opened;
    QObject::connect(collector, &DeviceInfoCollector::connectionNameChanged, &app,
                     [&opened](const QString &name) { opened = name; }, Qt::DirectConnection);
    thread.start();
    collector->createDefaultTables();
    collector->appendDevice(4, Serial);
    QMetaObject::invokeMethod(collector, [] {}, Qt::BlockingQueuedConnection);
    if (opened.isEmpty())
        qFatal("the session database did not open");
    // The first value makes the table and its UsedField row.
    collector->appendValue(Table, Serial, 0.0);
    Lite reader(sessionFile, true);
    if (!waitForRows(reader, 1, 5000))
        qFatal("the first value was not committed");
    // The session's journal mode while it records; closed, the file may be in another.
    const QString sessionJournal = reader.text("PRAGMA journal_mode;");

    std::printf("files in %s\n", qPrintable(QDir::toNativeSeparators(folder)));

    // The burst: every value handed over at once, until all are committed.
    QElapsedTimer timer;
    timer.start();
    for (int i = 1; i <= count; ++i)
        collector->appendValue(Table, Serial, double(i));
    const qint64 handedNs = timer.nsecsElapsed();
    if (!waitForRows(reader, count + 1, 600000))
        qFatal("the burst was not committed");
    const qint64 committedNs = timer.nsecsElapsed();
    const double ourRate = double(count) * 1e9 / double(committedNs);
    std::printf("burst:  %d values in %.1f ms, %.0f values/s from appendValue to committed rows\n", count,
                double(committedNs) / 1e6, ourRate);
    std::printf("GUI thread per appendValue: %.2f us\n", double(handedNs) / 1e3 / count);

    // The paced stream: a row's wait from appendValue until another
    // connection sees it, looked for by a thread of its own every 0.2 ms.
    const int total = rate * seconds;
    const qint64 base = count + 1;
    std::vector<qint64> handedAt(size_t(total) + 1, 0);
    std::vector<qint64> seenAt(size_t(total) + 1, 0);
    QElapsedTimer clock;
    clock.start();
    std::atomic<bool> watching{true};
    std::atomic<bool> allSeen{false};
    std::thread watcher([&] {
        Lite watch(sessionFile, true);
        qint64 seen = 0;
        while (watching.load() && seen < total) {
            const qint64 newest = std::min<qint64>(total, watch.integer("SELECT max(id) FROM wValue;") - base);
            const qint64 now = clock.nsecsElapsed();
            for (; seen < newest; ++seen)
                seenAt[size_t(seen + 1)] = now;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        allSeen = seen >= total;
    });
    int next = 1;
    QTimer feed;
    feed.setTimerType(Qt::PreciseTimer);
    QObject::connect(&feed, &QTimer::timeout, &app, [&] {
        const qint64 due = qMin<qint64>(total, clock.elapsed() * rate / 1000 + 1);
        for (; next <= due; ++next) {
            handedAt[size_t(next)] = clock.nsecsElapsed();
            collector->appendValue(Table, Serial, double(base + next));
        }
        if (next > total)
            feed.stop();
    });
    feed.start(1);
    QTimer done;
    QObject::connect(&done, &QTimer::timeout, &app, [&] {
        if (allSeen.load())
            app.quit();
    });
    done.start(50);
    QTimer::singleShot((seconds + 30) * 1000, &app, [&app] { app.quit(); });
    app.exec();
    watching = false;
    watcher.join();
    qint64 longest = 0;
    int committed = 0;
    for (int i = 1; i <= total; ++i) {
        if (seenAt[size_t(i)] == 0)
            continue;
        ++committed;
        longest = qMax(longest, seenAt[size_t(i)] - handedAt[size_t(i)]);
    }
    const double longestMs = double(longest) / 1e6;

    thread.exit(0);
    thread.wait();
    delete collector;

    // What the file holds: the CREATE text and the rows handed over.
    const QString create = reader.text("SELECT sql FROM sqlite_master WHERE name = 'wValue';");
    QStringList schema; // the value table and its indexes, for the peer
    {
        sqlite3_stmt *select = nullptr;
        sqlite3_prepare_v2(reader.db,
                           "SELECT sql FROM sqlite_master WHERE tbl_name = 'wValue' AND sql IS NOT NULL "
                           "ORDER BY type DESC;",
                           -1, &select, nullptr);
        while (sqlite3_step(select) == SQLITE_ROW)
            schema << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(select, 0)));
        sqlite3_finalize(select);
    }
    bool filesOk = create == QLatin1String("CREATE TABLE wValue (id INTEGER PRIMARY KEY AUTOINCREMENT, device "
                                           "INTEGER, value REAL, created TEXT)");
    std::vector<Row> rows; // the burst's rows, in order
    rows.reserve(size_t(count));
    {
        sqlite3_stmt *select = nullptr;
        sqlite3_prepare_v2(reader.db, "SELECT device, value, created FROM wValue WHERE id > 1 ORDER BY id LIMIT ?;",
                           -1, &select, nullptr);
        sqlite3_bind_int(select, 1, count);
        while (sqlite3_step(select) == SQLITE_ROW) {
            rows.push_back(Row{sqlite3_column_int64(select, 0), sqlite3_column_double(select, 1),
                               reinterpret_cast<const char *>(sqlite3_column_text(select, 2))});
            const Row &row = rows.back();
            if (row.device != Serial || row.value != double(rows.size()) || row.created.size() != 23
                || (rows.size() > 1 && row.created < rows[rows.size() - 2].created))
                filesOk = false;
        }
        sqlite3_finalize(select);
    }
    filesOk = filesOk && qint64(rows.size()) == count;
    const QString journal = sessionJournal + QStringLiteral(" while recording, ") + reader.text("PRAGMA journal_mode;")
                            + QStringLiteral(" closed, synchronous ") + QString::number(reader.integer("PRAGMA synchronous;"));
    std::printf("files:  schema and rows as handed over: %s; journal %s\n", filesOk ? "ok" : "DIFFERENT",
                qPrintable(journal));

    QString peerJournal;
    const double peer = peerRate(QFileInfo(sessionFile).path() + QStringLiteral("/peer.sqlite"), sessionJournal, schema,
                                 rows, &peerJournal);
    std::printf("peer:   %d rows, %.0f rows/s (SQLite C library, %d rows per statement, a commit per %d rows; "
                "journal %s)\n",
                count, peer, SqliteHandler::ChunkRows, SqliteHandler::CommitRows, qPrintable(peerJournal));
    for (const QString &statement : qAsConst(schema))
        std::printf("        %s\n", qPrintable(statement));
    // One commit: the rows of one commit interval of the paced stream, as
    // many commits as the stream had, appended to the peer's file after its
    // burst; the longest.
    const qint64 intervalRows = qMin<qint64>(count, qMax<qint64>(1, qint64(rate) * SqliteHandler::CommitInterval / 1000));
    const std::vector<Row> interval(rows.begin(), rows.begin() + intervalRows);
    const double commitMs = peerLongestCommitMs(QFileInfo(sessionFile).path() + QStringLiteral("/peer.sqlite"),
                                                interval, qMax(1, seconds * 1000 / SqliteHandler::CommitInterval));
    const double ratio = ourRate / peer;
    constexpr double Goal = 0.5;
    const double limitMs = SqliteHandler::CommitInterval + commitMs / Goal;
    const bool paced = committed == total && longestMs <= limitMs;
    std::printf("paced:  %d values/s for %d s, %d of %d committed, longest wait for the commit %.1f ms "
                "(limit %d ms + one commit, %.1f ms: the peer's longest commit of %d rows after its burst, at %.1f of "
                "its rate) %s\n",
                rate, seconds, committed, total, longestMs, SqliteHandler::CommitInterval, commitMs / Goal,
                int(interval.size()), Goal, paced ? "ok" : "FAILED");
    std::printf("burst:  %.2f of the peer's rate (goal %.1f) %s\n", ratio, Goal, ratio >= Goal ? "ok" : "FAILED");
    std::printf("result: %.2f x peer\n", ratio);
    return filesOk && paced && ratio >= Goal ? 0 : 1;
}

#pragma once

// What the measurement database tests share: the session collector in a
// thread of its own, wired as the main window wires it; a second connection
// that reads the files; small file fixtures.

#include "deviceinfocollector.h"
#include "settings.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QTest>
#include <QThread>

#include <cmath>
#include <limits>
#include <memory>

inline const double NaN = std::numeric_limits<double>::quiet_NaN();

// The settings entry the collector walks.
inline void setStoredChoice(const QVariant &map)
{
    appSettings.setValue(QLatin1String(SettingsKey::SQLiteStoringMap), map);
}

// The session file of the first program running; `slot` 2 and on: of the
// programs started beside it.
inline QString sessionPath(int slot = 1)
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
           + (slot == 1 ? QStringLiteral("/session.sqlite") : QStringLiteral("/session-%1.sqlite").arg(slot));
}

// Removes a database file with its journal and log.
inline void removeDatabaseFiles(const QString &path)
{
    for (const char *suffix : {"", "-journal", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
}

// The session collector and its thread.
class SessionRig
{
public:
    SessionRig() : collector(new DeviceInfoCollector)
    {
        collector->moveToThread(&thread);
        QObject::connect(&thread, &QThread::started, collector, &DeviceInfoCollector::openSessionDatabase);
        QObject::connect(&thread, &QThread::finished, collector, &DeviceInfoCollector::removeSessionDatabase);
    }
    ~SessionRig()
    {
        stop();
        delete collector;
    }
    SessionRig(const SessionRig &) = delete;
    SessionRig &operator=(const SessionRig &) = delete;

    // Starts the thread as the window does when a master connects; the name
    // the collector reports.
    QString start()
    {
        QSignalSpy opened(collector, &DeviceInfoCollector::connectionNameChanged);
        thread.start(QThread::InheritPriority);
        collector->createDefaultTables();
        if (opened.isEmpty() && !opened.wait(5000))
            return QStringLiteral("(no answer)");
        sync();
        return opened.first().first().toString();
    }
    void stop()
    {
        if (thread.isRunning()) {
            thread.exit(0);
            thread.wait();
        }
    }
    // Returns once the collector's thread has run everything posted so far.
    void sync()
    {
        QMetaObject::invokeMethod(collector, [] {}, Qt::BlockingQueuedConnection);
    }

    QThread thread;
    DeviceInfoCollector *collector;
};

// A connection of its own on a database file, in the test's thread.
class Reader
{
public:
    // `busyMs`: how long a statement waits for another connection's lock.
    explicit Reader(const QString &path, bool writable = false, int busyMs = 2000)
        : m_name(QStringLiteral("reader-%1").arg(++count()))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1%2")
                                 .arg(busyMs)
                                 .arg(writable ? QString() : QStringLiteral(";QSQLITE_OPEN_READONLY")));
        db.open();
    }
    ~Reader()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    Reader(const Reader &) = delete;
    Reader &operator=(const Reader &) = delete;

    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

    // Every row of the statement; an empty list when it fails.
    QList<QVariantList> rows(const QString &sql, const QVariantList &binds = QVariantList()) const
    {
        QSqlQuery query(db());
        query.setForwardOnly(true);
        QList<QVariantList> out;
        if (!query.prepare(sql))
            return out;
        for (const QVariant &value : binds)
            query.addBindValue(value);
        if (!query.exec())
            return out;
        while (query.next()) {
            QVariantList row;
            for (int i = 0; i < query.record().count(); ++i)
                row << query.value(i);
            out << row;
        }
        return out;
    }
    QVariant value(const QString &sql, const QVariantList &binds = QVariantList()) const
    {
        const QList<QVariantList> all = rows(sql, binds);
        return all.isEmpty() || all.first().isEmpty() ? QVariant() : all.first().first();
    }
    int count(const QString &table, const QString &where = QString(), const QVariantList &binds = QVariantList()) const
    {
        const QVariant n = value(QStringLiteral("SELECT count(*) FROM %1%2").arg(table, where.isEmpty() ? QString() : QLatin1String(" WHERE ") + where), binds);
        return n.isValid() ? n.toInt() : -1;
    }
    bool exec(const QString &sql) const
    {
        QSqlQuery query(db());
        return query.exec(sql);
    }
    // The CREATE text SQLite keeps for a table.
    QString createText(const QString &table) const
    {
        return value(QStringLiteral("SELECT sql FROM sqlite_master WHERE name = ?"), {table}).toString();
    }

private:
    static int &count()
    {
        static int n = 0;
        return n;
    }
    QString m_name;
};

inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline bool isCreatedText(const QVariant &value)
{
    return QDateTime::fromString(value.toString(), QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")).isValid()
           && value.toString().size() == 23;
}

// The helper program of these tests: a writer that feeds a session
// collector, or a holder of a database lock.
class HelperProcess
{
public:
    explicit HelperProcess(const QStringList &arguments)
    {
        process.setProgram(QStringLiteral(TANDREL_DBWRITER));
        process.setArguments(arguments);
        // The helper's data folder is this test's: a writer records into the
        // session files a collector here would use.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TANDREL_DBWRITER_ORGANIZATION"), QCoreApplication::organizationName());
        environment.insert(QStringLiteral("TANDREL_DBWRITER_APPLICATION"), QCoreApplication::applicationName());
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start();
    }
    ~HelperProcess()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    // Another process holding an exclusive lock on the database file; null
    // when it could not take it.
    static std::unique_ptr<HelperProcess> locking(const QString &path)
    {
        auto holder = std::make_unique<HelperProcess>(QStringList{QStringLiteral("lock"), path});
        if (holder->waitFor(QStringLiteral("locked")) != QLatin1String("locked"))
            holder.reset();
        return holder;
    }
    // Lets a lock go; true once it is gone.
    bool release()
    {
        process.write("\n");
        return waitFor(QStringLiteral("released")) == QLatin1String("released");
    }

    // Waits for a line that starts with `prefix` and returns it.
    QString waitFor(const QString &prefix, int ms = 10000)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms) {
            while (process.canReadLine()) {
                const QString line = QString::fromUtf8(process.readLine()).trimmed();
                if (line.startsWith(prefix))
                    return line;
            }
            if (!process.waitForReadyRead(int(qMax<qint64>(1, ms - timer.elapsed()))))
                break;
        }
        return QString();
    }

    QProcess process;
};

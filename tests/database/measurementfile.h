#pragma once

// Measurement database files written directly, in the collector's layout:
// DeviceType, Device, UsedField and one value table per parameter key.

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <functional>

class MeasurementFile
{
public:
    explicit MeasurementFile(const QString &path) : m_name(QStringLiteral("writer-") + path)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        db.open();
        exec(QStringLiteral("CREATE TABLE IF NOT EXISTS DeviceType (id INTEGER PRIMARY KEY AUTOINCREMENT, type INTEGER, name TEXT)"));
        exec(QStringLiteral("CREATE TABLE IF NOT EXISTS Device (id INTEGER PRIMARY KEY AUTOINCREMENT, type INTEGER, serial INTEGER, created TEXT)"));
        exec(QStringLiteral("CREATE TABLE IF NOT EXISTS UsedField (id INTEGER PRIMARY KEY AUTOINCREMENT, device INTEGER, name TEXT)"));
    }
    ~MeasurementFile()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    MeasurementFile(const MeasurementFile &) = delete;
    MeasurementFile &operator=(const MeasurementFile &) = delete;

    bool exec(const QString &sql, const QVariantList &binds = QVariantList())
    {
        QSqlQuery query(QSqlDatabase::database(m_name, false));
        if (!query.prepare(sql))
            return false;
        for (const QVariant &value : binds)
            query.addBindValue(value);
        return query.exec();
    }

    void addDevice(int type, quint32 serial, const QString &created = QStringLiteral("2026-01-01 08:00:00.000"))
    {
        exec(QStringLiteral("INSERT INTO Device (type, serial, created) VALUES (?, ?, ?)"),
             {type, qlonglong(serial), created});
    }

    // `count` rows of one device, one a second from `start` (seconds since
    // the epoch); value(i) gives each value (an invalid variant: NULL).
    void addSeries(const QString &table, quint32 serial, qint64 start, int count,
                   const std::function<QVariant(int)> &value)
    {
        exec(QStringLiteral("CREATE TABLE IF NOT EXISTS \"%1\" (id INTEGER PRIMARY KEY AUTOINCREMENT, device INTEGER, value REAL, created TEXT)").arg(table));
        if (!usedOnce(table, serial))
            exec(QStringLiteral("INSERT INTO UsedField (device, name) VALUES (?, ?)"), {qlonglong(serial), table});
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.transaction();
        QSqlQuery query(db);
        query.prepare(QStringLiteral("INSERT INTO \"%1\" (device, value, created) VALUES (?, ?, ?)").arg(table));
        for (int i = 0; i < count; ++i) {
            query.addBindValue(qlonglong(serial));
            const QVariant v = value(i);
            query.addBindValue(v.isValid() ? v : QVariant(QVariant::Double));
            query.addBindValue(createdText(start + i));
            query.exec();
        }
        db.commit();
    }

    static QString createdText(qint64 seconds)
    {
        return QDateTime::fromSecsSinceEpoch(seconds).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
    }

private:
    bool usedOnce(const QString &table, quint32 serial)
    {
        QSqlQuery query(QSqlDatabase::database(m_name, false));
        query.prepare(QStringLiteral("SELECT count(*) FROM UsedField WHERE device = ? AND name = ?"));
        query.addBindValue(qlonglong(serial));
        query.addBindValue(table);
        return query.exec() && query.next() && query.value(0).toInt() > 0;
    }

    QString m_name;
};

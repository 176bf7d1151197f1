#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QMap>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <map>
#include <memory>
#include <vector>

class QTimer;
struct sqlite3_stmt;

// The values of one column in row order, and column name to its values.
using ColumnContent = QVector<QVariant>;
using SelectedValues = QMap<QString, ColumnContent>;

// The one place of the measurement database that speaks SQL. Lives in the
// thread that made it and is called there only.
//
// Files are opened as named connections: the name callers use is the file
// name up to its first "." (backup_20240131_120000500, session); the Qt SQL
// connection under it is private to this handler and keyed by the file's
// canonical path, so two files of the same name, or two handlers on one
// file, never share a connection.
//
// Inserts and new tables are queued per connection and written by
// commitValues(), one transaction per connection, at most CommitInterval ms
// after the oldest queued change; a statement run at once on a connection
// (a read, a delete, a copy) first writes the tables queued for it. Table
// names are quoted in statements only where SQLite needs it; values are
// always bound. Queued rows go in through SQLite's own interface on the Qt
// connection's handle, bound as the Qt driver would bind them but without
// its per-value cost (text as UTF-8, SQLite's own encoding).
class SqliteHandler : public QObject
{
    Q_OBJECT
public:
    static constexpr int CommitInterval = 500;
    // Rows that are committed at once, however young, so that a burst's queue stays small.
    static constexpr int CommitRows = 50000;
    // Rows written by one statement at a commit.
    static constexpr int ChunkRows = 64;
    // How long a statement waits for another connection's lock.
    static constexpr int BusyTimeout = 200;

    explicit SqliteHandler(QObject *parent = nullptr);
    // Drops the queued rows unwritten and closes every connection it opened.
    ~SqliteHandler() override;

    // The connection name of a file path: the file name, cut before its first
    // "." unless that is its first character.
    static QString connectionNameOf(const QString &path);
    // The name as SQLite takes it: unchanged when it is a plain identifier
    // and no keyword, else in double quotes with inner quotes doubled.
    static QString quotedName(const QString &name);

    // The connection's tables of that type as the database lists them now.
    QStringList tableNames(const QString &connectionName, QSql::TableType type = QSql::Tables);
    // The file of an open connection; empty for an unknown name.
    QString filePath(const QString &connectionName) const;
    // SQLite's reason for the last failed open, commit or copy, and its
    // primary result code (0 when SQLite gave none).
    QString lastError() const { return m_lastError; }
    int lastErrorCode() const { return m_lastErrorCode; }
    // Whether a result code says the file is damaged or no database at all.
    static bool isDamage(int code);
    // Rows and tables queued and not yet committed, over all connections.
    int pendingRows() const { return m_pendingRows; }

    // Opens the file a session records into under the given connection
    // name, in write-ahead mode: readers never wait for a commit, and a
    // commit never waits for a reader. Closing the connection checkpoints the
    // file and returns it to the rollback journal when no other connection
    // holds it, so a closed file is a single file of the usual form.
    QString openSession(const QString &path, const QString &connectionName);

    // insertValues() without a list: `values` holds one value per column.
    // `handedOverAt` (monotonicNs(), -1: now) is when the row was handed
    // over: the commit interval counts from there.
    bool insertRow(const QString &connectionName, const QString &tableName, const QStringList &columnsNames,
                   const QVariant *values, int count, qint64 handedOverAt = -1);
    // Now, in ns of the steady clock.
    static qint64 monotonicNs();

    // Reads columns of a table; `where` may hold "?" placeholders for
    // `binds`. On failure the result is empty and *ok false.
    SelectedValues selectValues(const QString &connectionName, const QString &tableName,
                                const QStringList &columnsNames, const QString &where = QString(),
                                const QVariantList &binds = QVariantList(), bool *ok = nullptr);
    // The smallest value of a column; NaN when the read fails.
    QVariant minimumOf(const QString &connectionName, const QString &tableName, const QString &columnName);

public slots:
    // Opens the file and reads its schema at once: a file that is no
    // database, is damaged or is locked by another process fails here.
    // Returns the connection name, empty on failure (lastError() says why).
    QString openDatabase(const QString &dbName);
    bool contains(const QString &connectionName) const;
    // Writes the connection's queued rows, then closes and forgets it.
    bool removeDatabase(const QString &connectionName);
    // Queues the table for the next commit (its statement is checked now),
    // with an index on `indexColumns` when they are given; false when the
    // table exists already or cannot be made.
    bool createTable(const QString &connectionName, const QString &tableName,
                     const QStringList &columnsDescriptions, const QStringList &indexColumns = QStringList());
    // Queues one row for the next commit.
    bool insertValues(const QString &connectionName, const QString &tableName, const QStringList &columnsNames,
                      const QVariantList &values);
    // Run at once, after the table's queued rows on that connection are
    // dropped.
    bool deleteValues(const QString &connectionName, const QString &tableName);
    bool dropTable(const QString &connectionName, const QString &tableName);
    // Writes the queued rows of every connection, each in one transaction.
    // A connection whose transaction fails (locked, disk full) keeps its
    // rows for the next tick; a row whose own statement fails is logged and
    // dropped. True when nothing is left queued.
    bool commitValues();
    // Reads of the connection last opened or written (the forms without a
    // connection name).
    SelectedValues getValues(const QString &tableName, const QStringList &columnsNames,
                             const QString &where = QString());
    QVariant getMinimum(const QString &tableName, const QString &columnName);
    // Runs SELECT * on the caller's query.
    bool select(QSqlQuery *readQuery, const QString &tableName, const QString &where = QString(),
                const QVariantList &binds = QVariantList());
    // Copies the rows of a table whose created lies strictly between start
    // and end (an empty bound is left out) and, when given, of one device
    // into the backup connection, as new rows. False on failure (lastError()).
    bool backupTable(const QString &backupConnectionName, const QString &connectionName, const QString &tableName,
                     const QStringList &columnsDescriptions, const QString &start = QString(),
                     const QString &end = QString(), const QString &deviceId = QString(),
                     const QStringList &indexColumns = QStringList());
    // Copies the device's "Device" row, or one "UsedField" row, unless the
    // backup holds it already. False on failure only.
    bool addDeviceToBackup(const QString &backupConnectionName, const QString &connectionName,
                           const QStringList &columnsDescription, const QString &deviceId);
    bool addUsedFieldToBackup(const QString &backupConnectionName, const QString &connectionName,
                              const QStringList &columnsDescription, const QString &deviceId,
                              const QString &field);
    // Arms the commit for CommitInterval ms after the oldest queued row, or
    // commits at once when that time has passed or CommitRows rows wait.
    void startCommitTimer();
    void stopCommitTimer();

signals:
    // Commits on the connection failed; once per run of failures.
    void databaseError(const QString &connectionName, const QString &reason);

private:
    struct Finalizer
    {
        void operator()(sqlite3_stmt *statement) const;
    };
    using Prepared = std::unique_ptr<sqlite3_stmt, Finalizer>;
    struct Statement
    {
        QString table;
        QStringList columns;
        // Made at the first commit that needs them: one row, and ChunkRows rows at once.
        Prepared prepared;
        Prepared preparedChunk;
    };
    // Rows of one statement queued one after another, or one new table
    // (statement -1, first: its index in Connection::schema).
    struct Batch
    {
        int statement;
        int first; // index of its first value in Connection::values
        int rows;
    };
    struct SchemaChange
    {
        QString table;
        QString text;
        bool index = false; // an index of the table: its failure leaves the table
    };
    struct Connection
    {
        QString qtName;
        QString path;
        QSet<QString> tables; // lower case, as SQLite compares names
        QSet<QString> spelled; // the same names as callers spell them, looked up first
        bool hasTable(const QString &name)
        {
            if (spelled.contains(name))
                return true;
            if (!tables.contains(folded(name)))
                return false;
            spelled.insert(name);
            return true;
        }
        std::vector<Statement> statements;
        QHash<QString, int> statementOfTable; // lower-case table: its latest statement
        QVector<Batch> pending;
        QVector<QVariant> values; // of the queued rows, in order; keeps its capacity between commits
        std::vector<SchemaChange> schema; // tables queued, in order
        int pendingRows = 0;
        QString failing; // reason of the current run of failed commits
        bool writeAhead = false;
    };

    static QString folded(const QString &name);
    Connection *connection(const QString &name);
    const Connection *connection(const QString &name) const;
    QSqlDatabase database(const QString &name) const;
    QString open(const QString &dbName, const QString &name, bool writeAhead);
    // Writes the tables queued for the connection (and so its rows).
    void settle(const QString &name);
    void setError(const QSqlError &error);
    bool runNow(const QString &connectionName, const QString &tableName, const QString &statementText);
    void dropPending(Connection &connection, const QString &tableName);
    int statementFor(Connection &connection, const QString &tableName, const QStringList &columns);
    bool commitConnection(const QString &name, Connection &connection);
    // One queued table; false when the transaction must end (error set).
    bool writeTable(QSqlDatabase &db, Connection &connection, const SchemaChange &change, QSqlError *error);
    // Rows of one statement; false when the transaction must end (error set).
    bool writeRows(QSqlDatabase &db, Statement &statement, const QVariant *values, int rows, QSqlError *error);
    bool copyRows(const QString &backupConnectionName, QSqlQuery &source, const QString &tableName,
                  const QStringList &columnsDescriptions, bool firstOnly, int *copied);
    // The first source row of the filter, unless the backup holds one already.
    bool copyRowToBackup(const QString &backupConnectionName, const QString &connectionName,
                         const QString &tableName, const QStringList &columnsDescription, const QString &filter,
                         const QVariantList &binds, int *copied);
    void close(Connection &connection);

    std::map<QString, Connection> m_connections; // by connection name, in name order
    int m_pendingRows = 0;
    qint64 m_oldestPendingNs = 0; // monotonicNs() of the oldest queued row's hand-over
    qint64 m_lastCommitNs = 0;    // ... of the start of the last commit
    QTimer *commitTimer;
    QString currentConnection;
    QString m_lastError;
    int m_lastErrorCode = 0;
    QMutex mutex;
    const int m_id;
};

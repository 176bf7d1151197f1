#include "sqlitehandler.h"

#include <QAtomicInt>
#include <QDebug>
#include <QFileInfo>
#include <QMutexLocker>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <limits>

#include <sqlite3.h>

namespace {

// SQLite's keywords: a table or column of such a name must be quoted.
const QSet<QString> &sqlKeywords()
{
    static const QSet<QString> words = [] {
        const char *const list[] = {
            "ABORT", "ACTION", "ADD", "AFTER", "ALL", "ALTER", "ALWAYS", "ANALYZE", "AND", "AS", "ASC", "ATTACH",
            "AUTOINCREMENT", "BEFORE", "BEGIN", "BETWEEN", "BY", "CASCADE", "CASE", "CAST", "CHECK", "COLLATE",
            "COLUMN", "COMMIT", "CONFLICT", "CONSTRAINT", "CREATE", "CROSS", "CURRENT", "CURRENT_DATE",
            "CURRENT_TIME", "CURRENT_TIMESTAMP", "DATABASE", "DEFAULT", "DEFERRABLE", "DEFERRED", "DELETE", "DESC",
            "DETACH", "DISTINCT", "DO", "DROP", "EACH", "ELSE", "END", "ESCAPE", "EXCEPT", "EXCLUDE", "EXCLUSIVE",
            "EXISTS", "EXPLAIN", "FAIL", "FILTER", "FIRST", "FOLLOWING", "FOR", "FOREIGN", "FROM", "FULL",
            "GENERATED", "GLOB", "GROUP", "GROUPS", "HAVING", "IF", "IGNORE", "IMMEDIATE", "IN", "INDEX", "INDEXED",
            "INITIALLY", "INNER", "INSERT", "INSTEAD", "INTERSECT", "INTO", "IS", "ISNULL", "JOIN", "KEY", "LAST",
            "LEFT", "LIKE", "LIMIT", "MATCH", "MATERIALIZED", "NATURAL", "NO", "NOT", "NOTHING", "NOTNULL", "NULL",
            "NULLS", "OF", "OFFSET", "ON", "OR", "ORDER", "OTHERS", "OUTER", "OVER", "PARTITION", "PLAN", "PRAGMA",
            "PRECEDING", "PRIMARY", "QUERY", "RAISE", "RANGE", "RECURSIVE", "REFERENCES", "REGEXP", "REINDEX",
            "RELEASE", "RENAME", "REPLACE", "RESTRICT", "RETURNING", "RIGHT", "ROLLBACK", "ROW", "ROWS",
            "SAVEPOINT", "SELECT", "SET", "TABLE", "TEMP", "TEMPORARY", "THEN", "TIES", "TO", "TRANSACTION",
            "TRIGGER", "UNBOUNDED", "UNION", "UNIQUE", "UPDATE", "USING", "VACUUM", "VALUES", "VIEW", "VIRTUAL",
            "WHEN", "WHERE", "WINDOW", "WITH", "WITHOUT"};
        QSet<QString> set;
        for (const char *word : list)
            set.insert(QLatin1String(word));
        return set;
    }();
    return words;
}

bool isPlainIdentifier(const QString &name)
{
    if (name.isEmpty())
        return false;
    for (int i = 0; i < name.size(); ++i) {
        const ushort c = name.at(i).unicode();
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
        if (!letter && (i == 0 || c < '0' || c > '9'))
            return false;
    }
    return true;
}

} // namespace

// Table names as SQLite compares them: ASCII letters without case.
QString SqliteHandler::folded(const QString &name)
{
    QString out = name;
    for (QChar &c : out) {
        if (c.unicode() >= 'A' && c.unicode() <= 'Z')
            c = QChar(c.unicode() + 32);
    }
    return out;
}

namespace {

QString reasonOf(const QSqlError &error)
{
    return error.databaseText().isEmpty() ? error.text() : error.databaseText();
}

// Errors that concern the whole transaction (a lock, the disk, the file)
// rather than one statement.
bool failsTransaction(const QSqlError &error)
{
    switch (error.nativeErrorCode().toInt() & 0xff) {
    case 5:  // busy
    case 6:  // locked
    case 7:  // out of memory
    case 8:  // read-only
    case 10: // I/O error
    case 11: // damaged
    case 13: // disk full
    case 14: // cannot open
    case 15: // lock protocol
    case 26: // not a database
        return true;
    default:
        return false;
    }
}

// A serial number or device id as SQLite stores it: an integer when it reads as one.
QVariant boundNumber(const QString &text)
{
    bool ok = false;
    const qulonglong number = text.toULongLong(&ok);
    return ok && number <= qulonglong(std::numeric_limits<qlonglong>::max()) ? QVariant(qlonglong(number))
                                                                            : QVariant(text);
}

QString canonicalPathOf(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return (folder.isEmpty() ? info.absolutePath() : folder) + QLatin1Char('/') + info.fileName();
}

// "INSERT INTO t (a, b) VALUES (?, ?);", with `rows` groups of placeholders.
QString insertText(const QString &tableName, const QStringList &columns, int rows = 1)
{
    QStringList names;
    for (const QString &column : columns)
        names << SqliteHandler::quotedName(column);
    QString group = QStringLiteral("(");
    for (int i = 0; i < columns.size(); ++i)
        group += QLatin1String("?, ");
    group.chop(2);
    group += QLatin1Char(')');
    QStringList groups;
    for (int i = 0; i < rows; ++i)
        groups << group;
    return QStringLiteral("INSERT INTO %1 (%2) VALUES %3;")
        .arg(SqliteHandler::quotedName(tableName), names.join(QLatin1String(", ")), groups.join(QLatin1String(", ")));
}

QAtomicInt handlerCount;

} // namespace

SqliteHandler::SqliteHandler(QObject *parent)
    : QObject(parent), commitTimer(new QTimer), m_id(handlerCount.fetchAndAddRelaxed(1) + 1)
{
    qRegisterMetaType<ColumnContent>("ColumnContent");
    qRegisterMetaType<SelectedValues>("SelectedValues");
    commitTimer->setSingleShot(true);
    commitTimer->setTimerType(Qt::PreciseTimer);
    connect(commitTimer, &QTimer::timeout, this, &SqliteHandler::commitValues);
}

SqliteHandler::~SqliteHandler()
{
    commitTimer->stop();
    delete commitTimer;
    for (auto &entry : m_connections)
        close(entry.second);
}

QString SqliteHandler::connectionNameOf(const QString &path)
{
    const QString fileName = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const int dot = fileName.indexOf(QLatin1Char('.'));
    return dot > 0 ? fileName.left(dot) : fileName;
}

QString SqliteHandler::quotedName(const QString &name)
{
    if (isPlainIdentifier(name) && !sqlKeywords().contains(name.toUpper()))
        return name;
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

SqliteHandler::Connection *SqliteHandler::connection(const QString &name)
{
    const auto it = m_connections.find(name);
    return it == m_connections.end() ? nullptr : &it->second;
}

const SqliteHandler::Connection *SqliteHandler::connection(const QString &name) const
{
    const auto it = m_connections.find(name);
    return it == m_connections.end() ? nullptr : &it->second;
}

QSqlDatabase SqliteHandler::database(const QString &name) const
{
    const Connection *c = connection(name);
    return c ? QSqlDatabase::database(c->qtName, false) : QSqlDatabase();
}

QStringList SqliteHandler::tableNames(const QString &connectionName, QSql::TableType type)
{
    settle(connectionName);
    return database(connectionName).tables(type);
}

bool SqliteHandler::isDamage(int code)
{
    return code == 11 || code == 26; // damaged, not a database
}

void SqliteHandler::setError(const QSqlError &error)
{
    m_lastError = reasonOf(error);
    m_lastErrorCode = error.nativeErrorCode().toInt() & 0xff;
}

QString SqliteHandler::filePath(const QString &connectionName) const
{
    const Connection *c = connection(connectionName);
    return c ? c->path : QString();
}

// ---------------------------------------------------------------- connections

QString SqliteHandler::openDatabase(const QString &dbName)
{
    return open(dbName, QString(), false);
}

QString SqliteHandler::openSession(const QString &path, const QString &connectionName)
{
    return open(path, connectionName, true);
}

QString SqliteHandler::open(const QString &dbName, const QString &wanted, bool writeAhead)
{
    if (!QSqlDatabase::drivers().contains(QLatin1String("QSQLITE"))) {
        qCritical() << "QSQLITE driver not available";
        m_lastError = QStringLiteral("QSQLITE driver not available");
        m_lastErrorCode = 0;
        return QString();
    }
    const QString path = canonicalPathOf(dbName);
    for (const auto &entry : m_connections) {
        if (entry.second.path == path) {
            currentConnection = entry.first;
            return entry.first;
        }
    }
    const QString base = wanted.isEmpty() ? connectionNameOf(dbName) : wanted;
    QString name = base;
    for (int i = 2; m_connections.count(name); ++i)
        name = base + QLatin1Char('_') + QString::number(i);

    const QString qtName = QStringLiteral("sqlite-%1-%2:%3")
                               .arg(m_id)
                               .arg(quintptr(QThread::currentThread()), 0, 16)
                               .arg(path);
    QSqlError failure;
    QSet<QString> tables;
    bool wal = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), qtName);
        db.setDatabaseName(dbName);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeout));
        if (!db.open()) {
            qCritical() << "Error occured while database opened" << db.lastError();
            failure = db.lastError();
        } else {
            if (!db.driver()->hasFeature(QSqlDriver::Transactions))
                qCritical() << "Transaction not supporeted";
            // SQLite reads the file only now: a file that is no database,
            // a damaged or a locked one fails here, before anything is written.
            QSqlQuery schema(db);
            schema.setForwardOnly(true);
            if (!schema.exec(QStringLiteral("SELECT type, name FROM sqlite_master"))) {
                qCritical() << "Error occured while database opened" << dbName << schema.lastError();
                failure = schema.lastError();
            } else {
                while (schema.next()) {
                    if (schema.value(0).toString() == QLatin1String("table"))
                        tables.insert(folded(schema.value(1).toString()));
                }
            }
            schema.finish();
            if (failure.isValid()) {
                db.close();
            } else if (writeAhead) {
                // Without it (a file system without shared memory, a lock
                // held elsewhere) the file keeps its rollback journal.
                QSqlQuery mode(db);
                wal = mode.exec(QStringLiteral("PRAGMA journal_mode=WAL")) && mode.next()
                      && mode.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0;
                if (!wal)
                    qWarning() << "Write-ahead log not available for" << dbName << mode.lastError();
            }
        }
    }
    if (failure.isValid()) {
        QSqlDatabase::removeDatabase(qtName);
        setError(failure);
        return QString();
    }
    Connection &c = m_connections[name];
    c.qtName = qtName;
    c.path = path;
    c.tables = tables;
    c.writeAhead = wal;
    currentConnection = name;
    return name;
}

bool SqliteHandler::contains(const QString &connectionName) const
{
    return m_connections.count(connectionName) > 0;
}

void SqliteHandler::close(Connection &c)
{
    c.statements.clear();
    {
        QSqlDatabase db = QSqlDatabase::database(c.qtName, false);
        if (c.writeAhead && db.isOpen()) {
            // The closed file stands alone, in the journal mode every reader
            // knows; while another connection holds it, the log stays.
            QSqlQuery mode(db);
            if (!mode.exec(QStringLiteral("PRAGMA journal_mode=DELETE")))
                qDebug() << "Write-ahead log kept" << c.path << mode.lastError();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(c.qtName);
}

bool SqliteHandler::removeDatabase(const QString &connectionName)
{
    const auto it = m_connections.find(connectionName);
    if (it == m_connections.end())
        return true;
    Connection &c = it->second;
    if (c.pendingRows) {
        commitConnection(connectionName, c);
        m_pendingRows -= c.pendingRows;
        if (c.pendingRows)
            qCritical() << "Rows not written before closing" << connectionName << c.pendingRows;
    }
    close(c);
    m_connections.erase(it);
    if (currentConnection == connectionName)
        currentConnection.clear();
    return true;
}

// ---------------------------------------------------------------- tables

bool SqliteHandler::createTable(const QString &connectionName, const QString &tableName,
                                const QStringList &columnsDescriptions, const QStringList &indexColumns)
{
    QMutexLocker lock(&mutex);
    Connection *c = connection(connectionName);
    if (!c) {
        qCritical() << "Create table failed" << tableName << "no connection" << connectionName;
        return false;
    }
    if (c->hasTable(tableName)) {
        currentConnection = connectionName;
        return false;
    }
    QString text = QStringLiteral("CREATE TABLE %1 (id INTEGER PRIMARY KEY AUTOINCREMENT").arg(quotedName(tableName));
    for (const QString &description : columnsDescriptions)
        text += QLatin1String(", ") + description;
    text += QLatin1String(");");
    {
        // Checked now, written with the next commit.
        QSqlQuery check(database(connectionName));
        if (!check.prepare(text)) {
            const QSqlError error = check.lastError();
            if (error.databaseText().contains(QLatin1String("already exists"))) {
                // Made by another connection since this one read the schema.
                c->tables.insert(folded(tableName));
                currentConnection = connectionName;
                return false;
            }
            if (!failsTransaction(error)) {
                qCritical() << "Create table failed" << tableName << error;
                return false;
            }
            // A lock or the disk: the commit tries again.
        }
    }
    const auto queue = [&](const QString &statement, bool index) {
        c->schema.push_back(SchemaChange{tableName, statement, index});
        c->pending.append(Batch{-1, int(c->schema.size()) - 1, 1});
        ++c->pendingRows;
        if (m_pendingRows++ == 0)
            m_oldestPendingNs = monotonicNs();
    };
    queue(text, false);
    if (!indexColumns.isEmpty()) {
        // Its name holds blanks, so that it never meets a table's.
        QStringList columns;
        for (const QString &column : indexColumns)
            columns << quotedName(column);
        queue(QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (%3);")
                  .arg(quotedName(tableName + QLatin1String(" by ") + indexColumns.join(QLatin1String(" and "))),
                       quotedName(tableName), columns.join(QLatin1String(", "))),
              true);
    }
    c->tables.insert(folded(tableName));
    currentConnection = connectionName;
    lock.unlock();
    startCommitTimer();
    return true;
}

void SqliteHandler::settle(const QString &name)
{
    const auto it = m_connections.find(name);
    if (it != m_connections.end() && !it->second.schema.empty())
        commitConnection(name, it->second);
}

int SqliteHandler::statementFor(Connection &c, const QString &tableName, const QStringList &columns)
{
    const auto it = c.statementOfTable.constFind(tableName);
    if (it != c.statementOfTable.constEnd() && c.statements[size_t(*it)].columns == columns)
        return *it;
    int index = -1;
    for (size_t i = 0; i < c.statements.size(); ++i) {
        if (c.statements[i].table == tableName && c.statements[i].columns == columns)
            index = int(i);
    }
    if (index < 0) {
        c.statements.push_back(Statement{tableName, columns, nullptr, nullptr});
        index = int(c.statements.size()) - 1;
    }
    c.statementOfTable.insert(tableName, index);
    return index;
}

bool SqliteHandler::insertValues(const QString &connectionName, const QString &tableName,
                                 const QStringList &columnsNames, const QVariantList &values)
{
    const QVector<QVariant> row = values.toVector();
    return insertRow(connectionName, tableName, columnsNames, row.constData(), row.size());
}

bool SqliteHandler::insertRow(const QString &connectionName, const QString &tableName,
                              const QStringList &columnsNames, const QVariant *values, int count, qint64 handedOverAt)
{
    QMutexLocker lock(&mutex);
    if (columnsNames.size() != count) {
        qCritical() << "columns.size() != values.size()";
        return false;
    }
    Connection *c = connection(connectionName);
    if (!c || !c->hasTable(tableName)) {
        qCritical() << "Where is no table" << tableName << "in" << connectionName;
        return false;
    }
    const int statement = statementFor(*c, tableName, columnsNames);
    if (c->pending.isEmpty() || c->pending.last().statement != statement)
        c->pending.append(Batch{statement, c->values.size(), 0});
    ++c->pending.last().rows;
    for (int i = 0; i < count; ++i)
        c->values.append(values[i]);
    ++c->pendingRows;
    if (m_pendingRows++ == 0)
        m_oldestPendingNs = monotonicNs();
    // A row handed over before the last commit began waited for that commit
    // (or for the rows before it), not for the interval.
    if (handedOverAt >= 0)
        m_oldestPendingNs = std::min(m_oldestPendingNs, std::max(handedOverAt, m_lastCommitNs));
    currentConnection = connectionName;
    return true;
}

void SqliteHandler::dropPending(Connection &c, const QString &tableName)
{
    const QString table = folded(tableName);
    QVector<Batch> kept;
    QVector<QVariant> values;
    for (const Batch &batch : qAsConst(c.pending)) {
        if (batch.statement < 0) {
            kept.append(batch); // a table: its index in the schema list stays
            continue;
        }
        const Statement &statement = c.statements[size_t(batch.statement)];
        if (folded(statement.table) == table) {
            c.pendingRows -= batch.rows;
            m_pendingRows -= batch.rows;
            continue;
        }
        kept.append(Batch{batch.statement, values.size(), batch.rows});
        values += c.values.mid(batch.first, batch.rows * statement.columns.size());
    }
    c.pending = kept;
    c.values = values;
}

bool SqliteHandler::runNow(const QString &connectionName, const QString &tableName, const QString &statementText)
{
    QMutexLocker lock(&mutex);
    Connection *c = connection(connectionName);
    if (!c || !c->hasTable(tableName)) {
        qCritical() << "Where is no table" << tableName << "in" << connectionName;
        return false;
    }
    settle(connectionName);
    // Queued rows of the table would be gone with it: they are not written.
    dropPending(*c, tableName);
    for (Statement &statement : c->statements) {
        if (folded(statement.table) == folded(tableName)) {
            statement.prepared.reset();
            statement.preparedChunk.reset();
        }
    }
    QSqlQuery query(database(connectionName));
    if (!query.exec(statementText + quotedName(tableName))) {
        qCritical() << "Statement failed" << statementText << tableName << query.lastError();
        return false;
    }
    currentConnection = connectionName;
    return true;
}

bool SqliteHandler::deleteValues(const QString &connectionName, const QString &tableName)
{
    return runNow(connectionName, tableName, QStringLiteral("DELETE FROM "));
}

bool SqliteHandler::dropTable(const QString &connectionName, const QString &tableName)
{
    if (!runNow(connectionName, tableName, QStringLiteral("DROP TABLE ")))
        return false;
    QMutexLocker lock(&mutex);
    if (Connection *c = connection(connectionName)) {
        c->tables.remove(folded(tableName));
        for (auto it = c->spelled.begin(); it != c->spelled.end();)
            it = folded(*it) == folded(tableName) ? c->spelled.erase(it) : std::next(it);
    }
    return true;
}

// ---------------------------------------------------------------- commits

qint64 SqliteHandler::monotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void SqliteHandler::startCommitTimer()
{
    if (m_pendingRows == 0)
        return;
    constexpr qint64 NsPerMs = 1000000;
    const qint64 age = monotonicNs() - m_oldestPendingNs;
    if (age >= CommitInterval * NsPerMs || m_pendingRows >= CommitRows) {
        // A burst: the event loop is too busy for the timer, or the queue too long.
        commitValues();
        return;
    }
    if (!commitTimer->isActive())
        commitTimer->start(int((CommitInterval * NsPerMs - age) / NsPerMs));
}

void SqliteHandler::stopCommitTimer()
{
    commitTimer->stop();
}

bool SqliteHandler::commitValues()
{
    commitTimer->stop();
    if (m_pendingRows == 0)
        return true;
    m_lastCommitNs = monotonicNs();
    for (auto &entry : m_connections) {
        if (entry.second.pendingRows)
            commitConnection(entry.first, entry.second);
    }
    if (m_pendingRows == 0)
        return true;
    // What failed waits for the next tick.
    m_oldestPendingNs = monotonicNs();
    commitTimer->start(CommitInterval);
    return false;
}

void SqliteHandler::Finalizer::operator()(sqlite3_stmt *statement) const
{
    sqlite3_finalize(statement);
}

namespace {

// The last text bound, in UTF-8: rows of one millisecond share their time text.
struct TextCache
{
    QString text;
    QByteArray utf8;
};

// Binds a value as the Qt driver does (null, blob, integer, double, else
// text), text in UTF-8 rather than UTF-16.
int bindValue(sqlite3_stmt *statement, int index, const QVariant &value, TextCache &cache)
{
    if (value.isNull())
        return sqlite3_bind_null(statement, index);
    switch (value.userType()) {
    case QMetaType::Double:
        return sqlite3_bind_double(statement, index, *static_cast<const double *>(value.constData()));
    case QMetaType::LongLong:
        return sqlite3_bind_int64(statement, index, *static_cast<const qlonglong *>(value.constData()));
    case QMetaType::Int:
    case QMetaType::Bool:
        return sqlite3_bind_int(statement, index, value.toInt());
    case QMetaType::UInt:
        return sqlite3_bind_int64(statement, index, value.toLongLong());
    case QMetaType::QByteArray: {
        const auto *bytes = static_cast<const QByteArray *>(value.constData());
        return sqlite3_bind_blob(statement, index, bytes->constData(), bytes->size(), SQLITE_TRANSIENT);
    }
    case QMetaType::QString: {
        const auto *text = static_cast<const QString *>(value.constData());
        if (!text->isSharedWith(cache.text)) {
            cache.text = *text;
            cache.utf8 = text->toUtf8();
        }
        break;
    }
    default:
        cache.text = value.toString();
        cache.utf8 = cache.text.toUtf8();
        break;
    }
    return sqlite3_bind_text(statement, index, cache.utf8.constData(), cache.utf8.size(), SQLITE_TRANSIENT);
}

// SQLite's last error on the connection, in the form of the Qt driver's errors.
QSqlError errorOf(sqlite3 *db, int code)
{
    return QSqlError(QStringLiteral("Unable to execute statement"), QString::fromUtf8(sqlite3_errmsg(db)),
                     QSqlError::StatementError, QString::number(code));
}

sqlite3 *handleOf(const QSqlDatabase &db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

} // namespace

bool SqliteHandler::writeRows(QSqlDatabase &db, Statement &statement, const QVariant *values, int rows,
                              QSqlError *error)
{
    sqlite3 *handle = handleOf(db);
    if (!handle) {
        *error = QSqlError(QStringLiteral("No SQLite handle"), QString(), QSqlError::ConnectionError,
                           QStringLiteral("21"));
        return false;
    }
    const int width = statement.columns.size();
    TextCache cache;
    // Runs the statement for `count` rows from `first`.
    const auto run = [&](Prepared &prepared, int count, int first) {
        if (!prepared) {
            const QByteArray text = insertText(statement.table, statement.columns, count).toUtf8();
            sqlite3_stmt *made = nullptr;
            const int code = sqlite3_prepare_v3(handle, text.constData(), text.size() + 1, SQLITE_PREPARE_PERSISTENT,
                                                &made, nullptr);
            if (code != SQLITE_OK) {
                *error = errorOf(handle, code);
                sqlite3_finalize(made);
                return false;
            }
            prepared.reset(made);
        }
        sqlite3_stmt *query = prepared.get();
        const QVariant *row = values + first * width;
        for (int i = 0; i < count * width; ++i) {
            const int code = bindValue(query, i + 1, row[i], cache);
            if (code != SQLITE_OK) {
                *error = errorOf(handle, code);
                sqlite3_clear_bindings(query);
                return false;
            }
        }
        const int code = sqlite3_step(query);
        // The error's text before reset, which may replace it.
        if (code != SQLITE_DONE)
            *error = errorOf(handle, code);
        sqlite3_reset(query);
        return code == SQLITE_DONE;
    };
    int dropped = 0;
    QSqlError dropError;
    // One row; false when the whole transaction fails.
    const auto single = [&](int row) {
        if (run(statement.prepared, 1, row))
            return true;
        if (failsTransaction(*error))
            return false;
        ++dropped;
        dropError = *error;
        return true;
    };
    const int chunk = width > 0 && width * ChunkRows <= 900 ? ChunkRows : 1;
    int row = 0;
    while (row < rows) {
        if (chunk > 1 && rows - row >= chunk) {
            if (run(statement.preparedChunk, chunk, row)) {
                row += chunk;
                continue;
            }
            if (failsTransaction(*error))
                return false;
            // Row by row, so that only the rows that fail themselves drop.
            for (const int end = row + chunk; row < end; ++row) {
                if (!single(row))
                    return false;
            }
            continue;
        }
        if (!single(row))
            return false;
        ++row;
    }
    if (dropped)
        qCritical() << "Statement failed in" << statement.table << dropped << "rows dropped" << dropError;
    return true;
}

bool SqliteHandler::writeTable(QSqlDatabase &db, Connection &c, const SchemaChange &change, QSqlError *error)
{
    QSqlQuery create(db);
    if (create.exec(change.text))
        return true;
    *error = create.lastError();
    if (failsTransaction(*error))
        return false;
    if (change.index) {
        // The table serves without it.
        qCritical() << "Create index failed" << change.table << *error;
        return true;
    }
    // Its rows fail on their own and are dropped.
    qCritical() << "Create table failed" << change.table << *error;
    c.tables.remove(folded(change.table));
    for (auto it = c.spelled.begin(); it != c.spelled.end();)
        it = folded(*it) == folded(change.table) ? c.spelled.erase(it) : std::next(it);
    return true;
}

bool SqliteHandler::commitConnection(const QString &name, Connection &c)
{
    QSqlDatabase db = QSqlDatabase::database(c.qtName, false);
    QSqlQuery control(db);
    const auto fail = [&](const QSqlError &error) {
        if (db.isOpen())
            control.exec(QStringLiteral("ROLLBACK"));
        setError(error);
        const QString reason = m_lastError;
        if (c.failing.isEmpty()) {
            c.failing = reason;
            qCritical() << "Commit values failed" << name << error;
            emit databaseError(name, reason);
        }
        return false;
    };
    if (!control.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return fail(control.lastError());

    for (const Batch &batch : qAsConst(c.pending)) {
        QSqlError error;
        if (batch.statement < 0) {
            if (!writeTable(db, c, c.schema[size_t(batch.first)], &error))
                return fail(error);
            continue;
        }
        if (!writeRows(db, c.statements[size_t(batch.statement)], c.values.constData() + batch.first, batch.rows,
                       &error))
            return fail(error);
    }
    if (!control.exec(QStringLiteral("COMMIT")))
        return fail(control.lastError());

    m_pendingRows -= c.pendingRows;
    c.pending.clear();
    c.values.clear();
    c.schema.clear();
    c.pendingRows = 0;
    if (!c.failing.isEmpty()) {
        qInfo() << "Commit values resumed" << name;
        c.failing.clear();
    }
    return true;
}

// ---------------------------------------------------------------- reads

SelectedValues SqliteHandler::selectValues(const QString &connectionName, const QString &tableName,
                                           const QStringList &columnsNames, const QString &where,
                                           const QVariantList &binds, bool *ok)
{
    if (ok)
        *ok = false;
    settle(connectionName);
    QStringList columns;
    for (const QString &column : columnsNames)
        columns << quotedName(column);
    QString text = QStringLiteral("SELECT %1 FROM %2").arg(columns.join(QLatin1String(", ")), quotedName(tableName));
    if (!where.isEmpty())
        text += QLatin1String(" WHERE ") + where;
    text += QLatin1Char(';');

    QSqlQuery query(database(connectionName));
    query.setForwardOnly(true);
    bool done = query.prepare(text);
    if (done) {
        for (const QVariant &value : binds)
            query.addBindValue(value);
        done = query.exec();
    }
    if (!done) {
        qCritical() << "Get values failed" << connectionName << tableName << query.lastError();
        return SelectedValues();
    }
    const QSqlRecord record = query.record();
    QVector<int> index;
    for (const QString &column : columnsNames)
        index << record.indexOf(column);
    QVector<ColumnContent> content(columnsNames.size());
    bool any = false;
    while (query.next()) {
        any = true;
        for (int i = 0; i < index.size(); ++i)
            content[i].append(query.value(index.at(i)));
    }
    query.finish();
    SelectedValues values;
    if (any) {
        for (int i = 0; i < columnsNames.size(); ++i)
            values.insert(columnsNames.at(i), content.at(i));
    }
    if (ok)
        *ok = true;
    return values;
}

QVariant SqliteHandler::minimumOf(const QString &connectionName, const QString &tableName,
                                  const QString &columnName)
{
    QVariant result(std::numeric_limits<double>::quiet_NaN());
    settle(connectionName);
    QSqlQuery query(database(connectionName));
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT min(%1) FROM %2;").arg(quotedName(columnName), quotedName(tableName)))) {
        qCritical() << "Get values failed" << connectionName << tableName << query.lastError();
        return result;
    }
    while (query.next())
        result = query.value(0);
    query.finish();
    return result;
}

SelectedValues SqliteHandler::getValues(const QString &tableName, const QStringList &columnsNames,
                                        const QString &where)
{
    return selectValues(currentConnection, tableName, columnsNames, where);
}

QVariant SqliteHandler::getMinimum(const QString &tableName, const QString &columnName)
{
    return minimumOf(currentConnection, tableName, columnName);
}

bool SqliteHandler::select(QSqlQuery *readQuery, const QString &tableName, const QString &where,
                           const QVariantList &binds)
{
    QString text = QStringLiteral("SELECT * FROM %1").arg(quotedName(tableName));
    if (!where.isEmpty())
        text += QLatin1String(" WHERE ") + where;
    bool done = readQuery->prepare(text);
    if (done) {
        for (const QVariant &value : binds)
            readQuery->addBindValue(value);
        done = readQuery->exec();
    }
    if (!done) {
        qWarning() << "Backup failed. SELECT error" << tableName << readQuery->lastError();
        setError(readQuery->lastError());
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- backups

bool SqliteHandler::copyRows(const QString &backupConnectionName, QSqlQuery &source, const QString &tableName,
                             const QStringList &columnsDescriptions, bool firstOnly, int *copied)
{
    *copied = 0;
    settle(backupConnectionName);
    const QSqlDatabase db = database(backupConnectionName);
    if (!db.isOpen()) {
        m_lastError = QStringLiteral("no backup connection %1").arg(backupConnectionName);
        m_lastErrorCode = 0;
        qWarning() << "INSERT error" << m_lastError;
        return false;
    }
    QStringList columns;
    for (const QString &description : columnsDescriptions)
        columns << description.section(QLatin1Char(' '), 0, 0);
    columns.sort();

    QSqlQuery control(db);
    if (!control.exec(QStringLiteral("BEGIN"))) {
        qWarning() << "INSERT error" << control.lastError();
        setError(control.lastError());
        return false;
    }
    QSqlQuery insert(db);
    const auto rollBack = [&](const char *what, const QSqlError &error) {
        qWarning() << what << tableName << error;
        setError(error);
        insert.finish();
        control.exec(QStringLiteral("ROLLBACK"));
        return false;
    };
    if (!insert.prepare(insertText(tableName, columns)))
        return rollBack("INSERT error", insert.lastError());
    int rows = 0;
    while (source.next()) {
        for (int i = 0; i < columns.size(); ++i)
            insert.bindValue(i, source.value(columns.at(i)));
        if (!insert.exec())
            return rollBack("INSERT error", insert.lastError());
        ++rows;
        if (firstOnly)
            break;
    }
    insert.finish();
    source.finish();
    if (!control.exec(QStringLiteral("COMMIT")))
        return rollBack("Commit error", control.lastError());
    *copied = rows;
    return true;
}

bool SqliteHandler::backupTable(const QString &backupConnectionName, const QString &connectionName,
                                const QString &tableName, const QStringList &columnsDescriptions,
                                const QString &start, const QString &end, const QString &deviceId,
                                const QStringList &indexColumns)
{
    createTable(backupConnectionName, tableName, columnsDescriptions, indexColumns);
    QStringList filter;
    QVariantList binds;
    if (!start.isEmpty()) {
        filter << QStringLiteral("created > ?");
        binds << start;
    }
    if (!end.isEmpty()) {
        filter << QStringLiteral("created < ?");
        binds << end;
    }
    if (!deviceId.isEmpty()) {
        filter << QStringLiteral("device = ?");
        binds << boundNumber(deviceId);
    }
    settle(connectionName);
    QSqlQuery source(database(connectionName));
    source.setForwardOnly(true);
    if (!select(&source, tableName, filter.join(QLatin1String(" AND ")), binds))
        return false;
    int rows = 0;
    if (!copyRows(backupConnectionName, source, tableName, columnsDescriptions, false, &rows))
        return false;
    qDebug().noquote() << tr("Backup table (%1.%2, %3 rows) to %4 successfully done")
                              .arg(connectionName, tableName)
                              .arg(rows)
                              .arg(backupConnectionName);
    currentConnection = connectionName;
    return true;
}

bool SqliteHandler::copyRowToBackup(const QString &backupConnectionName, const QString &connectionName,
                                    const QString &tableName, const QStringList &columnsDescription,
                                    const QString &filter, const QVariantList &binds, int *copied)
{
    *copied = 0;
    createTable(backupConnectionName, tableName, columnsDescription);
    settle(backupConnectionName);
    settle(connectionName);
    {
        QSqlQuery present(database(backupConnectionName));
        present.setForwardOnly(true);
        if (!select(&present, tableName, filter, binds))
            return false;
        if (present.next())
            return true;
    }
    QSqlQuery source(database(connectionName));
    source.setForwardOnly(true);
    if (!select(&source, tableName, filter, binds)
        || !copyRows(backupConnectionName, source, tableName, columnsDescription, true, copied))
        return false;
    currentConnection = connectionName;
    return true;
}

bool SqliteHandler::addDeviceToBackup(const QString &backupConnectionName, const QString &connectionName,
                                      const QStringList &columnsDescription, const QString &deviceId)
{
    int copied = 0;
    if (!copyRowToBackup(backupConnectionName, connectionName, QStringLiteral("Device"), columnsDescription,
                         QStringLiteral("serial = ?"), {boundNumber(deviceId)}, &copied))
        return false;
    if (copied)
        qDebug() << "Device" << deviceId << "successfully added to" << backupConnectionName;
    return true;
}

bool SqliteHandler::addUsedFieldToBackup(const QString &backupConnectionName, const QString &connectionName,
                                         const QStringList &columnsDescription, const QString &deviceId,
                                         const QString &field)
{
    int copied = 0;
    if (!copyRowToBackup(backupConnectionName, connectionName, QStringLiteral("UsedField"), columnsDescription,
                         QStringLiteral("device = ? AND name = ?"), {boundNumber(deviceId), field}, &copied))
        return false;
    if (copied)
        qDebug() << "UsedField" << field << "for device" << deviceId << "successfully added to"
                 << backupConnectionName;
    return true;
}

#pragma once

#include "deviceitem.h" // complete for the StoringMap metatype
#include "graphpoints.h"
#include "infocollector.h"
#include "sqlitehandler.h"

#include <QHash>
#include <QList>
#include <QMetaType>
#include <QMutex>
#include <QPen>
#include <QReadWriteLock>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <QVariant>
#include <QVector>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class QLockFile;
class QWidget;
struct sqlite3;

// One graph query of the viewer: the device, the value table, the newest
// row already received. `data` and `pen` belong to the caller and come back
// unchanged.
struct GraphSettings_t
{
    int type = 0;
    quint32 serial = 0;
    QString field;
    QString lastCreated; // empty: all rows
    QVariant data;
    QPen pen;
};
Q_DECLARE_METATYPE(GraphSettings_t)

// The front end of the measurement database: keeps the choice of stored
// values, writes what device items report into the session database, ends
// and resets series, makes backups and answers the viewer's queries.
//
// Each running program records into a session file of its own: the first
// into session.sqlite, one started beside it into session-2.sqlite, and so
// on; the file is claimed by a lock file beside it at the first session and
// kept until the collector goes. Tables, devices, used fields and values
// reach the file together, in the worker's regular commit.
//
// The public slots may be called from any thread; each hands its work to its
// twin (the same name with a leading underscore), which runs in the
// collector's thread, in the order of the calls. Results come back as
// signals. The opening and closing slots run their twin at once in the
// caller's thread: the main window calls them through its collector thread's
// started and finished signals.
//
// loadStoringMap(), setStoringMap(), resetStoringMap(), resetSessionDatabase()
// and openMeasurementsLogging() read or write the settings and the device
// items: they belong to the GUI thread (the storing-map and reset slots post
// themselves there when called elsewhere; connect the selection window's
// signals directly, so that its items are used while they exist). The
// collector's thread touches neither. appendValue() may be called from any
// thread: it checks the choice kept in memory.
//
// getGraph() is the exception to the order of the calls: it reads the file
// opened last on a connection of its own, read-only, in a thread of its own,
// so that a long graph never waits behind queued values or holds a commit.
// It sees what is committed, and nothing once the file is closed.
class DeviceInfoCollector : public InfoCollector
{
    Q_OBJECT
public:
    explicit DeviceInfoCollector(QObject *parent = nullptr);
    // Frees its worker (and so its connections) when that lives in this thread.
    ~DeviceInfoCollector() override;

    // Path of the database file opened last; may be read from any thread.
    QString connectionName() const;

    // Binds a device that connects to the stored measurement selection and
    // enters it into the Device table.
    void loadStoringMap(DeviceItem *device);
    // Opens the window in which the user picks the devices and values to store.
    void openMeasurementsLogging(const QList<DeviceItem *> &devices, QWidget *parent);

    // The storing map set last in this process (devices to parameter keys).
    static StoringMap storingMap();
    // The stored choice read when the selection window was opened; the
    // storing-map handlers compare against it.
    QVariantMap oldStoringMap() const { return m_oldStoringMap; }

public slots:
    // Claims this program's session file (at the first call) and opens it.
    void openSessionDatabase();
    void openDatabase(const QString &filename);
    void removeSessionDatabase();
    void createDefaultTables();
    void appendDevice(int type, uint32_t serialNumber);
    // Dropped unless the stored choice lists the name for that serial number
    // (any type) and a session is open.
    void appendValue(QString tableName, uint deviceId, QVariant value) override;
    void getValues(const GraphSettings_t &settings, const QStringList &fields, const QVariant &cbValue = QVariant(-1));
    // The graph's rows (those after settings.lastCreated when it is set),
    // decoded for the plot; answered by graphReceived, or not at all while
    // no file is open.
    void getGraph(const GraphSettings_t &settings, const QVariant &cbValue);
    // `where` is SQL text ("type = 3"); the second form compares one column
    // with a value, bound rather than pasted.
    void getColumnContent(const QString &tableName, const QString &columnName, const QString &where = QString(),
                          const QVariant &cbValue = QVariant(-1));
    void getColumnContent(const QString &tableName, const QString &columnName, const QString &whereColumn,
                          const QVariant &whereValue, const QVariant &cbValue);
    void getBackupGraphs();
    void getMinimum(const QString &tableName, const QString &columnName);
    void getTableSize(const QString &tableName);
    void makeBackupfile(const QString &backupDir);
    void backupDeviceTypeTable(const QString &backupConnectionName, bool full);
    void backup(const QString &backupConnectionName, const QString &start = QString(),
                const QString &end = QString(), const QString &serial = QString(), const QString &field = QString(),
                int progress = -1);
    void closeBackupfile(const QString &backupConnectionName);
    // Clears the stored choice at once, then drops every stored series.
    void resetSessionDatabase();
    // Renames the damaged session file (sessionDatabaseDamaged) to
    // `asidePath`, never deleting it, and records into a new one.
    void setAsideSessionDatabase(const QString &asidePath);

    // The selection window's choice: break rows for what it removed, the
    // choice saved, devices bound and entered.
    void setStoringMap(const StoringMap &map);
    // Storing stops: break rows for everything chosen, the choice cleared.
    void resetStoringMap();

    // The twins, run in the collector's thread.
    void _openDatabase(const QString &filename);
    void _removeSessionDatabase();
    void _createDefaultTables();
    void _appendDevice(int type, const QString &serialNumber);
    void _appendValue(const QString &tableName, const QString &deviceId, const QVariant &value);
    void _getValues(const GraphSettings_t &settings, const QStringList &fields, const QVariant &cbValue);
    void _getColumnContent(const QString &tableName, const QString &columnName, const QString &where,
                           const QVariant &cbValue);
    void _getColumnContent(const QString &tableName, const QString &columnName, const QString &whereColumn,
                           const QVariant &whereValue, const QVariant &cbValue);
    void _getBackupGraphs();
    void _getMinimum(const QString &tableName, const QString &columnName);
    void _getTableSize(const QString &tableName);
    void _makeBackupfile(const QString &backupDir);
    void _backupDeviceTypeTable(const QString &backupConnectionName, bool full);
    void _backup(const QString &backupConnectionName, const QString &start, const QString &end,
                 const QString &serial, const QString &field, int progress);
    void _closeBackupfile(const QString &backupConnectionName);
    // The stored series only; the choice in the settings is the public slot's.
    void _resetSessionDatabase();
    void _setAsideSessionDatabase(const QString &asidePath);

signals:
    // The opened file's path; empty when it could not be opened.
    void connectionNameChanged(const QString &name);
    void setProgressBarValue(int value);
    void backupFileClosed(const QString &backupFilename);
    void columnContentReceived(const QString &column, const ColumnContent &content, const QVariant &cbValue);
    void backupGraphsReceived(const QList<GraphSettings_t> &graphList);
    void selectedValuesReceived(const GraphSettings_t &settings, const SelectedValues &values, bool append,
                                const QVariant &cbValue = QVariant());
    void minimumReceived(const QVariant &value);
    // From the graph reading thread.
    void graphReceived(const GraphSettings_t &settings, const GraphPoints &points, bool append,
                       const QVariant &cbValue);
    void backupConnectionNameReceived(const QString &name);
    void tableSizeReceived(int tableSize);
    // SQLite's reason why a file cannot be opened, or why its writes keep
    // failing (once per run of failures).
    void databaseError(const QString &path, const QString &reason);
    // Copying into a backup failed; the backup takes no more rows until it
    // is closed.
    void backupFailed(const QString &backupConnectionName, const QString &text);
    // The session file is damaged or no database: it cannot be opened, or
    // its commits fail. Nothing is recorded into it; `asidePath` is a free
    // name beside it for setAsideSessionDatabase(). Comes instead of
    // databaseError, before the empty connectionNameChanged of a failed open.
    void sessionDatabaseDamaged(const QString &path, const QString &reason, const QString &asidePath);

private:
    // What waits for the collector's thread, in the order of the calls: a
    // value of a device, or a twin to run.
    struct Queued
    {
        QString table;
        quint32 serial = 0;
        QVariant value;
        quint64 session = 0; // the opening the value was reported in
        std::function<void()> call;
    };
    // Per value table and serial number.
    struct SeriesKey
    {
        QString table;
        quint32 serial;
        bool operator==(const SeriesKey &other) const { return serial == other.serial && table == other.table; }
        friend uint qHash(const SeriesKey &key, uint salt = 0) { return qHash(key.table, salt) ^ key.serial; }
    };
    struct SeriesState
    {
        bool nan = false;   // the last row written was a break row; kept for the collector's life
        bool used = false;  // the open file has its UsedField row
        bool table = false; // the open file has its value table
    };

    // Runs `call` in the collector's thread, after everything queued before.
    template <typename Call>
    void post(Call &&call);
    void enqueue(Queued &&item);
    // Runs what is queued; in the collector's thread.
    void drain();
    // `handedOverAt`: see SqliteHandler::insertRow().
    void appendRow(const QString &tableName, quint32 serial, const QVariant &value, qint64 handedOverAt = -1);
    void forgetFileState();
    // What the session file holds of Device and UsedField, read once when it opens.
    void loadFileState();
    QString claimSessionFile(const QString &folder);
    void reportDamage(const QString &path, const QString &reason);
    // Runs `call` in the GUI thread: at once there, else posted.
    template <typename Call>
    bool inGuiThread(Call &&call);

    // The settings form ("type:serial" to keys) of a storing map.
    static QVariantMap settingsForm(const StoringMap &map);
    void compareWithOldMap(const QVariantMap &newForm);
    void saveStoringMap(const QVariantMap &form);
    // The (serial, name) pairs the stored choice allows, by its walk.
    void rebuildAllowed(const QVariantMap &form);
    bool allowed(quint32 serial, const QString &tableName) const;

    QString now();
    // The file getGraph() reads; empty: none. Waits for a read in progress.
    void setGraphFile(const QString &path);
    void readGraph(const GraphSettings_t &settings, const QVariant &cbValue);
    void failBackup(const QString &backupConnectionName, const QString &text);
    void setConnectionName(const QString &name);

    const QString sessionConnection = QStringLiteral("session");
    const QString backupPrefix = QStringLiteral("backup");
    mutable QMutex m_nameLock;
    QString m_connectionName;
    const QStringList valueColumns{QStringLiteral("device"), QStringLiteral("value"), QStringLiteral("created")};
    const QStringList valueColumnsDescriptions{QStringLiteral("device INTEGER"), QStringLiteral("value REAL"),
                                               QStringLiteral("created TEXT")};
    // A device's rows in time order, read from the index alone: a graph, or
    // its newest rows, without a walk through the table.
    const QStringList valueIndexColumns{QStringLiteral("device"), QStringLiteral("created"), QStringLiteral("value")};
    SqliteHandler *handler = nullptr;
    const QStringList deviceColumnsDescriptions{QStringLiteral("type INTEGER"), QStringLiteral("serial INTEGER"),
                                                QStringLiteral("created TEXT")};
    const QStringList deviceTypeColumnsDescriptions{QStringLiteral("type INTEGER"), QStringLiteral("name TEXT")};
    const QStringList usedFieldColumnsDescriptions{QStringLiteral("device INTEGER"), QStringLiteral("name TEXT")};
    QHash<SeriesKey, SeriesState> m_series;
    // "type:serial" of the Device rows the open session file has or has queued.
    QSet<QString> m_fileDevices;
    // The devices entered in this session, in order, whatever became of
    // their rows: entered again into a new file when a damaged one is set aside.
    QVector<QPair<int, QString>> m_enteredDevices;
    // This program's session file and the lock that claims it.
    QString m_sessionPath;
    std::unique_ptr<QLockFile> m_sessionLock;
    // The session file reported damaged and not yet set aside.
    QString m_damagedPath;

    // The connection this collector reads: the file opened last.
    QString m_readConnection;
    // The queue, in blocks, so that a long one grows without moving; used
    // blocks come back to be filled again.
    using Block = std::vector<Queued>;
    QMutex m_inboxLock;
    std::vector<Block> m_inbox;
    std::vector<Block> m_spareBlocks;
    bool m_drainPosted = false;
    qint64 m_inboxSince = 0; // when the oldest value in the inbox was handed over
    QSet<QString> m_failedBackups;
    QVariantMap m_oldStoringMap;
    // The stored storing map as loadStoringMap() read it last, taken apart:
    // its devices (type, serial) up to the first key that names none, and
    // that key (null when there is none).
    struct StoringKeys
    {
        bool read = false;
        QVariantMap from;
        QSet<QPair<int, uint>> devices;
        QString wrongKey;
    };
    StoringKeys m_storingKeys;
    mutable QReadWriteLock m_allowedLock;
    QHash<quint32, QSet<QString>> m_allowed;
    // Non-zero while the session database is open: the number of that opening.
    std::atomic<quint64> m_session{0};
    quint64 m_openings = 0;
    // The time text of the current second and millisecond: a row formats at
    // most its milliseconds.
    qint64 m_second = -1;
    QString m_secondText;
    qint64 m_msecs = -1;
    QString m_msecsText;

    // Graph reads: one at a time, in the order asked, on the connection
    // m_graphDb to m_graphFile (opened at the first read), all under m_graphLock.
    QMutex m_graphLock;
    QString m_graphFile;
    sqlite3 *m_graphDb = nullptr;
    QThreadPool m_graphReads;
};

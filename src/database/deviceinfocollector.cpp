#include "deviceinfocollector.h"

#include "appglobals.h"
#include "deviceitem.h"
#include "hubroitem.h"
#include "measurementslogging.h"
#include "screenfit.h"
#include "settings.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

#include <sqlite3.h>

namespace {

QString storingMapKey()
{
    return QLatin1String(SettingsKey::SQLiteStoringMap);
}

// The storing map set last in this process; the GUI thread's alone.
StoringMap &processStoringMap()
{
    static StoringMap map;
    return map;
}

bool inGuiThreadNow()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

// A serial number as the tables hold it.
QVariant serialValue(const QString &text)
{
    bool ok = false;
    const qlonglong number = text.toLongLong(&ok);
    return ok ? QVariant(number) : QVariant(text);
}

const double NaN = std::numeric_limits<double>::quiet_NaN();

// Session files tried, one per program running at once.
constexpr int SessionFiles = 64;

QString deviceKey(int type, const QString &serial)
{
    return QString::number(type) + QLatin1Char(':') + serial;
}

// How long a graph read waits for a writer's lock (files without write-ahead log).
constexpr int GraphBusyTimeout = 2000;
// An idle graph reading thread ends after this.
constexpr int GraphThreadExpiry = 30000;

// Queue blocks: their length, and how many are kept for reuse.
constexpr size_t BlockSize = 4096;
constexpr size_t SpareBlocks = 64;

} // namespace

template <typename Call>
void DeviceInfoCollector::post(Call &&call)
{
    Queued item;
    item.call = std::forward<Call>(call);
    enqueue(std::move(item));
}

void DeviceInfoCollector::enqueue(Queued &&item)
{
    // One queued call drains everything that arrives until it runs: values
    // come in bursts, and each would otherwise be an event of its own.
    bool wake = false;
    {
        QMutexLocker lock(&m_inboxLock);
        if (m_inbox.empty())
            m_inboxSince = SqliteHandler::monotonicNs();
        if (m_inbox.empty() || m_inbox.back().size() == BlockSize) {
            Block block;
            if (!m_spareBlocks.empty()) {
                block.swap(m_spareBlocks.back());
                m_spareBlocks.pop_back();
            } else {
                block.reserve(BlockSize);
            }
            m_inbox.push_back(std::move(block));
        }
        m_inbox.back().push_back(std::move(item));
        wake = !m_drainPosted;
        m_drainPosted = true;
    }
    if (wake)
        QMetaObject::invokeMethod(this, [this] { drain(); }, Qt::QueuedConnection);
}

void DeviceInfoCollector::drain()
{
    std::vector<Block> batch;
    qint64 since = 0;
    {
        QMutexLocker lock(&m_inboxLock);
        batch.swap(m_inbox);
        since = m_inboxSince;
        m_drainPosted = false;
    }
    // The rows' commit interval counts from the oldest one's hand-over, not
    // from this drain (which may come after a commit that took a while).
    for (Block &block : batch) {
        for (const Queued &item : block) {
            if (item.call)
                item.call();
            else if (item.session == m_session.load(std::memory_order_relaxed))
                appendRow(item.table, item.serial, item.value, since);
        }
        block.clear();
    }
    QMutexLocker lock(&m_inboxLock);
    for (Block &block : batch) {
        if (m_spareBlocks.size() >= SpareBlocks)
            break;
        m_spareBlocks.push_back(std::move(block));
    }
}

void DeviceInfoCollector::forgetFileState()
{
    for (SeriesState &state : m_series) {
        state.used = false;
        state.table = false;
    }
    m_fileDevices.clear();
}

void DeviceInfoCollector::loadFileState()
{
    const QString device = QStringLiteral("Device");
    const QString usedField = QStringLiteral("UsedField");
    const QStringList tables = handler->tableNames(sessionConnection);
    if (tables.contains(device)) {
        const SelectedValues rows =
            handler->selectValues(sessionConnection, device, {QStringLiteral("type"), QStringLiteral("serial")});
        const ColumnContent types = rows.value(QStringLiteral("type"));
        const ColumnContent serials = rows.value(QStringLiteral("serial"));
        for (int i = 0; i < types.size() && i < serials.size(); ++i)
            m_fileDevices.insert(deviceKey(types.at(i).toInt(), serials.at(i).toString()));
    }
    if (tables.contains(usedField)) {
        const SelectedValues rows =
            handler->selectValues(sessionConnection, usedField, {QStringLiteral("device"), QStringLiteral("name")});
        const ColumnContent devices = rows.value(QStringLiteral("device"));
        const ColumnContent names = rows.value(QStringLiteral("name"));
        for (int i = 0; i < devices.size() && i < names.size(); ++i) {
            bool ok = false;
            const qlonglong serial = devices.at(i).toLongLong(&ok);
            if (ok && serial >= 0 && serial <= qlonglong(std::numeric_limits<quint32>::max()))
                m_series[SeriesKey{names.at(i).toString(), quint32(serial)}].used = true;
        }
    }
}

template <typename Call>
bool DeviceInfoCollector::inGuiThread(Call &&call)
{
    if (inGuiThreadNow()) {
        call();
        return true;
    }
    QPointer<DeviceInfoCollector> self(this);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [self, call] {
            if (self)
                call();
        },
        Qt::QueuedConnection);
    return false;
}

DeviceInfoCollector::DeviceInfoCollector(QObject *parent) : InfoCollector(parent)
{
    qRegisterMetaType<GraphSettings_t>("GraphSettings_t");
    qRegisterMetaType<QList<GraphSettings_t>>("QList<GraphSettings_t>");
    qRegisterMetaType<ColumnContent>("ColumnContent");
    qRegisterMetaType<SelectedValues>("SelectedValues");
    qRegisterMetaType<GraphPoints>("GraphPoints");
    m_graphReads.setMaxThreadCount(1);
    m_graphReads.setExpiryTimeout(GraphThreadExpiry);
    if (inGuiThreadNow())
        rebuildAllowed(appSettings.value(storingMapKey()).toMap());
}

DeviceInfoCollector::~DeviceInfoCollector()
{
    m_graphReads.clear();
    m_graphReads.waitForDone();
    setGraphFile(QString());
    // The lock file goes with m_sessionLock: the session file is free again.
    if (!handler)
        return;
    if (handler->thread() == QThread::currentThread()) {
        handler->commitValues();
        delete handler;
    } else {
        handler->deleteLater();
    }
}

QString DeviceInfoCollector::connectionName() const
{
    QMutexLocker lock(&m_nameLock);
    return m_connectionName;
}

void DeviceInfoCollector::setConnectionName(const QString &name)
{
    QMutexLocker lock(&m_nameLock);
    m_connectionName = name;
}

QString DeviceInfoCollector::now()
{
    const qint64 msecs = QDateTime::currentMSecsSinceEpoch();
    if (msecs == m_msecs)
        return m_msecsText; // rows of one millisecond share their text
    const qint64 second = msecs / 1000;
    if (second != m_second) {
        // Zone offsets change on whole seconds: one second shares its text.
        m_second = second;
        m_secondText = QDateTime::fromMSecsSinceEpoch(second * 1000).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss."));
    }
    const int milli = int(msecs % 1000);
    m_msecs = msecs;
    m_msecsText = m_secondText;
    m_msecsText += QChar('0' + milli / 100);
    m_msecsText += QChar('0' + milli / 10 % 10);
    m_msecsText += QChar('0' + milli % 10);
    return m_msecsText;
}

// ---------------------------------------------------------------- opening and closing

void DeviceInfoCollector::openSessionDatabase()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (folder.isEmpty()) {
        qCritical() << "No writable locations";
        return;
    }
    if (!QDir(folder).exists() && !QDir().mkpath(folder))
        qWarning() << "failed to create logging directory" << folder;
    if (m_sessionPath.isEmpty())
        m_sessionPath = claimSessionFile(folder);
    _openDatabase(m_sessionPath);
}

QString DeviceInfoCollector::claimSessionFile(const QString &folder)
{
    const QString first = folder + QLatin1Char('/') + sessionConnection + QLatin1String(".sqlite");
    for (int slot = 1; slot <= SessionFiles; ++slot) {
        const QString path = slot == 1 ? first
                                       : QStringLiteral("%1/%2-%3.sqlite").arg(folder, sessionConnection).arg(slot);
        auto lock = std::make_unique<QLockFile>(path + QLatin1String(".lock"));
        // Held for as long as the program runs; only a lock whose process is gone is stale.
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            m_sessionLock = std::move(lock);
            if (slot > 1)
                qInfo().noquote() << tr("Another running program records measurements into %1; this one records "
                                        "into %2")
                                         .arg(QDir::toNativeSeparators(first), QDir::toNativeSeparators(path));
            return path;
        }
        // A folder where no lock can be made: the usual file, unguarded.
        if (lock->error() != QLockFile::LockFailedError)
            break;
    }
    qWarning() << "No session file could be claimed in" << folder;
    return first;
}

void DeviceInfoCollector::reportDamage(const QString &path, const QString &reason)
{
    const QFileInfo info(path);
    const QString stem = info.path() + QLatin1Char('/') + info.completeBaseName() + QLatin1String("-damaged-")
                         + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString aside = stem + QLatin1String(".sqlite");
    for (int i = 2; QFileInfo::exists(aside); ++i)
        aside = stem + QLatin1Char('-') + QString::number(i) + QLatin1String(".sqlite");
    m_damagedPath = path;
    qWarning() << "Damaged session file" << path << reason;
    emit sessionDatabaseDamaged(path, reason, aside);
}

void DeviceInfoCollector::openDatabase(const QString &filename)
{
    _openDatabase(filename);
}

void DeviceInfoCollector::removeSessionDatabase()
{
    _removeSessionDatabase();
}

void DeviceInfoCollector::_openDatabase(const QString &filename)
{
    setGraphFile(QString());
    if (handler) {
        // The worker of the file opened before goes, with its connections.
        m_session = 0;
        handler->commitValues();
        delete handler;
        handler = nullptr;
    }
    m_readConnection.clear();
    forgetFileState();
    m_failedBackups.clear();

    handler = new SqliteHandler;
    connect(handler, &SqliteHandler::databaseError, this, [this](const QString &connection, const QString &reason) {
        const QString path = handler ? handler->filePath(connection) : connection;
        if (m_session && connection == sessionConnection && handler
            && SqliteHandler::isDamage(handler->lastErrorCode()))
            reportDamage(m_sessionPath, reason);
        else
            emit databaseError(path, reason);
    });
    const bool session = !m_sessionPath.isEmpty() && filename == m_sessionPath;
    const QString name = session ? handler->openSession(filename, sessionConnection) : handler->openDatabase(filename);
    if (name.isEmpty()) {
        const QString reason = handler->lastError();
        const bool damaged = session && SqliteHandler::isDamage(handler->lastErrorCode());
        delete handler;
        handler = nullptr;
        setConnectionName(QString());
        if (damaged)
            reportDamage(filename, reason);
        else
            emit databaseError(filename, reason);
        emit connectionNameChanged(QString());
        return;
    }
    m_readConnection = name;
    if (session) {
        m_session = ++m_openings;
        m_damagedPath.clear();
        loadFileState();
    }
    setGraphFile(handler->filePath(name));
    setConnectionName(filename);
    emit connectionNameChanged(filename);
}

void DeviceInfoCollector::_removeSessionDatabase()
{
    qDebug() << "_removeSessionDatabase. Start";
    // Values reported while the session was open are written into it rather
    // than wait in the queue for the next one.
    if (thread() == QThread::currentThread())
        drain();
    m_session = 0;
    m_enteredDevices.clear();
    if (!handler)
        return;
    const QString time = now();
    // What is queued first, so that every series in the file gets its break row.
    handler->commitValues();
    if (handler->tableNames(sessionConnection).contains(QLatin1String("Device"))) {
        const ColumnContent serials =
            handler->selectValues(sessionConnection, QStringLiteral("Device"), {QStringLiteral("serial")})
                .value(QStringLiteral("serial"));
        for (const QVariant &serial : serials) {
            const ColumnContent names = handler
                                            ->selectValues(sessionConnection, QStringLiteral("UsedField"),
                                                           {QStringLiteral("name")}, QStringLiteral("device = ?"),
                                                           {serial})
                                            .value(QStringLiteral("name"));
            for (const QVariant &name : names)
                handler->insertValues(sessionConnection, name.toString(), valueColumns, {serial, NaN, time});
        }
    }
    handler->commitValues();
    // The file closes alone, so that it returns to its usual form.
    setGraphFile(QString());
    handler->removeDatabase(sessionConnection);
    delete handler;
    handler = nullptr;
    m_readConnection.clear();
    forgetFileState();
    qDebug() << "_removeSessionDatabase. Done";
}

// ---------------------------------------------------------------- writes

void DeviceInfoCollector::createDefaultTables()
{
    post([this] { _createDefaultTables(); });
}

void DeviceInfoCollector::_createDefaultTables()
{
    if (!handler)
        return;
    const QString deviceType = QStringLiteral("DeviceType");
    if (handler->createTable(sessionConnection, deviceType, deviceTypeColumnsDescriptions)) {
        const QStringList columns{QStringLiteral("type"), QStringLiteral("name")};
        for (int code = 0; code < DeviceModelCount; ++code) {
            const QString name = deviceModelNames.value(code);
            if (name.isEmpty())
                continue;
            if (!handler->insertValues(sessionConnection, deviceType, columns, {code, name}))
                qWarning() << "Values not inserted into DeviceType" << code;
        }
    }
    handler->createTable(sessionConnection, QStringLiteral("UsedField"), usedFieldColumnsDescriptions);
    handler->startCommitTimer();
}

void DeviceInfoCollector::appendDevice(int type, uint32_t serialNumber)
{
    post([this, type, serialNumber] { _appendDevice(type, QString::number(serialNumber)); });
}

void DeviceInfoCollector::_appendDevice(int type, const QString &serialNumber)
{
    const QPair<int, QString> entered(type, serialNumber);
    if (!m_enteredDevices.contains(entered))
        m_enteredDevices.append(entered);
    if (!handler || !m_session)
        return;
    const QString key = deviceKey(type, serialValue(serialNumber).toString());
    if (m_fileDevices.contains(key))
        return;
    const QString table = QStringLiteral("Device");
    const QStringList columns{QStringLiteral("type"), QStringLiteral("serial"), QStringLiteral("created")};
    handler->createTable(sessionConnection, table, deviceColumnsDescriptions);
    if (handler->insertValues(sessionConnection, table, columns, {type, serialValue(serialNumber), now()}))
        m_fileDevices.insert(key);
    else
        qWarning() << "Error occurred while" << deviceTypeName(type) << "id" << serialNumber << "inserting";
    handler->startCommitTimer();
}

void DeviceInfoCollector::appendValue(QString tableName, uint deviceId, QVariant value)
{
    const quint64 session = m_session.load(std::memory_order_acquire);
    if (!session || !allowed(deviceId, tableName))
        return;
    // Tagged with the opening it was reported in: a value still queued when
    // that session closed is not written into the next one.
    Queued item;
    item.table = tableName;
    item.serial = deviceId;
    item.value = value;
    item.session = session;
    enqueue(std::move(item));
}

void DeviceInfoCollector::_appendValue(const QString &tableName, const QString &deviceId, const QVariant &value)
{
    bool ok = false;
    const quint32 serial = deviceId.toUInt(&ok);
    if (!ok) {
        qWarning() << "Append value error" << tableName << deviceId;
        return;
    }
    appendRow(tableName, serial, value);
}

void DeviceInfoCollector::appendRow(const QString &tableName, quint32 serial, const QVariant &value,
                                    qint64 handedOverAt)
{
    if (!handler)
        return;
    SeriesState &state = m_series[SeriesKey{tableName, serial}];
    if (std::isnan(value.toDouble())) {
        if (state.nan)
            return;
        state.nan = true;
    } else {
        state.nan = false;
    }
    if (!state.table) {
        handler->createTable(sessionConnection, tableName, valueColumnsDescriptions, valueIndexColumns);
        state.table = true;
    }
    const QVariant row[] = {qlonglong(serial), value, now()};
    if (!handler->insertRow(sessionConnection, tableName, valueColumns, row, 3, handedOverAt)) {
        qWarning() << "Append value error" << tableName << serial;
        state.table = false;
        return;
    }
    // The series' UsedField row, unless the file has it, goes with the same commit.
    if (!state.used) {
        const QString usedField = QStringLiteral("UsedField");
        handler->createTable(sessionConnection, usedField, usedFieldColumnsDescriptions);
        state.used = handler->insertValues(sessionConnection, usedField,
                                           {QStringLiteral("device"), QStringLiteral("name")},
                                           {qlonglong(serial), tableName});
    }
    handler->startCommitTimer();
}

void DeviceInfoCollector::resetSessionDatabase()
{
    inGuiThread([this] {
        appSettings.setValue(storingMapKey(), QVariant());
        rebuildAllowed(QVariantMap());
    });
    post([this] { _resetSessionDatabase(); });
}

void DeviceInfoCollector::_resetSessionDatabase()
{
    qDebug() << "RESET SESSION DATABASE";
    if (!handler)
        return;
    handler->commitValues();
    const QString device = QStringLiteral("Device");
    const QString usedField = QStringLiteral("UsedField");
    const QStringList tables = handler->tableNames(sessionConnection);
    QSet<QString> dropped;
    if (tables.contains(device) && tables.contains(usedField)) {
        const ColumnContent serials =
            handler->selectValues(sessionConnection, device, {QStringLiteral("serial")}).value(QStringLiteral("serial"));
        for (const QVariant &serial : serials) {
            const ColumnContent names = handler
                                            ->selectValues(sessionConnection, usedField, {QStringLiteral("name")},
                                                           QStringLiteral("device = ?"), {serial})
                                            .value(QStringLiteral("name"));
            for (const QVariant &name : names) {
                if (!dropped.contains(name.toString())) {
                    handler->dropTable(sessionConnection, name.toString());
                    dropped.insert(name.toString());
                }
            }
        }
    }
    if (tables.contains(device))
        handler->deleteValues(sessionConnection, device);
    if (tables.contains(usedField))
        handler->deleteValues(sessionConnection, usedField);
    handler->commitValues();
    forgetFileState();
    qDebug() << "RESET SESSION DATABASE. Done";
}

void DeviceInfoCollector::setAsideSessionDatabase(const QString &asidePath)
{
    post([this, asidePath] { _setAsideSessionDatabase(asidePath); });
}

void DeviceInfoCollector::_setAsideSessionDatabase(const QString &asidePath)
{
    // Only the file reported damaged, once.
    if (m_sessionPath.isEmpty() || m_damagedPath != m_sessionPath || asidePath.isEmpty())
        return;
    m_damagedPath.clear();
    if (handler) {
        // Damaged while open: what waits for it cannot be written.
        m_session = 0;
        setGraphFile(QString());
        handler->removeDatabase(sessionConnection);
        delete handler;
        handler = nullptr;
        m_readConnection.clear();
        forgetFileState();
    }
    // The file with its journal and log, so that they stay together; all
    // of them or none.
    QStringList moved;
    QString failure;
    for (const char *suffix : {"-journal", "-wal", "-shm", ""}) {
        QFile file(m_sessionPath + QLatin1String(suffix));
        if (!file.exists())
            continue;
        if (!file.rename(asidePath + QLatin1String(suffix))) {
            failure = file.errorString();
            break;
        }
        moved << QLatin1String(suffix);
    }
    if (!failure.isEmpty()) {
        for (const QString &suffix : qAsConst(moved))
            QFile::rename(asidePath + suffix, m_sessionPath + suffix);
        qWarning() << "Damaged session file not set aside" << m_sessionPath << failure;
        setConnectionName(QString());
        emit databaseError(m_sessionPath, tr("It cannot be renamed to %1: %2").arg(asidePath, failure));
        emit connectionNameChanged(QString());
        return;
    }
    qWarning() << "Damaged session file" << m_sessionPath << "set aside as" << asidePath;
    _openDatabase(m_sessionPath);
    if (!handler)
        return;
    _createDefaultTables();
    const QVector<QPair<int, QString>> devices = m_enteredDevices;
    for (const auto &device : devices)
        _appendDevice(device.first, device.second);
}

// ---------------------------------------------------------------- storing map

StoringMap DeviceInfoCollector::storingMap()
{
    return processStoringMap();
}

QVariantMap DeviceInfoCollector::settingsForm(const StoringMap &map)
{
    QVariantMap form;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        if (it.key())
            form.insert(storingKey(it.key()->deviceType(), it.key()->storingSerialNumber()), it.value());
    }
    return form;
}

void DeviceInfoCollector::rebuildAllowed(const QVariantMap &form)
{
    QHash<quint32, QSet<QString>> allowed;
    for (auto it = form.cbegin(); it != form.cend(); ++it) {
        const QStringList parts = it.key().split(QLatin1Char(':'));
        if (parts.size() != 2) {
            qWarning() << "Wrong key of SQLite storing map" << it.key();
            break;
        }
        QSet<QString> &names = allowed[parts.at(1).toUInt()];
        for (const QString &name : it.value().toStringList())
            names.insert(name);
    }
    QWriteLocker lock(&m_allowedLock);
    m_allowed.swap(allowed);
}

bool DeviceInfoCollector::allowed(quint32 serial, const QString &tableName) const
{
    QReadLocker lock(&m_allowedLock);
    const auto it = m_allowed.constFind(serial);
    return it != m_allowed.constEnd() && it->contains(tableName);
}

void DeviceInfoCollector::compareWithOldMap(const QVariantMap &newForm)
{
    QStringList keys = m_oldStoringMap.keys();
    for (auto it = newForm.cbegin(); it != newForm.cend(); ++it) {
        if (!keys.contains(it.key()))
            keys << it.key();
    }
    keys.sort();
    for (const QString &key : qAsConst(keys)) {
        const QStringList oldList = m_oldStoringMap.value(key).toStringList();
        const QStringList newList = newForm.value(key).toStringList();
        QStringList changes;
        for (const QString &name : newList) {
            if (!oldList.contains(name))
                changes << QLatin1Char('+') + name;
        }
        const uint serial = key.mid(key.indexOf(QLatin1Char(':')) + 1).toUInt();
        for (const QString &name : oldList) {
            if (!newList.contains(name)) {
                changes << QLatin1Char('-') + name;
                // The settings still hold the old choice, so the break row passes.
                appendValue(name, serial, NaN);
            }
        }
        qDebug().noquote() << QStringLiteral("%1: %2").arg(
            key, changes.isEmpty() ? QStringLiteral("no changes") : changes.join(QLatin1Char('/')));
    }
}

void DeviceInfoCollector::saveStoringMap(const QVariantMap &form)
{
    appSettings.setValue(storingMapKey(), form);
    rebuildAllowed(form);
}

void DeviceInfoCollector::setStoringMap(const StoringMap &map)
{
    if (!inGuiThreadNow()) {
        inGuiThread([this, map] { setStoringMap(map); });
        return;
    }
    const QVariantMap form = settingsForm(map);
    compareWithOldMap(form);
    processStoringMap() = map;
    saveStoringMap(form);
    qDebug() << "storingMap swapped";
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        DeviceItem *device = it.key();
        if (!device)
            continue;
        device->fillStoringMap(this);
        appendDevice(device->deviceType(), device->storingSerialNumber());
    }
}

void DeviceInfoCollector::resetStoringMap()
{
    if (!inGuiThreadNow()) {
        inGuiThread([this] { resetStoringMap(); });
        return;
    }
    compareWithOldMap(QVariantMap());
    processStoringMap().clear();
    appSettings.setValue(storingMapKey(), QVariant());
    rebuildAllowed(QVariantMap());
    qDebug() << "storingMap cleared";
}

void DeviceInfoCollector::loadStoringMap(DeviceItem *device)
{
    if (!device)
        return;
    // Taken apart once for as long as the stored map stays the same: every
    // arriving device looks itself up in it.
    const QVariantMap map = appSettings.value(storingMapKey()).toMap();
    if (!m_storingKeys.read || !(map.isSharedWith(m_storingKeys.from) || map == m_storingKeys.from)) {
        StoringKeys keys;
        keys.read = true;
        keys.from = map;
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            const QStringList parts = it.key().split(QLatin1Char(':'));
            if (parts.size() != 2) {
                keys.wrongKey = it.key();
                break;
            }
            keys.devices.insert({int(parts.at(0).toUInt()), parts.at(1).toUInt()});
        }
        m_storingKeys = keys;
    }
    // A device listed before a wrong key is bound; after it, the key is reported.
    const int type = device->deviceType();
    const uint serial = device->storingSerialNumber();
    if (m_storingKeys.devices.contains({type, serial})) {
        device->fillStoringMap(this);
        appendDevice(type, serial);
        return;
    }
    if (!m_storingKeys.wrongKey.isNull())
        qWarning() << "Wrong key of SQLite storing map" << m_storingKeys.wrongKey;
}

void DeviceInfoCollector::openMeasurementsLogging(const QList<DeviceItem *> &devices, QWidget *parent)
{
    // The choice as the window shows it; both storing-map handlers compare with it.
    m_oldStoringMap = appSettings.value(storingMapKey()).toMap();
    // The device model's list holds the expander too: it goes in as the master only.
    HubroItem *master = nullptr;
    QList<DeviceItem *> radioDevices;
    for (DeviceItem *device : devices) {
        if (!device)
            continue;
        if (auto *hubro = qobject_cast<HubroItem *>(device)) {
            if (!master)
                master = hubro;
            continue;
        }
        radioDevices << device;
    }
    auto *window = new MeasurementsLogging(radioDevices, master, parent);
    window->initMap(m_oldStoringMap);
    window->connectSignals();
    // Direct: the handlers post themselves to the GUI thread and use the
    // items while they exist.
    connect(window, &MeasurementsLogging::resetStoringMap, this, &DeviceInfoCollector::resetStoringMap,
            Qt::DirectConnection);
    connect(window, &MeasurementsLogging::setStoringMap, this, &DeviceInfoCollector::setStoringMap,
            Qt::DirectConnection);
    fitOnScreen(window, parent);
    window->show();
}

// ---------------------------------------------------------------- queries

void DeviceInfoCollector::getValues(const GraphSettings_t &settings, const QStringList &fields,
                                    const QVariant &cbValue)
{
    post([this, settings, fields, cbValue] { _getValues(settings, fields, cbValue); });
}

void DeviceInfoCollector::_getValues(const GraphSettings_t &settings, const QStringList &fields,
                                     const QVariant &cbValue)
{
    if (!handler)
        return;
    const bool append = !settings.lastCreated.isEmpty();
    QString where = QStringLiteral("device = ?");
    QVariantList binds{qlonglong(settings.serial)};
    if (append) {
        where += QLatin1String(" AND created > ?");
        binds << settings.lastCreated;
    }
    const SelectedValues rows = handler->selectValues(m_readConnection, settings.field, fields, where, binds);
    emit selectedValuesReceived(settings, rows, append, cbValue);
}

void DeviceInfoCollector::getGraph(const GraphSettings_t &settings, const QVariant &cbValue)
{
    m_graphReads.start([this, settings, cbValue] { readGraph(settings, cbValue); });
}

void DeviceInfoCollector::setGraphFile(const QString &path)
{
    QMutexLocker lock(&m_graphLock);
    if (path == m_graphFile)
        return;
    sqlite3_close(m_graphDb);
    m_graphDb = nullptr;
    m_graphFile = path;
}

void DeviceInfoCollector::readGraph(const GraphSettings_t &settings, const QVariant &cbValue)
{
    QMutexLocker lock(&m_graphLock);
    if (m_graphFile.isEmpty())
        return;
    const bool append = !settings.lastCreated.isEmpty();
    const auto fail = [&](const char *what) {
        qCritical() << "Get values failed" << m_graphFile << settings.field << what
                    << (m_graphDb ? sqlite3_errmsg(m_graphDb) : "");
        emit graphReceived(settings, GraphPoints(), append, cbValue);
    };
    if (!m_graphDb) {
        // Read-only: closing it never touches the file or its log.
        const int opened = sqlite3_open_v2(QFile::encodeName(m_graphFile).constData(), &m_graphDb,
                                           SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
        if (opened != SQLITE_OK) {
            fail("open");
            sqlite3_close(m_graphDb);
            m_graphDb = nullptr;
            return;
        }
        sqlite3_busy_timeout(m_graphDb, GraphBusyTimeout);
    }
    QString text = QStringLiteral("SELECT created, value, id FROM %1 WHERE device = ?1")
                       .arg(SqliteHandler::quotedName(settings.field));
    if (append)
        text += QLatin1String(" AND created > ?2");
    const QByteArray sql = text.toUtf8();
    sqlite3_stmt *query = nullptr;
    if (sqlite3_prepare_v2(m_graphDb, sql.constData(), sql.size() + 1, &query, nullptr) != SQLITE_OK) {
        sqlite3_finalize(query);
        return fail("prepare");
    }
    const QByteArray after = settings.lastCreated.toUtf8();
    sqlite3_bind_int64(query, 1, qlonglong(settings.serial));
    if (append)
        sqlite3_bind_text(query, 2, after.constData(), after.size(), SQLITE_STATIC);
    GraphPointsBuilder builder;
    // The index gives the rows of one time in the order of their values:
    // they go to the graph in the order they were written.
    constexpr int CreatedSize = 23;
    char runCreated[CreatedSize];
    std::vector<std::pair<qint64, double>> run; // id and value
    const auto flush = [&] {
        if (run.size() > 1)
            std::sort(run.begin(), run.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
        for (const auto &row : run)
            builder.add(runCreated, CreatedSize, row.second);
        run.clear();
    };
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(query)) == SQLITE_ROW) {
        const auto *created = reinterpret_cast<const char *>(sqlite3_column_text(query, 0));
        // Of no other size does a time read.
        if (!created || sqlite3_column_bytes(query, 0) != CreatedSize)
            continue;
        if (run.empty() || std::memcmp(created, runCreated, CreatedSize) != 0) {
            flush();
            std::memcpy(runCreated, created, CreatedSize);
        }
        const double value = sqlite3_column_type(query, 1) == SQLITE_NULL ? NaN : sqlite3_column_double(query, 1);
        run.emplace_back(sqlite3_column_int64(query, 2), value);
    }
    flush();
    sqlite3_finalize(query);
    // Part of a graph would move its newest row past the rows left out.
    if (step != SQLITE_DONE)
        return fail("step");
    emit graphReceived(settings, builder.take(), append, cbValue);
}

void DeviceInfoCollector::getColumnContent(const QString &tableName, const QString &columnName,
                                           const QString &where, const QVariant &cbValue)
{
    post([=] { _getColumnContent(tableName, columnName, where, cbValue); });
}

void DeviceInfoCollector::getColumnContent(const QString &tableName, const QString &columnName,
                                           const QString &whereColumn, const QVariant &whereValue,
                                           const QVariant &cbValue)
{
    post([=] { _getColumnContent(tableName, columnName, whereColumn, whereValue, cbValue); });
}

void DeviceInfoCollector::_getColumnContent(const QString &tableName, const QString &columnName,
                                            const QString &where, const QVariant &cbValue)
{
    if (!handler)
        return;
    const SelectedValues rows = handler->selectValues(m_readConnection, tableName, {columnName}, where);
    emit columnContentReceived(columnName, rows.value(columnName), cbValue);
}

void DeviceInfoCollector::_getColumnContent(const QString &tableName, const QString &columnName,
                                            const QString &whereColumn, const QVariant &whereValue,
                                            const QVariant &cbValue)
{
    if (!handler)
        return;
    const SelectedValues rows =
        handler->selectValues(m_readConnection, tableName, {columnName},
                              SqliteHandler::quotedName(whereColumn) + QLatin1String(" = ?"), {whereValue});
    emit columnContentReceived(columnName, rows.value(columnName), cbValue);
}

void DeviceInfoCollector::getBackupGraphs()
{
    post([this] { _getBackupGraphs(); });
}

void DeviceInfoCollector::_getBackupGraphs()
{
    if (!handler)
        return;
    const QString device = QStringLiteral("device");
    const QString name = QStringLiteral("name");
    const QString serial = QStringLiteral("serial");
    const QString type = QStringLiteral("type");
    const SelectedValues used = handler->selectValues(m_readConnection, QStringLiteral("UsedField"), {device, name});
    const SelectedValues devices = handler->selectValues(m_readConnection, QStringLiteral("Device"), {type, serial});
    QHash<qlonglong, int> typeOf;
    const ColumnContent serials = devices.value(serial);
    const ColumnContent types = devices.value(type);
    for (int i = 0; i < serials.size(); ++i) {
        if (!typeOf.contains(serials.at(i).toLongLong()))
            typeOf.insert(serials.at(i).toLongLong(), types.value(i).toInt());
    }
    QList<GraphSettings_t> graphs;
    const ColumnContent usedDevices = used.value(device);
    const ColumnContent usedNames = used.value(name);
    for (int i = 0; i < usedDevices.size(); ++i) {
        const qlonglong id = usedDevices.at(i).toLongLong();
        const auto it = typeOf.constFind(id);
        if (it == typeOf.constEnd())
            continue;
        GraphSettings_t graph;
        graph.type = *it;
        graph.serial = quint32(id);
        graph.field = usedNames.value(i).toString();
        graphs << graph;
    }
    emit backupGraphsReceived(graphs);
}

void DeviceInfoCollector::getMinimum(const QString &tableName, const QString &columnName)
{
    post([=] { _getMinimum(tableName, columnName); });
}

void DeviceInfoCollector::_getMinimum(const QString &tableName, const QString &columnName)
{
    if (!handler)
        return;
    emit minimumReceived(handler->minimumOf(m_readConnection, tableName, columnName));
}

void DeviceInfoCollector::getTableSize(const QString &tableName)
{
    post([=] { _getTableSize(tableName); });
}

void DeviceInfoCollector::_getTableSize(const QString &tableName)
{
    if (!handler)
        return;
    const ColumnContent seq = handler
                                  ->selectValues(m_readConnection, QStringLiteral("sqlite_sequence"),
                                                 {QStringLiteral("seq")}, QStringLiteral("name = ?"), {tableName})
                                  .value(QStringLiteral("seq"));
    if (!seq.isEmpty())
        emit tableSizeReceived(seq.first().toInt());
}

// ---------------------------------------------------------------- backups

void DeviceInfoCollector::makeBackupfile(const QString &backupDir)
{
    post([=] { _makeBackupfile(backupDir); });
}

void DeviceInfoCollector::_makeBackupfile(const QString &backupDir)
{
    const QString name = backupPrefix + QDateTime::currentDateTime().toString(QStringLiteral("_yyyyMMdd_hhmmsszzz"));
    const QString connection =
        handler ? handler->openDatabase(backupDir + QLatin1Char('/') + name + QLatin1String(".sqlite")) : QString();
    if (connection.isEmpty()) {
        qWarning() << "Can't open database for backup" << (handler ? handler->lastError() : QString());
        emit backupConnectionNameReceived(QString());
        return;
    }
    emit backupConnectionNameReceived(connection);
}

void DeviceInfoCollector::failBackup(const QString &backupConnectionName, const QString &text)
{
    m_failedBackups.insert(backupConnectionName);
    qWarning() << "Backup failed" << backupConnectionName << text;
    emit backupFailed(backupConnectionName, text);
}

void DeviceInfoCollector::backupDeviceTypeTable(const QString &backupConnectionName, bool full)
{
    post([=] { _backupDeviceTypeTable(backupConnectionName, full); });
}

void DeviceInfoCollector::_backupDeviceTypeTable(const QString &backupConnectionName, bool full)
{
    if (!handler || !handler->contains(backupConnectionName) || backupConnectionName == m_readConnection
        || m_failedBackups.contains(backupConnectionName))
        return;
    // The copy starts from what has been handed over.
    handler->commitValues();
    const QString deviceType = QStringLiteral("DeviceType");
    const QString device = QStringLiteral("Device");
    const QString usedField = QStringLiteral("UsedField");
    if (handler->tableNames(sessionConnection).contains(deviceType)
        && !handler->backupTable(backupConnectionName, sessionConnection, deviceType, deviceTypeColumnsDescriptions))
        return failBackup(backupConnectionName, handler->lastError());
    if (full) {
        if (!handler->backupTable(backupConnectionName, sessionConnection, device, deviceColumnsDescriptions)
            || !handler->backupTable(backupConnectionName, sessionConnection, usedField,
                                     usedFieldColumnsDescriptions))
            return failBackup(backupConnectionName, handler->lastError());
    } else {
        handler->createTable(backupConnectionName, device, deviceColumnsDescriptions);
        handler->createTable(backupConnectionName, usedField, usedFieldColumnsDescriptions);
    }
}

void DeviceInfoCollector::backup(const QString &backupConnectionName, const QString &start, const QString &end,
                                 const QString &serial, const QString &field, int progress)
{
    post([=] { _backup(backupConnectionName, start, end, serial, field, progress); });
}

void DeviceInfoCollector::_backup(const QString &backupConnectionName, const QString &start, const QString &end,
                                  const QString &serial, const QString &field, int progress)
{
    if (!handler || !handler->contains(backupConnectionName) || backupConnectionName == m_readConnection
        || m_failedBackups.contains(backupConnectionName))
        return;
    handler->commitValues();
    if (!field.isEmpty()) {
        if (!handler->backupTable(backupConnectionName, sessionConnection, field, valueColumnsDescriptions, start,
                                  end, serial, valueIndexColumns)
            || !handler->addDeviceToBackup(backupConnectionName, sessionConnection, deviceColumnsDescriptions, serial)
            || !handler->addUsedFieldToBackup(backupConnectionName, sessionConnection, usedFieldColumnsDescriptions,
                                              serial, field))
            return failBackup(backupConnectionName, handler->lastError());
        emit setProgressBarValue(progress);
        return;
    }
    QStringList tables = handler->tableNames(sessionConnection);
    for (const char *own : {"Device", "DeviceType", "UsedField", "sqlite_sequence"})
        tables.removeAll(QLatin1String(own));
    for (int i = 0; i < tables.size(); ++i) {
        if (!handler->backupTable(backupConnectionName, sessionConnection, tables.at(i), valueColumnsDescriptions,
                                  start, end, QString(), valueIndexColumns))
            return failBackup(backupConnectionName, handler->lastError());
        emit setProgressBarValue((i + 1) * 100 / tables.size());
    }
}

void DeviceInfoCollector::closeBackupfile(const QString &backupConnectionName)
{
    post([=] { _closeBackupfile(backupConnectionName); });
}

void DeviceInfoCollector::_closeBackupfile(const QString &backupConnectionName)
{
    if (handler && backupConnectionName != m_readConnection && backupConnectionName != sessionConnection)
        handler->removeDatabase(backupConnectionName);
    m_failedBackups.remove(backupConnectionName);
    emit backupFileClosed(backupConnectionName);
}

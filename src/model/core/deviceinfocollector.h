#pragma once

#include <QHash>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

class DeviceItem;
class QWidget;

// Devices and the parameter keys to store for each; stored between runs
// under the settings key "SQLite storing map" as a map from "type:serial"
// (both decimal) to the list of keys.
using StoringMap = QHash<DeviceItem *, QStringList>;
Q_DECLARE_METATYPE(StoringMap)

// The measurement collector. Device items hand it their recorded values
// through appendValue() on the thread they live in; the collector itself may
// live in a thread of its own.
class DeviceInfoCollector : public QObject
{
    Q_OBJECT
public:
    explicit DeviceInfoCollector(QObject *parent = nullptr);
    ~DeviceInfoCollector() override;

    // The settings entry key of a device: "%1:%2" of type code and serial.
    static QString storingKey(int deviceType, quint32 serialNumber);
    // The keys stored for the device under "SQLite storing map".
    static QStringList storedKeys(int deviceType, quint32 serialNumber);

    // Path of the database file opened last; empty while none is open.
    QString connectionName() const { return m_connectionName; }

public slots:
    // Open and remove the session database; run in the collector's thread
    // when the main window's collector thread starts and finishes.
    void openSessionDatabase();
    void removeSessionDatabase();
    // Queues the creation of the default tables into the collector's thread.
    void createDefaultTables();
    void _createDefaultTables();
    // Binds a device that connects to the stored measurement selection.
    void loadStoringMap(DeviceItem *device);
    // Opens the window in which the user picks the devices and values to store.
    void openMeasurementsLogging(const QList<DeviceItem *> &devices, QWidget *parent);

    // One value of a device: the parameter key as table name, the serial
    // number, the value (NaN while the device is not online).
    virtual void appendValue(QString tableName, uint deviceId, QVariant value);

signals:
    // The database file now open; empty when opening failed.
    void connectionNameChanged(const QString &name);

private:
    QString m_connectionName;
};

// Registers "StoringMap"; safe to repeat.
void registerStoringMapMetaType();

#pragma once

#include <QHash>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

class DeviceItem;

// Devices and the parameter keys to store for each; stored between runs
// under the settings key "SQLite storing map" as a map from "type:serial"
// (both decimal) to the list of keys.
using StoringMap = QHash<DeviceItem *, QStringList>;
Q_DECLARE_METATYPE(StoringMap)

// What a device item knows of the measurement collector: where its recorded
// values go. The collector itself, with its database, stands in a higher
// layer and derives from this.
class InfoCollector : public QObject
{
    Q_OBJECT
public:
    explicit InfoCollector(QObject *parent = nullptr);
    ~InfoCollector() override;

    // The settings entry key of a device: "%1:%2" of type code and serial.
    static QString storingKey(int deviceType, quint32 serialNumber);
    // The keys stored for the device under "SQLite storing map".
    static QStringList storedKeys(int deviceType, quint32 serialNumber);

public slots:
    // One value of a device: the parameter key as table name, the serial
    // number, the value (NaN while the device is not online). Called on the
    // thread the item lives in.
    virtual void appendValue(QString tableName, uint deviceId, QVariant value) = 0;
};

// Registers "StoringMap"; safe to repeat.
void registerStoringMapMetaType();

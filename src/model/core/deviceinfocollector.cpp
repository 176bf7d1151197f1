#include "deviceinfocollector.h"

#include "deviceitem.h"
#include "settings.h"

DeviceInfoCollector::DeviceInfoCollector(QObject *parent) : QObject(parent)
{
    registerStoringMapMetaType();
}

DeviceInfoCollector::~DeviceInfoCollector() = default;

QString DeviceInfoCollector::storingKey(int deviceType, quint32 serialNumber)
{
    return QStringLiteral("%1:%2").arg(deviceType).arg(serialNumber);
}

QStringList DeviceInfoCollector::storedKeys(int deviceType, quint32 serialNumber)
{
    const QVariantMap map = appSettings.value(QLatin1String(SettingsKey::SQLiteStoringMap)).toMap();
    return map.value(storingKey(deviceType, serialNumber)).toStringList();
}

void DeviceInfoCollector::appendValue(QString tableName, uint deviceId, QVariant value)
{
    Q_UNUSED(tableName)
    Q_UNUSED(deviceId)
    Q_UNUSED(value)
}

void DeviceInfoCollector::openSessionDatabase()
{
    // No session database is kept yet, so there is no name to report.
}

void DeviceInfoCollector::removeSessionDatabase() {}

void DeviceInfoCollector::createDefaultTables()
{
    QMetaObject::invokeMethod(this, "_createDefaultTables", Qt::QueuedConnection);
}

void DeviceInfoCollector::_createDefaultTables() {}

void DeviceInfoCollector::loadStoringMap(DeviceItem *device)
{
    Q_UNUSED(device)
}

void DeviceInfoCollector::openMeasurementsLogging(const QList<DeviceItem *> &devices, QWidget *parent)
{
    Q_UNUSED(devices)
    Q_UNUSED(parent)
}

void registerStoringMapMetaType()
{
    qRegisterMetaType<StoringMap>("StoringMap");
}

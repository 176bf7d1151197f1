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

void registerStoringMapMetaType()
{
    qRegisterMetaType<StoringMap>("StoringMap");
}

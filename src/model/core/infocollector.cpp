#include "infocollector.h"

#include "deviceitem.h"
#include "settings.h"

InfoCollector::InfoCollector(QObject *parent) : QObject(parent)
{
    registerStoringMapMetaType();
}

InfoCollector::~InfoCollector() = default;

QString InfoCollector::storingKey(int deviceType, quint32 serialNumber)
{
    return QStringLiteral("%1:%2").arg(deviceType).arg(serialNumber);
}

QStringList InfoCollector::storedKeys(int deviceType, quint32 serialNumber)
{
    const QVariantMap map = appSettings.value(QLatin1String(SettingsKey::SQLiteStoringMap)).toMap();
    return map.value(storingKey(deviceType, serialNumber)).toStringList();
}

void registerStoringMapMetaType()
{
    qRegisterMetaType<StoringMap>("StoringMap");
}

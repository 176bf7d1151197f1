#include "devicesettings.h"

#include "deviceclasses.h"
#include "deviceitem.h"

#include <QHash>
#include <QMutex>

namespace DeviceSettings {

QStringList keys(int type)
{
    // A class's keys never change: its description is made once per type,
    // not for every device of a file.
    static QMutex mutex;
    static QHash<int, QStringList> known;
    QMutexLocker lock(&mutex);
    const auto found = known.constFind(type);
    if (found != known.constEnd())
        return *found;
    const DescriptionFn describe = DeviceClasses::description(type);
    if (!describe)
        return QStringList(); // not kept: the class may be registered later
    const QStringList list = describe().fileSettingKeys(type);
    known.insert(type, list);
    return list;
}

QVariant value(const DeviceItem *item, const QString &key)
{
    return item ? item->fileSettingValue(key) : QVariant();
}

bool setValue(DeviceItem *item, const QString &key, int value)
{
    return item && item->setFileSettingValue(key, value);
}

} // namespace DeviceSettings

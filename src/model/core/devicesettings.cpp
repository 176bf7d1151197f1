#include "devicesettings.h"

#include "deviceclasses.h"
#include "deviceitem.h"

namespace DeviceSettings {

QStringList keys(int type)
{
    // The description as made once per language, not again for every device of a file.
    const DescriptionFn describe = DeviceClasses::description(type);
    return describe ? describedOnce(describe).fileSettingKeys(type) : QStringList();
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

#include "devicesettings.h"

#include "deviceitem.h"

#include <QHash>

namespace DeviceSettings {
namespace {
QHash<int, QList<Key>> &table()
{
    static QHash<int, QList<Key>> keysByType;
    return keysByType;
}

const Key *find(int type, const QString &name)
{
    const auto it = table().constFind(type);
    if (it == table().constEnd())
        return nullptr;
    for (const Key &key : *it)
        if (key.name == name)
            return &key;
    return nullptr;
}
} // namespace

void registerKeys(std::initializer_list<int> codes, const QList<Key> &keys)
{
    for (int code : codes)
        table().insert(code, keys);
}

QStringList keys(int type)
{
    QStringList names;
    for (const Key &key : table().value(type))
        names << key.name;
    return names;
}

QVariant value(const DeviceItem *item, const QString &key)
{
    const Key *entry = item ? find(item->deviceType(), key) : nullptr;
    return entry ? entry->get(item) : QVariant();
}

bool setValue(DeviceItem *item, const QString &key, int value)
{
    const Key *entry = item ? find(item->deviceType(), key) : nullptr;
    return entry && entry->set(item, value);
}

void clear()
{
    table().clear();
}

} // namespace DeviceSettings

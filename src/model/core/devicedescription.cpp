#include "devicedescription.h"

#include "deviceitem.h"
#include "resourcecache.h"

namespace {
// A copy of `original` with `change` made to it.
template <class T, class Change>
T changed(const T &original, Change change)
{
    T copy = original;
    change(copy);
    return copy;
}
} // namespace

SettingDescription SettingDescription::choice(const QString &key, const QString &title, const QStringList &names,
                                              const QString &field)
{
    SettingDescription s;
    s.key = key;
    s.title = title;
    s.names = names;
    s.field = field;
    return s;
}

SettingDescription SettingDescription::shown(const QString &key, const QString &title, const QStringList &names,
                                             const QString &field)
{
    SettingDescription s = choice(key, title, names, field);
    s.readOnly = true;
    return s;
}

SettingDescription SettingDescription::number(const QString &key, const QString &title, int minimum, int maximum,
                                              const QString &field)
{
    SettingDescription s = choice(key, title, QStringList(), field);
    s.minimum = minimum;
    s.maximum = maximum;
    return s;
}

SettingDescription SettingDescription::inFiles(bool asBoolean) const
{
    return changed(*this, [&](auto &c) { c.inConfigurationFiles = true; c.booleanInFiles = asBoolean; });
}

SettingDescription SettingDescription::exportedOnly() const
{
    return changed(*this, [](auto &c) { c.exportOnly = true; });
}

SettingDescription SettingDescription::onlyForCodes(const QList<int> &codes) const
{
    return changed(*this, [&](auto &c) { c.fileCodes = codes; });
}

SettingDescription SettingDescription::shiftedBy(int deviceOffset) const
{
    return changed(*this, [&](auto &c) { c.offset = deviceOffset; });
}

SettingDescription SettingDescription::invertedBit() const
{
    return changed(*this, [&](auto &c) { c.inverted = true; });
}

SettingDescription SettingDescription::needsFirmware(const QVersionNumber &minimum) const
{
    return changed(*this, [&](auto &c) { c.firmware = minimum; });
}

SettingWrite SettingWrite::queued(const QByteArray &prefix, const QStringList &settings)
{
    SettingWrite w;
    w.prefix = prefix;
    w.settings = settings;
    return w;
}

SettingWrite SettingWrite::memoryCell(quint16 cell, const QStringList &settings)
{
    SettingWrite w;
    w.kind = MemoryCell;
    w.cell = cell;
    w.settings = settings;
    return w;
}

SettingWrite SettingWrite::direct(const QByteArray &prefix, const QStringList &settings)
{
    SettingWrite w = queued(prefix, settings);
    w.kind = Direct;
    return w;
}

SettingWrite SettingWrite::withData(std::function<QByteArray(const QList<int> &)> make) const
{
    return changed(*this, [&](auto &c) { c.data = std::move(make); });
}

SettingWrite SettingWrite::fromFirmware(const QVersionNumber &version) const
{
    return changed(*this, [&](auto &c) { c.from = version; });
}

SettingWrite SettingWrite::belowFirmware(const QVersionNumber &version) const
{
    return changed(*this, [&](auto &c) { c.below = version; });
}

SettingWrite SettingWrite::everyTime() const
{
    return changed(*this, [&](auto &c) { c.always = true; });
}

SettingWrite SettingWrite::mirrored() const
{
    return changed(*this, [&](auto &c) { c.mirror = true; });
}

bool SettingWrite::serves(const QVersionNumber &firmware) const
{
    if (!from.isNull() && QVersionNumber::compare(firmware, from) < 0)
        return false;
    return below.isNull() || QVersionNumber::compare(firmware, below) < 0;
}

DeviceKit::TitledKeys DeviceTitles::table() const
{
    DeviceKit::TitledKeys pairs;
    if (keepsBase) {
        for (const DeviceKit::TitledKey &pair : DeviceKit::baseTitles(DeviceDescription::baseFieldNames()))
            if (!removed.contains(pair.key))
                pairs.append(pair);
    }
    return pairs + added;
}

QStringList DeviceDescription::baseFieldNames()
{
    return DeviceItem::staticFieldNames();
}

void DeviceDescription::setTitledFields(const DeviceKit::TitledKeys &pairs)
{
    titles = DeviceTitles::exactly(pairs);
    fieldNames.clear();
    for (const DeviceKit::TitledKey &pair : pairs)
        fieldNames << pair.key;
}

const SettingDescription *DeviceDescription::setting(const QString &key) const
{
    for (const SettingDescription &s : settings)
        if (s.key == key)
            return &s;
    return nullptr;
}

QStringList DeviceDescription::fileSettingKeys(int code) const
{
    QStringList keys;
    for (const SettingDescription &s : settings)
        if (s.carriedFor(code))
            keys << s.key;
    return keys;
}

DeviceDescription describedOnce(DescriptionFn describe)
{
    static ResourceCache::Translated<quintptr, DeviceDescription> descriptions;
    return descriptions.value(quintptr(describe), describe);
}

DeviceKit::TitledKeys titleTableOnce(DescriptionFn describe)
{
    static ResourceCache::Translated<quintptr, DeviceKit::TitledKeys> tables;
    return tables.value(quintptr(describe), [describe] { return describedOnce(describe).titles.table(); });
}

QMap<QString, QString> titleMapOnce(DescriptionFn describe)
{
    static ResourceCache::Translated<quintptr, QMap<QString, QString>> maps;
    return maps.value(quintptr(describe), [describe] {
        QMap<QString, QString> map;
        for (const DeviceKit::TitledKey &pair : titleTableOnce(describe))
            map.insert(pair.title, pair.key);
        return map;
    });
}

#include "deviceclasses.h"

#include "deviceitem.h"
#include "resourcecache.h"

#include <QDebug>
#include <QHash>

#include <array>

namespace DeviceClasses {
namespace {
struct Entry
{
    QString className;
    Creator creator;
};

struct Titles
{
    TitleLookupFn keyOfTitle;
    TitleLookupFn titleOfKey;
};

QHash<int, Entry> &creators()
{
    static QHash<int, Entry> table;
    return table;
}

QHash<int, FieldNamesFn> &fieldNameLists()
{
    static QHash<int, FieldNamesFn> table;
    return table;
}

QHash<int, Titles> &titleLists()
{
    static QHash<int, Titles> table;
    return table;
}

QHash<int, DescriptionFn> &descriptions()
{
    static QHash<int, DescriptionFn> table;
    return table;
}
} // namespace

namespace {
// True when another class has the code: the later one is refused.
bool takenByAnother(int code, const QString &className)
{
    const auto it = creators().constFind(code);
    if (it == creators().constEnd() || it->className == className)
        return false;
    qWarning().noquote() << QStringLiteral("Type code %1 belongs to %2, not to %3").arg(code).arg(it->className, className);
    return true;
}
} // namespace

void registerCreator(int code, const QString &className, Creator creator)
{
    if (!takenByAnother(code, className))
        creators().insert(code, Entry{className, std::move(creator)});
}

void registerFieldNames(int code, FieldNamesFn fieldNames)
{
    fieldNameLists().insert(code, std::move(fieldNames));
}

void registerTitles(int code, TitleLookupFn keyOfTitle, TitleLookupFn titleOfKey)
{
    titleLists().insert(code, Titles{std::move(keyOfTitle), std::move(titleOfKey)});
}

void registerDescribed(DescriptionFn describe, const QString &className, Creator creator)
{
    // A class without a description of its own would take its base's codes.
    const DeviceDescription d = describe();
    for (int code : d.codes)
        if (takenByAnother(code, className))
            return;
    for (int code : d.codes)
        registerCreator(code, className, creator);
    for (int code : d.codes + d.listedCodes) {
        descriptions().insert(code, describe);
        registerFieldNames(code, [describe] { return describedOnce(describe).fieldNames; });
        registerTitles(
            code, [describe](const QString &title) { return DeviceKit::keyOfTitle(titleTableOnce(describe), title); },
            [describe](const QString &key) { return DeviceKit::titleOfKey(titleTableOnce(describe), key); });
    }
}

QString className(int code)
{
    const auto it = creators().constFind(code);
    return it == creators().constEnd() ? QStringLiteral("DeviceItem") : it->className;
}

bool hasCreator(int code)
{
    return creators().contains(code);
}

DescriptionFn description(int code)
{
    return descriptions().value(code);
}

void clear()
{
    creators().clear();
    fieldNameLists().clear();
    titleLists().clear();
    descriptions().clear();
}

namespace {
std::array<TypeTraits, 256> buildTraits()
{
    std::array<TypeTraits, 256> traits;
    const auto rows = [&traits](std::initializer_list<int> codes, auto set) {
        for (int code : codes)
            set(traits[size_t(code)]);
    };
    using Alarm = TypeTraits::AlarmText;
    rows({2, 3, 22, 67}, [](TypeTraits &t) { t.alarmText = Alarm::Fire; });
    rows({63}, [](TypeTraits &t) { t.alarmText = Alarm::ExtinguishingStart; });
    rows({64}, [](TypeTraits &t) { t.alarmText = Alarm::SmokeExhaustStart; });
    rows({6, 7, 10, 13, 14, 15, 16, 18, 20, 23, 24, 25, 26, 27, 28, 29, 53, 55, 65, 70},
         [](TypeTraits &t) { t.alarmText = Alarm::None; });
    rows({6, 7, 13, 18, 26, 33, 52, 70}, [](TypeTraits &t) { t.failText = false; });
    rows({13}, [](TypeTraits &t) { t.reservePowerText = false; });
    rows({14, 22}, [](TypeTraits &t) { t.normalText = false; });
    rows({30, 50, 51, 70, 71}, [](TypeTraits &t) { t.batteryVoltage = false; });
    rows({22}, [](TypeTraits &t) { t.batteryNeedsVoltage = false; });
    rows({2, 5}, [](TypeTraits &t) { t.extraAddresses = false; });
    rows({13, 19}, [](TypeTraits &t) { t.classFlag = true; });
    return traits;
}
} // namespace

const TypeTraits &typeTraits(int code)
{
    static const std::array<TypeTraits, 256> traits = buildTraits();
    return traits[size_t(quint8(code))];
}

} // namespace DeviceClasses

DeviceItem *createDeviceItem(const deviceInfo_t &info, bool kastrelMode)
{
    const auto it = DeviceClasses::creators().constFind(info.deviceType);
    if (it != DeviceClasses::creators().constEnd() && it->creator)
        return it->creator(info, kastrelMode);
    return new DeviceItem(info, kastrelMode);
}

QStringList DeviceItem::fieldNamesForType(int type)
{
    const DeviceClasses::FieldNamesFn fn = DeviceClasses::fieldNameLists().value(type);
    return fn ? fn() : staticFieldNames();
}

QString DeviceItem::parameterKeyForType(int type, const QString &title)
{
    const auto it = DeviceClasses::titleLists().constFind(type);
    if (it != DeviceClasses::titleLists().constEnd() && it->keyOfTitle)
        return it->keyOfTitle(title);
    return staticParameterKey(title);
}

QString DeviceItem::parameterTitleForType(int type, const QString &key)
{
    const auto it = DeviceClasses::titleLists().constFind(type);
    if (it != DeviceClasses::titleLists().constEnd() && it->titleOfKey)
        return it->titleOfKey(key);
    return staticParameterTitle(key);
}

namespace {
// The base pairs (key, title) in field-name order.
DeviceKit::TitledKeys translateBaseTitles()
{
    return {
        {QStringLiteral("gpActiveZone"), DeviceItem::tr("Work mode")},
        {QStringLiteral("multiFunc"), DeviceItem::tr("Function")},
        {QStringLiteral("gpCase"), DeviceItem::tr("Case")},
        {QStringLiteral("gpCtrlCase"), DeviceItem::tr("Case control")},
        {QStringLiteral("gpMainPwr"), DeviceItem::tr("Battery state")},
        {QStringLiteral("gpMainBattery"), DeviceItem::tr("Battery voltage")},
        {QStringLiteral("reservPwrState"), DeviceItem::tr("Reserv power")},
        {QStringLiteral("rl"), DeviceItem::tr("RL")},
        {QStringLiteral("gpRssi"), DeviceItem::tr("Signal level")},
        {QStringLiteral("gpAlarm"), DeviceItem::tr("Alarm")},
        {QStringLiteral("gpUndef"), DeviceItem::tr("Undefined")},
    };
}

DeviceKit::TitledKeys baseTitleTable()
{
    static ResourceCache::Translated<int, DeviceKit::TitledKeys> table;
    return table.value(0, translateBaseTitles);
}
} // namespace

QStringList DeviceItem::staticFieldNames()
{
    QStringList keys;
    for (const DeviceKit::TitledKey &pair : baseTitleTable())
        keys << pair.key;
    return keys;
}

QString DeviceItem::staticParameterKey(const QString &title)
{
    return DeviceKit::keyOfTitle(baseTitleTable(), title);
}

QString DeviceItem::staticParameterTitle(const QString &key)
{
    return DeviceKit::titleOfKey(baseTitleTable(), key);
}

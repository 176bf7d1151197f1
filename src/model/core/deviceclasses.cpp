#include "deviceclasses.h"

#include "deviceitem.h"

#include <QHash>

namespace DeviceClasses {
namespace {
struct Entry
{
    QString className;
    Creator creator;
};

struct Titles
{
    TitleLookupFn keyOfTitle = nullptr;
    TitleLookupFn titleOfKey = nullptr;
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
} // namespace

void registerCreator(int code, const QString &className, Creator creator)
{
    creators().insert(code, Entry{className, std::move(creator)});
}

void registerFieldNames(int code, FieldNamesFn fieldNames)
{
    fieldNameLists().insert(code, fieldNames);
}

void registerTitles(int code, TitleLookupFn keyOfTitle, TitleLookupFn titleOfKey)
{
    titleLists().insert(code, Titles{keyOfTitle, titleOfKey});
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

void clear()
{
    creators().clear();
    fieldNameLists().clear();
    titleLists().clear();
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
QList<QPair<QString, QString>> baseTitles()
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
} // namespace

QStringList DeviceItem::staticFieldNames()
{
    QStringList keys;
    for (const auto &pair : baseTitles())
        keys << pair.first;
    return keys;
}

QString DeviceItem::staticParameterKey(const QString &title)
{
    for (const auto &pair : baseTitles())
        if (pair.second == title)
            return pair.first;
    return QString();
}

QString DeviceItem::staticParameterTitle(const QString &key)
{
    for (const auto &pair : baseTitles())
        if (pair.first == key)
            return pair.second;
    return QString();
}

#pragma once

// The device settings that configuration files carry, by device-type code
// and JSON key: the exporter reads them from the items' editors, the file
// connection writes them back after an item's state update.

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <initializer_list>

class DeviceItem;

namespace DeviceSettings {

struct Key
{
    QString name;
    std::function<QVariant(const DeviceItem *)> get; // invalid for an item of another class
    std::function<bool(DeviceItem *, int)> set;      // false for an item of another class
};

// A key served by the getter and setter of class T.
template <class T, class Value>
Key key(const char *name, Value (T::*get)() const, void (T::*set)(int))
{
    return Key{QString::fromLatin1(name),
               [get](const DeviceItem *item) -> QVariant {
                   const T *typed = qobject_cast<const T *>(item);
                   return typed ? QVariant((typed->*get)()) : QVariant();
               },
               [set](DeviceItem *item, int value) {
                   T *typed = qobject_cast<T *>(item);
                   if (typed && set)
                       (typed->*set)(value);
                   return typed && set;
               }};
}

void registerKeys(std::initializer_list<int> codes, const QList<Key> &keys);
// The keys of a type code, in file order; empty for a type without settings.
QStringList keys(int type);
// The item's value under `key`, looked up by the item's type code; invalid
// when the type has no such key.
QVariant value(const DeviceItem *item, const QString &key);
// Sets the item's setting under `key` (not a user edit: nothing is marked
// or sent). False when the type has no such key.
bool setValue(DeviceItem *item, const QString &key, int value);
// Forgets every registration (tests).
void clear();

} // namespace DeviceSettings

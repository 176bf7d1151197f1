#pragma once

// The device settings that configuration files carry, by device-type code
// and JSON key, as the classes' descriptions give them: the exporter reads
// them from the items' editors, the file connection writes them back after
// an item's state update.

#include <QString>
#include <QStringList>
#include <QVariant>

class DeviceItem;

namespace DeviceSettings {

// The keys of a type code, in file order; empty for a type without settings.
QStringList keys(int type);
// The item's value under `key` (a number, or a boolean where files carry
// one); invalid when the item has no such setting.
QVariant value(const DeviceItem *item, const QString &key);
// Sets the item's setting under `key` (not a user edit: nothing is marked
// or sent). False when the item has no such setting, or one that files
// carry for export only.
bool setValue(DeviceItem *item, const QString &key, int value);

} // namespace DeviceSettings

#pragma once

// Device items held across a modal dialog or question, which may see some
// of them go.

#include "deviceitem.h"

#include <QList>
#include <QPointer>

inline QList<QPointer<DeviceItem>> guarded(const QList<DeviceItem *> &items)
{
    QList<QPointer<DeviceItem>> guards;
    for (DeviceItem *item : items)
        guards << item;
    return guards;
}

// The guarded items that still exist, in order.
inline QList<DeviceItem *> stillThere(const QList<QPointer<DeviceItem>> &guards)
{
    QList<DeviceItem *> items;
    for (const QPointer<DeviceItem> &item : guards)
        if (item)
            items << item;
    return items;
}

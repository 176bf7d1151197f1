#pragma once

#include <QList>
#include <QMetaType>
#include <QString>

// One context-menu action of a device item. Ids below 1000 belong to the
// device classes, 1000 to 1004 to every device, 2000 and up to the master.
struct DeviceAction
{
    int id = 0;
    QString text;

    bool operator==(const DeviceAction &other) const { return id == other.id && text == other.text; }
};
Q_DECLARE_METATYPE(DeviceAction)
Q_DECLARE_METATYPE(QList<DeviceAction>)

// Registers "DeviceAction" and "QList<DeviceAction>"; safe to repeat.
inline void registerDeviceActionMetaTypes()
{
    qRegisterMetaType<DeviceAction>("DeviceAction");
    qRegisterMetaType<QList<DeviceAction>>("QList<DeviceAction>");
}

#include "devicelist.h"

#include "deviceitem.h"

GuardedDevices guardDevices(const QList<DeviceItem *> &devices)
{
    GuardedDevices guarded;
    for (DeviceItem *device : devices)
        if (device)
            guarded.append(device);
    return guarded;
}

QList<DeviceItem *> liveDevices(const GuardedDevices &devices)
{
    QList<DeviceItem *> live;
    for (const QPointer<DeviceItem> &device : devices)
        if (device)
            live.append(device.data());
    return live;
}

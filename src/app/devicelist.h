#pragma once

#include <QList>
#include <QPointer>

class DeviceItem;

// Selected devices held across a modal dialog, during which any of them may
// be deleted.
using GuardedDevices = QList<QPointer<DeviceItem>>;

// The non-null devices of the list, guarded.
GuardedDevices guardDevices(const QList<DeviceItem *> &devices);
// The guarded devices that still exist, in order.
QList<DeviceItem *> liveDevices(const GuardedDevices &devices);

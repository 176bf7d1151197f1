#pragma once

#include "connectiontypes.h"

#include <QList>
#include <QPointer>

class DeviceItem;
class QObject;

// What the device delegates read of the current connection: the kind of
// master, the master item and the radio devices in ascending address order.
// The connection implements it; tests use a small fake.
class DeviceSource
{
public:
    virtual ~DeviceSource();
    virtual MasterType masterType() const = 0;
    virtual DeviceItem *master() const = 0;
    virtual QList<DeviceItem *> devices() const = 0;
};

// A delegate's hold on its source: when the source is also a QObject, the
// hold lets go of it once it is destroyed, so a delegate that outlives its
// connection reads an ordinary master with no devices.
class DeviceSourceRef
{
public:
    DeviceSourceRef(DeviceSource *source = nullptr);

    DeviceSource *get() const;
    MasterType masterType() const;
    DeviceItem *master() const;
    QList<DeviceItem *> devices() const;
    // The wired-bus addressing (Kastrel addresses, range up to 255) belongs
    // to master type 1 only.
    bool wiredBus() const { return masterType() == MasterTrombel; }

private:
    DeviceSource *m_source = nullptr;
    QPointer<QObject> m_guard;
    bool m_guarded = false;
};

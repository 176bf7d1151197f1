#include "devicesource.h"

#include <QObject>

DeviceSource::~DeviceSource() = default;

DeviceSourceRef::DeviceSourceRef(DeviceSource *source)
    : m_source(source)
{
    if (auto *object = dynamic_cast<QObject *>(source)) {
        m_guard = object;
        m_guarded = true;
    }
}

DeviceSource *DeviceSourceRef::get() const
{
    if (m_guarded && !m_guard)
        return nullptr;
    return m_source;
}

MasterType DeviceSourceRef::masterType() const
{
    const DeviceSource *source = get();
    return source ? source->masterType() : MasterOrdinary;
}

DeviceItem *DeviceSourceRef::master() const
{
    const DeviceSource *source = get();
    return source ? source->master() : nullptr;
}

QList<DeviceItem *> DeviceSourceRef::devices() const
{
    const DeviceSource *source = get();
    return source ? source->devices() : QList<DeviceItem *>();
}

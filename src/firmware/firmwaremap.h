#pragma once

#include "vorl.h"

#include <QList>
#include <QMetaType>
#include <QPair>

class DeviceItem;

// Firmware containers and, for each, the targets to update with it (the
// master item for the master's own sections). Keys in the order they were
// first inserted; inserting a present key replaces its targets.
class FirmwareMap
{
public:
    using Entry = QPair<pVORL, QList<DeviceItem *>>;

    void insert(const pVORL &firmware, const QList<DeviceItem *> &targets)
    {
        for (Entry &entry : m_entries)
            if (entry.first == firmware) {
                entry.second = targets;
                return;
            }
        m_entries << Entry(firmware, targets);
    }
    bool contains(const pVORL &firmware) const
    {
        for (const Entry &entry : m_entries)
            if (entry.first == firmware)
                return true;
        return false;
    }
    QList<DeviceItem *> value(const pVORL &firmware) const
    {
        for (const Entry &entry : m_entries)
            if (entry.first == firmware)
                return entry.second;
        return {};
    }
    QList<pVORL> keys() const
    {
        QList<pVORL> list;
        for (const Entry &entry : m_entries)
            list << entry.first;
        return list;
    }
    const QList<Entry> &entries() const { return m_entries; }
    int size() const { return m_entries.size(); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    void clear() { m_entries.clear(); }

private:
    QList<Entry> m_entries;
};

Q_DECLARE_METATYPE(FirmwareMap)

#pragma once

#include "deviceitem.h"

#include <QHash>
#include <QList>
#include <QMetaObject>

// A device item that other device items hang below in the device tree:
// every device that relays radio traffic derives from it, and so does the
// master's item. The child list does not own its items; the tree model
// keeps the list and each child's parent pointer in step.
class DI_AbstractRepeater : public DeviceItem
{
    Q_OBJECT
public:
    DI_AbstractRepeater(const deviceInfo_t &info, bool kastrelMode);
    ~DI_AbstractRepeater() override;

    // Appends at the end; no duplicate check, no sorting.
    void appendChild(DeviceItem *item);
    // Null outside 0 .. childCount() - 1.
    DeviceItem *child(int row) const;
    int childCount() const { return m_children.size(); }
    QList<DeviceItem *> children() const { return m_children; }
    // Row of the first child with a greater device number, else childCount().
    int childInsertPosition(const DeviceItem *item) const;
    // First row of the item, -1 when absent.
    int indexOfChild(const DeviceItem *item) const;
    // Removes every occurrence of the item.
    void removeChild(DeviceItem *item);
    // Ascending device numbers.
    void sortChildren();

    QString toolTip() const override;

protected:
    // A repeater class with its description (DeviceItem's).
    DI_AbstractRepeater(const deviceInfo_t &info, bool kastrelMode, DescriptionFn describe);

private:
    void forget(DeviceItem *item);

    QList<DeviceItem *> m_children;
    // A child deleted while still listed is dropped from the list, so the
    // list never holds a dangling pointer.
    QHash<DeviceItem *, QMetaObject::Connection> m_watch;
};

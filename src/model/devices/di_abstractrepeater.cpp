#include "di_abstractrepeater.h"

#include "versiontext.h"

#include <algorithm>

DI_AbstractRepeater::DI_AbstractRepeater(const deviceInfo_t &info, bool kastrelMode)
    : DeviceItem(info, kastrelMode)
{
}

DI_AbstractRepeater::DI_AbstractRepeater(const deviceInfo_t &info, bool kastrelMode, DescriptionFn describe)
    : DeviceItem(info, kastrelMode, describe)
{
}

DI_AbstractRepeater::~DI_AbstractRepeater()
{
    for (auto it = m_watch.cbegin(); it != m_watch.cend(); ++it)
        disconnect(it.value());
    // The children outlive us: none may keep pointing here.
    for (DeviceItem *item : qAsConst(m_children)) {
        if (item->parentRepeater() == this)
            item->setParentRepeater(nullptr);
    }
}

void DI_AbstractRepeater::appendChild(DeviceItem *item)
{
    if (!item)
        return;
    m_children.append(item);
    if (!m_watch.contains(item))
        m_watch.insert(item, connect(item, &QObject::destroyed, this, [this, item] { forget(item); }));
}

DeviceItem *DI_AbstractRepeater::child(int row) const
{
    return row >= 0 && row < m_children.size() ? m_children.at(row) : nullptr;
}

int DI_AbstractRepeater::childInsertPosition(const DeviceItem *item) const
{
    const int id = item ? item->deviceId() : 0;
    for (int row = 0; row < m_children.size(); ++row) {
        if (m_children.at(row)->deviceId() > id)
            return row;
    }
    return m_children.size();
}

int DI_AbstractRepeater::indexOfChild(const DeviceItem *item) const
{
    for (int row = 0; row < m_children.size(); ++row) {
        if (m_children.at(row) == item)
            return row;
    }
    return -1;
}

void DI_AbstractRepeater::removeChild(DeviceItem *item)
{
    m_children.removeAll(item);
    const auto it = m_watch.find(item);
    if (it != m_watch.end()) {
        disconnect(it.value());
        m_watch.erase(it);
    }
}

void DI_AbstractRepeater::forget(DeviceItem *item)
{
    // Called while the item is being destroyed: the pointer is compared only.
    m_children.removeAll(item);
    m_watch.remove(item);
}

void DI_AbstractRepeater::sortChildren()
{
    std::stable_sort(m_children.begin(), m_children.end(),
                     [](const DeviceItem *a, const DeviceItem *b) { return a->deviceId() < b->deviceId(); });
}

QString DI_AbstractRepeater::toolTip() const
{
    QString address = addressText();
    address.replace(DeviceItem::tr("Not assigned"), QStringLiteral("*"));
    return tr(" #%1\n%2\nhw: %3 fw: %4\ns/n: %5")
        .arg(address, itemTypeName(), versionToString(hardwareVersion()), versionToString(firmwareVersion()),
             QStringLiteral("%1").arg(serialNumber(), 10, 10, QLatin1Char('0')));
}

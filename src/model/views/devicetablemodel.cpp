#include "devicetablemodel.h"

#include "appglobals.h"
#include "di_abstractrepeater.h"
#include "versiontext.h"

#include <QAbstractProxyModel>
#include <QColor>
#include <QPointer>
#include <QtEndian>

namespace {
constexpr int LeftAlignment = Qt::AlignVCenter;
constexpr int CentredAlignment = Qt::AlignHCenter | Qt::AlignVCenter;
} // namespace

DeviceTableModel::DeviceTableModel(QObject *parent)
    : QAbstractItemModel(parent)
    , m_root(new DI_AbstractRepeater(deviceInfo_t(), false)) // the all-zero record
{
    m_children.insert(m_root, {});
    m_refreshTimer.setInterval(RefreshIntervalMs);
    connect(&m_refreshTimer, &QTimer::timeout, this, &DeviceTableModel::refresh);
}

DeviceTableModel::~DeviceTableModel()
{
    const auto items = m_devices;
    for (auto it = m_holders.cbegin(); it != m_holders.cend(); ++it) {
        const auto children = it.value()->children();
        for (DeviceItem *child : children)
            it.value()->removeChild(child);
    }
    for (DeviceItem *item : items)
        release(item);
    delete m_root;
}

// ---------------------------------------------------------------- statics

bool DeviceTableModel::isRepeaterType(int type)
{
    switch (type) {
    case 0: case 1: case 30: case 40: case 41: case 44: case 49: case 50: case 51: case 57: case 71: case 141:
        return true;
    default:
        return false;
    }
}

bool DeviceTableModel::isPlacementMasterType(int type)
{
    switch (type) {
    case 0: case 1: case 40: case 41: case 44: case 141:
        return true;
    default:
        return false;
    }
}

quint32 DeviceTableModel::parentRoute(quint32 rl)
{
    // The hops run from byte 13 to byte 16 of the record, high nibble
    // first; the last non-zero nibble is the last hop.
    for (int byte = 3; byte >= 0; --byte) {
        const int shift = byte * 8;
        const quint32 value = (rl >> shift) & 0xFFu;
        if (value == 0)
            continue;
        if (value & 0x0Fu)
            return rl & ~(0x0Fu << shift);
        return rl & ~(0xFFu << shift);
    }
    return 0;
}

QString DeviceTableModel::routeText(quint32 rl)
{
    return QString::number(qbswap(rl), 16);
}

uint DeviceTableModel::addressFromValue(const QVariant &value)
{
    if (value.type() != QVariant::String && value.canConvert<uint>()) {
        bool ok = false;
        const uint number = value.toUInt(&ok);
        if (ok)
            return number;
    }
    const QString text = value.toString().trimmed();
    int end = 0;
    while (end < text.size() && text.at(end).isDigit())
        ++end;
    return end > 0 ? text.left(end).toUInt() : 0;
}

DeviceItem *DeviceTableModel::itemAt(const QModelIndex &index)
{
    QModelIndex source = index;
    const QAbstractItemModel *model = index.model();
    while (const auto *proxy = qobject_cast<const QAbstractProxyModel *>(model)) {
        source = proxy->mapToSource(source);
        model = proxy->sourceModel();
    }
    const auto *table = qobject_cast<const DeviceTableModel *>(model);
    return table ? table->itemFromIndex(source) : nullptr;
}

DeviceTableModel *DeviceTableModel::sourceModelOf(const QAbstractItemModel *model)
{
    while (const auto *proxy = qobject_cast<const QAbstractProxyModel *>(model))
        model = proxy->sourceModel();
    return qobject_cast<DeviceTableModel *>(const_cast<QAbstractItemModel *>(model));
}

void DeviceTableModel::finishEditLater(const QModelIndex &index)
{
    QPointer<DeviceTableModel> model = sourceModelOf(index.model());
    QPointer<DeviceItem> item = itemAt(index);
    if (!model || !item)
        return;
    QTimer::singleShot(0, model, [model, item] {
        if (model && item)
            model->editFinished(item);
    });
}

// ---------------------------------------------------------- bookkeeping

DeviceItem *DeviceTableModel::itemPointer(const QModelIndex &index) const
{
    return static_cast<DeviceItem *>(index.internalPointer());
}

DeviceItem *DeviceTableModel::parentOf(DeviceItem *item) const
{
    return m_parents.value(item);
}

int DeviceTableModel::rowOf(DeviceItem *item) const
{
    if (!isTree())
        return m_devices.indexOf(item);
    DeviceItem *holder = m_parents.value(item);
    return holder ? m_children.value(holder).indexOf(item) : -1;
}

QModelIndex DeviceTableModel::holderIndex(DeviceItem *holder) const
{
    if (!holder || holder == m_root)
        return QModelIndex();
    const int row = rowOf(holder);
    return row < 0 ? QModelIndex() : createIndex(row, 0, holder);
}

void DeviceTableModel::emitRowChanged(DeviceItem *item, int firstColumn, int lastColumn)
{
    const int row = rowOf(item);
    if (row < 0)
        return;
    emit dataChanged(createIndex(row, firstColumn, item), createIndex(row, lastColumn, item));
}

QList<DeviceItem *> DeviceTableModel::devices() const
{
    QList<DeviceItem *> listed;
    listed.reserve(m_devices.size());
    for (DeviceItem *item : m_devices)
        if (m_members.contains(item))
            listed.append(item);
    return listed;
}

void DeviceTableModel::release(DeviceItem *item)
{
    disconnect(item, nullptr, this, nullptr);
    item->setParentRepeater(nullptr);
}

int DeviceTableModel::insertPosition(DeviceItem *holder, DeviceItem *item) const
{
    // After the children with the same or a lower device number.
    const QList<DeviceItem *> children = m_children.value(holder);
    for (int row = 0; row < children.size(); ++row) {
        if (children.at(row)->deviceId() > item->deviceId())
            return row;
    }
    return children.size();
}

void DeviceTableModel::insertChild(DeviceItem *holder, DeviceItem *item)
{
    QList<DeviceItem *> &children = m_children[holder];
    const int row = insertPosition(holder, item);
    children.insert(row, item);
    if (DI_AbstractRepeater *repeater = followingList(holder)) {
        // Both lists are in device-number order with later arrivals after
        // earlier ones of the same number, so the repeater's own sort puts
        // the child where ours has it.
        repeater->appendChild(item);
        if (row != children.size() - 1)
            repeater->sortChildren();
        // The lists agreed before: the new child in the same row of both means they still do.
        if (repeater->childCount() != children.size() || repeater->child(row) != item)
            syncChildList(holder);
    }
}

void DeviceTableModel::removeChild(DeviceItem *holder, DeviceItem *item)
{
    auto it = m_children.find(holder);
    if (it == m_children.end())
        return;
    it.value().removeAll(item);
    if (DI_AbstractRepeater *repeater = followingList(holder)) {
        repeater->removeChild(item);
        if (repeater->children() != it.value())
            syncChildList(holder);
    }
}

DI_AbstractRepeater *DeviceTableModel::followingList(DeviceItem *holder) const
{
    // A holder that is being destroyed has no list left to follow ours.
    DI_AbstractRepeater *repeater = holder == m_root ? m_root : m_holders.value(holder);
    if (!repeater || (holder != m_root && !m_members.contains(holder)))
        return nullptr;
    return repeater;
}

void DeviceTableModel::syncChildList(DeviceItem *holder)
{
    DI_AbstractRepeater *repeater = followingList(holder);
    if (!repeater)
        return;
    const auto old = repeater->children();
    for (DeviceItem *child : old)
        repeater->removeChild(child);
    const auto children = m_children.value(holder);
    for (DeviceItem *child : children)
        repeater->appendChild(child);
}

// ------------------------------------------------------------ Qt model

QModelIndex DeviceTableModel::index(int row, int column, const QModelIndex &parent) const
{
    if (!hasIndex(row, column, parent))
        return QModelIndex();
    if (isTree()) {
        DeviceItem *holder = parent.isValid() ? itemPointer(parent) : m_root;
        DeviceItem *child = m_children.value(holder).value(row);
        return child ? createIndex(row, column, child) : QModelIndex();
    }
    if (parent.isValid())
        return QModelIndex();
    return createIndex(row, column, m_devices.at(row));
}

QModelIndex DeviceTableModel::parent(const QModelIndex &index) const
{
    if (!index.isValid() || !isTree())
        return QModelIndex();
    return holderIndex(m_parents.value(itemPointer(index)));
}

int DeviceTableModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return isTree() ? m_children.value(m_root).size() : m_devices.size();
    if (!isTree() || parent.column() != 0)
        return 0;
    return m_children.value(itemPointer(parent)).size();
}

int DeviceTableModel::columnCount(const QModelIndex &) const
{
    return ColumnCount;
}

QString DeviceTableModel::typeText(DeviceItem *item) const
{
    const bool wiredBusEntry = m_connectionKind == Kastrel || m_masterType == MasterTrombel;
    if (wiredBusEntry && hubro125DeviceTypes.contains(item->deviceType()))
        return tr("Zentar-TROMBEL");
    return item->typeName();
}

QVariant DeviceTableModel::columnText(DeviceItem *item, int column) const
{
    switch (column) {
    case TypeColumn:
        return typeText(item);
    case AddressColumn:
        return item->addressText();
    case SerialColumn:
        return item->data(DeviceRole::SerialText);
    case FirmwareColumn:
        return versionToString(item->firmwareVersion());
    case HardwareColumn:
        return versionToString(item->hardwareVersion());
    case RssiColumn:
        return item->data(DeviceRole::RssiText);
    case ChargeColumn:
        return item->data(DeviceRole::Charge);
    case StatusColumn:
        return item->data(DeviceRole::StatusText);
    case RadioColumn:
        return QStringLiteral("%1 (0x%2)").arg(item->deviceId()).arg(item->deviceId(), 0, 16);
    case RouteColumn:
        return item->rlSupported() > 0 ? routeText(item->rlValue()) : tr("unsupported");
    case BuildColumn:
        return int(item->buildNumber());
    case Value2Column:
        return item->data(DeviceRole::Value2);
    default:
        return QVariant();
    }
}

QVariant DeviceTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    DeviceItem *item = itemPointer(index);
    if (!item || !m_members.contains(item))
        return QVariant();
    if (m_viewMode == TileMode)
        return item->data(role);

    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return columnText(item, column);
    case Qt::DecorationRole:
        return column == TypeColumn ? item->data(Qt::DecorationRole) : QVariant();
    case Qt::EditRole:
        // Reading the edit value means an editor opens: the row stops
        // following the device until editFinished().
        if (column == StatusColumn && waterMeterDeviceTypes.contains(item->deviceType())) {
            item->setData(true, DeviceRole::EditMark);
            return item->data(DeviceRole::ClassValue);
        }
        if (column == AddressColumn) {
            item->setData(true, DeviceRole::EditMark);
            return item->addressText();
        }
        return QVariant();
    case Qt::FontRole:
    case Qt::SizeHintRole:
        return QVariant();
    case Qt::TextAlignmentRole:
        return (column == TypeColumn || column == StatusColumn || column == 8 || column == RadioColumn
                || column >= BuildColumn)
                   ? LeftAlignment
                   : CentredAlignment;
    case Qt::ForegroundRole:
        return QColor(Qt::black);
    default:
        return item->data(role);
    }
}

QVariant DeviceTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case TypeColumn: return tr("Type");
    case AddressColumn: return tr("Address");
    case SerialColumn: return tr("s/n");
    case FirmwareColumn: return tr("FW");
    case HardwareColumn: return tr("HW");
    case RssiColumn: return tr("RSSI");
    case ChargeColumn: return tr("Charge");
    case StatusColumn: return tr("Status");
    case RadioColumn: return tr("Radio");
    case RouteColumn: return tr("RL");
    case BuildColumn: return tr("Build");
    case Value2Column: return tr("Value 2");
    default: return QVariant();
    }
}

Qt::ItemFlags DeviceTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags editable = Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsEnabled;
    if (m_viewMode == TileMode || index.column() == AddressColumn)
        return editable;
    // The water meter's status cell carries an edit value of its own.
    DeviceItem *item = itemPointer(index);
    if (index.column() == StatusColumn && m_members.contains(item) && waterMeterDeviceTypes.contains(item->deviceType()))
        return editable;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
}

bool DeviceTableModel::insertRows(int, int, const QModelIndex &)
{
    return false;
}

bool DeviceTableModel::insertColumns(int, int, const QModelIndex &)
{
    return false;
}

bool DeviceTableModel::removeColumns(int, int, const QModelIndex &)
{
    return false;
}

// --------------------------------------------------------- address edit

quint8 DeviceTableModel::modelAddress(DeviceItem *item) const
{
    return m_masterType == MasterTrombel ? item->kastrelAddress() : item->address();
}

int DeviceTableModel::addressSpan(DeviceItem *item) const
{
    return masterDeviceTypes.contains(item->deviceType()) ? 0 : item->data(DeviceRole::ExtraAddresses).toInt();
}

bool DeviceTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid())
        return false;
    DeviceItem *item = itemPointer(index);
    if (!item || !m_members.contains(item))
        return false;

    if (index.column() == StatusColumn && m_viewMode != TileMode && waterMeterDeviceTypes.contains(item->deviceType())) {
        role = DeviceRole::ClassValue;
    } else {
        if (role != Qt::EditRole)
            return false;
        // The requested range [start, end) against every other device's.
        const int start = int(addressFromValue(value));
        const int end = start + addressSpan(item) + 1;
        const int lastAddress = m_masterType == MasterTrombel ? 255 : 127;
        bool checked = false;
        for (DeviceItem *other : qAsConst(m_devices)) {
            if (other == item)
                continue;
            checked = true;
            const int a = modelAddress(other);
            const int otherEnd = a + addressSpan(other) + 1;
            if (a != 0 && a < end && otherEnd > start) {
                emit errorOccuried(tr("Selected address range is already occupied by device: %1").arg(other->typeName()));
                return false;
            }
            if (end - 1 > lastAddress) {
                emit errorOccuried(tr("Failed to change device address"));
                return false;
            }
        }
        if (!checked && end - 1 > lastAddress) {
            emit errorOccuried(tr("Failed to change device address"));
            return false;
        }
        const int hardwareMajor = item->hardwareVersion().majorVersion();
        if (item->deviceType() == 0 && hardwareMajor >= 1 && hardwareMajor <= 6) {
            emit errorOccuried(tr("Wireloop address change unsupported"));
            return false;
        }
    }

    QPointer<DeviceItem> guard(item);
    item->setData(value, role);
    // The item may have asked the user something; it may be gone since.
    if (!guard || !m_members.contains(item))
        return true;
    emitRowChanged(item, 0, ColumnCount - 1);
    item->setData(false, DeviceRole::EditMark);
    return true;
}

// ------------------------------------------------------------ placement

quint32 DeviceTableModel::placementKey(DeviceItem *item) const
{
    return isRepeaterType(item->deviceType()) ? parentRoute(item->rlValue()) : item->rlValue();
}

bool DeviceTableModel::isInSubtree(DeviceItem *candidate, DeviceItem *top) const
{
    for (DeviceItem *p = candidate; p && p != m_root; p = m_parents.value(p)) {
        if (p == top)
            return true;
    }
    return false;
}

DeviceItem *DeviceTableModel::placementTarget(DeviceItem *item) const
{
    DeviceItem *target = m_root;
    if (!isPlacementMasterType(item->deviceType())) {
        for (int i = m_devices.size() - 1; i >= 0; --i) {
            DeviceItem *candidate = m_devices.at(i);
            // The type first: the lookups only for the few masters.
            if (candidate != item && isPlacementMasterType(candidate->deviceType())
                && m_holders.contains(candidate) && m_members.contains(candidate)) {
                target = candidate;
                break;
            }
        }
    }
    const quint32 key = placementKey(item);
    if (key != 0) {
        for (DeviceItem *candidate : m_devices) {
            if (candidate != item && candidate->rlValue() == key && isRepeaterType(candidate->deviceType())
                && m_holders.contains(candidate) && m_members.contains(candidate)) {
                target = candidate;
                break;
            }
        }
    }
    // Never below itself: routes that loop end at the top.
    if (target != m_root && isInSubtree(target, item))
        target = m_root;
    return target;
}

void DeviceTableModel::moveItem(DeviceItem *item, DeviceItem *target)
{
    DeviceItem *old = m_parents.value(item);
    if (old == target)
        return;

    auto attach = [this, item, target] {
        insertChild(target, item);
        m_parents.insert(item, target);
        item->setParentRepeater(target);
    };

    if (!isTree()) {
        if (old)
            removeChild(old, item);
        attach();
        return;
    }

    const QModelIndex destinationParent = holderIndex(target);
    const int destinationRow = insertPosition(target, item);
    if (old) {
        const QModelIndex sourceParent = holderIndex(old);
        const int sourceRow = rowOf(item);
        if (beginMoveRows(sourceParent, sourceRow, sourceRow, destinationParent, destinationRow)) {
            removeChild(old, item);
            attach();
            endMoveRows();
            return;
        }
        beginRemoveRows(sourceParent, sourceRow, sourceRow);
        removeChild(old, item);
        m_parents.insert(item, nullptr);
        endRemoveRows();
    }
    beginInsertRows(holderIndex(target), insertPosition(target, item), insertPosition(target, item));
    attach();
    endInsertRows();
}

void DeviceTableModel::placeItem(DeviceItem *item)
{
    if (!m_members.contains(item))
        return;
    moveItem(item, placementTarget(item));
    if (!m_holders.contains(item))
        return;
    if (isRepeaterType(item->deviceType()) && item->rlValue() != 0)
        adoptChildren(item);
    // A master that arrives after its devices takes those still at the top.
    if (isPlacementMasterType(item->deviceType())) {
        const auto top = m_children.value(m_root);
        for (DeviceItem *other : top) {
            if (other != item && m_members.contains(other) && !isPlacementMasterType(other->deviceType()))
                placeItem(other);
        }
    }
}

void DeviceTableModel::adoptChildren(DeviceItem *repeater)
{
    // Each device whose route ends at this repeater is placed again, by the
    // same rule as any other placement, so two repeaters on the same route
    // do not take turns with the same children.
    const quint32 rl = repeater->rlValue();
    const auto items = m_devices;
    for (DeviceItem *item : items) {
        if (item == repeater || placementKey(item) != rl || !m_members.contains(item))
            continue;
        if (m_parents.value(item) != repeater)
            placeItem(item);
    }
}

// ---------------------------------------------------- arrival, removal

void DeviceTableModel::deviceConnected(DeviceItem *item)
{
    if (!item || item == m_root || m_members.contains(item))
        return;

    // Made before the repeaters' own watches, so on destruction the model
    // hears of it while the item is still in its parent's list.
    connect(item, &DeviceItem::updated, this, &DeviceTableModel::itemUpdated);
    connect(item, &DeviceItem::parentChanged, this, &DeviceTableModel::itemParentChanged);
    connect(item, &DeviceItem::rssiChanged, this, &DeviceTableModel::itemRssiChanged);
    connect(item, &QObject::destroyed, this, [this, item] { itemDestroyed(item); });

    if (auto *repeater = qobject_cast<DI_AbstractRepeater *>(item)) {
        if (isRepeaterType(item->deviceType())) {
            // A list left from an earlier model is not ours to show.
            const auto stale = repeater->children();
            for (DeviceItem *child : stale)
                repeater->removeChild(child);
            m_holders.insert(item, repeater);
            m_children.insert(item, {});
        }
    }

    const int row = isTree() ? insertPosition(m_root, item) : m_devices.size();
    beginInsertRows(QModelIndex(), row, row);
    m_devices.append(item);
    m_members.insert(item);
    insertChild(m_root, item);
    m_parents.insert(item, m_root);
    item->setParentRepeater(m_root);
    endInsertRows();

    placeItem(item);
}

void DeviceTableModel::takeOut(DeviceItem *item, bool alive)
{
    DeviceItem *parentHolder = m_parents.value(item);
    DI_AbstractRepeater *ownRepeater = m_holders.value(item);
    const QList<DeviceItem *> orphans = m_children.value(item);

    // Out of every list the window reads before anything is announced: the
    // views move their current index while they hear of the removal, and a
    // half-destroyed item must not be found then. Only its place in the tree
    // still answers, for the row bookkeeping.
    m_members.remove(item);
    m_pendingUpdates.remove(item);

    const QModelIndex parentIndex = isTree() ? holderIndex(parentHolder) : QModelIndex();
    const int row = rowOf(item);
    if (row >= 0)
        beginRemoveRows(parentIndex, row, row);
    if (parentHolder)
        removeChild(parentHolder, item);
    if (alive && ownRepeater) {
        for (DeviceItem *orphan : orphans)
            ownRepeater->removeChild(orphan);
    }
    m_devices.removeAll(item);
    m_parents.remove(item);
    m_children.remove(item);
    m_holders.remove(item);
    if (row >= 0)
        endRemoveRows();

    for (DeviceItem *orphan : orphans) {
        m_parents.insert(orphan, nullptr);
        orphan->setParentRepeater(nullptr);
    }
    if (alive)
        release(item);
    // The children of a removed repeater go to the master or another
    // repeater; in tree mode they come back as new rows there.
    for (DeviceItem *orphan : orphans)
        placeItem(orphan);
}

void DeviceTableModel::itemDestroyed(DeviceItem *item)
{
    // Only the pointer is used: the item is half destroyed.
    if (m_members.contains(item))
        takeOut(item, false);
}

bool DeviceTableModel::removeRows(int row, int count, const QModelIndex &parent)
{
    if (row < 0 || count < 1)
        return false;
    QList<DeviceItem *> victims;
    if (isTree()) {
        const QList<DeviceItem *> children = m_children.value(parent.isValid() ? itemPointer(parent) : m_root);
        if (row + count > children.size())
            return false;
        victims = children.mid(row, count);
    } else {
        if (parent.isValid() || row + count > m_devices.size())
            return false;
        victims = m_devices.mid(row, count);
    }
    for (DeviceItem *victim : qAsConst(victims)) {
        if (m_members.contains(victim))
            takeOut(victim, true);
    }
    return true;
}

void DeviceTableModel::removeDevice(DeviceItem *item)
{
    if (item && m_members.contains(item))
        takeOut(item, true);
}

void DeviceTableModel::clear()
{
    if (m_devices.isEmpty())
        return;
    const int rows = rowCount();
    const auto items = m_devices;
    if (rows > 0)
        beginRemoveRows(QModelIndex(), 0, rows - 1);
    else
        beginResetModel();
    for (auto it = m_holders.cbegin(); it != m_holders.cend(); ++it) {
        const auto children = it.value()->children();
        for (DeviceItem *child : children)
            it.value()->removeChild(child);
    }
    const auto top = m_root->children();
    for (DeviceItem *child : top)
        m_root->removeChild(child);
    m_devices.clear();
    m_members.clear();
    m_pendingUpdates.clear();
    m_parents.clear();
    m_children.clear();
    m_children.insert(m_root, {});
    m_holders.clear();
    if (rows > 0)
        endRemoveRows();
    else
        endResetModel();
    for (DeviceItem *item : items)
        release(item);
}

// ------------------------------------------------------------- updates

void DeviceTableModel::itemUpdated(DeviceItem *device)
{
    if (!m_members.contains(device) || device->data(DeviceRole::EditMark).toBool())
        return;
    m_pendingUpdates.insert(device);
    refresh();
}

void DeviceTableModel::itemParentChanged(DeviceItem *item)
{
    placeItem(item);
}

void DeviceTableModel::itemRssiChanged(DeviceItem *item)
{
    if (!m_members.contains(item))
        return;
    // The tile view draws the signal bar in its only column.
    emitRowChanged(item, m_viewMode == TileMode ? TypeColumn : HardwareColumn, RssiColumn);
}

void DeviceTableModel::editFinished(DeviceItem *item)
{
    if (!m_members.contains(item))
        return;
    item->setData(false, DeviceRole::EditMark);
    m_pendingUpdates.insert(item);
    refresh();
}

void DeviceTableModel::refresh()
{
    if (m_pendingUpdates.isEmpty())
        return;
    // In the order of the list; one alone needs no search for it.
    QList<DeviceItem *> items;
    if (m_pendingUpdates.size() == 1) {
        items << *m_pendingUpdates.cbegin();
    } else {
        for (DeviceItem *device : qAsConst(m_devices)) {
            if (m_pendingUpdates.contains(device))
                items << device;
        }
    }
    m_pendingUpdates.clear();
    for (DeviceItem *device : qAsConst(items)) {
        if (!m_members.contains(device))
            continue;
        emitRowChanged(device, 0, ColumnCount - 1);
        placeItem(device);
        const auto children = m_children.value(device);
        for (DeviceItem *child : children)
            placeItem(child);
    }
}

// ------------------------------------------------------------- lookups

QModelIndex DeviceTableModel::indexOfItem(DeviceItem *item) const
{
    if (!item || item == m_root || !m_members.contains(item))
        return QModelIndex();
    const int row = rowOf(item);
    return row < 0 ? QModelIndex() : createIndex(row, 0, item);
}

QModelIndex DeviceTableModel::parentIndex(DeviceItem *item) const
{
    if (!item || !m_members.contains(item) || !isTree())
        return QModelIndex();
    return holderIndex(m_parents.value(item));
}

DeviceItem *DeviceTableModel::itemFromIndex(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this)
        return nullptr;
    DeviceItem *item = itemPointer(index);
    return m_members.contains(item) ? item : nullptr;
}

void DeviceTableModel::setViewMode(const int &mode)
{
    if (mode == m_viewMode)
        return;
    beginResetModel();
    m_viewMode = mode;
    endResetModel();
}

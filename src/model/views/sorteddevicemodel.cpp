#include "sorteddevicemodel.h"

#include "deviceitem.h"
#include "devicetablemodel.h"

#include <QRegularExpression>
#include <QVersionNumber>

namespace {
// -1, 0 or 1 as a is below, equal to or above b.
template <class T>
int compare(const T &a, const T &b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

// The first decisive comparison of a chain.
int chain(std::initializer_list<int> results)
{
    for (int result : results) {
        if (result != 0)
            return result;
    }
    return 0;
}

int s_filterSettleMs = 300;

double routeKey(const DeviceItem *item)
{
    return item->auxFlag() > 0 ? double(item->auxValue()) : -1.0;
}
} // namespace

SortedDeviceModel::SortChoice SortedDeviceModel::sortChoice(int choiceIndex)
{
    switch (choiceIndex) {
    case 0:
        return {DeviceTableModel::RadioColumn, SortByRadioAddress};
    case 1:
        return {DeviceTableModel::AddressColumn, SortByWiredAddress};
    case 2:
        return {DeviceTableModel::TypeColumn, SortByTypeName};
    case 3:
        return {DeviceTableModel::SerialColumn, SortBySerial};
    default:
        return {DeviceTableModel::TypeColumn, SortByTypeName};
    }
}

SortedDeviceModel::SortedDeviceModel(QObject *parent)
    : QSortFilterProxyModel(parent)
{
    setFilterRole(DeviceRole::SearchText);
    setFilterCaseSensitivity(Qt::CaseInsensitive);
    setRecursiveFilteringEnabled(true);
    m_filterSettle.setSingleShot(true);
    connect(&m_filterSettle, &QTimer::timeout, this, [this] { applyFilterNow(m_filterText); });
}

QVariant SortedDeviceModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    return QSortFilterProxyModel::headerData(section, orientation, role);
}

void SortedDeviceModel::sort(int column, Qt::SortOrder order)
{
    m_keyColumn = column;
    const int columns = sourceModel() ? sourceModel()->columnCount() : 0;
    QSortFilterProxyModel::sort(column >= columns && columns > 0 ? 0 : column, order);
}

void SortedDeviceModel::applySortChoice(int choiceIndex)
{
    const SortChoice choice = sortChoice(choiceIndex);
    sort(choice.column, Qt::AscendingOrder);
    setSortRole(choice.role);
}

void SortedDeviceModel::applyFilterText(const QString &text)
{
    m_filterSettle.setInterval(s_filterSettleMs);
    if (m_filterSet && text == m_filterText) {
        m_filterSettle.start();
        return;
    }
    applyFilterNow(text);
}

void SortedDeviceModel::applyFilterNow(const QString &text)
{
    m_filterSettle.stop();
    invalidate();
    setFilterRole(DeviceRole::SearchText);
    setFilterText(text);
}

int SortedDeviceModel::filterSettlePeriod()
{
    return s_filterSettleMs;
}

void SortedDeviceModel::setFilterSettlePeriod(int ms)
{
    s_filterSettleMs = qMax(0, ms);
}

void SortedDeviceModel::setFilterText(const QString &text)
{
    m_filterText = text;
    m_filterSet = true;
    QString pattern = text == QLatin1String("*") ? QStringLiteral("\\*") : text;
    QRegularExpression expression(pattern, QRegularExpression::CaseInsensitiveOption);
    if (!expression.isValid())
        expression.setPattern(QRegularExpression::escape(text));
    setFilterRegularExpression(expression);
}

bool SortedDeviceModel::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    DeviceItem *l = DeviceTableModel::itemAt(left);
    DeviceItem *r = DeviceTableModel::itemAt(right);
    if (!l || !r)
        return false;

    const uint leftType = quint8(l->deviceType());
    const uint rightType = quint8(r->deviceType());
    // The address key follows the left item's addressing for both.
    const bool wired = l->isWireloopAddressing();
    const uint leftAddress = wired ? l->wireloopAddress() : l->address();
    const uint rightAddress = wired ? r->wireloopAddress() : r->address();
    const uint leftId = l->deviceId();
    const uint rightId = r->deviceId();

    // Masters stay first. Two masters are ordered by the rules below, so
    // the answer never holds both ways.
    const bool leftMaster = DeviceTableModel::isPlacementMasterType(int(leftType));
    const bool rightMaster = DeviceTableModel::isPlacementMasterType(int(rightType));
    if (leftMaster != rightMaster) {
        const bool ascending = sortOrder() == Qt::AscendingOrder;
        return leftMaster ? ascending : !ascending;
    }

    const int address = compare(leftAddress, rightAddress);
    const int type = compare(leftType, rightType);
    const int id = compare(leftId, rightId);
    const int addressTypeId = chain({address, type, id});

    int result = 0;
    if (sortRole() == SortByColumn) {
        switch (m_keyColumn) {
        case DeviceTableModel::TypeColumn:
            result = compare(left.data(Qt::DisplayRole).toString(), right.data(Qt::DisplayRole).toString());
            break;
        case DeviceTableModel::AddressColumn:
            result = addressTypeId;
            break;
        case DeviceTableModel::SerialColumn:
            result = compare(l->serialNumber(), r->serialNumber());
            break;
        case DeviceTableModel::FirmwareColumn:
            result = chain({compare(l->firmwareVersion(), r->firmwareVersion()),
                            compare(int(l->buildNumber()), int(r->buildNumber()))});
            break;
        case DeviceTableModel::HardwareColumn:
            result = compare(l->hardwareVersion(), r->hardwareVersion());
            break;
        case DeviceTableModel::RssiColumn:
            result = compare(int(l->rssi()), int(r->rssi()));
            break;
        case DeviceTableModel::StatusColumn:
            result = chain({type,
                            compare(l->data(DeviceRole::ClassValue).toInt(), r->data(DeviceRole::ClassValue).toInt()),
                            address, id});
            break;
        case DeviceTableModel::RadioColumn:
            result = id;
            break;
        case DeviceTableModel::RouteColumn: {
            const double leftRoute = l->data(DeviceRole::LinkState).toInt() == 2 ? routeKey(l) : -2.0;
            const double rightRoute = r->data(DeviceRole::LinkState).toInt() == 2 ? routeKey(r) : -2.0;
            result = compare(leftRoute, rightRoute);
            break;
        }
        case DeviceTableModel::BuildColumn:
            result = compare(int(l->buildNumber()), int(r->buildNumber()));
            break;
        default:
            result = compare(leftAddress, rightAddress);
            break;
        }
        return result < 0;
    }

    switch (sortRole()) {
    case SortByWiredAddress:
        result = addressTypeId;
        break;
    case SortByTypeName:
        result = chain({compare(l->itemTypeName().toLower(), r->itemTypeName().toLower()), address, id});
        break;
    case SortBySerialOnly:
        result = compare(l->serialNumber(), r->serialNumber());
        break;
    case SortBySerial:
        result = chain({compare(l->serialNumber(), r->serialNumber()), address, id});
        break;
    case SortByRssi:
        result = compare(int(l->rssi()), int(r->rssi()));
        break;
    default:
        result = id;
        break;
    }
    return result < 0;
}

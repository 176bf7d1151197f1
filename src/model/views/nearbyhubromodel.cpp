#include "nearbyhubromodel.h"

#include "appglobals.h"

#include <QColor>

#include <algorithm>

namespace {
template <class T>
int compare(const T &a, const T &b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

int compareBy(int column, const NearbyMasterInfo &a, const NearbyMasterInfo &b)
{
    switch (column) {
    case NearbyHubroModel::TypeColumn: return compare(a.type, b.type);
    case NearbyHubroModel::ChannelColumn: return compare(a.channel, b.channel);
    case NearbyHubroModel::MasterColumn: return compare(a.master, b.master);
    case NearbyHubroModel::IntervalColumn: return compare(uint(a.interval), uint(b.interval));
    case NearbyHubroModel::ConfigColumn: return compare(a.configEnabled, b.configEnabled);
    case NearbyHubroModel::RssiColumn: return compare(a.rssi, b.rssi);
    case NearbyHubroModel::TimeColumn: return compare(a.time, b.time);
    default: return compare(a.serial, b.serial);
    }
}
} // namespace

NearbyHubroModel::NearbyHubroModel(QObject *parent)
    : QAbstractTableModel(parent)
{
    m_timeTimer.setInterval(1000);
    connect(&m_timeTimer, &QTimer::timeout, this, &NearbyHubroModel::refreshTime);
}

int NearbyHubroModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

int NearbyHubroModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString NearbyHubroModel::cellText(const NearbyMasterInfo &row, int column) const
{
    switch (column) {
    case TypeColumn:
        return deviceTypeName(row.type);
    case ChannelColumn:
        return QString::number(row.channel);
    case SerialColumn:
        return QStringLiteral("%1").arg(row.serial, 10, 10, QLatin1Char('0'));
    case MasterColumn:
        return row.master == 0 ? tr("Not selected") : QStringLiteral("%1").arg(row.master, 10, 10, QLatin1Char('0'));
    case IntervalColumn:
        return row.interval == 65535 ? tr("Unknown") : QString::number(row.interval / 100 * 3);
    case ConfigColumn:
        return (row.configEnabled & 1) ? tr("Enabled") : tr("Disabled");
    case RssiColumn:
        return tr("%1 dBm").arg(row.rssi);
    case TimeColumn:
        return tr("%1 s").arg(row.time.isValid() ? row.time.secsTo(QDateTime::currentDateTime()) : 0);
    default:
        return QString();
    }
}

QVariant NearbyHubroModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return QVariant();
    const NearbyMasterInfo &row = m_rows.at(index.row());
    if (role == Qt::DisplayRole)
        return cellText(row, index.column());
    if (role == Qt::BackgroundRole && (row.configEnabled & 1))
        return QColor(90, 255, 90);
    return QVariant();
}

QVariant NearbyHubroModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical)
        return section + 1;
    switch (section) {
    case TypeColumn: return tr("Type");
    case ChannelColumn: return tr("Channel");
    case SerialColumn: return tr("s/n");
    case MasterColumn: return tr("Master");
    case IntervalColumn: return tr("Interval");
    case ConfigColumn: return tr("Enable config");
    case RssiColumn: return tr("RSSI");
    case TimeColumn: return tr("Time");
    case CountSection: return tr("Count");
    default: return QString();
    }
}

void NearbyHubroModel::sortRows()
{
    const int column = m_sortColumn;
    // Order 0 puts the greater key first.
    const bool greaterFirst = m_sortOrder == Qt::AscendingOrder;
    std::stable_sort(m_rows.begin(), m_rows.end(), [column, greaterFirst](const auto &a, const auto &b) {
        const int result = compareBy(column, a, b);
        return greaterFirst ? result > 0 : result < 0;
    });
}

void NearbyHubroModel::sort(int column, Qt::SortOrder order)
{
    m_sortColumn = column;
    m_sortOrder = order;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QVector<quint32> serials;
    for (const QModelIndex &index : before)
        serials << m_rows.value(index.row()).serial;
    sortRows();
    QModelIndexList after;
    for (int i = 0; i < before.size(); ++i) {
        int row = 0;
        while (row < m_rows.size() && m_rows.at(row).serial != serials.at(i))
            ++row;
        after << index(row, before.at(i).column());
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void NearbyHubroModel::updateData(NearbyMasterInfo info)
{
    int found = -1;
    for (int row = 0; row < m_rows.size(); ++row) {
        if (m_rows.at(row).serial == info.serial) {
            found = row;
            break;
        }
    }
    if (found >= 0) {
        if (m_rows.at(found) != info) {
            m_rows[found] = info;
            emit dataChanged(index(found, 0), index(found, ColumnCount - 1));
        }
    } else {
        beginInsertRows(QModelIndex(), m_rows.size(), m_rows.size());
        m_rows.append(info);
        endInsertRows();
        if (m_rows.size() == 1)
            m_timeTimer.start();
    }
    sort(m_sortColumn, m_sortOrder);
}

void NearbyHubroModel::refreshTime()
{
    if (!m_rows.isEmpty())
        emit dataChanged(index(0, TimeColumn), index(m_rows.size() - 1, TimeColumn));
}

void NearbyHubroModel::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
    m_timeTimer.stop();
}

QString NearbyHubroModel::reportText() const
{
    QString text;
    for (const NearbyMasterInfo &row : m_rows) {
        for (int column = 0; column < ColumnCount; ++column) {
            const int width = column <= SerialColumn ? 13 : 5;
            text += tr("%1: %2\t").arg(headerData(column, Qt::Horizontal).toString(),
                                       cellText(row, column).rightJustified(width, QLatin1Char(' ')));
        }
        text += QLatin1Char('\n');
    }
    return text;
}

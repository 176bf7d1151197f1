#include "devicetreeview.h"

#include <QEvent>
#include <QHeaderView>

namespace {
int s_settleMs = 250;
// The longest a stream keeps the columns from being measured over every row.
constexpr int LongestUnsettledMs = 2000;
} // namespace

DeviceTreeView::DeviceTreeView(QWidget *parent) : QTreeView(parent)
{
    m_clock.start();
    m_settle.setSingleShot(true);
    connect(&m_settle, &QTimer::timeout, this, &DeviceTreeView::refit);
    // Rows shown or hidden by the user are measured at once.
    connect(this, &QTreeView::expanded, this, &DeviceTreeView::forgetWidths);
    connect(this, &QTreeView::collapsed, this, &DeviceTreeView::forgetWidths);
}

int DeviceTreeView::settlePeriod()
{
    return s_settleMs;
}

void DeviceTreeView::setSettlePeriod(int ms)
{
    s_settleMs = qMax(0, ms);
}

void DeviceTreeView::setModel(QAbstractItemModel *newModel)
{
    disconnect(m_layoutWatch);
    forgetWidths();
    QTreeView::setModel(newModel);
    if (newModel)
        m_layoutWatch =
            connect(newModel, &QAbstractItemModel::layoutAboutToBeChanged, this, &DeviceTreeView::rowsChanged);
}

void DeviceTreeView::reset()
{
    forgetWidths();
    QTreeView::reset();
}

int DeviceTreeView::sizeHintForColumn(int column) const
{
    const auto it = m_widths.constFind(column);
    if (it != m_widths.cend())
        return it.value();
    const int width = QTreeView::sizeHintForColumn(column);
    m_widths.insert(column, width);
    return width;
}

// Each change is taken in before Qt's own handling, which may have the
// header ask for the widths at once.

void DeviceTreeView::rowsInserted(const QModelIndex &parent, int start, int end)
{
    m_insertedMs = m_clock.elapsed();
    widen(parent, start, end, 0, model()->columnCount(parent) - 1);
    rowsChanged();
    QTreeView::rowsInserted(parent, start, end);
}

void DeviceTreeView::rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end)
{
    rowsChanged();
    QTreeView::rowsAboutToBeRemoved(parent, start, end);
}

void DeviceTreeView::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                                 const QVector<int> &roles)
{
    if (isStreaming() && topLeft.isValid())
        widen(topLeft.parent(), topLeft.row(), bottomRight.row(), topLeft.column(), bottomRight.column());
    rowsChanged();
    QTreeView::dataChanged(topLeft, bottomRight, roles);
}

void DeviceTreeView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        forgetWidths();
    QTreeView::changeEvent(event);
}

bool DeviceTreeView::isStreaming() const
{
    return m_insertedMs >= 0 && m_clock.elapsed() - m_insertedMs < s_settleMs;
}

void DeviceTreeView::rowsChanged()
{
    if (!isStreaming()) {
        // The header measures anew when it lays the sections out.
        forgetWidths();
        return;
    }
    const qint64 now = m_clock.elapsed();
    if (m_unsettledSinceMs < 0)
        m_unsettledSinceMs = now;
    const qint64 longest = LongestUnsettledMs - (now - m_unsettledSinceMs);
    m_settle.start(int(qBound<qint64>(0, longest, s_settleMs)));
}

void DeviceTreeView::forgetWidths()
{
    m_widths.clear();
}

void DeviceTreeView::widen(const QModelIndex &parent, int first, int last, int firstColumn, int lastColumn)
{
    if (m_widths.isEmpty() || !model())
        return;
    // As Qt measures a row: its delegate's width, plus the indentation in
    // the column that carries the tree.
    const QStyleOptionViewItem option = viewOptions();
    const int treeColumn = treePosition() >= 0 ? treePosition() : header()->logicalIndex(0);
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = model()->index(row, 0, parent);
        if (!isListed(index))
            continue;
        for (auto it = m_widths.begin(); it != m_widths.end(); ++it) {
            const int column = it.key();
            if (column < firstColumn || column > lastColumn)
                continue;
            const QModelIndex cell = index.sibling(row, column);
            int width = itemDelegate(cell)->sizeHint(option, cell).width();
            if (column == treeColumn)
                width += indentationOf(index);
            it.value() = qMax(it.value(), width);
        }
    }
}

bool DeviceTreeView::isListed(const QModelIndex &index) const
{
    if (!index.isValid() || isRowHidden(index.row(), index.parent()))
        return false;
    for (QModelIndex up = index.parent(); up.isValid() && up != rootIndex(); up = up.parent()) {
        if (!isExpanded(up))
            return false;
    }
    return true;
}

int DeviceTreeView::indentationOf(const QModelIndex &index) const
{
    int level = rootIsDecorated() ? 1 : 0;
    for (QModelIndex up = index.parent(); up.isValid() && up != rootIndex(); up = up.parent())
        ++level;
    return level * indentation();
}

void DeviceTreeView::refit()
{
    m_unsettledSinceMs = -1;
    forgetWidths();
    // A protected slot of the header: sizes every section by its mode.
    QMetaObject::invokeMethod(header(), "resizeSections");
}

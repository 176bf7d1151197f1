#include "devicetreeview.h"

#include <QEvent>
#include <QRegion>

namespace {
int s_settleMs = 250;
// Past this many rows changed between two layouts the next one repaints all.
constexpr int MostChangedRowsKept = 64;
// The longest a stream keeps the columns from being measured over every row.
constexpr int LongestUnsettledMs = 2000;
} // namespace

DeviceHeaderView::DeviceHeaderView(Qt::Orientation orientation, QWidget *parent) : QHeaderView(orientation, parent)
{
}

void DeviceHeaderView::doItemsLayout()
{
    QWidget *port = viewport();
    if (!m_laidOut.known || !isVisible() || !port->updatesEnabled()) {
        QHeaderView::doItemsLayout();
        m_laidOut = isVisible() ? sections() : Sections();
        return;
    }
    // Qt's layout repaints the whole header: only when the sections changed.
    port->setAttribute(Qt::WA_UpdatesDisabled, true);
    QHeaderView::doItemsLayout();
    port->setAttribute(Qt::WA_UpdatesDisabled, false);
    const Sections now = sections();
    if (!(now == m_laidOut))
        port->update();
    m_laidOut = now;
}

void DeviceHeaderView::setModel(QAbstractItemModel *newModel)
{
    m_laidOut = Sections();
    QHeaderView::setModel(newModel);
}

void DeviceHeaderView::reset()
{
    m_laidOut = Sections();
    QHeaderView::reset();
}

void DeviceHeaderView::changeEvent(QEvent *event)
{
    m_laidOut = Sections();
    QHeaderView::changeEvent(event);
}

DeviceHeaderView::Sections DeviceHeaderView::sections() const
{
    Sections laidOut;
    laidOut.known = true;
    laidOut.port = viewport()->geometry();
    const int sectionCount = count();
    laidOut.sections.reserve(2 * sectionCount + 4);
    for (int visual = 0; visual < sectionCount; ++visual) {
        const int logical = logicalIndex(visual);
        laidOut.sections << logical << (isSectionHidden(logical) ? -1 : sectionSize(logical));
    }
    laidOut.sections << offset() << (isSortIndicatorShown() ? sortIndicatorSection() : -2)
                     << int(sortIndicatorOrder()) << int(defaultAlignment());
    return laidOut;
}

QSize DeviceHeaderView::sectionSizeFromContents(int logicalIndex) const
{
    const QAbstractItemModel *source = model();
    // Titles with a size, a font or an icon of their own are measured as Qt does.
    if (!source || source->headerData(logicalIndex, orientation(), Qt::SizeHintRole).isValid()
        || source->headerData(logicalIndex, orientation(), Qt::FontRole).isValid()
        || source->headerData(logicalIndex, orientation(), Qt::DecorationRole).isValid())
        return QHeaderView::sectionSizeFromContents(logicalIndex);
    ensurePolished();
    const QString text = source->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
    Title &title = m_titles[logicalIndex];
    if (title.style != style() || title.sortIndicator != isSortIndicatorShown() || title.font != font()
        || title.text != text) {
        title.text = text;
        title.font = font();
        title.sortIndicator = isSortIndicatorShown();
        title.style = style();
        title.size = QHeaderView::sectionSizeFromContents(logicalIndex);
    }
    return title.size;
}

DeviceTreeView::DeviceTreeView(QWidget *parent) : QTreeView(parent)
{
    // As QTreeView sets up its own header.
    auto *titles = new DeviceHeaderView(Qt::Horizontal, this);
    titles->setSectionsMovable(true);
    titles->setStretchLastSection(true);
    titles->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setHeader(titles);
    m_clock.start();
    m_settle.setSingleShot(true);
    connect(&m_settle, &QTimer::timeout, this, &DeviceTreeView::refit);
    // Rows shown or hidden by the user are measured at once.
    for (auto signal : {&QTreeView::expanded, &QTreeView::collapsed}) {
        connect(this, signal, this, [this] {
            forgetWidths();
            forgetShown();
        });
    }
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
    forgetShown();
    QTreeView::setModel(newModel);
    if (newModel)
        m_layoutWatch =
            connect(newModel, &QAbstractItemModel::layoutAboutToBeChanged, this, &DeviceTreeView::rowsChanged);
}

void DeviceTreeView::reset()
{
    forgetWidths();
    forgetShown();
    QTreeView::reset();
}

void DeviceTreeView::setRootIndex(const QModelIndex &index)
{
    forgetShown();
    QTreeView::setRootIndex(index);
}

void DeviceTreeView::scrollContentsBy(int dx, int dy)
{
    forgetShown();
    QTreeView::scrollContentsBy(dx, dy);
}

void DeviceTreeView::doItemsLayout()
{
    QWidget *port = viewport();
    const bool narrow = m_shown.known && !m_manyChanged && isVisible() && port->updatesEnabled()
                        && !viewportHoldsWidgets() && (uniformRowHeights() || !alternatingRowColors());
    if (!narrow) {
        QTreeView::doItemsLayout();
        m_shown = isVisible() ? shownRows() : Shown();
        m_changedRows.clear();
        m_manyChanged = false;
        return;
    }
    // Qt's layout repaints all of the viewport: held back, and only what
    // changed repainted instead.
    port->setAttribute(Qt::WA_UpdatesDisabled, true);
    QTreeView::doItemsLayout();
    port->setAttribute(Qt::WA_UpdatesDisabled, false);
    const Shown now = shownRows();
    QRegion region = changedRegion(m_shown, now);
    for (const QPersistentModelIndex &changed : qAsConst(m_changedRows)) {
        for (const ShownRow &row : now.rows) {
            if (changed.isValid() && row.index == changed)
                region += QRect(0, row.top, port->width(), row.height);
        }
    }
    m_shown = now;
    m_changedRows.clear();
    if (!region.isEmpty())
        port->update(region);
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
    // Qt repaints changed rows at once, unless a layout is due, which is
    // left to repaint them: remembered for it.
    if (!m_manyChanged) {
        const int rows = topLeft.isValid() ? bottomRight.row() - topLeft.row() + 1 : MostChangedRowsKept + 1;
        if (m_changedRows.size() + rows > MostChangedRowsKept) {
            m_manyChanged = true;
            m_changedRows.clear();
        } else {
            for (int row = topLeft.row(); row <= bottomRight.row(); ++row)
                m_changedRows.append(QPersistentModelIndex(topLeft.sibling(row, 0)));
        }
    }
    if (isStreaming() && topLeft.isValid())
        widen(topLeft.parent(), topLeft.row(), bottomRight.row(), topLeft.column(), bottomRight.column());
    rowsChanged();
    QTreeView::dataChanged(topLeft, bottomRight, roles);
}

void DeviceTreeView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        forgetWidths();
        forgetShown();
    }
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

bool DeviceTreeView::ShownRow::operator==(const ShownRow &other) const
{
    return index == other.index && top == other.top && height == other.height && branch == other.branch;
}

DeviceTreeView::Shown DeviceTreeView::shownRows() const
{
    Shown shown;
    const QAbstractItemModel *source = model();
    const int column = header()->logicalIndexAt(0);
    if (!source || column < 0)
        return shown;
    shown.known = true;
    shown.port = viewport()->geometry();
    shown.vertical = verticalOffset();
    shown.horizontal = horizontalOffset();
    shown.headerLength = header()->length();
    const int height = viewport()->height();
    for (QModelIndex index = indexAt(QPoint(0, 0)); index.isValid(); index = indexBelow(index)) {
        const QRect rect = visualRect(index.sibling(index.row(), column));
        if (rect.top() >= height)
            break;
        ShownRow row;
        row.index = index.sibling(index.row(), 0);
        row.top = rect.top();
        row.height = rect.height();
        // The branch as drawn: open, with children, spanned, and for the row
        // and each row above it in the tree whether a sibling follows.
        row.branch = (isExpanded(row.index) ? 1 : 0) | (source->hasChildren(row.index) ? 2 : 0)
                     | (isFirstColumnSpanned(index.row(), index.parent()) ? 4 : 0);
        int bit = 8;
        for (QModelIndex up = row.index; up.isValid() && bit != 0; up = up.parent(), bit <<= 1) {
            if (up.sibling(up.row() + 1, 0).isValid())
                row.branch |= bit;
        }
        shown.rows.append(row);
    }
    return shown;
}

void DeviceTreeView::forgetShown()
{
    m_shown = Shown();
}

bool DeviceTreeView::viewportHoldsWidgets() const
{
    const QObjectList &children = viewport()->children();
    for (const QObject *child : children) {
        if (child->isWidgetType())
            return true;
    }
    return false;
}

QRegion DeviceTreeView::changedRegion(const Shown &before, const Shown &now) const
{
    const QRect all = viewport()->rect();
    if (!before.known || !now.known || before.port != now.port || before.vertical != now.vertical
        || before.horizontal != now.horizontal || before.headerLength != now.headerLength)
        return all;
    // From the first row that is no longer what it was down to the bottom.
    const int rows = qMax(before.rows.size(), now.rows.size());
    for (int i = 0; i < rows; ++i) {
        const bool inBefore = i < before.rows.size();
        const bool inNow = i < now.rows.size();
        if (inBefore && inNow && before.rows.at(i) == now.rows.at(i))
            continue;
        int top = all.bottom();
        if (inBefore)
            top = qMin(top, before.rows.at(i).top);
        if (inNow)
            top = qMin(top, now.rows.at(i).top);
        return QRect(0, qMax(0, top), all.width(), all.height() - qMax(0, top));
    }
    return QRegion();
}

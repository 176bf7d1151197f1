#pragma once

#include <QElapsedTimer>
#include <QFont>
#include <QHash>
#include <QHeaderView>
#include <QPersistentModelIndex>
#include <QTimer>
#include <QVector>
#include <QTreeView>

// The header of the device views: each section's title is measured once
// for all that decides its size (text, font, sort indicator, style), not
// every time the view lays its rows out or its columns are fitted; and such
// a layout repaints the header only when its sections changed (a change of
// a title, a size or the sort indicator repaints itself).
class DeviceHeaderView : public QHeaderView
{
    Q_OBJECT
public:
    explicit DeviceHeaderView(Qt::Orientation orientation, QWidget *parent = nullptr);

    void doItemsLayout() override;
    void setModel(QAbstractItemModel *model) override;
    void reset() override;

protected:
    QSize sectionSizeFromContents(int logicalIndex) const override;
    void changeEvent(QEvent *event) override;

private:
    // The sections as laid out last: per visual index the logical one, its
    // size (-1 when hidden); then the offset, the sort indicator and the
    // viewport.
    struct Sections
    {
        bool known = false;
        QVector<int> sections;
        QRect port;
        bool operator==(const Sections &other) const
        {
            return known == other.known && sections == other.sections && port == other.port;
        }
    };
    Sections sections() const;
    Sections m_laidOut;

    struct Title
    {
        QString text;
        QFont font;
        bool sortIndicator = false;
        const QStyle *style = nullptr;
        QSize size;
    };
    mutable QHash<int, Title> m_titles;
};

// The table and tree view of the devices (with a DeviceHeaderView). Its header sections that size to
// their contents (QHeaderView::ResizeToContents) take the widths Qt measures
// over every row, but not anew after every arriving row: the header asks for
// them after each one, and measuring all rows for each arrival costs the
// square of the rows. While rows stream in, a column only widens for the new
// rows as they come; once the stream pauses for the settle period (and at
// least every two seconds while it goes on) every row is measured again, so
// at rest the columns are exactly what Qt makes them. Outside a stream every
// change is measured over all rows, as Qt does.
//
// Qt lays the rows out anew after every inserted or removed row and then
// repaints the whole viewport. This view repaints only from the first row
// whose place changed (nothing when the new row lies below the viewport),
// and the rows whose data changed meanwhile; after anything else (scrolling,
// another model or root, rows expanded or collapsed, a new viewport size,
// editors or widgets in the viewport) the whole viewport, as Qt does.
class DeviceTreeView : public QTreeView
{
    Q_OBJECT
public:
    explicit DeviceTreeView(QWidget *parent = nullptr);

    // 250 ms.
    static int settlePeriod();
    static void setSettlePeriod(int ms);

    void setModel(QAbstractItemModel *model) override;
    void reset() override;
    void setRootIndex(const QModelIndex &index) override;
    void doItemsLayout() override;

protected:
    int sizeHintForColumn(int column) const override;
    void rowsInserted(const QModelIndex &parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end) override;
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QVector<int> &roles = QVector<int>()) override;
    void changeEvent(QEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // A row as the viewport shows it.
    struct ShownRow
    {
        QPersistentModelIndex index;
        int top = 0;
        int height = 0;
        int branch = 0; // expanded, children, a sibling below, spanned
        bool operator==(const ShownRow &other) const;
    };
    // The viewport's rows as laid out last.
    struct Shown
    {
        bool known = false;
        QRect port;
        int vertical = 0;
        int horizontal = 0;
        int headerLength = 0;
        QVector<ShownRow> rows;
    };
    Shown shownRows() const;
    void forgetShown();
    bool viewportHoldsWidgets() const;
    // The part of the viewport that differs from what it showed before.
    QRegion changedRegion(const Shown &before, const Shown &now) const;

    bool isStreaming() const;
    // Rows changed: measured at once outside a stream, else when it pauses.
    void rowsChanged();
    void forgetWidths();
    // Widens the measured columns for these rows of the parent.
    void widen(const QModelIndex &parent, int first, int last, int firstColumn, int lastColumn);
    bool isListed(const QModelIndex &index) const;
    int indentationOf(const QModelIndex &index) const;
    void refit();

    // Width of each column as last measured over every row, widened since.
    mutable QHash<int, int> m_widths;
    QElapsedTimer m_clock;
    qint64 m_insertedMs = -1;
    qint64 m_unsettledSinceMs = -1;
    QTimer m_settle;
    QMetaObject::Connection m_layoutWatch;
    Shown m_shown;
    // Rows whose data changed since the last layout; Qt leaves them to the
    // repaint after a layout that is due.
    QVector<QPersistentModelIndex> m_changedRows;
    bool m_manyChanged = false;
};

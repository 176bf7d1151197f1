#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QTimer>
#include <QTreeView>

// The table and tree view of the devices. Its header sections that size to
// their contents (QHeaderView::ResizeToContents) take the widths Qt measures
// over every row, but not anew after every arriving row: the header asks for
// them after each one, and measuring all rows for each arrival costs the
// square of the rows. While rows stream in, a column only widens for the new
// rows as they come; once the stream pauses for the settle period (and at
// least every two seconds while it goes on) every row is measured again, so
// at rest the columns are exactly what Qt makes them. Outside a stream every
// change is measured over all rows, as Qt does.
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

protected:
    int sizeHintForColumn(int column) const override;
    void rowsInserted(const QModelIndex &parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end) override;
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QVector<int> &roles = QVector<int>()) override;
    void changeEvent(QEvent *event) override;

private:
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
};

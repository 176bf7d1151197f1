#pragma once

#include <QSortFilterProxyModel>
#include <QTimer>

// The sorting and filtering proxy of the device views. Masters stay at the
// top in either order; below them the rows follow the sort column (sort
// role 0, the table and tree headers) or the sort role (the tile view's
// sorting choice). The device text filter matches the search text of each
// item (role 289), case-insensitive, and keeps the repeaters above a match.
class SortedDeviceModel : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    // Sort roles of the tile view.
    enum SortRole {
        SortByColumn = 0,
        SortByRadioAddress = Qt::UserRole,      // 256
        SortByWiredAddress = Qt::UserRole + 2,  // 258
        SortByTypeName = Qt::UserRole + 4,      // 260
        SortBySerialOnly = Qt::UserRole + 7,    // 263
        SortBySerial = Qt::UserRole + 8,        // 264
        SortByRssi = Qt::UserRole + 16,         // 272
    };

    // What an entry of the sorting choice ("By radio address", "By
    // Wireloop address", "By type", "By ID") sorts by; -1 is no entry.
    struct SortChoice
    {
        int column;
        int role;
    };
    static SortChoice sortChoice(int choiceIndex);

    explicit SortedDeviceModel(QObject *parent = nullptr);

    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Columns 9 to 12 of the device table ("Radio", "RL", "Build", "Value
    // 2") are no view columns: the rows are still ordered by them, while
    // the proxy itself sorts on column 0.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    // The column the rows are ordered by (sortColumn() is the proxy's).
    int keyColumn() const { return m_keyColumn; }

    // Sorts ascending by the entry's column, then switches to its role.
    void applySortChoice(int choiceIndex);
    // The device text filter: "*" alone looks for an asterisk; a text that
    // is no valid pattern is looked for literally; empty shows every row.
    void setFilterText(const QString &text);
    // Re-applies the device text filter: the whole list is sorted and
    // filtered anew with the text. When the text is the one in force, that
    // is left until such calls pause for the settle period, since rows that
    // arrive or change meanwhile are filtered and sorted in as they come;
    // so a burst of arrivals, each re-applying the filter, costs one pass.
    void applyFilterText(const QString &text);
    // 300 ms.
    static int filterSettlePeriod();
    static void setFilterSettlePeriod(int ms);

protected:
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    void applyFilterNow(const QString &text);

    int m_keyColumn = -1;
    QString m_filterText;
    bool m_filterSet = false;
    QTimer m_filterSettle;
};

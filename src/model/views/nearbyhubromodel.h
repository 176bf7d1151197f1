#pragma once

#include "masterpackets.h"

#include <QAbstractTableModel>
#include <QTimer>
#include <QVector>

// The masters that the connected master hears nearby, one row per serial
// number, kept sorted by the chosen column; the "Time" column counts the
// seconds since each master was last reported.
class NearbyHubroModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column {
        TypeColumn = 0,
        ChannelColumn = 1,
        SerialColumn = 2,
        MasterColumn = 3,
        IntervalColumn = 4,
        ConfigColumn = 5,
        RssiColumn = 6,
        TimeColumn = 7,
        CountSection = 8,
    };
    static constexpr int ColumnCount = 8;

    explicit NearbyHubroModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    QVector<NearbyMasterInfo> rows() const { return m_rows; }
    bool isTicking() const { return m_timeTimer.isActive(); }
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }
    // The table as text for the system report.
    QString reportText() const;

public slots:
    void updateData(NearbyMasterInfo info);
    void refreshTime();
    void clear();

private:
    QString cellText(const NearbyMasterInfo &row, int column) const;
    void sortRows();

    QVector<NearbyMasterInfo> m_rows;
    QTimer m_timeTimer;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    int m_sortColumn = SerialColumn;
};

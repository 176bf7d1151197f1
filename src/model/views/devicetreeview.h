#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QTimer>
#include <QTreeView>

// The table and tree view of the devices. Its header sections that size to
// their contents (QHeaderView::ResizeToContents) are measured over every row,
// as the header asks, but at most once per fit period while rows keep
// arriving or changing: the header asks again after every row, and measuring
// every row for every arrival costs the square of the rows. A width measured
// less than a period ago serves meanwhile, and the columns are measured once
// more when the period is over, so at rest they fit the rows exactly.
class DeviceTreeView : public QTreeView
{
    Q_OBJECT
public:
    explicit DeviceTreeView(QWidget *parent = nullptr);

    // 250 ms.
    static int fitPeriod();
    static void setFitPeriod(int ms);

    void setModel(QAbstractItemModel *model) override;

protected:
    int sizeHintForColumn(int column) const override;
    void changeEvent(QEvent *event) override;

private:
    // Measures the columns anew now (through the header, which asks for
    // the widths of its contents-sized sections).
    void refit();

    struct Fit
    {
        int width = 0;
        qint64 measuredMs = 0;
    };
    mutable QHash<int, Fit> m_fits;
    mutable QTimer m_refitTimer;
    QElapsedTimer m_clock;
};

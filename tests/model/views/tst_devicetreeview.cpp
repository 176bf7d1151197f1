// The device tree view's contents-sized columns: exactly as wide as a plain
// view's at rest, through growing, shrinking, another model and a column
// shown again; and a burst of rows measured once, not once per row.
#include "devicetreeview.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QtTest>

namespace {
class CountingDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    mutable int hints = 0;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        ++hints;
        return QStyledItemDelegate::sizeHint(option, index);
    }
};

void fitColumns(QTreeView &view)
{
    for (int column = 0; column < 2; ++column)
        view.header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
}

void addRow(QStandardItemModel &model, const QString &first, const QString &second)
{
    model.appendRow({new QStandardItem(first), new QStandardItem(second), new QStandardItem(QStringLiteral("x"))});
}

QList<int> widths(const QTreeView &view)
{
    return {view.header()->sectionSize(0), view.header()->sectionSize(1)};
}
} // namespace

class DeviceTreeViewTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_period = DeviceTreeView::fitPeriod(); }
    void cleanup() { DeviceTreeView::setFitPeriod(m_period); }

    void columnsFitLikeAPlainViewAtRest()
    {
        DeviceTreeView::setFitPeriod(40);
        QStandardItemModel model(0, 3);
        DeviceTreeView view;
        QTreeView plain;
        for (QTreeView *v : {static_cast<QTreeView *>(&view), &plain}) {
            v->setModel(&model);
            fitColumns(*v);
            v->resize(500, 300);
            v->show();
            QVERIFY(QTest::qWaitForWindowExposed(v));
        }

        // Rows arrive one by one, wider and wider.
        for (int row = 0; row < 30; ++row) {
            addRow(model, QString(row + 1, QLatin1Char('w')), QString::number(row));
            QCoreApplication::processEvents();
        }
        QTRY_COMPARE(widths(view), widths(plain));
        QVERIFY(widths(view).at(0) > 100);

        // The widest cell grows, then shrinks to nothing.
        model.item(29, 0)->setText(QString(60, QLatin1Char('w')));
        QTRY_COMPARE(widths(view), widths(plain));
        model.item(29, 0)->setText(QStringLiteral("w"));
        QTRY_COMPARE(widths(view), widths(plain));

        // Another model, and a column hidden and shown again.
        QStandardItemModel other(0, 3);
        addRow(other, QStringLiteral("short"), QString(40, QLatin1Char('m')));
        view.setModel(&other);
        plain.setModel(&other);
        QTRY_COMPARE(widths(view), widths(plain));
        view.setColumnHidden(1, true);
        plain.setColumnHidden(1, true);
        other.item(0, 1)->setText(QString(80, QLatin1Char('m')));
        view.setColumnHidden(1, false);
        plain.setColumnHidden(1, false);
        QTRY_COMPARE(widths(view), widths(plain));
    }

    // Every arriving row makes the header ask for the columns' widths; they
    // are measured over all rows once per fit period, not for every row.
    void burstMeasuredOnce()
    {
        DeviceTreeView::setFitPeriod(60000);
        QStandardItemModel model(0, 3);
        DeviceTreeView view;
        auto *delegate = new CountingDelegate(&view);
        view.setItemDelegate(delegate);
        view.setUniformRowHeights(true); // as the window has it
        view.setModel(&model);
        fitColumns(view);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        addRow(model, QStringLiteral("first"), QStringLiteral("row"));
        QCoreApplication::processEvents();

        delegate->hints = 0;
        const int rows = 60;
        for (int row = 0; row < rows; ++row) {
            addRow(model, QString(row % 7 + 1, QLatin1Char('w')), QString::number(row));
            QCoreApplication::processEvents();
        }
        // Measuring two columns of every row for every row: about rows * rows.
        QVERIFY2(delegate->hints < rows * 10, qPrintable(QString::number(delegate->hints)));
    }

private:
    int m_period = 0;
};

QTEST_MAIN(DeviceTreeViewTest)
#include "tst_devicetreeview.moc"

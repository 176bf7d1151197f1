// The device tree view's contents-sized columns: as wide as a plain view's
// while rows stream in (flat and below expanded parents) and exactly so at
// rest, through shrinking, another model and a column shown again; and a
// stream of rows measured row by row, not all rows for every row.
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

QList<QStandardItem *> row(const QString &first, const QString &second)
{
    return {new QStandardItem(first), new QStandardItem(second), new QStandardItem(QStringLiteral("x"))};
}

QList<int> widths(const QTreeView &view)
{
    return {view.header()->sectionSize(0), view.header()->sectionSize(1)};
}

// The device view and a plain one over the same model, columns 0 and 1
// sized to their contents.
struct Views
{
    DeviceTreeView view;
    QTreeView plain;

    explicit Views(QAbstractItemModel *model)
    {
        for (QTreeView *v : {static_cast<QTreeView *>(&view), &plain}) {
            v->setModel(model);
            v->setUniformRowHeights(true); // as the window has it
            for (int column = 0; column < 2; ++column)
                v->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
            v->resize(500, 300);
            v->show();
        }
    }
    bool exposed() { return QTest::qWaitForWindowExposed(&view) && QTest::qWaitForWindowExposed(&plain); }
    void expandAll()
    {
        view.expandAll();
        plain.expandAll();
    }
};
} // namespace

class DeviceTreeViewTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_settle = DeviceTreeView::settlePeriod(); }
    void cleanup() { DeviceTreeView::setSettlePeriod(m_settle); }

    // Rows arrive one by one, wider and wider, at the top and below an
    // expanded parent; the view measures only the new rows meanwhile.
    void widensLikeAPlainViewWhileRowsStream()
    {
        DeviceTreeView::setSettlePeriod(60000);
        QStandardItemModel model(0, 3);
        model.appendRow(row(QStringLiteral("parent"), QStringLiteral("p")));
        Views views(&model);
        QVERIFY(views.exposed());
        views.expandAll();
        for (int n = 1; n <= 12; ++n) {
            const QString text(n, QLatin1Char('w'));
            if (n % 2)
                model.appendRow(row(text, QString::number(n)));
            else
                model.item(0)->appendRow(row(text, QString(n, QLatin1Char('m'))));
            QCoreApplication::processEvents();
            QCOMPARE(widths(views.view), widths(views.plain));
        }
    }

    void fitsExactlyAtRest()
    {
        DeviceTreeView::setSettlePeriod(40);
        QStandardItemModel model(0, 3);
        Views views(&model);
        QVERIFY(views.exposed());
        for (int n = 0; n < 30; ++n) {
            model.appendRow(row(QString(n + 1, QLatin1Char('w')), QString::number(n)));
            QCoreApplication::processEvents();
        }
        QTRY_COMPARE(widths(views.view), widths(views.plain));
        QVERIFY(widths(views.view).at(0) > 100);

        // The widest cell grows and shrinks, the widest row goes; in a
        // stream and at rest.
        model.item(29, 0)->setText(QString(60, QLatin1Char('w')));
        QTRY_COMPARE(widths(views.view), widths(views.plain));
        model.item(29, 0)->setText(QStringLiteral("w"));
        QTRY_COMPARE(widths(views.view), widths(views.plain));
        model.appendRow(row(QString(70, QLatin1Char('w')), QString()));
        model.removeRow(model.rowCount() - 1);
        QTRY_COMPARE(widths(views.view), widths(views.plain));

        // Another model, and a column hidden and shown again.
        QStandardItemModel other(0, 3);
        other.appendRow(row(QStringLiteral("short"), QString(40, QLatin1Char('m'))));
        views.view.setModel(&other);
        views.plain.setModel(&other);
        QTRY_COMPARE(widths(views.view), widths(views.plain));
        for (QTreeView *v : {static_cast<QTreeView *>(&views.view), &views.plain})
            v->setColumnHidden(1, true);
        other.item(0, 1)->setText(QString(80, QLatin1Char('m')));
        for (QTreeView *v : {static_cast<QTreeView *>(&views.view), &views.plain})
            v->setColumnHidden(1, false);
        QTRY_COMPARE(widths(views.view), widths(views.plain));
    }

    // Every arriving row makes the header ask for the columns' widths;
    // measuring every row each time would take about rows * rows hints.
    void streamMeasuredRowByRow()
    {
        DeviceTreeView::setSettlePeriod(60000);
        QStandardItemModel model(0, 3);
        DeviceTreeView view;
        auto *delegate = new CountingDelegate(&view);
        view.setItemDelegate(delegate);
        view.setUniformRowHeights(true);
        view.setModel(&model);
        for (int column = 0; column < 2; ++column)
            view.header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        model.appendRow(row(QStringLiteral("first"), QStringLiteral("row")));
        QCoreApplication::processEvents();

        delegate->hints = 0;
        const int rows = 60;
        for (int n = 0; n < rows; ++n) {
            model.appendRow(row(QString(n % 7 + 1, QLatin1Char('w')), QString::number(n)));
            QCoreApplication::processEvents();
        }
        QVERIFY2(delegate->hints < rows * 10, qPrintable(QString::number(delegate->hints)));
    }

private:
    int m_settle = 0;
};

QTEST_MAIN(DeviceTreeViewTest)
#include "tst_devicetreeview.moc"

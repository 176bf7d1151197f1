// The device tree view's contents-sized columns: as wide as a plain view's
// while rows stream in (flat and below expanded parents) and exactly so at
// rest, through shrinking, another model and a column shown again; and a
// stream of rows measured row by row, not all rows for every row. The rows
// and the header repainted after a layout: what the screen shows is what a
// full repaint draws, and rows that arrive below the viewport repaint
// nothing. The delegate's remembered sizes follow the cells' contents.
#include "devicetableitemdelegate.h"
#include "devicetreeview.h"
#include "paintcounter.h"

#include <QHeaderView>
#include <QPainter>
#include <QScreen>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QtTest>

#include <functional>

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

// What the window shows on the screen against a full repaint of it.
bool showsWhatItDraws(QWidget *window)
{
    const QImage shown = window->screen()->grabWindow(window->winId()).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage drawn = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    return shown == drawn;
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

    // Rows arrive, go, change and move in a sorted view, each change in a
    // turn of its own as a device stream brings them; after each the screen
    // shows what a full repaint draws.
    void screenFollowsEveryChange_data()
    {
        QTest::addColumn<bool>("tree");
        QTest::newRow("table") << false;
        QTest::newRow("tree") << true;
    }

    void screenFollowsEveryChange()
    {
        QFETCH(bool, tree);
        QStandardItemModel model(0, 3);
        QSortFilterProxyModel sorted;
        sorted.setSourceModel(&model);
        sorted.setDynamicSortFilter(true);
        sorted.sort(0);
        DeviceTreeView view;
        view.setUniformRowHeights(true);
        view.setRootIsDecorated(tree);
        view.setModel(&sorted);
        view.resize(420, 240);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const auto name = [](int n) { return QStringLiteral("row %1").arg(n, 3, 10, QLatin1Char('0')); };
        // One row a turn, below the viewport once it is full.
        for (int n = 10; n < 40; n += 2) {
            model.appendRow(row(name(n), QStringLiteral("a")));
            QCoreApplication::processEvents();
            QVERIFY2(QTest::qWaitFor([&] { return showsWhatItDraws(&view); }, 2000), qPrintable(name(n)));
        }
        const QVector<std::function<void()>> changes{
            // Above every row.
            [&] { model.appendRow(row(name(1), QStringLiteral("first"))); },
            // A new row and, in the same turn, a visible one changed.
            [&] {
                model.appendRow(row(name(99), QStringLiteral("last")));
                model.item(0, 1)->setText(QStringLiteral("changed"));
            },
            [&] { model.appendRow(row(name(13), QStringLiteral("middle"))); },
            // A visible row goes; one moves from the top to the bottom.
            [&] { model.removeRow(model.rowCount() - 1); model.removeRow(1); },
            [&] { model.item(0, 0)->setText(name(98)); },
            // Children below a visible row, shown and hidden.
            [&] {
                model.item(2)->appendRow(row(QStringLiteral("child"), QStringLiteral("c")));
                view.expandAll();
            },
            [&] { model.item(2)->appendRow(row(QStringLiteral("child 2"), QStringLiteral("d"))); },
            [&] { view.collapseAll(); },
            // The header: a new title in the turn of a new row, another
            // sort column and order, a column hidden, shown and resized.
            [&] {
                model.setHeaderData(1, Qt::Horizontal, QStringLiteral("Second"));
                model.appendRow(row(name(50), QStringLiteral("e")));
            },
            [&] {
                view.setSortingEnabled(true);
                view.sortByColumn(1, Qt::DescendingOrder);
            },
            [&] {
                view.setColumnHidden(1, true);
                model.appendRow(row(name(51), QStringLiteral("f")));
            },
            [&] {
                view.setColumnHidden(1, false);
                view.header()->resizeSection(0, 150);
            },
            // Every row but one goes.
            [&] { model.removeRows(1, model.rowCount() - 1); },
        };
        for (int step = 0; step < changes.size(); ++step) {
            changes.at(step)();
            QVERIFY2(QTest::qWaitFor([&] { return showsWhatItDraws(&view); }, 2000),
                     qPrintable(QStringLiteral("after change %1").arg(step)));
        }
    }

    // Rows that arrive below a full viewport do not repaint it.
    void rowsBelowTheViewportRepaintNothing()
    {
        QStandardItemModel model(0, 3);
        DeviceTreeView view;
        view.setUniformRowHeights(true);
        // No scroll bar that comes with the rows and narrows the viewport.
        view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        view.setModel(&model);
        view.resize(420, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        for (int n = 0; n < 40; ++n)
            model.appendRow(row(QStringLiteral("row %1").arg(n), QStringLiteral("a")));
        QVERIFY(QTest::qWaitFor([&] { return showsWhatItDraws(&view); }, 2000));
        PaintCounter paints(view.viewport());
        for (int n = 40; n < 50; ++n) {
            model.appendRow(row(QStringLiteral("row %1").arg(n), QStringLiteral("a")));
            QCoreApplication::processEvents();
        }
        QTest::qWait(50);
        QCOMPARE(paints.count, 0);
        QVERIFY(showsWhatItDraws(&view));
        // A visible row changed meanwhile is repainted.
        model.appendRow(row(QStringLiteral("row 50"), QStringLiteral("a")));
        model.item(0, 1)->setText(QStringLiteral("changed"));
        QTRY_VERIFY(paints.count > 0);
        QVERIFY(QTest::qWaitFor([&] { return showsWhatItDraws(&view); }, 2000));
    }

    // The table delegate draws cells from pictures it keeps: the screen shows
    // what drawing every cell straight shows, also as cells change, a row is
    // selected or the view loses its focus.
    void keptCellPicturesLookTheSame()
    {
        QVERIFY(MeasuredItemDelegate::picturesKept());
        QStandardItemModel model(0, 4);
        QPixmap picture(16, 16);
        picture.fill(Qt::darkCyan);
        QFont bold;
        bold.setBold(true);
        for (int n = 0; n < 12; ++n) {
            QList<QStandardItem *> cells;
            auto *first = new QStandardItem(QIcon(picture), QStringLiteral("device %1").arg(n));
            auto *second = new QStandardItem(QString::number(n * 1234));
            second->setTextAlignment(Qt::AlignCenter);
            auto *third = new QStandardItem(QStringLiteral("a rather long status text that does not fit %1").arg(n));
            auto *fourth = new QStandardItem(QStringLiteral("x"));
            if (n % 3 == 0)
                second->setBackground(QColor(255, 180, 180));
            if (n % 4 == 1)
                third->setForeground(QColor(Qt::lightGray));
            if (n % 5 == 2)
                first->setFont(bold);
            if (n % 2) {
                fourth->setCheckable(true);
                fourth->setCheckState(Qt::Checked);
            }
            cells << first << second << third << fourth;
            model.appendRow(cells);
        }
        DeviceTreeView view;
        view.setItemDelegate(new DeviceTableItemDelegate(&view));
        view.setUniformRowHeights(true);
        view.setRootIsDecorated(false);
        view.setModel(&model);
        view.header()->resizeSection(2, 90);
        view.resize(480, 260);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setFocus();
        view.setCurrentIndex(model.index(2, 1));
        const QVector<std::function<void()>> steps{
            [] {},
            [&] { model.item(3, 2)->setText(QStringLiteral("changed")); },
            [&] { model.item(0, 1)->setBackground(QColor(255, 234, 173)); },
            [&] { view.selectionModel()->select(model.index(5, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows); },
            [&] { view.clearFocus(); },
            [&] { model.item(5, 0)->setText(QStringLiteral("renamed")); },
        };
        const auto sameAsStraight = [&] {
            const QImage shown = view.screen()->grabWindow(view.winId()).toImage().convertToFormat(QImage::Format_RGB32);
            MeasuredItemDelegate::setPicturesKept(false);
            const QImage straight = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
            MeasuredItemDelegate::setPicturesKept(true);
            return shown == straight;
        };
        for (int step = 0; step < steps.size(); ++step) {
            steps.at(step)();
            view.viewport()->update();
            QVERIFY2(QTest::qWaitFor(sameAsStraight, 2000), qPrintable(QString::number(step)));
        }
    }

    // The table delegate's sizes: those of a styled item delegate (and six
    // pixels higher) as the text, font, icon and check of a cell change.
    void delegateSizesFollowTheCells()
    {
        QStandardItemModel model(1, 1);
        QTreeView view;
        view.setModel(&model);
        DeviceTableItemDelegate measured;
        QStyledItemDelegate plain;
        QStyleOptionViewItem option;
        option.initFrom(&view);
        option.widget = &view;
        QPixmap picture(20, 30);
        picture.fill(Qt::red);
        QFont bigger = view.font();
        bigger.setPointSize(bigger.pointSize() * 2);
        QPixmap large(64, 48);
        large.fill(Qt::blue);
        QImage image(12, 40, QImage::Format_ARGB32);
        image.fill(Qt::green);
        const QVector<QPair<int, QVariant>> changes{
            {Qt::DisplayRole, QStringLiteral("w")},
            {Qt::DisplayRole, QStringLiteral("wwwwwwwwwwww")},
            {Qt::FontRole, bigger},
            {Qt::DecorationRole, picture},
            {Qt::CheckStateRole, Qt::Checked},
            {Qt::DisplayRole, QStringLiteral("two\nlines")},
            {Qt::FontRole, QVariant()},
            {Qt::DecorationRole, QIcon(large)},
            {Qt::DisplayRole, 1234567},
            {Qt::TextAlignmentRole, int(Qt::AlignRight | Qt::AlignVCenter)},
            {Qt::DecorationRole, image},
            {Qt::CheckStateRole, QVariant()},
            {Qt::DecorationRole, QColor(Qt::red)},
            {Qt::DisplayRole, 3.25},
            {Qt::DecorationRole, QVariant()},
            {Qt::SizeHintRole, QSize(7, 9)},
        };
        const QModelIndex cell = model.index(0, 0);
        for (const auto &change : changes) {
            model.setData(cell, change.second, change.first);
            QSize expected = plain.sizeHint(option, cell);
            expected.rheight() += 6;
            QCOMPARE(measured.sizeHint(option, cell), expected);
            // Asked again, the same.
            QCOMPARE(measured.sizeHint(option, cell), expected);
        }
    }

private:
    int m_settle = 0;
};

QTEST_MAIN(DeviceTreeViewTest)
#include "tst_devicetreeview.moc"

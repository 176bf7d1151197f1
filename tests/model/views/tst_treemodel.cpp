#include "treemodel.h"

#include <QAbstractItemModelTester>
#include <QtTest>

class TreeModelTest : public QObject
{
    Q_OBJECT
private slots:
    void headers()
    {
        TreeModel model({QStringLiteral("Device")});
        QCOMPARE(model.columnCount(), 1);
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Device"));
        QVERIFY(!model.headerData(0, Qt::Vertical).isValid());
        QVERIFY(!model.headerData(1, Qt::Horizontal).isValid());
    }

    void rowsAreCheckedBeforeTheyAreAnnounced()
    {
        TreeModel model({QStringLiteral("Selected parameters"), QStringLiteral("Hide")});
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserting(&model, &QAbstractItemModel::rowsAboutToBeInserted);
        QSignalSpy removing(&model, &QAbstractItemModel::rowsAboutToBeRemoved);

        QVERIFY(model.insertRows(0, 3));
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.index(2, 1).data().toString(), QString());
        QVERIFY(model.index(2, 1).data().isValid());
        QVERIFY(!model.insertRows(5, 1));
        QVERIFY(!model.insertRows(-1, 1));
        QVERIFY(!model.insertRows(0, 0));
        QCOMPARE(inserting.count(), 1);

        const QModelIndex parent = model.index(1, 0);
        QVERIFY(model.insertRows(0, 2, parent));
        QCOMPARE(model.rowCount(parent), 2);
        QCOMPARE(model.parent(model.index(1, 0, parent)), parent);
        QCOMPARE(model.rowCount(model.index(1, 1)), 0);
        QVERIFY(!model.insertRows(0, 1, model.index(1, 1)));

        QVERIFY(!model.removeRows(1, 2, parent));
        QVERIFY(!model.removeRows(-1, 1, parent));
        QCOMPARE(model.rowCount(parent), 2);
        QCOMPARE(removing.count(), 0);
        QVERIFY(model.removeRows(0, 2, parent));
        QCOMPARE(model.rowCount(parent), 0);
        QVERIFY(model.removeRows(0, 3));
        QCOMPARE(model.rowCount(), 0);
    }

    void cellsKeepEveryRole()
    {
        TreeModel model({QStringLiteral("Device")});
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(model.insertRows(0, 1));
        const QModelIndex cell = model.index(0, 0);
        QVERIFY(model.flags(cell) & Qt::ItemIsUserCheckable);
        QVERIFY(model.flags(cell) & Qt::ItemIsAutoTristate);
        QCOMPARE(model.flags(QModelIndex()), Qt::NoItemFlags);

        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QVERIFY(model.setData(cell, Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).value<QModelIndex>(), cell);
        QCOMPARE(changed.at(0).at(2).value<QVector<int>>(), QVector<int>{Qt::CheckStateRole});
        QVERIFY(model.setData(cell, QStringLiteral("Zentar-TIRUN"), Qt::DisplayRole));
        QVERIFY(model.setData(cell, 4242, Qt::UserRole + 3));
        QCOMPARE(cell.data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(cell.data().toString(), QStringLiteral("Zentar-TIRUN"));
        QCOMPARE(cell.data(Qt::UserRole + 3).toInt(), 4242);
        QVERIFY(!model.setData(QModelIndex(), 1));
        QCOMPARE(changed.count(), 3);
    }

    void items()
    {
        TreeItem root({TreeItem::CellData{{Qt::DisplayRole, QStringLiteral("Device")}}});
        QCOMPARE(root.rowInParent(), 0);
        QVERIFY(root.insertChildItems(0, 2, 1));
        QVERIFY(root.insertChildItems(2, 0, 1));
        QCOMPARE(root.childCount(), 2);
        QVERIFY(!root.childAt(2));
        QVERIFY(!root.childAt(-1));
        QCOMPARE(root.childAt(1)->rowInParent(), 1);
        QCOMPARE(root.childAt(1)->parentNode(), &root);
        QVERIFY(!root.childAt(0)->setValue(1, 5, Qt::DisplayRole));
        QVERIFY(!root.childAt(0)->value(3, Qt::DisplayRole).isValid());
        QVERIFY(!root.removeChildItems(1, 2));
        QVERIFY(root.removeChildItems(0, 2));
        QCOMPARE(root.childCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TreeModelTest)
#include "tst_treemodel.moc"

// The selection and summary windows of what is stored, and the delegate that
// paints their trees, offscreen with real device items.

#include "appglobals.h"
#include "deviceinfocollector.h"
#include "measurementfixture.h"
#include "measurementslogging.h"
#include "measurementstotal.h"
#include "screenshot.h"
#include "settings.h"
#include "styleditemdelegate.h"
#include "testsupport.h"
#include "treemodel.h"

#include <QCheckBox>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTreeView>
#include <QtTest>


namespace {

QModelIndex childByText(const QAbstractItemModel *model, const QModelIndex &parent, const QString &text)
{
    for (int row = 0; row < model->rowCount(parent); ++row) {
        if (model->index(row, 0, parent).data().toString() == text)
            return model->index(row, 0, parent);
    }
    return QModelIndex();
}

// Columns of the image that hold something other than white.
int firstInkColumn(const QImage &image, int from, int to)
{
    for (int x = from; x < to; ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (image.pixelColor(x, y) != QColor(Qt::white))
                return x;
        }
    }
    return -1;
}

} // namespace

class TestMeasurementWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initTestResources();
        registerDeviceModelNames();
        qRegisterMetaType<StoringMap>("StoringMap");
    }
    void init() { appSettings.remove(QLatin1String(SettingsKey::SQLiteStoringMap)); }

    void delegatePaintsEachRowKind_data()
    {
        QTest::addColumn<QVariant>("kind");
        QTest::addColumn<bool>("checkBox");
        QTest::addColumn<bool>("square");
        QTest::addColumn<int>("textLeft");
        QTest::newRow("no kind") << QVariant() << false << true << 3;
        QTest::newRow("0 plain") << QVariant(0) << false << true << 3;
        QTest::newRow("1 parent") << QVariant(1) << true << true << 40;
        QTest::newRow("2 graph") << QVariant(2) << true << true << 40;
        QTest::newRow("3 check box only") << QVariant(3) << true << false << 18;
    }
    void delegatePaintsEachRowKind()
    {
        QFETCH(QVariant, kind);
        QFETCH(bool, checkBox);
        QFETCH(bool, square);
        QFETCH(int, textLeft);
        QTreeView view;
        QStandardItemModel model;
        view.setModel(&model);
        StyledItemDelegate delegate(&view);
        auto *item = new QStandardItem;
        model.appendRow(item);
        if (kind.isValid())
            item->setData(kind, StyledItemDelegate::RowKindRole);
        item->setData(int(Qt::Checked), Qt::CheckStateRole);
        const QModelIndex index = model.index(0, 0);

        auto paint = [&](const QVariant &decoration, const QString &text) {
            model.setData(index, decoration, Qt::DecorationRole);
            model.setData(index, text, Qt::DisplayRole);
            QImage image(200, 20, QImage::Format_ARGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            QStyleOptionViewItem option;
            option.initFrom(&view);
            option.rect = image.rect();
            option.state = QStyle::State_Enabled;
            delegate.paint(&painter, option, index);
            painter.end();
            return image;
        };

        // Nothing but the check box.
        const QImage bare = paint(QVariant(), QString());
        QCOMPARE(firstInkColumn(bare, 0, 17) != -1, checkBox);
        QCOMPARE(firstInkColumn(bare, 17, 200), -1);

        // A colour decoration is a filled square at 18 pixels; an icon the same place.
        QImage coloured = paint(QColor(255, 0, 0), QString());
        QCOMPARE(coloured.pixelColor(26, 10) == QColor(255, 0, 0), square);
        QPixmap pixmap(16, 16);
        pixmap.fill(QColor(0, 0, 255));
        QImage icon = paint(QIcon(pixmap), QString());
        QCOMPARE(icon.pixelColor(26, 10) == QColor(0, 0, 255), square);

        // Where the text starts (a few pixels of bearing allowed).
        const QImage text = paint(QVariant(), QStringLiteral("WWWW"));
        const int left = firstInkColumn(text, checkBox ? 17 : 0, 200);
        QVERIFY2(left >= textLeft && left <= textLeft + 3, qPrintable(QString::number(left)));
    }

    void summaryListsModelsInNameOrder()
    {
        auto longSerial = radioDevice(4, 12345678);
        auto shortSerial = radioDevice(3, 1234);
        auto master = expander(4242);
        const QStringList keys = longSerial->fieldNames().mid(0, 2);
        const QStringList masterKeys = master->fieldNames().mid(0, 1);
        QVERIFY(keys.size() == 2 && masterKeys.size() == 1);
        StoringMap map;
        map.insert(longSerial.get(), keys);
        map.insert(shortSerial.get(), {});
        map.insert(master.get(), masterKeys);

        const QString expected = deviceModelNames.at(3) + QStringLiteral("\n1234\t:\t\n\n") + deviceModelNames.at(1)
                                 + QStringLiteral("\n4242\t:\t") + master->parameterTitle(masterKeys.at(0))
                                 + QStringLiteral("\n\n") + deviceModelNames.at(4) + QStringLiteral("\n12345678:\t")
                                 + longSerial->parameterTitle(keys.at(0)) + QStringLiteral(", ")
                                 + longSerial->parameterTitle(keys.at(1)) + QStringLiteral("\n\n");
        QCOMPARE(MeasurementsTotal::summaryText(map, master.get()), expected);
    }

    void selectionWindowFlows()
    {
        MessageBoxRecorder boxes;
        auto master = expander(4242);
        auto first = radioDevice(4, 1001);
        auto second = radioDevice(4, 1002);
        auto other = radioDevice(3, 7);
        const QStringList all = first->fieldNames();
        QVERIFY(all.size() >= 3);
        appSettings.setValue(QLatin1String(SettingsKey::SQLiteStoringMap),
                             QVariantMap{{QStringLiteral("4:1001"), all},
                                         {QStringLiteral("4:1002"), QStringList{all.at(1)}}});

        DeviceInfoCollector collector;
        // The device model's list, expander included.
        collector.openMeasurementsLogging({master.get(), first.get(), second.get(), other.get()}, nullptr);
        QPointer<MeasurementsLogging> window = shownWindow<MeasurementsLogging>();
        QVERIFY(window);
        auto *tree = window->findChild<QTreeView *>(QStringLiteral("tvDevices"));
        auto *parameters = window->findChild<QTreeView *>(QStringLiteral("tvParameters"));
        auto *store = window->findChild<QPushButton *>(QStringLiteral("pbStore"));
        QAbstractItemModel *model = tree->model();
        QSignalSpy chosen(window.data(), &MeasurementsLogging::setStoringMap);
        QSignalSpy reset(window.data(), &MeasurementsLogging::resetStoringMap);

        // The expander once, then the devices by model.
        QCOMPARE(model->rowCount(), 3);
        const QModelIndex masterType = childByText(model, QModelIndex(), deviceModelNames.at(1));
        QCOMPARE(model->rowCount(masterType), 1);
        QCOMPARE(model->index(0, 0, masterType).data().toString(), QStringLiteral("0000004242"));
        QCOMPARE(childByText(model, childByText(model, QModelIndex(), deviceModelNames.at(3)), QStringLiteral("0000000007")).isValid(), true);
        const QModelIndex type4 = childByText(model, QModelIndex(), deviceModelNames.at(4));
        const QModelIndex node1 = childByText(model, type4, QStringLiteral("0000001001"));
        const QModelIndex node2 = childByText(model, type4, QStringLiteral("0000001002"));
        // The stored choice: all of one device's fields, one of the other's.
        QCOMPARE(node1.data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(node2.data(Qt::CheckStateRole).toInt(), int(Qt::PartiallyChecked));
        QVERIFY(!store->isEnabled());
        window->resize(700, 500);
        screenshot(window, QStringLiteral("measurementslogging.png"));

        // A type node selects its devices and shows the first one's parameters.
        tree->selectionModel()->select(type4, QItemSelectionModel::ClearAndSelect);
        QVERIFY(tree->selectionModel()->isSelected(node1));
        QVERIFY(tree->selectionModel()->isSelected(node2));
        QCOMPARE(parameters->model()->rowCount(), all.size());
        QCOMPARE(parameters->model()->index(0, 1).data().toString(), QStringLiteral("0000001001"));

        // A tick on the first device's parameter goes to the second's too.
        const QModelIndex firstRow = parameters->model()->index(0, 0);
        parameters->model()->setData(firstRow, int(Qt::Unchecked), Qt::CheckStateRole);
        parameters->model()->setData(firstRow, int(Qt::Checked), Qt::CheckStateRole);
        tree->selectionModel()->select(node2, QItemSelectionModel::ClearAndSelect);
        QCOMPARE(parameters->model()->index(0, 1).data().toString(), QStringLiteral("0000001002"));
        QCOMPARE(parameters->model()->index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QVERIFY(store->isEnabled());

        // Closing with unsaved changes asks; No keeps the window.
        boxes.answer(QMessageBox::No);
        QVERIFY(!window->close());
        QCOMPARE(boxes.last().kind, UiSeams::MessageBoxRequest::Question);
        // Enter and Escape keep the changes too.
        QCOMPARE(boxes.last().defaultButton, QMessageBox::No);
        QCOMPARE(boxes.last().escapeButton, QMessageBox::No);
        QVERIFY(window && window->isVisible());

        // Store: the summary; Cancel, its frame's close and its deletion store nothing.
        store->click();
        QPointer<MeasurementsTotal> total = shownWindow<MeasurementsTotal>();
        QVERIFY(total);
        total->findChild<QPushButton *>(QStringLiteral("pbCancel"))->click();
        QVERIFY(!total->isVisible());
        total->show();
        QVERIFY(!total->close());
        QVERIFY(!total->isVisible());
        delete total;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(chosen.count(), 0);
        QVERIFY(window);

        // OK emits the choice once and closes both windows.
        store->setEnabled(true);
        store->click();
        total = shownWindow<MeasurementsTotal>();
        QVERIFY(total);
        total->findChild<QPushButton *>(QStringLiteral("pbOk"))->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(chosen.count(), 1);
        const StoringMap map = chosen.first().first().value<StoringMap>();
        QCOMPARE(map.size(), 2);
        QCOMPARE(map.value(first.get()), all);
        QVERIFY(map.value(second.get()).contains(all.at(0)));
        QVERIFY(!window);
        QVERIFY(!total);
        QCOMPARE(reset.count(), 0);
        // The collector took it as the stored choice.
        QCOMPARE(appSettings.value(QLatin1String(SettingsKey::SQLiteStoringMap)).toMap().value(QStringLiteral("4:1001")).toStringList(), all);
    }

    void uncheckAllStopsStoring()
    {
        MessageBoxRecorder boxes;
        auto first = radioDevice(4, 1001);
        appSettings.setValue(QLatin1String(SettingsKey::SQLiteStoringMap),
                             QVariantMap{{QStringLiteral("4:1001"), first->fieldNames()}});
        auto *window = new MeasurementsLogging({first.get()}, nullptr);
        QPointer<MeasurementsLogging> guard(window);
        window->initMap(appSettings.value(QLatin1String(SettingsKey::SQLiteStoringMap)).toMap());
        window->connectSignals();
        window->show();
        QSignalSpy chosen(window, &MeasurementsLogging::setStoringMap);
        QSignalSpy reset(window, &MeasurementsLogging::resetStoringMap);
        window->findChild<QPushButton *>(QStringLiteral("pbUncheck"))->click();
        QCOMPARE(reset.count(), 1);
        QCOMPARE(chosen.count(), 0);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().title, QStringLiteral("Start measurements storing"));
        QVERIFY(!window->findChild<QPushButton *>(QStringLiteral("pbStore"))->isEnabled());
        // Nothing unsaved: it closes without asking.
        QVERIFY(window->close());
        QCOMPARE(boxes.count(), 1);
    }

    void goneDeviceLeavesTheChoice()
    {
        auto first = radioDevice(4, 1001);
        auto second = radioDevice(4, 1002);
        auto *window = new MeasurementsLogging({first.get(), second.get()}, nullptr);
        QPointer<MeasurementsLogging> guard(window);
        window->initMap(QVariantMap());
        window->connectSignals();
        window->show();
        QSignalSpy chosen(window, &MeasurementsLogging::setStoringMap);
        auto *tree = window->findChild<QTreeView *>(QStringLiteral("tvDevices"));
        const QModelIndex type4 = tree->model()->index(0, 0);
        for (int row = 0; row < 2; ++row)
            tree->model()->setData(tree->model()->index(row, 0, type4), int(Qt::Checked), Qt::CheckStateRole);
        second.reset(); // removed while the window is open
        window->findChild<QPushButton *>(QStringLiteral("pbStore"))->click();
        auto *total = shownWindow<MeasurementsTotal>();
        QVERIFY(total);
        total->findChild<QPushButton *>(QStringLiteral("pbOk"))->click();
        QCOMPARE(chosen.count(), 1);
        const StoringMap map = chosen.first().first().value<StoringMap>();
        QCOMPARE(map.keys(), QList<DeviceItem *>{first.get()});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

QTEST_MAIN(TestMeasurementWindows)
#include "tst_measurementwindows.moc"

#include "viewtestdata.h"

#include "addressdelegate.h"
#include "deviceclasses.h"
#include "deviceitemdelegate.h"
#include "devicetableitemdelegate.h"
#include "devicetablemodel.h"
#include "registerdeviceclasses.h"
#include "sorteddevicemodel.h"
#include "testsupport.h"

#include <QDir>
#include <QHeaderView>
#include <QListView>
#include <QPainter>
#include <QTreeView>
#include <QtTest>

#include <memory>
#include <vector>

namespace {
// Pictures for the models that have none of their own here.
QImage boxPicture(const QColor &body, bool antenna)
{
    QImage image(64, 64, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 2));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(10, 18, 44, 40), 5, 5);
    p.setBrush(QColor(40, 200, 60));
    p.drawEllipse(QPointF(20, 28), 3, 3);
    if (antenna) {
        p.drawLine(QPointF(44, 18), QPointF(50, 4));
        p.drawEllipse(QPointF(50, 4), 2, 2);
    }
    return image;
}

QByteArray state(quint8 s0, int extra = 0)
{
    QByteArray bytes = stateWithSpan(extra);
    bytes[0] = char(s0);
    bytes.append(QByteArray(3, '\0'));
    return bytes;
}
} // namespace

// The three device views of a 125-address master with a dozen devices,
// saved as pictures for a person to look at.
class ViewScreenshotsTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        prepareViewTests();
        registerDeviceClasses();
    }

    void threeViews()
    {
        std::vector<std::unique_ptr<DeviceItem>> items;
        auto add = [&items](std::unique_ptr<DeviceItem> item) { items.push_back(std::move(item)); };
        auto device = [](const deviceInfo_t &info, const QByteArray &bytes) {
            std::unique_ptr<DeviceItem> item(createDeviceItem(info, false));
            item->updateState(info, bytes);
            return item;
        };

        auto master = std::make_unique<DI_AbstractRepeater>(Record(255, 40).wireloop(1).rl(0).serial(2400117)
                                                                .firmware(0x0113).hardware(0x0700).rssi(0), false);
        master->setDeviceImage(boxPicture(QColor(235, 235, 240), true));
        master->updateState(master->deviceInfo(), state(0xF0));
        auto repeaterA = std::make_unique<DI_AbstractRepeater>(Record(10, 30).wireloop(30).rl(route(0x10)).rssi(-52), false);
        auto repeaterB = std::make_unique<DI_AbstractRepeater>(Record(11, 30).wireloop(31).rl(route(0x12)).rssi(-77), false);
        for (auto *repeater : {repeaterA.get(), repeaterB.get()}) {
            repeater->setDeviceImage(boxPicture(QColor(250, 250, 250), true));
            repeater->updateState(repeater->deviceInfo(), state(0xF0));
        }
        add(std::move(master));
        add(std::move(repeaterA));
        add(std::move(repeaterB));
        add(device(Record(1, 4).wireloop(2).rl(0).rssi(-48).serial(1100234), state(0xF0, 1)));
        add(device(Record(2, 4).wireloop(4).rl(route(0x10)).rssi(-66).serial(1100871), state(0x70)));
        add(device(Record(3, 3).wireloop(5).rl(0).rssi(-58).serial(1300012), state(0xF0)));
        add(device(Record(4, 32).wireloop(6).rl(route(0x12)).rssi(-83).serial(3200555), state(0xF0)));
        add(device(Record(5, 63).wireloop(7).rl(0).rssi(-61).serial(6300101), state(0xB0)));
        add(device(Record(6, 64).wireloop(8).rl(route(0x10)).rssi(-95).serial(6400044), state(0xF0)));
        add(device(Record(7, 67).wireloop(9).rl(0).link(0).serial(6700320), state(0xF0)));
        add(device(Record(8, 4).wireloop(0).rl(0).rssi(-40).serial(1100999), state(0xF0)));
        add(device(Record(9, 32).wireloop(12).rl(route(0x12)).rssi(-71).serial(3200777), state(0xF0)));
        add(device(Record(12, 4).wireloop(126).rl(0).rssi(-55).serial(1101500), state(0xF0, 2)));

        FakeSource source;
        source.masterItem = items.front().get();
        for (std::size_t i = 1; i < items.size(); ++i)
            source.deviceList << items.at(i).get();

        DeviceTableModel model;
        SortedDeviceModel proxy;
        proxy.setSourceModel(&model);
        for (const auto &item : items)
            model.deviceConnected(item.get());
        QCOMPARE(model.devices().size(), 13);

        const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
        QVERIFY(QDir().mkpath(folder));
        auto save = [&folder](QWidget *view, const QString &name) {
            const QString path = folder + QLatin1Char('/') + name;
            const QPixmap picture = view->grab();
            QVERIFY(!picture.isNull());
            QVERIFY(picture.save(path, "PNG"));
            QVERIFY(QFileInfo(path).size() > 0);
            qInfo().noquote() << "picture:" << QDir::toNativeSeparators(path);
        };

        // Tile view, sorted by radio address.
        model.setViewMode(DeviceTableModel::TileMode);
        QListView tiles;
        DeviceItemDelegate cardDelegate(&source);
        tiles.setModel(&proxy);
        tiles.setItemDelegate(&cardDelegate);
        tiles.setViewMode(QListView::IconMode);
        tiles.setIconSize(QSize(64, 64));
        tiles.setResizeMode(QListView::Adjust);
        tiles.setMovement(QListView::Static);
        tiles.setUniformItemSizes(true);
        tiles.setSpacing(4);
        tiles.setSelectionMode(QAbstractItemView::ExtendedSelection);
        tiles.resize(1180, 560);
        proxy.applySortChoice(0);
        tiles.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tiles));
        tiles.selectionModel()->select(proxy.index(4, 0), QItemSelectionModel::Select);
        // The cards do not overlap.
        for (int a = 0; a < proxy.rowCount(); ++a)
            for (int b = a + 1; b < proxy.rowCount(); ++b)
                QVERIFY(!tiles.visualRect(proxy.index(a, 0)).intersects(tiles.visualRect(proxy.index(b, 0))));
        save(&tiles, QStringLiteral("device-tiles.png"));
        tiles.hide();

        // Table view, sorted by address.
        model.setViewMode(DeviceTableModel::TableMode);
        proxy.setSortRole(SortedDeviceModel::SortByColumn);
        QTreeView table;
        DeviceTableItemDelegate rowDelegate;
        DeviceStatusDelegate statusDelegate;
        AddressDelegate addressDelegate(&source);
        table.setModel(&proxy);
        table.setItemDelegate(&rowDelegate);
        table.setItemDelegateForColumn(DeviceTableModel::StatusColumn, &statusDelegate);
        table.setItemDelegateForColumn(DeviceTableModel::AddressColumn, &addressDelegate);
        table.setSortingEnabled(true);
        table.setAlternatingRowColors(false);
        table.setIconSize(QSize(20, 20));
        for (int column = 0; column < 7; ++column)
            table.header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
        table.sortByColumn(DeviceTableModel::AddressColumn, Qt::AscendingOrder);
        table.setRootIsDecorated(false);
        table.resize(1000, 470);
        table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&table));
        table.selectionModel()->select(proxy.index(3, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QCOMPARE(proxy.rowCount(), 13);
        QCOMPARE(DeviceTableModel::itemAt(proxy.index(0, 0)), items.front().get());
        save(&table, QStringLiteral("device-table.png"));

        // Tree view: the devices below their repeaters and the master.
        model.setViewMode(DeviceTableModel::TreeMode);
        table.setRootIsDecorated(true);
        table.sortByColumn(DeviceTableModel::AddressColumn, Qt::AscendingOrder);
        table.expandAll();
        QCOMPARE(proxy.rowCount(), 1);
        QCOMPARE(proxy.rowCount(proxy.index(0, 0)), 7);
        const QModelIndex repeater = proxy.index(5, 0, proxy.index(0, 0));
        QCOMPARE(DeviceTableModel::itemAt(repeater)->deviceType(), 30);
        table.selectionModel()->select(proxy.index(0, 0, repeater), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        save(&table, QStringLiteral("device-tree.png"));
    }
};

QTEST_MAIN(ViewScreenshotsTest)
#include "tst_viewscreenshots.moc"

#include "viewtestdata.h"

#include "devicetablemodel.h"
#include "sorteddevicemodel.h"
#include "testsupport.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>

namespace {
using Tester = QAbstractItemModelTester;

// Items by name; the model never owns them.
class Devices
{
public:
    DeviceItem *add(const QString &name, std::unique_ptr<DeviceItem> item)
    {
        DeviceItem *raw = item.get();
        m_items[name] = std::move(item);
        return raw;
    }
    DeviceItem *add(const QString &name, std::unique_ptr<DI_AbstractRepeater> item)
    {
        return add(name, std::unique_ptr<DeviceItem>(std::move(item)));
    }
    DeviceItem *operator[](const QString &name) const { return m_items.at(name).get(); }
    void destroy(const QString &name) { m_items.erase(name); }

private:
    std::map<QString, std::unique_ptr<DeviceItem>> m_items;
};

// The tree as text: "name(child child(...))".
QString treeText(const DeviceTableModel &model, const QModelIndex &parent,
                 const std::map<DeviceItem *, QString> &names)
{
    QStringList parts;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        QString part = names.at(model.itemFromIndex(index));
        if (model.rowCount(index) > 0)
            part += QLatin1Char('(') + treeText(model, index, names) + QLatin1Char(')');
        parts << part;
    }
    return parts.join(QLatin1Char(' '));
}

// The typical installation: a master, two repeaters one behind the other
// and devices behind each of them.
struct Installation
{
    Devices devices;
    std::map<DeviceItem *, QString> names;

    Installation()
    {
        add("M", makeMaster(40, 1));
        add("R1", makeRepeater(Record(2, 30).rl(route(0x10))));
        add("R2", makeRepeater(Record(4, 30).rl(route(0x12))));
        add("D3", makeDevice(Record(3).rl(route(0x12))));
        add("D5", makeDevice(Record(5).rl(route(0x10))));
        add("D6", makeDevice(Record(6).rl(0)));
    }
    void add(const QString &name, std::unique_ptr<DeviceItem> item) { names[devices.add(name, std::move(item))] = name; }
    void add(const QString &name, std::unique_ptr<DI_AbstractRepeater> item)
    {
        names[devices.add(name, std::move(item))] = name;
    }
    DeviceItem *operator[](const QString &name) const { return devices[name]; }
};
} // namespace

class DeviceTableModelTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        prepareViewTests();
    }

    void parentRoute_data()
    {
        QTest::addColumn<quint32>("rl");
        QTest::addColumn<quint32>("parent");
        QTest::newRow("no route") << quint32(0) << quint32(0);
        QTest::newRow("second hop") << route(0x12) << route(0x10);
        QTest::newRow("first hop") << route(0x10) << quint32(0);
        QTest::newRow("fourth hop") << route(0x12, 0x34) << route(0x12, 0x30);
        QTest::newRow("third hop") << route(0x12, 0x30) << route(0x12);
        QTest::newRow("last byte") << route(0x12, 0x34, 0x56, 0x78) << route(0x12, 0x34, 0x56, 0x70);
    }
    void parentRoute()
    {
        QFETCH(quint32, rl);
        QFETCH(quint32, parent);
        QCOMPARE(DeviceTableModel::parentRoute(rl), parent);
    }

    void treeAndTableShapes()
    {
        DeviceTableModel model;
        Tester tester(&model, Tester::FailureReportingMode::QtTest);
        auto master = makeMaster();
        auto a = makeDevice(Record(7));
        auto b = makeDevice(Record(3));
        model.setViewMode(DeviceTableModel::TreeMode);
        model.deviceConnected(master.get());
        model.deviceConnected(a.get());
        model.deviceConnected(b.get());

        QCOMPARE(model.rowCount(), 1);
        const QModelIndex top = model.index(0, 0);
        QCOMPARE(model.itemFromIndex(top), master.get());
        QCOMPARE(model.rowCount(top), 2);
        // Children in ascending device numbers.
        QCOMPARE(model.itemFromIndex(model.index(0, 0, top)), b.get());
        QCOMPARE(model.itemFromIndex(model.index(1, 0, top)), a.get());
        QCOMPARE(b->parentRepeater(), master.get());

        model.setViewMode(DeviceTableModel::TableMode);
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.itemFromIndex(model.index(2, 0)), b.get());
        QCOMPARE(model.rowCount(model.index(0, 0)), 0);
        QCOMPARE(model.indexOfItem(b.get()).row(), 2);
    }

    void placementByRoute_data()
    {
        QTest::addColumn<QStringList>("arrival");
        QTest::newRow("master first") << QStringList{"M", "R1", "R2", "D3", "D5", "D6"};
        QTest::newRow("master last") << QStringList{"D6", "D5", "D3", "R2", "R1", "M"};
        QTest::newRow("children before repeaters") << QStringList{"D3", "M", "R2", "D5", "D6", "R1"};
    }
    void placementByRoute()
    {
        QFETCH(QStringList, arrival);
        Installation site;
        DeviceTableModel model;
        SortedDeviceModel proxy;
        proxy.setSourceModel(&model);
        proxy.sort(0);
        Tester tester(&model, Tester::FailureReportingMode::QtTest);
        Tester proxyTester(&proxy, Tester::FailureReportingMode::QtTest);
        model.setViewMode(DeviceTableModel::TreeMode);
        for (const QString &name : arrival)
            model.deviceConnected(site[name]);

        // R2 (12000000) hangs below R1 (10000000), R1 below the master.
        QCOMPARE(treeText(model, QModelIndex(), site.names), QStringLiteral("M(R1(R2(D3) D5) D6)"));
        QCOMPARE(model.parentOf(site["R2"]), site["R1"]);
        QCOMPARE(site["D3"]->parentRepeater(), site["R2"]);
        QCOMPARE(proxy.rowCount(), 1);
    }

    void changesKeepEveryModeConsistent_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("tile") << int(DeviceTableModel::TileMode);
        QTest::newRow("table") << int(DeviceTableModel::TableMode);
        QTest::newRow("tree") << int(DeviceTableModel::TreeMode);
    }
    void changesKeepEveryModeConsistent()
    {
        QFETCH(int, mode);
        Installation site;
        site.add("R3", makeRepeater(Record(8, 30).rl(route(0x20))));
        site.add("D9", makeDevice(Record(9).rl(route(0x20))));
        DeviceTableModel model;
        SortedDeviceModel proxy;
        proxy.setSourceModel(&model);
        proxy.sort(DeviceTableModel::AddressColumn);
        Tester tester(&model, Tester::FailureReportingMode::QtTest);
        Tester proxyTester(&proxy, Tester::FailureReportingMode::QtTest);
        model.setViewMode(mode);
        for (const char *name : {"D3", "M", "R1", "R2", "D5", "D6", "R3", "D9"})
            model.deviceConnected(site[name]);
        QCOMPARE(model.devices().size(), 8);

        // A device moves to another repeater; a repeater moves behind
        // another one and its devices, still on the old route, go up to the
        // master until they report the new route; a device only changes its
        // state.
        reroute(site["D5"], route(0x20));
        QCOMPARE(model.parentOf(site["D5"]), site["R3"]);
        reroute(site["R3"], route(0x12, 0x30));
        QCOMPARE(model.parentOf(site["R3"]), site["R2"]);
        QCOMPARE(model.parentOf(site["D9"]), site["M"]);
        reroute(site["D9"], route(0x12, 0x30));
        QCOMPARE(model.parentOf(site["D9"]), site["R3"]);
        deviceInfo_t info = site["D6"]->deviceInfo();
        info.rssi = -90;
        site["D6"]->updateState(info, stateWithSpan(1));

        // The view mode changes under way and back.
        model.setViewMode((mode + 1) % 3);
        model.setViewMode(mode);

        // A repeater is taken out: its children go up to the master.
        model.removeDevice(site["R3"]);
        QCOMPARE(model.parentOf(site["D9"]), site["M"]);
        QVERIFY(!model.contains(site["R3"]));
        QVERIFY(!site["R3"]->parentRepeater());

        // A repeater and a device are destroyed while in the model.
        site.devices.destroy("R2");
        QCOMPARE(model.parentOf(site["D3"]), site["M"]);
        site.devices.destroy("D6");
        QCOMPARE(model.devices().size(), 5);

        // The removed repeater comes back and takes its devices again.
        model.deviceConnected(site["R3"]);
        QCOMPARE(model.parentOf(site["R3"]), site["M"]);
        QCOMPARE(model.parentOf(site["D9"]), site["R3"]);

        // The master goes: the others stay, at the top.
        site.devices.destroy("M");
        QCOMPARE(model.parentOf(site["R1"]), model.rootItem());

        model.clear();
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(proxy.rowCount(), 0);
        QCOMPARE(static_cast<DI_AbstractRepeater *>(site["R1"])->childCount(), 0);
    }

    // Devices of a changing installation come, move between repeaters,
    // change, leave and are destroyed in a fixed pseudo-random order; the
    // model and the sorting proxy stay consistent throughout and every
    // device stays reachable in the tree.
    void randomChurnStaysConsistent_data() { changesKeepEveryModeConsistent_data(); }
    void randomChurnStaysConsistent()
    {
        QFETCH(int, mode);
        QRandomGenerator random(20240611u + quint32(mode));
        DeviceTableModel model;
        SortedDeviceModel proxy;
        proxy.setSourceModel(&model);
        proxy.sort(DeviceTableModel::StatusColumn, Qt::DescendingOrder);
        proxy.setFilterText(QStringLiteral("TIRUN|SEBREL|HUBRO"));
        Tester tester(&model, Tester::FailureReportingMode::QtTest);
        Tester proxyTester(&proxy, Tester::FailureReportingMode::QtTest);
        model.setViewMode(mode);

        const QList<quint32> routes{0, route(0x10), route(0x12), route(0x20), route(0x12, 0x30), route(0x13)};
        std::vector<std::unique_ptr<DeviceItem>> items;
        auto master = makeMaster();
        model.deviceConnected(master.get());
        for (int step = 0; step < 200; ++step) {
            const int action = random.bounded(7);
            const quint32 rl = routes.at(random.bounded(routes.size()));
            if (action <= 1 || items.empty()) {
                const quint8 radio = quint8(1 + random.bounded(40));
                if (random.bounded(3) == 0)
                    items.push_back(makeRepeater(Record(radio, 30).rl(rl)));
                else
                    items.push_back(makeDevice(Record(radio).rl(rl)));
                model.deviceConnected(items.back().get());
                continue;
            }
            DeviceItem *item = items.at(random.bounded(int(items.size()))).get();
            switch (action) {
            case 2:
            case 3:
                reroute(item, rl);
                break;
            case 4:
                if (model.contains(item))
                    model.removeDevice(item);
                else
                    model.deviceConnected(item);
                break;
            case 5:
                items.erase(std::find_if(items.begin(), items.end(), [item](const auto &p) { return p.get() == item; }));
                break;
            default:
                if (random.bounded(3) == 0)
                    model.setViewMode(random.bounded(3));
                else
                    item->updateState(item->deviceInfo(), stateWithSpan(random.bounded(3)));
                break;
            }
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(QStringLiteral("inconsistent after step %1").arg(step)));
        }
        model.setViewMode(DeviceTableModel::TreeMode);
        std::function<int(const QModelIndex &)> count = [&](const QModelIndex &parent) {
            int n = model.rowCount(parent);
            for (int row = 0; row < model.rowCount(parent); ++row)
                n += count(model.index(row, 0, parent));
            return n;
        };
        QCOMPARE(count(QModelIndex()), model.devices().size());
    }

    // The repeaters' own child lists (and the root item's) hold what the
    // tree shows below them, in the same order, while devices arrive out of
    // order and with equal numbers, move, leave and are destroyed.
    void repeaterListsFollowTheTree_data() { changesKeepEveryModeConsistent_data(); }
    void repeaterListsFollowTheTree()
    {
        QFETCH(int, mode);
        QRandomGenerator random(7u + quint32(mode));
        DeviceTableModel model;
        model.setViewMode(mode);
        std::function<QString(const QModelIndex &, DI_AbstractRepeater *)> mismatch =
            [&](const QModelIndex &parent, DI_AbstractRepeater *holder) -> QString {
            QList<DeviceItem *> rows;
            for (int row = 0; row < model.rowCount(parent); ++row) {
                const QModelIndex index = model.index(row, 0, parent);
                rows << model.itemFromIndex(index);
                auto *repeater = qobject_cast<DI_AbstractRepeater *>(rows.last());
                if (model.rowCount(index) > 0 || (repeater && repeater->childCount() > 0)) {
                    const QString below = mismatch(index, repeater);
                    if (!below.isEmpty())
                        return below;
                }
            }
            if (!holder || holder->children() != rows)
                return QStringLiteral("list of %1").arg(holder ? holder->deviceId() : -1);
            return QString();
        };
        auto check = [&] {
            model.setViewMode(DeviceTableModel::TreeMode);
            const QString wrong = mismatch(QModelIndex(), model.rootItem());
            model.setViewMode(mode);
            return wrong;
        };

        const QList<quint32> routes{0, route(0x10), route(0x12), route(0x20)};
        std::vector<std::unique_ptr<DeviceItem>> items;
        auto master = makeMaster();
        model.deviceConnected(master.get());
        for (int step = 0; step < 150; ++step) {
            const int action = random.bounded(5);
            const quint32 rl = routes.at(random.bounded(routes.size()));
            if (action <= 1 || items.empty()) {
                // Numbers 1 to 12: out of order, and some come twice.
                const quint8 radio = quint8(1 + random.bounded(12));
                if (random.bounded(4) == 0)
                    items.push_back(makeRepeater(Record(radio, 30).rl(rl == 0 ? route(0x10) : rl)));
                else
                    items.push_back(makeDevice(Record(radio).rl(rl)));
                model.deviceConnected(items.back().get());
            } else {
                const auto picked = items.begin() + random.bounded(int(items.size()));
                DeviceItem *item = picked->get();
                if (action == 2)
                    reroute(item, rl);
                else if (action == 3 && model.contains(item))
                    model.removeDevice(item);
                else
                    items.erase(picked);
            }
            const QString wrong = check();
            if (!wrong.isEmpty())
                QFAIL(qPrintable(QStringLiteral("step %1: %2 differs from the tree").arg(step).arg(wrong)));
        }
    }

    void moveAnnouncedWhereTheItemLands()
    {
        DeviceTableModel model;
        Tester tester(&model, Tester::FailureReportingMode::QtTest);
        model.setViewMode(DeviceTableModel::TreeMode);
        auto master = makeMaster();
        auto repeater = makeRepeater(Record(2, 30).rl(route(0x10)));
        auto d3 = makeDevice(Record(3));
        auto d5 = makeDevice(Record(5).rl(route(0x10)));
        auto d7 = makeDevice(Record(7));
        auto d9 = makeDevice(Record(9));
        for (DeviceItem *item : {static_cast<DeviceItem *>(d9.get()), static_cast<DeviceItem *>(master.get()),
                                 d7.get(), static_cast<DeviceItem *>(repeater.get()), d3.get(), d5.get()})
            model.deviceConnected(item);
        const QModelIndex top = model.index(0, 0);
        QCOMPARE(model.rowCount(top), 4); // 2 3 7 9

        QSignalSpy moved(&model, &QAbstractItemModel::rowsMoved);
        QSignalSpy layout(&model, &QAbstractItemModel::layoutChanged);
        reroute(d5.get(), 0);
        QCOMPARE(moved.count(), 1);
        QCOMPARE(moved.at(0).at(3).value<QModelIndex>(), top);
        QCOMPARE(moved.at(0).at(4).toInt(), 2);
        QCOMPARE(model.itemFromIndex(model.index(2, 0, top)), d5.get());
        QCOMPARE(layout.count(), 0);

        // Placing an item where it already is announces nothing.
        model.itemParentChanged(d5.get());
        model.itemParentChanged(d3.get());
        QCOMPARE(moved.count(), 1);
    }

    void repeatedAndBadCallsChangeNothing()
    {
        DeviceTableModel model;
        Tester tester(&model, Tester::FailureReportingMode::QtTest);
        auto master = makeMaster();
        auto device = makeDevice(Record(3));
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        model.deviceConnected(master.get());
        model.deviceConnected(device.get());
        model.deviceConnected(device.get());
        model.deviceConnected(nullptr);
        model.deviceConnected(model.rootItem());
        QCOMPARE(inserted.count(), 2);
        QCOMPARE(model.devices().size(), 2);

        QVERIFY(!model.removeRows(2, 1));
        QVERIFY(!model.removeRows(-1, 1));
        QVERIFY(!model.removeRows(0, 0));
        QVERIFY(!model.removeRows(0, 1, model.index(0, 0)));
        model.setViewMode(DeviceTableModel::TreeMode);
        QVERIFY(!model.removeRows(1, 1));
        QVERIFY(!model.removeRows(1, 1, model.index(0, 0)));
        QVERIFY(!model.insertRows(0, 1));
        QCOMPARE(model.devices().size(), 2);

        const QModelIndex stale = model.index(0, 0, model.index(0, 0));
        QCOMPARE(model.itemFromIndex(stale), device.get());
        QVERIFY(model.removeRows(0, 1, model.index(0, 0)));
        QCOMPARE(model.devices().size(), 1);
        model.removeDevice(device.get());
        QCOMPARE(model.devices().size(), 1);
        QVERIFY(!model.data(stale, Qt::DisplayRole).isValid());
        QVERIFY(!model.itemFromIndex(stale));
    }

    void columns_data()
    {
        QTest::addColumn<int>("connectionKind");
        QTest::addColumn<int>("masterType");
        QTest::addColumn<QString>("typeText");
        QTest::newRow("serial") << int(Serial) << int(MasterOrdinary) << "Zentar-HUBRO125";
        QTest::newRow("wired bus") << int(Kastrel) << int(MasterTrombel) << "Zentar-TROMBEL";
        QTest::newRow("wired bus, plain master") << int(Kastrel) << int(MasterOrdinary) << "Zentar-TROMBEL";
        QTest::newRow("32-device master") << int(Serial) << int(MasterHubro32Slow) << "Zentar-HUBRO125";
    }
    void columns()
    {
        QFETCH(int, connectionKind);
        QFETCH(int, masterType);
        QFETCH(QString, typeText);
        DeviceTableModel model;
        model.setConnectionKind(connectionKind);
        model.setMasterType(MasterType(masterType));
        auto master = makeMaster();
        auto device = makeDevice(Record(26).rl(route(0x12)));
        auto silent = makeDevice(Record(27).rlSupported(0));
        model.deviceConnected(master.get());
        model.deviceConnected(device.get());
        model.deviceConnected(silent.get());

        QCOMPARE(model.index(0, 0).data().toString(), typeText);
        const QModelIndex row = model.indexOfItem(device.get());
        auto cell = [&](int column, int role = Qt::DisplayRole) {
            return model.index(row.row(), column).data(role);
        };
        QCOMPARE(cell(0).toString(), QStringLiteral("Zentar-TIRUN"));
        QCOMPARE(model.columnText(device.get(), DeviceTableModel::RadioColumn).toString(), QStringLiteral("26 (0x1a)"));
        QCOMPARE(model.columnText(device.get(), DeviceTableModel::RouteColumn).toString(), QStringLiteral("12000000"));
        QCOMPARE(model.columnText(silent.get(), DeviceTableModel::RouteColumn).toString(), QStringLiteral("unsupported"));
        QCOMPARE(model.columnText(device.get(), DeviceTableModel::BuildColumn).toInt(), 7);
        QCOMPARE(cell(DeviceTableModel::FirmwareColumn).toString(), QStringLiteral("1.05"));
        QCOMPARE(cell(DeviceTableModel::StatusColumn).toString(), QStringLiteral("Normal"));
        QCOMPARE(cell(0, Qt::TextAlignmentRole).toInt(), 0x80);
        QCOMPARE(cell(1, Qt::TextAlignmentRole).toInt(), 0x84);
        QCOMPARE(cell(7, Qt::TextAlignmentRole).toInt(), 0x80);
        QCOMPARE(cell(1, Qt::ForegroundRole).value<QColor>(), QColor(Qt::black));
        QVERIFY(!cell(1, Qt::DecorationRole).isValid());
        QCOMPARE(model.headerData(DeviceTableModel::Value2Column, Qt::Horizontal).toString(), QStringLiteral("Value 2"));
        QVERIFY(!model.headerData(8, Qt::Horizontal).isValid());
        QVERIFY(!(model.flags(model.index(row.row(), 0)) & Qt::ItemIsEditable));
        QVERIFY(model.flags(model.index(row.row(), 1)) & Qt::ItemIsEditable);

        // Tile mode: every role is the item's own.
        model.setViewMode(DeviceTableModel::TileMode);
        QCOMPARE(model.index(row.row(), 0).data().toString(), device->toolTip());
        QVERIFY(model.flags(model.index(row.row(), 0)) & Qt::ItemIsEditable);
    }

    // The water-meter readers' status cell edits their counter: both models
    // of the reader, and no other device.
    void waterMeterCounterCell_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("editable");
        QTest::newRow("first model") << 19 << true;
        QTest::newRow("second model") << 56 << true;
        QTest::newRow("contact sensor") << 4 << false;
    }
    void waterMeterCounterCell()
    {
        QFETCH(int, type);
        QFETCH(bool, editable);
        DeviceTableModel model;
        auto master = makeMaster();
        auto device = makeDevice(Record(26, type));
        model.deviceConnected(master.get());
        model.deviceConnected(device.get());
        device->setData(uint(1234), DeviceRole::ClassValue);
        const QModelIndex status = model.index(model.indexOfItem(device.get()).row(), DeviceTableModel::StatusColumn);
        QCOMPARE(bool(model.flags(status) & Qt::ItemIsEditable), editable);
        QCOMPARE(status.data(Qt::EditRole).isValid(), editable);
        if (!editable)
            return;
        QCOMPARE(status.data(Qt::EditRole).toUInt(), 1234u);
        QVERIFY(model.setData(status, uint(4321), Qt::EditRole));
        QCOMPARE(device->data(DeviceRole::ClassValue).toUInt(), 4321u);
        // The row follows the device again once the edit is over.
        QVERIFY(!device->data(DeviceRole::EditMark).toBool());
    }

    void addressEdit_data()
    {
        QTest::addColumn<int>("masterType");
        QTest::addColumn<int>("span");
        QTest::addColumn<int>("otherAddress");
        QTest::addColumn<int>("otherSpan");
        QTest::addColumn<QString>("newAddress");
        QTest::addColumn<QString>("error");
        const QString occupied = QStringLiteral("Selected address range is already occupied by device: Zentar-TIRUN");
        QTest::newRow("range reaches a device") << 0 << 2 << 12 << 0 << "10" << occupied;
        QTest::newRow("range ends before a device") << 0 << 2 << 13 << 0 << "10" << QString();
        QTest::newRow("device right at the start") << 0 << 0 << 10 << 0 << "10" << occupied;
        QTest::newRow("device's own range reaches in") << 0 << 0 << 8 << 3 << "10" << occupied;
        QTest::newRow("device without address") << 0 << 2 << 0 << 3 << "1" << QString();
        QTest::newRow("range past 127") << 0 << 2 << 40 << 0 << "126" << "Failed to change device address";
        QTest::newRow("last address") << 0 << 0 << 40 << 0 << "127" << QString();
        QTest::newRow("combo text") << 0 << 0 << 40 << 0 << "33. Zentar-TIRUN" << QString();
        QTest::newRow("32-device master: radio addresses") << 2 << 0 << 20 << 0 << "20" << occupied;
        QTest::newRow("wired bus: bus addresses") << 1 << 0 << 20 << 0 << "120" << occupied;
        QTest::newRow("wired bus: up to 255") << 1 << 2 << 20 << 0 << "200" << QString();
    }
    void addressEdit()
    {
        QFETCH(int, masterType);
        QFETCH(int, span);
        QFETCH(int, otherAddress);
        QFETCH(int, otherSpan);
        QFETCH(QString, newAddress);
        QFETCH(QString, error);
        MessageBoxRecorder boxes;
        DeviceTableModel model;
        Tester tester(&model, Tester::FailureReportingMode::QtTest);
        model.setMasterType(MasterType(masterType));
        auto master = makeMaster();
        const bool wiredBus = masterType == MasterTrombel;
        auto edited = makeDevice(Record(3).wireloop(50).kastrel(150), span, wiredBus);
        // On the wired bus the other device's bus address is 100 above.
        auto other = makeDevice(
            Record(4).wireloop(quint8(otherAddress)).kastrel(quint8(otherAddress ? otherAddress + 100 : 0)), otherSpan,
            wiredBus);
        model.deviceConnected(master.get());
        model.deviceConnected(edited.get());
        model.deviceConnected(other.get());
        QSignalSpy errors(&model, &DeviceTableModel::errorOccuried);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy started(edited.get(), &DeviceItem::wireloopAddressChanged);

        const QModelIndex cell = model.index(model.indexOfItem(edited.get()).row(), DeviceTableModel::AddressColumn);
        QCOMPARE(cell.data(Qt::EditRole).toString(), edited->addressText());
        QVERIFY(edited->data(DeviceRole::EditMark).toBool());
        const bool stored = model.setData(cell, newAddress);
        QCOMPARE(stored, error.isEmpty());
        if (error.isEmpty()) {
            QCOMPARE(errors.count(), 0);
            QCOMPARE(changed.count(), 1);
            QCOMPARE(started.count(), 1);
            QVERIFY(!edited->data(DeviceRole::EditMark).toBool());
        } else {
            QCOMPARE(errors.count(), 1);
            QCOMPARE(errors.at(0).at(0).toString(), error);
            QCOMPARE(started.count(), 0);
        }
        QCOMPARE(boxes.count(), 0);
    }

    void olderMasterKeepsItsAddress()
    {
        DeviceTableModel model;
        auto master = makeRepeater(Record(255, 0).wireloop(1).hardware(0x0500));
        model.deviceConnected(master.get());
        QSignalSpy errors(&model, &DeviceTableModel::errorOccuried);
        QVERIFY(!model.setData(model.index(0, DeviceTableModel::AddressColumn), QStringLiteral("9")));
        QCOMPARE(errors.value(0).value(0).toString(), QStringLiteral("Wireloop address change unsupported"));
    }

    void editMarkHoldsTheRowUntilTheEditorCloses()
    {
        DeviceTableModel model;
        auto master = makeMaster(40, 1);
        auto device = makeDevice(Record(3));
        model.deviceConnected(master.get());
        model.deviceConnected(device.get());
        const QModelIndex cell = model.index(1, DeviceTableModel::AddressColumn);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

        deviceInfo_t info = device->deviceInfo();
        info.serialNumber = 42;
        device->updateState(info, device->stateBlock());
        QCOMPARE(changed.count(), 1);

        cell.data(Qt::EditRole); // an editor opens
        info.serialNumber = 43;
        device->updateState(info, device->stateBlock());
        QCOMPARE(changed.count(), 1);

        // A refused edit leaves the mark; closing the editor shows the
        // held-back state.
        QVERIFY(!model.setData(cell, QStringLiteral("1"))); // the master's
        QVERIFY(device->data(DeviceRole::EditMark).toBool());
        model.editFinished(device.get());
        QCOMPARE(changed.count(), 2);
        QVERIFY(!device->data(DeviceRole::EditMark).toBool());
        QCOMPARE(model.index(1, DeviceTableModel::SerialColumn).data().toString(), QStringLiteral("0000000043"));
    }

    void rssiChangeRepaintsTheSignal()
    {
        DeviceTableModel model;
        auto device = makeDevice(Record(3));
        model.deviceConnected(device.get());
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        deviceInfo_t info = device->deviceInfo();
        info.rssi = -80;
        device->updateState(info, device->stateBlock());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).value<QModelIndex>().column(), int(DeviceTableModel::HardwareColumn));
        model.setViewMode(DeviceTableModel::TileMode);
        info.rssi = -70;
        device->updateState(info, device->stateBlock());
        QCOMPARE(changed.at(1).at(0).value<QModelIndex>().column(), 0);
    }
};

QTEST_MAIN(DeviceTableModelTest)
#include "tst_devicetablemodel.moc"

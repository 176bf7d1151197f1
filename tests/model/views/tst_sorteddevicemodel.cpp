#include "viewtestdata.h"

#include "devicetablemodel.h"
#include "sorteddevicemodel.h"
#include "testsupport.h"

#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <QScopeGuard>
#include <QtTest>

#include <algorithm>
#include <functional>

#include <memory>
#include <vector>

namespace {
using Tester = QAbstractItemModelTester;

// The comparison itself, as the proxy's sorting calls it.
class Probe : public SortedDeviceModel
{
public:
    using SortedDeviceModel::lessThan;
};

struct Pair
{
    DeviceTableModel model;
    Probe proxy;
    std::unique_ptr<DeviceItem> left;
    std::unique_ptr<DeviceItem> right;

    Pair(std::unique_ptr<DeviceItem> l, std::unique_ptr<DeviceItem> r)
        : left(std::move(l))
        , right(std::move(r))
    {
        model.deviceConnected(left.get());
        model.deviceConnected(right.get());
        proxy.setSourceModel(&model);
    }
    // left < right and right < left under the given sorting.
    QPair<bool, bool> compare(int column, int role, Qt::SortOrder order = Qt::AscendingOrder)
    {
        proxy.sort(column, order);
        proxy.setSortRole(role);
        const int sourceColumn = column < DeviceTableModel::ColumnCount ? column : 0;
        const QModelIndex l = model.index(0, sourceColumn);
        const QModelIndex r = model.index(1, sourceColumn);
        return {proxy.lessThan(l, r), proxy.lessThan(r, l)};
    }
};

using Order = QPair<bool, bool>;
const Order Less{true, false};
const Order Greater{false, true};
const Order Equal{false, false};
} // namespace


class SortedDeviceModelTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        prepareViewTests();
    }

    void masterStaysFirst_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("role");
        for (int column : {0, 1, 2, 3, 5, 6, 7, 9, 10, 11})
            QTest::addRow("column %d", column) << column << 0;
        for (int role : {256, 258, 260, 263, 264, 272, 300})
            QTest::addRow("role %d", role) << 0 << role;
    }
    void masterStaysFirst()
    {
        QFETCH(int, column);
        QFETCH(int, role);
        DeviceTableModel model;
        SortedDeviceModel proxy;
        proxy.setSourceModel(&model);
        Tester tester(&proxy, Tester::FailureReportingMode::QtTest);
        std::vector<std::unique_ptr<DeviceItem>> items;
        items.push_back(makeDevice(Record(9).wireloop(1).serial(1).rssi(-20)));
        items.push_back(makeDevice(Record(3).wireloop(90).serial(900).rssi(-100)));
        items.push_back(makeMaster(40, 50));
        items.push_back(makeDevice(Record(1).wireloop(120).serial(5)));
        for (const auto &item : items)
            model.deviceConnected(item.get());
        for (Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
            proxy.sort(column, order);
            proxy.setSortRole(role);
            QCOMPARE(DeviceTableModel::itemAt(proxy.index(0, 0)), items.at(2).get());
        }
    }

    void twoMastersCompareOneWay()
    {
        Pair pair(makeMaster(40, 3), makeMaster(1, 2));
        for (Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
            const Order order1 = pair.compare(DeviceTableModel::AddressColumn, 0, order);
            QCOMPARE(order1, Greater);
            const Order order2 = pair.compare(0, SortedDeviceModel::SortByRadioAddress, order);
            QCOMPARE(order2, Equal);
        }
    }

    void keys_data()
    {
        QTest::addColumn<deviceInfo_t>("left");
        QTest::addColumn<deviceInfo_t>("right");
        QTest::addColumn<bool>("wired");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("role");
        QTest::addColumn<Order>("order");

        // The address key is the bus address for items of a wired-bus master.
        const deviceInfo_t a = Record(1).wireloop(5).kastrel(90);
        const deviceInfo_t b = Record(2).wireloop(7).kastrel(10);
        QTest::newRow("by address: Wireloop addresses") << a << b << false << 0 << 258 << Less;
        QTest::newRow("by address: bus addresses") << a << b << true << 0 << 258 << Greater;
        QTest::newRow("address column") << a << b << false << 1 << 0 << Less;
        QTest::newRow("charge column sorts by address") << a << b << false << 6 << 0 << Less;
        QTest::newRow("Value 2 sorts by address") << a << b << false << 12 << 0 << Less;

        // Equal addresses: type, then number.
        QTest::newRow("address tie: type") << deviceInfo_t(Record(9, 3).wireloop(5)) << deviceInfo_t(Record(2, 4).wireloop(5))
                                           << false << 1 << 0 << Less;
        QTest::newRow("address tie: number") << deviceInfo_t(Record(9).wireloop(5)) << deviceInfo_t(Record(2).wireloop(5))
                                             << false << 0 << 258 << Greater;

        // Route: offline first, then online without a route, then by route.
        const deviceInfo_t offline = Record(1).link(0).rl(route(0x90));
        const deviceInfo_t noRoute = Record(2).rlSupported(0).rl(route(0x10));
        const deviceInfo_t low = Record(3).rl(route(0x10));
        const deviceInfo_t high = Record(4).rl(route(0x20));
        QTest::newRow("RL: offline before no route") << offline << noRoute << false << 10 << 0 << Less;
        QTest::newRow("RL: no route before a route") << noRoute << low << false << 10 << 0 << Less;
        QTest::newRow("RL: by value") << high << low << false << 10 << 0 << Greater;

        // Versions: firmware ties go by build, hardware ties stay.
        const deviceInfo_t older = Record(1).firmware(0x0105).hardware(0x0200).build(9);
        const deviceInfo_t newer = Record(2).firmware(0x0105).hardware(0x0200).build(12);
        QTest::newRow("FW tie: build") << newer << older << false << 3 << 0 << Greater;
        QTest::newRow("HW tie: no order") << newer << older << false << 4 << 0 << Equal;
        QTest::newRow("FW order") << deviceInfo_t(Record(1).firmware(0x0109)) << deviceInfo_t(Record(2).firmware(0x010A))
                                  << false << 3 << 0 << Less;
        QTest::newRow("build column") << newer << older << false << 11 << 0 << Greater;

        QTest::newRow("radio column") << deviceInfo_t(Record(9)) << deviceInfo_t(Record(2)) << false << 9 << 0 << Greater;
        QTest::newRow("serial column") << deviceInfo_t(Record(1).serial(9)) << deviceInfo_t(Record(2).serial(10)) << false
                                       << 2 << 0 << Less;
        QTest::newRow("RSSI column") << deviceInfo_t(Record(1).rssi(-40)) << deviceInfo_t(Record(2).rssi(-90)) << false
                                     << 5 << 0 << Greater;
        QTest::newRow("status column: type first") << deviceInfo_t(Record(1, 32).wireloop(1)) << deviceInfo_t(Record(2, 4).wireloop(9))
                                                   << false << 7 << 0 << Greater;

        // Sort roles.
        QTest::newRow("type names") << deviceInfo_t(Record(1, 32)) << deviceInfo_t(Record(2, 4)) << false << 0 << 260 << Less;
        QTest::newRow("type name tie: address") << deviceInfo_t(Record(1).wireloop(9)) << deviceInfo_t(Record(2).wireloop(3))
                                                << false << 0 << 260 << Greater;
        QTest::newRow("serial tie: address") << deviceInfo_t(Record(1).serial(7).wireloop(9))
                                             << deviceInfo_t(Record(2).serial(7).wireloop(3)) << false << 0 << 264 << Greater;
        QTest::newRow("serial only: tie stays") << deviceInfo_t(Record(1).serial(7).wireloop(9))
                                                << deviceInfo_t(Record(2).serial(7).wireloop(3)) << false << 0 << 263 << Equal;
        QTest::newRow("RSSI role") << deviceInfo_t(Record(1).rssi(-40)) << deviceInfo_t(Record(2).rssi(-90)) << false << 0
                                   << 272 << Greater;
        QTest::newRow("other role: number") << deviceInfo_t(Record(8)) << deviceInfo_t(Record(2)) << false << 0 << 999
                                            << Greater;
    }
    void keys()
    {
        QFETCH(deviceInfo_t, left);
        QFETCH(deviceInfo_t, right);
        QFETCH(bool, wired);
        QFETCH(int, column);
        QFETCH(int, role);
        QFETCH(Order, order);
        Pair pair(makeDevice(left, 0, wired), makeDevice(right, 0, wired));
        QCOMPARE(pair.compare(column, role), order);
    }

    void sortChoices()
    {
        const QList<QPair<int, int>> expected{{9, 256}, {1, 258}, {0, 260}, {2, 264}};
        for (int i = 0; i < expected.size(); ++i) {
            const SortedDeviceModel::SortChoice choice = SortedDeviceModel::sortChoice(i);
            QCOMPARE(qMakePair(choice.column, choice.role), expected.at(i));
        }
        QCOMPARE(SortedDeviceModel::sortChoice(-1).column, 0);
        QCOMPARE(SortedDeviceModel::sortChoice(-1).role, 260);

        // "By radio address" really orders by number, though its column is
        // none of the view's.
        DeviceTableModel model;
        model.setViewMode(DeviceTableModel::TileMode);
        SortedDeviceModel proxy;
        proxy.setSourceModel(&model);
        std::vector<std::unique_ptr<DeviceItem>> items;
        for (quint8 radio : {7, 3, 12, 5})
            items.push_back(makeDevice(Record(radio).wireloop(quint8(40 - radio))));
        for (const auto &item : items)
            model.deviceConnected(item.get());
        auto numbers = [&proxy] {
            QList<int> list;
            for (int row = 0; row < proxy.rowCount(); ++row)
                list << DeviceTableModel::itemAt(proxy.index(row, 0))->deviceId();
            return list;
        };
        proxy.applySortChoice(0);
        QCOMPARE(proxy.keyColumn(), 9);
        QCOMPARE(numbers(), QList<int>({3, 5, 7, 12}));
        proxy.applySortChoice(1);
        QCOMPARE(numbers(), QList<int>({12, 7, 5, 3}));
    }

    void filter_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("shown");
        const int table = DeviceTableModel::TableMode;
        const int tree = DeviceTableModel::TreeMode;
        QTest::newRow("empty") << table << QString() << QStringList{"M", "R", "A", "B"};
        QTest::newRow("asterisk alone is literal") << table << "*" << QStringList{"B"};
        QTest::newRow("lower case") << table << "tirun" << QStringList{"A", "B"};
        QTest::newRow("pattern") << table << "sebrel|0000100001" << QStringList{"R", "A"};
        QTest::newRow("no valid pattern: literal") << table << "(" << QStringList();
        QTest::newRow("tree keeps the repeaters above") << tree << "0000100001" << QStringList{"M", "R", "A"};
    }
    void filter()
    {
        QFETCH(int, mode);
        QFETCH(QString, text);
        QFETCH(QStringList, shown);
        DeviceTableModel model;
        SortedDeviceModel proxy;
        proxy.setSourceModel(&model);
        Tester tester(&proxy, Tester::FailureReportingMode::QtTest);
        model.setViewMode(mode);
        auto master = makeMaster(40, 0);
        auto repeater = makeRepeater(Record(2, 30).rl(route(0x10)).wireloop(20));
        auto a = makeDevice(Record(1).rl(route(0x10)).wireloop(10));
        // Addresses 127, 128: its address text reads "127, *".
        auto b = makeDevice(Record(3).wireloop(127), 1);
        QVERIFY(b->data(DeviceRole::SearchText).toString().contains(QLatin1Char('*')));
        const QMap<DeviceItem *, QString> names{{master.get(), "M"}, {repeater.get(), "R"}, {a.get(), "A"}, {b.get(), "B"}};
        for (DeviceItem *item : names.keys())
            model.deviceConnected(item);

        proxy.setFilterText(text);
        QStringList visible;
        std::function<void(const QModelIndex &)> walk = [&](const QModelIndex &parent) {
            for (int row = 0; row < proxy.rowCount(parent); ++row) {
                const QModelIndex index = proxy.index(row, 0, parent);
                visible << names.value(DeviceTableModel::itemAt(index));
                walk(index);
            }
        };
        walk(QModelIndex());
        std::sort(visible.begin(), visible.end());
        std::sort(shown.begin(), shown.end());
        QCOMPARE(visible, shown);
    }

    // 125 devices arrive one by one and the filter is re-applied after each,
    // as the window does. The proxy filters and sorts each new row in as it
    // comes and goes over the whole list once the arrivals pause; then the
    // rows, their order and the selection are those of a proxy re-sorted and
    // re-filtered in full after every arrival. Addresses, serials and RSSI
    // values repeat, and devices change under way.
    void burstOfArrivals_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("order");
        QTest::addColumn<int>("choice"); // the tile view's sorting choice, -1 for none
        QTest::addColumn<QString>("filter");
        const int table = DeviceTableModel::TableMode;
        const int up = Qt::AscendingOrder;
        const int down = Qt::DescendingOrder;
        QTest::newRow("table by address") << table << int(DeviceTableModel::AddressColumn) << up << -1 << QString();
        QTest::newRow("table by status, descending")
            << table << int(DeviceTableModel::StatusColumn) << down << -1 << QString();
        QTest::newRow("table by RSSI, filtered")
            << table << int(DeviceTableModel::RssiColumn) << up << -1 << "sebrel|00001000[1-3]";
        QTest::newRow("tree by serial, filtered")
            << int(DeviceTableModel::TreeMode) << int(DeviceTableModel::SerialColumn) << down << -1
            << "00001000[1-3]";
        QTest::newRow("tile by type") << int(DeviceTableModel::TileMode) << 0 << up << 2 << QString();
    }
    void burstOfArrivals()
    {
        QFETCH(int, mode);
        QFETCH(int, column);
        QFETCH(int, order);
        QFETCH(int, choice);
        QFETCH(QString, filter);
        const auto restore = qScopeGuard(
            [settle = SortedDeviceModel::filterSettlePeriod()] { SortedDeviceModel::setFilterSettlePeriod(settle); });
        SortedDeviceModel::setFilterSettlePeriod(50);

        DeviceTableModel model;
        model.setViewMode(mode);
        SortedDeviceModel fast;
        SortedDeviceModel slow;
        for (SortedDeviceModel *proxy : {&fast, &slow}) {
            proxy->setSourceModel(&model);
            if (choice >= 0)
                proxy->applySortChoice(choice);
            else
                proxy->sort(column, Qt::SortOrder(order));
        }
        // Fatal: over 125 arrivals the checks of the QtTest mode take seconds.
        Tester modelTester(&model, Tester::FailureReportingMode::Fatal);
        Tester fastTester(&fast, Tester::FailureReportingMode::Fatal);
        QItemSelectionModel selection(&fast);

        std::vector<std::unique_ptr<DeviceItem>> items;
        QHash<DeviceItem *, QString> names;
        auto arrive = [&](std::unique_ptr<DeviceItem> item) {
            names.insert(item.get(), QString::number(names.size()));
            items.push_back(std::move(item));
            model.deviceConnected(items.back().get());
            fast.applyFilterText(filter);
            slow.invalidate();
            slow.setFilterText(filter);
        };
        QSet<DeviceItem *> selected;
        for (int radio = 1; radio <= 125; ++radio) {
            if (radio == 10)
                arrive(makeMaster(40, 3));
            const quint8 address = quint8(radio % 40);
            const quint32 serial = 100000u + quint32(radio % 60);
            const qint8 rssi = qint8(-50 - 10 * (radio % 3));
            if (radio % 25 == 0) {
                arrive(makeRepeater(Record(quint8(radio), 30).rl(route(quint8(radio / 25 * 0x10)))
                                        .wireloop(address).serial(serial).rssi(rssi)));
            } else {
                const int type = radio % 7 == 0 ? 3 : (radio % 5 == 0 ? 12 : 4);
                arrive(makeDevice(Record(quint8(radio), type).rl(route(quint8((radio % 4) * 0x10)))
                                      .wireloop(address).serial(serial).rssi(rssi)));
            }
            if (radio % 10 == 0) {
                // A recent or an early device changes to the same RSSI as
                // the ones before; one more row is selected.
                DeviceItem *changed = items.at(radio % 20 == 0 ? items.size() - 2 : items.size() / 4).get();
                deviceInfo_t info = changed->deviceInfo();
                info.rssi = -99;
                changed->updateState(info, changed->stateBlock());
                const QModelIndex row = fast.mapFromSource(model.indexOfItem(items.at(items.size() / 3).get()));
                if (row.isValid()) {
                    selection.select(row, QItemSelectionModel::Select | QItemSelectionModel::Rows);
                    selected.insert(DeviceTableModel::itemAt(row));
                }
            }
        }
        QVERIFY(!selected.isEmpty());

        // Rows as "depth name", in view order.
        auto rows = [&names](const SortedDeviceModel &proxy) {
            QStringList list;
            std::function<void(const QModelIndex &, int)> walk = [&](const QModelIndex &parent, int depth) {
                for (int row = 0; row < proxy.rowCount(parent); ++row) {
                    const QModelIndex index = proxy.index(row, 0, parent);
                    list << QStringLiteral("%1 %2").arg(depth).arg(names.value(DeviceTableModel::itemAt(index)));
                    walk(index, depth + 1);
                }
            };
            walk(QModelIndex(), 0);
            return list;
        };
        auto sorted = [](QStringList list) {
            std::sort(list.begin(), list.end());
            return list;
        };
        // The same rows at once; their order, once the arrivals have paused.
        QCOMPARE(sorted(rows(fast)), sorted(rows(slow)));
        QVERIFY(rows(slow).size() > 10);
        QTRY_COMPARE(rows(fast), rows(slow));
        // The master, when shown, on top.
        const QStringList shown = rows(fast);
        QVERIFY(!shown.contains(QStringLiteral("0 9")) || shown.first() == QStringLiteral("0 9"));

        QSet<DeviceItem *> stillSelected;
        for (const QModelIndex &row : selection.selectedRows())
            stillSelected.insert(DeviceTableModel::itemAt(row));
        QCOMPARE(stillSelected, selected);
    }
};

QTEST_MAIN(SortedDeviceModelTest)
#include "tst_sorteddevicemodel.moc"

#include "devicetestdata.h"

#include "di_abstractrepeater.h"

#include <QtTest>

#include <memory>

namespace {
std::unique_ptr<DeviceItem> deviceNumbered(quint8 number, int type = 4)
{
    deviceInfo_t info = makeInfo(type);
    info.radioAddress = number;
    return std::make_unique<DeviceItem>(info, false);
}

QList<int> numbersOf(const QList<DeviceItem *> &items)
{
    QList<int> numbers;
    for (const DeviceItem *item : items)
        numbers << item->deviceId();
    return numbers;
}
} // namespace

class RepeaterTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerDeviceModelNames();
        DeviceItem::setTimings(10, 10);
    }

    void childListOperations()
    {
        DI_AbstractRepeater repeater(makeInfo(30), false);
        QCOMPARE(repeater.childCount(), 0);
        QVERIFY(!repeater.child(0));

        auto nine = deviceNumbered(9), three = deviceNumbered(3), seven = deviceNumbered(7);
        repeater.appendChild(nine.get());
        repeater.appendChild(three.get());
        repeater.appendChild(seven.get());
        // An append alone keeps the order of arrival.
        QCOMPARE(numbersOf(repeater.children()), QList<int>({9, 3, 7}));
        QCOMPARE(repeater.indexOfChild(three.get()), 1);
        QVERIFY(!repeater.child(-1));
        QVERIFY(!repeater.child(repeater.childCount()));
        QCOMPARE(repeater.child(2), seven.get());

        repeater.sortChildren();
        QCOMPARE(numbersOf(repeater.children()), QList<int>({3, 7, 9}));

        // The list never moves the parent pointers: the model does.
        QVERIFY(!nine->parentRepeater());

        // Appended twice, removed once: no copy is left.
        repeater.appendChild(seven.get());
        repeater.removeChild(seven.get());
        QCOMPARE(numbersOf(repeater.children()), QList<int>({3, 9}));
        QCOMPARE(repeater.indexOfChild(seven.get()), -1);
        repeater.removeChild(seven.get()); // absent: nothing happens
        QCOMPARE(repeater.childCount(), 2);
    }

    void insertPosition_data()
    {
        QTest::addColumn<QList<int>>("children");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("row");
        QTest::newRow("empty list") << QList<int>() << 5 << 0;
        QTest::newRow("after equal numbers") << QList<int>({3, 7, 7, 9}) << 7 << 3;
        QTest::newRow("after all") << QList<int>({3, 7, 7, 9}) << 10 << 4;
        QTest::newRow("before all") << QList<int>({3, 7, 7, 9}) << 1 << 0;
    }
    void insertPosition()
    {
        QFETCH(QList<int>, children);
        QFETCH(int, number);
        QFETCH(int, row);
        DI_AbstractRepeater repeater(makeInfo(30), false);
        std::vector<std::unique_ptr<DeviceItem>> items;
        for (int n : children) {
            items.push_back(deviceNumbered(quint8(n)));
            repeater.appendChild(items.back().get());
        }
        const auto item = deviceNumbered(quint8(number));
        QCOMPARE(repeater.childInsertPosition(item.get()), row);
    }

    void repeaterDeletedBeforeItsChildren()
    {
        auto repeater = std::make_unique<DI_AbstractRepeater>(makeInfo(30), false);
        auto child = deviceNumbered(3);
        auto elsewhere = deviceNumbered(4);
        DI_AbstractRepeater other(makeInfo(71), false);
        repeater->appendChild(child.get());
        child->setParentRepeater(repeater.get());
        // Listed here, but already moved under another repeater.
        repeater->appendChild(elsewhere.get());
        elsewhere->setParentRepeater(&other);

        const QPointer<DeviceItem> guard(child.get());
        repeater.reset();
        QVERIFY(guard); // the child lives on
        QCOMPARE(child->parentRepeater(), nullptr);
        QCOMPARE(elsewhere->parentRepeater(), &other);
    }

    void childDeletedWhileListed()
    {
        DI_AbstractRepeater repeater(makeInfo(30), false);
        auto first = deviceNumbered(3), second = deviceNumbered(5);
        repeater.appendChild(first.get());
        repeater.appendChild(second.get());
        repeater.appendChild(first.get());
        first.reset();
        QCOMPARE(numbersOf(repeater.children()), QList<int>({5}));
        repeater.sortChildren(); // reads no dangling item
        QCOMPARE(repeater.child(0), second.get());
    }

    void toolTip_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("wireloopAddress");
        QTest::addColumn<QString>("tip");
        QTest::newRow("repeater") << 30 << 0 << QStringLiteral(" #*\nZentar-SEBREL\nhw: 2.10 fw: 1.05\ns/n: 0001234567");
        QTest::newRow("addressed") << 30 << 12 << QStringLiteral(" #12\nZentar-SEBREL\nhw: 2.10 fw: 1.05\ns/n: 0001234567");
    }
    void toolTip()
    {
        QFETCH(int, type);
        QFETCH(int, wireloopAddress);
        QFETCH(QString, tip);
        DI_AbstractRepeater repeater(makeInfo(type, quint8(wireloopAddress)), false);
        QCOMPARE(repeater.toolTip(), tip);
        QCOMPARE(repeater.data(Qt::DisplayRole).toString(), tip);
    }

    void rootOfTheTree()
    {
        const deviceInfo_t zero{};
        DI_AbstractRepeater root(zero, false);
        QCOMPARE(root.deviceId(), quint8(0));
        QCOMPARE(root.deviceType(), 0);
        QVERIFY(root.toolTip().endsWith(QStringLiteral("\ns/n: 0000000000")));
        QVERIFY(root.toolTip().startsWith(QStringLiteral(" #*\n")));
    }
};

QTEST_MAIN(RepeaterTest)
#include "tst_repeater.moc"

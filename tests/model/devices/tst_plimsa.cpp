#include "devicebench.h"

#include "di_plimsa.h"
#include "registerdeviceclasses.h"

#include <QtTest>

#include <memory>

namespace {
std::unique_ptr<DI_Plimsa> socket()
{
    return std::make_unique<DI_Plimsa>(makeInfo(57), false);
}

// s0-s3 flags, s4 alarm/fault, s5 mask, then voltage, current, power and the reason.
QByteArray reading(const char *head, quint16 centivolts, quint16 centiamps, quint16 deciwatts, quint8 reason)
{
    QByteArray state = hexBytes(head);
    for (quint16 word : {centivolts, centiamps, deciwatts}) {
        state.append(char(word & 0xFF));
        state.append(char(word >> 8));
    }
    state.append(char(reason));
    return state;
}

QStringList shown(const DeviceItem &item)
{
    return texts({propertyAt(item, {"Status", "State"}), propertyAt(item, {"Status", "Voltage"}),
                  propertyAt(item, {"Status", "Current"}), propertyAt(item, {"Status", "Active power"})});
}
} // namespace

class PlimsaTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerDeviceModelNames();
        registerDeviceClasses();
        DeviceItem::setTimings(10, 10);
    }

    void decoding_data()
    {
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<QStringList>("rows"); // State, Voltage, Current, Active power
        QTest::addColumn<int>("level");        // of State
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("alarm");
        QTest::addColumn<bool>("fault");

        QTest::newRow("on by button, with measurements")
            << reading("c0000000" "00" "00", 23012, 153, 3456, 6)
            << QStringList{"Turned on by button", "230 V", "1.5 A", "345.6 W"} << 0
            << "Turned on by button, Voltage: 230 V, Current: 1.5 A, Power: 345.6 W" << false << false;
        QTest::newRow("a mask in force wins over the reason")
            << reading("c0000000" "00" "05", 23012, 0, 0, 6) << QStringList{"Active mask: 5", "230 V", "0.0 A", "0.0 W"}
            << 0 << "Active mask: 5" << false << false;
        QTest::newRow("reason 9 says the mask: on")
            << reading("c0000000" "00" "01", 23000, 0, 0, 9)
            << QStringList{"Turned on by mask", "230 V", "0.0 A", "0.0 W"} << 0 << "Turned on by mask" << false << false;
        QTest::newRow("reason alone, alarm over fault")
            << reading("c0000000" "c0" "00", 0, 0, 0, 3)
            << QStringList{"Disabled by upper current threshold", "0 V", "0.0 A", "0.0 W"} << 1
            << "Disabled by upper current threshold" << true << true;
        QTest::newRow("fault, device trouble")
            << reading("80000000" "40" "02", 0, 0, 0, 7) << QStringList{"Turned off by button", "0 V", "0.0 A", "0.0 W"}
            << 2 << "Turned off by button" << false << true;
    }
    void decoding()
    {
        QFETCH(QByteArray, state);
        QFETCH(QStringList, rows);
        QFETCH(int, level);
        QFETCH(QString, status);
        QFETCH(bool, alarm);
        QFETCH(bool, fault);

        const auto item = socket();
        updateWith(*item, state);
        QCOMPARE(shown(*item), rows);
        QCOMPARE(int(item->propertyLevel(propertyAt(*item, {"Status", "State"}))), level);
        QCOMPARE(item->data(DeviceRole::StatusText).toString(), status);
        QCOMPARE(item->hasAlarm(), alarm);
        QCOMPARE(item->hasFault(), fault);
    }

    void keptAcrossEmptyAndUnknownReadings()
    {
        const auto item = socket();
        updateWith(*item, reading("c0000000" "40" "00", 23012, 153, 3456, 6));
        // No state bytes: the trouble flags go, the rest stays.
        updateWith(*item, QByteArray());
        QCOMPARE(shown(*item), QStringList({"Turned on by button", "230 V", "1.5 A", "345.6 W"}));
        QVERIFY(item->hasFault()); // s0 cleared while online, and s4 kept
        QCOMPARE(item->data(DeviceRole::StatusText).toString(),
                 QStringLiteral("Turned on by button, Voltage: 230 V, Current: 1.5 A, Power: 345.6 W"));

        // A reason beyond the list: the state text stays, and so does the status.
        updateWith(*item, reading("c0000000" "00" "00", 23012, 153, 3456, 12));
        QCOMPARE(shown(*item).first(), QStringLiteral("Turned on by button"));
        QCOMPARE(item->data(DeviceRole::StatusText).toString(), QStringLiteral("Turned on by button"));

        // Off line: "Connection lost", the flags of s4 still count.
        updateWith(*item, reading("c0000000" "c0" "00", 0, 0, 0, 0), 1);
        QCOMPARE(item->data(DeviceRole::StatusText).toString(), QStringLiteral("Connection lost"));
        QVERIFY(item->hasAlarm());
        QVERIFY(item->hasFault());
    }

    void nothingEditable()
    {
        const auto item = socket();
        updateWith(*item, reading("c0000000" "00" "00", 23012, 153, 3456, 6));
        QCOMPARE(propertyNames(propertyAt(*item, {"Status"})->subProperties()),
                 QStringList({"State", "Voltage", "Current", "Active power"}));
        for (const char *name : {"State", "Voltage", "Current", "Active power"})
            QVERIFY(!item->isPropertyChanged(propertyAt(*item, {"Status", name})));
        QVERIFY(qobject_cast<DI_AbstractRepeater *>(item.get()));
        QCOMPARE(item->fieldNames(), QStringList({"rl", "gpRssi", "bZone1Status", "wVoltage", "wCurrent", "wPower"}));
        QCOMPARE(DeviceItem::parameterTitleForType(57, "wPower"), QStringLiteral("Active power"));

        RecordingCollector collector;
        item->installInfoCollector(&collector);
        updateWith(*item, reading("c0000000" "00" "00", 23012, 153, 3456, 6));
        QCOMPARE(collector.keys.mid(0, 4), QStringList({"wVoltage", "wCurrent", "wPower", "bZone1Status"}));
        QCOMPARE(collector.values.mid(0, 4), QVariantList({23012, 153, 3456, 6}));
    }
};

QTEST_MAIN(PlimsaTest)
#include "tst_plimsa.moc"

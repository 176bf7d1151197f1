#include "devicebench.h"

#include "di_sebrel.h"
#include "qtpropertymanager.h"
#include "registerdeviceclasses.h"
#include "widgetdevicewritesettings.h"

#include <QtTest>

#include <memory>

namespace {
template <class T>
std::unique_ptr<T> repeater(int type, quint16 firmware = 0x0105, quint32 rl = 0)
{
    deviceInfo_t info = makeInfo(type);
    info.firmwareVersion = firmware;
    info.rl = rl;
    return std::make_unique<T>(info, false);
}

QtProperty *statusRow(const DeviceItem &item, const QString &name)
{
    return propertyAt(item, {"Status", name});
}
} // namespace

class SebrelTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerDeviceModelNames();
        registerDeviceClasses();
        DeviceItem::setTimings(10, 10);
    }

    void oneLine_data()
    {
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<int>("link");
        QTest::addColumn<QStringList>("rows");   // Battery, Voltage battery, External source, Voltage external source
        QTest::addColumn<QStringList>("levels"); // Battery, External source, Case
        QTest::addColumn<QString>("internal");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("alarm");
        QTest::addColumn<bool>("fault");

        QTest::newRow("normal") << hexBytes("c000383104100301") << 2
                                << QStringList{"Ok", "4.1 V", "Ok", "12.6 V"} << QStringList{"0", "0", "0"} << "4.1 V"
                                << "Normal" << false << false;
        QTest::newRow("flat battery: internal voltage from the line")
            << hexBytes("c000383120030401") << 2 << QStringList{"Ok (charging)", "0.8 V", "Ok", "12.6 V"}
            << QStringList{"0", "0", "0"} << "12.6 V" << "Battery: Ok (charging)" << false << false;
        QTest::newRow("low line at 999 mV reads as none")
            << hexBytes("c000e70304100302") << 2 << QStringList{"Ok", "4.1 V", "Not detected", "1.0 V"}
            << QStringList{"0", "2", "0"} << "4.1 V" << "External power: Not detected" << false << true;
        QTest::newRow("low line at 1000 mV")
            << hexBytes("c000e80304100302") << 2 << QStringList{"Ok", "4.1 V", "Low voltage", "1.0 V"}
            << QStringList{"0", "2", "0"} << "4.1 V" << "External power: Low voltage" << false << true;
        QTest::newRow("no state bytes") << QByteArray() << 2 << QStringList{"No battery", "0.0 V", "Not detected", "0.0 V"}
                                        << QStringList{"2", "0", "1"} << "0.0 V"
                                        << "External power: Not detected, Battery: No battery, Case open" << true
                                        << true;
        QTest::newRow("states beyond the names")
            << hexBytes("c000383104100906") << 2 << QStringList{"", "4.1 V", "", "12.6 V"}
            << QStringList{"2", "0", "0"} << "4.1 V" << "External power: , Battery: " << false << true;
        QTest::newRow("off line: trouble bits do not count, levels do")
            << hexBytes("0000383104100501") << 1 << QStringList{"Need replacement", "4.1 V", "Ok", "12.6 V"}
            << QStringList{"2", "0", "1"} << "4.1 V" << "Connection lost" << true << true;
        QTest::newRow("off line, quiet") << hexBytes("0000383104100301") << 1
                                         << QStringList{"Ok", "4.1 V", "Ok", "12.6 V"} << QStringList{"0", "0", "1"}
                                         << "4.1 V" << "Connection lost" << true << false;
    }
    void oneLine()
    {
        QFETCH(QByteArray, state);
        QFETCH(int, link);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, levels);
        QFETCH(QString, internal);
        QFETCH(QString, status);
        QFETCH(bool, alarm);
        QFETCH(bool, fault);

        const auto item = repeater<DI_Sebrel>(30);
        updateWith(*item, hexBytes("ffffffffffffffff"), quint8(link));
        updateWith(*item, state, quint8(link));
        const QList<QtProperty *> shown{statusRow(*item, "Battery"), statusRow(*item, "Voltage battery"),
                                        statusRow(*item, "External source"),
                                        statusRow(*item, "Voltage external source")};
        QCOMPARE(texts(shown), rows);
        QCOMPARE(levelsOf(*item, {shown.at(0), shown.at(2), statusRow(*item, "Case")}), levels);
        QCOMPARE(item->data(DeviceRole::Charge).toString(), internal);
        QCOMPARE(item->data(DeviceRole::StatusText).toString(), status);
        QCOMPARE(item->hasAlarm(), alarm);
        QCOMPARE(item->hasFault(), fault);
    }

    void twoLines_data()
    {
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<QStringList>("rows");   // Battery, External source 1, External source 2, Reserve power supply
        QTest::addColumn<QStringList>("levels"); // Battery, External source 1, External source 2
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("fault");

        // s2-3 line 1, s4-5 line 2, s6-7 battery, s8 battery, s9 line 1, s10 line 2, s11 reserve.
        QTest::newRow("reserve line 2: its trouble counts, the battery's not")
            << hexBytes("c0003831e02e041001010200") << QStringList{"Low voltage", "Ok", "Low voltage", "External source 2"}
            << QStringList{"0", "0", "2"} << "External 2 power: Low voltage, Battery: Low voltage" << true;
        QTest::newRow("reserve battery: line 2 trouble does not count")
            << hexBytes("c0003831e02e041001010201") << QStringList{"Low voltage", "Ok", "Low voltage", "Battery"}
            << QStringList{"2", "0", "0"} << "External 2 power: Low voltage, Battery: Low voltage" << true;
        QTest::newRow("line 2 low below 1000 mV, reserve line 2")
            << hexBytes("c0003831e703041003010200") << QStringList{"Ok", "Ok", "Not detected", "External source 2"}
            << QStringList{"0", "0", "2"} << "External 2 power: Not detected" << true;
        QTest::newRow("all good") << hexBytes("c0003831e02e041003010101")
                                  << QStringList{"Ok", "Ok", "Ok", "Battery"} << QStringList{"0", "0", "0"} << "Normal"
                                  << false;
        QTest::newRow("no state bytes") << QByteArray()
                                        << QStringList{"No battery", "Not detected", "Not detected", "External source 2"}
                                        << QStringList{"0", "0", "0"}
                                        << "External 1 power: Not detected, External 2 power: Not detected, Battery: "
                                           "No battery, Case open"
                                        << true;
    }
    void twoLines()
    {
        QFETCH(QByteArray, state);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, levels);
        QFETCH(QString, status);
        QFETCH(bool, fault);

        const auto item = repeater<DI_Sebrel_ISP02>(71);
        updateWith(*item, state);
        const QList<QtProperty *> shown{statusRow(*item, "Battery"), statusRow(*item, "External source 1"),
                                        statusRow(*item, "External source 2"),
                                        statusRow(*item, "Reserve power supply")};
        QCOMPARE(texts(shown), rows);
        QCOMPARE(levelsOf(*item, shown.mid(0, 3)), levels);
        QCOMPARE(item->data(DeviceRole::StatusText).toString(), status);
        QCOMPARE(item->hasFault(), fault);
    }

    void treeTitlesAndFields()
    {
        const auto one = repeater<DI_Sebrel>(30);
        QCOMPARE(propertyNames(propertyAt(*one, {"Status"})->subProperties()),
                 QStringList({"Case", "Battery", "Voltage battery", "External source", "Voltage external source"}));
        QCOMPARE(one->fieldNames(), QStringList({"gpCase", "bExtLineState", "wExtLineVoltage", "bBatteryState",
                                                 "wBatteryVoltage", "rl", "gpRssi"}));
        QCOMPARE(DeviceItem::parameterKeyForType(30, "Voltage external source"), QStringLiteral("wExtLineVoltage"));
        QCOMPARE(one->parameterKey("Battery"), QStringLiteral("bBatteryState"));
        QVERIFY(one->parameterKey("Battery state").isEmpty()); // no base pairs

        const auto two = repeater<DI_Sebrel_ISP02>(71);
        QCOMPARE(propertyNames(propertyAt(*two, {"Status"})->subProperties()),
                 QStringList({"Case", "Battery", "Voltage battery", "External source 1", "Voltage external source 1",
                              "External source 2", "Voltage external source 2", "Reserve power supply"}));
        QCOMPARE(DeviceItem::fieldNamesForType(71),
                 QStringList({"gpCase", "bExtLineState_1", "wExtLineVoltage_1", "bExtLineState_2", "wExtLineVoltage_2",
                              "bBatteryState", "wBatteryVoltage", "bReserveSetting", "rl", "gpRssi"}));
        QVERIFY(qobject_cast<DI_AbstractRepeater *>(two.get()));

        RecordingCollector collector;
        two->installInfoCollector(&collector);
        updateWith(*two, hexBytes("c0003831e02e041001010201"));
        QCOMPARE(collector.keys.mid(0, 7), QStringList({"bBatteryState", "bExtLineState_1", "bExtLineState_2",
                                                        "wBatteryVoltage", "wExtLineVoltage_1", "wExtLineVoltage_2",
                                                        "bReserveSetting"}));
        QCOMPARE(collector.values.mid(0, 7), QVariantList({1, 1, 2, 4100, 12600, 12000, 1}));
    }

    void features_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("firmware");
        QTest::addColumn<int>("rl");
        QTest::addColumn<QList<bool>>("supported"); // features 0, 1, 2
        QTest::newRow("1.2, heard directly") << 30 << 0x0102 << 0 << QList<bool>{true, false, false};
        QTest::newRow("1.2, through a repeater") << 30 << 0x0102 << 0x15 << QList<bool>{false, false, false};
        QTest::newRow("1.3") << 30 << 0x0103 << 0x15 << QList<bool>{true, false, false};
        QTest::newRow("1.4") << 30 << 0x0104 << 0x15 << QList<bool>{true, true, false};
        QTest::newRow("two lines, any firmware") << 71 << 0x0100 << 0x15 << QList<bool>{true, true, false};
    }
    void features()
    {
        QFETCH(int, type);
        QFETCH(int, firmware);
        QFETCH(int, rl);
        QFETCH(QList<bool>, supported);
        std::unique_ptr<DeviceItem> item;
        if (type == 30)
            item = repeater<DI_Sebrel>(type, quint16(firmware), quint32(rl));
        else
            item = repeater<DI_Sebrel_ISP02>(type, quint16(firmware), quint32(rl));
        QCOMPARE((QList<bool>{item->isFeatureSupported(0), item->isFeatureSupported(1), item->isFeatureSupported(2)}),
                 supported);
    }

    void reserveEdit()
    {
        const auto item = repeater<DI_Sebrel_ISP02>(71);
        const QByteArray onLine2 = hexBytes("c0003831e02e041003010100");
        updateWith(*item, onLine2);
        EditorBench bench(*item);
        PacketCapture capture(*item);
        QtProperty *reserve = statusRow(*item, "Reserve power supply");
        QCOMPARE(reserve->valueText(), QStringLiteral("External source 2"));

        // Unmarked: a write sends nothing.
        pressWrite(*item);
        QVERIFY(capture.queued.isEmpty());
        updateWith(*item, onLine2);

        QVERIFY(bench.choose(reserve, 1));
        QVERIFY(reserve->isModified());
        QVERIFY(item->isPropertyChanged(reserve));
        // The edit stays across readings that still show the old value.
        updateWith(*item, onLine2);
        QCOMPARE(reserve->valueText(), QStringLiteral("Battery"));
        QVERIFY(reserve->isModified());

        pressWrite(*item);
        QCOMPARE(capture.queued, QList<QByteArray>{hexBytes("6a05000500020001")});
        updateWith(*item, hexBytes("c0003831e02e041003010101"));
        QVERIFY(!reserve->isModified());
        QVERIFY(!item->isConfigurationChanged());
        QCOMPARE(capture.queued.size(), 1);
    }
};

QTEST_MAIN(SebrelTest)
#include "tst_sebrel.moc"

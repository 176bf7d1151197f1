// The two water-leakage sensors: one table of states for both classes.
#include "devicebench.h"

#include "deviceclasses.h"
#include "di_rufta.h"
#include "registerdeviceclasses.h"

#include <QtTest>

#include <cmath>
#include <memory>

namespace {
std::unique_ptr<DeviceItem> sensor(int code, quint16 firmware = 0x0107)
{
    deviceInfo_t info = makeInfo(code);
    info.firmwareVersion = firmware;
    return std::unique_ptr<DeviceItem>(createDeviceItem(info, false));
}
} // namespace

class LeakSensorsTest : public QObject
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
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<int>("link");
        QTest::addColumn<QString>("leakState");
        QTest::addColumn<QList<int>>("levels"); // State, Case, Main battery state, Reserve battery state
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("alarm");
        QTest::addColumn<bool>("fault");

        const QList<int> quiet{0, 0, 0, 0};
        for (int code : {29, 55}) {
            const bool variant = code == 55;
            const auto row = [code](const char *name) -> QTestData & { return QTest::addRow("%d: %s", code, name) << code; };
            row("quiet") << hexBytes("f003006400") << 2 << "No leak" << quiet << "Normal" << false << false;
            row("leak") << hexBytes("f003006480") << 2 << "Leak detected" << QList<int>{1, 0, 0, 0}
                        << (variant ? "Leak detected" : "Flood alarm") << true << false;
            // A shorted probe alone is a flood to the first, no alarm to either.
            row("short circuit alone") << hexBytes("f003006440") << 2 << "Short circuit" << quiet
                                       << (variant ? "Normal" : "Flood alarm") << false << false;
            // Both bits: an index without a name, which the variant's text shows as it is.
            row("leak and short circuit") << hexBytes("f0030064c0") << 2 << "" << QList<int>{1, 0, 0, 0}
                                          << (variant ? "" : "Flood alarm") << true << false;
            row("main supply low") << hexBytes("b003006400") << 2 << "No leak" << QList<int>{0, 0, 2, 0}
                                   << (variant ? "Main power low" : "Main power failed") << false << true;
            // Without a supply reading the variant says nothing of its supply.
            row("no state bytes") << QByteArray() << 2 << "No leak" << QList<int>{0, 2, 2, 2}
                                  << (variant ? "Normal" : "Main power failed, Reserve power failed, Case open")
                                  << false << true;
            row("reserve supply failed") << hexBytes("d003006400") << 2 << "No leak" << QList<int>{0, 0, 0, 2}
                                         << (variant ? "Normal" : "Reserve power failed") << false << !variant;
            row("case open") << hexBytes("7003006400") << 2 << "No leak" << QList<int>{0, 2, 0, 0}
                             << (variant ? "Normal" : "Case open") << false << !variant;
            row("leak, link lost") << hexBytes("f003006480") << 1 << "Leak detected" << QList<int>{1, 0, 0, 0}
                                   << "Connection lost" << false << false;
        }
    }
    void decoding()
    {
        QFETCH(int, code);
        QFETCH(QByteArray, state);
        QFETCH(int, link);
        QFETCH(QList<int>, levels);

        const auto item = sensor(code);
        deviceInfo_t info = item->deviceInfo();
        info.linkState = quint8(link);
        item->updateState(info, hexBytes("ffffffffff"));
        RecordingCollector collector;
        item->installInfoCollector(&collector);
        item->updateState(info, state);

        QtProperty *leakState = propertyAt(*item, {"Leakage sensor", "State"});
        QTEST(leakState->valueText(), "leakState");
        // The variant shows neither the case nor the reserve supply.
        QList<int> shown{int(item->propertyLevel(leakState))};
        for (const char *name : {"Case", "Main battery state", "Reserve battery state"}) {
            QtProperty *property = propertyAt(*item, {"Status", name});
            shown << (property ? int(item->propertyLevel(property)) : levels.at(shown.size()));
        }
        QCOMPARE(shown, levels);
        QCOMPARE(propertyAt(*item, {"Status", "Case"}) == nullptr, code == 55);
        QCOMPARE(propertyAt(*item, {"Status", "Reserve battery state"}) == nullptr, code == 55);
        QTEST(item->data(DeviceRole::StatusText).toString(), "status");
        QTEST(item->hasAlarm(), "alarm");
        QTEST(item->hasFault(), "fault");
        const int alarmBit = state.size() > 4 ? (quint8(state.at(4)) >> 7) & 1 : 0;
        const int failBit = state.size() > 4 ? (quint8(state.at(4)) >> 6) & 1 : 0;
        QCOMPARE(collector.keys.mid(0, 2), QStringList({"fFail", "fAlarm"}));
        if (link == 2) {
            QCOMPARE(collector.values.mid(0, 2), QVariantList({failBit, alarmBit}));
        } else {
            for (const QVariant &value : collector.values.mid(0, 2)) // not online: not a number
                QVERIFY(std::isnan(value.toDouble()));
        }
    }

    void listsAndFeatures()
    {
        const QStringList fields{"gpCase", "gpMainPwr", "gpMainBattery", "reservPwrState", "rl", "gpRssi", "fAlarm", "fFail"};
        QCOMPARE(sensor(29)->fieldNames(), fields);
        QCOMPARE(DeviceItem::fieldNamesForType(55), QStringList(fields).filter(QRegularExpression("^(?!reserv)")));
        QCOMPARE(DeviceItem::parameterKeyForType(29, "Reserve battery state"), QStringLiteral("reservPwrState"));
        QVERIFY(DeviceItem::parameterKeyForType(55, "Reserve battery state").isEmpty());
        // Only their own pairs: no base key the sensors do not have.
        QVERIFY(sensor(29)->parameterTitle(QStringLiteral("gpAlarm")).isEmpty());
        QCOMPARE(sensor(55)->parameterKey(QStringLiteral("Fail")), QStringLiteral("fFail"));

        QVERIFY(sensor(29, 0x0107)->isFeatureSupported(0));
        QVERIFY(!sensor(29, 0x0106)->isFeatureSupported(0));
        QVERIFY(sensor(55, 0x0102)->isFeatureSupported(0));
        QVERIFY(!sensor(55, 0x0101)->isFeatureSupported(0));
        QVERIFY(!sensor(55, 0x0900)->isFeatureSupported(1));
    }
};

QTEST_MAIN(LeakSensorsTest)
#include "tst_leaksensors.moc"

// The climate sensor: its readings in tenths, their texts, the frozen texts
// of a failed temperature sensor, and the zones it records.
#include "devicebench.h"

#include "deviceclasses.h"
#include "di_wemdar.h"
#include "registerdeviceclasses.h"

#include <QtTest>

#include <memory>

namespace {
// A state as the device sends it: values in hundredths, each zone's flags and settings.
QByteArray climate(quint8 head, quint8 flags1, qint16 temperature, quint16 humidity, quint16 carbonMonoxide,
                   quint8 flags2 = 0, quint8 flags3 = 0)
{
    QByteArray state = hexBytes("00030064");
    state[0] = char(head);
    const auto zone = [&state](quint8 flags, quint8 settings, quint16 value) {
        state.append(char(flags)).append(char(settings)).append(char(value & 0xFF)).append(char(value >> 8));
    };
    zone(flags1, 0x11, quint16(temperature));
    zone(flags2, 0x22, humidity);
    zone(flags3, 0x33, carbonMonoxide);
    return state;
}

std::unique_ptr<DeviceItem> wemdar(int code, quint16 firmware = 0x0106)
{
    deviceInfo_t info = makeInfo(code);
    info.firmwareVersion = firmware;
    return std::unique_ptr<DeviceItem>(createDeviceItem(info, false));
}
} // namespace

class WemdarTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerDeviceModelNames();
        registerDeviceClasses();
        DeviceItem::setTimings(10, 10);
    }

    void readings_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<QStringList>("texts"); // Temperature, Humidity, CO
        QTest::addColumn<QString>("status");
        QTest::addColumn<QList<int>>("tenths"); // roles 277, 278, 279
        QTest::addColumn<bool>("alarm");
        QTest::addColumn<bool>("fault");

        const QByteArray none;
        QTest::newRow("CO sensor") << 31 << none << climate(0xF0, 0, 2345, 5512, 1234)
                                   << QStringList{"23.4°C", "55.1%", "12.3 ppm"} << "23.4°C, 55.1%, 12.3 ppm, Normal"
                                   << QList<int>{234, 551, 123} << false << false;
        // Hundredths cut toward zero, then one decimal; two digits for little carbon monoxide.
        QTest::newRow("below zero, little CO") << 31 << none << climate(0xF0, 0, -1234, 99, 95)
                                               << QStringList{"-12.3°C", "0.9%", "0.9 ppm"}
                                               << "-12.3°C, 0.9%, 0.9 ppm, Normal" << QList<int>{-123, 9, 9} << false
                                               << false;
        QTest::newRow("type 10: no CO in the text") << 10 << none << climate(0xF0, 0, 2009, 4000, 700)
                                                    << QStringList{"20°C", "40%", "7 ppm"} << "20°C, 40%, Normal"
                                                    << QList<int>{200, 400, 70} << false << false;
        QTest::newRow("temperature alarm") << 10 << none << climate(0xF0, 0x80, 4500, 4000, 0)
                                           << QStringList{"45°C", "40%", "0 ppm"} << "45°C, 40%"
                                           << QList<int>{450, 400, 0} << true << false;
        // A failed temperature sensor freezes all three texts, the values go on.
        QTest::newRow("temperature sensor failed")
            << 31 << climate(0xF0, 0, 2100, 3000, 500) << climate(0xF0, 0x40, 9900, 9900, 9900)
            << QStringList{"21°C", "30%", "5 ppm"} << "21°C, 30%, 5 ppm, Fail" << QList<int>{990, 990, 990} << false
            << true;
        QTest::newRow("reserve supply failed") << 10 << none << climate(0xD0, 0, 2000, 3000, 0)
                                               << QStringList{"20°C", "30%", "0 ppm"}
                                               << "20°C, 30%, Reserve power failed" << QList<int>{200, 300, 0}
                                               << false << true;
    }
    void readings()
    {
        QFETCH(int, code);
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, state);
        QFETCH(QList<int>, tenths);

        const auto item = wemdar(code);
        if (!before.isEmpty())
            item->updateState(item->deviceInfo(), before);
        item->updateState(item->deviceInfo(), state);

        QStringList shown;
        for (const char *name : {"Temperature", "Humidity"})
            shown << propertyAt(*item, {"Sensor", name})->valueText();
        QtProperty *co = propertyAt(*item, {"Sensor", "CO"});
        QCOMPARE(co != nullptr, code == 31);
        shown << (co ? co->valueText() : QString());
        QFETCH(QStringList, texts);
        if (!co)
            texts.last().clear();
        QCOMPARE(shown, texts);
        QTEST(item->data(DeviceRole::StatusText).toString(), "status");
        QCOMPARE(QList<int>({item->data(DeviceRole::ClassValue).toInt(), item->data(DeviceRole::Value2).toInt(),
                             item->data(DeviceRole::Value3).toInt()}),
                 tenths);
        QTEST(item->hasAlarm(), "alarm");
        QTEST(item->hasFault(), "fault");
    }

    void offlineShowsTheBaseText()
    {
        const auto item = wemdar(31);
        deviceInfo_t info = item->deviceInfo();
        info.linkState = 1;
        item->updateState(info, climate(0xF0, 0x80, 2000, 3000, 0));
        QCOMPARE(item->data(DeviceRole::StatusText).toString(), QStringLiteral("Connection lost"));
        QVERIFY(!item->hasAlarm());
    }

    void treeAndRecords()
    {
        for (int code : {10, 31}) {
            const auto item = wemdar(code);
            QCOMPARE(propertyNames(propertyAt(*item, {"Status"})->subProperties()), QStringList({"Main battery state"}));
            RecordingCollector collector;
            item->installInfoCollector(&collector);
            item->updateState(item->deviceInfo(), climate(0xF0, 0x40, -505, 6001, 1999, 0x80, 0xC0));
            // Every zone is recorded, also the third of a sensor without carbon monoxide.
            const QStringList keys{"Zone1fFail", "Zone1fAlarm", "Zone1bSettings", "Zone1iTempr",
                                   "Zone2fFail", "Zone2fAlarm", "Zone2bSettings", "Zone2wHumidity",
                                   "Zone3fFail", "Zone3fAlarm", "Zone3bSettings", "Zone3wCarbonMonoxide"};
            QCOMPARE(collector.keys.mid(0, 12), keys);
            QCOMPARE(collector.values.mid(0, 12),
                     QVariantList({1, 0, 0x11, -50, 0, 1, 0x22, 600, 1, 1, 0x33, 199}));
        }
        // The lists: the item of type 10 has no zone-3 keys, the type's static list all ten.
        const QStringList all{"gpMainPwr",   "gpMainBattery", "rl",          "gpRssi",        "Zone1fAlarm",
                              "Zone1iTempr", "Zone2fAlarm",   "Zone2wHumidity", "Zone3fAlarm", "Zone3wCarbonMonoxide"};
        QCOMPARE(wemdar(31)->fieldNames(), all);
        QCOMPARE(wemdar(10)->fieldNames(), all.mid(0, 8));
        QCOMPARE(DeviceItem::fieldNamesForType(10), all);
        QCOMPARE(DeviceItem::parameterKeyForType(10, "CO sensor settings"), QStringLiteral("Zone3bSettings"));
        QVERIFY(wemdar(10)->parameterTitle(QStringLiteral("gpCase")).isEmpty());
        QVERIFY(wemdar(10, 0x0106)->isFeatureSupported(0));
        QVERIFY(!wemdar(10, 0x0105)->isFeatureSupported(0));
    }
};

QTEST_MAIN(WemdarTest)
#include "tst_wemdar.moc"

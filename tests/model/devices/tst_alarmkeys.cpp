#include "devicebench.h"

#include "deviceclasses.h"
#include "di_dralo.h"
#include "di_security.h"
#include "registerdeviceclasses.h"

#include <QtTest>

#include <memory>

namespace {
std::unique_ptr<DeviceItem> pushButton(int type, quint8 linkState = 2, quint16 hardware = 0x020a,
                                       quint16 firmware = 0x0105)
{
    deviceInfo_t info = makeInfo(type, 10, linkState);
    info.hardwareVersion = hardware;
    info.firmwareVersion = firmware;
    return std::unique_ptr<DeviceItem>(createDeviceItem(info, false));
}
} // namespace

class AlarmKeysTest : public QObject
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
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<int>("link");
        QTest::addColumn<QStringList>("texts");  // "State", "Value"
        QTest::addColumn<QList<int>>("levels"); // State, Case, Main battery state, Reserve battery state
        QTest::addColumn<bool>("alarm");
        QTest::addColumn<bool>("fault");

        QTest::newRow("call point, no state bytes") << 3 << QByteArray() << 2 << QStringList{"No alarm", "Not pressed"}
                                                    << QList<int>{0, 2, 2, 2} << false << true;
        QTest::newRow("call point, fire") << 3 << hexBytes("e00000008000") << 2 << QStringList{"Fire", "Not pressed"}
                                          << QList<int>{1, 0, 0, 0} << true << false;
        QTest::newRow("call point, fire, link byte not 2") << 63 << hexBytes("e00000008000") << 1
                                                           << QStringList{"Fire", "Not pressed"}
                                                           << QList<int>{1, 0, 0, 0} << false << false;
        QTest::newRow("call point, alarm and failure") << 67 << hexBytes("e0000000c001") << 2
                                                       << QStringList{"", "Pressed"} << QList<int>{1, 0, 0, 0} << true
                                                       << false;
        QTest::newRow("call point, pressed only") << 64 << hexBytes("e00000000001") << 2
                                                  << QStringList{"No alarm", "Pressed"} << QList<int>{0, 0, 0, 0}
                                                  << false << false;
        QTest::newRow("call point, failure") << 3 << hexBytes("e00000004000") << 2
                                             << QStringList{"Failure", "Not pressed"} << QList<int>{0, 0, 0, 0}
                                             << false << false;
        QTest::newRow("call point, reserve failed") << 3 << hexBytes("c00000000000") << 2
                                                    << QStringList{"No alarm", "Not pressed"}
                                                    << QList<int>{0, 0, 0, 2} << false << true;
        QTest::newRow("call point, case open") << 3 << hexBytes("600000000000") << 2
                                               << QStringList{"No alarm", "Not pressed"} << QList<int>{0, 2, 0, 0}
                                               << false << true;
        QTest::newRow("alarm key, no state bytes") << 32 << QByteArray() << 2
                                                   << QStringList{"No alarm", "Not pressed"}
                                                   << QList<int>{0, 1, 2, 0} << true << true;
        QTest::newRow("alarm key, alarm") << 32 << hexBytes("c00000008001") << 2 << QStringList{"Alarm", "Pressed"}
                                          << QList<int>{1, 0, 0, 0} << true << false;
        QTest::newRow("alarm key, case open, link byte not 2") << 32 << hexBytes("400000000000") << 1
                                                               << QStringList{"No alarm", "Not pressed"}
                                                               << QList<int>{0, 1, 0, 0} << false << false;
        QTest::newRow("alarm key, main power failed") << 32 << hexBytes("800000000000") << 2
                                                      << QStringList{"No alarm", "Not pressed"}
                                                      << QList<int>{0, 0, 2, 0} << false << true;
    }
    void decoding()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, state);
        QFETCH(int, link);
        QFETCH(QStringList, texts);
        QFETCH(QList<int>, levels);
        QFETCH(bool, alarm);
        QFETCH(bool, fault);

        const auto item = pushButton(type, quint8(link));
        QtProperty *stateRow = propertyAt(*item, {"Alarm key", "State"});
        QtProperty *valueRow = propertyAt(*item, {"Alarm key", "Value"});
        const QList<QtProperty *> statusRows{stateRow, propertyAt(*item, {"Status", "Case"}),
                                             propertyAt(*item, {"Status", "Main battery state"})};
        RecordingCollector collector;
        item->installInfoCollector(&collector);
        item->updateState(item->deviceInfo(), hexBytes("ffffffffffff"));
        collector.reset();
        item->updateState(item->deviceInfo(), state);

        QCOMPARE(QStringList({stateRow->valueText(), valueRow->valueText()}), texts);
        QList<int> actual;
        for (QtProperty *row : statusRows)
            actual << int(item->propertyLevel(row));
        // The alarm key shows no "Reserve battery state".
        QtProperty *reserve = propertyAt(*item, {"Status", "Reserve battery state"});
        QCOMPARE(!reserve, type == 32);
        actual << (reserve ? int(item->propertyLevel(reserve)) : 0);
        QCOMPARE(actual, levels);
        QCOMPARE(item->hasAlarm(), alarm);
        QCOMPARE(item->hasFault(), fault);

        // The status text is the base's.
        DeviceItem plain(item->deviceInfo(), false);
        plain.updateState(item->deviceInfo(), state);
        QCOMPARE(item->data(DeviceRole::StatusText), plain.data(DeviceRole::StatusText));

        // One recording step for both classes: fFail, fAlarm, fButton first.
        QCOMPARE(collector.keys.mid(0, 3), QStringList({"fFail", "fAlarm", "fButton"}));
        QVERIFY(!collector.keys.mid(3).contains(QStringLiteral("fButton")));
        const quint16 w = state.size() > 5 ? quint16(quint8(state.at(4)) | quint8(state.at(5)) << 8) : 0;
        if (link == 2)
            QCOMPARE(collector.values.mid(0, 3), QVariantList({(w >> 6) & 1, (w >> 7) & 1, (w >> 8) & 1}));
    }

    void trees()
    {
        const auto dralo = pushButton(3);
        QVERIFY(qobject_cast<DI_Dralo *>(dralo.get()));
        QCOMPARE(propertyNames(dralo->topProperties()),
                 QStringList({"WD Type", "S/N", "Wireloop address", "Radio address", "Status", "Alarm key"}));
        QCOMPARE(propertyNames(propertyAt(*dralo, {"Status"})->subProperties()),
                 QStringList({"Case", "Main battery state", "Reserve battery state"}));
        auto *enums = qobject_cast<QtEnumPropertyManager *>(propertyAt(*dralo, {"Alarm key", "State"})->propertyManager());
        QCOMPARE(enums->enumNames(propertyAt(*dralo, {"Alarm key", "State"})),
                 QStringList({"No alarm", "Fire", "Failure"}));
        QCOMPARE(enums->enumNames(propertyAt(*dralo, {"Alarm key", "Value"})), QStringList({"Not pressed", "Pressed"}));

        const auto key = pushButton(32);
        QVERIFY(qobject_cast<DI_security *>(key.get()));
        QCOMPARE(propertyNames(propertyAt(*key, {"Status"})->subProperties()), QStringList({"Case", "Main battery state"}));
        auto *keyEnums = qobject_cast<QtEnumPropertyManager *>(propertyAt(*key, {"Alarm key", "State"})->propertyManager());
        QCOMPARE(keyEnums->enumNames(propertyAt(*key, {"Alarm key", "State"})),
                 QStringList({"No alarm", "Alarm", "Failure"}));
        // Nothing to edit: the write panel never leaves rest.
        QCOMPARE(key->data(DeviceRole::EnumManager).value<QtEnumPropertyManager *>()->properties().size(), 0);
    }

    void features_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("hardware");
        QTest::addColumn<int>("firmware");
        QTest::addColumn<int>("feature");
        QTest::addColumn<bool>("supported");
        QTest::newRow("code 67, any feature from 1.0") << 67 << 0x0200 << 0x0100 << 9 << true;
        QTest::newRow("code 67 before 1.0") << 67 << 0x0200 << 0x0009 << 0 << false;
        QTest::newRow("hardware 2: 1.17") << 3 << 0x0201 << 0x0111 << 0 << false;
        QTest::newRow("hardware 2: 1.18") << 3 << 0x0201 << 0x0112 << 0 << true;
        QTest::newRow("hardware 1: 1.9") << 63 << 0x0103 << 0x0109 << 0 << false;
        QTest::newRow("hardware 1: 1.10") << 63 << 0x0103 << 0x010a << 0 << true;
        QTest::newRow("never feature 1") << 3 << 0x0100 << 0x0900 << 1 << false;
        QTest::newRow("alarm key: the base rule") << 32 << 0x0100 << 0x0100 << 1 << true;
        QTest::newRow("alarm key: no feature 0") << 32 << 0x0100 << 0x0900 << 0 << false;
    }
    void features()
    {
        QFETCH(int, type);
        QFETCH(int, hardware);
        QFETCH(int, firmware);
        QFETCH(int, feature);
        QFETCH(bool, supported);
        QCOMPARE(pushButton(type, 2, quint16(hardware), quint16(firmware))->isFeatureSupported(feature), supported);
    }

    void titlesAndKeys()
    {
        const QStringList draloFields{"gpCase", "gpMainPwr", "gpMainBattery", "reservPwrState",
                                      "rl",     "gpRssi",    "fAlarm",        "fButton"};
        for (int type : {3, 63, 64, 67}) {
            QCOMPARE(pushButton(type)->fieldNames(), draloFields);
            QCOMPARE(DeviceItem::fieldNamesForType(type), draloFields);
        }
        const auto dralo = pushButton(3);
        const QStringList draloTitles{"Case", "Battery state", "Battery voltage", "Reserve battery state",
                                      "RL",   "Signal level",  "Alarm",           "Button state"};
        for (int i = 0; i < draloFields.size(); ++i) {
            QCOMPARE(DeviceItem::parameterTitleForType(3, draloFields.at(i)), draloTitles.at(i));
            QCOMPARE(DeviceItem::parameterKeyForType(67, draloTitles.at(i)), draloFields.at(i));
            QCOMPARE(dralo->parameterKey(draloTitles.at(i)), draloFields.at(i));
        }
        QVERIFY(dralo->parameterTitle(QStringLiteral("gpAlarm")).isEmpty());
        QVERIFY(dralo->parameterKey(QStringLiteral("Reserv power")).isEmpty());

        const QStringList keyFields = DeviceItem::staticFieldNames() + QStringList{"fFail", "fAlarm", "fButton"};
        QCOMPARE(pushButton(32)->fieldNames(), keyFields);
        QCOMPARE(DeviceItem::fieldNamesForType(32), keyFields);
        // The alarm key keeps the base's titles.
        QCOMPARE(DeviceItem::parameterTitleForType(32, QStringLiteral("gpAlarm")), QStringLiteral("Alarm"));
        QCOMPARE(DeviceItem::parameterKeyForType(32, QStringLiteral("Reserv power")), QStringLiteral("reservPwrState"));
        QVERIFY(DeviceItem::parameterTitleForType(32, QStringLiteral("fButton")).isEmpty());
        QCOMPARE(pushButton(32)->parameterKey(QStringLiteral("Undefined")), QStringLiteral("gpUndef"));
    }
};

QTEST_MAIN(AlarmKeysTest)
#include "tst_alarmkeys.moc"

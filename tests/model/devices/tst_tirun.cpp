#include "devicebench.h"

#include "devicesettings.h"
#include "di_tirun.h"
#include "qtpropertymanager.h"
#include "registerdeviceclasses.h"
#include "widgetdevicewritesettings.h"

#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {
const QStringList gerkonPath{"TIRUN Gerkon"};
const QStringList circuitPath{"Controlled circuit"};

std::unique_ptr<DI_Tirun> tirun(quint16 firmware = 0x0106, quint8 linkState = 2)
{
    deviceInfo_t info = makeInfo(4, 10, linkState);
    info.firmwareVersion = firmware;
    return std::make_unique<DI_Tirun>(info, false);
}

void update(DeviceItem &item, const char *stateHex, quint8 linkState = 2)
{
    deviceInfo_t info = item.deviceInfo();
    info.linkState = linkState;
    item.updateState(info, hexBytes(stateHex));
}

QtProperty *enableCircuit(const DeviceItem &item)
{
    return propertyAt(item, circuitPath + QStringList{"Enable controlled circuit"});
}

// The rows of the tree, taken while all of them are shown.
struct TirunRows
{
    explicit TirunRows(const DeviceItem &item)
        : gerkon(propertyAt(item, gerkonPath)), gerkonState(propertyAt(item, gerkonPath + QStringList{"State"})),
          gerkonValue(propertyAt(item, gerkonPath + QStringList{"Value"})),
          sabotage(propertyAt(item, gerkonPath + QStringList{"Sabotage"})), circuit(propertyAt(item, circuitPath)),
          enable(enableCircuit(item)), circuitState(propertyAt(item, circuitPath + QStringList{"State"})),
          circuitValue(propertyAt(item, circuitPath + QStringList{"Value"})),
          adc(propertyAt(item, circuitPath + QStringList{"ADC"})), caseState(propertyAt(item, {"Status", "Case"})),
          mainBattery(propertyAt(item, {"Status", "Main battery state"}))
    {
    }
    QtProperty *gerkon, *gerkonState, *gerkonValue, *sabotage, *circuit, *enable, *circuitState, *circuitValue, *adc,
        *caseState, *mainBattery;
};

const char *const cableOff = "c00000000000000300";
const char *const cableOn = "c00400000000000300";
} // namespace

class TirunTest : public QObject
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
        QTest::addColumn<int>("link");
        QTest::addColumn<QStringList>("gerkon");  // State, Value, Sabotage
        QTest::addColumn<QStringList>("circuit"); // State, Value, ADC
        QTest::addColumn<bool>("circuitShown");
        QTest::addColumn<QList<int>>("levels"); // gerkon State, circuit State, Case, Main battery state
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("alarm");
        QTest::addColumn<bool>("fault");

        const QStringList quietGerkon{"No alarm", "No magnet", "Disable"};
        const QStringList zeroCircuit{"No alarm", "", "0"};
        QTest::newRow("no state bytes") << QByteArray() << 2 << quietGerkon << zeroCircuit << false
                                        << QList<int>{0, 0, 1, 2} << "Main power failed, Case open" << true << true;
        QTest::newRow("no state bytes, link lost") << QByteArray() << 1 << quietGerkon << zeroCircuit << false
                                                   << QList<int>{0, 0, 1, 2} << "Connection lost" << true << false;
        QTest::newRow("quiet, circuit on in Norma")
            << hexBytes("c0040000000100032a") << 2 << QStringList{"No alarm", "Gerkon 1", "Disable"}
            << QStringList{"No alarm", "Norma", "42"} << true << QList<int>{0, 0, 0, 0} << "No alarm, Cable: Norma"
            << false << false;
        QTest::newRow("reed alarm on sabotage")
            << hexBytes("c00000008083000000") << 2 << QStringList{"Alarm", "Sabotage", "Enable"} << zeroCircuit
            << false << QList<int>{1, 0, 0, 0} << "Reed switch: Alarm (sabotage)" << true << false;
        QTest::newRow("reed alarm on gerkon 2")
            << hexBytes("c00000008002000000") << 2 << QStringList{"Alarm", "Gerkon 2", "Disable"} << zeroCircuit
            << false << QList<int>{1, 0, 0, 0} << "Reed switch: Alarm" << true << false;
        QTest::newRow("reed alarm, link byte not 2")
            << hexBytes("c00000008002000000") << 1 << QStringList{"Alarm", "Gerkon 2", "Disable"} << zeroCircuit
            << false << QList<int>{1, 0, 0, 0} << "Connection lost" << false << false;
        QTest::newRow("zone failure, case open")
            << hexBytes("400000004000000000") << 2 << QStringList{"Failure", "No magnet", "Disable"} << zeroCircuit
            << false << QList<int>{2, 0, 1, 0} << "Failure, Case open" << true << false;
        QTest::newRow("zone alarm and failure")
            << hexBytes("c0000000c000000000") << 2 << QStringList{"", "No magnet", "Disable"} << zeroCircuit << false
            << QList<int>{2, 0, 0, 0} << "Reed switch: Alarm" << true << false;
        QTest::newRow("circuit short")
            << hexBytes("c00400000000400105") << 2 << quietGerkon << QStringList{"Failure", "Short circuit", "5"}
            << true << QList<int>{0, 2, 0, 0} << "No alarm, Cable: Short circuit" << false << true;
        QTest::newRow("circuit fail 1")
            << hexBytes("c00400000000800210") << 2 << quietGerkon << QStringList{"Alarm", "Fail 1", "16"} << true
            << QList<int>{0, 1, 0, 0} << "No alarm, Cable: Fail 1" << true << true;
        QTest::newRow("circuit break")
            << hexBytes("c00400000000000500") << 2 << quietGerkon << QStringList{"No alarm", "Break", "0"} << true
            << QList<int>{0, 2, 0, 0} << "No alarm, Cable: Break" << false << true;
        QTest::newRow("circuit off: its bytes raise nothing")
            << hexBytes("c00000000000c004ff") << 2 << quietGerkon << QStringList{"", "Fail 2", "255"} << false
            << QList<int>{0, 1, 0, 0} << "No alarm" << false << false;
        QTest::newRow("main power failed, circuit on")
            << hexBytes("800400000000000300") << 2 << quietGerkon << QStringList{"No alarm", "Norma", "0"} << true
            << QList<int>{0, 0, 0, 2} << "Main power failed, Cable: Norma" << false << true;
        QTest::newRow("short state: missing bytes read as zero")
            << hexBytes("c004") << 2 << quietGerkon << zeroCircuit << true << QList<int>{0, 0, 0, 0}
            << "No alarm, Cable: " << false << false;
    }
    void decoding()
    {
        QFETCH(QByteArray, state);
        QFETCH(int, link);
        QFETCH(QStringList, gerkon);
        QFETCH(QStringList, circuit);
        QFETCH(bool, circuitShown);
        QFETCH(QList<int>, levels);
        QFETCH(QString, status);
        QFETCH(bool, alarm);
        QFETCH(bool, fault);

        const auto item = tirun(0x0106, quint8(link));
        const TirunRows rows(*item);
        // A state before: nothing of it may survive the update.
        update(*item, "ffffffffffffffffff", quint8(link));
        deviceInfo_t info = item->deviceInfo();
        info.linkState = quint8(link);
        item->updateState(info, state);

        QCOMPARE(texts({rows.gerkonState, rows.gerkonValue, rows.sabotage}), gerkon);
        QCOMPARE(texts({rows.circuitState, rows.circuitValue, rows.adc}), circuit);
        QCOMPARE(propertyNames(rows.circuit->subProperties()),
                 circuitShown ? QStringList({"Enable controlled circuit", "State", "Value", "ADC"})
                              : QStringList({"Enable controlled circuit"}));
        QList<int> actualLevels;
        for (QtProperty *property : {rows.gerkonState, rows.circuitState, rows.caseState, rows.mainBattery})
            actualLevels << int(item->propertyLevel(property));
        QCOMPARE(actualLevels, levels);
        QCOMPARE(item->data(DeviceRole::StatusText).toString(), status);
        QCOMPARE(item->hasAlarm(), alarm);
        QCOMPARE(item->hasFault(), fault);
        QCOMPARE(item->data(DeviceRole::Value2).toInt(), state.size() > 8 ? int(quint8(state.at(8))) : 0);
    }

    void treeRowsAndColours()
    {
        const auto item = tirun();
        const TirunRows rows(*item);
        QCOMPARE(propertyNames(item->topProperties()),
                 QStringList({"WD Type", "S/N", "Wireloop address", "Radio address", "Status", "TIRUN Gerkon",
                              "Controlled circuit"}));
        QCOMPARE(propertyNames(propertyAt(*item, {"Status"})->subProperties()),
                 QStringList({"Case", "Main battery state"}));
        QCOMPARE(propertyNames(rows.gerkon->subProperties()), QStringList({"State", "Value", "Sabotage"}));
        QCOMPARE(rows.circuitValue->valueText(), QStringLiteral("Norma"));
        // The one setting is editable and carries the pencil beside each choice.
        auto *editable = item->data(DeviceRole::EnumManager).value<QtEnumPropertyManager *>();
        QVERIFY(editable->properties().contains(rows.enable));
        QCOMPARE(editable->enumNames(rows.enable), QStringList({"No", "Yes"}));
        QCOMPARE(editable->enumIcons(rows.enable).size(), 2);
        QVERIFY(!editable->enumIcons(rows.enable).value(1).isNull());
        QVERIFY(!editable->properties().contains(rows.gerkonState));
        QVERIFY(panelOf(*item)->text().startsWith(QStringLiteral("You can customize device behaviour:<br><b>Cable on\\off</b>")));
        QVERIFY(panelOf(*item)->text().endsWith(QStringLiteral("wired sensor to device<br>")));

        EditorBench bench(*item);
        update(*item, "400400008083400105");
        const QColor alarm(255, 180, 180), fault(255, 234, 173), normal(Qt::white);
        QCOMPARE(bench.colour(rows.gerkonState), alarm);
        QCOMPARE(bench.colour(rows.caseState), alarm);
        QCOMPARE(bench.colour(rows.circuitState), fault);
        QCOMPARE(bench.colour(rows.mainBattery), normal);
        QCOMPARE(item->data(Qt::BackgroundRole).value<QColor>(), alarm);
        // Off line every row is white, and the list row grey.
        update(*item, "400400008083400105", 1);
        QCOMPARE(bench.colour(rows.gerkonState), normal);
        QCOMPARE(item->data(Qt::BackgroundRole).value<QColor>(), QColor(210, 210, 210));
    }

    void recordedFields_data()
    {
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QVariantList>("values");
        const QStringList zoneOne{"workMode", "gerkonState", "Zone1fFail", "Zone1fAlarm", "Zone1btfReedSwState",
                                  "Zone1fSabotageEnbl"};
        QTest::newRow("circuit on") << hexBytes("c00400008083c0047f") << zoneOne + QStringList{"Zone2fAlarm", "Zone2bTrainState"}
                                    << QVariantList{1, 1, 0, 1, 3, 1, 3, 4};
        QTest::newRow("circuit off: no second zone") << hexBytes("c00000004001c0047f") << zoneOne
                                                     << QVariantList{0, 2, 1, 0, 1, 0};
    }
    void recordedFields()
    {
        QFETCH(QByteArray, state);
        QFETCH(QStringList, keys);
        QFETCH(QVariantList, values);
        const auto item = tirun();
        RecordingCollector collector;
        item->installInfoCollector(&collector);
        item->updateState(item->deviceInfo(), state);

        // The class's own fields come first, the base's after them.
        QCOMPARE(collector.keys.mid(0, keys.size()), keys);
        QVERIFY(!collector.keys.mid(keys.size()).contains(QStringLiteral("Zone2fAlarm")));
        QCOMPARE(collector.values.mid(0, keys.size()), values);
        for (uint serial : collector.serials)
            QCOMPARE(serial, 1234567u);
    }

    void userEditGoesOut_data()
    {
        QTest::addColumn<int>("firmware");
        QTest::addColumn<QByteArray>("deviceState");
        QTest::addColumn<int>("choice");
        QTest::addColumn<QList<QByteArray>>("queued");
        QTest::addColumn<QList<QByteArray>>("direct");
        using Packets = QList<QByteArray>;
        QTest::newRow("1.6: switched on by the queue")
            << 0x0106 << hexBytes(cableOff) << 1 << Packets{hexBytes("6a0500010201")} << Packets{};
        QTest::newRow("1.14: switched off by the queue")
            << 0x010e << hexBytes(cableOn) << 0 << Packets{hexBytes("6a0500010200")} << Packets{};
        QTest::newRow("1.5: memory write and restart")
            << 0x0105 << hexBytes(cableOff) << 1 << Packets{} << Packets{hexBytes("6605480001"), hexBytes("c005")};
        QTest::newRow("no firmware version: memory write")
            << 0xffff << hexBytes(cableOn) << 0 << Packets{} << Packets{hexBytes("6605480000"), hexBytes("c005")};
    }
    void userEditGoesOut()
    {
        QFETCH(int, firmware);
        QFETCH(QByteArray, deviceState);
        QFETCH(int, choice);
        QFETCH(QList<QByteArray>, queued);
        QFETCH(QList<QByteArray>, direct);

        const auto item = tirun(quint16(firmware));
        item->updateState(item->deviceInfo(), deviceState);
        EditorBench bench(*item);
        PacketCapture capture(*item);
        WidgetDeviceWriteSettings *panel = panelOf(*item);
        QtProperty *enable = enableCircuit(*item);
        QCOMPARE(panel->state(), int(WidgetDeviceWriteSettings::NoChanges));

        QVERIFY(bench.choose(enable, choice));
        QVERIFY(enable->isModified());
        QVERIFY(item->isConfigurationChanged());
        QCOMPARE(panel->state(), int(WidgetDeviceWriteSettings::HasChanges));
        QVERIFY(capture.queued.isEmpty() && capture.direct.isEmpty()); // nothing leaves before the write

        pressWrite(*item);
        QCOMPARE(capture.queued, queued);
        QCOMPARE(capture.direct, direct);
        QCOMPARE(panel->state(), int(WidgetDeviceWriteSettings::WritingSettings));
        QVERIFY(!enable->isEnabled()); // locked while writing
        if (!direct.isEmpty()) {
            // Each request takes only its own acknowledgement.
            QVERIFY(!capture.callbacks.at(0)(packetOf("c1")));
            QVERIFY(capture.callbacks.at(0)(packetOf("67")));
            QVERIFY(!capture.callbacks.at(1)(packetOf("67")));
            QVERIFY(capture.callbacks.at(1)(packetOf("c1")));
        }

        // The device reports the new value: the mark goes, the panel rests.
        QByteArray echoed = deviceState;
        echoed[1] = char(choice ? 0x04 : 0x00);
        item->updateState(item->deviceInfo(), echoed);
        QVERIFY(!enable->isModified());
        QVERIFY(!item->isConfigurationChanged());
        QCOMPARE(panel->state(), int(WidgetDeviceWriteSettings::NoChanges));
        QVERIFY(enable->isEnabled());
        QCOMPARE(capture.queued, queued); // and nothing more went out
        QCOMPARE(capture.direct, direct);
    }

    void stateEchoIsNoEdit()
    {
        const auto item = tirun();
        EditorBench bench(*item);
        PacketCapture capture(*item);
        const TirunRows rows(*item);
        WidgetDeviceWriteSettings *panel = panelOf(*item);

        // The device switches its circuit on and off: the editor follows.
        update(*item, cableOn);
        QCOMPARE(rows.enable->valueText(), QStringLiteral("Yes"));
        update(*item, cableOff);
        QCOMPARE(rows.enable->valueText(), QStringLiteral("No"));
        // So do the configuration file's setters.
        QVERIFY(DeviceSettings::setValue(item.get(), QStringLiteral("enabledCable"), 1));
        QCOMPARE(rows.enable->valueText(), QStringLiteral("Yes"));
        QVERIFY(!rows.enable->isModified());
        QCOMPARE(panel->state(), int(WidgetDeviceWriteSettings::NoChanges));
        update(*item, cableOff);
        QCOMPARE(rows.enable->valueText(), QStringLiteral("No"));

        // A user edit survives state updates that still show the old value...
        QVERIFY(bench.choose(rows.enable, 1));
        update(*item, cableOff);
        update(*item, cableOff);
        QCOMPARE(rows.enable->valueText(), QStringLiteral("Yes"));
        QVERIFY(rows.enable->isModified());
        QCOMPARE(panel->state(), int(WidgetDeviceWriteSettings::HasChanges));
        // ...and taking it back to the device's value leaves nothing to write:
        // the panel rests again with the next state update.
        QVERIFY(bench.choose(rows.enable, 0));
        QVERIFY(!rows.enable->isModified());
        QVERIFY(!item->isConfigurationChanged());
        update(*item, cableOff);
        QCOMPARE(panel->state(), int(WidgetDeviceWriteSettings::NoChanges));
        QVERIFY(capture.queued.isEmpty() && capture.direct.isEmpty());
    }

    void writeWithoutEditSendsNothing()
    {
        const auto item = tirun();
        update(*item, cableOff);
        PacketCapture capture(*item);
        item->writeDeviceConfiguration();
        QVERIFY(capture.queued.isEmpty() && capture.direct.isEmpty());
        QCOMPARE(panelOf(*item)->state(), int(WidgetDeviceWriteSettings::WritingSettings));
    }

    void sabotageSwitch()
    {
        const auto item = tirun();
        PacketCapture capture(*item);
        QVERIFY(QMetaObject::invokeMethod(item.get(), "enableSabotage"));
        QVERIFY(QMetaObject::invokeMethod(item.get(), "disableSabotage"));
        QCOMPARE(capture.queued, QList<QByteArray>({hexBytes("6a050005010101"), hexBytes("6a050005010100")}));
    }

    void features_data()
    {
        QTest::addColumn<int>("firmware");
        QTest::addColumn<int>("feature");
        QTest::addColumn<bool>("supported");
        QTest::newRow("1.13") << 0x010d << 0 << false;
        QTest::newRow("1.14") << 0x010e << 0 << true;
        QTest::newRow("2.0") << 0x0200 << 0 << true;
        QTest::newRow("no version") << 0xffff << 0 << false;
        QTest::newRow("feature 1") << 0x0200 << 1 << false;
        QTest::newRow("unknown feature") << 0x0900 << 7 << false;
    }
    void features()
    {
        QFETCH(int, firmware);
        QFETCH(int, feature);
        QFETCH(bool, supported);
        QCOMPARE(tirun(quint16(firmware))->isFeatureSupported(feature), supported);
    }

    void titlesAndKeys()
    {
        const auto item = tirun();
        const QStringList fields{"workMode", "gpCase", "gpMainPwr", "gpMainBattery", "rl", "gpRssi", "Zone1fAlarm",
                                 "Zone1btfReedSwState", "Zone1fSabotageEnbl", "Zone2fAlarm", "Zone2bTrainState"};
        QCOMPARE(item->fieldNames(), fields);
        QCOMPARE(DI_Tirun::staticFieldNames(), fields);
        QCOMPARE(DeviceItem::fieldNamesForType(4), fields);

        const QList<QPair<QString, QString>> pairs{
            {"gpCase", "Case"},           {"gpMainPwr", "Battery state"},   {"gpMainBattery", "Battery voltage"},
            {"rl", "RL"},                 {"gpRssi", "Signal level"},       {"workMode", "Work mode"},
            {"Zone1fAlarm", "Gerkon alarm"}, {"Zone1btfReedSwState", "Gerkon state"},
            {"Zone1fSabotageEnbl", "Sabotage"}, {"Zone2fAlarm", "Cable alarm"}, {"Zone2bTrainState", "Cable value"}};
        for (const auto &pair : pairs) {
            QCOMPARE(DeviceItem::parameterTitleForType(4, pair.first), pair.second);
            QCOMPARE(DeviceItem::parameterKeyForType(4, pair.second), pair.first);
            QCOMPARE(item->parameterTitle(pair.first), pair.second);
            QCOMPARE(item->parameterKey(pair.second), pair.first);
        }
        // Base keys the sensor does not have are gone.
        for (const char *key : {"gpUndef", "multiFunc", "reservPwrState", "gpAlarm", "gpCtrlCase", "gpActiveZone"}) {
            QVERIFY2(item->parameterTitle(key).isEmpty(), key);
            QVERIFY2(DI_Tirun::staticParameterTitle(key).isEmpty(), key);
        }
        QVERIFY(DI_Tirun::staticParameterKey(QStringLiteral("Reserv power")).isEmpty());
    }

    void configurationFileKeys()
    {
        const auto item = tirun();
        update(*item, "c00400000080000300");
        QCOMPARE(DeviceSettings::keys(4), QStringList({"enabledCable", "enabledSabotage"}));
        QCOMPARE(DeviceSettings::value(item.get(), QStringLiteral("enabledCable")), QVariant(1));
        QCOMPARE(DeviceSettings::value(item.get(), QStringLiteral("enabledSabotage")), QVariant(1));
        QCOMPARE(item->enabledSabotage(), 1);

        // The file connection sets the values after the state update.
        QVERIFY(DeviceSettings::setValue(item.get(), QStringLiteral("enabledSabotage"), 0));
        QVERIFY(DeviceSettings::setValue(item.get(), QStringLiteral("enabledCable"), 0));
        QCOMPARE(propertyAt(*item, gerkonPath + QStringList{"Sabotage"})->valueText(), QStringLiteral("Disable"));
        QCOMPARE(item->enabledCable(), 0);
        QVERIFY(!enableCircuit(*item)->isModified());

        QVERIFY(!DeviceSettings::value(item.get(), QStringLiteral("brightness")).isValid());
        QVERIFY(!DeviceSettings::setValue(item.get(), QStringLiteral("brightness"), 1));
    }
};

QTEST_MAIN(TirunTest)
#include "tst_tirun.moc"

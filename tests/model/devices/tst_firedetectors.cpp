// The heat and smoke detectors: decoding, case and tech-run commands, and
// the alarm-level exchange as the item sends and takes its packets.
#include "devicebench.h"

#include "deviceclasses.h"

#include "di_bexil.h"
#include "di_mavo.h"
#include "qtpropertymanager.h"
#include "registerdeviceclasses.h"
#include "settings.h"
#include "widgetdevicewritesettings.h"

#include <QtTest>

#include <algorithm>

#include <memory>

namespace {
constexpr int ExtraDelayMs = 10;
constexpr int ReadDelayMs = 10;

template <class T>
std::unique_ptr<T> detector(int type, quint16 firmware = 0x011F, quint16 hardware = 0x0200, quint8 link = 2)
{
    deviceInfo_t info = makeInfo(type, 10, link);
    info.firmwareVersion = firmware;
    info.hardwareVersion = hardware;
    return std::make_unique<T>(info, false);
}

void update(DeviceItem &item, const char *stateHex, quint8 link = 2)
{
    deviceInfo_t info = item.deviceInfo();
    info.linkState = link;
    item.updateState(info, hexBytes(stateHex));
}

// A record of 18 bytes: the given front, zeros after it.
QByteArray record(const char *frontHex)
{
    QByteArray r = hexBytes(frontHex);
    return r + QByteArray(18 - r.size(), '\0');
}

// The item's own context actions (ids below 1000).
QList<DeviceAction> classActions(const DeviceItem &item)
{
    QList<DeviceAction> own;
    for (const DeviceAction &action : item.actions())
        if (action.id < 1000)
            own << action;
    return own;
}

// The case entries among them: all but the tech run (id 3).
QList<DeviceAction> caseEntries(const DeviceItem &item)
{
    QList<DeviceAction> own = classActions(item);
    own.erase(std::remove_if(own.begin(), own.end(), [](const DeviceAction &a) { return a.id == 3; }), own.end());
    return own;
}

// Waits until the item's extra properties are there and its first read went out.
bool readRequested(const PacketCapture &capture, const QByteArray &request)
{
    return QTest::qWaitFor([&] { return capture.direct.contains(request); }, 2000);
}
} // namespace

class FireDetectorsTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerDeviceModelNames();
        registerDeviceClasses();
        DeviceItem::setTimings(ExtraDelayMs, 50);
        FireDetectorItem::setReadDelay(ReadDelayMs);
    }

    // ------------------------------------------------------------ heat detector

    void bexilDecoding_data()
    {
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<int>("link");
        QTest::addColumn<QStringList>("shown"); // State, Value
        QTest::addColumn<QList<int>>("levels"); // State, Value, Case, Main battery, Reserve battery
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("alarm");
        QTest::addColumn<bool>("fault");
        QTest::addColumn<int>("value277");

        QTest::newRow("23 degrees") << hexBytes("f40300640017") << 2 << QStringList{"No alarm", "23°C"}
                                    << QList<int>{0, 0, 0, 0, 0} << "Temperature: 23°C, Normal" << false << false << 23;
        QTest::newRow("minus 5, case open") << hexBytes("7003006400fb") << 2
                                            << QStringList{"No alarm", "-5°C"} << QList<int>{0, 0, 2, 0, 0}
                                            << "Temperature: -5°C, Case open" << false << true << -5;
        QTest::newRow("fire") << hexBytes("e00300648046") << 2 << QStringList{"Fire", "70°C"}
                              << QList<int>{1, 0, 0, 0, 0} << "Temperature: 70°C, Fire" << true << false << 70;
        QTest::newRow("failure 0xC3") << hexBytes("f003006440c3") << 2
                                      << QStringList{"Failure", "reference resistor sort circuit (-61)"}
                                      << QList<int>{2, 2, 0, 0, 0}
                                      << "Temperature: reference resistor sort circuit (-61), Fail" << false << true
                                      << -61;
        QTest::newRow("unknown failure code") << hexBytes("f00300644005") << 2
                                              << QStringList{"Failure", "General failure (5)"}
                                              << QList<int>{2, 2, 0, 0, 0} << "Temperature: General failure (5), Fail"
                                              << false << true << 5;
        // Index 3 has no name: the row shows none, the fire wins the level.
        QTest::newRow("fire and failure") << hexBytes("e0030064c0c0") << 2
                                          << QStringList{"", "termistor short circuit (-64)"}
                                          << QList<int>{1, 2, 0, 0, 0}
                                          << "Temperature: termistor short circuit (-64), Fire, Fail" << true << true
                                          << -64;
        QTest::newRow("supplies lost") << hexBytes("901300640014") << 2 << QStringList{"No alarm", "20°C"}
                                       << QList<int>{0, 0, 0, 2, 2}
                                       << "Temperature: 20°C, Main power failed, Reserve power failed" << false << true
                                       << 20;
        QTest::newRow("offline, empty state") << QByteArray() << 1 << QStringList{"No alarm", ""}
                                              << QList<int>{0, 0, 2, 2, 2} << "Connection lost" << false << false << 0;
    }
    void bexilDecoding()
    {
        QFETCH(QByteArray, state);
        QFETCH(int, link);
        QFETCH(QStringList, shown);
        QFETCH(QList<int>, levels);
        QFETCH(QString, status);
        QFETCH(bool, alarm);
        QFETCH(bool, fault);
        QFETCH(int, value277);

        const auto item = detector<DI_Bexil>(2);
        update(*item, "ffffffffffffffffffffff", quint8(link));
        deviceInfo_t info = item->deviceInfo();
        info.linkState = quint8(link);
        if (state.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, "Zone info in BEXIL is empty");
        item->updateState(info, state);

        QtProperty *stateRow = propertyAt(*item, {"Temperature", "State"});
        QtProperty *value = propertyAt(*item, {"Temperature", "Value"});
        QCOMPARE(texts({stateRow, value}), shown);
        QCOMPARE(levelNumbers(*item, {stateRow, value, propertyAt(*item, {"Status", "Case"}),
                                  propertyAt(*item, {"Status", "Main battery state"}),
                                  propertyAt(*item, {"Status", "Reserve battery state"})}),
                 levels);
        QCOMPARE(item->data(DeviceRole::StatusText).toString(), status);
        QCOMPARE(item->hasAlarm(), alarm);
        QCOMPARE(item->hasFault(), fault);
        QCOMPARE(item->data(DeviceRole::ClassValue).toInt(), value277);
    }

    void bexilRecordedFields()
    {
        const auto item = detector<DI_Bexil>(2, 0x011F, 0x0100); // no alarm level: nothing of it recorded
        RecordingCollector collector;
        item->installInfoCollector(&collector);
        update(*item, "f003006440c3");
        QCOMPARE(collector.keys.mid(0, 4), QStringList({"fFail", "fAlarm", "cTempr", "devState"}));
        QCOMPARE(collector.values.mid(0, 4), QVariantList({1, 0, -61, 2}));
        QVERIFY(!collector.keys.contains(QStringLiteral("class")));
    }

    void bexilFeaturesAndLists_data()
    {
        QTest::addColumn<int>("firmware");
        QTest::addColumn<int>("hardware");
        QTest::addColumn<QList<bool>>("features"); // 0, 3, 4, 1000, 1001, 7
        QTest::addColumn<int>("fields");
        QTest::newRow("2.0, 1.31") << 0x011F << 0x0200 << QList<bool>{true, true, true, true, true, false} << 13;
        QTest::newRow("2.0, 1.30") << 0x011E << 0x0200 << QList<bool>{true, false, false, true, true, false} << 10;
        QTest::newRow("2.0, 1.29") << 0x011D << 0x0200 << QList<bool>{false, false, false, true, false, false} << 10;
        QTest::newRow("1.9, 1.31") << 0x011F << 0x0109 << QList<bool>{false, false, false, false, false, false} << 10;
    }
    void bexilFeaturesAndLists()
    {
        QFETCH(int, firmware);
        QFETCH(int, hardware);
        QFETCH(QList<bool>, features);
        QFETCH(int, fields);
        const auto item = detector<DI_Bexil>(2, quint16(firmware), quint16(hardware));
        QList<bool> actual;
        for (int feature : {0, 3, 4})
            actual << item->isFeatureSupported(feature);
        for (int feature : {1000, 1001, 7})
            actual << item->hasFeature(feature);
        QCOMPARE(actual, features);
        QCOMPARE(item->fieldNames(), DI_Bexil::staticFieldNames().mid(0, fields));
        // The type's lookups hold the fuller list.
        QCOMPARE(DeviceItem::fieldNamesForType(2).size(), 13);
        QCOMPARE(DeviceItem::parameterTitleForType(2, QStringLiteral("warnThValue")),
                 QStringLiteral("Value of warning threshold"));
        QCOMPARE(item->parameterKey(QStringLiteral("Reserve battery state")), QStringLiteral("reservPwrState"));
        QVERIFY(item->parameterKey(QStringLiteral("Work mode")).isEmpty());
    }

    void caseActions_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("firmware");
        QTest::addColumn<int>("hardware");
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<QList<int>>("ids");
        QTest::addColumn<QString>("toggleText");
        QTest::addColumn<QByteArray>("toggleWrite");
        QTest::newRow("heat, hardware 1: two actions") << 2 << 0x011F << 0x0100 << hexBytes("f4") << QList<int>{0, 1}
                                                      << QString() << QByteArray();
        QTest::newRow("heat, case control on") << 2 << 0x011D << 0x0200 << hexBytes("f4") << QList<int>{2}
                                               << "Disable case" << hexBytes("66053e0000");
        QTest::newRow("heat, case control off") << 2 << 0x011D << 0x0200 << hexBytes("f0") << QList<int>{2}
                                                << "Enable case" << hexBytes("66053e0001");
        QTest::newRow("smoke, 1.28: two actions") << 5 << 0x011C << 0x0200 << hexBytes("f4") << QList<int>{0, 1}
                                                 << QString() << QByteArray();
        QTest::newRow("smoke, 1.29 on hardware 1") << 5 << 0x011D << 0x0100 << hexBytes("f0") << QList<int>{2}
                                                   << "Enable case" << hexBytes("66053e0001");
    }
    void caseActions()
    {
        QFETCH(int, type);
        QFETCH(int, firmware);
        QFETCH(int, hardware);
        QFETCH(QByteArray, state);
        QFETCH(QList<int>, ids);
        QFETCH(QString, toggleText);
        QFETCH(QByteArray, toggleWrite);

        std::unique_ptr<DeviceItem> item(createDeviceItem(
            [&] {
                deviceInfo_t info = makeInfo(type);
                info.firmwareVersion = quint16(firmware);
                info.hardwareVersion = quint16(hardware);
                return info;
            }(),
            false));
        item->updateState(item->deviceInfo(), state);
        QTRY_VERIFY(!caseEntries(*item).isEmpty());
        QList<int> actual;
        for (const DeviceAction &action : caseEntries(*item))
            actual << action.id;
        QCOMPARE(actual, ids);

        // Added once, however often the extra properties are asked for.
        item->addExtraProperties();
        QCOMPARE(caseEntries(*item).size(), ids.size());

        PacketCapture capture(*item);
        if (ids == QList<int>{2}) {
            QCOMPARE(caseEntries(*item).first().text, toggleText);
            item->executeAction(2);
            QCOMPARE(capture.direct, QList<QByteArray>({toggleWrite, hexBytes("c005")}));
            // The text follows the device.
            QByteArray flipped = state;
            flipped[0] = char(quint8(state.at(0)) ^ 0x04);
            item->updateState(item->deviceInfo(), flipped);
            QVERIFY(caseEntries(*item).first().text != toggleText);
        } else {
            QCOMPARE(caseEntries(*item).first().text, QStringLiteral("Disable case"));
            item->executeAction(1);
            item->executeAction(0);
            QCOMPARE(capture.direct, QList<QByteArray>({hexBytes("66053e0001"), hexBytes("c005"),
                                                        hexBytes("66053e0000"), hexBytes("c005")}));
        }
    }

    void techRun()
    {
        appSettings.setValue(QLatin1String(SettingsKey::IndicationTime), 5);
        appSettings.remove(QLatin1String(SettingsKey::LQITime));
        for (int type : {2, 5}) {
            std::unique_ptr<DeviceItem> item(createDeviceItem(makeInfo(type), false));
            // Offered from the start, before the case entries come.
            QCOMPARE(classActions(*item), QList<DeviceAction>{(DeviceAction{3, QStringLiteral("Tech run")})});
            PacketCapture capture(*item);
            item->executeAction(3);
            QCOMPARE(capture.queued, QList<QByteArray>({hexBytes("6a050005010301" "05" "00")}));
        }
        appSettings.remove(QLatin1String(SettingsKey::IndicationTime));
    }

    void bexilAlarmLevelRead_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QStringList>("editors"); // Detector class, Warning, Threshold
        QTest::addColumn<QList<int>>("device");   // class, warning flag, warning value
        QTest::newRow("A1R, no warning") << hexBytes("8105028a80") << QStringList{"A1R", "Disable", "50"}
                                         << QList<int>{0, 0, -128};
        QTest::newRow("62 degrees without R reads A1R") << hexBytes("810502cc80") << QStringList{"A1R", "Disable", "50"}
                                                        << QList<int>{0, 0, -128};
        QTest::newRow("B with warning at 70") << hexBytes("810502de46") << QStringList{"B", "Enable", "70"}
                                              << QList<int>{7, 1, 70};
        QTest::newRow("A2R with warning at -10") << hexBytes("8105028ff6") << QStringList{"A2R", "Enable", "-10"}
                                                 << QList<int>{1, 1, -10};
        QTest::newRow("class byte bit 7 clear: off") << hexBytes("8105000046") << QStringList{"A1R", "Disable", "50"}
                                                     << QList<int>{0, 0, 0};
    }
    void bexilAlarmLevelRead()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QStringList, editors);
        QFETCH(QList<int>, device);

        const auto item = detector<DI_Bexil>(2);
        PacketCapture capture(*item);
        EditorBench bench(*item);
        QVERIFY(readRequested(capture, hexBytes("8005")));
        QtProperty *classRow = propertyAt(*item, {"Temperature", "Detector class"});
        QtProperty *warning = propertyAt(*item, {"Temperature", "Warning"});
        QtProperty *threshold = propertyAt(*item, {"Temperature", "Threshold, °C"});
        QVERIFY(classRow && warning && threshold);
        QCOMPARE(item->deviceClass(), -1);
        QVERIFY(item->isConfigurationChanged()); // nothing read yet

        Packet packet;
        packet.data = reply;
        QVERIFY(capture.callbacks.first()(packet));
        QCOMPARE(texts({classRow, warning, threshold}), editors);
        QCOMPARE((QList<int>{item->deviceClass(), item->deviceWarning(), item->deviceWarningValue()}), device);
        for (QtProperty *editor : {classRow, warning, threshold})
            QVERIFY(!editor->isModified());
        QCOMPARE(panelOf(*item)->state(), int(WidgetDeviceWriteSettings::NoChanges));
    }

    void bexilWrongRepliesChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<QString>("warning");
        QTest::newRow("wrong type") << hexBytes("9705") << false << "5 BEXIL. Wrong packet type: 0x97";
        QTest::newRow("short") << hexBytes("810502de") << true << "5: alarm level reply of 4 bytes, 5 expected";
    }
    void bexilWrongRepliesChangeNothing()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, taken);
        QFETCH(QString, warning);
        const auto item = detector<DI_Bexil>(2);
        PacketCapture capture(*item);
        QVERIFY(readRequested(capture, hexBytes("8005")));
        Packet good;
        good.data = hexBytes("810502de46");
        QVERIFY(capture.callbacks.first()(good));

        QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
        Packet packet;
        packet.data = reply;
        QCOMPARE(capture.callbacks.first()(packet), taken);
        QCOMPARE(texts({propertyAt(*item, {"Temperature", "Detector class"}), propertyAt(*item, {"Temperature", "Warning"}),
                        propertyAt(*item, {"Temperature", "Threshold, °C"})}),
                 QStringList({"B", "Enable", "70"}));
        QCOMPARE(item->deviceClass(), 7);
    }

    void bexilWrites_data()
    {
        QTest::addColumn<int>("classIndex");
        QTest::addColumn<int>("warning");
        QTest::addColumn<int>("threshold");
        QTest::addColumn<QByteArray>("packet");
        QTest::newRow("A1R, warning off: the off record") << 0 << 0 << 0 << hexBytes("9605") + record("000080");
        QTest::newRow("A3, warning at 55") << 6 << 1 << 55 << hexBytes("9605") + record("02d437");
        QTest::newRow("BR, warning at -20") << 3 << 1 << -20 << hexBytes("9605") + record("029eec");
        QTest::newRow("A2R, warning off") << 1 << 0 << 90 << hexBytes("9605") + record("028f80");
    }
    void bexilWrites()
    {
        QFETCH(int, classIndex);
        QFETCH(int, warning);
        QFETCH(int, threshold);
        QFETCH(QByteArray, packet);

        const auto item = detector<DI_Bexil>(2);
        PacketCapture capture(*item);
        EditorBench bench(*item);
        QVERIFY(readRequested(capture, hexBytes("8005")));
        Packet first;
        first.data = hexBytes("810502de46"); // B, warning at 70
        QVERIFY(capture.callbacks.takeFirst()(first));
        capture.direct.clear();

        QtProperty *classRow = propertyAt(*item, {"Temperature", "Detector class"});
        QtProperty *warningRow = propertyAt(*item, {"Temperature", "Warning"});
        QtProperty *thresholdRow = propertyAt(*item, {"Temperature", "Threshold, °C"});
        QVERIFY(bench.choose(classRow, classIndex));
        QVERIFY(bench.enter(thresholdRow, threshold) || threshold == 0);
        QVERIFY(bench.choose(warningRow, warning));
        QVERIFY(classRow->isModified() || warningRow->isModified() || thresholdRow->isModified());
        QCOMPARE(panelOf(*item)->state(), int(WidgetDeviceWriteSettings::HasChanges));

        pressWrite(*item);
        QCOMPARE(capture.direct, QList<QByteArray>({packet}));
        // Only the acknowledgement moves the panel.
        QCOMPARE(panelOf(*item)->state(), int(WidgetDeviceWriteSettings::HasChanges));
        QTest::ignoreMessage(QtWarningMsg, "PT_SET_RFADDITIONAL_DATA error: unknown packet");
        QVERIFY(!capture.callbacks.first()(packetOf("ff05")));
        QCOMPARE(panelOf(*item)->state(), int(WidgetDeviceWriteSettings::HasChanges));
        QVERIFY(capture.callbacks.first()(packetOf("9705")));
        QCOMPARE(panelOf(*item)->state(), int(WidgetDeviceWriteSettings::SettingsSaved));

        // The read that follows brings the device's values and rests the panel.
        QVERIFY(readRequested(capture, hexBytes("8005")));
        Packet echo;
        echo.data = hexBytes("8105") + packet.mid(2, 3);
        QVERIFY(capture.callbacks.last()(echo));
        QCOMPARE(panelOf(*item)->state(), int(WidgetDeviceWriteSettings::NoChanges));
        for (QtProperty *editor : {classRow, warningRow, thresholdRow})
            QVERIFY(!editor->isModified());
        QVERIFY(!item->isConfigurationChanged() || warning == 0);
    }

    void bexilSlotsByName()
    {
        const auto item = detector<DI_Bexil>(2);
        PacketCapture capture(*item);
        QVERIFY(readRequested(capture, hexBytes("8005")));
        capture.direct.clear();
        // 0x40 is added when diffModeDis is false, as the device takes it.
        QVERIFY(QMetaObject::invokeMethod(item.get(), "setAlarmLevel", Q_ARG(int, 80), Q_ARG(bool, false)));
        QVERIFY(QMetaObject::invokeMethod(item.get(), "setAlarmLevel", Q_ARG(int, 65), Q_ARG(bool, true)));
        QVERIFY(QMetaObject::invokeMethod(item.get(), "offAlarmLevel"));
        QCOMPARE(capture.direct, QList<QByteArray>({hexBytes("9605") + record("02de80"), hexBytes("9605") + record("028f80"),
                                                    hexBytes("9605") + record("000080")}));

        QVERIFY(QMetaObject::invokeMethod(item.get(), "readAlarmLevel"));
        QCOMPARE(capture.direct.last(), hexBytes("8005"));
        // While the address is being reset the item reads nothing.
        item->resetAddress();
        const int sent = capture.direct.size();
        QVERIFY(QMetaObject::invokeMethod(item.get(), "readAlarmLevel"));
        QCOMPARE(capture.direct.size(), sent);

        // Switching the warning off locally sends nothing.
        QVERIFY(QMetaObject::invokeMethod(item.get(), "disableWarningThreshold"));
        QCOMPARE((QList<int>{item->deviceClass(), item->deviceWarning(), item->deviceWarningValue()}),
                 QList<int>({0, 0, 0}));
        QCOMPARE(propertyAt(*item, {"Temperature", "Detector class"})->valueText(), QStringLiteral("A1R"));
        QCOMPARE(capture.direct.size(), sent);
    }

    void beforeExtraPropertiesNothingIsWritten()
    {
        DeviceItem::setTimings(60000, 50);
        const auto bexil = detector<DI_Bexil>(2);
        const auto mavo = detector<DI_Mavo>(5);
        DeviceItem::setTimings(ExtraDelayMs, 50);
        PacketCapture bexilCapture(*bexil);
        PacketCapture mavoCapture(*mavo);
        QVERIFY(!bexil->isConfigurationChanged() && !mavo->isConfigurationChanged());
        bexil->writeDeviceConfiguration();
        bexil->setAlarmLevel(60, true);
        mavo->writeDeviceConfiguration();
        mavo->setAlarmLevel();
        QVERIFY(bexilCapture.direct.isEmpty() && mavoCapture.direct.isEmpty());
    }

    void removedItemAsksNothing()
    {
        auto item = detector<DI_Bexil>(2);
        PacketCapture capture(*item);
        QVERIFY(readRequested(capture, hexBytes("8005")));
        const ResponseCb read = capture.callbacks.first();
        item->writeDeviceConfiguration();
        QVERIFY(QMetaObject::invokeMethod(item.get(), "offAlarmLevel"));
        const ResponseCb ack = capture.callbacks.last();
        QVERIFY(ack(packetOf("9705"))); // a read is now due
        item.reset();
        QTest::qWait(3 * ReadDelayMs);
        QCOMPARE(capture.direct.count(hexBytes("8005")), 1);
        // Late replies for it are not taken.
        QVERIFY(!read(packetOf("810502de46")));
        QVERIFY(!ack(packetOf("9705")));
    }

    // ------------------------------------------------------------ smoke detector

    void mavoDecoding_data()
    {
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<QStringList>("shown"); // State, smoke row's name, its value, Dust level
        QTest::addColumn<QList<int>>("levels"); // State, smoke row, Dust level
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("alarm");
        QTest::addColumn<bool>("fault");
        QTest::addColumn<int>("value277");
        QTest::newRow("quiet") << hexBytes("f00300640032070000") << QStringList{"No alarm", "Smoke level", "0.05 dB/m", "7%"}
                               << QList<int>{0, 0, 0} << "Dust: 7%, Normal" << false << false << 50;
        QTest::newRow("fire") << hexBytes("e003006480780a") << QStringList{"Fire", "Smoke level", "0.12 dB/m", "10%"}
                              << QList<int>{1, 0, 0} << "Fire, Smoke: 0.12 dB/m, Alarm" << true << false << 120;
        QTest::newRow("dusted and failed reads dusted")
            << hexBytes("f0030064600c5a") << QStringList{"Dusted", "Error code", "12", "90%"} << QList<int>{2, 2, 2}
            << "Dusted, Dust: 90%, Fail" << false << true << 12;
        QTest::newRow("failed") << hexBytes("f00300644009") << QStringList{"Failure", "Error code", "9", "0%"}
                                << QList<int>{2, 2, 2} << "Dust: 0%, Fail" << false << true << 9;
    }
    void mavoDecoding()
    {
        QFETCH(QByteArray, state);
        QFETCH(QStringList, shown);
        QFETCH(QList<int>, levels);
        QFETCH(QString, status);
        QFETCH(bool, alarm);
        QFETCH(bool, fault);
        QFETCH(int, value277);
        const auto item = detector<DI_Mavo>(5);
        item->updateState(item->deviceInfo(), state);
        const QList<QtProperty *> rows = propertyAt(*item, {"Smoke sensor"})->subProperties();
        QtProperty *stateRow = rows.at(0), *smoke = rows.at(1), *dust = rows.at(2);
        QCOMPARE((QStringList{stateRow->valueText(), smoke->propertyName(), smoke->valueText(), dust->valueText()}), shown);
        QCOMPARE(levelNumbers(*item, {stateRow, smoke, dust}), levels);
        QCOMPARE(item->data(DeviceRole::StatusText).toString(), status);
        QCOMPARE(item->hasAlarm(), alarm);
        QCOMPARE(item->hasFault(), fault);
        QCOMPARE(item->data(DeviceRole::ClassValue).toInt(), value277);
    }

    void mavoAlarmLevelRead_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QStringList>("editors"); // Input type, four thresholds
        QTest::addColumn<bool>("thresholdsActive");
        QTest::newRow("zero fields read the lowest codes") << hexBytes("810502000000") << QStringList{"Smoke analogue", "80", "80", "70", "70"} << true;
        QTest::newRow("thresholds set") << hexBytes("810502a9d532") << QStringList{"Smoke analogue", "120", "100", "80", "75"} << true;
        QTest::newRow("mode 0 reads smoke fire, greyed") << hexBytes("810500a9d532") << QStringList{"Smoke fire", "120", "100", "80", "75"} << false;
    }
    void mavoAlarmLevelRead()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QStringList, editors);
        QFETCH(bool, thresholdsActive);
        const auto item = detector<DI_Mavo>(5);
        PacketCapture capture(*item);
        EditorBench bench(*item);
        QVERIFY(readRequested(capture, hexBytes("8005")));
        const QList<QtProperty *> rows = propertyAt(*item, {"Smoke sensor"})->subProperties().mid(3);
        QCOMPARE(propertyNames(rows), QStringList({"Input type", "Daytime fire threshold", "Night fire threshold",
                                                   "Daytime warning threshold", "Night warning threshold"}));
        Packet packet;
        packet.data = reply;
        QVERIFY(capture.callbacks.first()(packet));
        QCOMPARE(texts(rows), editors);
        for (QtProperty *threshold : rows.mid(1)) {
            QCOMPARE(threshold->isEnabled(), thresholdsActive);
            QCOMPARE(item->propertyLevel(threshold), thresholdsActive ? 0u : quint32(DeviceItem::MarkNeverEditable));
        }
        for (QtProperty *row : rows)
            QVERIFY(!row->isModified());
        QVERIFY(!item->isConfigurationChanged());
        QCOMPARE(panelOf(*item)->state(), int(WidgetDeviceWriteSettings::NoChanges));

        // Short replies and replies of another type change nothing.
        QTest::ignoreMessage(QtWarningMsg, "5: alarm level reply of 5 bytes, 6 expected");
        QVERIFY(capture.callbacks.first()(packetOf("8105020000")));
        QTest::ignoreMessage(QtWarningMsg, "Wrong packet type: 0xff");
        QVERIFY(!capture.callbacks.first()(packetOf("ff05")));
        QCOMPARE(texts(rows), editors);
    }

    void mavoWrites()
    {
        const auto item = detector<DI_Mavo>(5);
        PacketCapture capture(*item);
        EditorBench bench(*item);
        QVERIFY(readRequested(capture, hexBytes("8005")));
        QVERIFY(capture.callbacks.takeFirst()(packetOf("810502000000")));
        capture.direct.clear();
        const QList<QtProperty *> rows = propertyAt(*item, {"Smoke sensor"})->subProperties().mid(3);

        // Four thresholds typed: the whole record goes out.
        for (int i = 0; i < 4; ++i)
            QVERIFY(bench.enter(rows.at(i + 1), QList<int>{120, 100, 80, 75}.at(i)));
        QVERIFY(item->isConfigurationChanged());
        pressWrite(*item);
        QCOMPARE(capture.direct, QList<QByteArray>({hexBytes("9605") + record("02a9d532")}));
        QVERIFY(capture.callbacks.last()(packetOf("9705")));
        QCOMPARE(panelOf(*item)->state(), int(WidgetDeviceWriteSettings::SettingsSaved));
        QVERIFY(readRequested(capture, hexBytes("8005")));
        QVERIFY(capture.callbacks.last()(packetOf("810502a9d532")));
        QCOMPARE(panelOf(*item)->state(), int(WidgetDeviceWriteSettings::NoChanges));
        QVERIFY(!item->isConfigurationChanged());
        QCOMPARE(item->deviceValues(), QList<int>({120, 100, 80, 75, 1}));

        // "Smoke fire" alone: eighteen zero bytes.
        capture.direct.clear();
        QVERIFY(bench.choose(rows.at(0), 0));
        QVERIFY(rows.at(0)->isModified());
        QVERIFY(!rows.at(1)->isEnabled());
        pressWrite(*item);
        QCOMPARE(capture.direct, QList<QByteArray>({hexBytes("9605") + QByteArray(18, '\0')}));

        QVERIFY(capture.callbacks.last()(packetOf("9705")));
        QVERIFY(readRequested(capture, hexBytes("8005")));
        QVERIFY(capture.callbacks.last()(packetOf("810500a9d532")));
        QCOMPARE(item->deviceValues(), QList<int>({120, 100, 80, 75, 0}));

        // An echo of the state is no edit and sends nothing.
        capture.direct.clear();
        update(*item, "f00300640032070000");
        for (QtProperty *row : rows)
            QVERIFY(!row->isModified());
        item->writeDeviceConfiguration();
        QVERIFY(capture.direct.isEmpty());
    }

    void mavoListsAndFeatures()
    {
        const auto item = detector<DI_Mavo>(5);
        QCOMPARE(item->fieldNames().size(), 16);
        QCOMPARE(detector<DI_Mavo>(5, 0x011E)->fieldNames(), DI_Mavo::staticFieldNames().mid(0, 11));
        QCOMPARE(DeviceItem::fieldNamesForType(5), DI_Mavo::staticFieldNames());
        QCOMPARE(DeviceItem::parameterKeyForType(5, QStringLiteral("Night warning threshold")), QStringLiteral("th4"));
        QVERIFY(detector<DI_Mavo>(5, 0x011D, 0x0100)->hasFeature(1000));
        QVERIFY(!detector<DI_Mavo>(5, 0x011D, 0x0100)->hasFeature(1001));
        QVERIFY(detector<DI_Mavo>(5, 0x011E, 0x0200)->hasFeature(1001));
        QVERIFY(!item->isFeatureSupported(4));
    }
};

QTEST_MAIN(FireDetectorsTest)
#include "tst_firedetectors.moc"

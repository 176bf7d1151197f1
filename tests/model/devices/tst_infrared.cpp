// The infrared detectors: the four models of the motion detector and the
// dual-zone detector, their decoding, sensitivity rules, test mode and writes.
#include "devicebench.h"

#include "deviceclasses.h"

#include "devicesettings.h"
#include "di_olvek.h"
#include "di_taskel.h"
#include "qtpropertymanager.h"
#include "registerdeviceclasses.h"
#include "widgetdevicewritesettings.h"

#include <QtTest>

#include <memory>

namespace {
const QStringList irPath{"IR Sensor"};

std::unique_ptr<DeviceItem> item(int type, quint16 firmware = 0x0110, quint8 link = 2)
{
    deviceInfo_t info = makeInfo(type, 10, link);
    info.firmwareVersion = firmware;
    return std::unique_ptr<DeviceItem>(createDeviceItem(info, false));
}

QtProperty *irRow(const DeviceItem &item, const char *name)
{
    return propertyAt(item, irPath + QStringList{QLatin1String(name)});
}

const QColor alarmColour(255, 180, 180), faultColour(255, 234, 173), arming(200, 200, 250), white(Qt::white);
} // namespace

class InfraredTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerDeviceModelNames();
        registerDeviceClasses();
        DeviceItem::setTimings(10, 10);
    }

    void classesByCode()
    {
        const QList<QPair<int, QString>> classes{{6, "DI_Olvek"},        {18, "DI_Kemrel"}, {26, "DI_Olvek_ISP2"},
                                                 {33, "DI_Olvek_Pemmel"}, {52, "DI_Olvek_Pemmel"},
                                                 {27, "DI_Taskel"},       {28, "DI_Taskel"}};
        for (const auto &entry : classes) {
            const auto made = item(entry.first);
            QCOMPARE(QString::fromLatin1(made->metaObject()->className()), entry.second);
            QVERIFY(!made->onlineIcon().isNull());
            // The lookups by type answer the item's own lists.
            QCOMPARE(DeviceItem::fieldNamesForType(entry.first), made->fieldNames());
        }
    }

    void olvekDecoding_data()
    {
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<QStringList>("shown");  // Movement, State, Sensitivity, Test mode
        QTest::addColumn<QList<int>>("levels"); // Movement, State, Case, Main battery state
        QTest::addColumn<bool>("active");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("alarm");
        QTest::addColumn<bool>("fault");

        QTest::newRow("empty state") << QByteArray() << QStringList{"Off", "No alarm", "", "Disabled"}
                                     << QList<int>{0, 0, 1, 2} << false
                                     << "Sensor is off, Main power failed, Reserve power failed, Case open" << true << true;
        QTest::newRow("quiet at level 2") << hexBytes("f00200640001020000")
                                          << QStringList{"No movement detected", "No alarm", "Level 2", "Disabled"}
                                          << QList<int>{0, 0, 0, 0} << true
                                          << "No movement detected, Sensitivity : Level 2, Normal" << false << false;
        QTest::newRow("movement alarm") << hexBytes("e00200648002030000")
                                        << QStringList{"Movement detected", "Alarm", "Level 3", "Disabled"}
                                        << QList<int>{1, 1, 0, 0} << true
                                        << "Movement detected, Sensitivity : Level 3" << true << false;
        QTest::newRow("alarm bit while arming") << hexBytes("f00200648001040000")
                                                << QStringList{"No movement detected", "Enabling", "Level 4 (min)", "Disabled"}
                                                << QList<int>{0, 4, 0, 0} << true
                                                << "No movement detected, Sensitivity : Level 4 (min), Normal" << false
                                                << false;
        QTest::newRow("test mode, result alarm") << hexBytes("f00000642002010200")
                                                 << QStringList{"Movement detected", "Alarm", "Level 1 (max)", "Enabled"}
                                                 << QList<int>{1, 1, 0, 0} << true
                                                 << "Sensor is off, Sensitivity : Level 1 (max), Test mode" << false
                                                 << false;
        QTest::newRow("test mode, result alarm without movement")
            << hexBytes("f00000642001010200") << QStringList{"No movement detected", "Enabling", "Level 1 (max)", "Enabled"}
            << QList<int>{0, 4, 0, 0} << true << "Sensor is off, Sensitivity : Level 1 (max), Test mode" << false << false;
        QTest::newRow("test mode, result failure") << hexBytes("f00200642001010300")
                                                   << QStringList{"No movement detected", "Failure", "Level 1 (max)", "Enabled"}
                                                   << QList<int>{0, 2, 0, 0} << true
                                                   << "Failure, Sensitivity : Level 1 (max), Test mode" << false << true;
        QTest::newRow("sensitivity nibble 0 and movement 7: no names") << hexBytes("f00200640007000000")
                                                                       << QStringList{"", "No alarm", "", "Disabled"}
                                                                       << QList<int>{0, 0, 0, 0} << true << "Normal"
                                                                       << false << false;
        QTest::newRow("sensitivity nibble 5") << hexBytes("f00200640001050000")
                                              << QStringList{"No movement detected", "No alarm", "", "Disabled"}
                                              << QList<int>{0, 0, 0, 0} << true << "No movement detected, Normal"
                                              << false << false;
    }
    void olvekDecoding()
    {
        QFETCH(QByteArray, state);
        QFETCH(QStringList, shown);
        QFETCH(QList<int>, levels);
        QFETCH(bool, active);
        QFETCH(QString, status);
        QFETCH(bool, alarm);
        QFETCH(bool, fault);
        const auto olvek = item(6);
        olvek->updateState(olvek->deviceInfo(), state);
        const QList<QtProperty *> rows{irRow(*olvek, "Movement"), irRow(*olvek, "State"), irRow(*olvek, "Sensitivity"),
                                       irRow(*olvek, "Test mode")};
        QCOMPARE(texts(rows), shown);
        QCOMPARE(levelNumbers(*olvek, {rows.at(0), rows.at(1), propertyAt(*olvek, {"Status", "Case"}),
                                   propertyAt(*olvek, {"Status", "Main battery state"})}),
                 levels);
        QCOMPARE(propertyAt(*olvek, irPath)->isEnabled(), active);
        QCOMPARE(rows.at(1)->isEnabled(), active);
        QCOMPARE(olvek->data(DeviceRole::StatusText).toString(), status);
        QCOMPARE(olvek->hasAlarm(), alarm);
        QCOMPARE(olvek->hasFault(), fault);
        QCOMPARE(olvek->data(DeviceRole::ClassValue).toInt(), state.size() > 6 ? int(quint8(state.at(6))) : 0);
    }

    void recordedFields()
    {
        const auto olvek = item(6);
        RecordingCollector collector;
        olvek->installInfoCollector(&collector);
        olvek->updateState(olvek->deviceInfo(), hexBytes("f00200644002030000"));
        QCOMPARE(collector.keys.mid(0, 4), QStringList({"devState", "fCustomBit", "fAlarm", "sens"}));
        QCOMPARE(collector.values.mid(0, 4), QVariantList({3, 0, 0, 3}));
        collector.reset();
        olvek->updateState(olvek->deviceInfo(), hexBytes("f00000640002030000")); // sensor off
        QCOMPARE(collector.valueOf("devState"), QVariant(0));
    }

    void sensitivityLevels_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("firmware");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("6 below 1.6") << 6 << 0x0105 << QStringList{"High", "Low"};
        QTest::newRow("6 from 1.6") << 6 << 0x0106 << QStringList{"Level 1 (max)", "Level 2", "Level 3", "Level 4 (min)"};
        QTest::newRow("18 below 1.3") << 18 << 0x0102 << QStringList{"High", "Low"};
        QTest::newRow("18 from 1.3") << 18 << 0x0103 << QStringList{"Level 1 (max)", "Level 2", "Level 3", "Level 4 (min)"};
        QTest::newRow("26 below 1.3") << 26 << 0x0102 << QStringList{"High", "Low"};
        QTest::newRow("33 always two") << 33 << 0x0210 << QStringList{"High", "Low"};
        QTest::newRow("52 four") << 52 << 0x0101 << QStringList{"Level 1 (max)", "Level 2", "Level 3", "Level 4 (min)"};
    }
    void sensitivityLevels()
    {
        QFETCH(int, type);
        QFETCH(int, firmware);
        QFETCH(QStringList, names);
        const auto detector = item(type, quint16(firmware));
        detector->updateState(detector->deviceInfo(), hexBytes("f00200640001020000"));
        QtProperty *sensitivity = irRow(*detector, "Sensitivity");
        auto *editable = detector->data(DeviceRole::EnumManager).value<QtEnumPropertyManager *>();
        QCOMPARE(editable->enumNames(sensitivity), names);
        const bool twoLevels = names.size() == 2;
        QCOMPARE(detector->propertyLevel(sensitivity), 0u);
        QVERIFY(sensitivity->isEnabled());
        // A two-level detector never shows the device's value: blank until written.
        QCOMPARE(sensitivity->valueText(), twoLevels ? QString() : QStringLiteral("Level 2"));
        if (type != 26) // which shows a sensitivity text of its own
            QCOMPARE(detector->data(DeviceRole::StatusText).toString().contains(QStringLiteral("Sensitivity")), !twoLevels);
    }

    void writesAndEcho()
    {
        const auto olvek = item(6);
        olvek->updateState(olvek->deviceInfo(), hexBytes("f00200640001020000"));
        EditorBench bench(*olvek);
        PacketCapture capture(*olvek);
        QtProperty *sensitivity = irRow(*olvek, "Sensitivity");
        QtProperty *testMode = irRow(*olvek, "Test mode");

        QVERIFY(bench.choose(sensitivity, 3));
        QVERIFY(bench.choose(testMode, 1));
        QVERIFY(sensitivity->isModified() && testMode->isModified());
        QVERIFY(olvek->isConfigurationChanged());
        // The device still reports its old values: the edits stay.
        olvek->updateState(olvek->deviceInfo(), hexBytes("f00200640001020000"));
        QCOMPARE(texts({sensitivity, testMode}), QStringList({"Level 4 (min)", "Enabled"}));
        QCOMPARE(panelOf(*olvek)->state(), int(WidgetDeviceWriteSettings::HasChanges));

        pressWrite(*olvek);
        QCOMPARE(capture.queued, QList<QByteArray>({hexBytes("6a0500050102" "0101"), hexBytes("6a0500050102" "0204")}));
        QVERIFY(capture.direct.isEmpty());
        // The device takes them: the marks go, nothing more is sent.
        olvek->updateState(olvek->deviceInfo(), hexBytes("f00200642001040000"));
        QVERIFY(!sensitivity->isModified() && !testMode->isModified());
        QVERIFY(!olvek->isConfigurationChanged());
        QCOMPARE(panelOf(*olvek)->state(), int(WidgetDeviceWriteSettings::NoChanges));
        QCOMPARE(capture.queued.size(), 2);

        // Disabling the test mode alone.
        QVERIFY(bench.choose(testMode, 0));
        pressWrite(*olvek);
        QCOMPARE(capture.queued.last(), hexBytes("6a050005010201" "02"));
    }

    // A two-level detector's sensitivity is written as "High" (1) or "Low"
    // (2); either is a change from the blank start, "High" first among them.
    void twoLevelSensitivityWrites_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("firmware");
        QTest::newRow("33") << 33 << 0x0210;
        QTest::newRow("6 below 1.6") << 6 << 0x0105;
        QTest::newRow("18 below 1.3") << 18 << 0x0102;
        QTest::newRow("26 below 1.3") << 26 << 0x0102;
    }
    void twoLevelSensitivityWrites()
    {
        QFETCH(int, type);
        QFETCH(int, firmware);
        const auto detector = item(type, quint16(firmware));
        const QByteArray state = hexBytes("f00200640001030000");
        detector->updateState(detector->deviceInfo(), state);
        EditorBench bench(*detector);
        PacketCapture capture(*detector);
        QtProperty *sensitivity = irRow(*detector, "Sensitivity");
        QVERIFY(!detector->isConfigurationChanged());

        QVERIFY(bench.choose(sensitivity, 0));
        QCOMPARE(sensitivity->valueText(), QStringLiteral("High"));
        QVERIFY(sensitivity->isModified());
        QVERIFY(detector->isConfigurationChanged());
        QCOMPARE(panelOf(*detector)->state(), int(WidgetDeviceWriteSettings::HasChanges));
        // The device's level byte does not touch the edit.
        detector->updateState(detector->deviceInfo(), state);
        QVERIFY(sensitivity->isModified());
        pressWrite(*detector);
        QCOMPARE(capture.queued, QList<QByteArray>{hexBytes("6a0500050102" "0201")});
        // Written: the next state clears the mark, and the row shows what was written.
        detector->updateState(detector->deviceInfo(), state);
        QVERIFY(!sensitivity->isModified());
        QVERIFY(!detector->isConfigurationChanged());
        QCOMPARE(panelOf(*detector)->state(), int(WidgetDeviceWriteSettings::NoChanges));
        QCOMPARE(sensitivity->valueText(), QStringLiteral("High"));

        QVERIFY(bench.choose(sensitivity, 1));
        QVERIFY(sensitivity->isModified());
        pressWrite(*detector);
        QCOMPARE(capture.queued.last(), hexBytes("6a0500050102" "0202"));
        detector->updateState(detector->deviceInfo(), state);
        QVERIFY(bench.choose(sensitivity, 0));
        pressWrite(*detector);
        QCOMPARE(capture.queued.last(), hexBytes("6a0500050102" "0201"));
        QCOMPARE(capture.queued.size(), 3);
    }

    void actionsByName()
    {
        const auto olvek = item(6);
        PacketCapture capture(*olvek);
        for (int id : {0, 1, 2, 3})
            olvek->executeAction(id);
        QVERIFY(QMetaObject::invokeMethod(olvek.get(), "setSensitivityLevel", Q_ARG(int, 3)));
        QCOMPARE(capture.queued, QList<QByteArray>({hexBytes("6a05000501020101"), hexBytes("6a05000501020102"),
                                                    hexBytes("6a05000501020201"), hexBytes("6a05000501020204"),
                                                    hexBytes("6a05000501020203")}));
    }

    void rowColours()
    {
        for (int type : {6, 27}) {
            const auto detector = item(type);
            EditorBench bench(*detector);
            detector->updateState(detector->deviceInfo(), hexBytes("f00200648001040000"));
            QtProperty *movement = irRow(*detector, "Movement") ? irRow(*detector, "Movement")
                                                                 : propertyAt(*detector, {"IR Sensors", "Movement"});
            QCOMPARE(bench.colour(movement), white);
            if (type == 6)
                QCOMPARE(bench.colour(irRow(*detector, "State")), arming);
            QVERIFY(!detector->data(Qt::BackgroundRole).isValid()
                    || detector->data(Qt::BackgroundRole).value<QColor>() != QColor(109, 144, 199));

            // Sensor off: blue in the list.
            detector->updateState(detector->deviceInfo(), hexBytes("f00000640002030000"));
            QCOMPARE(detector->data(Qt::BackgroundRole).value<QColor>(), QColor(109, 144, 199));
            QCOMPARE(bench.colour(movement), alarmColour);
            // Test mode: light green, grey for an item of a configuration file.
            detector->updateState(detector->deviceInfo(), hexBytes("f00000642002030200"));
            QCOMPARE(detector->data(Qt::BackgroundRole).value<QColor>(), QColor(90, 255, 90));
            detector->setOffline();
            QCOMPARE(detector->data(Qt::BackgroundRole).value<QColor>(), QColor(210, 210, 210));
        }
    }

    void modelDifferences()
    {
        // The older second model leads with its own sensitivity text.
        const auto older = item(26, 0x0102);
        older->updateState(older->deviceInfo(), hexBytes("f00200640001010000"));
        QCOMPARE(older->data(DeviceRole::StatusText).toString(),
                 QStringLiteral("Sensitivity : high, No movement detected, Normal"));
        older->updateState(older->deviceInfo(), hexBytes("f00200640001020000"));
        QVERIFY(older->data(DeviceRole::StatusText).toString().startsWith(QStringLiteral("Sensitivity : low, ")));
        const auto newer = item(26, 0x0103);
        newer->updateState(newer->deviceInfo(), hexBytes("f00200640001010000"));
        QCOMPARE(newer->data(DeviceRole::StatusText).toString(),
                 QStringLiteral("No movement detected, Sensitivity : Level 1 (max), Normal"));
    }

    void featuresAndTitles()
    {
        QVERIFY(!item(6, 0x0109)->isFeatureSupported(0));
        QVERIFY(item(6, 0x010A)->isFeatureSupported(0));
        QVERIFY(!item(18, 0x010D)->isFeatureSupported(0));
        QVERIFY(item(18, 0x010E)->isFeatureSupported(0));
        QVERIFY(!item(6, 0x0200)->isFeatureSupported(1));

        const QStringList olvekFields{"gpCase", "gpMainPwr", "gpMainBattery", "rl", "gpRssi", "fAlarm", "devState", "sens",
                                      "fCustomBit"};
        for (int type : {6, 18, 26})
            QCOMPARE(DeviceItem::fieldNamesForType(type), olvekFields);
        QCOMPARE(DeviceItem::parameterTitleForType(6, QStringLiteral("fCustomBit")), QStringLiteral("Testing mode"));
        QVERIFY(DeviceItem::parameterTitleForType(6, QStringLiteral("gpActiveZone")).isEmpty());
        // 33 and 52 answer the base lists, their items hold the family's titles.
        for (int type : {33, 52}) {
            QCOMPARE(DeviceItem::fieldNamesForType(type), DeviceItem::staticFieldNames());
            QCOMPARE(DeviceItem::parameterTitleForType(type, QStringLiteral("gpActiveZone")), QStringLiteral("Work mode"));
            QVERIFY(DeviceItem::parameterTitleForType(type, QStringLiteral("sens")).isEmpty());
            const auto pemmel = item(type);
            QCOMPARE(pemmel->parameterTitle(QStringLiteral("sens")), QStringLiteral("Sensitivity"));
            QCOMPARE(pemmel->parameterKey(QStringLiteral("Sensor state")), QStringLiteral("devState"));
            QVERIFY(pemmel->parameterTitle(QStringLiteral("gpActiveZone")).isEmpty());
        }
        QVERIFY(DeviceSettings::keys(6).isEmpty());
    }

    // ------------------------------------------------------------ dual zone

    void taskelDecoding_data()
    {
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<QStringList>("shown"); // Movement, near Sensitivity, Near zone, far Sensitivity, Far zone, Test mode
        QTest::addColumn<QList<int>>("levels"); // Near zone, Far zone, Case, Main battery, Reserve battery
        QTest::addColumn<bool>("fault");
        QTest::newRow("quiet") << hexBytes("f00200640001210000")
                               << QStringList{"No movement detected", "Level 1 (max)", "No alarm", "Level 2", "No alarm", "Disabled"}
                               << QList<int>{0, 0, 0, 0, 0} << false;
        QTest::newRow("far 3 and 2 reads alarm") << hexBytes("f00200640001442c00")
                                                 << QStringList{"No movement detected", "Level 4 (min)", "No alarm",
                                                                "Level 4 (min)", "Alarm", "Disabled"}
                                                 << QList<int>{0, 1, 0, 0, 0} << false;
        QTest::newRow("near failure, far failure") << hexBytes("f00200640001120f00")
                                                   << QStringList{"No movement detected", "Level 2", "Failure", "Level 1 (max)",
                                                                  "Failure", "Disabled"}
                                                   << QList<int>{2, 2, 0, 0, 0} << false;
        QTest::newRow("batteries and case") << hexBytes("400200640001110000")
                                            << QStringList{"No movement detected", "Level 1 (max)", "No alarm", "Level 1 (max)",
                                                           "No alarm", "Disabled"}
                                            << QList<int>{0, 0, 1, 2, 2} << true;
        QTest::newRow("empty, offline-looking zeros") << QByteArray()
                                                      << QStringList{"Off (Energy saving)", "", "No alarm", "", "No alarm", "Disabled"}
                                                      << QList<int>{0, 0, 1, 2, 2} << true;
    }
    void taskelDecoding()
    {
        QFETCH(QByteArray, state);
        QFETCH(QStringList, shown);
        QFETCH(QList<int>, levels);
        QFETCH(bool, fault);
        const auto taskel = item(27, 0x0105, 0); // the fault test does not ask whether it is online
        taskel->updateState(taskel->deviceInfo(), state);
        const QList<QtProperty *> rows = propertyAt(*taskel, {"IR Sensors"})->subProperties();
        QCOMPARE(propertyNames(rows),
                 QStringList({"Movement", "Sensitivity", "Near zone", "Sensitivity", "Far zone", "Test mode"}));
        QCOMPARE(texts(rows), shown);
        QCOMPARE(levelNumbers(*taskel, {rows.at(2), rows.at(4), propertyAt(*taskel, {"Status", "Case"}),
                                    propertyAt(*taskel, {"Status", "Main battery state"}),
                                    propertyAt(*taskel, {"Status", "Reserve battery state"})}),
                 levels);
        QCOMPARE(taskel->hasFault(), fault);
        QVERIFY(!taskel->hasAlarm()); // offline
        QCOMPARE(taskel->data(DeviceRole::ClassValue).toInt(), state.size() > 6 ? int(quint8(state.at(6))) : 0);
    }

    void taskelStatusAndFields()
    {
        const auto taskel = item(28);
        RecordingCollector collector;
        taskel->installInfoCollector(&collector);
        taskel->updateState(taskel->deviceInfo(), hexBytes("f00200640002430800"));
        QCOMPARE(taskel->data(DeviceRole::StatusText).toString(),
                 QStringLiteral("Movement detected, Near zone sensitivity : Level 3, Far zone sensitivity : Level 4 (min), Normal"));
        QCOMPARE(collector.keys.mid(0, 8), QStringList({"fFail", "fAlarm", "bMove", "nearState", "nearSens", "farState",
                                                        "farSens", "fCustomBit"}));
        QCOMPARE(collector.values.mid(0, 8), QVariantList({0, 0, 2, 0, 3, 2, 4, 0}));

        // An unwritten edit is recorded as the user's value, and shown.
        EditorBench bench(*taskel);
        QVERIFY(bench.choose(propertyAt(*taskel, {"IR Sensors"})->subProperties().at(1), 0));
        collector.reset();
        taskel->updateState(taskel->deviceInfo(), hexBytes("f00200640002430800"));
        QCOMPARE(collector.valueOf("nearSens"), QVariant(1));
        QVERIFY(taskel->data(DeviceRole::StatusText).toString().contains(QStringLiteral("Near zone sensitivity : Level 1 (max)")));
    }

    void taskelOldFirmwareFollowsDevice()
    {
        const auto taskel = item(27, 0x0102);
        taskel->updateState(taskel->deviceInfo(), hexBytes("f00200640001320000"));
        const QList<QtProperty *> rows = propertyAt(*taskel, {"IR Sensors"})->subProperties();
        for (QtProperty *sensitivity : {rows.at(1), rows.at(3)}) {
            QCOMPARE(taskel->propertyLevel(sensitivity), quint32(DeviceItem::MarkNeverEditable));
            QVERIFY(!sensitivity->isEnabled());
        }
        QCOMPARE(texts({rows.at(1), rows.at(3)}), QStringList({"Level 2", "Level 3"}));
        QVERIFY(!item(27, 0x0104)->isFeatureSupported(0));
        QVERIFY(item(28, 0x0105)->isFeatureSupported(0));
    }

    void taskelWrites()
    {
        const auto taskel = item(27);
        taskel->updateState(taskel->deviceInfo(), hexBytes("f00200640001220000"));
        EditorBench bench(*taskel);
        PacketCapture capture(*taskel);
        const QList<QtProperty *> rows = propertyAt(*taskel, {"IR Sensors"})->subProperties();
        QVERIFY(bench.choose(rows.at(1), 0));
        QVERIFY(bench.choose(rows.at(3), 3));
        QVERIFY(bench.choose(rows.at(5), 1));
        pressWrite(*taskel);
        QCOMPARE(capture.queued, QList<QByteArray>({hexBytes("6a0500050102" "0101"), hexBytes("6a0500050103" "020104")}));

        for (int id : {0, 1, 2, 3})
            taskel->executeAction(id);
        QVERIFY(QMetaObject::invokeMethod(taskel.get(), "setEnabledSensors", Q_ARG(int, 2)));
        QCOMPARE(capture.queued.mid(2),
                 QList<QByteArray>({hexBytes("6a05000501020101"), hexBytes("6a05000501020102"), hexBytes("6a0500050103020101"),
                                    hexBytes("6a0500050103020404"), hexBytes("6a05000501020302")}));
    }

    void taskelFileKeys()
    {
        const auto taskel = item(28);
        taskel->updateState(taskel->deviceInfo(), hexBytes("f00200640001320000"));
        QCOMPARE(DeviceSettings::keys(27), QStringList({"nearSensitivity", "farSensitivity"}));
        QCOMPARE(DeviceSettings::keys(28), DeviceSettings::keys(27));
        QCOMPARE(DeviceSettings::value(taskel.get(), QStringLiteral("nearSensitivity")), QVariant(1));
        QCOMPARE(DeviceSettings::value(taskel.get(), QStringLiteral("farSensitivity")), QVariant(2));
        QVERIFY(DeviceSettings::setValue(taskel.get(), QStringLiteral("farSensitivity"), 0));
        QCOMPARE(qobject_cast<DI_Taskel *>(taskel.get())->farSensitivity(), 0);
        QVERIFY(!propertyAt(*taskel, {"IR Sensors"})->subProperties().at(3)->isModified());
    }
};

QTEST_MAIN(InfraredTest)
#include "tst_infrared.moc"

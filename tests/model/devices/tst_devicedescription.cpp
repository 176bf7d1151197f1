// Device classes made from their descriptions alone: the lookups by type
// code, a class that would take its base's codes, and the settings a
// description gives (editors that follow the device, changed-tests, queued
// and memory writes with their firmware limits, configuration-file values).

#include "devicebench.h"

#include "deviceclasses.h"
#include "devicesettings.h"
#include "qtpropertymanager.h"
#include "widgetdevicewritesettings.h"

#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

#include <memory>

namespace {
const QStringList levels{"Level 1", "Level 2", "Level 3", "Level 4"};
} // namespace

// A motion detector's layout (type code 6): test mode in byte 4 bit 5, the
// two sensitivity levels 1-4 in the nibbles of byte 6, a system byte 8.
class ExampleDetector : public DeviceItem
{
    Q_OBJECT
public:
    ExampleDetector(const deviceInfo_t &info, bool kastrelMode)
        : DeviceItem(info, kastrelMode, &ExampleDetector::description)
    {
        group = m_groupManager->addProperty(QStringLiteral("Sensor"));
        for (const char *key : {"testMode", "sensitivity", "farSensitivity", "threshold", "detected"})
            settings << addSetting(group, QLatin1String(key));
        m_topProperties << group;
    }

    static DeviceDescription description()
    {
        DeviceDescription d;
        d.codes = {6};
        d.listedCodes = {26};
        d.stateBytes = 10;
        d.fieldNames = QStringList{"gpCase", "fAlarm", "sens"};
        d.titles = DeviceTitles::exactly({{"gpCase", "Case"}, {"fAlarm", "Alarm"}, {"sens", "Sensitivity"}});
        d.features = QList<DeviceKit::FeatureMinimum>{{0, QVersionNumber(1, 10)}};
        d.settings = {
            SettingDescription::choice("testMode", "Test mode", {"Disabled", "Enabled"}, "Z1.fCustomBit"),
            SettingDescription::choice("sensitivity", "Sensitivity", levels, "Z1.btfSensitivity").shiftedBy(1).inFiles(),
            SettingDescription::choice("farSensitivity", "Far sensitivity", levels, "Z1.btfFarSensitivity")
                .shiftedBy(1)
                .needsFirmware({1, 3}),
            SettingDescription::number("threshold", "Threshold", 0, 200, "Z1.bSystemFlag").inFiles(),
            SettingDescription::shown("detected", "Detected", {"No", "Yes"}, "Z1.fAlarm").inFiles(true),
        };
        d.writes = {
            SettingWrite::queued(packetBytes({0x00, 0x05, 0x01, 0x02, 0x01}), {"testMode"})
                .withData([](const QList<int> &v) { return packetBytes({quint8(v.at(0) ? 1 : 2)}); }),
            SettingWrite::queued(packetBytes({0x00, 0x05, 0x01, 0x03, 0x02}), {"sensitivity", "farSensitivity"}),
            SettingWrite::memoryCell(0x0130, {"threshold"}),
        };
        d.wholeConfigurationCheck = true;
        return d;
    }

    QtProperty *group = nullptr;
    QList<QtProperty *> settings; // in the order of the description
};

// Takes its base's description: registering it must fail.
class ExampleDetectorVariant : public ExampleDetector
{
    Q_OBJECT
public:
    using ExampleDetector::ExampleDetector;
};

// A tilt detector's layout (type code 16): settings bits in bytes 6 and 7,
// the detection switches stored as "disabled" bits.
class ExampleTilt : public DeviceItem
{
    Q_OBJECT
public:
    ExampleTilt(const deviceInfo_t &info, bool kastrelMode) : DeviceItem(info, kastrelMode, &ExampleTilt::description)
    {
        for (const char *key : {"shiftDetection", "shiftSensitivity", "autoFix"})
            settings << addSetting(nullptr, QLatin1String(key));
        m_topProperties << settings;
    }

    static DeviceDescription description()
    {
        DeviceDescription d;
        d.codes = {16};
        d.stateBytes = 9;
        d.fieldNames = DeviceDescription::baseFieldNames();
        d.titles = DeviceTitles::baseWithout({"gpUndef"}, {{"Zone1fShift", "Shift state"}});
        d.settings = {
            SettingDescription::choice("shiftDetection", "Shift detection", {"Disabled", "Enabled"},
                                       "Settings.shiftDisableDetection")
                .invertedBit(),
            SettingDescription::choice("shiftSensitivity", "Shift sensitivity", levels, "Settings.shiftSensitivity"),
            SettingDescription::choice("autoFix", "Auto fixate", {"Disabled", "Enabled"}, "Settings.tiltAutoFix")
                .invertedBit(),
        };
        // Both configuration bytes, every time, in the device's own bit order.
        d.writes = {SettingWrite::memoryCell(0x48, {"shiftSensitivity", "shiftDetection", "autoFix"})
                        .everyTime()
                        .withData([](const QList<int> &v) {
                            return packetBytes({quint8(v.at(0) | v.at(1) << 3), quint8(v.at(2) << 4)});
                        })};
        return d;
    }

    QList<QtProperty *> settings;
};

namespace {
deviceInfo_t record(int code, quint16 firmware)
{
    deviceInfo_t info = makeInfo(code);
    info.firmwareVersion = firmware;
    return info;
}

void update(DeviceItem &item, const char *stateHex)
{
    item.updateState(item.deviceInfo(), hexBytes(stateHex));
}

// The user types a number into the spin box of an integer setting.
void enterNumber(EditorBench &bench, DeviceItem &item, QtProperty *property, int value)
{
    QtSpinBoxFactory factory;
    bench.browser().setFactoryForManager(item.data(DeviceRole::IntManager).value<QtIntPropertyManager *>(), &factory);
    std::unique_ptr<QWidget> editor(factory.createEditor(property, &bench.browser()));
    qobject_cast<QSpinBox *>(editor.get())->setValue(value);
}

// Test mode on, sensitivity 3 near and 2 far, system byte 150, alarm.
const char *const detectorState = "f0030064a00223009600";
} // namespace

class DeviceDescriptionTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerDeviceModelNames();
        DeviceItem::setTimings(10, 10);
        DeviceClasses::registerClass<ExampleDetector>();
        DeviceClasses::registerClass<ExampleTilt>();
    }

    void lookupsByTypeCode()
    {
        for (int code : {6, 26}) {
            QCOMPARE(DeviceItem::fieldNamesForType(code), QStringList({"gpCase", "fAlarm", "sens"}));
            QCOMPARE(DeviceItem::parameterKeyForType(code, QStringLiteral("Sensitivity")), QStringLiteral("sens"));
            // Exactly its own pairs: no base pair is left.
            QVERIFY(DeviceItem::parameterTitleForType(code, QStringLiteral("gpRssi")).isEmpty());
            QCOMPARE(DeviceSettings::keys(code), QStringList({"sensitivity", "threshold", "detected"}));
        }
        // A listed code gets the lists, not the class.
        QCOMPARE(DeviceClasses::className(6), QStringLiteral("ExampleDetector"));
        QCOMPARE(DeviceClasses::className(26), QStringLiteral("DeviceItem"));

        // The base's pairs without one, plus its own.
        QVERIFY(DeviceItem::parameterTitleForType(16, QStringLiteral("gpUndef")).isEmpty());
        QCOMPARE(DeviceItem::parameterTitleForType(16, QStringLiteral("gpRssi")), QStringLiteral("Signal level"));
        QCOMPARE(DeviceItem::parameterKeyForType(16, QStringLiteral("Shift state")), QStringLiteral("Zone1fShift"));
        QVERIFY(DeviceSettings::keys(16).isEmpty());

        const std::unique_ptr<DeviceItem> tilt(createDeviceItem(record(16, 0x0100), false));
        QCOMPARE(tilt->fieldNames(), DeviceItem::staticFieldNames());
        QCOMPARE(tilt->parameterKey(QStringLiteral("Shift state")), QStringLiteral("Zone1fShift"));
        QVERIFY(tilt->parameterKey(QStringLiteral("Undefined")).isEmpty());
        QVERIFY(tilt->isFeatureSupported(1)); // no feature table: the base's rule
    }

    void aClassWithoutItsOwnDescriptionIsRefused()
    {
        QTest::ignoreMessage(QtWarningMsg, "Type code 6 belongs to ExampleDetector, not to ExampleDetectorVariant");
        DeviceClasses::registerClass<ExampleDetectorVariant>();
        QCOMPARE(DeviceClasses::className(6), QStringLiteral("ExampleDetector"));
    }

    void featureTable_data()
    {
        QTest::addColumn<quint16>("firmware");
        QTest::addColumn<int>("feature");
        QTest::addColumn<bool>("supported");
        QTest::newRow("below the minimum") << quint16(0x0109) << 0 << false;
        QTest::newRow("at the minimum") << quint16(0x010A) << 0 << true;
        QTest::newRow("a feature the table does not know") << quint16(0x0200) << 1 << false;
    }
    void featureTable()
    {
        QFETCH(quint16, firmware);
        QFETCH(int, feature);
        QFETCH(bool, supported);
        ExampleDetector item(record(6, firmware), false);
        QCOMPARE(item.isFeatureSupported(feature), supported);
    }

    void settingsFollowTheDeviceUntilEdited()
    {
        ExampleDetector item(record(6, 0x0105), false);
        EditorBench bench(item);
        update(item, detectorState);
        QCOMPARE(texts(item.settings), QStringList({"Enabled", "Level 3", "Level 2", "150", "Yes"}));
        QVERIFY(!item.isConfigurationChanged());

        QVERIFY(bench.choose(item.settings.at(1), 0));
        QVERIFY(item.settings.at(1)->isModified());
        QVERIFY(item.isConfigurationChanged());
        QCOMPARE(panelOf(item)->state(), int(WidgetDeviceWriteSettings::HasChanges));

        // The device still holds level 3: the edit stays; the read-only value follows.
        update(item, "f0030064200223009600");
        QCOMPARE(texts(item.settings), QStringList({"Enabled", "Level 1", "Level 2", "150", "No"}));
        QVERIFY(item.settings.at(1)->isModified());
        // Now it holds level 1: the mark goes.
        update(item, "f0030064a00221009600");
        QVERIFY(!item.settings.at(1)->isModified());
        QVERIFY(!item.isConfigurationChanged());
    }

    void editedBackMeansNoChanges()
    {
        // Every changed-test first asks whether anything still differs.
        ExampleDetector item(record(6, 0x0105), false);
        EditorBench bench(item);
        update(item, detectorState);
        QVERIFY(bench.choose(item.settings.at(1), 0));
        QVERIFY(bench.choose(item.settings.at(0), 0));
        QVERIFY(bench.choose(item.settings.at(0), 1)); // back as the device has it, the level still edited
        QCOMPARE(panelOf(item)->state(), int(WidgetDeviceWriteSettings::HasChanges));
        QVERIFY(bench.choose(item.settings.at(1), 2)); // the level back too
        QCOMPARE(panelOf(item)->state(), int(WidgetDeviceWriteSettings::NoChanges));
    }

    void writesCarryTheEditedSettings()
    {
        ExampleDetector item(record(6, 0x0105), false);
        EditorBench bench(item);
        PacketCapture capture(item);
        update(item, detectorState);

        pressWrite(item);
        QVERIFY(capture.queued.isEmpty() && capture.direct.isEmpty()); // nothing edited, nothing sent

        QVERIFY(bench.choose(item.settings.at(0), 0));
        QVERIFY(bench.choose(item.settings.at(2), 3));
        pressWrite(item);
        // Test mode off is 2; the levels go out together, near as the device has it.
        QCOMPARE(capture.queued, QList<QByteArray>({hexBytes("6a05000501020102"), hexBytes("6a0500050103020304")}));
        QVERIFY(capture.direct.isEmpty());

        // The device takes the levels; then the threshold alone.
        update(item, "f0030064800241009600");
        QCOMPARE(panelOf(item)->state(), int(WidgetDeviceWriteSettings::NoChanges));
        capture.queued.clear();
        enterNumber(bench, item, item.settings.at(3), 42);
        pressWrite(item);
        QCOMPARE(capture.direct, QList<QByteArray>({hexBytes("660530012a"), hexBytes("c005")}));
        QVERIFY(capture.callbacks.at(0)(packetOf("67")));
        QVERIFY(capture.callbacks.at(1)(packetOf("c1")));
    }

    void aSettingBelowItsFirmwareIsInactive_data()
    {
        QTest::addColumn<quint16>("firmware");
        QTest::addColumn<bool>("inactive");
        QTest::newRow("1.2") << quint16(0x0102) << true;
        QTest::newRow("1.3") << quint16(0x0103) << false;
    }
    void aSettingBelowItsFirmwareIsInactive()
    {
        QFETCH(quint16, firmware);
        QFETCH(bool, inactive);
        ExampleDetector item(record(6, firmware), false);
        update(item, detectorState);
        QtProperty *far = item.settings.at(2);
        QCOMPARE(bool(item.propertyLevel(far) & DeviceItem::MarkNeverEditable), inactive);
        QCOMPARE(far->isEnabled(), !inactive);
        QCOMPARE(far->valueText(), QStringLiteral("Level 2")); // it still shows the device's level
    }

    void configurationFileValues()
    {
        ExampleDetector item(record(6, 0x0105), false);
        update(item, detectorState);
        QCOMPARE(DeviceSettings::value(&item, QStringLiteral("detected")), QVariant(true));
        QCOMPARE(DeviceSettings::value(&item, QStringLiteral("sensitivity")), QVariant(2));
        QCOMPARE(DeviceSettings::value(&item, QStringLiteral("threshold")), QVariant(150));
        QVERIFY(!DeviceSettings::value(&item, QStringLiteral("testMode")).isValid()); // files do not carry it

        QVERIFY(DeviceSettings::setValue(&item, QStringLiteral("threshold"), 42));
        QCOMPARE(item.settings.at(3)->valueText(), QStringLiteral("42"));
        QVERIFY(!item.settings.at(3)->isModified()); // no user edit
        QVERIFY(!DeviceSettings::setValue(&item, QStringLiteral("testMode"), 1));
    }

    void invertedBitsAndWritesAtEveryTime()
    {
        ExampleTilt item(record(16, 0x0100), false);
        EditorBench bench(item);
        PacketCapture capture(item);
        // Shift detection disabled (byte 6 bit 3), sensitivity 2; auto-fix not disabled.
        update(item, "f00300640000" "0a00" "00");
        QCOMPARE(texts(item.settings), QStringList({"Disabled", "Level 3", "Enabled"}));

        item.writeDeviceConfiguration(); // no setting edited
        QCOMPARE(capture.direct, QList<QByteArray>({hexBytes("660548000a00"), hexBytes("c005")}));

        capture.direct.clear();
        update(item, "f00300640000" "0a00" "00"); // the device restarted with them
        QVERIFY(bench.choose(item.settings.at(0), 1));
        QVERIFY(bench.choose(item.settings.at(2), 0));
        pressWrite(item);
        QCOMPARE(capture.direct.value(0), hexBytes("6605480002" "10"));
    }
};

QTEST_MAIN(DeviceDescriptionTest)
#include "tst_devicedescription.moc"

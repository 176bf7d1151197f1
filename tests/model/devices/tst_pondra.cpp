#include "devicebench.h"

#include "devicesettings.h"
#include "di_pondra.h"
#include "registerdeviceclasses.h"
#include "signtest.h"
#include "uiseams.h"
#include "widgetdevicewritesettings.h"

#include <QtTest>

#include <memory>

namespace {
template <class T>
std::unique_ptr<T> sign(int type, quint16 hardware = 0x0300)
{
    deviceInfo_t info = makeInfo(type);
    info.hardwareVersion = hardware;
    return std::make_unique<T>(info, false);
}

// A mains sign's 16 bytes: supply flags, external and battery millivolts,
// battery and line states, failure byte, display mode, brightness, wall
// control and the case and wall byte.
QByteArray mains(quint8 s0, quint16 external, quint16 battery, quint8 batteryState, quint8 line, quint8 failure,
                 quint8 mode, quint8 brightness, quint8 wall, quint8 caseAndWall)
{
    QByteArray state(16, '\0');
    state[0] = char(s0);
    state[4] = char(external & 0xFF);
    state[5] = char(external >> 8);
    state[6] = char(battery & 0xFF);
    state[7] = char(battery >> 8);
    state[8] = char(batteryState);
    state[9] = char(line);
    state[10] = char(failure);
    state[12] = char(mode);
    state[13] = char(brightness);
    state[14] = char(wall);
    state[15] = char(caseAndWall);
    return state;
}

const QByteArray dark = hexBytes("f0000000" "0000" "0000"); // battery sign, display off
const QByteArray lit = hexBytes("f0000000" "0001" "0000");  // display on
} // namespace

class PondraTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerDeviceModelNames();
        registerDeviceClasses();
        DeviceItem::setTimings(10, 10);
    }
    void cleanup() { UiSeams::setMessageBoxHook({}); }

    void batterySign_data()
    {
        QTest::addColumn<int>("hardware");
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<QStringList>("rows");   // Status rows, then "Emergency sign"
        QTest::addColumn<QStringList>("levels"); // case, detachment (when shown)
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("fault");
        QTest::addColumn<int>("outMask");

        QTest::newRow("on, detached with wall control on")
            << 0x0300 << hexBytes("f0000000" "0001" "0102")
            << QStringList{"Main battery state=Not inserted", "Reserve battery state=Good", "Condition of the case=Case is closed",
                           "Detachment from the wall=Detached", "Wall Control=On", "Emergency sign=On"}
            << QStringList{"0", "2"} << "Display: On" << true << 2;
        QTest::newRow("detached with wall control off: no fault level")
            << 0x0300 << hexBytes("f0000000" "0002" "0002")
            << QStringList{"Main battery state=Not inserted", "Reserve battery state=Good", "Condition of the case=Case is closed",
                           "Detachment from the wall=Detached", "Wall Control=Off", "Emergency sign=Off"}
            << QStringList{"0", "0"} << "Display: Off" << true << 0;
        QTest::newRow("case open, masked")
            << 0x0300 << hexBytes("f0000000" "0005" "0001")
            << QStringList{"Main battery state=Not inserted", "Reserve battery state=Good", "Condition of the case=Case is open",
                           "Detachment from the wall=Normal", "Wall Control=Off", "Emergency sign=Mask active: 5"}
            << QStringList{"2", "0"} << "Display: Mask active: 5" << true << 5;
        QTest::newRow("old hardware: no case and wall rows")
            << 0x0205 << hexBytes("d0000000" "4001" "0103")
            << QStringList{"Main battery state=Not inserted", "Reserve battery state=Low", "Emergency sign=Fail"}
            << QStringList{} << "Display: Fail, Fail, Reserve power failed" << true << 1;
        QTest::newRow("no state bytes") << 0x0300 << QByteArray()
                                        << QStringList{"Main battery state=Not inserted", "Reserve battery state=Low",
                                                       "Condition of the case=Case is closed",
                                                       "Detachment from the wall=Normal", "Wall Control=Off",
                                                       "Emergency sign=Off"}
                                        << QStringList{"0", "0"} << "Display: Off, Main power failed, Reserve power failed, Case open"
                                        << true << 0;
    }
    void batterySign()
    {
        QFETCH(int, hardware);
        QFETCH(QByteArray, state);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, levels);
        QFETCH(QString, status);
        QFETCH(bool, fault);
        QFETCH(int, outMask);

        const auto item = sign<DI_Pondra>(20, quint16(hardware));
        RecordingCollector collector;
        item->installInfoCollector(&collector);
        updateWith(*item, state);
        QStringList shown;
        for (QtProperty *property : propertyAt(*item, {"Status"})->subProperties())
            shown << property->propertyName() + QLatin1Char('=') + property->valueText();
        shown << QStringLiteral("Emergency sign=") + propertyAt(*item, {"Emergency sign"})->valueText();
        QCOMPARE(shown, rows);
        if (!levels.isEmpty())
            QCOMPARE(levelsOf(*item, {propertyAt(*item, {"Status", "Condition of the case"}),
                                      propertyAt(*item, {"Status", "Detachment from the wall"})}),
                     levels);
        QCOMPARE(item->data(DeviceRole::StatusText).toString(), status);
        QCOMPARE(item->hasFault(), fault);
        QCOMPARE(collector.valueOf("outMask").toInt(), outMask);
        QCOMPARE(item->hasFeature(1000), hardware >= 0x0300);
    }

    void mainsSign_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<QStringList>("power");  // the "Power" rows
        QTest::addColumn<QStringList>("levels"); // External source, Battery, Emergency sign, Detachment
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("fault");

        QTest::newRow("all well")
            << 50 << mains(0xE0, 24000, 12600, 3, 1, 0x00, 1, 100, 1, 0)
            << QStringList{"Ok", "24.0 V", "Ok", "12.6 V"} << QStringList{"0", "0", "0", "0"} << "Display: On" << false;
        QTest::newRow("charging battery is no fault")
            << 50 << mains(0xE0, 24000, 12600, 4, 1, 0x00, 0, 100, 1, 0)
            << QStringList{"Ok", "24.0 V", "Ok (charging)", "12.6 V"} << QStringList{"0", "0", "0", "0"}
            << "Display: Off, Battery: Ok (charging)" << false;
        QTest::newRow("low battery")
            << 50 << mains(0xE0, 24000, 10000, 1, 1, 0x00, 0, 100, 1, 0)
            << QStringList{"Ok", "24.0 V", "Low voltage", "10.0 V"} << QStringList{"0", "2", "0", "0"}
            << "Display: Off, Battery: Low voltage" << true;
        QTest::newRow("low line below 1000 mV reads as none")
            << 50 << mains(0xE0, 999, 12600, 3, 2, 0x00, 0, 100, 1, 0)
            << QStringList{"Not detected", "1.0 V", "Ok", "12.6 V"} << QStringList{"2", "0", "0", "0"}
            << "Display: Off, External power: Not detected" << true;
        QTest::newRow("low line at 1000 mV")
            << 50 << mains(0xE0, 1000, 12600, 3, 2, 0x00, 0, 100, 1, 0)
            << QStringList{"Low", "1.0 V", "Ok", "12.6 V"} << QStringList{"0", "0", "0", "0"}
            << "Display: Off, External power: Low" << false;
        QTest::newRow("failed display, case open and detached, wall control on")
            << 50 << mains(0xE0, 24000, 12600, 3, 1, 0x40, 1, 100, 1, 3)
            << QStringList{"Ok", "24.0 V", "Ok", "12.6 V"} << QStringList{"0", "0", "2", "2"}
            << "Display: Fail, Case open, Break away from the wall" << true;
        QTest::newRow("detached, wall control off")
            << 50 << mains(0xE0, 24000, 12600, 3, 1, 0x00, 1, 100, 0, 2)
            << QStringList{"Ok", "24.0 V", "Ok", "12.6 V"} << QStringList{"0", "0", "0", "0"} << "Display: On" << false;
        QTest::newRow("states beyond the names")
            << 50 << mains(0xE0, 24000, 12600, 9, 7, 0x00, 1, 100, 1, 0) << QStringList{"", "24.0 V", "", "12.6 V"}
            << QStringList{"0", "0", "0", "0"} << "Display: On, External power: , Battery: " << false;
        QTest::newRow("type 49 has no external voltage")
            << 49 << mains(0x60, 24000, 12600, 3, 1, 0x00, 1, 100, 1, 0) << QStringList{"Ok", "Ok", "12.6 V"}
            << QStringList{"0", "0", "0", "0"} << "Display: On" << false;
        QTest::newRow("no state bytes") << 50 << QByteArray() << QStringList{"Not detected", "0.0 V", "No battery", "0.0 V"}
                                        << QStringList{"0", "2", "0", "0"}
                                        << "Display: Off, External power: Not detected, Battery: No battery" << true;
    }
    void mainsSign()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, state);
        QFETCH(QStringList, power);
        QFETCH(QStringList, levels);
        QFETCH(QString, status);
        QFETCH(bool, fault);

        const auto item = sign<DI_Pondra_24_220>(type);
        updateWith(*item, state);
        QCOMPARE(texts(propertyAt(*item, {"Status", "Power"})->subProperties()), power);
        QCOMPARE(levelsOf(*item, {propertyAt(*item, {"Status", "Power", "External source"}),
                                  propertyAt(*item, {"Status", "Power", "Battery"}),
                                  propertyAt(*item, {"Emergency sign"}),
                                  propertyAt(*item, {"Status", "Detachment from the wall"})}),
                 levels);
        QCOMPARE(item->data(DeviceRole::StatusText).toString(), status);
        QCOMPARE(item->hasFault(), fault);
        if (type == 50) { // the external voltage shows as the internal one
            const int external = state.isEmpty() ? 0 : quint8(state.at(4)) | quint8(state.at(5)) << 8;
            QCOMPARE(item->data(DeviceRole::Charge).toString(), QString("%1 V").arg(external / 1000.0, 0, 'f', 1));
        }
    }

    void mainsTree()
    {
        const auto item = sign<DI_Pondra_24_220>(50);
        QCOMPARE(propertyNames(propertyAt(*item, {"Status"})->subProperties()),
                 QStringList({"Condition of the case", "Detachment from the wall", "Brightness", "Wall Control", "Power"}));
        QCOMPARE(propertyNames(propertyAt(*item, {"Status", "Power"})->subProperties()),
                 QStringList({"External source", "Voltage", "Battery", "Voltage"}));
        QVERIFY(qobject_cast<DI_AbstractRepeater *>(item.get()));
        QCOMPARE(item->fieldNames(),
                 QStringList({"bWallControl", "stateCase", "stateWall", "bExtState", "wExtVoltage", "bBatteryState",
                              "wBatteryVoltage", "rl", "gpRssi", "outMask", "bBrightness"}));
        QCOMPARE(DeviceItem::parameterKeyForType(49, "Board state"), QStringLiteral("outMask"));
        QVERIFY(item->isFeatureSupported(0));
        QVERIFY(!item->isFeatureSupported(1));
    }

    void brightnessFollowsTheNearestLevel()
    {
        const auto item = sign<DI_Pondra_24_220>(50);
        QtProperty *brightness = propertyAt(*item, {"Status", "Brightness"});
        const auto at = [&](quint8 level) {
            updateWith(*item, mains(0xE0, 24000, 12600, 3, 1, 0, 1, level, 1, 0));
            return brightness->valueText();
        };
        QCOMPARE(at(60), QStringLiteral("Medium"));
        QCOMPARE(at(10), QStringLiteral("Minimum"));
        QCOMPARE(at(30), QStringLiteral("Medium")); // near 10 and 50: the last wins
        QCOMPARE(at(75), QStringLiteral("Medium")); // near none: the editor keeps its value
        QVERIFY(item->isPropertyChanged(brightness)); // 50 is not what the device runs at
        QCOMPARE(at(100), QStringLiteral("Maximum"));
        QVERIFY(!item->isPropertyChanged(brightness));
    }

    void mainsWrites()
    {
        const auto item = sign<DI_Pondra_24_220>(50);
        updateWith(*item, mains(0xE0, 24000, 12600, 3, 1, 0, 1, 100, 1, 0));
        EditorBench bench(*item);
        PacketCapture capture(*item);
        pressWrite(*item);
        QVERIFY(capture.queued.isEmpty());

        QVERIFY(bench.choose(propertyAt(*item, {"Status", "Brightness"}), 1));
        QVERIFY(bench.choose(propertyAt(*item, {"Status", "Wall Control"}), 0));
        pressWrite(*item);
        QCOMPARE(capture.queued, QList<QByteArray>({hexBytes("6a05" "0005010132"), hexBytes("6a05" "00050101a0")}));
        capture.queued.clear();

        // The command slots, by name as the window calls them.
        QVERIFY(QMetaObject::invokeMethod(item.get(), "setBrightness", Q_ARG(int, -1)));
        QVERIFY(QMetaObject::invokeMethod(item.get(), "setBrightness", Q_ARG(int, 0)));
        QVERIFY(QMetaObject::invokeMethod(item.get(), "setBrightness", Q_ARG(int, 3)));
        QVERIFY(QMetaObject::invokeMethod(item.get(), "enableWallControl"));
        QVERIFY(QMetaObject::invokeMethod(item.get(), "disableWallControl"));
        QVERIFY(QMetaObject::invokeMethod(item.get(), "turnOn"));
        QVERIFY(QMetaObject::invokeMethod(item.get(), "turnOff"));
        QCOMPARE(capture.queued, QList<QByteArray>({hexBytes("6a05" "0005010164"), hexBytes("6a05" "000501010a"),
                                                    hexBytes("6a05" "0005010164"), hexBytes("6a05" "00050101a1"),
                                                    hexBytes("6a05" "00050101a0"), hexBytes("6a05" "0004010fff"),
                                                    hexBytes("6a05" "00040103ff")}));
    }

    void batteryWallControl()
    {
        const auto item = sign<DI_Pondra>(20);
        updateWith(*item, hexBytes("f0000000" "0001" "0000"));
        EditorBench bench(*item);
        PacketCapture capture(*item);
        QVERIFY(bench.choose(propertyAt(*item, {"Status", "Wall Control"}), 1));
        pressWrite(*item);
        QCOMPARE(capture.queued, QList<QByteArray>{hexBytes("6a05" "0005010101")});
        updateWith(*item, hexBytes("f0000000" "0001" "0100"));
        QVERIFY(!propertyAt(*item, {"Status", "Wall Control"})->isModified());
        QVERIFY(QMetaObject::invokeMethod(item.get(), "enableWallControl", Q_ARG(int, 0)));
        QCOMPARE(capture.queued.last(), hexBytes("6a05" "0005010100"));

        // Old hardware has no wall control to write.
        const auto old = sign<DI_Pondra>(20, 0x0205);
        updateWith(*old, hexBytes("f0000000" "0001" "0000"));
        PacketCapture oldCapture(*old);
        pressWrite(*old);
        QVERIFY(oldCapture.queued.isEmpty());
    }

    void signFileKeys()
    {
        QCOMPARE(DeviceSettings::keys(50), QStringList({"brightness", "wallControl"}));
        QCOMPARE(DeviceSettings::keys(49), QStringList());
        QCOMPARE(DeviceSettings::keys(20), QStringList());
        const auto mainsSign = sign<DI_Pondra_24_220>(50);
        updateWith(*mainsSign, mains(0xE0, 24000, 12600, 3, 1, 0, 1, 50, 1, 0));
        QCOMPARE(DeviceSettings::value(mainsSign.get(), "brightness"), QVariant(1));
        QCOMPARE(DeviceSettings::value(mainsSign.get(), "wallControl"), QVariant(1));
        QVERIFY(DeviceSettings::setValue(mainsSign.get(), "brightness", 2));
        QVERIFY(DeviceSettings::setValue(mainsSign.get(), "wallControl", 0));
        QCOMPARE(propertyAt(*mainsSign, {"Status", "Brightness"})->valueText(), QStringLiteral("Maximum"));
        QCOMPARE(propertyAt(*mainsSign, {"Status", "Wall Control"})->valueText(), QStringLiteral("Off"));
        const auto smallSign = sign<DI_Pondra_24_220>(49);
        QVERIFY(!DeviceSettings::value(smallSign.get(), "brightness").isValid());
        QVERIFY(!DeviceSettings::setValue(smallSign.get(), "wallControl", 1));
    }

    void signTestSwitchesTheDisplay_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("battery sign") << 20;
        QTest::newRow("mains sign") << 50;
    }
    void signTestSwitchesTheDisplay()
    {
        QFETCH(int, type);
        SignTest::setWatchdogInterval(60000);
        std::unique_ptr<DeviceItem> item;
        if (type == 20)
            item = sign<DI_Pondra>(type);
        else
            item = sign<DI_Pondra_24_220>(type);
        const QByteArray off = type == 20 ? dark : mains(0xE0, 24000, 12600, 3, 1, 0, 0, 100, 1, 0);
        const QByteArray on = type == 20 ? lit : mains(0xE0, 24000, 12600, 3, 1, 0, 1, 100, 1, 0);
        const QTimer &watchdog = type == 20 ? static_cast<DI_Pondra *>(item.get())->signTest()->watchdog()
                                            : static_cast<DI_Pondra_24_220 *>(item.get())->signTest()->watchdog();
        PacketCapture capture(*item);
        const QByteArray turnOn = hexBytes("6a05" "0004010fff");
        const QByteArray turnOff = hexBytes("6a05" "00040103ff");

        // Not testing: readings send nothing.
        updateWith(*item, off);
        QVERIFY(capture.queued.isEmpty());
        // Started while lit: nothing until the display is dark.
        item->executeAction(0);
        updateWith(*item, on);
        QVERIFY(capture.queued.isEmpty());
        QVERIFY(!watchdog.isActive());
        updateWith(*item, off);
        QCOMPARE(capture.queued, QList<QByteArray>{turnOn});
        QVERIFY(watchdog.isActive());
        updateWith(*item, off); // the command has not taken effect yet
        QCOMPARE(capture.queued.size(), 1);
        updateWith(*item, on);
        QCOMPARE(capture.queued, QList<QByteArray>({turnOn, turnOff}));
        updateWith(*item, off);
        QCOMPARE(capture.queued, QList<QByteArray>({turnOn, turnOff, turnOn}));

        item->executeAction(1);
        QVERIFY(!watchdog.isActive());
        // The mains sign is switched off at the end.
        QCOMPARE(capture.queued.size(), type == 20 ? 3 : 4);
        if (type == 50)
            QCOMPARE(capture.queued.last(), turnOff);
        updateWith(*item, on);
        QCOMPARE(capture.queued.size(), type == 20 ? 3 : 4);
    }

    void watchdogBoxes()
    {
        SignTest::setWatchdogInterval(30);
        auto item = sign<DI_Pondra_24_220>(50);
        const QByteArray off = mains(0xE0, 24000, 12600, 3, 1, 0, 0, 100, 1, 0);
        const QByteArray on = mains(0xE0, 24000, 12600, 3, 1, 0, 1, 100, 1, 0);
        const QByteArray turnOn = hexBytes("6a05" "0004010fff");
        const QByteArray turnOff = hexBytes("6a05" "00040103ff");
        PacketCapture capture(*item);
        int expiries = 0;
        connect(&item->signTest()->watchdog(), &QTimer::timeout, this, [&] { ++expiries; });

        QList<UiSeams::MessageBoxRequest> boxes;
        QByteArray repeated, expectedRepeat;
        UiSeams::setMessageBoxHook([&](const UiSeams::MessageBoxRequest &request) -> int {
            boxes << request;
            if (boxes.size() == 1) {
                // A further expiry while this box is open opens no box.
                const int seen = expiries;
                const bool expired = QTest::qWaitFor([&] { return expiries > seen; }, 5000);
                Q_UNUSED(expired)
            } else if (boxes.size() == 2) {
                // Each expiry turned the test around: after an odd number the
                // next dark reading repeats the switching on.
                const bool repeatOn = expiries % 2 == 1;
                updateWith(*item, repeatOn ? off : on);
                repeated = capture.queued.last();
                expectedRepeat = repeatOn ? turnOn : turnOff;
                item->executeAction(1);
            }
            return int(QMessageBox::Ok);
        });

        item->startTesting();
        updateWith(*item, off);
        QCOMPARE(capture.queued, QList<QByteArray>{turnOn});
        QVERIFY(QTest::qWaitFor([&] { return boxes.size() == 2; }, 5000));
        QVERIFY(expiries >= 3);
        QCOMPARE(repeated, expectedRepeat);
        QCOMPARE(capture.queued.size(), 3); // the repeat, then the end's switching off
        QCOMPARE(capture.queued.last(), turnOff);
        QCOMPARE(boxes.first().kind, UiSeams::MessageBoxRequest::Critical);
        QCOMPARE(boxes.first().title, QStringLiteral("Failed to change state"));
        QVERIFY(boxes.first().text.startsWith(QStringLiteral("Error occured: ")));
        QVERIFY(boxes.first().text.endsWith(QStringLiteral(".\nRetrying...")));
        QTest::qWait(100);
        QCOMPARE(boxes.size(), 2); // the test has ended

        // An item removed while its box is open is not touched afterwards.
        boxes.clear();
        UiSeams::setMessageBoxHook([&](const UiSeams::MessageBoxRequest &request) {
            boxes << request;
            item.reset();
            return int(QMessageBox::Ok);
        });
        item = sign<DI_Pondra_24_220>(50);
        item->startTesting();
        updateWith(*item, off);
        QVERIFY(QTest::qWaitFor([&] { return !item; }, 5000));
        QTest::qWait(100);
        QCOMPARE(boxes.size(), 1);
    }
};

QTEST_MAIN(PondraTest)
#include "tst_pondra.moc"

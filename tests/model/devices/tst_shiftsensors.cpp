// The shift sensors: the accelerometer model, the one with a reed switch
// beside it, and the reed-switch model.
#include "devicebench.h"

#include "deviceclasses.h"

#include "devicesettings.h"
#include "di_yolvik.h"
#include "qtpropertymanager.h"
#include "registerdeviceclasses.h"
#include "widgetdevicewritesettings.h"

#include <QtTest>

#include <memory>

namespace {
const QStringList shiftPath{"Shift sensor"};
const QStringList settingsPath{"Shift sensor", "Settings"};

std::unique_ptr<DeviceItem> item(int type, quint8 link = 2, quint8 address = 10)
{
    return std::unique_ptr<DeviceItem>(createDeviceItem(makeInfo(type, address, link), false));
}

QList<QtProperty *> settingRows(const DeviceItem &item)
{
    QList<QtProperty *> rows = propertyAt(item, settingsPath)->subProperties();
    rows << propertyAt(item, {"Auto fixate"});
    return rows;
}
} // namespace

class ShiftSensorsTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerDeviceModelNames();
        registerDeviceClasses();
        DeviceItem::setTimings(10, 10);
    }

    void tree()
    {
        const auto isp1 = item(24);
        QCOMPARE(QString::fromLatin1(isp1->metaObject()->className()), QStringLiteral("DI_Yolvik_ISP1"));
        QCOMPARE(propertyNames(isp1->topProperties()),
                 QStringList({"WD Type", "S/N", "Wireloop address", "Radio address", "Status", "Shift sensor", "Auto fixate"}));
        QCOMPARE(propertyNames(propertyAt(*isp1, shiftPath)->subProperties()), QStringList({"Tilt", "Shift", "Settings"}));
        QCOMPARE(propertyNames(settingRows(*isp1)), QStringList({"Shift detection", "Shift sensitivity", "Tilt detection",
                                                                 "Tilt sensitivity", "Auto fixate"}));
        QCOMPARE(propertyNames(propertyAt(*isp1, {"Status"})->subProperties()),
                 QStringList({"Case", "Main battery state"}));
        QList<int> ids;
        for (const DeviceAction &action : isp1->actions())
            if (action.id < 1000)
                ids << action.id;
        QCOMPARE(ids, QList<int>({0, 1, 2}));

        const auto yolvik = item(16);
        QCOMPARE(QString::fromLatin1(yolvik->metaObject()->className()), QStringLiteral("DI_Yolvik"));
        QCOMPARE(propertyNames(yolvik->topProperties()).mid(5), QStringList({"Shift sensor", "Auto fixate", "Gerkon"}));
        const auto isp2 = item(25);
        QCOMPARE(propertyNames(isp2->topProperties()).mid(5), QStringList({"Gerkon"}));
    }

    void accelerometerDecoding_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<QStringList>("shown"); // Tilt, Shift, four settings, Auto fixate
        QTest::addColumn<QList<int>>("levels"); // group, Tilt, Shift, Case, Main battery state
        QTest::addColumn<bool>("groupEnabled");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("alarm");
        QTest::addColumn<bool>("fault");
        QTest::newRow("quiet, all on") << 24 << hexBytes("f0020064000001050000")
                                       << QStringList{"not detected", "not detected", "Enabled", "High", "Enabled", "25°", "Enabled"}
                                       << QList<int>{0, 0, 0, 0, 0} << true << "Motion: not detected, Tilt: not detected, Normal"
                                       << false << false;
        QTest::newRow("shift and tilt, detections off")
            << 24 << hexBytes("e00200640003081f00")
            << QStringList{"detected", "detected", "Disabled", "Highest", "Disabled", "45°", "Disabled"}
            << QList<int>{1, 1, 1, 0, 0} << true << "Motion: detected, Tilt: detected" << true << false;
        QTest::newRow("accelerometer off, case open, low battery")
            << 24 << hexBytes("500000640000030300")
            << QStringList{"not detected", "not detected", "Enabled", "Low", "Enabled", "15°", "Enabled"}
            << QList<int>{0, 0, 0, 1, 2} << false
            << "Motion: not detected, Tilt: not detected, Reserve power failed, Case open" << false
            << true;
        QTest::newRow("shift sensitivity 6 has no name") << 24 << hexBytes("f00200640000060000")
                                                         << QStringList{"not detected", "not detected", "Enabled", "",
                                                                        "Enabled", "3°", "Enabled"}
                                                         << QList<int>{0, 0, 0, 0, 0} << true
                                                         << "Motion: not detected, Tilt: not detected, Normal" << false << false;
        QTest::newRow("reed model, link lost") << 16 << hexBytes("f00600640001000080")
                                               << QStringList{"not detected", "detected", "Enabled", "Highest", "Enabled", "3°",
                                                              "Enabled"}
                                               << QList<int>{1, 0, 1, 0, 0} << true << "Connection lost" << true << false;
    }
    void accelerometerDecoding()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, state);
        QFETCH(QStringList, shown);
        QFETCH(QList<int>, levels);
        QFETCH(bool, groupEnabled);
        QFETCH(QString, status);
        QFETCH(bool, alarm);
        QFETCH(bool, fault);
        const bool online = status != QStringLiteral("Connection lost");
        const auto sensor = item(type, online ? 2 : 1);
        sensor->updateState(sensor->deviceInfo(), state);
        QtProperty *group = propertyAt(*sensor, shiftPath);
        QtProperty *tilt = propertyAt(*sensor, shiftPath + QStringList{"Tilt"});
        QtProperty *shift = propertyAt(*sensor, shiftPath + QStringList{"Shift"});
        QCOMPARE(texts(QList<QtProperty *>{tilt, shift} + settingRows(*sensor)), shown);
        QList<int> actual;
        for (QtProperty *p : {group, tilt, shift, propertyAt(*sensor, {"Status", "Case"}),
                              propertyAt(*sensor, {"Status", "Main battery state"})})
            actual << int(sensor->propertyLevel(p));
        QCOMPARE(actual, levels);
        QCOMPARE(group->isEnabled(), groupEnabled);
        QVERIFY(propertyAt(*sensor, {"Auto fixate"})->isEnabled());
        QCOMPARE(sensor->data(DeviceRole::StatusText).toString(), status);
        QCOMPARE(sensor->hasAlarm(), alarm);
        QCOMPARE(sensor->hasFault(), fault);
    }

    void reedModel()
    {
        const auto yolvik = item(16, 2, 10);
        RecordingCollector collector;
        yolvik->installInfoCollector(&collector);
        yolvik->updateState(yolvik->deviceInfo(), hexBytes("f00400640000000080"));
        QtProperty *gerkon = propertyAt(*yolvik, {"Gerkon"});
        QCOMPARE(gerkon->valueText(), QStringLiteral("Alarm"));
        QCOMPARE(yolvik->propertyLevel(gerkon), quint32(DeviceItem::MarkAlarm));
        QVERIFY(gerkon->isEnabled());
        // The accelerometer's own bit decides its group, last.
        QVERIFY(!propertyAt(*yolvik, shiftPath)->isEnabled());
        QCOMPARE(yolvik->data(DeviceRole::StatusText).toString(),
                 QStringLiteral("Gerkon: Alarm, Motion: not detected, Tilt: not detected"));
        QCOMPARE(collector.keys.mid(0, 3), QStringList({"YOLVIKfAlarm", "YOLVIKbActiveZone", "Accelerometer"}));
        QCOMPARE(collector.valueOf("fAlarm"), QVariant(1));
        QCOMPARE(collector.valueOf("Accelerometer"), QVariant(0)); // the accelerometer's record comes last

        // One further Wireloop address, whatever the state says.
        QCOMPARE(yolvik->data(DeviceRole::ExtraAddresses).toInt(), 1);
        QCOMPARE(yolvik->addressText(), QStringLiteral("10, 11"));
        yolvik->updateState(yolvik->deviceInfo(), hexBytes("f00000640000000000"));
        QCOMPARE(yolvik->addressText(), QStringLiteral("10, 11"));
        const auto last = item(16, 2, 127);
        QCOMPARE(last->addressText(), QStringLiteral("127, *"));
        QCOMPARE(item(24)->addressText(), QStringLiteral("10"));

        // A reed alarm counts offline too.
        const auto offline = item(16, 1);
        offline->updateState(offline->deviceInfo(), hexBytes("f00000640000000080"));
        QVERIFY(offline->hasAlarm());
        QVERIFY(!offline->hasFault());
    }

    void reedSwitchOnly_data()
    {
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<int>("link");
        QTest::addColumn<QString>("gerkon");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("alarm");
        QTest::addColumn<bool>("fault");
        QTest::newRow("normal") << hexBytes("f002006400") << 2 << "Normal" << "Normal" << false << false;
        // The base text says "Normal": nothing more is said, as the model has it.
        QTest::newRow("reed alarm") << hexBytes("f002006480") << 2 << "Alarm" << "Reed switch: Alarm" << true << false;
        QTest::newRow("reed alarm, case open") << hexBytes("7002006480") << 2 << "Alarm" << "Reed switch: Alarm, Case open"
                                               << true << false;
        QTest::newRow("main power lost") << hexBytes("b002006400") << 2 << "Normal" << "Reed switch: Normal, Main power failed"
                                         << false << true;
        QTest::newRow("zone zero alarm") << hexBytes("f002806400") << 2 << "Normal" << "Reed switch: Normal" << true << false;
        QTest::newRow("offline zeros") << QByteArray() << 1 << "Normal" << "Connection lost" << false << true;
    }
    void reedSwitchOnly()
    {
        QFETCH(QByteArray, state);
        QFETCH(int, link);
        QFETCH(QString, gerkon);
        QFETCH(QString, status);
        QFETCH(bool, alarm);
        QFETCH(bool, fault);
        const auto isp2 = item(25, quint8(link));
        isp2->updateState(isp2->deviceInfo(), state);
        QCOMPARE(propertyAt(*isp2, {"Gerkon"})->valueText(), gerkon);
        QCOMPARE(isp2->data(DeviceRole::StatusText).toString(), status);
        QCOMPARE(isp2->hasAlarm(), alarm);
        QCOMPARE(isp2->hasFault(), fault);
    }

    void writesEverySetting()
    {
        for (int type : {24, 16}) {
            const auto sensor = item(type);
            EditorBench bench(*sensor);
            PacketCapture capture(*sensor);
            sensor->updateState(sensor->deviceInfo(), hexBytes("f00200640000030700"));
            // Every editor to its first value.
            const QList<QtProperty *> rows = settingRows(*sensor);
            for (QtProperty *row : rows)
                QVERIFY(bench.choose(row, 0));
            for (QtProperty *row : rows)
                QVERIFY(row->isModified());
            pressWrite(*sensor);
            QCOMPARE(capture.direct, QList<QByteArray>({hexBytes("6605480008" "18"), hexBytes("c005")}));
            QVERIFY(capture.queued.isEmpty());

            // The device reports them: the marks go.
            sensor->updateState(sensor->deviceInfo(), hexBytes("f00200640000081800"));
            for (QtProperty *row : rows)
                QVERIFY(!row->isModified());
            // A write without an edit still sends every setting.
            sensor->writeDeviceConfiguration();
            QCOMPARE(capture.direct.mid(2), QList<QByteArray>({hexBytes("6605480008" "18"), hexBytes("c005")}));
        }
    }

    void modifiedDetectionLosesMarkWhenDeviceAgrees()
    {
        const auto sensor = item(24);
        sensor->updateState(sensor->deviceInfo(), hexBytes("f00200640000080000"));
        EditorBench bench(*sensor);
        QtProperty *detection = settingRows(*sensor).first();
        QCOMPARE(detection->valueText(), QStringLiteral("Disabled"));
        QVERIFY(bench.choose(detection, 1));
        QVERIFY(detection->isModified());
        sensor->updateState(sensor->deviceInfo(), hexBytes("f00200640000080000"));
        QVERIFY(detection->isModified());
        sensor->updateState(sensor->deviceInfo(), hexBytes("f00200640000000000"));
        QVERIFY(!detection->isModified());
        QCOMPARE(detection->valueText(), QStringLiteral("Enabled"));
    }

    void actionsAndRecordedFields()
    {
        const auto sensor = item(24);
        PacketCapture capture(*sensor);
        for (int id : {0, 1, 2})
            sensor->executeAction(id);
        QCOMPARE(capture.queued, QList<QByteArray>({hexBytes("6a05000501020501"), hexBytes("6a0500010101"),
                                                    hexBytes("6a0500010100")}));

        RecordingCollector collector;
        sensor->installInfoCollector(&collector);
        sensor->updateState(sensor->deviceInfo(), hexBytes("f0020064800b1b1700"));
        const QStringList keys{"Accelerometer",        "Zone1fAlarm",          "Zone1fShift",
                               "Zone1fLean",           "Zone1shiftDisableDetection", "Zone1shiftSensitivity",
                               "Zone1tiltAutoFix",     "Zone1tiltDisableDetection",  "Zone1tiltSensitivity"};
        QCOMPARE(collector.keys.mid(0, keys.size()), keys);
        QCOMPARE(collector.values.mid(0, keys.size()), QVariantList({1, 1, 1, 1, 0, 3, 0, 1, 7}));
    }

    void listsAndFileKeys()
    {
        const QStringList isp1Fields{"gpCase",      "gpMainPwr",   "gpMainBattery",         "rl",
                                     "gpRssi",      "Accelerometer", "Zone1fAlarm",         "Zone1fShift",
                                     "Zone1shiftSensitivity", "Zone1shiftDisableDetection", "Zone1fLean",
                                     "Zone1tiltSensitivity", "Zone1tiltDisableDetection", "Zone1tiltAutoFix"};
        QCOMPARE(DeviceItem::fieldNamesForType(24), isp1Fields);
        QCOMPARE(DeviceItem::fieldNamesForType(16), isp1Fields + QStringList{"fAlarm"});
        QCOMPARE(DeviceItem::fieldNamesForType(25),
                 QStringList({"gpRssi", "gpMainPwr", "gpMainBattery", "rl", "gpCase", "fAlarm"}));
        for (int type : {16, 24, 25})
            QCOMPARE(item(type)->fieldNames(), DeviceItem::fieldNamesForType(type));
        QCOMPARE(DeviceItem::parameterTitleForType(16, QStringLiteral("fAlarm")), QStringLiteral("Gerkon alarm"));
        QVERIFY(DeviceItem::parameterTitleForType(24, QStringLiteral("fAlarm")).isEmpty());
        QCOMPARE(DeviceItem::parameterTitleForType(24, QStringLiteral("Accelerometer")), QStringLiteral("Shift sensor"));
        QCOMPARE(DeviceItem::parameterTitleForType(25, QStringLiteral("gpCase")), QStringLiteral("Case"));
        QVERIFY(DeviceItem::parameterTitleForType(25, QStringLiteral("gpCtrlCase")).isEmpty());

        const QStringList keys{"shiftDetection", "shiftSensitivity", "tiltDetection", "tiltSensitivity"};
        QCOMPARE(DeviceSettings::keys(24), keys);
        QCOMPARE(DeviceSettings::keys(16), keys);
        QVERIFY(DeviceSettings::keys(25).isEmpty());
        const auto yolvik = item(16);
        yolvik->updateState(yolvik->deviceInfo(), hexBytes("f00200640000021300"));
        QCOMPARE((QList<QVariant>{DeviceSettings::value(yolvik.get(), QStringLiteral("shiftDetection")),
                                  DeviceSettings::value(yolvik.get(), QStringLiteral("shiftSensitivity")),
                                  DeviceSettings::value(yolvik.get(), QStringLiteral("tiltDetection")),
                                  DeviceSettings::value(yolvik.get(), QStringLiteral("tiltSensitivity"))}),
                 QList<QVariant>({1, 2, 1, 3}));
        QVERIFY(!DeviceSettings::value(yolvik.get(), QStringLiteral("autoFixate")).isValid());
        auto *typed = qobject_cast<DI_Yolvik_ISP1 *>(yolvik.get());
        QVERIFY(typed);
        typed->setTiltSensitivity(7);
        typed->setShiftDetection(0);
        QCOMPARE(typed->tiltSensitivity(), 7);
        QCOMPARE(typed->shiftDetection(), 0);
        QVERIFY(!settingRows(*yolvik).at(3)->isModified());
    }
};

QTEST_MAIN(ShiftSensorsTest)
#include "tst_shiftsensors.moc"

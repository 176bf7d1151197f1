// The acoustic sensor: its working state, sensitivity and service texts,
// and the service commands of its actions.
#include "devicebench.h"

#include "deviceclasses.h"
#include "di_vuxo_isp1.h"
#include "registerdeviceclasses.h"

#include <QtTest>

#include <memory>

namespace {
std::unique_ptr<DI_Vuxo_ISP1> vuxo()
{
    return std::make_unique<DI_Vuxo_ISP1>(makeInfo(34), false);
}

// Head f0 (all well), then zone flags, byte 5, command and result.
QByteArray acoustic(quint8 head, quint8 flags, quint8 byte5, quint8 command, quint8 result)
{
    QByteArray state = hexBytes("f0030064");
    state[0] = char(head);
    return state + QByteArray(1, char(flags)) + char(byte5) + char(command) + char(result) + '\0';
}
} // namespace

class VuxoTest : public QObject
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
        QTest::addColumn<QStringList>("shown"); // Alarm, Sensor state, Sensitivity
        QTest::addColumn<QList<int>>("levels"); // Alarm, Case, Main battery state
        QTest::addColumn<QString>("status");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QString>("debug");
        QTest::addColumn<bool>("alarm");
        QTest::addColumn<bool>("fault");

        const QColor base; // the base's: none while nothing is wrong
        // Every row follows an active state with the sensitivity at "-6 dB".
        QTest::newRow("active") << acoustic(0xF0, 0, 0x02, 1, 1) << QStringList{"No alarm", "Active", "-12 dB"}
                                << QList<int>{0, 0, 0} << "Sensitivity: -12 dB, Normal" << base << "" << false << false;
        QTest::newRow("power save") << acoustic(0xF0, 0, 0x06, 1, 0) << QStringList{"No alarm", "Powersave", "-18 dB (min)"}
                                    << QList<int>{0, 0, 0} << "Powersave, Normal" << QColor(109, 144, 199) << ""
                                    << false << false;
        QTest::newRow("test mode") << acoustic(0xF0, 0, 0x01, 0x80, 7) << QStringList{"No alarm", "Test mode", "Max"}
                                   << QList<int>{0, 0, 0} << "Sensitivity: Max, Test mode, Normal"
                                   << QColor(90, 255, 90) << "Status:                7" << false << false;
        // Byte 6 = 1 with a byte 7 of neither state leaves the shown state; the power-save text reads byte 7 alone.
        QTest::newRow("state 1 with value 2") << acoustic(0xF0, 0, 0x04, 1, 2) << QStringList{"No alarm", "Active", "-6 dB"}
                                              << QList<int>{0, 0, 0} << "Sensitivity: -6 dB, Normal" << base << ""
                                              << false << false;
        QTest::newRow("alarm") << acoustic(0xF0, 0x80, 0x04, 0x86, 12) << QStringList{"Alarm", "Active", "-6 dB"}
                               << QList<int>{1, 0, 0} << "Sensitivity: -6 dB" << QColor(255, 180, 180) << "Cal.: 12" << true
                               << false;
        QTest::newRow("failure, supply down") << acoustic(0xD0, 0x40, 0x04, 0x87, 3)
                                              << QStringList{"Failure", "Active", "-6 dB"} << QList<int>{2, 0, 2}
                                              << "Sensitivity: -6 dB, Fail, Reserve power failed" << QColor(255, 234, 173)
                                              << "Cal. 1b:                3" << false << true;
        QTest::newRow("case open") << acoustic(0x70, 0, 0x04, 0xC1, 1) << QStringList{"No alarm", "Active", "-6 dB"}
                                   << QList<int>{0, 1, 0} << "Sensitivity: -6 dB, Case open" << QColor(255, 180, 180) << "En. Noise"
                                   << true << false;
        QTest::newRow("unknown command") << acoustic(0xF0, 0, 0x04, 0x42, 1) << QStringList{"No alarm", "Active", "-6 dB"}
                                         << QList<int>{0, 0, 0} << "Sensitivity: -6 dB, Normal" << base << "" << false
                                         << false;
        // No state: the working state stays, the rest reads zero.
        QTest::newRow("no state bytes") << QByteArray() << QStringList{"No alarm", "Active", "Max"}
                                        << QList<int>{0, 1, 2}
                                        << "Powersave, Alarm, Main power failed, Reserve power failed, Case open"
                                        << QColor(109, 144, 199) << "No command" << true << true;
    }
    void decoding()
    {
        QFETCH(QByteArray, state);
        QFETCH(QStringList, shown);
        QFETCH(QList<int>, levels);
        QFETCH(QColor, colour);

        const auto item = vuxo();
        item->updateState(item->deviceInfo(), acoustic(0xF0, 0, 0x04, 1, 1));
        item->updateState(item->deviceInfo(), state);

        QCOMPARE(texts(propertyAt(*item, {"Acoustic sensor"})->subProperties()), shown);
        QList<int> actual;
        for (QtProperty *property : {propertyAt(*item, {"Acoustic sensor", "Alarm"}), propertyAt(*item, {"Status", "Case"}),
                                     propertyAt(*item, {"Status", "Main battery state"})})
            actual << int(item->propertyLevel(property));
        QCOMPARE(actual, levels);
        QTEST(item->data(DeviceRole::StatusText).toString(), "status");
        QCOMPARE(item->data(Qt::BackgroundRole).value<QColor>(), colour);
        QTEST(item->debugText(), "debug");
        QCOMPARE(item->debugStateText(), QStringLiteral("%1").arg(state.size() > 5 ? quint8(state.at(5)) : 0, 8, 2, QLatin1Char('0')));
        QTEST(item->hasAlarm(), "alarm");
        QTEST(item->hasFault(), "fault");
    }

    void offline()
    {
        const auto item = vuxo();
        deviceInfo_t info = item->deviceInfo();
        info.linkState = 1;
        item->updateState(info, acoustic(0x70, 0x80, 0x01, 1, 1));
        QCOMPARE(item->data(DeviceRole::StatusText).toString(), QStringLiteral("Connection lost"));
        QCOMPARE(item->data(Qt::BackgroundRole).value<QColor>(), QColor(210, 210, 210));
        QVERIFY(!item->hasAlarm() && !item->hasFault());
    }

    void recordedFields()
    {
        const auto item = vuxo();
        RecordingCollector collector;
        item->installInfoCollector(&collector);
        item->updateState(item->deviceInfo(), acoustic(0xF0, 0x80, 0x35, 1, 1)); // test, -6 dB, fault, interference
        QCOMPARE(collector.keys.mid(0, 6),
                 QStringList({"sensorState", "fTest", "btfSensitivity", "fFault", "fAlarm", "fInterference"}));
        QCOMPARE(collector.values.mid(0, 6), QVariantList({2, 1, 2, 1, 1, 1}));
        collector.reset();
        item->updateState(item->deviceInfo(), acoustic(0xF0, 0, 0x00, 0x80, 1));
        QCOMPARE(collector.values.first(), QVariant(1)); // active by byte 7, whatever byte 6 says
    }

    void serviceCommands()
    {
        const auto item = vuxo();
        QCOMPARE(item->actions().mid(0, 2),
                 QList<DeviceAction>({{7, QStringLiteral("Disable test mode")}, {8, QStringLiteral("Enable test mode")}}));
        PacketCapture capture(*item);
        for (int id : {8, 0, 5, 7, 9})
            item->executeAction(id);
        // Action 9 is the base's: none of this class's commands.
        QCOMPARE(capture.queued, QList<QByteArray>({hexBytes("6a0500050101c3"), hexBytes("6a050005010180"),
                                                    hexBytes("6a0500050101c0"), hexBytes("6a0500050101c2")}));
        QVERIFY(capture.direct.isEmpty());
    }

    void lists()
    {
        const QStringList fields{"gpCase", "gpMainPwr", "gpMainBattery", "rl", "gpRssi", "fAlarm", "sensorState",
                                 "fInterference", "btfSensitivity", "fFault"};
        QCOMPARE(vuxo()->fieldNames(), fields);
        QCOMPARE(DeviceItem::fieldNamesForType(34), fields);
        QCOMPARE(DeviceItem::parameterTitleForType(34, "fFault"), QStringLiteral("Sensor fault"));
        QVERIFY(DeviceItem::parameterTitleForType(34, "reservPwrState").isEmpty());
        QCOMPARE(propertyNames(propertyAt(*vuxo(), {"Status"})->subProperties()),
                 QStringList({"Case", "Main battery state"}));
    }
};

QTEST_MAIN(VuxoTest)
#include "tst_vuxo.moc"

#include "devicebench.h"

#include "di_drovi.h"
#include "di_hoxel.h"
#include "di_jorvu.h"
#include "di_vindrak.h"
#include "registerdeviceclasses.h"
#include "widgetdevicewritesettings.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {
template <class T>
std::unique_ptr<T> device(int type, quint16 firmware = 0x0105, quint16 hardware = 0x020A, quint8 build = 7)
{
    deviceInfo_t info = makeInfo(type);
    info.firmwareVersion = firmware;
    info.hardwareVersion = hardware;
    info.buildNumber = build;
    return std::make_unique<T>(info, false);
}

QStringList names(const QList<QtProperty *> &properties)
{
    return propertyNames(properties);
}
} // namespace

class OutputDevicesTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerDeviceModelNames();
        registerDeviceClasses();
        DeviceItem::setTimings(10, 10);
    }

    // ------------------------------------------------------------ sounder

    void sounder_data()
    {
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<QStringList>("outs");   // Light out, Sound out
        QTest::addColumn<QStringList>("levels"); // the same
        QTest::addColumn<QList<int>>("codes");   // lightOut, soundOut
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("fault");

        QTest::newRow("light on, sound masked") << hexBytes("f0000000" "0041" "0045") << QStringList{"On", "Mask active: 5"}
                                                << QStringList{"0", "0"} << QList<int>{2, 5}
                                                << "Light: On   Sound: Mask active: 5   Normal" << false;
        QTest::newRow("light failed") << hexBytes("f0000000" "4041" "0042") << QStringList{"Fail", "Off"}
                                      << QStringList{"2", "0"} << QList<int>{1, 0}
                                      << "Light: Fail   Sound: Off" << true;
        QTest::newRow("failure of an output not enabled") << hexBytes("f0000000" "4001" "4000")
                                                          << QStringList{"Off", "Off"} << QStringList{"2", "2"}
                                                          << QList<int>{0, 0} << "Light: Off   Sound: Off   Fail"
                                                          << true;
        QTest::newRow("case open, supply trouble") << hexBytes("50000000" "0041" "0041") << QStringList{"On", "On"}
                                                   << QStringList{"0", "0"} << QList<int>{2, 2}
                                                   << "Light: On   Sound: On   Reserve power failed, Case open" << true;
    }
    void sounder()
    {
        QFETCH(QByteArray, state);
        QFETCH(QStringList, outs);
        QFETCH(QStringList, levels);
        QFETCH(QList<int>, codes);
        QFETCH(QString, status);
        QFETCH(bool, fault);
        const auto item = device<DI_Hoxel>(7);
        RecordingCollector collector;
        item->installInfoCollector(&collector);
        updateWith(*item, state);
        const QList<QtProperty *> rows = propertyAt(*item, {"Outs"})->subProperties();
        QCOMPARE(texts(rows), outs);
        QCOMPARE(levelsOf(*item, rows), levels);
        QCOMPARE((QList<int>{collector.valueOf("lightOut").toInt(), collector.valueOf("soundOut").toInt()}), codes);
        QCOMPARE(item->data(DeviceRole::StatusText).toString(), status);
        QCOMPARE(item->hasFault(), fault);
    }

    void zonesHandlerByVersion_data()
    {
        QTest::addColumn<int>("firmware");
        QTest::addColumn<int>("hardware");
        QTest::addColumn<int>("build");
        QTest::addColumn<bool>("shown");
        QTest::newRow("1.11 build 103") << 0x010B << 0x0200 << 103 << false;
        QTest::newRow("1.11 build 104") << 0x010B << 0x0200 << 104 << true;
        QTest::newRow("1.12 build 1") << 0x010C << 0x0200 << 1 << true;
        QTest::newRow("hardware 1.x") << 0x0201 << 0x0105 << 200 << false;
    }
    void zonesHandlerByVersion()
    {
        QFETCH(int, firmware);
        QFETCH(int, hardware);
        QFETCH(int, build);
        QFETCH(bool, shown);
        const auto item = device<DI_Hoxel>(7, quint16(firmware), quint16(hardware), quint8(build));
        QSignalSpy rebuilt(item.get(), &DeviceItem::updateProperties);
        updateWith(*item, hexBytes("f2000000" "0041" "0041"));
        QCOMPARE(names(item->topProperties()).contains("Zones handler"), shown);
        QCOMPARE(item->isFeatureSupported(2), shown);
        QCOMPARE(rebuilt.count(), shown ? 1 : 0);
        if (shown)
            QCOMPARE(propertyAt(*item, {"Zones handler"})->valueText(), QStringLiteral("United"));
    }

    void zonesHandlerComesAndGoes()
    {
        const auto item = device<DI_Hoxel>(7, 0x010C);
        EditorBench bench(*item);
        PacketCapture capture(*item);
        QSignalSpy rebuilt(item.get(), &DeviceItem::updateProperties);
        updateWith(*item, hexBytes("f0000000" "0041" "0041"));
        QtProperty *zones = propertyAt(*item, {"Zones handler"});
        QVERIFY(zones);
        QCOMPARE(zones->valueText(), QStringLiteral("Separated"));

        // Sent at every write, edited or not (the window calls the slot).
        QVERIFY(QMetaObject::invokeMethod(item.get(), "writeDeviceConfiguration"));
        QCOMPARE(capture.queued, QList<QByteArray>{hexBytes("6a05" "000501020100")});
        updateWith(*item, hexBytes("f0000000" "0041" "0041"));
        bench.browser().addProperty(zones);
        QVERIFY(bench.choose(zones, 1));
        QVERIFY(item->isPropertyChanged(zones));
        QVERIFY(item->isConfigurationChanged());
        pressWrite(*item);
        QCOMPARE(capture.queued.last(), hexBytes("6a05" "000501020101"));

        // New firmware without the feature: the setting goes, writes send nothing.
        deviceInfo_t older = item->deviceInfo();
        older.firmwareVersion = 0x010A;
        item->updateState(older, hexBytes("f0000000" "0041" "0041"));
        QVERIFY(!names(item->topProperties()).contains("Zones handler"));
        QCOMPARE(rebuilt.count(), 2);
        QVERIFY(!item->isConfigurationChanged());
        QVERIFY(!item->isPropertyChanged(zones));
        const int sent = capture.queued.size();
        QVERIFY(QMetaObject::invokeMethod(item.get(), "writeDeviceConfiguration"));
        QCOMPARE(capture.queued.size(), sent);
        QCOMPARE(panelOf(*item)->state(), int(WidgetDeviceWriteSettings::WritingSettings));

        // And it comes back with a firmware that has it.
        deviceInfo_t newer = item->deviceInfo();
        newer.firmwareVersion = 0x010C;
        item->updateState(newer, hexBytes("f2000000" "0041" "0041"));
        QVERIFY(names(item->topProperties()).contains("Zones handler"));
        QCOMPARE(rebuilt.count(), 3);
    }

    // ------------------------------------------------------------ light and sound

    void lightAndSound_data()
    {
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<int>("link");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("fault");

        QTest::newRow("normal") << hexBytes("f200" "b80b" "540b" "0303" "00" "01" "0f" "00" "02" "00") << 2
                                << QStringList{"Normal", "Normal", "3000 mV", "2900 mV", "United", "On", "15", "Off", "0"}
                                << "Light: On   Sound: Off   Normal" << false;
        QTest::newRow("one battery low, case closed")
            << hexBytes("f000" "b80b" "540b" "0302" "40" "07" "03" "40" "01" "05") << 2
            << QStringList{"Normal", "Low", "3000 mV", "2900 mV", "Separated", "Fail", "3", "Fail", "5"}
            << "Light: Fail   Sound: Fail" << true;
        QTest::newRow("battery state beyond the names")
            << hexBytes("f000" "0000" "0000" "0503" "00" "09" "00" "00" "00" "00") << 2
            << QStringList{"", "Normal", "0 mV", "0 mV", "Separated", "Mask active: 9", "0", "Off", "0"}
            << "Light: Mask active: 9   Sound: Off" << true;
        QTest::newRow("off line, case open") << hexBytes("7000" "0000" "0000" "0303" "00" "00" "00" "00" "00" "00") << 1
                                             << QStringList{"Normal", "Normal", "0 mV", "0 mV", "Separated", "Off", "0",
                                                            "Off", "0"}
                                             << "Connection lost" << true;
    }
    void lightAndSound()
    {
        QFETCH(QByteArray, state);
        QFETCH(int, link);
        QFETCH(QStringList, rows);
        QFETCH(QString, status);
        QFETCH(bool, fault);
        const auto item = device<DI_Vindrak>(70);
        updateWith(*item, state, quint8(link));
        QCOMPARE(texts(item->topProperties().mid(5)), rows);
        QCOMPARE(item->data(DeviceRole::StatusText).toString(), status);
        QCOMPARE(item->hasFault(), fault);
        QCOMPARE(item->propertyLevel(propertyAt(*item, {"Reserve battery state"})),
                 rows.at(1) == "Normal" ? 0u : quint32(DeviceItem::MarkFault));
    }

    void lightAndSoundTree()
    {
        const auto item = device<DI_Vindrak>(70);
        QCOMPARE(names(item->topProperties().mid(5)),
                 QStringList({"Main battery state", "Reserve battery state", "Main voltage", "Reserve voltage",
                              "Notification handler", "Light notification", "Brightness", "Sound notification",
                              "Volume"}));
        QCOMPARE(names(propertyAt(*item, {"Status"})->subProperties()), QStringList{"Case"});
        // Only what the state tells of the two notifications is offered, and
        // every one of it is recorded.
        QCOMPARE(item->fieldNames().mid(11),
                 QStringList({"Zone1fFail", "Zone1btfOutMask", "Zone2fFail", "Zone2btfOutMask"}));
        RecordingCollector collector;
        item->installInfoCollector(&collector);
        updateWith(*item, hexBytes("f200" "b80b" "540b" "0303" "00" "05" "0f" "40" "02" "00"));
        QList<int> recorded;
        for (const QString &key : item->fieldNames().mid(11))
            recorded << collector.valueOf(key).toInt();
        QCOMPARE(recorded, (QList<int>{0, 5, 1, 2}));
    }

    void lightAndSoundWrites()
    {
        const auto item = device<DI_Vindrak>(70);
        const QByteArray state = hexBytes("f000" "b80b" "540b" "0303" "00" "01" "0f" "00" "02" "00");
        updateWith(*item, state);
        EditorBench bench(*item);
        PacketCapture capture(*item);
        // Nothing edited: sent all the same.
        QVERIFY(QMetaObject::invokeMethod(item.get(), "writeDeviceConfiguration"));
        QCOMPARE(capture.queued, QList<QByteArray>{hexBytes("6a05" "0005010401" "000f00")});

        updateWith(*item, state);
        QtProperty *volume = propertyAt(*item, {"Volume"});
        QtProperty *handler = propertyAt(*item, {"Notification handler"});
        QVERIFY(bench.choose(volume, 7));
        // Each setting answers for the whole configuration.
        QVERIFY(item->isPropertyChanged(handler));
        updateWith(*item, state);
        QCOMPARE(volume->valueText(), QStringLiteral("7"));
        pressWrite(*item);
        QCOMPARE(capture.queued.last(), hexBytes("6a05" "0005010401" "000f07"));
        QByteArray taken = state;
        taken[13] = 7;
        updateWith(*item, taken);
        QVERIFY(!volume->isModified());
        QVERIFY(!item->isPropertyChanged(handler));
    }

    // ------------------------------------------------------------ voice alert

    void voiceAlert_data()
    {
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<QString>("voice");
        QTest::addColumn<QString>("wall");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("fault");
        // The values of fieldNames after the base keys, in order: Zone1fFail,
        // Zone1btfOutMask, Zone1fMaskActive, Zone1fOutActive, Zone1fWallControl.
        QTest::addColumn<QList<int>>("fields");
        QTest::newRow("mask 63") << hexBytes("f0000000" "00" "7f" "01") << "Mask active: 63" << "On"
                                 << "Voice alert: Mask active: 63   Normal" << false << QList<int>{0, 63, 1, 1, 1};
        QTest::newRow("not active whatever the mode") << hexBytes("f0000000" "40" "03" "00") << "Off" << "Off"
                                                      << "Voice alert: Off   Fail" << false
                                                      << QList<int>{1, 3, 0, 0, 0};
        QTest::newRow("on, supply trouble") << hexBytes("d0000000" "00" "41" "00") << "On" << "Off"
                                            << "Voice alert: On   Reserve power failed" << true
                                            << QList<int>{0, 1, 0, 1, 0};
    }
    void voiceAlert()
    {
        QFETCH(QByteArray, state);
        QFETCH(QString, voice);
        QFETCH(QString, wall);
        QFETCH(QString, status);
        QFETCH(bool, fault);
        QFETCH(QList<int>, fields);
        const auto item = device<DI_Drovi>(65);
        RecordingCollector collector;
        item->installInfoCollector(&collector);
        updateWith(*item, state);
        QCOMPARE(propertyAt(*item, {"Voice alert"})->valueText(), voice);
        QCOMPARE(propertyAt(*item, {"Status", "Wall Control"})->valueText(), wall);
        QCOMPARE(item->data(DeviceRole::StatusText).toString(), status);
        QCOMPARE(item->hasFault(), fault);
        QList<int> recorded;
        for (const QString &key : item->fieldNames().mid(11)) {
            QVERIFY2(collector.keys.contains(key), qPrintable(key));
            recorded << collector.valueOf(key).toInt();
        }
        QCOMPARE(recorded, fields);
    }

    void voiceAlertWallControl()
    {
        const auto item = device<DI_Drovi>(65);
        updateWith(*item, hexBytes("f0000000" "00" "41" "00"));
        EditorBench bench(*item);
        PacketCapture capture(*item);
        QVERIFY(QMetaObject::invokeMethod(item.get(), "writeDeviceConfiguration"));
        QVERIFY(capture.queued.isEmpty());
        QCOMPARE(panelOf(*item)->state(), int(WidgetDeviceWriteSettings::WritingSettings));
        updateWith(*item, hexBytes("f0000000" "00" "41" "00"));
        QtProperty *wall = propertyAt(*item, {"Status", "Wall Control"});
        QVERIFY(bench.choose(wall, 1));
        QVERIFY(item->isPropertyChanged(wall));
        pressWrite(*item);
        QCOMPARE(capture.queued, QList<QByteArray>{hexBytes("6a05" "00050101a1")});
        updateWith(*item, hexBytes("f0000000" "00" "41" "01"));
        QVERIFY(!wall->isModified());
    }

    // ------------------------------------------------------------ two outputs

    void twoOutputs_data()
    {
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<QStringList>("outs");
        QTest::addColumn<QStringList>("levels");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("fault");
        QTest::newRow("mask 3 and on") << hexBytes("f0000064" "0300" "0100") << QStringList{"Mask active: 3", "On"}
                                       << QStringList{"0", "0"} << "Normal, Out #1: Mask active: 3, Out #2: On" << false;
        QTest::newRow("failure before short circuit, cut")
            << hexBytes("f0000064" "4080" "0240") << QStringList{"Fail", "Cut"} << QStringList{"2", "2"}
            << "Fail, Out #1: Fail, Out #2: Cut" << true;
        QTest::newRow("short circuit") << hexBytes("f0000064" "0080" "0000") << QStringList{"Short circuit", "Off"}
                                       << QStringList{"2", "0"} << "Out #1: Short circuit, Out #2: Off" << true;
        QTest::newRow("no state bytes") << QByteArray() << QStringList{"Off", "Off"} << QStringList{"0", "0"}
                                        << "Main power failed, Reserve power failed, Case open, Out #1: Off, Out #2: Off" << true;
    }
    void twoOutputs()
    {
        QFETCH(QByteArray, state);
        QFETCH(QStringList, outs);
        QFETCH(QStringList, levels);
        QFETCH(QString, status);
        QFETCH(bool, fault);
        const auto item = device<DI_Jorvu>(23);
        RecordingCollector collector;
        item->installInfoCollector(&collector);
        updateWith(*item, state);
        QtProperty *out1 = propertyAt(*item, {"Out 1 state"});
        QtProperty *out2 = propertyAt(*item, {"Out 2 state"});
        QCOMPARE(texts({out1, out2}), outs);
        QCOMPARE(levelsOf(*item, {out1, out2}), levels);
        QCOMPARE(item->data(DeviceRole::StatusText).toString(), status);
        QCOMPARE(item->hasFault(), fault);
        QVERIFY(!item->hasAlarm());
        QCOMPARE(collector.keys.mid(0, 8),
                 QStringList({"Zone1btfOutMask", "Zone1fFail", "Zone1fCut", "Zone1fShortCircuit", "Zone2btfOutMask",
                              "Zone2fFail", "Zone2fCut", "Zone2fShortCircuit"}));
    }
};

QTEST_MAIN(OutputDevicesTest)
#include "tst_outputdevices.moc"

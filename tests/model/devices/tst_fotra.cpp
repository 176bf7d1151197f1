#include "devicebench.h"

#include "devicesettings.h"
#include "di_fotra.h"
#include "registerdeviceclasses.h"
#include "widgetdevicewritesettings.h"

#include <QtTest>

#include <memory>

namespace {
template <class T>
std::unique_ptr<T> relay(int type, quint16 hardware = 0x020A)
{
    deviceInfo_t info = makeInfo(type);
    info.hardwareVersion = hardware;
    return std::make_unique<T>(info, false);
}

// The "Relay" rows shown, and the text of "Cable state" when it is among them.
QStringList relayRows(const DeviceItem &item)
{
    QStringList rows;
    for (QtProperty *property : propertyAt(item, {"Relay"})->subProperties())
        rows << property->propertyName() + QLatin1Char('=') + property->valueText();
    return rows;
}
} // namespace

class FotraTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerDeviceModelNames();
        registerDeviceClasses();
        DeviceItem::setTimings(10, 10);
    }

    void relayModule_data()
    {
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<QString>("external");
        QTest::addColumn<QStringList>("relay");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("alarm");
        QTest::addColumn<bool>("fault");

        QTest::newRow("cable ok, outputs on and masked")
            << hexBytes("e1080001" "0103" "032a") << "Not controlled"
            << QStringList{"Out 1=On", "Out 2=Active mask: 3", "Cable mode=Cable", "Cable state=Ok (42)"}
            << "Out 1: On, Out 2: Active mask: 3, Cable: Ok (42), No alarm" << false << false;
        QTest::newRow("external main supply: bits 5 and 6 exchanged, battery gone")
            << hexBytes("c30800000000" "0300") << "Plugged"
            << QStringList{"Out 1=Off", "Out 2=Off", "Cable mode=Cable", "Cable state=Ok (0)"}
            << "Out 1: Off, Out 2: Off, Battery unplugged, Cable: Ok (0), No alarm" << false << true;
        QTest::newRow("external main supply unplugged")
            << hexBytes("a30800000000" "0300") << "Unplugged"
            << QStringList{"Out 1=Off", "Out 2=Off", "Cable mode=Cable", "Cable state=Ok (0)"}
            << "Out 1: Off, Out 2: Off, External power low, Cable: Ok (0), No alarm" << false << true;
        QTest::newRow("cable infringement")
            << hexBytes("e10800000200" "0207") << "Not controlled"
            << QStringList{"Out 1=Off", "Out 2=Off", "Cable mode=Cable", "Cable state=Infringement 1 (7)"}
            << "Out 1: Off, Out 2: Off, Cable: Infringement 1 (7), Alarm" << true << false;
        QTest::newRow("cable cut, case open")
            << hexBytes("610800000000" "0500") << "Not controlled"
            << QStringList{"Out 1=Off", "Out 2=Off", "Cable mode=Cable", "Cable state=Cut (0)"}
            << "Out 1: Off, Out 2: Off, Cable: Cut (0), Case open" << false << true;
        QTest::newRow("cable state without a name")
            << hexBytes("e10800000000" "0705") << "Not controlled"
            << QStringList{"Out 1=Off", "Out 2=Off", "Cable mode=Cable", "Cable state= (5)"}
            << "Out 1: Off, Out 2: Off, Cable:  (5), No alarm" << false << false;
        QTest::newRow("third input as a button")
            << hexBytes("e10000000000" "0200") << "Not controlled" << QStringList{"Out 1=Off", "Out 2=Off", "Cable mode=Button"}
            << "Out 1: Off, Out 2: Off, Alarm" << true << false;
        QTest::newRow("third input disabled") << hexBytes("e00800000000" "0000") << "Not controlled"
                                              << QStringList{"Out 1=Off", "Out 2=Off", "Cable mode=Disabled"}
                                              << "Out 1: Off, Out 2: Off, No alarm" << false << false;
    }
    void relayModule()
    {
        QFETCH(QByteArray, state);
        QFETCH(QString, external);
        QFETCH(QStringList, relay);
        QFETCH(QString, status);
        QFETCH(bool, alarm);
        QFETCH(bool, fault);

        const auto item = ::relay<DI_Fotra>(14);
        updateWith(*item, state);
        QCOMPARE(propertyAt(*item, {"Status", "External source"})->valueText(), external);
        QCOMPARE(relayRows(*item), relay);
        QCOMPARE(item->data(DeviceRole::StatusText).toString(), status);
        QCOMPARE(item->hasAlarm(), alarm);
        QCOMPARE(item->hasFault(), fault);
    }

    void exchangedByteReachesTheBase()
    {
        const auto item = relay<DI_Fotra>(14);
        RecordingCollector collector;
        item->installInfoCollector(&collector);
        // Bit 1 set, bit 6 set, bit 5 clear as the device sends it.
        updateWith(*item, hexBytes("c2000064" "00000000"));
        QCOMPARE(quint8(item->stateBlock().at(0)), quint8(0xA2));
        QCOMPARE(item->stateBlock().mid(1), hexBytes("000064" "00000000"));
        QCOMPARE(collector.valueOf("gpMainPwr").toInt(), 0);
        QCOMPARE(collector.valueOf("extLineState").toInt(), 1);
        QCOMPARE(item->propertyLevel(propertyAt(*item, {"Status", "Main battery state"})), quint32(DeviceItem::MarkFault));
        // Without bit 1 the reading goes to the base as it came.
        updateWith(*item, hexBytes("c0000064" "00000000"));
        QCOMPARE(item->stateBlock(), hexBytes("c0000064" "00000000"));
    }

    void recordedOutputsAndKeptBytes()
    {
        const auto item = relay<DI_Fotra>(14);
        RecordingCollector collector;
        item->installInfoCollector(&collector);
        updateWith(*item, hexBytes("e1080000" "4102" "0409"));
        QCOMPARE(collector.valueOf("Zone1fOutActive").toInt(), 1); // flagged
        QCOMPARE(collector.valueOf("Zone2fOutActive").toInt(), 0); // off
        QCOMPARE(collector.valueOf("Zone3btfTrainState").toInt(), 2);
        QCOMPARE(collector.valueOf("Zone3Mode").toInt(), 4);
        // No state bytes: s0-s4 go, s5-s7 stay.
        collector.reset();
        updateWith(*item, QByteArray());
        QCOMPARE(collector.valueOf("Zone2fOutActive").toInt(), 0);
        QCOMPARE(collector.valueOf("Zone3btfTrainState").toInt(), 0);
        QVERIFY(!collector.keys.contains("Zone3Mode"));
        QVERIFY(item->hasAlarm()); // cable state 4 kept
    }

    void oldHardware()
    {
        const auto item = relay<DI_Fotra>(14, 0x0105);
        updateWith(*item, hexBytes("e00800000000" "0300"));
        QCOMPARE(relayRows(*item), QStringList({"Out 1=Off", "Out 2=Off", "Cable state=Ok (0)"}));
        // The mode comes from s1 bit 3 alone.
        updateWith(*item, hexBytes("e00000000000" "0300"));
        QCOMPARE(relayRows(*item), QStringList({"Out 1=Off", "Out 2=Off"}));
        QCOMPARE(DeviceSettings::value(item.get(), "enabledCable"), QVariant(true));
    }

    void writes_data()
    {
        QTest::addColumn<int>("mainSource"); // -1: untouched
        QTest::addColumn<int>("cableMode");
        QTest::addColumn<QList<QByteArray>>("direct");
        using Packets = QList<QByteArray>;
        QTest::newRow("cable mode") << -1 << 2 << Packets{hexBytes("6a0500050301" "02")};
        QTest::newRow("main source alone") << 1 << -1 << Packets{hexBytes("660549" "0001"), hexBytes("c005")};
        QTest::newRow("both: cable first")
            << 1 << 0 << Packets{hexBytes("6a0500050301" "00"), hexBytes("660549" "0001"), hexBytes("c005")};
        QTest::newRow("nothing edited") << -1 << -1 << Packets{};
    }
    void writes()
    {
        QFETCH(int, mainSource);
        QFETCH(int, cableMode);
        QFETCH(QList<QByteArray>, direct);

        const auto item = relay<DI_Fotra>(14);
        updateWith(*item, hexBytes("e10000000000" "0000")); // battery, button
        EditorBench bench(*item);
        PacketCapture capture(*item);
        if (mainSource >= 0)
            QVERIFY(bench.choose(propertyAt(*item, {"Status", "Main source"}), mainSource));
        if (cableMode >= 0)
            QVERIFY(bench.choose(propertyAt(*item, {"Relay", "Cable mode"}), cableMode));
        // With nothing edited the panel's button is off: the slot, as the window calls it.
        if (mainSource < 0 && cableMode < 0)
            QVERIFY(QMetaObject::invokeMethod(item.get(), "writeDeviceConfiguration"));
        else
            pressWrite(*item);
        QCOMPARE(capture.direct, direct);
        QVERIFY(capture.queued.isEmpty());
        QCOMPARE(panelOf(*item)->state(), int(WidgetDeviceWriteSettings::WritingSettings));
        if (cableMode >= 0) {
            QVERIFY(!capture.callbacks.first()(packetOf("67")));
            QVERIFY(capture.callbacks.first()(packetOf("6b")));
        }
    }

    void cableModeInFiles()
    {
        const auto item = relay<DI_Fotra>(14);
        updateWith(*item, hexBytes("e10800000000" "0300"));
        QCOMPARE(DeviceSettings::keys(14), QStringList{"enabledCable"});
        QCOMPARE(DeviceSettings::value(item.get(), "enabledCable"), QVariant(true));
        // Export only: a file sets nothing back.
        QVERIFY(!DeviceSettings::setValue(item.get(), "enabledCable", 0));
        QCOMPARE(propertyAt(*item, {"Relay", "Cable mode"})->valueText(), QStringLiteral("Cable"));
        updateWith(*item, hexBytes("e00000000000" "0300"));
        QCOMPARE(DeviceSettings::value(item.get(), "enabledCable"), QVariant(false));
        QVERIFY(!item->enabledCable());
        QCOMPARE(DeviceSettings::keys(15), QStringList());
    }

    void variant_data()
    {
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<QStringList>("outputs");
        QTest::addColumn<QByteArray>("toBase");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("fault");
        QTest::newRow("short reading with mains: padded, byte 3 set")
            << hexBytes("4000") << QStringList{"Off", "Off"} << hexBytes("40000001")
            << "Out 1: Off, Out 2: Off, Reserve power failed, Case open" << true;
        QTest::newRow("outputs enabled") << hexBytes("f0000064" "2123") << QStringList{"On", "Active mask: 3"}
                                         << hexBytes("f0000064" "2123") << "Out 1: On, Out 2: Active mask: 3, Normal"
                                         << false;
        QTest::newRow("output not enabled reads off") << hexBytes("f0000000" "0100") << QStringList{"Off", "Off"}
                                                      << hexBytes("f0000001" "0100") << "Out 1: Off, Out 2: Off, Normal"
                                                      << false;
    }
    void variant()
    {
        QFETCH(QByteArray, state);
        QFETCH(QStringList, outputs);
        QFETCH(QByteArray, toBase);
        QFETCH(QString, status);
        QFETCH(bool, fault);
        const auto item = relay<DI_FotraISP1>(15);
        RecordingCollector collector;
        item->installInfoCollector(&collector);
        updateWith(*item, state);
        QCOMPARE(texts(propertyAt(*item, {"Relay"})->subProperties()), outputs);
        QCOMPARE(item->stateBlock(), toBase);
        QCOMPARE(item->data(DeviceRole::StatusText).toString(), status);
        QCOMPARE(item->hasFault(), fault);
        QCOMPARE(collector.valueOf("Zone1fOutActive").toInt(), state.size() > 4 && (state.at(4) & 0x1F) == 1 ? 2 : 0);
    }

    void variantTree()
    {
        const auto item = relay<DI_FotraISP1>(15);
        QCOMPARE(propertyNames(propertyAt(*item, {"Status"})->subProperties()),
                 QStringList({"Case", "Main power", "Battery status"}));
        QCOMPARE(item->fieldNames(), QStringList({"gpCase", "gpMainPwr", "reservPwrState", "gpMainBattery", "rl",
                                                  "gpRssi", "Zone1fOutActive", "Zone2fOutActive"}));
        QCOMPARE(item->parameterKey("External source"), QStringLiteral("gpMainPwr"));
        QVERIFY(!item->isFeatureSupported(1));
    }
};

QTEST_MAIN(FotraTest)
#include "tst_fotra.moc"

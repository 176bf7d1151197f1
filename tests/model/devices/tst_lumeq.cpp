// The flame detector: its status, range and speed settings, and "Fixate".
#include "devicebench.h"

#include "deviceclasses.h"

#include "devicesettings.h"
#include "di_lumeq.h"
#include "qtpropertymanager.h"
#include "registerdeviceclasses.h"
#include "widgetdevicewritesettings.h"

#include <QtTest>

#include <memory>

namespace {
std::unique_ptr<DI_Lumeq> lumeq(quint16 hardware = 0x020A, quint8 link = 2)
{
    deviceInfo_t info = makeInfo(22, 10, link);
    info.hardwareVersion = hardware;
    return std::make_unique<DI_Lumeq>(info, false);
}

// "Range", "Speed" and the detector's "Status", the last three top rows.
QList<QtProperty *> ownRows(const DeviceItem &item)
{
    return item.topProperties().mid(item.topProperties().size() - 3);
}
} // namespace

class LumeqTest : public QObject
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
        QTest::addColumn<QStringList>("shown"); // Range, Speed, Status
        QTest::addColumn<QList<int>>("levels"); // Status, Main battery state, Reserve battery state
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("alarm");
        QTest::addColumn<bool>("fault");
        QTest::newRow("normal") << hexBytes("f0030064000000") << QStringList{"Long (< 25m)", "Slow (> 10 s)", "Normal"}
                                << QList<int>{0, 0, 0} << "Normal" << false << false;
        QTest::newRow("fire") << hexBytes("e0030064800803") << QStringList{"Short (< 12m)", "Fast (> 5 s)", "Fire"}
                              << QList<int>{1, 0, 0} << "Fire" << true << false;
        QTest::newRow("DE AD: not responding, though bit 3 is set")
            << hexBytes("f003006400deadbeef") << QStringList{"Short (< 12m)", "Slow (> 10 s)", "Not responding"}
            << QList<int>{2, 0, 0} << "Not responding" << false << false;
        QTest::newRow("not responding drops the base's fire")
            << hexBytes("e003006400dead") << QStringList{"Short (< 12m)", "Slow (> 10 s)", "Not responding"}
            << QList<int>{2, 0, 0} << "Not responding" << false << false;
        QTest::newRow("not responding, case open") << hexBytes("6003006400dead")
                                                   << QStringList{"Short (< 12m)", "Slow (> 10 s)", "Not responding"}
                                                   << QList<int>{2, 0, 0} << "Not responding, Case open" << false << true;
        QTest::newRow("attention") << hexBytes("f0030064001002") << QStringList{"Long (< 25m)", "Fast (> 5 s)", "Attention"}
                                   << QList<int>{0, 0, 0} << "Attention" << false << false;
        QTest::newRow("malfunction") << hexBytes("f0030064408000") << QStringList{"Long (< 25m)", "Slow (> 10 s)", "Malfunction"}
                                     << QList<int>{2, 0, 0} << "Malfunction, Fail" << false << true;
        QTest::newRow("dirty lens, supplies lost") << hexBytes("90030064002000")
                                                   << QStringList{"Long (< 25m)", "Slow (> 10 s)", "Dirty lens"}
                                                   << QList<int>{2, 2, 2}
                                                   << "Dirty lens, Main power failed, Reserve power failed" << false << true;
    }
    void decoding()
    {
        QFETCH(QByteArray, state);
        QFETCH(QStringList, shown);
        QFETCH(QList<int>, levels);
        QFETCH(QString, status);
        QFETCH(bool, alarm);
        QFETCH(bool, fault);
        const auto item = lumeq();
        item->updateState(item->deviceInfo(), state);
        const QList<QtProperty *> rows = ownRows(*item);
        QCOMPARE(texts(rows), shown);
        QCOMPARE((QList<int>{int(item->propertyLevel(rows.at(2))),
                             int(item->propertyLevel(propertyAt(*item, {"Status", "Main battery state"}))),
                             int(item->propertyLevel(propertyAt(*item, {"Status", "Reserve battery state"})))}),
                 levels);
        QCOMPARE(item->data(DeviceRole::StatusText).toString(), status);
        QCOMPARE(item->hasAlarm(), alarm);
        QCOMPARE(item->hasFault(), fault);
        QCOMPARE(item->data(DeviceRole::ClassValue).toInt(),
                 QStringList({"Normal", "Malfunction", "Dirty lens", "Attention", "Fire", "Not responding"})
                     .indexOf(shown.last()));
    }

    void treeAndFixate()
    {
        const auto item = lumeq();
        QCOMPARE(propertyNames(item->topProperties()),
                 QStringList({"WD Type", "S/N", "Wireloop address", "Radio address", "Status", "Range", "Speed", "Status"}));
        QCOMPARE(propertyNames(propertyAt(*item, {"Status"})->subProperties()),
                 QStringList({"Main battery state", "Reserve battery state"}));
        PacketCapture capture(*item);
        QCOMPARE(item->actions().first(), (DeviceAction{0, QStringLiteral("Fixate")}));
        item->executeAction(0);
        QCOMPARE(capture.queued, QList<QByteArray>({hexBytes("6a050005000105")}));
        // Hardware 0 offers no "Fixate".
        const auto old = lumeq(0x0005);
        for (const DeviceAction &action : old->actions())
            QVERIFY(action.id >= 1000);
    }

    void writes_data()
    {
        QTest::addColumn<int>("range");
        QTest::addColumn<int>("speed");
        QTest::addColumn<QByteArray>("cell");
        QTest::newRow("short and fast") << 1 << 1 << hexBytes("3f");
        QTest::newRow("long and slow") << 0 << 0 << hexBytes("3c");
        QTest::newRow("short and slow") << 1 << 0 << hexBytes("3d");
    }
    void writes()
    {
        QFETCH(int, range);
        QFETCH(int, speed);
        QFETCH(QByteArray, cell);
        const auto item = lumeq();
        item->updateState(item->deviceInfo(), hexBytes("f0030064000002"));
        EditorBench bench(*item);
        PacketCapture capture(*item);
        const QList<QtProperty *> rows = ownRows(*item);
        QVERIFY(bench.choose(rows.at(0), range));
        QVERIFY(bench.choose(rows.at(1), speed));
        pressWrite(*item);
        QCOMPARE(capture.direct, QList<QByteArray>({hexBytes("66054800") + cell, hexBytes("c005")}));
        QVERIFY(capture.callbacks.at(0)(packetOf("6705")));
        QVERIFY(capture.callbacks.at(1)(packetOf("c105")));
        QCOMPARE(panelOf(*item)->state(), int(WidgetDeviceWriteSettings::WritingSettings));
    }

    void editKeptUntilDeviceAgrees()
    {
        const auto item = lumeq();
        item->updateState(item->deviceInfo(), hexBytes("f0030064000000"));
        EditorBench bench(*item);
        QtProperty *range = ownRows(*item).at(0);
        QVERIFY(bench.choose(range, 1));
        QVERIFY(item->isConfigurationChanged());
        item->updateState(item->deviceInfo(), hexBytes("f0030064000000"));
        QCOMPARE(range->valueText(), QStringLiteral("Short (< 12m)"));
        QVERIFY(range->isModified());
        item->updateState(item->deviceInfo(), hexBytes("f0030064000001"));
        QVERIFY(!range->isModified());
        QVERIFY(!item->isConfigurationChanged());
        // The device's change follows into the unedited editor.
        item->updateState(item->deviceInfo(), hexBytes("f0030064000002"));
        QCOMPARE(texts(ownRows(*item).mid(0, 2)), QStringList({"Long (< 25m)", "Fast (> 5 s)"}));
    }

    void recordedFieldsAndLists()
    {
        const auto item = lumeq();
        RecordingCollector collector;
        item->installInfoCollector(&collector);
        item->updateState(item->deviceInfo(), hexBytes("f0030064c08003"));
        QCOMPARE(collector.keys.mid(0, 4), QStringList({"fAlarm", "sensFailure", "fDistance", "fDetectionTime"}));
        QCOMPARE(collector.values.mid(0, 4), QVariantList({1, 1, 1, 1}));

        const QStringList fields{"gpMainPwr", "gpMainBattery", "reservPwrState", "rl", "gpRssi", "fAlarm", "sensFailure",
                                 "fDistance", "fDetectionTime"};
        QCOMPARE(item->fieldNames(), fields);
        QCOMPARE(DeviceItem::fieldNamesForType(22), fields);
        QCOMPARE(DeviceItem::parameterTitleForType(22, QStringLiteral("reservPwrState")),
                 QStringLiteral("Reserve battery state"));
        QCOMPARE(item->parameterKey(QStringLiteral("Detection time")), QStringLiteral("fDetectionTime"));
        QVERIFY(item->parameterKey(QStringLiteral("Case")).isEmpty());
        // Code 21 has the layout but stays a plain item.
        std::unique_ptr<DeviceItem> plain(createDeviceItem(makeInfo(21), false));
        QCOMPARE(QString::fromLatin1(plain->metaObject()->className()), QStringLiteral("DeviceItem"));

        QCOMPARE(DeviceSettings::keys(22), QStringList({"specRange", "specSpeed"}));
        QCOMPARE(DeviceSettings::value(item.get(), QStringLiteral("specRange")), QVariant(1));
        QCOMPARE(DeviceSettings::value(item.get(), QStringLiteral("specSpeed")), QVariant(1));
        item->setSpecRange(0);
        QCOMPARE(item->specRange(), 0);
        QVERIFY(!ownRows(*item).at(0)->isModified());
    }
};

QTEST_MAIN(LumeqTest)
#include "tst_lumeq.moc"

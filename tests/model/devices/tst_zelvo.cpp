// The water-meter reader: its state, the counter replies, the counter write
// with the power-save question, the deactivation and its timers.
#include "devicebench.h"

#include "di_zelvo.h"
#include "registerdeviceclasses.h"
#include "testsupport.h"
#include "uiseams.h"

#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {
using Packets = QList<QByteArray>;

// Awake (bit 1), reed Ok (bit 4), both supplies good.
const char *const awakeState = "f203006400";
const char *const asleepState = "f003006400";

// The reply to the counter request of device 5: 10000 l, meter 123456789;
// bytes d10-d15 are not part of the serial number.
const char *const counterReply = "810510270000" "15cd5b07" "0000" "abcd00000000";

std::unique_ptr<DI_Zelvo> zelvo(const char *state = awakeState, quint8 linkState = 2)
{
    auto item = std::make_unique<DI_Zelvo>(makeInfo(19, 10, linkState), false);
    deviceInfo_t info = item->deviceInfo();
    item->updateState(info, hexBytes(state));
    return item;
}

// The requests the item sends itself, without the periodic counter requests.
Packets withoutReads(const Packets &packets)
{
    Packets kept;
    for (const QByteArray &packet : packets)
        if (quint8(packet.at(0)) != PT_GET_RFADDITIONAL_DATA)
            kept << packet;
    return kept;
}
} // namespace

class ZelvoTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerDeviceModelNames();
        registerDeviceClasses();
        registerPacketMetaTypes();
        DeviceItem::setTimings(10, 10);
        // The periodic requests stay out of the way unless a test asks for them.
        DI_Zelvo::setTimings(600000, 600000, 30);
    }
    void init() { queue.packets.clear(); }

    void decoding_data()
    {
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<int>("link");
        QTest::addColumn<QStringList>("shown"); // Reed, Transmit interval
        QTest::addColumn<QList<int>>("levels"); // Reed, Main battery state
        QTest::addColumn<QString>("status");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<bool>("alarm");
        QTest::addColumn<bool>("fault");

        const QColor green(90, 255, 90), none;
        QTest::newRow("awake") << hexBytes(awakeState) << 2 << QStringList{"Ok", "15 sec"} << QList<int>{0, 0}
                               << "Input: 10000 l, s/n 123456789, 15 sec, Normal" << green << false << false;
        QTest::newRow("power save") << hexBytes(asleepState) << 2 << QStringList{"Ok", "60 min"} << QList<int>{0, 0}
                                    << "Input: 10000 l, s/n 123456789, 60 min, Normal" << none << false << false;
        QTest::newRow("reed alarm") << hexBytes("e203006480") << 2 << QStringList{"Alarm", "15 sec"}
                                    << QList<int>{1, 0} << "Input: 10000 l, s/n 123456789, 15 sec, Alarm"
                                    << QColor(255, 180, 180) << true << false;
        QTest::newRow("main supply failed") << hexBytes("b2030064") << 2 << QStringList{"Ok", "15 sec"}
                                            << QList<int>{0, 2}
                                            << "Input: 10000 l, s/n 123456789, 15 sec, Main power failed"
                                            << green << false << true; // an awake reader is green, faults or not
        QTest::newRow("second supply failed") << hexBytes("7203006400") << 2 << QStringList{"Ok", "15 sec"}
                                              << QList<int>{0, 0} << "Input: 10000 l, s/n 123456789, 15 sec, Case open"
                                              << green << false << true;
        QTest::newRow("link lost") << hexBytes("e203006480") << 1 << QStringList{"Alarm", "15 sec"} << QList<int>{0, 0}
                                   << "Connection lost" << QColor(210, 210, 210) << false << false;
    }
    void decoding()
    {
        QFETCH(QByteArray, state);
        QFETCH(int, link);
        QFETCH(QList<int>, levels);

        const auto item = zelvo();
        PacketCapture capture(*item);
        item->readCounter();
        QVERIFY(capture.callbacks.last()(packetOf(counterReply)));
        deviceInfo_t info = item->deviceInfo();
        info.linkState = quint8(link);
        item->updateState(info, state);

        QtProperty *reed = propertyAt(*item, {"Reed"});
        QtProperty *battery = propertyAt(*item, {"Status", "Main battery state"});
        QTEST(texts({reed, propertyAt(*item, {"Status", "Transmit interval"})}), "shown");
        QCOMPARE(QList<int>({int(item->propertyLevel(reed)), int(item->propertyLevel(battery))}), levels);
        QTEST(item->data(DeviceRole::StatusText).toString(), "status");
        QTEST(item->data(Qt::BackgroundRole).value<QColor>(), "colour");
        QTEST(item->hasAlarm(), "alarm");
        QTEST(item->hasFault(), "fault");
        QCOMPARE(item->data(DeviceRole::ClassFlag).toBool(), bool(quint8(state.at(0)) & 0x02));
    }

    void treeRows()
    {
        const auto item = zelvo();
        QCOMPARE(propertyNames(item->topProperties()),
                 QStringList({"WD Type", "S/N", "Wireloop address", "Radio address", "Status", "Counter", "Reed"}));
        QCOMPARE(propertyNames(propertyAt(*item, {"Status"})->subProperties()),
                 QStringList({"Main battery state", "Transmit interval"}));
        QCOMPARE(texts(propertyAt(*item, {"Counter"})->subProperties()), QStringList({"0", "Requesting data..."}));
        QCOMPARE(item->data(DeviceRole::ClassValue).toUInt(), 0u);
    }

    void counterReplies()
    {
        const auto item = zelvo();
        PacketCapture capture(*item);
        QSignalSpy updated(item.get(), &DeviceItem::updated);
        item->readCounter();
        QCOMPARE(capture.direct, Packets({hexBytes("8005")}));
        const ResponseCb reply = capture.callbacks.last();

        // Other replies are left to their owners.
        QVERIFY(!reply(packetOf("6b")));
        // A short reply is taken and changes nothing.
        QVERIFY(reply(packetOf("810510270000")));
        QCOMPARE(propertyAt(*item, {"Counter", "Value"})->valueText(), QStringLiteral("Requesting data..."));
        QCOMPARE(updated.count(), 0);

        QVERIFY(reply(packetOf(counterReply)));
        QCOMPARE(propertyAt(*item, {"Counter", "Value"})->valueText(), QStringLiteral("10000 l"));
        QCOMPARE(item->data(DeviceRole::ClassValue).toUInt(), 10000u);
        QCOMPARE(item->data(DeviceRole::Value2).toULongLong(), 123456789ull);
        QCOMPARE(updated.count(), 1);
        // The S/N row reads the meter's serial of the record with the next state: d4-d9 only.
        item->updateState(item->deviceInfo(), hexBytes(awakeState));
        QCOMPARE(propertyAt(*item, {"Counter", "S/N"})->valueText(), QStringLiteral("123456789"));

        // The same counter again: the text, but no notice.
        updated.clear();
        QVERIFY(reply(packetOf(counterReply)));
        QCOMPARE(updated.count(), 0);

        // Recorded: the litres and the alarm bit.
        RecordingCollector collector;
        item->installInfoCollector(&collector);
        item->updateState(item->deviceInfo(), hexBytes("f203006480"));
        QCOMPARE(collector.keys.mid(0, 2), QStringList({"LiterValue", "fAlarm"}));
        QCOMPARE(collector.values.mid(0, 2), QVariantList({10000u, 1}));
    }

    void counterWrite()
    {
        const auto item = zelvo();
        PacketCapture capture(*item);
        item->readCounter();
        const ResponseCb reply = capture.callbacks.last();
        QVERIFY(reply(packetOf(counterReply)));
        MessageBoxRecorder boxes;
        QSignalSpy updated(item.get(), &DeviceItem::updated);

        // The value the device holds: nothing at all.
        item->setData(10000u, DeviceRole::ClassValue);
        QCOMPARE(capture.direct.size(), 1);

        item->setData(12345, DeviceRole::ClassValue);
        QCOMPARE(boxes.count(), 0); // awake: no question
        QCOMPARE(capture.direct.last(), hexBytes("6605480039300000"));
        QVERIFY(capture.callbacks.last()(packetOf("67")));
        QVERIFY(item->isWritePending());
        QCOMPARE(updated.count(), 1);
        QCOMPARE(item->data(DeviceRole::StatusText).toString(), QStringLiteral("Please wait while saving data: 12345"));
        QCOMPARE(item->data(DeviceRole::ClassValue).toUInt(), 0xFFFFFFFFu);
        QCOMPARE(item->data(Qt::BackgroundRole).value<QColor>(), QColor(255, 200, 100));

        // A reply without the written value leaves the write pending and the text as it was.
        QVERIFY(reply(packetOf(counterReply)));
        QVERIFY(item->isWritePending());
        QCOMPARE(propertyAt(*item, {"Counter", "Value"})->valueText(), QStringLiteral("10000 l"));
        // While pending, even the old value is a new edit.
        item->setData(10000u, DeviceRole::ClassValue);
        QCOMPARE(capture.direct.last(), hexBytes("6605480010270000"));

        QVERIFY(reply(packetOf("810510270000" "15cd5b07000000000000000000")));
        QVERIFY(!item->isWritePending());
        QCOMPARE(item->data(DeviceRole::ClassValue).toUInt(), 10000u);
        QCOMPARE(item->data(DeviceRole::StatusText).toString(),
                 QStringLiteral("Input: 10000 l, s/n 123456789, 15 sec, Normal"));
    }

    void powerSaveQuestion_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("sent");
        QTest::newRow("abort") << int(QMessageBox::Abort) << false;
        QTest::newRow("continue anyway") << int(QMessageBox::Ignore) << true;
    }
    void powerSaveQuestion()
    {
        QFETCH(int, answer);
        QFETCH(bool, sent);
        const auto item = zelvo(asleepState);
        PacketCapture capture(*item);
        MessageBoxRecorder boxes;
        boxes.answer(answer);
        item->setData(777, DeviceRole::ClassValue);

        QCOMPARE(boxes.count(), 1);
        const UiSeams::MessageBoxRequest box = boxes.last();
        QCOMPARE(box.kind, UiSeams::MessageBoxRequest::WarningQuestion);
        QCOMPARE(box.title, QStringLiteral("Warning!"));
        QCOMPARE(box.text, QStringLiteral("Warning! Device is in the powersave mode!"));
        QCOMPARE(box.informativeText,
                 QStringLiteral("This means settings saving can take a long time up to several hours. If you want to "
                                "wake up device you should hold magnet for a moment next to the arrow sign."));
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Abort | QMessageBox::Ignore));
        QCOMPARE(box.renamedButton, QMessageBox::Ignore);
        QCOMPARE(box.renamedText, QStringLiteral("Continue anyway"));
        QCOMPARE(box.defaultButton, QMessageBox::Abort);
        QCOMPARE(box.escapeButton, QMessageBox::Abort);
        QCOMPARE(capture.direct, sent ? Packets({hexBytes("6605480009030000")}) : Packets());
        QCOMPARE(item->isWritePending(), sent);
    }

    void removedWhileAsking()
    {
        std::unique_ptr<DI_Zelvo> item = zelvo(asleepState);
        PacketCapture capture(*item);
        QPointer<DI_Zelvo> guard(item.get());
        // The device goes while the question is open; the user then goes on.
        UiSeams::setMessageBoxHook([&item](const UiSeams::MessageBoxRequest &) {
            item.reset();
            return int(QMessageBox::Ignore);
        });
        guard->setData(777, DeviceRole::ClassValue);
        UiSeams::setMessageBoxHook({});
        QVERIFY(!guard);
        QVERIFY(capture.direct.isEmpty());
    }

    void deactivation()
    {
        const auto item = zelvo();
        PacketCapture capture(*item);
        QSignalSpy forceRead(item.get(), &DeviceItem::forceReadData);
        item->executeAction(0);
        QCOMPARE(capture.direct, Packets({hexBytes("66052d0000"), hexBytes("c005")}));
        QVERIFY(capture.callbacks.at(0)(packetOf("67")));
        QVERIFY(capture.callbacks.at(1)(packetOf("c1")));
        QVERIFY(item->isDeactivating());
        QCOMPARE(item->data(DeviceRole::StatusText).toString(), QStringLiteral("Deactivating..."));
        QCOMPARE(item->data(Qt::BackgroundRole).value<QColor>(), QColor(255, 200, 100));

        // State readings are ignored meanwhile.
        item->updateState(item->deviceInfo(), hexBytes("e203006480"));
        QCOMPARE(propertyAt(*item, {"Reed"})->valueText(), QStringLiteral("Ok"));

        // Then the device is asked for again, and the poller told to read it.
        QTRY_COMPARE(withoutReads(capture.direct).size(), 3);
        QCOMPARE(capture.direct.last(), hexBytes("6d05"));
        QVERIFY(!item->isDeactivating());
        QVERIFY(!capture.callbacks.last()(packetOf("6b")));
        QCOMPARE(forceRead.count(), 0);
        QVERIFY(capture.callbacks.last()(packetOf("6e")));
        QCOMPARE(forceRead.count(), 1);
        QCOMPARE(forceRead.first().first().toInt(), 5);
        item->updateState(item->deviceInfo(), hexBytes("e203006480"));
        QCOMPARE(propertyAt(*item, {"Reed"})->valueText(), QStringLiteral("Alarm"));
    }

    void deactivationTimerGoesWithTheItem()
    {
        auto item = zelvo();
        PacketCapture capture(*item);
        item->deactivate();
        item.reset();
        QTest::qWait(60); // past the shortened step: nothing may run on the freed item
        QCOMPARE(capture.direct.size(), 2);
    }

    void periodicRequests()
    {
        DI_Zelvo::setTimings(20, 50, 30);
        DeviceItem::setTimings(10, 600000); // an address reset holds the reading for the rest of the test
        const auto item = zelvo();
        DI_Zelvo::setTimings(600000, 600000, 30);
        DeviceItem::setTimings(10, 10);
        PacketCapture capture(*item);
        // The first keep-alive went out when the item was made, then one every interval.
        QCOMPARE(queue.packets.first(), hexBytes("6a050005010101"));
        QTRY_VERIFY(queue.packets.size() >= 3);
        QVERIFY(capture.direct.size() >= 2);
        for (const QByteArray &packet : capture.direct)
            QCOMPARE(packet, hexBytes("8005"));

        // While an address reset holds the reading, no counter request leaves.
        item->resetAddress();
        const int before = capture.direct.size();
        item->readCounter();
        QCOMPARE(capture.direct.size(), before);
    }

    void listsAndFeatures()
    {
        const QStringList fields{"gpMainPwr", "gpMainBattery", "rl", "gpRssi", "LiterValue", "fAlarm"};
        QCOMPARE(zelvo()->fieldNames(), fields);
        QCOMPARE(DeviceItem::fieldNamesForType(56), fields);
        QCOMPARE(DeviceItem::parameterKeyForType(19, "Gerkon alarm"), QStringLiteral("fAlarm"));
        QVERIFY(DeviceItem::parameterKeyForType(19, "Case").isEmpty());
        deviceInfo_t info = makeInfo(56);
        info.firmwareVersion = 0x0108;
        QVERIFY(DI_Zelvo(info, false).isFeatureSupported(0));
        info.firmwareVersion = 0x0107;
        QVERIFY(!DI_Zelvo(info, false).isFeatureSupported(0));
    }

private:
    QueueRecorder queue;
};

QTEST_MAIN(ZelvoTest)
#include "tst_zelvo.moc"

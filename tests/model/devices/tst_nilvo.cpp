// The pulse-counter adapter: the tree by work mode, every road of its state
// update, the counter reads, the memory writes with their restart and the
// questions before them.
#include "devicebench.h"

#include "devicesettings.h"
#include "di_nilvo.h"
#include "registerdeviceclasses.h"
#include "testsupport.h"
#include "uiseams.h"

#include <QPointer>
#include <QProgressBar>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {
using Packets = QList<QByteArray>;

// Head byte 0 (f2: awake, supplies and case well), byte 1 (inputs in use), then bytes 4, 5 and 6.
QByteArray nilvoState(quint8 head, quint8 inputs, quint8 input1, quint8 input2 = 0, quint8 input3 = 0)
{
    return QByteArray(1, char(head)) + char(inputs) + hexBytes("0064") + char(input1) + char(input2) + char(input3);
}

// Inputs 1 and 2, NAMUR at 500 iph: the water counter.
const QByteArray namurWater = nilvoState(0xF2, 0x06, 0x09, 0x09);
// Input 1 only, counter type 3: the heat counter.
const QByteArray heat = nilvoState(0xF2, 0x02, 0x0C);
// Inputs 1, 2 and 3, relays at 300 iph, a leak on input 3.
const QByteArray waterAndLeak = nilvoState(0xF2, 0x0E, 0x04, 0x04, 0x80);

std::unique_ptr<DI_Nilvo> nilvo(const QByteArray &state = namurWater, quint8 wireloopAddress = 10)
{
    auto item = std::make_unique<DI_Nilvo>(makeInfo(13, wireloopAddress), false);
    if (!state.isEmpty())
        item->updateState(item->deviceInfo(), state);
    return item;
}

void update(DeviceItem &item, const QByteArray &state)
{
    item.updateState(item.deviceInfo(), state);
}

QtProperty *row(const DeviceItem &item, const char *group, const char *name)
{
    return propertyAt(item, {QString::fromLatin1(group), QString::fromLatin1(name)});
}

// A settings editor, shown in the tree or not.
QtProperty *editor(const DeviceItem &item, const char *name)
{
    auto *editors = item.data(DeviceRole::EnumManager).value<QtEnumPropertyManager *>();
    for (QtProperty *property : editors->properties())
        if (property->propertyName() == QLatin1String(name))
            return property;
    return nullptr;
}

// The counter reply of device 5 with counts 1 and 2.
Packet counters(quint32 count1, quint32 count2)
{
    QByteArray data = hexBytes("81050000");
    for (quint32 count : {count1, count2})
        for (int i = 0; i < 4; ++i)
            data.append(char((count >> (8 * i)) & 0xFF));
    Packet packet;
    packet.data = data + QByteArray(8, '\0');
    return packet;
}
} // namespace

class NilvoTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerDeviceModelNames();
        registerDeviceClasses();
        registerPacketMetaTypes();
        DeviceItem::setTimings(10, 10);
        DI_Nilvo::setTimings(600000, 10);
    }
    void init() { queue.packets.clear(); }

    void firstLoadLaysTheTreeOut_data()
    {
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<QStringList>("editors");
        QTest::addColumn<QStringList>("settingsRows");
        QTest::addColumn<QList<QStringList>>("inputRows");
        QTest::addColumn<QList<bool>>("enabled");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("address");

        const QStringList allSettings{"Work mode", "Counter mode", "Speed mode"};
        const QStringList both{"State", "Counter"};
        QTest::newRow("NAMUR water counter")
            << namurWater << QStringList{"Water counter", "NAMUR", "500 iph"} << allSettings
            << QList<QStringList>{both, both, {}} << QList<bool>{true, true, false}
            << "Input 1: Reading (Ok), Input2: Reading (Ok), Transmit interval: 30 sec, Normal" << "10, 11";
        QTest::newRow("relay water counter with leak detector")
            << waterAndLeak << QStringList{"Water counter + leak detector", "Relay", "300 iph"} << allSettings
            << QList<QStringList>{{"Counter"}, {"Counter"}, {"State"}} << QList<bool>{true, true, true}
            << "Input 1: Reading, Input2: Reading, sensor: Unknown, Transmit interval: 30 sec, Alarm" << "10, 11, 12";
        // Counter type 3: its editor index 2 has no name.
        QTest::newRow("heat counter") << heat << QStringList{"Heat counter", "", "300 iph"} << QStringList{"Work mode"}
                                      << QList<QStringList>{{}, {}, {"Counter"}} << QList<bool>{false, false, true}
                                      << "Input 3: Reading, Transmit interval: 30 sec, Normal" << "10";
        QTest::newRow("input 1 not in use, asleep")
            << nilvoState(0xF0, 0x04, 0x00, 0x04) << QStringList{"Water counter", "Relay", "300 iph"} << allSettings
            << QList<QStringList>{{"Counter"}, {"Counter"}, {}} << QList<bool>{true, true, false}
            << "Error, Normal" << ", 11";
    }
    void firstLoadLaysTheTreeOut()
    {
        QFETCH(QByteArray, state);
        QFETCH(QList<QStringList>, inputRows);
        QFETCH(QList<bool>, enabled);

        const auto item = nilvo(QByteArray());
        // No input in use: nothing is loaded yet.
        update(*item, nilvoState(0xF2, 0x00, 0x09));
        QCOMPARE(row(*item, "Settings", "Work mode")->valueText(), QStringLiteral("Water counter"));
        QVERIFY(item->isConfigurationChanged()); // the editors do not hold the device's settings yet

        update(*item, state);
        QStringList editors;
        for (const char *name : {"Work mode", "Counter mode", "Speed mode"})
            editors << editor(*item, name)->valueText();
        QTEST(editors, "editors");
        QTEST(propertyNames(propertyAt(*item, {"Settings"})->subProperties()), "settingsRows");
        for (int i = 0; i < 3; ++i) {
            QtProperty *group = propertyAt(*item, {QStringLiteral("Input %1").arg(i + 1)});
            QCOMPARE(propertyNames(group->subProperties()), inputRows.at(i));
            QCOMPARE(group->isEnabled(), enabled.at(i));
        }
        QVERIFY(!item->isConfigurationChanged());
        QTEST(item->data(DeviceRole::StatusText).toString(), "status");
        QTEST(item->addressText(), "address");
    }

    void inputsAndFlags_data()
    {
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<QStringList>("states"); // State of inputs 1, 2, 3
        QTest::addColumn<QList<int>>("levels");   // groups Input 1, 2, 3
        QTest::addColumn<bool>("alarm");
        QTest::addColumn<bool>("fault");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QString>("status");

        const QColor green(90, 255, 90), red(255, 180, 180), yellow(255, 234, 173);
        QTest::newRow("quiet") << namurWater << QStringList{"Ok", "Ok", "-"} << QList<int>{0, 0, 0} << false
                               << false << green
                               << "Input 1: Reading (Ok), Input2: Reading (Ok), Transmit interval: 30 sec, Normal";
        QTest::newRow("NAMUR cut is a fault") << nilvoState(0xF2, 0x06, 0x19, 0x29)
                                              << QStringList{"Cut", "Short circuit", "-"} << QList<int>{2, 2, 0}
                                              << false << true << yellow
                                              << "Input 1: Reading (Cut), Input2: Reading (Short circuit), Transmit "
                                                 "interval: 30 sec";
        QTest::newRow("relay cut is none") << nilvoState(0xF2, 0x06, 0x14, 0x04) << QStringList{"-", "-", "-"}
                                           << QList<int>{0, 0, 0} << false << false << green
                                           << "Input 1: Reading, Input2: Reading, Transmit interval: 30 sec, Normal";
        QTest::newRow("input 2 alarm") << nilvoState(0xF2, 0x06, 0x09, 0x89) << QStringList{"Ok", "Ok", "-"}
                                       << QList<int>{0, 0, 0} << true << false << red
                                       << "Input 1: Reading (Ok), Input2: Reading (Ok), Transmit interval: 30 sec, "
                                          "Alarm";
        // An input out of use raises nothing.
        QTest::newRow("alarm of an unused input") << nilvoState(0xF2, 0x02, 0x08, 0xC0) << QStringList{"Ok", "Ok", "-"}
                                                  << QList<int>{0, 0, 0} << false << false << green
                                                  << "Input 3: Reading, Transmit interval: 30 sec, Normal";
        QTest::newRow("leak on input 3, second update")
            << waterAndLeak << QStringList{"-", "-", "Alarm"} << QList<int>{0, 0, 1} << true << false << red
            << "Input 1: Reading, Input2: Reading, sensor: Alarm, Transmit interval: 30 sec, Alarm";
        QTest::newRow("input 3 failed, case open")
            << nilvoState(0x72, 0x0E, 0x04, 0x04, 0x40) << QStringList{"-", "-", "No alarm"} << QList<int>{0, 0, 0}
            << false << true << yellow
            << "Input 1: Reading, Input2: Reading, sensor: No alarm, Transmit interval: 30 sec, Case open";
        QTest::newRow("asleep") << nilvoState(0xF0, 0x06, 0x09, 0x09) << QStringList{"Ok", "Ok", "-"}
                                << QList<int>{0, 0, 0} << false << false << QColor()
                                << "Input 1: Reading (Ok), Input2: Reading (Ok), Transmit interval: 60 min, Normal";
    }
    void inputsAndFlags()
    {
        QFETCH(QByteArray, state);
        QFETCH(QList<int>, levels);
        const auto item = nilvo(state);
        update(*item, state);
        QList<int> groupLevels;
        for (int i = 1; i <= 3; ++i)
            groupLevels << int(item->propertyLevel(propertyAt(*item, {QStringLiteral("Input %1").arg(i)})));
        QTEST(stateTexts(*item), "states");
        QCOMPARE(groupLevels, levels);
        QTEST(item->hasAlarm(), "alarm");
        QTEST(item->hasFault(), "fault");
        QTEST(item->data(Qt::BackgroundRole).value<QColor>(), "colour");
        QTEST(item->data(DeviceRole::StatusText).toString(), "status");
        QCOMPARE(item->data(DeviceRole::ClassFlag).toInt(), int(quint8(state.at(0)) >> 1 & 1));
    }

    void counterReads()
    {
        const auto item = nilvo();
        PacketCapture capture(*item);
        QSignalSpy updated(item.get(), &DeviceItem::updated);
        QCOMPARE(item->data(DeviceRole::ClassValue).toUInt(), 0u); // the kept block starts zeroed
        QCOMPARE(item->data(DeviceRole::Value2).toUInt(), 0u);

        // The keep-alive goes out, the counters are read a moment later.
        item->keepAlive();
        QCOMPARE(queue.packets, Packets({hexBytes("6a050005010101"), hexBytes("6a050005010101")}));
        // ...that of the item's own first keep-alive, and this one's.
        QTRY_COMPARE(capture.direct, Packets({hexBytes("8005"), hexBytes("8005")}));
        const ResponseCb reply = capture.callbacks.last();

        QTest::ignoreMessage(QtWarningMsg, "10 NOT PT_GET_RFADDITIONAL_DATA_ACK");
        QVERIFY(!reply(packetOf("6b")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("counter reply too short"));
        QVERIFY(reply(packetOf("8105000001000000")));
        QCOMPARE(row(*item, "Input 1", "Counter")->valueText(), QStringLiteral("Reading"));

        QVERIFY(reply(counters(1500, 27)));
        QCOMPARE(row(*item, "Input 1", "Counter")->valueText(), QStringLiteral("1500 imp"));
        QCOMPARE(row(*item, "Input 2", "Counter")->valueText(), QStringLiteral("27 imp"));
        QCOMPARE(item->data(DeviceRole::ClassValue).toUInt(), 1500u);
        QCOMPARE(item->data(DeviceRole::Value2).toUInt(), 27u);
        QCOMPARE(item->data(DeviceRole::StatusText).toString(),
                 QStringLiteral("Input 1: 1500 imp (Ok), Input2: 27 imp (Ok), Transmit interval: 30 sec, Normal"));
        QCOMPARE(updated.count(), 1);

        RecordingCollector collector;
        item->installInfoCollector(&collector);
        update(*item, namurWater);
        const QStringList keys{"workMode",        "sensorSpeed", "sensorCntType", "Zone1Value",    "Zone2Value",
                               "Zone1btfSpeed",   "Zone1btfCntType", "Zone1State", "Zone1fFail",    "Zone1fAlarm",
                               "Zone2btfSpeed",   "Zone2btfCntType", "Zone2State", "Zone2fFail",    "Zone2fAlarm"};
        QCOMPARE(collector.keys.mid(0, keys.size()), keys);
        QCOMPARE(collector.values.mid(0, keys.size()),
                 QVariantList({0, 1, 2, 1500, 27, 1, 2, 0, 0, 0, 1, 2, 0, 0, 0}));
    }

    void heatCounterReadings()
    {
        const auto item = nilvo(heat);
        PacketCapture capture(*item);
        item->readCounters();
        QVERIFY(capture.callbacks.last()(counters(42, 9)));
        QCOMPARE(row(*item, "Input 3", "Counter")->valueText(), QStringLiteral("42 imp"));
        QCOMPARE(item->data(DeviceRole::StatusText).toString(),
                 QStringLiteral("Input 3: 42 imp, Transmit interval: 30 sec, Normal"));
        RecordingCollector collector;
        item->installInfoCollector(&collector);
        update(*item, heat);
        QCOMPARE(collector.keys.mid(0, 6),
                 QStringList({"workMode", "sensorSpeed", "sensorCntType", "Zone1Value", "Zone1btfCntType", "Zone1fFail"}));
        QCOMPARE(collector.values.mid(0, 4), QVariantList({2, 0, 3, 42}));
    }

    void editsHoldTheReadings()
    {
        const auto item = nilvo();
        EditorBench bench(*item);
        PacketCapture capture(*item);
        item->readCounters();
        QVERIFY(capture.callbacks.last()(counters(10, 20)));

        QVERIFY(bench.choose(editor(*item, "Speed mode"), 3));
        QVERIFY(editor(*item, "Speed mode")->isModified());
        QVERIFY(item->isConfigurationChanged());
        QCOMPARE(panelOf(*item)->state(), int(WidgetDeviceWriteSettings::HasChanges));
        QCOMPARE(stateTexts(*item), QStringList({"Unknown", "Unknown", "-"}));
        QCOMPARE(row(*item, "Input 1", "Counter")->valueText(), QStringLiteral("Unknown"));

        // No read while edits wait; a late reply changes no text.
        const int sent = capture.direct.size();
        item->readCounters();
        QCOMPARE(capture.direct.size(), sent);
        QTest::ignoreMessage(QtWarningMsg, "10 Maybe something is wrong");
        QVERIFY(capture.callbacks.last()(counters(11, 21)));
        QCOMPARE(row(*item, "Input 1", "Counter")->valueText(), QStringLiteral("Unknown"));

        // State updates keep the edit and the unknown inputs.
        update(*item, namurWater);
        QCOMPARE(editor(*item, "Speed mode")->valueText(), QStringLiteral("5000 iph"));
        QCOMPARE(stateTexts(*item), QStringList({"Unknown", "Unknown", "-"}));

        // Back to the device's value: nothing left to write.
        QVERIFY(bench.choose(editor(*item, "Speed mode"), 1));
        QVERIFY(!editor(*item, "Speed mode")->isModified());
        QCOMPARE(panelOf(*item)->state(), int(WidgetDeviceWriteSettings::NoChanges));
    }

    void writes_data()
    {
        QTest::addColumn<QString>("editorName");
        QTest::addColumn<int>("choice");
        QTest::addColumn<QByteArray>("memoryWrite");
        QTest::addColumn<QStringList>("counters");
        QTest::addColumn<int>("warnings");
        // Work, counter, counter, 0, speed; a new work mode clears the three counters first.
        QTest::newRow("speed only") << "Speed mode" << 0 << hexBytes("6605540000010100" "00")
                                    << QStringList{"Unknown", "Unknown", "-"} << 0;
        QTest::newRow("fast speed: a recommendation") << "Speed mode" << 2 << hexBytes("6605540000010100" "02")
                                                      << QStringList{"Unknown", "Unknown", "-"} << 1;
        QTest::newRow("work mode") << "Work mode" << 1
                                   << hexBytes("66054800" "000000000000000000000000" "0101010001")
                                   << QStringList{"Reading", "Reading", "-"} << 0;
    }
    void writes()
    {
        QFETCH(QString, editorName);
        QFETCH(int, choice);
        QFETCH(QByteArray, memoryWrite);
        const auto item = nilvo();
        EditorBench bench(*item);
        PacketCapture capture(*item);
        MessageBoxRecorder boxes;
        QVERIFY(bench.choose(editor(*item, qPrintable(editorName)), choice));
        pressWrite(*item);

        QCOMPARE(capture.direct, Packets({memoryWrite, hexBytes("c005")}));
        QVERIFY(!capture.callbacks.at(0)(packetOf("c1")));
        QVERIFY(capture.callbacks.at(0)(packetOf("67")));
        QVERIFY(capture.callbacks.at(1)(packetOf("c1")));
        QStringList shownCounters;
        for (const char *group : {"Input 1", "Input 2", "Input 3"}) {
            QtProperty *counter = row(*item, group, "Counter");
            shownCounters << (counter ? counter->valueText() : QStringLiteral("-"));
        }
        QTEST(shownCounters, "counters");
        QTEST(boxes.count(), "warnings");
        if (boxes.count()) {
            QCOMPARE(boxes.last().kind, UiSeams::MessageBoxRequest::Warning);
            QCOMPARE(boxes.last().text, QStringLiteral("It is recommended to set the polling rate to 300 or 500 imp/hour."));
            QCOMPARE(boxes.last().title, QStringLiteral("Warning!"));
        }
        WidgetDeviceWriteSettings *panel = panelOf(*item);
        QCOMPARE(panel->state(), int(WidgetDeviceWriteSettings::WritingSettings));
        QCOMPARE(panel->findChild<QProgressBar *>(QStringLiteral("progressBar"))->maximum(), 90); // awake
    }

    void writeTakesEffect()
    {
        const auto item = nilvo();
        EditorBench bench(*item);
        PacketCapture capture(*item);
        QSignalSpy updated(item.get(), &DeviceItem::updated);
        QSignalSpy rebuild(item.get(), &DeviceItem::updateProperties);
        QVERIFY(bench.choose(editor(*item, "Work mode"), 1));
        pressWrite(*item);
        WidgetDeviceWriteSettings *panel = panelOf(*item);
        updated.clear();

        // The device restarts with input 3 in use: first only the editors follow.
        const QByteArray written = nilvoState(0xF2, 0x0E, 0x09, 0x09, 0x00);
        update(*item, written);
        QCOMPARE(updated.count(), 0);
        QCOMPARE(panel->state(), int(WidgetDeviceWriteSettings::WritingSettings));
        QCOMPARE(editor(*item, "Work mode")->valueText(), QStringLiteral("Water counter + leak detector"));

        // The next state with the same settings ends the write.
        QTest::ignoreMessage(QtDebugMsg, "Finished applying settings to the Zentar-NILVO2");
        update(*item, written);
        QCOMPARE(panel->state(), int(WidgetDeviceWriteSettings::NoChanges));
        QCOMPARE(rebuild.count(), 1);
        QCOMPARE(updated.count(), 0);
        QCOMPARE(row(*item, "Input 1", "Counter")->valueText(), QStringLiteral("Reading"));

        // Then the item is itself again: marks go, input 3 shows its state.
        update(*item, nilvoState(0xF2, 0x0E, 0x09, 0x09, 0x80));
        QVERIFY(!editor(*item, "Work mode")->isModified());
        QCOMPARE(row(*item, "Input 3", "State")->valueText(), QStringLiteral("Alarm"));
        QCOMPARE(updated.count(), 1);
    }

    void heatCounterChoices()
    {
        const auto item = nilvo(heat);
        EditorBench bench(*item);
        QtProperty *workMode = editor(*item, "Work mode");
        PacketCapture capture(*item);
        item->readCounters();
        QVERIFY(capture.callbacks.last()(counters(42, 0)));

        // Away from the heat counter: its rows come, the inputs read unknown.
        QVERIFY(bench.choose(workMode, 0));
        QVERIFY(workMode->isModified());
        QCOMPARE(propertyNames(propertyAt(*item, {"Input 1"})->subProperties()), QStringList({"Counter"}));
        QCOMPARE(row(*item, "Input 1", "Counter")->valueText(), QStringLiteral("Unknown"));
        // Back to what the device is: no change at all, the kept texts again.
        QVERIFY(bench.choose(workMode, 2));
        QVERIFY(!workMode->isModified());
        QVERIFY(!item->isConfigurationChanged());
        QCOMPARE(panelOf(*item)->state(), int(WidgetDeviceWriteSettings::NoChanges));
        QCOMPARE(propertyNames(propertyAt(*item, {"Settings"})->subProperties()), QStringList({"Work mode"}));
        QCOMPARE(propertyNames(propertyAt(*item, {"Input 1"})->subProperties()), QStringList());
        QCOMPARE(row(*item, "Input 3", "Counter")->valueText(), QStringLiteral("42 imp"));
    }

    void powerSaveQuestion_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("sent");
        QTest::newRow("cancel") << int(QMessageBox::Cancel) << 0;
        QTest::newRow("ok") << int(QMessageBox::Ok) << 2;
    }
    void powerSaveQuestion()
    {
        QFETCH(int, answer);
        const auto item = nilvo(nilvoState(0xF0, 0x06, 0x09, 0x09));
        EditorBench bench(*item);
        PacketCapture capture(*item);
        QVERIFY(bench.choose(editor(*item, "Speed mode"), 0));
        MessageBoxRecorder boxes;
        boxes.answer(answer);
        pressWrite(*item);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().kind, UiSeams::MessageBoxRequest::WarningQuestion);
        QCOMPARE(boxes.last().title, QStringLiteral("Warning!"));
        QCOMPARE(boxes.last().text, QStringLiteral("Warning! Device is in the powersave mode!"));
        QCOMPARE(boxes.last().informativeText,
                 QStringLiteral("This means settings saving can take a long time up to several hours. If you want to "
                                "wake up device you should tap case button.\nSave changes?"));
        QCOMPARE(boxes.last().buttons, QMessageBox::StandardButtons(QMessageBox::Ok | QMessageBox::Cancel));
        QCOMPARE(boxes.last().defaultButton, QMessageBox::Cancel);
        QCOMPARE(boxes.last().escapeButton, QMessageBox::Cancel);
        QTEST(int(capture.direct.size()), "sent");
        WidgetDeviceWriteSettings *panel = panelOf(*item);
        if (answer == QMessageBox::Ok)
            QCOMPARE(panel->findChild<QProgressBar *>(QStringLiteral("progressBar"))->maximum(), 7200);
        else
            QCOMPARE(panel->state(), int(WidgetDeviceWriteSettings::HasChanges));
        QVERIFY(!item->isFeatureSupported(0)); // asleep: whatever the firmware
    }

    void removedWhileAsking()
    {
        std::unique_ptr<DI_Nilvo> item = nilvo(nilvoState(0xF0, 0x06, 0x09, 0x09));
        EditorBench bench(*item);
        PacketCapture capture(*item);
        QVERIFY(bench.choose(editor(*item, "Speed mode"), 0));
        QPointer<WidgetDeviceWriteSettings> panel = panelOf(*item);
        // The device goes while the question is open, under the panel's own click.
        UiSeams::setMessageBoxHook([&item](const UiSeams::MessageBoxRequest &) {
            item.reset();
            return int(QMessageBox::Ok);
        });
        panel->findChild<QPushButton *>(QStringLiteral("pbWriteSettings"))->click();
        UiSeams::setMessageBoxHook({});
        QVERIFY(capture.direct.isEmpty());
        QVERIFY(panel); // it goes once the event loop runs again
        QTRY_VERIFY(!panel);
    }

    void addressText_data()
    {
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("inputs");
        QTest::addColumn<QString>("text");
        QTest::newRow("three inputs") << 10 << 0x0E << "10, 11, 12";
        QTest::newRow("inputs 1 and 3") << 10 << 0x0A << "10, 12";
        QTest::newRow("no input") << 10 << 0x00 << "10";
        QTest::newRow("past 127") << 126 << 0x0E << "126, 127, *";
        QTest::newRow("not assigned") << 0 << 0x0E << "Not assigned";
    }
    void addressText()
    {
        QFETCH(int, address);
        QFETCH(int, inputs);
        const auto item = nilvo(nilvoState(0xF2, quint8(inputs), 0x04, 0x04), quint8(address));
        QTEST(item->addressText(), "text");
    }

    void configurationFileKeys()
    {
        const auto item = nilvo();
        QCOMPARE(DeviceSettings::keys(13), QStringList({"workMode", "inputMode", "speedMode"}));
        QCOMPARE(item->workMode(), 0);
        QCOMPARE(item->inputMode(), 1);
        QCOMPARE(item->speedMode(), 1);
        QVERIFY(DeviceSettings::setValue(item.get(), QStringLiteral("workMode"), 2));
        QVERIFY(DeviceSettings::setValue(item.get(), QStringLiteral("inputMode"), 0));
        QVERIFY(DeviceSettings::setValue(item.get(), QStringLiteral("speedMode"), 3));
        QCOMPARE(DeviceSettings::value(item.get(), QStringLiteral("workMode")), QVariant(2));
        QCOMPARE(DeviceSettings::value(item.get(), QStringLiteral("inputMode")), QVariant(0));
        QCOMPARE(DeviceSettings::value(item.get(), QStringLiteral("speedMode")), QVariant(3));
        QVERIFY(!editor(*item, "Work mode")->isModified()); // no user edit
    }

    void listsAndFeatures()
    {
        const QStringList fields{"workMode",   "gpCase",     "gpMainPwr",     "gpMainBattery", "rl",
                                 "gpRssi",     "sensorCntType", "sensorSpeed", "Zone1fFail",  "Zone1State",
                                 "Zone1Value", "Zone2fFail", "Zone2State",    "Zone2Value",    "Zone3fAlarm"};
        const auto item = nilvo();
        QCOMPARE(item->fieldNames(), fields);
        QCOMPARE(DeviceItem::fieldNamesForType(13), fields);
        QCOMPARE(DeviceItem::parameterKeyForType(13, "Battery state"), QStringLiteral("gpMainPwr"));
        QCOMPARE(DeviceItem::parameterTitleForType(13, "Zone1Value"), QStringLiteral("Input 1 and 3 value"));
        QVERIFY(DeviceItem::parameterTitleForType(13, "gpActiveZone").isEmpty());
        QCOMPARE(item->parameterKey(QStringLiteral("Work mode")), QStringLiteral("workMode"));
        QCOMPARE(propertyNames(propertyAt(*item, {"Status"})->subProperties()),
                 QStringList({"Case", "Main battery state", "Transmit interval"}));

        deviceInfo_t info = makeInfo(13);
        info.firmwareVersion = 0x0112;
        DI_Nilvo recent(info, false);
        recent.updateState(info, namurWater);
        QVERIFY(recent.isFeatureSupported(0));
        QVERIFY(!recent.isFeatureSupported(1));
        info.firmwareVersion = 0x0111;
        DI_Nilvo older(info, false);
        older.updateState(info, namurWater);
        QVERIFY(!older.isFeatureSupported(0));
    }

private:
    // The shown State of each input, "-" where the tree does not show it.
    static QStringList stateTexts(const DeviceItem &item)
    {
        QStringList list;
        for (const char *group : {"Input 1", "Input 2", "Input 3"}) {
            QtProperty *state = row(item, group, "State");
            list << (state ? state->valueText() : QStringLiteral("-"));
        }
        return list;
    }

    QueueRecorder queue;
};

QTEST_MAIN(NilvoTest)
#include "tst_nilvo.moc"

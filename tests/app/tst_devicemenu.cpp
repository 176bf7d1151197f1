// The device context menu by device type, selection and online state, and
// the hidden key words.
#include "appglobals.h"
#include "devicecontextmenu.h"
#include "deviceitem.h"
#include "hiddenkeywords.h"
#include "testsupport.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {
// A device with the model actions of a class.
class MenuDevice : public DeviceItem
{
public:
    MenuDevice(quint8 radio, quint8 type, bool online, quint8 auxFlag = 0)
        : DeviceItem(record(radio, type, online, auxFlag), false)
    {
        m_actions = {DeviceAction{1, QStringLiteral("Model action")},
                     DeviceAction{1003, QStringLiteral("Reset address")}, DeviceAction{1004, QStringLiteral("Clone")}};
        deviceInfo_t info = record(radio, type, online, auxFlag);
        setConnectionState(info);
    }

private:
    static deviceInfo_t record(quint8 radio, quint8 type, bool online, quint8 auxFlag)
    {
        deviceInfo_t info;
        info.radioAddress = radio;
        info.deviceType = type;
        info.linkState = online ? 2 : 1;
        info.rlSupported = auxFlag;
        info.firmwareVersion = 0x0105;
        info.hardwareVersion = 0x0100;
        return info;
    }
};

struct Form
{
    QAction autoNumber{QStringLiteral("Auto &number")};
    QAction enableConfig{QStringLiteral("Enable config")};
    QAction keyboardLock{QStringLiteral("Lock keyboard")};
    QAction channelScan{QStringLiteral("Channel scan")};
    QAction indicationControl{QStringLiteral("Indication control")};
    QAction outputControl{QStringLiteral("Output control")};
    QAction readEeprom{QStringLiteral("Read device EEPROM")};
    QAction writeEeprom{QStringLiteral("Write to device EEPROM")};
    QAction lqiTest{QStringLiteral("Link quality test")};
    QAction statisticGet{QStringLiteral("Get statistic")};
    QAction statisticsReset{QStringLiteral("Reset statistics")};
    QAction setPreferredRS{QStringLiteral("Set preferred RS")};
    QAction deleteDevice{QStringLiteral("Delete device")};

    DeviceContextMenu::Actions actions()
    {
        return {&autoNumber,   &enableConfig, &keyboardLock,    &channelScan,    &indicationControl,
                &outputControl, &readEeprom,  &writeEeprom,     &lqiTest,        &statisticGet,
                &statisticsReset, &setPreferredRS, &deleteDevice};
    }
};

// "text" or "text (disabled)" for every entry, separators as "-" and
// sections by their title.
QStringList entries(QMenu &menu)
{
    QStringList out;
    for (QAction *action : menu.actions()) {
        if (action->isSeparator())
            out << (action->text().isEmpty() ? QStringLiteral("-") : QStringLiteral("[") + action->text() + "]");
        else
            out << action->text() + (action->isEnabled() ? QString() : QStringLiteral(" (disabled)"));
    }
    return out;
}
} // namespace

class DeviceMenuTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initTestResources();
        registerDeviceModelNames();
        registerDeviceActionMetaTypes();
    }

    void radioDevice_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("secondOnline");
        QTest::addColumn<int>("secondType");
        QTest::addColumn<int>("auxFlag");
        QTest::addColumn<int>("selectedCount");
        QTest::addColumn<QString>("connection");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("all online") << 4 << true << 4 << 0 << 2
                                    << QString("live") << QStringList{"Model action", "Reset address", "Clone", "Auto &number",
                                                   "Indication control", "Read device EEPROM", "Write to device EEPROM", "[Statistics]", "Link quality test",
                                                   "Get statistic", "Reset statistics", "-", "Delete device"};
        QTest::newRow("one offline") << 4 << false << 4 << 0 << 2
                                     << QString("live") << QStringList{"Model action (disabled)", "Reset address", "Clone",
                                                    "Auto &number", "Indication control (disabled)", "Read device EEPROM (disabled)", "Write to device EEPROM (disabled)", "[Statistics]",
                                                    "Link quality test (disabled)", "Get statistic (disabled)",
                                                    "Reset statistics (disabled)", "-", "Delete device"};
        QTest::newRow("two types") << 4 << true << 7 << 0 << 2
                                   << QString("live") << QStringList{"Auto &number", "Indication control", "Read device EEPROM", "Write to device EEPROM", "[Statistics]",
                                                  "Link quality test", "Get statistic", "Reset statistics", "-",
                                                  "Delete device"};
        QTest::newRow("type 10 has no indication")
            << 10 << true << 10 << 0 << 2
            << QString("live") << QStringList{"Model action", "Reset address", "Clone", "Auto &number", "Read device EEPROM", "Write to device EEPROM", "[Statistics]",
                           "Link quality test", "Get statistic", "Reset statistics", "-", "Delete device"};
        QTest::newRow("type 31 has no indication")
            << 31 << true << 31 << 0 << 2
            << QString("live") << QStringList{"Model action", "Reset address", "Clone", "Auto &number", "Read device EEPROM", "Write to device EEPROM", "[Statistics]",
                           "Link quality test", "Get statistic", "Reset statistics", "-", "Delete device"};
        QTest::newRow("preferred repeater") << 4 << true << 4 << 1 << 20
                                            << QString("live") << QStringList{"Model action", "Reset address", "Clone", "Auto &number",
                                                           "Indication control", "Read device EEPROM", "Write to device EEPROM", "[Statistics]", "Link quality test",
                                                           "Get statistic", "Reset statistics", "Set preferred RS",
                                                           "-", "Delete device"};
        QTest::newRow("no preferred repeater for 21") << 4 << true << 4 << 1 << 21
                                                      << QString("live") << QStringList{"Model action", "Reset address", "Clone",
                                                                     "Auto &number", "Indication control",
                                                                     "Read device EEPROM", "Write to device EEPROM",
                                                                     "[Statistics]", "Link quality test",
                                                                     "Get statistic", "Reset statistics", "-",
                                                                     "Delete device"};
        // Output control for the models with switched outputs, when every
        // selected device has them.
        for (const int type : {14, 15, 23, 50, 57})
            QTest::newRow(qPrintable(QStringLiteral("outputs of %1").arg(type)))
                << type << true << type << 0 << 2 << QString("live")
                << QStringList{"Model action", "Reset address", "Clone", "Auto &number", "Indication control",
                               "Output control", "Read device EEPROM", "Write to device EEPROM", "[Statistics]",
                               "Link quality test", "Get statistic", "Reset statistics", "-", "Delete device"};
        QTest::newRow("outputs, one device without") << 14 << true << 4 << 0 << 2 << QString("live")
                                                     << QStringList{"Auto &number", "Indication control",
                                                                    "Read device EEPROM", "Write to device EEPROM",
                                                                    "[Statistics]", "Link quality test",
                                                                    "Get statistic", "Reset statistics", "-",
                                                                    "Delete device"};
        QTest::newRow("outputs, one offline") << 50 << false << 50 << 0 << 2 << QString("live")
                                              << QStringList{"Model action (disabled)", "Reset address", "Clone",
                                                             "Auto &number", "Indication control (disabled)",
                                                             "Output control (disabled)", "Read device EEPROM (disabled)",
                                                             "Write to device EEPROM (disabled)", "[Statistics]",
                                                             "Link quality test (disabled)", "Get statistic (disabled)",
                                                             "Reset statistics (disabled)", "-", "Delete device"};
        // Devices of a file or a simulation answer nothing: what they would
        // have to answer is disabled, the model actions that work on the
        // item alone stay; a simulation's devices cannot be deleted.
        QTest::newRow("file") << 4 << true << 4 << 1 << 2 << QString("file")
                              << QStringList{"Model action (disabled)", "Reset address", "Clone", "Auto &number",
                                             "Indication control (disabled)", "Read device EEPROM (disabled)", "Write to device EEPROM (disabled)", "[Statistics]",
                                             "Link quality test (disabled)", "Get statistic (disabled)",
                                             "Reset statistics (disabled)", "Set preferred RS (disabled)", "-",
                                             "Delete device"};
        QTest::newRow("simulation") << 4 << true << 4 << 0 << 2 << QString("simulation")
                                    << QStringList{"Model action (disabled)", "Reset address", "Clone",
                                                   "Auto &number", "Indication control (disabled)", "Read device EEPROM (disabled)", "Write to device EEPROM (disabled)", "[Statistics]",
                                                   "Link quality test (disabled)", "Get statistic (disabled)",
                                                   "Reset statistics (disabled)", "-", "Delete device (disabled)"};
    }
    void radioDevice()
    {
        QFETCH(int, type);
        QFETCH(bool, secondOnline);
        QFETCH(int, secondType);
        QFETCH(int, auxFlag);
        QFETCH(int, selectedCount);
        QFETCH(QString, connection);
        QFETCH(QStringList, expected);

        Form form;
        // Left disabled by a simulation's menu: the next menu decides anew.
        form.deleteDevice.setEnabled(false);
        // Left disabled by an earlier menu: the rule decides anew.
        form.lqiTest.setEnabled(false);
        MenuDevice clicked(3, quint8(type), true, quint8(auxFlag));
        MenuDevice other(4, quint8(secondType), secondOnline);
        DeviceContextMenu::Context context;
        context.clicked = &clicked;
        context.selected = {&clicked, &other};
        context.sameType = type == secondType;
        context.autoNumberSupported = true;
        context.selectedRadioDevices = selectedCount;
        context.linked = connection == QLatin1String("live");
        context.deletable = connection != QLatin1String("simulation");

        QMenu menu;
        QList<QAction *> wired;
        DeviceContextMenu::build(&menu, context, form.actions(), [&wired](QAction *a) { wired << a; });
        QCOMPARE(entries(menu), expected);
        for (QAction *action : wired) {
            QCOMPARE(action->parent(), &menu);
            QVERIFY(action->property("action_code").isValid());
        }
        QCOMPARE(wired.size(), context.sameType ? 3 : 0);
    }

    void masterRow_data()
    {
        QTest::addColumn<bool>("configEnabled");
        QTest::addColumn<bool>("autoNumber");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("room for devices") << true << true
                                          << QStringList{"Model action", "Reset address", "Clone", "Auto &number",
                                                         "Enable config", "Lock keyboard", "Channel scan"};
        QTest::newRow("full, old hardware") << false << false
                                            << QStringList{"Model action", "Reset address", "Clone",
                                                           "Enable config (disabled)", "Lock keyboard",
                                                           "Channel scan"};
    }
    void masterRow()
    {
        QFETCH(bool, configEnabled);
        QFETCH(bool, autoNumber);
        QFETCH(QStringList, expected);
        Form form;
        MenuDevice master(255, 0, true);
        DeviceContextMenu::Context context;
        context.clicked = &master;
        context.selected = {&master};
        context.autoNumberSupported = autoNumber;
        context.configEnabled = configEnabled;
        QMenu menu;
        DeviceContextMenu::build(&menu, context, form.actions(), {});
        QCOMPARE(entries(menu), expected);
    }

    // The entries that read the product code, update a device, clear the
    // master's log and deactivate the water-meter readers: where each is
    // offered and when it is enabled.
    void serviceEntries_data()
    {
        QTest::addColumn<int>("type"); // 0: the master's row
        QTest::addColumn<bool>("online");
        QTest::addColumn<QString>("connection");
        QTest::addColumn<QStringList>("expected"); // the entries among the four, in order

        QTest::newRow("master") << 0 << true << "live" << QStringList{"Read product code", "Clear error logs"};
        QTest::newRow("master of a file") << 0 << true << "file"
                                          << QStringList{"Read product code", "Clear error logs (disabled)"};
        QTest::newRow("contact sensor") << 4 << true << "live" << QStringList{"Read product code", "Update device"};
        QTest::newRow("contact sensor offline") << 4 << false << "live"
                                                << QStringList{"Read product code (disabled)", "Update device (disabled)"};
        for (const int type : {19, 56})
            QTest::newRow(qPrintable(QStringLiteral("water meter %1").arg(type)))
                << type << true << "live"
                << QStringList{"Read product code", "Update device", "Deactivate all ZELVO"};
        QTest::newRow("water meter in a simulation")
            << 19 << true << "simulation"
            << QStringList{"Read product code (disabled)", "Update device (disabled)", "Deactivate all ZELVO (disabled)"};
    }
    void serviceEntries()
    {
        QFETCH(int, type);
        QFETCH(bool, online);
        QFETCH(QString, connection);
        QFETCH(QStringList, expected);

        Form form;
        QAction readProductCode{QStringLiteral("Read product code")};
        QAction updateDevice{QStringLiteral("Update device")};
        QAction clearErrorLogs{QStringLiteral("Clear error logs")};
        QAction deactivate{QStringLiteral("Deactivate all ZELVO")};
        DeviceContextMenu::Actions actions = form.actions();
        actions.readProductCode = &readProductCode;
        actions.updateDevice = &updateDevice;
        actions.clearErrorLogs = &clearErrorLogs;
        actions.deactivateWaterMeters = &deactivate;

        MenuDevice clicked(type == 0 ? 255 : 3, quint8(type), online);
        DeviceContextMenu::Context context;
        context.clicked = &clicked;
        context.selected = {&clicked};
        context.linked = connection == QLatin1String("live");
        QMenu menu;
        DeviceContextMenu::build(&menu, context, actions, {});
        const QStringList shown = entries(menu);
        QStringList offered;
        for (const QString &entry : shown)
            for (const QAction *action : {&readProductCode, &updateDevice, &clearErrorLogs, &deactivate})
                if (entry.startsWith(action->text()))
                    offered << entry;
        QCOMPARE(offered, expected);

        // The water meters' entry runs the window's action.
        QSignalSpy deactivated(&deactivate, &QAction::triggered);
        for (QAction *action : menu.actions())
            if (action->text() == deactivate.text() && action->isEnabled())
                action->trigger();
        QCOMPARE(deactivated.size(), expected.contains(deactivate.text()) ? 1 : 0);
    }

    void autoNumberSupport_data()
    {
        QTest::addColumn<int>("masterType");
        QTest::addColumn<QVersionNumber>("hardware");
        QTest::addColumn<bool>("supported");
        QTest::newRow("type 40") << 40 << QVersionNumber(1) << true;
        QTest::newRow("type 0, hardware 7") << 0 << QVersionNumber(7, 0) << true;
        QTest::newRow("type 0, hardware 6.9") << 0 << QVersionNumber(6, 9) << false;
        QTest::newRow("type 0, no hardware") << 0 << QVersionNumber() << false;
    }
    void autoNumberSupport()
    {
        QFETCH(int, masterType);
        QFETCH(QVersionNumber, hardware);
        QFETCH(bool, supported);
        QCOMPARE(DeviceContextMenu::autoNumberSupported(masterType, hardware), supported);
    }

    void keyWords_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("word");
        QTest::newRow("vobex") << "VOBEX" << int(HiddenKeyWords::ShowLog);
        QTest::newRow("after other keys") << "ABCVOBEX" << int(HiddenKeyWords::ShowLog);
        QTest::newRow("lower case") << "vobex" << int(HiddenKeyWords::ShowLog);
        QTest::newRow("trulm") << "TRULM" << int(HiddenKeyWords::ShowServiceProperties);
        QTest::newRow("qz") << "XQZ" << int(HiddenKeyWords::MeasurementsLogging);
        QTest::newRow("jq") << "JQ" << int(HiddenKeyWords::ShowMeasurements);
        QTest::newRow("no word") << "VOBEZ" << int(HiddenKeyWords::None);
    }
    void keyWords()
    {
        QFETCH(QString, typed);
        QFETCH(int, word);
        HiddenKeyWords words;
        int last = HiddenKeyWords::None;
        for (const QChar c : typed)
            last = words.type(c.unicode());
        QCOMPARE(last, word);
        // Completing the word again fires again.
        if (word == HiddenKeyWords::ShowLog) {
            for (const char c : QByteArray("VOBE"))
                QCOMPARE(int(words.type(c)), int(HiddenKeyWords::None));
            QCOMPARE(int(words.type('X')), int(HiddenKeyWords::ShowLog));
        }
    }

    void keyBufferKeepsItsTail()
    {
        HiddenKeyWords words;
        for (int i = 0; i < 101; ++i)
            words.type('A');
        QCOMPARE(words.typed().size(), 101);
        // More than 100: cut to the last 30 before the key is added.
        words.type('V');
        QCOMPARE(words.typed(), QString(30, QLatin1Char('A')) + QLatin1Char('V'));
        for (const char c : QByteArray("OBE"))
            words.type(c);
        QCOMPARE(int(words.type('X')), int(HiddenKeyWords::ShowLog));
    }
};

QTEST_MAIN(DeviceMenuTest)
#include "tst_devicemenu.moc"

// The master item's refresh: status answers by link kind, their decoding into
// the property rows, status text, alarm and fault; radio-mode transitions;
// the interval check; the settings writer for the user's edits only; the
// restart question; viewing mode; the factory entry.
#include "appglobals.h"
#include "deviceclasses.h"
#include "infocollector.h"
#include "masterbench.h"
#include "qteditorfactory.h"
#include "qtpropertymanager.h"
#include "qttreepropertybrowser.h"
#include "registermasterclass.h"
#include "settings.h"
#include "testsupport.h"

#include <QComboBox>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>

#include <cmath>
#include <functional>
#include <memory>

// A change of the healthy record.
using Edit = std::function<void(hubroInfo_t &)>;
Q_DECLARE_METATYPE(Edit)

namespace {

// The master's rows in a real browser whose editors make the user's edits.
class Editors
{
public:
    explicit Editors(HubroItem &item)
    {
        m_browser.setFactoryForManager(item.data(DeviceRole::EnumManager).value<QtEnumPropertyManager *>(), &m_factory);
        for (QtProperty *property : item.topProperties())
            m_browser.addProperty(property);
        DeviceItem::setPropertyBrowser(&m_browser);
        item.postInit();
    }
    ~Editors() { DeviceItem::setPropertyBrowser(nullptr); }

    bool choose(QtProperty *property, int index)
    {
        std::unique_ptr<QWidget> editor(m_factory.createEditor(property, &m_browser));
        auto *combo = qobject_cast<QComboBox *>(editor.get());
        if (!combo)
            return false;
        combo->setCurrentIndex(index);
        return true;
    }

private:
    QtTreePropertyBrowser m_browser;
    QtEnumEditorFactory m_factory;
};

class Collector : public InfoCollector
{
public:
    void appendValue(QString tableName, uint deviceId, QVariant value) override
    {
        keys << tableName;
        serials << deviceId;
        values << value;
    }
    QStringList keys;
    QList<uint> serials;
    QVariantList values;
};

int countTitled(const MessageBoxRecorder &boxes, const QString &title)
{
    int n = 0;
    for (const auto &request : boxes.requests())
        n += request.title == title;
    return n;
}

} // namespace

class HubroRefreshTest : public QObject, public MasterFixture
{
    Q_OBJECT

    void answerWith(const hubroInfo_t &info) { m_link->script(PT_HUBRO_INFO, statusAnswer(info)); }

    // One refresh, answered as scripted.
    bool refresh()
    {
        QSignalSpy updated(m_item.get(), &HubroItem::hubroInfoUpdated);
        m_item->requestStatus();
        return updated.wait(2000);
    }

private slots:
    void initTestCase()
    {
        initTestResources();
        registerDeviceModelNames();
    }

    void init()
    {
        HubroItem::setTimings(fastTimings());
        appSettings.remove(QLatin1String(SettingsKey::LossInterval));
        appSettings.remove(QLatin1String(SettingsKey::LossIntervalValue));
    }

    void cleanup() { releaseMaster(); }

    void decodedRows_data()
    {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("alarm");
        QTest::addColumn<bool>("fault");

        const QString healthy = QStringLiteral("Devices connected: 0");
        QTest::newRow("healthy") << Edit([](hubroInfo_t &) {}) << "Main power" << "12.0 V" << healthy << false
                                 << false;
        QTest::newRow("main supply at 2000 mV") << Edit([](hubroInfo_t &i) { i.wPowerMain = 2000; }) << "Main power"
                                                << "Disconnected" << healthy << false << false;
        QTest::newRow("main supply at 2001 mV") << Edit([](hubroInfo_t &i) { i.wPowerMain = 2001; }) << "Main power"
                                                << "2.0 V" << healthy << false << false;
        QTest::newRow("main supply failed") << Edit([](hubroInfo_t &i) { i.bPowerState = 0x02; }) << "Reserve power"
                                            << "12.5 V" << healthy + ", Main power failed" << false << true;
        QTest::newRow("both supplies failed")
            << Edit([](hubroInfo_t &i) { i.bPowerState = 0; }) << "Main power" << "12.0 V"
            << healthy + ", Main power failed, Reserve power failed" << false << true;
        QTest::newRow("Wireloop at 6499 mV") << Edit([](hubroInfo_t &i) { i.wPowerWireloop = 6499; })
                                             << "WIRELOOP power" << "Disconnected"
                                             << healthy + ", WIRELOOP power failed" << false << false;
        QTest::newRow("Wireloop at 6500 mV") << Edit([](hubroInfo_t &i) { i.wPowerWireloop = 6500; })
                                             << "WIRELOOP power" << "6.5 V" << healthy << false << false;
        QTest::newRow("Wireloop at 30000 mV") << Edit([](hubroInfo_t &i) { i.wPowerWireloop = 30000; })
                                              << "WIRELOOP power" << "Fail" << healthy + ", WIRELOOP power failed"
                                              << false << false;
        QTest::newRow("Wireloop as supply, 6499 mV")
            << Edit([](hubroInfo_t &i) {
                   i.Options.fWireloopPowerDisable = 1;
                   i.wPowerWireloop = 6499;
                   i.bPowerState = 0;
               })
            << "WIRELOOP as supply" << "Yes" << healthy + ", WIRELOOP power failed" << false << false;
        QTest::newRow("Wireloop as supply, 30001 mV")
            << Edit([](hubroInfo_t &i) {
                   i.Options.fWireloopPowerDisable = 1;
                   i.wPowerWireloop = 30001;
               })
            << "WIRELOOP power" << "Fail" << healthy + ", WIRELOOP power failed" << false << true;
        QTest::newRow("interference") << Edit([](hubroInfo_t &i) { i.RFNoise = 5; }) << "Radio noise"
                                      << "Interference!" << healthy + ", Interference!" << true << true;
        QTest::newRow("RF noise 255") << Edit([](hubroInfo_t &i) { i.RFNoise = 255; }) << "Radio noise" << "No"
                                      << healthy + ", Radio noise fault (255)" << false << true;
        QTest::newRow("interference unsupported before 1.32")
            << Edit([](hubroInfo_t &i) {
                   i.RFNoise = 5;
                   i.wMK2FWVer = 0x011F;
               })
            << "Radio noise" << "No" << healthy + ", Radio noise fault (5)" << false << true;
        QTest::newRow("case open") << Edit([](hubroInfo_t &i) { i.bCaseState = 1; }) << "Case" << "Opened"
                                   << healthy + ", Case open" << true << false;
        QTest::newRow("Bluetooth module: type 141") << Edit([](hubroInfo_t &i) { i.modules.bluetooth = 1; })
                                                    << "WD Type" << deviceModelNames.at(141) << healthy << false
                                                    << false;
        QTest::newRow("core firmware with its build stamp")
            << Edit([](hubroInfo_t &i) { std::memcpy(i.szDate, "Aug  5 2026", 12); }) << "Core firmware"
            << "1.32 (05.08.26 14:03:00)" << healthy << false << false;
        QTest::newRow("serial and address") << Edit([](hubroInfo_t &i) { i.dwSerialId = 42; }) << "S/N"
                                            << "0000000042" << healthy << false << false;
    }

    void decodedRows()
    {
        QFETCH(Edit, edit);
        QFETCH(QString, row);
        QFETCH(QString, text);
        QFETCH(QString, status);
        QFETCH(bool, alarm);
        QFETCH(bool, fault);
        hubroInfo_t info = healthyRecord();
        edit(info);
        QVERIFY(connectMaster(healthyRecord()));
        answerWith(info);
        QVERIFY(refresh());

        QCOMPARE(rowText(*m_item, row), text);
        QCOMPARE(m_item->data(DeviceRole::StatusText).toString(), status);
        QCOMPARE(m_item->hasAlarm(), alarm);
        QCOMPARE(m_item->hasFault(), fault);
        QCOMPARE(rowText(*m_item, QStringLiteral("Wireloop address")), QStringLiteral("7"));
    }

    void shortAnswers_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("link");
        QTest::addColumn<int>("recordBytes");
        QTest::addColumn<bool>("taken");
        QTest::newRow("32-device master, serial: 57 bytes") << 0 << int(Serial) << 57 << true;
        QTest::newRow("32-device master, simulation: 57 bytes") << 0 << int(Simulation) << 57 << true;
        QTest::newRow("32-device master, serial: 56 bytes") << 0 << int(Serial) << 56 << false;
        QTest::newRow("125-device master, serial: 78 bytes") << 40 << int(Serial) << 78 << true;
        QTest::newRow("125-device master, serial: 77 bytes") << 40 << int(Serial) << 77 << false;
        QTest::newRow("125-device master, simulation: 78 bytes") << 40 << int(Simulation) << 78 << true;
        QTest::newRow("125-device master, serial: 57 bytes") << 40 << int(Serial) << 57 << false;
    }

    void shortAnswers()
    {
        QFETCH(int, type);
        QFETCH(int, link);
        QFETCH(int, recordBytes);
        QFETCH(bool, taken);
        MessageBoxRecorder boxes; // the record below has an invalid interval
        hubroInfo_t info = type == 0 ? hubro32Record() : healthyRecord();
        QVERIFY(connectMaster(info, false, ConnectionType(link)));
        const hubroInfo_t before = m_item->hubroInfo();

        // Every record byte set, so that the zero-filled part shows.
        QByteArray record(78, char(0x11));
        record[0] = char(type);
        record[1] = 9;
        record[34] = 0; // options: no password, normal radio mode
        record[56] = char(0x22); // the short answer's last byte: RFNoise
        const QByteArray answer = QByteArray(1, char(PT_HUBRO_INFO_ACK)) + record.left(recordBytes);
        m_link->script(PT_HUBRO_INFO, answer);
        if (taken) {
            QVERIFY(refresh());
        } else {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("too short")));
            m_item->requestStatus();
            QTRY_COMPARE(m_link->results.size(), 1);
            QVERIFY(m_link->results.first()); // the right answer, only too short
        }

        const QByteArray now = hubroInfoToBytes(m_item->hubroInfo());
        if (!taken) {
            QCOMPARE(now, hubroInfoToBytes(before));
        } else if (type == 0) {
            QCOMPARE(now.left(56), record.left(56));
            QCOMPARE(now.mid(56, 16), QByteArray(16, '\0'));
            QCOMPARE(quint8(now.at(72)), quint8(0x22));
            QCOMPARE(now.mid(73), QByteArray(5, '\0'));
        } else {
            QCOMPARE(now, record);
        }
    }

    // The power-state byte (73) judges the supplies only where the answer
    // carries it: never in the 32-device master's short answer, whatever the
    // "WIRELOOP as supply" value; a full record is judged by it.
    void powerStateOnlyWhereSent_data()
    {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<bool>("wholeRecordSent"); // the answer holds all 78 bytes, whatever the type
        QTest::addColumn<int>("link");
        QTest::addColumn<QString>("supplyMode");   // "WIRELOOP as supply"
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("mainFailed");
        QTest::addColumn<bool>("reserveFailed");
        QTest::addColumn<bool>("alarm");
        QTest::addColumn<bool>("fault");

        // hubro32Record(): hardware 9, the jumper decides; type 1 hardware 9: Options bit 6.
        const Edit jumperSet = [](hubroInfo_t &i) { i.bJamperState = 1; };
        const Edit newer32 = [](hubroInfo_t &i) { i.bHWVer = 10; }; // Options bit 6, an editable choice
        const Edit mk2 = [](hubroInfo_t &i) { i.bDevType = 1; };
        const auto with = [](std::initializer_list<Edit> list) {
            return Edit([edits = std::vector<Edit>(list)](hubroInfo_t &i) {
                for (const Edit &edit : edits)
                    edit(i);
            });
        };
        const Edit noPowerState = [](hubroInfo_t &i) { i.bPowerState = 0; };
        const Edit mainOnly = [](hubroInfo_t &i) { i.bPowerState = 0x01; };
        const Edit wireloopSupply = [](hubroInfo_t &i) { i.Options.fWireloopPowerDisable = 1; };
        const Edit wireloopLow = [](hubroInfo_t &i) { i.wPowerWireloop = 6000; };
        const Edit noise = [](hubroInfo_t &i) { i.RFNoise = 7; };
        const QString healthy = QStringLiteral("Devices connected: 0");
        const QString both = healthy + ", Main power failed, Reserve power failed";
        const QString wireloopFailed = healthy + ", WIRELOOP power failed";

        struct Row
        {
            const char *name;
            Edit edit;
            bool whole;
            const char *mode;
            QString status;
            bool main, reserve, alarm, fault;
        };
        const Row rows[] = {
            {"32-device, jumper set, byte 73 clear", with({jumperSet, noPowerState}), false, "No", healthy,
             false, false, false, false},
            {"32-device, jumper set, 78 bytes sent, byte 73 clear", with({jumperSet, noPowerState}), true, "No",
             healthy, false, false, false, false},
            {"32-device, jumper clear, byte 73 clear", noPowerState, false, "Yes", healthy, false, false, false,
             false},
            {"32-device, jumper clear, Wireloop low", with({noPowerState, wireloopLow}), false, "Yes",
             wireloopFailed, false, false, false, true},
            {"32-device, jumper set, Wireloop low", with({jumperSet, noPowerState, wireloopLow}), false, "No",
             wireloopFailed, false, false, false, false},
            {"32-device, noise", with({jumperSet, noPowerState, noise}), false, "No",
             healthy + ", Interference!", false, false, true, true},
            {"32-device hardware 10, Options bit 6 clear", with({newer32, noPowerState}), false, "Deny", healthy,
             false, false, false, false},
            {"32-device hardware 10, Options bit 6 set", with({newer32, noPowerState, wireloopSupply}), false,
             "Allow", healthy, false, false, false, false},
            {"type 1, Options bit 6 clear, byte 73 clear", with({mk2, noPowerState}), true, "No", both, true,
             true, false, true},
            {"type 1, Options bit 6 clear, main good only", with({mk2, mainOnly}), true, "No",
             healthy + ", Reserve power failed", false, true, false, true},
            {"type 1, Options bit 6 clear, both good", mk2, true, "No", healthy, false, false, false, false},
            {"type 1, Options bit 6 set, byte 73 clear", with({mk2, noPowerState, wireloopSupply}), true, "Yes",
             healthy, false, false, false, false},
        };
        for (const ConnectionType link : {Serial, Simulation})
            for (const Row &row : rows)
                QTest::addRow("%s, %s", row.name, link == Serial ? "serial" : "simulation")
                    << row.edit << row.whole << int(link) << row.mode << row.status << row.main << row.reserve
                    << row.alarm << row.fault;
    }

    void powerStateOnlyWhereSent()
    {
        QFETCH(Edit, edit);
        QFETCH(bool, wholeRecordSent);
        QFETCH(int, link);
        QFETCH(QString, supplyMode);
        QFETCH(QString, status);
        QFETCH(bool, mainFailed);
        QFETCH(bool, reserveFailed);
        QFETCH(bool, alarm);
        QFETCH(bool, fault);
        hubroInfo_t info = hubro32Record();
        info.wMK2FWVer = 0x0120; // interference is reported
        edit(info);

        // The record the item starts from, and then the refresh's answer.
        hubroInfo_t start = info;
        start.bPowerState = 0x03;
        QVERIFY(connectMaster(start, false, ConnectionType(link)));
        m_link->script(PT_HUBRO_INFO, wholeRecordSent ? char(PT_HUBRO_INFO_ACK) + hubroInfoToBytes(info)
                                                      : statusAnswer(info));
        QVERIFY(refresh());

        QCOMPARE(rowText(*m_item, QStringLiteral("WIRELOOP as supply")), supplyMode);
        QCOMPARE(m_item->data(DeviceRole::StatusText).toString(), status);
        QCOMPARE(bool(m_item->propertyLevel(findRow(*m_item, QStringLiteral("Main power"))) & DeviceItem::MarkFault),
                 mainFailed);
        QCOMPARE(bool(m_item->propertyLevel(findRow(*m_item, QStringLiteral("Reserve power")))
                      & DeviceItem::MarkFault),
                 reserveFailed);
        QCOMPARE(m_item->hasAlarm(), alarm);
        QCOMPARE(m_item->hasFault(), fault);
    }

    void radioModeTransitions_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QByteArray>("signal");
        QTest::newRow("scan ends in configuration mode") << 2 << 1 << QByteArray(SIGNAL(channelScanFinished()));
        QTest::newRow("scan ends") << 2 << 0 << QByteArray(SIGNAL(channelScanFinished()));
        QTest::newRow("configuration mode on") << 0 << 1 << QByteArray(SIGNAL(configStateChanged(int)));
        QTest::newRow("configuration mode off") << 1 << 0 << QByteArray(SIGNAL(configStateChanged(int)));
        QTest::newRow("scan starts") << 0 << 2 << QByteArray(SIGNAL(channelScanStarted()));
    }

    void radioModeTransitions()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QByteArray, signal);
        hubroInfo_t info = healthyRecord();
        info.Options.btfRFMode = quint8(from);
        QVERIFY(connectMaster(info));
        const QList<QByteArray> all{SIGNAL(channelScanFinished()), SIGNAL(channelScanStarted()),
                                    SIGNAL(configStateChanged(int))};
        QList<std::shared_ptr<QSignalSpy>> spies;
        for (const QByteArray &s : all)
            spies << std::make_shared<QSignalSpy>(m_item.get(), s.constData());

        info.Options.btfRFMode = quint8(to);
        answerWith(info);
        QVERIFY(refresh());
        for (int i = 0; i < all.size(); ++i)
            QCOMPARE(spies.at(i)->count(), all.at(i) == signal ? 1 : 0);
        if (signal.contains("configStateChanged"))
            QCOMPARE(spies.last()->first().first().toInt(), to);
    }

    void settingsWriterRunsOnlyForUserEdits()
    {
        MessageBoxRecorder boxes;
        boxes.answer(QMessageBox::No); // the restart question after the interval
        hubroInfo_t info = healthyRecord();
        info.bHWVer = 13; // WIRELOOP as supply is a choice
        QVERIFY(connectMaster(info));
        Editors editors(*m_item);
        QSignalSpy interval(m_item.get(), &HubroItem::intervalChanged);
        QSignalSpy channel(m_item.get(), &HubroItem::channelChanged);
        QSignalSpy wireloop(m_item.get(), &HubroItem::wireloopPowerModeChanged);

        // Refreshes that change every setting row send nothing.
        info.Options.fPowerAdjustment = 1;
        info.Options.fWireloopPowerDisable = 1;
        info.wExchangeInterval = 9000; // 270 s
        info.ChannelsAdvanced.btfRFCurr = 3;
        answerWith(info);
        QVERIFY(refresh());
        QVERIFY(refresh());
        QCOMPARE(rowText(*m_item, QStringLiteral("Interval")), QStringLiteral("270 s"));
        QCOMPARE(rowText(*m_item, QStringLiteral("Power adjustment")), QStringLiteral("Enabled"));
        QCOMPARE(rowText(*m_item, QStringLiteral("Radio channel")), QStringLiteral("3"));
        QCOMPARE(rowText(*m_item, QStringLiteral("WIRELOOP as supply")), QStringLiteral("Allow"));
        QCOMPARE(m_link->sent, QList<QByteArray>({bytesOf({0x01}), bytesOf({0x01})}));
        m_link->sent.clear();

        // The user's edits do.
        QVERIFY(editors.choose(findRow(*m_item, QStringLiteral("Interval")), 0));
        QVERIFY(editors.choose(findRow(*m_item, QStringLiteral("Power adjustment")), 0));
        QVERIFY(editors.choose(findRow(*m_item, QStringLiteral("Radio channel")), 4)); // automatic
        QVERIFY(editors.choose(findRow(*m_item, QStringLiteral("Radio channel")), 5)); // dynamic
        QVERIFY(editors.choose(findRow(*m_item, QStringLiteral("Radio channel")), 1));
        QVERIFY(editors.choose(findRow(*m_item, QStringLiteral("WIRELOOP as supply")), 0));
        QCOMPARE(m_link->sent, QList<QByteArray>({bytesOf({0xA2, 0x70, 0x17}), bytesOf({0xA6, 0}),
                                                  bytesOf({0x8C, 1, 2}), bytesOf({0x8C, 2, 3}), bytesOf({0x8C, 0, 1}),
                                                  bytesOf({0x8E, 0})}));
        QCOMPARE(interval.count(), 1);
        QCOMPARE(interval.first().first().toInt(), 180);
        QCOMPARE(channel.count(), 3);
        QCOMPARE(channel.at(0), QVariantList({10, true, false}));
        QCOMPARE(channel.at(1), QVariantList({11, false, true}));
        QCOMPARE(wireloop.count(), 1);

        // Their answers: the interval asks for the restart, the others log.
        QVERIFY(m_link->respond(PT_EXCHANGE_INTERVAL, bytesOf({0xA3})));
        QVERIFY(m_link->respond(PT_HUBRO_POWER_ADJUSTMENT, bytesOf({0xA7})));
        QVERIFY(m_link->respond(PT_USB_CHANNEL_SET, bytesOf({0x8D})));
        QVERIFY(!m_link->respond(PT_USB_CHANNEL_SET, bytesOf({0xFF})));
        QVERIFY(m_link->respond(PT_WIRELOOP_POWER_MODE_SET, bytesOf({0x8F})));
        QTRY_COMPARE(countTitled(boxes, QStringLiteral("Interval change")), 1);
        const auto question = boxes.last();
        QCOMPARE(question.text.trimmed(), QStringLiteral("Reboot required"));
        QCOMPARE(question.informativeText, QStringLiteral("Your settings has been saved. Device should be restarted "
                                                          "for settings to take effect. Restart now?"));
        QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No);
        // Enter, Escape and the close button do not reboot.
        QCOMPARE(question.defaultButton, QMessageBox::No);
        QCOMPARE(question.escapeButton, QMessageBox::No);
        QCOMPARE(m_link->countOf(PT_REBOOT), 0);
    }

    void restartQuestionRebootsOnYesAndDoesNotStack()
    {
        MessageBoxRecorder boxes;
        QVERIFY(connectMaster(healthyRecord()));
        Editors editors(*m_item);
        QVERIFY(editors.choose(findRow(*m_item, QStringLiteral("Interval")), 2));
        QVERIFY(editors.choose(findRow(*m_item, QStringLiteral("Interval")), 3));
        QCOMPARE(m_link->countOf(PT_EXCHANGE_INTERVAL), 2);
        QVERIFY(m_link->respond(PT_EXCHANGE_INTERVAL, bytesOf({0xA3})));
        QVERIFY(m_link->respond(PT_EXCHANGE_INTERVAL, bytesOf({0xA3})));
        QTRY_COMPARE(m_link->countOf(PT_REBOOT), 1);
        QCOMPARE(countTitled(boxes, QStringLiteral("Interval change")), 1);
        QSignalSpy restarted(m_item.get(), &HubroItem::restarted);
        QVERIFY(m_link->respond(PT_REBOOT, bytesOf({0xB1})));
        QCOMPARE(restarted.first().first().toInt(), 20000);
    }

    void closingTheConnectionClosesTheRestartQuestion()
    {
        // The real box, no hook: closing the connection must end it.
        QVERIFY(connectMaster(healthyRecord()));
        Editors editors(*m_item);
        QVERIFY(editors.choose(findRow(*m_item, QStringLiteral("Interval")), 1));
        QVERIFY(m_link->respond(PT_EXCHANGE_INTERVAL, bytesOf({0xA3})));
        QPointer<QMessageBox> seen;
        ModalAction action([&](QWidget *widget) {
            seen = qobject_cast<QMessageBox *>(widget);
            QCOMPARE(m_item->reconnectPrompt(), seen.data());
            m_item->onConnectionClosing();
        });
        QTRY_VERIFY(action.ran());
        QTRY_VERIFY(!seen);
        QVERIFY(!action.stuck());
        QVERIFY(!m_item->reconnectPrompt());
        QCOMPARE(m_link->countOf(PT_REBOOT), 0);
    }

    void bluetoothOverBluetoothAsksFirst_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("no: stays on") << int(QMessageBox::No);
        QTest::newRow("yes: switched off") << int(QMessageBox::Yes);
    }

    void bluetoothOverBluetoothAsksFirst()
    {
        QFETCH(int, answer);
        MessageBoxRecorder boxes;
        boxes.answer(answer);
        hubroInfo_t info = healthyRecord();
        info.modules.bluetooth = 1;
        QVERIFY(connectMaster(info, false, Bluetooth));
        Editors editors(*m_item);
        QSignalSpy rebuild(m_item.get(), &DeviceItem::updateProperties);
        QSignalSpy disconnect(m_item.get(), &HubroItem::masterDisconnect);
        m_link->sent.clear();

        QVERIFY(editors.choose(findRow(*m_item, QStringLiteral("Bluetooth")), 0));
        QCOMPARE(boxes.last().title, QStringLiteral("Turning off Bluetooth"));
        QCOMPARE(boxes.last().defaultButton, QMessageBox::No);
        QCOMPARE(boxes.last().escapeButton, QMessageBox::No);
        if (answer == QMessageBox::No) {
            QVERIFY(m_link->sent.isEmpty());
            QCOMPARE(rowText(*m_item, QStringLiteral("Bluetooth")), QStringLiteral("On"));
            QCOMPARE(rebuild.count(), 1);
            return;
        }
        QCOMPARE(m_link->sent, QList<QByteArray>{bytesOf({0x1E, 1})});
        QVERIFY(m_link->respond(PT_BT_DISABLE, bytesOf({0x1F})));
        QCOMPARE(disconnect.count(), 1);
    }

    void bluetoothOverSerial()
    {
        MessageBoxRecorder boxes;
        boxes.answer(QMessageBox::No);
        hubroInfo_t info = healthyRecord();
        info.modules.bluetooth = 1;
        info.Options.fRestricted = 1; // off
        QVERIFY(connectMaster(info));
        Editors editors(*m_item);
        m_link->sent.clear();
        QVERIFY(editors.choose(findRow(*m_item, QStringLiteral("Bluetooth")), 1));
        QCOMPARE(m_link->sent, QList<QByteArray>{bytesOf({0x1E, 0})});
        QCOMPARE(boxes.count(), 0);
        QVERIFY(m_link->respond(PT_BT_DISABLE, bytesOf({0x1F})));
        QTRY_COMPARE(countTitled(boxes, QStringLiteral("Bluetooth change")), 1);
    }

    void invalidIntervalWarnsOnceWithoutStacking()
    {
        MessageBoxRecorder boxes;
        hubroInfo_t info = hubro32Record();
        info.wExchangeInterval = 3334; // 100 s
        m_item = std::make_unique<HubroItem>(info, false);
        m_link = std::make_unique<ScriptedLink>(*m_item);
        answerWith(info);
        // While the warning is open, refreshes keep coming.
        int nested = 0;
        UiSeams::MessageBoxHook recorder = UiSeams::messageBoxHook();
        UiSeams::setMessageBoxHook([&](const UiSeams::MessageBoxRequest &request) {
            if (request.title == QLatin1String("Warning") && nested++ == 0) {
                for (int i = 0; i < 3; ++i) {
                    QSignalSpy updated(m_item.get(), &HubroItem::hubroInfoUpdated);
                    m_item->requestStatus();
                    updated.wait(2000);
                }
            }
            return recorder(request);
        });

        QTRY_COMPARE(m_link->countOf(PT_EXCHANGE_INTERVAL), 1);
        QCOMPARE(countTitled(boxes, QStringLiteral("Warning")), 1);
        const auto warning = boxes.requests().first();
        QCOMPARE(warning.text, QStringLiteral("100 sec is incorrect interval. 180 seconds will be set"));
        QCOMPARE(warning.informativeText, QStringLiteral("Attempt to write invalid configuration data"));
        QCOMPARE(m_link->sentOfType(PT_EXCHANGE_INTERVAL).first(), bytesOf({0xA2, 0x70, 0x17}));
        // 180 s is entry 3 of the 32-device master's list.
        QCOMPARE(findRow(*m_item, QStringLiteral("Interval"))->valueText(), QStringLiteral("180 s"));
        QCOMPARE(m_item->data(DeviceRole::EnumManager).value<QtEnumPropertyManager *>()->value(
                     findRow(*m_item, QStringLiteral("Interval"))),
                 3);

        // The master keeps its old interval until it restarts: no new warning.
        QVERIFY(refresh());
        QVERIFY(refresh());
        UiSeams::setMessageBoxHook(recorder);
        QCOMPARE(countTitled(boxes, QStringLiteral("Warning")), 1);
        QCOMPARE(m_link->countOf(PT_EXCHANGE_INTERVAL), 1);
    }

    void storedIntervalIsWrittenOnce()
    {
        MessageBoxRecorder boxes;
        appSettings.setValue(QLatin1String(SettingsKey::LossInterval), true);
        appSettings.setValue(QLatin1String(SettingsKey::LossIntervalValue), 360);
        QVERIFY(connectMaster(healthyRecord())); // written while connecting
        QCOMPARE(m_link->pending.size(), 1);
        QCOMPARE(m_link->pending.first().data, bytesOf({0xA2, 0xE0, 0x2E}));
        QVERIFY(refresh());
        QVERIFY(refresh());
        QCOMPARE(m_link->countOf(PT_EXCHANGE_INTERVAL), 0);

        appSettings.setValue(QLatin1String(SettingsKey::LossIntervalValue), 100); // not offered: ignored
        QVERIFY(refresh());
        QCOMPARE(m_link->countOf(PT_EXCHANGE_INTERVAL), 0);
    }

    void firmwareZeroStartsNoTimers()
    {
        HubroItem::Timings t = fastTimings(20);
        t.upload = 20;
        HubroItem::setTimings(t);
        hubroInfo_t info = healthyRecord();
        info.wMK2FWVer = 0;
        MessageBoxRecorder boxes;
        QVERIFY(connectMaster(info));
        QSignalSpy sends(m_item.get(), &DeviceItem::sendPacket);
        QVERIFY(!sends.wait(150));

        QVERIFY(connectMaster(healthyRecord()));
        QTRY_VERIFY(m_link->countOf(PT_HUBRO_INFO) >= 2);
        QTRY_VERIFY(m_link->countOf(PT_HEADER_FIRMWARE_READ_REQ) >= 1);
    }

    void measurementsOnChange()
    {
        QVERIFY(connectMaster(healthyRecord()));
        Collector collector;
        m_item->installInfoCollector(&collector);
        QVERIFY(refresh()); // the same record: nothing stored
        QVERIFY(collector.keys.isEmpty());

        hubroInfo_t info = healthyRecord();
        info.wPowerMain = 11500;
        answerWith(info);
        QSignalSpy updated(m_item.get(), &DeviceItem::updated);
        QVERIFY(refresh());
        QCOMPARE(updated.count(), 1);
        QCOMPARE(collector.keys, HubroItem::staticFieldNames());
        QCOMPARE(collector.serials.first(), 123456u);
        QCOMPARE(collector.values.at(collector.keys.indexOf(QStringLiteral("wPowerMain"))).toDouble(), 11.5);
        QCOMPARE(collector.values.at(collector.keys.indexOf(QStringLiteral("wExchangeInterval"))).toInt(), 180);
    }

    void viewingMode()
    {
        MessageBoxRecorder boxes;
        HubroItem::Timings t = fastTimings();
        t.compatibilityCheck = 10;
        HubroItem::setTimings(t);
        hubroInfo_t info = healthyRecord();
        info.Options.fPswE = 1; // a file has no master to log in to
        info.wMK2FWVer = 0x0100;
        info.Time = 0;
        m_item = std::make_unique<HubroItem>(info, false);
        m_link = std::make_unique<ScriptedLink>(*m_item, File);
        m_item->setOffline();
        QSignalSpy connected(m_item.get(), &HubroItem::connected);
        QTest::ignoreMessage(QtDebugMsg, "Skip fw compatibility()");
        QVERIFY(connected.wait(2000));
        QCOMPARE(m_item->data(DeviceRole::StatusText).toString(), QStringLiteral("Devices connected: 0, Viewing mode"));
        QCOMPARE(m_item->data(Qt::BackgroundRole).value<QColor>(), QColor(210, 210, 210));
        QVERIFY(!findRow(*m_item, QStringLiteral("Free memory left")));
        QVERIFY(findRow(*m_item, QStringLiteral("Main power")));
        QSignalSpy sends(m_item.get(), &DeviceItem::sendPacket);
        QVERIFY(!sends.wait(50));
        QCOMPARE(m_link->countOf(PT_PASSWORD_LOGIN), 0);
        QCOMPARE(m_link->countOf(PT_USB_TIME_SET), 0);
        QCOMPARE(boxes.count(), 0);

        // A file's interval is the stored setting, shown as a plain row.
        appSettings.setValue(QLatin1String(SettingsKey::Interval), 270);
        QSignalSpy rebuild(m_item.get(), &DeviceItem::updateProperties);
        m_item->applyIntervalProperty();
        QCOMPARE(rebuild.count(), 1);
        QtProperty *interval = findRow(*m_item, QStringLiteral("Interval"));
        QCOMPARE(interval->valueText(), QStringLiteral("270"));
        QVERIFY(!interval->propertyManager()->isEditable());
        QCOMPARE(m_item->topProperties().count(interval), 1);
        QVERIFY(m_item->infoText().contains(QStringLiteral("Loss detection time: 270")));
        appSettings.remove(QLatin1String(SettingsKey::Interval));
    }

    void firmwareCompatibilityCheck_data()
    {
        QTest::addColumn<int>("firmware");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("minor 0") << 0x0200 << "Critical!" << "Firmware is broken!";
        QTest::newRow("minor 11") << 0x010B << "Warning!" << "Your device version is outdated!";
        QTest::newRow("minor 12") << 0x000C << QString() << QString();
    }

    void firmwareCompatibilityCheck()
    {
        QFETCH(int, firmware);
        QFETCH(QString, title);
        QFETCH(QString, text);
        MessageBoxRecorder boxes;
        HubroItem::Timings t = fastTimings();
        t.compatibilityCheck = 10;
        HubroItem::setTimings(t);
        hubroInfo_t info = healthyRecord();
        info.wMK2FWVer = quint16(firmware);
        info.wExchangeInterval = 6000;
        QVERIFY(connectMaster(info));
        if (title.isEmpty()) {
            QSignalSpy sends(m_item.get(), &DeviceItem::sendPacket);
            QVERIFY(!sends.wait(50));
            QCOMPARE(boxes.count(), 0);
            return;
        }
        QTRY_COMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().title, title);
        QCOMPARE(boxes.last().text, text);
        QVERIFY(!boxes.last().modal);
    }

    void kastrelModeAndMasterRow()
    {
        hubroInfo_t info = hubro32Record();
        info.bKastrelAddr = 12;
        QVERIFY(connectMaster(info, true));
        QCOMPARE(m_item->typeName(), QStringLiteral("Zentar-TROMBEL"));
        QCOMPARE(m_item->toolTip(), QStringLiteral(" #12\nZentar-TROMBEL\nhw: 9.0 fw: 1.32\ns/n: 123456"));
        QCOMPARE(rowText(*m_item, QStringLiteral("Kastrel address")), QStringLiteral("12"));
        QCOMPARE(m_item->data(DeviceRole::KastrelAddress).toInt(), 12);
        QCOMPARE(m_item->data(DeviceRole::RssiText).toString(), QStringLiteral("-"));
        QCOMPARE(m_item->data(DeviceRole::SerialText).toString(), QStringLiteral("0000123456"));
        QCOMPARE(m_item->data(DeviceRole::FirmwareText).toString(), QStringLiteral("1.32"));
        QCOMPARE(m_item->data(DeviceRole::HardwareText).toString(), QStringLiteral("9.0"));
        QCOMPARE(m_item->data(DeviceRole::LinkState).toInt(), 2);
        // Without the Kastrel flag the 32-device master offers 30 s and up.
        auto *enums = m_item->data(DeviceRole::EnumManager).value<QtEnumPropertyManager *>();
        QCOMPARE(enums->enumNames(findRow(*m_item, QStringLiteral("Interval"))).first(), QStringLiteral("180 s"));
        QVERIFY(connectMaster(hubro32Record(), false));
        enums = m_item->data(DeviceRole::EnumManager).value<QtEnumPropertyManager *>();
        QCOMPARE(enums->enumNames(findRow(*m_item, QStringLiteral("Interval"))).size(), 9);
        QCOMPARE(rowText(*m_item, QStringLiteral("Radio channel")), QStringLiteral("1"));
        // The older master's action list has no channel groups; its log is
        // the error log in its EEPROM.
        QCOMPARE(m_item->actions(), (QList<DeviceAction>{{HubroItem::PlotNoiseAction, QStringLiteral("Plot noise")},
                                                          {HubroItem::LogReaderAction, QStringLiteral("Read error log")},
                                                          {HubroItem::StackUsageAction,
                                                           QStringLiteral("Task stack usage")},
                                                          {HubroItem::EraseFlashAction, QStringLiteral("Erase flash")}}));
    }

    void factoryEntry()
    {
        registerMasterClass();
        deviceInfo_t record;
        record.deviceType = 1;
        std::unique_ptr<DeviceItem> item(createDeviceItem(record, true));
        auto *master = qobject_cast<HubroItem *>(item.get());
        QVERIFY(master);
        QVERIFY(!master->kastrelMode());
        QCOMPARE(master->serialNumber(), 0u);
        QCOMPARE(DeviceClasses::className(1), QStringLiteral("HubroItem"));
        for (const int code : masterDeviceTypes) {
            QCOMPARE(DeviceItem::fieldNamesForType(code), HubroItem::staticFieldNames());
            QCOMPARE(DeviceItem::parameterTitleForType(code, QStringLiteral("wHeapFree")),
                     QStringLiteral("Free RAM memory left"));
            QCOMPARE(DeviceItem::parameterKeyForType(code, QStringLiteral("Recomended channel")),
                     QStringLiteral("btfRecommended"));
        }
        QCOMPARE(master->parameterKey(QStringLiteral("Password enabled")), QStringLiteral("fPswE"));
        QCOMPARE(DeviceClasses::className(40), QStringLiteral("DeviceItem"));
    }
};

QTEST_MAIN(HubroRefreshTest)
#include "tst_hubrorefresh.moc"

// The master item's own commands: the bytes each sends and what its answer
// does, for the acknowledgement, a refusal and other replies.
#include "appglobals.h"
#include "configurationexporter.h"
#include "configurationimporter.h"
#include "masterbench.h"
#include "settings.h"
#include "testsupport.h"

#include <QInputDialog>
#include <QSignalSpy>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

using Invoke = std::function<void(HubroItem &)>;

const QHash<QString, Invoke> &commands()
{
    static const QHash<QString, Invoke> table{
        {"reboot", [](HubroItem &m) { m.reboot(20000); }},
        {"lock keyboard", [](HubroItem &m) { m.setKeyboardLock(true); }},
        {"unlock keyboard", [](HubroItem &m) { m.setKeyboardLock(false); }},
        {"clear log", [](HubroItem &m) { m.clearLog(); }},
        {"current status", [](HubroItem &m) { m.requestCurrentStatus(); }},
        {"nearby start", [](HubroItem &m) { m.startNearbyMasterDetection(); }},
        {"nearby stop", [](HubroItem &m) { m.stopNearbyMasterDetection(); }},
        {"scan start", [](HubroItem &m) { m.startChannelScan(); }},
        {"scan stop", [](HubroItem &m) { m.stopChannelScan(); }},
        {"config on", [](HubroItem &m) { m.toggleConfigurationMode(true); }},
        {"config off", [](HubroItem &m) { m.toggleConfigurationMode(false); }},
        {"tech run", [](HubroItem &m) { m.enableTechRun(); }},
        {"filter reset", [](HubroItem &m) { m.resetConfigFilter(); }},
        {"filter type", [](HubroItem &m) { m.setConfigFilterDevType(13); }},
        {"filter serial", [](HubroItem &m) { m.setConfigFilterSerial(0x01020304); }},
        {"update start fast", [](HubroItem &m) { m.sendDeviceUpdateStart(true); }},
        {"update start", [](HubroItem &m) { m.sendDeviceUpdateStart(false); }},
        {"update end", [](HubroItem &m) { m.sendDeviceUpdateEnd(); }},
        {"erase flash", [](HubroItem &m) { m.executeAction(HubroItem::EraseFlashAction); }},
        {"debug mode", [](HubroItem &m) { m.executeAction(HubroItem::DebugModeAction); }},
    };
    return table;
}

QByteArray ff(int count)
{
    return QByteArray(count, char(0xFF));
}

} // namespace

class HubroCommandsTest : public QObject, public MasterFixture
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initTestResources();
        registerDeviceModelNames();
    }

    void init()
    {
        HubroItem::setTimings(fastTimings());
        for (const char *key : {SettingsKey::SerialNumberFilter, SettingsKey::FilterRSSI, SettingsKey::FilterRSSIValue,
                                SettingsKey::TypeFilter, SettingsKey::DeviceTypeFilter})
            appSettings.remove(QLatin1String(key));
    }

    void cleanup() { releaseMaster(); }

    void commandAndAnswer_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("older");
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QByteArray>("signal");
        QTest::addColumn<QVariantList>("arguments"); // empty: the signal must not come
        QTest::addColumn<QString>("boxTitle");

        const QVariantList none;
        const QVariantList once{QVariant()};
        const QByteArray other = bytesOf({PT_UNKNOWN_REQ_ERROR});

        QTest::newRow("reboot: ack") << "reboot" << false << bytesOf({0xB0}) << bytesOf({0xB1}) << true
                                     << QByteArray(SIGNAL(restarted(int))) << QVariantList{20000} << QString();
        QTest::newRow("reboot: other") << "reboot" << false << bytesOf({0xB0}) << other << false
                                       << QByteArray(SIGNAL(restarted(int))) << none << QString();
        QTest::newRow("lock keyboard: ack") << "lock keyboard" << false << bytesOf({0xA0, 1}) << bytesOf({0xA1, 0})
                                            << true << QByteArray() << none << QString();
        QTest::newRow("lock keyboard: other") << "lock keyboard" << false << bytesOf({0xA0, 1}) << other << false
                                              << QByteArray() << none << QString();
        QTest::newRow("unlock keyboard") << "unlock keyboard" << false << bytesOf({0xA0, 0}) << bytesOf({0xA1, 1})
                                         << true << QByteArray() << none << QString();
        QTest::newRow("clear log: ack") << "clear log" << false << bytesOf({0xED}) << bytesOf({0xEE}) << true
                                        << QByteArray(SIGNAL(logCleared())) << once << QString();
        QTest::newRow("clear log: other") << "clear log" << false << bytesOf({0xED}) << bytesOf({0x73}) << false
                                          << QByteArray(SIGNAL(logCleared())) << none << QString();
        QTest::newRow("clear log, older master: ack")
            << "clear log" << true << bytesOf({0x72, 0xD3, 0x03}) + ff(34) << bytesOf({0x73}) << true
            << QByteArray(SIGNAL(logCleared())) << once << QString();
        QTest::newRow("clear log, older master: other")
            << "clear log" << true << bytesOf({0x72, 0xD3, 0x03}) + ff(34) << bytesOf({0xEE}) << false
            << QByteArray(SIGNAL(logCleared())) << none << QString();
        QTest::newRow("current status: upload time-out")
            << "current status" << false << bytesOf({0xC8}) << bytesOf({0xC9, 0x28}) << true
            << QByteArray(SIGNAL(uploadTimeout())) << once << QString();
        QTest::newRow("current status: update busy")
            << "current status" << false << bytesOf({0xC8}) << bytesOf({0xC9, 0x44, 7}) << true
            << QByteArray(SIGNAL(updateInProgress(int))) << QVariantList{7} << QString();
        QTest::newRow("current status: update busy without its address")
            << "current status" << false << bytesOf({0xC8}) << bytesOf({0xC9, 0x44}) << true
            << QByteArray(SIGNAL(updateInProgress(int))) << none << QString();
        QTest::newRow("current status: update time-out")
            << "current status" << false << bytesOf({0xC8}) << bytesOf({0xC9, 0x45}) << true
            << QByteArray(SIGNAL(updateTimeout())) << once << QString();
        QTest::newRow("current status: other") << "current status" << false << bytesOf({0xC8}) << other << false
                                               << QByteArray(SIGNAL(updateTimeout())) << none << QString();
        QTest::newRow("nearby start: ack") << "nearby start" << false << bytesOf({0x82, 0}) << bytesOf({0x83}) << true
                                           << QByteArray(SIGNAL(nearbyMasterDetectionStarted())) << once << QString();
        QTest::newRow("nearby start: other") << "nearby start" << false << bytesOf({0x82, 0}) << other << false
                                             << QByteArray(SIGNAL(nearbyMasterDetectionStarted())) << none
                                             << QStringLiteral("Fail");
        QTest::newRow("nearby stop: ack") << "nearby stop" << false << bytesOf({0x84, 0}) << bytesOf({0x85}) << true
                                          << QByteArray(SIGNAL(nearbyMasterDetectionStopped())) << once << QString();
        QTest::newRow("nearby stop: other") << "nearby stop" << false << bytesOf({0x84, 0}) << other << false
                                            << QByteArray(SIGNAL(nearbyMasterDetectionStopped())) << none
                                            << QStringLiteral("Fail");
        QTest::newRow("scan start: ack") << "scan start" << false << bytesOf({0xD0}) << bytesOf({0xD1}) << true
                                         << QByteArray(SIGNAL(channelScanStarted())) << once << QString();
        QTest::newRow("scan start: other") << "scan start" << false << bytesOf({0xD0}) << other << false
                                           << QByteArray(SIGNAL(channelScanStarted())) << none << QString();
        QTest::newRow("scan stop: ack") << "scan stop" << false << bytesOf({0xD2}) << bytesOf({0xD3}) << true
                                        << QByteArray(SIGNAL(channelScanFinished())) << once << QString();
        QTest::newRow("scan stop: other") << "scan stop" << false << bytesOf({0xD2}) << other << false
                                          << QByteArray(SIGNAL(channelScanFinished())) << none << QString();
        QTest::newRow("config on: ack") << "config on" << false << bytesOf({0x5A}) << bytesOf({0x5B}) << true
                                        << QByteArray(SIGNAL(configStateChanged(int))) << QVariantList{1} << QString();
        QTest::newRow("config on: refused") << "config on" << false << bytesOf({0x5A}) << bytesOf({0x4F}) << true
                                            << QByteArray(SIGNAL(configStateChanged(int))) << QVariantList{0}
                                            << QStringLiteral("Error");
        QTest::newRow("config on: other") << "config on" << false << bytesOf({0x5A}) << other << false
                                          << QByteArray(SIGNAL(configStateChanged(int))) << none << QString();
        QTest::newRow("config off: ack") << "config off" << false << bytesOf({0x5C}) << bytesOf({0x5D}) << true
                                         << QByteArray(SIGNAL(configStateChanged(int))) << QVariantList{0} << QString();
        QTest::newRow("tech run: ack") << "tech run" << false << bytesOf({0x88, 1}) << bytesOf({0x89}) << true
                                       << QByteArray() << none << QString();
        QTest::newRow("tech run: other") << "tech run" << false << bytesOf({0x88, 1}) << other << false
                                         << QByteArray() << none << QString();
        QTest::newRow("filter reset: ack") << "filter reset" << false << bytesOf({0x5E, 0, 0, 0, 0, 0})
                                           << bytesOf({0x5F}) << true << QByteArray() << none << QString();
        QTest::newRow("filter reset: any answer") << "filter reset" << false << bytesOf({0x5E, 0, 0, 0, 0, 0})
                                                  << other << true << QByteArray() << none << QString();
        QTest::newRow("filter type: ack") << "filter type" << false << bytesOf({0x5E, 0, 0, 0, 0, 13, 0})
                                          << bytesOf({0x5F}) << true << QByteArray() << none << QString();
        QTest::newRow("filter type: other") << "filter type" << false << bytesOf({0x5E, 0, 0, 0, 0, 13, 0}) << other
                                            << false << QByteArray() << none << QStringLiteral("Error");
        QTest::newRow("filter serial: ack") << "filter serial" << false << bytesOf({0x5E, 4, 3, 2, 1, 0})
                                            << bytesOf({0x5F}) << true << QByteArray() << none << QString();
        QTest::newRow("filter serial: other") << "filter serial" << false << bytesOf({0x5E, 4, 3, 2, 1, 0}) << other
                                              << false << QByteArray() << none << QStringLiteral("Error");
        QTest::newRow("update start, fast") << "update start fast" << false << bytesOf({0x6A, 0xFF, 0x20, 10, 0})
                                            << bytesOf({0x6B}) << true << QByteArray() << none << QString();
        QTest::newRow("update start, fast, 32-device master")
            << "update start fast" << true << bytesOf({0x6A, 0xFF, 0x20, 40, 0}) << bytesOf({0x6B}) << true
            << QByteArray() << none << QString();
        QTest::newRow("update start") << "update start" << false << bytesOf({0x6A, 0xFF, 0x20, 100, 0})
                                      << bytesOf({0x6B}) << true << QByteArray() << none << QString();
        QTest::newRow("update end: ack") << "update end" << false << bytesOf({0x6A, 0xFF, 0x20, 0x64, 0})
                                         << bytesOf({0x6B}) << true << QByteArray() << none << QString();
        QTest::newRow("update end: other") << "update end" << false << bytesOf({0x6A, 0xFF, 0x20, 0x64, 0}) << other
                                           << false << QByteArray() << none << QString();
        QTest::newRow("erase flash: ack") << "erase flash" << false << bytesOf({0x18}) << bytesOf({0x19}) << true
                                          << QByteArray(SIGNAL(flashErasingStarted(bool))) << QVariantList{true}
                                          << QString();
        QTest::newRow("erase flash: other") << "erase flash" << false << bytesOf({0x18}) << other << false
                                            << QByteArray(SIGNAL(flashErasingStarted(bool))) << QVariantList{false}
                                            << QString();
        QTest::newRow("debug mode: ack") << "debug mode" << false << bytesOf({0xFB}) << bytesOf({0xFB}) << true
                                         << QByteArray() << none << QString();
        QTest::newRow("debug mode: other") << "debug mode" << false << bytesOf({0xFB}) << other << false
                                           << QByteArray() << none << QString();
    }

    void commandAndAnswer()
    {
        QFETCH(QString, command);
        QFETCH(bool, older);
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, reply);
        QFETCH(bool, result);
        QFETCH(QByteArray, signal);
        QFETCH(QVariantList, arguments);
        QFETCH(QString, boxTitle);
        MessageBoxRecorder boxes;
        QVERIFY(connectMaster(older ? hubro32Record() : healthyRecord()));
        std::unique_ptr<QSignalSpy> spy;
        if (!signal.isEmpty())
            spy = std::make_unique<QSignalSpy>(m_item.get(), signal.constData());

        commands().value(command)(*m_item);
        QCOMPARE(m_link->sent, QList<QByteArray>{request});
        QCOMPARE(m_link->respond(quint8(request.at(0)), reply), result);

        if (spy) {
            QCOMPARE(spy->count(), arguments.isEmpty() ? 0 : 1);
            if (!arguments.isEmpty() && arguments.first().isValid())
                QCOMPARE(spy->first(), arguments);
        }
        QTRY_COMPARE(boxes.count(), boxTitle.isEmpty() ? 0 : 1);
        if (!boxTitle.isEmpty())
            QCOMPARE(boxes.last().title, boxTitle);
    }

    void answersRecordTheirState()
    {
        QVERIFY(connectMaster(healthyRecord()));
        m_item->startChannelScan();
        QVERIFY(m_link->respond(PT_USB_CHANNEL_SCAN_ENABLE, bytesOf({0xD1})));
        QVERIFY(m_item->isChannelScanMode());

        QVERIFY(connectMaster(healthyRecord()));
        m_item->toggleConfigurationMode(true);
        QVERIFY(m_link->respond(PT_USB_CONFIG_ENABLE, bytesOf({0x5B})));
        QVERIFY(m_item->isConfigurationMode());
        QCOMPARE(m_item->data(Qt::BackgroundRole).value<QColor>(), QColor(90, 255, 90));
        m_item->toggleConfigurationMode(false);
        QVERIFY(m_link->respond(PT_USB_CONFIG_DISABLE, bytesOf({0x5D})));
        QVERIFY(!m_item->isConfigurationMode());
    }

    void answerAfterTheItemIsGone()
    {
        QVERIFY(connectMaster(healthyRecord()));
        QSignalSpy sent(m_item.get(), &DeviceItem::sendPacket);
        m_item->startChannelScan();
        QCOMPARE(sent.count(), 1);
        const ResponseCb cb = sent.first().at(1).value<ResponseCb>();
        m_item.reset();
        // The link still holds the callback; its answer must not reach the freed item.
        QVERIFY(!cb(m_link->packet(bytesOf({0xD1}))));
    }

    void commandsThatSendNothing()
    {
        MessageBoxRecorder boxes;
        QVERIFY(connectMaster(healthyRecord()));
        for (int i = 0; i < 125; ++i)
            m_item->radioDeviceConnected();
        m_item->toggleConfigurationMode(true);
        QVERIFY(m_link->sent.isEmpty());
        QCOMPARE(boxes.last().title, QStringLiteral("Warning!"));
        QCOMPARE(boxes.last().text, QStringLiteral("The device address space is full"));
        QCOMPARE(boxes.last().informativeText, QString::fromUtf8("\xD0\xA1onfiguration denied"));
        m_item->toggleConfigurationMode(false);
        QCOMPARE(m_link->sent, QList<QByteArray>{bytesOf({0x5C})});

        hubroInfo_t running = healthyRecord();
        running.bTestRunMode = 1;
        QVERIFY(connectMaster(running));
        m_item->enableTechRun();
        QVERIFY(m_link->sent.isEmpty());
    }

    void filtersTakeTheStoredChoices()
    {
        appSettings.setValue(QLatin1String(SettingsKey::SerialNumberFilter), 0x11223344u);
        appSettings.setValue(QLatin1String(SettingsKey::FilterRSSI), true);
        appSettings.setValue(QLatin1String(SettingsKey::FilterRSSIValue), -70);
        appSettings.setValue(QLatin1String(SettingsKey::TypeFilter), true);
        appSettings.setValue(QLatin1String(SettingsKey::DeviceTypeFilter), 27);
        QVERIFY(connectMaster(healthyRecord()));

        m_item->setConfigFilterDevType(4);
        QCOMPARE(m_link->sent.last(), bytesOf({0x5E, 0x44, 0x33, 0x22, 0x11, 4, quint8(qint8(-70))}));
        m_item->setConfigFilterSerial(0xA0B0C0D0);
        QCOMPARE(m_link->sent.last(), bytesOf({0x5E, 0xD0, 0xC0, 0xB0, 0xA0, 27}));
        QVERIFY(m_link->respond(PT_USB_CONFIG_SET_FILTER, bytesOf({0x5F})));
        QVERIFY(m_link->respond(PT_USB_CONFIG_SET_FILTER, bytesOf({0x5F})));
        QCOMPARE(appSettings.value(QLatin1String(SettingsKey::SerialNumberFilter)).toUInt(), 0xA0B0C0D0u);
    }

    void rebootLogsWholeSeconds_data()
    {
        QTest::addColumn<int>("timeout");
        QTest::addColumn<int>("seconds");
        QTest::newRow("20000 ms") << 20000 << 20;
        QTest::newRow("1999 ms") << 1999 << 1;
    }

    void rebootLogsWholeSeconds()
    {
        QFETCH(int, timeout);
        QFETCH(int, seconds);
        QVERIFY(connectMaster(healthyRecord()));
        m_item->reboot(timeout);
        QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("Reconnect after %1 seconds").arg(seconds)));
        QVERIFY(m_link->respond(PT_REBOOT, bytesOf({0xB1})));
    }

    void channelGroup_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QByteArray>("groupAnswer");
        QTest::addColumn<QByteArray>("channelAnswer");
        QTest::addColumn<bool>("reboots");
        QTest::addColumn<QString>("boxTitle");
        QTest::newRow("group 2, acknowledged") << QStringLiteral("Group 2") << bytesOf({0x8B}) << bytesOf({0x8D})
                                               << true << QStringLiteral("Restart required!");
        QTest::newRow("group 2, refused") << QStringLiteral("Group 2") << bytesOf({0xFF}) << QByteArray() << false
                                          << QStringLiteral("Error");
        QTest::newRow("channel refused") << QStringLiteral("Group 2") << bytesOf({0x8B}) << bytesOf({0xFF}) << false
                                         << QStringLiteral("Error");
        QTest::newRow("the current group") << QStringLiteral("Default (Current)") << QByteArray() << QByteArray()
                                           << false << QString();
    }

    void channelGroup()
    {
        QFETCH(QString, choice);
        QFETCH(QByteArray, groupAnswer);
        QFETCH(QByteArray, channelAnswer);
        QFETCH(bool, reboots);
        QFETCH(QString, boxTitle);
        MessageBoxRecorder boxes;
        DialogScript dialogs;
        QStringList offered;
        dialogs.then([&](QDialog *dialog) {
            auto *input = qobject_cast<QInputDialog *>(dialog);
            offered = input->comboBoxItems();
            input->setTextValue(choice);
            return int(QDialog::Accepted);
        });
        QVERIFY(connectMaster(healthyRecord()));
        QVERIFY(m_item->actions().contains(DeviceAction{HubroItem::ChannelGroupAction, QStringLiteral("Set channel group")}));
        QSignalSpy channel(m_item.get(), &HubroItem::channelChanged);

        m_item->executeAction(HubroItem::ChannelGroupAction);
        QCOMPARE(dialogs.records().value(0).title, QStringLiteral("Set channel group"));
        QCOMPARE(offered, QStringList({"Default (Current)", "Group 1", "Group 2", "Group 3"}));
        if (groupAnswer.isEmpty()) {
            QVERIFY(m_link->sent.isEmpty());
            return;
        }
        QCOMPARE(m_link->sent, QList<QByteArray>{bytesOf({0x8A, 2})});
        m_link->respond(PT_USB_CHANNEL_GROUP_SET, groupAnswer);
        if (!channelAnswer.isEmpty()) {
            // The first channel of group 2, fixed.
            QCOMPARE(m_link->sent.last(), bytesOf({0x8C, 0, 2}));
            QCOMPARE(channel.count(), 1);
            m_link->respond(PT_USB_CHANNEL_SET, channelAnswer);
        }
        QTRY_COMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().title, boxTitle);
        QCOMPARE(m_link->countOf(PT_REBOOT), reboots ? 1 : 0);
    }

    void nearbyDetection()
    {
        MessageBoxRecorder boxes;
        QVERIFY(connectMaster(healthyRecord()));
        QSignalSpy heard(m_item.get(), &HubroItem::nearbyMasterInfoUpdated);
        int answer = 0;
        // Each request is answered with the next of these (the last repeats).
        const QList<QByteArray> answers{
            bytesOf({0x87, 0x39, 0x30, 0, 0, 0x00, 0x00, 0x01, 0x02, 0x70, 0x17, 0xC4, 41, 1}), // full
            bytesOf({0x87, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7}),                                  // serial 0
            bytesOf({0x87, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}),                                    // 11 bytes
        };
        m_link->script(PT_NEARBY_HUBRO_INFO_READ, [&](const QByteArray &) { return answers.at(qMin(answer++, 2)); });
        m_item->startNearbyMasterDetection();
        QVERIFY(m_link->respond(PT_NEARBY_HUBRO_INFO_READ_START, bytesOf({0x83})));
        QVERIFY(m_item->isNearbyDetectionActive());
        QVERIFY(m_item->hasChannelGroup());

        QVERIFY(heard.wait(2000));
        const NearbyMasterInfo info = heard.first().first().value<NearbyMasterInfo>();
        QCOMPARE(info.serial, 12345u);
        QCOMPARE(info.master, 0x00000102u);
        QCOMPARE(info.interval, 6000);
        QCOMPARE(info.rssi, -60);
        QCOMPARE(info.type, 41);
        QCOMPARE(info.configEnabled, 1);
        QCOMPARE(info.channel, 2);
        QVERIFY(info.time.isValid());

        // The serial-0 and the short answers are dropped; requests go on.
        QTRY_VERIFY(answer >= 5);
        QCOMPARE(heard.count(), 1);
        QVERIFY(m_link->results.count(true) >= 4);

        // Disconnecting asks while detection is on: Ok stays, Ignore goes.
        boxes.answer(QMessageBox::Ok).answer(QMessageBox::Ignore);
        QVERIFY(!m_item->prepareDisconnect());
        QVERIFY(m_item->prepareDisconnect());
        QCOMPARE(boxes.last().text, QStringLiteral("To ensure optimal performance \"Nearby master detection\" mode "
                                                   "need to be disabled before disconnecting"));
        // Enter and Escape keep the device open.
        QCOMPARE(boxes.last().defaultButton, QMessageBox::Ok);
        QCOMPARE(boxes.last().escapeButton, QMessageBox::Ok);

        m_item->stopNearbyMasterDetection();
        QVERIFY(m_link->respond(PT_NEARBY_HUBRO_INFO_READ_STOP, bytesOf({0x85})));
        QVERIFY(!m_item->isNearbyDetectionActive());
        QVERIFY(m_item->prepareDisconnect());
        QCOMPARE(boxes.count(), 2);
    }

    void clockIsSetWhenItIsOff()
    {
        hubroInfo_t late = healthyRecord();
        late.Time = quint32(QDateTime::currentSecsSinceEpoch() - 3600);
        m_item = std::make_unique<HubroItem>(late, false);
        m_link = std::make_unique<ScriptedLink>(*m_item);
        QTRY_COMPARE(m_link->countOf(PT_USB_TIME_SET), 1);
        const QByteArray request = m_link->sentOfType(PT_USB_TIME_SET).first();
        QCOMPARE(request.size(), 5);
        const qint64 sentTime = qint64(quint8(request[1]) | quint8(request[2]) << 8 | quint8(request[3]) << 16)
            | qint64(quint8(request[4])) << 24;
        QVERIFY(qAbs(sentTime - QDateTime::currentSecsSinceEpoch()) <= 2);
        QVERIFY(m_link->respond(PT_USB_TIME_SET, bytesOf({0x59})));

        // An older master's clock is left alone.
        QVERIFY(connectMaster(hubro32Record()));
        QSignalSpy sends(m_item.get(), &DeviceItem::sendPacket);
        QVERIFY(!sends.wait(50));
        QCOMPARE(m_link->countOf(PT_USB_TIME_SET), 0);
    }

    void firmwareHeaders()
    {
        QVERIFY(connectMaster(healthyRecord()));
        // Slot s: image type 40 + s, hardware 14.0, firmware 1.(30 + s),
        // build number 7 + s, built 2026-08-28 14:03 UTC; slot 3 answers short.
        const quint32 built = 1787925780u;
        m_link->script(PT_FW_READ_HEADER, [built](const QByteArray &request) -> QByteArray {
            const int slot = request.at(1);
            if (slot == 3)
                return bytesOf({0x31, 3, 1, 2, 3});
            QByteArray header(24, '\0');
            header[0] = char(40 + slot);
            header[3] = 14;
            header[4] = char(30 + slot);
            header[5] = 1;
            header[7] = char(7 + slot);
            for (int i = 0; i < 4; ++i)
                header[18 + i] = char((built >> (8 * i)) & 0xFF);
            return bytesOf({0x31, slot}) + header;
        });
        QSignalSpy done(m_item.get(), &HubroItem::firmwareHeadersUpdated);
        m_item->readUploadedFirmwareHeaders();
        QVERIFY(done.wait(2000));
        QCOMPARE(m_link->sentOfType(PT_FW_READ_HEADER),
                 QList<QByteArray>({bytesOf({0x30, 0}), bytesOf({0x30, 1}), bytesOf({0x30, 3}), bytesOf({0x30, 2})}));
        QCOMPARE(done.count(), 1);

        const QString time = QDateTime::fromSecsSinceEpoch(built).toString(QStringLiteral("dd.MM.yy hh:mm"));
        const auto row = [this](const char *name) { return rowText(*m_item, QLatin1String(name)); };
        QCOMPARE(row("Backup radio firmware"), QStringLiteral("1.30 (%1)").arg(time));
        QCOMPARE(row("Backup core firmware"), QStringLiteral("1.31, 14.0 (%1)").arg(time));
        QCOMPARE(row("Uploaded WD Firmware"), QStringLiteral("%1 - 1.32 (%2)").arg(deviceModelNames.at(42), time));
        QCOMPARE(row("Base core firmware"), QString()); // too short for bytes 2-25
        QCOMPARE(m_item->firmwareHeaderValue(0), qint64(built));
        QCOMPARE(m_item->firmwareHeaderValue(3), qint64(0));
        QCOMPARE(m_item->firmwareHeaderValue(4), qint64(-1));
        QCOMPARE(m_item->uploadFlag(), quint8(8));
        QCOMPARE(m_item->firmwareDates().deviceType, quint16(42));
        QCOMPARE(m_item->firmwareDates().firmwareVersion, quint16(0x0120));
        QCOMPARE(m_item->firmwareDates().buildTime, quint32(built));
    }

    void radioFirmwareHeader()
    {
        QVERIFY(connectMaster(healthyRecord())); // its upload timer runs from now on
        // The 66-byte header: date, time, build number 9, version 1.21; sent
        // in pieces of 30, 30 and 6 bytes after a 10-byte piece header.
        QByteArray header(66, '\0');
        header.replace(0, 11, "Aug 28 2026");
        header.replace(14, 8, "14:03:59");
        header[28] = 9;
        header[64] = 21;
        header[65] = 1;
        int piece = 0;
        m_link->script(PT_HEADER_FIRMWARE_READ_PING, [&](const QByteArray &) -> QByteArray {
            const int offset = piece * 30;
            const int length = qMin(30, 66 - offset);
            ++piece;
            QByteArray reply = bytesOf({0x7E, 0xFF, 0, 0, 0, 0, 0, 0, offset, 0, length});
            return reply + header.mid(offset, length);
        });
        m_link->script(PT_HEADER_FIRMWARE_READ_REQ, bytesOf({0x7B}));
        m_item->mk1HeaderRead();
        QTRY_COMPARE(piece, 3);
        QTRY_COMPARE(m_item->buildNumber(), quint8(9));
        QSignalSpy sends(m_item.get(), &DeviceItem::sendPacket);
        QVERIFY(!sends.wait(50)); // the whole header is there: no further ping
        QCOMPARE(m_link->countOf(PT_HEADER_FIRMWARE_READ_PING), 3);
        QtProperty *radio = findRow(*m_item, QStringLiteral("Radio firmware"));
        QVERIFY(radio);
        QCOMPARE(radio->valueText(), QStringLiteral("1.21 (28.08.26 14:03)"));

        // Busy interface, failed read and a piece that does not fit.
        m_link->script(PT_HEADER_FIRMWARE_READ_REQ, bytesOf({0xFE}));
        QTest::ignoreMessage(QtDebugMsg, "Interface is busy");
        const int answered = m_link->results.size();
        m_item->mk1HeaderRead();
        QTRY_COMPARE(m_link->results.size(), answered + 1);
        QCOMPARE(m_link->results.last(), true);
        m_item->mk1HeaderReceived(bytesOf({0xFF, 0, 0, 0, 0, 0, 0, 60, 0, 10}) + QByteArray(10, 'x'));
        m_item->mk1HeaderReceived(bytesOf({0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 10, 1}));
        QCOMPARE(radio->valueText(), QStringLiteral("1.21 (28.08.26 14:03)"));

        // Without the upload timer no ping is sent.
        m_item->stopUploadTimer();
        const int pings = m_link->countOf(PT_HEADER_FIRMWARE_READ_PING);
        m_item->mk1HeaderPing();
        QCOMPARE(m_link->countOf(PT_HEADER_FIRMWARE_READ_PING), pings);
    }

    void configurationExporterAndImporterByMasterType()
    {
        QVERIFY(connectMaster(hubro32Record()));
        std::unique_ptr<ConfigurationExporter> exporter(m_item->createConfigurationExporter({3, 5}));
        QCOMPARE(exporter->metaObject()->className(), "ConfigurationExporterHubro32");
        QCOMPARE(exporter->lastDeviceNumber(), 31);
        QCOMPARE(exporter->pendingDevices(), QList<int>({3, 5}));
        emit exporter->sendPacket(bytesOf({0x01}), matchPacketType(0x02));
        QCOMPARE(m_link->sent, QList<QByteArray>{bytesOf({0x01})});
        std::unique_ptr<ConfigurationImporter> importer(m_item->createConfigurationImporter());
        QCOMPARE(importer->metaObject()->className(), "ConfigurationImporterHubro32");
        QCOMPARE(importer->master(), m_item.get());
        // The caller may delete them; else they go with the master item.
        importer.reset();
        QPointer<ConfigurationExporter> child(exporter.release());

        QVERIFY(connectMaster(healthyRecord()));
        QVERIFY(!child);
        exporter.reset(m_item->createConfigurationExporter());
        QCOMPARE(exporter->metaObject()->className(), "ConfigurationExporterHubro125");
        QCOMPARE(exporter->lastDeviceNumber(), 124);
        importer.reset(m_item->createConfigurationImporter());
        QCOMPARE(importer->metaObject()->className(), "ConfigurationImporterHubro125");
        emit importer->sendPacket(bytesOf({0xA0, 1}), matchPacketType(0xA1));
        QCOMPARE(m_link->sent, QList<QByteArray>{bytesOf({0xA0, 1})});
    }
};

QTEST_MAIN(HubroCommandsTest)
#include "tst_hubrocommands.moc"

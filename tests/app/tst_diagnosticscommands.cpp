// The diagnostics end to end: the main window's commands and the master's
// actions on a live connection to the simulated master over a
// pseudo-terminal, answered by the diagnostics scripts.
#include "deviceeeprommanager.h"
#include "hubroitem.h"
#include "lqitestmanager.h"
#include "masterlogreaderwidget.h"
#include "masterstackusagedialog.h"
#include "plotclock.h"
#include "rssitestdock.h"
#include "settings.h"
#include "simdiagnostics.h"
#include "simnearby.h"
#include "statisticsdock.h"
#include "statisticsmanager.h"
#include "windowfixture.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>

#include <functional>
#include <mutex>

namespace {

// A 32-device master whose exchange interval (30 s) gives 20 pings a cycle.
hubroInfo_t diagnosticsRecord()
{
    hubroInfo_t info = hubro32Record();
    info.wExchangeInterval = 1000; // 10 s
    return info;
}

// The statistics words a device sends: its number in every counter but w4.
QByteArray statisticsWords(quint8 device)
{
    QByteArray words;
    for (int w = 0; w < 14; ++w) {
        const int value = w == 4 ? 100 : w >= 5 ? 100 - 10 * (w - 5) : device;
        words.append(char(value & 0xFF)).append(char(value >> 8));
    }
    return words;
}

// What follows the type byte of the data answer (five header bytes: the
// master lacks feature 4), and the record it files.
QByteArray statisticsPayload(quint8 device)
{
    return QByteArray::fromHex("0102030405") + statisticsWords(device) + char(0x5A);
}
QByteArray statisticsRecord(quint8 device, quint8 wireloop)
{
    return QByteArray(1, char(device)) + char(wireloop) + statisticsWords(device);
}

QByteArray field(const QByteArray &text, int width)
{
    return text.left(width) + QByteArray(qMax(0, width - text.size()), '\0');
}

// An event-log entry after the PT_LOG_FIND_ACK type byte.
QByteArray logEntry(const QByteArray &event, quint8 parameter, quint32 time, quint32 data, const QByteArray &text)
{
    QByteArray entry(1, '\0');
    entry += field(event, 23) + char(parameter) + field("Radio", 16);
    entry += QByteArray::fromHex("2003") + char(44);
    for (quint32 value : {time, data})
        for (int i = 0; i < 4; ++i)
            entry += char((value >> (8 * i)) & 0xFF);
    return entry + field(text, 72);
}

// Debug, warning and critical lines of the log while it lives; `onLine` sees
// each line as it comes (on the thread that logs it).
class LogLines
{
public:
    std::function<void(const QString &)> onLine;

    LogLines()
    {
        s_self = this;
        m_previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &text) {
            {
                std::lock_guard<std::mutex> lock(s_self->m_mutex);
                s_self->m_lines << text;
            }
            if (s_self->onLine)
                s_self->onLine(text);
        });
    }
    ~LogLines()
    {
        qInstallMessageHandler(m_previous);
        s_self = nullptr;
    }
    QStringList lines() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_lines;
    }
    bool has(const QString &line) const { return lines().contains(line); }

private:
    static inline LogLines *s_self = nullptr;
    mutable std::mutex m_mutex;
    QStringList m_lines;
    QtMessageHandler m_previous;
};

template <class T>
T *topLevel()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *window = qobject_cast<T *>(widget))
            return window;
    return nullptr;
}

// The window on a master with devices 3 (TIRUN), 5 (BEXIL of hardware 1:
// no statistics) and 7 (TIRUN); every diagnostics family scripted.
struct DiagnosticsBench : WindowOnMaster
{
    explicit DiagnosticsBench(const hubroInfo_t &status = diagnosticsRecord())
        : WindowOnMaster(status), statistics(sim, StatisticsFamily), resets(sim, StatisticsResetFamily),
          levels(sim, LevelTestFamily), eeprom(sim, DeviceEepromFamily), writes(sim, DeviceEepromWriteFamily),
          nearby(sim, {})
    {
        for (quint8 radio : {3, 5, 7}) {
            sim.setDevice(simDevice(radio, radio == 5 ? 2 : 4));
            statistics.setPayload(radio, [](quint8 device, int) { return statisticsPayload(device); });
            levels.setPayload(radio, [](quint8 device, int) { return bytesOf({1, 80 + device, -60, -70, -50}); });
            eeprom.setPayload(radio, [](quint8 device, int) -> QByteArray {
                return QByteArray(1, char(device)) + QByteArray::fromHex("500000") + bytesOf({device, 1, 2, 10, 20, 3, 4, 5, 6});
            });
        }
    }

    void trigger(const char *action) const { window->findChild<QAction *>(QLatin1String(action))->trigger(); }
    template <class T>
    T *child(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }

    // Opens the window once the first sweep over the device addresses has
    // left the link; the boxes of the connecting are forgotten.
    bool open(int devices)
    {
        const bool opened = WindowOnMaster::open(devices) && settled();
        boxes.clear();
        return opened;
    }
    // Connects the open window to the master again.
    bool reopen(int devices)
    {
        return window->establishConnection(Serial, sim.address())
               && QTest::qWaitFor([this] { return window->isMasterConnected(); }, 10000)
               && QTest::qWaitFor([this, devices] { return connection()->devices().size() == devices; }, 10000)
               && settled();
    }
    bool settled() const
    {
        return QTest::qWaitFor([this] { return connection()->interface()->pendingCount() == 0; }, 10000);
    }

    SimDiagnostics statistics, resets, levels, eeprom, writes;
    SimNearby nearby;
    MessageBoxRecorder boxes;
};

} // namespace

class DiagnosticsCommandsTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        prepareWindowDiagnosticsTests();
        for (DeviceRequestRun *run : {&StatisticsManager::instance()->run(), &LQITestManager::instance()->run(),
                                      &DeviceEepromManager::instance()->run()}) {
            // Short pings: on a busy machine an answer later than this only adds a
            // ping (a test that counts pings sets a longer interval).
            run->setPingInterval(50);
            run->setJobTimeout(300);
        }
        StatisticsManager::instance()->setStatisticsFolder(m_dir.path());
        // 2026-12-07 22:43:03 local (three hours east of UTC).
        PlotClock::setSource([] { return qint64(1796672583) * 1000; });
    }
    void cleanupTestCase()
    {
        MainWindow::setDeviceSelection(nullptr);
        PlotClock::setSource(nullptr);
    }
    void cleanup()
    {
        // Whatever a test left running, the next begins on idle managers.
        StatisticsManager::instance()->stop();
        LQITestManager::instance()->stop();
        DeviceEepromManager::instance()->run().stop();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Devices 3, 5 and 7 selected: 5 is refused by the version gate and
    // named, 7 only answers busy and fails after its three cycles, 3 is filed.
    // A second run in the same minute adds to the same file.
    void statisticsOfThreeDevices()
    {
        DiagnosticsBench bench;
        QVERIFY(bench.open(3));
        MessageBoxRecorder &boxes = bench.boxes;
        bench.statistics.setStanding(7, SimStep::Busy);
        QFile::remove(m_dir.filePath(QStringLiteral("radio_stats_07-12-26 22-43.dat")));

        bench.select({3, 5, 7});
        bench.trigger("acStatisticGet");
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().title, QStringLiteral("Get statistics"));
        QCOMPARE(boxes.last().text, QStringLiteral("Radio statistic is not supported by that version device\n"
                                                   "Zentar-BEXIL hw. 1.00 fw. 1.05."));
        auto *dock = bench.window->findChild<StatisticsDock *>();
        QVERIFY(dock->isRunning());
        // The status bar says where the records go.
        QCOMPARE(bench.window->statusBar()->currentMessage(),
                 QStringLiteral("Radio statistics are recorded in ")
                     + QDir::toNativeSeparators(m_dir.filePath(QStringLiteral("radio_stats_07-12-26 22-43.dat"))));
        QCOMPARE(StatisticsManager::instance()->maxAttempts(), 20u);
        QTRY_VERIFY_WITH_TIMEOUT(!dock->isRunning(), 10000);
        QVERIFY(!StatisticsManager::instance()->isBusy());

        // Requests carry the device's number, not its Wireloop address.
        QCOMPARE(bench.statistics.received(3, PT_STATISTIC_READ_REQ), 1);
        QCOMPARE(bench.statistics.received(5, PT_STATISTIC_READ_REQ), 0);
        QTRY_COMPARE(bench.statistics.received(7, PT_STATISTIC_READ_REQ), 3);
        QTRY_COMPARE(bench.statistics.received(7, PT_STATISTIC_READ_PING), 60);
        QCOMPARE(dock->results().size(), 1);

        const QString path = m_dir.filePath(QStringLiteral("radio_stats_07-12-26 22-43.dat"));
        QCOMPARE(StatisticsManager::instance()->statisticsFileName(), path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), statisticsRecord(3, 4));
        file.close();

        // Again, 7 answering now: appended, in the order of the answers.
        bench.statistics.setStanding(7, SimStep::Data);
        bench.select({3, 7});
        bench.trigger("acStatisticGet");
        QTRY_VERIFY_WITH_TIMEOUT(!dock->isRunning(), 10000);
        QCOMPARE(dock->results().size(), 3);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), statisticsRecord(3, 4) + statisticsRecord(3, 4) + statisticsRecord(7, 8));

        // Reset statistics: every selected device, without a check.
        bench.select({3, 5});
        bench.trigger("acStatisticsReset");
        QTRY_COMPARE(bench.resets.received(5, PT_STATISTIC_RESET), 1);
        QCOMPARE(bench.resets.received(3, PT_STATISTIC_RESET), 1);
        QTRY_VERIFY(!StatisticsManager::instance()->isBusy());

        // Nothing that keeps statistics selected: only the refusal box.
        boxes.clear();
        bench.select({5});
        bench.trigger("acStatisticGet");
        QCOMPARE(boxes.count(), 1);
        QVERIFY(!dock->isRunning());
    }

    // A link-quality run of two devices: rows with their results, and the
    // bare ping following the device asked.
    void linkQualityRun()
    {
        // The run also pings when an answer is later than the interval; the
        // count below holds only while every answer beats it, so the interval
        // is the product's own here, beyond any round trip on a busy machine.
        DeviceRequestRun &run = LQITestManager::instance()->run();
        const int interval = run.pingInterval();
        const auto restore = qScopeGuard([&run, interval] { run.setPingInterval(interval); });
        run.setPingInterval(1000);
        DiagnosticsBench bench;
        QVERIFY(bench.open(3));
        bench.levels.queue(3, {SimStep::Ack, SimStep::Busy}); // data on the second ping
        bench.select({3, 7});
        bench.trigger("acLQITest");
        auto *dock = bench.window->findChild<RSSITestDock *>();
        QCOMPARE(dock->rows().size(), 2);
        QTRY_VERIFY_WITH_TIMEOUT(!LQITestManager::instance()->isBusy(), 10000);
        QTRY_COMPARE(dock->rows().at(1)->state(), int(WidgetRSSIResult::Done));
        QCOMPARE(dock->rows().at(0)->state(), int(WidgetRSSIResult::Done));
        QVERIFY(dock->rows().at(0)->text().contains(QStringLiteral("83 of 100 (max: -50 av: -60 min: -70)")));
        QVERIFY(dock->rows().at(1)->text().contains(QStringLiteral("87 of 100")));
        QCOMPARE(bench.levels.received(3, PT_RSSI_TEST_READ_REQ), 1);
        QCOMPARE(bench.levels.received(3, PT_RSSI_TEST_READ_PING), 2);
        QCOMPARE(bench.requests(PT_RSSI_TEST_READ_REQ).first(), bytesOf({PT_RSSI_TEST_READ_REQ, 3, 0}));
        QCOMPARE(bench.requests(PT_RSSI_TEST_READ_PING).first(), bytesOf({PT_RSSI_TEST_READ_PING}));
        QVERIFY(dock->reportInfo().startsWith(QStringLiteral("Radio address: 3.\n")));
    }

    // Reading and writing two devices' memory with the Part's examples: the
    // read of 0x50 asks 9 bytes and decodes the statistics block; the write
    // of A1B at 185 sends 0x0A 0x1B to address 0x185.
    void eepromReadAndWrite()
    {
        DiagnosticsBench bench;
        QVERIFY(bench.open(3));
        LogLines log;
        DialogScript dialogs;
        dialogs.then([](QDialog *dialog) {
            dialog->findChild<QComboBox *>(QStringLiteral("cbAddress"))->setCurrentText(QStringLiteral("0x50"));
            dialog->findChild<QSpinBox *>(QStringLiteral("sbLength"))->setValue(4);
            return int(QDialog::Accepted);
        });
        bench.select({3, 7});
        bench.trigger("acDeviceReadEeprom");
        QTRY_VERIFY_WITH_TIMEOUT(!DeviceEepromManager::instance()->isBusy(), 10000);
        QCOMPARE(bench.requests(PT_DEVICE_EEPROM_READ_REQ),
                 (QList<QByteArray>{QByteArray::fromHex("6003500009"), QByteArray::fromHex("6007500009")}));
        for (quint8 device : {3, 7}) {
            QVERIFY(log.lines().filter(QStringLiteral("Reading from EEPROM device Wireloop: %1. Addr: 0x50. EEPROM data: %2")
                                           .arg(device + 1)
                                           .arg(QString::fromLatin1(bytesOf({device, 1, 2, 10, 20, 3, 4, 5, 6}).toHex())))
                        .size()
                    == 1);
            QVERIFY(log.has(QString::fromUtf8("Статистика Zentar-BEXIL\nПерезагрузки: \t%1\nВскрытия корпуса: \t1\n"
                                              "Отправлено тревог: \t2\nНапр. основной: \t2100\nНапр. резервной: \t"
                                              "2200\nОтправлено неспр.: \t3\nКод неисправности: \t4\nНепрерывн. "
                                              "неиспр.: \t5\nНепрерывн. тревог: \t6\n")
                                .arg(device)));
        }

        dialogs.then([](QDialog *dialog) {
            dialog->findChild<QLineEdit *>(QStringLiteral("leMemoryAddress"))->setText(QStringLiteral("185"));
            dialog->findChild<QLineEdit *>(QStringLiteral("leData"))->setText(QStringLiteral("A1B"));
            return int(QDialog::Accepted);
        });
        bench.trigger("acDeviceWriteEeprom");
        QTRY_COMPARE(bench.writes.received(7, PT_DEVICE_EEPROM_WRITE_REQ), 1);
        QTRY_VERIFY(!DeviceEepromManager::instance()->isBusy());
        QCOMPARE(bench.requests(PT_DEVICE_EEPROM_WRITE_REQ),
                 (QList<QByteArray>{QByteArray::fromHex("660385010a1b"), QByteArray::fromHex("660785010a1b")}));
        QVERIFY(log.has(QStringLiteral("Data sent to 4")) && log.has(QStringLiteral("Data sent to 8")));
        QCOMPARE(appSettings.value(QLatin1String(SettingsKey::WriteEepromLastData)).toString(), QStringLiteral("A1B"));

    }

    // The master's event log read by its action, saved byte for byte, then
    // cleared; and its stack listing.
    void masterLogAndStack()
    {
        DiagnosticsBench bench(healthyRecord()); // keeps an event log
        SimDiagnostics events(bench.sim, EventLogFamily);
        SimDiagnostics clears(bench.sim, EventLogClearFamily);
        SimDiagnostics stack(bench.sim, StackFamily);
        const quint32 time = 1710615744; // 2024-03-16 19:02:24 UTC
        events.setPayload(0xFF, [time](quint8, int index) {
            return index == 0 ? logEntry("RF_LINK_LOST", 3, time, 0x1F, "Device 3 lost")
                              : logEntry("USR_MCU1_FAILURE", 0, time + 61, 97, "Abort");
        });
        events.queue(0xFF, {SimStep::Data, SimStep::Data}); // then "no more"
        events.setStanding(0xFF, SimStep::Ack);
        stack.setPayload(0, [](quint8 index, int) -> QByteArray {
            return QByteArray(1, char(index)) + QByteArray::fromHex("0004") + char(25) + field("Idle", 16)
                   + field("LOW", 16) + field("static", 16);
        });
        stack.setPayload(1, [](quint8 index, int) -> QByteArray {
            return QByteArray(1, char(index)) + QByteArray::fromHex("0008") + char(75) + field("Radio", 16)
                   + field("HIGH", 16) + field("dynamic", 16);
        });
        QVERIFY(bench.open(3));
        HubroItem *master = bench.connection()->master();

        master->executeAction(HubroItem::LogReaderAction);
        auto *log = topLevel<MasterLogReaderWidget>();
        QVERIFY(log);
        QTRY_COMPARE(events.received(0xFF, PT_LOG_FIND_NEXT), 2);
        QTRY_COMPARE(log->table()->rowCount(), 2);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("log.CSV"));
        FileDialogScript files;
        files.answer(path);
        QTest::mouseClick(log->findChild<QPushButton *>(QStringLiteral("pbSaveLog")), Qt::LeftButton);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(),
                 QByteArray("Start log 07.12.2026-22:43:03\n"
                            "Sat Mar 16 22:02:24 2024\tRF_LINK_LOST (3)\tRadio\t800 (44%)\tDevice 3 lost\t1f\n"
                            "Sat Mar 16 22:03:25 2024\tUSR_MCU1_FAILURE (0)\tRadio\t800 (44%)\tAbort\t"
                            "ABORT_DATA_COLLECTOR_INVALID_DATA_TYPE_1 (97)\n"
                            "End log\n"));

        QTest::mouseClick(log->findChild<QPushButton *>(QStringLiteral("pbClearLog")), Qt::LeftButton);
        QTRY_COMPARE(log->table()->rowCount(), 0);
        QCOMPARE(clears.received(0xFF, PT_LOG_CLEAR), 1);
        log->close();

        master->executeAction(HubroItem::StackUsageAction);
        auto *dialog = topLevel<MasterStackUsageDialog>();
        QVERIFY(dialog);
        QTRY_COMPARE(stack.received(2, PT_USB_DEBUG_STACK_INFO), 1); // the short answer ends it
        QCOMPARE(dialog->table()->rowCount(), 2);
        QCOMPARE(dialog->table()->item(1, 1)->text(), QStringLiteral("Radio"));
        QCOMPARE(dialog->table()->item(1, 2)->text(), QStringLiteral("2048 B"));
        QCOMPARE(dialog->table()->item(1, 3)->text(), QStringLiteral("75%"));
        dialog->close();
    }

    // The first master model's error log, read from its EEPROM by the same action.
    void eepromLogOfTheFirstModel()
    {
        DiagnosticsBench bench; // a 32-device master, type 0
        SimDiagnostics eepromLog(bench.sim, MasterEepromFamily);
        eepromLog.setPayload(0xFF, [](quint8, int) -> QByteArray {
            return QByteArray::fromHex("d30301") + QByteArray::fromHex("0102030c0500") + QByteArray::fromHex("010203ff0000")
                   + QByteArray::fromHex("010203110700") + QByteArray::fromHex("010203ff0000")
                   + QByteArray::fromHex("010203ff0000");
        });
        QVERIFY(bench.open(3));
        bench.connection()->master()->executeAction(HubroItem::LogReaderAction);
        auto *log = topLevel<MasterLogReaderWidget>();
        QVERIFY(log && log->isEepromMode());
        QTRY_COMPARE(log->table()->rowCount(), 2);
        QCOMPARE(bench.requests(PT_HUBRO_EEPROM_READ), QList<QByteArray>{QByteArray::fromHex("70d30320")});
        QCOMPARE(log->table()->item(1, MasterLogReaderWidget::EventColumn)->text(), QStringLiteral("ERR_ASSERT [17]"));
        QCOMPARE(log->table()->item(1, MasterLogReaderWidget::DataColumn)->text(), QStringLiteral("7"));
        log->close();
    }

    // The master falls silent the moment one device has failed: the manager
    // pings the next device until the link gives the master up and its items
    // go (or fails it first), ends idle, and serves the next connection.
    void silenceAfterOneDeviceFailed_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("statistics") << "acStatisticGet";
        QTest::newRow("link quality") << "acLQITest";
        QTest::newRow("EEPROM") << "acDeviceReadEeprom";
    }
    void silenceAfterOneDeviceFailed()
    {
        QFETCH(QString, action);
        DiagnosticsBench bench;
        QVERIFY(bench.open(3));
        LogLines log;
        DialogScript dialogs;
        for (int i = 0; i < 2; ++i)
            dialogs.then([](QDialog *) { return int(QDialog::Accepted); });
        // Device 3 fails at once: a statistics or level-test answer too short
        // to read, EEPROM answers of another device for all its cycles.
        bench.statistics.setPayload(3, [](quint8, int) { return QByteArray(4, '\0'); });
        bench.levels.setPayload(3, [](quint8, int) { return QByteArray(2, '\0'); });
        bench.eeprom.setStanding(3, SimStep::OtherDevice);
        bench.eeprom.setPayload(4, [](quint8, int) { return QByteArray::fromHex("04500000000102"); });
        const auto busy = [] {
            return StatisticsManager::instance()->isBusy() || LQITestManager::instance()->isBusy()
                   || DeviceEepromManager::instance()->isBusy();
        };
        log.onLine = [&bench](const QString &line) {
            if (line.startsWith(QLatin1String("Failed to")))
                bench.sim.setSilent(true);
        };

        bench.select({3, 7});
        bench.trigger(action.toLatin1().constData());
        QVERIFY(busy());
        QTRY_VERIFY_WITH_TIMEOUT(!busy(), 10000);
        log.onLine = nullptr;
        QVERIFY(bench.sim.fake.received().size() > 0);
        QCOMPARE(log.lines().filter(QStringLiteral("Failed to")).first().right(2), QStringLiteral("#3"));
        auto *statistics = bench.window->findChild<StatisticsDock *>();
        QTRY_VERIFY(!statistics->isRunning());
        for (const WidgetRSSIResult *row : bench.window->findChild<RSSITestDock *>()->rows())
            QVERIFY(row->state() == WidgetRSSIResult::Failed);

        // The master answers again; once connected anew, the next run is served.
        bench.sim.setSilent(false);
        bench.statistics.setPayload(3, [](quint8 device, int) { return statisticsPayload(device); });
        bench.levels.setPayload(3, [](quint8, int) { return bytesOf({1, 83, -60, -70, -50}); });
        bench.eeprom.setStanding(3, SimStep::Data);
        if (!bench.window->isMasterConnected())
            QVERIFY(bench.reopen(3));
        QTRY_VERIFY_WITH_TIMEOUT(bench.connection()->interface()->pendingCount() == 0, 10000);
        const int failures = log.lines().filter(QStringLiteral("Failed to")).size();
        bench.select({3});
        bench.trigger(action.toLatin1().constData());
        QVERIFY(busy());
        QTRY_VERIFY_WITH_TIMEOUT(!busy(), 15000);
        QCOMPARE(log.lines().filter(QStringLiteral("Failed to")).size(), failures);
    }

    // The toggle starts detection when the master has feature 6 and stops it
    // while it runs; without the feature it hints and starts nothing.
    void nearbyToggle_data()
    {
        QTest::addColumn<bool>("feature6");
        QTest::newRow("feature 6") << true;
        QTest::newRow("without feature 6") << false;
    }
    void nearbyToggle()
    {
        QFETCH(bool, feature6);
        hubroInfo_t status = diagnosticsRecord();
        if (!feature6)
            status.wMK2FWVer = 0x0113; // core 1.19
        DiagnosticsBench bench(status);
        QVERIFY(bench.open(3));
        QCOMPARE(bench.connection()->master()->supportsFeature(6), feature6);
        MessageBoxRecorder boxes;
        auto *toggle = bench.child<QAction>("acDetectNearbyHubro");
        toggle->trigger();
        if (!feature6) {
            QCOMPARE(boxes.count(), 1);
            QCOMPARE(boxes.last().title, QStringLiteral("Attention!"));
            QCOMPARE(boxes.last().text,
                     QStringLiteral("This command is supported on base firmware 1.19 and radio firmware 1.06 and higher."));
            QTest::qWait(50);
            QVERIFY(bench.requests(PT_NEARBY_HUBRO_INFO_READ_START).isEmpty());
            QVERIFY(!toggle->isChecked());
            return;
        }
        QTRY_VERIFY(bench.connection()->master()->hasChannelGroup());
        QCOMPARE(boxes.count(), 0);
        QVERIFY(toggle->isChecked());
        toggle->trigger();
        QTRY_VERIFY(!bench.connection()->master()->hasChannelGroup());
        QCOMPARE(bench.requests(PT_NEARBY_HUBRO_INFO_READ_STOP).size(), 1);
        QVERIFY(!toggle->isChecked());
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(DiagnosticsCommandsTest)
#include "tst_diagnosticscommands.moc"

// The firmware dock over the simulated master: a batch from end to end
// (device image uploaded, header read, the group updated, then the master's
// image and the restart prompt), stops, the backup before a core image, the
// wait for the restarted master, and joining an update the master runs.
#include "compositeupdate.h"
#include "containerbuilder.h"
#include "firmwarereplies.h"
#include "firmwareuploadmanager.h"
#include "hubroitem.h"
#include "progresswidget.h"
#include "screenshot.h"
#include "settings.h"
#include "simfirmware.h"
#include "testsupport.h"
#include "updatemanager.h"
#include "updatestatusdock.h"
#include "updatestatuswidget.h"
#include "windowfixture.h"

#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

namespace {

// Devices 3 and 5 of type 4 and a detector of type 7 at 9.
void addDevices(SimMaster &sim)
{
    for (const quint8 radio : {3, 5})
        sim.setDevice(simDevice(radio, 4));
    sim.setDevice(simDevice(9, 7));
}

// Answers boxes by their titles; records every request.
struct Boxes
{
    Boxes()
    {
        UiSeams::setMessageBoxHook([this](const UiSeams::MessageBoxRequest &request) {
            requests << request;
            return answers.value(request.title, int(QMessageBox::Yes));
        });
    }
    ~Boxes() { UiSeams::setMessageBoxHook(nullptr); }
    QStringList titles() const
    {
        QStringList list;
        for (const auto &r : requests)
            list << r.title;
        return list;
    }
    QMap<QString, int> answers;
    QList<UiSeams::MessageBoxRequest> requests;
};

// The window's parentless waiting window after a firmware update.
ProgressWidget *waitingWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *wait = qobject_cast<ProgressWidget *>(widget))
            if (wait->windowTitle() == QLatin1String("Firmware updating"))
                return wait;
    return nullptr;
}

struct DockOnMaster : WindowOnMaster
{
    DockOnMaster() { addDevices(sim); }
    bool openDock()
    {
        if (!open(3))
            return false;
        dock = window->findChild<UpdateStatusDock *>();
        UpdateStatusDock::Delays d;
        d.step = 1;
        d.nextImage = 1;
        d.recheck = 1;
        d.attach = 20;
        dock->setDelays(d);
        return dock != nullptr;
    }
    HubroItem *master() const { return connection()->master(); }
    QPushButton *button(const char *name) const { return dock->findChild<QPushButton *>(QLatin1String(name)); }

    SimFirmware firmware{sim};
    UpdateStatusDock *dock = nullptr;
};

// A device image for the two devices of type 4 (hardware 1, newer than their 1.05)
// and a radio image of the master.
pVORL deviceImage()
{
    return ContainerBuilder().type(4).record(recordV1(0x1000, "abcdefgh")).record(recordV1(0x1008, "ijkl")).parse();
}

} // namespace

class FirmwareDockTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        prepareConnectionTests();
        MainWindow::setDeviceSelection([](MainWindow *) {});
        FirmwareTimings t;
        t.updatePing = 5;
        t.uploadPing = 5;
        UpdateManager::instance()->setTimings(t);
        FirmwareUploadManager::instance()->setTimings(t);
    }
    void cleanupTestCase() { MainWindow::setDeviceSelection(nullptr); }
    void cleanup()
    {
        UpdateManager::instance()->forget();
        FirmwareUploadManager::instance()->reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void batchRunsDevicesThenMaster()
    {
        Boxes boxes;
        boxes.answers.insert(QStringLiteral("Battry is low"), int(QMessageBox::YesToAll));
        boxes.answers.insert(QStringLiteral("New radio firmware uploaded"), int(QMessageBox::No));
        DockOnMaster w;
        QVERIFY(w.openDock());
        const pVORL devices = deviceImage();
        const pVORL radio = ContainerBuilder().type(40).record(recordV1(0x2000, "radio!")).parse();
        FirmwareMap map;
        map.insert(radio, {w.master()});
        map.insert(devices, {w.device(3), w.device(5)});

        QSignalSpy finished(UpdateManager::instance(), &UpdateManager::updateFinished);
        QSignalSpy uploads(FirmwareUploadManager::instance(), &FirmwareUploadManager::uploadFinished);
        w.dock->onDefaultUpdate(map, false);
        QCOMPARE(w.dock->statusWidgetList().size(), 1);
        QVERIFY(finished.wait(10000));
        QCOMPARE(w.firmware.starts(), (QList<int>{3, 5}));
        // Then the master's image, and the prompt after it.
        QTRY_VERIFY_WITH_TIMEOUT(boxes.titles().contains(QStringLiteral("New radio firmware uploaded")), 10000);
        QCOMPARE(uploads.size(), 2);
        QCOMPARE(w.firmware.lines(), radio->lines());
        QVERIFY(!w.dock->isBatchRunning());
        QVERIFY(!w.dock->isUploading());
        QVERIFY(w.button("pbUploadFirmware")->isEnabled());
        // The restart declined: the stored headers are read again, nothing restarts.
        QVERIFY(!waitingWindow() || !waitingWindow()->isVisible());
    }

    // A device fails: the rest of its group goes on, and the batch moves to
    // the next image once, when the group has finished.
    void failureMidGroupAdvancesOnce()
    {
        Boxes boxes;
        boxes.answers.insert(QStringLiteral("Battry is low"), int(QMessageBox::YesToAll));
        DockOnMaster w;
        QVERIFY(w.openDock());
        SimFirmware::DeviceScript failing;
        failing.startReplies = {plainReply(PT_FW_UPDATE_START_ACK), plainReply(PT_FW_UPDATE_ERROR),
                                plainReply(PT_FW_UPDATE_ERROR)};
        failing.pingReplies = {plainReply(PT_FW_UPDATE_ERROR)};
        w.firmware.setDeviceScript(3, failing);
        const pVORL detectors = ContainerBuilder().type(7).record(recordV1(0x1000, "detector")).parse();
        FirmwareMap map;
        map.insert(deviceImage(), {w.device(3), w.device(5)});
        map.insert(detectors, {w.device(9)});
        QSignalSpy uploads(FirmwareUploadManager::instance(), &FirmwareUploadManager::uploadStarted);
        QSignalSpy finished(UpdateManager::instance(), &UpdateManager::updateFinished);
        w.dock->onDefaultUpdate(map, false);
        QTRY_VERIFY_WITH_TIMEOUT(finished.size() == 2, 15000);
        QTRY_VERIFY(!w.button("pbStopUpdate")->isEnabled());
        QCOMPARE(w.firmware.starts(), (QList<int>{3, 3, 3, 5, 9}));
        QCOMPARE(uploads.size(), 2);
        QCOMPARE(w.firmware.lines(), detectors->lines());
        const QList<UpdateStatusWidget *> groups = w.dock->statusWidgetList();
        QCOMPARE(groups.size(), 2);
        QCOMPARE(groups.at(0)->headerButton()->styleSheet(),
                 UpdateStatusWidget::makeStyleSheet(2, QStringLiteral("rgb(255, 255, 150)")));
        QCOMPARE(groups.at(1)->headerButton()->styleSheet(),
                 UpdateStatusWidget::makeStyleSheet(2, QStringLiteral("rgb(150, 255, 150)")));
        QVERIFY(!w.dock->isBatchRunning());
    }

    // Stop while the group runs: the queue is told, no master image follows.
    void stopEndsTheBatch()
    {
        Boxes boxes;
        boxes.answers.insert(QStringLiteral("Battry is low"), int(QMessageBox::YesToAll));
        DockOnMaster w;
        QVERIFY(w.openDock());
        SimFirmware::DeviceScript slow;
        slow.pingReplies = {busyReply(PT_FW_UPDATE_BUSY, 500)};
        w.firmware.setDeviceScript(3, slow);
        w.firmware.setDeviceScript(5, slow);
        FirmwareMap map;
        const pVORL radio = ContainerBuilder().type(40).record(recordV1(0x2000, "radio!")).parse();
        map.insert(deviceImage(), {w.device(3), w.device(5)});
        map.insert(radio, {w.master()});
        QSignalSpy started(UpdateManager::instance(), &UpdateManager::deviceUpdateStarted);
        QSignalSpy uploads(FirmwareUploadManager::instance(), &FirmwareUploadManager::uploadStarted);
        w.dock->onDefaultUpdate(map, false);
        QVERIFY(started.wait(10000));
        QTRY_VERIFY(w.button("pbStopUpdate")->isEnabled());
        w.button("pbStopUpdate")->click();
        QTRY_COMPARE(w.firmware.cancels(), 1);
        QVERIFY(!UpdateManager::instance()->isBusy());
        QVERIFY(!w.dock->isBatchRunning());
        QCOMPARE(w.dock->statusWidgetList().first()->state(), int(UpdateStatusWidget::Stopped));
        // Nothing resumes it: neither the finished queue nor a later header read.
        w.master()->readUploadedFirmwareHeaders();
        QTest::qWait(100);
        QCOMPARE(uploads.size(), 1);
        QCOMPARE(w.firmware.starts(), QList<int>{3});
        QVERIFY(!w.button("pbStopUpdate")->isEnabled());
    }

    // Stop between the image's upload and the master's header answer: the
    // header read does not start the group.
    void stopBeforeTheHeaderRead()
    {
        Boxes boxes;
        boxes.answers.insert(QStringLiteral("Battry is low"), int(QMessageBox::YesToAll));
        DockOnMaster w;
        QVERIFY(w.openDock());
        FirmwareMap map;
        map.insert(deviceImage(), {w.device(3), w.device(5)});
        QObject::connect(FirmwareUploadManager::instance(), &FirmwareUploadManager::uploadFinished, w.dock, [&] {
            QVERIFY(w.button("pbStopUpdate")->isEnabled());
            w.button("pbStopUpdate")->click();
        });
        QSignalSpy headers(w.master(), &HubroItem::firmwareHeadersUpdated);
        w.dock->onDefaultUpdate(map, false);
        QVERIFY(headers.wait(10000));
        QTest::qWait(50);
        QVERIFY(w.firmware.starts().isEmpty());
        QVERIFY(!UpdateManager::instance()->isBusy());
        QVERIFY(!w.dock->isBatchRunning());
        QVERIFY(w.button("pbUploadFirmware")->isEnabled());
    }

    // A core image: the old backup goes, the new one is written and the keys
    // stored before the upload starts.
    void backupBeforeCoreUpload()
    {
        Boxes boxes;
        boxes.answers.insert(QStringLiteral("New core firmware uploaded"), int(QMessageBox::No));
        DockOnMaster w;
        QVERIFY(w.openDock());
        const QString location = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QVERIFY(QDir().mkpath(location));
        const QString path = QDir::toNativeSeparators(location + QStringLiteral("/backup.conf"));
        QFile stale(path);
        QVERIFY(stale.open(QIODevice::WriteOnly) && stale.write("stale") > 0);
        stale.close();
        appSettings.setValue(QLatin1String(SettingsKey::Serial), 1);

        bool fileAtStart = false;
        QVariant serialAtStart;
        QObject::connect(FirmwareUploadManager::instance(), &FirmwareUploadManager::uploadStarted, w.dock, [&] {
            QFile file(path);
            fileAtStart = file.open(QIODevice::ReadOnly) && file.readAll().startsWith("{");
            serialAtStart = appSettings.value(QLatin1String(SettingsKey::Serial));
        });
        QSignalSpy uploads(FirmwareUploadManager::instance(), &FirmwareUploadManager::uploadFinished);
        FirmwareMap map;
        map.insert(ContainerBuilder().type(41).record(recordV1(0x3000, "core")).parse(), {w.master()});
        w.dock->onDefaultUpdate(map, false);
        QVERIFY(uploads.wait(10000));
        QVERIFY(fileAtStart);
        QCOMPARE(serialAtStart.toUInt(), 123456u);
        QCOMPARE(appSettings.value(QLatin1String(SettingsKey::BackupPath)).toString(), path);
        QTRY_VERIFY(boxes.titles().contains(QStringLiteral("New core firmware uploaded")));
    }

    // The export fails: the user is asked; No ends the batch without an upload.
    void failedBackupAsks_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("upload anyway") << int(QMessageBox::Yes);
        QTest::newRow("no upload") << int(QMessageBox::No);
    }
    void failedBackupAsks()
    {
        QFETCH(int, answer);
        Boxes boxes;
        boxes.answers.insert(QStringLiteral("Save configuration"), answer);
        boxes.answers.insert(QStringLiteral("New core firmware uploaded"), int(QMessageBox::No));
        DockOnMaster w;
        QVERIFY(w.openDock());
        w.sim.setScript(PT_HUBRO_INFO, [](const FakeMaster::Received &) {
            return QVector<FakeMaster::Reply>{FakeMaster::Reply(plainReply(PT_UNKNOWN_REQ_ERROR))};
        });
        QSignalSpy uploads(FirmwareUploadManager::instance(), &FirmwareUploadManager::uploadStarted);
        FirmwareMap map;
        map.insert(ContainerBuilder().type(41).record(recordV1(0x3000, "core")).parse(), {w.master()});
        w.dock->onDefaultUpdate(map, false);
        // The exporter gives up on the refused read after the link's retries.
        QTRY_VERIFY_WITH_TIMEOUT(boxes.titles().contains(QStringLiteral("Save configuration")), 30000);
        const auto question = boxes.requests.at(boxes.titles().indexOf(QStringLiteral("Save configuration")));
        QCOMPARE(question.text, QStringLiteral("Configuration backup failed."));
        QCOMPARE(question.informativeText, QStringLiteral("Upload the firmware without a backup?"));
        QTest::qWait(50);
        QCOMPARE(uploads.size(), answer == QMessageBox::Yes ? 1 : 0);
        QVERIFY(appSettings.value(QLatin1String(SettingsKey::Serial)).isNull());
        if (answer == QMessageBox::No)
            QVERIFY(w.button("pbUploadFirmware")->isEnabled());
    }

    // After a restart is accepted: the waiting window until the master is asked for again.
    void waitAfterUpdateEndsWhenMasterReturns()
    {
        DockOnMaster w;
        QVERIFY(w.openDock());
        emit w.dock->waitUpdateComplate(40);
        ProgressWidget *wait = waitingWindow();
        QVERIFY(wait && wait->isVisible());
        emit w.connection()->masterRequested();
        QVERIFY(!wait->isVisible());
    }

    void waitStoppedByTheUserClosesTheDevice()
    {
        DockOnMaster w;
        QVERIFY(w.openDock());
        emit w.dock->waitUpdateComplate(40);
        ProgressWidget *wait = waitingWindow();
        QVERIFY(wait && wait->isVisible());
        emit wait->stop();
        QTRY_VERIFY(!w.window->isMasterConnected());
    }

    // The master reports an update of device 3 in its current status: the dock joins it.
    void attachFromCurrentStatus()
    {
        Boxes boxes;
        DockOnMaster w;
        HUBRO32BootSectionHeader_t stored;
        stored.deviceType = 4;
        stored.hardwareVersion = 0x0100;
        stored.firmwareVersion = 0x0106;
        stored.buildTime = 1700000000u;
        w.firmware.setHeader(2, bootSectionHeaderBytes(stored));
        QVERIFY(w.openDock());
        QSignalSpy read(w.master(), &HubroItem::firmwareHeadersUpdated);
        w.master()->readUploadedFirmwareHeaders();
        QVERIFY(read.wait(5000));
        w.sim.setScript(PT_CURRENT_STATUS_REQ, [](const FakeMaster::Received &) {
            QByteArray reply(1, char(PT_CURRENT_STATUS_ACK));
            reply += char(PT_FW_UPDATE_BUSY);
            reply += char(3);
            return QVector<FakeMaster::Reply>{FakeMaster::Reply(reply)};
        });
        QSignalSpy started(UpdateManager::instance(), &UpdateManager::deviceUpdateStarted);
        w.master()->requestCurrentStatus();
        QVERIFY(started.wait(5000));
        QCOMPARE(started.first().first().value<DeviceItem *>(), w.device(3));
        QCOMPARE(w.dock->statusWidgetList().size(), 1);
        QVERIFY(w.dock->statusWidgetList().first()->contains(3));
    }

    // The low-battery question, asked per device and again for each image.
    void lowBatteryAnswers_data()
    {
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QList<int>>("kept"); // devices kept per group, in group order
        QTest::newRow("yes, no, yes; yes") << QList<int>{QMessageBox::Yes, QMessageBox::No, QMessageBox::Yes,
                                                        QMessageBox::Yes}
                                           << QList<int>{2, 1};
        QTest::newRow("yes to all; no") << QList<int>{QMessageBox::YesToAll, QMessageBox::No} << QList<int>{3};
        QTest::newRow("no to all; yes") << QList<int>{QMessageBox::NoToAll, QMessageBox::Yes} << QList<int>{1};
        QTest::newRow("closed") << QList<int>{QMessageBox::Escape, QMessageBox::Escape, QMessageBox::Escape,
                                              QMessageBox::Escape}
                                << QList<int>{};
    }
    void lowBatteryAnswers()
    {
        QFETCH(QList<int>, answers);
        QFETCH(QList<int>, kept);
        MessageBoxRecorder boxes;
        for (int answer : answers)
            boxes.answer(answer);
        // Items without a state report no good battery.
        std::vector<std::unique_ptr<DeviceItem>> items;
        for (quint8 radio : {3, 5, 7, 9}) {
            deviceInfo_t info;
            info.radioAddress = radio;
            info.deviceType = radio == 9 ? 6 : 4;
            info.hardwareVersion = 0x0100;
            info.linkState = 2;
            items.push_back(std::make_unique<DeviceItem>(info, false));
        }
        UpdateStatusDock dock;
        UpdateStatusDock::Delays d;
        d.step = 60000; // nothing starts
        dock.setDelays(d);
        FirmwareMap map;
        map.insert(deviceImage(), {items[0].get(), items[1].get(), items[2].get()});
        map.insert(ContainerBuilder().type(6).record(recordV1(0x1000, "six")).parse(), {items[3].get()});
        dock.onDefaultUpdate(map, false);
        QCOMPARE(boxes.count(), answers.size());
        for (const auto &r : boxes.requests())
            QCOMPARE(r.title, QStringLiteral("Battry is low"));
        QList<int> groups;
        for (UpdateStatusWidget *w : dock.statusWidgetList())
            groups << w->devices().size();
        QCOMPARE(groups, kept);
        dock.forget();
    }

    void screenshotOfTheDock()
    {
        Boxes boxes;
        boxes.answers.insert(QStringLiteral("Battry is low"), int(QMessageBox::YesToAll));
        DockOnMaster w;
        w.sim.setDevice(simDevice(11, 12));
        w.sim.setDevice(simDevice(12, 12));
        w.sim.setDevice(simDevice(14, 6));
        QVERIFY(w.open(6));
        auto *dock = w.window->findChild<UpdateStatusDock *>();
        FirmwareMap map;
        map.insert(deviceImage(), {w.device(3), w.device(5)});
        map.insert(ContainerBuilder().type(12).record(recordV1(0x1000, "x")).parse(), {w.device(11), w.device(12)});
        map.insert(ContainerBuilder().type(6).record(recordV1(0x1000, "y")).parse(), {w.device(14)});
        UpdateStatusDock::Delays d;
        d.step = 60000; // keep the batch from starting
        dock->setDelays(d);
        dock->onDefaultUpdate(map, false);
        const QList<UpdateStatusWidget *> groups = dock->statusWidgetList();
        QCOMPARE(groups.size(), 3);
        groups.at(0)->setCurrent();
        groups.at(0)->setDeviceResult(w.device(3), true);
        groups.at(0)->setProgress(w.device(5), 40);
        groups.at(1)->setCurrent();
        groups.at(1)->setDeviceResult(w.device(11), true);
        groups.at(1)->setDeviceResult(w.device(12), false);
        dock->setFloating(true);
        dock->resize(564, 600);
        dock->show();
        screenshot(dock, QStringLiteral("firmware-dock.png"));
        dock->forget();
    }
};

QTEST_MAIN(FirmwareDockTest)
#include "tst_firmwaredock.moc"

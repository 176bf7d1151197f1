// The firmware dock over the simulated master: a batch from end to end
// (device image uploaded, header read, the group updated, then the master's
// image and the restart prompt), stops of uploads and updates, a corrupt
// upload, devices removed from a batch, the backup before a core image, the
// wait for the restarted master, and joining an update the master runs.
#include "compositeupdate.h"
#include "containerbuilder.h"
#include "dropfiles.h"
#include "firmwarereplies.h"
#include "firmwareuploadmanager.h"
#include "hubroitem.h"
#include "messagecapture.h"
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
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

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
            if (onAsk)
                onAsk(request);
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
    int count(const QString &title) const { return titles().count(title); }
    QMap<QString, int> answers;
    QList<UiSeams::MessageBoxRequest> requests;
    std::function<void(const UiSeams::MessageBoxRequest &)> onAsk;
};

QString headerStyle(const char *colour)
{
    return UpdateStatusWidget::makeStyleSheet(2, QLatin1String(colour));
}

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
    // The master's stored headers read; false when it does not answer.
    bool readHeaders() const
    {
        QSignalSpy read(master(), &HubroItem::firmwareHeadersUpdated);
        master()->readUploadedFirmwareHeaders();
        return read.wait(5000);
    }
    QPushButton *button(const char *name) const { return dock->findChild<QPushButton *>(QLatin1String(name)); }
    QString uploadStatus() const { return dock->findChild<QLabel *>(QStringLiteral("lblUploadStatus"))->text(); }

    SimFirmware firmware{sim};
    UpdateStatusDock *dock = nullptr;
};

// A device image for the two devices of type 4 (hardware 1, newer than their 1.05)
// and a radio image of the master.
ContainerBuilder deviceImageBuilder()
{
    return ContainerBuilder().type(4).record(recordV1(0x1000, "abcdefgh")).record(recordV1(0x1008, "ijkl"));
}

pVORL deviceImage()
{
    return deviceImageBuilder().parse();
}

QString writeContainer(const QTemporaryDir &dir, const QString &name, const ContainerBuilder &container)
{
    const QString path = dir.filePath(name);
    return container.writeTo(path) ? path : QString();
}

// The device numbers of the rows of the batch window's device table.
QStringList rowsOf(const QTableWidget *table)
{
    QStringList rows;
    for (int row = 0; row < table->rowCount(); ++row)
        rows << table->item(row, 0)->data(Qt::UserRole).toString();
    return rows;
}

void tick(QTableWidget *devices, int radio, Qt::CheckState state)
{
    for (int row = 0; row < devices->rowCount(); ++row)
        if (devices->item(row, 0)->data(Qt::UserRole).toInt() == radio)
            devices->item(row, 0)->setCheckState(state);
    QCoreApplication::processEvents();
}

// A device as the dock's summary names it.
QString summaryName(DeviceItem *device)
{
    return QStringLiteral("%1 (%2)").arg(device->data(Qt::UserRole + 3).toString(), device->itemTypeName());
}

// Erase-busy replies for a preparation that outlasts any test step.
QList<QByteArray> longPreparation()
{
    QList<QByteArray> erasing;
    for (quint32 left = 5000; left > 0; --left)
        erasing << busyReply(PT_FW_ERASE_BUSY, left);
    return erasing;
}

// The master's own radio image.
pVORL masterImage()
{
    return ContainerBuilder().type(40).record(recordV1(0x2000, "radio!")).parse();
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
        MainWindow::setReconnectWaitMargin(2000);
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
        const pVORL radio = masterImage();
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
        // The restart that installs it is not Enter's or Escape's.
        const auto prompt = boxes.requests.at(boxes.titles().indexOf(QStringLiteral("New radio firmware uploaded")));
        QCOMPARE(prompt.defaultButton, QMessageBox::No);
        QCOMPARE(prompt.escapeButton, QMessageBox::No);
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
        const pVORL radio = masterImage();
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
        QCOMPARE(question.defaultButton, QMessageBox::No);
        QCOMPARE(question.escapeButton, QMessageBox::No);
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
        for (const auto &r : boxes.requests()) {
            QCOMPARE(r.title, QStringLiteral("Battry is low"));
            // Enter, Escape and the close button leave the device out.
            QCOMPARE(r.defaultButton, QMessageBox::No);
            QCOMPARE(r.escapeButton, QMessageBox::No);
        }
        QList<int> groups;
        for (UpdateStatusWidget *w : dock.statusWidgetList())
            groups << w->devices().size();
        QCOMPARE(groups, kept);
        dock.forget();
    }

    // The first image arrives corrupt: the user may go on with the next image.
    // Yes uploads it and runs its group; No ends there. Either way the corrupt
    // image's group is marked failed and the buttons fit what runs.
    void corruptUploadAsks_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QList<int>>("starts");
        QTest::newRow("go on") << int(QMessageBox::Yes) << QList<int>{9};
        QTest::newRow("stop there") << int(QMessageBox::No) << QList<int>{};
    }
    void corruptUploadAsks()
    {
        QFETCH(int, answer);
        QFETCH(QList<int>, starts);
        const bool goOn = answer == QMessageBox::Yes;
        Boxes boxes;
        boxes.answers.insert(QStringLiteral("Battry is low"), int(QMessageBox::YesToAll));
        boxes.answers.insert(QStringLiteral("Upload error"), answer);
        DockOnMaster w;
        QVERIFY(w.openDock());
        w.firmware.setVerification({plainReply(PT_FW_UPLOAD_VERIFY_ERROR)});
        // Only the first image is corrupt.
        boxes.onAsk = [&](const UiSeams::MessageBoxRequest &request) {
            if (request.title == QLatin1String("Upload error"))
                w.firmware.setVerification({});
        };
        const pVORL detectors = ContainerBuilder().type(7).record(recordV1(0x1000, "detector")).parse();
        FirmwareMap map;
        map.insert(deviceImage(), {w.device(3), w.device(5)});
        map.insert(detectors, {w.device(9)});
        QSignalSpy uploads(FirmwareUploadManager::instance(), &FirmwareUploadManager::uploadStarted);
        QSignalSpy finished(UpdateManager::instance(), &UpdateManager::updateFinished);
        bool stopEnabled = false;
        bool uploadEnabled = false;
        QObject::connect(FirmwareUploadManager::instance(), &FirmwareUploadManager::uploadError, w.dock, [&] {
            stopEnabled = w.button("pbStopUpload")->isEnabled();
            uploadEnabled = w.button("pbUploadFirmware")->isEnabled();
        });
        QSignalSpy errors(FirmwareUploadManager::instance(), &FirmwareUploadManager::uploadError);
        w.dock->onDefaultUpdate(map, false);
        QVERIFY(errors.wait(10000));
        QCOMPARE(boxes.count(QStringLiteral("Upload error")), 1);
        const auto question = boxes.requests.at(boxes.titles().indexOf(QStringLiteral("Upload error")));
        QCOMPARE(question.text,
                 QStringLiteral("Warning! Uploaded firmware is corrupt, uploading stopped.\nDo you want to proceed?"));
        // Going on uploads the next image: Enter and Escape stop instead.
        QCOMPARE(question.defaultButton, QMessageBox::No);
        QCOMPARE(question.escapeButton, QMessageBox::No);
        if (!goOn)
            QVERIFY(w.uploadStatus().contains(QStringLiteral("Uploaded firmware is corrupt")));
        // While the next image goes up it can be stopped, and no other upload begun.
        QCOMPARE(stopEnabled, goOn);
        QCOMPARE(uploadEnabled, !goOn);
        const QList<UpdateStatusWidget *> groups = w.dock->statusWidgetList();
        QCOMPARE(groups.size(), 2);
        QCOMPARE(groups.at(0)->headerButton()->styleSheet(), headerStyle("rgb(255, 150, 150)"));
        if (goOn) {
            QVERIFY(finished.wait(10000));
            QCOMPARE(w.firmware.lines(), detectors->lines());
            QCOMPARE(groups.at(1)->headerButton()->styleSheet(), headerStyle("rgb(150, 255, 150)"));
            QTRY_VERIFY(w.button("pbUploadFirmware")->isEnabled());
        } else {
            // A later header read resumes nothing.
            QSignalSpy headers(w.master(), &HubroItem::firmwareHeadersUpdated);
            w.master()->readUploadedFirmwareHeaders();
            QVERIFY(headers.wait(5000));
            QVERIFY(!UpdateManager::instance()->isBusy());
            QCOMPARE(groups.at(1)->state(), int(UpdateStatusWidget::NotStarted));
        }
        QCOMPARE(uploads.size(), goOn ? 2 : 1);
        QCOMPARE(w.firmware.starts(), starts);
        QCOMPARE(boxes.count(QStringLiteral("Upload error")), 1);
    }

    // The user stops the upload of the batch's first image: nothing of the
    // batch follows, not even its master image once a later update of the
    // devices from the master's stored image has finished.
    void stopUploadEndsTheBatch()
    {
        Boxes boxes;
        boxes.answers.insert(QStringLiteral("Battry is low"), int(QMessageBox::YesToAll));
        DockOnMaster w;
        HUBRO32BootSectionHeader_t stored;
        stored.deviceType = 4;
        stored.hardwareVersion = 0x0100;
        stored.firmwareVersion = 0x0106;
        stored.buildTime = 1700000000u;
        w.firmware.setHeader(2, bootSectionHeaderBytes(stored));
        QList<QByteArray> erasing;
        for (quint32 left = 200; left > 0; --left)
            erasing << busyReply(PT_FW_ERASE_BUSY, left);
        w.firmware.setPreparation(erasing);
        QVERIFY(w.openDock());
        FirmwareMap map;
        map.insert(deviceImage(), {w.device(3), w.device(5)});
        map.insert(masterImage(), {w.master()});
        QSignalSpy uploads(FirmwareUploadManager::instance(), &FirmwareUploadManager::uploadStarted);
        w.dock->onDefaultUpdate(map, false);
        QTRY_COMPARE_WITH_TIMEOUT(w.uploadStatus(), QStringLiteral("Busy erasing flash memory"), 10000);
        QVERIFY(w.button("pbStopUpload")->isEnabled());
        QSignalSpy headers(w.master(), &HubroItem::firmwareHeadersUpdated);
        w.button("pbStopUpload")->click();
        QCOMPARE(w.uploadStatus(), QStringLiteral("Upload stopped"));
        QVERIFY(!w.dock->isUploading());
        QVERIFY(!w.dock->isBatchRunning());
        QVERIFY(w.button("pbUploadFirmware")->isEnabled());
        QVERIFY(!w.button("pbStopUpload")->isEnabled());
        QVERIFY(!w.button("pbStopUpdate")->isEnabled());
        QTRY_VERIFY(w.dock->statusWidgetList().isEmpty());
        // The stored headers are read again; that starts no group.
        QVERIFY(headers.wait(5000));
        QVERIFY(!UpdateManager::instance()->isBusy());
        QVERIFY(w.firmware.lines().isEmpty());

        // The devices updated from the stored image: the stopped batch's
        // master image stays out.
        QSignalSpy finished(UpdateManager::instance(), &UpdateManager::updateFinished);
        w.dock->onInternalUpdate({w.device(3), w.device(5)}, false);
        QVERIFY(finished.wait(10000));
        QCOMPARE(w.firmware.starts(), (QList<int>{3, 5}));
        QCOMPARE(uploads.size(), 1);
        QVERIFY(!w.dock->isUploading());
        QVERIFY(w.button("pbUploadFirmware")->isEnabled());
    }

    // Stop while meters are updated: the report names the 60-minute meters
    // not updated, not those already done, nor the meter on the short
    // interval. The pulse counter and both water-meter readers alike.
    void stopReportsNotUpdatedMeters_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("stoppedAt");
        QTest::addColumn<QList<int>>("reported");
        // The update takes the 60-minute meters (12, 14) last.
        QTest::newRow("at the first meter") << 13 << 11 << QList<int>{12, 14};
        QTest::newRow("at the last meter") << 13 << 14 << QList<int>{14};
        QTest::newRow("water meter, at the first meter") << 19 << 11 << QList<int>{12, 14};
        QTest::newRow("second water meter, at the first meter") << 56 << 11 << QList<int>{12, 14};
    }
    void stopReportsNotUpdatedMeters()
    {
        QFETCH(int, type);
        QFETCH(int, stoppedAt);
        QFETCH(QList<int>, reported);
        Boxes boxes;
        boxes.answers.insert(QStringLiteral("Battry is low"), int(QMessageBox::YesToAll));
        DockOnMaster w;
        for (const quint8 radio : {11, 12, 14}) {
            SimDevice meter = simDevice(radio, quint8(type));
            if (radio == 11)
                meter.state[0] = char(0xF2); // on the short interval
            w.sim.setDevice(meter);
        }
        SimFirmware::DeviceScript slow;
        slow.pingReplies = {busyReply(PT_FW_UPDATE_BUSY, 500)};
        w.firmware.setDeviceScript(quint8(stoppedAt), slow);
        QVERIFY(w.open(6));
        w.dock = w.window->findChild<UpdateStatusDock *>();
        UpdateStatusDock::Delays d;
        d.step = 1;
        d.nextImage = 1;
        d.recheck = 1;
        w.dock->setDelays(d);
        FirmwareMap map;
        map.insert(ContainerBuilder().type(quint8(type)).record(recordV1(0x1000, "meter")).parse(),
                   {w.device(11), w.device(12), w.device(14)});
        QSignalSpy started(UpdateManager::instance(), &UpdateManager::deviceUpdateStarted);
        w.dock->onDefaultUpdate(map, false);
        QTRY_VERIFY_WITH_TIMEOUT(!started.isEmpty()
                                     && started.last().first().value<DeviceItem *>() == w.device(stoppedAt),
                                 15000);
        QTRY_VERIFY(w.button("pbStopUpdate")->isEnabled());
        w.button("pbStopUpdate")->click();
        QTRY_COMPARE(w.firmware.cancels(), 1);
        QCOMPARE(boxes.count(QStringLiteral("Updating stop")), 1);
        const auto report = boxes.requests.at(boxes.titles().indexOf(QStringLiteral("Updating stop")));
        QCOMPARE(report.kind, UiSeams::MessageBoxRequest::Warning);
        QStringList lines;
        for (int radio : reported)
            lines << QStringLiteral("(%1)").arg(w.device(radio)->data(Qt::UserRole + 3).toString());
        QCOMPARE(report.text, QStringLiteral("Not updated NILVO(s):\n") + lines.join(QLatin1Char('\n')));
        QVERIFY(!w.dock->isBatchRunning());
    }

    // An entry whose only device is removed from the master is skipped: while
    // an earlier group runs, or while its own image goes up.
    void entryEmptiedByRemovalIsSkipped_data()
    {
        QTest::addColumn<bool>("emptiedFirst");
        QTest::newRow("during the group before") << false;
        QTest::newRow("during its upload") << true;
    }
    void entryEmptiedByRemovalIsSkipped()
    {
        QFETCH(bool, emptiedFirst);
        Boxes boxes;
        boxes.answers.insert(QStringLiteral("Battry is low"), int(QMessageBox::YesToAll));
        boxes.answers.insert(QStringLiteral("New radio firmware uploaded"), int(QMessageBox::No));
        DockOnMaster w;
        QVERIFY(w.openDock());
        const pVORL devices = deviceImage();
        const pVORL detectors = ContainerBuilder().type(7).record(recordV1(0x1000, "detector")).parse();
        const pVORL radio = masterImage();
        FirmwareMap map;
        if (emptiedFirst)
            map.insert(detectors, {w.device(9)});
        map.insert(devices, {w.device(3), w.device(5)});
        if (!emptiedFirst)
            map.insert(detectors, {w.device(9)});
        map.insert(radio, {w.master()});
        QPointer<DeviceItem> removed = w.device(9);
        QList<QByteArray> uploaded;
        QObject::connect(FirmwareUploadManager::instance(), &FirmwareUploadManager::uploadStarted, w.dock,
                         [&](const pVORL &image) {
                             uploaded << image->lines().constFirst();
                             if (emptiedFirst && image == detectors)
                                 w.connection()->removeDeviceLocally(9);
                         });
        QObject::connect(UpdateManager::instance(), &UpdateManager::deviceUpdateStarted, w.dock, [&] {
            if (!emptiedFirst && removed)
                w.connection()->removeDeviceLocally(9);
        });
        w.dock->onDefaultUpdate(map, false);
        QTRY_VERIFY_WITH_TIMEOUT(boxes.titles().contains(QStringLiteral("New radio firmware uploaded")), 15000);
        QVERIFY(removed.isNull());
        QCOMPARE(w.firmware.starts(), (QList<int>{3, 5}));
        QList<QByteArray> expected;
        if (emptiedFirst)
            expected << detectors->lines().constFirst();
        expected << devices->lines().constFirst() << radio->lines().constFirst();
        QCOMPARE(uploaded, expected);
        QVERIFY(!w.dock->isBatchRunning());
        QVERIFY(w.button("pbUploadFirmware")->isEnabled());
    }

    // The restarted master does not come back: T runs out, the waiting window
    // goes and one warning says so; the wait's handlers went with it.
    void masterNotBackWarnsOnce()
    {
        Boxes boxes;
        DockOnMaster w;
        QVERIFY(w.openDock());
        // T is the reconnect time-out (40 s for this type) and the margin.
        const int hardware = w.master()->hardwareVersion().majorVersion();
        MainWindow::setReconnectWaitMargin(100 - MainWindow::reconnectTimeoutAfterUpdate(40, hardware));
        QSignalSpy restarted(w.connection(), &Connection::masterRestarted);
        emit w.dock->waitUpdateComplate(40);
        ProgressWidget *wait = waitingWindow();
        QVERIFY(wait && wait->isVisible());
        QVERIFY(restarted.wait(5000));
        w.sim.setSilent(true);
        QTRY_COMPARE(boxes.count(QStringLiteral("Firmware update")), 1);
        const auto warning = boxes.requests.at(boxes.titles().indexOf(QStringLiteral("Firmware update")));
        QCOMPARE(warning.text, QStringLiteral("No response from device"));
        QVERIFY(!wait->isVisible());
        // The user's stop no longer closes the connection.
        emit wait->stop();
        QVERIFY(w.connection());
        QCOMPARE(boxes.count(QStringLiteral("Firmware update")), 1);
    }

    // One image handed devices of two types: two groups. The update takes
    // only the devices the image fits, so the other group fails at once
    // instead of holding the batch; the master's image follows and the
    // restart, accepted, opens the wait for the master.
    void oneImageForTwoGroups()
    {
        Boxes boxes;
        boxes.answers.insert(QStringLiteral("Battry is low"), int(QMessageBox::YesToAll));
        boxes.answers.insert(QStringLiteral("New radio firmware uploaded"), int(QMessageBox::Yes));
        DockOnMaster w;
        QVERIFY(w.openDock());
        const pVORL devices = deviceImage();
        const pVORL radio = masterImage();
        FirmwareMap map;
        map.insert(devices, {w.device(3), w.device(9), w.device(5)});
        map.insert(radio, {w.master()});
        QSignalSpy uploads(FirmwareUploadManager::instance(), &FirmwareUploadManager::uploadStarted);
        QSignalSpy finished(UpdateManager::instance(), &UpdateManager::updateFinished);
        QSignalSpy restarted(w.connection(), &Connection::masterRestarted);
        QSignalSpy waits(w.dock, &UpdateStatusDock::waitUpdateComplate);
        w.dock->onDefaultUpdate(map, false);
        const QList<UpdateStatusWidget *> groups = w.dock->statusWidgetList();
        QCOMPARE(groups.size(), 2);
        QCOMPARE(groups.at(0)->devices(), (QList<DeviceItem *>{w.device(3), w.device(5)}));
        QCOMPARE(groups.at(1)->devices(), QList<DeviceItem *>{w.device(9)});
        // The groups as the run ends (the master's upload discards them).
        QList<int> states;
        QStringList styles;
        QObject::connect(UpdateManager::instance(), &UpdateManager::updateFinished, w.dock, [&] {
            for (UpdateStatusWidget *group : groups) {
                states << group->state();
                styles << group->headerButton()->styleSheet();
            }
        });
        QTRY_VERIFY_WITH_TIMEOUT(boxes.titles().contains(QStringLiteral("New radio firmware uploaded")), 15000);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(w.firmware.starts(), (QList<int>{3, 5}));
        QCOMPARE(uploads.size(), 2);
        QCOMPARE(w.firmware.lines(), radio->lines());
        QCOMPARE(states, (QList<int>{UpdateStatusWidget::LastSucceeded, UpdateStatusWidget::LastFailed}));
        QCOMPARE(styles, (QStringList{headerStyle("rgb(150, 255, 150)"), headerStyle("rgb(255, 150, 150)")}));
        QVERIFY(!w.dock->isBatchRunning());
        QCOMPARE(boxes.count(QStringLiteral("New radio firmware uploaded")), 1);
        ProgressWidget *wait = waitingWindow();
        QVERIFY(wait && wait->isVisible());
        QCOMPARE(waits.size(), 1);
        QCOMPARE(waits.first().first().toInt(), 40);
        QTRY_VERIFY_WITH_TIMEOUT(!restarted.isEmpty(), 5000);
    }

    // The batch window open in each view while a device is removed or the
    // master restarts: its rows follow (no row of a freed item is ever
    // read), and a device ticked afterwards is the one updated.
    void batchWindowFollowsTheMaster_data()
    {
        QTest::addColumn<bool>("saved");
        QTest::addColumn<bool>("reboot");
        QTest::newRow("saved firmware, device removed") << true << false;
        QTest::newRow("saved firmware, master restarted") << true << true;
        QTest::newRow("files, device removed") << false << false;
        QTest::newRow("files, master restarted") << false << true;
    }
    void batchWindowFollowsTheMaster()
    {
        QFETCH(bool, saved);
        QFETCH(bool, reboot);
        Boxes boxes;
        boxes.answers.insert(QStringLiteral("Battry is low"), int(QMessageBox::YesToAll));
        DockOnMaster w;
        HUBRO32BootSectionHeader_t stored;
        stored.deviceType = 4;
        stored.hardwareVersion = 0x0100;
        stored.firmwareVersion = 0x0106;
        stored.buildTime = 1700000000u;
        w.firmware.setHeader(2, bootSectionHeaderBytes(stored));
        QVERIFY(w.openDock());
        QVERIFY(w.readHeaders());
        QTemporaryDir dir;
        QPointer<CompositeUpdate> window = w.dock->openCompositeUpdateWidget();
        QVERIFY(window);
        if (!saved)
            QVERIFY(window->loadFirmwareFiles({writeContainer(dir, QStringLiteral("d.vorl"), deviceImageBuilder())}));
        auto *devices = window->findChild<QTableWidget *>(QStringLiteral("twDevices"));
        QTRY_COMPARE(rowsOf(devices), (QStringList{"3", "5"}));

        QPointer<DeviceItem> gone = w.device(3);
        if (reboot) {
            QSignalSpy connected(w.connection(), &Connection::masterConnected);
            w.connection()->restartMaster(150);
            QTRY_VERIFY(gone.isNull());
            QCOMPARE(rowsOf(devices), QStringList());
            tick(devices, 3, Qt::Unchecked);
            QTRY_VERIFY_WITH_TIMEOUT(!connected.isEmpty() && w.connection()->devices().size() == 3, 15000);
            QVERIFY(w.readHeaders());
            QTRY_COMPARE(rowsOf(devices), (QStringList{"3", "5"}));
            tick(devices, 3, Qt::Unchecked);
        } else {
            w.connection()->removeDeviceLocally(3);
            QCOMPARE(rowsOf(devices), QStringList{"5"});
            QTRY_VERIFY(gone.isNull());
        }
        tick(devices, 5, Qt::Unchecked);
        tick(devices, 5, Qt::Checked);
        QSignalSpy finished(UpdateManager::instance(), &UpdateManager::updateFinished);
        window->findChild<QPushButton *>(QStringLiteral("pbUpdate"))->click();
        QVERIFY(finished.wait(10000));
        QCOMPARE(w.firmware.starts(), QList<int>{5});
        QCOMPARE(boxes.count(QStringLiteral("Firmware update is running")), 0);
    }

    // While the master takes an image, every road to a second start is
    // refused with a word naming the running one; the upload goes on alone.
    void secondStartRefused_data()
    {
        QTest::addColumn<QString>("road");
        QTest::newRow("drop on the window") << "drop";
        QTest::newRow("dock button") << "dock";
        QTest::newRow("batch window") << "batch";
        QTest::newRow("selected devices") << "devices";
    }
    void secondStartRefused()
    {
        QFETCH(QString, road);
        Boxes boxes;
        DockOnMaster w;
        w.firmware.setPreparation(longPreparation());
        QVERIFY(w.openDock());
        const pVORL running = masterImage();
        FirmwareMap map;
        map.insert(running, {w.master()});
        w.dock->onDefaultUpdate(map, false);
        QTRY_COMPARE_WITH_TIMEOUT(w.uploadStatus(), QStringLiteral("Busy erasing flash memory"), 10000);

        QTemporaryDir dir;
        if (road == QLatin1String("drop")) {
            const ContainerBuilder core = ContainerBuilder().type(41).record(recordV1(0x3000, "core"));
            dropFiles(w.window.get(), {writeContainer(dir, QStringLiteral("second.vorl"), core)});
        } else if (road == QLatin1String("dock")) {
            QCOMPARE(w.dock->openCompositeUpdateWidget(), nullptr);
        } else if (road == QLatin1String("batch")) {
            FirmwareMap other;
            other.insert(deviceImage(), {w.device(3), w.device(5)});
            w.dock->onDefaultUpdate(other, false);
        } else {
            w.select({3, 5});
            w.window->firmwareUpdateDevice();
        }
        QCOMPARE(boxes.count(QStringLiteral("Firmware update is running")), 1);
        const auto refusal = boxes.requests.at(boxes.titles().indexOf(QStringLiteral("Firmware update is running")));
        QCOMPARE(refusal.text, QStringLiteral("The firmware %1 is being uploaded to the master.")
                                   .arg(UpdateStatusWidget::firmwareText(running)));
        QVERIFY(!w.dock->compositeUpdateWindow());
        QVERIFY(w.dock->isUploading());
        QCOMPARE(w.uploadStatus(), QStringLiteral("Busy erasing flash memory"));
        QCOMPARE(w.requests(PT_FW_UPLOAD_START).size(), 1);
        QVERIFY(w.firmware.starts().isEmpty());
        QVERIFY(!UpdateManager::instance()->isBusy());
        w.button("pbStopUpload")->click();
        QVERIFY(!w.dock->isUploading());
        QCOMPARE(w.requests(PT_FW_UPLOAD_START).size(), 1);
    }

    // An upload cut by a lost link, or ended by the master's error, says so
    // in the dock until the next upload starts; a reconnection's resets keep it.
    void failedUploadKeepsItsWord_data()
    {
        QTest::addColumn<bool>("linkLost");
        QTest::newRow("link lost") << true;
        QTest::newRow("error reply") << false;
    }
    void failedUploadKeepsItsWord()
    {
        QFETCH(bool, linkLost);
        Boxes boxes;
        boxes.answers.insert(QStringLiteral("New radio firmware uploaded"), int(QMessageBox::No));
        DockOnMaster w;
        if (linkLost)
            w.firmware.setPreparation(longPreparation());
        else
            w.firmware.setUploadReply(1, plainReply(PT_FW_UPLOAD_ERASE_ERROR));
        QVERIFY(w.openDock());
        FirmwareMap map;
        map.insert(masterImage(), {w.master()});
        w.dock->onDefaultUpdate(map, false);
        QString expected;
        if (linkLost) {
            QTRY_COMPARE_WITH_TIMEOUT(w.uploadStatus(), QStringLiteral("Busy erasing flash memory"), 10000);
            w.sim.setSilent(true);
            QTRY_VERIFY_WITH_TIMEOUT(!w.window->isMasterConnected(), 15000);
            QCOMPARE(boxes.count(QStringLiteral("Connection lost")), 1);
            expected = QStringLiteral("Upload failed: the connection to the master was lost; the master may hold an "
                                      "incomplete image: reconnect and upload again");
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(w.uploadStatus().contains(QLatin1String("Upload failed")), 10000);
            expected = QStringLiteral("Upload failed: Failed to erase flash memory; the master may hold an incomplete "
                                      "image: upload again");
        }
        QVERIFY2(w.uploadStatus().contains(expected), qPrintable(w.uploadStatus()));
        QVERIFY(!w.dock->isUploading());
        QVERIFY(w.button("pbUploadFirmware")->isEnabled() || linkLost);
        w.dock->resetUpload();
        w.dock->resetState();
        QVERIFY2(w.uploadStatus().contains(expected), qPrintable(w.uploadStatus()));
        if (linkLost)
            return;
        // The next upload: the word goes.
        w.firmware.clearUploadReplies();
        QSignalSpy finished(FirmwareUploadManager::instance(), &FirmwareUploadManager::uploadFinished);
        w.dock->onDefaultUpdate(map, false);
        QVERIFY(finished.wait(10000));
        QVERIFY2(!w.uploadStatus().contains(QLatin1String("Upload failed")), qPrintable(w.uploadStatus()));
        QCOMPARE(boxes.count(QStringLiteral("Firmware update is running")), 0);
    }

    // The master does not confirm the image uploaded for a group (another
    // image stored, the header read refused): the batch ends with a word of
    // what was and was not updated. Stopped while it waits, it says the same.
    void unconfirmedImageEndsTheBatch_data()
    {
        QTest::addColumn<QString>("master");
        QTest::newRow("another image stored") << "other";
        QTest::newRow("header read refused") << "refused";
        QTest::newRow("stopped while waiting") << "stop";
    }
    void unconfirmedImageEndsTheBatch()
    {
        QFETCH(QString, master);
        Boxes boxes;
        boxes.answers.insert(QStringLiteral("Battry is low"), int(QMessageBox::YesToAll));
        DockOnMaster w;
        QVERIFY(w.openDock());
        UpdateStatusDock::Delays d;
        d.step = 1;
        d.nextImage = 1;
        d.recheck = 1;
        d.confirm = master == QLatin1String("stop") ? 60000 : 200;
        w.dock->setDelays(d);
        HUBRO32BootSectionHeader_t old;
        old.deviceType = 4;
        old.hardwareVersion = 0x0100;
        old.firmwareVersion = 0x0101;
        old.buildTime = 1600000000u;
        const QByteArray oldBytes = bootSectionHeaderBytes(old).left(24);
        const bool other = master == QLatin1String("other");
        w.sim.setScript(PT_FW_READ_HEADER, [oldBytes, other](const FakeMaster::Received &request) {
            if (!other)
                return QVector<FakeMaster::Reply>{FakeMaster::Reply(plainReply(PT_UNKNOWN_REQ_ERROR))};
            const quint8 slot = request.packet.size() > 1 ? quint8(request.packet.at(1)) : 0;
            QByteArray reply(1, char(PT_FW_READ_HEADER_ACK));
            reply += char(slot);
            reply += slot == 2 ? oldBytes : QByteArray(24, '\0');
            return QVector<FakeMaster::Reply>{FakeMaster::Reply(reply)};
        });
        const pVORL image = deviceImage();
        FirmwareMap map;
        map.insert(image, {w.device(3), w.device(5)});
        map.insert(ContainerBuilder().type(7).record(recordV1(0x1000, "detector")).parse(), {w.device(9)});
        QSignalSpy uploads(FirmwareUploadManager::instance(), &FirmwareUploadManager::uploadFinished);
        w.dock->onDefaultUpdate(map, false);
        QVERIFY(uploads.wait(10000));
        const QList<UpdateStatusWidget *> groups = w.dock->statusWidgetList();
        QCOMPARE(groups.size(), 2);
        const QString both = summaryName(w.device(3)) + QStringLiteral(", ") + summaryName(w.device(5));
        if (master == QLatin1String("stop")) {
            QVERIFY(w.button("pbStopUpdate")->isEnabled());
            w.button("pbStopUpdate")->click();
            QCOMPARE(w.dock->updateSummary(), QStringLiteral("Update stopped.\nUpdated: none\nNot updated: ") + both
                                                  + QStringLiteral(", ") + summaryName(w.device(9)));
            QCOMPARE(boxes.count(QStringLiteral("Device update")), 0);
            for (UpdateStatusWidget *group : groups)
                QCOMPARE(group->state(), int(UpdateStatusWidget::Stopped));
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(boxes.count(QStringLiteral("Device update")), 1, 10000);
            const auto box = boxes.requests.at(boxes.titles().indexOf(QStringLiteral("Device update")));
            QCOMPARE(box.text, QStringLiteral("The master did not confirm the uploaded image %1: no device was "
                                              "updated with it.")
                                   .arg(UpdateStatusWidget::firmwareText(image)));
            QCOMPARE(box.informativeText, QStringLiteral("Updated: none\nFailed: ") + both
                                              + QStringLiteral("\nNot updated: ") + summaryName(w.device(9)));
            QCOMPARE(w.dock->updateSummary(), box.text + QLatin1Char('\n') + box.informativeText);
            QCOMPARE(groups.at(0)->headerButton()->styleSheet(), headerStyle("rgb(255, 150, 150)"));
        }
        QVERIFY(!w.dock->isBatchRunning());
        QVERIFY(!w.button("pbStopUpdate")->isEnabled());
        QVERIFY(w.button("pbUploadFirmware")->isEnabled());
        // A later header read resumes nothing of it.
        w.master()->readUploadedFirmwareHeaders();
        w.dock->checkIfUpdateRequired();
        QTest::qWait(100);
        QVERIFY(w.firmware.starts().isEmpty());
        QCOMPARE(uploads.size(), 1);
        QVERIFY(!UpdateManager::instance()->isBusy());
    }

    // A batch ending with the master's image: the groups go at the restart,
    // the summary stays on screen, and in the log, past the master's return.
    void summaryOutlivesTheRestart()
    {
        MessageCapture log;
        Boxes boxes;
        boxes.answers.insert(QStringLiteral("Battry is low"), int(QMessageBox::YesToAll));
        boxes.answers.insert(QStringLiteral("New radio firmware uploaded"), int(QMessageBox::No));
        DockOnMaster w;
        QVERIFY(w.openDock());
        FirmwareMap map;
        map.insert(deviceImage(), {w.device(3), w.device(5)});
        map.insert(masterImage(), {w.master()});
        w.dock->onDefaultUpdate(map, false);
        QTRY_VERIFY_WITH_TIMEOUT(boxes.titles().contains(QStringLiteral("New radio firmware uploaded")), 15000);
        const QStringList lines{QStringLiteral("Radio devices done; the master's firmware is uploaded next."),
                                QStringLiteral("Updated: ") + summaryName(w.device(3)) + QStringLiteral(", ")
                                    + summaryName(w.device(5))};
        const QString summary = lines.join(QLatin1Char('\n'));
        QCOMPARE(w.dock->updateSummary(), summary);
        QVERIFY(w.dock->statusWidgetList().isEmpty());
        for (const QString &line : lines)
            QCOMPARE(log.count(line), 1);

        QSignalSpy connected(w.connection(), &Connection::masterConnected);
        w.connection()->restartMaster(150);
        QTRY_VERIFY_WITH_TIMEOUT(!connected.isEmpty() && w.connection()->devices().size() == 3, 15000);
        QCOMPARE(w.dock->updateSummary(), summary);
        QVERIFY(w.dock->findChild<QLabel *>(QStringLiteral("lblUpdateSummary"))->isVisibleTo(w.dock));
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

    // The upload bar repaints alone over its group box, which paints from a
    // picture then: what the dock shows after that is what the whole dock
    // painted anew shows, in the states the upload half goes through.
    void barRepaintLooksAsWholePaint_data()
    {
        QTest::addColumn<int>("state");
        QTest::newRow("idle") << 0;
        QTest::newRow("uploading") << 1;
        QTest::newRow("stopped") << 2;
        QTest::newRow("finished") << 3;
        QTest::newRow("disabled") << 4;
    }
    void barRepaintLooksAsWholePaint()
    {
        QFETCH(int, state);
        Boxes boxes; // the restart question after the upload
        UpdateStatusDock dock;
        UpdateStatusDock::Delays d;
        d.attach = 60000; // the join does not start
        d.recheck = 60000;
        dock.setDelays(d);
        dock.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dock));
        auto *bar = dock.findChild<QProgressBar *>(QStringLiteral("pBarUpload"));
        const auto shown = [&dock] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
            return dock.screen()->grabWindow(dock.winId()).toImage().convertToFormat(QImage::Format_ARGB32);
        };
        bar->setValue(3);
        shown();
        switch (state) {
        case 1:
            dock.onUploadProgress(40);
            break;
        case 2:
            dock.onUploadProgress(40);
            dock.onUploadStatus(FirmwareUploadTypes::Stopped, 40);
            break;
        case 3:
            dock.onUploadStatus(FirmwareUploadTypes::Verifying, 100);
            dock.onUploadFinished();
            break;
        case 4:
            dock.attachToUpdate(5);
            break;
        }
        shown();
        bar->setValue(bar->value() == 100 ? 99 : bar->value() + 7);
        auto *box = dock.findChild<QGroupBox *>(QStringLiteral("gbUpload"));
        const QRect area(box->mapTo(&dock, QPoint()), box->size());
        QCOMPARE(shown().copy(area), dock.grab().toImage().convertToFormat(QImage::Format_ARGB32).copy(area));
        dock.forget();
    }
};

QTEST_MAIN(FirmwareDockTest)
#include "tst_firmwaredock.moc"

// The main window's road into the radio-device update queue: the selected
// devices go to the process-wide queue with the firmware stored in the master,
// and a lost connection leaves nothing of the run behind.
#include "firmwarereplies.h"
#include "simfirmware.h"
#include "updatemanager.h"
#include "windowfixture.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

// Meters at 3, 5 (60-minute interval) and 7, a detector at 9.
void addDevices(SimMaster &sim)
{
    for (const quint8 radio : {3, 5, 7}) {
        SimDevice meter = simDevice(radio, 13);
        if (radio != 5)
            meter.state[0] = char(0xF2);
        sim.setDevice(meter);
    }
    sim.setDevice(simDevice(9, 4));
}

QByteArray storedHeaderFor(quint16 type)
{
    HUBRO32BootSectionHeader_t header;
    header.deviceType = type;
    header.firmwareVersion = 0x0107;
    return bootSectionHeaderBytes(header);
}

// The window on a master with those devices and the meters' firmware stored in it.
struct WindowWithFirmware : WindowOnMaster
{
    WindowWithFirmware()
    {
        addDevices(sim);
        firmware.setHeader(2, storedHeaderFor(13));
    }
    // The window knows the stored firmware once the master item has read the headers.
    bool openAndReadHeaders()
    {
        if (!open(4))
            return false;
        HubroItem *master = connection()->master();
        QSignalSpy read(master, &HubroItem::firmwareHeadersUpdated);
        master->readUploadedFirmwareHeaders();
        return read.wait(5000);
    }

    SimFirmware firmware{sim};
};

} // namespace

class FirmwareWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        prepareConnectionTests();
        MainWindow::setDeviceSelection([](MainWindow *) {});
        FirmwareTimings t;
        t.updatePing = 5;
        UpdateManager::instance()->setTimings(t);
    }
    void cleanupTestCase() { MainWindow::setDeviceSelection(nullptr); }
    void cleanup()
    {
        UpdateManager::instance()->forget();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void selectedDevicesAreUpdated()
    {
        WindowWithFirmware w;
        QVERIFY(w.openAndReadHeaders());

        QSignalSpy finished(UpdateManager::instance(), &UpdateManager::updateFinished);
        w.select({5, 3, 9, 7});
        w.window->firmwareUpdateDevice();
        QVERIFY(finished.wait(5000));
        // The detector is not of the firmware's type; the hourly meter goes last.
        QCOMPARE(w.firmware.starts(), (QList<int>{3, 7, 5}));
        QCOMPARE(finished.at(0).at(0).value<QList<DeviceItem *>>().size(), 3);

        // Nothing selected: nothing starts.
        w.window->currentItemView()->selectionModel()->clearSelection();
        w.window->firmwareUpdateDevice();
        QVERIFY(!UpdateManager::instance()->isBusy());
        QCOMPARE(w.firmware.starts().size(), 3);
    }

    // Closed while a ping is due, the master left to finish on its own: the
    // queue lets go of the devices the connection frees, and pings no more.
    void closedConnectionLeavesNoPing()
    {
        MessageBoxRecorder boxes;
        boxes.answer(0); // "YES and complete the update automatically"
        WindowWithFirmware w;
        QVERIFY(w.openAndReadHeaders());

        UpdateManager *updates = UpdateManager::instance();
        FirmwareTimings t = updates->timings();
        t.updatePing = 60000;
        updates->setTimings(t);
        QSignalSpy started(updates, &UpdateManager::deviceUpdateStarted);
        QSignalSpy finished(updates, &UpdateManager::updateFinished);
        QSignalSpy failed(updates, &UpdateManager::deviceUpdateFailed);
        QSignalSpy sent(updates, &UpdateManager::sendPacket);
        w.select({3, 5, 7});
        w.window->firmwareUpdateDevice();
        QVERIFY(started.wait(5000));
        QVERIFY(updates->isPingPending());

        w.window->deviceClose();
        t.updatePing = 5;
        updates->setTimings(t);
        QCOMPARE(boxes.count(), 1);
        QVERIFY(!w.window->isMasterConnected());
        QVERIFY(!updates->isBusy());
        QVERIFY(!updates->isPingPending());
        const int requests = sent.size();
        w.window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        QCOMPARE(sent.size(), requests);
        QCOMPARE(finished.size(), 0);
        QCOMPARE(failed.size(), 0);
    }
};

QTEST_MAIN(FirmwareWindowTest)
#include "tst_firmwarewindow.moc"

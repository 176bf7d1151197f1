// The main window's road to a master over Bluetooth LE: the device dialog runs
// the real Bluetooth discovery over the Lookout stand-in beside this program,
// lists the advertised master and opens it once the run is over; the Tether
// stand-in and a peripheral in the process carry the link to a simulated
// master. Closed and opened again, the link works. A file chosen while the
// discovery still runs takes the agent down with the dialog.
#include "bluetoothdevicediscoveryagent.h"
#include "blepeer.h"
#include "bluetoothfixture.h"
#include "devicetablemodel.h"
#include "eventwait.h"
#include "fakeagents.h"
#include "lookoutradio.h"
#include "mainwindow.h"
#include "mastersim.h"
#include "tetherinterface.h"

#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const uint64_t MasterAddress = 0xC0FFEE000001ull;

QListWidget *list(QDialog *dialog)
{
    return dialog->findChild<QListWidget *>(QStringLiteral("lwDevices"));
}
} // namespace

class BluetoothRoadTest : public QObject
{
    Q_OBJECT

    LookoutRadio m_radio;
    BlePeripheral m_peer;
    int m_selections = 0;

private slots:
    void initTestCase()
    {
        prepareBluetoothConnectionTests();
        BluetoothDeviceDiscoveryAgent::Timings discovery;
        discovery.supportCheck = 20;
        discovery.step = 60;
        BluetoothDeviceDiscoveryAgent::setTimings(discovery);
        StandIns::setLookout(&m_radio);
        StandIns::setTether(&m_peer);
        MainWindow::setDeviceSelection([this](MainWindow *) { ++m_selections; });
        OpenDeviceDialog::setAgentFactory([] {
            OpenDeviceDialog::Agents agents;
            agents.bluetooth = new BluetoothDeviceDiscoveryAgent;
            agents.serial = new FakeAgent(QStringLiteral("serial"), nullptr);
            agents.kastrel = new FakeAgent(QStringLiteral("kastrel"), nullptr);
            return agents;
        });
        // A master that advertises, and a device that never does.
        m_radio.addMaster("ZORVO HUBRO", MasterAddress, healthyRecord().dwSerialId);
        LookoutDevice silent;
        silent.name = "ZORVO QUIET";
        silent.id = "BluetoothLE#C0:FF:EE:00:00:02";
        silent.properties = {{"System.Devices.Aep.DeviceAddress", "C0:FF:EE:00:00:02"}};
        m_radio.devices.push_back({0, silent});
    }
    void cleanupTestCase()
    {
        OpenDeviceDialog::setAgentFactory(nullptr);
        MainWindow::setDeviceSelection(nullptr);
    }

    void theAdvertisedMasterOpensAfterTheRun()
    {
        SimMaster sim(healthyRecord());
        sim.setDevice(simDevice(3, 4));
        sim.setDevice(simDevice(5, 3));
        QVERIFY(m_peer.relayTo(sim.fake.portName()));
        MessageBoxRecorder boxes;

        QStringList listed;
        bool refusedWhileScanning = false;
        DialogScript dialogs;
        const auto chooseBluetooth = [&](QDialog *dialog) {
            auto *open = qobject_cast<OpenDeviceDialog *>(dialog);
            // Found but not yet advertised: listed hidden, and not to be opened.
            if (!runUntil([&] { return list(dialog)->count() >= 1; }))
                return int(QDialog::Rejected);
            list(dialog)->setCurrentRow(0);
            refusedWhileScanning = open->isScanning()
                                   && !dialog->findChild<QPushButton *>(QStringLiteral("pbOpen"))->isEnabled();
            if (!runUntil([open] { return !open->isScanning(); }))
                return int(QDialog::Rejected);
            listed = visibleEntries(*dialog);
            if (list(dialog)->count() != 1)
                return int(QDialog::Rejected);
            list(dialog)->setCurrentRow(0);
            return int(QDialog::Accepted);
        };
        dialogs.then(chooseBluetooth).then(chooseBluetooth);

        MainWindow window{QString()};
        window.deviceOpen();
        QVERIFY(refusedWhileScanning);
        QCOMPARE(listed, QStringList{QStringLiteral("Bluetooth. Zentar-HUBRO125 exec. 01 (s/n: 123456)")});
        QVERIFY(window.currentConnection());
        QCOMPARE(window.currentConnection()->connectionType(), Bluetooth);
        QCOMPARE(window.currentConnection()->portName(), QStringLiteral("C0:FF:EE:00:00:01"));
        QVERIFY(runUntil([&] { return window.deviceTableModel()->devices().size() == 3; }));
        QVERIFY(window.isMasterConnected());
        QCOMPARE(m_radio.alive, 0);

        // Closed and opened again: a new link to the same master.
        window.deviceClose();
        QVERIFY(!window.isMasterConnected());
        window.deviceOpen();
        QVERIFY(runUntil([&] { return window.isMasterConnected() && window.deviceTableModel()->devices().size() == 3; }));
        QCOMPARE(dialogs.pendingSteps(), 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(m_peer.liveControllers, 1);
        auto *link = qobject_cast<TetherInterface *>(window.currentConnection()->interface());
        QVERIFY(link && link->ownsLibraryObject());
        QCOMPARE(boxes.count(), 0);
    }

    // The agents go with the dialog before the file is opened; the library's
    // watchers with the Bluetooth agent, and nothing of its run is left.
    void aFileChosenMidRunThatFailsToOpen()
    {
        QTemporaryDir dir;
        QFile bogus(dir.filePath(QStringLiteral("broken.conf")));
        QVERIFY(bogus.open(QIODevice::WriteOnly));
        bogus.write("not json");
        bogus.close();
        MessageBoxRecorder boxes;
        FileDialogScript files;
        files.answer(bogus.fileName());
        bool scanningWhenChosen = false;
        DialogScript dialogs;
        dialogs.then([&](QDialog *dialog) {
            auto *open = qobject_cast<OpenDeviceDialog *>(dialog);
            // The Bluetooth run is between its steps.
            runUntil([&] { return list(dialog)->count() >= 1; });
            scanningWhenChosen = open->isScanning();
            dialog->findChild<QPushButton *>(QStringLiteral("pbViewConfig"))->click();
            return dialog->result();
        });
        MainWindow window{QString()};
        QCoreApplication::processEvents(); // the start-up's own choice
        m_selections = 0;
        window.deviceOpen();
        QVERIFY(scanningWhenChosen);
        QCOMPARE(m_radio.alive, 0);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().title, QStringLiteral("Configuration file opening"));
        QCOMPARE(m_selections, 1); // asked to choose again
        // What the run had still to do never comes.
        runUntil([] { return false; }, 5 * BluetoothDeviceDiscoveryAgent::timings().step);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(m_radio.alive, 0);
    }
};

QTEST_MAIN(BluetoothRoadTest)
#include "tst_bluetoothroad.moc"

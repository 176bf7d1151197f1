// The open-device dialog: entries made from discovered masters, the agents run
// one at a time, Bluetooth entries and their advertisements, opening a file,
// and the real serial agent finding a master on a pseudo-terminal.
#include "appglobals.h"
#include "blelibraries.h"
#include "fakeagents.h"
#include "mastersim.h"
#include "connectionfixture.h"
#include "hubroitem.h"
#include "mainwindow.h"
#include "opendevicedialog.h"
#include "serialdevicediscoveryagent.h"
#include "serialportlist.h"
#include "settings.h"
#include "testsupport.h"

#include <QDir>
#include <memory>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
DiscoveredDevice portMaster(ConnectionType type, const QString &address, quint8 deviceType, quint32 serial,
                            const QVersionNumber &hardware, quint8 modules)
{
    DiscoveredDevice device;
    device.connectionType = type;
    device.address = address;
    device.deviceType = deviceType;
    device.serialNumber = serial;
    device.hardwareVersion = hardware;
    device.modules = modules;
    return device;
}

DiscoveredDevice bleMaster()
{
    DiscoveredDevice device;
    device.connectionType = Bluetooth;
    device.deviceType = 141;
    device.modules = DiscoveredDevice::bluetooth;
    device.address = QStringLiteral("C0:FF:EE:00:00:01");
    return device;
}

QListWidget *list(OpenDeviceDialog &dialog)
{
    return dialog.findChild<QListWidget *>(QStringLiteral("lwDevices"));
}

QPushButton *button(OpenDeviceDialog &dialog, const char *name)
{
    return dialog.findChild<QPushButton *>(QString::fromLatin1(name));
}

QStringList visibleTexts(OpenDeviceDialog &dialog)
{
    return visibleEntries(dialog);
}
} // namespace

class OpenDeviceDialogTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeAgents> fakes;
    QStringList &order() { return fakes->order; }

    void useFakes(bool bluetooth)
    {
        fakes.reset();
        fakes = std::make_unique<FakeAgents>(bluetooth);
    }

private slots:
    void initTestCase()
    {
        initTestResources();
        registerDeviceModelNames();
    }
    void init() { useFakes(false); }
    void cleanup()
    {
        fakes.reset();
        setSerialPortLister(nullptr);
    }

    void entriesOfAPortMaster_data()
    {
        QTest::addColumn<DiscoveredDevice>("device");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QList<int>>("types");

        const QVersionNumber none;
        QTest::newRow("32-device master, hardware 6")
            << portMaster(Serial, QStringLiteral("ttyUSB0"), 0, 4001, QVersionNumber(6), 1)
            << QStringList{QStringLiteral("ttyUSB0. Zentar-HUBRO32 (s/n: 4001)")} << QList<int>{2};
        QTest::newRow("32-device master, hardware 7")
            << portMaster(Serial, QStringLiteral("ttyUSB0"), 0, 4001, QVersionNumber(7), 1)
            << QStringList{QStringLiteral("ttyUSB0. Zentar-HUBRO32 (s/n: 4001)")} << QList<int>{0};
        QTest::newRow("32-device master, no version")
            << portMaster(Serial, QStringLiteral("ttyACM0"), 0, 4001, none, 1)
            << QStringList{QStringLiteral("ttyACM0. Zentar-HUBRO32 (s/n: 4001)")} << QList<int>{2};
        QTest::newRow("other model, old hardware")
            << portMaster(Serial, QStringLiteral("ttyUSB0"), 40, 7, QVersionNumber(2), 0)
            << QStringList{QStringLiteral("ttyUSB0. Zentar-HUBRO125 (s/n: 7)")} << QList<int>{0};
        QTest::newRow("master and wired side")
            << portMaster(Kastrel, QStringLiteral("ttyUSB1:127"), 40, 9, QVersionNumber(10), 3)
            << QStringList{QStringLiteral("ttyUSB1:127. Zentar-HUBRO125 (s/n: 9)"),
                           QStringLiteral("ttyUSB1:127. Zentar-TROMBEL (s/n: 9)")}
            << QList<int>{0, 1};
        QTest::newRow("wired side only")
            << portMaster(Kastrel, QStringLiteral("ttyUSB1:5"), 40, 9, QVersionNumber(10), 2)
            << QStringList{QStringLiteral("ttyUSB1:5. Zentar-TROMBEL (s/n: 9)")} << QList<int>{1};
        QTest::newRow("serial number unknown")
            << portMaster(Serial, QStringLiteral("ttyUSB0"), 40, 0, QVersionNumber(10), 1)
            << QStringList{QStringLiteral("ttyUSB0. Zentar-HUBRO125 (s/n: unknown)")} << QList<int>{0};
        QTest::newRow("Bluetooth module")
            << portMaster(Serial, QStringLiteral("ttyUSB0"), 141, 12, QVersionNumber(10), 5)
            << QStringList{QStringLiteral("ttyUSB0. Zentar-HUBRO125 exec. 01 (s/n: 12)")} << QList<int>{0};
        DiscoveredDevice updating = portMaster(Serial, QStringLiteral("ttyUSB0"), 0, 0, none, 3);
        updating.updateMode = 1;
        QTest::newRow("updating its firmware")
            << updating << QStringList{QStringLiteral("ttyUSB0. Zentar-HUBRO32 - Updating firmware (s/n: unknown)")}
            << QList<int>{0};
    }
    void entriesOfAPortMaster()
    {
        QFETCH(DiscoveredDevice, device);
        QFETCH(QStringList, texts);
        QFETCH(QList<int>, types);

        OpenDeviceDialog dialog;
        fakes->serial->devices = {device};
        QTRY_VERIFY(!dialog.isScanning());
        QCOMPARE(visibleTexts(dialog), texts);
        for (int row = 0; row < types.size(); ++row) {
            QListWidgetItem *item = list(dialog)->item(row);
            QCOMPARE(item->data(OpenDeviceDialog::MasterTypeRole).toInt(), types.at(row));
            QCOMPARE(item->data(OpenDeviceDialog::RecordRole).value<DiscoveredDevice>(), device);
            QCOMPARE(item->icon().isNull(), !device.passwordEnabled);
        }
        // The first entry is chosen at once; the dialog hands it over.
        QCOMPARE(list(dialog)->currentRow(), 0);
        QVERIFY(button(dialog, "pbOpen")->isEnabled());
        QCOMPARE(dialog.selectedDevice(), device);
        QCOMPARE(int(dialog.selectedMasterType()), types.first());
    }

    void agentsRunOneAfterTheOther()
    {
        useFakes(true);
        auto *dialog = new OpenDeviceDialog;
        QPointer<FakeAgent> s = fakes->serial, k = fakes->kastrel;
        QPointer<FakeBleAgent> b = fakes->ble;
        for (FakeAgent *agent : {static_cast<FakeAgent *>(s), static_cast<FakeAgent *>(k),
                                 static_cast<FakeAgent *>(b)})
            agent->holdFinish = true;
        DiscoveredDevice password = portMaster(Serial, QStringLiteral("ttyUSB0"), 40, 1, QVersionNumber(10), 1);
        password.passwordEnabled = true;
        // Started in the constructor: the wired bus first.
        QCOMPARE(order(), QStringList{QStringLiteral("kastrel")});
        QVERIFY(dialog->isScanning());
        QVERIFY(!button(*dialog, "pbRescan")->isEnabled());
        s->devices = {password};
        k->finish();
        QCOMPARE(order(), (QStringList{QStringLiteral("kastrel"), QStringLiteral("serial")}));
        QCOMPARE(list(*dialog)->count(), 1);
        // A Bluetooth agent is there: no warning about it.
        QVERIFY(dialog->findChild<QLabel *>(QStringLiteral("lblBLE")));
        s->finish();
        QCOMPARE(order().size(), 3);
        QCOMPARE(order().last(), QStringLiteral("bluetooth"));
        QVERIFY(dialog->isScanning());
        b->finish();
        QVERIFY(!dialog->isScanning());
        QVERIFY(button(*dialog, "pbRescan")->isEnabled());

        // A rescan clears the list and runs them all again; later entries
        // leave the selection where it is.
        s->devices = {password, portMaster(Serial, QStringLiteral("ttyUSB2"), 40, 2, QVersionNumber(10), 1)};
        button(*dialog, "pbRescan")->click();
        QCOMPARE(list(*dialog)->count(), 0);
        k->finish();
        QVERIFY(dialog->isScanning());
        QCOMPARE(list(*dialog)->count(), 2);
        QCOMPARE(list(*dialog)->currentRow(), 0);
        QVERIFY(!list(*dialog)->item(0)->icon().isNull());
        QVERIFY(list(*dialog)->item(1)->icon().isNull());

        // The agents go with the dialog.
        delete dialog;
        QVERIFY(!s && !k && !b);
    }

    void emptyListSaysWhatItIsDoing()
    {
        useFakes(true);
        OpenDeviceDialog dialog;
        for (FakeAgent *agent : {static_cast<FakeAgent *>(fakes->serial), static_cast<FakeAgent *>(fakes->kastrel),
                                 static_cast<FakeAgent *>(fakes->ble)})
            agent->holdFinish = true;
        // Searching while nothing is listed, also while a Bluetooth entry waits hidden.
        QCOMPARE(dialog.searchStateText(), QStringLiteral("Searching for devices..."));
        fakes->kastrel->finish();
        fakes->serial->finish();
        emit fakes->ble->deviceDiscovered(bleMaster(), QStringLiteral("ble"), bleMaster().address, QStringLiteral("id1"));
        QCOMPARE(list(dialog)->count(), 1);
        QCOMPARE(dialog.searchStateText(), QStringLiteral("Searching for devices..."));
        // Nothing answered: said so once the search is over.
        emit fakes->ble->removeInactive();
        fakes->ble->finish();
        QVERIFY(!dialog.isScanning());
        QCOMPARE(dialog.searchStateText(), QStringLiteral("No device found"));

        // A master found: the list speaks for itself.
        fakes->serial->devices = {portMaster(Serial, QStringLiteral("ttyUSB0"), 40, 3, QVersionNumber(10), 1)};
        button(dialog, "pbRescan")->click();
        QCOMPARE(dialog.searchStateText(), QStringLiteral("Searching for devices..."));
        fakes->kastrel->finish(); // the serial agent starts and finds the master
        QCOMPARE(dialog.searchStateText(), QString());
        fakes->serial->finish();
        fakes->ble->finish();
        QCOMPARE(dialog.searchStateText(), QString());
    }

    // A build without the Bluetooth LE libraries.
    void withoutBluetoothTheLogSaysSo()
    {
        BleLibraries::setAvailableForTesting(0);
        QTest::ignoreMessage(QtWarningMsg, "Current OS do not support Bluetooth connection with device");
        OpenDeviceDialog dialog;
        BleLibraries::setAvailableForTesting(-1);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Device search"));
        QVERIFY(dialog.isModal());
        QVERIFY(!(dialog.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint
                                          | Qt::WindowContextHelpButtonHint)));
        QVERIFY(!dialog.findChild<QLabel *>(QStringLiteral("lblBLE"))->isEnabled());
        QTRY_VERIFY(!dialog.isScanning());
        QCOMPARE(order(), (QStringList{QStringLiteral("kastrel"), QStringLiteral("serial")}));
        // Nothing found: nothing to open.
        QVERIFY(!button(dialog, "pbOpen")->isEnabled());
        QCOMPARE(dialog.selectedDevice(), DiscoveredDevice());
        QCOMPARE(int(dialog.selectedMasterType()), 0);
    }

    void bluetoothEntries()
    {
        useFakes(true);
        OpenDeviceDialog dialog;
        QPointer<FakeBleAgent> agent = fakes->ble;
        agent->holdFinish = true;
        QTRY_COMPARE(order().size(), 3);

        DiscoveredDevice notMaster = bleMaster();
        notMaster.modules = 0;
        emit agent->deviceDiscovered(notMaster, QStringLiteral("other"), QStringLiteral("AA"), QStringLiteral("id0"));
        QCOMPARE(list(dialog)->count(), 0);

        emit agent->deviceDiscovered(bleMaster(), QStringLiteral("HUBRO"), QStringLiteral("C0:FF:EE:00:00:01"),
                                     QStringLiteral("id1"));
        emit agent->deviceDiscovered(bleMaster(), QStringLiteral("HUBRO"), QStringLiteral("C0:FF:EE:00:00:02"),
                                     QStringLiteral("id2"));
        emit agent->deviceDiscovered(bleMaster(), QStringLiteral("HUBRO"), QStringLiteral("C0:FF:EE:00:00:03"),
                                     QStringLiteral("id3"));
        QCOMPARE(list(dialog)->count(), 3);
        QVERIFY(visibleTexts(dialog).isEmpty()); // serial number 0: hidden
        QVERIFY(dialog.findChild<QLabel *>(QStringLiteral("lblBLE"))->isEnabled());

        emit agent->advReceived(QStringLiteral("c0:ff:ee:00:00:01"),
                                QStringLiteral("device type: 141, serial: 5150, password: 1, serial"));
        emit agent->advReceived(QStringLiteral("C0:FF:EE:00:00:01"), QStringLiteral("serial: 9999"));
        emit agent->advReceived(QStringLiteral("C0:FF:EE:00:00:02"), QStringLiteral("serial: x"));
        QCOMPARE(visibleTexts(dialog),
                 QStringList{QStringLiteral("Bluetooth. Zentar-HUBRO125 exec. 01 (s/n: 5150)")});
        QListWidgetItem *first = list(dialog)->item(0);
        QVERIFY(!first->icon().isNull());
        QCOMPARE(first->foreground().color(), QColor(Qt::darkGray));
        QVERIFY(first->data(OpenDeviceDialog::RecordRole).value<DiscoveredDevice>().passwordEnabled);

        // Without an advertisement an entry goes; with one it stays, even hidden.
        emit agent->removeInactive();
        QCOMPARE(list(dialog)->count(), 2);
        QTest::ignoreMessage(QtWarningMsg, "Not found for remove id3");
        emit agent->deviceRemoved(QStringLiteral("id3"));
        emit agent->deviceRemoved(QString());
        emit agent->deviceRemoved(QStringLiteral("id2"));
        QCOMPARE(list(dialog)->count(), 1);

        // Not to be opened while the run goes on.
        QSignalSpy accepted(&dialog, &QDialog::accepted);
        list(dialog)->setCurrentRow(0);
        QVERIFY(!button(dialog, "pbOpen")->isEnabled());
        emit list(dialog)->itemDoubleClicked(first);
        QCOMPARE(accepted.size(), 0);

        agent->finish();
        QCOMPARE(first->foreground().color(), QColor(Qt::black));
        QVERIFY(button(dialog, "pbOpen")->isEnabled());
        emit list(dialog)->itemDoubleClicked(first);
        QCOMPARE(accepted.size(), 1);
        QCOMPARE(dialog.selectedDevice().serialNumber, 5150u);
    }

    void openFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("create");
        QTest::addColumn<int>("kind");    // -1: refused
        QTest::addColumn<QString>("text"); // of the warning
        QTest::newRow("configuration") << "site.conf" << true << int(File) << QString();
        QTest::newRow("simulation") << "bench.sim" << true << int(Simulation) << QString();
        QTest::newRow("capital suffix") << "SITE.CONF" << true << -1 << "Failed to open file: %1\nUnknown file format";
        QTest::newRow("other suffix") << "notes.txt" << true << -1 << "Failed to open file: %1\nUnknown file format";
        QTest::newRow("missing") << "gone.conf" << false << -1 << "Failed to open file: %1\nFile not found";
    }
    void openFile()
    {
        QFETCH(QString, name);
        QFETCH(bool, create);
        QFETCH(int, kind);
        QFETCH(QString, text);

        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (create) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("{}");
        }
        appSettings.remove(QLatin1String(SettingsKey::ConfigFileName));
        MessageBoxRecorder boxes;
        FileDialogScript files;
        files.answer(path);

        OpenDeviceDialog dialog;
        fakes->serial->holdFinish = true; // discovery still running
        QTRY_COMPARE(order().size(), 2);
        QSignalSpy accepted(&dialog, &QDialog::accepted);
        button(dialog, "pbViewConfig")->click();

        QCOMPARE(files.requests().size(), 1);
        QCOMPARE(files.requests().first().caption, QStringLiteral("Select configuration file"));
        QVERIFY(files.requests().first().filter.startsWith(QStringLiteral("Config files(*.conf)")));
        if (kind < 0) {
            QCOMPARE(accepted.size(), 0);
            QCOMPARE(boxes.count(), 1);
            QCOMPARE(boxes.last().title, QStringLiteral("Warning"));
            QCOMPARE(boxes.last().text, text.arg(path));
            QCOMPARE(list(dialog)->count(), 0);
            QVERIFY(!appSettings.contains(QLatin1String(SettingsKey::ConfigFileName)));
            return;
        }
        QCOMPARE(boxes.count(), 0);
        QCOMPARE(accepted.size(), 1);
        QCOMPARE(int(dialog.selectedDevice().connectionType), kind);
        QCOMPARE(dialog.selectedDevice().address, path);
        QCOMPARE(appSettings.value(QLatin1String(SettingsKey::ConfigFileName)).toString(), path);

        // The next file dialog starts at it; the configuration chooser only reads it.
        files.cancel();
        QVERIFY(OpenDeviceDialog::selectConfigurationFile(nullptr).isEmpty());
        QCOMPARE(files.requests().last().directory, path);
        QCOMPARE(files.requests().last().filter, QStringLiteral("Config files(*.conf)"));
    }

    void helpText()
    {
        MessageBoxRecorder boxes;
        OpenDeviceDialog dialog;
        button(dialog, "pbFailedToConnect")->click();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().title, QStringLiteral("Failed to connect?"));
        QVERIFY(boxes.last().text.contains(QStringLiteral("Download for HUBRO32</a>, <a href=")));
        QVERIFY(boxes.last().text.contains(QStringLiteral("Download for HUBRO125</a>")));
    }

    // The real agents of the dialog find a master on a pseudo-terminal; the
    // Bluetooth one among them finds no library beside this program.
    void realSerialAgentFindsTheMaster()
    {
        OpenDeviceDialog::setAgentFactory(nullptr);
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("^Bluetooth device discovery agent can't start: file "
                                                               ".*/libLookout.so not found$")));
        hubroInfo_t status{};
        status.bDevType = 40;
        status.bHWVer = 10;
        status.dwSerialId = 777001;
        status.modules.wireloop = 1;
        SimMaster sim(status);
        setSerialPortLister([port = sim.fake.portName()] { return QList<SerialPortEntry>{{port, QString()}}; });

        OpenDeviceDialog dialog;
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isScanning(), 10000);
        QCOMPARE(visibleTexts(dialog), QStringList{sim.fake.portName() + QStringLiteral(". Zentar-HUBRO125 (s/n: 777001)")});
        QCOMPARE(dialog.selectedDevice().address, sim.fake.portName());
        QCOMPARE(int(dialog.selectedDevice().connectionType), int(Serial));
    }

    // A port the system does not list, given by its path.
    void typedPortPath_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("problem"); // %1 the path
        QTest::newRow("pseudo-terminal") << "pty" << QString();
        QTest::newRow("link to it") << "link" << QString();
        QTest::newRow("missing") << "missing" << QStringLiteral("The port %1 does not exist.");
        QTest::newRow("folder") << "folder" << QStringLiteral("%1 is not a serial port.");
        QTest::newRow("regular file") << "file" << QStringLiteral("%1 is not a serial port.");
    }
    void typedPortPath()
    {
        QFETCH(QString, kind);
        QFETCH(QString, problem);
        hubroInfo_t status{};
        status.bDevType = 40;
        status.bHWVer = 10;
        status.dwSerialId = 777002;
        SimMaster sim(status);
        QTemporaryDir dir;
        QString path = sim.fake.portName();
        if (kind == QLatin1String("link")) {
            path = dir.filePath(QStringLiteral("usb-Zorvo_HUBRO-if00"));
            QVERIFY(QFile::link(sim.fake.portName(), path));
        } else if (kind == QLatin1String("missing")) {
            path = dir.filePath(QStringLiteral("ttyNone"));
        } else if (kind == QLatin1String("folder")) {
            path = dir.path();
        } else if (kind == QLatin1String("file")) {
            path = dir.filePath(QStringLiteral("notes.txt"));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QCOMPARE(OpenDeviceDialog::typedPortProblem(path), problem.isEmpty() ? problem : problem.arg(path));

        // The dialog's own serial agent; the system lists no port at all.
        OpenDeviceDialog::setAgentFactory([] {
            OpenDeviceDialog::Agents made;
            made.serial = new SerialDeviceDiscoveryAgent;
            return made;
        });
        setSerialPortLister([] { return QList<SerialPortEntry>(); });
        MessageBoxRecorder boxes;
        OpenDeviceDialog dialog;
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isScanning(), 10000);
        QVERIFY(visibleTexts(dialog).isEmpty());
        auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("lePortPath"));
        edit->setText(path);
        // Enter in the path searches it; it does not accept the dialog.
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(!dialog.result());
        if (!problem.isEmpty()) {
            QCOMPARE(boxes.count(), 1);
            QCOMPARE(boxes.last().text, problem.arg(path));
            QVERIFY(!dialog.isScanning());
            QVERIFY(dialog.typedPortPaths().isEmpty());
            return;
        }
        QCOMPARE(boxes.count(), 0);
        QVERIFY(dialog.isScanning());
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isScanning(), 10000);
        QCOMPARE(visibleTexts(dialog), QStringList{path + QStringLiteral(". Zentar-HUBRO125 (s/n: 777002)")});
        QCOMPARE(dialog.selectedDevice().address, path);
        QCOMPARE(int(dialog.selectedDevice().connectionType), int(Serial));
        QVERIFY(dialog.findChild<QLabel *>(QStringLiteral("lblPortState"))->text().isEmpty());

        // Searched again by a rescan; a port where nothing answers is named.
        sim.setSilent(true);
        button(dialog, "pbRescan")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isScanning(), 10000);
        QVERIFY(visibleTexts(dialog).isEmpty());
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("lblPortState"))->text(),
                 QStringLiteral("No master answered on %1").arg(path));
    }

    // The window opens a master by the typed path.
    void windowOpensATypedPath()
    {
        prepareConnectionTests();
        MainWindow::setDeviceSelection([](MainWindow *) {});
        SimMaster sim(healthyRecord());
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("usb-Zorvo_HUBRO-if00"));
        QVERIFY(QFile::link(sim.fake.portName(), link));
        MainWindow window{QString()};
        QVERIFY(window.establishConnection(Serial, link));
        QTRY_VERIFY(window.isMasterConnected());
        QCOMPARE(window.currentConnection()->master()->serialNumber(), healthyRecord().dwSerialId);
        MainWindow::setDeviceSelection(nullptr);
    }
};

QTEST_MAIN(OpenDeviceDialogTest)
#include "tst_opendevicedialog.moc"

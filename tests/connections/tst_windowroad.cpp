// The main window's road to a master, end to end: a live master over the fake
// master on a pseudo-terminal in the views and the title, the managers wired
// once, the link lost, the restart; configuration and simulation files opened
// at start, from the dialog, the view command and by dropping; the
// reconnection after an expander update; and the start-up choice cancelled.
#include "connectionfixture.h"
#include "connectioninterface.h"
#include "deviceeeprommanager.h"
#include "devicetablemodel.h"
#include "dropfiles.h"
#include "fakeagents.h"
#include "filelocker.h"
#include "firmwareuploadmanager.h"
#include "lqitestmanager.h"
#include "mainwindow.h"
#include "mastersim.h"
#include "senddatamanager.h"
#include "settings.h"
#include "sorteddevicemodel.h"
#include "statisticsmanager.h"
#include "updatemanager.h"
#include "updatestatusdock.h"
#include "waitwidget.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {
QAction *action(QWidget *window, const char *name)
{
    return window->findChild<QAction *>(QString::fromLatin1(name));
}

// A copy of a bundled example in the folder, under the given name.
QString copyExample(const QTemporaryDir &dir, const QString &example, const QString &name = QString())
{
    const QString path = dir.filePath(name.isEmpty() ? example : name);
    QFile::remove(path);
    if (!QFile::copy(QStringLiteral(TANDREL_EXAMPLES_DIR "/") + example, path))
        return QString();
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(bytes);
    return file.fileName();
}

bool isLockedByOthers(const QString &path)
{
    FileLocker other;
    other.lockFile(path);
    return !other.isLocked();
}

QList<WaitWidget *> waitWidgets()
{
    QList<WaitWidget *> found;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *wait = qobject_cast<WaitWidget *>(widget))
            found << wait;
    return found;
}

void drop(MainWindow &window, const QStringList &files)
{
    dropFiles(&window, files);
}

// The master on the port as the serial agent reports it.
DiscoveredDevice discovered(const QString &port, const hubroInfo_t &record)
{
    DiscoveredDevice device;
    device.connectionType = Serial;
    device.address = port;
    device.deviceType = record.bDevType;
    device.serialNumber = record.dwSerialId;
    device.hardwareVersion = QVersionNumber(record.bHWVer);
    device.modules = DiscoveredDevice::wireloop | DiscoveredDevice::kastrel;
    return device;
}
} // namespace

class WindowRoadTest : public QObject
{
    Q_OBJECT

    int selections = 0;
    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        prepareConnectionTests();
        QVERIFY(dir.isValid());
        MainWindow::setDeviceSelection([this](MainWindow *) { ++selections; });
    }
    void cleanupTestCase() { MainWindow::setDeviceSelection(nullptr); }
    void init() { selections = 0; }
    void cleanup()
    {
        WaitWidget::setTimings(WaitWidget::Timings());
        MainWindow::setExpanderReconnectDelay(20000);
        MainWindow::setProcessStarter(nullptr);
        for (WaitWidget *wait : waitWidgets())
            wait->forceClose();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // A live master and its devices in the views; the link lost; the master's side closed.
    void liveMasterEndToEnd()
    {
        MessageBoxRecorder boxes;
        auto sim = std::make_unique<SimMaster>(healthyRecord());
        sim->setDevice(simDevice(3, 4));
        sim->setDevice(simDevice(5, 3));
        auto window = std::make_unique<MainWindow>(QString());
        QCOMPARE(window->windowTitle(), QStringLiteral("Zentar Configurator"));

        QVERIFY(window->establishConnection(Serial, sim->address()));
        QTRY_COMPARE(window->windowTitle(), QStringLiteral("Zentar-HUBRO125"));
        QTRY_COMPARE(window->deviceTableModel()->devices().size(), 3);
        QTRY_COMPARE(window->sortedDeviceModel()->rowCount(), 3);
        QVERIFY(window->isMasterConnected());
        QVERIFY(window->isCollectorRunning());
        QCOMPARE(window->findChild<QLabel *>(QStringLiteral("lblDevCount"))->text(), QStringLiteral("2"));
        QVERIFY(!action(window.get(), "acOpenDevice")->isEnabled());
        for (const char *name : {"acCloseDevice", "acRestart", "acAutoNumber", "acDetectNearbyHubro"})
            QVERIFY2(action(window.get(), name)->isEnabled(), name);
        QVERIFY(action(window.get(), "acChangePassword")->isVisible());
        QVERIFY(action(window.get(), "acUpdatePanel")->isVisible());

        // Silence: the link gives up, the user is told, the window is back to no master.
        sim->setSilent(true);
        QTRY_VERIFY_WITH_TIMEOUT(boxes.count() >= 1, 10000);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().title, QStringLiteral("Connection lost"));
        QCOMPARE(boxes.last().text, QStringLiteral("Unable to connect to device."));
        QVERIFY(!window->isMasterConnected());
        QVERIFY(!window->isCollectorRunning());
        QCOMPARE(window->windowTitle(), QStringLiteral("Zentar Configurator"));
        QVERIFY(window->deviceTableModel()->devices().isEmpty());
        QVERIFY(action(window.get(), "acOpenDevice")->isEnabled());
        QVERIFY(!action(window.get(), "acAutoNumber")->isEnabled());

        // A master whose side of the line closes while connected: nothing hangs.
        sim = std::make_unique<SimMaster>(healthyRecord());
        QVERIFY(window->establishConnection(Serial, sim->address()));
        QTRY_VERIFY(window->isMasterConnected());
        QElapsedTimer clock;
        clock.start();
        sim.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!window->isMasterConnected(), 10000);
        window.reset();
        QVERIFY(clock.elapsed() < 10000);
    }

    // The title by the entry chosen in the device dialog.
    void titleByChosenEntry_data()
    {
        QTest::addColumn<bool>("hubro32");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("title");
        QTest::newRow("the master") << false << 0 << 0 << "Zentar-HUBRO125";
        QTest::newRow("its wired side") << false << 1 << 1 << "Zentar-TROMBEL";
        QTest::newRow("32-device master, old hardware") << true << 0 << 2 << "Zentar-HUBRO32";
    }
    void titleByChosenEntry()
    {
        QFETCH(bool, hubro32);
        QFETCH(int, row);
        QFETCH(int, type);
        QFETCH(QString, title);
        hubroInfo_t record = hubro32 ? hubro32Record() : healthyRecord();
        if (hubro32)
            record.bHWVer = 6; // below 7: the slow 32-device master
        SimMaster sim(record);
        FakeAgents agents;
        agents.serialDevices = {discovered(sim.address(), record)};
        DialogScript dialogs;
        dialogs.then([row](QDialog *dialog) {
            auto *open = qobject_cast<OpenDeviceDialog *>(dialog);
            if (!open || !QTest::qWaitFor([open] { return !open->isScanning(); }))
                return int(QDialog::Rejected);
            open->findChild<QListWidget *>(QStringLiteral("lwDevices"))->setCurrentRow(row);
            return int(QDialog::Accepted);
        });
        MainWindow window{QString()};
        window.deviceOpen();
        QCOMPARE(dialogs.records().size(), 1);
        QCOMPARE(dialogs.records().first().className, QStringLiteral("OpenDeviceDialog"));
        QVERIFY(window.currentConnection());
        QTRY_COMPARE(window.windowTitle(), title);
        QCOMPARE(action(&window, "acTROMBELView")->isVisible(), row == 1);
        QVERIFY(action(&window, "acSaveConfiguration")->isVisible());
        QCOMPARE(int(window.currentConnection()->masterType()), type);
    }

    // A file chosen in the dialog: the file before it is closed first, and the
    // actions of a live master stay hidden.
    void fileChosenInTheDialog()
    {
        const QString first = copyExample(dir, QStringLiteral("demo.conf"), QStringLiteral("first.conf"));
        const QString second = copyExample(dir, QStringLiteral("demo.conf"), QStringLiteral("second.conf"));
        FakeAgents agents;
        FileDialogScript files;
        files.answer(first).answer(second);
        DialogScript dialogs;
        const auto openFile = [](QDialog *dialog) {
            dialog->findChild<QPushButton *>(QStringLiteral("pbViewConfig"))->click();
            return dialog->result();
        };
        dialogs.then(openFile).then(openFile);

        MainWindow window{QString()};
        action(&window, "acOpenDevice")->trigger();
        QCOMPARE(window.windowTitle(), QStringLiteral("first.conf"));
        QVERIFY(isLockedByOthers(first));
        QVERIFY(!action(&window, "acTROMBELView")->isVisible());
        QVERIFY(!action(&window, "acSaveConfiguration")->isVisible());

        action(&window, "acOpenDevice")->trigger();
        QCOMPARE(window.windowTitle(), QStringLiteral("second.conf"));
        QVERIFY(!isLockedByOthers(first));
        QVERIFY(isLockedByOthers(second));
        QCOMPARE(dialogs.pendingSteps(), 0);
    }

    // However often the master connects, each manager reaches the link once.
    void managersWiredOnce()
    {
        SimMaster sim(healthyRecord());
        MainWindow window{QString()};
        QVERIFY(window.establishConnection(Serial, sim.address()));
        QTRY_VERIFY(window.isMasterConnected());
        window.masterConnected();
        window.masterConnected();
        QVERIFY(window.isCollectorRunning());

        const ResponseCb reply = [](const Packet &) { return true; };
        emit UpdateManager::instance()->sendPacket(QByteArray(1, char(0x70)), reply);
        emit StatisticsManager::instance()->sendPacket(QByteArray(1, char(0x71)), reply);
        emit DeviceEepromManager::instance()->sendPacket(QByteArray(1, char(0x72)), reply);
        emit LQITestManager::instance()->sendPacket(QByteArray(1, char(0x73)), reply);
        emit SendDataManager::instance()->sendPacket(QByteArray(1, char(0x74)), reply);
        emit FirmwareUploadManager::instance()->sendPacket(QByteArray(1, char(0x75)), reply);
        // The marker goes after any second copy of the others.
        emit UpdateManager::instance()->sendPacket(QByteArray(1, char(0x76)), reply);
        QTRY_VERIFY_WITH_TIMEOUT(sim.fake.receivedCount(0x76) >= 1, 5000);
        for (int type = 0x70; type <= 0x76; ++type)
            QCOMPARE(sim.fake.receivedCount(uint8_t(type)), 1);
    }

    void restartByHardware_data()
    {
        QTest::addColumn<int>("hardware");
        QTest::addColumn<int>("timeout");
        QTest::newRow("hardware 1") << 1 << 20000;
        QTest::newRow("hardware 2") << 2 << 40000;
    }
    void restartByHardware()
    {
        QFETCH(int, hardware);
        QFETCH(int, timeout);
        hubroInfo_t record = healthyRecord();
        record.bHWVer = quint8(hardware);
        SimMaster sim(record);
        MainWindow window{QString()};
        QVERIFY(window.establishConnection(Serial, sim.address()));
        QTRY_VERIFY(window.isMasterConnected());
        QTRY_COMPARE(window.windowTitle(), QStringLiteral("Zentar-HUBRO125"));
        QSignalSpy restarted(window.currentConnection(), &Connection::masterRestarted);
        MessageBoxRecorder boxes; // "Restart the device now?": Yes
        action(&window, "acRestart")->trigger();
        QCOMPARE(boxes.count(), 1);
        // The reboot request queues behind the reading of a master just connected.
        QVERIFY(restarted.wait(20000));
        QCOMPARE(restarted.first().first().toInt(), timeout);
        // Rebooting: nothing to open or close, the title stays.
        QVERIFY(window.isMasterConnected());
        QVERIFY(!window.isCollectorRunning());
        QVERIFY(!action(&window, "acOpenDevice")->isEnabled());
        QVERIFY(!action(&window, "acCloseDevice")->isEnabled());
        QVERIFY(!action(&window, "acAutoNumber")->isEnabled());
        QCOMPARE(window.windowTitle(), QStringLiteral("Zentar-HUBRO125"));
        QVERIFY(window.deviceTableModel()->devices().isEmpty());
    }

    void configurationFile()
    {
        const QString path = copyExample(dir, QStringLiteral("demo.conf"));
        QVERIFY(!path.isEmpty());
        appSettings.setValue(QLatin1String(SettingsKey::Ull), 5);
        MainWindow window{QString()};
        QVERIFY(window.establishConnection(File, path));
        QCOMPARE(window.windowTitle(), QStringLiteral("demo.conf"));
        QVERIFY(isLockedByOthers(path));
        QVERIFY(window.isMasterConnected());
        QVERIFY(!action(&window, "acChangePassword")->isVisible());
        QVERIFY(action(&window, "acOpenDevice")->isEnabled());
        QVERIFY(!action(&window, "acCloseDevice")->isEnabled());
        QVERIFY(!action(&window, "acRestart")->isEnabled());
        QVERIFY(action(&window, "acAutoNumber")->isEnabled());
        QVERIFY(!action(&window, "acUpdatePanel")->isVisible());
        QVERIFY(!action(&window, "acLQIPanel")->isVisible());
        // Devices of a file leave the counter alone.
        QCOMPARE(window.findChild<QLabel *>(QStringLiteral("lblDevCount"))->text(), QStringLiteral("0"));
        QTRY_COMPARE(window.currentItemView()->currentIndex().row(), 0);
        QVERIFY(window.deviceTableModel()->devices().size() > 1);

        window.deviceClose();
        QVERIFY(!isLockedByOthers(path));
        QVERIFY(window.deviceTableModel()->devices().isEmpty());
        QVERIFY(!appSettings.contains(QLatin1String(SettingsKey::Ull)));
        QVERIFY(!action(&window, "acAutoNumber")->isEnabled());
        window.deviceClose(); // closed already: nothing happens
    }

    void simulationFile()
    {
        const QString path = copyExample(dir, QStringLiteral("demo.sim"));
        MainWindow window{QString()};
        QVERIFY(window.establishConnection(Simulation, path));
        QTRY_COMPARE(window.windowTitle(), QStringLiteral("Zentar-HUBRO125 exec. 01"));
        QTRY_VERIFY(window.deviceTableModel()->devices().size() > 1);
        QVERIFY(!isLockedByOthers(path));
        QVERIFY(!action(&window, "acUpdatePanel")->isVisible());
        QVERIFY(action(&window, "acAutoNumber")->isEnabled());
    }

    void failedOpeningLeavesNoMasterAction_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("title"); // of the warning; empty: none
        QTest::newRow("configuration file") << int(File) << "Configuration file opening";
        QTest::newRow("simulation file") << int(Simulation) << "Simulation file opening";
        QTest::newRow("unknown kind") << 9 << QString();
    }
    void failedOpeningLeavesNoMasterAction()
    {
        QFETCH(int, kind);
        QFETCH(QString, title);
        const QString bogus = writeFile(dir, QStringLiteral("bogus.txt"), "not json");
        MessageBoxRecorder boxes;
        MainWindow window{QString()};
        QSignalSpy failed(&window, &MainWindow::establishFailed);
        QVERIFY(!window.establishConnection(ConnectionType(kind), bogus));
        QCOMPARE(failed.size(), 1);
        QVERIFY(!action(&window, "acAutoNumber")->isEnabled());
        QVERIFY(!action(&window, "acSaveConfiguration")->isEnabled());
        if (title.isEmpty()) {
            QCOMPARE(boxes.count(), 0);
            QVERIFY(!window.currentConnection());
            QCOMPARE(selections, 0);
            return;
        }
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().title, title);
        // The user chooses again.
        QCOMPARE(selections, 1);
    }

    void startupPath_data()
    {
        QTest::addColumn<QString>("example");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("kind");
        QTest::newRow("simulation") << "demo.sim" << "start.sim" << int(Simulation);
        QTest::newRow("simulation, capitals") << "demo.sim" << "START.SIM" << int(Simulation);
        QTest::newRow("configuration") << "demo.conf" << "start.conf" << int(File);
    }
    void startupPath()
    {
        QFETCH(QString, example);
        QFETCH(QString, name);
        QFETCH(int, kind);
        const QString path = copyExample(dir, example, name);
        MainWindow window(path);
        QTRY_VERIFY(window.currentConnection());
        QCOMPARE(int(window.currentConnection()->connectionType()), kind);
        QTRY_VERIFY(window.isMasterConnected());
        QCOMPARE(isLockedByOthers(path), kind == File);
        QCOMPARE(selections, 0);
    }

    void configurationView_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<bool>("starts");
        QTest::newRow("new window") << 0 << true;
        QTest::newRow("new window fails") << 0 << false;
        QTest::newRow("current window") << 1 << false;
        QTest::newRow("cancel") << 2 << false;
    }
    void configurationView()
    {
        QFETCH(int, choice);
        QFETCH(bool, starts);
        const QString path = copyExample(dir, QStringLiteral("demo.conf"), QStringLiteral("view.conf"));
        struct Start
        {
            QString program, directory;
            QStringList arguments;
        };
        QList<Start> started;
        MainWindow::setProcessStarter([&started, starts](const QString &program, const QStringList &arguments,
                                                         const QString &directory, qint64 *pid, QString *error) {
            started.append({program, directory, arguments});
            *pid = 4242;
            *error = QStringLiteral("No such program");
            return starts;
        });
        MessageBoxRecorder boxes;
        boxes.answer(choice);
        FileDialogScript files;
        files.answer(path);

        MainWindow window{QString()};
        action(&window, "acViewConfig")->trigger();
        QCOMPARE(files.requests().size(), 1);
        QCOMPARE(files.requests().first().caption, QStringLiteral("Select configuration file"));
        QCOMPARE(boxes.requests().first().title, QStringLiteral("Configuration file"));
        QCOMPARE(boxes.requests().first().choices,
                 (QStringList{QStringLiteral("New window"), QStringLiteral("Current window"), QStringLiteral("Cancel")}));

        if (choice == 0) {
            QCOMPARE(started.size(), 1);
            QCOMPARE(started.first().program, QCoreApplication::applicationFilePath());
            QCOMPARE(started.first().arguments, QStringList{path});
            QCOMPARE(started.first().directory, QCoreApplication::applicationDirPath());
            QCOMPARE(boxes.count(), starts ? 1 : 2);
            if (!starts) {
                QCOMPARE(boxes.last().title, QStringLiteral("Configuration view"));
                QCOMPARE(boxes.last().text, QStringLiteral("Failed to open in separate window.\nNo such program"));
            }
            QVERIFY(!window.currentConnection());
        } else if (choice == 1) {
            QVERIFY(started.isEmpty());
            QVERIFY(window.currentConnection());
            QCOMPARE(window.currentConnection()->connectionType(), File);
            QCOMPARE(window.windowTitle(), QStringLiteral("view.conf"));
            QVERIFY(isLockedByOthers(path));
        } else {
            QVERIFY(started.isEmpty());
            QVERIFY(!window.currentConnection());
        }
    }

    void droppedFiles_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("outcome"); // "firmware", "simulation", "none" or a warning text
        QTest::newRow("firmware wins") << QStringList{"image.vorl", "site.conf"} << "firmware";
        QTest::newRow("two configurations")
            << QStringList{"a.conf", "b.CONF"} << "Only one config file can be loaded";
        QTest::newRow("two simulations") << QStringList{"a.sim", "b.sim"} << "Only one config file can be loaded";
        QTest::newRow("one simulation") << QStringList{"drop.sim"} << "simulation";
        QTest::newRow("one configuration") << QStringList{"site.conf"} << "none";
        QTest::newRow("other file") << QStringList{"notes.txt"} << "Unsupported file extension";
        QTest::newRow("sim without the point") << QStringList{"notasim"} << "Unsupported file extension";
    }
    void droppedFiles()
    {
        QFETCH(QStringList, names);
        QFETCH(QString, outcome);
        QStringList paths;
        for (const QString &name : names)
            paths << (name.endsWith(QLatin1String(".sim")) ? copyExample(dir, QStringLiteral("demo.sim"), name)
                                                           : writeFile(dir, name, "{}"));
        MessageBoxRecorder boxes;
        MainWindow window{QString()};
        auto *dock = window.findChild<UpdateStatusDock *>();
        dock->hide();
        drop(window, paths);

        QCOMPARE(!dock->isHidden(), outcome == QLatin1String("firmware"));
        QCOMPARE(window.currentConnection() != nullptr, outcome == QLatin1String("simulation"));
        if (outcome == QLatin1String("simulation")) {
            QCOMPARE(window.currentConnection()->connectionType(), Simulation);
            QTRY_VERIFY(window.isMasterConnected());
        }
        const bool warned = outcome != QLatin1String("firmware") && outcome != QLatin1String("simulation")
                            && outcome != QLatin1String("none");
        if (outcome == QLatin1String("firmware")) {
            // The dock hands the container to the batch window, which reads it:
            // the file of this test is no container.
            QVERIFY(dock->compositeUpdateWindow());
            QCOMPARE(boxes.count(), 1);
            QCOMPARE(boxes.last().title, QStringLiteral("VORL format error"));
            dock->closeCompasiteUpdateWidget();
        } else {
            QCOMPARE(boxes.count(), warned ? 1 : 0);
        }
        if (warned) {
            QCOMPARE(boxes.last().title, QStringLiteral("Warning!"));
            QCOMPARE(boxes.last().text, outcome);
        }
    }

    // The expander updates itself: the link closes when the wait is over and
    // opens again with the same wired-bus address.
    void reconnectAfterExpanderUpdate()
    {
        WaitWidget::Timings t;
        t.wait = 40;
        WaitWidget::setTimings(t);
        MainWindow::setExpanderReconnectDelay(40);
        SimMaster sim(healthyRecord(), FakeMaster::Layout::KastrelAt4);
        MainWindow window{QString()};
        QVERIFY(window.establishConnection(Kastrel, sim.address()));
        QTRY_VERIFY(window.isMasterConnected());
        Connection *first = window.currentConnection();
        const int statusReads = sim.fake.receivedCount(PT_HUBRO_INFO);

        window.onUpdateInProgress(255);
        window.onUpdateInProgress(255);
        QCOMPARE(waitWidgets().size(), 1);
        QTRY_VERIFY(waitWidgets().isEmpty());
        QTRY_VERIFY(window.currentConnection() != first);
        QTRY_VERIFY(window.isMasterConnected());
        QVERIFY(sim.fake.receivedCount(PT_HUBRO_INFO) > statusReads);
        QCOMPARE(window.currentConnection()->connectionType(), Kastrel);
        QCOMPARE(window.currentConnection()->portName(), sim.address());
    }

    void reconnectSkippedForAnotherConnection()
    {
        WaitWidget::Timings t;
        t.wait = 20;
        WaitWidget::setTimings(t);
        MainWindow::setExpanderReconnectDelay(300);
        SimMaster sim(healthyRecord());
        const QString simulation = copyExample(dir, QStringLiteral("demo.sim"), QStringLiteral("other.sim"));
        MainWindow window{QString()};
        QVERIFY(window.establishConnection(Serial, sim.address()));
        QTRY_VERIFY(window.isMasterConnected());

        window.onUpdateInProgress(255);
        QTRY_VERIFY(waitWidgets().isEmpty());
        QTRY_VERIFY(!window.isMasterConnected());
        QVERIFY(window.establishConnection(Simulation, simulation));
        const int statusReads = sim.fake.receivedCount(PT_HUBRO_INFO);
        QTest::qWait(450);
        QCOMPARE(window.currentConnection()->connectionType(), Simulation);
        QCOMPARE(sim.fake.receivedCount(PT_HUBRO_INFO), statusReads);
    }

    void finishedUpdateNeedsNoReconnection()
    {
        SimMaster sim(healthyRecord());
        MainWindow window{QString()};
        QVERIFY(window.establishConnection(Serial, sim.address()));
        QTRY_VERIFY(window.isMasterConnected());
        Connection *connection = window.currentConnection();
        window.onUpdateInProgress(255);
        QCOMPARE(waitWidgets().size(), 1);
        emit connection->masterCoreUpdateProgress(FirmwareUploadTypes::Finished, 100);
        QTRY_VERIFY(waitWidgets().isEmpty());
        QCOMPARE(window.currentConnection(), connection);
        QVERIFY(window.isMasterConnected());
    }

    // Last: the program's exit is requested through the event loop.
    void cancelledStartupChoiceEndsTheProgram()
    {
        MainWindow::setDeviceSelection(nullptr);
        FakeAgents agents;
        DialogScript dialogs;
        dialogs.then([](QDialog *) { return int(QDialog::Rejected); });
        dialogs.then([](QDialog *) { return int(QDialog::Rejected); });

        // Cancelled later, from the menu: the program goes on.
        {
            MainWindow window{QStringLiteral("/nonexistent/dir/none.conf")};
            MessageBoxRecorder boxes;
            QTRY_COMPARE(dialogs.pendingSteps(), 1); // the failed file brings the dialog back
            QEventLoop loop;
            QTimer::singleShot(100, &loop, [&loop] { loop.exit(7); });
            QCOMPARE(loop.exec(), 7);
        }
        // Cancelled at start with nothing open: code 0 through the event loop.
        MainWindow window{QString()};
        QEventLoop loop;
        QTimer::singleShot(5000, &loop, [&loop] { loop.exit(1); });
        QCOMPARE(loop.exec(), 0);
        QCOMPARE(dialogs.pendingSteps(), 0);
    }
};

QTEST_MAIN(WindowRoadTest)
#include "tst_windowroad.moc"

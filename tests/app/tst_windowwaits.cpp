// The window's waits: the waiting window of long operations after Escape,
// the restart of the master with its question and a wait the user can give
// up, and the firmware upload offered a while after the master connects.
#include "deviceconnection.h"
#include "hubroitem.h"
#include "progresswidget.h"
#include "updatestatusdock.h"
#include "windowfixture.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QList<ProgressWidget *> shownWaitingWindows()
{
    QList<ProgressWidget *> shown;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *wait = qobject_cast<ProgressWidget *>(widget))
            if (wait->isVisible())
                shown << wait;
    return shown;
}

QAction *action(MainWindow &window, const char *name)
{
    return window.findChild<QAction *>(QLatin1String(name));
}

struct Bench : WindowOnMaster
{
    Bench()
    {
        sim.setDevice(simDevice(3, 4));
        sim.setDevice(simDevice(7, 5));
    }
};

// What reboots the master and is waited for.
enum class Reboot { AfterUpdate, Restart, FlashErase };

void startReboot(Bench &b, Reboot reboot)
{
    switch (reboot) {
    case Reboot::AfterUpdate:
        b.window->findChild<UpdateStatusDock *>()->waitUpdateComplate(40);
        break;
    case Reboot::Restart:
        action(*b.window, "acRestart")->trigger();
        break;
    case Reboot::FlashErase:
        b.sim.setScript(PT_FW_UPLOAD_ERASE_FLASH, [](const FakeMaster::Received &) {
            return QVector<FakeMaster::Reply>{FakeMaster::Reply(QByteArray(1, char(PT_FW_UPLOAD_ERASE_FLASH_ACK)))};
        });
        b.connection()->master()->executeAction(HubroItem::EraseFlashAction);
        break;
    }
}
} // namespace

Q_DECLARE_METATYPE(Reboot)

class WindowWaitsTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        prepareConnectionTests();
        MainWindow::setDeviceSelection([](MainWindow *) {});
    }
    void cleanupTestCase() { MainWindow::setDeviceSelection(nullptr); }
    void cleanup()
    {
        MainWindow::setPostConnectionDelay(2000);
        MainWindow::setReconnectWaitMargin(2000);
        MainWindow::setEraseReconnectTimeout(180000);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Escape on the window shown while a configuration is saved: stop() as
    // from the title bar, and the next save has a waiting window again.
    void escapeDuringASaveAndTheNextSave()
    {
        QTemporaryDir dir;
        Bench b;
        QVERIFY(b.open(2));
        MessageBoxRecorder boxes;
        FileDialogScript files;
        files.answer(dir.filePath(QStringLiteral("first.conf")));
        b.window->saveConfiguration();
        QCOMPARE(shownWaitingWindows().size(), 1);
        ProgressWidget *wait = shownWaitingWindows().first();
        QCOMPARE(wait->windowTitle(), QStringLiteral("Save configuration"));
        QVERIFY(!wait->isClosable());
        QPointer<ProgressWidget> guard(wait);
        QSignalSpy stop(wait, &ProgressWidget::stop);
        QTest::keyClick(wait, Qt::Key_Escape);
        QCOMPARE(stop.size(), 1);
        QVERIFY(!wait->isVisible());
        QTRY_VERIFY(!guard);
        // The save itself goes on.
        QTRY_VERIFY(QFile::exists(dir.filePath(QStringLiteral("first.conf"))));

        files.answer(dir.filePath(QStringLiteral("second.conf")));
        b.window->saveConfiguration();
        QCOMPARE(shownWaitingWindows().size(), 1);
        QCOMPARE(shownWaitingWindows().first()->windowTitle(), QStringLiteral("Save configuration"));
        QTRY_VERIFY(QFile::exists(dir.filePath(QStringLiteral("second.conf"))));
        QTRY_VERIFY(shownWaitingWindows().isEmpty());
        QCOMPARE(boxes.count(), 0);
    }

    // The waits for a rebooted master, after a firmware update, a restart
    // and a flash erase: Escape asks, and Yes gives the wait up: the device
    // is closed, it is not reconnected, and another device can be opened.
    void escapeGivesTheRestartWaitUp_data()
    {
        QTest::addColumn<Reboot>("reboot");
        QTest::addColumn<QString>("title");
        QTest::newRow("after a firmware update") << Reboot::AfterUpdate << QStringLiteral("Firmware updating");
        QTest::newRow("after a restart") << Reboot::Restart << QStringLiteral("Device restart");
        QTest::newRow("after a flash erase") << Reboot::FlashErase << QStringLiteral("Flash erasing");
    }
    void escapeGivesTheRestartWaitUp()
    {
        QFETCH(Reboot, reboot);
        QFETCH(QString, title);
        Bench b;
        QVERIFY(b.open(2));
        auto *live = qobject_cast<DeviceConnection *>(b.connection());
        QVERIFY(live);
        MessageBoxRecorder boxes; // every question: Yes
        QSignalSpy restarted(live, &Connection::masterRestarted);
        startReboot(b, reboot);
        QVERIFY(restarted.wait(5000));
        QVERIFY(live->isReconnectPending());
        QVERIFY(!action(*b.window, "acOpenDevice")->isEnabled());
        QVERIFY(!action(*b.window, "acCloseDevice")->isEnabled());
        QCOMPARE(shownWaitingWindows().size(), 1);
        ProgressWidget *wait = shownWaitingWindows().first();
        QCOMPARE(wait->windowTitle(), title);
        QVERIFY(wait->isClosable());

        const int asked = boxes.count();
        QTest::keyClick(wait, Qt::Key_Escape);
        QCOMPARE(boxes.count(), asked + 1);
        QCOMPARE(boxes.last().title, QStringLiteral("Waiting window"));
        QVERIFY(!wait->isVisible());
        QVERIFY(!live->isReconnectPending());
        QVERIFY(!b.window->isMasterConnected());
        QVERIFY(action(*b.window, "acOpenDevice")->isEnabled());
        QVERIFY(!action(*b.window, "acCloseDevice")->isEnabled());
        QVERIFY(b.window->statusBar()->currentMessage().isEmpty());
    }

    // The wait after a flash erase is the wait of every reboot: a master
    // that is back ends it and its window without a word; one that is not
    // back when it runs out is reported once, under the erase's title.
    void flashEraseWaitEnds_data()
    {
        QTest::addColumn<bool>("comesBack");
        QTest::addColumn<int>("margin"); // of the wait, ms: room for a reconnection on a busy machine
        QTest::newRow("back") << true << 3000;
        QTest::newRow("silent") << false << 300;
    }
    void flashEraseWaitEnds()
    {
        QFETCH(bool, comesBack);
        QFETCH(int, margin);
        MainWindow::setEraseReconnectTimeout(50);
        MainWindow::setReconnectWaitMargin(margin);
        Bench b;
        QVERIFY(b.open(2));
        MessageBoxRecorder boxes;
        QSignalSpy restarted(b.connection(), &Connection::masterRestarted);
        startReboot(b, Reboot::FlashErase);
        QVERIFY(restarted.wait(5000));
        b.sim.setSilent(!comesBack);
        QCOMPARE(shownWaitingWindows().size(), 1);
        if (comesBack) {
            QTRY_VERIFY(b.connection()->master());
            QTRY_VERIFY(shownWaitingWindows().isEmpty());
            QTRY_VERIFY(action(*b.window, "acCloseDevice")->isEnabled());
            QTest::qWait(margin + 200); // past the end of the wait
            QCOMPARE(boxes.count(), 0);
            return;
        }
        // The lost link is told in its own box.
        const auto noResponse = [&boxes] {
            QStringList titles;
            for (const UiSeams::MessageBoxRequest &box : boxes.requests())
                if (box.text == QLatin1String("No response from device"))
                    titles << box.title;
            return titles;
        };
        QTRY_COMPARE(noResponse(), QStringList{QStringLiteral("Flash erasing")});
        QVERIFY(shownWaitingWindows().isEmpty());
        QVERIFY(action(*b.window, "acOpenDevice")->isEnabled());
        QTest::qWait(500);
        QCOMPARE(noResponse(), QStringList{QStringLiteral("Flash erasing")});
    }

    // The wait's window goes when the rebooted master is back.
    void restartWaitEndsWhenTheMasterIsBack()
    {
        Bench b;
        QVERIFY(b.open(2));
        MessageBoxRecorder boxes;
        QSignalSpy restarted(b.connection(), &Connection::masterRestarted);
        b.connection()->restartMaster(50);
        QVERIFY(restarted.wait(5000));
        QCOMPARE(shownWaitingWindows().size(), 1);
        QCOMPARE(shownWaitingWindows().first()->windowTitle(), QStringLiteral("Device restart"));
        QTRY_VERIFY(b.connection()->master());
        QTRY_VERIFY(shownWaitingWindows().isEmpty());
        QTRY_VERIFY(action(*b.window, "acCloseDevice")->isEnabled());
        QCOMPARE(boxes.count(), 0);
    }

    // "Upload firmware" is offered a while after the master connects, also
    // when the master never tells its stored firmware.
    void uploadOfferedAfterTheConnection()
    {
        MainWindow::setPostConnectionDelay(100);
        Bench b; // answers no firmware header
        b.window = std::make_unique<MainWindow>(QString());
        auto *upload = b.window->findChild<QPushButton *>(QStringLiteral("pbUploadFirmware"));
        bool enabledAtConnection = true;
        bool headersRead = false;
        QVERIFY(b.window->establishConnection(Serial, b.sim.address()));
        QObject::connect(b.connection(), &Connection::masterConnected, b.window.get(), [&](HubroItem *master) {
            enabledAtConnection = upload->isEnabled();
            QObject::connect(master, &HubroItem::firmwareHeadersUpdated, [&] { headersRead = true; });
        });
        QTRY_VERIFY(b.window->isMasterConnected());
        QVERIFY(!enabledAtConnection);
        QTRY_VERIFY(upload->isEnabled());
        QVERIFY(!headersRead);
    }
};

QTEST_MAIN(WindowWaitsTest)
#include "tst_windowwaits.moc"

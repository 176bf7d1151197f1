// The main window with the offline kinds: a configuration file named on the
// command line is opened and held, a file that cannot be opened is reported,
// the same file opens again in a new connection, and the bundled simulation
// runs.

#include "appglobals.h"
#include "connectionfixture.h"
#include "filefollower.h"
#include "filelocker.h"
#include "hubroitem.h"
#include "mainwindow.h"
#include "masterbench.h"
#include "registerdeviceclasses.h"
#include "testsupport.h"

#include <QFile>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {
bool heldByAnother(const QString &path)
{
    FileLocker probe;
    probe.lockFile(path);
    return !probe.isLocked();
}
} // namespace

class OfflineWindowTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        prepareConnectionTests();
        MainWindow::setDeviceSelection([](MainWindow *) {});
    }
    void cleanupTestCase() { MainWindow::setDeviceSelection(nullptr); }

    void opensConfigurationFiles()
    {
        MessageBoxRecorder boxes;
        const QString path = dir.filePath(QStringLiteral("demo.conf"));
        QVERIFY(QFile::copy(QStringLiteral(TANDREL_EXAMPLES_DIR "/demo.conf"), path));

        // Named on the command line: opened once the window is up.
        auto window = std::make_unique<MainWindow>(path);
        QTRY_VERIFY(heldByAnother(path));

        // Opened again from the window: the old connection lets go first.
        QVERIFY(window->establishConnection(File, path));
        QVERIFY(heldByAnother(path));

        // A file that does not open is reported, with the reason.
        QSignalSpy failed(window.get(), &MainWindow::establishFailed);
        QVERIFY(!window->establishConnection(File, dir.filePath(QStringLiteral("absent.conf"))));
        QCOMPARE(failed.count(), 1);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().title, QStringLiteral("Configuration file opening"));
        QCOMPARE(boxes.last().text, QStringLiteral("Error while configuration file opening"));
        QVERIFY(boxes.last().informativeText.contains(QLatin1String("absent.conf")));
        QVERIFY(!heldByAnother(path));

        window.reset();
        QVERIFY(!heldByAnother(path));
    }

    void runsTheBundledSimulation()
    {
        MessageBoxRecorder boxes;
        MainWindow window{QString()};
        QVERIFY(window.establishConnection(Simulation, QStringLiteral(TANDREL_EXAMPLES_DIR "/demo.sim")));
        QVERIFY(!window.establishConnection(Simulation, dir.filePath(QStringLiteral("absent.sim"))));
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().title, QStringLiteral("Simulation file opening"));
    }

    // The followed simulation file is gone for longer than the quick retries:
    // the window says so, and stops saying it once the file is back.
    void showsASimulationNoLongerFollowed()
    {
        FileFollower::setRetryTiming(10, 5);
        MessageBoxRecorder boxes;
        const QString path = dir.filePath(QStringLiteral("followed.sim"));
        QVERIFY(QFile::copy(QStringLiteral(TANDREL_EXAMPLES_DIR "/demo.sim"), path));
        MainWindow window{QString()};
        QVERIFY(window.establishConnection(Simulation, path));
        QStatusBar *status = window.statusBar();
        QCOMPARE(status->currentMessage(), QString());

        QVERIFY(QFile::rename(path, path + QStringLiteral(".away")));
        QTRY_VERIFY(status->currentMessage().contains(QStringLiteral("no longer followed")));
        QVERIFY(status->currentMessage().contains(path));
        QVERIFY(QFile::rename(path + QStringLiteral(".away"), path));
        QTRY_COMPARE(status->currentMessage(), QString());
        QCOMPARE(boxes.count(), 0);
        FileFollower::setRetryTiming(100, 50);
    }
};

QTEST_MAIN(OfflineWindowTest)
#include "tst_offlinewindow.moc"

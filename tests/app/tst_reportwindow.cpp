#include "connection.h"
#include "hubroitem.h"
#include "lqitestmanager.h"
#include "nearbyhubromodel.h"
#include "reportdigest.h"
#include "screenshot.h"
#include "settings.h"
#include "rssitestdock.h"
#include "simdiagnostics.h"
#include "simnearby.h"
#include "startup.h"
#include "systemreport.h"
#include "waitgenerating.h"
#include "windowfixture.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {
WaitGenerating *reportWait()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *wait = qobject_cast<WaitGenerating *>(widget))
            return wait;
    return nullptr;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Files of this process cannot grow beyond `bytes` while it lives.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_before);
        rlimit limited = m_before;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_before); }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_before{};
};

// A window on a master with two radio devices that hears one nearby master.
struct ReportBench : WindowOnMaster
{
    explicit ReportBench(const hubroInfo_t &status = healthyRecord())
        : WindowOnMaster(status), nearby(sim, {nearbyAnswer(12345, 0x0102, 6000, -60, 41, 1)})
    {
        sim.setDevice(simDevice(3, 4));
        sim.setDevice(simDevice(7, 5));
    }
    HubroItem *master() const { return connection()->master(); }
    NearbyHubroModel *nearbyModel() const { return window->findChild<NearbyHubroModel *>(); }
    int starts() const { return requests(PT_NEARBY_HUBRO_INFO_READ_START).size(); }
    int stops() const { return requests(PT_NEARBY_HUBRO_INFO_READ_STOP).size(); }
    // Generates a report and waits for its window.
    WaitGenerating *generate() const
    {
        window->findChild<QAction *>(QStringLiteral("acGenerateReport"))->trigger();
        return reportWait();
    }
    void breakWait(WaitGenerating *wait) const
    {
        QTest::mouseClick(wait->findChild<QPushButton *>(QStringLiteral("pbBreak")), Qt::LeftButton);
    }
    SimNearby nearby;
};
} // namespace

class ReportWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        prepareConnectionTests();
        MainWindow::setDeviceSelection([](MainWindow *) {});
        WaitGenerating::setTickInterval(10);
    }
    void cleanupTestCase() { MainWindow::setDeviceSelection(nullptr); }
    void init()
    {
        MainWindow::setReportWaitTime(300000);
        appSettings.remove(QLatin1String(SettingsKey::ReportFileDir));
    }
    void cleanup()
    {
        if (WaitGenerating *wait = reportWait())
            delete wait;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void reportIsMadeAndChecked_data()
    {
        QTest::addColumn<bool>("broken");
        QTest::newRow("Break") << true;
        QTest::newRow("the time runs out") << false;
    }
    void reportIsMadeAndChecked()
    {
        QFETCH(bool, broken);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("site.rpt"));
        appSettings.setValue(QLatin1String(SettingsKey::ReportFileDir), dir.filePath(QStringLiteral("old.rpt")));
        ReportBench bench;
        QVERIFY(bench.open(2));
        MessageBoxRecorder boxes;
        FileDialogScript files;
        files.answer(path);
        if (!broken)
            MainWindow::setReportWaitTime(1500);

        WaitGenerating *wait = bench.generate();
        QVERIFY(wait && wait->isVisible());
        QCOMPARE(wait->windowModality(), Qt::ApplicationModal);
        // Detection runs during the wait and its rows are live.
        QTRY_VERIFY(bench.master()->hasChannelGroup());
        QCOMPARE(bench.starts(), 1);
        QTRY_COMPARE(bench.nearbyModel()->rowCount(), 1);
        if (broken) {
            screenshot(wait, QStringLiteral("report-wait.png"));
            bench.breakWait(wait);
        }
        QTRY_VERIFY(QFile::exists(path));
        QTRY_VERIFY(!reportWait());

        QCOMPARE(files.requests().size(), 1);
        QCOMPARE(files.requests().first().kind, UiSeams::FileDialogRequest::SaveFile);
        QCOMPARE(files.requests().first().caption, QStringLiteral("Save system report file"));
        QCOMPARE(files.requests().first().directory, dir.filePath(QStringLiteral("old.rpt")));
        QCOMPARE(files.requests().first().filter, QStringLiteral("Report (*.rpt)"));
        QCOMPARE(appSettings.value(QLatin1String(SettingsKey::ReportFileDir)).toString(), path);
        QCOMPARE(boxes.count(), 0);

        // Detection is off again: the report switched it on.
        QTRY_COMPARE(bench.stops(), 1);
        QTRY_VERIFY(!bench.master()->hasChannelGroup());

        const QByteArray report = readFile(path);
        QVERIFY(ReportDigest::isOriginal(report));
        const QString body = QString::fromUtf8(report.left(report.size() - ReportDigest::TrailerSize));
        const QString head = QApplication::applicationDisplayName() + QLatin1Char('\t')
                             + QApplication::applicationVersion() + QLatin1Char('\n')
                             + QApplication::applicationFilePath() + QLatin1Char('\n');
        QVERIFY(body.startsWith(head));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"))
                    .match(body.mid(head.size(), 19))
                    .hasMatch());
        QVERIFY(body.mid(head.size() + 19).startsWith(bench.master()->infoText()));
        const QString devices = QStringLiteral("\n\n----------- Devices -----------\n") + bench.device(3)->infoText()
                                + QStringLiteral("\n\n----------------------\n") + bench.device(7)->infoText()
                                + QStringLiteral("\n\n----------------------\n")
                                + QStringLiteral("\n\n----------- Radio Controller Finder ------------\n");
        QVERIFY(body.contains(devices));
        const int nearby = body.indexOf(devices) + devices.size();
        QVERIFY(body.mid(nearby).startsWith(QStringLiteral("Type:")));
        QVERIFY(body.mid(nearby).contains(QLatin1String("12345")));
        // The link-quality section closes it, empty until a test has run.
        QVERIFY(body.endsWith(QStringLiteral("\n\n\n\n\n----------- Link quality test -------------\n")));

        // The check, starting at the report just written.
        files.answer(path);
        bench.window->findChild<QAction *>(QStringLiteral("acCheckReport"))->trigger();
        QCOMPARE(files.requests().last().kind, UiSeams::FileDialogRequest::OpenFile);
        QCOMPARE(files.requests().last().caption, QStringLiteral("System report file"));
        QCOMPARE(files.requests().last().directory, path);
        QCOMPARE(files.requests().last().filter, QStringLiteral("Report (*.rpt)"));
        QCOMPARE(boxes.last().kind, UiSeams::MessageBoxRequest::Information);
        QCOMPARE(boxes.last().title, QStringLiteral("Report check"));
        QCOMPARE(boxes.last().text, QStringLiteral("Report file is original"));
        // It promises no more than a digest without a key gives.
        QVERIFY(boxes.last().informativeText.contains(QLatin1String("by accident")));
    }

    // A name given without a suffix gets ".rpt", and a report of that name is
    // replaced only when the user agrees.
    void reportNameGetsItsSuffix_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("written");
        QTest::newRow("new name") << false << int(QMessageBox::No) << true;
        QTest::newRow("existing, replaced") << true << int(QMessageBox::Yes) << true;
        QTest::newRow("existing, kept") << true << int(QMessageBox::No) << false;
    }
    void reportNameGetsItsSuffix()
    {
        QFETCH(bool, exists);
        QFETCH(int, answer);
        QFETCH(bool, written);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("site.rpt"));
        if (exists) {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old report");
        }
        ReportBench bench;
        QVERIFY(bench.open(2));
        MessageBoxRecorder boxes;
        boxes.answer(answer);
        FileDialogScript files;
        files.answer(dir.filePath(QStringLiteral("site")));
        bench.window->makeReport();

        QCOMPARE(boxes.count(), exists ? 1 : 0);
        if (exists) {
            QCOMPARE(boxes.last().title, QStringLiteral("Save system report file"));
            QCOMPARE(boxes.last().text,
                     QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(QDir::toNativeSeparators(path)));
            QCOMPARE(boxes.last().defaultButton, QMessageBox::No);
        }
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("site"))));
        QCOMPARE(checkSystemReportFile(path).verdict == ReportDigest::Verdict::Original, written);
        QCOMPARE(readFile(path) == "old report", exists && !written);
        if (written)
            QCOMPARE(appSettings.value(QLatin1String(SettingsKey::ReportFileDir)).toString(), path);
    }

    void checkVerdicts_data()
    {
        QTest::addColumn<int>("change"); // byte to flip; -1 none, -2 no file
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::newRow("original") << -1 << int(UiSeams::MessageBoxRequest::Information)
                                  << QStringLiteral("Report file is original");
        QTest::newRow("first byte") << 0 << int(UiSeams::MessageBoxRequest::Warning)
                                    << QStringLiteral("Report file was altered");
        QTest::newRow("a trailer digit") << 300 << int(UiSeams::MessageBoxRequest::Warning)
                                         << QStringLiteral("Report file was altered");
        QTest::newRow("no file") << -2 << int(UiSeams::MessageBoxRequest::WarningDetails)
                                 << QStringLiteral("Failed to open the file");
    }
    void checkVerdicts()
    {
        QFETCH(int, change);
        QFETCH(int, kind);
        QFETCH(QString, text);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("r.rpt"));
        if (change != -2) {
            QByteArray report = ReportDigest::sign(QByteArray(200, 'x'));
            if (change >= 0)
                report[change] = report.at(change) == '0' ? '1' : '0';
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(report);
        }
        MainWindow window{QString()};
        MessageBoxRecorder boxes;
        FileDialogScript files;
        files.answer(path);
        window.checkReport();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(int(boxes.last().kind), kind);
        QCOMPARE(boxes.last().title, QStringLiteral("Report check"));
        QCOMPARE(boxes.last().text, text);

        files.cancel();
        window.checkReport(); // a cancelled dialog: nothing
        QCOMPARE(boxes.count(), 1);
    }

    void checkRefusesPipesAndHugeFilesAtOnce_data()
    {
        QTest::addColumn<bool>("pipe");
        QTest::addColumn<QString>("reason");
        QTest::newRow("pipe") << true << QStringLiteral("is not a regular file");
        QTest::newRow("1 GiB sparse file") << false << QStringLiteral("is too large");
    }
    void checkRefusesPipesAndHugeFilesAtOnce()
    {
        QFETCH(bool, pipe);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("site.rpt"));
        const QByteArray localPath = QFile::encodeName(path);
        if (pipe) {
            QCOMPARE(::mkfifo(localPath.constData(), 0600), 0);
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(qint64(1) << 30));
        }

        // Should the check wait on the pipe, a writer comes after a while and
        // lets it go, and the test fails instead of hanging.
        std::mutex mutex;
        std::condition_variable checked;
        bool done = false;
        std::atomic<bool> rescued{false};
        std::thread rescuer([&] {
            std::unique_lock<std::mutex> lock(mutex);
            if (checked.wait_for(lock, std::chrono::seconds(30), [&] { return done; }) || !pipe)
                return;
            rescued = true;
            const int fd = ::open(localPath.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        });

        MainWindow window{QString()};
        MessageBoxRecorder boxes;
        FileDialogScript files;
        files.answer(path);
        window.checkReport();
        {
            std::lock_guard<std::mutex> lock(mutex);
            done = true;
        }
        checked.notify_all();
        rescuer.join();

        QVERIFY(!rescued);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(int(boxes.last().kind), int(UiSeams::MessageBoxRequest::WarningDetails));
        QCOMPARE(boxes.last().title, QStringLiteral("Report check"));
        QCOMPARE(boxes.last().text, QStringLiteral("Failed to open the file"));
        QVERIFY2(boxes.last().informativeText.contains(reason), qPrintable(boxes.last().informativeText));
    }

    void nothingWrittenWhenTheDialogIsCancelledOrTheFileCannotBeWritten()
    {
        QTemporaryDir dir;
        ReportBench bench;
        QVERIFY(bench.open(2));
        MessageBoxRecorder boxes;
        FileDialogScript files;
        files.cancel();
        bench.breakWait(bench.generate());
        QTRY_VERIFY(!reportWait());
        QCOMPARE(files.requests().size(), 1);
        QCOMPARE(boxes.count(), 0);
        QVERIFY(!appSettings.contains(QLatin1String(SettingsKey::ReportFileDir)));

        // A folder that is a file: the report cannot be opened there.
        QFile blocker(dir.filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString unwritable = dir.filePath(QStringLiteral("blocker/site.rpt"));
        files.answer(unwritable);
        bench.breakWait(bench.generate());
        QTRY_COMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().kind, UiSeams::MessageBoxRequest::Warning);
        QCOMPARE(boxes.last().title, QStringLiteral("Save system report file"));
        QVERIFY(boxes.last().text.startsWith(QStringLiteral("Failed to write the report file ") + unwritable));
        QVERIFY(!QFile::exists(unwritable));
        QVERIFY(!appSettings.contains(QLatin1String(SettingsKey::ReportFileDir)));
    }

    // Under a file-size limit the program is not killed (start-up ignores
    // SIGXFSZ): the write fails and is reported, the old report stays whole.
    void fileSizeLimitIsAWriteError()
    {
        ignoreFileSizeSignal();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("site.rpt"));
        const QByteArray old("an older report\n");
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(old), qint64(old.size()));
        }
        ReportBench bench;
        QVERIFY(bench.open(2));
        MessageBoxRecorder boxes;
        FileDialogScript files;
        files.answer(path);
        WaitGenerating *wait = bench.generate();
        QVERIFY(wait);
        {
            const FileSizeLimit limit(200); // below any report
            bench.breakWait(wait);
            QTRY_COMPARE(boxes.count(), 1);
        }

        QCOMPARE(boxes.last().title, QStringLiteral("Save system report file"));
        QVERIFY2(boxes.last().text.startsWith(QStringLiteral("Failed to write the report file ") + path),
                 qPrintable(boxes.last().text));
        QCOMPARE(readFile(path), old);
    }

    void disconnectingDropsTheWait()
    {
        ReportBench bench;
        QVERIFY(bench.open(2));
        MessageBoxRecorder boxes;
        FileDialogScript files;
        const QPointer<WaitGenerating> wait = bench.generate();
        QTRY_VERIFY(bench.master()->hasChannelGroup());
        bench.connection()->forceDisconnect();
        QTRY_VERIFY(!wait);
        QTest::qWait(50);
        QVERIFY(files.requests().isEmpty());
        QCOMPARE(boxes.count(), 0);
        QCOMPARE(bench.stops(), 0);
    }

    void restartLeavesNoMasterAtTheEnd()
    {
        ReportBench bench;
        QVERIFY(bench.open(2));
        MainWindow::setReconnectWaitMargin(60000);
        MessageBoxRecorder boxes;
        FileDialogScript files;
        WaitGenerating *wait = bench.generate();
        QTRY_VERIFY(bench.master()->hasChannelGroup());
        QSignalSpy restarted(bench.connection(), &Connection::masterRestarted);
        bench.connection()->restartMaster(50);
        QVERIFY(restarted.wait(5000));
        bench.sim.setSilent(true); // does not come back
        QVERIFY(!bench.connection()->master());
        QVERIFY(reportWait() == wait); // no masterDisconnected: the wait goes on

        bench.breakWait(wait);
        QTRY_COMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().kind, UiSeams::MessageBoxRequest::Warning);
        QCOMPARE(boxes.last().text, QStringLiteral("The master is not connected. The report was not written."));
        QVERIFY(files.requests().isEmpty());
        MainWindow::setReconnectWaitMargin(2000);
    }

    // The report stops only the detection it started, whenever its start is answered.
    void detectionIsSwitchedOnlyWhenItWasOff_data()
    {
        QTest::addColumn<bool>("alreadyOn");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<int>("startDelay");
        QTest::addColumn<int>("stops");
        QTest::addColumn<bool>("feature6");
        QTest::newRow("already on") << true << false << 0 << 0 << true;
        QTest::newRow("start refused") << false << true << 0 << 0 << true;
        QTest::newRow("broken before the start is answered") << false << false << 50 << 1 << true;
        QTest::newRow("no feature 6: nothing asked") << false << false << 0 << 0 << false;
    }
    void detectionIsSwitchedOnlyWhenItWasOff()
    {
        QFETCH(bool, alreadyOn);
        QFETCH(bool, refused);
        QFETCH(int, startDelay);
        QFETCH(int, stops);
        QFETCH(bool, feature6);
        QTemporaryDir dir;
        hubroInfo_t status = hubro32Record();
        status.wMK2FWVer = feature6 ? 0x0120 : 0x0113; // core 1.32, or 1.19 without feature 6
        ReportBench bench(status);
        QVERIFY(bench.open(2));
        MessageBoxRecorder boxes;
        FileDialogScript files;
        files.answer(dir.filePath(QStringLiteral("r.rpt")));
        if (alreadyOn) {
            bench.master()->startNearbyMasterDetection();
            QTRY_VERIFY(bench.master()->hasChannelGroup());
        }
        bench.nearby.setStartAccepted(!refused);
        bench.nearby.setStartDelay(startDelay);

        bench.breakWait(bench.generate());
        QTRY_VERIFY(QFile::exists(dir.filePath(QStringLiteral("r.rpt"))));
        // Without feature 6 the hint comes and the master is asked nothing.
        QCOMPARE(boxes.count(), feature6 ? 0 : 1);
        if (!feature6)
            QCOMPARE(boxes.last().title, QStringLiteral("Attention!"));
        QTRY_COMPARE(bench.starts(), feature6 ? 1 : 0);
        QTRY_COMPARE(bench.stops(), stops);
        QTest::qWait(100);
        QCOMPARE(bench.stops(), stops);
        QCOMPARE(bench.master()->hasChannelGroup(), alreadyOn);
        if (alreadyOn) { // leave the master as it was found
            bench.master()->stopNearbyMasterDetection();
            QTRY_VERIFY(!bench.master()->hasChannelGroup());
        }
    }

    // Link-quality rows of devices gone with an earlier connection go into
    // the report as they were shown.
    void reportAfterAReconnectKeepsOldLinkQualityRows()
    {
        QTemporaryDir dir;
        ReportBench bench;
        SimDiagnostics levels(bench.sim, LevelTestFamily);
        levels.setPayload(3, [](quint8, int) { return bytesOf({1, 91, -61, -72, -52}); });
        LQITestManager::instance()->run().setPingInterval(5);
        QVERIFY(bench.open(2));
        QTRY_COMPARE(bench.connection()->interface()->pendingCount(), 0);
        MessageBoxRecorder boxes;
        FileDialogScript files;
        const QString toolTip = bench.device(3)->toolTip();
        bench.select({3});
        bench.window->findChild<QAction *>(QStringLiteral("acLQITest"))->trigger();
        auto *dock = bench.window->findChild<RSSITestDock *>();
        QTRY_COMPARE(dock->rows().value(0)->state(), int(WidgetRSSIResult::Done));

        // A new connection: the tested item is gone, its row stays.
        QVERIFY(bench.window->establishConnection(Serial, bench.sim.address()));
        QTRY_VERIFY(bench.window->isMasterConnected());
        QTRY_COMPARE(bench.connection()->devices().size(), 2);
        QVERIFY(!dock->rows().first()->device());

        const QString path = dir.filePath(QStringLiteral("after.rpt"));
        files.answer(path);
        bench.breakWait(bench.generate());
        QTRY_VERIFY(QFile::exists(path));
        const QByteArray report = readFile(path);
        const QString body = QString::fromUtf8(report.left(report.size() - ReportDigest::TrailerSize));
        QVERIFY(body.endsWith(QStringLiteral("\n\n----------- Link quality test -------------\n"
                                             "Radio address: 3.\n%1. Packets: 91/100. Min -72. Avg -61. Max -52\n\n\n")
                                  .arg(toolTip)));
        LQITestManager::instance()->run().setPingInterval(1000);
    }
};

QTEST_MAIN(ReportWindowTest)
#include "tst_reportwindow.moc"

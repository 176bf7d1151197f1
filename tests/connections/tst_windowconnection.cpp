// The main window with a live connection: it makes and holds the connection,
// and tells the user when the link is lost after the master connected.
#include "connectionfixture.h"
#include "mainwindow.h"
#include "mastersim.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {
// Warnings logged while it lives.
class WarningLog
{
public:
    WarningLog() { s_previous = qInstallMessageHandler(&WarningLog::handler); }
    ~WarningLog() { qInstallMessageHandler(s_previous); }
    static int count(const QString &text) { return s_lines.count(text); }

private:
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (type == QtWarningMsg)
            s_lines << message;
        if (s_previous)
            s_previous(type, context, message);
    }
    static inline QtMessageHandler s_previous = nullptr;
    static inline QStringList s_lines;
};
} // namespace

class WindowConnectionTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        prepareConnectionTests();
        MainWindow::setDeviceSelection([](MainWindow *) {});
    }
    void cleanupTestCase() { MainWindow::setDeviceSelection(nullptr); }
    void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    void lostLinkTellsTheUser_data()
    {
        QTest::addColumn<bool>("masterAnswers");
        QTest::addColumn<int>("boxes");
        QTest::newRow("after the master connected") << true << 1;
        QTest::newRow("before the master connected") << false << 0;
    }
    void lostLinkTellsTheUser()
    {
        QFETCH(bool, masterAnswers);
        QFETCH(int, boxes);
        MessageBoxRecorder recorder;
        WarningLog warnings;
        SimMaster sim(healthyRecord());
        sim.setDevice(simDevice(3, 4));
        sim.setSilent(!masterAnswers);
        auto window = std::make_unique<MainWindow>(QString());

        QVERIFY(window->establishConnection(Serial, sim.address()));
        if (masterAnswers) {
            // The sweep follows masterConnected.
            QTRY_VERIFY(sim.fake.receivedCount(PT_GET_DEV_INFO) >= 125);
            sim.setSilent(true);
        }
        const int lost = WarningLog::count(QStringLiteral("Connection lost"));
        QTRY_COMPARE(WarningLog::count(QStringLiteral("Connection lost")), lost + 1);
        QCOMPARE(recorder.count(), boxes);
        if (boxes) {
            QCOMPARE(recorder.last().title, QStringLiteral("Connection lost"));
            QCOMPARE(recorder.last().text, QStringLiteral("Unable to connect to device."));
        }
        // The connection was forced down: nothing is sent any more, and a new
        // connection replaces it.
        SimMaster second(healthyRecord());
        QVERIFY(window->establishConnection(Serial, second.address()));
        QTRY_VERIFY(second.fake.receivedCount(PT_HUBRO_INFO) >= 1);
        window.reset();
        QCOMPARE(recorder.count(), boxes);
    }

    void failedLinkIsReported()
    {
        MainWindow window{QString()};
        QSignalSpy failed(&window, &MainWindow::establishFailed);
        QVERIFY(!window.establishConnection(Serial, QStringLiteral("/nonexistent/tty")));
        QCOMPARE(failed.size(), 1);
    }
};

QTEST_MAIN(WindowConnectionTest)
#include "tst_windowconnection.moc"

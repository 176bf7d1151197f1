// The main window with a live connection: it makes and holds the connection,
// and tells the user when the link is lost after the master connected.
#include "connectionfixture.h"
#include "devicetablemodel.h"
#include "hubroitem.h"
#include "sorteddevicemodel.h"
#include "mainwindow.h"
#include "mastersim.h"

#include <QAbstractItemView>
#include <QAction>
#include <QPointer>
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
        QTest::addColumn<QString>("text");
        QTest::newRow("after the master connected") << true << 1 << "Unable to connect to device.";
        QTest::newRow("before the master connected") << false << 1 << "The link was lost before the master answered.";
    }
    void lostLinkTellsTheUser()
    {
        QFETCH(bool, masterAnswers);
        QFETCH(int, boxes);
        QFETCH(QString, text);
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
            QCOMPARE(recorder.last().text, text);
        }
        QVERIFY(!window->findChild<QAction *>(QStringLiteral("acCloseDevice"))->isEnabled());
        QVERIFY(window->findChild<QAction *>(QStringLiteral("acOpenDevice"))->isEnabled());
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
        MessageBoxRecorder recorder;
        MainWindow window{QString()};
        QSignalSpy failed(&window, &MainWindow::establishFailed);
        QVERIFY(!window.establishConnection(Serial, QStringLiteral("/nonexistent/tty")));
        QCOMPARE(failed.size(), 1);
        QCOMPARE(recorder.count(), 1);
        QCOMPARE(recorder.last().text, QStringLiteral("The port /nonexistent/tty cannot be opened."));
        // The system's reason comes with it.
        QCOMPARE(recorder.last().informativeText, QStringLiteral("No such file or directory"));
        // Nothing is open: only opening is offered.
        QVERIFY(!window.findChild<QAction *>(QStringLiteral("acCloseDevice"))->isEnabled());
        QVERIFY(window.findChild<QAction *>(QStringLiteral("acOpenDevice"))->isEnabled());
    }

    void shortStatusAnswerIsShown()
    {
        MessageBoxRecorder recorder;
        SimMaster sim(healthyRecord());
        sim.truncateStatusAnswer(1);
        MainWindow window{QString()};
        QVERIFY(window.establishConnection(Serial, sim.address()));
        QTRY_COMPARE(recorder.count(), 1);
        QCOMPARE(recorder.last().title, QStringLiteral("Connection lost"));
        QVERIFY(recorder.last().text.startsWith(QStringLiteral("The master's status answer is too short")));
        QVERIFY(!window.isMasterConnected());
        QVERIFY(!window.currentConnection()->interface());
        QVERIFY(!window.findChild<QAction *>(QStringLiteral("acCloseDevice"))->isEnabled());
        QVERIFY(window.findChild<QAction *>(QStringLiteral("acOpenDevice"))->isEnabled());
    }

    // A core update ends with an unsolicited acknowledgement: the master is
    // read again and replaces the old one in the window, its views shown and
    // the old master's row current.
    void masterReadAgainAfterACoreUpdate()
    {
        MessageBoxRecorder recorder;
        SimMaster sim(healthyRecord());
        sim.setDevice(simDevice(3, 4));
        sim.setDevice(simDevice(7, 12));
        MainWindow window{QString()};
        window.show();
        QVERIFY(window.establishConnection(Serial, sim.address()));
        QTRY_VERIFY(window.isMasterConnected());
        QTRY_COMPARE(window.currentConnection()->devices().size(), 2);
        QTRY_COMPARE(window.deviceTableModel()->devices().size(), 3);
        QPointer<HubroItem> oldMaster = window.currentConnection()->master();
        QAbstractItemView *view = window.currentItemView();
        const QModelIndex masterRow = window.sortedDeviceModel()->mapFromSource(
            window.deviceTableModel()->indexOfItem(oldMaster));
        view->setCurrentIndex(masterRow);
        QSignalSpy connected(window.currentConnection(), &Connection::masterConnected);

        const int statusRequests = sim.fake.receivedCount(PT_HUBRO_INFO);
        sim.fake.writeRaw(sim.fake.wrap(0xEE, QByteArray(1, char(PT_FW_UPDATE_ACK))));
        QTRY_VERIFY(sim.fake.receivedCount(PT_HUBRO_INFO) > statusRequests);
        QTRY_COMPARE(connected.size(), 1);
        QTRY_VERIFY(oldMaster.isNull());
        HubroItem *newMaster = window.currentConnection()->master();
        QVERIFY(newMaster);
        QTRY_COMPARE(window.currentConnection()->devices().size(), 2);
        QTRY_COMPARE(window.deviceTableModel()->devices().size(), 3);
        QVERIFY(window.deviceTableModel()->devices().contains(newMaster));
        QVERIFY(window.isMasterConnected());
        QCOMPARE(recorder.count(), 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

QTEST_MAIN(WindowConnectionTest)
#include "tst_windowconnection.moc"

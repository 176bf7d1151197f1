// The window shown while a device updates itself: the user cannot close it,
// its wait runs out with finish(), and it closes and reopens a live
// connection without taking it from its owner.
#include "connectionfixture.h"
#include "mastersim.h"
#include "waitwidget.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMovie>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

class WaitWidgetTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { prepareConnectionTests(); }
    void cleanup()
    {
        WaitWidget::setTimings(WaitWidget::Timings());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void onlyForceCloseEndsIt()
    {
        auto *w = new WaitWidget(0, nullptr);
        QPointer<WaitWidget> guard(w);
        w->show();
        QCOMPARE(w->windowTitle(), QStringLiteral("Wait widget"));
        QCOMPARE(w->windowModality(), Qt::ApplicationModal);
        QVERIFY(!(w->windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(w->findChild<QLabel *>(QStringLiteral("label"))->text(),
                 QStringLiteral("The device is being updated.\nPlease wait and do not turn off the power."));
        QCOMPARE(w->findChild<QLabel *>(QStringLiteral("lblGif"))->movie()->state(), QMovie::Running);

        QSignalSpy finished(w, &WaitWidget::finish);
        QVERIFY(!w->close()); // the close button, Alt+F4
        QVERIFY(w->isVisible());
        w->forceClose();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!guard);
        QCOMPARE(finished.size(), 0);
    }

    void waitRunsOut()
    {
        WaitWidget::Timings t;
        t.wait = 30;
        WaitWidget::setTimings(t);
        auto *w = new WaitWidget(0, nullptr);
        QPointer<WaitWidget> guard(w);
        QSignalSpy finished(w, &WaitWidget::finish);
        w->show();
        QVERIFY(finished.wait(2000));
        QTRY_VERIFY(!guard);
        QCOMPARE(finished.size(), 1);
    }

    void reopensTheConnection_data()
    {
        QTest::addColumn<int>("deviceType");
        QTest::addColumn<int>("delay");
        QTest::newRow("expander") << 0 << 20;
        QTest::newRow("slow device type 41") << 41 << 120;
    }
    void reopensTheConnection()
    {
        QFETCH(int, deviceType);
        QFETCH(int, delay);
        WaitWidget::Timings t;
        t.reestablish = 20;
        t.reestablishSlow = 120;
        WaitWidget::setTimings(t);

        SimMaster sim(healthyRecord(), FakeMaster::Layout::KastrelAt4);
        DeviceConnection connection;
        QSignalSpy connected(&connection, &Connection::masterConnected);
        QVERIFY(connection.connectToMaster(Kastrel, sim.address(), MasterTrombel));
        QVERIFY(connected.wait(3000));

        auto *w = new WaitWidget(deviceType, &connection);
        QPointer<WaitWidget> guard(w);
        QSignalSpy establish(w, &WaitWidget::establish);
        QElapsedTimer clock;
        clock.start();
        w->onMasterConnected();
        QVERIFY(!connection.isConnected());
        QVERIFY(establish.wait(3000));
        QVERIFY(clock.elapsed() >= delay);
        QCOMPARE(establish.first().at(0).value<ConnectionType>(), Kastrel);
        // The whole wired-bus address, "port:bus".
        QCOMPARE(establish.first().at(1).toString(), sim.address());
        QCOMPARE(establish.first().at(2).value<MasterType>(), MasterTrombel);
        // The window stays; the connection is still its owner's.
        QVERIFY(guard);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(connection.connectionType(), Kastrel);
        w->forceClose();
    }

    void withoutConnectionItCloses()
    {
        auto *w = new WaitWidget(0, nullptr);
        QPointer<WaitWidget> guard(w);
        QSignalSpy establish(w, &WaitWidget::establish);
        w->show();
        w->onMasterConnected();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!guard);
        QCOMPARE(establish.size(), 0);
    }
};

QTEST_MAIN(WaitWidgetTest)
#include "tst_waitwidget.moc"

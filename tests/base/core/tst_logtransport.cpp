#include "logging.h"

#include <QCoreApplication>
#include <QThread>
#include <QtTest>

// Log lines raised in any thread reach the log view's filter as a signal on
// the GUI thread, in the order they were raised, and other events pass.
class LogTransportTest : public QObject
{
    Q_OBJECT
private slots:
    void linesFromWorkerThreads()
    {
        QCoreApplication::sendPostedEvents();
        ZorvoLog::EventFilter filter;
        QCoreApplication::instance()->installEventFilter(&filter);
        QList<QThread *> receivingThreads;
        QStringList messages;
        connect(&filter, &ZorvoLog::EventFilter::newMessage, this, [&](int, const QString &message) {
            receivingThreads << QThread::currentThread();
            messages << message;
        });
        qInstallMessageHandler(logMessageHandler);

        QThread *worker = QThread::create([] {
            for (int i = 0; i < 20; ++i)
                qWarning("worker line %d", i);
        });
        worker->start();
        QVERIFY(worker->wait(5000));
        delete worker;
        qInstallMessageHandler(nullptr);

        QTRY_COMPARE(messages.size(), 20);
        for (int i = 0; i < 20; ++i) {
            QCOMPARE(messages.at(i), QStringLiteral("worker line %1").arg(i));
            QCOMPARE(receivingThreads.at(i), QThread::currentThread());
        }
        QCoreApplication::instance()->removeEventFilter(&filter);
    }

    void otherEventsPass()
    {
        ZorvoLog::EventFilter filter;
        QSignalSpy spy(&filter, &ZorvoLog::EventFilter::newMessage);
        QEvent other(QEvent::User);
        QVERIFY(!filter.eventFilter(QCoreApplication::instance(), &other));
        ZorvoLog::Event log(ZorvoLog::Warning, QStringLiteral("text"));
        QVERIFY(filter.eventFilter(QCoreApplication::instance(), &log));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 1);
        QCOMPARE(spy.at(0).at(1).toString(), QStringLiteral("text"));
    }
};

QTEST_GUILESS_MAIN(LogTransportTest)
#include "tst_logtransport.moc"

#include "logging.h"

#include <QCoreApplication>
#include <QThread>
#include <QtTest>

#include <memory>
#include <vector>

namespace {
// Records the log events that reach the application object.
class PostedLines : public QObject
{
public:
    QStringList messages;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == ZorvoLog::Event::EventType)
            messages << static_cast<ZorvoLog::Event *>(event)->message;
        return false;
    }
};
} // namespace

// Log lines raised in any thread reach the log view's filter as a signal on
// the GUI thread, in the order they were raised, and other events pass; lines
// no view shows are not posted.
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

    void postedOnlyWhenShown_data()
    {
        QTest::addColumn<QList<int>>("shownLevels"); // of the live filters; empty: none lives
        QTest::addColumn<bool>("fromWorker");
        QTest::addColumn<QStringList>("posted");
        QTest::newRow("warnings shown, worker") << QList<int>{ZorvoLog::Warning} << true << QStringList{"c", "w"};
        QTest::newRow("highest of two filters") << QList<int>{ZorvoLog::Error, ZorvoLog::Debug} << true
                                                << QStringList{"c", "w", "d"};
        QTest::newRow("errors shown, GUI thread") << QList<int>{ZorvoLog::Error} << false << QStringList{"c"};
        QTest::newRow("no filter, GUI thread") << QList<int>{} << false << QStringList{"c", "w", "d"};
        QTest::newRow("no filter, worker") << QList<int>{} << true << QStringList{};
    }
    void postedOnlyWhenShown()
    {
        QFETCH(QList<int>, shownLevels);
        QFETCH(bool, fromWorker);
        QFETCH(QStringList, posted);

        QCoreApplication::sendPostedEvents();
        std::vector<std::unique_ptr<ZorvoLog::EventFilter>> filters;
        for (const int level : shownLevels) {
            filters.push_back(std::make_unique<ZorvoLog::EventFilter>());
            filters.back()->setShownLevel(level);
        }
        PostedLines lines;
        QCoreApplication::instance()->installEventFilter(&lines);
        qInstallMessageHandler(logMessageHandler);
        const auto raise = [] {
            qCritical("c");
            qWarning("w");
            qDebug("d");
        };
        if (fromWorker) {
            QThread *worker = QThread::create(raise);
            worker->start();
            QVERIFY(worker->wait(5000));
            delete worker;
        } else {
            raise();
        }
        qInstallMessageHandler(nullptr);
        QCoreApplication::sendPostedEvents(); // the handler has posted all it posts
        QCOMPARE(lines.messages, posted);
        QCoreApplication::instance()->removeEventFilter(&lines);
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

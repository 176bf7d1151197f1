#include "logging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QtTest>

class LoggingTest : public QObject
{
    Q_OBJECT

    QString readDay(const QDate &day)
    {
        QFile f(ZorvoLog::logFilePath(day));
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
            return QString();
        return QString::fromUtf8(f.readAll());
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Zorvo"));
        QCoreApplication::setApplicationName(QStringLiteral("Zentar Configurator")); // spaces are dropped
    }

    void cleanup()
    {
        qInstallMessageHandler(nullptr);
        ZorvoLog::setClock({});
        QDir(ZorvoLog::logDirectory()).removeRecursively();
    }

    void folderAndLineFormat()
    {
        const QString base = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation).value(0);
        QCOMPARE(ZorvoLog::logDirectory(), base + QStringLiteral("/Zorvo/ZentarConfigurator/logs"));
        QVERIFY(!QDir(ZorvoLog::logDirectory()).exists());

        const QDateTime t(QDate(2026, 3, 4), QTime(5, 6, 7));
        ZorvoLog::setClock([t] { return t; });
        qInstallMessageHandler(logMessageHandler);
        qDebug("first");
        qWarning() << "second" << 2;
        qCritical("third");
        qInfo("fourth – non-ASCII ёж");

        QCOMPARE(readDay(t.date()),
                 QStringLiteral("2026-03-04T05:06:07> DEBUG   : [] first\n"
                                "2026-03-04T05:06:07> WARNING : [] second 2\n"
                                "2026-03-04T05:06:07> CRITICAL: [] third\n"
                                "2026-03-04T05:06:07> INFO    : [] fourth – non-ASCII ёж\n"));
    }

    void midnightSplitsFiles()
    {
        QDateTime t(QDate(2026, 12, 31), QTime(23, 59, 59));
        ZorvoLog::setClock([&t] { return t; });
        qInstallMessageHandler(logMessageHandler);
        qDebug("before");
        t = QDateTime(QDate(2027, 1, 1), QTime(0, 0, 0));
        qDebug("after");
        QVERIFY(readDay(QDate(2026, 12, 31)).endsWith(QStringLiteral("[] before\n")));
        QVERIFY(readDay(QDate(2027, 1, 1)).startsWith(QStringLiteral("2027-01-01T00:00:00> DEBUG   : [] after")));
    }

    // The folder follows what names it, also after messages were written,
    // and is made again when it was removed meanwhile.
    void folderFollowsItsNames()
    {
        const QDateTime t(QDate(2026, 5, 6), QTime(7, 8, 9));
        ZorvoLog::setClock([t] { return t; });
        qInstallMessageHandler(logMessageHandler);
        qDebug("here");
        QVERIFY(readDay(t.date()).endsWith(QStringLiteral("[] here\n")));

        QTemporaryDir other;
        const QByteArray oldHome = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", other.path().toLocal8Bit());
        QCoreApplication::setApplicationName(QStringLiteral("Other"));
        qDebug("there");
        const QString otherFile = other.path() + QStringLiteral("/Zorvo/Other/logs/2026-05-06");
        QVERIFY(QFile::exists(otherFile));
        QDir(other.path() + QStringLiteral("/Zorvo")).removeRecursively();
        qDebug("again");
        QFile again(otherFile);
        QVERIFY(again.open(QIODevice::ReadOnly));
        QVERIFY(again.readAll().endsWith("[] again\n"));

        if (oldHome.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", oldHome);
        QCoreApplication::setApplicationName(QStringLiteral("Zentar Configurator"));
        qDebug("back");
        QCOMPARE(readDay(t.date()).count(QStringLiteral("[] ")), 2);
    }

    void unknownTypeAndContext()
    {
        const QDateTime t(QDate(2026, 1, 2), QTime(3, 4, 5));
        ZorvoLog::setClock([t] { return t; });
        QMessageLogContext ctx("file.cpp", 12, "void MainWindow::deviceOpen(int)", "default");
        // Qt itself never hands an unknown type to a handler: call it directly.
        logMessageHandler(QtMsgType(5), ctx, QStringLiteral("odd"));
        QCOMPARE(readDay(t.date()), QStringLiteral("2026-01-02T03:04:05>: [MainWindow::deviceOpen] odd\n"));
    }

    void functionNames_data()
    {
        QTest::addColumn<QByteArray>("function");
        QTest::addColumn<QString>("reduced");
        QTest::newRow("signature") << QByteArray("void MainWindow::deviceOpen(int)") << "MainWindow::deviceOpen";
        QTest::newRow("no paren, no space") << QByteArray("plainName") << "plainName";
        QTest::newRow("no paren, spaces") << QByteArray("static int a::b") << "a::b";
        QTest::newRow("empty") << QByteArray() << "";
    }
    void functionNames()
    {
        QFETCH(QByteArray, function);
        QFETCH(QString, reduced);
        QCOMPARE(ZorvoLog::reduceFunctionName(function.isNull() ? nullptr : function.constData()), reduced);
    }

    void eventsReachTheFilter()
    {
        QCoreApplication::sendPostedEvents(); // events of earlier tests
        ZorvoLog::EventFilter filter;
        QCoreApplication::instance()->installEventFilter(&filter);
        QSignalSpy spy(&filter, &ZorvoLog::EventFilter::newMessage);
        qInstallMessageHandler(logMessageHandler);
        qInfo("i");
        qCritical("c");
        qWarning("w");
        qDebug("d");
        qInstallMessageHandler(nullptr); // the handler's own echo must not come back into it
        logMessageHandler(QtMsgType(5), QMessageLogContext(), QStringLiteral("five"));
        QTRY_COMPARE(spy.count(), 5);
        const QList<int> levels{3, 0, 1, 2, 5};
        for (int i = 0; i < levels.size(); ++i)
            QCOMPARE(spy.at(i).at(0).toInt(), levels.at(i));
        QCOMPARE(spy.at(4).at(1).toString(), QStringLiteral("five"));
        QCoreApplication::instance()->removeEventFilter(&filter);
    }

    void unwritableFolderStillPostsEvent()
    {
        // A file where the folder should be: the line is lost, the event is not.
        const QString base = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation).value(0);
        QDir(base + QStringLiteral("/Zorvo/ZentarConfigurator")).removeRecursively();
        QDir(base).mkpath(QStringLiteral("Zorvo"));
        QFile blocker(base + QStringLiteral("/Zorvo/ZentarConfigurator"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();

        QCoreApplication::sendPostedEvents();
        ZorvoLog::EventFilter filter;
        QCoreApplication::instance()->installEventFilter(&filter);
        QSignalSpy spy(&filter, &ZorvoLog::EventFilter::newMessage);
        qInstallMessageHandler(logMessageHandler);
        qDebug("lost line");
        QTRY_COMPARE(spy.count(), 1);
        QCoreApplication::instance()->removeEventFilter(&filter);
        QFile::remove(blocker.fileName());
    }
};

QTEST_GUILESS_MAIN(LoggingTest)
#include "tst_logging.moc"

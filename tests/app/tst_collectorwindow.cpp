// The main window and its session collector: the collector runs while a
// master is connected, and a session file that cannot be used is reported
// once, with SQLite's reason, and left as it is.

#include "connectionfixture.h"
#include "mainwindow.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QtTest>

class CollectorWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        prepareConnectionTests();
        MainWindow::setDeviceSelection([](MainWindow *) {});
    }
    void cleanupTestCase() { MainWindow::setDeviceSelection(nullptr); }

    void unusableSessionFile()
    {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/session.sqlite");
        const QByteArray garbage(5000, 'g');
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(garbage) == garbage.size());
        }
        MessageBoxRecorder boxes;
        MainWindow window{QString()};
        QVERIFY(window.establishConnection(Simulation, QStringLiteral(TANDREL_EXAMPLES_DIR "/demo.sim")));
        QTRY_VERIFY(window.isCollectorRunning());
        QTRY_COMPARE(boxes.count(), 1);
        QCoreApplication::processEvents();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().title, QStringLiteral("SQLite database open"));
        QCOMPARE(boxes.last().text, QStringLiteral("SQLite database open error"));
        QCOMPARE(boxes.last().informativeText, QStringLiteral("file is not a database"));

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), garbage);
    }
};

QTEST_MAIN(CollectorWindowTest)
#include "tst_collectorwindow.moc"

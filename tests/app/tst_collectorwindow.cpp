// The main window and its session collector: the collector runs while a
// master is connected, and a damaged session file is reported once, by its
// name, with the offer to set it aside.

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

    // A damaged session file: one question that names it; set aside, it is
    // renamed whole and a new file records; refused, it stays as it was.
    void damagedSessionFile_data()
    {
        QTest::addColumn<bool>("setAside");
        QTest::newRow("set aside") << true;
        QTest::newRow("refused") << false;
    }
    void damagedSessionFile()
    {
        QFETCH(bool, setAside);
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/session.sqlite");
        const QByteArray garbage(5000, 'g');
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(garbage) == garbage.size());
        }
        const auto asideFiles = [&folder] {
            return QDir(folder).entryList({QStringLiteral("session-damaged-*.sqlite")}, QDir::Files);
        };
        QVERIFY(asideFiles().isEmpty());
        const auto fileBytes = [](const QString &name) {
            QFile file(name);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        MessageBoxRecorder boxes;
        boxes.answer(setAside ? QMessageBox::Yes : QMessageBox::No);
        {
            MainWindow window{QString()};
            QVERIFY(window.establishConnection(Simulation, QStringLiteral(TANDREL_EXAMPLES_DIR "/demo.sim")));
            QTRY_VERIFY(window.isCollectorRunning());
            QTRY_COMPARE(boxes.count(), 1);
            const UiSeams::MessageBoxRequest question = boxes.last();
            QCOMPARE(question.kind, UiSeams::MessageBoxRequest::WarningQuestion);
            QCOMPARE(question.title, QStringLiteral("SQLite database"));
            QCOMPARE(question.text, QStringLiteral("The measurement file %1 is damaged: file is not a database")
                                        .arg(QDir::toNativeSeparators(path)));
            QVERIFY2(question.informativeText.contains(QLatin1String("session-damaged-")),
                     qPrintable(question.informativeText));
            QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No);
            QCOMPARE(question.renamedButton, QMessageBox::Yes);
            QCOMPARE(question.renamedText, QStringLiteral("Set aside"));
            QCOMPARE(question.defaultButton, QMessageBox::Yes);

            if (setAside) {
                QTRY_COMPARE(asideFiles().size(), 1);
                QCOMPARE(fileBytes(folder + QLatin1Char('/') + asideFiles().first()), garbage);
                QVERIFY(question.informativeText.contains(asideFiles().first()));
                QTRY_VERIFY(fileBytes(path).startsWith("SQLite format 3"));
            } else {
                QCoreApplication::processEvents();
                QCOMPARE(fileBytes(path), garbage);
                QVERIFY(asideFiles().isEmpty());
            }
        } // the window goes, and its session ends
        QCOMPARE(boxes.count(), 1);
        if (!setAside)
            QCOMPARE(fileBytes(path), garbage);
        QFile::remove(path);
        for (const QString &name : asideFiles())
            QFile::remove(folder + QLatin1Char('/') + name);
    }
};

QTEST_MAIN(CollectorWindowTest)
#include "tst_collectorwindow.moc"

// The date-range backup window with the session collector in its thread:
// the range it sends, the rows the backup holds, and the outcomes shown.

#include "collectorrig.h"
#include "datetimerange.h"
#include "testsupport.h"

#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <QtTest>

class TestDateTimeRange : public QObject
{
    Q_OBJECT

    // Session rows of one value table at 08:00:00.000, 08:00:01.000, ...
    void fillSession(SessionRig &rig, int rows)
    {
        Reader session(sessionPath(), true);
        session.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS Device (id INTEGER PRIMARY KEY AUTOINCREMENT, type INTEGER, serial INTEGER, created TEXT)"));
        session.exec(QStringLiteral("INSERT INTO Device (type, serial, created) VALUES (4, 7, '2026-03-02 08:00:00.000')"));
        session.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS UsedField (id INTEGER PRIMARY KEY AUTOINCREMENT, device INTEGER, name TEXT)"));
        session.exec(QStringLiteral("INSERT INTO UsedField (device, name) VALUES (7, 'gpRssi')"));
        session.exec(QStringLiteral("CREATE TABLE gpRssi (id INTEGER PRIMARY KEY AUTOINCREMENT, device INTEGER, value REAL, created TEXT)"));
        for (int i = 0; i < rows; ++i)
            session.exec(QStringLiteral("INSERT INTO gpRssi (device, value, created) VALUES (7, %1, '2026-03-02 08:00:%2.000')")
                             .arg(i)
                             .arg(i, 2, 10, QLatin1Char('0')));
        // The collector learns of the tables the test made.
        QMetaObject::invokeMethod(rig.collector, "openDatabase", Qt::BlockingQueuedConnection,
                                  Q_ARG(QString, sessionPath()));
    }

    DateTimeRange *window(SessionRig &rig, const QString &folder)
    {
        auto *range = new DateTimeRange(rig.collector, folder);
        range->setStartDate(QDate(2026, 3, 2));
        range->setStartTime(QTime(8, 0, 2));
        range->setEndDate(QDate(2026, 3, 2));
        range->setEndTime(QTime(8, 0, 6));
        range->show();
        return range;
    }

private slots:
    void initTestCase() { initTestResources(); }

    void saveNeedsStartBeforeEnd()
    {
        DateTimeRange range(nullptr, QStringLiteral("/tmp"));
        auto *save = range.findChild<QPushButton *>(QStringLiteral("pbSave"));
        range.setStartDate(QDate(2026, 3, 2));
        range.setEndDate(QDate(2026, 3, 2));
        range.setStartTime(QTime(8, 5, 3));
        range.setEndTime(QTime(8, 5, 3));
        QVERIFY(!save->isEnabled()); // equal
        range.setEndTime(QTime(8, 5, 2));
        QVERIFY(!save->isEnabled()); // after
        range.setEndDate(QDate(2026, 3, 3)); // the date alone
        QVERIFY(save->isEnabled());
        QCOMPARE(range.startText(), QStringLiteral("2026-03-02 08:05:03.000"));
        QCOMPARE(range.endText(), QStringLiteral("2026-03-03 08:05:02.000"));
    }

    void backupHoldsTheRowsInside()
    {
        MessageBoxRecorder boxes;
        QTemporaryDir folder;
        SessionRig rig;
        QVERIFY(!rig.start().isEmpty());
        fillSession(rig, 10);
        QPointer<DateTimeRange> range = window(rig, folder.path());
        range->findChild<QPushButton *>(QStringLiteral("pbSave"))->click();
        QTRY_VERIFY(!range);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().kind, UiSeams::MessageBoxRequest::Information);
        QCOMPARE(boxes.last().text, QStringLiteral("Measurements saved"));
        const QStringList made = QDir(folder.path()).entryList({QStringLiteral("backup*.sqlite")});
        QCOMPARE(made.size(), 1);
        Reader backup(folder.filePath(made.first()));
        // The limits are exclusive: 08:00:03 .. 08:00:05.
        QCOMPARE(backup.rows(QStringLiteral("SELECT value FROM gpRssi ORDER BY id")),
                 (QList<QVariantList>{{3.0}, {4.0}, {5.0}}));
        QCOMPARE(backup.count(QStringLiteral("Device")), 1);
    }

    void unwritableFolder()
    {
        MessageBoxRecorder boxes;
        SessionRig rig;
        QVERIFY(!rig.start().isEmpty());
        DateTimeRange *range = window(rig, QStringLiteral("/proc/no-such-folder"));
        QPointer<DateTimeRange> guard(range);
        auto *top = range->findChild<QLabel *>(QStringLiteral("lblTop"));
        range->findChild<QPushButton *>(QStringLiteral("pbSave"))->click();
        QTRY_COMPARE(top->text(), QStringLiteral("Can't open database for backup"));
        QVERIFY(range->isEnabled());
        QCOMPARE(boxes.count(), 0);
        range->close();
    }

    void failedCopyWarns()
    {
        MessageBoxRecorder boxes;
        QTemporaryDir folder;
        SessionRig rig;
        QVERIFY(!rig.start().isEmpty());
        fillSession(rig, 10);
        QPointer<DateTimeRange> range = window(rig, folder.path());
        // The copy fails: the backup file is taken away under the collector.
        QObject::connect(rig.collector, &DeviceInfoCollector::backupConnectionNameReceived, rig.collector,
                         [&](const QString &name) {
                             if (!name.isEmpty())
                                 emit rig.collector->backupFailed(name, QStringLiteral("disk I/O error"));
                         }, Qt::DirectConnection);
        range->findChild<QPushButton *>(QStringLiteral("pbSave"))->click();
        QTRY_VERIFY(!range);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().kind, UiSeams::MessageBoxRequest::Warning);
        QCOMPARE(boxes.last().title, QStringLiteral("Save measurements"));
        QCOMPARE(boxes.last().text, QStringLiteral("Measurements not saved: disk I/O error"));
    }
};

QTEST_MAIN(TestDateTimeRange)
#include "tst_datetimerange.moc"

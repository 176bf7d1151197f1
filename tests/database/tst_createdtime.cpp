// The reader of the `created` texts against QDateTime::fromString, over a
// year of times in a zone with daylight-saving changes.

#include "createdtime.h"

#include <QDateTime>
#include <QtTest>

#include <ctime>

class TestCreatedTime : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("TZ", "Europe/Berlin");
        tzset();
    }

    void sameAsFromStringOverAYear()
    {
        const QString format = QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz");
        CreatedTimeReader reader;
        const qint64 start = QDateTime(QDate(2026, 1, 1), QTime(0, 0)).toMSecsSinceEpoch();
        const qint64 end = QDateTime(QDate(2027, 1, 1), QTime(0, 0)).toMSecsSinceEpoch();
        int checked = 0;
        // Every 7 minutes 13.123 s, and each second of the hours around the changes.
        QList<qint64> times;
        for (qint64 ms = start; ms < end; ms += 433123)
            times << ms;
        for (const QDateTime &change : {QDateTime(QDate(2026, 3, 29), QTime(0, 30)), QDateTime(QDate(2026, 10, 25), QTime(0, 30))}) {
            for (qint64 ms = change.toMSecsSinceEpoch(); ms < change.toMSecsSinceEpoch() + 4 * 3600000; ms += 997)
                times << ms;
        }
        for (qint64 ms : qAsConst(times)) {
            const QString text = QDateTime::fromMSecsSinceEpoch(ms).toString(format);
            qint64 seconds = 0;
            QVERIFY2(reader.read(text, &seconds), qPrintable(text));
            const qint64 expected = QDateTime::fromString(text, format).toMSecsSinceEpoch() / 1000;
            if (seconds != expected)
                QFAIL(qPrintable(QStringLiteral("%1: %2 instead of %3").arg(text).arg(seconds).arg(expected)));
            ++checked;
        }
        QVERIFY(checked > 80000);
    }

    void refusesOtherTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("short") << QStringLiteral("2026-03-02 08:00:00");
        QTest::newRow("letters") << QStringLiteral("2026-03-02 08:0a:00.000");
        QTest::newRow("month 13") << QStringLiteral("2026-13-02 08:00:00.000");
        QTest::newRow("30 February") << QStringLiteral("2026-02-30 08:00:00.000");
        QTest::newRow("slashes") << QStringLiteral("2026/03/02 08:00:00.000");
    }
    void refusesOtherTexts()
    {
        QFETCH(QString, text);
        CreatedTimeReader reader;
        qint64 seconds = -1;
        QVERIFY(!reader.read(text, &seconds));
    }
};

QTEST_MAIN(TestCreatedTime)
#include "tst_createdtime.moc"

// A program that stores values is killed mid-stream: its session file stays
// sound and holds every value, device and used field handed over long enough
// before the kill, from the first second of the session on.

#include "collectorrig.h"

#include <QSet>
#include <QtTest>

#include <limits>

#include <signal.h>

class CrashTest : public QObject
{
    Q_OBJECT
private slots:
    void killedMidStream_data()
    {
        QTest::addColumn<uint>("serial");
        QTest::addColumn<int>("devices");
        QTest::addColumn<int>("fields");
        QTest::addColumn<int>("intervalMs");
        QTest::addColumn<int>("runMs");
        // What a value may wait beyond the commit interval: the commit itself.
        QTest::addColumn<int>("allowanceMs");
        // Different points of the commit cycle; each run also opens the file
        // the run before left behind, and claims it from the killed program.
        QTest::newRow("one series, early") << 501u << 1 << 1 << 3 << 1000 << 300;
        QTest::newRow("one series, later") << 502u << 1 << 1 << 3 << 1330 << 300;
        QTest::newRow("one series, late") << 503u << 1 << 1 << 3 << 1660 << 300;
        // Devices, tables and used fields all new at the start of the session.
        QTest::newRow("125 devices x 11 fields from the start") << 10001u << 125 << 11 << 200 << 2500 << 600;
    }
    void killedMidStream()
    {
        QFETCH(uint, serial);
        QFETCH(int, devices);
        QFETCH(int, fields);
        QFETCH(int, intervalMs);
        QFETCH(int, runMs);
        QFETCH(int, allowanceMs);
        HelperProcess writer({QStringLiteral("write"), QString::number(serial), QString::number(intervalMs),
                              QString::number(devices), QString::number(fields)});
        const QString open = writer.waitFor(QStringLiteral("open "));
        const QString path = open.mid(5);
        QCOMPARE(path, sessionPath());

        QHash<int, qint64> handed; // round: when the writer had handed it over
        const auto take = [&handed](const QString &line) {
            const QStringList parts = line.split(QLatin1Char(' '));
            if (parts.size() == 3 && parts.at(0) == QLatin1String("value"))
                handed.insert(parts.at(1).toInt(), parts.at(2).toLongLong());
        };
        // The writer's clock: the monotonic clock in milliseconds.
        const auto now = [] {
            QElapsedTimer clock;
            clock.start();
            return clock.msecsSinceReference();
        };
        const auto firstHanded = [&handed] {
            qint64 first = std::numeric_limits<qint64>::max();
            for (const qint64 at : qAsConst(handed))
                first = qMin(first, at);
            return first;
        };
        // However slow the machine, some values are due when the kill comes.
        const qint64 start = now();
        while (now() - start < runMs || firstHanded() >= now() - SqliteHandler::CommitInterval - allowanceMs - 50)
            take(writer.waitFor(QStringLiteral("value "), 2000));
        const qint64 killedAt = now();
        QCOMPARE(::kill(pid_t(writer.process.processId()), SIGKILL), 0);
        QVERIFY(writer.process.waitForFinished(5000));
        const QStringList rest = QString::fromUtf8(writer.process.readAllStandardOutput()).split(QLatin1Char('\n'));
        for (const QString &line : rest)
            take(line.trimmed());

        QSet<int> due;
        for (auto it = handed.cbegin(); it != handed.cend(); ++it) {
            if (it.value() < killedAt - SqliteHandler::CommitInterval - allowanceMs)
                due.insert(it.key());
        }
        QVERIFY(!due.isEmpty());

        Reader reader(path, true); // takes over what the killed writer left
        QCOMPARE(reader.value(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
        QSet<qlonglong> entered;
        for (const QVariantList &row : reader.rows(QStringLiteral("SELECT serial FROM Device WHERE type = 4")))
            entered.insert(row.first().toLongLong());
        QSet<QString> used;
        for (const QVariantList &row : reader.rows(QStringLiteral("SELECT device, name FROM UsedField")))
            used.insert(row.at(0).toString() + QLatin1Char(':') + row.at(1).toString());
        for (int f = 0; f < fields; ++f) {
            const QString table = f ? QStringLiteral("wValue%1").arg(f) : QStringLiteral("wValue");
            QSet<QString> stored;
            for (const QVariantList &row : reader.rows(
                     QStringLiteral("SELECT device, value FROM %1 WHERE value IS NOT NULL").arg(table)))
                stored.insert(row.at(0).toString() + QLatin1Char(':') + QString::number(row.at(1).toInt()));
            for (int d = 0; d < devices; ++d) {
                const qlonglong device = serial + uint(d);
                QVERIFY2(entered.contains(device), qPrintable(QString::number(device)));
                QVERIFY2(used.contains(QStringLiteral("%1:%2").arg(device).arg(table)),
                         qPrintable(QStringLiteral("%1 %2").arg(device).arg(table)));
                QStringList missing;
                for (const int n : qAsConst(due)) {
                    if (!stored.contains(QStringLiteral("%1:%2").arg(device).arg(n)))
                        missing << QString::number(n);
                }
                QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("%1 of %2 due values of %3 in %4 missing: %5")
                                                           .arg(missing.size())
                                                           .arg(due.size())
                                                           .arg(device)
                                                           .arg(table, missing.join(QLatin1Char(' ')))));
            }
        }
    }
};

QTEST_MAIN(CrashTest)
#include "tst_crash.moc"

// A program that stores values is killed mid-stream: its session file stays
// sound and holds every value handed over long enough before the kill.

#include "collectorrig.h"

#include <QSet>
#include <QtTest>

#include <signal.h>

namespace {
// What a value may wait for: the commit interval, then the commit itself.
constexpr qint64 commitAllowance = 300;
} // namespace

class CrashTest : public QObject
{
    Q_OBJECT
private slots:
    void killedMidStream_data()
    {
        QTest::addColumn<uint>("serial");
        QTest::addColumn<int>("runMs");
        // Different points of the commit cycle; each run also opens the file
        // the run before left behind.
        QTest::newRow("early") << 501u << 1000;
        QTest::newRow("later") << 502u << 1330;
        QTest::newRow("late") << 503u << 1660;
    }
    void killedMidStream()
    {
        QFETCH(uint, serial);
        QFETCH(int, runMs);
        HelperProcess writer({QStringLiteral("write"), QString::number(serial), QStringLiteral("3")});
        const QString open = writer.waitFor(QStringLiteral("open "));
        const QString path = open.mid(5);
        QVERIFY2(!path.isEmpty(), qPrintable(open));

        QHash<int, qint64> handed;
        const auto take = [&handed](const QString &line) {
            const QStringList parts = line.split(QLatin1Char(' '));
            if (parts.size() == 3 && parts.at(0) == QLatin1String("value"))
                handed.insert(parts.at(1).toInt(), parts.at(2).toLongLong());
        };
        QElapsedTimer run;
        run.start();
        while (run.elapsed() < runMs)
            take(writer.waitFor(QStringLiteral("value "), 2000));
        QElapsedTimer clock;
        clock.start();
        const qint64 killedAt = clock.msecsSinceReference(); // the writer's clock
        QCOMPARE(::kill(pid_t(writer.process.processId()), SIGKILL), 0);
        QVERIFY(writer.process.waitForFinished(5000));
        const QStringList rest = QString::fromUtf8(writer.process.readAllStandardOutput()).split(QLatin1Char('\n'));
        for (const QString &line : rest)
            take(line.trimmed());

        QSet<int> due;
        for (auto it = handed.cbegin(); it != handed.cend(); ++it) {
            if (it.value() < killedAt - SqliteHandler::CommitInterval - commitAllowance)
                due.insert(it.key());
        }
        QVERIFY2(due.size() > 20, qPrintable(QString::number(due.size())));

        Reader reader(path, true); // rolls a hot journal back
        QCOMPARE(reader.value(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
        QSet<int> stored;
        for (const QVariantList &row :
             reader.rows(QStringLiteral("SELECT value FROM wValue WHERE device = ? AND value IS NOT NULL"), {serial}))
            stored.insert(row.first().toInt());
        QSet<int> missing = due;
        missing.subtract(stored);
        QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("%1 of %2 due values missing, e.g. %3")
                                                   .arg(missing.size())
                                                   .arg(due.size())
                                                   .arg(missing.isEmpty() ? 0 : *missing.cbegin())));
    }
};

QTEST_MAIN(CrashTest)
#include "tst_crash.moc"

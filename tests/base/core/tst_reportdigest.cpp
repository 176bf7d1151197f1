#include "reportdigest.h"

#include <QtTest>

// Digests computed independently (Python's hashlib.sha3_512).
static const QByteArray EmptyDigest =
    "a69f73cca23a9ac5c8b567dc185a756e97c982164fe25859e0d1dcc1475c80a615b2123af1f5f94c11e3e9402c3ac558f500199d95b6d3e301758586281dcd26";
static const QByteArray AbcDigest =
    "b751850b1a57168a5693cd924b6b096e08f621827444f70d884f5d0240d2712e10e116e9192af3c91a7ec57647e3934057340b4cf408d5a56592f8274eec53f0";

class ReportDigestTest : public QObject
{
    Q_OBJECT
private slots:
    void trailerIsTheStandardDigest()
    {
        QCOMPARE(ReportDigest::trailer(QByteArray()), EmptyDigest);
        QCOMPARE(ReportDigest::trailer("abc"), AbcDigest);
        QCOMPARE(ReportDigest::sign("abc"), "abc" + AbcDigest);
    }

    void check_data()
    {
        QTest::addColumn<QByteArray>("report");
        QTest::addColumn<bool>("original");
        const QByteArray body = "Tandrel\t1.14.4043\nline two\n";
        const QByteArray signedReport = ReportDigest::sign(body);
        QByteArray changed = signedReport;
        changed[5] = 'X';
        QByteArray nonHex = signedReport;
        nonHex[nonHex.size() - 1] = 'g';
        // fromHex skips a space; such a trailer must not pass as a shorter digest.
        QByteArray spaced = body + QByteArray(2, ' ') + ReportDigest::trailer(body).left(126);
        QTest::newRow("unchanged") << signedReport << true;
        QTest::newRow("upper-case trailer") << body + ReportDigest::trailer(body).toUpper() << true;
        QTest::newRow("empty body") << EmptyDigest << true;
        QTest::newRow("one body byte changed") << changed << false;
        QTest::newRow("line end appended") << signedReport + '\n' << false;
        QTest::newRow("under 128 bytes") << AbcDigest.left(127) << false;
        QTest::newRow("nothing") << QByteArray() << false;
        QTest::newRow("non-hex trailer") << nonHex << false;
        QTest::newRow("trailer with spaces") << spaced << false;
    }
    void check()
    {
        QFETCH(QByteArray, report);
        QFETCH(bool, original);
        QCOMPARE(ReportDigest::isOriginal(report), original);
    }
};

QTEST_GUILESS_MAIN(ReportDigestTest)
#include "tst_reportdigest.moc"

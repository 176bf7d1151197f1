#include "devicetestdata.h"
#include "deviceitem.h"
#include "reportdigest.h"
#include "systemreport.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {
// A device whose information text is known.
class KnownDevice : public DeviceItem
{
public:
    explicit KnownDevice(const QString &text) : DeviceItem(makeInfo(3), false), text(text) {}
    QString infoText() const override { return text; }
    QString text;
};

const QString DevicesHeading = QStringLiteral("\n\n----------- Devices -----------\n");
const QString Separator = QStringLiteral("\n\n----------------------\n");
const QString NearbyHeading = QStringLiteral("\n\n----------- Radio Controller Finder ------------\n");
const QString LinkHeading = QStringLiteral("\n\n----------- Link quality test -------------\n");
} // namespace

class SystemReportTest : public QObject
{
    Q_OBJECT
private slots:
    void wholeReport()
    {
        KnownDevice master(QStringLiteral("\nHUBRO 125 Ж\n    Serial: 1"));
        KnownDevice smoke(QStringLiteral("Smoke detector\n    RSSI: -60"));
        KnownDevice callPoint(QStringLiteral("Call point\n    RSSI: -71"));
        SystemReportSources sources;
        sources.programName = QStringLiteral("Tandrel");
        sources.programVersion = QStringLiteral("1.14.4043");
        sources.programPath = QStringLiteral("/opt/tandrel/Tandrel");
        sources.time = QDateTime(QDate(2026, 5, 12), QTime(9, 8, 7));
        sources.master = &master;
        sources.devices = {&smoke, &callPoint};
        sources.nearbyText = QStringLiteral("Serial:         12345\t\n");
        sources.linkQualityText = QStringLiteral("lq");

        // The date runs straight into the master's text; every device is
        // followed by its separator, in the order given.
        const QString body = QStringLiteral("Tandrel\t1.14.4043\n/opt/tandrel/Tandrel\n2026-05-12 09:08:07")
                             + master.text + DevicesHeading + smoke.text + Separator + callPoint.text + Separator
                             + NearbyHeading + sources.nearbyText + QStringLiteral("\n\n\n") + LinkHeading
                             + QStringLiteral("lq");
        QCOMPARE(systemReportBody(sources), body);

        const QByteArray file = systemReportFile(sources);
        const QByteArray trailer = file.right(ReportDigest::TrailerSize);
        QCOMPARE(file.left(file.size() - ReportDigest::TrailerSize), body.toUtf8());
        QVERIFY(QRegularExpression(QStringLiteral("^[0-9a-f]{128}$")).match(QString::fromLatin1(trailer)).hasMatch());
        // Python's hashlib.sha3_512 of the body's UTF-8 bytes.
        QCOMPARE(trailer, QByteArray("68019dd46406f52f04055b4d6f142d2299f3df33bdeed4f5e0692558cb1db8e6bbc104cb83bc07a8"
                                     "bde5a3f3a3f0ce047447f7beb29bea545b8cff13e1c59ba7"));
        QVERIFY(ReportDigest::isOriginal(file));
    }

    void masterWithoutDevices()
    {
        KnownDevice master(QStringLiteral("M"));
        SystemReportSources sources;
        sources.time = QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5));
        sources.master = &master;
        QCOMPARE(systemReportBody(sources), QStringLiteral("\t\n\n2026-01-02 03:04:05M") + DevicesHeading
                                                + NearbyHeading + QStringLiteral("\n\n\n") + LinkHeading);
    }

    void checkFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("verdict");
        QTest::addColumn<QString>("problem"); // a part of the refusal's text
        const int original = int(ReportDigest::Verdict::Original);
        const int altered = int(ReportDigest::Verdict::Altered);
        const int unreadable = int(ReportDigest::Verdict::Unreadable);
        QTest::newRow("original") << "original" << original << QString();
        QTest::newRow("altered") << "altered" << altered << QString();
        QTest::newRow("missing") << "missing" << unreadable << QStringLiteral("Cannot open the file");
        QTest::newRow("folder") << "folder" << unreadable << QStringLiteral("is not a regular file");
        // Opening a pipe for reading would wait for a writer for good.
        QTest::newRow("pipe") << "pipe" << unreadable << QStringLiteral("is not a regular file");
        // Refused by its size before a byte of it is read.
        QTest::newRow("1 GiB") << "huge" << unreadable
                                << QStringLiteral("is too large: more than %1 bytes").arg(MaxSystemReportFileSize);
    }
    void checkFile()
    {
        QFETCH(QString, kind);
        QFETCH(int, verdict);
        QFETCH(QString, problem);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("site.rpt"));
        QByteArray report = ReportDigest::sign("Tandrel\t1.14.4043\nline two\n");
        if (kind == QLatin1String("altered"))
            report[3] = 'X';
        if (kind == QLatin1String("original") || kind == QLatin1String("altered")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(report), qint64(report.size()));
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("site.rpt")));
        } else if (kind == QLatin1String("pipe")) {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == QLatin1String("huge")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(qint64(1) << 30)); // sparse: nothing written to disk
        }

        const SystemReportCheck check = checkSystemReportFile(path);
        QCOMPARE(int(check.verdict), verdict);
        if (problem.isEmpty())
            QVERIFY(check.problem.isEmpty());
        else
            QVERIFY2(check.problem.contains(problem) && check.problem.contains(path), qPrintable(check.problem));
    }
};

QTEST_MAIN(SystemReportTest)
#include "tst_systemreport.moc"

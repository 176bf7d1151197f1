#include "devicetestdata.h"
#include "deviceitem.h"
#include "reportdigest.h"
#include "systemreport.h"

#include <QtTest>

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
};

QTEST_MAIN(SystemReportTest)
#include "tst_systemreport.moc"

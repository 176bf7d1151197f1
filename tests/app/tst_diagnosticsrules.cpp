// Which selected devices the diagnostics commands hand on: the statistics
// version gate, the link-quality test's repeater rules and the attempt limit.
#include "diagnosticsrules.h"

#include <QtTest>

Q_DECLARE_METATYPE(LqiCandidate)

namespace {
QVersionNumber v(const QString &text)
{
    return QVersionNumber::fromString(text);
}
} // namespace

class DiagnosticsRulesTest : public QObject
{
    Q_OBJECT
private slots:
    void statisticsGate_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("hardware");
        QTest::addColumn<QString>("firmware"); // empty: none reported
        QTest::addColumn<bool>("read");
        QTest::newRow("OLVEK hw 1 fw 1.9") << 6 << "1.0" << "1.9" << false;
        QTest::newRow("OLVEK hw 1 fw 1.8") << 6 << "1.3" << "1.8" << true;
        QTest::newRow("OLVEK hw 2 fw 1.9") << 6 << "2.0" << "1.9" << true;
        QTest::newRow("OLVEK hw 2 fw 1.4") << 6 << "2.0" << "1.4" << false;
        QTest::newRow("NILVO2 hw 2.6 follows hw 1") << 13 << "2.6" << "1.20" << true;
        QTest::newRow("NILVO2 hw 2.5: 1.12 to 1.17") << 13 << "2.5" << "1.20" << false;
        QTest::newRow("NILVO2 hw 2.5 fw 1.16") << 13 << "2.5" << "1.16" << true;
        QTest::newRow("BEXIL hw 1 never") << 2 << "1.0" << "1.30" << false;
        QTest::newRow("BEXIL hw 2 fw 1.20") << 2 << "2.0" << "1.20" << true;
        QTest::newRow("BEXIL hw 2 fw 1.19") << 2 << "2.0" << "1.19" << false;
        QTest::newRow("DRALO hw 1 fw 1.5") << 3 << "1.0" << "1.5" << true;
        QTest::newRow("DRALO hw 3 fw 1.10") << 3 << "3.0" << "1.10" << false;
        QTest::newRow("TIRUN hw 1 fw 1.13") << 4 << "1.1" << "1.13" << false;
        QTest::newRow("HOXEL hw 1 fw 1.1") << 7 << "1.0" << "1.1" << false;
        QTest::newRow("FOTRA hw 1 fw 1.10") << 14 << "1.0" << "1.10" << false;
        QTest::newRow("KEMREL hw 2 fw 1.10") << 18 << "2.0" << "1.10" << true;
        QTest::newRow("PONDRA hw 1") << 20 << "1.0" << "1.20" << false;
        QTest::newRow("OLVEK ISP02 hw 1 fw 1.7") << 26 << "1.0" << "1.7" << false;
        QTest::newRow("type 56 fw 1.1") << 56 << "1.0" << "1.1" << false;
        QTest::newRow("JORVU never") << 23 << "2.0" << "2.0" << false;
        QTest::newRow("type 66 never") << 66 << "2.0" << "2.0" << false;
        QTest::newRow("a type without a rule") << 40 << "" << "" << true;
        QTest::newRow("no firmware, bound from 1.0") << 30 << "1.0" << "" << false;
        QTest::newRow("no firmware, hw 1 range") << 4 << "1.0" << "" << false;
        QTest::newRow("no hardware counts as major 0") << 2 << "" << "1.20" << true;
    }
    void statisticsGate()
    {
        QFETCH(int, type);
        QFETCH(QString, hardware);
        QFETCH(QString, firmware);
        QFETCH(bool, read);
        QCOMPARE(statisticsVersionGate(type, v(hardware), v(firmware)), read);
    }

    void attemptLimit_data()
    {
        QTest::addColumn<int>("interval");
        QTest::addColumn<quint32>("limit");
        QTest::newRow("2500 ms") << 2500 << 4u;
        QTest::newRow("60 s") << 60000 << 120u;
        QTest::newRow("under a second") << 999 << 1u;
        QTest::newRow("none") << 0 << 1u;
    }
    void attemptLimit()
    {
        QFETCH(int, interval);
        QFETCH(quint32, limit);
        QCOMPARE(diagnosticsAttemptLimit(interval), limit);
    }

    void repeaterRules_data()
    {
        QTest::addColumn<QList<LqiCandidate>>("devices");
        QTest::addColumn<QList<int>>("tested");
        QTest::addColumn<bool>("throughRepeater");
        QTest::addColumn<QStringList>("named");
        const auto device = [](int type, quint32 aux, bool supported, const QString &model = QStringLiteral("M"),
                               const QString &fw = QStringLiteral("1.5")) {
            LqiCandidate c;
            c.type = type;
            c.auxValue = aux;
            c.testsThroughRepeater = supported;
            c.modelName = model;
            c.firmware = v(fw);
            c.hardware = v(QStringLiteral("2.1"));
            return c;
        };
        QTest::newRow("direct devices") << QList<LqiCandidate>{device(4, 0, false), device(6, 0, false)}
                                        << QList<int>{0, 1} << false << QStringList();
        QTest::newRow("a repeater in use is tested")
            << QList<LqiCandidate>{device(30, 0x3, true), device(30, 0xF1, true)} << QList<int>{0, 1} << true
            << QStringList();
        QTest::newRow("a repeater word without use") << QList<LqiCandidate>{device(30, 0x10, true)} << QList<int>{0}
                                                     << false << QStringList();
        QTest::newRow("through a repeater, supported") << QList<LqiCandidate>{device(4, 0x10, true)}
                                                       << QList<int>{0} << false << QStringList();
        QTest::newRow("unsupported ones named once")
            << QList<LqiCandidate>{device(4, 0x10, false, "TIRUN"), device(4, 0x20, false, "TIRUN"),
                                   device(4, 0x20, false, "TIRUN", "1.6"), device(6, 0, false)}
            << QList<int>{3} << true << QStringList{"TIRUN fw 1.05 hw 2.01", "TIRUN fw 1.06 hw 2.01"};
        QTest::newRow("every device left out") << QList<LqiCandidate>{device(4, 0x10, false)} << QList<int>()
                                               << true << QStringList{"M fw 1.05 hw 2.01"};
    }
    void repeaterRules()
    {
        QFETCH(QList<LqiCandidate>, devices);
        QFETCH(QList<int>, tested);
        QFETCH(bool, throughRepeater);
        QFETCH(QStringList, named);
        const LqiSelection selection = selectForLqiTest(devices);
        QCOMPARE(selection.tested, tested);
        QCOMPARE(selection.throughRepeater, throughRepeater);
        QCOMPARE(selection.unsupported, named);
    }
};

QTEST_MAIN(DiagnosticsRulesTest)
#include "tst_diagnosticsrules.moc"

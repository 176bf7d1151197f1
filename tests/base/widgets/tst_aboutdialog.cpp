// About window: version and build-date texts, the form's layout, flags and
// the Close button.
#include "aboutdialog.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

class AboutDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initTestResources(); }

    void versionText_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("shown");
        QTest::newRow("shipped") << "1.14.4043" << "1.14.4043";
        QTest::newRow("one digit") << "1.14.7" << "1.14.007";
        QTest::newRow("two digits") << "1.14.42" << "1.14.042";
        QTest::newRow("zero") << "1.14.0" << "1.14.000";
        QTest::newRow("five digits") << "2.0.12345" << "2.0.12345";
        QTest::newRow("not a number") << "1.14.beta" << "1.14.000";
        QTest::newRow("negative") << "1.14.-5" << "1.14.000";
        QTest::newRow("ends in a dot") << "1.14." << "1.14.000";
        QTest::newRow("no dot") << "7" << "007";
        QTest::newRow("empty") << "" << "000";
    }

    void versionText()
    {
        QFETCH(QString, version);
        QTEST(aboutVersionText(version), "shown");
    }

    void buildDateText_data()
    {
        QTest::addColumn<QByteArray>("compilerDate");
        QTest::addColumn<QString>("shown");
        QTest::newRow("one-digit day") << QByteArray("Dec  5 2026") << "05.12.2026";
        QTest::newRow("two-digit day") << QByteArray("Jan 31 2025") << "31.01.2025";
        QTest::newRow("leap day") << QByteArray("Feb 29 2024") << "29.02.2024";
        QTest::newRow("no such day") << QByteArray("Feb 29 2023") << "";
        QTest::newRow("unknown month") << QByteArray("Foo  1 2024") << "";
        QTest::newRow("empty") << QByteArray("") << "";
    }

    void buildDateText()
    {
        QFETCH(QByteArray, compilerDate);
        QTEST(::buildDateText(compilerDate.constData()), "shown");
    }

    void dialogTexts()
    {
        QCoreApplication::setApplicationVersion(QStringLiteral("1.14.7"));
        AboutDialog dialog;
        QCOMPARE(dialog.objectName(), QStringLiteral("AboutDialog"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("About"));
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("lblVersion"))->text(), QStringLiteral("1.14.007"));
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("lblBuild"))->text(), QStringLiteral("release"));
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("label_2"))->text(), QStringLiteral("Configurator Zentar"));

        // This build's own date, and its year in the copyright line.
        const QString date = dialog.findChild<QLabel *>(QStringLiteral("lblDate"))->text();
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4}$")).match(date).hasMatch(), qPrintable(date));
        const QDate built = QDate::fromString(date, QStringLiteral("dd.MM.yyyy"));
        QVERIFY(built.isValid());
        const QString mid = dialog.findChild<QLabel *>(QStringLiteral("lblMid"))->text();
        QVERIFY2(mid.contains(QString::number(built.year())) && mid.contains(QLatin1String("Zorvo")), qPrintable(mid));

        auto *links = dialog.findChild<QLabel *>(QStringLiteral("label"));
        QVERIFY(links->openExternalLinks());
        QVERIFY(links->text().contains(QLatin1String("https://zorvo.invalid")));
        QVERIFY(links->text().contains(QLatin1String("mailto:support@zorvo.invalid")));
        // The logo comes from the embedded pictures.
        QVERIFY(!dialog.findChild<QLabel *>(QStringLiteral("label_3"))->pixmap(Qt::ReturnByValue).isNull());
    }

    void formLayout_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("rowSpan");
        QTest::addColumn<int>("columnSpan");
        QTest::newRow("logo") << "label_3" << 0 << 0 << 5 << 1;
        QTest::newRow("title") << "label_2" << 1 << 1 << 1 << 3;
        QTest::newRow("version caption") << "label_4" << 2 << 1 << 1 << 1;
        QTest::newRow("version") << "lblVersion" << 2 << 2 << 1 << 2;
        QTest::newRow("build kind") << "lblBuild" << 3 << 1 << 1 << 1;
        QTest::newRow("date") << "lblDate" << 3 << 2 << 1 << 2;
        QTest::newRow("line") << "line" << 5 << 0 << 1 << 4;
        QTest::newRow("copyright") << "lblMid" << 6 << 0 << 1 << 4;
        QTest::newRow("links") << "label" << 7 << 0 << 1 << 4;
        QTest::newRow("close") << "pushButton" << 9 << 3 << 1 << 1;
    }

    void formLayout()
    {
        QFETCH(QString, name);
        AboutDialog dialog;
        auto *grid = dialog.findChild<QGridLayout *>(QStringLiteral("gridLayout"));
        QVERIFY(grid);
        QWidget *w = dialog.findChild<QWidget *>(name);
        QVERIFY(w);
        int row = -1, column = -1, rowSpan = -1, columnSpan = -1;
        grid->getItemPosition(grid->indexOf(w), &row, &column, &rowSpan, &columnSpan);
        QTEST(row, "row");
        QTEST(column, "column");
        QTEST(rowSpan, "rowSpan");
        QTEST(columnSpan, "columnSpan");
    }

    void flagsAndClose()
    {
        AboutDialog dialog;
        // A customised title bar with the close button only.
        const Qt::WindowFlags flags = dialog.windowFlags();
        QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowContextHelpButtonHint)));
        QVERIFY(dialog.isModal());
        dialog.show();
        QVERIFY(dialog.isVisible());
        auto *close = dialog.findChild<QPushButton *>(QStringLiteral("pushButton"));
        QCOMPARE(close->text(), QStringLiteral("Close"));
        close->click();
        QVERIFY(!dialog.isVisible());
    }
};

QTEST_MAIN(AboutDialogTest)
#include "tst_aboutdialog.moc"

// Windows fitted to the free area of their screen and placed on it; header
// sections as wide as their titles.
#include "screenfit.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>
#include <QtTest>

namespace {
QRect freeArea()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}
} // namespace

class ScreenFitTest : public QObject
{
    Q_OBJECT
private slots:
    // Sizes relative to the free area: wider and taller than it, one side
    // larger, and smaller than it.
    void fitsAndCentres_data()
    {
        QTest::addColumn<double>("widthShare");
        QTest::addColumn<double>("heightShare");
        QTest::newRow("larger both ways") << 1.8 << 1.35;
        QTest::newRow("too tall") << 0.5 << 1.2;
        QTest::newRow("too wide") << 1.5 << 0.4;
        QTest::newRow("smaller") << 0.6 << 0.5;
    }

    void fitsAndCentres()
    {
        QFETCH(double, widthShare);
        QFETCH(double, heightShare);
        const QRect area = freeArea();
        QWidget window;
        const QSize wanted(int(area.width() * widthShare), int(area.height() * heightShare));
        window.resize(wanted);
        fitOnScreen(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY2(area.contains(window.frameGeometry()),
                 qPrintable(QStringLiteral("%1,%2 %3x%4")
                                .arg(window.x())
                                .arg(window.y())
                                .arg(window.width())
                                .arg(window.height())));
        // A side that fits keeps its size; the window sits in the middle.
        if (widthShare < 1.0)
            QCOMPARE(window.width(), wanted.width());
        if (heightShare < 1.0)
            QCOMPARE(window.height(), wanted.height());
        QVERIFY(qAbs(window.geometry().center().x() - area.center().x()) <= 4);
        QVERIFY(qAbs(window.geometry().center().y() - area.center().y()) <= 16);
    }

    // A place of the window's own (as restored from the settings) holds
    // while it lies on the screen; one off the screen does not.
    void keepsAPlaceOnTheScreen_data()
    {
        QTest::addColumn<QPoint>("shift"); // from the free area's top left
        QTest::addColumn<bool>("kept");
        QTest::newRow("on the screen") << QPoint(40, 50) << true;
        QTest::newRow("below it") << QPoint(40, 400) << false;
        QTest::newRow("right of it") << QPoint(700, 50) << false;
        QTest::newRow("left of it") << QPoint(-200, 50) << false;
    }

    void keepsAPlaceOnTheScreen()
    {
        QFETCH(QPoint, shift);
        QFETCH(bool, kept);
        const QRect area = freeArea();
        QWidget window;
        window.setGeometry(QRect(area.topLeft() + shift, QSize(300, 240)));
        const QRect placed = window.geometry();
        fitOnScreen(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.geometry() == placed, kept);
        QVERIFY(area.contains(window.frameGeometry()));
        QCOMPARE(window.size(), placed.size());
    }

    // A minimum size larger than the screen gives way; a smaller one stays,
    // and a window never sized takes its contents' size.
    void minimumAndContents()
    {
        const QRect area = freeArea();
        QWidget large;
        large.setMinimumSize(area.width() + 300, 200);
        fitOnScreen(&large);
        QVERIFY(large.minimumWidth() <= area.width());
        QCOMPARE(large.minimumHeight(), 200);
        large.show();
        QVERIFY(QTest::qWaitForWindowExposed(&large));
        QVERIFY(area.contains(large.frameGeometry()));

        QWidget laidOut;
        auto *layout = new QVBoxLayout(&laidOut);
        auto *label = new QLabel(QStringLiteral("A text of some width"), &laidOut);
        label->setMinimumSize(260, 120);
        layout->addWidget(label);
        fitOnScreen(&laidOut);
        QVERIFY(laidOut.width() >= 260 && laidOut.height() >= 120);
        QVERIFY(laidOut.minimumWidth() >= 260);
        laidOut.show();
        QVERIFY(QTest::qWaitForWindowExposed(&laidOut));
        QVERIFY(area.contains(laidOut.frameGeometry()));
    }

    // The screen of the window that opens it, not simply the primary one.
    void screenOfTheAnchor()
    {
        QWidget anchor;
        anchor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&anchor));
        QWidget window;
        QCOMPARE(screenFor(&window, &anchor), anchor.screen());
        QWidget child(&anchor);
        QCOMPARE(screenFor(&child), anchor.screen());
    }

    void headerTitlesWhole()
    {
        QStandardItemModel model(2, 3);
        model.setHorizontalHeaderLabels({QStringLiteral("#"), QStringLiteral("A rather long column title"),
                                         QStringLiteral("Another long column title")});
        QTableView table;
        table.setModel(&model);
        table.horizontalHeader()->setDefaultSectionSize(40);
        table.setColumnHidden(2, true);
        QHeaderView *header = table.horizontalHeader();
        QVERIFY(header->sectionSize(1) < header->sectionSizeHint(1));
        fitHeaderTitles(header);
        QCOMPARE(header->sectionSize(0), 40); // wide enough already
        QCOMPARE(header->sectionSize(1), header->sectionSizeHint(1));
        QVERIFY(header->isSectionHidden(2));
    }
};

QTEST_MAIN(ScreenFitTest)
#include "tst_screenfit.moc"

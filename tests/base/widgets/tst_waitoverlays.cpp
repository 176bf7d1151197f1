// Wait overlays: report-generation progress and its two endings, the short
// wait window, and the loading strip.
#include "loadingwidget.h"
#include "testsupport.h"
#include "waitgenerating.h"
#include "waitmovie.h"

#include <QLabel>
#include <QMovie>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {
QList<int> values(const QSignalSpy &spy)
{
    QList<int> out;
    for (const QList<QVariant> &args : spy)
        out << args.first().toInt();
    return out;
}

// A shown report-generation window with spies on its endings and its bar.
struct Generating
{
    Generating(int total, int interval)
        : w((WaitGenerating::setTickInterval(interval), new WaitGenerating(total))),
          guard(w),
          finished(w, &WaitGenerating::waitingFinished),
          broken(w, &WaitGenerating::breakWaiting),
          bar(w->findChild<QProgressBar *>(QStringLiteral("progress")), &QProgressBar::valueChanged)
    {
        w->show();
    }

    WaitGenerating *w;
    QPointer<WaitGenerating> guard;
    QSignalSpy finished;
    QSignalSpy broken;
    QSignalSpy bar;
};
} // namespace

class WaitOverlaysTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initTestResources(); }
    void cleanup() { WaitGenerating::setTickInterval(1000); }

    void generatingWindow()
    {
        QCOMPARE(WaitGenerating::tickInterval(), 1000);
        auto *w = new WaitGenerating(300000);
        w->show();
        QCOMPARE(w->windowTitle(), QStringLiteral("Report generation"));
        QCOMPARE(w->windowType(), Qt::Window);
        QVERIFY(w->windowFlags().testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!(w->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(w->windowModality(), Qt::ApplicationModal);
        QVERIFY(w->testAttribute(Qt::WA_DeleteOnClose));
        QCOMPARE(w->findChild<QProgressBar *>(QStringLiteral("progress"))->value(), 0);
        auto *gif = w->findChild<QLabel *>(QStringLiteral("lblGIF"));
        QVERIFY(gif->movie() && gif->movie()->isValid());
        QCOMPARE(gif->movie()->state(), QMovie::Running);
        delete w;
    }

    void generatingProgressAndFinish_data()
    {
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("interval");
        // 300 s in 1 s ticks, scaled down a thousandfold: 1 after 3 ticks,
        // 50 after 150, finished after 300.
        QTest::newRow("scaled five minutes") << 300 << 1;
        QTest::newRow("uneven steps") << 100 << 7;
        QTest::newRow("shorter than a tick") << 3 << 10;
    }

    void generatingProgressAndFinish()
    {
        QFETCH(int, total);
        QFETCH(int, interval);
        Generating g(total, interval);
        QVERIFY(g.finished.wait(10000));
        QList<int> expected;
        for (int tick = 1;; ++tick) {
            const int elapsed = tick * interval;
            const int value = elapsed >= total ? 100 : elapsed * 100 / total;
            if (value != 0 && (expected.isEmpty() || expected.last() != value))
                expected << value;
            if (value == 100)
                break;
        }
        QCOMPARE(values(g.bar), expected);
        if (total == 300) {
            QVERIFY(expected.contains(1) && expected.contains(50));
            QCOMPARE(expected.size(), 100);
        }
        QTRY_VERIFY(g.guard.isNull());
        QCOMPARE(g.finished.count(), 1);
        QCOMPARE(g.broken.count(), 0);
    }

    void generatingBreak_data()
    {
        QTest::addColumn<int>("interval");
        QTest::addColumn<int>("total");
        QTest::newRow("before the first tick") << 100000 << 100000;
        QTest::newRow("while ticking") << 2 << 10000;
    }

    void generatingBreak()
    {
        QFETCH(int, interval);
        QFETCH(int, total);
        Generating g(total, interval);
        if (interval < total)
            QVERIFY(g.bar.wait(5000)); // progress shown

        auto *pbBreak = g.w->findChild<QPushButton *>(QStringLiteral("pbBreak"));
        QCOMPARE(pbBreak->text(), QStringLiteral("Break"));
        pbBreak->click();
        QCOMPARE(g.broken.count(), 1);
        // Asked again before it is gone: still one ending.
        g.w->close();
        pbBreak->click();
        QCOMPARE(g.broken.count(), 1);
        QTRY_VERIFY(g.guard.isNull());
        QCOMPARE(g.finished.count(), 0);
        QCOMPARE(g.broken.count(), 1);
    }

    void waitMovie()
    {
        auto *w = new WaitMovie(QStringLiteral("Auto numbering"), QStringLiteral("Wait 5 seconds"));
        QPointer<WaitMovie> guard(w);
        w->show();
        QCOMPARE(w->findChild<QLabel *>(QStringLiteral("lblTitle"))->text(), QStringLiteral("Auto numbering"));
        QCOMPARE(w->findChild<QLabel *>(QStringLiteral("lblText"))->text(), QStringLiteral("Wait 5 seconds"));
        QVERIFY(w->isWindow());
        QVERIFY(w->windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(w->windowModality(), Qt::ApplicationModal);
        auto *gif = w->findChild<QLabel *>(QStringLiteral("lblGif"));
        QVERIFY(gif->movie() && gif->movie()->isValid());
        QCOMPARE(gif->movie()->state(), QMovie::Running);
        QVERIFY(w->close());
        QTRY_VERIFY(guard.isNull());
    }

    void loadingWidgetHidesOnTheLastStep()
    {
        QWidget window;
        auto *loading = new LoadingWidget(&window);
        window.show();
        auto *bar = loading->findChild<QProgressBar *>(QStringLiteral("progressBar"));
        QCOMPARE(bar->value(), 24);
        QCOMPARE(loading->findChild<QLabel *>(QStringLiteral("label"))->text(), QStringLiteral("Loading..."));
        QVERIFY(!loading->timer()->isActive()); // the owner starts it
        QSignalSpy steps(bar, &QProgressBar::valueChanged);

        loading->timer()->start(1);
        while (steps.count() < 76 && steps.wait(5000)) {
        }
        QCOMPARE(steps.count(), 76);
        QVERIFY(loading->isHidden());
        QCOMPARE(bar->value(), 100);
        QVERIFY(!loading->timer()->isActive());
    }
};

QTEST_MAIN(WaitOverlaysTest)
#include "tst_waitoverlays.moc"

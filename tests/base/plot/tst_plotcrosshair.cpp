// The live plot's mouse side on a real offscreen plot of fixed size: the
// crosshair and its labels, tracers by double click with their time, span
// and difference texts, dragging a tracer, the blank cursor, and the time
// axis's limits, formats and following.
#include "plotcrosshair.h"
#include "plotfixture.h"
#include "plotmarker.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

constexpr double Key0 = 1700000000.0;
constexpr qint64 Now0 = qint64(Key0) * 1000 + 30400; // Key0 + 30.4 s

// A plot set up as the plot windows do, with one rising graph on the left
// axis (value = -80 + 0.1 per second) and one flat graph on the right axis.
struct Rig
{
    explicit Rig(PlotRanges::Restore restore = PlotRanges::Restore::LastRange) : clock(Now0)
    {
        plot.resize(800, 500);
        ticker = QSharedPointer<QCPAxisTickerDateTime>::create();
        plot.xAxis->setTicker(ticker);
        plot.yAxis->setRange(-100.0, 0.0);
        plot.yAxis2->setRange(-100.0, 0.0);
        plot.yAxis2->setVisible(true);
        plot.setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
        crosshair = new PlotCrosshair(&plot, ticker, restore, &plot);
        crosshair->resetTimeRange();
        QVector<double> keys, rising, flat;
        for (int i = -600; i <= 600; ++i) {
            keys << Key0 + i;
            rising << -80.0 + 0.1 * i;
            flat << -40.0;
        }
        plot.addGraph(plot.xAxis, plot.yAxis)->setData(keys, rising);
        plot.addGraph(plot.xAxis, plot.yAxis2)->setData(keys, flat);
        plot.show();
        plot.replot();
    }

    // Two pixels a second from Key0 on, so whole pixels are half seconds.
    void halfSecondPixels()
    {
        plot.xAxis->setRange(Key0, Key0 + plot.axisRect()->width() / 2.0);
        plot.replot();
    }

    // The mouse that puts the crosshair on the rising graph at that key.
    QPoint mouseOnRising(double key) { return mouseFor(pixelOf(&plot, key, -80.0 + 0.1 * (key - Key0))); }

    void doubleClickAt(const QPoint &mouse, Qt::MouseButton button)
    {
        plotMove(&plot, mouse);
        plotDoubleClick(&plot, mouse, button);
        plot.replot();
    }

    PlotClockScope clock;
    QCustomPlot plot;
    QSharedPointer<QCPAxisTickerDateTime> ticker;
    PlotCrosshair *crosshair;
};

int overrideDepth()
{
    // Counts by popping and pushing back.
    QList<QCursor> cursors;
    while (const QCursor *c = QApplication::overrideCursor()) {
        cursors.prepend(*c);
        QApplication::restoreOverrideCursor();
    }
    for (const QCursor &c : qAsConst(cursors))
        QApplication::setOverrideCursor(c);
    return cursors.size();
}

QList<Qt::CursorShape> overrideShapes()
{
    QList<QCursor> cursors;
    while (const QCursor *c = QApplication::overrideCursor()) {
        cursors.prepend(*c);
        QApplication::restoreOverrideCursor();
    }
    QList<Qt::CursorShape> shapes;
    for (const QCursor &c : qAsConst(cursors)) {
        QApplication::setOverrideCursor(c);
        shapes << c.shape();
    }
    return shapes;
}

void sendPlain(QWidget *widget, QEvent::Type type)
{
    QEvent event(type);
    QApplication::sendEvent(widget, &event);
}

} // namespace

class PlotCrosshairTest : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }

    void crosshairFollowsTheMouse()
    {
        Rig rig;
        Marker *vertical = rig.crosshair->verticalMarker();
        Marker *horizontal = rig.crosshair->horizontalMarker();
        QVERIFY(!vertical->visible());

        const QPoint mouse(400, 250);
        plotMove(&rig.plot, mouse);
        QVERIFY(vertical->visible() && horizontal->visible());
        QVERIFY(vertical->valueLabel()->visible() && vertical->timeLabel()->visible());
        QVERIFY(horizontal->valueLabel()->visible()); // the right axis is shown
        QVERIFY(!horizontal->timeLabel()->visible());
        const double key = rig.plot.xAxis->pixelToCoord(390);
        QCOMPARE(vertical->coordinate(), key);
        QCOMPARE(vertical->valueLabel()->text(), QString::number(rig.plot.yAxis->pixelToCoord(240), 'f', 2));
        QCOMPARE(horizontal->valueLabel()->text(), QString::number(rig.plot.yAxis2->pixelToCoord(240), 'f', 2));
        QCOMPARE(vertical->timeLabel()->text(), zoneTime(key, QStringLiteral("hh:mm:ss.zzz")));

        // Outside the plot area the crosshair hides.
        plotMove(&rig.plot, QPoint(50, 250));
        QVERIFY(!vertical->visible() && !vertical->valueLabel()->visible());

        // While live the refresh places it, not the move.
        rig.crosshair->setLive(true);
        const double placed = vertical->coordinate();
        plotMove(&rig.plot, QPoint(500, 250));
        QVERIFY(vertical->visible());
        QCOMPARE(vertical->coordinate(), placed);
        rig.crosshair->refresh();
        QCOMPARE(vertical->coordinate(), rig.plot.xAxis->pixelToCoord(490));

        // A selected graph's value replaces the axis reading.
        rig.plot.graph(1)->setSelection(QCPDataSelection(rig.plot.graph(1)->data()->dataRange()));
        rig.crosshair->refresh();
        QCOMPARE(vertical->valueLabel()->text(), QStringLiteral("-40.00"));

        // Leaving hides it all.
        sendPlain(&rig.plot, QEvent::Leave);
        QVERIFY(!vertical->visible() && !horizontal->valueLabel()->visible());
    }

    void tracersByDoubleClick()
    {
        Rig rig;
        rig.halfSecondPixels();
        // Away from every graph: nothing.
        rig.doubleClickAt(rig.mouseOnRising(Key0 + 20.0) + QPoint(0, 60), Qt::LeftButton);
        QVERIFY(!rig.crosshair->redTracer());

        rig.doubleClickAt(rig.mouseOnRising(Key0 + 20.0), Qt::LeftButton);
        QCPItemTracer *red = rig.crosshair->redTracer();
        QVERIFY(red);
        QCOMPARE(red->graph(), rig.plot.graph(0));
        QCOMPARE(red->graphKey(), Key0 + 20.0);
        QVERIFY(red->interpolating());
        QCOMPARE(red->style(), QCPItemTracer::tsCircle);
        QCOMPARE(red->size(), 7.0);
        QCOMPARE(red->pen().color(), QColor(Qt::red));
        QCOMPARE(red->layer()->name(), QStringLiteral("overlay"));
        // One tracer: its time and its value, on grey.
        QCOMPARE(rig.crosshair->spanLabel()->text(), zoneTime(Key0 + 20.0, QStringLiteral("hh:mm:ss.zzz")));
        QCOMPARE(rig.crosshair->deltaLabel()->text(), QStringLiteral("-78.00"));
        QCOMPARE(rig.crosshair->spanLabel()->brush().color(), QColor(150, 150, 150));

        // The blue one 90 s later on the same graph: span and difference.
        rig.doubleClickAt(rig.mouseOnRising(Key0 + 110.0), Qt::RightButton);
        QCPItemTracer *blue = rig.crosshair->blueTracer();
        QVERIFY(blue);
        QCOMPARE(blue->pen().color(), QColor(Qt::blue));
        QCOMPARE(rig.crosshair->spanLabel()->text(), QStringLiteral("00:01:30.000"));
        QCOMPARE(rig.crosshair->spanLabel()->brush().color(), QColor(100, 200, 100));
        QCOMPARE(rig.crosshair->deltaLabel()->text(), QStringLiteral("9.00"));

        // The red one moves before the blue one: the span is still positive.
        rig.doubleClickAt(rig.mouseOnRising(Key0 + 140.0), Qt::LeftButton);
        QCOMPARE(rig.crosshair->redTracer(), red); // the same tracer, moved
        QCOMPARE(rig.crosshair->spanLabel()->text(), QStringLiteral("00:00:30.000"));
        QCOMPARE(rig.crosshair->deltaLabel()->text(), QStringLiteral("-3.00"));

        // The blue one on the right axis's graph: no difference across axes.
        rig.doubleClickAt(mouseFor(pixelOf(&rig.plot, Key0 + 50.0, -40.0, rig.plot.yAxis2)), Qt::RightButton);
        QCOMPARE(blue->graph(), rig.plot.graph(1));
        QCOMPARE(rig.crosshair->spanLabel()->text(), QStringLiteral("00:01:30.000"));
        QVERIFY(!rig.crosshair->deltaLabel());

        rig.crosshair->clearTracers();
        QVERIFY(!rig.crosshair->redTracer() && !rig.crosshair->blueTracer() && !rig.crosshair->spanLabel());
    }

    void draggingATracer()
    {
        Rig rig;
        rig.halfSecondPixels();
        rig.doubleClickAt(rig.mouseOnRising(Key0 + 20.0), Qt::LeftButton);
        QCPItemTracer *red = rig.crosshair->redTracer();
        const QCPRange before = rig.plot.xAxis->range();

        plotMouse(&rig.plot, QEvent::MouseButtonPress, rig.mouseOnRising(Key0 + 20.0), Qt::LeftButton);
        QVERIFY(!rig.plot.interactions().testFlag(QCP::iRangeDrag));
        plotMove(&rig.plot, rig.mouseOnRising(Key0 + 60.0));
        QCOMPARE(red->graphKey(), Key0 + 60.0);
        QCOMPARE(rig.crosshair->deltaLabel()->text(), QStringLiteral("-74.00"));
        plotMouse(&rig.plot, QEvent::MouseButtonRelease, rig.mouseOnRising(Key0 + 60.0), Qt::LeftButton);
        QVERIFY(rig.plot.interactions().testFlag(QCP::iRangeDrag));
        QCOMPARE(rig.plot.xAxis->range(), before); // the tracer moved, not the view

        // Later moves leave it where it was dropped.
        plotMove(&rig.plot, rig.mouseOnRising(Key0 + 80.0));
        QCOMPARE(red->graphKey(), Key0 + 60.0);
    }

    void pressReportsTheGraph()
    {
        Rig rig;
        QSignalSpy pressed(rig.crosshair, &PlotCrosshair::pressed);
        QSignalSpy graphPressed(rig.crosshair, &PlotCrosshair::graphPressed);
        const double key = rig.plot.xAxis->range().center();
        plotMouse(&rig.plot, QEvent::MouseButtonPress, rig.mouseOnRising(key), Qt::LeftButton);
        plotMouse(&rig.plot, QEvent::MouseButtonRelease, rig.mouseOnRising(key), Qt::LeftButton);
        QCOMPARE(pressed.size(), 1);
        QCOMPARE(graphPressed.size(), 1);
        QCOMPARE(graphPressed.first().first().value<QCPGraph *>(), rig.plot.graph(0));
        plotMouse(&rig.plot, QEvent::MouseButtonPress, rig.mouseOnRising(key) + QPoint(0, 80), Qt::LeftButton);
        QCOMPARE(pressed.size(), 2);
        QCOMPARE(graphPressed.size(), 1);
    }

    // One blank override at most, and only its own taken off.
    void blankCursor()
    {
        {
            Rig rig;
            sendPlain(&rig.plot, QEvent::Enter);
            sendPlain(&rig.plot, QEvent::Enter);
            QCOMPARE(overrideShapes(), QList<Qt::CursorShape>{Qt::BlankCursor});
            sendPlain(&rig.plot, QEvent::Leave);
            QCOMPARE(overrideDepth(), 0);
            sendPlain(&rig.plot, QEvent::Leave);
            QCOMPARE(overrideDepth(), 0);
        }
        {
            // Another window's cursor below: closing without Leave keeps it.
            QApplication::setOverrideCursor(Qt::WaitCursor);
            Rig rig;
            sendPlain(&rig.plot, QEvent::Enter);
            sendPlain(&rig.plot, QEvent::Enter);
            rig.plot.close();
            QCOMPARE(overrideShapes(), QList<Qt::CursorShape>{Qt::WaitCursor});
            cleanup();
        }
        {
            // Another window's cursor pushed above ours: ours goes, theirs stays.
            Rig rig;
            QApplication::setOverrideCursor(Qt::ArrowCursor);
            sendPlain(&rig.plot, QEvent::Enter);
            QApplication::setOverrideCursor(Qt::WaitCursor);
            rig.plot.hide();
            QCOMPARE(overrideShapes(), (QList<Qt::CursorShape>{Qt::ArrowCursor, Qt::WaitCursor}));
            cleanup();
        }
        {
            // Destroyed while the mouse is over it.
            auto rig = std::make_unique<Rig>();
            sendPlain(&rig->plot, QEvent::Enter);
            rig.reset();
            QCOMPARE(overrideDepth(), 0);
        }
    }

    void timeAxisLimitsAndFormats()
    {
        {
            Rig rig(PlotRanges::Restore::LastRange);
            const QCPRange accepted = rig.plot.xAxis->range();
            QCOMPARE(accepted.upper, Key0 + 31.0);
            QCOMPARE(accepted.size(), 60.0);
            QVERIFY(rig.crosshair->followsNow());
            QCOMPARE(rig.ticker->dateTimeFormat(), QStringLiteral("hh:mm:ss"));

            rig.plot.xAxis->setRange(Key0, Key0 + 0.5);
            QCOMPARE(rig.plot.xAxis->range(), accepted);
            rig.plot.xAxis->setRange(Key0, Key0 + 2592001.0);
            QCOMPARE(rig.plot.xAxis->range(), accepted);

            rig.plot.xAxis->setRange(Key0, Key0 + 4.0);
            QCOMPARE(rig.ticker->dateTimeFormat(), QStringLiteral("hh:mm:ss.z"));
            QVERIFY(!rig.crosshair->followsNow());
            rig.plot.xAxis->setRange(Key0 - 172800.0, Key0 + 60.0);
            QCOMPARE(rig.ticker->dateTimeFormat(), QStringLiteral("hh:mm:ss\ndd.MM.yyyy"));
            QCOMPARE(rig.crosshair->verticalMarker()->timeFormat(), QStringLiteral("hh:mm:ss"));
            QVERIFY(!rig.crosshair->dateLabel()->visible());
            QVERIFY(rig.crosshair->followsNow());

            rig.plot.xAxis->setRange(Key0, Key0 + 60.0);
            QVERIFY(rig.crosshair->dateLabel()->visible());
            QCOMPARE(rig.crosshair->verticalMarker()->timeFormat(), QStringLiteral("hh:mm:ss.zzz"));
            rig.plot.replot();
            const double middle = rig.plot.xAxis->pixelToCoord(rig.plot.width() / 2.0);
            QCOMPARE(rig.crosshair->dateLabel()->text(), zoneTime(middle, QStringLiteral("dd.MM.yyyy")));
        }
        {
            Rig rig(PlotRanges::Restore::LimitFromLastLower);
            const double lower = rig.plot.xAxis->range().lower;
            rig.plot.xAxis->setRange(Key0, Key0 + 0.5);
            QCOMPARE(rig.plot.xAxis->range(), QCPRange(lower, lower + 1.0));
        }
    }

    void refreshScrollsWhileFollowing()
    {
        Rig rig;
        rig.clock.advance(5000); // now = Key0 + 35.4
        rig.crosshair->refresh();
        QCOMPARE(rig.plot.xAxis->range().upper, Key0 + 35.65);
        QCOMPARE(rig.plot.xAxis->range().size(), 60.25);

        // Looking at the past: no scrolling.
        rig.plot.xAxis->setRange(Key0 - 600.0, Key0 - 540.0);
        rig.clock.advance(5000);
        rig.crosshair->refresh();
        QCOMPARE(rig.plot.xAxis->range().upper, Key0 - 540.0);
    }
};

QTEST_MAIN(PlotCrosshairTest)
#include "tst_plotcrosshair.moc"

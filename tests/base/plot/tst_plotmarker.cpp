// The plot toolkit's pieces on a real offscreen plot of fixed size: marker
// fields and labels from mouse positions, the graph and item under the mouse,
// the duration text, the palette, and the time-axis and value-axis rules.
#include "plotfixture.h"
#include "plotmarker.h"
#include "plotranges.h"
#include "settings.h"

#include <QtTest>

#include <cmath>
#include <memory>

namespace {

constexpr double Key0 = 1700000000.0; // 2023-11-14 22:13:20 UTC

// A shown 600 x 400 plot over [Key0, Key0 + 60] x [-100, 0], laid out.
std::unique_ptr<QCustomPlot> makePlot()
{
    auto plot = std::make_unique<QCustomPlot>();
    plot->resize(600, 400);
    plot->xAxis->setRange(Key0, Key0 + 60.0);
    plot->yAxis->setRange(-100.0, 0.0);
    plot->show();
    plot->replot();
    return plot;
}

QMouseEvent moveAt(QCustomPlot *plot, const QPoint &pos)
{
    return QMouseEvent(QEvent::MouseMove, QPointF(pos), plot->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                       Qt::NoModifier);
}

// A flat graph at that value over the whole key range.
QCPGraph *flatGraph(QCustomPlot *plot, double value)
{
    QCPGraph *graph = plot->addGraph();
    graph->setData({Key0, Key0 + 30.0, Key0 + 60.0}, {value, value, value});
    return graph;
}

} // namespace

class PlotMarkerTest : public QObject
{
    Q_OBJECT
private slots:
    void formatDuration_data()
    {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << "00:00:00.000";
        QTest::newRow("milliseconds keep three digits") << qint64(3723004) << "01:02:03.004";
        QTest::newRow("tens of milliseconds") << qint64(3723040) << "01:02:03.040";
        QTest::newRow("just under a minute") << qint64(59999) << "00:00:59.999";
        QTest::newRow("ninety seconds") << qint64(90000) << "00:01:30.000";
        QTest::newRow("a hundred hours") << qint64(360000000) << "100:00:00.000";
        QTest::newRow("negative") << qint64(-1500) << "-00:00:01.500";
    }
    void formatDuration()
    {
        QFETCH(qint64, ms);
        QFETCH(QString, text);
        QCOMPARE(::formatDuration(ms), text);
    }

    // Label offsets and the inside test, at the edges of each threshold.
    // Positions are given from landmarks: x from the left edge or from the
    // key axis's right end, y from the top or from the value axis's bottom.
    void updateMarkersThresholds_data()
    {
        QTest::addColumn<bool>("xFromRight");
        QTest::addColumn<int>("x");
        QTest::addColumn<bool>("yFromBottom");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("labelDx"); // labelX - mouse x
        QTest::addColumn<int>("labelDy"); // labelY - mouse y
        QTest::addColumn<bool>("inside");
        QTest::newRow("x 100 is outside") << false << 100 << false << 200 << 20 << -30 << false;
        QTest::newRow("x 101 is inside") << false << 101 << false << 200 << 20 << -30 << true;
        QTest::newRow("y 24 is outside") << false << 300 << false << 24 << 20 << 10 << false;
        QTest::newRow("y 25 inside, label below") << false << 300 << false << 25 << 20 << 10 << true;
        QTest::newRow("y 39 label below") << false << 300 << false << 39 << 20 << 10 << true;
        QTest::newRow("y 40 label above") << false << 300 << false << 40 << 20 << -30 << true;
        QTest::newRow("50 left of the end: label right") << true << -50 << false << 200 << 20 << -30 << true;
        QTest::newRow("49 left of the end: label left") << true << -49 << false << 200 << -40 << -30 << true;
        QTest::newRow("7 past the end inside") << true << 7 << false << 200 << -40 << -30 << true;
        QTest::newRow("8 past the end outside") << true << 8 << false << 200 << -40 << -30 << false;
        QTest::newRow("9 below the bottom inside") << false << 300 << true << 9 << 20 << -30 << true;
        QTest::newRow("10 below the bottom outside") << false << 300 << true << 10 << 20 << -30 << false;
    }
    void updateMarkersThresholds()
    {
        QFETCH(bool, xFromRight);
        QFETCH(int, x);
        QFETCH(bool, yFromBottom);
        QFETCH(int, y);
        QFETCH(int, labelDx);
        QFETCH(int, labelDy);
        QFETCH(bool, inside);

        auto plot = makePlot();
        auto *vertical = new Marker(plot.get());
        auto *horizontal = new Marker(plot.get());
        const int rightEnd = qRound(plot->xAxis->coordToPixel(plot->xAxis->range().upper));
        const int bottom = qRound(plot->yAxis->coordToPixel(plot->yAxis->range().lower));
        const QPoint pos(xFromRight ? rightEnd + x : x, yFromBottom ? bottom + y : y);
        QMouseEvent event = moveAt(plot.get(), pos);

        QCOMPARE(updateMarkers(&event, vertical, horizontal, plot.get()), inside);
        QCOMPARE(vertical->mouseX(), pos.x());
        QCOMPARE(horizontal->mouseY(), pos.y());
        QCOMPARE(vertical->labelX() - pos.x(), double(labelDx));
        QCOMPARE(vertical->labelY() - pos.y(), double(labelDy));
        // The lines span the whole widget.
        QCOMPARE(vertical->lowCoord(), plot->yAxis->pixelToCoord(0));
        QCOMPARE(vertical->highCoord(), plot->yAxis->pixelToCoord(plot->height()));
        QCOMPARE(horizontal->highCoord(), plot->xAxis->pixelToCoord(plot->width()));
    }

    void updateMarkersWithoutAxes()
    {
        auto plot = makePlot();
        auto *vertical = new Marker(plot.get());
        auto *horizontal = new Marker(plot.get());
        plot->plotLayout()->clear(); // no axis rectangle left
        QMouseEvent event = moveAt(plot.get(), QPoint(300, 200));
        QVERIFY(!updateMarkers(&event, vertical, horizontal, plot.get()));
        QCOMPARE(vertical->mouseX(), 0);
        QCOMPARE(vertical->labelY(), 0.0);
    }

    // The lines and labels follow the mouse, shifted 10 pixels up and left;
    // the time label reads local time.
    void markerLabels()
    {
        auto plot = makePlot();
        auto *vertical = new Marker(plot.get());
        auto *horizontal = new Marker(plot.get());
        vertical->createHoverLabels();
        horizontal->createHoverLabels();
        QVERIFY(vertical->valueLabel() && vertical->timeLabel());
        QCOMPARE(vertical->timeLabel()->position->parentAnchor(), static_cast<QCPItemAnchor *>(vertical->end));

        const QPoint pos(310, 210);
        QMouseEvent event = moveAt(plot.get(), pos);
        QVERIFY(updateMarkers(&event, vertical, horizontal, plot.get()));
        vertical->placeVertical();
        horizontal->placeHorizontal();
        const double key = plot->xAxis->pixelToCoord(300);
        const double value = plot->yAxis->pixelToCoord(200);
        QCOMPARE(vertical->coordinate(), key);
        QCOMPARE(vertical->start->coords(), QPointF(key, vertical->lowCoord()));
        QCOMPARE(vertical->end->coords(), QPointF(key, vertical->highCoord()));
        QCOMPARE(horizontal->coordinate(), value);
        QCOMPARE(horizontal->start->coords(), QPointF(plot->xAxis->pixelToCoord(0), value));

        QCOMPARE(vertical->updateValueLabel(plot->yAxis), value);
        QCOMPARE(vertical->valueLabel()->text(), QString::number(value, 'f', 2));
        QCOMPARE(vertical->valueLabel()->position->pixelPosition(),
                 QPointF(vertical->labelX(), vertical->labelY()));

        auto ticker = QSharedPointer<QCPAxisTickerDateTime>::create();
        vertical->updateTimeLabel(ticker);
        QCOMPARE(vertical->timeLabel()->text(), zoneTime(key, QStringLiteral("hh:mm:ss.zzz")));
        vertical->setTimeFormat(QStringLiteral("hh:mm:ss"));
        vertical->updateTimeLabel(ticker);
        QCOMPARE(vertical->timeLabel()->text(), zoneTime(key, QStringLiteral("hh:mm:ss")));

        // A label the plot deleted is skipped.
        plot->removeItem(vertical->valueLabel());
        QVERIFY(!vertical->valueLabel());
        vertical->updateValueLabel(plot->yAxis);
        vertical->setLabelsVisible(false);
        QVERIFY(!vertical->timeLabel()->visible());
    }

    // The graph's value under the mouse, exactly on the line too, beside the
    // pointer; "NaN" for a graph without data.
    void graphValueLabel()
    {
        auto plot = makePlot();
        // One value unit per pixel, so the line lies on a whole pixel row.
        const int height = plot->axisRect()->height();
        plot->yAxis->setRange(-50.0, -50.0 + height);
        plot->replot();
        QCPGraph *graph = flatGraph(plot.get(), 5.0);
        QCPGraph *empty = plot->addGraph();
        auto *vertical = new Marker(plot.get());
        auto *horizontal = new Marker(plot.get());
        vertical->createHoverLabels();

        const QPoint onLine = pixelOf(plot.get(), Key0 + 20.0, 5.0);
        QCOMPARE(graph->selectTest(QPointF(onLine), false), 0.0);
        QMouseEvent event = moveAt(plot.get(), onLine);
        updateMarkers(&event, vertical, horizontal, plot.get());
        QCOMPARE(vertical->updateGraphValueLabel(graph), 5.0);
        QCOMPARE(vertical->valueLabel()->text(), QStringLiteral("5.00"));
        // Drawn where the axis reading would be, beside the pointer.
        QCOMPARE(vertical->valueLabel()->position->pixelPosition(), QPointF(vertical->labelX(), vertical->labelY()));

        QVERIFY(std::isnan(vertical->updateGraphValueLabel(empty)));
        QCOMPARE(vertical->valueLabel()->text(), QStringLiteral("NaN"));
    }

    // Which graph lies under the mouse (which looks 10 pixels up and left).
    void graphAtPicks_data()
    {
        QTest::addColumn<int>("offset");   // pixels below the lines
        QTest::addColumn<bool>("hideFirst");
        QTest::addColumn<int>("expected"); // graph index, -1 none
        QTest::newRow("on the lines: the earlier of a tie") << 0 << false << 0;
        QTest::newRow("first hidden: the second") << 0 << true << 1;
        QTest::newRow("within the tolerance") << 7 << false << 0;
        QTest::newRow("at the tolerance: none") << 8 << false << -1;
    }
    void graphAtPicks()
    {
        QFETCH(int, offset);
        QFETCH(bool, hideFirst);
        QFETCH(int, expected);
        auto plot = makePlot();
        QCOMPARE(plot->selectionTolerance(), 8);
        const int height = plot->axisRect()->height();
        plot->yAxis->setRange(-50.0, -50.0 + height);
        plot->replot();
        flatGraph(plot.get(), 5.0)->setVisible(!hideFirst);
        flatGraph(plot.get(), 5.0);
        // A hidden graph right at the mouse never counts.
        flatGraph(plot.get(), 5.0 - offset)->setVisible(false);

        const QPoint target = pixelOf(plot.get(), Key0 + 20.0, 5.0) + QPoint(0, offset);
        QMouseEvent event = moveAt(plot.get(), mouseFor(target));
        QCOMPARE(graphAt(plot.get(), &event), expected < 0 ? nullptr : plot->graph(expected));
    }

    void itemAtSeesSelectableItems()
    {
        auto plot = makePlot();
        auto *tracer = new QCPItemTracer(plot.get());
        tracer->position->setCoords(Key0 + 30.0, -50.0);
        tracer->setStyle(QCPItemTracer::tsCircle);
        auto *label = new QCPItemText(plot.get());
        label->position->setCoords(Key0 + 10.0, -50.0);
        label->setText(QStringLiteral("label"));
        styleTextItem(label, true, Qt::gray);
        plot->replot();

        QMouseEvent atTracer = moveAt(plot.get(), mouseFor(pixelOf(plot.get(), Key0 + 30.0, -50.0)));
        QCOMPARE(itemAt(plot.get(), &atTracer), tracer);
        QMouseEvent atTracerUnshifted = moveAt(plot.get(), pixelOf(plot.get(), Key0 + 30.0, -50.0) + QPoint(30, 30));
        QCOMPARE(itemAt(plot.get(), &atTracerUnshifted), nullptr);
        // Styled labels are not selectable, so the mouse never grabs them.
        QMouseEvent atLabel = moveAt(plot.get(), mouseFor(pixelOf(plot.get(), Key0 + 10.0, -50.0)));
        QCOMPARE(itemAt(plot.get(), &atLabel), nullptr);
        QCOMPARE(label->layer()->name(), QStringLiteral("overlay"));
        QCOMPARE(label->padding(), QMargins(5, 5, 5, 5));
        QCOMPARE(label->color(), QColor(Qt::white));
        QVERIFY(label->text().isEmpty());
    }

    void palette()
    {
        appSettings.remove(QLatin1String(SettingsKey::Palette));
        const QList<PaletteEntry> defaults = namedPalette();
        QCOMPARE(defaults.size(), 36);
        QCOMPARE(defaults.at(0).name, QStringLiteral("Amber"));
        QCOMPARE(defaults.at(0).colour, QColor(255, 190, 11));
        QCOMPARE(defaults.at(5).name, QStringLiteral("Light green"));
        QCOMPARE(defaults.at(5).colour, QColor(144, 238, 144));
        QCOMPARE(defaults.at(6).name, QStringLiteral("red"));
        QCOMPARE(defaults.at(6).colour, QColor(Qt::red));
        QCOMPARE(defaults.at(35).name, QStringLiteral("turquoise"));
        for (const PaletteEntry &entry : defaults)
            QVERIFY2(entry.colour.isValid(), qPrintable(entry.name));
        QCOMPARE(defaultGraphColours().size(), 6);
        QCOMPARE(defaultGraphColours().at(3), QColor(83, 38, 236));

        appSettings.setValue(QLatin1String(SettingsKey::Palette),
                             QStringList{QStringLiteral("#102030"), QStringLiteral("nosuchcolour")});
        const QList<PaletteEntry> custom = namedPalette();
        appSettings.remove(QLatin1String(SettingsKey::Palette));
        QCOMPARE(custom.size(), 8);
        QCOMPARE(custom.at(6).colour, QColor(0x10, 0x20, 0x30));
        QCOMPARE(custom.at(7).name, QStringLiteral("nosuchcolour"));
        QVERIFY(!custom.at(7).colour.isValid());
    }

    void keyRangeLimits_data()
    {
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        QTest::addColumn<int>("restore");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<double>("backLower");
        QTest::addColumn<double>("backUpper");
        const int last = int(PlotRanges::Restore::LastRange);
        const int limit = int(PlotRanges::Restore::LimitFromLastLower);
        // The last accepted range is [1000, 1060].
        QTest::newRow("one second accepted") << 2000.0 << 2001.0 << last << false << 0.0 << 0.0;
        QTest::newRow("thirty days accepted") << 2000.0 << 2000.0 + 2592000.0 << last << false << 0.0 << 0.0;
        QTest::newRow("too narrow: last range") << 2000.0 << 2000.5 << last << true << 1000.0 << 1060.0;
        QTest::newRow("too wide: last range") << 0.0 << 2592001.0 << last << true << 1000.0 << 1060.0;
        QTest::newRow("too narrow: one second") << 2000.0 << 2000.5 << limit << true << 1000.0 << 1001.0;
        QTest::newRow("too wide: thirty days") << 0.0 << 2592001.0 << limit << true << 1000.0 << 1000.0 + 2592000.0;
    }
    void keyRangeLimits()
    {
        QFETCH(double, lower);
        QFETCH(double, upper);
        QFETCH(int, restore);
        QFETCH(bool, refused);
        QFETCH(double, backLower);
        QFETCH(double, backUpper);
        const auto back = PlotRanges::refusedKeyRange(QCPRange(lower, upper), QCPRange(1000.0, 1060.0),
                                                      PlotRanges::Restore(restore));
        QCOMPARE(back.has_value(), refused);
        if (refused) {
            QCOMPARE(back->lower, backLower);
            QCOMPARE(back->upper, backUpper);
        }
    }

    void spanStyles_data()
    {
        QTest::addColumn<double>("span");
        QTest::addColumn<QString>("ticks");
        QTest::addColumn<QString>("marker");
        QTest::addColumn<int>("dateLabel");
        QTest::newRow("4 s") << 4.0 << "hh:mm:ss.z" << "" << int(PlotRanges::SpanStyle::KeepDateLabel);
        QTest::newRow("5 s") << 5.0 << "hh:mm:ss" << "hh:mm:ss.zzz" << int(PlotRanges::SpanStyle::ShowDateLabel);
        QTest::newRow("one day") << 86400.0 << "hh:mm:ss" << "hh:mm:ss.zzz" << int(PlotRanges::SpanStyle::ShowDateLabel);
        QTest::newRow("two days") << 172800.0 << "hh:mm:ss\ndd.MM.yyyy" << "hh:mm:ss"
                                  << int(PlotRanges::SpanStyle::HideDateLabel);
    }
    void spanStyles()
    {
        QFETCH(double, span);
        QFETCH(QString, ticks);
        QFETCH(QString, marker);
        QFETCH(int, dateLabel);
        const PlotRanges::SpanStyle style = PlotRanges::spanStyle(span);
        QCOMPARE(style.tickFormat, ticks);
        QCOMPARE(style.markerTimeFormat, marker);
        QCOMPARE(int(style.dateLabel), dateLabel);
    }

    void followingNow()
    {
        const QCPRange minute = PlotRanges::lastMinute(1000.7);
        QCOMPARE(minute.lower, 941.0);
        QCOMPARE(minute.upper, 1001.0);
        QVERIFY(!PlotRanges::followedRange(minute, 1000.75).has_value()); // 1001.0 reaches far enough
        const auto moved = PlotRanges::followedRange(QCPRange(941.0, 1001.0), 1002.0);
        QVERIFY(moved.has_value());
        QCOMPARE(moved->upper, 1002.25);
        QCOMPARE(moved->upper - moved->lower, 60.25);
        const auto again = PlotRanges::followedRange(*moved, 1003.0);
        QCOMPARE(again->upper - again->lower, 60.25); // the width does not creep
    }

    void valueAxisGrowth_data()
    {
        QTest::addColumn<double>("fromLower");
        QTest::addColumn<double>("fromUpper");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        QTest::newRow("inside") << -100.0 << 0.0 << -50.0 << -100.0 << 0.0;
        QTest::newRow("below, negative") << -100.0 << 0.0 << -110.0 << -121.0 << 0.0;
        QTest::newRow("above, positive") << -100.0 << 0.0 << 20.0 << -100.0 << 22.0;
        QTest::newRow("below, positive") << 10.0 << 20.0 << 5.0 << 5.0 / 1.1 << 20.0;
        QTest::newRow("above, negative") << -30.0 << -20.0 << -11.0 << -30.0 << -11.0 / 1.1;
        QTest::newRow("nan leaves it") << -100.0 << 0.0 << std::nan("") << -100.0 << 0.0;
    }
    void valueAxisGrowth()
    {
        QFETCH(double, fromLower);
        QFETCH(double, fromUpper);
        QFETCH(double, value);
        QFETCH(double, lower);
        QFETCH(double, upper);
        const QCPRange grown = PlotRanges::grownValueRange(QCPRange(fromLower, fromUpper), value);
        QCOMPARE(grown.lower, lower);
        QCOMPARE(grown.upper, upper);
    }
};

QTEST_MAIN(PlotMarkerTest)
#include "tst_plotmarker.moc"

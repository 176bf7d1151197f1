// The generic plot view under load, offscreen, beside a bare plot that draws
// the same points with the same pen and drawing hint on a plot widget of the
// size of the view's own plot (so the difference is what the view adds: its
// point-by-point feeding, its axis growth, its crosshair, labels and date item).
//
//   1. 500 000 points: the view fed by addData one point at a time, the bare
//      plot given them by setData at once; each followed by its first frame
//      over the whole span. Goal for the view: under 0.5 s.
//   2. 1 000 000 points: the median of the rounds' replots over the whole
//      span and over the last 60 s, view and bare plot, with the ratios.
//      Goal: the view's last-60-s replot well under its 30 ms refresh and
//      within 1.2 times the bare plot's.
//
// Points are 0.1 s apart with a wavy value; the view's window is 1440 x 775.
// Ends with "result: <feeding + first frame of the view, 500 000 points> ms".
//
//   bench_plot [--rounds N]

#include "benchstats.h"
#include "customplotview.h"
#include "plotclock.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <qcustomplot.h>

#include <cmath>
#include <cstdio>
#include <memory>

namespace {

constexpr double Key0 = 1700000000.0;
constexpr double Step = 0.1;

double valueAt(int i)
{
    // A slow wave with a small deterministic ripple.
    return -60.0 + 20.0 * std::sin(i / 500.0) + double((unsigned(i) * 7919u) % 11u) - 5.0;
}

double keyAt(int i)
{
    return Key0 + i * Step;
}

struct Views
{
    explicit Views()
    {
        view = std::make_unique<CustomPlotView>();
        view->resize(1440, 775);
        view->initPlot(-100.0, 0.0, QStringLiteral("dBm"), QString());
        view->setStartCallback([] {});
        view->setStopCallback([] {});
        view->setTickCallback([] {});
        view->addGraph(QStringLiteral("level"), QPen(QColor(255, 50, 50), 2.0), QVariant(), true);
        view->show();
        QApplication::processEvents();

        bare = std::make_unique<QCustomPlot>();
        bare->resize(view->plot()->size());
        bare->yAxis->setRange(-100.0, 0.0);
        bare->xAxis->setTicker(QSharedPointer<QCPAxisTickerDateTime>::create());
        bare->addGraph()->setPen(QPen(QColor(255, 50, 50), 2.0));
        // Drawn as the view draws: a 2-pixel line segment by segment.
        bare->setPlottingHint(QCP::phFastPolylines, true);
        bare->show();
        QApplication::processEvents();
    }

    std::unique_ptr<CustomPlotView> view;
    std::unique_ptr<QCustomPlot> bare;
};

double elapsedMs(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

void feedView(CustomPlotView &view, int count)
{
    for (int i = 0; i < count; ++i)
        view.addData(0, keyAt(i), valueAt(i));
}

void feedBare(QCustomPlot &bare, int count)
{
    QVector<double> keys(count), values(count);
    for (int i = 0; i < count; ++i) {
        keys[i] = keyAt(i);
        values[i] = valueAt(i);
    }
    bare.graph(0)->setData(keys, values, true);
}

// The median of `rounds` immediate replots with the key axis on [lower, upper].
double replotMedian(QCustomPlot &plot, double lower, double upper, int rounds)
{
    plot.xAxis->setRange(lower, upper);
    plot.replot(QCustomPlot::rpImmediateRefresh); // layout settled
    std::vector<double> times;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer timer;
        timer.start();
        plot.replot(QCustomPlot::rpImmediateRefresh);
        times.push_back(elapsedMs(timer));
    }
    return median(times);
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home;
    useBenchHome(home);
    QApplication app(argc, argv);
    qInstallMessageHandler(discardMessage);
    const int rounds = roundsFromArguments(app, QStringLiteral("Replots measured for each median (default 20)."));
    // The view follows this clock; the points lie in the past of it.
    PlotClock::setSource([] { return qint64(Key0 * 1000.0) + 200000000; });

    constexpr int FeedPoints = 500000;
    double viewFeed = 0.0;
    double bareFeed = 0.0;
    {
        Views v;
        QElapsedTimer timer;
        timer.start();
        feedView(*v.view, FeedPoints);
        v.view->plot()->xAxis->setRange(keyAt(0), keyAt(FeedPoints - 1));
        v.view->plot()->replot(QCustomPlot::rpImmediateRefresh);
        viewFeed = elapsedMs(timer);

        timer.restart();
        feedBare(*v.bare, FeedPoints);
        v.bare->xAxis->setRange(keyAt(0), keyAt(FeedPoints - 1));
        v.bare->replot(QCustomPlot::rpImmediateRefresh);
        bareFeed = elapsedMs(timer);
        std::printf("plot widgets: view %dx%d (window 1440x775), bare %dx%d\n", v.view->plot()->width(),
                    v.view->plot()->height(), v.bare->width(), v.bare->height());
    }
    std::printf("500000 points, feeding + first full-span frame: view %.1f ms (addData), bare %.1f ms (setData), "
                "ratio %.2f; goal for the view: under 500 ms\n",
                viewFeed, bareFeed, viewFeed / bareFeed);

    constexpr int ReplotPoints = 1000000;
    {
        Views v;
        feedView(*v.view, ReplotPoints);
        feedBare(*v.bare, ReplotPoints);
        const double first = keyAt(0);
        const double last = keyAt(ReplotPoints - 1);
        const double viewFull = replotMedian(*v.view->plot(), first, last, rounds);
        const double bareFull = replotMedian(*v.bare, first, last, rounds);
        const double viewMinute = replotMedian(*v.view->plot(), last - 60.0, last, rounds);
        const double bareMinute = replotMedian(*v.bare, last - 60.0, last, rounds);
        std::printf("1000000 points, median of %d replots, full span: view %.2f ms, bare %.2f ms, ratio %.2f\n",
                    rounds, viewFull, bareFull, viewFull / bareFull);
        std::printf("1000000 points, median of %d replots, last 60 s: view %.2f ms, bare %.2f ms, ratio %.2f; "
                    "goal: well under 30 ms, ratio 1.2 or below\n",
                    rounds, viewMinute, bareMinute, viewMinute / bareMinute);
    }
    PlotClock::setSource(nullptr);
    std::printf("result: %.1f ms\n", viewFeed);
    return 0;
}

#pragma once

#include "plotpanel.h"

#include <functional>

// A live time-series plot to embed: its owner adds the graphs, hands it the
// start, stop and tick callbacks and feeds it points; the view plots them
// against the time of day with the crosshair, the tracers, the graph list,
// Start/Stop with the sampling interval, pen editing and the CSV export.
//
// Set-up order: initPlot(), the three callbacks, addGraph() per graph. Start
// needs a graph; it calls the start callback, then the tick callback runs at
// each sampling interval; Stop calls the stop callback and breaks every line
// at that moment. The owner clicks Stop (stop()) before it closes.
class CustomPlotView : public PlotPanel
{
    Q_OBJECT
public:
    using Callback = std::function<void()>;

    explicit CustomPlotView(QWidget *parent = nullptr);
    ~CustomPlotView() override;

    void initPlot(double valueLower, double valueUpper, const QString &leftLabel, const QString &rightLabel);
    void setStartCallback(Callback callback) { m_onStart = std::move(callback); }
    void setStopCallback(Callback callback) { m_onStop = std::move(callback); }
    void setTickCallback(Callback callback) { m_onTick = std::move(callback); }
    // Graph i is the plot's i-th graph and the list's i-th row.
    void addGraph(const QString &name, const QPen &pen, const QVariant &data, bool leftAxis);
    void addData(int graphIndex, double key, double value) { addPoint(graphIndex, key, value); }
    void setTestedText(const QString &text);
    void start();
    void stop();

    // The export file: title line, column names, one line per point of graph 0
    // with its local time and every graph's value in the Russian number format.
    static QString csvText(const QCustomPlot *plot, const QDateTime &now);

signals:
    void graphPenUpdated(const QString &graphName, const QPen &pen);

protected:
    void plottingStarted() override;
    void plottingStopped() override;
    void sampleTick() override;
    void graphPenChanged(const QString &name, const QPen &pen) override;
    QString exportText(const QDateTime &now) const override;

private:
    static void call(const Callback &callback, const char *which);

    Callback m_onStart;
    Callback m_onStop;
    Callback m_onTick;
    QSpinBox *m_graphCount;
};

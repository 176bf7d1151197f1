#pragma once

#include "plotranges.h"

#include <QPen>
#include <QSharedPointer>
#include <QTimer>
#include <QVariant>
#include <QWidget>

#include <functional>

#include <qcustomplot.h>

class PlotCrosshair;
class QAction;
class QCheckBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QSpinBox;

// The common body of the live plot windows (the master's noise window and
// the generic plot view): the plot with its crosshair and tracers, the
// checkable graph list with "Select all" and the pen editor, Start and Stop
// with the sampling interval, Clear, Clear tracers, Help and the CSV export.
//
// Plotting runs two timers: the redraw timer (30 ms) scrolls and replots,
// the sample timer (the interval) calls sampleTick(), where the window asks
// for or adds data. Points are appended without replotting.
class PlotPanel : public QWidget
{
    Q_OBJECT
public:
    explicit PlotPanel(QWidget *parent = nullptr);
    ~PlotPanel() override;

    QCustomPlot *plot() const { return m_plot; }
    // Null until the plot is set up.
    PlotCrosshair *crosshair() const { return m_crosshair; }
    bool isPlotting() const;
    // Either timer runs.
    bool timersRunning() const { return m_refreshTimer.isActive() || m_sampleTimer.isActive(); }
    // Times the sampling (its time-out calls sampleTick()).
    QTimer *sampleTimer() { return &m_sampleTimer; }

protected:
    // Background, date-time key axis, value axes (the right one only with a
    // label), paddings, horizontal drag and zoom, the crosshair; then the
    // last minute is shown.
    void setUpPlot(double valueLower, double valueUpper, const QString &leftLabel, const QString &rightLabel,
                   bool requestOpenGl, PlotRanges::Restore restore);
    // A graph on the key axis and the left or right value axis with its
    // checked list entry (text colour: the pen's; `data` under Qt::UserRole).
    QCPGraph *addPlotGraph(const QString &name, const QPen &pen, const QVariant &data, bool leftAxis);
    // Appends a point; the graph's value axis grows to show it.
    void addPoint(int graphIndex, double key, double value);

    virtual void plottingStarted() {}
    virtual void plottingStopped() {}
    virtual void sampleTick() = 0;
    virtual void graphPenChanged(const QString &name, const QPen &pen) { Q_UNUSED(name) Q_UNUSED(pen) }
    // The file the export writes, for the time given.
    virtual QString exportText(const QDateTime &now) const = 0;
    // The value of a graph's point as an export field: empty past the
    // graph's last point and for a break (NaN).
    static QString exportField(const QCPGraph *graph, int index, const std::function<QString(double)> &number);

    void closeEvent(QCloseEvent *event) override;

    QLabel *m_tested;
    QCustomPlot *m_plot;
    QListWidget *m_graphList;
    QPushButton *m_edit;
    QCheckBox *m_selectAll;
    QHBoxLayout *m_countRow;
    QPushButton *m_start;
    QPushButton *m_stop;
    QLabel *m_intervalLabel;
    QSpinBox *m_interval;
    QPushButton *m_help;
    QPushButton *m_clearTracers;
    QPushButton *m_save;
    QPushButton *m_clear;
    QAction *m_selectAllAction;
    QAction *m_editAction;
    QTimer m_refreshTimer;
    QTimer m_sampleTimer;
    QSharedPointer<QCPAxisTickerDateTime> m_ticker;
    PlotCrosshair *m_crosshair = nullptr;

private:
    void startPlotting();
    void stopPlotting();
    void stopTimers();
    void clearAll();
    void clearTracers();
    void showHelp();
    void exportCsv();
    void editGraph();
    void onItemChanged(QListWidgetItem *item);
    void onSelectAllClicked();
    void setAllChecked(bool checked);
    void updateSelectAllBox();
    void syncGraphSelection();
    void selectEntriesOf(QCPGraph *graph);
};

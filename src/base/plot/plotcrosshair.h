#pragma once

#include "plotcursor.h"
#include "plotmarker.h"
#include "plotranges.h"

#include <QObject>
#include <QPointer>
#include <QSharedPointer>

#include <qcustomplot.h>

class QMouseEvent;

// The mouse side of a live time plot, shared by the plot windows: the
// crosshair (a vertical and a horizontal Marker with their labels), the date
// label, the red and blue tracers with their time and value labels, dragging
// a tracer along its graph, the blank cursor over the plot, and the rules of
// the time axis (zoom limits, tick formats, following the present time).
//
// The owner makes the plot's axes and graphs and drives refresh() from its
// redraw timer while it is live (plotting); when it is not live, every mouse
// move places the crosshair and replots at once. Times come from PlotClock.
//
// Mouse: a move shows the crosshair while the pointer is in the plot area; a
// press clears the plot's selection and either starts dragging the tracer
// under the mouse (range dragging is off meanwhile) or reports the graph
// under it (graphPressed); a double click on a graph puts the red tracer
// (left button) or the blue one (right button) on it at the crosshair's key.
// With one tracer its labels show its time and value; with both, the time
// between them (formatDuration) and the blue value minus the red one (left
// out when only one of the two graphs is on the right value axis).
class PlotCrosshair : public QObject
{
    Q_OBJECT
public:
    PlotCrosshair(QCustomPlot *plot, QSharedPointer<QCPAxisTickerDateTime> ticker,
                  PlotRanges::Restore restore, QObject *parent = nullptr);
    ~PlotCrosshair() override;

    void setLive(bool live) { m_live = live; }
    bool isLive() const { return m_live; }

    // The key axis shows the minute up to 1 s after now.
    void resetTimeRange();
    // Redraw tick: scrolls while following now, places the crosshair at the
    // mouse, refreshes every label and replots.
    void refresh();
    bool followsNow() const { return m_followNow; }
    QCPRange lastAccepted() const { return m_lastAccepted; }

    // Removes both tracers and their labels (the caller replots).
    void clearTracers();

    // Takes the blank cursor off (the window hides or closes).
    void releaseCursor() { m_cursor.release(); }
    bool holdsCursor() const { return m_cursor.isHeld(); }

    Marker *verticalMarker() const { return m_vertical; }
    Marker *horizontalMarker() const { return m_horizontal; }
    QCPItemText *dateLabel() const { return m_dateLabel; }
    QCPItemTracer *redTracer() const { return m_red; }
    QCPItemTracer *blueTracer() const { return m_blue; }
    // Time (or span) and value (or difference) labels of the tracers.
    QCPItemText *spanLabel() const { return m_spanLabel; }
    QCPItemText *deltaLabel() const { return m_deltaLabel; }

signals:
    void pressed();
    void graphPressed(QCPGraph *graph);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onMouseMove(QMouseEvent *event);
    void onMousePress(QMouseEvent *event);
    void onMouseRelease(QMouseEvent *event);
    void onDoubleClick(QMouseEvent *event);
    void onKeyRangeChanged(const QCPRange &range);
    void setCrosshairVisible(bool visible);
    void placeCrosshair();
    void placeDateLabel();
    void attachTracer(QPointer<QCPItemTracer> &tracer, const QColor &colour, QCPGraph *graph);
    void updateTracerLabels();
    QString timeText(double key) const;
    void replotNow();

    QCustomPlot *m_plot;
    QSharedPointer<QCPAxisTickerDateTime> m_ticker;
    PlotRanges::Restore m_restore;
    QPointer<Marker> m_vertical;
    QPointer<Marker> m_horizontal;
    QPointer<QCPItemText> m_dateLabel;
    QPointer<QCPItemTracer> m_red;
    QPointer<QCPItemTracer> m_blue;
    QPointer<QCPItemTracer> m_lastPlaced;
    QPointer<QCPItemTracer> m_dragged;
    QPointer<QCPItemText> m_spanLabel;
    QPointer<QCPItemText> m_deltaLabel;
    QCPRange m_lastAccepted{0.0, 1.0};
    BlankCursorGuard m_cursor;
    bool m_live = false;
    bool m_followNow = false;
    bool m_haveMouse = false;
};

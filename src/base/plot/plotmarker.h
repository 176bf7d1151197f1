#pragma once

#include <QColor>
#include <QList>
#include <QPointer>
#include <QSharedPointer>
#include <QString>
#include <QVector>

#include <qcustomplot.h>

class QMouseEvent;

// The plot toolkit shared by the time-series windows: a crosshair line with
// two floating labels, helpers that find the graph or item under the mouse,
// the label look, the duration text and the colours offered for graphs.
//
// Mouse positions are widget pixels from the plot's own mouse events. Before a
// position becomes a plot coordinate it is shifted 10 pixels left and up
// (graphAt, itemAt, placeVertical, placeHorizontal, updateValueLabel); the
// label offsets of updateMarkers and the graph hit test of
// updateGraphValueLabel use the position as it is. Keys are seconds since the
// epoch; values are plain numbers.

// One crosshair line: vertical (at a key) or horizontal (at a value) across
// the whole plot. The plot owns the line and its labels; the marker holds the
// labels by guarded pointers, so a label the plot deleted is skipped.
class Marker : public QCPItemLine
{
public:
    explicit Marker(QCustomPlot *plot);
    ~Marker() override;

    QString timeFormat() const { return m_timeFormat; }
    void setTimeFormat(const QString &format) { m_timeFormat = format; }

    // Makes valueLabel (grey, drawn at absolute pixels) and timeLabel (grey,
    // centred above the line's end point, which it follows). Made again, the
    // marker refers to the new labels; the old ones stay on the plot.
    void createHoverLabels();
    void setLabelsVisible(bool visible);

    // The line at the last mouse position: vertical at its key, horizontal at
    // its value, across the extent updateMarkers recorded.
    void placeVertical();
    void placeHorizontal();

    // The value under the mouse on that axis, "%.2f" into valueLabel; returns it.
    double updateValueLabel(QCPAxis *valueAxis);
    // The value of the graph's point nearest the mouse into valueLabel ("NaN"
    // when the graph has no point there), drawn where updateValueLabel draws;
    // returns it (NaN for none).
    double updateGraphValueLabel(QCPGraph *graph);
    // coordinate as a local date-time in timeFormat into timeLabel.
    void updateTimeLabel(const QSharedPointer<QCPAxisTickerDateTime> &ticker);

    double lowCoord() const { return m_lowCoord; }
    double highCoord() const { return m_highCoord; }
    int mouseX() const { return m_mouseX; }
    int mouseY() const { return m_mouseY; }
    double labelX() const { return m_labelX; }
    double labelY() const { return m_labelY; }
    // The key of a vertical marker, the value of a horizontal one.
    double coordinate() const { return m_coordinate; }
    QCPItemText *valueLabel() const { return m_valueLabel; }
    QCPItemText *timeLabel() const { return m_timeLabel; }

private:
    friend bool updateMarkers(QMouseEvent *, Marker *, Marker *, QCustomPlot *);
    // valueLabel at (labelX, labelY), in pixels.
    void placeValueLabel();

    double m_lowCoord = 0.0;
    double m_highCoord = 0.0;
    int m_mouseX = 0;
    int m_mouseY = 0;
    double m_labelX = 0.0;
    double m_labelY = 0.0;
    double m_coordinate = 0.0;
    QCustomPlot *m_plot;
    QPointer<QCPItemText> m_valueLabel;
    QPointer<QCPItemText> m_timeLabel;
    QString m_timeFormat = QStringLiteral("hh:mm:ss.zzz");
};

// One colour offered for graphs; the name is empty for an unnamed colour.
struct PaletteEntry
{
    QColor colour;
    QString name;
};

// Records the mouse position in both markers, the extent of each line and
// where the vertical marker's value label goes (the horizontal marker's label
// sits at the right end of the key axis, at the same height). Returns true
// when the mouse is inside the plot area; false, changing nothing, when the
// plot has no axis rectangle with a bottom and a left axis.
bool updateMarkers(QMouseEvent *event, Marker *vertical, Marker *horizontal, QCustomPlot *plot);

// The visible graph nearest the mouse within the plot's selection tolerance
// (earlier graphs win ties); null when none.
QCPGraph *graphAt(QCustomPlot *plot, QMouseEvent *event);
// The selectable item under the mouse; null when none.
QCPAbstractItem *itemAt(QCustomPlot *plot, QMouseEvent *event);

// The look of every plot label: empty white text on a solid background,
// padding 5, not selectable; moved to the layer "overlay" when asked.
void styleTextItem(QCPItemText *item, bool onOverlay, const QColor &background);

// A span as "hh:mm:ss.zzz" (hours at least two digits, milliseconds always
// three); a negative span gets a leading "-".
QString formatDuration(qint64 ms);

// The six default graph colours, then one entry per colour name of the
// setting "palette" (30 names when it is absent).
QList<PaletteEntry> namedPalette();
const QVector<QColor> &defaultGraphColours();

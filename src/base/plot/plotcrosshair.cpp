#include "plotcrosshair.h"

#include "plotclock.h"
#include "plotmarker.h"

#include <QEvent>
#include <QMouseEvent>

#include <cmath>

namespace {
const QColor TracerLabelGrey(150, 150, 150);
const QColor SpanGreen(100, 200, 100);
} // namespace

PlotCrosshair::PlotCrosshair(QCustomPlot *plot, QSharedPointer<QCPAxisTickerDateTime> ticker,
                             PlotRanges::Restore restore, QObject *parent)
    : QObject(parent), m_plot(plot), m_ticker(std::move(ticker)), m_restore(restore)
{
    m_dateLabel = new QCPItemText(plot);
    m_dateLabel->setLayer(QStringLiteral("overlay"));
    m_dateLabel->setClipToAxisRect(false);
    m_dateLabel->setSelectable(false);
    m_dateLabel->setPositionAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    m_dateLabel->position->setType(QCPItemPosition::ptAbsolute);

    m_vertical = new Marker(plot);
    m_horizontal = new Marker(plot);
    m_vertical->createHoverLabels();
    m_horizontal->createHoverLabels();
    setCrosshairVisible(false);

    connect(plot->xAxis, QOverload<const QCPRange &>::of(&QCPAxis::rangeChanged), this,
            &PlotCrosshair::onKeyRangeChanged);
    connect(plot, &QCustomPlot::mouseMove, this, &PlotCrosshair::onMouseMove);
    connect(plot, &QCustomPlot::mousePress, this, &PlotCrosshair::onMousePress);
    connect(plot, &QCustomPlot::mouseRelease, this, &PlotCrosshair::onMouseRelease);
    connect(plot, &QCustomPlot::mouseDoubleClick, this, &PlotCrosshair::onDoubleClick);
    plot->setMouseTracking(true);
    plot->installEventFilter(this);
}

PlotCrosshair::~PlotCrosshair() = default;

void PlotCrosshair::resetTimeRange()
{
    m_plot->xAxis->setRange(PlotRanges::lastMinute(PlotClock::nowSeconds()));
}

void PlotCrosshair::refresh()
{
    if (m_followNow) {
        if (const auto range = PlotRanges::followedRange(m_plot->xAxis->range(), PlotClock::nowSeconds()))
            m_plot->xAxis->setRange(*range);
    }
    placeCrosshair();
    updateTracerLabels();
    m_plot->replot(QCustomPlot::rpRefreshHint);
}

void PlotCrosshair::clearTracers()
{
    for (QCPAbstractItem *item : {static_cast<QCPAbstractItem *>(m_red), static_cast<QCPAbstractItem *>(m_blue),
                                  static_cast<QCPAbstractItem *>(m_spanLabel),
                                  static_cast<QCPAbstractItem *>(m_deltaLabel)}) {
        if (item)
            m_plot->removeItem(item);
    }
    m_dragged = nullptr;
    m_lastPlaced = nullptr;
}

bool PlotCrosshair::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_plot) {
        switch (event->type()) {
        case QEvent::Enter:
            m_cursor.hold();
            break;
        case QEvent::Leave:
            setCrosshairVisible(false);
            m_plot->replot(QCustomPlot::rpQueuedReplot);
            m_cursor.release();
            break;
        case QEvent::Hide:
            m_cursor.release();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void PlotCrosshair::onMouseMove(QMouseEvent *event)
{
    if (!m_vertical || !m_horizontal)
        return;
    const bool inside = updateMarkers(event, m_vertical, m_horizontal, m_plot);
    m_haveMouse = true;
    setCrosshairVisible(inside);
    if (m_dragged) {
        m_vertical->placeVertical();
        m_dragged->setGraphKey(m_vertical->coordinate());
    }
    if (!m_live) {
        placeCrosshair();
        updateTracerLabels();
        m_plot->replot(QCustomPlot::rpQueuedReplot);
    }
}

void PlotCrosshair::onMousePress(QMouseEvent *event)
{
    emit pressed();
    m_plot->deselectAll();
    auto *tracer = qobject_cast<QCPItemTracer *>(itemAt(m_plot, event));
    if (tracer && (tracer == m_red || tracer == m_blue)) {
        m_dragged = tracer;
        m_plot->setInteraction(QCP::iRangeDrag, false);
    } else if (QCPGraph *graph = graphAt(m_plot, event)) {
        emit graphPressed(graph);
    }
    replotNow();
}

void PlotCrosshair::onMouseRelease(QMouseEvent *)
{
    m_plot->setInteraction(QCP::iRangeDrag, true);
    m_dragged = nullptr;
}

void PlotCrosshair::onDoubleClick(QMouseEvent *event)
{
    QCPGraph *graph = graphAt(m_plot, event);
    if (!graph)
        return;
    if (event->button() == Qt::LeftButton)
        attachTracer(m_red, Qt::red, graph);
    else if (event->button() == Qt::RightButton)
        attachTracer(m_blue, Qt::blue, graph);
    else
        return;
    updateTracerLabels();
    replotNow();
}

void PlotCrosshair::onKeyRangeChanged(const QCPRange &range)
{
    const double now = PlotClock::nowSeconds();
    m_followNow = range.lower <= now && now <= range.upper;
    if (const auto back = PlotRanges::refusedKeyRange(range, m_lastAccepted, m_restore)) {
        m_plot->xAxis->setRange(*back); // comes back here with an accepted range
        return;
    }
    m_lastAccepted = range;

    const PlotRanges::SpanStyle style = PlotRanges::spanStyle(range.upper - range.lower);
    if (m_ticker)
        m_ticker->setDateTimeFormat(style.tickFormat);
    if (!style.markerTimeFormat.isEmpty() && m_vertical)
        m_vertical->setTimeFormat(style.markerTimeFormat);
    if (m_dateLabel && style.dateLabel != PlotRanges::SpanStyle::KeepDateLabel)
        m_dateLabel->setVisible(style.dateLabel == PlotRanges::SpanStyle::ShowDateLabel);
    placeDateLabel();
}

void PlotCrosshair::setCrosshairVisible(bool visible)
{
    if (!m_vertical || !m_horizontal)
        return;
    m_vertical->setVisible(visible);
    m_horizontal->setVisible(visible);
    m_vertical->setLabelsVisible(visible);
    // The horizontal line's value label reads the right value axis; its time
    // label is never used.
    m_horizontal->setLabelsVisible(false);
    if (QCPItemText *right = m_horizontal->valueLabel())
        right->setVisible(visible && m_plot->yAxis2->visible());
}

void PlotCrosshair::placeCrosshair()
{
    placeDateLabel();
    if (!m_haveMouse || !m_vertical || !m_horizontal)
        return;
    m_vertical->placeVertical();
    m_horizontal->placeHorizontal();
    const QList<QCPGraph *> selected = m_plot->selectedGraphs();
    if (!selected.isEmpty())
        m_vertical->updateGraphValueLabel(selected.first());
    else
        m_vertical->updateValueLabel(m_plot->yAxis);
    if (m_plot->yAxis2->visible())
        m_horizontal->updateValueLabel(m_plot->yAxis2);
    m_vertical->updateTimeLabel(m_ticker);
}

void PlotCrosshair::placeDateLabel()
{
    if (!m_dateLabel)
        return;
    const double middle = m_plot->width() / 2.0;
    m_dateLabel->position->setCoords(middle, m_plot->height() - 25);
    m_dateLabel->setText(QCPAxisTickerDateTime::keyToDateTime(m_plot->xAxis->pixelToCoord(middle))
                             .toString(QStringLiteral("dd.MM.yyyy")));
}

void PlotCrosshair::attachTracer(QPointer<QCPItemTracer> &tracer, const QColor &colour, QCPGraph *graph)
{
    if (!tracer) {
        tracer = new QCPItemTracer(m_plot);
        tracer->setLayer(QStringLiteral("overlay"));
        tracer->setStyle(QCPItemTracer::tsCircle);
        tracer->setSize(7);
        tracer->setPen(QPen(colour));
        tracer->setBrush(QBrush(colour));
        tracer->setInterpolating(true);
    }
    tracer->setGraph(graph);
    tracer->setGraphKey(m_vertical ? m_vertical->coordinate() : m_plot->xAxis->range().center());
    m_lastPlaced = tracer;
}

void PlotCrosshair::updateTracerLabels()
{
    if (!m_red && !m_blue) {
        if (m_spanLabel)
            m_plot->removeItem(m_spanLabel);
        if (m_deltaLabel)
            m_plot->removeItem(m_deltaLabel);
        return;
    }
    const auto makeLabel = [this](QPointer<QCPItemText> &label) {
        if (!label) {
            label = new QCPItemText(m_plot);
            label->setClipToAxisRect(false);
            styleTextItem(label, true, TracerLabelGrey);
            label->position->setType(QCPItemPosition::ptAbsolute);
        }
    };
    makeLabel(m_spanLabel);
    makeLabel(m_deltaLabel);

    const QRect area = m_plot->axisRect()->rect();
    if (m_red && m_blue) {
        m_red->updatePosition();
        m_blue->updatePosition();
        const QPointF red = m_red->position->pixelPosition();
        const QPointF blue = m_blue->position->pixelPosition();
        const double redKey = m_red->position->key();
        const double blueKey = m_blue->position->key();
        m_spanLabel->setBrush(QBrush(SpanGreen));
        m_spanLabel->setPositionAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        m_spanLabel->position->setCoords((red.x() + blue.x()) / 2.0, area.bottom() - 25);
        m_spanLabel->setText(formatDuration(qint64(std::llround(std::fabs(blueKey - redKey) * 1000.0))));

        const bool redRight = m_red->graph() && m_red->graph()->valueAxis() == m_plot->yAxis2;
        const bool blueRight = m_blue->graph() && m_blue->graph()->valueAxis() == m_plot->yAxis2;
        if (redRight != blueRight) {
            m_plot->removeItem(m_deltaLabel);
            return;
        }
        m_deltaLabel->setBrush(QBrush(TracerLabelGrey));
        m_deltaLabel->setPositionAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        m_deltaLabel->position->setCoords(blue.x() + 8, blue.y());
        m_deltaLabel->setText(
            QString::number(m_blue->position->value() - m_red->position->value(), 'f', 2));
        return;
    }

    QCPItemTracer *tracer = m_lastPlaced ? m_lastPlaced.data() : (m_red ? m_red.data() : m_blue.data());
    tracer->updatePosition();
    const QPointF at = tracer->position->pixelPosition();
    m_spanLabel->setBrush(QBrush(TracerLabelGrey));
    m_spanLabel->setPositionAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    m_spanLabel->position->setCoords(at.x(), area.bottom());
    m_spanLabel->setText(timeText(tracer->position->key()));
    m_deltaLabel->setBrush(QBrush(TracerLabelGrey));
    m_deltaLabel->setPositionAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_deltaLabel->position->setCoords(at.x() + 8, at.y());
    m_deltaLabel->setText(QString::number(tracer->position->value(), 'f', 2));
}

QString PlotCrosshair::timeText(double key) const
{
    const QString format = m_vertical ? m_vertical->timeFormat() : QStringLiteral("hh:mm:ss.zzz");
    return QCPAxisTickerDateTime::keyToDateTime(key).toString(format);
}

void PlotCrosshair::replotNow()
{
    if (!m_live)
        m_plot->replot(QCustomPlot::rpQueuedReplot);
}

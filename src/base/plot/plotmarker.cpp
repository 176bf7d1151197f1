#include "plotmarker.h"

#include "settings.h"

#include <QMouseEvent>
#include <QStringList>

#include <cmath>
#include <limits>

namespace {

const QColor LabelGrey(100, 100, 100, 255);
// Plot coordinates are taken this far up and left of the mouse position.
constexpr int MouseShift = 10;

QPointF shifted(const QMouseEvent *event)
{
    return QPointF(event->localPos()) - QPointF(MouseShift, MouseShift);
}

} // namespace

Marker::Marker(QCustomPlot *plot) : QCPItemLine(plot), m_plot(plot)
{
    setPen(QPen(QBrush(LabelGrey), 1.0, Qt::SolidLine));
    setSelectable(false);
    setLayer(QStringLiteral("overlay"));
}

Marker::~Marker() = default;

void Marker::createHoverLabels()
{
    m_valueLabel = new QCPItemText(m_plot);
    m_valueLabel->setClipToAxisRect(false);
    styleTextItem(m_valueLabel, true, LabelGrey);

    m_timeLabel = new QCPItemText(m_plot);
    m_timeLabel->setClipToAxisRect(false);
    m_timeLabel->setPositionAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    m_timeLabel->position->setType(QCPItemPosition::ptAbsolute);
    m_timeLabel->position->setParentAnchor(end, false);
    m_timeLabel->position->setCoords(0, 0);
    styleTextItem(m_timeLabel, true, LabelGrey);
}

void Marker::setLabelsVisible(bool visible)
{
    if (m_valueLabel)
        m_valueLabel->setVisible(visible);
    if (m_timeLabel)
        m_timeLabel->setVisible(visible);
}

void Marker::placeVertical()
{
    const double key = m_plot->xAxis->pixelToCoord(m_mouseX - MouseShift);
    m_coordinate = key;
    start->setCoords(key, m_lowCoord);
    end->setCoords(key, m_highCoord);
}

void Marker::placeHorizontal()
{
    const double value = m_plot->yAxis->pixelToCoord(m_mouseY - MouseShift);
    m_coordinate = value;
    start->setCoords(m_plot->xAxis->pixelToCoord(0), value);
    end->setCoords(m_plot->xAxis->pixelToCoord(m_plot->width()), value);
}

double Marker::updateValueLabel(QCPAxis *valueAxis)
{
    const double value = valueAxis->pixelToCoord(m_mouseY - MouseShift);
    if (m_valueLabel) {
        m_valueLabel->setText(QString::number(value, 'f', 2));
        placeValueLabel();
    }
    return value;
}

void Marker::placeValueLabel()
{
    m_valueLabel->position->setType(QCPItemPosition::ptAbsolute);
    m_valueLabel->position->setCoords(m_labelX, m_labelY);
}

double Marker::updateGraphValueLabel(QCPGraph *graph)
{
    double value = std::numeric_limits<double>::quiet_NaN();
    QVariant details;
    // Any hit counts, one exactly on the line (distance 0) too.
    if (graph->selectTest(QPointF(m_mouseX, m_mouseY), false, &details) >= 0) {
        const QCPDataSelection selection = details.value<QCPDataSelection>();
        const int count = graph->data()->size();
        if (!selection.isEmpty() && count > 0) {
            const int index = qBound(0, selection.dataRange(0).begin(), count - 1);
            value = graph->data()->at(index)->value;
        }
    }
    if (m_valueLabel) {
        m_valueLabel->setText(std::isnan(value) ? QStringLiteral("NaN") : QString::number(value, 'f', 2));
        placeValueLabel();
    }
    return std::isnan(value) ? value : QString::number(value, 'f', 2).toDouble();
}

void Marker::updateTimeLabel(const QSharedPointer<QCPAxisTickerDateTime> &ticker)
{
    if (!m_timeLabel)
        return;
    QDateTime time = QCPAxisTickerDateTime::keyToDateTime(m_coordinate);
    if (ticker && ticker->dateTimeSpec() == Qt::UTC)
        time = time.toUTC();
    m_timeLabel->setText(time.toString(m_timeFormat));
}

bool updateMarkers(QMouseEvent *event, Marker *vertical, Marker *horizontal, QCustomPlot *plot)
{
    QCPAxisRect *rect = plot->axisRectCount() > 0 ? plot->axisRect(0) : nullptr;
    if (!rect)
        return false;
    QCPAxis *bottom = rect->axis(QCPAxis::atBottom);
    QCPAxis *left = rect->axis(QCPAxis::atLeft);
    if (!bottom || !left)
        return false;

    const int x = event->pos().x();
    const int y = event->pos().y();
    vertical->m_lowCoord = left->pixelToCoord(0);
    vertical->m_highCoord = left->pixelToCoord(plot->height());
    vertical->m_mouseX = x;
    vertical->m_mouseY = y;
    horizontal->m_lowCoord = bottom->pixelToCoord(0);
    horizontal->m_highCoord = bottom->pixelToCoord(plot->width());
    horizontal->m_mouseX = x;
    horizontal->m_mouseY = y;

    const double rightEnd = bottom->coordToPixel(bottom->range().upper);
    const double dx = x - rightEnd;
    // The label flips to the left of the pointer near the right edge, and
    // below it near the top.
    vertical->m_labelX = dx > -50 ? x - 40 : x + 20;
    vertical->m_labelY = y < 40 ? y + 10 : y - 30;
    horizontal->m_labelX = rightEnd + 5;
    horizontal->m_labelY = vertical->m_labelY;

    const double dy = y - left->coordToPixel(left->range().lower);
    return dx < 8 && x > 100 && y > 24 && dy < 10;
}

QCPGraph *graphAt(QCustomPlot *plot, QMouseEvent *event)
{
    const QPointF p = shifted(event);
    double best = plot->selectionTolerance();
    QCPGraph *found = nullptr;
    for (int i = 0; i < plot->graphCount(); ++i) {
        QCPGraph *graph = plot->graph(i);
        if (!graph->visible() || !graph->keyAxis() || !graph->valueAxis())
            continue;
        const QRect area =
            graph->keyAxis()->axisRect()->rect().intersected(graph->valueAxis()->axisRect()->rect());
        if (!area.contains(p.toPoint()))
            continue;
        const double distance = graph->selectTest(p, false);
        if (distance >= 0 && distance < best) {
            best = distance;
            found = graph;
        }
    }
    return found;
}

QCPAbstractItem *itemAt(QCustomPlot *plot, QMouseEvent *event)
{
    return plot->itemAt(shifted(event), true);
}

void styleTextItem(QCPItemText *item, bool onOverlay, const QColor &background)
{
    item->setText(QString());
    item->setColor(Qt::white);
    item->setBrush(QBrush(background));
    item->setPadding(QMargins(5, 5, 5, 5));
    item->setSelectable(false);
    if (onOverlay)
        item->setLayer(QStringLiteral("overlay"));
}

QString formatDuration(qint64 ms)
{
    const QString sign = ms < 0 ? QStringLiteral("-") : QString();
    const quint64 span = ms < 0 ? quint64(0) - quint64(ms) : quint64(ms);
    const quint64 hours = span / 3600000;
    const quint64 minutes = span % 3600000 / 60000;
    const quint64 seconds = span % 60000 / 1000;
    const quint64 millis = span % 1000;
    return sign + QStringLiteral("%1:%2:%3.%4")
                      .arg(hours, 2, 10, QLatin1Char('0'))
                      .arg(minutes, 2, 10, QLatin1Char('0'))
                      .arg(seconds, 2, 10, QLatin1Char('0'))
                      .arg(millis, 3, 10, QLatin1Char('0'));
}

const QVector<QColor> &defaultGraphColours()
{
    static const QVector<QColor> colours{QColor(255, 190, 11), QColor(251, 56, 7),   QColor(255, 0, 110),
                                         QColor(83, 38, 236),  QColor(58, 86, 255), QColor(144, 238, 144)};
    return colours;
}

QList<PaletteEntry> namedPalette()
{
    static const QStringList defaultNames{QStringLiteral("Amber"),        QStringLiteral("Scarlet"),
                                          QStringLiteral("Vivid Raspberry"), QStringLiteral("Persian blue"),
                                          QStringLiteral("Blue crayola"), QStringLiteral("Light green")};
    QList<PaletteEntry> palette;
    const QVector<QColor> &colours = defaultGraphColours();
    for (int i = 0; i < colours.size(); ++i)
        palette.append({colours.at(i), defaultNames.value(i)});
    const QStringList names = appSettings.value(QLatin1String(SettingsKey::Palette), defaultPalette()).toStringList();
    for (const QString &name : names)
        palette.append({QColor(name), name});
    return palette;
}

#include "customplotview.h"

#include "diagnosticsrecords.h"

#include <QDebug>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>

#include <cmath>
#include <limits>

CustomPlotView::CustomPlotView(QWidget *parent) : PlotPanel(parent)
{
    setObjectName(QStringLiteral("CustomPlotView"));
    setWindowTitle(tr("CustomPlotView"));
    resize(1440, 775);
    m_graphList->setObjectName(QStringLiteral("lwGraphList"));
    m_tested->setText(QStringLiteral("Неизвестно"));
    m_intervalLabel->setText(tr("Interval (milliseconds):"));
    m_interval->setValue(100);
    m_graphCount = new QSpinBox(this);
    m_graphCount->setObjectName(QStringLiteral("sbGraphCount"));
    m_graphCount->setEnabled(false);
    m_graphCount->setButtonSymbols(QAbstractSpinBox::NoButtons);
    m_graphCount->setMaximum(std::numeric_limits<int>::max());
    m_graphCount->setMinimumHeight(30);
    m_countRow->addWidget(m_graphCount);
}

CustomPlotView::~CustomPlotView() = default;

void CustomPlotView::initPlot(double valueLower, double valueUpper, const QString &leftLabel,
                              const QString &rightLabel)
{
    setUpPlot(valueLower, valueUpper, leftLabel, rightLabel, true, PlotRanges::Restore::LastRange);
}

void CustomPlotView::addGraph(const QString &name, const QPen &pen, const QVariant &data, bool leftAxis)
{
    addPlotGraph(name, pen, data, leftAxis);
    m_graphCount->setValue(m_graphCount->value() + 1);
}

void CustomPlotView::setTestedText(const QString &text)
{
    m_tested->setText(text);
}

void CustomPlotView::start()
{
    m_start->click();
}

void CustomPlotView::stop()
{
    m_stop->click();
}

QString CustomPlotView::csvText(const QCustomPlot *plot, const QDateTime &now)
{
    // The title is a comment line of the file: its "# " stays as it is.
    QString text = QStringLiteral("# ") + tr("RSSI Logs. Date: %1").arg(localeTextDate(now)) + QLatin1Char('\n');
    text += QStringLiteral("timestamp");
    for (int g = 0; g < plot->graphCount(); ++g)
        text += QLatin1Char(';') + plot->graph(g)->name();
    text += QLatin1Char('\n');
    if (plot->graphCount() == 0)
        return text;
    // The file's number format is fixed, whatever the interface language.
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    const auto number = [&russian](double value) { return russian.toString(value, 'f', 2); };
    const QCPGraph *first = plot->graph(0);
    for (int i = 0; i < first->dataCount(); ++i) {
        const qint64 ms = qRound64(first->data()->at(i)->key * 1000.0);
        text += QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("dd.MM.yyyy hh:mm:ss.zzz"));
        for (int g = 0; g < plot->graphCount(); ++g)
            text += QLatin1Char(';') + exportField(plot->graph(g), i, number);
        text += QLatin1Char('\n');
    }
    return text;
}

void CustomPlotView::plottingStarted()
{
    call(m_onStart, "start");
}

void CustomPlotView::plottingStopped()
{
    call(m_onStop, "stop");
}

void CustomPlotView::sampleTick()
{
    call(m_onTick, "tick");
}

void CustomPlotView::graphPenChanged(const QString &name, const QPen &pen)
{
    emit graphPenUpdated(name, pen);
}

QString CustomPlotView::exportText(const QDateTime &now) const
{
    return csvText(m_plot, now);
}

void CustomPlotView::call(const Callback &callback, const char *which)
{
    // The owner sets every callback before plotting; a missing one is its
    // mistake, reported instead of crashing.
    if (callback)
        callback();
    else
        qWarning().noquote() << QStringLiteral("CustomPlotView: no %1 callback").arg(QLatin1String(which));
}

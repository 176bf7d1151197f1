#include "plotpanel.h"

#include "messageboxes.h"
#include "plotclock.h"
#include "plotcrosshair.h"
#include "qpeneditor.h"
#include "settings.h"
#include "uiseams.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

namespace {
QPushButton *makeButton(QWidget *parent, const char *name, const QString &text, const char *icon = nullptr)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    if (icon)
        button->setIcon(QIcon(QLatin1String(icon)));
    return button;
}
} // namespace

PlotPanel::PlotPanel(QWidget *parent) : QWidget(parent)
{
    m_tested = new QLabel(this);
    m_tested->setObjectName(QStringLiteral("lblTested"));
    QFont bold = m_tested->font();
    bold.setBold(true);
    m_tested->setFont(bold);
    m_tested->setMaximumHeight(30);
    m_plot = new QCustomPlot(this);
    m_plot->setObjectName(QStringLiteral("plot"));

    auto *graphBox = new QGroupBox(tr("Graph list"), this);
    graphBox->setObjectName(QStringLiteral("gbGraphList"));
    m_graphList = new QListWidget(graphBox);
    m_graphList->setObjectName(QStringLiteral("graphs"));
    m_graphList->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_graphList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_edit = makeButton(graphBox, "pbEdit", tr("Edit"));
    m_edit->setEnabled(false);
    m_selectAll = new QCheckBox(tr("Select all"), graphBox);
    m_selectAll->setObjectName(QStringLiteral("cbSelectAll"));
    m_selectAll->setChecked(true);
    m_countRow = new QHBoxLayout;
    m_countRow->addWidget(m_selectAll);
    auto *boxLayout = new QVBoxLayout(graphBox);
    boxLayout->addWidget(m_graphList);
    boxLayout->addWidget(m_edit);
    boxLayout->addLayout(m_countRow);

    m_selectAllAction = new QAction(tr("Select all"), m_graphList);
    m_selectAllAction->setCheckable(true);
    m_selectAllAction->setChecked(true);
    m_editAction = new QAction(tr("Edit graph"), m_graphList);
    m_graphList->addAction(m_selectAllAction);
    m_graphList->addAction(m_editAction);

    m_start = makeButton(this, "pbStart", tr("Start"), ":/icons/images/icons/png/play.png");
    m_stop = makeButton(this, "pbStop", tr("Stop"), ":/icons/images/icons/png/pause.png");
    m_stop->setEnabled(false);
    m_intervalLabel = new QLabel(this);
    m_intervalLabel->setObjectName(QStringLiteral("lblInterval"));
    m_intervalLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_interval = new QSpinBox(this);
    m_interval->setObjectName(QStringLiteral("sbInterval"));
    m_interval->setRange(100, 60000);
    m_help = makeButton(this, "pbHelp", QString(), ":/icons/images/icons/png/help.png");
    m_help->setFlat(true);
    m_clearTracers = makeButton(this, "pbClearTracers", tr("Clear tracers"));
    m_save = makeButton(this, "pbSave", tr("Save"), ":/icons/images/icons/png/save.png");
    m_clear = makeButton(this, "pbClear", tr("Clear"), ":/icons/images/icons/png/garbage.png");
    for (QPushButton *button : {m_start, m_stop, m_clearTracers, m_save, m_clear})
        button->setMinimumSize(120, 30);
    for (QWidget *widget : std::initializer_list<QWidget *>{m_interval, m_edit, m_selectAll, m_help})
        widget->setMinimumHeight(30);

    auto *grid = new QGridLayout(this);
    grid->addWidget(m_tested, 0, 0);
    grid->addWidget(m_plot, 0, 1, 2, 9);
    grid->addWidget(graphBox, 1, 0, 2, 1);
    grid->addWidget(m_start, 2, 1);
    grid->addWidget(m_stop, 2, 2);
    grid->addWidget(m_intervalLabel, 2, 3);
    grid->addWidget(m_interval, 2, 4);
    grid->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum), 2, 5);
    grid->setColumnStretch(5, 1);
    grid->addWidget(m_help, 2, 6);
    grid->addWidget(m_clearTracers, 2, 7);
    grid->addWidget(m_save, 2, 8);
    grid->addWidget(m_clear, 2, 9);
    grid->setRowStretch(1, 1);

    connect(m_start, &QPushButton::clicked, this, &PlotPanel::startPlotting);
    connect(m_stop, &QPushButton::clicked, this, &PlotPanel::stopPlotting);
    connect(m_clear, &QPushButton::clicked, this, &PlotPanel::clearAll);
    connect(m_clearTracers, &QPushButton::clicked, this, &PlotPanel::clearTracers);
    connect(m_help, &QPushButton::clicked, this, &PlotPanel::showHelp);
    connect(m_save, &QPushButton::clicked, this, &PlotPanel::exportCsv);
    connect(m_edit, &QPushButton::clicked, this, &PlotPanel::editGraph);
    connect(m_editAction, &QAction::triggered, this, &PlotPanel::editGraph);
    connect(m_graphList, &QListWidget::itemDoubleClicked, this, &PlotPanel::editGraph);
    connect(m_graphList, &QListWidget::itemChanged, this, &PlotPanel::onItemChanged);
    connect(m_graphList, &QListWidget::itemSelectionChanged, this, [this] {
        m_edit->setEnabled(!m_graphList->selectedItems().isEmpty());
        syncGraphSelection();
    });
    connect(m_selectAll, &QCheckBox::clicked, this, &PlotPanel::onSelectAllClicked);
    connect(m_selectAllAction, &QAction::toggled, this, [this](bool checked) {
        setAllChecked(checked);
        if (checked)
            m_start->click(); // no effect while plotting: the button is disabled then
    });

    m_refreshTimer.setInterval(30);
    connect(&m_refreshTimer, &QTimer::timeout, this, [this] {
        if (m_crosshair)
            m_crosshair->refresh();
    });
    connect(&m_sampleTimer, &QTimer::timeout, this, [this] { sampleTick(); });
}

PlotPanel::~PlotPanel() = default;

bool PlotPanel::isPlotting() const
{
    return m_stop->isEnabled();
}

void PlotPanel::setUpPlot(double valueLower, double valueUpper, const QString &leftLabel,
                          const QString &rightLabel, bool requestOpenGl, PlotRanges::Restore restore)
{
    if (requestOpenGl)
        m_plot->setOpenGl(true, 40); // without OpenGL support the plot logs a line and stays raster
    m_plot->setBackground(QBrush(QColor(240, 240, 240)));
    m_plot->legend->setVisible(false);
    m_plot->axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignLeft);

    m_ticker = QSharedPointer<QCPAxisTickerDateTime>::create();
    m_ticker->setDateTimeFormat(QStringLiteral("hh:mm:ss"));
    m_ticker->setTickCount(6);
    m_plot->xAxis->setTicker(m_ticker);
    m_plot->yAxis->setLabel(leftLabel);
    m_plot->yAxis->setRange(valueLower, valueUpper);
    if (!rightLabel.isEmpty()) {
        m_plot->yAxis2->setLabel(rightLabel);
        m_plot->yAxis2->setRange(valueLower, valueUpper);
        m_plot->yAxis2->setVisible(true);
        m_plot->yAxis2->setTickLabels(true);
    }
    m_plot->yAxis->setPadding(40);
    m_plot->xAxis->setPadding(50);
    m_plot->axisRect()->setRangeDrag(Qt::Horizontal);
    m_plot->axisRect()->setRangeZoom(Qt::Horizontal);
    m_plot->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);

    m_crosshair = new PlotCrosshair(m_plot, m_ticker, restore, this);
    connect(m_crosshair, &PlotCrosshair::pressed, m_graphList, &QListWidget::clearSelection);
    connect(m_crosshair, &PlotCrosshair::graphPressed, this, &PlotPanel::selectEntriesOf);
    m_crosshair->resetTimeRange();
}

QCPGraph *PlotPanel::addPlotGraph(const QString &name, const QPen &pen, const QVariant &data, bool leftAxis)
{
    QCPGraph *graph = m_plot->addGraph(m_plot->xAxis, leftAxis ? m_plot->yAxis : m_plot->yAxis2);
    graph->setPen(pen);
    graph->setName(name);

    const QSignalBlocker silent(m_graphList);
    auto *item = new QListWidgetItem(name);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Checked);
    item->setData(Qt::UserRole, data);
    item->setForeground(pen.color());
    m_graphList->addItem(item);
    return graph;
}

void PlotPanel::addPoint(int graphIndex, double key, double value)
{
    QCPGraph *graph = m_plot->graph(graphIndex);
    if (!graph)
        return;
    graph->addData(key, value);
    QCPAxis *axis = graph->valueAxis();
    const QCPRange range = axis->range();
    const QCPRange grown = PlotRanges::grownValueRange(range, value);
    if (grown != range)
        axis->setRange(grown);
}

void PlotPanel::startPlotting()
{
    if (m_plot->graphCount() == 0)
        return;
    m_refreshTimer.start();
    m_sampleTimer.start(m_interval->value());
    m_start->setEnabled(false);
    m_interval->setEnabled(false);
    m_stop->setEnabled(true);
    if (m_crosshair) {
        m_crosshair->setLive(true);
        m_crosshair->resetTimeRange();
    }
    plottingStarted();
}

void PlotPanel::stopPlotting()
{
    stopTimers();
    m_start->setEnabled(true);
    m_interval->setEnabled(true);
    m_stop->setEnabled(false);
    if (m_crosshair)
        m_crosshair->setLive(false);
    plottingStopped();
    // The lines break here: the next run's points do not join the old ones.
    const double now = PlotClock::nowSeconds();
    for (int i = 0; i < m_plot->graphCount(); ++i)
        m_plot->graph(i)->addData(now, std::numeric_limits<double>::quiet_NaN());
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void PlotPanel::stopTimers()
{
    m_refreshTimer.stop();
    m_sampleTimer.stop();
}

void PlotPanel::clearAll()
{
    if (m_crosshair)
        m_crosshair->clearTracers();
    for (int i = 0; i < m_plot->graphCount(); ++i)
        m_plot->graph(i)->data()->clear();
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void PlotPanel::clearTracers()
{
    if (m_crosshair)
        m_crosshair->clearTracers();
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void PlotPanel::showHelp()
{
    showInformationMessage(tr("You can set two markers.\nDouble-clicking with the left mouse button sets a red "
                              "marker. Double-clicking with the right mouse button sets a blue marker. If both "
                              "markers are set, the difference between these markers is displayed on the axes, "
                              "if it can be calculated."),
                           tr("Help"));
}

void PlotPanel::exportCsv()
{
    const QDateTime now = PlotClock::now();
    const QString folder = appSettings.value(QLatin1String(SettingsKey::LastRssiLogsPath), QString()).toString();
    const QString name = m_plot->yAxis->label() + QStringLiteral(" - ")
                         + now.toString(QStringLiteral("dd.MM.yyyy hh.mm")) + QStringLiteral(".csv");
    // No folder remembered yet: the bare name (the dialog's own folder), not the root.
    const QString proposed = folder.isEmpty() ? name : folder + QDir::separator() + name;
    const QString path =
        UiSeams::getSaveFileName(this, tr("Save as CSV file"), proposed, tr("Excel file (*.csv)"));
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        showWarningMessage(tr("Failed to save selected file"), tr("Error"));
        return;
    }
    file.write(exportText(now).toUtf8());
    file.close();
    appSettings.setValue(QLatin1String(SettingsKey::LastRssiLogsPath), QFileInfo(path).absolutePath());
}

QString PlotPanel::exportField(const QCPGraph *graph, int index, const std::function<QString(double)> &number)
{
    if (index < 0 || index >= graph->dataCount())
        return QString();
    const double value = graph->data()->at(index)->value;
    return std::isnan(value) ? QString() : number(value);
}

void PlotPanel::editGraph()
{
    QListWidgetItem *item = m_graphList->currentItem();
    if (!item)
        return;
    QPointer<QCPGraph> graph = m_plot->graph(m_graphList->row(item));
    if (!graph)
        return;
    auto *editor = new QPenEditor(graph->pen());
    const int row = m_graphList->row(item);
    connect(editor, &QPenEditor::penUpdated, this, [this, graph, row](const QPen &pen) {
        if (!graph)
            return;
        graph->setPen(pen);
        if (QListWidgetItem *entry = m_graphList->item(row)) {
            const QSignalBlocker silent(m_graphList);
            entry->setForeground(pen.color());
        }
        m_plot->replot(QCustomPlot::rpQueuedReplot);
        graphPenChanged(graph->name(), pen);
    });
    editor->show();
}

void PlotPanel::onItemChanged(QListWidgetItem *item)
{
    QCPGraph *graph = m_plot->graph(m_graphList->row(item));
    if (!graph)
        return;
    const bool checked = item->checkState() == Qt::Checked;
    graph->setVisible(checked);
    m_plot->replot(QCustomPlot::rpQueuedReplot);
    if (checked && isPlotting()) {
        if (!m_sampleTimer.isActive())
            m_sampleTimer.start(m_interval->value());
        if (!m_refreshTimer.isActive())
            m_refreshTimer.start();
    }
    updateSelectAllBox();
}

void PlotPanel::onSelectAllClicked()
{
    if (m_selectAll->checkState() == Qt::PartiallyChecked)
        m_selectAll->setCheckState(Qt::Checked);
    setAllChecked(m_selectAll->checkState() == Qt::Checked);
}

void PlotPanel::setAllChecked(bool checked)
{
    for (int i = 0; i < m_graphList->count(); ++i)
        m_graphList->item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    updateSelectAllBox();
}

void PlotPanel::updateSelectAllBox()
{
    int checked = 0;
    for (int i = 0; i < m_graphList->count(); ++i)
        checked += m_graphList->item(i)->checkState() == Qt::Checked ? 1 : 0;
    if (checked > 0 && checked < m_graphList->count()) {
        m_selectAll->setCheckState(Qt::PartiallyChecked);
        return;
    }
    // A click on the plain box only toggles; a partial one becomes checked.
    m_selectAll->setTristate(false);
    m_selectAll->setCheckState(checked > 0 ? Qt::Checked : Qt::Unchecked);
}

void PlotPanel::syncGraphSelection()
{
    for (int i = 0; i < m_plot->graphCount() && i < m_graphList->count(); ++i) {
        QCPGraph *graph = m_plot->graph(i);
        graph->setSelection(m_graphList->item(i)->isSelected() ? QCPDataSelection(graph->data()->dataRange())
                                                               : QCPDataSelection());
    }
    if (!isPlotting())
        m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void PlotPanel::selectEntriesOf(QCPGraph *graph)
{
    for (int i = 0; i < m_graphList->count(); ++i) {
        QListWidgetItem *item = m_graphList->item(i);
        if (item->text() == graph->name())
            item->setSelected(true);
    }
}

void PlotPanel::closeEvent(QCloseEvent *event)
{
    stopTimers();
    if (m_crosshair)
        m_crosshair->releaseCursor();
    event->accept();
}

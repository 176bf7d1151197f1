#include "sqliteview.h"

#include "appglobals.h"
#include "datetimerange.h"
#include "deviceitem.h"
#include "hubroitem.h"
#include "messageboxes.h"
#include "plotclock.h"
#include "plotcursor.h"
#include "plotmarker.h"
#include "plotranges.h"
#include "screenfit.h"
#include "settings.h"
#include "sqlitedialog.h"
#include "styleditemdelegate.h"
#include "treemodel.h"
#include "uiseams.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QDebug>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QSplitter>
#include <QStandardPaths>
#include <QThread>
#include <QTreeView>
#include <QVBoxLayout>

#include <qcustomplot.h>

#include <cmath>
#include <limits>
#include <optional>

namespace {

constexpr int RowKindRole = StyledItemDelegate::RowKindRole;
constexpr double Largest = std::numeric_limits<double>::max();
// Start of a running maximum: any value, negative ones too, is larger.
constexpr double Lowest = std::numeric_limits<double>::lowest();
const double NaN = std::numeric_limits<double>::quiet_NaN();
// Tag time labels stand this far above the bottom of the plot area (over
// the date), tag labels this far apart when they would cover each other.
constexpr int TimeLabelLift = 45;
constexpr double TagLabelGap = 2.0;
// Room around a series of one value on the left and on the right axis.
constexpr double LeftFlatMargin = 10.0;
constexpr double RightFlatMargin = 100.0;

QString documentsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

QString shownName(const QString &path)
{
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    return name == QLatin1String("session.sqlite") ? SQLiteView::tr("Temporary") : name;
}

// The range that shows min .. max with a tenth of their span around them, or
// `flatMargin` around a single value.
QCPRange framed(double min, double max, double flatMargin)
{
    const double margin = max == min ? flatMargin : 0.1 * (max - min);
    return QCPRange(min - margin, max + margin);
}

// A range that has had a value.
bool filled(double min, double max)
{
    return min <= max;
}

// The pixels a text item covers.
QRectF pixelRect(const QCPItemText *label)
{
    return QRectF(label->topLeft->pixelPosition(), label->bottomRight->pixelPosition()).normalized();
}

QColor turnedHue(const QColor &colour)
{
    QColor hsv = colour.toHsv();
    const int hue = hsv.hsvHue() < 0 ? 0 : (hsv.hsvHue() + 180) % 360;
    return QColor::fromHsv(hue, hsv.hsvSaturation(), hsv.value(), 255);
}

} // namespace

SQLiteView::SQLiteView(DeviceInfoCollector *collector, QWidget *parent)
    : QWidget(parent), m_collector(collector), m_cursor(std::make_unique<BlankCursorGuard>())
{
    setObjectName(QStringLiteral("SQLiteView"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::NonModal);
    buildForm();

    const QString name = collector ? shownName(collector->connectionName()) : QString();
    lblDatabaseName->setText(collector && !collector->connectionName().isEmpty() ? name : QString());
    cbDatabasePolling->setEnabled(false);
    const bool named = !lblDatabaseName->text().isEmpty();
    pbResetDatabase->setVisible(named);
    pbAdd->setEnabled(named);
    pbRemove->setEnabled(named);

    m_plot->setMouseTracking(true);
    m_plot->installEventFilter(this);

    // Palette: six to a row.
    auto *paletteGrid = new QGridLayout(wPalette);
    paletteGrid->setContentsMargins(0, 0, 0, 0);
    paletteGrid->setSpacing(2);
    const QList<PaletteEntry> palette = namedPalette();
    for (int i = 0; i < palette.size(); ++i) {
        const PaletteEntry &entry = palette.at(i);
        m_freeColours.push_back(entry.colour);
        auto *button = new QPushButton(wPalette);
        button->setFixedSize(24, 18);
        button->setStyleSheet(QStringLiteral("background-color: ") + entry.colour.name(QColor::HexRgb));
        button->setProperty("color", entry.colour);
        button->setProperty("name", entry.name);
        button->setToolTip(entry.name);
        paletteGrid->addWidget(button, i / 6, i % 6);
        connect(button, &QPushButton::clicked, this, &SQLiteView::paletteClicked);
    }

    m_model = new TreeModel({tr("Selected parameters"), tr("Hide")}, this);
    tvGraphs->setModel(m_model);
    tvGraphs->setItemDelegate(new StyledItemDelegate(tvGraphs));
    for (int column = 1; column < m_model->columnCount(); ++column)
        tvGraphs->setColumnHidden(column, true);
    tvGraphs->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tvGraphs->setSelectionMode(QAbstractItemView::ExtendedSelection);

    connect(pbAdd, &QPushButton::clicked, this, &SQLiteView::openDialog);
    connect(pbRemove, &QPushButton::clicked, this, &SQLiteView::removeSelectedGraphs);
    connect(pbSave, &QPushButton::clicked, this, &SQLiteView::saveMeasurements);
    connect(pbOpen, &QPushButton::clicked, this, &SQLiteView::openMeasurements);
    connect(pbResetDatabase, &QPushButton::clicked, this, &SQLiteView::onResetDatabase);
    connect(pbFull, &QPushButton::clicked, this, &SQLiteView::showFullGraphs);
    connect(pbClearTags, &QPushButton::clicked, this, &SQLiteView::removeAllTags);
    connect(pbClearGraphs, &QPushButton::clicked, this, &SQLiteView::clearGraphs);
    connect(pbSelectColor, &QPushButton::clicked, this, [this] {
        QColorDialog dialog(QColor(200, 200, 200), this);
        dialog.setWindowTitle(tr("Select graph color"));
        dialog.setOption(QColorDialog::DontUseNativeDialog);
        if (UiSeams::execDialog(&dialog) != QDialog::Accepted)
            return;
        const QColor colour = dialog.currentColor();
        if (!colour.isValid())
            return;
        if (colour == pendingColour()) {
            showWarningMessage(tr("This color is prohibited"), tr("Select color"));
            return;
        }
        setColourLabel(colour, QString());
        setGraphColor(colour);
    });
    if (collector) {
        connect(collector, &DeviceInfoCollector::selectedValuesReceived, this,
                qOverload<const GraphSettings_t &, const SelectedValues &, bool, const QVariant &>(
                    &SQLiteView::onSelectedValuesReceived));
        connect(collector, &DeviceInfoCollector::graphReceived, this, &SQLiteView::onGraphReceived);
        connect(collector, &DeviceInfoCollector::minimumReceived, this, &SQLiteView::onMinimumReceived);
    }
    connect(cbDatabasePolling, &QCheckBox::toggled, this, &SQLiteView::onDatabasePollingToggled);
    m_viewTimer.setInterval(30);
    m_pollTimer.setInterval(30000);
    m_stepTimer.setSingleShot(true);
    m_stepTimer.setInterval(50);
    connect(&m_viewTimer, &QTimer::timeout, this, &SQLiteView::viewTick);
    connect(&m_pollTimer, &QTimer::timeout, this, &SQLiteView::pollNow);
    connect(&m_stepTimer, &QTimer::timeout, this, &SQLiteView::updateGraphs);
    m_selectionConnection = connect(tvGraphs->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                                    &SQLiteView::onSelectionChanged);
    m_dataConnection = connect(m_model, &QAbstractItemModel::dataChanged, this,
                               qOverload<const QModelIndex &, const QModelIndex &, const QVector<int> &>(
                                   &SQLiteView::onDataChanged));
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &SQLiteView::updateDatabasePollingAvailability);
    connect(m_model, &QAbstractItemModel::modelReset, this, &SQLiteView::updateDatabasePollingAvailability);

    setupPlot();
    connectEditors(false);
    restoreGeometry(appSettings.value(QStringLiteral("sqlite_view_geometry")).toByteArray());
}

SQLiteView::~SQLiteView()
{
    appSettings.setValue(QStringLiteral("sqlite_view_geometry"), saveGeometry());
    m_cursor->release();
    if (m_dialog)
        m_dialog->close();
    closeFile();
}

void SQLiteView::buildForm()
{
    resize(1200, 700);
    setWindowTitle(tr("Show measurements"));
    auto *layout = new QHBoxLayout(this);
    auto *splitter = new QSplitter(Qt::Horizontal, this);
    layout->addWidget(splitter);
    auto *side = new QWidget(splitter);
    auto *sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);

    auto *gbMeasurements = new QGroupBox(tr("Measurements"), side);
    gbMeasurements->setObjectName(QStringLiteral("gbMeasurements"));
    auto *measurements = new QGridLayout(gbMeasurements);
    auto *session = new QLabel(tr("Session"), gbMeasurements);
    lblDatabaseName = new QLabel(gbMeasurements);
    lblDatabaseName->setObjectName(QStringLiteral("lblDatabaseName"));
    pbSave = new QPushButton(QIcon(QStringLiteral(":/icons/images/icons/png/save.png")), tr("Save"), gbMeasurements);
    pbSave->setObjectName(QStringLiteral("pbSave"));
    pbOpen = new QPushButton(tr("Open"), gbMeasurements);
    pbOpen->setObjectName(QStringLiteral("pbOpen"));
    pbResetDatabase = new QPushButton(tr("Reset database"), gbMeasurements);
    pbResetDatabase->setObjectName(QStringLiteral("pbResetDatabase"));
    cbDatabasePolling = new QCheckBox(tr("Database polling"), gbMeasurements);
    cbDatabasePolling->setObjectName(QStringLiteral("cbDatabasePolling"));
    lblProgressBar = new QLabel(tr("ready"), gbMeasurements);
    lblProgressBar->setObjectName(QStringLiteral("lblProgressBar"));
    progressBar = new QProgressBar(gbMeasurements);
    progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBar->setValue(0);
    measurements->addWidget(session, 0, 0);
    measurements->addWidget(lblDatabaseName, 0, 1);
    measurements->addWidget(pbSave, 1, 0);
    measurements->addWidget(pbOpen, 1, 1);
    measurements->addWidget(pbResetDatabase, 2, 0, 1, 2);
    measurements->addWidget(cbDatabasePolling, 3, 0, 1, 2);
    measurements->addWidget(lblProgressBar, 4, 0);
    measurements->addWidget(progressBar, 4, 1);
    sideLayout->addWidget(gbMeasurements);

    auto *gbGraphs = new QGroupBox(tr("Graphs"), side);
    gbGraphs->setObjectName(QStringLiteral("gbGraphs"));
    auto *graphs = new QGridLayout(gbGraphs);
    pbAdd = new QPushButton(QIcon(QStringLiteral(":/icons/images/icons/png/add.png")), QString(), gbGraphs);
    pbAdd->setObjectName(QStringLiteral("pbAdd"));
    pbRemove = new QPushButton(tr("Remove"), gbGraphs);
    pbRemove->setObjectName(QStringLiteral("pbRemove"));
    pbFull = new QPushButton(tr("Full"), gbGraphs);
    pbFull->setObjectName(QStringLiteral("pbFull"));
    pbClearTags = new QPushButton(tr("Clear tags"), gbGraphs);
    pbClearTags->setObjectName(QStringLiteral("pbClearTags"));
    pbClearGraphs = new QPushButton(tr("Clear graphs"), gbGraphs);
    pbClearGraphs->setObjectName(QStringLiteral("pbClearGraphs"));
    tvGraphs = new QTreeView(gbGraphs);
    tvGraphs->setObjectName(QStringLiteral("tvGraphs"));
    tvGraphs->setMinimumHeight(180);
    graphs->addWidget(pbAdd, 0, 0);
    graphs->addWidget(pbRemove, 0, 1);
    graphs->addWidget(pbFull, 0, 2);
    graphs->addWidget(tvGraphs, 1, 0, 1, 3);
    graphs->addWidget(pbClearTags, 2, 0, 1, 2);
    graphs->addWidget(pbClearGraphs, 2, 2);
    sideLayout->addWidget(gbGraphs, 1);

    gbEditGraph = new QGroupBox(tr("Edit graph"), side);
    gbEditGraph->setObjectName(QStringLiteral("gbEditGraph"));
    auto *edit = new QGridLayout(gbEditGraph);
    sbThickness = new QSpinBox(gbEditGraph);
    sbThickness->setObjectName(QStringLiteral("sbThickness"));
    sbThickness->setRange(1, 10);
    sbThickness->setReadOnly(true);
    sbThickness->setButtonSymbols(QAbstractSpinBox::NoButtons);
    sliderThickness = new QSlider(Qt::Horizontal, gbEditGraph);
    sliderThickness->setObjectName(QStringLiteral("sliderThickness"));
    sliderThickness->setRange(1, 10);
    cbStyle = new QComboBox(gbEditGraph);
    cbStyle->setObjectName(QStringLiteral("cbStyle"));
    cbStyle->addItems({QStringLiteral("\u2014\u2014\u2014"), QStringLiteral("- - - -"), QStringLiteral(". . . ."),
                       QStringLiteral("-.-.-."), QStringLiteral("-..-..")});
    lblColor = new QLabel(gbEditGraph);
    lblColor->setObjectName(QStringLiteral("lblColor"));
    lblColor->setMinimumHeight(20);
    pbSelectColor = new QPushButton(QStringLiteral("..."), gbEditGraph);
    pbSelectColor->setObjectName(QStringLiteral("pbSelectColor"));
    wPalette = new QWidget(gbEditGraph);
    wPalette->setObjectName(QStringLiteral("wPalette"));
    edit->addWidget(new QLabel(tr("Thickness"), gbEditGraph), 0, 0);
    edit->addWidget(sbThickness, 0, 1);
    edit->addWidget(sliderThickness, 0, 2);
    edit->addWidget(new QLabel(tr("Line style"), gbEditGraph), 1, 0);
    edit->addWidget(cbStyle, 1, 1, 1, 2);
    edit->addWidget(new QLabel(tr("Line color"), gbEditGraph), 2, 0);
    edit->addWidget(lblColor, 2, 1);
    edit->addWidget(pbSelectColor, 2, 2);
    edit->addWidget(wPalette, 3, 0, 1, 3);
    sideLayout->addWidget(gbEditGraph);

    m_plot = new QCustomPlot(splitter);
    m_plot->setObjectName(QStringLiteral("plot"));
    splitter->setStretchFactor(1, 1);
}

void SQLiteView::setupPlot()
{
    m_plot->setBackground(QColor(240, 240, 240));
    m_plot->legend->setVisible(false);
    // Wide pens over hundreds of thousands of points.
    m_plot->setPlottingHint(QCP::phFastPolylines, true);
    // Graphs are selected by the press handler (which looks where the
    // crosshair stands); the plot's own click selection would drop them again.
    m_plot->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    QSharedPointer<QCPAxisTickerDateTime> ticker(new QCPAxisTickerDateTime);
    ticker->setDateTimeFormat(QStringLiteral("hh:mm:ss"));
    ticker->setTickCount(6);
    m_plot->xAxis->setTicker(ticker);
    resetRanges();
    m_plot->yAxis->setLabel(tr("Y axis"));
    m_plot->yAxis2->setLabel(tr("Y axis right"));
    m_plot->yAxis2->setVisible(true);
    m_plot->yAxis2->setTickLabels(true);
    m_plot->yAxis->setRange(-100, 100);
    m_plot->yAxis2->setRange(-100, 100);
    if (!m_plot->layer(QStringLiteral("overlay")))
        m_plot->addLayer(QStringLiteral("overlay"), m_plot->layer(QStringLiteral("main")), QCustomPlot::limAbove);
    m_dateText = new QCPItemText(m_plot);
    m_dateText->setLayer(QStringLiteral("overlay"));
    m_dateText->setClipToAxisRect(false);
    m_dateText->position->setType(QCPItemPosition::ptAbsolute);
    m_dateText->setPositionAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    m_dateText->setVisible(false);
    m_vertical = new Marker(m_plot);
    m_horizontal = new Marker(m_plot);
    m_vertical->createHoverLabels();
    m_horizontal->createHoverLabels();
    showCrosshair(false);
    connect(m_plot->xAxis, qOverload<const QCPRange &>(&QCPAxis::rangeChanged), this,
            &SQLiteView::onTimeRangeChanged);
    connect(m_plot, &QCustomPlot::mousePress, this, &SQLiteView::onPlotPress);
    connect(m_plot, &QCustomPlot::mouseMove, this, &SQLiteView::onPlotMove);
    connect(m_plot, &QCustomPlot::mouseRelease, this, &SQLiteView::onPlotRelease);
    connect(m_plot, &QCustomPlot::mouseDoubleClick, this, &SQLiteView::onPlotDoubleClick);
    connect(m_plot, &QCustomPlot::afterLayout, this, &SQLiteView::arrangeTagLabels);
    showLastMinute();
}

void SQLiteView::resetRanges()
{
    m_time = {Largest, Lowest};
    m_left = {Largest, Lowest};
    m_right = {Largest, Lowest};
}

void SQLiteView::showLastMinute()
{
    const double now = std::floor(double(PlotClock::nowMs() / 1000));
    m_plot->xAxis->setRange(now - 60.0, now);
}

void SQLiteView::onTimeRangeChanged(const QCPRange &range)
{
    const double now = PlotClock::nowSeconds();
    m_follow = range.lower <= now && now <= range.upper;
    const PlotRanges::SpanStyle style = PlotRanges::spanStyle(range.upper - range.lower);
    if (auto ticker = qSharedPointerDynamicCast<QCPAxisTickerDateTime>(m_plot->xAxis->ticker()))
        ticker->setDateTimeFormat(style.tickFormat);
    if (!style.markerTimeFormat.isEmpty()) {
        m_vertical->setTimeFormat(style.markerTimeFormat);
        m_horizontal->setTimeFormat(style.markerTimeFormat);
    }
    if (style.dateLabel == PlotRanges::SpanStyle::ShowDateLabel)
        m_dateText->setVisible(true);
    else if (style.dateLabel == PlotRanges::SpanStyle::HideDateLabel)
        m_dateText->setVisible(false);
    const QRect rect = m_plot->axisRect()->rect();
    m_dateText->position->setCoords(rect.center().x(), rect.bottom() - 25);
    m_dateText->setText(QDateTime::fromMSecsSinceEpoch(qint64(range.center() * 1000.0))
                            .toString(QStringLiteral("dd.MM.yyyy")));
}

// ---------------------------------------------------------------- devices

void SQLiteView::setDevices(const QList<DeviceItem *> &devices)
{
    QList<QPointer<DeviceItem>> guarded;
    for (DeviceItem *device : devices)
        guarded << QPointer<DeviceItem>(device);
    if (guarded != m_devices)
        m_devices = guarded;
    if (m_dialog)
        m_dialog->setDevices(devices);
}

QList<DeviceItem *> SQLiteView::devices() const
{
    QList<DeviceItem *> alive;
    for (const QPointer<DeviceItem> &device : m_devices)
        if (device)
            alive << device.data();
    return alive;
}

void SQLiteView::setMaster(HubroItem *master)
{
    m_master = master;
    if (m_dialog)
        m_dialog->setMaster(master);
}

QSet<quint32> SQLiteView::connectedSerials() const
{
    QSet<quint32> serials;
    for (const QPointer<DeviceItem> &device : m_devices) {
        if (!device)
            continue;
        if (auto *hubro = qobject_cast<HubroItem *>(device.data()))
            serials.insert(hubro->serialNumber());
        else
            serials.insert(device->serialNumber());
    }
    if (m_master)
        serials.insert(m_master->serialNumber());
    return serials;
}

DeviceInfoCollector *SQLiteView::activeCollector() const
{
    return m_mode == 1 ? m_fileCollector : m_collector.data();
}

QList<QColor> SQLiteView::freeColours() const
{
    return QList<QColor>(m_freeColours.begin(), m_freeColours.end());
}

bool SQLiteView::isPolling() const
{
    return m_pollTimer.isActive();
}

void SQLiteView::setPollInterval(int ms)
{
    m_pollTimer.setInterval(ms);
}

// ---------------------------------------------------------------- graphs

SQLiteView::Record *SQLiteView::recordById(quint64 id) const
{
    for (const auto &record : m_graphs) {
        if (record->id == id)
            return record.get();
    }
    return nullptr;
}

int SQLiteView::indexOf(const Record *record) const
{
    for (size_t i = 0; i < m_graphs.size(); ++i) {
        if (m_graphs[i].get() == record)
            return int(i);
    }
    return -1;
}

void SQLiteView::requestValues(Record *record)
{
    // Read and decoded off the GUI thread, beside the collector's own work.
    if (DeviceInfoCollector *collector = activeCollector())
        collector->getGraph(record->settings, QVariant(qulonglong(record->id)));
}

void SQLiteView::openDialog()
{
    cbDatabasePolling->setChecked(false);
    if (m_dialog) {
        m_dialog->raise();
        return;
    }
    auto *dialog = new SQLiteDialog(m_model);
    m_dialog = dialog;
    dialog->setMaster(m_master);
    QList<DeviceItem *> devices;
    for (const QPointer<DeviceItem> &device : qAsConst(m_devices)) {
        if (device)
            devices << device;
    }
    dialog->setDevices(devices);
    connect(dialog, &SQLiteDialog::addGraph, this, &SQLiteView::onAddGraph);
    connect(dialog, &SQLiteDialog::removeGraph, this, &SQLiteView::removeGraphRow);
    connect(this, &SQLiteView::graphAdded, dialog, &SQLiteDialog::onGraphAdded);
    connect(dialog, &SQLiteDialog::closing, this, [this](bool offline) {
        m_dialog = nullptr; // deleted later
        if (offline) {
            cbDatabasePolling->setChecked(false);
            cbDatabasePolling->setEnabled(false);
        } else {
            if (m_mode == 0)
                cbDatabasePolling->setChecked(true);
            cbDatabasePolling->setEnabled(true);
            updateDatabasePollingAvailability();
        }
    });
    dialog->setCollector(activeCollector());
    fitOnScreen(dialog, this);
    dialog->show();
}

void SQLiteView::onAddGraph(const GraphSettings_t &graph)
{
    const QModelIndex row = addGraphRow(graph, tvGraphs);
    tvGraphs->expand(row.parent());
    tvGraphs->expand(row.parent().parent());
    QColor colour;
    if (m_freeColours.empty()) {
        QColorDialog dialog(QColor(20, 200, 20), this);
        dialog.setWindowTitle(tr("Select graph color"));
        dialog.setOption(QColorDialog::DontUseNativeDialog);
        if (UiSeams::execDialog(&dialog) == QDialog::Accepted)
            colour = dialog.currentColor();
        if (!colour.isValid() || colour == pendingColour())
            colour = QColor(20, 200, 20);
    } else {
        colour = m_freeColours.front();
        m_freeColours.pop_front();
    }
    auto record = std::make_unique<Record>();
    record->settings = graph;
    record->settings.field = parameterKeyFor(graph.type, graph.field, m_master);
    record->settings.pen = QPen(colour, 3);
    record->row = row;
    record->id = m_nextId++;
    Record *added = record.get();
    m_graphs.push_back(std::move(record));
    m_updateIndex = int(m_graphs.size()) - 1;
    disconnect(m_dataConnection);
    m_model->setData(row, int(Qt::Checked), Qt::CheckStateRole);
    m_model->setData(row.parent(), int(Qt::Checked), Qt::CheckStateRole);
    m_dataConnection = connect(m_model, &QAbstractItemModel::dataChanged, this,
                               qOverload<const QModelIndex &, const QModelIndex &, const QVector<int> &>(
                                   &SQLiteView::onDataChanged));
    requestValues(added);
}

void SQLiteView::onSelectedValuesReceived(const GraphSettings_t &settings, const SelectedValues &values, bool append)
{
    onSelectedValuesReceived(settings, values, append, QVariant());
}

void SQLiteView::onSelectedValuesReceived(const GraphSettings_t &settings, const SelectedValues &values, bool append,
                                          const QVariant &cbValue)
{
    const ColumnContent created = values.value(QStringLiteral("created"));
    const ColumnContent value = values.value(QStringLiteral("value"));
    GraphPointsBuilder builder;
    for (int i = 0; i < created.size(); ++i) {
        const QVariant &v = i < value.size() ? value.at(i) : QVariant();
        builder.add(created.at(i).toString(), v.isNull() ? NaN : v.toDouble());
    }
    onGraphReceived(settings, builder.take(), append, cbValue);
}

void SQLiteView::onGraphReceived(const GraphSettings_t &, const GraphPoints &received, bool, const QVariant &cbValue)
{
    // Answers carry the record they were asked for; one whose record or row
    // has gone since is dropped.
    Record *record = recordById(cbValue.toULongLong());
    if (!record)
        return;
    const bool first = !record->graph;
    if (first && !record->row.isValid()) {
        returnColour(record->settings.pen.color());
        m_graphs.erase(m_graphs.begin() + indexOf(record));
        if (m_updateIndex >= int(m_graphs.size()))
            m_updateIndex = -1;
        return;
    }
    if (!first && (m_updateIndex < 0 || m_updateIndex >= int(m_graphs.size())
                   || m_graphs[size_t(m_updateIndex)].get() != record))
        return;

    const QVector<QCPGraphData> &points = received.points;
    const double lo = received.low;
    const double hi = received.high;
    const double firstKey = received.firstKey;
    const double lastKey = received.lastKey;
    const bool any = received.any;
    if (!received.lastCreated.isEmpty())
        record->settings.lastCreated = received.lastCreated;
    if (any) {
        if (firstKey < m_time.min && firstKey != 0.0)
            m_time.min = firstKey;
        if (lastKey > m_time.max)
            m_time.max = lastKey;
    }
    bool right = false;
    if (first) {
        right = any && (hi > 100.0 || lo < -100.0);
    } else if (record->graph) {
        right = record->graph->valueAxis() == m_plot->yAxis2;
    }
    if (any) {
        Range &range = right ? m_right : m_left;
        range.min = std::min(range.min, lo);
        range.max = std::max(range.max, hi);
        if (right && m_right.min == m_right.max) {
            m_right.min -= 50.0;
            m_right.max += 50.0;
        }
    }

    if (first) {
        QCPAxis *valueAxis = right ? m_plot->yAxis2 : m_plot->yAxis;
        QCPGraph *graph = m_plot->addGraph(m_plot->xAxis, valueAxis);
        graph->data()->set(points, true);
        const QPen pen = record->settings.pen;
        graph->setPen(pen);
        graph->setName(graphName(record->settings));
        QPen decorator(pen.color(), pen.widthF() + 1, pen.style());
        graph->selectionDecorator()->setPen(decorator);
        record->graph = graph;
        record->settings.data = QVariant::fromValue(static_cast<void *>(graph));
        m_model->setData(record->row, QVariant::fromValue(static_cast<void *>(graph)), Qt::UserRole);
        if (any) {
            m_longestSpan = std::max(m_longestSpan, lastKey - firstKey);
            m_plot->xAxis->setRange(firstKey, lastKey + 1000.0);
            const Range &range = right ? m_right : m_left;
            valueAxis->setRange(framed(range.min, range.max, right ? RightFlatMargin : LeftFlatMargin));
        }
        emit graphAdded(record->settings);
        if (m_mode == 0 && cbDatabasePolling->isChecked())
            onDatabasePollingToggled(true);
    } else {
        // QCustomPlot puts new points in front when no key of them exceeds the
        // graph's first key (a graph within one second): add them one by one,
        // which keeps the rows' order among equal keys.
        const QSharedPointer<QCPGraphDataContainer> data = record->graph->data();
        if (!data->isEmpty() && !points.isEmpty() && points.constLast().key <= data->constBegin()->key)
            for (const QCPGraphData &point : points)
                data->add(point);
        else
            data->add(points, true);
        ++m_updateIndex;
        if (m_updateIndex < int(m_graphs.size())) {
            m_stepTimer.start();
        } else {
            m_updateIndex = -1;
            lblProgressBar->setText(tr("Updated ") + QTime::currentTime().toString(QStringLiteral("hh:mm:ss")));
            progressBar->setValue(0);
        }
    }
    replotQueued();
}

void SQLiteView::updateGraphs()
{
    const QSet<quint32> serials = connectedSerials();
    for (int i = int(m_graphs.size()) - 1; i >= 0; --i) {
        if (serials.contains(m_graphs[size_t(i)]->settings.serial))
            continue;
        m_graphs.erase(m_graphs.begin() + i);
        if (i < m_updateIndex)
            --m_updateIndex;
    }
    if (m_graphs.empty()) {
        onDatabasePollingToggled(false);
        return;
    }
    if (m_updateIndex < 0 || m_updateIndex >= int(m_graphs.size())) {
        m_updateIndex = -1;
        progressBar->setValue(0);
        return;
    }
    progressBar->setValue(m_updateIndex * 100 / int(m_graphs.size()));
    requestValues(m_graphs[size_t(m_updateIndex)].get());
}

void SQLiteView::pollNow()
{
    m_updateIndex = 0;
    updateGraphs();
}

void SQLiteView::cancelPollStep()
{
    m_stepTimer.stop();
    m_updateIndex = -1;
}

void SQLiteView::onDatabasePollingToggled(bool checked)
{
    if (checked) {
        if (m_plot->graphCount() == 0) {
            cbDatabasePolling->setChecked(false);
            return;
        }
        lblProgressBar->setText(tr("Waiting"));
        m_viewTimer.start();
        m_pollTimer.start();
        return;
    }
    const bool wasPolling = m_pollTimer.isActive();
    m_viewTimer.stop();
    m_pollTimer.stop();
    cancelPollStep();
    lblProgressBar->setText(tr("Polling stopped"));
    if (!wasPolling)
        return;
    const double now = PlotClock::nowSeconds();
    for (int i = 0; i < m_plot->graphCount(); ++i)
        m_plot->graph(i)->addData(now, NaN);
    replotQueued();
}

void SQLiteView::viewTick()
{
    const double now = PlotClock::nowSeconds() + 0.25;
    const QCPRange range = m_plot->xAxis->range();
    if (m_follow && now > range.upper) {
        const double width = std::trunc(range.upper - range.lower) + 0.25;
        m_plot->xAxis->setRange(now - width, now);
    }
    refreshCrosshair();
    replotQueued();
}

void SQLiteView::showCrosshair(bool shown)
{
    m_crosshairShown = shown;
    m_vertical->setVisible(shown);
    m_horizontal->setVisible(shown);
    m_vertical->setLabelsVisible(shown);
    m_horizontal->setLabelsVisible(shown);
    // The horizontal line's time label is never filled; the vertical line's
    // value label reads the selected graph and is shown only with one.
    if (QCPItemText *unused = m_horizontal->timeLabel())
        unused->setVisible(false);
    if (QCPItemText *graphValue = m_vertical->valueLabel())
        graphValue->setVisible(shown && !m_plot->selectedGraphs().isEmpty());
}

void SQLiteView::refreshCrosshair()
{
    if (!m_crosshairShown)
        return;
    m_vertical->placeVertical();
    m_horizontal->placeHorizontal();
    // The horizontal line's label is placed by the left axis reading, then
    // shows both axes' readings.
    m_horizontal->updateValueLabel(m_plot->yAxis);
    if (QCPItemText *label = m_horizontal->valueLabel()) {
        const double left = m_plot->yAxis->pixelToCoord(m_horizontal->mouseY() - 10);
        const double right = m_plot->yAxis2->pixelToCoord(m_horizontal->mouseY() - 10);
        label->setText(QString::number(left, 'f', 2) + QStringLiteral(" | ") + QString::number(right, 'f', 2));
    }
    const QList<QCPGraph *> selected = m_plot->selectedGraphs();
    if (!selected.isEmpty())
        m_vertical->updateGraphValueLabel(selected.first());
    if (QCPItemText *graphValue = m_vertical->valueLabel())
        graphValue->setVisible(!selected.isEmpty());
    if (auto ticker = qSharedPointerDynamicCast<QCPAxisTickerDateTime>(m_plot->xAxis->ticker()))
        m_vertical->updateTimeLabel(ticker);
}

void SQLiteView::replotQueued()
{
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void SQLiteView::updateDatabasePollingAvailability()
{
    const QSet<quint32> serials = connectedSerials();
    bool available = m_model->rowCount() > 0;
    QList<QModelIndex> queue;
    for (int row = 0; row < m_model->rowCount(); ++row)
        queue << m_model->index(row, 0);
    while (available && !queue.isEmpty()) {
        const QModelIndex index = queue.takeFirst();
        bool ok = false;
        const uint serial = index.data().toString().toUInt(&ok);
        if (ok && !serials.contains(serial)) {
            available = false;
            break;
        }
        for (int row = 0; row < m_model->rowCount(index); ++row)
            queue << m_model->index(row, 0, index);
    }
    if (!available) {
        cbDatabasePolling->setChecked(false);
        removeAllTags();
    }
    cbDatabasePolling->setEnabled(available);
}

void SQLiteView::showFullGraphs()
{
    // An axis without values keeps its range.
    if (filled(m_time.min, m_time.max))
        m_plot->xAxis->setRange(m_time.min - 1000.0, m_time.max + 1000.0);
    if (filled(m_left.min, m_left.max))
        m_plot->yAxis->setRange(framed(m_left.min, m_left.max, LeftFlatMargin));
    if (filled(m_right.min, m_right.max))
        m_plot->yAxis2->setRange(framed(m_right.min, m_right.max, RightFlatMargin));
    replotQueued();
}

void SQLiteView::recomputeValueRanges()
{
    m_left = {Largest, Lowest};
    m_right = {Largest, Lowest};
    for (int i = 0; i < m_plot->graphCount(); ++i) {
        QCPGraph *graph = m_plot->graph(i);
        Range &range = graph->valueAxis() == m_plot->yAxis2 ? m_right : m_left;
        for (auto it = graph->data()->constBegin(); it != graph->data()->constEnd(); ++it) {
            if (std::isnan(it->value))
                continue;
            range.min = std::min(range.min, it->value);
            range.max = std::max(range.max, it->value);
        }
    }
    if (m_right.min == m_right.max) {
        m_right.min -= 50.0;
        m_right.max += 50.0;
    }
}

void SQLiteView::returnColour(const QColor &colour)
{
    if (defaultGraphColours().contains(colour))
        m_freeColours.push_front(colour);
    else
        m_freeColours.push_back(colour);
}

void SQLiteView::releaseRecord(const QModelIndex &row)
{
    int found = -1;
    for (size_t i = 0; i < m_graphs.size(); ++i) {
        if (m_graphs[i]->row == row) {
            found = int(i);
            break;
        }
    }
    if (found < 0) {
        // By key and serial number, as the row names them.
        const QModelIndex parent = row.parent();
        const int type = parent.parent().data(Qt::UserRole).toInt();
        const QString key = parameterKeyFor(type, row.data().toString(), m_master);
        const quint32 serial = parent.data().toString().toUInt();
        for (size_t i = 0; i < m_graphs.size(); ++i) {
            if (m_graphs[i]->settings.field == key && m_graphs[i]->settings.serial == serial) {
                found = int(i);
                break;
            }
        }
    }
    if (found < 0)
        return;
    returnColour(m_graphs[size_t(found)]->settings.pen.color());
    m_graphs.erase(m_graphs.begin() + found);
    if (found < m_updateIndex)
        --m_updateIndex;
    else if (found == m_updateIndex && m_updateIndex >= int(m_graphs.size()))
        m_updateIndex = -1;
}

QCPGraph *SQLiteView::graphOfRow(const QModelIndex &row) const
{
    auto *graph = static_cast<QCPGraph *>(row.data(Qt::UserRole).value<void *>());
    return graph && m_plot->hasPlottable(graph) ? graph : nullptr;
}

QModelIndex SQLiteView::rowOfGraph(QCPGraph *graph) const
{
    for (const auto &record : m_graphs) {
        if (record->graph == graph)
            return record->row;
    }
    return QModelIndex();
}

void SQLiteView::removeGraphRow(const QModelIndex &index)
{
    if (!index.isValid() || index.model() != m_model)
        return;
    const QPersistentModelIndex row(index);
    if (!isPendingRow(row)) {
        QCPGraph *graph = graphOfRow(row);
        releaseRecord(row);
        if (graph) {
            for (QCPItemTracer *tag : m_tags) {
                if (tag->graph() == graph)
                    tag->setGraph(nullptr);
            }
            m_plot->removeGraph(graph);
        }
        if (m_mode == 0)
            recomputeValueRanges();
        replotQueued();
    }
    if (!row.isValid())
        return;
    const QPersistentModelIndex parent = row.parent();
    m_model->removeRow(row.row(), row.parent());
    if (parent.isValid() && m_model->rowCount(parent) == 0
        && !tvGraphs->selectionModel()->isSelected(parent))
        m_model->removeRow(parent.row(), parent.parent());
}

void SQLiteView::removeSelectedGraphs()
{
    disconnect(m_selectionConnection);
    const QModelIndexList selected = selectedRowIndexes(tvGraphs);
    if (selected.isEmpty()) {
        m_selectionConnection = connect(tvGraphs->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                                        &SQLiteView::onSelectionChanged);
        gbEditGraph->setEnabled(false);
        return;
    }
    QList<QPersistentModelIndex> devices;
    QList<QPersistentModelIndex> leaves;
    for (const QModelIndex &index : selected) {
        if (m_model->rowCount(index) > 0 && index.parent().isValid())
            devices << index;
    }
    std::sort(devices.begin(), devices.end(),
              [](const QPersistentModelIndex &a, const QPersistentModelIndex &b) { return a.row() < b.row(); });
    for (int i = devices.size() - 1; i >= 0; --i) {
        const QPersistentModelIndex device = devices.at(i);
        for (int c = m_model->rowCount(device) - 1; c >= 0 && device.isValid(); --c)
            removeGraphRow(m_model->index(c, 0, device));
    }
    for (const QModelIndex &index : selectedRowIndexes(tvGraphs)) {
        if (m_model->rowCount(index) == 0 && index.parent().isValid() && index.parent().parent().isValid())
            leaves << index;
    }
    std::sort(leaves.begin(), leaves.end(),
              [](const QPersistentModelIndex &a, const QPersistentModelIndex &b) { return a.row() < b.row(); });
    for (const QPersistentModelIndex &leaf : qAsConst(leaves)) {
        if (leaf.isValid())
            removeGraphRow(leaf);
    }
    for (int t = m_model->rowCount() - 1; t >= 0; --t) {
        const QModelIndex type = m_model->index(t, 0);
        for (int d = m_model->rowCount(type) - 1; d >= 0; --d) {
            if (m_model->rowCount(m_model->index(d, 0, type)) == 0)
                m_model->removeRow(d, type);
        }
        if (m_model->rowCount(type) == 0)
            m_model->removeRow(t);
    }
    m_plot->replot();
    if (m_graphs.empty())
        cbDatabasePolling->setChecked(false);
    m_selectionConnection = connect(tvGraphs->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                                    &SQLiteView::onSelectionChanged);
}

void SQLiteView::clearGraphs()
{
    cbDatabasePolling->setChecked(false);
    cancelPollStep();
    m_graphs.clear();
    resetRanges();
    removeAllTags();
    m_plot->clearGraphs();
    if (!isPolling())
        m_plot->replot();
    // The tree's colours go back too.
    m_freeColours.clear();
    for (const PaletteEntry &entry : namedPalette())
        m_freeColours.push_back(entry.colour);
    m_model->removeRows(0, m_model->rowCount());
    progressBar->setValue(0);
}

// ---------------------------------------------------------------- tree

void SQLiteView::onDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight)
{
    onDataChanged(topLeft, bottomRight, {Qt::CheckStateRole});
}

void SQLiteView::onDataChanged(const QModelIndex &topLeft, const QModelIndex &, const QVector<int> &roles)
{
    if (!roles.contains(Qt::CheckStateRole))
        return;
    const int kind = topLeft.data(RowKindRole).toInt();
    const int state = topLeft.data(Qt::CheckStateRole).toInt();
    if (kind == 2) {
        if (QCPGraph *graph = graphOfRow(topLeft)) {
            graph->setVisible(state == Qt::Checked);
            replotQueued();
        }
        if (!m_applyingParent) {
            const QModelIndex parent = topLeft.parent();
            int checked = 0;
            const int children = m_model->rowCount(parent);
            for (int row = 0; row < children; ++row) {
                if (m_model->index(row, 0, parent).data(Qt::CheckStateRole).toInt() == Qt::Checked)
                    ++checked;
            }
            disconnect(m_dataConnection);
            m_model->setData(parent,
                             int(checked == 0 ? Qt::Unchecked : checked == children ? Qt::Checked
                                                                                     : Qt::PartiallyChecked),
                             Qt::CheckStateRole);
            m_dataConnection = connect(m_model, &QAbstractItemModel::dataChanged, this,
                                       qOverload<const QModelIndex &, const QModelIndex &, const QVector<int> &>(
                                           &SQLiteView::onDataChanged));
        }
    } else if (kind == 1 && state != Qt::PartiallyChecked) {
        m_applyingParent = true;
        for (int row = 0; row < m_model->rowCount(topLeft); ++row)
            m_model->setData(m_model->index(row, 0, topLeft), state, Qt::CheckStateRole);
        m_applyingParent = false;
    }
}

void SQLiteView::setColourLabel(const QColor &colour, const QString &name)
{
    lblColor->setStyleSheet(
        QStringLiteral("background-color: rgb(%1, %2, %3);").arg(colour.red()).arg(colour.green()).arg(colour.blue()));
    lblColor->setText(colour.name().toUpper() + QLatin1Char(' ') + name);
}

void SQLiteView::loadEditors(QCPGraph *graph)
{
    const QPen pen = graph->pen();
    sbThickness->setValue(int(pen.widthF()));
    sliderThickness->setValue(int(pen.widthF()));
    cbStyle->setCurrentIndex(int(pen.style()) - 1);
    setColourLabel(pen.color(), QString());
}

void SQLiteView::onSelectionChanged(const QItemSelection &, const QItemSelection &)
{
    connectEditors(false);
    m_plot->deselectAll();
    gbEditGraph->setEnabled(false);
    const QModelIndexList rows = selectedRowIndexes(tvGraphs);
    for (const QModelIndex &row : rows) {
        QCPGraph *graph = graphOfRow(row);
        if (!graph)
            continue;
        graph->setSelection(QCPDataSelection(graph->data()->dataRange()));
        loadEditors(graph);
    }
    refreshCrosshair();
    if (!isPolling())
        replotQueued();
    if (!rows.isEmpty())
        QTimer::singleShot(10, this, [this] { connectEditors(true); });
}

void SQLiteView::connectEditors(bool state)
{
    gbEditGraph->setEnabled(state);
    for (const auto &connection : qAsConst(m_editorConnections))
        disconnect(connection);
    m_editorConnections.clear();
    if (!state)
        return;
    m_editorConnections << connect(sliderThickness, &QSlider::valueChanged, sbThickness, &QSpinBox::setValue);
    m_editorConnections << connect(sliderThickness, &QSlider::valueChanged, this, &SQLiteView::setGraphWidth);
    m_editorConnections << connect(cbStyle, qOverload<int>(&QComboBox::currentIndexChanged), this,
                                   &SQLiteView::setGraphStyle);
}

void SQLiteView::setGraphWidth(int width)
{
    for (QCPGraph *graph : m_plot->selectedGraphs()) {
        QPen pen = graph->pen();
        pen.setWidth(width);
        graph->setPen(pen);
        QPen decorator = graph->selectionDecorator()->pen();
        decorator.setWidth(width + 1);
        graph->selectionDecorator()->setPen(decorator);
    }
    if (!isPolling())
        replotQueued();
}

void SQLiteView::setGraphStyle(int style)
{
    for (QCPGraph *graph : m_plot->selectedGraphs()) {
        QPen pen = graph->pen();
        pen.setStyle(Qt::PenStyle(style + 1));
        graph->setPen(pen);
        QPen decorator = graph->selectionDecorator()->pen();
        decorator.setStyle(Qt::PenStyle(style + 1));
        graph->selectionDecorator()->setPen(decorator);
    }
    if (!isPolling())
        replotQueued();
}

void SQLiteView::setGraphColor(const QColor &color)
{
    for (QCPGraph *graph : m_plot->selectedGraphs()) {
        QPen pen = graph->pen();
        pen.setColor(color);
        graph->setPen(pen);
        QPen decorator = graph->selectionDecorator()->pen();
        decorator.setColor(color);
        graph->selectionDecorator()->setPen(decorator);
        for (const auto &record : m_graphs) {
            if (record->graph == graph) {
                record->settings.pen.setColor(color);
                if (record->row.isValid()) {
                    m_model->setData(record->row, color, Qt::DecorationRole);
                    tvGraphs->selectionModel()->select(record->row, QItemSelectionModel::Select);
                }
            }
        }
    }
    if (!isPolling())
        replotQueued();
}

void SQLiteView::paletteClicked()
{
    auto *button = qobject_cast<QPushButton *>(sender());
    if (!button)
        return;
    const QColor colour = button->property("color").value<QColor>();
    setColourLabel(colour, button->property("name").toString());
    setGraphColor(colour);
}

// ---------------------------------------------------------------- files and backups

void SQLiteView::saveMeasurements()
{
    if (m_collector)
        m_collector->getMinimum(QStringLiteral("Device"), QStringLiteral("created"));
}

void SQLiteView::onMinimumReceived(const QVariant &value)
{
    if (sender() != m_collector.data())
        return;
    const QStringList parts = value.toString().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() != 2) {
        showInformationMessage(tr("Where is no collected measurements"), tr("Save measurements"));
        return;
    }
    const QDate firstDate = QDate::fromString(parts.at(0), QStringLiteral("yyyy-MM-dd"));
    const QTime firstTime = QTime::fromString(parts.at(1), QStringLiteral("hh:mm:ss.zzz"));
    const QString folder = UiSeams::getExistingDirectory(
        this, tr("Save measurements"), appSettings.value(QStringLiteral("saveMeasurementsDir"), documentsFolder()).toString());
    if (folder.isEmpty())
        return;
    appSettings.setValue(QStringLiteral("saveMeasurementsDir"), folder);
    appSettings.sync();
    if (!QDir(folder).exists()) {
        qWarning().noquote() << tr("Where is no directory %1").arg(folder);
        return;
    }
    const bool wasPolling = cbDatabasePolling->isChecked();
    cbDatabasePolling->setChecked(false);
    auto *range = new DateTimeRange(m_collector, folder);
    QPointer<SQLiteView> self(this);
    // Polling comes back as it was.
    connect(range, &QObject::destroyed, this, [self, wasPolling] {
        if (self && wasPolling)
            self->cbDatabasePolling->setChecked(true);
    });
    range->setStartDate(firstDate);
    range->setStartTime(firstTime);
    const QDateTime now = QDateTime::currentDateTime();
    range->setEndDate(now.date());
    range->setEndTime(now.time());
    fitOnScreen(range, this);
    range->show();
}

void SQLiteView::openMeasurements()
{
    if (m_mode == 0) {
        const QString fileName = UiSeams::getOpenFileName(
            this, tr("Open measurements"),
            appSettings.value(QStringLiteral("openMeasurementsDir"), documentsFolder()).toString(),
            tr("SQLite files (*.sqlite *.sqlite3);;All files (*)"));
        if (fileName.isEmpty())
            return;
        appSettings.setValue(QStringLiteral("openMeasurementsDir"), fileName.left(fileName.lastIndexOf(QLatin1Char('/'))));
        appSettings.sync();
        openFile(fileName);
        return;
    }
    pbOpen->setText(tr("Open"));
    pbResetDatabase->setEnabled(true);
    lblDatabaseName->setProperty("database", QString());
    lblDatabaseName->setText(tr("Temporary"));
    cbDatabasePolling->setVisible(true);
    const bool named = !lblDatabaseName->text().isEmpty();
    pbSave->setEnabled(named);
    pbAdd->setEnabled(named);
    pbRemove->setEnabled(named);
    if (m_dialog)
        m_dialog->close();
    closeFile();
    clearGraphs();
    showLastMinute();
    m_dateText->setVisible(false);
    m_plot->yAxis->setRange(-100, 100);
    m_plot->yAxis2->setRange(-100, 100);
    m_plot->replot();
    m_mode = 0;
}

void SQLiteView::openFile(const QString &fileName)
{
    if (m_dialog)
        m_dialog->close();
    clearGraphs();
    showLastMinute();
    pbOpen->setText(tr("Close"));
    pbResetDatabase->setEnabled(false);
    pbSave->setEnabled(false);
    lblDatabaseName->setProperty("database", fileName);
    lblDatabaseName->setText(shownName(fileName));
    cbDatabasePolling->setChecked(false);
    cbDatabasePolling->setVisible(false);
    pbAdd->setEnabled(true);
    pbRemove->setEnabled(true);

    // The file's collector reads on a thread of its own.
    closeFile();
    m_fileThread = new QThread(this);
    m_fileCollector = new DeviceInfoCollector;
    m_fileCollector->moveToThread(m_fileThread);
    connect(m_fileThread, &QThread::finished, m_fileCollector, &QObject::deleteLater);
    connect(m_fileCollector, &DeviceInfoCollector::setProgressBarValue, progressBar, &QProgressBar::setValue);
    connect(m_fileCollector, &DeviceInfoCollector::selectedValuesReceived, this,
            qOverload<const GraphSettings_t &, const SelectedValues &, bool, const QVariant &>(
                &SQLiteView::onSelectedValuesReceived));
    connect(m_fileCollector, &DeviceInfoCollector::graphReceived, this, &SQLiteView::onGraphReceived);
    connect(m_fileCollector, &DeviceInfoCollector::minimumReceived, this, &SQLiteView::onMinimumReceived);
    connect(m_fileCollector, &DeviceInfoCollector::databaseError, this, [this](const QString &path, const QString &reason) {
        // Nothing of the file is shown: its name goes, and with it adding
        // graphs from it. Close goes back to the session.
        lblDatabaseName->setProperty("database", QString());
        lblDatabaseName->clear();
        pbAdd->setEnabled(false);
        pbRemove->setEnabled(false);
        if (m_dialog)
            m_dialog->close();
        showWarningMessage(tr("The file %1 can't be read: %2").arg(path, reason), tr("Open measurements"));
    });
    m_fileThread->start();
    QMetaObject::invokeMethod(m_fileCollector, "openDatabase", Qt::QueuedConnection, Q_ARG(QString, fileName));
    m_mode = 1;
    openDialog();
}

void SQLiteView::closeFile()
{
    if (!m_fileThread)
        return;
    disconnect(m_fileCollector, nullptr, this, nullptr);
    disconnect(m_fileCollector, nullptr, progressBar, nullptr);
    m_fileThread->quit();
    m_fileThread->wait();
    delete m_fileThread;
    m_fileThread = nullptr;
    m_fileCollector = nullptr;
}

void SQLiteView::onResetDatabase()
{
    if (lblDatabaseName->text().isEmpty())
        return;
    const QString name = lblDatabaseName->text() == QLatin1String("session.sqlite") ? tr("Temporary")
                                                                                    : lblDatabaseName->text();
    if (askQuestion(tr("%1 database will be cleared and saving of readings will be stopped. Do you want to continue?")
                        .arg(name),
                    tr("Reset measurements"), QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return;
    if (m_collector)
        m_collector->resetSessionDatabase();
    clearGraphs();
}

// ---------------------------------------------------------------- window

bool SQLiteView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_plot) {
        if (event->type() == QEvent::Enter) {
            m_cursor->hold();
        } else if (event->type() == QEvent::Leave) {
            showCrosshair(false);
            replotQueued();
            m_cursor->release();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SQLiteView::closeEvent(QCloseEvent *event)
{
    m_viewTimer.stop();
    m_pollTimer.stop();
    cancelPollStep();
    QWidget::closeEvent(event);
}

void SQLiteView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        tvGraphs->clearSelection();
    else if (event->key() == Qt::Key_Delete)
        removeSelectedGraphs();
    else
        QWidget::keyPressEvent(event);
}

// ---------------------------------------------------------------- tags

double SQLiteView::graphValueAt(QCPGraph *graph, double key) const
{
    if (!graph || graph->data()->isEmpty())
        return NaN;
    auto it = graph->data()->findBegin(key, true);
    if (it == graph->data()->constEnd())
        return NaN;
    return it->value;
}

void SQLiteView::removeAllTags()
{
    for (QCPItemTracer *tag : qAsConst(m_tags))
        m_plot->removeItem(tag);
    m_tags.clear();
    for (QCPItemText *label : qAsConst(m_timeLabels))
        m_plot->removeItem(label);
    for (QCPItemText *label : qAsConst(m_valueLabels))
        m_plot->removeItem(label);
    m_timeLabels.clear();
    m_valueLabels.clear();
    m_grabbed = nullptr;
    m_partner = nullptr;
    replotQueued();
}

QCPItemTracer *SQLiteView::addTag(QCPGraph *graph, double key)
{
    if (!graph || m_tags.size() >= 4)
        return nullptr;
    auto *tag = new QCPItemTracer(m_plot);
    tag->setGraph(graph);
    tag->setGraphKey(key);
    tag->setInterpolating(true);
    tag->setStyle(QCPItemTracer::tsCircle);
    tag->setSize(7);
    const QColor colour = turnedHue(graph->pen().color());
    tag->setPen(QPen(colour));
    tag->setBrush(QBrush(colour));
    tag->setLayer(QStringLiteral("overlay"));
    tag->setSelectable(true);
    tag->setProperty("paired", -1);
    tag->updatePosition();
    m_grabbed = tag;
    m_hovered = graph;
    m_tags << tag;
    checkOverlap();
    makePairLabels(tag, graph, key);
    replotQueued();
    return tag;
}

void SQLiteView::makePairLabels(QCPItemTracer *tag, QCPGraph *graph, double key)
{
    const int n = m_tags.size();
    const QDateTime time = QDateTime::fromMSecsSinceEpoch(qint64(key * 1000.0));
    const double value = graphValueAt(graph, key);
    const bool right = graph->valueAxis() == m_plot->yAxis2;
    if (n % 2 == 1) {
        auto *timeLabel = new QCPItemText(m_plot);
        styleTextItem(timeLabel, true, QColor(150, 150, 150));
        timeLabel->setClipToAxisRect(false);
        timeLabel->setPositionAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        timeLabel->position->setTypeX(QCPItemPosition::ptPlotCoords);
        timeLabel->position->setTypeY(QCPItemPosition::ptAbsolute);
        timeLabel->position->setCoords(key, m_plot->axisRect()->rect().bottom() - TimeLabelLift);
        timeLabel->setText(time.toString(m_vertical->timeFormat()));
        timeLabel->setProperty("time", time);
        timeLabel->setProperty("paired", -1);
        m_timeLabels << timeLabel;
        auto *valueLabel = new QCPItemText(m_plot);
        styleTextItem(valueLabel, true, QColor(150, 150, 150));
        valueLabel->setClipToAxisRect(false);
        valueLabel->setPositionAlignment((right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        valueLabel->position->setAxes(m_plot->xAxis, graph->valueAxis());
        valueLabel->position->setTypeX(QCPItemPosition::ptAbsolute);
        valueLabel->position->setTypeY(QCPItemPosition::ptPlotCoords);
        const QRect area = m_plot->axisRect()->rect();
        valueLabel->position->setCoords(right ? area.right() : area.left(), value);
        valueLabel->setText(QString::number(value, 'f', 2));
        valueLabel->setProperty("value", value);
        valueLabel->setProperty("paired", -1);
        m_valueLabels << valueLabel;
        m_currentTimeLabel = timeLabel;
        m_currentValueLabel = valueLabel;
        m_partner = nullptr;
        return;
    }
    const int pair = n / 2;
    QCPItemText *timeLabel = nullptr;
    QCPItemText *valueLabel = nullptr;
    for (QCPItemText *label : qAsConst(m_timeLabels)) {
        if (label->property("paired").toInt() == -1) {
            timeLabel = label;
            break;
        }
    }
    for (QCPItemText *label : qAsConst(m_valueLabels)) {
        if (label->property("paired").toInt() == -1) {
            valueLabel = label;
            break;
        }
    }
    if (timeLabel) {
        timeLabel->position->setCoords(key, timeLabel->position->coords().y());
        const qint64 ms = std::llabs(timeLabel->property("time").toDateTime().msecsTo(time));
        timeLabel->setText(formatDuration(ms));
        timeLabel->setBrush(QBrush(tag->pen().color()));
        timeLabel->setProperty("paired", pair);
    }
    if (valueLabel) {
        valueLabel->position->setCoords(valueLabel->position->coords().x(), value);
        const double rounded = std::round(value * 100.0) / 100.0;
        valueLabel->setText(QString::number(rounded - valueLabel->property("value").toDouble(), 'g', 6));
        valueLabel->setBrush(QBrush(tag->pen().color()));
        valueLabel->setProperty("paired", pair);
    }
    for (QCPItemTracer *other : qAsConst(m_tags)) {
        if (other->property("paired").toInt() == -1)
            other->setProperty("paired", pair);
    }
    m_partner = nullptr;
    for (QCPItemTracer *other : qAsConst(m_tags)) {
        if (other != tag && other->property("paired").toInt() == pair)
            m_partner = other;
    }
    m_currentTimeLabel = timeLabel;
    m_currentValueLabel = valueLabel;
}

void SQLiteView::checkOverlap()
{
    if (m_tags.size() < 3)
        return;
    QCPItemTracer *last = m_tags.last();
    QCPItemTracer *other = m_tags.at(1);
    const double distance = std::abs(last->graphKey() - other->graphKey());
    // The labels are kept apart by arrangeTagLabels, however near the tags are.
    if (distance < 5.0)
        qWarning() << "Overlay: " << distance;
}

void SQLiteView::arrangeTagLabels()
{
    if (m_timeLabels.isEmpty() && m_valueLabels.isEmpty())
        return;
    const QRect area = m_plot->axisRect()->rect();
    QList<QRectF> taken;
    const auto clash = [&taken](const QRectF &rect) -> std::optional<QRectF> {
        for (const QRectF &other : qAsConst(taken)) {
            if (other.intersects(rect))
                return other;
        }
        return std::nullopt;
    };
    // Time labels stand above the date at their tag's key; one that would
    // cover a label placed before goes up above it.
    for (QCPItemText *label : qAsConst(m_timeLabels)) {
        const double key = label->position->key();
        label->position->setCoords(key, area.bottom() - TimeLabelLift);
        QRectF rect = pixelRect(label);
        for (int tries = 0; tries <= taken.size(); ++tries) {
            const std::optional<QRectF> other = clash(rect);
            if (!other)
                break;
            label->position->setCoords(key, other->top() - TagLabelGap);
            rect = pixelRect(label);
        }
        taken << rect;
    }
    // Value labels stand at their axis's edge at their tag's value; one that
    // would cover a label placed before goes in beside it.
    for (QCPItemText *label : qAsConst(m_valueLabels)) {
        const bool right = label->position->valueAxis() == m_plot->yAxis2;
        const double value = label->position->value();
        label->position->setCoords(right ? area.right() : area.left(), value);
        QRectF rect = pixelRect(label);
        for (int tries = 0; tries <= taken.size(); ++tries) {
            const std::optional<QRectF> other = clash(rect);
            if (!other)
                break;
            label->position->setCoords(right ? other->left() - TagLabelGap : other->right() + TagLabelGap, value);
            rect = pixelRect(label);
        }
        taken << rect;
    }
}

void SQLiteView::dragTag(QCPItemTracer *tag, double key)
{
    QCPGraph *graph = tag ? tag->graph() : nullptr;
    if (!graph || graph->data()->isEmpty())
        return;
    const auto data = graph->data();
    auto it = data->findBegin(key, true);
    // The nearest point.
    if (it != data->constEnd() && it + 1 != data->constEnd() && std::abs((it + 1)->key - key) < std::abs(it->key - key))
        ++it;
    const int index = int(it - data->constBegin());
    for (int i = index - 1; i <= index + 1; ++i) {
        if (i >= 0 && i < data->size() && std::isnan(data->at(i)->value)) {
            qDebug() << "GAP!!!";
            return;
        }
    }
    tag->setGraphKey(key);
    tag->updatePosition();
    QCPItemTracer *partner = nullptr;
    const int paired = tag->property("paired").toInt();
    if (paired != -1) {
        for (QCPItemTracer *other : qAsConst(m_tags)) {
            if (other != tag && other->property("paired").toInt() == paired)
                partner = other;
        }
    }
    const double value = graphValueAt(graph, key);
    QCPItemText *timeLabel = nullptr;
    QCPItemText *valueLabel = nullptr;
    for (QCPItemText *label : qAsConst(m_timeLabels)) {
        if (label->property("paired").toInt() == paired)
            timeLabel = label;
    }
    for (QCPItemText *label : qAsConst(m_valueLabels)) {
        if (label->property("paired").toInt() == paired)
            valueLabel = label;
    }
    if (!partner) {
        const QDateTime time = QDateTime::fromMSecsSinceEpoch(qint64(key * 1000.0));
        if (timeLabel) {
            timeLabel->position->setCoords(key, timeLabel->position->coords().y());
            timeLabel->setText(time.toString(m_vertical->timeFormat()));
            timeLabel->setProperty("time", time);
        }
        if (valueLabel) {
            valueLabel->position->setCoords(valueLabel->position->coords().x(), value);
            valueLabel->setText(QString::number(value, 'g', 6));
            valueLabel->setProperty("value", value);
        }
    } else {
        const qint64 ms = qint64(std::abs(partner->graphKey() - key) * 1000.0);
        if (timeLabel)
            timeLabel->setText(formatDuration(ms));
        if (valueLabel)
            valueLabel->setText(QString::number(value - graphValueAt(partner->graph(), partner->graphKey()), 'g', 6));
    }
    replotQueued();
}

void SQLiteView::removeTag(QCPItemTracer *tag)
{
    const int paired = tag->property("paired").toInt();
    QCPItemTracer *partner = nullptr;
    if (paired != -1) {
        for (QCPItemTracer *other : qAsConst(m_tags)) {
            if (other != tag && other->property("paired").toInt() == paired)
                partner = other;
        }
    }
    QCPItemText *timeLabel = nullptr;
    QCPItemText *valueLabel = nullptr;
    for (QCPItemText *label : qAsConst(m_timeLabels)) {
        if (label->property("paired").toInt() == paired)
            timeLabel = label;
    }
    for (QCPItemText *label : qAsConst(m_valueLabels)) {
        if (label->property("paired").toInt() == paired)
            valueLabel = label;
    }
    if (!partner) {
        if (timeLabel) {
            m_timeLabels.removeAll(timeLabel);
            m_plot->removeItem(timeLabel);
        }
        if (valueLabel) {
            m_valueLabels.removeAll(valueLabel);
            m_plot->removeItem(valueLabel);
        }
    } else {
        const double key = partner->graphKey();
        const double value = graphValueAt(partner->graph(), key);
        const QDateTime time = QDateTime::fromMSecsSinceEpoch(qint64(key * 1000.0));
        if (timeLabel) {
            timeLabel->position->setCoords(key, timeLabel->position->coords().y());
            timeLabel->setText(time.toString(QStringLiteral("hh:mm:ss.zzz")));
            timeLabel->setProperty("time", time);
            timeLabel->setBrush(QBrush(QColor(150, 150, 150)));
            timeLabel->setProperty("paired", -1);
        }
        if (valueLabel) {
            valueLabel->position->setCoords(valueLabel->position->coords().x(), value);
            valueLabel->setText(QString::number(value, 'g', 6));
            valueLabel->setProperty("value", value);
            valueLabel->setBrush(QBrush(QColor(150, 150, 150)));
            valueLabel->setProperty("paired", -1);
        }
        partner->setProperty("paired", -1);
    }
    m_tags.removeAll(tag);
    if (m_grabbed == tag)
        m_grabbed = nullptr;
    m_plot->removeItem(tag);
}

void SQLiteView::onPlotPress(QMouseEvent *event)
{
    tvGraphs->clearSelection();
    m_plot->deselectAll();
    connectEditors(false);
    m_hovered = graphAt(m_plot, event);
    if (m_hovered) {
        const QModelIndex row = rowOfGraph(m_hovered);
        if (row.isValid())
            tvGraphs->selectionModel()->select(row, QItemSelectionModel::Select);
        loadEditors(m_hovered);
        if (!isPolling())
            replotQueued();
    }
    m_grabbed = qobject_cast<QCPItemTracer *>(itemAt(m_plot, event));
    if (m_grabbed)
        m_plot->setInteraction(QCP::iRangeDrag, false);
}

void SQLiteView::onPlotMove(QMouseEvent *event)
{
    const bool inside = updateMarkers(event, m_vertical, m_horizontal, m_plot);
    showCrosshair(inside);
    if (inside) {
        m_vertical->placeVertical();
        m_horizontal->placeHorizontal();
        // While polling the view tick rewrites the labels.
        if (!isPolling()) {
            refreshCrosshair();
            replotQueued();
        }
    }
    if (m_grabbed && (event->buttons() & Qt::LeftButton))
        dragTag(m_grabbed, m_vertical->coordinate());
}

void SQLiteView::onPlotRelease(QMouseEvent *)
{
    if (m_grabbed) {
        m_plot->setInteraction(QCP::iRangeDrag, true);
        m_grabbed = nullptr;
    }
}

void SQLiteView::onPlotDoubleClick(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        QCPGraph *graph = graphAt(m_plot, event);
        qDebug() << "(graph == nullptr) =" << (graph == nullptr);
        if (graph && m_tags.size() < 4) {
            updateMarkers(event, m_vertical, m_horizontal, m_plot);
            m_vertical->placeVertical();
            addTag(graph, m_vertical->coordinate());
        }
    } else if (event->button() == Qt::RightButton) {
        if (auto *tag = qobject_cast<QCPItemTracer *>(itemAt(m_plot, event))) {
            m_grabbed = nullptr;
            removeTag(tag);
            if (!isPolling())
                viewTick();
        }
    }
}

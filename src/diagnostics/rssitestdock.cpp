#include "rssitestdock.h"

#include "deviceitem.h"
#include "lqitestmanager.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpacerItem>
#include <QVBoxLayout>

namespace {
int s_markerInterval = 25;
constexpr int BarTop = 10;
constexpr int BarHeight = 15;
} // namespace

// ---------------------------------------------------------------- RSSIWidget

RSSIWidget::RSSIWidget(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("RSSIWidget"));
    setMinimumSize(100, BarTop + BarHeight + 5);
}

void RSSIWidget::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    painter.setPen(Qt::black);
    const int w = width();
    if (progress != 0) {
        painter.setBrush(QBrush(Qt::darkGray, Qt::SolidPattern));
        painter.drawRect(int(progress / 100.0 * w - 20), BarTop, 20, BarHeight);
    } else {
        QLinearGradient gradient(0, 0, w, 0);
        gradient.setColorAt(0.0, Qt::red);
        gradient.setColorAt(0.1, Qt::yellow);
        gradient.setColorAt(0.7, Qt::green);
        painter.setBrush(gradient);
        painter.drawRect(0, BarTop, rssiBarWidth(averageValue, w), BarHeight);
        painter.setBrush(Qt::transparent);
        painter.drawRect(0, BarTop, rssiBarWidth(minValue, w), BarHeight);
        painter.drawRect(0, BarTop, rssiBarWidth(maxValue, w), BarHeight);
    }
    painter.setBrush(Qt::transparent);
    painter.drawRect(0, BarTop, w - 1, BarHeight);
}

// ---------------------------------------------------------------- WidgetRSSIResult

WidgetRSSIResult::WidgetRSSIResult(DeviceItem *device, QWidget *parent) : QWidget(parent), m_device(device)
{
    setObjectName(QStringLiteral("WidgetRSSIResult"));
    auto *layout = new QHBoxLayout(this);
    m_label = new QLabel(this);
    m_label->setTextFormat(Qt::RichText);
    // The text wraps and the bar keeps its width: both stay in view in a narrow dock.
    m_label->setWordWrap(true);
    m_bar = new RSSIWidget(this);
    m_bar->setFixedWidth(110);
    layout->addWidget(m_label, 1);
    layout->addWidget(m_bar, 0);
    m_marker.setSingleShot(true);
    connect(&m_marker, &QTimer::timeout, this, &WidgetRSSIResult::stepMarker);
    takeDeviceTexts();
    showText("black", tr("In queue"));
}

QString WidgetRSSIResult::text() const
{
    return m_label->text();
}

void WidgetRSSIResult::setMarkerInterval(int ms)
{
    s_markerInterval = ms;
}

void WidgetRSSIResult::takeDeviceTexts()
{
    // While the device exists its texts are read anew; afterwards the last
    // ones stay.
    if (!m_device)
        return;
    const QString address = m_device->address() != 0 ? m_device->addressText() : QStringLiteral("*");
    m_heading = QStringLiteral("%1. %2").arg(address, m_device->data(DeviceRole::TypeName).toString());
    m_radioAddress = m_device->data(DeviceRole::RadioAddress).toUInt();
    m_toolTip = m_device->toolTip();
}

void WidgetRSSIResult::showText(const char *colour, const QString &second)
{
    takeDeviceTexts();
    m_label->setText(QStringLiteral("<div style=\"color: %1;\">%2<br>%3</div>")
                         .arg(QLatin1String(colour), m_heading.toHtmlEscaped(), second.toHtmlEscaped()));
}

void WidgetRSSIResult::setStarted()
{
    m_state = Started;
    showText("green", tr("Test started"));
    m_marker.start(s_markerInterval);
}

void WidgetRSSIResult::stepMarker()
{
    if (m_bar->averageValue != -1)
        return;
    m_bar->progress += 1;
    if (m_bar->progress >= 120)
        m_bar->progress = 0;
    m_bar->update();
    m_marker.start(s_markerInterval);
}

void WidgetRSSIResult::setFailed()
{
    m_state = Failed;
    showText("red", tr("Test failed"));
    m_bar->maxValue = m_bar->averageValue = m_bar->minValue = 5;
    m_bar->progress = 0;
    m_bar->update();
}

void WidgetRSSIResult::setResult(quint32 result, qint8 maximumLevel)
{
    m_result = result;
    m_maximumLevel = maximumLevel;
    const int received = int((result >> 8) & 0xFF);
    const int average = int(qint8(quint8((result >> 16) & 0xFF)));
    const int minimum = int(qint8(quint8((result >> 24) & 0xFF)));
    if (received == 0) {
        setFailed();
        return;
    }
    m_state = Done;
    showText("blue", tr("%1 of %2 (max: %3 av: %4 min: %5)")
                         .arg(received)
                         .arg(100)
                         .arg(int(maximumLevel))
                         .arg(average)
                         .arg(minimum));
    m_bar->averageValue = average + 120;
    m_bar->maxValue = int(maximumLevel) + 120;
    m_bar->minValue = minimum + 120;
    m_bar->progress = 0;
    m_bar->update();
}

QString WidgetRSSIResult::reportText() const
{
    return tr("Radio address: %1.\n%2. Packets: %3/%4. Min %5. Avg %6. Max %7")
        .arg(m_radioAddress)
        .arg(m_toolTip)
        .arg((m_result >> 8) & 0xFF)
        .arg(100)
        .arg(int(qint8(quint8((m_result >> 24) & 0xFF))))
        .arg(int(qint8(quint8((m_result >> 16) & 0xFF))))
        .arg(int(m_maximumLevel));
}

// ---------------------------------------------------------------- RSSITestDock

RSSITestDock::RSSITestDock(QWidget *parent, LQITestManager *manager) : QDockWidget(parent)
{
    setObjectName(QStringLiteral("RSSITestDock"));
    setWindowTitle(tr("Link quality test"));
    resize(308, 454);
    auto *contents = new QWidget(this);
    contents->setObjectName(QStringLiteral("dockWidgetContents"));
    setWidget(contents);

    auto *layout = new QVBoxLayout(contents);
    layout->setObjectName(QStringLiteral("verticalLayout"));
    auto *buttons = new QHBoxLayout;
    buttons->setObjectName(QStringLiteral("horizontalLayout"));
    m_stop = new QPushButton(tr("Stop"), contents);
    m_stop->setObjectName(QStringLiteral("pbStop"));
    m_clear = new QPushButton(tr("Clear"), contents);
    m_clear->setObjectName(QStringLiteral("pbClear"));
    buttons->addWidget(m_stop);
    buttons->addWidget(m_clear);
    layout->addLayout(buttons);

    auto *scroll = new QScrollArea(contents);
    scroll->setObjectName(QStringLiteral("scrollArea"));
    scroll->setWidgetResizable(true);
    auto *scrolled = new QWidget;
    scrolled->setObjectName(QStringLiteral("scrollAreaWidgetContents"));
    m_rowsLayout = new QVBoxLayout(scrolled);
    m_rowsLayout->setObjectName(QStringLiteral("verticalLayout_3"));
    m_rowsLayout->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding));
    scroll->setWidget(scrolled);
    layout->addWidget(scroll);

    m_stop->setEnabled(false);
    m_clear->setEnabled(false);

    if (!manager)
        manager = LQITestManager::instance();
    connect(manager, &LQITestManager::testsStarted, this, &RSSITestDock::testsStarted);
    connect(manager, &LQITestManager::testStarted, this, &RSSITestDock::testStarted);
    connect(manager, &LQITestManager::testFinished, this, &RSSITestDock::testFinished);
    connect(manager, &LQITestManager::testFailed, this, &RSSITestDock::testFailed);
    connect(m_stop, &QPushButton::clicked, this, &RSSITestDock::onStop);
    connect(m_clear, &QPushButton::clicked, this, &RSSITestDock::clear);
    QScrollBar *bar = scroll->verticalScrollBar();
    connect(bar, &QScrollBar::rangeChanged, bar, [bar](int, int max) { bar->setValue(max); });
}

RSSITestDock::~RSSITestDock() = default;

void RSSITestDock::testsStarted(const QList<DeviceItem *> &devices)
{
    for (WidgetRSSIResult *row : qAsConst(m_rows))
        if (row->state() == WidgetRSSIResult::Started)
            row->setFailed();
    for (DeviceItem *device : devices) {
        auto *row = new WidgetRSSIResult(device, m_rowsLayout->parentWidget());
        m_rowsLayout->insertWidget(m_rowsLayout->count() - 1, row);
        m_rows << row;
    }
    m_stop->setEnabled(true);
}

void RSSITestDock::testStarted(DeviceItem *device)
{
    for (WidgetRSSIResult *row : qAsConst(m_rows))
        if (device && row->device() == device && row->state() == WidgetRSSIResult::InQueue)
            row->setStarted();
}

void RSSITestDock::testFinished(DeviceItem *device, const rssiShortTest_t &result)
{
    Q_UNUSED(device)
    const quint32 word = quint32(result.first) | (quint32(result.received) << 8)
                         | (quint32(quint8(result.average)) << 16) | (quint32(quint8(result.minimum)) << 24);
    for (WidgetRSSIResult *row : qAsConst(m_rows))
        if (row->state() == WidgetRSSIResult::Started)
            row->setResult(word, result.maximum);
    updateButtons();
}

void RSSITestDock::testFailed(DeviceItem *device)
{
    for (WidgetRSSIResult *row : qAsConst(m_rows))
        if (row->state() == WidgetRSSIResult::Started
            || (!device && row->state() == WidgetRSSIResult::InQueue))
            row->setFailed();
    updateButtons();
}

void RSSITestDock::updateButtons()
{
    bool pending = false;
    for (WidgetRSSIResult *row : qAsConst(m_rows))
        pending = pending || row->state() == WidgetRSSIResult::InQueue || row->state() == WidgetRSSIResult::Started;
    m_stop->setEnabled(pending);
    m_clear->setEnabled(!m_rows.isEmpty());
}

void RSSITestDock::onStop()
{
    emit stop();
    for (WidgetRSSIResult *row : qAsConst(m_rows))
        if (row->state() == WidgetRSSIResult::InQueue || row->state() == WidgetRSSIResult::Started)
            row->setFailed();
    m_stop->setEnabled(false);
    m_clear->setEnabled(true);
}

void RSSITestDock::clear()
{
    emit stop();
    for (WidgetRSSIResult *row : qAsConst(m_rows)) {
        m_rowsLayout->removeWidget(row);
        delete row;
    }
    m_rows.clear();
    m_clear->setEnabled(false);
}

QString RSSITestDock::reportInfo() const
{
    QString text;
    for (const WidgetRSSIResult *row : m_rows)
        text += row->reportText() + QStringLiteral("\n\n\n");
    return text;
}

#include "statisticsdock.h"

#include "deviceitem.h"
#include "statisticsmanager.h"

#include <QDebug>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpacerItem>
#include <QVBoxLayout>

namespace {
QLabel *namedLabel(const char *name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QString deviceTitle(DeviceItem *device)
{
    return QStringLiteral("%1. %2")
        .arg(device->data(DeviceRole::WireloopAddress).toString(), device->data(DeviceRole::TypeName).toString());
}
} // namespace

StatisticsResultWidget::StatisticsResultWidget(DeviceItem *device, const statistics_t &stats, QWidget *parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("StatisticsResultWidget"));
    setWindowTitle(tr("Frame"));
    auto *outer = new QGridLayout(this);
    outer->setObjectName(QStringLiteral("gridLayout_2"));
    auto *frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("frame"));
    frame->setFrameShape(QFrame::StyledPanel);
    outer->addWidget(frame, 0, 0);
    auto *grid = new QGridLayout(frame);
    grid->setObjectName(QStringLiteral("gridLayout"));

    QLabel *title = namedLabel("lblDeviceName", deviceTitle(device), frame);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    grid->addWidget(title, 0, 0, 1, 2);

    const auto number = [](quint16 word) { return QString::number(statisticsCounter(word)); };
    int row = 1;
    const auto pair = [&](const char *nameObject, const QString &name, const char *valueObject, const QString &value) {
        grid->addWidget(namedLabel(nameObject, name, frame), row, 0);
        grid->addWidget(namedLabel(valueObject, value, frame), row, 1);
        ++row;
    };
    grid->addWidget(namedLabel("lblRebootCountName", tr("Reboot count:"), frame), row++, 0, 1, 2);
    pair("lblHardwareRebootsName", tr("Hardware:"), "lblHardwareReboots", number(stats.hardwareReboots));
    pair("lblSoftwareRebootsName", tr("Software:"), "lblSoftwareReboots", number(stats.softwareReboots));
    pair("lblLinkRestoredName", tr("Link restored"), "lblLinkRestored", number(stats.linkRestored));
    pair("lblLinkLostName", tr("Link lost:"), "lblLinkLost", number(stats.linkLost));
    pair("label_11", tr("Total packets sent:"), "lblTotalPackets", number(stats.packetsSent));
    grid->addWidget(namedLabel("label_13", tr("Repeats, %:"), frame), row++, 0, 1, 2);
    for (int k = 1; k <= 8; ++k) {
        const QByteArray nameObject = "label_" + QByteArray::number(13 + k);
        const QByteArray valueObject = "lbl" + QByteArray::number(k) + "R";
        pair(nameObject.constData(), QString::number(k), valueObject.constData(), repeatPercentText(stats, k));
    }
}

StatisticsDock::StatisticsDock(QWidget *parent, StatisticsManager *manager)
    : QDockWidget(parent), m_manager(manager ? manager : StatisticsManager::instance())
{
    setObjectName(QStringLiteral("StatisticsDock"));
    setWindowTitle(tr("Radio statistics"));
    resize(339, 552);
    auto *contents = new QWidget(this);
    contents->setObjectName(QStringLiteral("dockWidgetContents"));
    setWidget(contents);

    auto *layout = new QVBoxLayout(contents);
    auto *grid = new QGridLayout;
    m_stop = new QPushButton(tr("Stop"), contents);
    m_stop->setObjectName(QStringLiteral("pbStop"));
    m_clear = new QPushButton(tr("Clear"), contents);
    m_clear->setObjectName(QStringLiteral("pbClear"));
    m_progress = new QProgressBar(contents);
    m_progress->setObjectName(QStringLiteral("pbProgress"));
    m_message = new QLabel(contents);
    m_message->setObjectName(QStringLiteral("lblMessage"));
    grid->addWidget(m_stop, 0, 0);
    grid->addWidget(m_clear, 0, 1);
    grid->addWidget(m_progress, 1, 0, 1, 2);
    grid->addWidget(m_message, 2, 0, 1, 2);
    layout->addLayout(grid);

    m_scroll = new QScrollArea(contents);
    m_scroll->setObjectName(QStringLiteral("scrollArea"));
    m_scroll->setWidgetResizable(true);
    auto *scrolled = new QWidget;
    scrolled->setObjectName(QStringLiteral("scrollAreaWidgetContents"));
    m_resultsLayout = new QVBoxLayout(scrolled);
    m_resultsLayout->setObjectName(QStringLiteral("verticalLayout_2"));
    m_resultsLayout->addItem(new QSpacerItem(20, 489, QSizePolicy::Minimum, QSizePolicy::Expanding));
    m_scroll->setWidget(scrolled);
    layout->addWidget(m_scroll);

    m_progress->hide();
    m_stop->setEnabled(false);
    m_clear->setEnabled(false);

    connect(m_manager, &StatisticsManager::started, this, &StatisticsDock::onStarted);
    connect(m_manager, QOverload<DeviceItem *, statistics_t>::of(&StatisticsManager::finished), this,
            QOverload<DeviceItem *, const statistics_t &>::of(&StatisticsDock::onFinished));
    connect(m_manager, QOverload<>::of(&StatisticsManager::finished), this,
            QOverload<>::of(&StatisticsDock::onFinished));
    connect(m_manager, &StatisticsManager::failed, this, &StatisticsDock::onFailed);
    connect(m_clear, &QPushButton::clicked, this, &StatisticsDock::clearList);
    connect(m_stop, &QPushButton::clicked, this, &StatisticsDock::stop);
    QScrollBar *bar = m_scroll->verticalScrollBar();
    connect(bar, &QScrollBar::rangeChanged, bar, [bar](int, int max) { bar->setValue(max); });
}

StatisticsDock::~StatisticsDock() = default;

void StatisticsDock::onStarted(const QList<DeviceItem *> &devices)
{
    qDebug().noquote() << QStringLiteral("statistics started");
    m_message->setText(tr("Statistics reading in process"));
    m_progress->setMaximum(devices.size());
    m_progress->setValue(0);
    m_progress->show();
    m_stop->setEnabled(true);
    for (DeviceItem *device : devices)
        qDebug().noquote() << deviceTitle(device);
    m_running = true;
}

void StatisticsDock::onFinished(DeviceItem *device, const statistics_t &stats)
{
    m_progress->setValue(m_progress->value() + 1);
    auto *result = new StatisticsResultWidget(device, stats, m_resultsLayout->parentWidget());
    m_resultsLayout->insertWidget(m_resultsLayout->count() - 1, result);
    m_results << result;
}

void StatisticsDock::onFinished()
{
    m_message->setText(tr("Statistics reading finished"));
    qDebug().noquote() << QStringLiteral("statistics finished for all devices");
    m_stop->setEnabled(false);
    m_clear->setEnabled(true);
    m_progress->setValue(m_progress->maximum());
    m_running = false;
}

void StatisticsDock::onFailed(DeviceItem *device)
{
    Q_UNUSED(device)
    // The run goes on with the next device: Stop still stops it.
    qDebug().noquote() << QStringLiteral("statistics failed");
}

void StatisticsDock::stop()
{
    if (!m_running)
        return;
    m_running = false;
    m_manager->stop();
    m_progress->hide();
    m_message->setText(tr("Statistics reading was stopped"));
    m_stop->setEnabled(false);
    m_clear->setEnabled(false);
}

void StatisticsDock::clearList()
{
    qDeleteAll(m_results);
    m_results.clear();
    m_clear->setEnabled(false);
}

void StatisticsDock::resetProgress()
{
    m_progress->setValue(0);
    m_message->clear();
}

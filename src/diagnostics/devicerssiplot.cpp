#include "devicerssiplot.h"

#include "customplotview.h"
#include "deviceitem.h"
#include "messageboxes.h"
#include "plotclock.h"
#include "settings.h"

#include <QCloseEvent>
#include <QVBoxLayout>

namespace {
int &pollPauseMs()
{
    static int ms = 5000;
    return ms;
}

// Records start at this byte of a READY, five bytes each.
constexpr int RecordsOffset = 6;
constexpr int RecordSize = 5;

QPen graphPen(const QColor &colour)
{
    return QPen(QBrush(colour), 2.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}
} // namespace

DeviceRSSIPlot::DeviceRSSIPlot(DeviceItem *device, QWidget *parent) : QWidget(parent), m_device(device)
{
    setObjectName(QStringLiteral("DeviceRSSIPlot"));
    setWindowTitle(tr("Plot RSSI plot"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    setWindowFlags(Qt::Window | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    resize(1440, 810);

    m_view = new CustomPlotView(this);
    m_view->setObjectName(QStringLiteral("view"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_view);

    m_view->initPlot(-100.0, 0.0, tr("dBm"), tr("RF offset"));
    m_view->setStartCallback([this] { onStart(); });
    m_view->setStopCallback([this] { onStop(); });
    m_view->setTickCallback([this] { onTick(); });
    const QString created = PlotClock::now().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
    m_view->addGraph(tr("RSSI measured device"), graphPen(QColor(255, 50, 50)), created, true);
    m_view->addGraph(tr("RSSI measured master"), graphPen(QColor(120, 120, 255)), created, true);
    m_view->addGraph(tr("Noise"), graphPen(QColor(50, 200, 50)), created, true);
    m_view->addGraph(tr("Max noise"), graphPen(QColor(150, 50, 50)), created, true);
    m_view->addGraph(tr("RF offset"), graphPen(QColor(120, 120, 50)), created, false);
    m_view->addGraph(tr("Signal to noise"), graphPen(QColor(150, 50, 150)), created, true);
    if (device)
        m_view->setTestedText(QStringLiteral("   %1. %2").arg(device->address()).arg(device->itemTypeName()));

    m_pollTimer.setSingleShot(true);
    m_pollTimer.setInterval(pollPauseMs());
    connect(&m_pollTimer, &QTimer::timeout, this, [this] { m_pollGateOpen = true; });

    restoreGeometry(appSettings.value(QLatin1String(SettingsKey::GeometryDeviceRSSIPlot)).toByteArray());
    QTimer::singleShot(30, this, [this] { m_view->start(); });
}

DeviceRSSIPlot::~DeviceRSSIPlot() = default;

QVector<RssiRecord> DeviceRSSIPlot::decodeRecords(const QByteArray &data)
{
    QVector<RssiRecord> records;
    const int count = data.size() > RecordsOffset ? (data.size() - RecordsOffset) / RecordSize : 0;
    records.reserve(count);
    for (int i = 0; i < count; ++i) {
        const char *r = data.constData() + RecordsOffset + i * RecordSize;
        records.append(RssiRecord{qint8(r[0]), qint8(r[1]), qint8(r[2]), qint8(r[3]), qint8(r[4])});
    }
    return records;
}

void DeviceRSSIPlot::setPollPause(int ms)
{
    pollPauseMs() = ms;
}

int DeviceRSSIPlot::pollPause()
{
    return pollPauseMs();
}

void DeviceRSSIPlot::closeEvent(QCloseEvent *event)
{
    m_active = false;
    m_view->stop();
    m_view->close();
    appSettings.setValue(QLatin1String(SettingsKey::GeometryDeviceRSSIPlot), saveGeometry());
    event->accept();
}

void DeviceRSSIPlot::onStart()
{
    if (!m_device)
        return;
    QByteArray request(1, char(PT_RSSI_TEST_READ_REQ));
    request.append(char(m_device->deviceId())).append(char(0x01)).append(char(0x01));
    emit sendPacket(request, replyHandler());
    m_lastReplyTime = PlotClock::nowMs();
    m_active = true;
}

void DeviceRSSIPlot::onStop()
{
    if (m_device) {
        // The stop request carries 0x00 where the start carries the device's number.
        QByteArray request(1, char(PT_RSSI_TEST_READ_REQ));
        request.append(char(0x00)).append(char(0x01)).append(char(0x00));
        emit sendPacket(request, [](const Packet &) { return true; });
    }
    m_active = false;
}

void DeviceRSSIPlot::onTick()
{
    if (!m_device || !m_pollGateOpen)
        return;
    QByteArray request(1, char(PT_RSSI_TEST_READ_PING));
    request.append(char(m_device->deviceId()));
    emit sendPacket(request, replyHandler());
}

ResponseCb DeviceRSSIPlot::replyHandler()
{
    QPointer<DeviceRSSIPlot> self(this);
    return [self](const Packet &reply) { return self && self->onReply(reply); };
}

bool DeviceRSSIPlot::onReply(const Packet &reply)
{
    if (!m_active || reply.data.isEmpty() || quint8(reply.data.at(0)) != PT_RSSI_TEST_READ_READY)
        return true;
    const QVector<RssiRecord> records = decodeRecords(reply.data);
    if (records.isEmpty()) {
        // The device cannot do this measurement.
        QPointer<DeviceRSSIPlot> self(this);
        m_view->stop();
        showWarningMessage(tr("Device RSSI plot unsupported"), tr("Device RSSI plot"));
        if (self)
            close();
        return false;
    }
    const qint64 now = PlotClock::nowMs();
    const qint64 step = (now - m_lastReplyTime) / records.size();
    for (int i = 0; i < records.size(); ++i) {
        const RssiRecord &r = records.at(i);
        const double key = (m_lastReplyTime + i * step) / 1000.0;
        const double values[] = {double(r.device), double(r.master),  double(r.noise),
                                 double(r.maxNoise), double(r.rfOffset), double(r.device - r.noise)};
        for (int g = 0; g < 6; ++g)
            m_view->addData(g, key, values[g]);
    }
    m_lastReplyTime = now;
    m_pollGateOpen = false;
    m_pollTimer.start(pollPauseMs());
    return true;
}

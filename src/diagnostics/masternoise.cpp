#include "masternoise.h"

#include "plotclock.h"
#include "plotcrosshair.h"
#include "settings.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QSpinBox>

#include <cmath>

namespace {
QByteArray bytes(std::initializer_list<quint8> list)
{
    QByteArray data;
    for (quint8 b : list)
        data.append(char(b));
    return data;
}

constexpr quint8 MasterAddress = 0xFF;
// Samples start at this offset of a READY; the data's last byte is no sample.
constexpr int NoiseSamplesOffset = 7;

QPen noisePen(const QColor &colour, double width)
{
    QPen pen(QBrush(colour), width, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    return pen;
}
} // namespace

MasterNoise::MasterNoise(const QString &modelName, QWidget *parent) : PlotPanel(parent)
{
    setObjectName(QStringLiteral("MasterNoise"));
    setWindowTitle(tr("Noise level"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    setWindowFlags(Qt::Window | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    resize(1066, 480);

    m_tested->setText(modelName);
    m_intervalLabel->setText(tr("Interval"));
    m_interval->setValue(1200);
    m_count = new QLineEdit(QStringLiteral("2"), this);
    m_count->setObjectName(QStringLiteral("leCount"));
    m_count->setEnabled(false);
    m_countRow->addWidget(m_count);

    restoreGeometry(appSettings.value(QLatin1String(SettingsKey::GeometryMasterNoise)).toByteArray());
}

MasterNoise::~MasterNoise() = default;

void MasterNoise::initPlot()
{
    if (m_crosshair)
        return;
    setUpPlot(-140.0, 0.0, tr("dBm"), QString(), false, PlotRanges::Restore::LimitFromLastLower);
    const QString created = PlotClock::now().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
    addPlotGraph(QStringLiteral("RSSI"), noisePen(QColor(50, 200, 50), 4.0), created, true);
    addPlotGraph(QStringLiteral("RAW"), noisePen(QColor(200, 0, 0), 2.0), created, true);
    request(bytes({PT_RSSI_TEST_READ_REQ, MasterAddress, 0x02, 0x01}));
    m_start->click();
}

double MasterNoise::smoothed(double average, double raw)
{
    const bool deep = average < -100.0;
    const double next = average + (raw - average) * (deep ? 0.05 : 0.1);
    const double threshold = deep ? 10.0 : 5.0;
    return std::fabs(raw - next) > threshold ? raw : next;
}

QString MasterNoise::csvText(const QCustomPlot *plot, const QDateTime &now)
{
    QString text = tr("Noise level") + tr(";Date:;") + now.toString(QStringLiteral("dd.MM.yyyy")) + QLatin1Char('\n');
    text += tr("Time");
    for (int g = 0; g < plot->graphCount(); ++g)
        text += QLatin1Char(';') + plot->graph(g)->name();
    text += QLatin1Char('\n');
    if (plot->graphCount() == 0)
        return text;
    const auto number = [](double value) { return QString::number(value, 'f', 2); };
    const QCPGraph *first = plot->graph(0);
    for (int i = 0; i < first->dataCount(); ++i) {
        const qint64 seconds = qint64(std::floor(first->data()->at(i)->key));
        text += QDateTime::fromSecsSinceEpoch(seconds).toString(QStringLiteral("hh:mm:ss")) + QLatin1Char(';');
        for (int g = 0; g < plot->graphCount(); ++g)
            text += exportField(plot->graph(g), i, number) + QLatin1Char(';');
        text += QLatin1Char('\n');
    }
    return text;
}

void MasterNoise::plottingStarted()
{
    m_lastReplyTime = 0;
}

void MasterNoise::sampleTick()
{
    request(bytes({PT_RSSI_TEST_READ_PING, MasterAddress}));
}

QString MasterNoise::exportText(const QDateTime &now) const
{
    return csvText(m_plot, now);
}

void MasterNoise::closeEvent(QCloseEvent *event)
{
    PlotPanel::closeEvent(event);
    appSettings.setValue(QLatin1String(SettingsKey::GeometryMasterNoise), saveGeometry());
}

void MasterNoise::request(const QByteArray &data)
{
    QPointer<MasterNoise> self(this);
    emit sendPacket(data, [self](const Packet &reply) { return self && self->onNoiseReply(reply); });
}

bool MasterNoise::onNoiseReply(const Packet &reply)
{
    if (reply.data.isEmpty() || quint8(reply.data.at(0)) != PT_RSSI_TEST_READ_READY)
        return false;
    if (!isPlotting())
        return false;
    const qint64 now = PlotClock::nowMs();
    if (m_lastReplyTime == 0) {
        m_lastReplyTime = now;
        return false;
    }
    const QByteArray samples = reply.data.mid(NoiseSamplesOffset);
    const int size = samples.size();
    const int count = size - 1;
    if (count >= 1) {
        const qint64 step = (now - m_lastReplyTime) / size;
        for (int i = 0; i < count; ++i) {
            const double key = (m_lastReplyTime + i * step) / 1000.0;
            const double raw = qint8(samples.at(i));
            m_average = smoothed(m_average, raw);
            addPoint(0, key, m_average);
            addPoint(1, key, raw);
        }
    }
    m_lastReplyTime = now;
    return true;
}

#include "statisticsmanager.h"

#include "deviceitem.h"
#include "plotclock.h"

#include <QDebug>
#include <QDir>
#include <QStandardPaths>

namespace {
QByteArray addressed(quint8 type, DeviceItem *device)
{
    QByteArray data(1, char(type));
    data.append(char(device->deviceId()));
    return data;
}

quint8 typeOf(const Packet &reply)
{
    return reply.data.isEmpty() ? 0 : quint8(reply.data.at(0));
}
} // namespace

StatisticsManager *StatisticsManager::instance()
{
    static StatisticsManager *manager = new StatisticsManager;
    return manager;
}

StatisticsManager::StatisticsManager(QObject *parent) : QObject(parent), m_run(this, "request_state")
{
    qRegisterMetaType<statistics_t>("statistics_t");
}

StatisticsManager::~StatisticsManager() = default;

void StatisticsManager::setMaxAttempts(quint32 attempts)
{
    m_maxAttempts = qMax<quint32>(1, attempts);
    if (m_run.mode() == Mode::Polled)
        m_run.setLimit(m_maxAttempts);
}

QString StatisticsManager::statisticsFolder() const
{
    if (!m_folder.isEmpty())
        return m_folder;
    // The user's data folder: the program's own folder is no place for
    // records (and often not writable).
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return data;
}

void StatisticsManager::read(const QList<DeviceItem *> &devices)
{
    if (isBusy()) {
        qWarning().noquote() << QStringLiteral("StatisticsManager is busy. Ignoring read statisctics command.");
        return;
    }
    if (devices.isEmpty()) {
        qWarning().noquote() << QStringLiteral("Empty list. Returning.");
        return;
    }
    const DeviceRequestRun::Job job{Mode::Polled, m_maxAttempts, QStringLiteral("Read statistics timeout"),
                                   QStringLiteral("Failed to read statistics from device #%1")};
    if (!m_run.take(devices, job))
        return;
    openStatisticsFile();
    const quint64 id = m_run.id();
    emit started(m_run.queue());
    if (id == m_run.id())
        m_run.begin();
}

void StatisticsManager::clear(const QList<DeviceItem *> &devices)
{
    if (isBusy()) {
        qWarning().noquote() << QStringLiteral("StatatisticsManager is busy. Ignoring clear statistics command.");
        return;
    }
    const DeviceRequestRun::Job job{Mode::Single, 0, QString(),
                                   QStringLiteral("Failed to clear statistics of device #%1")};
    if (m_run.take(devices, job))
        m_run.begin();
}

void StatisticsManager::removeDevice(DeviceItem *device)
{
    m_run.remove(device);
}

void StatisticsManager::stop()
{
    m_run.stop();
    m_statsFile.close();
}

void StatisticsManager::readStatisticsPing()
{
    m_run.pingStep();
}

void StatisticsManager::openStatisticsFile()
{
    m_statsFile.close();
    const QString name = QStringLiteral("radio_stats_%1.dat")
                             .arg(PlotClock::now().toString(QStringLiteral("dd-MM-yy hh-mm")));
    m_statsFile.setFileName(QDir(statisticsFolder()).filePath(name));
    // Appended to: a second run within the same minute adds to the first.
    const bool opened = m_statsFile.open(QIODevice::WriteOnly | QIODevice::Append);
    qDebug().noquote() << QStringLiteral("statfile") << m_statsFile.fileName() << opened;
}

QByteArray StatisticsManager::requestPacket(DeviceItem *device) const
{
    return addressed(m_run.mode() == Mode::Single ? PT_STATISTIC_RESET : PT_STATISTIC_READ_REQ, device);
}

QByteArray StatisticsManager::pingPacket(DeviceItem *device) const
{
    return addressed(PT_STATISTIC_READ_PING, device);
}

void StatisticsManager::sendRequest(const QByteArray &data, const ResponseCb &cb)
{
    emit sendPacket(data, cb);
}

bool StatisticsManager::handleReply(const Packet &reply)
{
    const bool reading = m_run.mode() == Mode::Polled;
    switch (typeOf(reply)) {
    case PT_STATISTIC_READ_ACK:
        if (!reading)
            return false;
        qDebug().noquote() << QStringLiteral("Statistics read started");
        m_run.restart();
        return true;
    case PT_STATISTIC_BUSY:
        if (!reading)
            return false;
        m_run.restart();
        return true;
    case PT_STATISTIC_RECEIVED:
        if (!reading)
            return false;
        onStatistics(reply);
        return true;
    case PT_STATISTIC_ERROR:
        // A read waits on; a clear moves on to the next device.
        if (reading)
            m_run.restart();
        else
            m_run.complete();
        return true;
    case PT_STATISTIC_RESET_ACK:
        if (reading)
            return false;
        m_run.complete();
        return true;
    default:
        return false;
    }
}

void StatisticsManager::onStatistics(const Packet &reply)
{
    DeviceItem *device = m_run.served();
    const int offset = m_extendedReply ? 10 : 6;
    statistics_t stats;
    // The file record runs to the answer's last 2 bytes, past the statistics.
    if (!statisticsFromBytes(reply.data.mid(offset, StatisticsRecordSize), &stats)
        || reply.data.size() < offset + StatisticsRecordSize + 2) {
        qWarning().noquote() << QStringLiteral("Statistics answer of device #%1 too short: %2 bytes")
                                    .arg(device->deviceId())
                                    .arg(reply.data.size());
        m_run.fail();
        return;
    }
    QByteArray record;
    record.append(char(device->deviceId()));
    record.append(char(wireloopAddressOf(device)));
    record.append(reply.data.mid(6, reply.data.size() - 6 - 2));
    if (m_statsFile.isOpen()) {
        m_statsFile.write(record);
        m_statsFile.flush();
    }
    const quint64 id = m_run.id();
    emit finished(device, stats);
    if (id == m_run.id())
        m_run.complete();
}

void StatisticsManager::deviceFailed(DeviceItem *device)
{
    emit failed(device);
}

void StatisticsManager::runEnded(Mode mode, bool afterFailure)
{
    if (mode == Mode::Single) {
        qDebug().noquote() << QStringLiteral("Statistics clean finished");
        return;
    }
    m_statsFile.close();
    if (afterFailure)
        qDebug().noquote() << QStringLiteral("Statistics read finished");
    emit finished();
}

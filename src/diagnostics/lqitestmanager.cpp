#include "lqitestmanager.h"

#include "deviceitem.h"

#include <QDebug>

LQITestManager *LQITestManager::instance()
{
    static LQITestManager *manager = new LQITestManager;
    return manager;
}

LQITestManager::LQITestManager(QObject *parent) : QObject(parent), m_run(this, "lqi_request_state")
{
    qRegisterMetaType<rssiShortTest_t>("rssiShortTest_t");
}

LQITestManager::~LQITestManager() = default;

void LQITestManager::setMaxAttempts(quint32 attempts)
{
    m_maxAttempts = qMax<quint32>(1, attempts);
    if (isBusy())
        m_run.setLimit(m_maxAttempts);
}

void LQITestManager::start(const QList<DeviceItem *> &devices)
{
    if (isBusy()) {
        qWarning().noquote() << QStringLiteral("LQITestManager is busy. Command ignored.");
        return;
    }
    const DeviceRequestRun::Job job{Mode::Polled, m_maxAttempts, QStringLiteral("LQI Test timeout"),
                                   QStringLiteral("Failed to test LQI on device #%1")};
    if (!m_run.take(devices, job))
        return;
    const quint64 id = m_run.id();
    emit testsStarted(m_run.queue());
    if (id == m_run.id())
        m_run.begin();
}

void LQITestManager::stop()
{
    m_run.stop();
}

void LQITestManager::removeDevice(DeviceItem *device)
{
    m_run.remove(device);
}

void LQITestManager::testPing()
{
    m_run.pingStep();
}

QByteArray LQITestManager::requestPacket(DeviceItem *device) const
{
    QByteArray data(1, char(PT_RSSI_TEST_READ_REQ));
    data.append(char(device->deviceId()));
    data.append('\0');
    return data;
}

QByteArray LQITestManager::pingPacket(DeviceItem *device) const
{
    Q_UNUSED(device)
    return QByteArray(1, char(PT_RSSI_TEST_READ_PING));
}

void LQITestManager::sendRequest(const QByteArray &data, const ResponseCb &cb)
{
    emit sendPacket(data, cb);
}

bool LQITestManager::handleReply(const Packet &reply)
{
    switch (reply.data.isEmpty() ? 0 : quint8(reply.data.at(0))) {
    case PT_RSSI_TEST_READ_ACK:
        m_run.restart();
        qDebug().noquote() << QStringLiteral("LQI read started");
        return true;
    case PT_RSSI_TEST_READ_BUSY:
    case PT_RSSI_TEST_READ_ERROR:
        m_run.restart();
        return true;
    case PT_RSSI_TEST_READ_READY: {
        DeviceItem *device = m_run.served();
        rssiShortTest_t result;
        if (!rssiShortTestFromReply(reply.data, &result)) {
            qWarning().noquote() << QStringLiteral("LQI answer of device #%1 too short: %2 bytes")
                                        .arg(device->deviceId())
                                        .arg(reply.data.size());
            m_run.fail();
            return true;
        }
        const quint64 id = m_run.id();
        emit testFinished(device, result);
        if (id == m_run.id())
            m_run.complete();
        return true;
    }
    default:
        return false;
    }
}

void LQITestManager::cycleBegun(DeviceItem *device)
{
    emit testStarted(device);
}

void LQITestManager::deviceFailed(DeviceItem *device)
{
    emit testFailed(device);
}

void LQITestManager::runEnded(Mode mode, bool afterFailure)
{
    Q_UNUSED(mode)
    if (afterFailure)
        qDebug().noquote() << QStringLiteral("LQI Test finished");
}

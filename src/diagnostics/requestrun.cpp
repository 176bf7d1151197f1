#include "requestrun.h"

#include "deviceitem.h"

#include <QDebug>
#include <QPointer>
#include <QVariant>

quint8 wireloopAddressOf(const DeviceItem *device)
{
    bool ok = false;
    const uint value = device->data(DeviceRole::WireloopAddress).toUInt(&ok);
    return ok ? quint8(value) : 0;
}

DeviceRequestRun::DeviceRequestRun(RequestRunClient *client, const char *stateProperty, QObject *parent)
    : QObject(parent), m_client(client), m_property(stateProperty)
{
    qRegisterMetaType<RequestState *>("RequestState *");
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &DeviceRequestRun::pingStep);
}

DeviceRequestRun::~DeviceRequestRun()
{
    clearQueue();
}

bool DeviceRequestRun::take(const QList<DeviceItem *> &devices, const Job &job)
{
    clearQueue();
    ++m_id;
    m_job = job;
    for (DeviceItem *device : devices) {
        if (!device || m_entries.contains(device))
            continue;
        Entry entry;
        entry.watch = connect(device, &QObject::destroyed, this, [this, device] { remove(device, true); });
        if (job.mode == Mode::Polled) {
            entry.state = new RequestState;
            device->setProperty(m_property.constData(), QVariant::fromValue(entry.state));
        }
        m_entries.insert(device, entry);
        m_queue << device;
    }
    return !m_queue.isEmpty();
}

void DeviceRequestRun::begin()
{
    DeviceItem *device = served();
    if (!device)
        return;
    if (RequestState *state = m_entries.value(device).state) {
        ++state->cycle;
        state->attempts = 0;
    }
    const quint64 id = m_id;
    send(device, m_client->requestPacket(device));
    if (serves(id, device))
        m_client->cycleBegun(device);
}

void DeviceRequestRun::stop()
{
    ++m_id;
    m_timer.stop();
    clearQueue();
}

void DeviceRequestRun::restart()
{
    if (!m_queue.isEmpty() && m_job.mode == Mode::Polled)
        m_timer.start(m_pingInterval);
}

void DeviceRequestRun::complete()
{
    if (m_queue.isEmpty())
        return;
    dropServed();
    next(false);
}

void DeviceRequestRun::retry()
{
    DeviceItem *device = served();
    if (!device)
        return;
    const RequestState *state = m_entries.value(device).state;
    if (state && state->cycle < MaxCycles)
        begin();
    else
        fail();
}

void DeviceRequestRun::fail()
{
    DeviceItem *device = served();
    if (!device)
        return;
    qCritical().noquote() << m_job.failedLine.arg(device->deviceId());
    dropServed();
    const quint64 id = m_id;
    if (m_job.mode == Mode::Polled)
        m_client->deviceFailed(device);
    if (id == m_id)
        next(true);
}

void DeviceRequestRun::remove(DeviceItem *device)
{
    remove(device, false);
}

void DeviceRequestRun::pingStep()
{
    DeviceItem *device = served();
    if (!device)
        return;
    if (m_job.mode == Mode::Single) {
        fail();
        return;
    }
    RequestState *state = m_entries.value(device).state;
    if (state->cycle == 0) {
        begin();
        return;
    }
    if (state->attempts < m_job.limit) {
        ++state->attempts;
        send(device, m_client->pingPacket(device));
        return;
    }
    qWarning().noquote() << m_job.timeoutWarning;
    retry();
}

void DeviceRequestRun::send(DeviceItem *device, const QByteArray &data)
{
    m_timer.start(m_job.mode == Mode::Polled ? m_pingInterval : m_jobTimeout);
    const QPointer<DeviceRequestRun> self(this);
    const quint64 id = m_id;
    m_client->sendRequest(data, [self, id, device](const Packet &reply) {
        if (!self || !self->serves(id, device))
            return false;
        return self->m_client->handleReply(reply);
    });
}

bool DeviceRequestRun::serves(quint64 id, DeviceItem *device) const
{
    return id == m_id && !m_queue.isEmpty() && m_queue.first() == device;
}

void DeviceRequestRun::remove(DeviceItem *device, bool destroyed)
{
    const int at = m_queue.indexOf(device);
    if (at < 0)
        return;
    forget(device, destroyed);
    m_queue.removeAt(at);
    if (at != 0)
        return;
    const quint64 id = m_id;
    if (m_job.mode == Mode::Polled)
        m_client->deviceFailed(device);
    if (id == m_id)
        next(true);
}

void DeviceRequestRun::forget(DeviceItem *device, bool destroyed)
{
    const Entry entry = m_entries.take(device);
    disconnect(entry.watch);
    // A destroyed item is not touched: its properties are going with it.
    if (entry.state && !destroyed)
        device->setProperty(m_property.constData(), QVariant());
    delete entry.state;
}

void DeviceRequestRun::dropServed()
{
    forget(m_queue.first(), false);
    m_queue.removeFirst();
}

void DeviceRequestRun::next(bool afterFailure)
{
    if (!m_queue.isEmpty()) {
        begin();
        return;
    }
    m_timer.stop();
    m_client->runEnded(m_job.mode, afterFailure);
}

void DeviceRequestRun::clearQueue()
{
    for (DeviceItem *device : qAsConst(m_queue))
        forget(device, false);
    m_queue.clear();
}

#include "senddatamanager.h"

#include <QDebug>
#include <QStandardItem>

namespace {
QPointer<SendDataManager> &globalInstance()
{
    static QPointer<SendDataManager> manager;
    return manager;
}
} // namespace

SendDataManager *SendDataManager::instance()
{
    QPointer<SendDataManager> &manager = globalInstance();
    if (!manager)
        manager = new SendDataManager;
    return manager;
}

void SendDataManager::forgetDevice(QObject *device)
{
    if (SendDataManager *manager = globalInstance())
        manager->removeDevice(device);
}

SendDataManager::SendDataManager(QObject *parent) : QObject(parent)
{
    watchdog.setInterval(1000);
    connect(&watchdog, &QTimer::timeout, this, &SendDataManager::onWDT);
}

SendDataManager::~SendDataManager() = default;

void SendDataManager::enqueue(const QList<Target> &devices, const QByteArray &payload)
{
    for (const Target &target : devices) {
        if (!target.object || !target.item)
            continue;
        auto it = m_queues.find(target.object);
        if (it == m_queues.end()) {
            DeviceQueue queue;
            queue.object = target.object;
            queue.item = target.item;
            it = m_queues.insert(target.object, queue);
            m_order.append(target.object);
            connect(target.object, &QObject::destroyed, this, &SendDataManager::onDeviceDestroyed,
                    Qt::UniqueConnection);
        }
        it->payloads.append(payload);
    }
    pump();
}

void SendDataManager::removeDevice(QObject *device)
{
    if (!device)
        return;
    if (device == m_inFlightDevice)
        m_inFlightDevice = nullptr;
    dropDevice(device);
}

int SendDataManager::pendingCount(QObject *device) const
{
    const auto it = m_queues.constFind(device);
    return it == m_queues.constEnd() ? 0 : it->payloads.size();
}

void SendDataManager::setWatchdogInterval(int milliseconds)
{
    watchdog.setInterval(milliseconds);
}

void SendDataManager::dropDevice(QObject *device)
{
    if (!m_queues.remove(device))
        return;
    m_order.removeAll(device);
    disconnect(device, &QObject::destroyed, this, &SendDataManager::onDeviceDestroyed);
}

void SendDataManager::onDeviceDestroyed(QObject *device)
{
    removeDevice(device);
}

// Sends head packets while idle. An acknowledgement that arrives while the
// packet is still being handed over (a synchronous answer) only completes
// it; this loop then sends the next one, so nothing recurses.
void SendDataManager::pump()
{
    if (m_pumping)
        return;
    m_pumping = true;
    while (!m_busy && !m_order.isEmpty())
        sendHead();
    if (!m_busy && m_order.isEmpty())
        m_queues.clear();
    m_pumping = false;
}

void SendDataManager::sendHead()
{
    QObject *device = m_order.first();
    const DeviceQueue &queue = m_queues[device];
    if (!queue.object || queue.payloads.isEmpty()) {
        dropDevice(device);
        return;
    }
    bool ok = false;
    const uint address = queue.item->data(Qt::UserRole).toUInt(&ok);
    QByteArray packet;
    packet.reserve(2 + queue.payloads.first().size());
    packet.append(char(PT_DEVICE_SEND_DATA));
    packet.append(char(ok ? quint8(address) : 0));
    packet.append(queue.payloads.first());

    const quint64 token = ++m_lastToken;
    m_inFlightToken = token;
    m_inFlightDevice = device;
    m_busy = true;
    watchdog.start();

    QPointer<SendDataManager> self(this);
    emit sendPacket(packet, [self, token](const Packet &reply) {
        if (packetTypeOf(reply) != PT_DEVICE_SEND_DATA_ACK)
            return false;
        if (self)
            self->complete(token);
        return true;
    });
}

void SendDataManager::complete(quint64 token)
{
    if (!m_busy || token != m_inFlightToken)
        return; // the acknowledgement of a packet given up earlier
    watchdog.stop();
    m_busy = false;
    m_inFlightToken = 0;
    QObject *device = m_inFlightDevice;
    m_inFlightDevice = nullptr;
    auto it = device ? m_queues.find(device) : m_queues.end();
    if (it != m_queues.end()) {
        if (!it->payloads.isEmpty())
            it->payloads.removeFirst();
        if (it->payloads.isEmpty())
            dropDevice(device);
    }
    pump();
}

void SendDataManager::onWDT()
{
    qWarning().noquote() << QStringLiteral("SendDataManager failed to send data");
    watchdog.stop();
    m_busy = false;
    m_inFlightToken = 0;
    QObject *device = m_inFlightDevice;
    m_inFlightDevice = nullptr;
    if (device)
        dropDevice(device);
    pump();
}

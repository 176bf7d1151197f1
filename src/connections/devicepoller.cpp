#include "devicepoller.h"

#include "connection.h"
#include "deviceclasses.h"
#include "deviceitem.h"
#include "hubroitem.h"
#include "hubrostatus.h"

#include <QDebug>
#include <QPointer>
#include <QVersionNumber>

#include <algorithm>
#include <cstring>

namespace {
// Master feature: device-info answers carry the long record.
constexpr int LongRecordFeature = 4;
// First byte of the state block in a device-info answer.
constexpr int LongStateOffset = 22;
constexpr int ShortStateOffset = 14;
// Answers shorter than this hold no device.
constexpr int MinDeviceAnswer = 12;
// Record bytes needed to read the device type (10) and link state (11).
constexpr int MinRecordBytes = 12;

DevicePoller::Intervals &currentIntervals()
{
    static DevicePoller::Intervals intervals;
    return intervals;
}

} // namespace

void DevicePoller::setIntervals(const Intervals &intervals)
{
    currentIntervals() = intervals;
}

DevicePoller::Intervals DevicePoller::intervals()
{
    return currentIntervals();
}

DevicePoller::DevicePoller(Connection *connection, QObject *parent)
    : QObject(parent)
    , m_connection(connection)
{
    registerPacketMetaTypes();
    registerConnectionMetaTypes();
    connect(&m_timer, &QTimer::timeout, this, &DevicePoller::poll);
}

DevicePoller::~DevicePoller()
{
    m_timer.stop();
}

// ---------------------------------------------------------------- reply reading

DevicePoller::DeviceInfoReply DevicePoller::readDeviceInfo(const QByteArray &data, bool hasCheckByte, bool longRecord)
{
    DeviceInfoReply result;
    if (data.size() < MinDeviceAnswer)
        return result;

    const int payloadEnd = HubroStatus::replySize(data, hasCheckByte); // type byte included
    const int recordBytes = std::min(payloadEnd - 1, DeviceInfoSize);
    if (recordBytes < MinRecordBytes) {
        result.kind = DeviceInfoReply::Malformed;
        return result;
    }
    result.kind = DeviceInfoReply::Record;
    std::memcpy(&result.record, data.constData() + 1, size_t(recordBytes));
    if (!longRecord) {
        auto *bytes = reinterpret_cast<quint8 *>(&result.record);
        std::fill(bytes + 13, bytes + 20, quint8(0));
    }
    const int stateOffset = longRecord ? LongStateOffset : ShortStateOffset;
    if (payloadEnd > stateOffset)
        result.state = data.mid(stateOffset, payloadEnd - stateOffset);
    return result;
}

QList<quint8> DevicePoller::eventAddresses(const QByteArray &data, bool hasCheckByte)
{
    QList<quint8> addresses;
    const int payloadEnd = HubroStatus::replySize(data, hasCheckByte);
    quint8 address = 0;
    for (int i = 1; i < payloadEnd; ++i) {
        const quint8 bits = quint8(data.at(i));
        for (int bit = 0; bit < 8; ++bit, ++address) {
            if (bits & (1u << bit))
                addresses << address;
        }
    }
    return addresses;
}

// ---------------------------------------------------------------- connection

void DevicePoller::onMasterConnected()
{
    m_active = true;
    HubroItem *master = m_connection->master();
    if (!master)
        return;

    for (int address = 0; m_connection->master() && address < m_connection->master()->maxDeviceCount(); ++address)
        requestDeviceInfo(address);
    if (!m_connection->master())
        return;

    const QVersionNumber hw = master->hardwareVersion();
    const QVersionNumber fw = master->firmwareVersion();
    bool ask = false;
    if ((hw.segmentCount() > 0 && hw.majorVersion() >= 7) || (master->deviceType() & 0xFF) != 0)
        ask = fw != QVersionNumber(0, 0);

    if (!ask) {
        m_mode = Mode::Polling;
        qDebug().noquote() << QStringLiteral("m_mode = Mode::Polling;");
    } else {
        emit sendPacket(plainRequest(PT_NEW_EVENTS_READ), guarded(&DevicePoller::onModeReply));
    }

    const Intervals intervals = currentIntervals();
    switch (m_connection->connectionType()) {
    case Serial:
        m_timer.setInterval(m_mode == Mode::EventRead ? intervals.serialEventRead : intervals.serialPolling);
        break;
    case Kastrel:
        m_timer.setInterval(m_mode == Mode::EventRead ? intervals.kastrelEventRead : intervals.kastrelPolling);
        break;
    case Bluetooth:
        m_timer.setInterval(intervals.bluetooth);
        break;
    case File:
    case Simulation:
        break;
    }
    // Without asking there is no answer to start the timer: polling starts now,
    // its ticks wait while the sweep is still on the link.
    if (!ask)
        m_timer.start();
}

void DevicePoller::onMasterDisconnected()
{
    m_timer.stop();
    m_active = false;
}

void DevicePoller::forceReadData(int address)
{
    enqueue(quint8(address));
}

void DevicePoller::enqueue(quint8 address)
{
    if (!m_readQueue.contains(address))
        m_readQueue.enqueue(address);
}

bool DevicePoller::hasCheckByte() const
{
    return HubroStatus::replyHasCheckByte(m_connection->connectionType());
}

ResponseCb DevicePoller::guarded(bool (DevicePoller::*handler)(const Packet &))
{
    QPointer<DevicePoller> self(this);
    return [self, handler](const Packet &reply) { return self ? ((*self).*handler)(reply) : false; };
}

// ---------------------------------------------------------------- polling

void DevicePoller::poll()
{
    ConnectionInterface *link = m_connection->interface();
    if (!link || link->pendingCount() != 0)
        return;

    if (m_mode == Mode::EventRead) {
        if (m_readQueue.isEmpty())
            emit sendPacket(plainRequest(PT_NEW_EVENTS_READ), guarded(&DevicePoller::onNewEvents));
        else
            requestDeviceInfo(m_readQueue.dequeue());
        return;
    }

    HubroItem *master = m_connection->master();
    if (!master)
        return;
    const int count = master->maxDeviceCount();
    // Also after a master with more addresses than this one.
    if (m_currentAddress >= count - 1 || m_currentAddress < -1)
        m_currentAddress = -1;
    requestDeviceInfo(m_currentAddress + 1);
}

void DevicePoller::requestDeviceInfo(int address)
{
    QPointer<DevicePoller> self(this);
    emit sendPacket(packetBytes({PT_GET_DEV_INFO, quint8(address)}), [self, address](const Packet &reply) {
        return self ? self->onDeviceInfo(address, reply) : false;
    });
}

bool DevicePoller::onModeReply(const Packet &reply)
{
    m_mode = packetTypeOf(reply) == PT_NEW_EVENTS_READ_ACK ? Mode::EventRead : Mode::Polling;
    const bool events = m_mode == Mode::EventRead;
    qDebug().noquote() << QStringLiteral("mode =")
                       << (events ? QStringLiteral("Mode::EventRead") : QStringLiteral("Mode::Polling"));
    m_timer.start();
    // The answer's addresses count as any later answer's: an event the master
    // reported at this moment (a device removed, say) is not lost.
    if (events)
        onNewEvents(reply);
    return true;
}

bool DevicePoller::onNewEvents(const Packet &reply)
{
    if (!m_active || packetTypeOf(reply) != PT_NEW_EVENTS_READ_ACK)
        return false;
    for (const quint8 address : eventAddresses(reply.data, hasCheckByte()))
        enqueue(address);
    return true;
}

bool DevicePoller::onDeviceInfo(int address, const Packet &reply)
{
    if (!m_active || packetTypeOf(reply) != PT_GET_DEV_INFO_ACK)
        return false;
    m_currentAddress = quint8(address);
    if (reply.data.size() < MinDeviceAnswer) {
        // Nobody at this address (any more).
        m_connection->removeDeviceLocally(m_currentAddress);
        return true;
    }
    updateDevice(reply);
    return true;
}

void DevicePoller::updateDevice(const Packet &reply)
{
    HubroItem *master = m_connection->master();
    const bool longRecord = master && master->supportsFeature(LongRecordFeature);
    const DeviceInfoReply answer = readDeviceInfo(reply.data, hasCheckByte(), longRecord);
    if (answer.kind != DeviceInfoReply::Record) {
        qDebug().noquote() << QStringLiteral("Short device info answer:") << reply.data.toHex(' ');
        return;
    }
    const deviceInfo_t &record = answer.record;
    if (record.deviceType == 0 || record.deviceType == 1 || record.linkState == 0)
        return;

    DeviceItem *item = m_connection->device(record.radioAddress);
    if (!item) {
        item = createDeviceItem(record, m_connection->masterType() == MasterTrombel);
        connect(item, &DeviceItem::forceReadData, this, &DevicePoller::forceReadData);
        emit deviceConnected(item);
    }
    const int before = item->connectionState();
    item->updateState(record, answer.state);
    if (item->connectionState() != before)
        emit deviceStateChanged(ConnectionState(item->connectionState()));
}

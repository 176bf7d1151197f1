#pragma once

// A master with radio devices behind it, played by the fake master on a
// pseudo-terminal: answers the status request, device-info requests of every
// address, event reads, deletions and reboots from its own tables, the
// settings and device records of a configuration import with their
// acknowledgements (its tables stay as they are), and every other request with
// PT_UNKNOWN_REQ_ERROR so that nothing stays unanswered.
// Thread-safe: the fake master answers on its own thread.

#include "deviceinfo.h"
#include "fakemaster.h"
#include "hubroinfo.h"
#include "packet.h"

#include <QByteArray>
#include <QMap>
#include <QString>

#include <cstring>
#include <mutex>

struct SimDevice
{
    deviceInfo_t record;
    QByteArray state; // the state bytes after the record
};

// A radio device as the master lists it: online, with an address of its own.
inline SimDevice simDevice(quint8 radio, quint8 type, quint32 rl = 0)
{
    SimDevice device;
    device.record.radioAddress = radio;
    device.record.serialNumber = 100000u + radio;
    device.record.firmwareVersion = 0x0105;
    device.record.hardwareVersion = 0x0100;
    device.record.wireloopAddress = quint8(radio + 1);
    device.record.deviceType = type;
    device.record.linkState = 2;
    device.record.rssi = -50;
    device.record.rl = rl;
    device.record.rlSupported = rl != 0 ? 1 : 0;
    device.record.buildNumber = 3;
    device.state = QByteArray::fromHex("f00000640000000000");
    return device;
}

class SimMaster
{
public:
    explicit SimMaster(const hubroInfo_t &status, FakeMaster::Layout layout = FakeMaster::Layout::Serial)
        : m_status(status), fake(layout)
    {
        fake.setResponder([this](const FakeMaster::Received &request) { return respond(request); });
    }

    // What connectToMaster is given: the port, and on the wired bus "port:bus".
    QString address() const
    {
        if (fake.layout() == FakeMaster::Layout::Serial)
            return fake.portName();
        return fake.portName() + QLatin1Char(':') + QString::number(fake.busAddress());
    }

    void setDevice(const SimDevice &device)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_devices.insert(device.record.radioAddress, device);
    }
    SimDevice device(quint8 radio) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_devices.value(radio);
    }
    // The address answers as empty from now on.
    void dropDevice(quint8 radio)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_devices.remove(radio);
    }
    // The next event read reports the address.
    void raiseEvent(quint8 radio)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_events[radio / 8] = char(quint8(m_events[radio / 8]) | (1u << (radio % 8)));
    }
    void setEventsSupported(bool supported)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_eventsSupported = supported;
    }
    // Answers nothing at all.
    void setSilent(bool silent)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_silent = silent;
    }
    // Status answers lose their last bytes (0: whole).
    void truncateStatusAnswer(int bytes)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_statusTruncate = bytes;
    }
    void setDeleteAnswer(quint8 type)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_deleteAnswer = type;
    }
    // Device-info answers carry the long record (the master's feature 4).
    bool longRecord() const { return m_status.bDevType != 0 && m_status.bDevType != 1; }

    // Addresses of the PT_GET_DEV_INFO requests received, in order.
    QList<int> infoRequests() const
    {
        QList<int> addresses;
        for (const FakeMaster::Received &r : fake.received())
            if (r.type() == PT_GET_DEV_INFO && r.packet.size() > 1)
                addresses << quint8(r.packet.at(1));
        return addresses;
    }

    // Bytes on the wire of the replies to each request, in the order the
    // requests came (the fake master's log order).
    QVector<int> replyWireBytes() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_replyBytes;
    }

    // The reply a device-info request of this address gets.
    QByteArray infoAnswer(quint8 radio) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return infoAnswerLocked(radio);
    }

private:
    QByteArray infoAnswerLocked(quint8 radio) const
    {
        QByteArray data(1, char(PT_GET_DEV_INFO_ACK));
        const auto it = m_devices.constFind(radio);
        if (it == m_devices.constEnd())
            return data + char(radio);
        const QByteArray record = deviceInfoToBytes(it->record);
        return data + (longRecord() ? record : record.left(13)) + it->state;
    }

    QVector<FakeMaster::Reply> respond(const FakeMaster::Received &request)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const QVector<FakeMaster::Reply> replies = answerLocked(request);
        int bytes = 0;
        for (const FakeMaster::Reply &reply : replies)
            bytes += fake.wrap(request.sequence, reply.packet).size();
        m_replyBytes << bytes;
        return replies;
    }

    QVector<FakeMaster::Reply> answerLocked(const FakeMaster::Received &request)
    {
        if (m_silent)
            return {};
        const QByteArray &packet = request.packet;
        const quint8 arg = packet.size() > 1 ? quint8(packet.at(1)) : 0;
        switch (request.type()) {
        case PT_HUBRO_INFO: {
            const QByteArray record = hubroInfoToBytes(m_status);
            QByteArray answer(1, char(PT_HUBRO_INFO_ACK));
            // The 32-device master sends record bytes 0-55 and RFNoise.
            answer += m_status.bDevType == 0 ? record.left(56) + char(m_status.RFNoise) : record;
            answer.chop(m_statusTruncate);
            return {FakeMaster::Reply(answer)};
        }
        case PT_GET_DEV_INFO:
            return {FakeMaster::Reply(infoAnswerLocked(arg))};
        case PT_NEW_EVENTS_READ: {
            if (!m_eventsSupported)
                break;
            const QByteArray answer = QByteArray(1, char(PT_NEW_EVENTS_READ_ACK)) + m_events;
            m_events.fill('\0');
            return {FakeMaster::Reply(answer)};
        }
        case PT_DELETE_DEVICE:
            if (m_deleteAnswer == PT_DELETE_DEVICE_ACK)
                m_devices.remove(arg);
            return {FakeMaster::Reply(QByteArray(1, char(m_deleteAnswer)))};
        case PT_REBOOT:
            return {FakeMaster::Reply(QByteArray(1, char(PT_REBOOT_ACK)))};
        case PT_SET_DEV_ADDRESS:
        case PT_KEYBOARD_LOCK:
        case PT_HUBRO_POWER_ADJUSTMENT:
        case PT_WIRELOOP_POWER_MODE_SET:
        case PT_USB_CHANNEL_SET:
        case PT_EXCHANGE_INTERVAL:
        case PT_WRITE_DEV_CONFIG:
            // The acknowledgement of each is the next type code.
            return {FakeMaster::Reply(QByteArray(1, char(request.type() + 1)))};
        default:
            break;
        }
        return {FakeMaster::Reply(QByteArray(1, char(PT_UNKNOWN_REQ_ERROR)))};
    }

    mutable std::mutex m_mutex;
    hubroInfo_t m_status;
    QMap<quint8, SimDevice> m_devices;
    QByteArray m_events = QByteArray(16, '\0');
    bool m_eventsSupported = true;
    bool m_silent = false;
    int m_statusTruncate = 0;
    QVector<int> m_replyBytes;
    quint8 m_deleteAnswer = PT_DELETE_DEVICE_ACK;

public:
    // Declared last, so it is destroyed first: its thread, which calls respond(),
    // ends before the state that respond() reads goes away.
    FakeMaster fake;
};

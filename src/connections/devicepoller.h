#pragma once

#include "connectiontypes.h"
#include "deviceinfo.h"
#include "packet.h"

#include <QByteArray>
#include <QObject>
#include <QQueue>
#include <QTimer>

#include <cstdint>

class Connection;
class DeviceItem;

// Reads the radio devices of the connected master: a sweep of every radio
// address when the master connects, then on a timer either the addresses the
// master reports new events for (EventRead) or every address in a ring
// (Polling). Items are made by the device factory and handed to the owning
// connection through deviceConnected; every request leaves through sendPacket.
class DevicePoller : public QObject
{
    Q_OBJECT
public:
    enum class Mode : int {
        Polling = 0,
        EventRead = 1,
    };
    Q_ENUM(Mode)

    // Poll timer intervals by link kind and mode, in milliseconds. Tests
    // shorten them.
    struct Intervals
    {
        int serialEventRead = 500;
        int serialPolling = 100;
        int kastrelEventRead = 500;
        int kastrelPolling = 200;
        int bluetooth = 100;
    };
    static void setIntervals(const Intervals &intervals);
    static Intervals intervals();

    explicit DevicePoller(Connection *connection, QObject *parent = nullptr);
    ~DevicePoller() override;

    Mode mode() const { return m_mode; }
    bool isActive() const { return m_active; }
    bool isTimerActive() const { return m_timer.isActive(); }
    int timerInterval() const { return m_timer.interval(); }
    QQueue<quint8> readQueue() const { return m_readQueue; }
    int currentAddress() const { return m_currentAddress; }

    // ---- Reply reading (pure) ------------------------------------------------
    struct DeviceInfoReply
    {
        enum Kind {
            Empty,     // no device at the address
            Malformed, // too short to tell the device type and link state
            Record,    // record and state bytes
        };
        Kind kind = Empty;
        deviceInfo_t record;
        QByteArray state;
    };
    // Reads a PT_GET_DEV_INFO_ACK answer (type byte first). Record bytes the
    // answer does not carry read as zero; the check byte is never payload.
    // Without the long record the state follows record byte 12 and record
    // bytes 13 to 19 read as zero.
    static DeviceInfoReply readDeviceInfo(const QByteArray &data, bool hasCheckByte, bool longRecord);
    // The addresses set in a PT_NEW_EVENTS_READ_ACK answer, in bit order.
    static QList<quint8> eventAddresses(const QByteArray &data, bool hasCheckByte);

public slots:
    void onMasterConnected();
    void onMasterDisconnected();
    void forceReadData(int address);

signals:
    void deviceConnected(DeviceItem *device);
    void deviceRemoved(DeviceItem *device);
    void sendPacket(QByteArray data, ResponseCb cb);
    void deviceStateChanged(ConnectionState newState);

private:
    void poll();
    void requestDeviceInfo(int address);
    bool onDeviceInfo(int address, const Packet &reply);
    void updateDevice(const Packet &reply);
    bool onNewEvents(const Packet &reply);
    bool onModeReply(const Packet &reply);
    void enqueue(quint8 address);
    bool hasCheckByte() const;
    // A callback that does nothing once this poller is gone.
    ResponseCb guarded(bool (DevicePoller::*handler)(const Packet &));

    Connection *m_connection;
    QQueue<quint8> m_readQueue;
    bool m_active = false;
    QTimer m_timer;
    // The address of the last device-info reply; the ring walk goes on after it.
    int m_currentAddress = -1;
    Mode m_mode = Mode::EventRead;
};

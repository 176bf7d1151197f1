#pragma once

#include "packet.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QStandardItem;

// The one queue through which commands reach radio devices. Each device has
// its own list of payloads; a payload goes out as PT_DEVICE_SEND_DATA, the
// device's radio address (its item data for Qt::UserRole) and the payload.
// One packet is in flight at a time: the next leaves when its
// PT_DEVICE_SEND_DATA_ACK has arrived. A device's whole list is served before
// the next device's; when the watchdog runs out, the device whose packet was
// in flight loses its whole list and the next device is served.
//
// Devices are held by their QObject lifetime: a device that is destroyed
// loses its waiting payloads at once and is never touched again. Only the
// acknowledgement of the packet in flight completes it; a late or foreign
// acknowledgement completes nothing.
class SendDataManager : public QObject
{
    Q_OBJECT
public:
    // What the queue keeps of a device: its lifetime and the item whose
    // Qt::UserRole data is the radio address. Made from any object that is
    // both a QObject and a QStandardItem (a device item).
    struct Target
    {
        template <class Item>
        Target(Item *device) : object(device), item(device) {}

        QObject *object;
        QStandardItem *item;
    };

    // The process-wide queue, made on first use.
    static SendDataManager *instance();
    // Drops the device's waiting payloads from the process-wide queue, when
    // that exists. Device items call it when they go away.
    static void forgetDevice(QObject *device);

    explicit SendDataManager(QObject *parent = nullptr);
    ~SendDataManager() override;

    // Appends a copy of the payload to the list of every device given (a
    // device listed twice gets it twice) and starts sending when idle.
    void enqueue(const QList<Target> &devices, const QByteArray &payload);
    template <class Item>
    void enqueue(const QList<Item *> &devices, const QByteArray &payload)
    {
        QList<Target> targets;
        for (Item *device : devices)
            if (device)
                targets.append(Target(device));
        enqueue(targets, payload);
    }

    // Drops the device's waiting payloads. A packet of the device that is in
    // flight stays in flight until its acknowledgement or the watchdog.
    void removeDevice(QObject *device);

    bool isBusy() const { return m_busy; }
    int pendingCount(QObject *device) const;

    // Time without acknowledgement after which a device is given up (1000 ms).
    void setWatchdogInterval(int milliseconds);
    int watchdogInterval() const { return watchdog.interval(); }

signals:
    void sendPacket(QByteArray data, ResponseCb cb);

private slots:
    void onWDT();
    void onDeviceDestroyed(QObject *device);

private:
    struct DeviceQueue
    {
        QPointer<QObject> object;
        QStandardItem *item = nullptr;
        QList<QByteArray> payloads;
    };

    void pump();
    void sendHead();
    void complete(quint64 token);
    void dropDevice(QObject *device);

    QHash<QObject *, DeviceQueue> m_queues;
    QList<QObject *> m_order;
    bool m_busy = false;
    QTimer watchdog;

    quint64 m_lastToken = 0;
    quint64 m_inFlightToken = 0;        // 0: nothing in flight
    QObject *m_inFlightDevice = nullptr; // null once its device is gone
    bool m_pumping = false;
};

#pragma once

#include "packet.h"

#include <QList>
#include <QObject>

class DeviceItem;

// The update queue of radio devices: one manager for the whole process, made
// on first use. The master applies the images over the air, one device after
// the other; the manager drives it through sendPacket, which the main window
// connects to the current link.
class UpdateManager : public QObject
{
    Q_OBJECT
public:
    static UpdateManager *instance();

    // True while devices wait in the queue or are being updated.
    bool isBusy() const { return !m_queue.isEmpty(); }

public slots:
    // Stops all updates and empties the queue.
    void stop();
    // Drops a device that went away from the queue.
    void removeDevice(DeviceItem *device);

signals:
    void sendPacket(QByteArray data, ResponseCb cb);
    void updateStarted(QList<DeviceItem *> devices);
    void deviceUpdateStarted(DeviceItem *device);
    void deviceUpdateProgress(int percentComplete);
    void deviceUpdateFinished(DeviceItem *device);
    void deviceUpdateFailed(DeviceItem *device);
    void updateFinished(QList<DeviceItem *> updatedDevices, QList<DeviceItem *> failedDevices);
    void deviceRemoved(DeviceItem *device);

private:
    explicit UpdateManager(QObject *parent = nullptr);

    QList<DeviceItem *> m_queue;
};

#pragma once

#include "packet.h"

#include <QList>
#include <QObject>

class DeviceItem;

// Reads and clears the radio statistics of devices. One manager for the
// whole process, made on first use.
class StatisticsManager : public QObject
{
    Q_OBJECT
public:
    static StatisticsManager *instance();

    bool isBusy() const { return !m_devices.isEmpty(); }
    // True: the statistics record of a reply starts at byte 10, else at 6.
    void setExtendedReply(bool extended) { m_extendedReply = extended; }
    bool extendedReply() const { return m_extendedReply; }
    void setMaxAttempts(int attempts) { m_maxAttempts = attempts; }
    int maxAttempts() const { return m_maxAttempts; }

public slots:
    void read(const QList<DeviceItem *> &devices);
    void clear(const QList<DeviceItem *> &devices);
    // Drops a device that went away from the running read.
    void removeDevice(DeviceItem *device);

signals:
    void sendPacket(QByteArray data, ResponseCb cb);
    void started(QList<DeviceItem *> devices);
    void failed(DeviceItem *device);

private:
    explicit StatisticsManager(QObject *parent = nullptr);

    QList<DeviceItem *> m_devices;
    bool m_extendedReply = false;
    int m_maxAttempts = 45;
};

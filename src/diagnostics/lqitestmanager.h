#pragma once

#include "packet.h"

#include <QList>
#include <QObject>

class DeviceItem;

// The link-quality test of radio devices, one device at a time. One manager
// for the whole process, made on first use.
class LQITestManager : public QObject
{
    Q_OBJECT
public:
    static LQITestManager *instance();

    bool isBusy() const { return !m_devices.isEmpty(); }
    // Per-device time-out of the test in seconds (45).
    void setTimeout(int seconds) { m_timeoutSeconds = seconds; }
    int timeout() const { return m_timeoutSeconds; }

public slots:
    void start(const QList<DeviceItem *> &devices);
    void stop();
    // Drops a device that went away from the running test.
    void removeDevice(DeviceItem *device);

signals:
    void sendPacket(QByteArray data, ResponseCb cb);
    void testsStarted(QList<DeviceItem *> devices);
    void testStarted(DeviceItem *device);
    void testFailed(DeviceItem *device);

private:
    explicit LQITestManager(QObject *parent = nullptr);

    QList<DeviceItem *> m_devices;
    int m_timeoutSeconds = 45;
};

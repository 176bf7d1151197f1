#pragma once

#include "diagnosticsrecords.h"
#include "packet.h"
#include "requestrun.h"

#include <QList>
#include <QObject>

class DeviceItem;

// The link-quality test of radio devices, one device after the other: the
// master tests its link to the device and the manager polls until the result
// is ready (DeviceRequestRun: up to 3 cycles of maxAttempts pings; the ping is
// the bare 0x92). Devices destroyed or removed leave the run at once. One
// manager for the whole process, made on first use; tests make their own.
class LQITestManager : public QObject, private RequestRunClient
{
    Q_OBJECT
public:
    static LQITestManager *instance();

    explicit LQITestManager(QObject *parent = nullptr);
    ~LQITestManager() override;

    bool isBusy() const { return !m_run.isIdle(); }
    QList<DeviceItem *> queue() const { return m_run.queue(); }

    // Pings a request cycle (45); at least 1.
    void setMaxAttempts(quint32 attempts);
    quint32 maxAttempts() const { return m_maxAttempts; }
    // The per-device time-out in seconds: one ping a second, so the ping limit.
    void setTimeout(int seconds) { setMaxAttempts(quint32(qMax(0, seconds))); }

    // Timers (tests): the ping interval (1000 ms).
    DeviceRequestRun &run() { return m_run; }

public slots:
    void start(const QList<DeviceItem *> &devices);
    // Ends the run at once; nothing is emitted, later replies are refused.
    void stop();
    // Drops a device from the run; the one being tested fails.
    void removeDevice(DeviceItem *device);
    // One ping step.
    void testPing();

signals:
    void sendPacket(QByteArray data, ResponseCb cb);
    void testsStarted(QList<DeviceItem *> devices);
    void testStarted(DeviceItem *device);
    void testFinished(DeviceItem *device, rssiShortTest_t result);
    void testFailed(DeviceItem *device);

private:
    QByteArray requestPacket(DeviceItem *device) const override;
    QByteArray pingPacket(DeviceItem *device) const override;
    void sendRequest(const QByteArray &data, const ResponseCb &cb) override;
    bool handleReply(const Packet &reply) override;
    void cycleBegun(DeviceItem *device) override;
    void deviceFailed(DeviceItem *device) override;
    void runEnded(Mode mode, bool afterFailure) override;

    DeviceRequestRun m_run;
    quint32 m_maxAttempts = 45;
};

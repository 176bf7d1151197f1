#pragma once

#include "eepromreadwindow.h"
#include "packet.h"
#include "requestrun.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>

class DeviceItem;

// Reads a stretch of the memory of radio devices one after the other, and
// writes bytes into it; asks its parameters itself (DialogReadEeprom,
// DialogWriteEeprom). What it reads goes to the log and to a window of
// results, with the statistics block (0x50) and the last assert code (0x7A)
// decoded. A read polls each
// device (DeviceRequestRun, 30 pings a cycle; an answer from another device
// uses a cycle); a write sends each device one request, and its
// acknowledgement or the job time-out moves on. Devices destroyed during a job
// leave it at once. One manager for the whole process, made on first use;
// tests make their own.
class DeviceEepromManager : public QObject, private RequestRunClient
{
    Q_OBJECT
public:
    static constexpr quint32 PingLimit = 30;

    static DeviceEepromManager *instance();

    explicit DeviceEepromManager(QObject *parent = nullptr);
    ~DeviceEepromManager() override;

    bool isBusy() const { return !m_run.isIdle(); }
    QList<DeviceItem *> queue() const { return m_run.queue(); }
    int readAddress() const { return m_readAddress; }
    quint8 readLength() const { return m_readLength; }

    // The window of the answers read, while it is open.
    EepromReadWindow *resultsWindow() const { return m_window; }

    // Timers (tests): the ping interval (1000 ms) and the write time-out.
    DeviceRequestRun &run() { return m_run; }

public slots:
    void read(const QList<DeviceItem *> &devices);
    void write(const QList<DeviceItem *> &devices);
    // One ping step of a read.
    void readPing();
    // A device of the job went away.
    void deviceDestroyed(QObject *device);
    void onFinished();

signals:
    void sendPacket(QByteArray data, ResponseCb cb);
    // A read job ended after a failure, or emptied by destroyed devices.
    void finished();

private:
    QByteArray requestPacket(DeviceItem *device) const override;
    QByteArray pingPacket(DeviceItem *device) const override;
    void sendRequest(const QByteArray &data, const ResponseCb &cb) override;
    bool handleReply(const Packet &reply) override;
    void cycleBegun(DeviceItem *device) override;
    void runEnded(Mode mode, bool afterFailure) override;

    void onReceived(const Packet &reply);
    // Adds an answer to the results window, made when the first one comes.
    void showResult(const QString &device, int address, const QByteArray &data, const QString &decoded);

    DeviceRequestRun m_run;
    int m_readAddress = 0;
    quint8 m_readLength = 0;
    quint32 m_writeAddress = 0;
    QByteArray m_writeData;
    QPointer<EepromReadWindow> m_window;
};

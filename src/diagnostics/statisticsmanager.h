#pragma once

#include "diagnosticsrecords.h"
#include "packet.h"
#include "requestrun.h"

#include <QFile>
#include <QList>
#include <QObject>
#include <QString>

class DeviceItem;

// Reads the radio statistics of radio devices one after the other, and clears
// them. Each answer is appended as a raw record to the statistics file of the
// run ("radio_stats_" + date and time + ".dat": the device's radio address
// and Wireloop address bytes, then the answer from byte 6 less its last 2
// bytes) and handed on decoded. One manager for the whole process, made on
// first use; tests make their own.
//
// A read run polls each device (DeviceRequestRun): up to 3 request cycles of
// maxAttempts pings. A clear run sends each device one reset; its
// acknowledgement, an error answer or the job time-out moves on. Devices
// destroyed or removed leave either run at once.
class StatisticsManager : public QObject, private RequestRunClient
{
    Q_OBJECT
public:
    static StatisticsManager *instance();

    explicit StatisticsManager(QObject *parent = nullptr);
    ~StatisticsManager() override;

    bool isBusy() const { return !m_run.isIdle(); }
    QList<DeviceItem *> queue() const { return m_run.queue(); }

    // True: the statistics record of an answer starts at byte 10, else at 6.
    void setExtendedReply(bool extended) { m_extendedReply = extended; }
    bool extendedReply() const { return m_extendedReply; }
    // Pings a request cycle (45); at least 1.
    void setMaxAttempts(quint32 attempts);
    quint32 maxAttempts() const { return m_maxAttempts; }

    // Where the statistics files go: the user's application data folder
    // (made when missing). A set folder wins (tests).
    void setStatisticsFolder(const QString &folder) { m_folder = folder; }
    QString statisticsFolder() const;
    // The file of the current or last read run; empty before the first.
    QString statisticsFileName() const { return m_statsFile.fileName(); }
    // Whether the current run's file could be opened for writing.
    bool isStatisticsFileOpen() const { return m_statsFile.isOpen(); }

    // Timers (tests): the ping interval (1000 ms) and the clear time-out.
    DeviceRequestRun &run() { return m_run; }

public slots:
    void read(const QList<DeviceItem *> &devices);
    void clear(const QList<DeviceItem *> &devices);
    // Drops a device from the run; the one being served fails.
    void removeDevice(DeviceItem *device);
    // Ends the run at once; nothing is sent or emitted.
    void stop();
    // One ping step of a read run.
    void readStatisticsPing();

signals:
    void sendPacket(QByteArray data, ResponseCb cb);
    void started(QList<DeviceItem *> devices);
    void failed(DeviceItem *device);
    void finished(DeviceItem *device, statistics_t stats);
    void finished();

private:
    QByteArray requestPacket(DeviceItem *device) const override;
    QByteArray pingPacket(DeviceItem *device) const override;
    void sendRequest(const QByteArray &data, const ResponseCb &cb) override;
    bool handleReply(const Packet &reply) override;
    void deviceFailed(DeviceItem *device) override;
    void runEnded(Mode mode, bool afterFailure) override;

    void openStatisticsFile();
    void onStatistics(const Packet &reply);

    DeviceRequestRun m_run;
    QFile m_statsFile;
    quint32 m_maxAttempts = 45;
    bool m_extendedReply = false;
    QString m_folder;
};

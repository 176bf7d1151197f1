#pragma once

#include "connectiontypes.h"
#include "frame.h"
#include "packet.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTimer>
#include <QVector>

#include <atomic>
#include <memory>

class QSerialPort;

// Does all port work of a serial link in the link thread: frames requests, sends one at a
// time (re-sent on time-out, at most six transmissions), pairs replies by sequence byte.
// Only the link thread touches its state; isPortOpen() and queuedCount() may be read anywhere.
class SerialThreadWorker : public QObject
{
    Q_OBJECT
public:
    static constexpr int SerialTimeoutMs = 200;
    static constexpr int SlowMasterTimeoutMs = 1000; // MasterHubro32Slow
    static constexpr int KastrelTimeoutMs = 500;
    static constexpr int SendGapMs = 3;              // after a reply, before the next request
    // Silence after which an incomplete frame holding back a complete one is given up.
    static constexpr int StrayGapMs = 100;
    static constexpr int MaxTransmissions = 6;
    static constexpr qint32 SerialBaudRate = 38462;
    static constexpr qint32 KastrelBaudRate = 9600;

    SerialThreadWorker(QSerialPort *port, bool kastrelMode, MasterType masterType, QObject *parent = nullptr);

    // Frame / envelope of a packet with the next sequence byte; empty (no number taken) when too long.
    QByteArray buildFrame(const QByteArray &packet);
    QByteArray buildKastrelFrame(const QByteArray &packet);

    bool isPortOpen() const { return m_portOpen.load(); }
    int queuedCount() const { return m_queued.load(); }
    int transmitInterval() const { return m_transmitInterval.load(); }
    // The port's reason why the last connectToDevice failed; empty after a success.
    QString openError() const { return m_openError; }

public slots:
    void sendPacket(const QByteArray &data, const ResponseCb &cb);
    // Each accepted reply sends the run's next packet from here, behind what is queued.
    void sendRun(const PacketRun &run);
    void onReadyRead();
    bool connectToDevice(const QString &serial);
    void disconnectFromDevice();
    void setLogFilter(const QVector<uint8_t> &filter);
    void transmitTimeout();
    // Test seam: shorter time-out and gap than the shipped ones.
    void setTimings(int transmitTimeoutMs, int sendGapMs);

signals:
    void packetReceived(const Packet &packet, const ResponseCb &cb);
    void connectionLost();

private:
    struct Request
    {
        QByteArray frame;
        ResponseCb cb;
        int sendCount = 0;
        bool answered = false;
        std::shared_ptr<PacketRun> run; // the run this packet is `index` of, if any
        int index = 0;
    };
    // The framed request; an empty frame (and a warning) when the packet is too long.
    Request makeRequest(const QByteArray &data);
    void submit(const Request &request);
    // The reply to a packet of a run: the next packet queued (true: to go at once,
    // nothing else waits), or the run's end told.
    bool runReplied(const Packet &packet, uint8_t type, const Request &request);

    void transmitCurrent();
    void takeReceived(bool silence);
    void strayTimeout();
    int awaitedSequence() const; // sequence byte of the reply awaited, -1 when none
    void abandonRequests();
    void handleFrames(const QByteArray &buffer, const FrameScan &scan);
    void handleFrame(const QByteArray &buffer, const ScannedFrame &frame);
    uint8_t requestSequence(const QByteArray &frame) const;
    uint8_t requestType(const QByteArray &frame) const;
    void updateCounters();

    QSerialPort *m_port;
    bool m_kastrelMode;
    QTimer m_transmitTimer;
    QTimer m_strayTimer;
    QList<Request> m_queue;
    QByteArray m_rxBuffer;
    uint8_t m_sequence = 0;
    uint8_t m_busAddress = 0;
    int m_busy = 0;
    Request m_current;
    QVector<uint8_t> m_logFilter;
    int m_sendGapMs = SendGapMs;
    quint32 m_epoch = 0; // counts abandonRequests(); stale gap shots check it
    QString m_openError;

    std::atomic<bool> m_portOpen{false};
    std::atomic<int> m_queued{0};
    std::atomic<int> m_transmitInterval{0};
};

#pragma once

#include "connectioninterface.h"
#include "connectiontypes.h"

#include <QThread>

class QSerialPort;
class SerialThreadWorker;

// Link over a serial port (the master's USB serial adapter, or the wired bus in its Kastrel
// form). The port and its SerialThreadWorker live in a thread of their own; this object
// talks to them by queued signals and blocking invocations only.
class SerialConnectionInterface : public ConnectionInterface
{
    Q_OBJECT
public:
    SerialConnectionInterface(ConnectionType type, MasterType masterType, QObject *parent = nullptr);
    ~SerialConnectionInterface() override;

    // Address: the port name; on the wired bus "port:bus" with the bus address in decimal.
    bool connectToDevice(const QString &address) override;
    // Closes the port and ends the link thread; harmless when the thread has ended already.
    void disconnectFromDevice() override;
    void sendPacket(const QByteArray &data, const ResponseCb &cb) override;
    void sendRun(const PacketRun &run) override;
    bool isOpen() const override;
    void setLogFilter(const QVector<uint8_t> &filter) override;
    // The address last given to connectToDevice (with the bus address on the wired bus, so
    // that it can be used to connect again).
    QString portName() const override;
    int pendingCount() const override;
    QString errorString() const override;

    int transmitTimeout() const;
    // The worker in the link thread (to watch its signals in tests and measurements).
    SerialThreadWorker *worker() const { return m_worker; }
    // Test seam: shortens the re-send time-out and the gap between requests.
    void setTimingsForTesting(int transmitTimeoutMs, int sendGapMs);

    // Raises the calling thread (the link thread as it starts) and says once how it went.
    static void raiseLinkThread();

signals:
    void privateSendPacket(const QByteArray &data, const ResponseCb &cb);
    void privateSendRun(const PacketRun &run);

public slots:
    void packetReceived(const Packet &packet, const ResponseCb &cb);

private:
    bool ensureThreadRunning();

    QThread m_thread;
    QSerialPort *m_port;
    SerialThreadWorker *m_worker;
    QString m_address;
};

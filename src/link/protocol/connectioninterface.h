#pragma once

#include "packet.h"

#include <QObject>
#include <QString>
#include <QVector>

#include <atomic>
#include <cstdint>
#include <memory>

// Sequence counter of the Bluetooth link's frames, shared by the whole process; every
// link interface constructed sets it back to 0.
extern std::atomic<uint8_t> tetherSequence;

// A link to one master: sends packets as requests, hands each reply to its request's
// callback on the GUI thread and every other packet to the owner as unsolicitedPacket.
class ConnectionInterface : public QObject
{
    Q_OBJECT
public:
    explicit ConnectionInterface(QObject *parent = nullptr);
    ~ConnectionInterface() override;

public slots:
    virtual bool connectToDevice(const QString &address) = 0;
    virtual void disconnectFromDevice() = 0;
    // Frames `data` and queues it; `cb` gets the reply (an empty cb: the reply becomes unsolicited).
    virtual void sendPacket(const QByteArray &data, const ResponseCb &cb) = 0;
    // Sends the run's packets one after the other (see PacketRun). This one chains
    // them through sendPacket(); a link with a thread of its own does it there.
    virtual void sendRun(const PacketRun &run);
    virtual bool isOpen() const = 0;
    // Packet types left out of the "TX:"/"RX:" log lines.
    virtual void setLogFilter(const QVector<uint8_t> &filter) = 0;
    virtual QString portName() const = 0;
    // Requests waiting behind the one in flight.
    virtual int pendingCount() const = 0;
    // Why the last connectToDevice failed, as the system tells it; empty when unknown.
    virtual QString errorString() const { return QString(); }

    // Runs on the GUI thread: the callback when there is one, else unsolicitedPacket.
    void onPacketReceived(const Packet &packet, const ResponseCb &cb);

private:
    void sendRunPacket(const std::shared_ptr<PacketRun> &run, int index);

signals:
    void unsolicitedPacket(const Packet &packet);
    void connectionLost();
};

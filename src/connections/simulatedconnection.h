#pragma once

#include "connection.h"
#include "filefollower.h"
#include "hubroinfo.h"
#include "packet.h"

#include <QByteArray>
#include <QJsonArray>
#include <QString>
#include <QTimer>

// A master and its radio devices played from a simulation file (JSON): the
// master item's requests are answered at once with canned replies, and every
// change of the file on disk is applied while the connection runs (the
// master's record rebuilt, devices added, replaced, updated or removed).
// The file is only read.
class SimulatedConnection : public Connection
{
    Q_OBJECT
public:
    explicit SimulatedConnection(QObject *parent = nullptr);
    ~SimulatedConnection() override;

    // `address` is the simulation file's path; `masterType` is not used.
    bool connectToMaster(ConnectionType type, const QString &address, MasterType masterType) override;
    bool disconnectFromMaster() override;
    void forceDisconnect() override;
    void removeDevice(int address) override;

    // The record answered to PT_HUBRO_INFO.
    hubroInfo_t masterRecord() const { return m_record; }
    // The serial number of the next device without a "serial" key.
    qint32 serialCounter() const { return m_serialCounter; }
    FileFollower *follower() { return &m_follower; }

    // A rebooted master comes back from its file after the reconnect time-out,
    // as a live master does. Tests shorten the wait: a delay of 0 or more
    // replaces the time-out, a negative one restores it.
    static void setReconnectDelay(int ms);
    bool isReconnecting() const { return m_reconnectTimer.isActive(); }

public slots:
    // Answers one request of the master item before returning.
    void sendPacket(const QByteArray &data, const ResponseCb &cb);
    void sendPacket(const QByteArray &data);

private slots:
    void fileUpdated(const QString &filename);

private:
    void applyDevices(const QJsonArray &devices);
    // The master and its devices go while the master reboots; the file is read
    // again when the reconnect time-out has passed.
    void onMasterRestarted(int reconnectTimeout);
    void reconnect();

    hubroInfo_t m_record;
    FileFollower m_follower;
    qint32 m_serialCounter;
    QTimer m_reconnectTimer;
};

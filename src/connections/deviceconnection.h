#pragma once

#include "connection.h"
#include "devicepoller.h"

#include <QString>
#include <QTimer>

#include <cstdint>

// The connection to a live master over the serial port, the wired bus or
// Bluetooth LE: opens the link, reads the master's status record into the
// master item, lets the poller find the radio devices, routes every item's
// requests to the link, reports the master's own firmware update and
// reconnects after a reboot. Over Bluetooth the status is read once the link
// reports itself ready; builds without the BLE libraries refuse that kind.
class TetherInterface;

class DeviceConnection : public Connection
{
    Q_OBJECT
public:
    // Delays and link timings. Tests shorten them.
    struct Timings
    {
        int rereadAfterUpdate = 10000; // status request after the master's core update
        int transmitTimeout = -1;      // link re-send time-out; -1 keeps the link's own
        int sendGap = -1;              // link gap between requests; -1 keeps the link's own
    };
    static void setTimings(const Timings &timings);
    static Timings timings();

    explicit DeviceConnection(QObject *parent = nullptr);
    ~DeviceConnection() override;

    bool connectToMaster(ConnectionType type, const QString &address, MasterType masterType) override;
    bool disconnectFromMaster() override;
    void forceDisconnect() override;
    void removeDevice(int address) override;

    // Asks the master for its status record; the answer makes the master item.
    void readMasterDevice();
    // Stops a pending reconnection after a reboot.
    void breakReconnect();

    DevicePoller *poller() { return &m_poller; }
    bool isReconnectPending() const { return m_reconnectTimer.isActive(); }
    // The address the next reconnection uses.
    QString reconnectAddress() const { return m_address; }

    // Percentage of a core-update stage: `counter` keeps the largest remaining
    // count of the stage seen so far and is raised to `remaining`.
    static int updateProgress(quint32 &counter, quint32 remaining);
    // The remaining count of a core-update progress packet: data bytes 1 to 4,
    // little-endian; the bytes a short packet lacks read as zero.
    static quint32 remainingCount(const QByteArray &data);

private:
    bool createMaster(const Packet &reply);
    void onMasterItemConnected();
    void onDeviceConnected(DeviceItem *device);
    void onInterfaceConnectionLost();
    void onMasterRestarted(int reconnectTimeout);
    void onUnsolicitedPacket(const Packet &packet);
    void reportProgress(quint32 &counter, FirmwareUploadTypes::uploadStatus_t stage, const QString &text,
                        const QByteArray &data);
    void reconnect();
    void releaseInterface();
    // The BLE link, on a Bluetooth connection.
    TetherInterface *tetherInterface() const;
    void onTetherStatusChanged(int status);

    DevicePoller m_poller;
    QTimer m_reconnectTimer;
    QString m_address;
};

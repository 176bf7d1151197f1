#pragma once

#include "connectioninterface.h"
#include "connectiontypes.h"
#include "devicesource.h"
#include "firmwaretypes.h"
#include "hubroitem.h"

#include <QJsonArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QVector>

#include <cstdint>

class DeviceItem;

// The program's relationship with one master and the radio devices behind
// it. The kinds (live device, configuration file, simulation) implement the
// virtual operations; the base keeps the master item, the device items in
// address order, the link interface and the JSON objects of the connected
// devices, and owns all of them.
class Connection : public QObject, public DeviceSource
{
    Q_OBJECT
public:
    // The stage type of the master's own core update (the upload manager's).
    using uploadStatus_t = FirmwareUploadTypes::uploadStatus_t;

    explicit Connection(QObject *parent = nullptr);
    ~Connection() override;

    // ---- Operations of each kind -------------------------------------------
    virtual bool connectToMaster(ConnectionType type, const QString &address, MasterType masterType) = 0;
    // True when the connection is closed.
    virtual bool disconnectFromMaster() = 0;
    // Closes without asking anybody.
    virtual void forceDisconnect() = 0;
    // True while the link interface is set and open.
    virtual bool isConnected() const;
    virtual void removeDevice(int address) = 0;

    // Display text of a connection kind ("Serial", "Kastrel", ...).
    static QString connectionTypeText(ConnectionType type);

    // ---- Accessors ------------------------------------------------------------
    HubroItem *master() const override { return m_master; }
    MasterType masterType() const override { return m_masterType; }
    ConnectionInterface *interface() const { return m_interface; }
    ConnectionType connectionType() const { return m_connectionType; }
    // The device items in ascending address order.
    QList<DeviceItem *> devices() const override;
    // 255 is the master item; any other address the device stored under it, or null.
    DeviceItem *device(int address) const;
    // The link's port name, empty without a link.
    QString portName() const;
    // One configuration-file device object per connected radio device.
    QJsonArray devicesJArray() const { return m_devicesJArray; }
    // Why the last connectToMaster failed; empty after a success.
    QString errorString() const { return m_errorString; }
    // The file the connection works on (file and simulation kinds), stored
    // once it opened; empty for the live kinds.
    QString filePath() const { return m_path; }

    // Finds the item's address and removes it (address 0 when not stored).
    void removeDeviceItem(DeviceItem *item);
    // Takes the item stored under the address out of the connection without
    // asking the master (what follows PT_DELETE_DEVICE_ACK): emits
    // deviceRemoved, tells the master item, drops the device's JSON object and
    // releases the item. Nothing happens when no item is stored there.
    void removeDeviceLocally(int address);
    // Asks the master to reboot; nothing without a master.
    void restartMaster(int reconnectTimeout);
    // Packet types left out of the link's log; nothing unless connected.
    void setLogFilter(const QVector<uint8_t> &filter);

signals:
    void masterRequested();
    void masterConnected(HubroItem *master);
    void masterDisconnected();
    void masterRestarted(int reconnectTimeout);
    void deviceConnected(DeviceItem *device);
    void deviceRemoved(DeviceItem *device);
    void deviceStateChanged(ConnectionState newState);
    void masterCoreUpdateProgress(FirmwareUploadTypes::uploadStatus_t state, int percent);
    void startUpload();
    void connectionLost();

protected:
    // Releases the master and device items (deferred deletion) and empties the map.
    void releaseItems();

    QJsonArray m_devicesJArray;
    HubroItem *m_master = nullptr;           // owned; released with deleteLater()
    MasterType m_masterType = MasterOrdinary; // of the last successful connectToMaster
    QMap<int, DeviceItem *> m_devices;       // owned; released with deleteLater()
    ConnectionInterface *m_interface = nullptr; // owned; null for the file and simulation kinds
    ConnectionType m_connectionType = Serial;
    QString m_errorString;
    QString m_path;
};

#pragma once

// What Tether needs of Bluetooth LE: a central controller and the service
// objects it makes, in Qt's terms (states in Qt's numbering). Characteristics
// and descriptors are named by their UUIDs. Objects report to the events set on
// them, in the thread that uses them; setEvents(nullptr) stops all reports.

#include <QBluetoothUuid>
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>

class TetherService;

class TetherControllerEvents
{
public:
    virtual void controllerConnected() = 0;
    virtual void controllerDisconnected() = 0;
    virtual void controllerError() = 0;
    virtual void controllerServiceDiscovered(const QBluetoothUuid &uuid) = 0;
    virtual void controllerDiscoveryFinished() = 0;

protected:
    ~TetherControllerEvents() = default;
};

class TetherServiceEvents
{
public:
    virtual void serviceStateChanged(TetherService *sender, int state) = 0;
    virtual void serviceCharacteristicChanged(TetherService *sender, const QBluetoothUuid &characteristic,
                                              const QByteArray &value) = 0;
    virtual void serviceDescriptorWritten(TetherService *sender, const QBluetoothUuid &descriptor,
                                          const QByteArray &value) = 0;
    // A write with response has ended: the peripheral acknowledged it (a long
    // write, once its last piece and the execute are through).
    virtual void serviceCharacteristicWritten(TetherService *sender, const QBluetoothUuid &characteristic,
                                              const QByteArray &value) = 0;
    virtual void serviceError(TetherService *sender, int error) = 0;

protected:
    ~TetherServiceEvents() = default;
};

// QLowEnergyController's part that Tether uses.
class TetherController : public QObject
{
public:
    using QObject::QObject;
    void setEvents(TetherControllerEvents *events) { m_events = events; }

    virtual int state() const = 0; // QLowEnergyController::ControllerState
    virtual QString errorString() const = 0;
    virtual void connectToDevice() = 0;
    virtual void disconnectFromDevice() = 0;
    virtual void discoverServices() = 0;
    virtual QList<QBluetoothUuid> services() const = 0;
    // Null when the controller offers no such service.
    virtual TetherService *createServiceObject(const QBluetoothUuid &uuid, QObject *parent) = 0;

protected:
    TetherControllerEvents *events() const { return m_events; }

private:
    TetherControllerEvents *m_events = nullptr;
};

// QLowEnergyService's part that Tether uses.
class TetherService : public QObject
{
public:
    using QObject::QObject;
    void setEvents(TetherServiceEvents *events) { m_events = events; }

    virtual QBluetoothUuid serviceUuid() const = 0;
    virtual int state() const = 0; // QLowEnergyService::ServiceState
    virtual void discoverDetails() = 0;
    virtual bool hasCharacteristic(const QBluetoothUuid &characteristic) const = 0;
    virtual bool hasDescriptor(const QBluetoothUuid &characteristic, const QBluetoothUuid &descriptor) const = 0;
    virtual void writeDescriptor(const QBluetoothUuid &characteristic, const QBluetoothUuid &descriptor,
                                 const QByteArray &value) = 0;
    // A write with response; its end is reported by serviceCharacteristicWritten,
    // or a service error when it fails.
    virtual void writeCharacteristic(const QBluetoothUuid &characteristic, const QByteArray &value) = 0;

protected:
    TetherServiceEvents *events() const { return m_events; }

private:
    TetherServiceEvents *m_events = nullptr;
};

class TetherBackend
{
public:
    virtual ~TetherBackend() = default;
    // A central controller for the device at `address` (six hex bytes with
    // colons), child of `parent`; null when none can be made.
    virtual TetherController *createCentral(const QString &address, QObject *parent) = 0;
};

// The backend of this build of the library (defined once per library variant).
std::unique_ptr<TetherBackend> createTetherBackend();

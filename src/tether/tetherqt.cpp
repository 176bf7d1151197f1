#include "tetherqt.h"

#include <QBluetoothAddress>
#include <QBluetoothLocalDevice>
#include <QLowEnergyController>
#include <QLowEnergyService>

namespace {

class QtService : public TetherService
{
public:
    QtService(QLowEnergyService *service, QObject *parent)
        : TetherService(parent)
        , m_service(service)
    {
        m_service->setParent(this);
        connect(m_service, &QLowEnergyService::stateChanged, this, [this](QLowEnergyService::ServiceState state) {
            if (events())
                events()->serviceStateChanged(this, int(state));
        });
        connect(m_service, &QLowEnergyService::characteristicChanged, this,
                [this](const QLowEnergyCharacteristic &characteristic, const QByteArray &value) {
                    if (events())
                        events()->serviceCharacteristicChanged(this, characteristic.uuid(), value);
                });
        connect(m_service, &QLowEnergyService::descriptorWritten, this,
                [this](const QLowEnergyDescriptor &descriptor, const QByteArray &value) {
                    if (events())
                        events()->serviceDescriptorWritten(this, descriptor.uuid(), value);
                });
        connect(m_service, &QLowEnergyService::characteristicWritten, this,
                [this](const QLowEnergyCharacteristic &characteristic, const QByteArray &value) {
                    if (events())
                        events()->serviceCharacteristicWritten(this, characteristic.uuid(), value);
                });
        connect(m_service, QOverload<QLowEnergyService::ServiceError>::of(&QLowEnergyService::error), this,
                [this](QLowEnergyService::ServiceError error) {
                    if (events())
                        events()->serviceError(this, int(error));
                });
    }

    QBluetoothUuid serviceUuid() const override { return m_service->serviceUuid(); }
    int state() const override { return int(m_service->state()); }
    void discoverDetails() override { m_service->discoverDetails(); }
    bool hasCharacteristic(const QBluetoothUuid &characteristic) const override
    {
        return m_service->characteristic(characteristic).isValid();
    }
    bool hasDescriptor(const QBluetoothUuid &characteristic, const QBluetoothUuid &descriptor) const override
    {
        return m_service->characteristic(characteristic).descriptor(descriptor).isValid();
    }
    void writeDescriptor(const QBluetoothUuid &characteristic, const QBluetoothUuid &descriptor,
                         const QByteArray &value) override
    {
        m_service->writeDescriptor(m_service->characteristic(characteristic).descriptor(descriptor), value);
    }
    void writeCharacteristic(const QBluetoothUuid &characteristic, const QByteArray &value) override
    {
        m_service->writeCharacteristic(m_service->characteristic(characteristic), value,
                                       QLowEnergyService::WriteWithResponse);
    }

private:
    QLowEnergyService *m_service;
};

class QtController : public TetherController
{
public:
    QtController(QLowEnergyController *controller, QObject *parent)
        : TetherController(parent)
        , m_controller(controller)
    {
        m_controller->setParent(this);
        connect(m_controller, &QLowEnergyController::serviceDiscovered, this, [this](const QBluetoothUuid &uuid) {
            if (events())
                events()->controllerServiceDiscovered(uuid);
        });
        connect(m_controller, &QLowEnergyController::discoveryFinished, this, [this] {
            if (events())
                events()->controllerDiscoveryFinished();
        });
        connect(m_controller, QOverload<QLowEnergyController::Error>::of(&QLowEnergyController::error), this, [this] {
            if (events())
                events()->controllerError();
        });
        connect(m_controller, &QLowEnergyController::connected, this, [this] {
            if (events())
                events()->controllerConnected();
        });
        connect(m_controller, &QLowEnergyController::disconnected, this, [this] {
            if (events())
                events()->controllerDisconnected();
        });
    }

    int state() const override { return int(m_controller->state()); }
    QString errorString() const override { return m_controller->errorString(); }
    void connectToDevice() override { m_controller->connectToDevice(); }
    void disconnectFromDevice() override { m_controller->disconnectFromDevice(); }
    void discoverServices() override { m_controller->discoverServices(); }
    QList<QBluetoothUuid> services() const override { return m_controller->services(); }
    TetherService *createServiceObject(const QBluetoothUuid &uuid, QObject *parent) override
    {
        QLowEnergyService *service = m_controller->createServiceObject(uuid);
        return service ? new QtService(service, parent) : nullptr;
    }

private:
    QLowEnergyController *m_controller;
};

} // namespace

TetherController *QtTetherBackend::createCentral(const QString &address, QObject *parent)
{
    const QBluetoothLocalDevice local;
    QLowEnergyController *controller =
        QLowEnergyController::createCentral(QBluetoothAddress(address), local.address(), nullptr);
    return controller ? new QtController(controller, parent) : nullptr;
}

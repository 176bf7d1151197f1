#pragma once

// Discovery agents for tests of the open-device dialog: they report their
// devices when started and finish on the next event-loop turn, or when told.

#include "devicediscoveryagent.h"
#include "opendevicedialog.h"

#include <QPointer>
#include <QStringList>
#include <QTimer>

class FakeAgent : public DeviceDiscoveryAgent
{
    Q_OBJECT
public:
    FakeAgent(const QString &name, QStringList *order) : name(name), order(order) {}
    void start() override
    {
        if (order)
            order->append(name);
        for (const DiscoveredDevice &device : devices)
            emit deviceDiscovered(device);
        if (!holdFinish)
            QTimer::singleShot(0, this, [this] { emit discoveryFinished(-1); });
    }
    void finish() { emit discoveryFinished(); }

    QList<DiscoveredDevice> devices;
    bool holdFinish = false;
    QString name;
    QStringList *order;
};

// The signals a Bluetooth agent has besides the base ones.
class FakeBleAgent : public FakeAgent
{
    Q_OBJECT
public:
    using FakeAgent::FakeAgent;
signals:
    void deviceDiscovered(DiscoveredDevice device, QString deviceName, QString deviceAddress, QString deviceId);
    void advReceived(QString deviceAddress, QString info);
    void deviceRemoved(QString deviceId);
    void removeInactive();
};

// Makes the dialogs run fake serial and wired-bus agents (and a Bluetooth one
// when asked) while it lives; the agents of the last dialog stay reachable.
class FakeAgents
{
public:
    explicit FakeAgents(bool bluetooth = false)
    {
        OpenDeviceDialog::setAgentFactory([this, bluetooth] {
            OpenDeviceDialog::Agents agents;
            serial = new FakeAgent(QStringLiteral("serial"), &order);
            kastrel = new FakeAgent(QStringLiteral("kastrel"), &order);
            serial->devices = serialDevices;
            agents.serial = serial;
            agents.kastrel = kastrel;
            if (bluetooth) {
                ble = new FakeBleAgent(QStringLiteral("bluetooth"), &order);
                agents.bluetooth = ble;
            }
            return agents;
        });
    }
    ~FakeAgents() { OpenDeviceDialog::setAgentFactory(nullptr); }
    FakeAgents(const FakeAgents &) = delete;
    FakeAgents &operator=(const FakeAgents &) = delete;

    QStringList order;
    // What the serial agents of dialogs made from now on report.
    QList<DiscoveredDevice> serialDevices;
    QPointer<FakeAgent> serial, kastrel;
    QPointer<FakeBleAgent> ble;
};

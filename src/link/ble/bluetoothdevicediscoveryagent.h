#pragma once

#include "devicediscoveryagent.h"
#include "lookoutapi.h"

#include <QLibrary>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <string>

// Finds masters over Bluetooth LE through the Lookout library, loaded at the
// first start and kept for the life of the process. A run: the adapter check
// 500 ms after the start, then steps 2000 ms apart: the found devices, the
// advertisements, removeInactive, and the removed devices with the end of the
// run. Works on the GUI thread.
class BluetoothDeviceDiscoveryAgent : public DeviceDiscoveryAgent
{
    Q_OBJECT
public:
    // Intervals of a run; tests shorten them.
    struct Timings
    {
        int supportCheck = 500;
        int step = 2000;
    };
    static void setTimings(const Timings &timings);
    static Timings timings();

    explicit BluetoothDeviceDiscoveryAgent(QObject *parent = nullptr);
    ~BluetoothDeviceDiscoveryAgent() override;

    void start() override;

    // The record of a master found at a Bluetooth address.
    static DiscoveredDevice makeDevice(const QString &address);

signals:
    void deviceDiscovered(DiscoveredDevice device, QString deviceName, QString deviceAddress, QString deviceId);
    void advReceived(QString deviceAddress, QString info);
    // Carries the device id.
    void deviceRemoved(QString deviceAddress);
    void removeInactive();

private:
    void startWatching();
    bool resolveApi();
    void checkSupport();
    void onPollTimer();
    // Each returns false when the agent is gone after a signal.
    bool readDevices();
    bool readAdvertisements();
    bool readRemoved();
    QStringList takeAll(LookoutApi::DeviceCount count, LookoutApi::TakeDevice take) const;

    QLibrary m_library;
    struct Api
    {
        LookoutApi::Init init = nullptr;
        LookoutApi::Finish finish = nullptr;
        LookoutApi::GetBLESupport getBLESupport = nullptr;
        LookoutApi::CheckBLESupport checkBLESupport = nullptr;
        LookoutApi::FindDevices findDevices = nullptr;
        LookoutApi::StopDeviceWatcher stopDeviceWatcher = nullptr;
        LookoutApi::DevWatcherStatus devWatcherStatus = nullptr;
        LookoutApi::DeviceCount deviceCount = nullptr;
        LookoutApi::TakeDevice takeDevice = nullptr;
        LookoutApi::StartAdvertisement startAdvertisement = nullptr;
        LookoutApi::StopAdvertisement stopAdvertisement = nullptr;
        LookoutApi::AdvWatcherStatus advWatcherStatus = nullptr;
        LookoutApi::AdverisementCount adverisementCount = nullptr;
        LookoutApi::TakeAdvertisement takeAdvertisement = nullptr;
        LookoutApi::RemoveCount removeCount = nullptr;
        LookoutApi::TakeRemoved takeRemoved = nullptr;
    } m_api;
    bool m_bound = false;
    QTimer m_pollTimer;
    int m_pollStep = 0;
};

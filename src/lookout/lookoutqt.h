#pragma once

// Lookout's watchers on Qt Bluetooth: one low-energy discovery agent without a
// time-out serves both. The device watcher reports every device heard whose
// address is known (id "BluetoothLE#" + address); the advertisement watcher
// turns every report of a device with a local name and manufacturer data into
// an advertisement while it runs, and on its start replays what this run has
// heard already, so a master heard before it started is not missed.
//
// Only what is heard during this run counts: Qt also reports devices the
// system remembers, without a signal strength; those are ignored until an
// update brings one. Qt reports no removals, and knows no per-adapter LE
// query: the adapter query answers 1 without an adapter, else 3.

#include "lookoutbackend.h"

#include <QBluetoothDeviceDiscoveryAgent>
#include <QBluetoothDeviceInfo>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>

class LookoutQtBackend : public QObject, public LookoutBackend
{
    Q_OBJECT
public:
    // A low-energy discovery agent without a time-out.
    static QBluetoothDeviceDiscoveryAgent *makeAgent();
    // Our device id of an address.
    static QString deviceId(const QBluetoothAddress &address);

    // Takes `agent` over (its reports feed the slots below); null: no radio,
    // the watchers run on what the slots are given.
    explicit LookoutQtBackend(QBluetoothDeviceDiscoveryAgent *agent, QObject *parent = nullptr);
    ~LookoutQtBackend() override;

    void setEvents(LookoutEvents *events) override;
    void queryAdapter() override;
    void startDeviceWatcher() override;
    void stopDeviceWatcher() override;
    bool hasDeviceWatcher() const override { return m_deviceWatcher; }
    int deviceWatcherStatus() const override { return m_deviceStatus; }
    void startAdvertisementWatcher() override;
    void stopAdvertisementWatcher() override;
    int advertisementWatcherStatus() const override { return m_advertisementStatus; }

public slots:
    void onDeviceDiscovered(const QBluetoothDeviceInfo &info);
    void onDeviceUpdated(const QBluetoothDeviceInfo &info, QBluetoothDeviceInfo::Fields updatedFields);
    void onAgentError(QBluetoothDeviceDiscoveryAgent::Error error);
    void onAgentFinished();

private:
    enum DeviceStatus { DeviceCreated = 0, DeviceStarted = 1, DeviceEnumerated = 2, DeviceStopped = 4, DeviceAborted = 5 };
    enum AdvertisementStatus { AdvCreated = 0, AdvStarted = 1, AdvStopped = 3, AdvAborted = 4 };

    bool deviceWatcherRuns() const;
    bool advertisementWatcherRuns() const { return m_advertisementStatus == AdvStarted; }
    void heard(const QBluetoothDeviceInfo &info);
    void reportDevice(const QBluetoothDeviceInfo &info);
    void reportAdvertisement(const QBluetoothDeviceInfo &info);
    void startRadio();
    void stopRadioWhenIdle();

    QBluetoothDeviceDiscoveryAgent *m_agent;
    LookoutEvents *m_events = nullptr;
    bool m_deviceWatcher = false;
    int m_deviceStatus = DeviceCreated;
    int m_advertisementStatus = AdvCreated;
    QMap<QString, QBluetoothDeviceInfo> m_heard; // address text -> latest report heard in this run
    QSet<QString> m_reported;                     // addresses the current device watcher reported
};

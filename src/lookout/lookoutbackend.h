#pragma once

// What the Lookout watcher needs of the platform: a device watcher, an
// advertisement watcher and the adapter query. The core formats and keeps what
// they report; a backend may report from any thread.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// One device the device watcher reports.
struct LookoutDevice
{
    std::string id;
    std::string name;
    std::vector<std::pair<std::string, std::string>> properties; // key, text value; in platform order
};

// One advertisement the advertisement watcher hears.
struct LookoutAdvertisement
{
    std::string localName;
    uint64_t address = 0;                      // 48-bit Bluetooth address
    std::vector<std::string> manufacturerData; // the data of each section, lowest company id first
};

class LookoutEvents
{
public:
    virtual void deviceAdded(const LookoutDevice &device) = 0;
    virtual void deviceRemoved(const std::string &id) = 0;
    virtual void advertisementReceived(const LookoutAdvertisement &advertisement) = 0;
    // 1 no adapter, 2 adapter without LE, 3 LE; a query that fails reports nothing.
    virtual void adapterAnswered(int support) = 0;

protected:
    ~LookoutEvents() = default;
};

// A watcher that is not running reports nothing. Statuses are the platform's:
// device watcher 0 created, 1 started, 2 enumeration completed, 3 stopping,
// 4 stopped, 5 aborted; advertisement watcher 0 created, 1 started,
// 2 stopping, 3 stopped, 4 aborted.
class LookoutBackend
{
public:
    virtual ~LookoutBackend() = default;
    // Where reports go; null: nowhere.
    virtual void setEvents(LookoutEvents *events) = 0;
    // Asks for the default adapter; answers later through adapterAnswered.
    virtual void queryAdapter() = 0;
    // Replaces a running device watcher by a new one and starts it.
    virtual void startDeviceWatcher() = 0;
    // Stops and drops the device watcher.
    virtual void stopDeviceWatcher() = 0;
    virtual bool hasDeviceWatcher() const = 0;
    virtual int deviceWatcherStatus() const = 0;
    // Replaces the advertisement watcher by a new one (active scanning) and starts it.
    virtual void startAdvertisementWatcher() = 0;
    // Stops it; the watcher stays.
    virtual void stopAdvertisementWatcher() = 0;
    virtual int advertisementWatcherStatus() const = 0;
};

// The backend of this build of the library (defined once per library variant).
std::unique_ptr<LookoutBackend> createLookoutBackend();

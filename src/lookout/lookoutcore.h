#pragma once

// The state of one Lookout run: found and removed devices keyed by device id,
// the queue of advertisement lines and the adapter's answer, filled by the
// backend's reports and emptied by the program through the exports.

#include "lookoutbackend.h"

#include <atomic>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace LookoutText {
// "name;;address;;id"
std::string deviceLine(const std::string &name, const std::string &address, const std::string &id);
// "%02X:%02X:%02X:%02X:%02X:%02X", most significant byte first.
std::string macText(uint64_t address);
// The eight labelled values of 16 bytes of manufacturer data, or the size message.
std::string advertisementInfo(const std::string &data);
// "local name;;MAC;;info" from the first manufacturer data section.
std::string advertisementLine(const LookoutAdvertisement &advertisement);
} // namespace LookoutText

class WatcherContext final : public LookoutEvents
{
public:
    // The maker tag a device name must hold to be kept (case-sensitive).
    static constexpr const char *MakerTag = "ZORVO";
    // Keys of device properties whose value is the device address contain this.
    static constexpr const char *AddressKey = "DeviceAddress";

    // `backend` may be null: nothing is ever found and the statuses stay 0.
    explicit WatcherContext(std::unique_ptr<LookoutBackend> backend);
    // Stops both watchers and lets the backend go.
    ~WatcherContext();
    WatcherContext(const WatcherContext &) = delete;
    WatcherContext &operator=(const WatcherContext &) = delete;

    void checkBLESupport();
    int bleSupport() const { return m_bleSupport.load(); }
    int findDevices();
    void stopDeviceWatcher();
    // 0 without a device watcher.
    int devWatcherStatus() const;
    int deviceCount() const;
    std::string takeDevice();
    int removeCount() const;
    std::string takeRemoved();
    void startAdvertisement();
    void stopAdvertisement();
    int advWatcherStatus() const;
    int advertisementCount() const;
    std::string takeAdvertisement();

    // LookoutEvents
    void deviceAdded(const LookoutDevice &device) override;
    void deviceRemoved(const std::string &id) override;
    void advertisementReceived(const LookoutAdvertisement &advertisement) override;
    void adapterAnswered(int support) override;

private:
    static std::string takeFirst(std::map<std::string, std::string> &map);

    // One lock for both maps and the queue; never held while calling the backend.
    mutable std::mutex m_mutex;
    std::map<std::string, std::string> m_foundDevices;
    std::map<std::string, std::string> m_removedDevices;
    std::deque<std::string> m_advertisementLines;
    std::atomic<int> m_bleSupport{0};
    std::unique_ptr<LookoutBackend> m_backend;
};

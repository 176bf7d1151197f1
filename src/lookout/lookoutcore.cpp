#include "lookoutcore.h"

#include <cstdio>

namespace LookoutText {

std::string deviceLine(const std::string &name, const std::string &address, const std::string &id)
{
    return name + ";;" + address + ";;" + id;
}

std::string macText(uint64_t address)
{
    char text[18];
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", unsigned((address >> 40) & 0xFF),
                  unsigned((address >> 32) & 0xFF), unsigned((address >> 24) & 0xFF),
                  unsigned((address >> 16) & 0xFF), unsigned((address >> 8) & 0xFF), unsigned(address & 0xFF));
    return text;
}

std::string advertisementInfo(const std::string &data)
{
    if (data.size() != 16)
        return "Incorrect size of manufacturer data=" + std::to_string(data.size());
    const auto b = [&data](int i) { return unsigned(static_cast<unsigned char>(data[size_t(i)])); };
    const auto word = [&b](int i) { return b(i) | (b(i + 1) << 8); };
    const unsigned long serial =
        static_cast<unsigned long>(b(8)) | (static_cast<unsigned long>(b(9)) << 8)
        | (static_cast<unsigned long>(b(10)) << 16) | (static_cast<unsigned long>(b(11)) << 24);
    return "device type: " + std::to_string(b(0)) + ", hardware: " + std::to_string(b(1))
           + ", radio: " + std::to_string(word(2)) + ", core: " + std::to_string(word(4))
           + ", bluetooth: " + std::to_string(word(6)) + ", serial: " + std::to_string(serial)
           + ", kastrel: " + std::to_string((b(12) >> 1) & 1) + ", password: " + std::to_string(b(13) & 1);
}

std::string advertisementLine(const LookoutAdvertisement &advertisement)
{
    return advertisement.localName + ";;" + macText(advertisement.address) + ";;"
           + advertisementInfo(advertisement.manufacturerData.front());
}

} // namespace LookoutText

WatcherContext::WatcherContext(std::unique_ptr<LookoutBackend> backend)
    : m_backend(std::move(backend))
{
    if (m_backend)
        m_backend->setEvents(this);
}

WatcherContext::~WatcherContext()
{
    if (!m_backend)
        return;
    m_backend->stopDeviceWatcher();
    m_backend->stopAdvertisementWatcher();
    m_backend->setEvents(nullptr);
    m_backend.reset();
}

void WatcherContext::checkBLESupport()
{
    if (m_backend)
        m_backend->queryAdapter();
}

int WatcherContext::findDevices()
{
    if (m_backend)
        m_backend->startDeviceWatcher();
    return 0;
}

void WatcherContext::stopDeviceWatcher()
{
    if (m_backend)
        m_backend->stopDeviceWatcher();
}

int WatcherContext::devWatcherStatus() const
{
    return m_backend && m_backend->hasDeviceWatcher() ? m_backend->deviceWatcherStatus() : 0;
}

int WatcherContext::deviceCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_foundDevices.size());
}

std::string WatcherContext::takeFirst(std::map<std::string, std::string> &map)
{
    if (map.empty())
        return std::string();
    const auto first = map.begin();
    std::string line = std::move(first->second);
    map.erase(first);
    return line;
}

std::string WatcherContext::takeDevice()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return takeFirst(m_foundDevices);
}

int WatcherContext::removeCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_removedDevices.size());
}

std::string WatcherContext::takeRemoved()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return takeFirst(m_removedDevices);
}

void WatcherContext::startAdvertisement()
{
    if (m_backend)
        m_backend->startAdvertisementWatcher();
}

void WatcherContext::stopAdvertisement()
{
    if (m_backend)
        m_backend->stopAdvertisementWatcher();
}

int WatcherContext::advWatcherStatus() const
{
    return m_backend ? m_backend->advertisementWatcherStatus() : 0;
}

int WatcherContext::advertisementCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_advertisementLines.size());
}

std::string WatcherContext::takeAdvertisement()
{
    std::string line;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_advertisementLines.empty())
            return line;
        line = std::move(m_advertisementLines.front());
        m_advertisementLines.pop_front();
    }
    return line;
}

void WatcherContext::deviceAdded(const LookoutDevice &device)
{
    if (device.name.find(MakerTag) == std::string::npos)
        return;
    for (const auto &property : device.properties) {
        if (property.first.find(AddressKey) == std::string::npos)
            continue;
        std::string line = LookoutText::deviceLine(device.name, property.second, device.id);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_foundDevices[device.id] = std::move(line);
        return;
    }
}

void WatcherContext::deviceRemoved(const std::string &id)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_foundDevices.find(id);
    if (found == m_foundDevices.end())
        return;
    m_removedDevices[id] = std::move(found->second);
    m_foundDevices.erase(found);
}

void WatcherContext::advertisementReceived(const LookoutAdvertisement &advertisement)
{
    if (advertisement.localName.empty() || advertisement.manufacturerData.empty())
        return;
    std::string line = LookoutText::advertisementLine(advertisement);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_advertisementLines.push_back(std::move(line));
}

void WatcherContext::adapterAnswered(int support)
{
    m_bleSupport.store(support);
}

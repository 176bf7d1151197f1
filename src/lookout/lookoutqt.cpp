#include "lookoutqt.h"

#include <QBluetoothLocalDevice>
#include <QTimer>

#include <algorithm>

namespace {
// The key Lookout looks for in a device's properties.
const char AddressProperty[] = "System.Devices.Aep.DeviceAddress";

std::string utf8(const QString &text)
{
    return text.toUtf8().toStdString();
}

uint64_t addressValue(const QBluetoothAddress &address)
{
    return uint64_t(address.toUInt64()) & 0xFFFFFFFFFFFFull;
}
} // namespace

QBluetoothDeviceDiscoveryAgent *LookoutQtBackend::makeAgent()
{
    auto *agent = new QBluetoothDeviceDiscoveryAgent;
    agent->setLowEnergyDiscoveryTimeout(0);
    return agent;
}

QString LookoutQtBackend::deviceId(const QBluetoothAddress &address)
{
    return QStringLiteral("BluetoothLE#") + address.toString();
}

LookoutQtBackend::LookoutQtBackend(QBluetoothDeviceDiscoveryAgent *agent, QObject *parent)
    : QObject(parent)
    , m_agent(agent)
{
    if (!m_agent)
        return;
    m_agent->setParent(this);
    connect(m_agent, &QBluetoothDeviceDiscoveryAgent::deviceDiscovered, this, &LookoutQtBackend::onDeviceDiscovered);
    connect(m_agent, &QBluetoothDeviceDiscoveryAgent::deviceUpdated, this, &LookoutQtBackend::onDeviceUpdated);
    connect(m_agent, QOverload<QBluetoothDeviceDiscoveryAgent::Error>::of(&QBluetoothDeviceDiscoveryAgent::error), this,
            &LookoutQtBackend::onAgentError);
    connect(m_agent, &QBluetoothDeviceDiscoveryAgent::finished, this, &LookoutQtBackend::onAgentFinished);
}

LookoutQtBackend::~LookoutQtBackend()
{
    m_events = nullptr;
    if (m_agent) {
        m_agent->disconnect(this);
        if (m_agent->isActive())
            m_agent->stop();
    }
}

void LookoutQtBackend::setEvents(LookoutEvents *events)
{
    m_events = events;
}

void LookoutQtBackend::queryAdapter()
{
    // Answers from the event loop, as the platform would.
    QTimer::singleShot(0, this, [this] {
        if (m_events)
            m_events->adapterAnswered(QBluetoothLocalDevice::allDevices().isEmpty() ? 1 : 3);
    });
}

bool LookoutQtBackend::deviceWatcherRuns() const
{
    return m_deviceWatcher && (m_deviceStatus == DeviceStarted || m_deviceStatus == DeviceEnumerated);
}

void LookoutQtBackend::startRadio()
{
    // The agent reports an error from within start(): the watchers are
    // marked started first, so that the error marks them aborted.
    if (m_agent && !m_agent->isActive())
        m_agent->start(QBluetoothDeviceDiscoveryAgent::LowEnergyMethod);
}

void LookoutQtBackend::stopRadioWhenIdle()
{
    if (m_agent && m_agent->isActive() && !deviceWatcherRuns() && !advertisementWatcherRuns())
        m_agent->stop();
}

void LookoutQtBackend::startDeviceWatcher()
{
    m_deviceWatcher = true;
    m_deviceStatus = DeviceStarted;
    m_reported.clear();
    startRadio();
    if (!deviceWatcherRuns())
        return;
    // A new watcher enumerates what is there.
    const QList<QBluetoothDeviceInfo> known = m_heard.values();
    for (const QBluetoothDeviceInfo &info : known)
        reportDevice(info);
}

void LookoutQtBackend::stopDeviceWatcher()
{
    if (!m_deviceWatcher)
        return;
    m_deviceWatcher = false;
    m_deviceStatus = DeviceStopped;
    stopRadioWhenIdle();
}

void LookoutQtBackend::startAdvertisementWatcher()
{
    m_advertisementStatus = AdvStarted;
    startRadio();
    if (!advertisementWatcherRuns())
        return;
    const QList<QBluetoothDeviceInfo> known = m_heard.values();
    for (const QBluetoothDeviceInfo &info : known)
        reportAdvertisement(info);
}

void LookoutQtBackend::stopAdvertisementWatcher()
{
    if (m_advertisementStatus == AdvStarted)
        m_advertisementStatus = AdvStopped;
    stopRadioWhenIdle();
}

void LookoutQtBackend::onDeviceDiscovered(const QBluetoothDeviceInfo &info)
{
    heard(info);
}

void LookoutQtBackend::onDeviceUpdated(const QBluetoothDeviceInfo &info, QBluetoothDeviceInfo::Fields updatedFields)
{
    Q_UNUSED(updatedFields)
    heard(info);
}

void LookoutQtBackend::heard(const QBluetoothDeviceInfo &info)
{
    // A remembered device comes without a signal strength.
    if (info.rssi() == 0 || info.address().isNull())
        return;
    m_heard.insert(info.address().toString(), info);
    reportDevice(info);
    reportAdvertisement(info);
}

void LookoutQtBackend::reportDevice(const QBluetoothDeviceInfo &info)
{
    if (!m_events || !deviceWatcherRuns())
        return;
    const QString address = info.address().toString();
    if (m_reported.contains(address))
        return;
    m_reported.insert(address);
    LookoutDevice device;
    device.id = utf8(deviceId(info.address()));
    device.name = utf8(info.name());
    device.properties.emplace_back(AddressProperty, utf8(address));
    m_events->deviceAdded(device);
}

void LookoutQtBackend::reportAdvertisement(const QBluetoothDeviceInfo &info)
{
    if (!m_events || !advertisementWatcherRuns())
        return;
    QVector<quint16> companies = info.manufacturerIds();
    if (info.name().isEmpty() || companies.isEmpty())
        return;
    std::sort(companies.begin(), companies.end());
    LookoutAdvertisement advertisement;
    advertisement.localName = utf8(info.name());
    advertisement.address = addressValue(info.address());
    for (quint16 company : qAsConst(companies))
        advertisement.manufacturerData.push_back(info.manufacturerData(company).toStdString());
    m_events->advertisementReceived(advertisement);
}

void LookoutQtBackend::onAgentError(QBluetoothDeviceDiscoveryAgent::Error error)
{
    Q_UNUSED(error)
    if (deviceWatcherRuns())
        m_deviceStatus = DeviceAborted;
    if (advertisementWatcherRuns())
        m_advertisementStatus = AdvAborted;
}

void LookoutQtBackend::onAgentFinished()
{
    // Without a time-out the agent ends only when stopped: nothing more comes.
    if (deviceWatcherRuns())
        m_deviceStatus = DeviceEnumerated;
    if (advertisementWatcherRuns())
        m_advertisementStatus = AdvStopped;
}

#include "bluetoothdevicediscoveryagent.h"

#include "blelibraries.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFileInfo>
#include <QPointer>

namespace {
BluetoothDeviceDiscoveryAgent::Timings &currentTimings()
{
    static BluetoothDeviceDiscoveryAgent::Timings timings;
    return timings;
}

const QString Separator = QStringLiteral(";;");
} // namespace

void BluetoothDeviceDiscoveryAgent::setTimings(const Timings &timings)
{
    currentTimings() = timings;
}

BluetoothDeviceDiscoveryAgent::Timings BluetoothDeviceDiscoveryAgent::timings()
{
    return currentTimings();
}

BluetoothDeviceDiscoveryAgent::BluetoothDeviceDiscoveryAgent(QObject *parent)
    : DeviceDiscoveryAgent(parent)
    , m_pollTimer(this)
{
    m_pollTimer.setInterval(currentTimings().step);
    connect(&m_pollTimer, &QTimer::timeout, this, &BluetoothDeviceDiscoveryAgent::onPollTimer);
}

BluetoothDeviceDiscoveryAgent::~BluetoothDeviceDiscoveryAgent()
{
    qDebug().noquote() << QStringLiteral("BluetoothDeviceDiscoveryAgent::~BluetoothDeviceDiscoveryAgent()");
    m_pollTimer.stop();
    m_pollStep = 0;
    if (m_bound)
        m_api.finish();
}

DiscoveredDevice BluetoothDeviceDiscoveryAgent::makeDevice(const QString &address)
{
    DiscoveredDevice device;
    device.serialNumber = 0;
    device.protocolVersion = 1;
    device.deviceType = 141;
    device.passwordEnabled = true;
    device.connectionType = Bluetooth;
    device.updateMode = 0;
    device.hardwareVersion = QVersionNumber(1, 0);
    device.mk2FirmwareVersion = QVersionNumber(1, 0);
    device.mk1FirmwareVersion = QVersionNumber(1, 0);
    device.address = address;
    device.modules = DiscoveredDevice::bluetooth;
    return device;
}

void BluetoothDeviceDiscoveryAgent::start()
{
    if (!BleLibraries::available()) {
        qWarning().noquote() << tr("Current OS do not support Bluetooth connection with device");
        // Every run ends with its discoveryFinished, or the dialog waits for ever.
        emit discoveryFinished(-1);
        return;
    }
    startWatching();
}

void BluetoothDeviceDiscoveryAgent::startWatching()
{
    if (!m_bound) {
        const QString path = BleLibraries::locate(QStringLiteral("Lookout"));
        if (!QFileInfo::exists(path)) {
            emit discoveryFinished(-1);
            qWarning().noquote() << QStringLiteral("Bluetooth device discovery agent can't start: file ") + path
                                        + QStringLiteral(" not found");
            return;
        }
        qDebug().noquote() << QStringLiteral("BLE advertisement watcher DLL found ") + path;
        m_library.setFileName(path);
        if (!resolveApi()) {
            emit discoveryFinished(-1);
            qWarning().noquote() << tr("Can't init BLE advertisement watcher");
            return;
        }
        m_bound = true;
    }
    m_api.init();
    m_api.checkBLESupport();
    QTimer::singleShot(currentTimings().supportCheck, this, &BluetoothDeviceDiscoveryAgent::checkSupport);
}

bool BluetoothDeviceDiscoveryAgent::resolveApi()
{
    Api api;
    const bool all = BleLibraries::resolve(m_library, api.init, "init") && BleLibraries::resolve(m_library, api.finish, "finish")
                     && BleLibraries::resolve(m_library, api.getBLESupport, "getBLESupport")
                     && BleLibraries::resolve(m_library, api.checkBLESupport, "checkBLESupport")
                     && BleLibraries::resolve(m_library, api.findDevices, "findDevices")
                     && BleLibraries::resolve(m_library, api.stopDeviceWatcher, "stopDeviceWatcher")
                     && BleLibraries::resolve(m_library, api.devWatcherStatus, "devWatcherStatus")
                     && BleLibraries::resolve(m_library, api.deviceCount, "deviceCount")
                     && BleLibraries::resolve(m_library, api.takeDevice, "takeDevice")
                     && BleLibraries::resolve(m_library, api.startAdvertisement, "startAdvertisement")
                     && BleLibraries::resolve(m_library, api.stopAdvertisement, "stopAdvertisement")
                     && BleLibraries::resolve(m_library, api.advWatcherStatus, "advWatcherStatus")
                     && BleLibraries::resolve(m_library, api.adverisementCount, "adverisementCount")
                     && BleLibraries::resolve(m_library, api.takeAdvertisement, "takeAdvertisement")
                     && BleLibraries::resolve(m_library, api.removeCount, "removeCount")
                     && BleLibraries::resolve(m_library, api.takeRemoved, "takeRemoved");
    if (!all) {
        qWarning().noquote() << QStringLiteral("Can't resolve BLE advertisement watcher API: ") + m_library.errorString();
        return false;
    }
    m_api = api;
    return true;
}

void BluetoothDeviceDiscoveryAgent::checkSupport()
{
    const int support = m_api.getBLESupport();
    switch (support) {
    case 0:
        qWarning().noquote() << tr("Bluetooth adapter not ready");
        QTimer::singleShot(currentTimings().supportCheck, this, [this] { emit discoveryFinished(m_api.getBLESupport()); });
        break;
    case 1:
        emit discoveryFinished(1);
        qWarning().noquote() << tr("Bluetooth adapter not found");
        break;
    case 2:
        emit discoveryFinished(2);
        qWarning().noquote() << tr("BLE not supported");
        break;
    case 3:
        qDebug().noquote() << tr("BLE supported");
        m_api.findDevices();
        m_pollStep = 0;
        m_pollTimer.setInterval(currentTimings().step);
        m_pollTimer.start();
        break;
    default:
        emit discoveryFinished(-1);
        qWarning().noquote() << tr("BLE support is unknown");
        break;
    }
}

void BluetoothDeviceDiscoveryAgent::onPollTimer()
{
    QPointer<BluetoothDeviceDiscoveryAgent> self(this);
    const int step = m_pollStep++;
    switch (step) {
    case 0:
        if (!readDevices())
            return;
        qDebug().noquote() << QStringLiteral("Device watcher stop");
        m_api.startAdvertisement();
        break;
    case 1:
        if (!readAdvertisements())
            return;
        qDebug().noquote() << QStringLiteral("BLE advertisement watcher stop");
        break;
    case 2:
        emit removeInactive();
        break;
    default:
        m_pollTimer.stop();
        if (!readRemoved())
            return;
        emit discoveryFinished(-1);
        if (!self)
            return;
        QCoreApplication::processEvents();
        if (self && m_bound)
            m_api.finish();
        break;
    }
}

QStringList BluetoothDeviceDiscoveryAgent::takeAll(LookoutApi::DeviceCount count, LookoutApi::TakeDevice take) const
{
    QStringList lines;
    const int n = count();
    for (int i = 0; i < n; ++i) {
        std::string line;
        take(&line);
        lines << QString::fromStdString(line);
    }
    return lines;
}

bool BluetoothDeviceDiscoveryAgent::readDevices()
{
    static const char *const names[] = {"CREATED", "STARTED", "EnumerationCompleted", "STOPPING", "STOPPED", "ABORTED"};
    const int status = m_api.devWatcherStatus();
    if (status >= 0 && status < 6)
        qDebug().noquote() << QStringLiteral("Device watcher status: ") + QString::fromLatin1(names[status]);
    if (status != 1 && status != 2)
        return true;
    QPointer<BluetoothDeviceDiscoveryAgent> self(this);
    const QStringList lines = takeAll(m_api.deviceCount, m_api.takeDevice);
    for (const QString &line : lines) {
        const QStringList parts = line.split(Separator);
        if (parts.size() != 3) {
            qWarning().noquote() << QStringLiteral("Bad format of device information: ") + line;
            continue;
        }
        emit deviceDiscovered(makeDevice(parts.at(1)), parts.at(0), parts.at(1), parts.at(2));
        if (!self)
            return false;
    }
    return true;
}

bool BluetoothDeviceDiscoveryAgent::readAdvertisements()
{
    const int status = m_api.advWatcherStatus();
    qDebug().noquote() << QStringLiteral("Advertisement watcher status: ") + QString::number(status);
    if (status != 1)
        return true;
    QPointer<BluetoothDeviceDiscoveryAgent> self(this);
    const QStringList lines = takeAll(m_api.adverisementCount, m_api.takeAdvertisement);
    for (const QString &line : lines) {
        const QStringList parts = line.split(Separator);
        if (parts.size() != 3) {
            qWarning().noquote() << QStringLiteral("Bad format of advertisement: ") + line;
            continue;
        }
        emit advReceived(parts.at(1), parts.at(2));
        if (!self)
            return false;
    }
    return true;
}

bool BluetoothDeviceDiscoveryAgent::readRemoved()
{
    QPointer<BluetoothDeviceDiscoveryAgent> self(this);
    const QStringList lines = takeAll(m_api.removeCount, m_api.takeRemoved);
    if (lines.isEmpty()) {
        emit deviceRemoved(QString());
        return bool(self);
    }
    for (const QString &line : lines) {
        const QStringList parts = line.split(Separator);
        if (parts.size() != 3) {
            qWarning().noquote() << QStringLiteral("Bad format of device information: ") + line;
            continue;
        }
        emit deviceRemoved(parts.at(2));
        if (!self)
            return false;
    }
    return true;
}

#include "deviceconnection.h"

#include "blelibraries.h"
#include "configurationjson.h"
#include "deviceitem.h"
#include "hubrostatus.h"
#include "serialconnectioninterface.h"
#include "serialthreadworker.h"
#include "tetherinterface.h"

#include <QCoreApplication>
#include <QDebug>
#include <QPointer>

#include <algorithm>

namespace {
// Largest remaining counts seen in the master's core-update packets, for the
// whole program run.
quint32 busyCounter = 0;
quint32 verifyCounter = 0;
quint32 eraseCounter = 0;

DeviceConnection::Timings &currentTimings()
{
    static DeviceConnection::Timings timings;
    return timings;
}

} // namespace

quint32 DeviceConnection::remainingCount(const QByteArray &data)
{
    quint32 value = 0;
    for (int i = 0; i < 4 && 1 + i < data.size(); ++i)
        value |= quint32(quint8(data.at(1 + i))) << (8 * i);
    return value;
}

void DeviceConnection::setTimings(const Timings &timings)
{
    currentTimings() = timings;
}

DeviceConnection::Timings DeviceConnection::timings()
{
    return currentTimings();
}

DeviceConnection::DeviceConnection(QObject *parent)
    : Connection(parent)
    , m_poller(this)
{
    connect(&m_poller, &DevicePoller::deviceConnected, this, &DeviceConnection::onDeviceConnected);
    connect(&m_poller, &DevicePoller::deviceStateChanged, this, &Connection::deviceStateChanged);
    connect(this, &Connection::masterConnected, &m_poller, &DevicePoller::onMasterConnected);
    connect(this, &Connection::masterDisconnected, &m_poller, &DevicePoller::onMasterDisconnected);
    m_reconnectTimer.setSingleShot(true);
    connect(&m_reconnectTimer, &QTimer::timeout, this, &DeviceConnection::reconnect);
}

DeviceConnection::~DeviceConnection()
{
    m_reconnectTimer.stop();
    m_poller.disconnect(this);
    disconnect(this, nullptr, &m_poller, nullptr);
    releaseInterface();
    releaseItems();
}

// ---------------------------------------------------------------- opening

bool DeviceConnection::connectToMaster(ConnectionType type, const QString &address, MasterType masterType)
{
    releaseInterface();
    m_errorString.clear();

    switch (type) {
    case Serial:
    case Kastrel: {
        auto *link = new SerialConnectionInterface(type, masterType);
        const Timings t = currentTimings();
        if (t.transmitTimeout > 0 || t.sendGap >= 0)
            link->setTimingsForTesting(t.transmitTimeout > 0 ? t.transmitTimeout : link->transmitTimeout(),
                                       t.sendGap >= 0 ? t.sendGap : SerialThreadWorker::SendGapMs);
        m_interface = link;
        break;
    }
    case Bluetooth:
        if (BleLibraries::available()) {
            auto *link = new TetherInterface(address);
            link->setQuiet(true);
            m_interface = link;
            QPointer<DeviceConnection> self(this);
            QCoreApplication::processEvents();
            if (!self || m_interface != link)
                return false;
        } else {
            // This build has no BLE libraries.
            qWarning().noquote() << QStringLiteral("Connection type") << connectionTypeText(type)
                                 << QStringLiteral("is not available");
        }
        break;
    case File:
    case Simulation:
        qWarning().noquote() << QStringLiteral("Connection type") << connectionTypeText(type)
                             << QStringLiteral("is unsupported");
        break;
    }
    if (!m_interface)
        return false;

    // A BLE connect waits in event loops: the interface may be let go meanwhile.
    QPointer<DeviceConnection> self(this);
    QPointer<ConnectionInterface> link(m_interface);
    const bool opened = m_interface->connectToDevice(address);
    if (!self)
        return false;
    if (!link || link != m_interface)
        return false;
    if (!opened) {
        qDebug().noquote() << QStringLiteral("Failed to connect to") << address;
        m_errorString = m_interface->errorString();
        releaseInterface();
        return false;
    }
    qDebug().noquote() << QStringLiteral("Successfully connected to") << address;
    m_errorString.clear();
    m_connectionType = type;
    m_masterType = masterType;
    QTimer::singleShot(0, this, [this] {
        if (m_interface)
            readMasterDevice();
    });
    connect(m_interface, &ConnectionInterface::unsolicitedPacket, this, &DeviceConnection::onUnsolicitedPacket);
    connect(m_interface, &ConnectionInterface::connectionLost, this, &DeviceConnection::onInterfaceConnectionLost);
    if (auto *tether = tetherInterface()) {
        // Not open before the library reports it ready: the state checks say when.
        connect(tether, &TetherInterface::statusChanged, this, &DeviceConnection::onTetherStatusChanged);
        QTimer::singleShot(TetherInterface::timings().stateCheck, tether, &TetherInterface::checkConnectionState);
        return true;
    }
    return m_interface->isOpen();
}

TetherInterface *DeviceConnection::tetherInterface() const
{
    return m_connectionType == Bluetooth ? qobject_cast<TetherInterface *>(m_interface) : nullptr;
}

void DeviceConnection::onTetherStatusChanged(int status)
{
    static const char *const names[] = {"Disconnected", "Error", "Connected", "Discovered", "Ready"};
    const QString name = status >= 0 && status < 5 ? QString::fromLatin1(names[status]) : QString::number(status);
    const QString head = tr("TetherInterface::statusChanged (%1): ").arg(name);
    switch (status) {
    case TetherDisconnected:
        qWarning().noquote() << head + tr("Connection lost");
        break;
    case TetherError:
        qWarning().noquote() << head + tr("Error occured");
        break;
    case TetherConnected:
        qDebug().noquote() << head + tr("BLE device connected");
        break;
    case TetherDiscovered:
        qDebug().noquote() << head + tr("BLE interface ready");
        break;
    case TetherReady:
        qDebug().noquote() << head + tr("Try to readMasterDevice()");
        readMasterDevice();
        break;
    default:
        break;
    }
}

void DeviceConnection::readMasterDevice()
{
    emit masterRequested();
    if (!m_interface)
        return;
    QPointer<DeviceConnection> self(this);
    m_interface->sendPacket(plainRequest(PT_HUBRO_INFO),
                            [self](const Packet &reply) { return self ? self->createMaster(reply) : false; });
}

bool DeviceConnection::createMaster(const Packet &reply)
{
    // A late answer of a link already let go makes no master.
    if (!m_interface || packetTypeOf(reply) != PT_HUBRO_INFO_ACK)
        return false;
    // The record is as long as the answering master's type needs: the
    // 32-device master's short answer counts, anything shorter does not.
    const uint8_t answeringType = reply.data.size() > 1 ? uint8_t(reply.data.at(1)) : 0;
    const std::optional<hubroInfo_t> record = HubroStatus::recordFromStatusAnswer(
        reply.data, answeringType, HubroStatus::replyHasCheckByte(m_connectionType));
    if (!record) {
        qWarning().noquote() << QStringLiteral("Status answer too short:") << reply.data.size()
                             << QStringLiteral("bytes");
        // No master can be made from it: the link ends, and says why.
        m_errorString = tr("The master's status answer is too short (%1 bytes): the master cannot be read.")
                            .arg(reply.data.size());
        QTimer::singleShot(0, this, [this] {
            if (m_interface)
                emit connectionLost();
        });
        return false;
    }

    if (m_master) {
        // Read again (the end of a core update): the old master and its devices
        // leave the window as on a disconnect, while they are still whole; the
        // new master's devices are read again when it reports itself connected.
        emit masterDisconnected();
        releaseItems();
    }
    m_master = new HubroItem(*record, m_masterType == MasterTrombel);
    m_master->setConnection(m_connectionType);

    connect(m_master, &DeviceItem::sendPacket, m_interface, &ConnectionInterface::sendPacket);
    connect(m_master, &HubroItem::connected, this, &DeviceConnection::onMasterItemConnected);
    connect(m_master, &HubroItem::restarted, this, &DeviceConnection::onMasterRestarted);
    connect(m_master, &HubroItem::masterDisconnect, this, &DeviceConnection::forceDisconnect);
    // A settings reset restarts the master: the BLE link gives up without a box.
    connect(m_master, &HubroItem::settingsResetStarted, this, [this] {
        if (TetherInterface *tether = tetherInterface())
            tether->setQuiet(true);
    });
    connect(&m_poller, &DevicePoller::deviceConnected, m_master, &HubroItem::radioDeviceConnected);
    connect(&m_poller, &DevicePoller::deviceRemoved, m_master, &HubroItem::radioDeviceDisconnected);
    return true;
}

void DeviceConnection::onMasterItemConnected()
{
    // Empty on a new connection; when the same master reports itself connected
    // again (after a password removal) the devices already known stay listed.
    m_devicesJArray = QJsonArray();
    for (DeviceItem *item : qAsConst(m_devices))
        m_devicesJArray.append(deviceToJson(item->deviceInfo()));
    if (TetherInterface *tether = tetherInterface())
        tether->setQuiet(false);
    if (m_interface)
        connect(&m_poller, &DevicePoller::sendPacket, m_interface, &ConnectionInterface::sendPacket,
                Qt::UniqueConnection);
    emit masterConnected(m_master);
}

void DeviceConnection::onDeviceConnected(DeviceItem *device)
{
    const int key = device->deviceId();
    DeviceItem *older = m_devices.value(key, nullptr);
    if (older && older != device)
        removeDeviceLocally(key); // one item and one JSON object per device number
    m_devices.insert(key, device);
    if (m_interface)
        connect(device, &DeviceItem::sendPacket, m_interface, &ConnectionInterface::sendPacket, Qt::UniqueConnection);
    emit deviceConnected(device);
    m_devicesJArray.append(deviceToJson(device->deviceInfo()));
}

// ---------------------------------------------------------------- removing and closing

void DeviceConnection::removeDevice(int address)
{
    if (!m_interface)
        return;
    QByteArray request = plainRequest(PT_DELETE_DEVICE);
    request.append(char(quint8(address)));
    QPointer<DeviceConnection> self(this);
    m_interface->sendPacket(request, [self, address](const Packet &reply) {
        if (!self || packetTypeOf(reply) != PT_DELETE_DEVICE_ACK)
            return false;
        self->removeDeviceLocally(address);
        return true;
    });
}

bool DeviceConnection::disconnectFromMaster()
{
    m_reconnectTimer.stop();
    if (!isConnected())
        return true;
    if (m_master && !m_master->prepareDisconnect())
        return false;
    for (DeviceItem *item : qAsConst(m_devices)) {
        if (!item->prepareDisconnect())
            return false;
    }
    emit masterDisconnected();
    releaseItems();
    releaseInterface();
    qDebug().noquote() << QStringLiteral("Successfully disconnected");
    return true;
}

void DeviceConnection::forceDisconnect()
{
    releaseItems();
    releaseInterface();
    qDebug().noquote() << QStringLiteral("Successfully forced disconnected");
    emit masterDisconnected();
}

void DeviceConnection::releaseInterface()
{
    if (!m_interface)
        return;
    m_interface->disconnect(this);
    m_interface->disconnectFromDevice();
    m_interface->deleteLater();
    m_interface = nullptr;
}

void DeviceConnection::onInterfaceConnectionLost()
{
    if (m_master)
        m_master->onConnectionClosing();
    disconnectFromMaster();
    emit connectionLost();
}

// ---------------------------------------------------------------- reboot

void DeviceConnection::onMasterRestarted(int reconnectTimeout)
{
    // Keeps the whole address: "port:bus" on the wired bus.
    m_address = portName();
    m_reconnectTimer.setSingleShot(true);
    m_reconnectTimer.start(reconnectTimeout);
    releaseItems();
    releaseInterface();
    emit masterRestarted(reconnectTimeout);
}

void DeviceConnection::reconnect()
{
    qDebug().noquote() << tr("Reconnection to %1").arg(m_address);
    if (!connectToMaster(m_connectionType, m_address, m_masterType))
        emit masterDisconnected(); // the master did not come back
}

void DeviceConnection::breakReconnect()
{
    m_reconnectTimer.stop();
    qDebug().noquote() << tr("Reconnect breaked");
}

// ---------------------------------------------------------------- core update

int DeviceConnection::updateProgress(quint32 &counter, quint32 remaining)
{
    counter = std::max(counter, remaining);
    if (counter == 0)
        return 100;
    return int(100.0f - float(remaining) / float(counter) * 100.0f);
}

void DeviceConnection::reportProgress(quint32 &counter, FirmwareUploadTypes::uploadStatus_t stage,
                                      const QString &text, const QByteArray &data)
{
    const int percent = updateProgress(counter, remainingCount(data));
    qDebug().noquote() << text << percent;
    emit masterCoreUpdateProgress(stage, percent);
}

void DeviceConnection::onUnsolicitedPacket(const Packet &packet)
{
    const QString hex = QString::fromLatin1(packet.data.toHex(' '));
    qDebug().noquote() << QStringLiteral("unsolicited packet") << hex;
    const uint8_t type = packetTypeOf(packet);
    switch (type) {
    case PT_FW_UPLOAD_READY:
        emit startUpload();
        break;
    case PT_FW_UPDATE_START:
    case PT_FW_UPDATE_VERIFY_OK:
    case PT_FW_UPDATE_ERASE_OK:
        break;
    case PT_FW_UPDATE_ACK:
        qDebug().noquote() << QStringLiteral("update ack");
        QTimer::singleShot(currentTimings().rereadAfterUpdate, this, [this] {
            if (m_interface)
                readMasterDevice();
        });
        emit masterCoreUpdateProgress(FirmwareUploadTypes::Finished, 100);
        break;
    case PT_FW_UPDATE_BUSY:
        reportProgress(busyCounter, FirmwareUploadTypes::Writing, QStringLiteral("update busy"), packet.data);
        break;
    case PT_FW_UPDATE_VERIFY:
        reportProgress(verifyCounter, FirmwareUploadTypes::Verifying, QStringLiteral("verify"), packet.data);
        break;
    case PT_FW_UPDATE_ERASE:
        reportProgress(eraseCounter, FirmwareUploadTypes::Erasing, QStringLiteral("erase"), packet.data);
        break;
    default:
        qDebug().noquote() << QStringLiteral("unsolicited packet") << hex;
        break;
    }
}

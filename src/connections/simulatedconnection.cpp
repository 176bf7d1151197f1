#include "simulatedconnection.h"

#include "deviceclasses.h"
#include "deviceitem.h"
#include "hubroitem.h"
#include "hubrostatus.h"
#include "simulatedstate.h"
#include "simulationfile.h"

#include <QDateTime>
#include <QDebug>
#include <QJsonObject>

#include <cstring>

namespace {
QJsonObject objectOf(const QJsonObject &parent, const char *key)
{
    return parent.value(QLatin1String(key)).toObject();
}

QJsonArray arrayOf(const QJsonObject &parent, const char *key)
{
    return parent.value(QLatin1String(key)).toArray();
}

int &reconnectDelay()
{
    static int delay = -1;
    return delay;
}
} // namespace

void SimulatedConnection::setReconnectDelay(int ms)
{
    reconnectDelay() = ms;
}

SimulatedConnection::SimulatedConnection(QObject *parent)
    : Connection(parent)
    , m_serialCounter(FirstSimulatedSerial)
{
    std::memset(&m_record, 0, sizeof m_record);
    connect(&m_follower, &FileFollower::changed, this, [this] { fileUpdated(m_path); });
    m_reconnectTimer.setSingleShot(true);
    connect(&m_reconnectTimer, &QTimer::timeout, this, &SimulatedConnection::reconnect);
}

SimulatedConnection::~SimulatedConnection()
{
    m_follower.stop();
    releaseItems();
}

bool SimulatedConnection::connectToMaster(ConnectionType type, const QString &address, MasterType masterType)
{
    if (type != Simulation) {
        m_errorString = tr("Wrong connection type for a simulation file");
        return false;
    }
    m_connectionType = Simulation;

    QString problem;
    const QJsonObject document = readSimulationFile(address, &problem);
    if (document.isEmpty()) {
        m_errorString = problem;
        qWarning().noquote() << problem;
        return false;
    }
    m_errorString.clear();
    m_path = address;
    m_masterType = masterType;
    if (!m_follower.follow(m_path))
        qWarning().noquote() << QStringLiteral("Simulation file (%1) cannot be watched").arg(m_path);

    if (m_master)
        m_master->deleteLater();
    m_record = masterRecordFromJson(objectOf(document, "master"));
    m_master = new HubroItem(m_record, false);
    m_master->setConnection(Simulation);
    connect(m_master, &DeviceItem::sendPacket, this,
            qOverload<const QByteArray &, const ResponseCb &>(&SimulatedConnection::sendPacket), Qt::DirectConnection);
    HubroItem *master = m_master;
    connect(m_master, &HubroItem::connected, this, [this, master] {
        if (m_master == master)
            emit masterConnected(m_master);
    });
    connect(m_master, &HubroItem::restarted, this, &SimulatedConnection::onMasterRestarted);

    for (DeviceItem *item : qAsConst(m_devices)) {
        emit deviceRemoved(item);
        item->deleteLater();
    }
    m_devices.clear();
    applyDevices(arrayOf(document, "devices"));
    return true;
}

void SimulatedConnection::fileUpdated(const QString &filename)
{
    Q_UNUSED(filename)
    if (!m_master)
        return;
    QString problem;
    const QJsonObject document = readSimulationFile(m_path, &problem);
    if (document.isEmpty()) {
        qWarning().noquote() << problem << QStringLiteral("- the simulation goes on unchanged");
        return;
    }
    m_record = masterRecordFromJson(objectOf(document, "master"));
    if (document.value(QLatin1String("refresh")).toString() == QLatin1String("instant"))
        m_master->updateHubroItem(m_record);
    applyDevices(arrayOf(document, "devices"));
    m_serialCounter = FirstSimulatedSerial;
}

void SimulatedConnection::onMasterRestarted(int reconnectTimeout)
{
    // Nothing answers while the master reboots: its items go, as on a live link.
    m_follower.stop();
    for (DeviceItem *item : qAsConst(m_devices))
        emit deviceRemoved(item);
    releaseItems();
    m_reconnectTimer.start(reconnectDelay() >= 0 ? reconnectDelay() : reconnectTimeout);
    emit masterRestarted(reconnectTimeout);
}

void SimulatedConnection::reconnect()
{
    qDebug().noquote() << tr("Reconnection to %1").arg(m_path);
    if (!connectToMaster(Simulation, m_path, m_masterType))
        emit masterDisconnected(); // the file no longer describes a master
}

void SimulatedConnection::applyDevices(const QJsonArray &devices)
{
    QList<DeviceItem *> unaccounted = m_devices.values();
    for (const QJsonValue &element : devices) {
        const QJsonObject device = element.toObject();
        const int nextNumber = m_devices.isEmpty() ? 0 : m_devices.lastKey() + 1;
        deviceInfo_t record = deviceRecordFromJson(device, nextNumber, m_serialCounter);

        DeviceItem *item = m_devices.value(record.radioAddress, nullptr);
        if (!item) {
            for (auto it = m_devices.cbegin(); it != m_devices.cend(); ++it) {
                if (it.value()->serialNumber() == record.serialNumber) {
                    item = it.value();
                    record.radioAddress = quint8(it.key());
                    break;
                }
            }
        }
        if (!item || item->deviceType() != record.deviceType) {
            if (item) {
                item->deleteLater();
                m_devices.remove(record.radioAddress);
                emit deviceRemoved(item);
                m_master->radioDeviceDisconnected();
                unaccounted.removeAll(item);
            }
            item = createDeviceItem(record, false);
            m_devices.insert(record.radioAddress, item);
            // The master's count of radio devices follows the simulated ones, as on a live link.
            m_master->radioDeviceConnected();
            emit deviceConnected(item);
        }

        item->updateState(record, deviceStateFromJson(record.deviceType, objectOf(device, "extra")));
        unaccounted.removeAll(item);
        emit deviceStateChanged(ConnectionState(item->connectionState()));
    }

    for (DeviceItem *gone : qAsConst(unaccounted)) {
        m_devices.remove(m_devices.key(gone));
        emit deviceRemoved(gone);
        m_master->radioDeviceDisconnected();
        gone->deleteLater();
    }
}

void SimulatedConnection::sendPacket(const QByteArray &data, const ResponseCb &cb)
{
    if (data.isEmpty())
        return;
    QByteArray reply;
    switch (quint8(data.at(0))) {
    case PT_HUBRO_INFO:
        // As the simulated master's type answers live: short for the 32-device master.
        reply = HubroStatus::statusAnswer(m_record);
        break;
    case PT_FW_READ_HEADER:
    case PT_HEADER_FIRMWARE_READ_REQ:
        reply = QByteArray(1, char(PT_TRY_AGAIN_LATER));
        break;
    case PT_CURRENT_STATUS_REQ:
        reply = QByteArray("\xC9\x00", 2);
        break;
    case PT_GET_DEV_INFO:
        // A simulated device answers with its record and state, as a live one
        // does (what a configuration export reads); any other number gets
        // the default answer.
        if (const DeviceItem *item = data.size() > 1 ? m_devices.value(quint8(data.at(1)), nullptr) : nullptr) {
            reply = char(PT_GET_DEV_INFO_ACK) + deviceInfoToBytes(item->deviceInfo()) + item->stateBlock();
            break;
        }
        Q_FALLTHROUGH();
    default:
        reply = data;
        reply[0] = char(quint8(data.at(0)) + 1);
        qDebug().noquote() << QStringLiteral("default response sent");
        break;
    }
    if (!cb)
        return;
    Packet packet;
    packet.data = reply;
    packet.request = data;
    packet.timestamp = QDateTime::currentMSecsSinceEpoch();
    cb(packet);
}

void SimulatedConnection::sendPacket(const QByteArray &data)
{
    sendPacket(data, ResponseCb());
}

bool SimulatedConnection::disconnectFromMaster()
{
    forceDisconnect();
    return true;
}

void SimulatedConnection::forceDisconnect()
{
    // A change of the file must not bring devices back without a master.
    m_follower.stop();
    m_reconnectTimer.stop();
    releaseItems();
    emit masterDisconnected();
}

void SimulatedConnection::removeDevice(int address)
{
    Q_UNUSED(address)
}

#include "connection.h"

#include "deviceitem.h"

#include <QDebug>
#include <QJsonObject>

Connection::Connection(QObject *parent)
    : QObject(parent)
{
    registerConnectionMetaTypes();
    // Queued receivers of masterCoreUpdateProgress know the stage type by
    // either name.
    qRegisterMetaType<FirmwareUploadTypes::uploadStatus_t>("FirmwareUploadTypes::uploadStatus_t");
    qRegisterMetaType<FirmwareUploadTypes::uploadStatus_t>("FirmwareUploadManager::uploadStatus_t");
}

Connection::~Connection() = default;

bool Connection::isConnected() const
{
    return m_interface && m_interface->isOpen();
}

QList<DeviceItem *> Connection::devices() const
{
    return m_devices.values();
}

DeviceItem *Connection::device(int address) const
{
    if (address == 255)
        return m_master;
    return m_devices.value(address, nullptr);
}

QString Connection::portName() const
{
    return m_interface ? m_interface->portName() : QString();
}

void Connection::removeDeviceItem(DeviceItem *item)
{
    const int address = m_devices.key(item, -1);
    removeDevice(address < 0 ? 0 : address);
}

void Connection::restartMaster(int reconnectTimeout)
{
    if (m_master)
        m_master->reboot(reconnectTimeout);
}

void Connection::setLogFilter(const QVector<uint8_t> &filter)
{
    if (isConnected())
        m_interface->setLogFilter(filter);
}

void Connection::releaseItems()
{
    if (m_master) {
        m_master->deleteLater();
        m_master = nullptr;
    }
    for (DeviceItem *item : qAsConst(m_devices))
        item->deleteLater();
    m_devices.clear();
}

void Connection::removeDeviceLocally(int address)
{
    DeviceItem *item = m_devices.take(address);
    if (!item)
        return;
    emit deviceRemoved(item);
    item->deleteLater();
    if (m_master)
        m_master->radioDeviceDisconnected();
    for (int i = m_devicesJArray.size() - 1; i >= 0; --i) {
        if (m_devicesJArray.at(i).toObject().value(QStringLiteral("id")).toInt(-1) == address)
            m_devicesJArray.removeAt(i);
    }
    qDebug().noquote() << address << QStringLiteral("will delete devicesJArray.size() =") << m_devicesJArray.size();
}

QString Connection::connectionTypeText(ConnectionType type)
{
    switch (type) {
    case Serial:
        return tr("Serial");
    case Kastrel:
        return tr("Kastrel");
    case Bluetooth:
        return tr("Bluetooth");
    case File:
        return tr("File");
    case Simulation:
        return tr("Simulation");
    }
    return QString();
}

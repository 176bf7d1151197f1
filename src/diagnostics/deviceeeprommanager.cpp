#include "deviceeeprommanager.h"

#include "deviceguards.h"
#include "deviceitem.h"
#include "diagnosticsrecords.h"
#include "dialogreadeeprom.h"
#include "dialogwriteeeprom.h"
#include "eepromreadwindow.h"
#include "screenfit.h"
#include "uiseams.h"

#include <QDebug>

namespace {
QByteArray withAddress(quint8 type, DeviceItem *device, quint32 address)
{
    QByteArray data(1, char(type));
    data.append(char(device->deviceId()));
    data.append(char(address & 0xFF));
    data.append(char((address >> 8) & 0xFF));
    return data;
}
} // namespace

DeviceEepromManager *DeviceEepromManager::instance()
{
    static DeviceEepromManager *manager = new DeviceEepromManager;
    return manager;
}

DeviceEepromManager::DeviceEepromManager(QObject *parent) : QObject(parent), m_run(this, "eeprom_request_state")
{
    connect(this, &DeviceEepromManager::finished, this, &DeviceEepromManager::onFinished);
}

DeviceEepromManager::~DeviceEepromManager()
{
    delete m_window;
}

void DeviceEepromManager::read(const QList<DeviceItem *> &devices)
{
    if (isBusy()) {
        qWarning().noquote() << QStringLiteral("EepromManger is busy. Command ignored.");
        return;
    }
    if (devices.isEmpty())
        return;
    const QList<QPointer<DeviceItem>> guards = guarded(devices);
    DialogReadEeprom dialog;
    if (UiSeams::execDialog(&dialog) != QDialog::Accepted || isBusy())
        return;
    m_readAddress = dialog.address();
    m_readLength = eepromReadLength(m_readAddress, dialog.length());
    const DeviceRequestRun::Job job{Mode::Polled, PingLimit, QStringLiteral("Read EEPROM timeout"),
                                   QStringLiteral("Failed to read EEPROM from device #%1")};
    if (m_run.take(stillThere(guards), job))
        m_run.begin();
}

void DeviceEepromManager::write(const QList<DeviceItem *> &devices)
{
    if (isBusy()) {
        qWarning().noquote() << QStringLiteral("EepromManager is busy. Command ignored.");
        return;
    }
    if (devices.isEmpty())
        return;
    const QList<QPointer<DeviceItem>> guards = guarded(devices);
    DialogWriteEeprom dialog;
    if (UiSeams::execDialog(&dialog) != QDialog::Accepted || isBusy())
        return;
    m_writeAddress = dialog.address();
    m_writeData = dialog.data();
    const DeviceRequestRun::Job job{Mode::Single, 0, QString(),
                                   QStringLiteral("No acknowledgement of the EEPROM write from device #%1")};
    if (m_run.take(stillThere(guards), job))
        m_run.begin();
}

void DeviceEepromManager::readPing()
{
    m_run.pingStep();
}

void DeviceEepromManager::deviceDestroyed(QObject *device)
{
    // Only compared, as an object: the item may be half gone.
    for (DeviceItem *item : m_run.queue()) {
        if (static_cast<QObject *>(item) == device) {
            m_run.remove(item);
            return;
        }
    }
}

void DeviceEepromManager::onFinished()
{
    qDebug().noquote() << QStringLiteral("EEPROM read finished");
}

QByteArray DeviceEepromManager::requestPacket(DeviceItem *device) const
{
    if (m_run.mode() == Mode::Single)
        return withAddress(PT_DEVICE_EEPROM_WRITE_REQ, device, m_writeAddress) + m_writeData;
    return withAddress(PT_DEVICE_EEPROM_READ_REQ, device, quint32(m_readAddress)) + char(m_readLength);
}

QByteArray DeviceEepromManager::pingPacket(DeviceItem *device) const
{
    QByteArray data(1, char(PT_DEVICE_EEPROM_READ_PING));
    data.append(char(device->deviceId()));
    return data;
}

void DeviceEepromManager::sendRequest(const QByteArray &data, const ResponseCb &cb)
{
    emit sendPacket(data, cb);
}

void DeviceEepromManager::cycleBegun(DeviceItem *device)
{
    if (m_run.mode() != Mode::Single)
        return;
    qDebug().noquote() << QStringLiteral("Writing to EEPROM dev Wireloop: %1. Addr: 0x%2. EEPROM data: %3")
                              .arg(wireloopAddressOf(device))
                              .arg(m_writeAddress, 0, 16)
                              .arg(QString::fromLatin1(m_writeData.toHex()));
}

bool DeviceEepromManager::handleReply(const Packet &reply)
{
    const bool reading = m_run.mode() == Mode::Polled;
    switch (reply.data.isEmpty() ? 0 : quint8(reply.data.at(0))) {
    case PT_DEVICE_EEPROM_READ_ACK:
        if (!reading)
            return false;
        m_run.restart();
        qDebug().noquote() << QStringLiteral("Eeprom read started");
        return true;
    case PT_DEVICE_EEPROM_READ_BUSY:
    case PT_DEVICE_EEPROM_READ_ERROR:
        if (!reading)
            return false;
        m_run.restart();
        return true;
    case PT_DEVICE_EEPROM_RECEIVED:
        if (!reading)
            return false;
        onReceived(reply);
        return true;
    case PT_DEVICE_EEPROM_WRITE_ACK:
        if (reading)
            return false;
        qDebug().noquote() << QStringLiteral("Data sent to %1").arg(wireloopAddressOf(m_run.served()));
        m_run.complete();
        return true;
    default:
        return false;
    }
}

void DeviceEepromManager::onReceived(const Packet &reply)
{
    qDebug().noquote() << QStringLiteral("EEPROM received");
    // The frame's check byte ends every answer on the links: not data.
    const QByteArray data = reply.data.left(reply.data.size() - 1);
    if (data.size() < 5) {
        qWarning().noquote() << QStringLiteral("EEPROM answer too short: %1 bytes").arg(data.size());
        return;
    }
    const quint8 answering = quint8(data.at(1));
    const int address = quint8(data.at(2)) + 256 * quint8(data.at(3));
    QString wireloop;
    QString model;
    for (DeviceItem *device : m_run.queue()) {
        if (device->deviceId() == answering) {
            wireloop = QString::number(wireloopAddressOf(device));
            model = device->itemTypeName();
            break;
        }
    }
    qDebug().noquote() << QStringLiteral("Reading from EEPROM device Wireloop: ") + wireloop
                              + QStringLiteral(". Addr: 0x") + QString::number(address, 16)
                              + QStringLiteral(". EEPROM data: ") + QString::fromLatin1(data.mid(5).toHex());
    bool tooShort = false;
    const QString decoded = eepromDecodedText(address, data, &tooShort);
    if (tooShort)
        qWarning().noquote() << QStringLiteral("EEPROM answer too short to decode address 0x%1: %2 bytes")
                                    .arg(address, 0, 16)
                                    .arg(data.size());
    else if (!decoded.isEmpty())
        qDebug().noquote() << decoded;
    showResult(model.isEmpty() ? tr("Device #%1").arg(answering) : tr("%1 #%2").arg(model, wireloop), address,
               data.mid(5), decoded);

    if (answering == m_run.served()->deviceId()) {
        m_run.complete();
        return;
    }
    qWarning().noquote() << QStringLiteral("Requested address do not match with received address. Restarting request.");
    m_run.retry();
}

void DeviceEepromManager::showResult(const QString &device, int address, const QByteArray &data,
                                     const QString &decoded)
{
    if (!m_window)
        m_window = new EepromReadWindow;
    m_window->addResult(device, address, data, decoded);
    fitOnScreen(m_window);
    m_window->show();
    m_window->raise();
}

void DeviceEepromManager::runEnded(Mode mode, bool afterFailure)
{
    if (mode == Mode::Polled && afterFailure)
        emit finished();
}

#include "di_zelvo.h"

#include "meterexchange.h"
#include "qtpropertymanager.h"
#include "senddatamanager.h"

#include <QColor>
#include <QDebug>
#include <QPointer>

namespace {
int readInterval = 5000;
int keepAliveInterval = 60000;
int deactivationDelay = 30000;

// The meter's serial number: record bytes 4-9, least significant first.
quint64 meterSerial(const QByteArray &record)
{
    quint64 serial = 0;
    for (int i = 9; i >= 4; --i)
        serial = (serial << 8) | quint8(record.at(i));
    return serial;
}
} // namespace

DeviceDescription DI_Zelvo::description()
{
    DeviceDescription d;
    d.codes = {19, 56};
    d.picture = QStringLiteral("zentar-nilvap1.png");
    d.stateBytes = 5;
    d.fieldNames = QStringList{"gpMainPwr", "gpMainBattery", "rl", "gpRssi", "LiterValue", "fAlarm"};
    d.titles = DeviceTitles::exactly(DeviceKit::baseTitles({"gpMainPwr", "gpMainBattery", "rl", "gpRssi"})
                                     + DeviceKit::TitledKeys{{"LiterValue", tr("Liter value")},
                                                             {"fAlarm", tr("Gerkon alarm")}});
    d.features = QList<DeviceKit::FeatureMinimum>{{0, QVersionNumber(1, 8)}};
    return d;
}

void DI_Zelvo::setTimings(int readIntervalMs, int keepAliveIntervalMs, int deactivationMs)
{
    readInterval = readIntervalMs;
    keepAliveInterval = keepAliveIntervalMs;
    deactivationDelay = deactivationMs;
}

DI_Zelvo::DI_Zelvo(const deviceInfo_t &info, bool kastrelMode) : DeviceItem(info, kastrelMode, &DI_Zelvo::description)
{
    const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);
    m_groupCounter = kit.group(tr("Counter"));
    m_propMeterSerial = kit.text(m_groupCounter, tr("S/N"));
    m_propValue = kit.text(m_groupCounter, tr("Value"));
    m_stringManager->setValue(m_propValue, tr("Requesting data..."));
    m_propReed = kit.readOnlyEnum(nullptr, tr("Reed"), {tr("Alarm"), tr("Ok")});
    m_propInterval = kit.readOnlyEnum(m_propStatus, tr("Transmit interval"), {tr("60 min"), tr("15 sec")});
    m_propStatus->removeSubProperty(m_propReserveBattery);
    m_propStatus->removeSubProperty(m_propCase);
    m_topProperties << m_groupCounter << m_propReed;

    connect(&m_readTimer, &QTimer::timeout, this, &DI_Zelvo::readCounter);
    m_readTimer.start(readInterval);
    connect(&m_keepAliveTimer, &QTimer::timeout, this, &DI_Zelvo::keepAlive);
    m_keepAliveTimer.start(keepAliveInterval);
    keepAlive();
}

quint32 DI_Zelvo::recordCounter() const
{
    return MeterExchange::le32(m_record, 0);
}

// ---------------------------------------------------------------- requests

void DI_Zelvo::readCounter()
{
    if (isAddressResetPending())
        return;
    QPointer<DI_Zelvo> self(this);
    emit sendPacket(MeterExchange::counterRequest(deviceId()), [self](const Packet &reply) {
        if (packetTypeOf(reply) != PT_GET_RFADDITIONAL_DATA_ACK)
            return false;
        return self ? self->onCounterReply(reply) : true;
    });
}

bool DI_Zelvo::onCounterReply(const Packet &reply)
{
    const QByteArray block = MeterExchange::counterBlock(reply, RecordSize, address());
    if (block.isEmpty())
        return true;
    const quint32 counter = MeterExchange::le32(block, 0);
    m_counter = counter;
    m_serial = meterSerial(block);
    if (m_marker == PendingMarker) {
        if (counter != m_pendingValue)
            return true; // the written value is still awaited
        m_marker = 0;
    }
    if (counter != recordCounter()) {
        m_record = block;
        emit updated(this);
    }
    m_stringManager->setValue(m_propValue, QStringLiteral("%1 %2").arg(counter).arg(tr("l")));
    return true;
}

void DI_Zelvo::keepAlive()
{
    SendDataManager::instance()->enqueue({this}, MeterExchange::keepAlivePayload());
}

void DI_Zelvo::writeCounter(quint32 value)
{
    emit sendPacket(packetBytes({PT_DEVICE_EEPROM_WRITE_REQ, deviceId(), 0x48, 0x00}) + MeterExchange::le32Bytes(value),
                    matchPacketType(PT_DEVICE_EEPROM_WRITE_ACK));
    m_record.replace(0, 4, MeterExchange::le32Bytes(0xFFFFFFFFu));
    m_pendingValue = value;
    m_marker = PendingMarker;
    emit updated(this);
}

void DI_Zelvo::deactivate()
{
    emit sendPacket(packetBytes({PT_DEVICE_EEPROM_WRITE_REQ, deviceId(), 0x2D, 0x00, 0x00}),
                    matchPacketType(PT_DEVICE_EEPROM_WRITE_ACK));
    emit sendPacket(packetBytes({PT_REBOOT_DEVICE, deviceId()}), matchPacketType(PT_REBOOT_DEVICE_ACK));
    m_deactivating = true;
    emit updated(this);
    // Bound to the item: gone with it.
    QTimer::singleShot(deactivationDelay, this, [this] {
        m_deactivating = false;
        QPointer<DI_Zelvo> self(this);
        emit sendPacket(packetBytes({PT_USB_DEVICE_LOST, deviceId()}), [self](const Packet &reply) {
            if (packetTypeOf(reply) != PT_USB_DEVICE_LOST_ACK)
                return false;
            if (self)
                emit self->forceReadData(self->deviceId());
            return true;
        });
        emit updated(this);
    });
}

void DI_Zelvo::executeAction(const int &id)
{
    if (id != 0) {
        DeviceItem::executeAction(id);
        return;
    }
    qDebug().noquote() << QStringLiteral("Running action on zelvo");
    qDebug().noquote() << QStringLiteral("deactivating");
    deactivate();
}

// ---------------------------------------------------------------- state

void DI_Zelvo::updateState(const deviceInfo_t &info, QByteArray state)
{
    setConnectionState(info);
    if (m_deactivating)
        return;
    loadState(info, state);

    m_enumManager->setValue(m_propReed, int(stateValue("state.fNorma")));
    m_enumManager->setValue(m_propInterval, int(awake()));
    setPropertyLevel(m_propReed, DeviceKit::levelWhen(hasAlarm(), MarkAlarm));
    m_stringManager->setValue(m_propMeterSerial, QString::number(meterSerial(m_record)));
    setPropertyLevel(m_propMainBattery, DeviceKit::levelWhen(!stateValue("state.fMainPwr"), MarkFault));

    const quint32 serial = info.serialNumber;
    storeFieldValue(QStringLiteral("LiterValue"), serial, uint(m_counter));
    storeFieldValue(QStringLiteral("fAlarm"), serial, int(stateValue("Z1.fAlarm")));

    DeviceItem::updateState(info, state);
}

bool DI_Zelvo::hasAlarm() const
{
    return isOnline() && !stateValue("state.fNorma");
}

bool DI_Zelvo::hasFault() const
{
    return isOnline() && (!stateValue("state.fMainPwr") || !stateValue("state.fCase"));
}

QVariant DI_Zelvo::data(int role) const
{
    switch (role) {
    case DeviceRole::StatusText: {
        if (isWritePending())
            return QString(tr("Please wait while saving data") + QStringLiteral(": ") + QString::number(m_pendingValue));
        const QString base = DeviceItem::data(role).toString();
        if (!isOnline())
            return base;
        if (m_deactivating)
            return tr("Deactivating...");
        return DeviceKit::statusWithoutEmptyParts(QStringLiteral("%1, %2, %3, %4")
            .arg(tr("Input") + QStringLiteral(": ") + m_propValue->valueText(),
                 tr("s/n") + QLatin1Char(' ') + QString::number(m_serial), awake() ? tr("15 sec") : tr("60 min"),
                 base));
    }
    case DeviceRole::ClassValue:
        return uint(recordCounter());
    case DeviceRole::Value2:
        return QVariant::fromValue<quint64>(m_serial);
    case DeviceRole::ClassFlag:
        return awake();
    case Qt::BackgroundRole:
        if (!isOnline())
            return QColor(210, 210, 210);
        if (m_deactivating || isWritePending())
            return QColor(255, 200, 100);
        if (m_info.linkState != 2)
            return DeviceItem::data(role);
        if (hasAlarm())
            return QColor(255, 180, 180);
        if (!awake())
            return DeviceItem::data(role);
        return connectionState() == 3 ? QColor(210, 210, 210) : QColor(90, 255, 90);
    default:
        return DeviceItem::data(role);
    }
}

void DI_Zelvo::setData(const QVariant &value, int role)
{
    if (role != DeviceRole::ClassValue) {
        DeviceItem::setData(value, role);
        return;
    }
    const quint32 counter = value.toUInt();
    if (counter == recordCounter())
        return;
    if (!awake()) {
        // The box runs while the device may go away.
        QPointer<DI_Zelvo> self(this);
        const int answer = MeterExchange::askPowerSave(
            tr("This means settings saving can take a long time up to several hours. If you want to wake up device "
               "you should hold magnet for a moment next to the arrow sign."),
            QMessageBox::Abort | QMessageBox::Ignore, QMessageBox::Ignore, tr("Continue anyway"));
        if (!self || answer != QMessageBox::Ignore)
            return;
    }
    writeCounter(counter);
    DeviceItem::setData(value, role);
}

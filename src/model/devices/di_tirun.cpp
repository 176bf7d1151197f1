#include "di_tirun.h"

#include "qtpropertymanager.h"
#include "senddatamanager.h"
#include "widgetdevicewritesettings.h"

using DeviceKit::bitOf;
using DeviceKit::bytes;

namespace {
// Status level of a decoded state index: 0 normal, 1 alarm, 2 fault.
quint32 gerkonLevel(int index)
{
    if (index == 0)
        return 0;
    return index == 1 ? DeviceItem::MarkAlarm : DeviceItem::MarkFault;
}

quint32 circuitLevel(quint8 circuitState)
{
    if (circuitState == 1 || circuitState == 5)
        return DeviceItem::MarkFault;
    if (circuitState == 2 || circuitState == 4)
        return DeviceItem::MarkAlarm;
    return 0;
}
} // namespace

DI_Tirun::DI_Tirun(const deviceInfo_t &info, bool kastrelMode) : DeviceItem(info, kastrelMode)
{
    const QImage picture = DeviceKit::devicePicture(QStringLiteral("zentar-tirun.png"));
    parameterTitles();
    DeviceKit::showPicture(this, picture);

    const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);
    m_groupGerkon = kit.group(tr("TIRUN Gerkon"));
    m_propGerkonState = kit.readOnlyEnum(m_groupGerkon, tr("State"), {tr("No alarm"), tr("Alarm"), tr("Failure")});
    m_propGerkonValue = kit.readOnlyEnum(m_groupGerkon, tr("Value"),
                                         {tr("No magnet"), tr("Gerkon 1"), tr("Gerkon 2"), tr("Sabotage"),
                                          tr("No alarm")});
    m_propSabotage = kit.readOnlyEnum(m_groupGerkon, tr("Sabotage", "Anti masking"), {tr("Disable"), tr("Enable")});

    m_groupCircuit = kit.group(tr("Controlled circuit", "tirun"));
    m_propEnableCircuit = kit.editableEnum(m_groupCircuit, tr("Enable controlled circuit"), {tr("No"), tr("Yes")});
    m_propCircuitState = kit.readOnlyEnum(m_groupCircuit, tr("State"), {tr("No alarm"), tr("Failure"), tr("Alarm")});
    m_propCircuitValue = kit.readOnlyEnum(m_groupCircuit, tr("Value"),
                                          {QString(), tr("Short circuit"), tr("Fail 1"), tr("Norma"), tr("Fail 2"),
                                           tr("Break")},
                                          3);
    m_propAdc = kit.text(m_groupCircuit, tr("ADC"));

    m_propStatus->removeSubProperty(m_propReserveBattery);
    m_topProperties << m_groupGerkon << m_groupCircuit;

    m_writeSettingsPanel->setText(tr("You can customize device behaviour:<br><b>Cable on\\off</b>: set to on if you "
                                     "want to connect additional wired sensor to device")
                                  + QStringLiteral("<br>"));
}

// ---------------------------------------------------------------- tables

QStringList DI_Tirun::staticFieldNames()
{
    return {QStringLiteral("workMode"),           QStringLiteral("gpCase"),
            QStringLiteral("gpMainPwr"),          QStringLiteral("gpMainBattery"),
            QStringLiteral("rl"),                 QStringLiteral("gpRssi"),
            QStringLiteral("Zone1fAlarm"),        QStringLiteral("Zone1btfReedSwState"),
            QStringLiteral("Zone1fSabotageEnbl"), QStringLiteral("Zone2fAlarm"),
            QStringLiteral("Zone2bTrainState")};
}

DeviceKit::TitledKeys DI_Tirun::ownTitles()
{
    return {{QStringLiteral("workMode"), tr("Work mode")},
            {QStringLiteral("Zone1fAlarm"), tr("Gerkon alarm")},
            {QStringLiteral("Zone1btfReedSwState"), tr("Gerkon state")},
            {QStringLiteral("Zone1fSabotageEnbl"), tr("Sabotage", "Anti masking")},
            {QStringLiteral("Zone2fAlarm"), tr("Cable alarm")},
            {QStringLiteral("Zone2bTrainState"), tr("Cable value")}};
}

DeviceKit::TitledKeys DI_Tirun::titleTable()
{
    return DeviceKit::baseTitles({QStringLiteral("gpCase"), QStringLiteral("gpMainPwr"),
                                  QStringLiteral("gpMainBattery"), QStringLiteral("rl"), QStringLiteral("gpRssi")})
        + ownTitles();
}

QString DI_Tirun::staticParameterKey(const QString &title)
{
    return DeviceKit::keyOfTitle(titleTable(), title);
}

QString DI_Tirun::staticParameterTitle(const QString &key)
{
    return DeviceKit::titleOfKey(titleTable(), key);
}

void DI_Tirun::parameterTitles()
{
    DeviceItem::parameterTitles();
    DeviceKit::adjustTitleMap(m_parameterTitleMap,
                              {QStringLiteral("gpUndef"), QStringLiteral("multiFunc"), QStringLiteral("reservPwrState"),
                               QStringLiteral("gpAlarm"), QStringLiteral("gpCtrlCase"), QStringLiteral("gpActiveZone")},
                              ownTitles());
}

QStringList DI_Tirun::fieldNames() const
{
    return staticFieldNames();
}

bool DI_Tirun::firmwareSupports(int feature, const QVersionNumber &firmware)
{
    return DeviceKit::featureSupported({{0, QVersionNumber(1, 14)}}, feature, firmware);
}

bool DI_Tirun::isFeatureSupported(int feature) const
{
    return firmwareSupports(feature, firmwareVersion());
}

// ---------------------------------------------------------------- state

void DI_Tirun::updateState(const deviceInfo_t &info, QByteArray state)
{
    setConnectionState(info);
    m_stored.load(state);

    const bool cable = cableOn();
    const quint16 w = zoneWord();
    const int gerkonState = bitOf(w, 7) + 2 * bitOf(w, 6);
    m_enumManager->setValue(m_propGerkonState, gerkonState);
    setPropertyLevel(m_propGerkonState, gerkonLevel(gerkonState));

    const quint8 circuitFlags = m_stored[6];
    const int circuitState = bitOf(circuitFlags, 6) + 2 * bitOf(circuitFlags, 7);
    m_enumManager->setValue(m_propCircuitState, circuitState);
    m_enumManager->setValue(m_propSabotage, bitOf(w, 15));
    const int reedSwitch = (w >> 8) & 0x3;
    m_enumManager->setValue(m_propGerkonValue, reedSwitch);
    m_enumManager->setValue(m_propCircuitValue, m_stored[7]);
    setPropertyLevel(m_propCircuitState, circuitLevel(m_stored[7]));
    m_stringManager->setValue(m_propAdc, QStringLiteral("%1").arg(m_stored[8]));

    if (DeviceKit::followDevice(this, m_editEnumManager, m_propEnableCircuit, cable))
        showCircuitDetails(cable);

    setPropertyLevel(m_propCase, DeviceKit::levelWhen(!m_stored.bit(0, 7), MarkAlarm));
    setPropertyLevel(m_propMainBattery, DeviceKit::levelWhen(!m_stored.bit(0, 6), MarkFault));

    const quint32 serial = info.serialNumber;
    storeFieldValue(QStringLiteral("workMode"), serial, int(cable));
    storeFieldValue(QStringLiteral("gerkonState"), serial, gerkonState);
    storeFieldValue(QStringLiteral("Zone1fFail"), serial, int(bitOf(w, 6)));
    storeFieldValue(QStringLiteral("Zone1fAlarm"), serial, int(bitOf(w, 7)));
    storeFieldValue(QStringLiteral("Zone1btfReedSwState"), serial, reedSwitch);
    storeFieldValue(QStringLiteral("Zone1fSabotageEnbl"), serial, int(bitOf(w, 15)));
    if (cable) {
        storeFieldValue(QStringLiteral("Zone2fAlarm"), serial, circuitState);
        storeFieldValue(QStringLiteral("Zone2bTrainState"), serial, int(m_stored[7]));
    }

    DeviceItem::updateState(info, state);
}

void DI_Tirun::showCircuitDetails(bool show)
{
    for (QtProperty *property : {m_propCircuitState, m_propCircuitValue, m_propAdc})
        setSubPropertyVisible(m_groupCircuit, property, show);
}

bool DI_Tirun::hasAlarm() const
{
    const quint8 circuitState = m_stored[7];
    return (m_info.linkState == 2 && bitOf(zoneWord(), 7)) || (cableOn() && (circuitState == 2 || circuitState == 4))
        || !m_stored.bit(0, 7);
}

bool DI_Tirun::hasFault() const
{
    if (m_info.linkState != 2)
        return false;
    if (!m_stored.bit(0, 6))
        return true;
    if (!cableOn())
        return false;
    const quint8 circuitState = m_stored[7];
    return m_stored[6] > 63 || circuitState == 1 || circuitState == 5;
}

QVariant DI_Tirun::data(int role) const
{
    if (role == DeviceRole::Value2)
        return int(m_stored[8]);
    if (role != DeviceRole::StatusText)
        return DeviceItem::data(role);

    const QVariant base = DeviceItem::data(role);
    if (!isOnline())
        return base;
    QStringList texts;
    if (m_info.linkState == 2) {
        const quint16 w = zoneWord();
        if (!m_stored.bit(0, 6))
            texts << tr("Main power failed");
        if (bitOf(w, 7))
            texts << tr("Reed switch: %1").arg(tr("Alarm") + (((w >> 8) & 0x3) == 3 ? tr(" (sabotage)") : QString()));
        else if (bitOf(w, 6))
            texts << tr("Failure");
        if (!m_stored.bit(0, 7))
            texts << tr("Case open");
    }
    if (texts.isEmpty())
        texts << tr("No alarm");
    if (m_editEnumManager->value(m_propEnableCircuit) == 1)
        texts << tr("Cable: %1").arg(m_propCircuitValue->valueText());
    return texts.join(QStringLiteral(", "));
}

// ---------------------------------------------------------------- settings

bool DI_Tirun::isPropertyChanged(QtProperty *property) const
{
    if (property != m_propEnableCircuit)
        return false;
    return (m_editEnumManager->value(property) == 1) != cableOn();
}

bool DI_Tirun::isConfigurationChanged() const
{
    return m_editEnumManager->value(m_propEnableCircuit) != int(cableOn());
}

void DI_Tirun::writeDeviceConfiguration()
{
    if (m_propEnableCircuit->isModified()) {
        const quint8 v = m_editEnumManager->value(m_propEnableCircuit) == 1 ? 1 : 0;
        if (QVersionNumber::compare(firmwareVersion(), QVersionNumber(1, 6)) >= 0) {
            SendDataManager::instance()->enqueue({this}, bytes({0x00, 0x01, 0x02, v}));
        } else {
            // Older firmware keeps the setting in its memory and takes it on restart.
            emit sendPacket(bytes({PT_DEVICE_EEPROM_WRITE_REQ, deviceId(), 0x48, 0x00, v}),
                            matchPacketType(PT_DEVICE_EEPROM_WRITE_ACK));
            emit sendPacket(bytes({PT_REBOOT_DEVICE, deviceId()}), matchPacketType(PT_REBOOT_DEVICE_ACK));
        }
        m_stored.setBits(1, quint8(v << 2));
    }
    DeviceItem::writeDeviceConfiguration();
}

void DI_Tirun::disableSabotage()
{
    SendDataManager::instance()->enqueue({this}, bytes({0x00, 0x05, 0x01, 0x01, 0x00}));
}

void DI_Tirun::enableSabotage()
{
    SendDataManager::instance()->enqueue({this}, bytes({0x00, 0x05, 0x01, 0x01, 0x01}));
}

int DI_Tirun::enabledCable() const
{
    return m_editEnumManager->value(m_propEnableCircuit);
}

void DI_Tirun::setEnabledCable(int value)
{
    m_editEnumManager->setValue(m_propEnableCircuit, value);
}

int DI_Tirun::enabledSabotage() const
{
    return m_enumManager->value(m_propSabotage);
}

void DI_Tirun::setEnabledSabotage(int value)
{
    m_enumManager->setValue(m_propSabotage, value);
}

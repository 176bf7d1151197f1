#include "di_security.h"

#include "qtpropertymanager.h"

DeviceDescription DI_security::description()
{
    DeviceDescription d;
    d.codes = {32};
    d.picture = QStringLiteral("zentar-gurta.png");
    d.stateBytes = 6;
    d.fieldNames = DeviceDescription::baseFieldNames() << "fFail" << "fAlarm" << "fButton";
    return d;
}

DI_security::DI_security(const deviceInfo_t &info, bool kastrelMode)
    : DeviceItem(info, kastrelMode, &DI_security::description)
{
    const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);
    m_key = AlarmKeyState::build(kit, {tr("Alarm key"), tr("State"), {tr("No alarm"), tr("Alarm"), tr("Failure")},
                                       tr("Value"), {tr("Not pressed"), tr("Pressed")}});
    m_propStatus->removeSubProperty(m_propReserveBattery);
    m_topProperties << m_key.group;
}

void DI_security::updateState(const deviceInfo_t &info, QByteArray state)
{
    loadState(info, state);

    AlarmKeyState::show(this, m_enumManager, m_key);
    setPropertyLevel(m_propCase, DeviceKit::levelWhen(!stateValue("state.fCase"), MarkAlarm));
    setPropertyLevel(m_propMainBattery, DeviceKit::levelWhen(!stateValue("state.fMainPwr"), MarkFault));

    AlarmKeyState::record(this, info.serialNumber);
    DeviceItem::updateState(info, state);
}

bool DI_security::hasAlarm() const
{
    return m_info.linkState == 2 && (stateValue("Z1.fAlarm") || !stateValue("state.fCase"));
}

bool DI_security::hasFault() const
{
    return m_info.linkState == 2 && !stateValue("state.fMainPwr");
}

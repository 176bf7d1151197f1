#include "di_security.h"

#include "qtpropertymanager.h"

DI_security::DI_security(const deviceInfo_t &info, bool kastrelMode) : DeviceItem(info, kastrelMode)
{
    DeviceKit::showPicture(this, DeviceKit::devicePicture(QStringLiteral("zentar-gurta.png")));

    const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);
    m_key = AlarmKeyState::build(kit, {tr("Alarm key"), tr("State"), {tr("No alarm"), tr("Alarm"), tr("Failure")},
                                       tr("Value"), {tr("Not pressed"), tr("Pressed")}});
    m_propStatus->removeSubProperty(m_propReserveBattery);
    m_topProperties << m_key.group;
}

QStringList DI_security::staticFieldNames()
{
    return DeviceItem::staticFieldNames()
        << QStringLiteral("fFail") << QStringLiteral("fAlarm") << QStringLiteral("fButton");
}

QStringList DI_security::fieldNames() const
{
    return staticFieldNames();
}

void DI_security::updateState(const deviceInfo_t &info, QByteArray state)
{
    setConnectionState(info);
    m_stored.load(state);

    AlarmKeyState::show(this, m_enumManager, m_key, m_stored);
    setPropertyLevel(m_propCase, DeviceKit::levelWhen(!m_stored.bit(0, 7), MarkAlarm));
    setPropertyLevel(m_propMainBattery, DeviceKit::levelWhen(!m_stored.bit(0, 6), MarkFault));

    AlarmKeyState::record(this, info.serialNumber, m_stored);
    DeviceItem::updateState(info, state);
}

bool DI_security::hasAlarm() const
{
    return m_info.linkState == 2 && (m_stored.bit(4, 7) || !m_stored.bit(0, 7));
}

bool DI_security::hasFault() const
{
    return m_info.linkState == 2 && !m_stored.bit(0, 6);
}

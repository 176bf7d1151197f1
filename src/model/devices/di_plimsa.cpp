#include "di_plimsa.h"

#include "qtpropertymanager.h"

DeviceDescription DI_Plimsa::description()
{
    DeviceDescription d;
    d.codes = {57};
    d.picture = QStringLiteral("zentar-plimsa.png");
    d.stateBytes = 13;
    DeviceKit::TitledKeys titles = DeviceKit::baseTitles({"rl", "gpRssi"});
    titles << DeviceKit::TitledKeys{{"bZone1Status", tr("State")},
                                    {"wVoltage", tr("Voltage")},
                                    {"wCurrent", tr("Current")},
                                    {"wPower", tr("Active power")}};
    d.setTitledFields(titles);
    d.features = QList<DeviceKit::FeatureMinimum>{{0, QVersionNumber(1, 3)}};
    return d;
}

DI_Plimsa::DI_Plimsa(const deviceInfo_t &info, bool kastrelMode)
    : DI_AbstractRepeater(info, kastrelMode, &DI_Plimsa::description)
{
    m_reasons = QStringList{tr("Off by default"),
                            tr("No connection with MK"),
                            tr("Power unit not calibrated"),
                            tr("Disabled by upper current threshold"),
                            tr("Disabled on lower voltage threshold"),
                            tr("Disabled by upper voltage threshold"),
                            tr("Turned on by button"),
                            tr("Turned off by button"),
                            tr("Turned on by mask"),
                            tr("Turned off by mask")};
    const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);
    m_propMainBatteryVoltage->setPropertyName(tr("Internal voltage"));
    for (QtProperty *property : {m_propCase, m_propMainBattery, m_propReserveBattery})
        m_propStatus->removeSubProperty(property);
    m_propState = kit.text(m_propStatus, tr("State"));
    m_propVoltage = kit.text(m_propStatus, tr("Voltage"));
    m_propCurrent = kit.text(m_propStatus, tr("Current"));
    m_propPower = kit.text(m_propStatus, tr("Active power"));
}

QString DI_Plimsa::maskText() const
{
    return DeviceKit::modeText(maskState(), {tr("Turned off by mask"), tr("Turned on by mask"), tr("Active mask: %1")});
}

void DI_Plimsa::updateState(const deviceInfo_t &info, QByteArray state)
{
    // An update without state bytes keeps the measurements and the reason.
    loadStateKeepingTail(info, state, 4);
    const DeviceKit::StateBlock &s = m_stored;

    m_stringManager->setValue(m_propVoltage, tr("%1 V").arg(s.word(6) / 100));
    m_stringManager->setValue(m_propCurrent, DeviceKit::oneDecimal(tr("%1 A"), s.word(8), 100));
    m_stringManager->setValue(m_propPower, DeviceKit::oneDecimal(tr("%1 W"), s.word(10), 10));

    const int reason = s[12];
    if (maskState() > 2 || reason == 9)
        m_stringManager->setValue(m_propState, maskText());
    else if (reason < 9)
        m_stringManager->setValue(m_propState, m_reasons.at(reason));
    // A reason beyond the list leaves the text as it was.

    if (s.bit(4, 7))
        setPropertyLevel(m_propState, MarkAlarm);
    else
        setPropertyLevel(m_propState, DeviceKit::levelWhen(s.bit(4, 6), MarkFault));

    const quint32 serial = info.serialNumber;
    storeFieldValue(QStringLiteral("wVoltage"), serial, int(s.word(6)));
    storeFieldValue(QStringLiteral("wCurrent"), serial, int(s.word(8)));
    storeFieldValue(QStringLiteral("wPower"), serial, int(s.word(10)));
    storeFieldValue(QStringLiteral("bZone1Status"), serial, reason);

    DeviceItem::updateState(info, state);
}

bool DI_Plimsa::hasAlarm() const
{
    return m_stored.bit(4, 7);
}

bool DI_Plimsa::hasFault() const
{
    if (isOnline() && !(m_stored.bit(0, 6) && m_stored.bit(0, 7)))
        return true;
    return m_stored.bit(4, 6);
}

QVariant DI_Plimsa::data(int role) const
{
    if (role != DeviceRole::StatusText)
        return DI_AbstractRepeater::data(role);
    if (!isOnline())
        return tr("Connection lost");
    const int reason = m_stored[12];
    if (maskState() > 2 || reason == 9)
        return maskText();
    if (reason == 0 || reason == 6 || reason == 8)
        return QString(m_reasons.at(reason)
            + tr(", Voltage: %1, Current: %2, Power: %3")
                  .arg(m_propVoltage->valueText(), m_propCurrent->valueText(), m_propPower->valueText()));
    if (reason < 9)
        return m_reasons.at(reason);
    return m_propState->valueText(); // a reason beyond the list: the state as it stands
}

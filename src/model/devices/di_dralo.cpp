#include "di_dralo.h"

#include "qtpropertymanager.h"

DeviceDescription DI_Dralo::description()
{
    DeviceDescription d;
    d.codes = {3, 63, 64, 67};
    d.picture = QStringLiteral("zentar-dralo.png");
    d.pictures = {{63, QStringLiteral("zentar-quendal.png")},
                  {64, QStringLiteral("zentar-quendal_isp2.png")},
                  {67, QStringLiteral("zentar-dralo-4.png")}};
    d.stateBytes = 6;
    d.fieldNames = QStringList{"gpCase", "gpMainPwr", "gpMainBattery", "reservPwrState",
                               "rl",     "gpRssi",    "fAlarm",        "fButton"};
    d.titles = DeviceTitles::baseWithout(
        {"gpCtrlCase", "gpUndef", "multiFunc", "gpAlarm", "gpActiveZone", "reservPwrState"},
        {{"reservPwrState", tr("Reserve battery state")}, {"fAlarm", tr("Alarm")}, {"fButton", tr("Button state")}});
    return d;
}

DI_Dralo::DI_Dralo(const deviceInfo_t &info, bool kastrelMode) : DeviceItem(info, kastrelMode, &DI_Dralo::description)
{
    const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);
    m_key = AlarmKeyState::build(kit, {tr("Alarm key"), tr("State"), {tr("No alarm"), tr("Fire"), tr("Failure")},
                                       tr("Value"), {tr("Not pressed"), tr("Pressed")}});
    m_topProperties << m_key.group;
}

bool DI_Dralo::isFeatureSupported(int feature) const
{
    const QVersionNumber firmware = firmwareVersion();
    if (deviceType() == 67)
        return QVersionNumber::compare(firmware, QVersionNumber(1, 0)) >= 0;
    const QVersionNumber hardware = hardwareVersion();
    const bool firstHardware = hardware.segmentCount() > 0 && hardware.majorVersion() == 1;
    return DeviceKit::featureSupported({{0, firstHardware ? QVersionNumber(1, 10) : QVersionNumber(1, 18)}}, feature,
                                       firmware);
}

void DI_Dralo::updateState(const deviceInfo_t &info, QByteArray state)
{
    loadState(info, state);

    AlarmKeyState::show(this, m_enumManager, m_key);
    setPropertyLevel(m_propCase, DeviceKit::levelWhen(!stateValue("state.fCase"), MarkFault));
    setPropertyLevel(m_propReserveBattery, DeviceKit::levelWhen(!stateValue("state.fReservPwr"), MarkFault));
    setPropertyLevel(m_propMainBattery, DeviceKit::levelWhen(!stateValue("state.fMainPwr"), MarkFault));

    AlarmKeyState::record(this, info.serialNumber);
    DeviceItem::updateState(info, state);
}

bool DI_Dralo::hasAlarm() const
{
    return m_info.linkState == 2 && stateValue("Z1.fAlarm");
}

bool DI_Dralo::hasFault() const
{
    return m_info.linkState == 2
        && (!(stateValue("state.fReservPwr") && stateValue("state.fMainPwr")) || !stateValue("state.fCase"));
}

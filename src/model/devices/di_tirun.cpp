#include "di_tirun.h"

#include "levelrules.h"
#include "qtpropertymanager.h"
#include "senddatamanager.h"
#include "widgetdevicewritesettings.h"

namespace {
quint32 circuitLevel(int circuitState)
{
    if (circuitState == 1 || circuitState == 5)
        return DeviceItem::MarkFault;
    if (circuitState == 2 || circuitState == 4)
        return DeviceItem::MarkAlarm;
    return 0;
}
} // namespace

DeviceDescription DI_Tirun::description()
{
    DeviceDescription d;
    d.codes = {4};
    d.picture = QStringLiteral("zentar-tirun.png");
    d.stateBytes = 9;
    d.fieldNames = QStringList{"workMode",    "gpCase",
                               "gpMainPwr",   "gpMainBattery",
                               "rl",          "gpRssi",
                               "Zone1fAlarm", "Zone1btfReedSwState",
                               "Zone1fSabotageEnbl", "Zone2fAlarm",
                               "Zone2bTrainState"};
    d.titles = DeviceTitles::baseWithout({"gpUndef", "multiFunc", "reservPwrState", "gpAlarm", "gpCtrlCase", "gpActiveZone"},
                                         {{"workMode", tr("Work mode")},
                                          {"Zone1fAlarm", tr("Gerkon alarm")},
                                          {"Zone1btfReedSwState", tr("Gerkon state")},
                                          {"Zone1fSabotageEnbl", tr("Sabotage", "Anti masking")},
                                          {"Zone2fAlarm", tr("Cable alarm")},
                                          {"Zone2bTrainState", tr("Cable value")}});
    d.features = QList<DeviceKit::FeatureMinimum>{{0, QVersionNumber(1, 14)}};
    d.settings = {
        SettingDescription::choice("enabledCable", tr("Enable controlled circuit"), {tr("No"), tr("Yes")}, "Z2.fActive")
            .inFiles(),
        SettingDescription::shown("enabledSabotage", tr("Sabotage", "Anti masking"), {tr("Disable"), tr("Enable")},
                                  "Z1.fSabotageEnbl")
            .inFiles(),
    };
    // Older firmware keeps the setting in its memory and takes it on restart.
    d.writes = {
        SettingWrite::queued(packetBytes({0x00, 0x01, 0x02}), {"enabledCable"}).fromFirmware({1, 6}).mirrored(),
        SettingWrite::memoryCell(0x48, {"enabledCable"}).belowFirmware({1, 6}).mirrored(),
    };
    return d;
}

DI_Tirun::DI_Tirun(const deviceInfo_t &info, bool kastrelMode) : DeviceItem(info, kastrelMode, &DI_Tirun::description)
{
    const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);
    m_groupGerkon = kit.group(tr("TIRUN Gerkon"));
    m_propGerkonState = kit.readOnlyEnum(m_groupGerkon, tr("State"), {tr("No alarm"), tr("Alarm"), tr("Failure")});
    m_propGerkonValue = kit.readOnlyEnum(m_groupGerkon, tr("Value"),
                                         {tr("No magnet"), tr("Gerkon 1"), tr("Gerkon 2"), tr("Sabotage"),
                                          tr("No alarm")});
    addSetting(m_groupGerkon, QStringLiteral("enabledSabotage"));

    m_groupCircuit = kit.group(tr("Controlled circuit", "tirun"));
    m_propEnableCircuit = addSetting(m_groupCircuit, QStringLiteral("enabledCable"));
    m_propCircuitState = kit.readOnlyEnum(m_groupCircuit, tr("State"), {tr("No alarm"), tr("Failure"), tr("Alarm")});
    m_propCircuitValue = kit.readOnlyEnum(m_groupCircuit, tr("Value"),
                                          {QString(), tr("Short circuit"), tr("Fail 1"), tr("Norma"), tr("Fail 2"),
                                           tr("Break")},
                                          3);
    m_propAdc = kit.text(m_groupCircuit, tr("ADC"));

    m_propStatus->removeSubProperty(m_propReserveBattery);
    m_topProperties << m_groupGerkon << m_groupCircuit;
    m_actions << DeviceAction{EnableSabotageAction, tr("Enable anti-masking")}
              << DeviceAction{DisableSabotageAction, tr("Disable anti-masking")};

    setWritePanelText(tr("You can customize device behaviour:<br><b>Cable on\\off</b>: set to on if you "
                                     "want to connect additional wired sensor to device")
                                  + QStringLiteral("<br>"));
}

// ---------------------------------------------------------------- state

void DI_Tirun::updateState(const deviceInfo_t &info, QByteArray state)
{
    loadState(info, state);

    const bool cable = cableOn();
    const int gerkonState = int(stateValue("Z1.fAlarm") + 2 * stateValue("Z1.fFail"));
    m_enumManager->setValue(m_propGerkonState, gerkonState);

    const int circuitFlags = int(stateValue("Z2.fFail") + 2 * stateValue("Z2.fAlarm"));
    m_enumManager->setValue(m_propCircuitState, circuitFlags);
    const int reedSwitch = int(stateValue("Z1.btfReedSwState"));
    m_enumManager->setValue(m_propGerkonValue, reedSwitch);
    m_enumManager->setValue(m_propCircuitValue, circuitState());
    setPropertyLevel(m_propCircuitState, circuitLevel(circuitState()));
    m_stringManager->setValue(m_propAdc, QStringLiteral("%1").arg(stateValue("Z2.bAdc")));

    // The circuit's details follow the device while the user has no edit pending.
    if (!m_propEnableCircuit->isModified())
        showCircuitDetails(cable);

    using namespace LevelRules;
    apply(*this, {{m_propGerkonState, zoneState("Z1.fAlarm", "Z1.fFail")},
                  {m_propCase, {caseOpen(MarkAlarm)}},
                  {m_propMainBattery, {mainSupplyLost(MarkFault)}}});

    const quint32 serial = info.serialNumber;
    storeFieldValue(QStringLiteral("workMode"), serial, int(cable));
    storeFieldValue(QStringLiteral("gerkonState"), serial, gerkonState);
    storeFieldValue(QStringLiteral("Zone1fFail"), serial, int(stateValue("Z1.fFail")));
    storeFieldValue(QStringLiteral("Zone1fAlarm"), serial, int(stateValue("Z1.fAlarm")));
    storeFieldValue(QStringLiteral("Zone1btfReedSwState"), serial, reedSwitch);
    storeFieldValue(QStringLiteral("Zone1fSabotageEnbl"), serial, int(stateValue("Z1.fSabotageEnbl")));
    if (cable) {
        storeFieldValue(QStringLiteral("Zone2fAlarm"), serial, circuitFlags);
        storeFieldValue(QStringLiteral("Zone2bTrainState"), serial, circuitState());
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
    const int circuit = circuitState();
    return (m_info.linkState == 2 && stateValue("Z1.fAlarm")) || (cableOn() && (circuit == 2 || circuit == 4))
        || !stateValue("state.fCase");
}

bool DI_Tirun::hasFault() const
{
    if (m_info.linkState != 2)
        return false;
    if (!stateValue("state.fMainPwr"))
        return true;
    if (!cableOn())
        return false;
    const int circuit = circuitState();
    return stateValue("Z2.fFail") || stateValue("Z2.fAlarm") || circuit == 1 || circuit == 5;
}

QVariant DI_Tirun::data(int role) const
{
    if (role == DeviceRole::Value2)
        return int(stateValue("Z2.bAdc"));
    if (role != DeviceRole::StatusText)
        return DeviceItem::data(role);

    const QVariant base = DeviceItem::data(role);
    if (!isOnline())
        return base;
    QStringList texts;
    if (m_info.linkState == 2) {
        if (!stateValue("state.fMainPwr"))
            texts << tr("Main power failed");
        if (stateValue("Z1.fAlarm"))
            texts << tr("Reed switch: %1")
                         .arg(tr("Alarm") + (stateValue("Z1.btfReedSwState") == 3 ? tr(" (sabotage)") : QString()));
        else if (stateValue("Z1.fFail"))
            texts << tr("Failure");
        if (!stateValue("state.fCase"))
            texts << tr("Case open");
    }
    if (texts.isEmpty())
        texts << tr("No alarm");
    if (enabledCable() == 1)
        texts << tr("Cable: %1").arg(m_propCircuitValue->valueText());
    return texts.join(QStringLiteral(", "));
}

// ---------------------------------------------------------------- commands

void DI_Tirun::executeAction(const int &id)
{
    if (id == EnableSabotageAction)
        enableSabotage();
    else if (id == DisableSabotageAction)
        disableSabotage();
    else
        DeviceItem::executeAction(id);
}

void DI_Tirun::disableSabotage()
{
    SendDataManager::instance()->enqueue({this}, packetBytes({0x00, 0x05, 0x01, 0x01, 0x00}));
}

void DI_Tirun::enableSabotage()
{
    SendDataManager::instance()->enqueue({this}, packetBytes({0x00, 0x05, 0x01, 0x01, 0x01}));
}

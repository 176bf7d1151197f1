#include "di_taskel.h"

#include "infraredrules.h"
#include "levelrules.h"
#include "qtpropertymanager.h"
#include "senddatamanager.h"

namespace {
enum ActionId { EnableTestAction = 0, DisableTestAction = 1, PreciseAction = 2, RoughAction = 3 };

// A zone's state from its two-bit fields (2 alarm, 3 failure): "No alarm",
// "Alarm", "Failure"; an alarm wins.
int zoneState(std::initializer_list<int> fields)
{
    for (int field : fields)
        if (field == 2)
            return 1;
    for (int field : fields)
        if (field == 3)
            return 2;
    return 0;
}

quint32 zoneLevel(int index)
{
    return index == 1 ? DeviceItem::MarkAlarm : index == 2 ? DeviceItem::MarkFault : 0u;
}
} // namespace

DeviceDescription DI_Taskel::description()
{
    DeviceDescription d;
    d.codes = {27, 28};
    d.picture = QStringLiteral("zentar-taskel.png");
    d.stateBytes = 9;
    d.fieldNames = QStringList{"gpCase",  "gpMainPwr", "gpMainBattery", "reservPwrState", "rl",      "gpRssi",    "fAlarm",
                               "bMove",   "nearState", "nearSens",      "farState",       "farSens", "fCustomBit"};
    d.titles = DeviceTitles::exactly(
        DeviceKit::baseTitles({"gpCase", "gpMainPwr", "gpMainBattery", "reservPwrState", "rl", "gpRssi"})
        + DeviceKit::TitledKeys{{"fAlarm", tr("Alarm")},
                                {"bMove", tr("Move")},
                                {"nearState", tr("Near zone")},
                                {"nearSens", tr("Near zone sensitivity")},
                                {"farState", tr("Far zone")},
                                {"farSens", tr("Far zone sensitivity")},
                                {"fCustomBit", tr("Testing mode")}});
    d.features = QList<DeviceKit::FeatureMinimum>{{0, QVersionNumber(1, 5)}};
    const QStringList nearLevels{tr("Level 1 (max)", "near"), tr("Level 2", "near"), tr("Level 3", "near"),
                                 tr("Level 4 (min)", "near")};
    const QStringList farLevels{tr("Level 1 (max)", "far"), tr("Level 2", "far"), tr("Level 3", "far"),
                                tr("Level 4 (min)", "far")};
    d.settings = {
        SettingDescription::choice("nearSensitivity", tr("Sensitivity", "near"), nearLevels, "Z1.btfSensitivity")
            .shiftedBy(1)
            .needsFirmware({1, 3})
            .inFiles(),
        SettingDescription::choice("farSensitivity", tr("Sensitivity", "far"), farLevels, "Z1.btfFarSensitivity")
            .shiftedBy(1)
            .needsFirmware({1, 3})
            .inFiles(),
        SettingDescription::choice("testMode", tr("Test mode"), {tr("Disabled"), tr("Enabled")}, "Z1.fCustomBit"),
    };
    d.writes = {
        SettingWrite::queued(packetBytes({0x00, 0x05, 0x01, 0x02, 0x01}), {"testMode"})
            .withData([](const QList<int> &values) { return QByteArray(1, char(values.value(0) ? 1 : 2)); }),
        SettingWrite::queued(packetBytes({0x00, 0x05, 0x01, 0x03, 0x02}), {"nearSensitivity", "farSensitivity"}),
    };
    d.wholeConfigurationCheck = true;
    return d;
}

DI_Taskel::DI_Taskel(const deviceInfo_t &info, bool kastrelMode) : DeviceItem(info, kastrelMode, &DI_Taskel::description)
{
    const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);
    const QStringList zoneStates{tr("No alarm"), tr("Alarm"), tr("Failure"), tr("Enabling")};
    m_groupIr = kit.group(tr("IR Sensors"));
    m_propMovement = kit.readOnlyEnum(m_groupIr, tr("Movement"),
                                      {tr("Off (Energy saving)"), tr("No movement detected"), tr("Movement detected")});
    m_propNearSensitivity = addSetting(m_groupIr, QStringLiteral("nearSensitivity"));
    m_propNearZone = kit.readOnlyEnum(m_groupIr, tr("Near zone"), zoneStates);
    m_propFarSensitivity = addSetting(m_groupIr, QStringLiteral("farSensitivity"));
    m_propFarZone = kit.readOnlyEnum(m_groupIr, tr("Far zone"), zoneStates);
    m_propTestMode = addSetting(m_groupIr, QStringLiteral("testMode"));
    m_propAdc = kit.text(nullptr, tr("ADC Value"));
    m_topProperties << m_groupIr;
}

int DI_Taskel::shownIndex(QtProperty *editor, int deviceIndex) const
{
    return editor->isModified() ? m_editEnumManager->value(editor) : deviceIndex;
}

void DI_Taskel::updateState(const deviceInfo_t &info, QByteArray state)
{
    loadState(info, state);
    InfraredRules::applyTestResult(m_stored);
    const bool testMode = stateValue("Z1.fCustomBit");
    const bool sensorOn = stateValue("Z1.fActive");
    const bool active = sensorOn || testMode;
    const int movement = int(stateValue("Z1.bMove"));

    // The editors follow the device with the base's echo; these are their
    // texts once it has run.
    const int nearIndex = shownIndex(m_propNearSensitivity, int(stateValue("Z1.btfSensitivity")) - 1);
    const int farIndex = shownIndex(m_propFarSensitivity, int(stateValue("Z1.btfFarSensitivity")) - 1);
    m_nearText = m_editEnumManager->enumNames(m_propNearSensitivity).value(nearIndex);
    m_farText = m_editEnumManager->enumNames(m_propFarSensitivity).value(farIndex);

    const int nearState = zoneState({int(stateValue("Z1.btfTestResult"))});
    const int farState = zoneState({int(stateValue("Z1.btfFarState1")), int(stateValue("Z1.btfFarState2"))});
    m_enumManager->setValue(m_propNearZone, nearState);
    setPropertyLevel(m_propNearZone, zoneLevel(nearState));
    m_enumManager->setValue(m_propFarZone, farState);
    setPropertyLevel(m_propFarZone, zoneLevel(farState));

    m_enumManager->setValue(m_propMovement, active ? movement : 0);
    setPropertyLevel(m_propMovement, DeviceKit::levelWhen(movement == 2, MarkAlarm));
    m_stringManager->setValue(m_propAdc, QString::number(stateValue("Z1.wAdc")));

    using namespace LevelRules;
    apply(*this, {{m_propCase, {caseOpen(MarkAlarm)}},
                  {m_propMainBattery, {batteryLow(MarkFault)}},
                  {m_propReserveBattery, {normaLost(MarkFault)}}});
    for (QtProperty *property : {m_groupIr, m_propMovement, m_propAdc, m_propNearZone, m_propFarZone})
        property->setEnabled(active);

    const quint32 serial = info.serialNumber;
    storeFieldValue(QStringLiteral("fFail"), serial, int(stateValue("Z1.fFail")));
    storeFieldValue(QStringLiteral("fAlarm"), serial, int(stateValue("Z1.fAlarm")));
    storeFieldValue(QStringLiteral("bMove"), serial, sensorOn ? movement : 0);
    storeFieldValue(QStringLiteral("nearState"), serial, int(stateValue("Z1.btfTestResult")));
    storeFieldValue(QStringLiteral("nearSens"), serial, nearIndex + 1);
    storeFieldValue(QStringLiteral("farState"), serial, int(stateValue("Z1.btfFarState1")));
    storeFieldValue(QStringLiteral("farSens"), serial, farIndex + 1);
    storeFieldValue(QStringLiteral("fCustomBit"), serial, int(testMode));

    DeviceItem::updateState(info, state);
}

bool DI_Taskel::hasAlarm() const
{
    return m_info.linkState == 2 && !stateValue("state.fNorma");
}

bool DI_Taskel::hasFault() const
{
    // No online test, as the device's model has it.
    return !stateValue("state.fMainPwr") || !stateValue("state.fCase") || !stateValue("state.fReservPwr")
        || stateValue("Z1.fFail");
}

QVariant DI_Taskel::data(int role) const
{
    if (role != DeviceRole::StatusText)
        return InfraredRules::roleData(*this, role, DeviceItem::data(role));
    const QString base = DeviceItem::data(role).toString();
    if (!isOnline())
        return base;
    QStringList sensitivities;
    if (!m_nearText.isEmpty())
        sensitivities << tr("Near zone sensitivity") + QStringLiteral(" : ") + m_nearText;
    if (!m_farText.isEmpty())
        sensitivities << tr("Far zone sensitivity") + QStringLiteral(" : ") + m_farText;
    return InfraredRules::statusText(*this, {tr("Sensor is off"), tr("Failure"), m_propMovement->valueText(),
                                             sensitivities, tr("Test mode"), base});
}

void DI_Taskel::executeAction(const int &id)
{
    switch (id) {
    case EnableTestAction:
        enableTestMode(1);
        break;
    case DisableTestAction:
        enableTestMode(2);
        break;
    case PreciseAction:
        setPreciseMode2();
        break;
    case RoughAction:
        setRoughMode2();
        break;
    default:
        DeviceItem::executeAction(id);
    }
}

void DI_Taskel::enableTestMode(int mode)
{
    SendDataManager::instance()->enqueue({this}, packetBytes({0x00, 0x05, 0x01, 0x02, 0x01, quint8(mode)}));
}

void DI_Taskel::setEnabledSensors(int mode)
{
    SendDataManager::instance()->enqueue({this}, packetBytes({0x00, 0x05, 0x01, 0x02, 0x03, quint8(mode)}));
}

void DI_Taskel::setSensitivityLevel2(int level1, int level2)
{
    SendDataManager::instance()->enqueue({this},
                                         packetBytes({0x00, 0x05, 0x01, 0x03, 0x02, quint8(level1), quint8(level2)}));
}

void DI_Taskel::setPreciseMode2()
{
    setSensitivityLevel2(1, 1);
}

void DI_Taskel::setRoughMode2()
{
    setSensitivityLevel2(4, 4);
}

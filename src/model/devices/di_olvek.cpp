#include "di_olvek.h"

#include "infraredrules.h"
#include "levelrules.h"
#include "qtpropertymanager.h"
#include "senddatamanager.h"

namespace {
enum StateIndex { NoAlarm = 0, Alarm = 1, Failure = 2, Enabling = 3 };
enum ActionId { EnableTestAction = 0, DisableTestAction = 1, PreciseAction = 2, RoughAction = 3 };

bool below(const QVersionNumber &version, int major, int minor)
{
    return QVersionNumber::compare(version, QVersionNumber(major, minor)) < 0;
}
} // namespace

DeviceDescription DI_Olvek::describeFamily(const QList<int> &codes, const QString &picture)
{
    DeviceDescription d;
    d.codes = codes;
    d.picture = picture;
    d.stateBytes = 9;
    d.fieldNames = QStringList{"gpCase", "gpMainPwr", "gpMainBattery", "rl", "gpRssi", "fAlarm", "devState", "sens",
                               "fCustomBit"};
    d.titles = DeviceTitles::exactly(DeviceKit::baseTitles({"gpCase", "gpMainPwr", "gpMainBattery", "rl", "gpRssi"})
                                     + DeviceKit::TitledKeys{{"fAlarm", tr("Alarm")},
                                                             {"devState", tr("Sensor state")},
                                                             {"sens", tr("Sensitivity")},
                                                             {"fCustomBit", tr("Testing mode")}});
    d.features = QList<DeviceKit::FeatureMinimum>{{0, QVersionNumber(1, 10)}};
    // The class follows the sensitivity itself: a two-level detector keeps
    // its editor's value.
    d.settings = {
        SettingDescription::choice("sensitivity", tr("Sensitivity"),
                                   {tr("Level 1 (max)"), tr("Level 2"), tr("Level 3"), tr("Level 4 (min)")}, QString())
            .shiftedBy(1),
        SettingDescription::choice("testMode", tr("Test mode"), {tr("Disabled"), tr("Enabled")}, "Z1.fCustomBit"),
    };
    d.writes = {
        SettingWrite::queued(packetBytes({0x00, 0x05, 0x01, 0x02, 0x01}), {"testMode"})
            .withData([](const QList<int> &values) { return QByteArray(1, char(values.value(0) ? 1 : 2)); }),
        SettingWrite::queued(packetBytes({0x00, 0x05, 0x01, 0x02, 0x02}), {"sensitivity"}),
    };
    d.wholeConfigurationCheck = true;
    return d;
}

DeviceDescription DI_Olvek::description()
{
    return describeFamily({6}, QStringLiteral("zentar-olvek.png"));
}

DI_Olvek::DI_Olvek(const deviceInfo_t &info, bool kastrelMode) : DeviceItem(info, kastrelMode, &DI_Olvek::description)
{
    build();
}

DI_Olvek::DI_Olvek(const deviceInfo_t &info, bool kastrelMode, DescriptionFn describe)
    : DeviceItem(info, kastrelMode, describe)
{
    build();
}

void DI_Olvek::build()
{
    // The item holds the family's titles, whatever its type's lookups answer.
    parameterTitles();
    const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);
    m_groupIr = kit.group(tr("IR Sensor"));
    m_propMovement = kit.readOnlyEnum(m_groupIr, tr("Movement"),
                                      {tr("Off"), tr("No movement detected"), tr("Movement detected")});
    m_propState = kit.readOnlyEnum(m_groupIr, tr("State"), {tr("No alarm"), tr("Alarm"), tr("Failure"), tr("Enabling")});
    m_propSensitivity = addSetting(m_groupIr, QStringLiteral("sensitivity"));
    m_propTestMode = addSetting(m_groupIr, QStringLiteral("testMode"));
    m_propStatus->removeSubProperty(m_propReserveBattery);
    m_topProperties << m_groupIr;
}

void DI_Olvek::parameterTitles()
{
    m_parameterTitleMap = titleMapOnce(&DI_Olvek::description);
}

bool DI_Olvek::twoLevelSensitivity() const
{
    const QVersionNumber firmware = firmwareVersion();
    switch (deviceType()) {
    case 6:
        return below(firmware, 1, 6);
    case 18:
    case 26:
        return below(firmware, 1, 3);
    case 33:
        return true;
    default:
        return false;
    }
}

// ---------------------------------------------------------------- state

void DI_Olvek::updateState(const deviceInfo_t &info, QByteArray state)
{
    loadState(info, state);
    InfraredRules::applyTestResult(m_stored);
    const bool testMode = stateValue("Z1.fCustomBit");
    const bool active = stateValue("Z1.fActive") || testMode;
    const int movement = int(stateValue("Z1.bMove"));
    const bool alarm = stateValue("Z1.fAlarm");
    const bool failed = stateValue("Z1.fFail");

    // A two-level detector's sensitivity is never taken from the device: the
    // editor shows what was last written, and stays blank until then, so that
    // either choice is a change that can be written.
    const bool twoLevels = twoLevelSensitivity();
    if (twoLevels) {
        const QStringList names{tr("High", "sensitivity"), tr("Low", "sensitivity")};
        if (m_editEnumManager->enumNames(m_propSensitivity) != names) {
            m_editEnumManager->setEnumNames(m_propSensitivity, names);
            if (!m_propSensitivity->isModified())
                m_editEnumManager->setValue(m_propSensitivity, m_writtenTwoLevel);
        }
        setPropertyLevel(m_propSensitivity, 0);
        if (m_propSensitivity->isModified() && m_editEnumManager->value(m_propSensitivity) == m_writtenTwoLevel)
            setPropertyModified(m_propSensitivity, false);
    } else {
        setPropertyLevel(m_propSensitivity, 0);
        const int index = deviceSensitivity() - 1;
        if (!m_propSensitivity->isModified()) {
            m_editEnumManager->setValue(m_propSensitivity, index);
            m_sensitivityText = m_propSensitivity->valueText();
        } else if (m_editEnumManager->value(m_propSensitivity) == index) {
            setPropertyModified(m_propSensitivity, false);
        }
    }

    int stateIndex = NoAlarm;
    quint32 stateLevel = 0;
    if (alarm) {
        stateIndex = movement == 2 ? Alarm : Enabling;
        stateLevel = movement == 2 ? MarkAlarm : MarkHighlight;
    } else if (failed) {
        stateIndex = Failure;
        stateLevel = MarkFault;
    }
    m_enumManager->setValue(m_propState, stateIndex);
    setPropertyLevel(m_propState, stateLevel);

    m_enumManager->setValue(m_propMovement, active ? movement : 0);
    setPropertyLevel(m_propMovement, DeviceKit::levelWhen(movement == 2, MarkAlarm));
    using namespace LevelRules;
    apply(*this, {{m_propCase, {caseOpen(MarkAlarm)}}, {m_propMainBattery, {batteryLow(MarkFault)}}});
    for (QtProperty *property : {m_groupIr, m_propMovement, m_propState})
        property->setEnabled(active);

    const quint32 serial = info.serialNumber;
    storeFieldValue(QStringLiteral("devState"), serial, !active ? 0 : failed ? 3 : movement);
    storeFieldValue(QStringLiteral("fCustomBit"), serial, int(testMode));
    storeFieldValue(QStringLiteral("fAlarm"), serial, int(alarm));
    storeFieldValue(QStringLiteral("sens"), serial, deviceSensitivity());

    DeviceItem::updateState(info, state);
}

bool DI_Olvek::hasAlarm() const
{
    return m_info.linkState == 2 && !stateValue("state.fNorma");
}

bool DI_Olvek::hasFault() const
{
    return m_info.linkState == 2 && (!stateValue("state.fMainPwr") || stateValue("Z1.fFail") || !stateValue("state.fCase"));
}

QVariant DI_Olvek::data(int role) const
{
    if (role != DeviceRole::StatusText)
        return InfraredRules::roleData(*this, role, DeviceItem::data(role));
    const QString base = DeviceItem::data(role).toString();
    if (!isOnline())
        return base;
    QStringList sensitivity;
    if (!m_sensitivityText.isEmpty())
        sensitivity << tr("Sensitivity") + QStringLiteral(" : ") + m_sensitivityText;
    return InfraredRules::statusText(*this, {tr("Sensor is off"), tr("Failure"), m_propMovement->valueText(), sensitivity,
                                             tr("Test mode"), base});
}

// ---------------------------------------------------------------- settings

bool DI_Olvek::sensitivityDiffers() const
{
    const int edited = m_editEnumManager->value(m_propSensitivity);
    if (twoLevelSensitivity())
        return edited >= 0 && edited != m_writtenTwoLevel;
    return edited + 1 != deviceSensitivity();
}

void DI_Olvek::writeDeviceConfiguration()
{
    // Sent now (High 1, Low 2): from here on the two-level editor's choice
    // counts as the device's.
    if (twoLevelSensitivity() && m_propSensitivity->isModified())
        m_writtenTwoLevel = m_editEnumManager->value(m_propSensitivity);
    DeviceItem::writeDeviceConfiguration();
}

bool DI_Olvek::isConfigurationChanged() const
{
    return DeviceItem::isConfigurationChanged() || sensitivityDiffers();
}

bool DI_Olvek::isPropertyChanged(QtProperty *property) const
{
    if (property != m_propSensitivity)
        return DeviceItem::isPropertyChanged(property);
    m_configurationClean = !isConfigurationChanged();
    return sensitivityDiffers();
}

void DI_Olvek::executeAction(const int &id)
{
    switch (id) {
    case EnableTestAction:
        enableTestMode();
        break;
    case DisableTestAction:
        disableTestMode();
        break;
    case PreciseAction:
        setPreciseMode();
        break;
    case RoughAction:
        setRoughMode();
        break;
    default:
        DeviceItem::executeAction(id);
    }
}

void DI_Olvek::enableTestMode()
{
    SendDataManager::instance()->enqueue({this}, packetBytes({0x00, 0x05, 0x01, 0x02, 0x01, 0x01}));
}

void DI_Olvek::disableTestMode()
{
    SendDataManager::instance()->enqueue({this}, packetBytes({0x00, 0x05, 0x01, 0x02, 0x01, 0x02}));
}

void DI_Olvek::setSensitivityLevel(int level)
{
    SendDataManager::instance()->enqueue({this}, packetBytes({0x00, 0x05, 0x01, 0x02, 0x02, quint8(level)}));
}

void DI_Olvek::setPreciseMode()
{
    setSensitivityLevel(1);
}

void DI_Olvek::setRoughMode()
{
    setSensitivityLevel(4);
}

// ---------------------------------------------------------------- models

DeviceDescription DI_Olvek_Pemmel::description()
{
    DeviceDescription d = describeFamily({33, 52}, QStringLiteral("zentar-kemrel.png"));
    d.fieldNames = DeviceDescription::baseFieldNames();
    d.titles = DeviceTitles::base();
    return d;
}

DI_Olvek_Pemmel::DI_Olvek_Pemmel(const deviceInfo_t &info, bool kastrelMode)
    : DI_Olvek(info, kastrelMode, &DI_Olvek_Pemmel::description)
{
}

DeviceDescription DI_Olvek_ISP2::description()
{
    return describeFamily({26}, QStringLiteral("zentar-olvek_isp2.png"));
}

DI_Olvek_ISP2::DI_Olvek_ISP2(const deviceInfo_t &info, bool kastrelMode)
    : DI_Olvek(info, kastrelMode, &DI_Olvek_ISP2::description)
{
}

QVariant DI_Olvek_ISP2::data(int role) const
{
    if (role != DeviceRole::StatusText || !isOnline()
        || QVersionNumber::compare(firmwareVersion(), QVersionNumber(1, 3)) >= 0)
        return DI_Olvek::data(role);
    const QString text = DI_Olvek::data(role).toString();
    const QString level = (m_stored.at(6) & 0x03) == 1 ? tr("high") : tr("low");
    const QString head = tr("Sensitivity") + QStringLiteral(" : ") + level;
    return text.isEmpty() ? head : head + QStringLiteral(", ") + text;
}

DeviceDescription DI_Kemrel::description()
{
    DeviceDescription d = describeFamily({18}, QStringLiteral("zentar-kemrel.png"));
    d.features = QList<DeviceKit::FeatureMinimum>{{0, QVersionNumber(1, 14)}};
    return d;
}

DI_Kemrel::DI_Kemrel(const deviceInfo_t &info, bool kastrelMode) : DI_Olvek(info, kastrelMode, &DI_Kemrel::description)
{
}

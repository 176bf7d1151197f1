#include "di_vindrak.h"

#include "qtpropertymanager.h"

#include <QDebug>

namespace {
QStringList steps()
{
    QStringList names;
    for (int i = 0; i < 16; ++i)
        names << QString::number(i);
    return names;
}
} // namespace

DeviceDescription DI_Vindrak::description()
{
    DeviceDescription d;
    d.codes = {70};
    d.picture = QStringLiteral("zentar-hoxel.png");
    d.stateBytes = 14;
    // The light (zone 1) and sound (zone 2) notifications: their failure and
    // mode are all the state tells of them.
    d.fieldNames = DeviceDescription::baseFieldNames()
                   << QStringList{"Zone1fFail", "Zone1btfOutMask", "Zone2fFail", "Zone2btfOutMask"};
    d.settings = {
        SettingDescription::choice("handler", tr("Notification handler"), {tr("Separated"), tr("United")},
                                   "state.fMultiFunc"),
        SettingDescription::choice("brightness", tr("Brightness"), steps(), QString()),
        SettingDescription::choice("volume", tr("Volume"), steps(), QString()),
    };
    // One command carries all three, at every write.
    d.writes = {SettingWrite::queued(QByteArray::fromHex("0005010401"), {"handler", "brightness", "volume"}).everyTime()};
    d.wholeConfigurationCheck = true;
    return d;
}

DI_Vindrak::DI_Vindrak(const deviceInfo_t &info, bool kastrelMode)
    : DeviceItem(info, kastrelMode, &DI_Vindrak::description)
{
    const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);
    const QStringList batteryStates{tr("None"), tr("Dead"), tr("Low", "Battery"), tr("Normal")};
    m_propMainState = kit.readOnlyEnum(nullptr, tr("Main battery state"), batteryStates);
    m_propReserveState = kit.readOnlyEnum(nullptr, tr("Reserve battery state"), batteryStates);
    m_propMainVoltage = kit.text(nullptr, tr("Main voltage"));
    m_propReserveVoltage = kit.text(nullptr, tr("Reserve voltage"));
    QtProperty *handler = addSetting(nullptr, QStringLiteral("handler"));
    m_propLight = kit.text(nullptr, tr("Light notification"));
    QtProperty *brightness = addSetting(nullptr, QStringLiteral("brightness"));
    m_propSound = kit.text(nullptr, tr("Sound notification"));
    QtProperty *volume = addSetting(nullptr, QStringLiteral("volume"));
    m_settingProperties = {handler, brightness, volume};
    m_topProperties << m_propMainState << m_propReserveState << m_propMainVoltage << m_propReserveVoltage << handler
                    << m_propLight << brightness << m_propSound << volume;
    for (QtProperty *property : {m_propMainBattery, m_propMainBatteryVoltage, m_propReserveBattery})
        m_propStatus->removeSubProperty(property);
}

std::optional<int> DI_Vindrak::deviceSettingValue(const QString &key) const
{
    if (key == QLatin1String("brightness"))
        return m_stored[10];
    if (key == QLatin1String("volume"))
        return m_stored[13];
    return std::nullopt;
}

QString DI_Vindrak::notificationText(bool failed, int mode) const
{
    if (failed)
        return tr("Fail");
    return DeviceKit::modeText(mode, {tr("Off"), tr("On"), tr("Mask active: %1")});
}

void DI_Vindrak::updateState(const deviceInfo_t &info, QByteArray state)
{
    loadState(info, state);
    const DeviceKit::StateBlock &s = m_stored;
    setPropertyLevel(m_propCase, DeviceKit::levelWhen(!s.bit(0, 7), MarkFault));

    m_enumManager->setValue(m_propMainState, s[6]);
    setPropertyLevel(m_propMainState, DeviceKit::levelWhen(s[6] != 3, MarkFault));
    m_enumManager->setValue(m_propReserveState, s[7]);
    setPropertyLevel(m_propReserveState, DeviceKit::levelWhen(s[7] != 3, MarkFault));

    m_stringManager->setValue(m_propMainVoltage, tr("%1 mV").arg(s.word(2)));
    m_stringManager->setValue(m_propReserveVoltage, tr("%1 mV").arg(s.word(4)));
    m_stringManager->setValue(m_propMainBatteryVoltage, DeviceKit::oneDecimal(tr("%1 V"), s.word(2), 1000));

    m_stringManager->setValue(m_propLight, notificationText(s.bit(8, 6), s[9] & 0x1F));
    setPropertyLevel(m_propLight, DeviceKit::levelWhen(s.bit(8, 6), MarkFault));
    m_stringManager->setValue(m_propSound, notificationText(s.bit(11, 6), s[12] & 0x1F));
    setPropertyLevel(m_propSound, DeviceKit::levelWhen(s.bit(11, 6), MarkFault));

    const quint32 serial = info.serialNumber;
    storeFieldValue(QStringLiteral("Zone1fFail"), serial, int(s.bit(8, 6)));
    storeFieldValue(QStringLiteral("Zone1btfOutMask"), serial, s[9] & 0x1F);
    storeFieldValue(QStringLiteral("Zone2fFail"), serial, int(s.bit(11, 6)));
    storeFieldValue(QStringLiteral("Zone2btfOutMask"), serial, s[12] & 0x1F);

    DeviceItem::updateState(info, state);
}

bool DI_Vindrak::hasFault() const
{
    const DeviceKit::StateBlock &s = m_stored;
    if (isOnline())
        return !(s[6] == 3 && s[7] == 3 && s.bit(0, 7));
    return !s.bit(0, 7);
}

bool DI_Vindrak::isPropertyChanged(QtProperty *property) const
{
    if (!m_settingProperties.contains(property))
        return false;
    const bool changed = isConfigurationChanged();
    m_configurationClean = !changed;
    return changed;
}

void DI_Vindrak::writeDeviceConfiguration()
{
    qDebug() << "Command ZD_CMD_CONFIG";
    DeviceItem::writeDeviceConfiguration();
}

QVariant DI_Vindrak::data(int role) const
{
    if (role != DeviceRole::StatusText || !isOnline())
        return DeviceItem::data(role);
    return DeviceKit::statusWithoutEmptyParts(tr("Light: %1   Sound: %2   %3")
        .arg(m_propLight->valueText(), m_propSound->valueText(), DeviceItem::data(role).toString()));
}

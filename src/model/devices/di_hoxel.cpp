#include "di_hoxel.h"

#include "qtpropertymanager.h"
#include "senddatamanager.h"

#include <QDebug>

namespace {
// An output word: low byte bit 6 failure, high byte bits 0-4 the mode and
// bit 6 the output enabled.
bool enabled(quint16 word)
{
    return word & 0x4000;
}
bool failed(quint16 word)
{
    return word & 0x0040;
}
int mode(quint16 word)
{
    return (word >> 8) & 0x1F;
}

int outputCode(quint16 word)
{
    if (!enabled(word))
        return 0;
    if (failed(word))
        return 1;
    if (mode(word) == 1)
        return 2;
    return mode(word) == 2 ? 0 : mode(word);
}
} // namespace

DeviceDescription DI_Hoxel::description()
{
    DeviceDescription d;
    d.codes = {7};
    d.picture = QStringLiteral("zentar-hoxel.png");
    d.stateBytes = 8;
    DeviceKit::TitledKeys titles = DeviceKit::baseTitles({"gpCase", "gpMainPwr", "gpMainBattery"});
    titles << DeviceKit::TitledKey{"reservPwrState", tr("Reserv battery state")}
           << DeviceKit::baseTitles({"rl", "gpRssi"})
           << DeviceKit::TitledKeys{{"fMultiFunc", tr("Zones handler")},
                                    {"lightOut", tr("Light out")},
                                    {"soundOut", tr("Sound out")}};
    d.setTitledFields(titles);
    return d;
}

DI_Hoxel::DI_Hoxel(const deviceInfo_t &info, bool kastrelMode) : DeviceItem(info, kastrelMode, &DI_Hoxel::description)
{
    const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);
    m_groupOuts = kit.group(tr("Outs"));
    m_propLight = kit.text(m_groupOuts, tr("Light out"));
    m_propSound = kit.text(m_groupOuts, tr("Sound out"));
    m_topProperties << m_groupOuts;
}

bool DI_Hoxel::isFeatureSupported(int feature) const
{
    const QVersionNumber firmware = firmwareVersion();
    if (feature == 0)
        return QVersionNumber::compare(firmware, QVersionNumber(1, 9)) >= 0;
    if (feature != 2 || hardwareVersion().majorVersion() <= 1)
        return false;
    const int order = QVersionNumber::compare(firmware, QVersionNumber(1, 11));
    return order > 0 || (order == 0 && buildNumber() >= 104);
}

bool DI_Hoxel::zonesHandlerShown() const
{
    return m_propZones && m_topProperties.contains(m_propZones);
}

bool DI_Hoxel::addExtraProperties()
{
    if (!isFeatureSupported(2) || zonesHandlerShown())
        return false;
    if (!m_propZones) {
        const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);
        m_propZones = kit.editableEnum(nullptr, tr("Zones handler"), {tr("Separated"), tr("United")});
    }
    m_topProperties << m_propZones;
    m_editEnumManager->setValue(m_propZones, int(m_stored.bit(0, 1)));
    qDebug().noquote() << deviceId() << "DI_Hoxel::addExtraProperties()";
    return true;
}

void DI_Hoxel::removeZonesHandler()
{
    m_topProperties.removeAll(m_propZones);
    qDebug().noquote() << deviceId() << "DI_Hoxel::removeExtraProperties()";
    emit updateProperties(this);
}

QString DI_Hoxel::outputText(quint16 word) const
{
    if (!enabled(word))
        return tr("Off");
    if (failed(word))
        return tr("Fail");
    return DeviceKit::modeText(mode(word), {tr("Off"), tr("On"), tr("Mask active: %1")});
}

void DI_Hoxel::updateState(const deviceInfo_t &info, QByteArray state)
{
    loadState(info, state);
    const DeviceKit::StateBlock &s = m_stored;
    setPropertyLevel(m_propCase, DeviceKit::levelWhen(!s.bit(0, 7), MarkFault));
    setPropertyLevel(m_propMainBattery, DeviceKit::levelWhen(!s.bit(0, 6), MarkFault));
    setPropertyLevel(m_propReserveBattery, DeviceKit::levelWhen(!s.bit(0, 5), MarkFault));

    const quint16 light = s.word(4);
    const quint16 sound = s.word(6);
    m_stringManager->setValue(m_propLight, outputText(light));
    setPropertyLevel(m_propLight, DeviceKit::levelWhen(failed(light), MarkFault));
    m_stringManager->setValue(m_propSound, outputText(sound));
    setPropertyLevel(m_propSound, DeviceKit::levelWhen(failed(sound), MarkFault));

    const quint32 serial = info.serialNumber;
    storeFieldValue(QStringLiteral("lightOut"), serial, outputCode(light));
    storeFieldValue(QStringLiteral("soundOut"), serial, outputCode(sound));
    storeFieldValue(QStringLiteral("fMultiFunc"), serial, int(s.bit(0, 1)));

    DeviceItem::updateState(info, state);

    // The zones handler follows the versions of the record just taken.
    const int united = s.bit(0, 1);
    if (!zonesHandlerShown()) {
        if (addExtraProperties())
            emit updateProperties(this);
    } else if (isFeatureSupported(2)) {
        if (!m_propZones->isModified())
            m_editEnumManager->setValue(m_propZones, united);
        else if (m_editEnumManager->value(m_propZones) == united)
            setPropertyModified(m_propZones, false);
    } else {
        removeZonesHandler();
    }
}

bool DI_Hoxel::hasFault() const
{
    const DeviceKit::StateBlock &s = m_stored;
    if (isOnline() && !(s.bit(0, 5) && s.bit(0, 6)))
        return true;
    return !s.bit(0, 7) || failed(s.word(4)) || failed(s.word(6));
}

bool DI_Hoxel::isConfigurationChanged() const
{
    return zonesHandlerShown() && m_editEnumManager->value(m_propZones) != int(m_stored.bit(0, 1));
}

bool DI_Hoxel::isPropertyChanged(QtProperty *property) const
{
    if (!m_propZones || property != m_propZones)
        return false;
    const bool changed = isConfigurationChanged();
    m_configurationClean = !changed;
    return changed;
}

void DI_Hoxel::writeDeviceConfiguration()
{
    // Sent at every write while the device has the setting.
    if (zonesHandlerShown())
        SendDataManager::instance()->enqueue(
            {this}, QByteArray::fromHex("0005010201") + char(m_editEnumManager->value(m_propZones)));
    DeviceItem::writeDeviceConfiguration();
}

QVariant DI_Hoxel::data(int role) const
{
    if (role != DeviceRole::StatusText || !isOnline())
        return DeviceItem::data(role);
    const QString light = m_propLight->valueText();
    QString text = DeviceKit::statusWithoutEmptyParts(
        tr("Light: %1   Sound: %2   %3").arg(light, m_propSound->valueText(), DeviceItem::data(role).toString()));
    // A light shown as failed says so once.
    if (failed(m_stored.word(4)) && light != tr("Fail"))
        text += (DeviceItem::data(role).toString().isEmpty() ? QStringLiteral("   ") : QStringLiteral(" ")) + tr("Fail");
    return text;
}

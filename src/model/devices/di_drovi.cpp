#include "di_drovi.h"

#include "qtpropertymanager.h"

DeviceDescription DI_Drovi::description()
{
    DeviceDescription d;
    d.codes = {65};
    d.picture = QStringLiteral("zentar-hoxel.png");
    d.stateBytes = 7;
    d.fieldNames = DeviceDescription::baseFieldNames()
        << QStringList{"Zone1fFail", "Zone1btfOutMask", "Zone1fMaskActive", "Zone1fOutActive", "Zone1fWallControl"};
    d.settings = {SettingDescription::choice("wallControl", tr("Wall Control"), {tr("Off"), tr("On")}, QString())};
    d.writes = {SettingWrite::queued(QByteArray(), {"wallControl"}).withData([](const QList<int> &values) {
        return DeviceKit::wallControlPayload(values.value(0) != 0);
    })};
    return d;
}

DI_Drovi::DI_Drovi(const deviceInfo_t &info, bool kastrelMode) : DeviceItem(info, kastrelMode, &DI_Drovi::description)
{
    addSetting(m_propStatus, QStringLiteral("wallControl"));
    m_propVoice = m_stringManager->addProperty(tr("Voice alert"));
    m_topProperties << m_propVoice;
}

std::optional<int> DI_Drovi::deviceSettingValue(const QString &key) const
{
    if (key == QLatin1String("wallControl"))
        return int(m_stored.bit(6, 0));
    return std::nullopt;
}

void DI_Drovi::updateState(const deviceInfo_t &info, QByteArray state)
{
    loadState(info, state);
    const DeviceKit::StateBlock &s = m_stored;
    setPropertyLevel(m_propCase, DeviceKit::levelWhen(!s.bit(0, 7), MarkFault));
    setPropertyLevel(m_propMainBattery, DeviceKit::levelWhen(!s.bit(0, 6), MarkFault));
    setPropertyLevel(m_propReserveBattery, DeviceKit::levelWhen(!s.bit(0, 5), MarkFault));

    const bool active = s.bit(5, 6);
    const int mode = s[5] & 0x3F;
    m_stringManager->setValue(m_propVoice, active ? DeviceKit::modeText(mode, {tr("Off"), tr("On"), tr("Mask active: %1")})
                                                  : tr("Off"));

    const quint32 serial = info.serialNumber;
    storeFieldValue(QStringLiteral("Zone1fFail"), serial, int(s.bit(4, 6)));
    storeFieldValue(QStringLiteral("Zone1btfOutMask"), serial, mode);
    storeFieldValue(QStringLiteral("Zone1fMaskActive"), serial, int(active && mode >= 3));
    storeFieldValue(QStringLiteral("Zone1fOutActive"), serial, int(active));
    storeFieldValue(QStringLiteral("Zone1fWallControl"), serial, int(s.bit(6, 0)));

    DeviceItem::updateState(info, state);
}

bool DI_Drovi::hasFault() const
{
    return isOnline() && !(m_stored.bit(0, 5) && m_stored.bit(0, 6));
}

QVariant DI_Drovi::data(int role) const
{
    if (role != DeviceRole::StatusText || !isOnline())
        return DeviceItem::data(role);
    return DeviceKit::statusWithoutEmptyParts(
        tr("Voice alert: %1   %2").arg(m_propVoice->valueText(), DeviceItem::data(role).toString()));
}

#include "di_dralo.h"

#include "qtpropertymanager.h"

DI_Dralo::DI_Dralo(const deviceInfo_t &info, bool kastrelMode) : DeviceItem(info, kastrelMode)
{
    const QImage picture = DeviceKit::devicePicture(pictureFile(info.deviceType));
    parameterTitles();
    DeviceKit::showPicture(this, picture);

    const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);
    m_key = AlarmKeyState::build(kit, {tr("Alarm key"), tr("State"), {tr("No alarm"), tr("Fire"), tr("Failure")},
                                       tr("Value"), {tr("Not pressed"), tr("Pressed")}});
    m_topProperties << m_key.group;
}

QString DI_Dralo::pictureFile(int type)
{
    switch (type) {
    case 63:
        return QStringLiteral("zentar-quendal.png");
    case 64:
        return QStringLiteral("zentar-quendal_isp2.png");
    case 67:
        return QStringLiteral("zentar-dralo-4.png");
    default:
        return QStringLiteral("zentar-dralo.png");
    }
}

QStringList DI_Dralo::staticFieldNames()
{
    return {QStringLiteral("gpCase"),         QStringLiteral("gpMainPwr"), QStringLiteral("gpMainBattery"),
            QStringLiteral("reservPwrState"), QStringLiteral("rl"),        QStringLiteral("gpRssi"),
            QStringLiteral("fAlarm"),         QStringLiteral("fButton")};
}

DeviceKit::TitledKeys DI_Dralo::ownTitles()
{
    return {{QStringLiteral("reservPwrState"), tr("Reserve battery state")},
            {QStringLiteral("fAlarm"), tr("Alarm")},
            {QStringLiteral("fButton"), tr("Button state")}};
}

DeviceKit::TitledKeys DI_Dralo::titleTable()
{
    const DeviceKit::TitledKeys own = ownTitles();
    return DeviceKit::baseTitles({QStringLiteral("gpCase"), QStringLiteral("gpMainPwr"), QStringLiteral("gpMainBattery")})
        + own.mid(0, 1) + DeviceKit::baseTitles({QStringLiteral("rl"), QStringLiteral("gpRssi")}) + own.mid(1);
}

QString DI_Dralo::staticParameterKey(const QString &title)
{
    return DeviceKit::keyOfTitle(titleTable(), title);
}

QString DI_Dralo::staticParameterTitle(const QString &key)
{
    return DeviceKit::titleOfKey(titleTable(), key);
}

void DI_Dralo::parameterTitles()
{
    DeviceItem::parameterTitles();
    DeviceKit::adjustTitleMap(m_parameterTitleMap,
                              {QStringLiteral("gpCtrlCase"), QStringLiteral("gpUndef"), QStringLiteral("multiFunc"),
                               QStringLiteral("gpAlarm"), QStringLiteral("gpActiveZone"),
                               QStringLiteral("reservPwrState")},
                              ownTitles());
}

QStringList DI_Dralo::fieldNames() const
{
    return staticFieldNames();
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
    setConnectionState(info);
    m_stored.load(state);

    AlarmKeyState::show(this, m_enumManager, m_key, m_stored);
    setPropertyLevel(m_propCase, DeviceKit::levelWhen(!m_stored.bit(0, 7), MarkFault));
    setPropertyLevel(m_propReserveBattery, DeviceKit::levelWhen(!m_stored.bit(0, 5), MarkFault));
    setPropertyLevel(m_propMainBattery, DeviceKit::levelWhen(!m_stored.bit(0, 6), MarkFault));

    AlarmKeyState::record(this, info.serialNumber, m_stored);
    DeviceItem::updateState(info, state);
}

bool DI_Dralo::hasAlarm() const
{
    return m_info.linkState == 2 && m_stored.bit(4, 7);
}

bool DI_Dralo::hasFault() const
{
    return m_info.linkState == 2 && (!(m_stored.bit(0, 5) && m_stored.bit(0, 6)) || !m_stored.bit(0, 7));
}

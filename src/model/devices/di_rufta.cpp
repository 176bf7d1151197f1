#include "di_rufta.h"

#include "qtpropertymanager.h"

namespace {
// The lists of both sensors; the variant has no reserve supply.
DeviceDescription leakSensor(const QList<int> &codes, const QString &picture, const QVersionNumber &featureZero,
                             const QString &reserveTitle, const QString &alarmTitle, const QString &failTitle)
{
    DeviceDescription d;
    d.codes = codes;
    d.picture = picture;
    d.stateBytes = 5;
    d.features = QList<DeviceKit::FeatureMinimum>{{0, featureZero}};
    DeviceKit::TitledKeys titles = DeviceKit::baseTitles({"gpCase", "gpMainPwr", "gpMainBattery"});
    if (!reserveTitle.isEmpty())
        titles << DeviceKit::TitledKey{"reservPwrState", reserveTitle};
    titles << DeviceKit::baseTitles({"rl", "gpRssi"}) << DeviceKit::TitledKey{"fAlarm", alarmTitle}
           << DeviceKit::TitledKey{"fFail", failTitle};
    d.titles = DeviceTitles::exactly(titles);
    for (const DeviceKit::TitledKey &pair : titles)
        d.fieldNames << pair.key;
    return d;
}
} // namespace

DeviceDescription DI_Rufta::description()
{
    return leakSensor({29}, QStringLiteral("zentar-rufta.png"), QVersionNumber(1, 7), tr("Reserve battery state"),
                      tr("Alarm"), tr("Fail"));
}

DeviceDescription DI_Rufta_ISP1::description()
{
    return leakSensor({55}, QStringLiteral("zentar-rufta_isp1.png"), QVersionNumber(1, 2), QString(), tr("Alarm"),
                      tr("Fail"));
}

DI_Rufta::DI_Rufta(const deviceInfo_t &info, bool kastrelMode) : DI_Rufta(info, kastrelMode, &DI_Rufta::description) {}

DI_Rufta::DI_Rufta(const deviceInfo_t &info, bool kastrelMode, DescriptionFn describe)
    : DeviceItem(info, kastrelMode, describe)
{
    const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);
    m_groupLeakage = kit.group(tr("Leakage sensor"));
    m_propLeakState =
        kit.readOnlyEnum(m_groupLeakage, tr("State"), {tr("No leak"), tr("Leak detected"), tr("Short circuit")});
    m_topProperties << m_groupLeakage;
}

DI_Rufta_ISP1::DI_Rufta_ISP1(const deviceInfo_t &info, bool kastrelMode)
    : DI_Rufta(info, kastrelMode, &DI_Rufta_ISP1::description)
{
    m_propStatus->removeSubProperty(m_propCase);
    m_propStatus->removeSubProperty(m_propReserveBattery);
}

void DI_Rufta::updateState(const deviceInfo_t &info, QByteArray state)
{
    loadState(info, state);
    // Both bits give index 3, which has no name.
    m_enumManager->setValue(m_propLeakState, int(leak()) + 2 * int(shorted()));
    setPropertyLevel(m_propLeakState, DeviceKit::levelWhen(leak(), MarkAlarm));
    setPropertyLevel(m_propCase, DeviceKit::levelWhen(!stateValue("state.fCase"), MarkFault));
    setPropertyLevel(m_propMainBattery, DeviceKit::levelWhen(!stateValue("state.fMainPwr"), MarkFault));
    setPropertyLevel(m_propReserveBattery, DeviceKit::levelWhen(!stateValue("state.fReservPwr"), MarkFault));

    storeFieldValue(QStringLiteral("fFail"), info.serialNumber, int(shorted()));
    storeFieldValue(QStringLiteral("fAlarm"), info.serialNumber, int(leak()));

    DeviceItem::updateState(info, state);
}

bool DI_Rufta::hasAlarm() const
{
    return m_info.linkState == 2 && leak();
}

bool DI_Rufta::hasFault() const
{
    return m_info.linkState == 2
        && (!(stateValue("state.fReservPwr") && stateValue("state.fMainPwr")) || !stateValue("state.fCase"));
}

bool DI_Rufta_ISP1::hasFault() const
{
    return m_info.linkState == 2 && !stateValue("state.fMainPwr");
}

QVariant DI_Rufta::data(int role) const
{
    if (role != DeviceRole::StatusText || !isOnline())
        return DeviceItem::data(role);
    // A shorted probe reads as a flood too.
    if (leak() || shorted())
        return tr("Flood alarm");
    return DeviceItem::data(role);
}

QVariant DI_Rufta_ISP1::data(int role) const
{
    if (role != DeviceRole::StatusText || !isOnline())
        return DeviceItem::data(role);
    QStringList texts;
    if (m_info.linkState == 2 && leak())
        texts << m_propLeakState->valueText();
    // Byte 3 is the supply's reading, 0 when the device sends none.
    if (stateValue("Z0.bMainPower") != 2000 && !stateValue("state.fMainPwr"))
        texts << tr("Main power low");
    if (texts.isEmpty())
        texts << tr("Normal");
    return texts.join(QStringLiteral(", "));
}

#include "di_jorvu.h"

#include "qtpropertymanager.h"

DeviceDescription DI_Jorvu::description()
{
    DeviceDescription d;
    d.codes = {23};
    d.picture = QStringLiteral("zentar-fotra_isp1.png");
    d.stateBytes = 8;
    d.fieldNames = DeviceDescription::baseFieldNames();
    for (const char *zone : {"Zone1", "Zone2"})
        for (const char *key : {"btfOutMask", "fFail", "fCut", "fShortCircuit"})
            d.fieldNames << QLatin1String(zone) + QLatin1String(key);
    d.features = QList<DeviceKit::FeatureMinimum>{{0, QVersionNumber(1, 5)}};
    return d;
}

DI_Jorvu::DI_Jorvu(const deviceInfo_t &info, bool kastrelMode) : DeviceItem(info, kastrelMode, &DI_Jorvu::description)
{
    const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);
    m_propOut1 = kit.text(nullptr, tr("Out 1 state"));
    m_propOut2 = kit.text(nullptr, tr("Out 2 state"));
    m_topProperties << m_propOut1 << m_propOut2;
}

void DI_Jorvu::showOutput(int zone, QtProperty *property, quint32 serial)
{
    const QByteArray z = "Z" + QByteArray::number(zone) + ".";
    const auto value = [this, &z](const char *key) { return int(stateValue(QByteArray(z + key).constData())); };
    const int mask = value("outMask");
    QString text;
    quint32 level = MarkFault;
    if (value("fFail"))
        text = tr("Fail");
    else if (value("fCut"))
        text = tr("Cut");
    else if (value("fShortCircuit"))
        text = tr("Short circuit");
    else {
        text = DeviceKit::modeText(mask, {tr("Off"), tr("On"), tr("Mask active: %1")});
        level = 0;
    }
    m_stringManager->setValue(property, text);
    setPropertyLevel(property, level);

    const QString prefix = QStringLiteral("Zone%1").arg(zone);
    storeFieldValue(prefix + QLatin1String("btfOutMask"), serial, mask);
    storeFieldValue(prefix + QLatin1String("fFail"), serial, value("fFail"));
    storeFieldValue(prefix + QLatin1String("fCut"), serial, value("fCut"));
    storeFieldValue(prefix + QLatin1String("fShortCircuit"), serial, value("fShortCircuit"));
}

void DI_Jorvu::updateState(const deviceInfo_t &info, QByteArray state)
{
    loadState(info, state);
    setPropertyLevel(m_propCase, DeviceKit::levelWhen(!stateValue("state.fCase"), MarkFault));
    setPropertyLevel(m_propMainBattery, DeviceKit::levelWhen(!stateValue("state.fMainPwr"), MarkFault));
    setPropertyLevel(m_propReserveBattery, DeviceKit::levelWhen(!stateValue("state.fReservPwr"), MarkFault));
    showOutput(1, m_propOut1, info.serialNumber);
    showOutput(2, m_propOut2, info.serialNumber);
    DeviceItem::updateState(info, state);
}

bool DI_Jorvu::hasFault() const
{
    if (m_info.linkState != 2)
        return false;
    const DeviceKit::StateBlock &s = m_stored;
    return !(s.bit(0, 5) && s.bit(0, 6)) || !s.bit(0, 7) || s.bit(4, 6) || s.bit(5, 6) || s.bit(5, 7) || s.bit(6, 6)
        || s.bit(7, 6) || s.bit(7, 7);
}

QVariant DI_Jorvu::data(int role) const
{
    if (role != DeviceRole::StatusText || !isOnline())
        return DeviceItem::data(role);
    return DeviceKit::statusWithoutEmptyParts(tr("%1, Out #1: %2, Out #2: %3")
        .arg(DeviceItem::data(role).toString(), m_propOut1->valueText(), m_propOut2->valueText()));
}

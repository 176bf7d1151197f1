#include "di_sebrel.h"

#include "qtpropertymanager.h"
#include "supplytexts.h"


// ---------------------------------------------------------------- one line

DeviceDescription DI_Sebrel::description()
{
    DeviceDescription d;
    d.codes = {30};
    d.picture = QStringLiteral("zentar-sebrel.png");
    d.stateBytes = 8;
    DeviceKit::TitledKeys titles = DeviceKit::baseTitles({"gpCase"});
    titles << DeviceKit::TitledKeys{{"bExtLineState", tr("External source")},
                                       {"wExtLineVoltage", tr("Voltage external source")},
                                       {"bBatteryState", tr("Battery")},
                                       {"wBatteryVoltage", tr("Voltage battery")}}
           << DeviceKit::baseTitles({"rl", "gpRssi"});
    d.setTitledFields(titles);
    return d;
}

DI_Sebrel::DI_Sebrel(const deviceInfo_t &info, bool kastrelMode) : DI_Sebrel(info, kastrelMode, &DI_Sebrel::description, 1)
{
}

DI_Sebrel::DI_Sebrel(const deviceInfo_t &info, bool kastrelMode, DescriptionFn describe, int lines)
    : DI_AbstractRepeater(info, kastrelMode, describe)
{
    m_batteryNames = SupplyTexts::batteryStates(true);
    m_lineNames = QStringList{tr("Not detected"), tr("Ok", "External"), tr("Low voltage", "External"),
                              tr("High voltage"), tr("Measuring error")};
    const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);
    m_propMainBatteryVoltage->setPropertyName(tr("Internal voltage"));
    for (QtProperty *property : {m_propMainBattery, m_propMainBatteryVoltage, m_propReserveBattery})
        m_propStatus->removeSubProperty(property);
    m_propBattery = kit.readOnlyEnum(m_propStatus, tr("Battery"), m_batteryNames);
    m_propBatteryVoltage = kit.text(m_propStatus, tr("Voltage battery"));
    if (lines == 1) {
        m_propLine = kit.readOnlyEnum(m_propStatus, tr("External source"), m_lineNames);
        m_propLineVoltage = kit.text(m_propStatus, tr("Voltage external source"));
    }
}

QString DI_Sebrel::lineText(int state, int millivolts) const
{
    return DeviceKit::nameAt(m_lineNames, DeviceKit::lineStateShown(state, millivolts));
}

bool DI_Sebrel::isFeatureSupported(int feature) const
{
    const QVersionNumber firmware = firmwareVersion();
    if (feature == 0)
        return QVersionNumber::compare(firmware, QVersionNumber(1, 3)) >= 0
            || featureOneRule(deviceType(), m_info.rl);
    if (feature == 1)
        return QVersionNumber::compare(firmware, QVersionNumber(1, 4)) >= 0;
    return false;
}

void DI_Sebrel::updateState(const deviceInfo_t &info, QByteArray state)
{
    loadState(info, state);
    const DeviceKit::StateBlock &s = m_stored;
    const int battery = s[6];
    const int line = s[7];
    const int lineVoltage = s.word(2);
    const int batteryVoltage = s.word(4);

    m_enumManager->setValue(m_propBattery, battery);
    setPropertyLevel(m_propBattery, DeviceKit::levelWhen(!SupplyTexts::batteryGood(battery), MarkFault));
    m_enumManager->setValue(m_propLine, DeviceKit::lineStateShown(line, lineVoltage));
    setPropertyLevel(m_propLine, DeviceKit::levelWhen(line == 2 || line == 4, MarkFault));
    setPropertyLevel(m_propCase, DeviceKit::levelWhen(!s.bit(0, 7), MarkAlarm));

    const QString volts = tr("%1 V");
    m_stringManager->setValue(m_propBatteryVoltage, DeviceKit::oneDecimal(volts, batteryVoltage, 1000));
    m_stringManager->setValue(m_propLineVoltage, DeviceKit::oneDecimal(volts, lineVoltage, 1000));
    m_stringManager->setValue(m_propMainBatteryVoltage,
                              DeviceKit::oneDecimal(volts, batteryVoltage >= 1000 ? batteryVoltage : lineVoltage, 1000));

    const quint32 serial = info.serialNumber;
    storeFieldValue(QStringLiteral("bBatteryState"), serial, battery);
    storeFieldValue(QStringLiteral("bExtLineState"), serial, line);
    storeFieldValue(QStringLiteral("wBatteryVoltage"), serial, batteryVoltage);
    storeFieldValue(QStringLiteral("wExtLineVoltage"), serial, lineVoltage);

    DeviceItem::updateState(info, state);
}

bool DI_Sebrel::hasAlarm() const
{
    return propertyLevel(m_propCase) == MarkAlarm;
}

bool DI_Sebrel::hasFault() const
{
    return (isOnline() && !troubleFree()) || propertyLevel(m_propBattery) == MarkFault
        || propertyLevel(m_propLine) == MarkFault;
}

QVariant DI_Sebrel::data(int role) const
{
    if (role != DeviceRole::StatusText)
        return DeviceItem::data(role);
    if (!isOnline())
        return tr("Connection lost");
    const DeviceKit::StateBlock &s = m_stored;
    QStringList parts;
    if (s[7] != 1)
        parts << tr("External power: %1").arg(lineText(s[7], s.word(2)));
    return repeaterStatus(parts, s[6]);
}

QString DI_Sebrel::repeaterStatus(QStringList parts, int battery) const
{
    if (battery != 3)
        parts << tr("Battery: %1").arg(batteryText(battery));
    if (!m_stored.bit(0, 7))
        parts << tr("Case open");
    return parts.isEmpty() ? tr("Normal") : parts.join(QStringLiteral(", "));
}

// ---------------------------------------------------------------- two lines

DeviceDescription DI_Sebrel_ISP02::description()
{
    DeviceDescription d;
    d.codes = {71};
    d.picture = QStringLiteral("zentar-sebrel.png");
    d.stateBytes = 12;
    DeviceKit::TitledKeys titles = DeviceKit::baseTitles({"gpCase"});
    titles << DeviceKit::TitledKeys{{"bExtLineState_1", tr("External source 1")},
                                       {"wExtLineVoltage_1", tr("Voltage external source 1")},
                                       {"bExtLineState_2", tr("External source 2")},
                                       {"wExtLineVoltage_2", tr("Voltage external source 2")},
                                       {"bBatteryState", tr("Battery")},
                                       {"wBatteryVoltage", tr("Voltage battery")},
                                       {"bReserveSetting", tr("Reserve power supply")}}
           << DeviceKit::baseTitles({"rl", "gpRssi"});
    d.setTitledFields(titles);
    d.settings = {SettingDescription::choice("reserve", tr("Reserve power supply"),
                                             {tr("External source 2"), tr("Battery")}, QString())};
    d.writes = {SettingWrite::queued(QByteArray::fromHex("0005000200"), {"reserve"})};
    d.wholeConfigurationCheck = true;
    return d;
}

DI_Sebrel_ISP02::DI_Sebrel_ISP02(const deviceInfo_t &info, bool kastrelMode)
    : DI_Sebrel(info, kastrelMode, &DI_Sebrel_ISP02::description, 2)
{
    const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);
    m_propLine1 = kit.readOnlyEnum(m_propStatus, tr("External source 1"), m_lineNames);
    m_propLine1Voltage = kit.text(m_propStatus, tr("Voltage external source 1"));
    m_propLine2 = kit.readOnlyEnum(m_propStatus, tr("External source 2"), m_lineNames);
    m_propLine2Voltage = kit.text(m_propStatus, tr("Voltage external source 2"));
    m_propReserve = addSetting(m_propStatus, QStringLiteral("reserve"));
}

std::optional<int> DI_Sebrel_ISP02::deviceSettingValue(const QString &key) const
{
    if (key == QLatin1String("reserve"))
        return m_stored[11];
    return std::nullopt;
}

bool DI_Sebrel_ISP02::isFeatureSupported(int feature) const
{
    return feature == 0 || feature == 1;
}

void DI_Sebrel_ISP02::updateState(const deviceInfo_t &info, QByteArray state)
{
    loadState(info, state);
    const DeviceKit::StateBlock &s = m_stored;
    const int battery = s[8];
    const int line1 = s[9];
    const int line2 = s[10];
    const int reserve = s[11];
    const int line1Voltage = s.word(2);
    const int line2Voltage = s.word(4);
    const int batteryVoltage = s.word(6);

    m_enumManager->setValue(m_propBattery, battery);
    setPropertyLevel(m_propBattery, DeviceKit::levelWhen(reserve == 1 && !SupplyTexts::batteryGood(battery), MarkFault));
    m_enumManager->setValue(m_propLine1, DeviceKit::lineStateShown(line1, line1Voltage));
    setPropertyLevel(m_propLine1, DeviceKit::levelWhen(line1 == 2 || line1 == 4, MarkFault));
    // Line 2 counts only while it is the reserve.
    m_enumManager->setValue(m_propLine2, DeviceKit::lineStateShown(line2, line2Voltage));
    setPropertyLevel(m_propLine2, DeviceKit::levelWhen(reserve == 0 && (line2 == 2 || line2 == 4), MarkFault));
    setPropertyLevel(m_propCase, DeviceKit::levelWhen(!s.bit(0, 7), MarkAlarm));

    const QString volts = tr("%1 V");
    m_stringManager->setValue(m_propBatteryVoltage, DeviceKit::oneDecimal(volts, batteryVoltage, 1000));
    m_stringManager->setValue(m_propLine1Voltage, DeviceKit::oneDecimal(volts, line1Voltage, 1000));
    m_stringManager->setValue(m_propLine2Voltage, DeviceKit::oneDecimal(volts, line2Voltage, 1000));
    m_stringManager->setValue(m_propMainBatteryVoltage, DeviceKit::oneDecimal(volts, line1Voltage, 1000));

    const quint32 serial = info.serialNumber;
    storeFieldValue(QStringLiteral("bBatteryState"), serial, battery);
    storeFieldValue(QStringLiteral("bExtLineState_1"), serial, line1);
    storeFieldValue(QStringLiteral("bExtLineState_2"), serial, line2);
    storeFieldValue(QStringLiteral("wBatteryVoltage"), serial, batteryVoltage);
    storeFieldValue(QStringLiteral("wExtLineVoltage_1"), serial, line1Voltage);
    storeFieldValue(QStringLiteral("wExtLineVoltage_2"), serial, line2Voltage);
    storeFieldValue(QStringLiteral("bReserveSetting"), serial, reserve);

    DeviceItem::updateState(info, state);
}

bool DI_Sebrel_ISP02::hasFault() const
{
    return (isOnline() && !troubleFree()) || propertyLevel(m_propBattery) == MarkFault
        || propertyLevel(m_propLine1) == MarkFault || propertyLevel(m_propLine2) == MarkFault;
}

QVariant DI_Sebrel_ISP02::data(int role) const
{
    if (role != DeviceRole::StatusText)
        return DeviceItem::data(role);
    if (!isOnline())
        return tr("Connection lost");
    const DeviceKit::StateBlock &s = m_stored;
    QStringList parts;
    if (s[9] != 1)
        parts << tr("External 1 power: %1").arg(lineText(s[9], s.word(2)));
    if (s[10] != 1)
        parts << tr("External 2 power: %1").arg(lineText(s[10], s.word(4)));
    return repeaterStatus(parts, s[8]);
}

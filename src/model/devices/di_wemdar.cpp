#include "di_wemdar.h"

#include "qtpropertymanager.h"

DeviceDescription DI_Wemdar::description()
{
    DeviceDescription d;
    d.codes = {10, CarbonMonoxideType};
    d.picture = QStringLiteral("zentar-wemdar.png");
    d.stateBytes = 16;
    d.fieldNames = QStringList{"gpMainPwr",   "gpMainBattery",  "rl",          "gpRssi",
                               "Zone1fAlarm", "Zone1iTempr",    "Zone2fAlarm", "Zone2wHumidity",
                               "Zone3fAlarm", "Zone3wCarbonMonoxide"};
    d.titles = DeviceTitles::exactly(DeviceKit::baseTitles({"gpMainPwr", "gpMainBattery", "rl", "gpRssi"})
                                     + DeviceKit::TitledKeys{
                                      {"Zone1fFail", tr("Temperature sensor fail")},
                                      {"Zone2fFail", tr("Humidity sensor fail")},
                                      {"Zone3fFail", tr("CO sensor fail")},
                                      {"Zone1fAlarm", tr("Temperature sensor alarm")},
                                      {"Zone2fAlarm", tr("Humidity sensor alarm")},
                                      {"Zone3fAlarm", tr("CO sensor alarm")},
                                      {"Zone1bSettings", tr("Temperature sensor settings")},
                                      {"Zone2bSettings", tr("Humidity sensor settings")},
                                      {"Zone3bSettings", tr("CO sensor settings")},
                                      {"Zone1iTempr", tr("Temperature value")},
                                      {"Zone2wHumidity", tr("Humidity value")},
                                      {"Zone3wCarbonMonoxide", tr("CO value")}});
    d.features = QList<DeviceKit::FeatureMinimum>{{0, QVersionNumber(1, 6)}};
    return d;
}

// No display font is embedded: the device card falls back to one of the system's.
DI_Wemdar::DI_Wemdar(const deviceInfo_t &info, bool kastrelMode) : DeviceItem(info, kastrelMode, &DI_Wemdar::description)
{
    const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);
    m_propTemperature = kit.text(nullptr, tr("Temperature"));
    m_propHumidity = kit.text(nullptr, tr("Humidity"));
    m_propCarbonMonoxide = kit.text(nullptr, tr("CO"));
    m_propStatus->removeSubProperty(m_propReserveBattery);
    m_propStatus->removeSubProperty(m_propCase);
    m_groupSensor = kit.group(tr("Sensor"));
    m_groupSensor->addSubProperty(m_propTemperature);
    m_groupSensor->addSubProperty(m_propHumidity);
    if (info.deviceType == CarbonMonoxideType)
        m_groupSensor->addSubProperty(m_propCarbonMonoxide);
    m_topProperties << m_groupSensor;
}

QStringList DI_Wemdar::fieldNames() const
{
    QStringList names = describedOnce(&DI_Wemdar::description).fieldNames;
    if (deviceType() != CarbonMonoxideType)
        names = names.mid(0, 8);
    return names;
}

void DI_Wemdar::updateState(const deviceInfo_t &info, QByteArray state)
{
    loadState(info, state);
    m_temperature = int(stateValue("Z1.iTempr")) / 10; // cut toward zero
    m_humidity = int(stateValue("Z2.wHumidity")) / 10;
    m_carbonMonoxide = int(stateValue("Z3.wCarbonMonoxide")) / 10;

    // A failed temperature sensor leaves every reading as it was.
    if (!stateValue("Z1.fFail")) {
        m_stringManager->setValue(m_propTemperature, tr("%1°C").arg(m_temperature / 10.0, 0, 'g', 3));
        m_stringManager->setValue(m_propHumidity, tr("%1%").arg(m_humidity / 10.0, 0, 'g', 3));
        m_stringManager->setValue(m_propCarbonMonoxide,
                                  tr("%1 ppm").arg(m_carbonMonoxide / 10.0, 0, 'g', m_carbonMonoxide < 10 ? 2 : 3));
    }

    setPropertyLevel(m_propCase, DeviceKit::levelWhen(!stateValue("state.fCase"), MarkFault));
    setPropertyLevel(m_propMainBattery, DeviceKit::levelWhen(!stateValue("state.fMainPwr"), MarkFault));
    setPropertyLevel(m_propReserveBattery, DeviceKit::levelWhen(!stateValue("state.fReservPwr"), MarkFault));

    // Every zone is recorded, the third also where the device has no such sensor.
    const quint32 serial = info.serialNumber;
    const int values[3] = {m_temperature, m_humidity, m_carbonMonoxide};
    const char *const valueKeys[3] = {"Zone1iTempr", "Zone2wHumidity", "Zone3wCarbonMonoxide"};
    for (int zone = 1; zone <= 3; ++zone) {
        const QString prefix = QStringLiteral("Z%1.").arg(zone);
        const QString key = QStringLiteral("Zone%1").arg(zone);
        const auto field = [this, &prefix](const char *name) {
            return int(stateValue((prefix + QLatin1String(name)).toLatin1().constData()));
        };
        storeFieldValue(key + QStringLiteral("fFail"), serial, field("fFail"));
        storeFieldValue(key + QStringLiteral("fAlarm"), serial, field("fAlarm"));
        storeFieldValue(key + QStringLiteral("bSettings"), serial, field("bSettings"));
        storeFieldValue(QLatin1String(valueKeys[zone - 1]), serial, values[zone - 1]);
    }

    DeviceItem::updateState(info, state);
}

bool DI_Wemdar::hasAlarm() const
{
    return m_info.linkState == 2 && stateValue("Z1.fAlarm");
}

bool DI_Wemdar::hasFault() const
{
    return m_info.linkState == 2
        && (!(stateValue("state.fReservPwr") && stateValue("state.fMainPwr")) || !stateValue("state.fCase")
            || stateValue("Z1.fFail"));
}

QVariant DI_Wemdar::data(int role) const
{
    switch (role) {
    case DeviceRole::StatusText: {
        const QString base = DeviceItem::data(role).toString();
        if (!isOnline())
            return base;
        if (deviceType() == CarbonMonoxideType)
            return DeviceKit::statusWithoutEmptyParts(
                QStringLiteral("%1, %2, %3, %4")
                    .arg(m_propTemperature->valueText(), m_propHumidity->valueText(), m_propCarbonMonoxide->valueText(),
                         base));
        return DeviceKit::statusWithoutEmptyParts(
            QStringLiteral("%1, %2, %3").arg(m_propTemperature->valueText(), m_propHumidity->valueText(), base));
    }
    case DeviceRole::ClassValue:
        return m_temperature;
    case DeviceRole::Value2:
        return m_humidity;
    case DeviceRole::Value3:
        return m_carbonMonoxide;
    default:
        return DeviceItem::data(role);
    }
}

#include "di_mavo.h"

#include "levelrules.h"
#include "qtpropertymanager.h"
#include "versiontext.h"
#include "widgetdevicewritesettings.h"

#include <QDebug>

namespace {
const char *const thresholdKeys[] = {"th1", "th2", "th3", "th4"};

// Bits of the record's first word: position, width, and the value of a code of 0.
struct ThresholdField
{
    int shift;
    int width;
    int base;
};
const ThresholdField thresholdFields[] = {{8, 6, 79}, {16, 6, 79}, {22, 5, 69}, {27, 5, 69}};
constexpr quint32 SetFlag = 1u << 15;
} // namespace

DeviceDescription DI_Mavo::description()
{
    DeviceDescription d;
    d.codes = {5};
    d.picture = QStringLiteral("zentar-bexil.png");
    d.stateBytes = 11;
    d.fieldNames = commonFieldNames() + QStringList{"bSmoke", "bDust", "inType", "th1", "th2", "th3", "th4"};
    d.titles = DeviceTitles::exactly(commonTitles()
                                     + DeviceKit::TitledKeys{{"bSmoke", tr("Smoke level")},
                                                             {"bDust", tr("Dust level")},
                                                             {"inType", tr("Input type")},
                                                             {"th1", tr("Daytime fire threshold")},
                                                             {"th2", tr("Night fire threshold")},
                                                             {"th3", tr("Daytime warning threshold")},
                                                             {"th4", tr("Night warning threshold")}});
    // Read from the device by the class, not from its state.
    d.settings = {
        SettingDescription::choice("inType", tr("Input type"), {tr("Smoke fire"), tr("Smoke analogue")}, QString()),
        SettingDescription::number("th1", tr("Daytime fire threshold"), 80, 120, QString()),
        SettingDescription::number("th2", tr("Night fire threshold"), 80, 120, QString()),
        SettingDescription::number("th3", tr("Daytime warning threshold"), 70, 90, QString()),
        SettingDescription::number("th4", tr("Night warning threshold"), 70, 90, QString()),
    };
    return d;
}

DI_Mavo::DI_Mavo(const deviceInfo_t &info, bool kastrelMode) : FireDetectorItem(info, kastrelMode, &DI_Mavo::description)
{
    qDebug().noquote() << QStringLiteral("DI_Mavo::DI_Mavo %1").arg(deviceId());
    const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);
    m_groupSmoke = kit.group(tr("Smoke sensor"));
    m_propState = kit.readOnlyEnum(m_groupSmoke, tr("State"), {tr("No alarm"), tr("Fire"), tr("Dusted"), tr("Failure")});
    m_propSmoke = kit.text(m_groupSmoke, tr("Smoke level"));
    m_propDust = kit.text(m_groupSmoke, tr("Dust level"));
    m_topProperties << m_groupSmoke;
    if (!isFeatureSupported(3))
        qDebug().noquote() << QStringLiteral("Thresholds not supported in version %1").arg(versionToString(firmwareVersion()));
}

bool DI_Mavo::isFeatureSupported(int feature) const
{
    switch (feature) {
    case 0:
        return hardwareVersion().majorVersion() >= 2 && firmwareAtLeast(1, 30);
    case 3:
        return firmwareAtLeast(1, 31) && hardwareAtLeast(2, 0);
    default:
        return false;
    }
}

bool DI_Mavo::hasFeature(int feature) const
{
    switch (feature) {
    case 1000:
        return firmwareAtLeast(1, 29);
    case 1001:
        return m_thresholdReading && hardwareVersion().majorVersion() >= 2 && firmwareAtLeast(1, 30);
    default:
        return isFeatureSupported(feature);
    }
}

QStringList DI_Mavo::fieldNames() const
{
    const QStringList all = staticFieldNames();
    return isFeatureSupported(3) ? all : QStringList(all.mid(0, 11));
}

QList<int> DI_Mavo::deviceValues() const
{
    return {m_device[DayFire], m_device[NightFire], m_device[DayWarning], m_device[NightWarning], m_deviceInputType};
}

bool DI_Mavo::addExtraProperties()
{
    if (extraPropertiesAdded())
        return true;
    addCaseActions();
    if (!isFeatureSupported(3)) {
        qDebug().noquote() << QStringLiteral("In MAVO no ALARM_LEVEL feature");
        return false;
    }
    m_propInputType = addSetting(m_groupSmoke, QStringLiteral("inType"));
    for (int i = 0; i < ThresholdCount; ++i) {
        m_propThreshold[i] = addSetting(m_groupSmoke, QLatin1String(thresholdKeys[i]));
        setPropertyLevel(m_propThreshold[i], MarkNeverEditable); // inactive until the input type is analogue
        m_propThreshold[i]->setEnabled(false);
    }
    connect(m_editEnumManager, &QtEnumPropertyManager::valueChanged, this,
            [this](QtProperty *, int value) { inputTypeChanged(value); });
    qDebug().noquote() << QStringLiteral("Extra properties added %1").arg(deviceId());
    requestAlarmLevelLater();
    return true;
}

void DI_Mavo::inputTypeChanged(int value)
{
    for (QtProperty *threshold : m_propThreshold) {
        threshold->setEnabled(value != 0);
        setPropertyLevel(threshold, value != 0 ? 0 : MarkNeverEditable);
        setPropertyModified(threshold, false);
    }
}

// ---------------------------------------------------------------- state

void DI_Mavo::updateState(const deviceInfo_t &info, QByteArray state)
{
    loadState(info, state);
    const int smoke = int(stateValue("Z1.bSmoke"));
    const int dust = int(stateValue("Z1.bDust"));
    const bool fire = stateValue("Z1.fAlarm");
    const bool dusted = stateValue("Z1.fDust");
    const bool failed = stateValue("Z1.fFail");

    m_stringManager->setValue(m_propDust, QStringLiteral("%1%").arg(dust));
    if (!failed) {
        m_propSmoke->setPropertyName(tr("Smoke level"));
        m_stringManager->setValue(m_propSmoke, tr("%1 dB/m").arg(smoke / 1000.0, 0, 'g'));
        setPropertyLevel(m_propSmoke, 0);
    } else {
        m_propSmoke->setPropertyName(tr("Error code"));
        m_stringManager->setValue(m_propSmoke, QStringLiteral("%1").arg(smoke));
        setPropertyLevel(m_propSmoke, MarkFault);
    }
    m_enumManager->setValue(m_propState, fire ? 1 : dusted ? 2 : failed ? 3 : 0);

    updateCaseAction();

    const quint32 serial = info.serialNumber;
    if (isFeatureSupported(3) && m_propThreshold[DayFire] && m_groupSmoke->subProperties().contains(m_propThreshold[DayFire])) {
        storeFieldValue(QStringLiteral("inType"), serial, m_deviceInputType);
        for (int i = 0; i < ThresholdCount; ++i)
            storeFieldValue(QLatin1String(thresholdKeys[i]), serial, m_device[i]);
    }

    using namespace LevelRules;
    const FlagLevels troubles{{"Z1.fDust", MarkFault}, {"Z1.fFail", MarkFault}};
    apply(*this, {{m_propCase, {caseOpen(MarkFault)}},
                  {m_propMainBattery, {mainSupplyLost(MarkFault)}},
                  {m_propReserveBattery, {reserveSupplyLost(MarkFault)}},
                  {m_propState, FlagLevels{{"Z1.fAlarm", MarkAlarm}} + troubles},
                  {m_propDust, fire ? FlagLevels() : troubles}});

    storeFieldValue(QStringLiteral("fAlarm"), serial, int(fire));
    storeFieldValue(QStringLiteral("bSmoke"), serial, smoke / 1000.0);
    storeFieldValue(QStringLiteral("bDust"), serial, dust);
    storeFieldValue(QStringLiteral("devState"), serial, int(fire) + 2 * int(failed));

    DeviceItem::updateState(info, state);
}

bool DI_Mavo::hasFault() const
{
    return m_info.linkState == 2 && (supplyOrCaseFault() || stateValue("Z1.fDust") || stateValue("Z1.fFail"));
}

QVariant DI_Mavo::data(int role) const
{
    if (role == DeviceRole::ClassValue)
        return int(stateValue("Z1.bSmoke"));
    if (role != DeviceRole::StatusText)
        return DeviceItem::data(role);
    const QString base = DeviceItem::data(role).toString();
    if (!isOnline())
        return base;
    QStringList texts;
    const bool fire = stateValue("Z1.fAlarm");
    if (fire)
        texts << tr("Fire");
    if (stateValue("Z1.fDust"))
        texts << tr("Dusted");
    texts << (fire ? tr("Smoke: %1").arg(m_propSmoke->valueText()) : tr("Dust: %1").arg(m_propDust->valueText()));
    if (!base.isEmpty())
        texts << base;
    return texts.join(QStringLiteral(", "));
}

// ---------------------------------------------------------------- alarm level

bool DI_Mavo::isConfigurationChanged() const
{
    if (!isFeatureSupported(3) || !extraPropertiesAdded())
        return false;
    for (int i = 0; i < ThresholdCount; ++i)
        if (m_editIntManager->value(m_propThreshold[i]) != m_device[i])
            return true;
    return m_editEnumManager->value(m_propInputType) != m_deviceInputType;
}

bool DI_Mavo::isPropertyChanged(QtProperty *property) const
{
    m_configurationClean = !isConfigurationChanged();
    if (!extraPropertiesAdded() || !property)
        return false;
    if (property == m_propInputType)
        return m_editEnumManager->value(m_propInputType) != m_deviceInputType;
    for (int i = 0; i < ThresholdCount; ++i)
        if (property == m_propThreshold[i])
            return m_editIntManager->value(property) != m_device[i];
    return false;
}

QString DI_Mavo::wrongReplyTypeText(quint8 type) const
{
    return QStringLiteral("Wrong packet type: 0x%1").arg(type, 2, 16, QLatin1Char('0'));
}

void DI_Mavo::readAlarmLevel()
{
    requestAlarmLevel();
}

void DI_Mavo::alarmLevelReceived(const QByteArray &reply)
{
    if (!extraPropertiesAdded())
        return;
    const quint32 w = quint32(quint8(reply.at(2))) | quint32(quint8(reply.at(3))) << 8
        | quint32(quint8(reply.at(4))) << 16 | quint32(quint8(reply.at(5))) << 24;
    for (int i = 0; i < ThresholdCount; ++i) {
        const ThresholdField &f = thresholdFields[i];
        const int code = int((w >> f.shift) & ((1u << f.width) - 1));
        m_device[i] = (code == 0 ? 1 : code) + f.base;
    }
    const bool analogue = reply.at(2) != 0;
    m_deviceInputType = analogue ? 1 : 0;

    for (int i = 0; i < ThresholdCount; ++i) {
        setPropertyModified(m_propThreshold[i], false);
        m_editIntManager->setValue(m_propThreshold[i], m_device[i]);
    }
    // Through 0 and 1 so that the thresholds' state always follows.
    m_editEnumManager->setValue(m_propInputType, 0);
    m_editEnumManager->setValue(m_propInputType, 1);
    if (!analogue)
        m_editEnumManager->setValue(m_propInputType, 0);
    setPropertyModified(m_propInputType, false);
    setWriteSettingsState(WidgetDeviceWriteSettings::NoChanges);
    emit updateProperties(this);
}

void DI_Mavo::setAlarmLevel()
{
    if (!extraPropertiesAdded())
        return;
    QByteArray record(RecordBytes, '\0');
    if (m_editEnumManager->value(m_propInputType) > 0) {
        // The codes are value - 79 and value - 69, modulo the fields' widths.
        const int offsets[] = {15, 15, 5, 5};
        quint32 w = 2 | SetFlag;
        for (int i = 0; i < ThresholdCount; ++i) {
            const ThresholdField &f = thresholdFields[i];
            const quint32 code = quint32(m_editIntManager->value(m_propThreshold[i]) - offsets[i]) & ((1u << f.width) - 1);
            w |= code << f.shift;
        }
        for (int i = 0; i < 4; ++i)
            record[i] = char((w >> (8 * i)) & 0xFF);
    }
    sendAlarmLevel(record, QStringLiteral("The thresholds have been successfully installed in device"));
}

void DI_Mavo::offAlarmLevel()
{
    sendAlarmLevel(QByteArray(RecordBytes, '\0'), QStringLiteral("The thresholds have been successfully disabled in device"));
}

void DI_Mavo::writeDeviceConfiguration()
{
    if (!extraPropertiesAdded())
        return;
    for (QtProperty *threshold : m_propThreshold) {
        if (threshold->isModified()) {
            setAlarmLevel();
            return;
        }
    }
    if (!m_propInputType->isModified())
        return;
    if (m_editEnumManager->value(m_propInputType) == 0)
        offAlarmLevel();
    else
        setAlarmLevel();
}

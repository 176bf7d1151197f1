#include "di_bexil.h"

#include "levelrules.h"
#include "qtpropertymanager.h"
#include "widgetdevicewritesettings.h"

#include <QDebug>

namespace {
// The record's class byte of each detector class: bit 7 a class is set, bit
// 6 no rate-of-rise, bits 0-5 the response temperature minus 50.
const quint8 classBytes[] = {0x8A, 0x8F, 0x94, 0x9E, 0xCA, 0xCF, 0xD4, 0xDE};
constexpr quint8 NoWarning = 0x80;

int classOfByte(quint8 classByte)
{
    const int t = (classByte & 0x3F) + 50;
    const bool rateOfRise = !(classByte & 0x40);
    switch (t) {
    case 80:
        return rateOfRise ? 3 : 7;
    case 70:
        return rateOfRise ? 2 : 6;
    case 65:
        return rateOfRise ? 1 : 5;
    case 60:
        return rateOfRise ? 0 : 4;
    default:
        return 0;
    }
}

QString failureText(quint8 code)
{
    switch (code) {
    case 0xC0:
        return DI_Bexil::tr("termistor short circuit");
    case 0xC1:
        return DI_Bexil::tr("termistor break");
    case 0xC2:
        return DI_Bexil::tr("reference resistor break");
    case 0xC3:
        return DI_Bexil::tr("reference resistor sort circuit");
    default:
        return DI_Bexil::tr("General failure");
    }
}
} // namespace

DeviceDescription DI_Bexil::description()
{
    DeviceDescription d;
    d.codes = {2};
    d.picture = QStringLiteral("zentar-bexil.png");
    d.stateBytes = 11;
    d.fieldNames = commonFieldNames() + QStringList{"cTempr", "class", "warnTh", "warnThValue"};
    d.titles = DeviceTitles::exactly(commonTitles()
                                     + DeviceKit::TitledKeys{{"cTempr", tr("Temperature")},
                                                             {"class", tr("Detector class")},
                                                             {"warnTh", tr("Warning threshold")},
                                                             {"warnThValue", tr("Value of warning threshold")}});
    // Read from the device by the class, not from its state.
    d.settings = {
        SettingDescription::choice("class", tr("Detector class"),
                                   {tr("A1R"), tr("A2R"), tr("A3R"), tr("BR"), tr("A1"), tr("A2"), tr("A3"), tr("B")},
                                   QString()),
        SettingDescription::choice("warning", tr("Warning"), {tr("Disable"), tr("Enable")}, QString()),
        SettingDescription::number("threshold", tr("Threshold, °C"), -45, 110, QString()),
    };
    return d;
}

DI_Bexil::DI_Bexil(const deviceInfo_t &info, bool kastrelMode)
    : FireDetectorItem(info, kastrelMode, &DI_Bexil::description)
{
    const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);
    m_groupTemperature = kit.group(tr("Temperature"));
    m_propState = kit.readOnlyEnum(m_groupTemperature, tr("State"), {tr("No alarm"), tr("Fire"), tr("Failure")});
    m_propValue = kit.text(m_groupTemperature, tr("Value"));
    m_topProperties << m_groupTemperature;
}

bool DI_Bexil::isFeatureSupported(int feature) const
{
    switch (feature) {
    case 0:
        return hardwareVersion().majorVersion() >= 2 && firmwareAtLeast(1, 30);
    case 3:
    case 4:
        return firmwareAtLeast(1, 31) && hardwareAtLeast(2, 0);
    default:
        return false;
    }
}

bool DI_Bexil::hasFeature(int feature) const
{
    const bool hardware2 = hardwareVersion().majorVersion() >= 2;
    switch (feature) {
    case 1000:
        return hardware2 && firmwareAtLeast(1, 29);
    case 1001:
        return m_thresholdReading && hardware2 && firmwareAtLeast(1, 30);
    default:
        return isFeatureSupported(feature);
    }
}

QStringList DI_Bexil::fieldNames() const
{
    const QStringList all = staticFieldNames();
    return isFeatureSupported(3) ? all : QStringList(all.mid(0, 10));
}

bool DI_Bexil::addExtraProperties()
{
    if (extraPropertiesAdded())
        return true;
    addCaseActions();
    if (!isFeatureSupported(3)) {
        qDebug().noquote() << QStringLiteral("Extra properties not supported by device %1").arg(deviceId());
        return false;
    }
    m_propClass = addSetting(m_groupTemperature, QStringLiteral("class"));
    m_propWarning = addSetting(m_groupTemperature, QStringLiteral("warning"));
    m_propThreshold = addSetting(m_groupTemperature, QStringLiteral("threshold"));
    m_editIntManager->setValue(m_propThreshold, 50);
    connect(m_editEnumManager, &QtEnumPropertyManager::valueChanged, this,
            [this](QtProperty *property) { editorChanged(property); });
    qDebug().noquote() << QStringLiteral("Extra properties added to device %1").arg(deviceId());
    requestAlarmLevelLater();
    return true;
}

void DI_Bexil::editorChanged(QtProperty *property)
{
    if (property == m_propWarning) {
        setPropertyModified(m_propThreshold, false);
    } else if (property == m_propClass) {
        setPropertyModified(m_propWarning, false);
        setPropertyModified(m_propThreshold, false);
    }
}

// ---------------------------------------------------------------- state

void DI_Bexil::updateState(const deviceInfo_t &info, QByteArray state)
{
    loadState(info, state);
    if (state.isEmpty())
        qWarning().noquote() << QStringLiteral("Zone info in BEXIL is empty");

    const int fire = int(stateValue("Z1.fAlarm"));
    const int failed = int(stateValue("Z1.fFail"));
    const int temperature = int(stateValue("Z1.cTempr"));
    m_enumManager->setValue(m_propState, fire + 2 * failed);
    if (!failed) {
        m_stringManager->setValue(m_propValue, isOnline() ? tr("%1°C").arg(temperature) : QString());
        setPropertyLevel(m_propValue, 0);
    } else {
        m_stringManager->setValue(m_propValue, failureText(quint8(temperature)) + QStringLiteral(" (%1)").arg(temperature));
        setPropertyLevel(m_propValue, MarkFault);
    }

    updateCaseAction();

    const quint32 serial = info.serialNumber;
    if (isFeatureSupported(3)) {
        if (m_propClass && m_groupTemperature->subProperties().contains(m_propClass)) {
            storeFieldValue(QStringLiteral("class"), serial, m_deviceClass);
            storeFieldValue(QStringLiteral("warnTh"), serial, m_deviceWarning);
            if (m_deviceWarning != 0 && m_deviceWarningValue != 0)
                storeFieldValue(QStringLiteral("warnThValue"), serial, m_deviceWarningValue);
        } else {
            qDebug().noquote() << QStringLiteral("Not found propDetectorClass");
        }
    }

    using namespace LevelRules;
    apply(*this, {{m_propCase, {caseOpen(MarkFault)}},
                  {m_propMainBattery, {mainSupplyLost(MarkFault)}},
                  {m_propReserveBattery, {reserveSupplyLost(MarkFault)}},
                  {m_propState, fireState("Z1.fAlarm", "Z1.fFail")}});

    storeFieldValue(QStringLiteral("fFail"), serial, failed);
    storeFieldValue(QStringLiteral("fAlarm"), serial, fire);
    storeFieldValue(QStringLiteral("cTempr"), serial, temperature);
    storeFieldValue(QStringLiteral("devState"), serial, fire + 2 * failed);

    DeviceItem::updateState(info, state);
}

bool DI_Bexil::hasFault() const
{
    return m_info.linkState == 2 && (supplyOrCaseFault() || stateValue("Z1.fFail"));
}

QVariant DI_Bexil::data(int role) const
{
    if (role == DeviceRole::ClassValue)
        return int(stateValue("Z1.cTempr"));
    if (role != DeviceRole::StatusText)
        return DeviceItem::data(role);
    const QString base = DeviceItem::data(role).toString();
    if (!isOnline())
        return base;
    return QString(tr("Temperature: %1").arg(m_propValue->valueText()) + QStringLiteral(", ") + base);
}

// ---------------------------------------------------------------- alarm level

bool DI_Bexil::isConfigurationChanged() const
{
    if (!isFeatureSupported(3) || !extraPropertiesAdded())
        return false;
    return m_editEnumManager->value(m_propClass) != m_deviceClass
        || m_editEnumManager->value(m_propWarning) != m_deviceWarning
        || m_editIntManager->value(m_propThreshold) != m_deviceWarningValue;
}

bool DI_Bexil::isPropertyChanged(QtProperty *property) const
{
    if (!extraPropertiesAdded() || !property)
        return false;
    if (property != m_propClass && property != m_propWarning && property != m_propThreshold)
        return false;
    m_configurationClean = !isConfigurationChanged();
    if (property == m_propClass)
        return m_editEnumManager->value(m_propClass) != m_deviceClass;
    if (property == m_propWarning)
        return m_editEnumManager->value(m_propWarning) != m_deviceWarning;
    return m_editIntManager->value(m_propThreshold) != m_deviceWarningValue;
}

QString DI_Bexil::wrongReplyTypeText(quint8 type) const
{
    return QStringLiteral("%1 BEXIL. Wrong packet type: 0x%2").arg(deviceId()).arg(type, 2, 16, QLatin1Char('0'));
}

void DI_Bexil::readAlarmLevel()
{
    requestAlarmLevel();
}

void DI_Bexil::clearWarningMarks()
{
    setPropertyModified(m_propWarning, false);
    setPropertyModified(m_propThreshold, false);
    setWriteSettingsState(WidgetDeviceWriteSettings::NoChanges);
}

void DI_Bexil::disableWarningThreshold()
{
    if (!extraPropertiesAdded())
        return;
    m_deviceWarning = 0;
    m_deviceWarningValue = 0;
    clearWarningMarks();
    m_deviceClass = 0;
    // Through 1 so that a change is always signalled.
    m_editEnumManager->setValue(m_propClass, 1);
    m_editEnumManager->setValue(m_propClass, 0);
    setPropertyModified(m_propClass, false);
    emit updateProperties(this);
}

void DI_Bexil::alarmLevelReceived(const QByteArray &reply)
{
    if (!extraPropertiesAdded())
        return;
    const quint8 classByte = quint8(reply.at(3));
    if (!(classByte & 0x80)) {
        // No class set: the alarm level is off.
        disableWarningThreshold();
        return;
    }
    m_deviceClass = classOfByte(classByte);
    m_editEnumManager->setValue(m_propClass, m_deviceClass);
    setPropertyModified(m_propClass, false);

    const quint8 warning = quint8(reply.at(4));
    if (warning != NoWarning) {
        m_deviceWarningValue = qint8(warning);
        m_editIntManager->setValue(m_propThreshold, m_deviceWarningValue);
        m_editEnumManager->setValue(m_propWarning, 0);
        m_editEnumManager->setValue(m_propWarning, 1);
        m_deviceWarning = 1;
    } else {
        m_editEnumManager->setValue(m_propWarning, 1);
        m_editEnumManager->setValue(m_propWarning, 0);
        m_deviceWarning = 0;
        m_deviceWarningValue = -128;
    }
    clearWarningMarks();
    emit updateProperties(this);
}

quint8 DI_Bexil::warningByte() const
{
    if (m_editEnumManager->value(m_propWarning) == 0)
        return NoWarning;
    return quint8(qint8(m_editIntManager->value(m_propThreshold)));
}

void DI_Bexil::sendRecord(quint8 mode, quint8 classByte, quint8 warning)
{
    QByteArray record(RecordBytes, '\0');
    record[0] = char(mode);
    record[1] = char(classByte);
    record[2] = char(warning);
    sendAlarmLevel(record, mode == 0 ? QStringLiteral("ACK: Disabling thresholds...")
                                     : QStringLiteral("ACK: Updating thresholds..."));
}

void DI_Bexil::setAlarmLevel(int value, bool diffModeDis)
{
    if (!extraPropertiesAdded())
        return;
    // As the device knows it: 0x40 is added when diffModeDis is false.
    const quint8 classByte = quint8(0x80 + (diffModeDis ? 0 : 0x40) + ((value - 50) & 0x3F));
    sendRecord(2, classByte, warningByte());
}

void DI_Bexil::offAlarmLevel()
{
    sendRecord(0, 0x00, NoWarning);
}

void DI_Bexil::writeDeviceConfiguration()
{
    if (!extraPropertiesAdded())
        return;
    if (!m_propClass->isModified() && !m_propWarning->isModified() && !m_propThreshold->isModified())
        return;
    const int index = m_editEnumManager->value(m_propClass);
    if (index == 0 && m_editEnumManager->value(m_propWarning) == 0) {
        offAlarmLevel();
        return;
    }
    // The panel moves only by the acknowledgement and the read after it.
    sendRecord(2, classBytes[qBound(0, index, 7)], warningByte());
}

#include "di_yolvik.h"

#include "levelrules.h"
#include "qtpropertymanager.h"
#include "senddatamanager.h"

#include <QColor>

namespace {
enum ActionId { FixateAction = 0, EnableAction = 1, DisableAction = 2 };

const QStringList removedBaseKeys{"gpUndef", "multiFunc", "reservPwrState", "gpAlarm", "gpCtrlCase", "gpActiveZone"};

// The two configuration bytes of memory cell 0x48 from the device values of
// shift detection (its disable bit), shift sensitivity, tilt detection, tilt
// sensitivity and auto fixate (its disable bit).
QByteArray configurationBytes(const QList<int> &v)
{
    const quint8 shift = quint8((v.value(1) & 0x07) | (v.value(0) & 1) << 3);
    const quint8 tilt = quint8((v.value(3) & 0x07) | (v.value(2) & 1) << 3 | (v.value(4) & 1) << 4);
    return QByteArray(1, char(shift)) + char(tilt);
}
} // namespace

DeviceDescription DI_Yolvik_ISP1::describeFamily(const QList<int> &codes)
{
    DeviceDescription d;
    d.codes = codes;
    d.picture = QStringLiteral("zentar-yolvik.png");
    d.stateBytes = 9;
    d.fieldNames = QStringList{"gpCase",
                               "gpMainPwr",
                               "gpMainBattery",
                               "rl",
                               "gpRssi",
                               "Accelerometer",
                               "Zone1fAlarm",
                               "Zone1fShift",
                               "Zone1shiftSensitivity",
                               "Zone1shiftDisableDetection",
                               "Zone1fLean",
                               "Zone1tiltSensitivity",
                               "Zone1tiltDisableDetection",
                               "Zone1tiltAutoFix"};
    d.titles = DeviceTitles::baseWithout(removedBaseKeys,
                                         {{"Accelerometer", tr("Shift sensor", "yolvik")},
                                          {"Zone1fAlarm", tr("Alarm accelerometer")},
                                          {"Zone1fShift", tr("Shift state")},
                                          {"Zone1shiftSensitivity", tr("Shift sensitivity")},
                                          {"Zone1shiftDisableDetection", tr("Shift detection")},
                                          {"Zone1fLean", tr("Lean state")},
                                          {"Zone1tiltSensitivity", tr("Tilt sensitivity")},
                                          {"Zone1tiltDisableDetection", tr("Tilt detection")},
                                          {"Zone1tiltAutoFix", tr("Tilt auto fix")}});
    const QStringList onOff{tr("Disabled"), tr("Enabled")};
    d.settings = {
        SettingDescription::choice("shiftDetection", tr("Shift detection"), onOff, "Settings.shiftDisableDetection")
            .invertedBit()
            .inFiles(),
        SettingDescription::choice("shiftSensitivity", tr("Shift sensitivity"),
                                   {tr("Highest"), tr("High", "sensitivity"), tr("Normal"), tr("Low", "sensitivity")}, "Settings.shiftSensitivity")
            .inFiles(),
        SettingDescription::choice("tiltDetection", tr("Tilt detection"), onOff, "Settings.tiltDisableDetection")
            .invertedBit()
            .inFiles(),
        SettingDescription::choice("tiltSensitivity", tr("Tilt sensitivity"),
                                   {QStringLiteral("3°"), QStringLiteral("5°"), QStringLiteral("10°"),
                                    QStringLiteral("15°"), QStringLiteral("20°"), QStringLiteral("25°"),
                                    QStringLiteral("30°"), QStringLiteral("45°")},
                                   "Settings.tiltSensitivity")
            .inFiles(),
        SettingDescription::choice("autoFixate", tr("Auto fixate"), onOff, "Settings.tiltAutoFix").invertedBit(),
    };
    // Every setting goes out at each write, edited or not.
    d.writes = {SettingWrite::memoryCell(
                    0x48, {"shiftDetection", "shiftSensitivity", "tiltDetection", "tiltSensitivity", "autoFixate"})
                    .everyTime()
                    .withData(configurationBytes)};
    return d;
}

DeviceDescription DI_Yolvik_ISP1::description()
{
    return describeFamily({24});
}

DI_Yolvik_ISP1::DI_Yolvik_ISP1(const deviceInfo_t &info, bool kastrelMode)
    : DeviceItem(info, kastrelMode, &DI_Yolvik_ISP1::description)
{
    build();
}

DI_Yolvik_ISP1::DI_Yolvik_ISP1(const deviceInfo_t &info, bool kastrelMode, DescriptionFn describe)
    : DeviceItem(info, kastrelMode, describe)
{
    build();
}

void DI_Yolvik_ISP1::build()
{
    const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);
    const QStringList detected{tr("not detected"), tr("detected")};
    m_groupShift = kit.group(tr("Shift sensor", "yolvik"));
    m_propTilt = kit.readOnlyEnum(m_groupShift, tr("Tilt"), detected);
    m_propShift = kit.readOnlyEnum(m_groupShift, tr("Shift"), detected);
    m_groupSettings = kit.group(tr("Settings"));
    m_groupShift->addSubProperty(m_groupSettings);
    for (const char *key : {"shiftDetection", "shiftSensitivity", "tiltDetection", "tiltSensitivity"})
        addSetting(m_groupSettings, QLatin1String(key));
    m_propAutoFixate = addSetting(nullptr, QStringLiteral("autoFixate"));
    m_propNoise = kit.readOnlyEnum(nullptr, tr("Noise"), detected);
    m_propStatus->removeSubProperty(m_propReserveBattery);
    m_topProperties << m_groupShift << m_propAutoFixate;
    m_actions << DeviceAction{FixateAction, tr("Fixate")} << DeviceAction{EnableAction, tr("Enable accelerometer")}
              << DeviceAction{DisableAction, tr("Disable accelerometer")};
}

void DI_Yolvik_ISP1::storeAccelerometer(quint32 serial)
{
    storeFieldValue(QStringLiteral("Zone1fAlarm"), serial, int(stateValue("Z1.fAlarm")));
    storeFieldValue(QStringLiteral("Zone1fShift"), serial, int(stateValue("Z1.fShift")));
    storeFieldValue(QStringLiteral("Zone1fLean"), serial, int(stateValue("Z1.fLean")));
    storeFieldValue(QStringLiteral("Zone1shiftDisableDetection"), serial,
                    int(!stateValue("Settings.shiftDisableDetection")));
    storeFieldValue(QStringLiteral("Zone1shiftSensitivity"), serial, int(stateValue("Settings.shiftSensitivity")));
    storeFieldValue(QStringLiteral("Zone1tiltAutoFix"), serial, int(!stateValue("Settings.tiltAutoFix")));
    storeFieldValue(QStringLiteral("Zone1tiltDisableDetection"), serial,
                    int(!stateValue("Settings.tiltDisableDetection")));
    storeFieldValue(QStringLiteral("Zone1tiltSensitivity"), serial, int(stateValue("Settings.tiltSensitivity")));
}

void DI_Yolvik_ISP1::updateState(const deviceInfo_t &info, QByteArray state)
{
    loadState(info, state);
    const bool shift = stateValue("Z1.fShift");
    const bool tilt = stateValue("Z1.fLean");
    const bool noise = stateValue("Z1.fNoise");
    m_enumManager->setValue(m_propTilt, int(tilt));
    m_enumManager->setValue(m_propNoise, int(noise));
    m_enumManager->setValue(m_propShift, int(shift));
    m_groupShift->setEnabled(stateValue("Z1.fActive"));

    using namespace LevelRules;
    apply(*this, {{m_propCase, {caseOpen(MarkAlarm)}}, {m_propMainBattery, {batteryLow(MarkFault)}}});
    setPropertyLevel(m_groupShift, DeviceKit::levelWhen(shift || tilt, MarkAlarm));
    setPropertyLevel(m_propNoise, DeviceKit::levelWhen(noise, MarkFault));
    setPropertyLevel(m_propShift, DeviceKit::levelWhen(shift, MarkAlarm));
    setPropertyLevel(m_propTilt, DeviceKit::levelWhen(tilt, MarkAlarm));

    const quint32 serial = info.serialNumber;
    storeFieldValue(QStringLiteral("Accelerometer"), serial, int(stateValue("Z1.fActive")));
    storeAccelerometer(serial);

    DeviceItem::updateState(info, state);
}

bool DI_Yolvik_ISP1::hasAlarm() const
{
    return m_info.linkState == 2 && !stateValue("state.fNorma");
}

bool DI_Yolvik_ISP1::hasFault() const
{
    return m_info.linkState == 2 && (!stateValue("state.fMainPwr") || stateValue("Z1.fFail") || !stateValue("state.fCase"));
}

QVariant DI_Yolvik_ISP1::data(int role) const
{
    if (role == Qt::BackgroundRole) {
        if (!isOnline())
            return QColor(210, 210, 210);
        if (!stateValue("Z1.fActive"))
            return QColor(109, 144, 199);
        return DeviceItem::data(role);
    }
    if (role != DeviceRole::StatusText)
        return DeviceItem::data(role);
    const QString base = DeviceItem::data(role).toString();
    if (!isOnline())
        return base;
    const QString text = tr("Motion: %1, Tilt: %2").arg(m_propShift->valueText(), m_propTilt->valueText());
    return base.isEmpty() ? text : text + QStringLiteral(", ") + base;
}

void DI_Yolvik_ISP1::executeAction(const int &id)
{
    switch (id) {
    case FixateAction:
        fixate();
        break;
    case EnableAction:
        enable();
        break;
    case DisableAction:
        disable();
        break;
    default:
        DeviceItem::executeAction(id);
    }
}

void DI_Yolvik_ISP1::fixate()
{
    SendDataManager::instance()->enqueue({this}, packetBytes({0x00, 0x05, 0x01, 0x02, 0x05, 0x01}));
}

void DI_Yolvik_ISP1::enable()
{
    SendDataManager::instance()->enqueue({this}, packetBytes({0x00, 0x01, 0x01, 0x01}));
}

void DI_Yolvik_ISP1::disable()
{
    SendDataManager::instance()->enqueue({this}, packetBytes({0x00, 0x01, 0x01, 0x00}));
}

void DI_Yolvik_ISP1::writeDeviceConfiguration()
{
    DeviceItem::writeDeviceConfiguration();
}

// ---------------------------------------------------------------- with the reed switch

DeviceDescription DI_Yolvik::description()
{
    DeviceDescription d = describeFamily({16});
    d.fieldNames << QStringLiteral("fAlarm");
    d.titles.added << DeviceKit::TitledKey{QStringLiteral("fAlarm"), tr("Gerkon alarm")};
    return d;
}

DI_Yolvik::DI_Yolvik(const deviceInfo_t &info, bool kastrelMode)
    : DI_Yolvik_ISP1(info, kastrelMode, &DI_Yolvik::description)
{
    const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);
    m_propGerkon = kit.readOnlyEnum(nullptr, tr("Gerkon"), {tr("Normal"), tr("Alarm")});
    m_topProperties << m_propGerkon;
}

void DI_Yolvik::updateState(const deviceInfo_t &info, QByteArray state)
{
    loadState(info, state);
    const bool reedAlarm = stateValue("Z2.fAlarm");
    const bool reedOn = stateValue("Z2.fActive");
    m_enumManager->setValue(m_propGerkon, int(reedAlarm));
    setPropertyLevel(m_propGerkon, DeviceKit::levelWhen(reedAlarm, MarkAlarm));
    m_propGerkon->setEnabled(reedOn);
    m_groupShift->setEnabled(reedOn);

    const quint32 serial = info.serialNumber;
    storeFieldValue(QStringLiteral("YOLVIKfAlarm"), serial, int(reedAlarm));
    storeFieldValue(QStringLiteral("YOLVIKbActiveZone"), serial, int(stateValue("bActiveZone")));
    storeFieldValue(QStringLiteral("Accelerometer"), serial, int(reedOn));
    storeAccelerometer(serial);
    storeFieldValue(QStringLiteral("fAlarm"), serial, int(reedAlarm));

    // The accelerometer's decoding comes last: its group follows byte 1 bit 1.
    DI_Yolvik_ISP1::updateState(info, state);
}

bool DI_Yolvik::hasAlarm() const
{
    return DI_Yolvik_ISP1::hasAlarm() || stateValue("Z2.fAlarm");
}

QVariant DI_Yolvik::data(int role) const
{
    if (role == DeviceRole::ExtraAddresses)
        return 1;
    if (role != DeviceRole::StatusText || !isOnline())
        return DI_Yolvik_ISP1::data(role);
    return tr("Gerkon: %1, %2").arg(m_propGerkon->valueText(), DI_Yolvik_ISP1::data(role).toString());
}

// ---------------------------------------------------------------- reed switch only

DeviceDescription DI_Yolvik_ISP2::description()
{
    DeviceDescription d;
    d.codes = {25};
    d.picture = QStringLiteral("zentar-yolvik.png");
    d.stateBytes = 5;
    d.fieldNames = QStringList{"gpRssi", "gpMainPwr", "gpMainBattery", "rl", "gpCase", "fAlarm"};
    d.titles = DeviceTitles::baseWithout(removedBaseKeys, {{"fAlarm", tr("Gerkon alarm")}});
    return d;
}

DI_Yolvik_ISP2::DI_Yolvik_ISP2(const deviceInfo_t &info, bool kastrelMode)
    : DeviceItem(info, kastrelMode, &DI_Yolvik_ISP2::description)
{
    const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);
    m_propGerkon = kit.readOnlyEnum(nullptr, tr("Gerkon"), {tr("Normal"), tr("Alarm")});
    m_propStatus->removeSubProperty(m_propReserveBattery);
    m_topProperties << m_propGerkon;
}

void DI_Yolvik_ISP2::updateState(const deviceInfo_t &info, QByteArray state)
{
    loadState(info, state);
    const bool reedAlarm = stateValue("Z1.fAlarm");
    m_enumManager->setValue(m_propGerkon, int(reedAlarm));
    setPropertyLevel(m_propGerkon, DeviceKit::levelWhen(reedAlarm, MarkAlarm));
    m_propGerkon->setEnabled(stateValue("Z1.fActive"));
    using namespace LevelRules;
    apply(*this, {{m_propCase, {caseOpen(MarkAlarm)}}, {m_propMainBattery, {batteryLow(MarkFault)}}});
    storeFieldValue(QStringLiteral("fAlarm"), info.serialNumber, int(reedAlarm));
    DeviceItem::updateState(info, state);
}

bool DI_Yolvik_ISP2::hasAlarm() const
{
    return stateValue("Z1.fAlarm") || stateValue("Z0.fAlarm");
}

bool DI_Yolvik_ISP2::hasFault() const
{
    // No online test, as the device's model has it.
    return !stateValue("state.fMainPwr");
}

QVariant DI_Yolvik_ISP2::data(int role) const
{
    if (role != DeviceRole::StatusText)
        return DeviceItem::data(role);
    const QString base = DeviceItem::data(role).toString();
    if (!isOnline() || base == DeviceItem::tr("Normal"))
        return base;
    const QString text = tr("Reed switch: %1").arg(stateValue("Z1.fAlarm") ? tr("Alarm") : tr("Normal"));
    return base.isEmpty() ? text : text + QStringLiteral(", ") + base;
}

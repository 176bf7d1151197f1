#include "di_vuxo_isp1.h"

#include "qtpropertymanager.h"
#include "senddatamanager.h"

#include <QColor>

namespace {
// The service command of each action id 0-8.
const quint8 serviceCommands[] = {0x80, 0x85, 0x86, 0x87, 0x88, 0xC0, 0xC1, 0xC2, 0xC3};

enum SensorState { Powersave = 0, Active = 1, TestMode = 2 };
} // namespace

DeviceDescription DI_Vuxo_ISP1::description()
{
    DeviceDescription d;
    d.codes = {34};
    d.picture = QStringLiteral("zentar-vuxo_isp1.png");
    d.stateBytes = 9;
    d.fieldNames = QStringList{"gpCase",      "gpMainPwr",     "gpMainBattery",  "rl",     "gpRssi",
                               "fAlarm",      "sensorState",   "fInterference",  "btfSensitivity", "fFault"};
    d.titles = DeviceTitles::exactly(DeviceKit::baseTitles({"gpCase", "gpMainPwr", "gpMainBattery", "rl", "gpRssi"})
                                     + DeviceKit::TitledKeys{{"fAlarm", tr("Alarm")},
                                                             {"sensorState", tr("Sensor state")},
                                                             {"fInterference", tr("Interference")},
                                                             {"btfSensitivity", tr("Sensitivity")},
                                                             {"fFault", tr("Sensor fault")}});
    d.features = QList<DeviceKit::FeatureMinimum>{{0, QVersionNumber(1, 4)}};
    return d;
}

DI_Vuxo_ISP1::DI_Vuxo_ISP1(const deviceInfo_t &info, bool kastrelMode)
    : DeviceItem(info, kastrelMode, &DI_Vuxo_ISP1::description)
{
    const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);
    m_groupAcoustic = kit.group(tr("Acoustic sensor"));
    m_propAlarm = kit.readOnlyEnum(m_groupAcoustic, tr("Alarm"), {tr("No alarm"), tr("Alarm"), tr("Failure")});
    m_propSensorState =
        kit.readOnlyEnum(m_groupAcoustic, tr("Sensor state"), {tr("Powersave"), tr("Active"), tr("Test mode")});
    m_propSensitivity = kit.readOnlyEnum(m_groupAcoustic, tr("Sensitivity"),
                                         {tr("Max"), tr("-12 dB"), tr("-6 dB"), tr("-18 dB (min)")});
    // Kept and updated, not shown in the tree.
    m_propDebug = kit.text(nullptr, tr("Debug"));
    m_propDebugState = kit.text(nullptr, tr("Debug State"));
    m_propStatus->removeSubProperty(m_propReserveBattery);
    m_topProperties << m_groupAcoustic;
    m_actions << DeviceAction{7, tr("Disable test mode")} << DeviceAction{8, tr("Enable test mode")};
}

QString DI_Vuxo_ISP1::debugText() const
{
    return m_propDebug->valueText();
}

QString DI_Vuxo_ISP1::debugStateText() const
{
    return m_propDebugState->valueText();
}

void DI_Vuxo_ISP1::updateState(const deviceInfo_t &info, QByteArray state)
{
    loadState(info, state);
    const int command = int(stateValue("Z1.bCommand"));
    const int value = result();
    m_stringManager->setValue(m_propDebugState, QStringLiteral("%1").arg(m_stored[5], 8, 2, QLatin1Char('0')));

    if (testMode())
        m_enumManager->setValue(m_propSensorState, TestMode);
    else if (command == 1 && (value == 0 || value == 1))
        m_enumManager->setValue(m_propSensorState, value == 1 ? Active : Powersave);

    m_enumManager->setValue(m_propSensitivity, int(stateValue("Z1.btfSensitivity"))); // a same value changes nothing

    QString debug;
    switch (command) {
    case 0x00:
        debug = tr("No command");
        break;
    case 0x80:
        debug = tr("Status: %1").arg(value, 16);
        break;
    case 0x85:
        debug = tr("Test: %1").arg(value, 16);
        break;
    case 0x86:
        debug = tr("Cal.: %1").arg(value);
        break;
    case 0x87:
        debug = tr("Cal. 1b: %1").arg(value, 16);
        break;
    case 0x88:
        debug = tr("Cal. 2b: %1").arg(value, 16);
        break;
    case 0xC0:
        debug = tr("Dis. Noise");
        break;
    case 0xC1:
        debug = tr("En. Noise");
        break;
    default:
        break;
    }
    if (debug != m_propDebug->valueText())
        m_stringManager->setValue(m_propDebug, debug);

    setPropertyLevel(m_propCase, DeviceKit::levelWhen(!stateValue("state.fCase"), MarkAlarm));
    setPropertyLevel(m_propMainBattery, DeviceKit::levelWhen(!stateValue("state.fReservPwr"), MarkFault));

    int alarm = 0;
    if (stateValue("Z1.fAlarm"))
        alarm = 1;
    else if (stateValue("Z1.fFail"))
        alarm = 2;
    m_enumManager->setValue(m_propAlarm, alarm);
    setPropertyLevel(m_propAlarm, alarm == 1 ? quint32(MarkAlarm) : alarm == 2 ? quint32(MarkFault) : 0u);

    const quint32 serial = info.serialNumber;
    storeFieldValue(QStringLiteral("sensorState"), serial, testMode() ? int(TestMode) : value == 1 ? 1 : 0);
    storeFieldValue(QStringLiteral("fTest"), serial, int(testMode()));
    storeFieldValue(QStringLiteral("btfSensitivity"), serial, int(stateValue("Z1.btfSensitivity")));
    storeFieldValue(QStringLiteral("fFault"), serial, int(stateValue("Z1.fFault")));
    storeFieldValue(QStringLiteral("fAlarm"), serial, int(stateValue("Z1.fAlarm")));
    storeFieldValue(QStringLiteral("fInterference"), serial, int(stateValue("Z1.fInterference")));

    DeviceItem::updateState(info, state);
}

void DI_Vuxo_ISP1::executeAction(const int &id)
{
    if (id < 0 || id > 8) {
        DeviceItem::executeAction(id);
        return;
    }
    SendDataManager::instance()->enqueue({this}, packetBytes({0x00, 0x05, 0x01, 0x01, serviceCommands[id]}));
}

bool DI_Vuxo_ISP1::hasAlarm() const
{
    return m_info.linkState == 2 && (stateValue("Z1.fAlarm") || !stateValue("state.fCase"));
}

bool DI_Vuxo_ISP1::hasFault() const
{
    return m_info.linkState == 2 && !(stateValue("state.fReservPwr") && stateValue("state.fMainPwr"));
}

QVariant DI_Vuxo_ISP1::data(int role) const
{
    switch (role) {
    case Qt::BackgroundRole:
        if (!isOnline())
            return QColor(210, 210, 210);
        if (testMode())
            return connectionState() == 3 ? QColor(210, 210, 210) : QColor(90, 255, 90);
        if (result() == 0)
            return QColor(109, 144, 199);
        return DeviceItem::data(role);
    case DeviceRole::StatusText: {
        QString text = DeviceItem::data(role).toString();
        if (!isOnline())
            return text;
        const QString separator = QStringLiteral(", ");
        if (testMode())
            text.prepend(tr("Test mode") + separator);
        // The working state is told by byte 7 alone.
        if (result() != 0)
            text.prepend(tr("Sensitivity") + QStringLiteral(": ") + m_propSensitivity->valueText() + separator);
        else
            text.prepend(tr("Powersave") + separator);
        return DeviceKit::statusWithoutEmptyParts(text);
    }
    default:
        return DeviceItem::data(role);
    }
}

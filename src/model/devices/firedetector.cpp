#include "firedetector.h"

#include "senddatamanager.h"
#include "settings.h"
#include "widgetdevicewritesettings.h"

#include <QDebug>
#include <QPointer>
#include <QTimer>

namespace {
int readDelay = 1000;

enum CaseActionId { DisableCaseAction = 0, EnableCaseAction = 1, ToggleCaseAction = 2, TechRunAction = 3 };
} // namespace

FireDetectorItem::FireDetectorItem(const deviceInfo_t &info, bool kastrelMode, DescriptionFn describe)
    : DeviceItem(info, kastrelMode, describe)
{
    m_actions << DeviceAction{TechRunAction, tr("Tech run")};
}

QStringList FireDetectorItem::commonFieldNames()
{
    return {"gpCtrlCase", "gpCase", "gpMainPwr", "gpMainBattery", "reservPwrState", "rl", "gpRssi", "fAlarm", "devState"};
}

DeviceKit::TitledKeys FireDetectorItem::commonTitles()
{
    return {{"gpCtrlCase", tr("Case control")},
            {"gpCase", tr("Case")},
            {"gpMainPwr", tr("Battery state")},
            {"gpMainBattery", tr("Battery voltage")},
            {"reservPwrState", tr("Reserve battery state")},
            {"rl", tr("RL")},
            {"gpRssi", tr("Signal level")},
            {"fAlarm", tr("Alarm")},
            {"devState", tr("State")}};
}

bool FireDetectorItem::firmwareAtLeast(int major, int minor) const
{
    return QVersionNumber::compare(firmwareVersion(), QVersionNumber(major, minor)) >= 0;
}

bool FireDetectorItem::hardwareAtLeast(int major, int minor) const
{
    return QVersionNumber::compare(hardwareVersion(), QVersionNumber(major, minor)) >= 0;
}

void FireDetectorItem::setReadDelay(int ms)
{
    readDelay = ms;
}

bool FireDetectorItem::hasAlarm() const
{
    return m_info.linkState == 2 && stateValue("Z1.fAlarm");
}

bool FireDetectorItem::supplyOrCaseFault() const
{
    return !(stateValue("state.fReservPwr") && stateValue("state.fMainPwr")) || !stateValue("state.fCase");
}

void FireDetectorItem::executeAction(const int &id)
{
    switch (id) {
    case DisableCaseAction:
        disableCase();
        break;
    case EnableCaseAction:
        enableCase();
        break;
    case ToggleCaseAction:
        if (stateValue("state.fCtrlCase"))
            disableCase();
        else
            enableCase();
        break;
    case TechRunAction:
        enableTechRunMode();
        break;
    default:
        DeviceItem::executeAction(id);
    }
}

void FireDetectorItem::addCaseActions()
{
    if (m_caseActionsAdded)
        return;
    m_caseActionsAdded = true;
    if (!caseToggles()) {
        m_actions << DeviceAction{DisableCaseAction, tr("Disable case")} << DeviceAction{EnableCaseAction, tr("Enable case")};
        return;
    }
    m_caseAction = m_actions.size();
    m_actions << DeviceAction{ToggleCaseAction, QString()};
    updateCaseAction();
}

void FireDetectorItem::updateCaseAction()
{
    if (!caseToggles() || m_caseAction < 0)
        return;
    // Found by its id: the RSSI plot entry before it may come and go.
    for (DeviceAction &action : m_actions)
        if (action.id == ToggleCaseAction)
            action.text = stateValue("state.fCtrlCase") ? tr("Disable case") : tr("Enable case");
}

void FireDetectorItem::caseCommand(bool on)
{
    emit sendPacket(packetBytes({PT_DEVICE_EEPROM_WRITE_REQ, deviceId(), 0x3E, 0x00, quint8(on ? 0x01 : 0x00)}),
                    matchPacketType(PT_DEVICE_EEPROM_WRITE_ACK));
    emit sendPacket(packetBytes({PT_REBOOT_DEVICE, deviceId()}), matchPacketType(PT_REBOOT_DEVICE_ACK));
}

void FireDetectorItem::enableCase()
{
    caseCommand(true);
}

void FireDetectorItem::disableCase()
{
    caseCommand(false);
}

void FireDetectorItem::enableTechRunMode()
{
    QByteArray payload = packetBytes({0x00, 0x05, 0x01, 0x03, 0x01});
    payload.append(char(readSetting(QLatin1String(SettingsKey::IndicationTime)).toInt()));
    payload.append(char(readSetting(QLatin1String(SettingsKey::LQITime)).toInt()));
    SendDataManager::instance()->enqueue({this}, payload);
}

void FireDetectorItem::requestAlarmLevel()
{
    if (isAddressResetPending())
        return;
    QPointer<FireDetectorItem> self(this);
    emit sendPacket(packetBytes({PT_GET_RFADDITIONAL_DATA, deviceId()}),
                    [self](const Packet &reply) { return self && self->alarmLevelReply(reply); });
}

void FireDetectorItem::requestAlarmLevelLater()
{
    // The item is the timer's context: a removed item asks nothing.
    QTimer::singleShot(readDelay, this, [this] { requestAlarmLevel(); });
}

bool FireDetectorItem::alarmLevelReply(const Packet &reply)
{
    const quint8 type = packetTypeOf(reply);
    if (type != PT_GET_RFADDITIONAL_DATA_ACK) {
        qWarning().noquote() << wrongReplyTypeText(type);
        return false;
    }
    if (reply.data.size() < alarmLevelReplyBytes()) {
        qWarning().noquote() << QStringLiteral("%1: alarm level reply of %2 bytes, %3 expected")
                                    .arg(deviceId())
                                    .arg(reply.data.size())
                                    .arg(alarmLevelReplyBytes());
        return true;
    }
    alarmLevelReceived(reply.data);
    return true;
}

void FireDetectorItem::sendAlarmLevel(const QByteArray &record, const QString &done)
{
    QByteArray packet = packetBytes({PT_SET_RFADDITIONAL_DATA, deviceId()}) + record.left(RecordBytes);
    packet.append(QByteArray(RecordBytes - qMin(record.size(), RecordBytes), '\0'));
    QPointer<FireDetectorItem> self(this);
    emit sendPacket(packet, [self, done](const Packet &reply) { return self && self->acknowledgement(reply, done); });
}

bool FireDetectorItem::acknowledgement(const Packet &reply, const QString &done)
{
    if (packetTypeOf(reply) != PT_SET_RFADDITIONAL_DATA_ACK) {
        qWarning().noquote() << QStringLiteral("PT_SET_RFADDITIONAL_DATA error: unknown packet");
        return false;
    }
    qDebug().noquote() << done;
    requestAlarmLevelLater();
    setWriteSettingsState(WidgetDeviceWriteSettings::SettingsSaved);
    return true;
}

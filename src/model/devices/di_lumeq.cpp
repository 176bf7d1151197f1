#include "di_lumeq.h"

#include "levelrules.h"
#include "qtpropertymanager.h"
#include "senddatamanager.h"

namespace {
enum Status { Normal = 0, Malfunction = 1, DirtyLens = 2, Attention = 3, Fire = 4, NotResponding = 5 };
// Bytes 5 and 6 of a detector that does not answer its radio module.
constexpr quint16 SilentDetector = 0xADDE;
} // namespace

DeviceDescription DI_Lumeq::description()
{
    DeviceDescription d;
    d.codes = {22};
    d.picture = QStringLiteral("zentar-lumeq.png");
    d.stateBytes = 7;
    d.fieldNames = QStringList{"gpMainPwr", "gpMainBattery", "reservPwrState", "rl",           "gpRssi",
                               "fAlarm",    "sensFailure",   "fDistance",      "fDetectionTime"};
    d.titles = DeviceTitles::exactly(
        DeviceKit::baseTitles({"gpMainPwr", "gpMainBattery"})
        + DeviceKit::TitledKeys{{"reservPwrState", tr("Reserve battery state")}}
        + DeviceKit::baseTitles({"rl", "gpRssi"})
        + DeviceKit::TitledKeys{{"fAlarm", tr("Alarm")},
                                {"sensFailure", tr("Sensor failure")},
                                {"fDistance", tr("Detection distance")},
                                {"fDetectionTime", tr("Detection time")}});
    d.settings = {
        SettingDescription::choice("specRange", tr("Range"), {tr("Long (< 25m)"), tr("Short (< 12m)")},
                                   "Z1.Setting.fDistance")
            .inFiles(),
        SettingDescription::choice("specSpeed", tr("Speed"), {tr("Slow (> 10 s)"), tr("Fast (> 5 s)")},
                                   "Z1.Setting.fDetectionTime")
            .inFiles(),
    };
    // Cell 0x48: bit 0 the range, bit 1 the speed, bits 2-5 set; written at every write.
    d.writes = {SettingWrite::memoryCell(0x48, {"specRange", "specSpeed"}).everyTime().withData([](const QList<int> &v) {
        return QByteArray(1, char(0x3C | (v.value(1) & 1) << 1 | (v.value(0) & 1)));
    })};
    return d;
}

DI_Lumeq::DI_Lumeq(const deviceInfo_t &info, bool kastrelMode) : DeviceItem(info, kastrelMode, &DI_Lumeq::description)
{
    const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);
    QtProperty *range = addSetting(nullptr, QStringLiteral("specRange"));
    QtProperty *speed = addSetting(nullptr, QStringLiteral("specSpeed"));
    m_propStatusIndex = kit.readOnlyEnum(nullptr, tr("Status"),
                                         {tr("Normal"), tr("Malfunction"), tr("Dirty lens"), tr("Attention"), tr("Fire"),
                                          tr("Not responding")});
    m_propStatus->removeSubProperty(m_propCase);
    m_topProperties << range << speed << m_propStatusIndex;
    if (hardwareVersion().majorVersion() >= 1)
        m_actions << DeviceAction{0, tr("Fixate")};
}

void DI_Lumeq::updateState(const deviceInfo_t &info, QByteArray state)
{
    loadState(info, state);
    using namespace LevelRules;
    apply(*this, {{m_propMainBattery, {mainSupplyLost(MarkFault)}}, {m_propReserveBattery, {reserveSupplyLost(MarkFault)}}});

    int status = Normal;
    quint32 level = 0;
    if (m_stored.word(5) == SilentDetector) {
        status = NotResponding;
        level = MarkFault;
    } else if (stateValue("Z1.State.fFire")) {
        status = Fire;
        level = MarkAlarm;
    } else if (stateValue("Z1.State.fAttention")) {
        status = Attention;
    } else if (stateValue("Z1.State.fFail")) {
        status = Malfunction;
        level = MarkFault;
    } else if (stateValue("Z1.State.fDust")) {
        status = DirtyLens;
        level = MarkFault;
    }
    m_enumManager->setValue(m_propStatusIndex, status);
    setPropertyLevel(m_propStatusIndex, level);

    const quint32 serial = info.serialNumber;
    storeFieldValue(QStringLiteral("fAlarm"), serial, int(stateValue("Z1.fAlarm")));
    storeFieldValue(QStringLiteral("sensFailure"), serial, int(stateValue("Z1.State.fFail") || stateValue("Z1.fFail")));
    storeFieldValue(QStringLiteral("fDistance"), serial, int(stateValue("Z1.Setting.fDistance")));
    storeFieldValue(QStringLiteral("fDetectionTime"), serial, int(stateValue("Z1.Setting.fDetectionTime")));

    DeviceItem::updateState(info, state);
}

bool DI_Lumeq::hasAlarm() const
{
    return m_info.linkState == 2 && stateValue("Z1.fAlarm");
}

bool DI_Lumeq::hasFault() const
{
    return m_info.linkState == 2
        && (!(stateValue("state.fReservPwr") && stateValue("state.fMainPwr")) || !stateValue("state.fCase")
            || stateValue("Z1.fFail"));
}

void DI_Lumeq::executeAction(const int &id)
{
    if (id == 0)
        SendDataManager::instance()->enqueue({this}, packetBytes({0x00, 0x05, 0x00, 0x01, 0x05}));
    else
        DeviceItem::executeAction(id);
}

QVariant DI_Lumeq::data(int role) const
{
    if (role == DeviceRole::ClassValue)
        return m_enumManager->value(m_propStatusIndex);
    if (role != DeviceRole::StatusText)
        return DeviceItem::data(role);
    const QString base = DeviceItem::data(role).toString();
    if (!isOnline())
        return base;
    const QString status = m_propStatusIndex->valueText();
    if (base.contains(status))
        return base;
    const QString fire = DeviceItem::tr("Fire");
    if (base.contains(fire) && m_enumManager->value(m_propStatusIndex) == NotResponding) {
        // The base's "Fire" is the silent detector's bit pattern, not a fire.
        QStringList rest = base.split(QStringLiteral(", "));
        rest.removeOne(fire);
        rest.removeAll(QString());
        return rest.isEmpty() ? status : status + QStringLiteral(", ") + rest.join(QStringLiteral(", "));
    }
    return base.isEmpty() ? status : status + QStringLiteral(", ") + base;
}

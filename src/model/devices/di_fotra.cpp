#include "di_fotra.h"

#include "qtpropertymanager.h"
#include "widgetdevicewritesettings.h"

namespace {
// What the measurement database keeps of an output byte: 1 flagged, 2 on,
// 0 off, else the mask number.
int outputValue(quint8 output)
{
    if (DeviceKit::bitOf(output, 6))
        return 1;
    const int mode = output & 0x1F;
    if (mode == 1)
        return 2;
    if (mode == 2)
        return 0;
    return mode;
}

// Reading without state bytes: the supply and output bytes go, the rest stays.
constexpr int zeroedWhenEmpty = 5;
} // namespace

// ---------------------------------------------------------------- DI_Fotra

DeviceDescription DI_Fotra::description()
{
    DeviceDescription d;
    d.codes = {14};
    d.picture = QStringLiteral("zentar-fotra.png");
    d.stateBytes = 8;
    DeviceKit::TitledKeys titles = DeviceKit::baseTitles({"gpCase"});
    titles << DeviceKit::TitledKey{"extLineState", tr("External source")}
           << DeviceKit::baseTitles({"gpMainPwr", "gpMainBattery"})
           << DeviceKit::TitledKey{"multiFunc", tr("Main source")} << DeviceKit::baseTitles({"rl", "gpRssi"})
           << DeviceKit::TitledKeys{{"Zone1fOutActive", tr("Output 1 state")},
                                    {"Zone2fOutActive", tr("Output 2 state")},
                                    {"Zone3btfTrainState", tr("Cable mode", "fotra")},
                                    {"Zone3Mode", tr("Cable state")}};
    d.setTitledFields(titles);
    d.features = QList<DeviceKit::FeatureMinimum>{{0, QVersionNumber(1, 10)}};
    d.settings = {
        SettingDescription::choice("mainSource", tr("Main source"), {tr("Battery"), tr("External")}, "state.fMultiFunc"),
        SettingDescription::choice("enabledCable", tr("Cable mode", "fotra"),
                                   {tr("Disabled"), tr("Button"), tr("Cable")}, QString())
            .inFiles(true)
            .exportedOnly(),
    };
    // Both go to the device at once: the cable mode as a command, the main
    // source into its memory with a restart.
    d.writes = {
        SettingWrite::direct(QByteArray::fromHex("00050301"), {"enabledCable"}),
        SettingWrite::memoryCell(0x49, {"mainSource"}),
    };
    return d;
}

DI_Fotra::DI_Fotra(const deviceInfo_t &info, bool kastrelMode) : DeviceItem(info, kastrelMode, &DI_Fotra::description)
{
    m_cableStates = QStringList{QString(),          tr("Short circuit"), tr("Infringement 1"),
                                tr("Ok"),           tr("Infringement 2"), tr("Cut")};
    const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);
    m_propStatus->removeSubProperty(m_propReserveBattery);
    m_propExternal =
        kit.readOnlyEnum(m_propStatus, tr("External source"), {tr("Unplugged"), tr("Plugged"), tr("Not controlled")});
    addSetting(m_propStatus, QStringLiteral("mainSource"));

    m_groupRelay = kit.group(tr("Relay"));
    m_propOut1 = kit.text(m_groupRelay, tr("Out 1"));
    m_propOut2 = kit.text(m_groupRelay, tr("Out 2"));
    m_propCableMode = addSetting(m_groupRelay, QStringLiteral("enabledCable"));
    m_propCableState = kit.text(nullptr, tr("Cable state"));
    m_topProperties << m_groupRelay;

    setWritePanelText(tr("You can select main power source:<br><b>Place description</b>: here\n"));
}

int DI_Fotra::cableMode() const
{
    const bool oldHardware = QVersionNumber::compare(hardwareVersion(), QVersionNumber(2, 0)) < 0;
    if (oldHardware || m_stored.bit(0, 0))
        return m_stored.bit(1, 3) ? 2 : 1;
    return 0;
}

int DI_Fotra::cableState() const
{
    const int state = m_stored[6] & 0x3F;
    return state > 5 ? 0 : state;
}

std::optional<int> DI_Fotra::deviceSettingValue(const QString &key) const
{
    if (key == QLatin1String("enabledCable"))
        return cableMode();
    return std::nullopt;
}

void DI_Fotra::updateState(const deviceInfo_t &info, QByteArray state)
{
    loadStateKeepingTail(info, state, zeroedWhenEmpty);
    QByteArray &bytes = m_stored.data();
    // With the external source as main supply the device reports bits 5 and
    // 6 of byte 0 the other way round; the base decodes the exchanged byte.
    if (m_stored.bit(0, 1)) {
        const quint8 s0 = quint8(bytes.at(0));
        const quint8 exchanged = quint8((s0 & ~0x60) | ((s0 & 0x20) << 1) | ((s0 & 0x40) >> 1));
        bytes[0] = char(exchanged);
        state = m_stored.bytes();
    }
    const DeviceKit::StateBlock &s = m_stored;

    setPropertyLevel(m_propCase, DeviceKit::levelWhen(!s.bit(0, 7), MarkFault));
    if (QVersionNumber::compare(hardwareVersion(), QVersionNumber(2, 0)) < 0)
        m_groupRelay->removeSubProperty(m_propCableMode);

    const int external = s.bit(0, 1) ? int(s.bit(0, 5)) : 2;
    m_enumManager->setValue(m_propExternal, external);
    setPropertyLevel(m_propExternal, DeviceKit::levelWhen(external == 0, MarkFault));
    setPropertyLevel(m_propMainBattery, DeviceKit::levelWhen(!s.bit(0, 6), MarkFault));

    const DeviceKit::ModeTexts outputs{tr("Off"), tr("On"), tr("Active mask: %1")};
    m_stringManager->setValue(m_propOut1, DeviceKit::modeText(s[4] & 0x1F, outputs));
    m_stringManager->setValue(m_propOut2, DeviceKit::modeText(s[5] & 0x1F, outputs));
    const quint32 serial = info.serialNumber;
    storeFieldValue(QStringLiteral("Zone1fOutActive"), serial, outputValue(s[4]));
    storeFieldValue(QStringLiteral("Zone2fOutActive"), serial, outputValue(s[5]));

    const int mode = cableMode();
    const int cable = cableState();
    if (mode == 2) {
        if (!m_groupRelay->subProperties().contains(m_propCableState))
            m_groupRelay->addSubProperty(m_propCableState);
        m_stringManager->setValue(m_propCableState, m_cableStates.at(cable) + tr(" (%1)").arg(s[7]));
        quint32 level = 0;
        if (cable == 1 || cable == 5)
            level = MarkFault;
        else if (cable == 2 || cable == 4)
            level = MarkAlarm;
        setPropertyLevel(m_propCableState, level);
    } else {
        m_groupRelay->removeSubProperty(m_propCableState);
    }

    storeFieldValue(QStringLiteral("extLineState"), serial, external);
    storeFieldValue(QStringLiteral("Zone3btfTrainState"), serial, mode);
    if (mode == 2)
        storeFieldValue(QStringLiteral("Zone3Mode"), serial, cable);

    DeviceItem::updateState(info, state);
}

bool DI_Fotra::hasAlarm() const
{
    const int cable = cableState();
    return cable == 2 || cable == 4;
}

bool DI_Fotra::hasFault() const
{
    if (!isOnline())
        return false;
    const DeviceKit::StateBlock &s = m_stored;
    const int cable = cableState();
    return !s.bit(0, 6) || !s.bit(0, 7) || cable == 1 || cable == 5 || (s.bit(0, 1) && !s.bit(0, 5));
}

QVariant DI_Fotra::data(int role) const
{
    if (role != DeviceRole::StatusText || !isOnline())
        return DeviceItem::data(role);
    const DeviceKit::StateBlock &s = m_stored;
    QString text = tr("Out 1: %1, Out 2: %2").arg(m_propOut1->valueText(), m_propOut2->valueText());
    if (!s.bit(0, 5))
        text += tr(", External power low");
    else if (!s.bit(0, 6))
        text += QStringLiteral(", ") + tr("Battery unplugged");
    QStringList alarms;
    if (!s.bit(0, 7))
        alarms << tr("Case open");
    if (hasAlarm())
        alarms << tr("Alarm");
    if (alarms.isEmpty())
        alarms << tr("No alarm");
    // The cable's state is read in cable mode only; otherwise it has none to show.
    if (cableMode() == 2 && !m_propCableState->valueText().isEmpty())
        text += QStringLiteral(", ") + tr("Cable: %1, %2").arg(m_propCableState->valueText(), alarms.join(QStringLiteral(", ")));
    else
        text += QStringLiteral(", ") + alarms.join(QStringLiteral(", "));
    return text;
}

// ---------------------------------------------------------------- DI_FotraISP1

DeviceDescription DI_FotraISP1::description()
{
    DeviceDescription d;
    d.codes = {15};
    d.picture = QStringLiteral("zentar-fotra_isp1.png");
    d.stateBytes = 8;
    DeviceKit::TitledKeys titles = DeviceKit::baseTitles({"gpCase"});
    titles << DeviceKit::TitledKeys{{"gpMainPwr", tr("External source")}, {"reservPwrState", tr("Battery state")}}
           << DeviceKit::baseTitles({"gpMainBattery", "rl", "gpRssi"})
           << DeviceKit::TitledKeys{{"Zone1fOutActive", tr("Output 1 state")}, {"Zone2fOutActive", tr("Output 2 state")}};
    d.setTitledFields(titles);
    d.features = QList<DeviceKit::FeatureMinimum>{{0, QVersionNumber(1, 13)}};
    return d;
}

DI_FotraISP1::DI_FotraISP1(const deviceInfo_t &info, bool kastrelMode)
    : DeviceItem(info, kastrelMode, &DI_FotraISP1::description)
{
    const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);
    m_propMainBattery->setPropertyName(tr("Main power"));
    m_enumManager->setEnumNames(m_propMainBattery, {tr("Off"), tr("Off"), tr("Plugged")});
    m_propReserveBattery->setPropertyName(tr("Battery status"));
    m_groupRelay = kit.group(tr("Relay"));
    m_propOut1 = kit.text(m_groupRelay, tr("Out 1 state"));
    m_propOut2 = kit.text(m_groupRelay, tr("Out 2 state"));
    m_topProperties << m_groupRelay;
}

void DI_FotraISP1::updateState(const deviceInfo_t &info, QByteArray state)
{
    loadStateKeepingTail(info, state, zeroedWhenEmpty);
    const DeviceKit::StateBlock &s = m_stored;

    setPropertyLevel(m_propCase, DeviceKit::levelWhen(!s.bit(0, 7), MarkFault));
    setPropertyLevel(m_propMainBattery, DeviceKit::levelWhen(!s.bit(0, 6), MarkFault));
    setPropertyLevel(m_propReserveBattery, DeviceKit::levelWhen(!s.bit(0, 5), MarkFault));

    // Mains present with no supply byte: the base shows a supply all the same.
    if (s[3] == 0 && s.bit(0, 6)) {
        if (state.size() < 4)
            state.append(QByteArray(4 - state.size(), '\0'));
        state[3] = 1;
    }

    const DeviceKit::ModeTexts outputs{tr("Off"), tr("On"), tr("Active mask: %1")};
    const auto outputText = [&outputs](quint8 output) {
        return DeviceKit::bitOf(output, 5) ? DeviceKit::modeText(output & 0x1F, outputs) : outputs.off;
    };
    m_stringManager->setValue(m_propOut1, outputText(s[4]));
    m_stringManager->setValue(m_propOut2, outputText(s[5]));
    storeFieldValue(QStringLiteral("Zone1fOutActive"), info.serialNumber, outputValue(s[4]));
    storeFieldValue(QStringLiteral("Zone2fOutActive"), info.serialNumber, outputValue(s[5]));

    DeviceItem::updateState(info, state);
}

bool DI_FotraISP1::hasFault() const
{
    const DeviceKit::StateBlock &s = m_stored;
    return isOnline() && (!s.bit(0, 5) || !s.bit(0, 6) || !s.bit(0, 7));
}

QVariant DI_FotraISP1::data(int role) const
{
    if (role != DeviceRole::StatusText || !isOnline())
        return DeviceItem::data(role);
    return DeviceKit::statusWithoutEmptyParts(tr("Out 1: %1, Out 2: %2, %3")
        .arg(m_propOut1->valueText(), m_propOut2->valueText(), DeviceItem::data(role).toString()));
}

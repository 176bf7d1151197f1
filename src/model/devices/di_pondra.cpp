#include "di_pondra.h"

#include "qtpropertymanager.h"
#include "senddatamanager.h"
#include "signtest.h"
#include "supplytexts.h"

#include <array>

namespace {
constexpr int WallFeature = 1000;
const std::array<quint8, 3> brightnessLevels{10, 50, 100};

bool lit(int mode)
{
    return mode != 0 && mode != 2;
}

// The case and wall byte: bit 0 case open, bit 1 detached from the wall.
bool caseOpen(quint8 caseAndWall)
{
    return caseAndWall & 0x01;
}
bool detached(quint8 caseAndWall)
{
    return caseAndWall & 0x02;
}
} // namespace

// ---------------------------------------------------------------- DI_Pondra

QString DI_Pondra::signText(bool failed, int mode)
{
    if (failed)
        return tr("Fail");
    return DeviceKit::modeText(mode, {tr("Off"), tr("On"), tr("Mask active: %1")});
}

int DI_Pondra::signValue(bool failed, int mode)
{
    if (failed)
        return 1;
    if (mode == 1)
        return 2;
    return lit(mode) ? mode : 0;
}

DeviceDescription DI_Pondra::description()
{
    DeviceDescription d;
    d.codes = {20};
    d.picture = QStringLiteral("zentar-pondra.png");
    d.stateBytes = 8;
    DeviceKit::TitledKeys titles = DeviceKit::baseTitles({"gpMainPwr", "gpMainBattery"});
    titles << DeviceKit::TitledKey{"reservPwrState", tr("Reserv battery state")}
           << DeviceKit::baseTitles({"rl", "gpRssi"}) << DeviceKit::TitledKey{"outMask", tr("Display")};
    d.setTitledFields(titles);
    d.features = QList<DeviceKit::FeatureMinimum>{{0, QVersionNumber(1, 12)}};
    d.settings = {SettingDescription::choice("wallControl", tr("Wall Control"), {tr("Off"), tr("On")}, QString())};
    d.writes = {SettingWrite::queued(QByteArray::fromHex("00050101"), {"wallControl"})};
    return d;
}

DI_Pondra::DI_Pondra(const deviceInfo_t &info, bool kastrelMode)
    : DeviceItem(info, kastrelMode, &DI_Pondra::description), m_test(new SignTest(this))
{
    const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);
    if (hasFeature(WallFeature)) {
        m_propCaseState =
            kit.readOnlyEnum(m_propStatus, tr("Condition of the case"), {tr("Case is closed"), tr("Case is open")});
        m_propDetached = kit.readOnlyEnum(m_propStatus, tr("Detachment from the wall"), {tr("Normal"), tr("Detached")});
        addSetting(m_propStatus, QStringLiteral("wallControl"));
    }
    m_propSign = kit.text(nullptr, tr("Emergency sign"));
    m_topProperties << m_propSign;
    m_propStatus->removeSubProperty(m_propCase);
    m_actions << SignTest::actions();
}

bool DI_Pondra::hasFeature(int feature) const
{
    if (feature == WallFeature)
        return QVersionNumber::compare(hardwareVersion(), QVersionNumber(3, 0)) >= 0;
    return isFeatureSupported(feature);
}

std::optional<int> DI_Pondra::deviceSettingValue(const QString &key) const
{
    if (key == QLatin1String("wallControl"))
        return m_stored[6];
    return std::nullopt;
}

void DI_Pondra::updateState(const deviceInfo_t &info, QByteArray state)
{
    loadState(info, state);
    const DeviceKit::StateBlock &s = m_stored;
    setPropertyLevel(m_propMainBattery, DeviceKit::levelWhen(!s.bit(0, 6), MarkFault));
    setPropertyLevel(m_propReserveBattery, DeviceKit::levelWhen(!s.bit(0, 5), MarkFault));

    if (hasFeature(WallFeature)) {
        const int open = caseOpen(s[7]);
        const int away = detached(s[7]);
        m_enumManager->setValue(m_propCaseState, open);
        setPropertyLevel(m_propCaseState, DeviceKit::levelWhen(open, MarkFault));
        m_enumManager->setValue(m_propDetached, away);
        setPropertyLevel(m_propDetached, DeviceKit::levelWhen(away && s[6] != 0, MarkFault));
    }

    const bool failed = s.bit(4, 6);
    const int mode = s[5] & 0x1F;
    m_stringManager->setValue(m_propSign, signText(failed, mode));
    m_test->onReading(lit(mode));

    const quint32 serial = info.serialNumber;
    storeFieldValue(QStringLiteral("fFail"), serial, int(failed));
    storeFieldValue(QStringLiteral("fAlarm"), serial, int(s.bit(4, 7)));
    storeFieldValue(QStringLiteral("outMask"), serial, signValue(failed, mode));

    DeviceItem::updateState(info, state);
}

bool DI_Pondra::hasFault() const
{
    const DeviceKit::StateBlock &s = m_stored;
    return isOnline() && (!(s.bit(0, 5) && s.bit(0, 6)) || s[7] != 0);
}

QVariant DI_Pondra::data(int role) const
{
    if (role != DeviceRole::StatusText || !isOnline())
        return DeviceItem::data(role);
    return DeviceKit::statusWithoutEmptyParts(
        tr("Display: %1, %2").arg(m_propSign->valueText(), DeviceItem::data(role).toString()));
}

void DI_Pondra::executeAction(const int &id)
{
    if (id == SignTest::StartAction)
        startTesting();
    else if (id == SignTest::EndAction)
        endTesting();
    else
        DeviceItem::executeAction(id);
}

void DI_Pondra::startTesting()
{
    m_test->start();
}

void DI_Pondra::endTesting()
{
    m_test->end();
}

void DI_Pondra::turnOn()
{
    SignTest::turnOn(this);
}

void DI_Pondra::turnOff()
{
    SignTest::turnOff(this);
}

void DI_Pondra::enableWallControl(int state)
{
    SendDataManager::instance()->enqueue({this}, QByteArray::fromHex("00050101") + char(state));
}

// ---------------------------------------------------------------- DI_Pondra_24_220

quint8 DI_Pondra_24_220::brightnessLevel(int index)
{
    return index >= 0 && index < int(brightnessLevels.size()) ? brightnessLevels[index] : brightnessLevels[2];
}

DeviceDescription DI_Pondra_24_220::description()
{
    DeviceDescription d;
    d.codes = {49, 50};
    d.picture = QStringLiteral("zentar-pondra.png");
    d.stateBytes = 16;
    DeviceKit::TitledKeys titles{{"bWallControl", tr("Wall control")},
                                 {"stateCase", tr("Case")},
                                 {"stateWall", tr("Wall")},
                                 {"bExtState", tr("Extern line state")},
                                 {"wExtVoltage", tr("External source voltage")},
                                 {"bBatteryState", tr("Battery state")},
                                 {"wBatteryVoltage", tr("Battery voltage")}};
    titles << DeviceKit::baseTitles({"rl", "gpRssi"})
           << DeviceKit::TitledKeys{{"outMask", tr("Board state")}, {"bBrightness", tr("Brightness")}};
    d.setTitledFields(titles);
    d.features = QList<DeviceKit::FeatureMinimum>{{0, QVersionNumber(1, 1)}};
    // Only the mains sign's entries in configuration files carry them.
    d.settings = {
        SettingDescription::choice("brightness", tr("Brightness"), {tr("Minimum"), tr("Medium"), tr("Maximum")},
                                   QString())
            .inFiles()
            .onlyForCodes({50}),
        SettingDescription::choice("wallControl", tr("Wall Control"), {tr("Off"), tr("On")}, "bWallControl")
            .inFiles()
            .onlyForCodes({50}),
    };
    d.writes = {
        SettingWrite::queued(QByteArray::fromHex("00050101"), {"brightness"}).withData([](const QList<int> &values) {
            return QByteArray(1, char(brightnessLevel(values.value(0))));
        }),
        SettingWrite::queued(QByteArray(), {"wallControl"}).withData([](const QList<int> &values) {
            return DeviceKit::wallControlPayload(values.value(0) != 0);
        }),
    };
    return d;
}

DI_Pondra_24_220::DI_Pondra_24_220(const deviceInfo_t &info, bool kastrelMode)
    : DI_AbstractRepeater(info, kastrelMode, &DI_Pondra_24_220::description), m_test(new SignTest(this))
{
    m_batteryNames = SupplyTexts::batteryStates(false);
    m_lineNames = QStringList{tr("Not detected"), tr("Ok"), tr("Low", "External"), tr("High")};
    const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);
    m_propMainBatteryVoltage->setPropertyName(tr("Internal voltage"));
    for (QtProperty *property : {m_propMainBattery, m_propMainBatteryVoltage, m_propReserveBattery})
        m_propStatus->removeSubProperty(property);
    m_propCaseState =
        kit.readOnlyEnum(m_propStatus, tr("Condition of the case"), {tr("Case is closed"), tr("Case is open")});
    m_propDetached = kit.readOnlyEnum(m_propStatus, tr("Detachment from the wall"), {tr("Normal"), tr("Detached")});
    m_propBrightness = addSetting(m_propStatus, QStringLiteral("brightness"));
    addSetting(m_propStatus, QStringLiteral("wallControl"));
    m_propSign = kit.text(nullptr, tr("Emergency sign"));
    m_topProperties << m_propSign;
    m_propStatus->removeSubProperty(m_propCase);

    m_groupPower = kit.group(tr("Power", "Supply"));
    m_propLine = kit.readOnlyEnum(m_groupPower, tr("External source"), m_lineNames);
    if (deviceType() == 50)
        m_propLineVoltage = kit.text(m_groupPower, tr("Voltage", "External"));
    m_propBattery = kit.readOnlyEnum(m_groupPower, tr("Battery"), m_batteryNames);
    m_propBatteryVoltage = kit.text(m_groupPower, tr("Voltage", "Battery"));
    m_propStatus->addSubProperty(m_groupPower);
    m_actions << SignTest::actions();
}

std::optional<int> DI_Pondra_24_220::deviceSettingValue(const QString &key) const
{
    if (key != QLatin1String("brightness"))
        return std::nullopt;
    // The device reports the level it runs at; the last level near it wins,
    // none near it leaves the editor alone.
    std::optional<int> index;
    for (int i = 0; i < int(brightnessLevels.size()); ++i)
        if (qAbs(int(brightnessLevels[i]) - int(m_stored[13])) < 25)
            index = i;
    return index;
}

bool DI_Pondra_24_220::isPropertyChanged(QtProperty *property) const
{
    if (property == m_propBrightness)
        return brightnessLevel(settingValue(QStringLiteral("brightness"))) != m_stored[13];
    return DI_AbstractRepeater::isPropertyChanged(property);
}

void DI_Pondra_24_220::updateState(const deviceInfo_t &info, QByteArray state)
{
    loadState(info, state);
    const DeviceKit::StateBlock &s = m_stored;
    const int battery = s[8];
    const int line = s[9];
    const int lineVoltage = s.word(4);
    const int batteryVoltage = s.word(6);

    // Only the states that count as a fault colour the row.
    m_enumManager->setValue(m_propBattery, battery);
    setPropertyLevel(m_propBattery, DeviceKit::levelWhen(battery == 0 || battery == 1 || battery == 5, MarkFault));
    m_enumManager->setValue(m_propLine, DeviceKit::lineStateShown(line, lineVoltage));
    setPropertyLevel(m_propLine, DeviceKit::levelWhen(DeviceKit::lineAbsentAsLow(line, lineVoltage), MarkFault));

    const int open = caseOpen(s[15]);
    const int away = detached(s[15]);
    m_enumManager->setValue(m_propCaseState, open);
    setPropertyLevel(m_propCaseState, DeviceKit::levelWhen(open, MarkFault));
    m_enumManager->setValue(m_propDetached, away);
    setPropertyLevel(m_propDetached, DeviceKit::levelWhen(away && wallControlOn(), MarkFault));

    const QString volts = tr("%1 V");
    m_stringManager->setValue(m_propBatteryVoltage, DeviceKit::oneDecimal(volts, batteryVoltage, 1000));
    if (m_propLineVoltage) {
        m_stringManager->setValue(m_propLineVoltage, DeviceKit::oneDecimal(volts, lineVoltage, 1000));
        m_stringManager->setValue(m_propMainBatteryVoltage, DeviceKit::oneDecimal(volts, lineVoltage, 1000));
    }

    const bool failed = s.bit(10, 6);
    const int mode = s[12] & 0x1F;
    setPropertyLevel(m_propSign, DeviceKit::levelWhen(failed, MarkFault));
    m_stringManager->setValue(m_propSign, DI_Pondra::signText(failed, mode));
    m_test->onReading(lit(mode));

    const quint32 serial = info.serialNumber;
    storeFieldValue(QStringLiteral("bExtState"), serial, line);
    storeFieldValue(QStringLiteral("wExtVoltage"), serial, lineVoltage);
    storeFieldValue(QStringLiteral("bBatteryState"), serial, battery);
    storeFieldValue(QStringLiteral("wBatteryVoltage"), serial, batteryVoltage);
    storeFieldValue(QStringLiteral("bWallControl"), serial, int(s[14]));
    storeFieldValue(QStringLiteral("stateCase"), serial, open);
    storeFieldValue(QStringLiteral("stateWall"), serial, away);
    storeFieldValue(QStringLiteral("outMask"), serial, DI_Pondra::signValue(failed, mode));

    // The brightness is recorded as the editor shows it once the device's
    // value has reached it.
    DeviceItem::updateState(info, state);
    storeFieldValue(QStringLiteral("bBrightness"), serial, brightness());
}

bool DI_Pondra_24_220::hasFault() const
{
    const DeviceKit::StateBlock &s = m_stored;
    const bool caseOrWall = wallControlOn() ? s[15] != 0 : s[15] == 1;
    const int battery = s[8];
    return caseOrWall || !(s.bit(0, 5) && s.bit(0, 6)) || battery == 0 || battery == 1 || battery == 5
        || DeviceKit::lineAbsentAsLow(s[9], s.word(4));
}

QVariant DI_Pondra_24_220::data(int role) const
{
    if (role != DeviceRole::StatusText || !isOnline())
        return DI_AbstractRepeater::data(role);
    const DeviceKit::StateBlock &s = m_stored;
    QStringList parts{tr("Display: %1").arg(m_propSign->valueText())};
    if (caseOpen(s[15]))
        parts << tr("Case open");
    if (s[9] != 1)
        parts << tr("External power: %1")
                     .arg(DeviceKit::nameAt(m_lineNames, DeviceKit::lineStateShown(s[9], s.word(4))));
    if (s[8] != 3)
        parts << tr("Battery: %1").arg(DeviceKit::nameAt(m_batteryNames, s[8]));
    if (wallControlOn() && detached(s[15]))
        parts << tr("Break away from the wall");
    return parts.join(QStringLiteral(", "));
}

void DI_Pondra_24_220::executeAction(const int &id)
{
    if (id == SignTest::StartAction)
        startTesting();
    else if (id == SignTest::EndAction)
        endTesting();
    else
        DI_AbstractRepeater::executeAction(id);
}

void DI_Pondra_24_220::startTesting()
{
    m_test->start();
}

void DI_Pondra_24_220::endTesting()
{
    m_test->end();
    turnOff();
}

void DI_Pondra_24_220::turnOn()
{
    SignTest::turnOn(this);
}

void DI_Pondra_24_220::turnOff()
{
    SignTest::turnOff(this);
}

void DI_Pondra_24_220::setBrightness(int level)
{
    SendDataManager::instance()->enqueue({this}, QByteArray::fromHex("00050101") + char(brightnessLevel(level)));
}

void DI_Pondra_24_220::enableWallControl()
{
    SendDataManager::instance()->enqueue({this}, DeviceKit::wallControlPayload(true));
}

void DI_Pondra_24_220::disableWallControl()
{
    SendDataManager::instance()->enqueue({this}, DeviceKit::wallControlPayload(false));
}

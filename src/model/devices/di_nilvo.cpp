#include "di_nilvo.h"

#include "meterexchange.h"
#include "messageboxes.h"
#include "qtpropertymanager.h"
#include "senddatamanager.h"
#include "widgetdevicewritesettings.h"

#include <QColor>
#include <QDebug>
#include <QPointer>

namespace {
int keepAliveInterval = 30000;
int readDelay = 1000;

// The number a counter text starts with ("12 imp"); 0 for "Reading".
int leadingNumber(const QString &text)
{
    bool ok = false;
    const int value = text.section(QLatin1Char(' '), 0, 0).toInt(&ok);
    return ok ? value : 0;
}
} // namespace

DeviceDescription DI_Nilvo::description()
{
    DeviceDescription d;
    d.codes = {13};
    d.picture = QStringLiteral("zentar-nilvap.png");
    d.stateBytes = 7;
    d.fieldNames = QStringList{"workMode",   "gpCase",     "gpMainPwr",     "gpMainBattery", "rl",
                               "gpRssi",     "sensorCntType", "sensorSpeed", "Zone1fFail",    "Zone1State",
                               "Zone1Value", "Zone2fFail", "Zone2State",    "Zone2Value",    "Zone3fAlarm"};
    d.titles = DeviceTitles::baseWithout({"gpUndef", "multiFunc", "reservPwrState", "gpAlarm", "gpCtrlCase", "gpMainPwr",
                                          "gpActiveZone"},
                                         {{"gpMainPwr", tr("Battery state", "nilvo2")},
                                          {"workMode", tr("Work mode")},
                                          {"sensorCntType", tr("Sensor counter mode")},
                                          {"sensorSpeed", tr("Sensor speed mode")},
                                          {"Zone1fFail", tr("Input 1 fault")},
                                          {"Zone1State", tr("Input 1 state")},
                                          {"Zone1Value", tr("Input 1 and 3 value")},
                                          {"Zone2fFail", tr("Input 2 fault")},
                                          {"Zone2State", tr("Input 2 state")},
                                          {"Zone2Value", tr("Input 2 value")},
                                          {"Zone3fAlarm", tr("Input 3 alarm")}});
    // The class follows the device in its editors itself (no state field):
    // the work mode and the counter type are derived from several bits.
    d.settings = {
        SettingDescription::choice("workMode", tr("Work mode"),
                                   {tr("Water counter"), tr("Water counter + leak detector"), tr("Heat counter")},
                                   QString())
            .inFiles(),
        SettingDescription::choice("inputMode", tr("Counter mode", "nilvo"), {tr("Relay"), tr("NAMUR")}, QString())
            .inFiles(),
        SettingDescription::choice("speedMode", tr("Speed mode"),
                                   {tr("300 iph"), tr("500 iph"), tr("3000 iph"), tr("5000 iph")}, QString())
            .inFiles(),
    };
    return d;
}

void DI_Nilvo::setTimings(int keepAliveIntervalMs, int readDelayMs)
{
    keepAliveInterval = keepAliveIntervalMs;
    readDelay = readDelayMs;
}

DI_Nilvo::DI_Nilvo(const deviceInfo_t &info, bool kastrelMode) : DeviceItem(info, kastrelMode, &DI_Nilvo::description)
{
    const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);
    m_groupSettings = kit.group(tr("Settings"));
    m_propWorkMode = addSetting(m_groupSettings, QStringLiteral("workMode"));
    m_propCounterMode = addSetting(m_groupSettings, QStringLiteral("inputMode"));
    m_propSpeedMode = addSetting(m_groupSettings, QStringLiteral("speedMode"));

    const QStringList inputStates{tr("Ok"), tr("Cut"), tr("Short circuit"), tr("Unknown")};
    const QString groupNames[3] = {tr("Input 1"), tr("Input 2"), tr("Input 3")};
    for (int i = 0; i < 3; ++i) {
        m_groupInput[i] = kit.group(groupNames[i]);
        m_propState[i] = kit.readOnlyEnum(m_groupInput[i], tr("State"),
                                          i < 2 ? inputStates
                                                : QStringList{tr("No alarm"), tr("Alarm"), tr("Failure"), tr("Unknown")});
        m_propCounter[i] = kit.text(m_groupInput[i], tr("Counter"));
        m_stringManager->setValue(m_propCounter[i], tr("Reading"));
        m_counterTexts << tr("Reading");
    }

    m_propStatus->removeSubProperty(m_propMainBattery);
    m_propStatus->removeSubProperty(m_propReserveBattery);
    m_propBattery = kit.readOnlyEnum(m_propStatus, tr("Main battery state"), {tr("Low"), tr("Good")});
    m_propInterval = kit.readOnlyEnum(m_propStatus, tr("Transmit interval"), {tr("60 min"), tr("30 sec")});
    m_topProperties << m_groupSettings << m_groupInput[0] << m_groupInput[1] << m_groupInput[2];

    setWritePanelText(
        tr("You can customize device behaviour:<br>Counter type:<ul><li><b>Relay</b> - w\\o sc and cut "
           "protection</li><li><b>NAMUR</b> - w\\ SC and cut protection</li></ul><b>Leak detector</b>: enable or "
           "disable external leak detector<br>"));

    connect(&m_keepAliveTimer, &QTimer::timeout, this, &DI_Nilvo::keepAlive);
    m_keepAliveTimer.start(keepAliveInterval);
    keepAlive();
}

// ---------------------------------------------------------------- device values

bool DI_Nilvo::inUse(int input) const
{
    switch (input) {
    case 1:
        return stateValue("Z1.fActive");
    case 2:
        return stateValue("Z2.fActive");
    case 3:
        return stateValue("Z3.fActive");
    default:
        return false;
    }
}

int DI_Nilvo::deviceWorkMode() const
{
    if (inUse(3))
        return WaterAndLeak;
    return heatSetUp() ? HeatCounter : WaterCounter;
}

int DI_Nilvo::deviceCounterType() const
{
    int type = 3;
    if (inUse(1))
        type = int(stateValue("Z1.btfCntType"));
    if (inUse(2))
        type = int(stateValue("Z2.btfCntType"));
    return type;
}

quint32 DI_Nilvo::count(int index) const
{
    return MeterExchange::le32(m_counterBlock, index == 0 ? 2 : 6);
}

// ---------------------------------------------------------------- keep-alive and counters

void DI_Nilvo::keepAlive()
{
    SendDataManager::instance()->enqueue({this}, MeterExchange::keepAlivePayload());
    QTimer::singleShot(readDelay, this, &DI_Nilvo::readCounters); // bound to the item: gone with it
}

void DI_Nilvo::readCounters()
{
    if (isAddressResetPending() || isConfigurationChanged())
        return;
    QPointer<DI_Nilvo> self(this);
    const int address = this->address();
    emit sendPacket(MeterExchange::counterRequest(deviceId()), [self, address](const Packet &reply) {
        if (packetTypeOf(reply) != PT_GET_RFADDITIONAL_DATA_ACK) {
            qWarning() << address << "NOT PT_GET_RFADDITIONAL_DATA_ACK";
            return false;
        }
        return self ? self->onCounterReply(reply) : true;
    });
}

bool DI_Nilvo::onCounterReply(const Packet &reply)
{
    const QByteArray block = MeterExchange::counterBlock(reply, BlockSize, address());
    if (block.isEmpty())
        return true;
    const quint32 count1 = MeterExchange::le32(block, 2);
    const quint32 count2 = MeterExchange::le32(block, 6);
    if (count1 != count(0) || count2 != count(1)) {
        m_counterBlock = block;
        emitDataChanged();
    }
    if (heatSetUp()) {
        m_stringManager->setValue(m_propCounter[2], tr("%1 imp").arg(count1));
        m_stringManager->setValue(m_propCounter[0], tr("Reading"));
        m_stringManager->setValue(m_propCounter[1], tr("Reading"));
    } else if (!m_editsPending) {
        m_stringManager->setValue(m_propCounter[0], tr("%1 imp").arg(count1));
        m_stringManager->setValue(m_propCounter[1], tr("%1 imp").arg(count2));
    } else {
        qWarning() << address() << "Maybe something is wrong";
    }
    for (int i = 0; i < 3; ++i)
        m_counterTexts[i] = m_propCounter[i]->valueText();
    emit updated(this);
    return true;
}

void DI_Nilvo::setCounterTexts(const QString &text)
{
    for (QtProperty *counter : m_propCounter)
        m_stringManager->setValue(counter, text);
}

// ---------------------------------------------------------------- tree layout

void DI_Nilvo::showRow(QtProperty *group, QtProperty *property, bool shown)
{
    const QList<QtProperty *> present = group->subProperties();
    if (present.contains(property) == shown)
        return;
    if (!shown) {
        group->removeSubProperty(property);
        return;
    }
    // Back in its place of the group's design order.
    QList<QtProperty *> design{m_propWorkMode, m_propCounterMode, m_propSpeedMode};
    for (int i = 0; i < 3; ++i)
        if (group == m_groupInput[i])
            design = {m_propState[i], m_propCounter[i]};
    QtProperty *after = nullptr;
    for (QtProperty *p : design) {
        if (p == property)
            break;
        if (present.contains(p))
            after = p;
    }
    group->insertSubProperty(property, after);
}

void DI_Nilvo::applyWaterLayout(bool statesShown)
{
    if (!m_settingsNotLoaded) {
        showRow(m_groupSettings, m_propCounterMode, true);
        showRow(m_groupSettings, m_propSpeedMode, true);
    }
    for (int i = 0; i < 2; ++i) {
        showRow(m_groupInput[i], m_propState[i], statesShown);
        showRow(m_groupInput[i], m_propCounter[i], true);
        m_groupInput[i]->setEnabled(true);
    }
    showRow(m_groupInput[2], m_propCounter[2], false);
}

void DI_Nilvo::applyLayout(int workMode, int counter)
{
    switch (workMode) {
    case WaterCounter:
        applyWaterLayout(counter != 0 && counter != 2);
        m_groupInput[2]->setEnabled(false);
        showRow(m_groupInput[2], m_propState[2], false);
        break;
    case WaterAndLeak:
        applyWaterLayout(counter != 0);
        m_groupInput[2]->setEnabled(true);
        showRow(m_groupInput[2], m_propState[2], true);
        m_enumManager->setValue(m_propState[2], 3);
        break;
    case HeatCounter:
        showRow(m_groupSettings, m_propCounterMode, false);
        showRow(m_groupSettings, m_propSpeedMode, false);
        for (int i = 0; i < 2; ++i) {
            m_groupInput[i]->setEnabled(false);
            showRow(m_groupInput[i], m_propState[i], false);
            showRow(m_groupInput[i], m_propCounter[i], false);
        }
        m_groupInput[2]->setEnabled(true);
        showRow(m_groupInput[2], m_propCounter[2], true);
        showRow(m_groupInput[2], m_propState[2], false);
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------- settings

void DI_Nilvo::loadEditors(int workMode, int counterType)
{
    m_editEnumManager->setValue(m_propWorkMode, workMode);
    m_editEnumManager->setValue(m_propCounterMode, counterType - 1);
    m_editEnumManager->setValue(m_propSpeedMode, speed());
    setPropertyLevel(m_propSpeedMode, DeviceKit::levelWhen(speed() > 1, MarkFault));
}

void DI_Nilvo::clearEditorMarks()
{
    for (QtProperty *editor : {m_propWorkMode, m_propCounterMode, m_propSpeedMode})
        setPropertyModified(editor, false);
}

bool DI_Nilvo::isConfigurationChanged() const
{
    const int w = workMode();
    if (!inUse(3) && heatSetUp() && w == HeatCounter)
        return false;
    return inputMode() != deviceCounterType() - 1 || speedMode() != speed() || w != deviceWorkMode();
}

void DI_Nilvo::onPropertyChanged(QtProperty *property, bool userEdit)
{
    // Only the user's edit lays the tree out and marks the inputs unknown.
    const bool saved = m_judgingUserEdit;
    m_judgingUserEdit = userEdit;
    DeviceItem::onPropertyChanged(property, userEdit);
    m_judgingUserEdit = saved;
}

bool DI_Nilvo::isPropertyChanged(QtProperty *property) const
{
    if (property != m_propWorkMode && property != m_propCounterMode && property != m_propSpeedMode)
        return false;
    if (!m_judgingUserEdit)
        return isConfigurationChanged();
    return const_cast<DI_Nilvo *>(this)->judgeEdit(property);
}

bool DI_Nilvo::judgeEdit(QtProperty *property)
{
    const int value = m_editEnumManager->value(property);
    if (property == m_propCounterMode) {
        applyLayout(m_rememberedWorkMode, value);
        m_rememberedCounter = m_rememberedWorkMode == HeatCounter ? 2 : value;
    } else if (property == m_propWorkMode) {
        applyLayout(value, m_rememberedCounter);
        m_rememberedWorkMode = value;
        if (value == deviceWorkMode()) {
            for (int i = 0; i < 3; ++i)
                m_stringManager->setValue(m_propCounter[i],
                                          m_counterTexts.at(i).isEmpty() ? tr("Unknown") : m_counterTexts.at(i));
        }
    }

    if (property == m_propWorkMode && !inUse(3) && heatSetUp() && value == HeatCounter) {
        m_configurationClean = true;
        clearEditorMarks();
        return false;
    }
    if (isConfigurationChanged()) {
        m_editsPending = true;
        for (int i = 0; i < 3; ++i) {
            m_enumManager->setValue(m_propState[i], 3);
            m_stringManager->setValue(m_propCounter[i], tr("Unknown"));
            setPropertyLevel(m_propState[i], 0);
            setPropertyLevel(m_groupInput[i], 0);
        }
        return true;
    }
    m_configurationClean = true;
    m_editsPending = false;
    clearEditorMarks();
    return false;
}

void DI_Nilvo::writeDeviceConfiguration()
{
    // The boxes run while the device may go away.
    QPointer<DI_Nilvo> self(this);
    if (!awake()) {
        const int answer = MeterExchange::askPowerSave(
            tr("This means settings saving can take a long time up to several hours. If you want to wake up device "
               "you should tap case button.\nSave changes?"),
            QMessageBox::Ok | QMessageBox::Cancel);
        if (!self || answer != QMessageBox::Ok)
            return;
        setWritePanelMaximum(7200);
    } else {
        setWritePanelMaximum(90);
    }
    if (speedMode() > 1 && workMode() != HeatCounter) {
        showWarningMessage(tr("It is recommended to set the polling rate to 300 or 500 imp/hour."), tr("Warning!"));
        if (!self)
            return;
    }

    const quint8 counterMode = quint8(inputMode());
    const QByteArray settings =
        packetBytes({quint8(workMode()), counterMode, counterMode, 0x00, quint8(speedMode())});
    QByteArray request = packetBytes({PT_DEVICE_EEPROM_WRITE_REQ, deviceId()});
    if (m_propWorkMode->isModified()) {
        // A new work mode starts the three pulse counters from zero.
        request += packetBytes({0x48, 0x00}) + QByteArray(12, '\0') + settings;
        setCounterTexts(tr("Reading"));
    } else {
        request += packetBytes({0x54, 0x00}) + settings;
    }
    emit sendPacket(request, matchPacketType(PT_DEVICE_EEPROM_WRITE_ACK));
    emit sendPacket(packetBytes({PT_REBOOT_DEVICE, deviceId()}), matchPacketType(PT_REBOOT_DEVICE_ACK));
    DeviceItem::writeDeviceConfiguration();
}

// ---------------------------------------------------------------- state

void DI_Nilvo::updateState(const deviceInfo_t &info, QByteArray state)
{
    loadState(info, state);
    setPropertyLevel(m_propCase, DeviceKit::levelWhen(!stateValue("state.fCase"), MarkFault));
    setPropertyLevel(m_propBattery, DeviceKit::levelWhen(!stateValue("state.fMainPwr"), MarkFault));
    m_enumManager->setValue(m_propBattery, int(stateValue("state.fMainPwr")));
    m_enumManager->setValue(m_propInterval, int(awake()));

    const quint8 inputs = quint8(stateValue("bActiveZone"));
    if (inputs == 0) {
        m_settingsNotLoaded = true;
        DeviceItem::updateState(info, state);
        return;
    }
    const int m = deviceWorkMode();
    const int t = deviceCounterType();

    if (m_settingsNotLoaded) {
        applyLayout(m, t - 1);
        loadEditors(m, t);
        m_editsPending = false;
        m_rememberedInputs = inputs;
    } else if (inputs != m_rememberedInputs) {
        // The device's inputs changed (a write took effect): only the editors follow.
        m_rememberedInputs = inputs;
        loadEditors(m, t);
        return;
    } else if (isConfigurationChanged()) {
        // The user's edits, and the inputs shown unknown, stay.
        DeviceItem::updateState(info, state);
        return;
    } else {
        m_editsPending = false;
        applyLayout(m, t - 1);
        m_rememberedInputs = inputs;
        if (writeSettingsState() == WidgetDeviceWriteSettings::WritingSettings) {
            qDebug().noquote() << QStringLiteral("Finished applying settings to the Zentar-NILVO2");
            setWriteSettingsState(WidgetDeviceWriteSettings::NoChanges);
            setCounterTexts(tr("Reading"));
            emit updateProperties(this);
            return;
        }
        if (m_propWorkMode->isModified() && workMode() == m)
            setPropertyModified(m_propWorkMode, false);
        if (t != 3 && inUse(3)) {
            const int alarm = int(stateValue("Z3.fAlarm"));
            m_enumManager->setValue(m_propState[2], alarm);
            setPropertyLevel(m_propState[2], DeviceKit::levelWhen(alarm, MarkAlarm));
        }
        if (m_propCounterMode->isModified()) {
            m_editEnumManager->setValue(m_propCounterMode, m_rememberedCounter);
            setPropertyModified(m_propCounterMode, false);
        }
        if (m_propSpeedMode->isModified() && speedMode() == speed())
            setPropertyModified(m_propSpeedMode, false);
    }

    decodeInputs(t);
    recordFields(info.serialNumber, m, t);
    DeviceItem::updateState(info, state);
}

void DI_Nilvo::decodeInputs(int counterType)
{
    const auto decode = [this, counterType](int i, const char *cut, const char *shortCircuit) {
        const bool faulty = stateValue(cut) || stateValue(shortCircuit);
        m_enumManager->setValue(m_propState[i], int(stateValue(cut) + 2 * stateValue(shortCircuit)));
        const quint32 level = DeviceKit::levelWhen(counterType == 2 && faulty, MarkFault);
        setPropertyLevel(m_groupInput[i], level);
        setPropertyLevel(m_propState[i], level);
    };
    if (counterType == 3) {
        const quint32 level = DeviceKit::levelWhen(stateValue("Z1.fAlarm"), MarkAlarm);
        setPropertyLevel(m_groupInput[2], level);
        setPropertyLevel(m_propCounter[2], level);
        for (int i = 0; i < 2; ++i) {
            setPropertyLevel(m_groupInput[i], 0);
            setPropertyLevel(m_propState[i], 0);
        }
    } else {
        decode(0, "Z1.fCut", "Z1.fShortCircuit");
    }
    if (inUse(2))
        decode(1, "Z2.fCut", "Z2.fShortCircuit");
    if (inUse(3)) {
        const quint32 level = DeviceKit::levelWhen(stateValue("Z3.fAlarm"), MarkAlarm);
        setPropertyLevel(m_groupInput[2], level);
        setPropertyLevel(m_propCounter[2], level);
    } else {
        setPropertyLevel(m_groupInput[2], 0);
    }
    m_settingsNotLoaded = false;
}

void DI_Nilvo::recordFields(quint32 serial, int workMode, int counterType)
{
    const auto store = [this, serial](const char *key, qint64 value) {
        storeFieldValue(QLatin1String(key), serial, int(value));
    };
    const bool heat = heatSetUp();
    store("workMode", workMode);
    store("sensorSpeed", speed());
    store("sensorCntType", counterType);
    store("Zone1Value", leadingNumber(m_counterTexts.at(heat ? 2 : 0)));
    if (!heat)
        store("Zone2Value", leadingNumber(m_counterTexts.at(1)));
    if (inUse(1)) {
        if (counterType != 3)
            store("Zone1btfSpeed", stateValue("Z1.btfSpeed"));
        store("Zone1btfCntType", stateValue("Z1.btfCntType"));
        if (counterType == 2)
            store("Zone1State", stateValue("Z1.fCut") + 2 * stateValue("Z1.fShortCircuit"));
        store("Zone1fFail", stateValue("Z1.fFail"));
        store("Zone1fAlarm", stateValue("Z1.fAlarm"));
    }
    if (inUse(2)) {
        store("Zone2btfSpeed", stateValue("Z2.btfSpeed"));
        store("Zone2btfCntType", stateValue("Z2.btfCntType"));
        if (counterType == 2)
            store("Zone2State", stateValue("Z2.fCut") + 2 * stateValue("Z2.fShortCircuit"));
        store("Zone2fFail", stateValue("Z2.fFail"));
        store("Zone2fAlarm", stateValue("Z2.fAlarm"));
    }
    if (inUse(3))
        store("Zone3fAlarm", stateValue("Z3.fAlarm"));
}

// ---------------------------------------------------------------- flags and texts

bool DI_Nilvo::isFeatureSupported(int feature) const
{
    return feature == 0 && awake() && QVersionNumber::compare(firmwareVersion(), QVersionNumber(1, 18)) >= 0;
}

bool DI_Nilvo::hasAlarm() const
{
    return (inUse(1) && stateValue("Z1.fAlarm")) || (inUse(2) && stateValue("Z2.fAlarm"))
        || (inUse(3) && stateValue("Z3.fAlarm"));
}

bool DI_Nilvo::hasFault() const
{
    if (!stateValue("state.fMainPwr") || !stateValue("state.fCase"))
        return true;
    const auto faulty = [this](const char *fail, const char *type, const char *cut, const char *shortCircuit) {
        return stateValue(fail) || (stateValue(type) == 2 && (stateValue(cut) || stateValue(shortCircuit)));
    };
    return (inUse(1) && faulty("Z1.fFail", "Z1.btfCntType", "Z1.fCut", "Z1.fShortCircuit"))
        || (inUse(2) && faulty("Z2.fFail", "Z2.btfCntType", "Z2.fCut", "Z2.fShortCircuit"))
        || (inUse(3) && stateValue("Z3.fFail"));
}

QString DI_Nilvo::addressText() const
{
    const int a = wiredAddress();
    if (a == 0)
        return tr("Not assigned");
    if (!inUse(1) && !inUse(2) && !inUse(3))
        return QString::number(a);
    const auto shown = [](int address) {
        return address >= 128 ? QStringLiteral("*") : QString::number(address);
    };
    QString text;
    if (inUse(1))
        text = QString::number(a);
    if (inUse(2))
        text += QStringLiteral(", ") + shown(a + 1);
    if (inUse(3))
        text += QStringLiteral(", ") + shown(a + 2);
    return text;
}

QVariant DI_Nilvo::data(int role) const
{
    switch (role) {
    case DeviceRole::StatusText: {
        const QString base = DeviceItem::data(role).toString();
        if (!isOnline())
            return base;
        const bool namur = stateValue("Z1.btfCntType") == 2;
        const auto suffix = [this, namur](int i) {
            return namur ? QStringLiteral(" (%1)").arg(m_propState[i]->valueText()) : QString();
        };
        const QString interval =
            tr("Transmit interval") + QStringLiteral(": ") + (awake() ? tr("30 sec") : tr("60 min"));
        QString text;
        if (!inUse(1))
            text = tr("Error");
        else if (inUse(2) && inUse(3))
            text = tr("Input 1: %1%4, Input2: %2%5, sensor: %3, %6")
                       .arg(m_propCounter[0]->valueText(), m_propCounter[1]->valueText(), m_propState[2]->valueText(),
                            suffix(0), suffix(1), interval);
        else if (inUse(2))
            text = tr("Input 1: %1%3, Input2: %2%4, %5")
                       .arg(m_propCounter[0]->valueText(), m_propCounter[1]->valueText(), suffix(0), suffix(1),
                            interval);
        else
            text = tr("Input 3: %1, %2").arg(m_propCounter[2]->valueText(), interval);

        const QString alarm = QStringLiteral(", ") + tr("Alarm");
        const QString baseTail = QStringLiteral(", ") + base;
        if (inUse(3)) {
            if (!stateValue("state.fMainPwr") || !stateValue("state.fCase"))
                text += baseTail;
            else if (hasAlarm())
                text += alarm;
        } else if (hasFault()) {
            text += baseTail;
        } else {
            text += hasAlarm() ? alarm : baseTail;
        }
        return DeviceKit::statusWithoutEmptyParts(text);
    }
    case DeviceRole::ClassValue:
        return uint(count(0));
    case DeviceRole::Value2:
        return uint(count(1));
    case DeviceRole::ClassFlag:
        return int(awake());
    case Qt::BackgroundRole:
        if (connectionState() != 2)
            return QColor(210, 210, 210);
        if (hasAlarm())
            return QColor(255, 180, 180);
        if (hasFault())
            return QColor(255, 234, 173);
        if (awake())
            return QColor(90, 255, 90);
        return DeviceItem::data(role);
    default:
        return DeviceItem::data(role);
    }
}

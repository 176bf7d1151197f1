#include "hubroitem.h"

#include "actionopeners.h"
#include "appglobals.h"
#include "configurationexporter.h"
#include "configurationimporter.h"
#include "devicekit.h"
#include "hubrostatus.h"
#include "masterjson.h"
#include "messageboxes.h"
#include "qtpropertymanager.h"
#include "settings.h"
#include "settingsresetprocess.h"
#include "uiseams.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QMessageBox>

#include <cstring>

namespace {

HubroItem::Timings &currentTimings()
{
    static HubroItem::Timings timings;
    return timings;
}

// The device-info record of the master's own row: device number 255 and the
// master's wired address; the rest follows each status record.
deviceInfo_t ownRecord(const hubroInfo_t &info, bool kastrelMode)
{
    deviceInfo_t record;
    record.radioAddress = 255;
    if (kastrelMode)
        record.kastrelAddress = info.bKastrelAddr;
    else
        record.wireloopAddress = info.bWireloopAddr;
    return record;
}

// Record of the master's external flash in device updates.
deviceInfo_t flashRecord()
{
    deviceInfo_t record;
    record.radioAddress = 254;
    record.firmwareVersion = 0x0100;
    record.hardwareVersion = 0x0100;
    record.wireloopAddress = 1;
    record.deviceType = 45;
    record.linkState = 2;
    return record;
}

QString plainVersion(const QVersionNumber &version)
{
    return QStringLiteral("%1.%2").arg(version.majorVersion()).arg(version.minorVersion());
}

// The parameter pairs (key, title) of the master, in order.
DeviceKit::TitledKeys masterTitles()
{
    return {
        {QStringLiteral("bCaseState"), HubroItem::tr("Case")},
        {QStringLiteral("wHeapFree"), HubroItem::tr("Free RAM memory left")},
        {QStringLiteral("btfRFMode"), HubroItem::tr("Radio mode")},
        {QStringLiteral("channelGroup"), HubroItem::tr("Channel group")},
        {QStringLiteral("btfRFCurr"), HubroItem::tr("Radio channel")},
        {QStringLiteral("btfRecommended"), HubroItem::tr("Recomended channel")},
        {QStringLiteral("RFNoise"), HubroItem::tr("Noise")},
        {QStringLiteral("wExchangeInterval"), HubroItem::tr("Lost interval")},
        {QStringLiteral("fPowerAdjustment"), HubroItem::tr("Power adjustment")},
        {QStringLiteral("wPowerMain"), HubroItem::tr("Main power")},
        {QStringLiteral("wPowerBackup"), HubroItem::tr("Reserve power")},
        {QStringLiteral("fWireloopPowerDisable"), HubroItem::tr("WIRELOOP power mode")},
        {QStringLiteral("wPowerWireloop"), HubroItem::tr("WIRELOOP power")},
        {QStringLiteral("fPswE"), HubroItem::tr("Password enabled")},
    };
}

} // namespace

void HubroItem::setTimings(const Timings &timings)
{
    currentTimings() = timings;
}

HubroItem::Timings HubroItem::timings()
{
    return currentTimings();
}

// ---------------------------------------------------------------- construction

HubroItem::HubroItem(const hubroInfo_t &info, bool kastrelMode)
    : DI_AbstractRepeater(ownRecord(info, kastrelMode), kastrelMode, &HubroItem::description)
{
    registerPacketMetaTypes();
    registerNearbyMasterInfoMetaType();

    std::memcpy(&m_info, &info, sizeof m_info);
    adjustMasterType(m_info);
    m_initialInfo = m_info;
    m_intervals = HubroStatus::lossDetectionChoices(m_info.bDevType, kastrelMode);

    const Timings t = currentTimings();
    QTimer::singleShot(t.compatibilityCheck, this, &HubroItem::checkFirmwareCompatibility);
    connect(&m_refreshTimer, &QTimer::timeout, this, &HubroItem::requestStatus);
    connect(&m_nearbyTimer, &QTimer::timeout, this, &HubroItem::requestNearbyInfo);
    connect(&m_uploadTimer, &QTimer::timeout, this, &HubroItem::mk1HeaderRead);
    m_clockTimer.setSingleShot(true);
    connect(&m_clockTimer, &QTimer::timeout, this, &HubroItem::setClock);
    m_nearbyTimer.setInterval(t.nearby);
    m_refreshTimer.setInterval(t.refresh);
    m_uploadTimer.setInterval(t.upload);

    DeviceKit::showPicture(this, QStringLiteral("zentar-hubro32.png"));

    buildMasterProperties(m_info);
    buildActions();
    m_flashItem = std::make_unique<DeviceItem>(flashRecord(), false);

    connect(this, &HubroItem::connected, this, &HubroItem::startupStep);
    const hubroInfo_t record = m_info;
    QTimer::singleShot(0, this, [this, record] { loginStep(record); });
}

HubroItem::~HubroItem()
{
    // The restart question may still run its own event loop.
    if (m_reconnectPrompt)
        m_reconnectPrompt->done(QMessageBox::No);
}

QtProperty *HubroItem::makeTextRow(const QString &name, QtProperty *group)
{
    QtProperty *property = m_stringManager->addProperty(name);
    if (group)
        group->addSubProperty(property);
    return property;
}

void HubroItem::buildMasterProperties(const hubroInfo_t &info)
{
    const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);

    m_propHardware = makeTextRow(tr("Hardware revision"));
    m_propFirmwareGroup = kit.group(tr("Firmware information"));
    m_propCoreFirmware = makeTextRow(tr("Core firmware"), m_propFirmwareGroup);
    m_propRadioFirmware = makeTextRow(tr("Radio firmware"), m_propFirmwareGroup);
    m_propUploadedFirmware = makeTextRow(tr("Uploaded WD Firmware"), m_propFirmwareGroup);
    m_propBackupCore = makeTextRow(tr("Backup core firmware"), m_propFirmwareGroup);
    m_propBackupRadio = makeTextRow(tr("Backup radio firmware"), m_propFirmwareGroup);
    m_propBaseCore = makeTextRow(tr("Base core firmware"), m_propFirmwareGroup);

    QStringList intervalNames;
    for (const int seconds : qAsConst(m_intervals))
        intervalNames << QString::number(seconds) + tr(" s");
    m_propInterval = kit.editableEnum(nullptr, tr("Interval"), intervalNames);
    m_propPowerAdjustment = kit.editableEnum(nullptr, tr("Power adjustment"), {tr("Disabled"), tr("Enabled")});
    if (info.modules.bluetooth)
        m_propBluetooth = kit.editableEnum(nullptr, tr("Bluetooth"), {tr("Off"), tr("On")});
    m_propFreeMemory = makeTextRow(tr("Free memory left"));
    m_propStackUsage = makeTextRow(tr("Stack usage %"));
    m_propTaskName = makeTextRow(tr("Task name"));

    m_channelIsText = HubroStatus::isOlderMaster(info);
    if (m_channelIsText) {
        m_propChannel = makeTextRow(tr("Radio channel"));
    } else {
        QStringList channels;
        for (const int channel : HubroStatus::groupChannels(HubroStatus::channelGroup(info))) {
            if (channel == HubroStatus::AutoChannel)
                channels << tr("auto");
            else if (channel == HubroStatus::DynamicChannel)
                channels << tr("dynamic");
            else
                channels << QString::number(channel);
        }
        m_propChannel = kit.editableEnum(nullptr, tr("Radio channel"), channels);
    }
    m_propRecommended = makeTextRow(tr("Recomended channel"));
    m_propNoise = makeTextRow(tr("Radio noise"));

    m_propPowerGroup = kit.group(tr("Power"));
    m_propMainPower = makeTextRow(tr("Main power"), m_propPowerGroup);
    m_propReservePower = makeTextRow(tr("Reserve power"), m_propPowerGroup);
    m_propWireloopPower = makeTextRow(tr("WIRELOOP power"), m_propPowerGroup);

    m_wireloopSupplyEditable = HubroStatus::wireloopAsSupply(info).editable;
    if (m_wireloopSupplyEditable)
        m_propWireloopSupply = kit.editableEnum(nullptr, tr("WIRELOOP as supply"), {tr("Deny"), tr("Allow")});
    else
        m_propWireloopSupply = kit.readOnlyEnum(nullptr, tr("WIRELOOP as supply"), {tr("No"), tr("Yes")});

    m_topProperties = {m_propWdType, m_propSerial, m_propWiredAddress, m_propCase, m_propHardware,
                       m_propFirmwareGroup, m_propInterval, m_propPowerAdjustment};
    if (m_propBluetooth)
        m_topProperties << m_propBluetooth;
    m_topProperties << m_propFreeMemory << m_propStackUsage << m_propTaskName << m_propChannel << m_propRecommended
                    << m_propNoise << m_propPowerGroup << m_propWireloopSupply;
}

void HubroItem::buildActions()
{
    m_actions.clear();
    if (m_info.bDevType == 0 && m_info.bHWVer < 7)
        qDebug().noquote() << QStringLiteral("Plot noise unsupported");
    else
        m_actions.append(DeviceAction{PlotNoiseAction, tr("Plot noise")});
    // Every master keeps a log: the first model its short error log in
    // EEPROM, the others an event log; every master lists its task stacks.
    m_actions.append(DeviceAction{LogReaderAction, m_info.bDevType == 0 ? tr("Read error log") : tr("Read event log")});
    m_actions.append(DeviceAction{StackUsageAction, tr("Task stack usage")});
    if (supportsFeature(11))
        m_actions.append(DeviceAction{ChannelGroupAction, tr("Set channel group")});
    // Last, away from the readers: the window asks before it erases.
    m_actions.append(DeviceAction{EraseFlashAction, tr("Erase flash")});
}

void HubroItem::removeLiveOnlyRows()
{
    for (QtProperty *row : {m_propFreeMemory, m_propStackUsage, m_propTaskName})
        m_topProperties.removeAll(row);
}

// ---------------------------------------------------------------- login and start-up

void HubroItem::loginStep(const hubroInfo_t &record)
{
    if (isViewingMode()) {
        removeLiveOnlyRows();
    } else {
        m_connectionState = DeviceOnline;
    }
    // A configuration file has no master to log in to.
    if (record.Options.fPswE && !isViewingMode()) {
        qDebug().noquote() << QStringLiteral("hubroInfo.Options.fPswE =") << int(record.Options.fPswE);
        loginWithPassword();
        return;
    }
    emit connected();
    updateHubroItem(record);
}

void HubroItem::startupStep()
{
    const Timings t = currentTimings();
    const bool firmwareKnown = m_info.wMK2FWVer != 0;
    if (firmwareKnown) {
        m_uploadTimer.setInterval(t.upload);
        m_uploadTimer.start();
        QTimer::singleShot(t.currentStatus, this, &HubroItem::requestCurrentStatus);
        QTimer::singleShot(t.firmwareHeaders, this, [this] {
            if (isOnline())
                readUploadedFirmwareHeaders();
        });
    }
    // The first start-up decodes the record the item was built with; a later
    // connected() (after a password removal) keeps the live record.
    if (!m_startupDone) {
        m_startupDone = true;
        m_info = m_initialInfo;
    }
    updateHubroItem(m_info);
    if (firmwareKnown)
        m_refreshTimer.start();
}

void HubroItem::setConnection(ConnectionType type)
{
    m_connectionType = type;
}

bool HubroItem::hasCheckByte() const
{
    return HubroStatus::replyHasCheckByte(m_connectionType);
}

int HubroItem::replySize(const Packet &reply) const
{
    return HubroStatus::replySize(reply.data, hasCheckByte());
}

// ---------------------------------------------------------------- the status record

void HubroItem::updateHubroItem(const hubroInfo_t &record)
{
    hubroInfo_t incoming = record;
    adjustMasterType(incoming);

    const bool changed = std::memcmp(&incoming, &m_info, sizeof incoming) != 0;
    if (changed) {
        const int oldMode = m_info.Options.btfRFMode;
        const int newMode = incoming.Options.btfRFMode;
        m_info = incoming;
        m_configurationMode = newMode == 1 ? 1 : 0;
        if (oldMode != newMode) {
            if (oldMode == 2)
                emit channelScanFinished();
            else if (newMode == 1)
                emit configStateChanged(true);
            else if (newMode == 0)
                emit configStateChanged(false);
            else
                emit channelScanStarted();
        }
    }

    m_masterJson = masterToJson(m_info, m_info.bDevType != 0);

    if (!isViewingMode() && HubroStatus::clockNeedsSetting(m_info, QDateTime::currentSecsSinceEpoch())
        && !m_clockTimer.isActive())
        m_clockTimer.start(currentTimings().clockSet);

    writeDeviceRecord();
    updateTypeRow();
    updateChannelRows();
    updateIdentityRows();
    updateIntervalRow();
    if (isViewingMode()) {
        qDebug().noquote() << QStringLiteral("It's a viewing mode");
    } else {
        const int seconds = HubroStatus::lossDetectionSeconds(m_info);
        if (m_intervals.contains(seconds))
            m_warnedInterval = -1;
        else if (m_info.wMK2FWVer != 0 && !m_intervalWarningOpen && seconds != m_warnedInterval)
            warnInvalidInterval(seconds);
    }
    // A configuration file's master shows its settings too.
    updateSettingRows();
    updatePowerRows();
    refreshPropertyBrowser();

    if (changed) {
        storeMeasurements();
        emit updated(this);
    }
    emit enableAction(true);
}

void HubroItem::writeDeviceRecord()
{
    if (kastrelMode())
        DeviceItem::m_info.kastrelAddress = m_info.bKastrelAddr;
    else
        DeviceItem::m_info.wireloopAddress = m_info.bWireloopAddr;
    DeviceItem::m_info.radioAddress = 255;
    // Online (also as read from a file): the row's own status text then
    // reads from the state bytes below, not "Connection lost".
    const bool shown = connectionState() == DeviceOnline || connectionState() == DeviceFromFile;
    DeviceItem::m_info.linkState = shown ? DeviceOnline : DeviceNotOnline;
    // State byte 0: no alarm (bit 4), main and reserve power good (bits 5, 6),
    // case closed (bit 7); no alarm bit in byte 2 and no failure bit in byte 4.
    m_stateBytes[0] = quint8((m_stateBytes[0] & 0x0F) | 0x70 | (m_info.bCaseState == 0 ? 0x80 : 0));
    m_stateBytes[2] &= 0x3F;
    m_stateBytes[4] &= 0x3F;
}

void HubroItem::updateTypeRow()
{
    const int type = deviceType();
    QStringList names = m_enumManager->enumNames(m_propWdType);
    if (type >= names.size()) {
        for (int code = names.size(); code <= type; ++code)
            names << deviceTypeName(code);
        m_enumManager->setEnumNames(m_propWdType, names);
    }
    m_enumManager->setValue(m_propWdType, type);
}

void HubroItem::updateChannelRows()
{
    const int index = HubroStatus::channelChoiceIndex(m_info);
    if (m_channelIsText) {
        const QString text = HubroStatus::isOlderMaster(m_info)
            ? HubroStatus::olderChannelText(m_info)
            : HubroStatus::channelChoiceTexts(m_info).value(index);
        m_stringManager->setValue(m_propChannel, text);
    } else {
        const QStringList texts = HubroStatus::channelChoiceTexts(m_info);
        if (m_editEnumManager->enumNames(m_propChannel) != texts) {
            m_editEnumManager->setEnumNames(m_propChannel, texts);
            m_editEnumManager->setEnumIcons(m_propChannel, DeviceKit::pencilIcons(texts.size()));
        }
        if (index >= 0)
            m_editEnumManager->setValue(m_propChannel, index);
    }

    const int current = HubroStatus::currentChannel(m_info);
    const int recommended = HubroStatus::recommendedChannel(m_info);
    m_stringManager->setValue(m_propRecommended, QStringLiteral("%1").arg(recommended));
    setPropertyModified(m_propRecommended, recommended != current);

    m_stringManager->setValue(m_propNoise, HubroStatus::noiseText(m_info));
    setPropertyLevel(m_propNoise, DeviceKit::levelWhen(HubroStatus::hasInterference(m_info), MarkAlarm));
}

void HubroItem::updateIdentityRows()
{
    m_stringManager->setValue(m_propSerial, HubroStatus::serialText(m_info));
    m_stringManager->setValue(m_propWiredAddress, HubroStatus::addressText(m_info, kastrelMode()));
    m_enumManager->setValue(m_propCase, HubroStatus::isCaseOpen(m_info) ? 0 : 1);
    setPropertyLevel(m_propCase, DeviceKit::levelWhen(HubroStatus::isCaseOpen(m_info), MarkAlarm));

    m_stringManager->setValue(m_propHardware, plainVersion(hardwareVersion()));
    m_stringManager->setValue(m_propCoreFirmware, HubroStatus::coreFirmwareText(m_info));
    m_stringManager->setValue(m_propRadioFirmware,
                              m_radioFirmwareText.isEmpty()
                                  ? HubroStatus::versionText(HubroStatus::radioFirmwareVersion(m_info))
                                  : m_radioFirmwareText);
    m_stringManager->setValue(m_propFreeMemory, HubroStatus::freeMemoryText(m_info));
}

void HubroItem::updateIntervalRow()
{
    const int seconds = HubroStatus::lossDetectionSeconds(m_info);
    const int index = m_intervals.indexOf(seconds);
    if (m_propInterval && index >= 0)
        m_editEnumManager->setValue(m_propInterval, index);

    if (!appSettings.value(QLatin1String(SettingsKey::LossInterval), false).toBool())
        return;
    const int wanted = appSettings.value(QLatin1String(SettingsKey::LossIntervalValue)).toInt();
    if (!m_intervals.contains(wanted) || wanted == seconds)
        return;
    // Once per value and master reading: the master keeps reporting its old
    // interval until it restarts.
    const int writeKey = wanted * 100000 + seconds;
    if (writeKey == m_writtenInterval)
        return;
    m_writtenInterval = writeKey;
    qDebug().noquote() << QStringLiteral("need to update writeInterval=") << wanted;
    writeInterval(wanted);
}

void HubroItem::warnInvalidInterval(int seconds)
{
    m_intervalWarningOpen = true;
    m_warnedInterval = seconds;
    // Out of the reply callback that found it; a refresh while the box is open
    // neither opens another nor writes again.
    QTimer::singleShot(0, this, [this, seconds] {
        const QPointer<HubroItem> self(this);
        showWarningDetails(tr("%1 sec is incorrect interval. 180 seconds will be set").arg(seconds),
                           tr("Attempt to write invalid configuration data"), tr("Warning"));
        if (!self)
            return;
        const int index = m_intervals.indexOf(180);
        if (m_propInterval && index >= 0)
            m_editEnumManager->setValue(m_propInterval, index);
        writeInterval(180);
        m_intervalWarningOpen = false;
    });
}

void HubroItem::updateSettingRows()
{
    m_editEnumManager->setValue(m_propPowerAdjustment, m_info.Options.fPowerAdjustment);
    if (m_propBluetooth && !m_busy) {
        const int on = m_info.Options.fRestricted ? 0 : 1;
        qDebug().noquote() << QStringLiteral("HubroItem::updateHubroItem btVal=") << on;
        m_editEnumManager->setValue(m_propBluetooth, on);
    }
    const int supply = wireloopAsSupplyValue();
    if (m_wireloopSupplyEditable)
        m_editEnumManager->setValue(m_propWireloopSupply, supply);
    else
        m_enumManager->setValue(m_propWireloopSupply, supply);
}

void HubroItem::updatePowerRows()
{
    const int supply = wireloopAsSupplyValue();
    m_stringManager->setValue(m_propMainPower, HubroStatus::supplyText(m_info.wPowerMain));
    setPropertyLevel(m_propMainPower, DeviceKit::levelWhen(HubroStatus::mainSupplyFailed(m_info, supply), MarkFault));
    m_stringManager->setValue(m_propReservePower, HubroStatus::supplyText(m_info.wPowerBackup));
    setPropertyLevel(m_propReservePower,
                     DeviceKit::levelWhen(HubroStatus::reserveSupplyFailed(m_info, supply), MarkFault));
    const HubroStatus::SupplyReading wireloop = HubroStatus::wireloopSupply(m_info.wPowerWireloop);
    m_stringManager->setValue(m_propWireloopPower, wireloop.text);
    setPropertyLevel(m_propWireloopPower, DeviceKit::levelWhen(wireloop.failed, MarkFault));
}

void HubroItem::storeMeasurements()
{
    const QList<QPair<QString, QVariant>> values = HubroStatus::measuredValues(m_info);
    for (const auto &value : values)
        storeFieldValue(m_info.dwSerialId, value.first, value.second);
}

int HubroItem::wireloopAsSupplyValue() const
{
    return HubroStatus::wireloopAsSupply(m_info).value;
}

void HubroItem::setPropertyText(const QString &text)
{
    m_radioFirmwareText = text;
    m_stringManager->setValue(m_propRadioFirmware, text);
}

void HubroItem::applyIntervalProperty()
{
    const QString value = appSettings.value(QLatin1String(SettingsKey::Interval)).toString();
    if (!m_propIntervalText)
        m_propIntervalText = makeTextRow(tr("Interval"));
    m_stringManager->setValue(m_propIntervalText, QString::number(value.toInt()));
    if (m_propInterval) {
        const int row = m_topProperties.indexOf(m_propInterval);
        if (row >= 0)
            m_topProperties[row] = m_propIntervalText;
        delete m_propInterval;
        m_propInterval = nullptr;
    }
    emit updateProperties(this);
}

void HubroItem::checkFirmwareCompatibility()
{
    if (isViewingMode()) {
        qDebug().noquote() << QStringLiteral("Skip fw compatibility()");
        return;
    }
    // Only the minor number counts, as masters in the field expect.
    const int minor = m_info.wMK2FWVer & 0xFF;
    if (minor == 0)
        UiSeams::showNonModalMessage(QMessageBox::Critical, tr("Firmware is broken!"), tr("Critical!"), nullptr,
                                     tr("Need to update your device firmware!"));
    else if (minor < 12)
        UiSeams::showNonModalMessage(QMessageBox::Warning, tr("Your device version is outdated!"), tr("Warning!"),
                                     nullptr,
                                     tr("Some features such as setting device address are unavailable. It is strongly "
                                        "recommended to update your device firmware!"));
}

// ---------------------------------------------------------------- device item operations

bool HubroItem::isFeatureSupported(int feature) const
{
    return HubroStatus::isFeatureSupported(m_info, feature);
}

DeviceDescription HubroItem::description()
{
    DeviceDescription d;
    d.codes = {1};
    d.listedCodes = masterDeviceTypes;
    d.fieldNames = HubroStatus::measuredKeys();
    d.titles = DeviceTitles::exactly(masterTitles());
    return d;
}

bool HubroItem::prepareDisconnect()
{
    if (!isNearbyDetectionActive())
        return true;
    const int answer = askUser(tr("To ensure optimal performance \"Nearby master detection\" mode need to be "
                                  "disabled before disconnecting"),
                               tr("Press Ignore to disconnect without disabling"), tr("Warning"),
                               QMessageBox::Ok | QMessageBox::Ignore, QMessageBox::Ok, QMessageBox::Ok);
    return answer == QMessageBox::Ignore;
}

int HubroItem::deviceType() const
{
    return m_info.bDevType;
}

QString HubroItem::typeName() const
{
    if (kastrelMode())
        return tr("Zentar-TROMBEL");
    return DeviceItem::typeName();
}

QString HubroItem::toolTip() const
{
    const int address = kastrelMode() ? m_info.bKastrelAddr : m_info.bWireloopAddr;
    return tr(" #%1\n%2\nhw: %3 fw: %4\ns/n: %5")
        .arg(QString::number(address), typeName(), plainVersion(hardwareVersion()), plainVersion(firmwareVersion()),
             QString::number(m_info.dwSerialId));
}

QVersionNumber HubroItem::firmwareVersion() const
{
    return HubroStatus::coreFirmwareVersion(m_info);
}

QVersionNumber HubroItem::hardwareVersion() const
{
    return HubroStatus::hardwareVersion(m_info);
}

quint8 HubroItem::buildNumber() const
{
    return quint8(m_buildNumber);
}

bool HubroItem::hasAlarm() const
{
    return HubroStatus::hasAlarm(m_info);
}

bool HubroItem::hasFault() const
{
    return HubroStatus::hasFault(m_info, wireloopAsSupplyValue());
}

quint16 HubroItem::mk1FirmwareVersion() const
{
    return m_info.wMK1FWVer;
}

quint16 HubroItem::mk2FirmwareVersion() const
{
    return m_info.wMK2FWVer;
}

void HubroItem::executeAction(const int &actionId)
{
    switch (actionId) {
    case LogReaderAction:
        if (!ActionOpeners::open(actionId, this))
            qInfo().noquote() << QStringLiteral("Master log reader of %1 %2: diagnostics windows not available")
                                     .arg(itemTypeName(), QString::number(m_info.dwSerialId));
        break;
    case PlotNoiseAction:
        if (!ActionOpeners::open(actionId, this))
            qInfo().noquote() << QStringLiteral("Noise plot of %1: diagnostics windows not available").arg(itemTypeName());
        break;
    case EraseFlashAction:
        eraseFlash();
        break;
    case StackUsageAction:
        if (!ActionOpeners::open(actionId, this))
            qInfo().noquote() << QStringLiteral("Stack usage of %1: diagnostics windows not available").arg(itemTypeName());
        break;
    case DebugModeAction:
        enableDebugMode();
        break;
    case ChannelGroupAction:
        setChannelGroup();
        break;
    default:
        DI_AbstractRepeater::executeAction(actionId);
        break;
    }
}

void HubroItem::onPropertyChanged(QtProperty *property, bool userEdit)
{
    if (property && userEdit && !m_busy)
        writeSetting(property);
    emit propertyChangedFinished();
}

QString HubroItem::infoText() const
{
    const auto text = [](const QtProperty *property) { return property ? property->valueText() : QString(); };
    QString info = tr("\n    Type: %1\n    Serial number: %2\n    WIRELOOP address: %3\n    RAM: %4\n    radio channel: "
                      "%5\n    Loss detection time: %6\n    Power adjustment: %7\n    WIRELOOP power mode: %8\n"
                      "                ")
                       .arg(typeName(), text(m_propSerial), text(m_propWiredAddress), text(m_propFreeMemory),
                            text(m_propChannel), text(m_propInterval ? m_propInterval : m_propIntervalText),
                            text(m_propPowerAdjustment), text(m_propWireloopSupply));
    info += tr("\n    Supply\n        Main source: %1\n        Backup source: %2\n        WIRELOOP: %3\n    ")
                .arg(text(m_propMainPower), text(m_propReservePower), text(m_propWireloopPower));
    info += tr("\n    Versions:\n        HW: %1\n        Core: %2\n        Radio: %3\n        Backup core: %4\n"
               "        Backup radio: %5\n        Uploaded FW: %6 ")
                .arg(text(m_propHardware), text(m_propCoreFirmware), text(m_propRadioFirmware), text(m_propBackupCore),
                     text(m_propBackupRadio), text(m_propUploadedFirmware));
    if (!HubroStatus::isOlderMaster(m_info))
        info += tr("        Base core: %1").arg(text(m_propBaseCore));
    return info;
}

QVariant HubroItem::data(int role) const
{
    switch (role) {
    case Qt::BackgroundRole:
        if (isViewingMode())
            return QColor(210, 210, 210);
        if (isConfigurationMode())
            return QColor(90, 255, 90);
        return DeviceItem::data(role);
    case DeviceRole::ExtraAddresses:
        return 0;
    case DeviceRole::SerialText:
        return HubroStatus::serialText(m_info);
    case DeviceRole::Serial:
        return uint(m_info.dwSerialId);
    case DeviceRole::RssiText:
        return QStringLiteral("-");
    case DeviceRole::StatusText: {
        QString own = statusText();
        if (own == DeviceItem::tr("Normal"))
            own.clear();
        return HubroStatus::statusText(m_info, m_connectedDevices, isViewingMode(), wireloopAsSupplyValue(), own);
    }
    case DeviceRole::FirmwareText:
        return plainVersion(firmwareVersion());
    case DeviceRole::HardwareText:
        return plainVersion(hardwareVersion());
    default:
        return DeviceItem::data(role);
    }
}

// ---------------------------------------------------------------- record accessors

int HubroItem::maxDeviceCount() const
{
    return HubroStatus::maxDeviceCount(m_info);
}

int HubroItem::exchangeInterval() const
{
    return HubroStatus::exchangeIntervalMs(m_info);
}

int HubroItem::currentChannel() const
{
    return HubroStatus::currentChannel(m_info);
}

int HubroItem::channelGroup() const
{
    return HubroStatus::channelGroup(m_info);
}

bool HubroItem::isConfigurationMode() const
{
    return HubroStatus::isConfigurationMode(m_info);
}

bool HubroItem::isChannelScanMode() const
{
    return HubroStatus::isChannelScanMode(m_info);
}

bool HubroItem::isKeyboardLocked() const
{
    return HubroStatus::isKeyboardLocked(m_info);
}

bool HubroItem::isPasswordEnabled() const
{
    return HubroStatus::isPasswordEnabled(m_info);
}

QVersionNumber HubroItem::radioFirmwareVersion() const
{
    return HubroStatus::radioFirmwareVersion(m_info);
}

bool HubroItem::supportsFeature(int feature) const
{
    return HubroStatus::supportsFeature(m_info, feature);
}

qint64 HubroItem::firmwareHeaderValue(int slot) const
{
    if (slot < 0 || slot > 3)
        return -1;
    return firmwareHeaderBuildTime(m_firmwareHeaders[size_t(slot)]);
}

HUBRO32BootSectionHeader_t HubroItem::firmwareDates() const
{
    return bootSectionHeaderFromBytes(m_firmwareHeaders[2]);
}

quint8 HubroItem::uploadFlag() const
{
    return bootSectionHeaderFromBytes(m_firmwareHeaders[1]).buildNumber;
}

void HubroItem::stopUploadTimer()
{
    m_uploadTimer.stop();
}

void HubroItem::radioDeviceConnected()
{
    ++m_connectedDevices;
}

void HubroItem::radioDeviceDisconnected()
{
    --m_connectedDevices;
}

QMessageBox *HubroItem::reconnectPrompt() const
{
    return m_reconnectPrompt;
}

SettingsResetProcess *HubroItem::settingsResetProcess() const
{
    return m_settingsReset;
}

void HubroItem::onConnectionClosing()
{
    if (m_reconnectPrompt) {
        m_reconnectPrompt->done(QMessageBox::No);
        QCoreApplication::processEvents();
    }
    if (m_settingsReset)
        m_settingsReset->abort();
}

ConfigurationExporter *HubroItem::createConfigurationExporter(const QList<int> &deviceNumbers)
{
    ConfigurationExporter *exporter = nullptr;
    if (deviceType() == 0)
        exporter = new ConfigurationExporterHubro32(deviceNumbers, this);
    else
        exporter = new ConfigurationExporterHubro125(deviceNumbers, this);
    connect(exporter, &ConfigurationExporter::sendPacket, this, &DeviceItem::sendPacket);
    return exporter;
}

ConfigurationImporter *HubroItem::createConfigurationImporter()
{
    ConfigurationImporter *importer = nullptr;
    if (deviceType() == 0)
        importer = new ConfigurationImporterHubro32(this, this);
    else
        importer = new ConfigurationImporterHubro125(this, this);
    connect(importer, &ConfigurationImporter::sendPacket, this, &DeviceItem::sendPacket);
    return importer;
}

#include "deviceitem.h"

#include "appglobals.h"
#include "deviceclasses.h"
#include "infocollector.h"
#include "propertytreetext.h"
#include "qtpropertymanager.h"
#include "qttreepropertybrowser.h"
#include "senddatamanager.h"
#include "statelayout.h"
#include "versiontext.h"
#include "widgetdevicewritesettings.h"

#include <QColor>
#include <QDebug>
#include <QHash>
#include <QPixmap>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {
int extraPropertiesDelay = 2000;
int addressResetHold = 5000;

QPointer<QtTreePropertyBrowser> &browserHolder()
{
    static QPointer<QtTreePropertyBrowser> browser;
    return browser;
}

bool isBitSet(quint8 byte, int bit)
{
    return (byte >> bit) & 1;
}
} // namespace

DeviceItem::DeviceItem(const deviceInfo_t &info, bool kastrelMode) : DeviceItem(info, kastrelMode, nullptr) {}

DeviceItem::DeviceItem(const deviceInfo_t &info, bool kastrelMode, DescriptionFn describe)
    : QObject(nullptr), QStandardItem(), m_info(info), m_kastrelMode(kastrelMode)
{
    m_describe = describe;
    static const bool metaTypesRegistered = [] {
        registerDeviceInfoMetaType();
        registerDeviceActionMetaTypes();
        qRegisterMetaType<uint32_t>("uint32_t"); // productCodeReceived across threads
        return true;
    }();
    Q_UNUSED(metaTypesRegistered)

    if (info.deviceType >= 74) {
        qWarning().noquote() << QStringLiteral("Unsupported device type: %1, %2").arg(info.deviceType).arg(info.deviceType);
        m_info.deviceType = 12;
    }

    if (info.linkState <= 3)
        m_connectionState = info.linkState;

    m_addressResetTimer.setSingleShot(true);
    m_addressResetTimer.setInterval(addressResetHold);
    connect(&m_addressResetTimer, &QTimer::timeout, this, [this] { m_addressResetPending = false; });

    parameterTitles();
    buildProperties();
    if (describe) {
        const DeviceDescription d = describedOnce(describe);
        m_stored = DeviceKit::StateBlock(d.stateBytes);
        m_writes = d.writes;
        m_wholeConfigurationCheck = d.wholeConfigurationCheck;
        const QString picture = d.pictureOf(m_info.deviceType);
        if (!picture.isEmpty())
            DeviceKit::showPicture(this, picture);
    }
    QTimer::singleShot(extraPropertiesDelay, this, [this] { addExtraProperties(); });
}

DeviceDescription DeviceItem::describedAs() const
{
    return m_describe ? describedOnce(m_describe) : DeviceDescription{};
}

DeviceItem::~DeviceItem()
{
    SendDataManager::forgetDevice(this);
    const QList<QObject *> managers{m_stringManager,   m_groupManager,    m_enumManager,    m_boolManager,
                                    m_editEnumManager, m_editBoolManager, m_editIntManager, m_editDoubleManager};
    for (QObject *manager : managers) {
        if (manager) {
            manager->disconnect(this);
            delete manager;
        }
    }
    // The panel may be what called into the item (its write button) and
    // still be on the stack: it goes once control is back in the event loop.
    if (m_writeSettingsPanel)
        m_writeSettingsPanel->deleteLater();
}

void DeviceItem::setTimings(int extraPropertiesDelayMs, int addressResetHoldMs)
{
    extraPropertiesDelay = extraPropertiesDelayMs;
    addressResetHold = addressResetHoldMs;
}

void DeviceItem::setPropertyBrowser(QtTreePropertyBrowser *browser)
{
    browserHolder() = browser;
}

QtTreePropertyBrowser *DeviceItem::propertyBrowser()
{
    return browserHolder();
}

// ---------------------------------------------------------------- property tree

void DeviceItem::buildProperties()
{
    m_topProperties.clear();
    m_propertyMarks.clear();

    m_stringManager = new QtStringPropertyManager(this);
    m_groupManager = new QtGroupPropertyManager(this);
    m_enumManager = new QtEnumPropertyManager(this);
    m_boolManager = new QtBoolPropertyManager(this);
    m_editEnumManager = new QtEnumPropertyManager(this);
    m_editBoolManager = new QtBoolPropertyManager(this);
    m_editIntManager = new QtIntPropertyManager(this);
    m_editDoubleManager = new QtDoublePropertyManager(this);
    for (QtAbstractPropertyManager *manager : editableManagers()) {
        manager->setEditable(true);
        connect(manager, &QtAbstractPropertyManager::propertyDestroyed, this, [this](QtProperty *property) {
            if (property == m_lastProperty)
                m_lastProperty = nullptr;
            m_propertyMarks.remove(property);
        });
    }

    m_propWdType = m_enumManager->addProperty(tr("WD Type"));
    m_enumManager->setEnumNames(m_propWdType, deviceModelNames);
    m_propSerial = m_stringManager->addProperty(tr("S/N"));
    m_propWiredAddress = m_stringManager->addProperty(m_kastrelMode ? tr("Kastrel address") : tr("Wireloop address"));
    m_propRadioAddress = m_stringManager->addProperty(tr("Radio address"));
    m_propStatus = m_groupManager->addProperty(tr("Status"));

    m_propCase = m_enumManager->addProperty(tr("Case"));
    m_enumManager->setEnumNames(m_propCase, {tr("Opened"), tr("Closed")});
    m_propStatus->addSubProperty(m_propCase);
    m_propMainBattery = m_enumManager->addProperty(tr("Main battery state"));
    m_enumManager->setEnumNames(m_propMainBattery, {tr("Not inserted"), tr("Low"), tr("Good")});
    m_propStatus->addSubProperty(m_propMainBattery);
    // A service property: shown only on request (setHiddenPropertiesVisible).
    m_propMainBatteryVoltage = m_stringManager->addProperty(tr("Main battery voltage"));
    m_propReserveBattery = m_enumManager->addProperty(tr("Reserve battery state"));
    m_enumManager->setEnumNames(m_propReserveBattery, {tr("Low"), tr("Good")});
    m_propStatus->addSubProperty(m_propReserveBattery);

    m_topProperties = {m_propWdType, m_propSerial, m_propWiredAddress, m_propRadioAddress, m_propStatus};
    updateBaseProperties();
    QMetaObject::invokeMethod(this, &DeviceItem::postInit, Qt::QueuedConnection);
}

QList<QtAbstractPropertyManager *> DeviceItem::editableManagers() const
{
    return {m_editEnumManager, m_editIntManager, m_editBoolManager, m_editDoubleManager};
}

void DeviceItem::postInit()
{
    if (m_postInitDone)
        return;
    m_postInitDone = true;
    for (QtAbstractPropertyManager *manager : editableManagers()) {
        connect(manager, &QtAbstractPropertyManager::propertyChanged, this,
                [this, manager](QtProperty *property) { onPropertyChanged(property, manager->isUserEdit()); });
    }
}

void DeviceItem::updateBaseProperties()
{
    m_enumManager->setValue(m_propWdType, deviceType());
    m_stringManager->setValue(m_propSerial, serialText());
    m_stringManager->setValue(m_propWiredAddress, addressText());
    m_stringManager->setValue(m_propRadioAddress, QString::number(m_info.radioAddress));
}

void DeviceItem::onPropertyChanged(QtProperty *property, bool userEdit)
{
    if (!property)
        return;
    const QString value = property->valueText();
    // The same property with the same value again: an echo of the same change
    // (a mark or state change of the property), nothing new to judge.
    if (property != m_lastProperty || value != m_lastPropertyValue) {
        m_lastProperty = property;
        m_lastPropertyName = property->propertyName();
        m_lastPropertyValue = value;
        const bool changed = isPropertyChanged(property);
        if (userEdit) {
            if (changed) {
                setPropertyModified(property, true);
                setWriteSettingsState(WidgetDeviceWriteSettings::HasChanges);
                m_configurationClean = false;
            } else {
                setPropertyModified(property, false);
                if (m_configurationClean)
                    setWriteSettingsState(WidgetDeviceWriteSettings::NoChanges);
            }
        }
    }
    emit propertyChangedFinished();
}

void DeviceItem::lockProperties(bool lock)
{
    for (QtAbstractPropertyManager *manager : editableManagers()) {
        for (QtProperty *property : manager->properties()) {
            const bool neverEditable = propertyLevel(property) & MarkNeverEditable;
            property->setEnabled(!lock && !neverEditable);
        }
    }
}

void DeviceItem::setSubPropertyVisible(QtProperty *parent, QtProperty *child, bool visible)
{
    if (!parent || !child)
        return;
    const bool present = parent->subProperties().contains(child);
    if (!present && visible)
        parent->addSubProperty(child);
    else if (present && !visible)
        parent->removeSubProperty(child);
}

bool DeviceItem::isPropertyModified(QtProperty *property) const
{
    if (!property)
        return false;
    const QList<QtProperty *> children = property->subProperties();
    if (children.isEmpty())
        return property->isModified();
    for (QtProperty *child : children)
        if (isPropertyModified(child))
            return true;
    return false;
}

void DeviceItem::setPropertyModified(QtProperty *property, bool modified)
{
    if (property && property->isModified() != modified)
        property->setModified(modified);
}

void DeviceItem::setPropertyLevel(QtProperty *property, quint32 marks)
{
    if (!property)
        return;
    if (marks)
        m_propertyMarks.insert(property, marks);
    else
        m_propertyMarks.remove(property);
}

void DeviceItem::refreshPropertyBrowser()
{
    QtTreePropertyBrowser *browser = propertyBrowser();
    // Only the item the browser shows has rows there.
    if (!browser
        || std::none_of(m_topProperties.cbegin(), m_topProperties.cend(),
                        [browser](QtProperty *property) { return !browser->items(property).isEmpty(); }))
        return;
    const auto paint = [this, browser](QtProperty *property) {
        QColor colour(Qt::white);
        const quint32 marks = propertyLevel(property);
        if (isOnline()) {
            if (marks & MarkAlarm)
                colour = QColor(255, 180, 180);
            else if (marks & MarkFault)
                colour = QColor(255, 234, 173);
            else if (marks & MarkHighlight)
                colour = QColor(200, 200, 250);
        }
        for (QtBrowserItem *item : browser->items(property))
            browser->setBackgroundColor(item, colour);
    };
    for (QtProperty *property : qAsConst(m_topProperties)) {
        paint(property);
        for (QtProperty *child : property->subProperties())
            paint(child);
    }
}

void DeviceItem::setHiddenPropertiesVisible(bool show)
{
    const bool present = m_propStatus->subProperties().contains(m_propMainBatteryVoltage);
    if (show && !present)
        m_propStatus->insertSubProperty(m_propMainBatteryVoltage, m_propMainBattery);
    else if (!show && present)
        m_propStatus->removeSubProperty(m_propMainBatteryVoltage);
}

WidgetDeviceWriteSettings *DeviceItem::writeSettingsPanel() const
{
    if (m_writeSettingsPanel)
        return m_writeSettingsPanel;
    auto *self = const_cast<DeviceItem *>(this);
    auto *panel = new WidgetDeviceWriteSettings(m_writePanelText);
    m_writeSettingsPanel = panel;
    connect(panel, &WidgetDeviceWriteSettings::write, self, &DeviceItem::writeDeviceConfiguration);
    connect(panel, &WidgetDeviceWriteSettings::stateChanged, self, [self](int state) {
        if (state == WidgetDeviceWriteSettings::NoChanges || state == WidgetDeviceWriteSettings::HasChanges) {
            self->m_writeState = state;
            self->lockProperties(false);
        } else if (state == WidgetDeviceWriteSettings::WritingSettings) {
            self->lockProperties(true);
        }
    });
    if (m_writePanelMaximum >= 0)
        panel->setMaximum(m_writePanelMaximum);
    if (m_writeState != WidgetDeviceWriteSettings::NoChanges)
        panel->setState(m_writeState);
    return panel;
}

int DeviceItem::writeSettingsState() const
{
    return m_writeSettingsPanel ? m_writeSettingsPanel->state() : m_writeState;
}

void DeviceItem::setWriteSettingsState(int state)
{
    // Without a panel nothing is on screen: an idle state is only kept (the
    // properties unlocked, as the panel's own change would); a write needs
    // the panel's time-out.
    const bool idle = state == WidgetDeviceWriteSettings::NoChanges || state == WidgetDeviceWriteSettings::HasChanges;
    if (!m_writeSettingsPanel && idle) {
        m_writeState = state;
        lockProperties(false);
        return;
    }
    writeSettingsPanel()->setState(state);
}

void DeviceItem::setWritePanelText(const QString &text)
{
    m_writePanelText = text;
    if (m_writeSettingsPanel)
        m_writeSettingsPanel->setText(text);
}

void DeviceItem::setWritePanelMaximum(int maximum)
{
    m_writePanelMaximum = maximum;
    if (m_writeSettingsPanel)
        m_writeSettingsPanel->setMaximum(maximum);
}

// ---------------------------------------------------------------- pictures

bool DeviceItem::makeGrayscale(QImage &image)
{
    if (ResourceCache::makeGrey(image))
        return true;
    qWarning().noquote() << QStringLiteral("Wrong image format. QImage::Format_ARGB32 supported only");
    return false;
}

void DeviceItem::setDeviceImage(const QImage &image)
{
    QImage grey = image;
    if (!makeGrayscale(grey))
        return;
    m_onlineIcon = QIcon(QPixmap::fromImage(image));
    m_offlineIcon = QIcon(QPixmap::fromImage(grey));
}

void DeviceItem::setDevicePicture(const ResourceCache::Picture &picture)
{
    setIcon(picture.online);
    m_onlineIcon = picture.online;
    m_offlineIcon = picture.offline;
}

// ---------------------------------------------------------------- record and state

void DeviceItem::setConnectionState(const deviceInfo_t &info)
{
    if (info.linkState <= 2)
        m_connectionState = info.linkState;
}

void DeviceItem::setOffline()
{
    m_connectionState = 3;
}

namespace {
// A field of the common head by name, looked up once per name and thread.
const StateLayout::Field *headField(const char *name)
{
    thread_local QHash<QByteArray, const StateLayout::Field *> known;
    const QByteArray key = QByteArray::fromRawData(name, int(qstrlen(name)));
    auto it = known.constFind(key);
    if (it == known.cend())
        it = known.insert(QByteArray(name), StateLayout::head().field(QLatin1String(name)));
    return *it;
}
} // namespace

int DeviceItem::headValue(const char *name) const
{
    const StateLayout::Field *field = headField(name);
    if (!field)
        return 0;
    const QByteArray head = QByteArray::fromRawData(reinterpret_cast<const char *>(m_stateBytes), 4);
    return int(StateLayout::read(head, *field));
}

qint64 DeviceItem::stateValue(const char *name) const
{
    const StateLayout::Layout *layout = StateLayout::deviceLayout(deviceType());
    const StateLayout::Field *field = layout ? layout->field(QLatin1String(name)) : nullptr;
    if (!field) {
        qWarning().noquote() << QStringLiteral("No state field %1 for device type %2")
                                    .arg(QLatin1String(name))
                                    .arg(deviceType());
        return 0;
    }
    return StateLayout::read(m_stored.size() > 0 ? m_stored.bytes() : m_state, *field);
}

void DeviceItem::loadState(const deviceInfo_t &info, const QByteArray &state)
{
    setConnectionState(info);
    m_stored.load(state);
    m_stateLoaded = true;
}

void DeviceItem::loadStateKeepingTail(const deviceInfo_t &info, const QByteArray &state, int zeroedWhenEmpty)
{
    setConnectionState(info);
    m_stored.loadKeepingTail(state, zeroedWhenEmpty);
    m_stateLoaded = true;
}

QString DeviceItem::itemTypeName() const
{
    return deviceTypeName(deviceType());
}

QString DeviceItem::serialText() const
{
    return QStringLiteral("%1").arg(m_info.serialNumber, 10, 10, QLatin1Char('0'));
}

int DeviceItem::extraWireloopAddresses() const
{
    if (!DeviceClasses::typeTraits(deviceType()).extraAddresses || headValue("bActiveZone") >= 32)
        return 0;
    return headValue("Z2.fActive") + headValue("Z3.fActive") + headValue("Z4.fActive");
}

bool DeviceItem::featureOneRule(int deviceType, quint32 rl)
{
    if (repeaterDeviceTypes.contains(deviceType))
        return rl < 256 && (rl & 0x0F) == 0;
    return rl == 0;
}

bool DeviceItem::isFeatureSupported(int feature) const
{
    if (m_describe) {
        const std::optional<QList<DeviceKit::FeatureMinimum>> features = describedOnce(m_describe).features;
        if (features)
            return DeviceKit::featureSupported(*features, feature, firmwareVersion());
    }
    return feature == 1 && featureOneRule(deviceType(), m_info.rl);
}

QStringList DeviceItem::fieldNames() const
{
    return m_describe ? describedOnce(m_describe).fieldNames : staticFieldNames();
}

bool DeviceItem::addExtraProperties()
{
    return false;
}

bool DeviceItem::prepareDisconnect()
{
    return true;
}

int DeviceItem::deviceType() const
{
    return m_info.deviceType >= 74 ? 12 : m_info.deviceType;
}

QString DeviceItem::typeName() const
{
    return itemTypeName();
}

QString DeviceItem::toolTip() const
{
    QString address = addressText();
    address.replace(tr("Not assigned"), QStringLiteral("*"));
    return tr(" #%1\n%2 \n(hw: %3 fw: %4)\ns/n: %5")
        .arg(address, itemTypeName(), versionToString(hardwareVersion()), versionToString(firmwareVersion()),
             serialText());
}

QString DeviceItem::addressText() const
{
    const int a = wiredAddress();
    if (a == 0)
        return tr("Not assigned");
    QString text = QString::number(a);
    if (masterDeviceTypes.contains(deviceType()))
        return text;
    // A class may take further addresses than the state tells (role 257).
    const int extra = data(DeviceRole::ExtraAddresses).toInt();
    for (int i = 1; i <= extra; ++i)
        text = QStringLiteral("%1, %2").arg(text, a + i >= 128 ? QStringLiteral("*") : QString::number(a + i));
    return text;
}

void DeviceItem::setAddress(quint8 address)
{
    if (m_kastrelMode)
        m_info.kastrelAddress = address;
    else
        m_info.wireloopAddress = address;
    m_stringManager->setValue(m_propWiredAddress, addressText());
    emit updated(this);
    emit addressChanged(this);
}

QVersionNumber DeviceItem::firmwareVersion() const
{
    const quint16 v = m_info.firmwareVersion;
    if (v == 0xFFFF)
        return QVersionNumber();
    return QVersionNumber(v >> 8, v & 0xFF);
}

QVersionNumber DeviceItem::hardwareVersion() const
{
    const quint16 v = m_info.hardwareVersion;
    return QVersionNumber(v >> 8, v & 0xFF);
}

quint8 DeviceItem::buildNumber() const
{
    return m_info.buildNumber;
}

bool DeviceItem::hasAlarm() const
{
    return false;
}

bool DeviceItem::hasFault() const
{
    return false;
}

void DeviceItem::updateState(const deviceInfo_t &info, QByteArray state)
{
    deviceInfo_t incoming = info;
    if (incoming.deviceType >= 74)
        incoming.deviceType = 12; // as the constructor keeps it

    quint8 s[6] = {0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 6 && i < state.size(); ++i)
        s[i] = quint8(state.at(i));

    const qint8 oldRssi = m_info.rssi;
    const qint8 newRssi = incoming.rssi;
    const bool rlChanged = m_info.rlSupported != 0 && m_info.rl != incoming.rl;
    deviceInfo_t before = m_info;
    deviceInfo_t after = incoming;
    before.rssi = after.rssi = 0;
    const bool changed = before != after || m_state != state;

    m_info = incoming;
    std::memcpy(m_stateBytes, s, sizeof(m_stateBytes));
    m_state = state;
    setConnectionState(incoming);
    // A class without decoding of its own has not stored the state yet.
    if (!m_stateLoaded)
        m_stored.load(state);
    m_stateLoaded = false;
    echoSettings();

    m_enumManager->setValue(m_propWdType, deviceType());
    m_stringManager->setValue(m_propSerial, serialText());

    const auto field = [this](const char *name) { return headValue(name); };
    const DeviceClasses::TypeTraits &traits = DeviceClasses::typeTraits(deviceType());
    const quint8 supply = s[3];
    const double voltage = field("Z0.bMainPower") / 1000.0;
    if (traits.batteryVoltage)
        m_stringManager->setValue(m_propMainBatteryVoltage,
                                  supply == 0 ? tr("0 V") : tr("%1 V").arg(voltage, 0, 'f', 2));

    const quint32 serial = m_info.serialNumber;
    storeFieldValue(serial, QStringLiteral("gpMainBattery"), voltage);
    storeFieldValue(serial, QStringLiteral("gpUndef"), field("Z0.btfUndef"));
    storeFieldValue(serial, QStringLiteral("gpAlarm"), field("Z0.fAlarm"));
    storeFieldValue(serial, QStringLiteral("rl"), m_info.rl);
    storeFieldValue(serial, QStringLiteral("gpRssi"), int(m_info.rssi));
    storeFieldValue(serial, QStringLiteral("gpActiveZone"), field("bActiveZone"));
    storeFieldValue(serial, QStringLiteral("multiFunc"), field("state.fMultiFunc"));
    storeFieldValue(serial, QStringLiteral("gpCtrlCase"), field("state.fCtrlCase"));
    storeFieldValue(serial, QStringLiteral("reservPwrState"), field("state.fReservPwr"));
    storeFieldValue(serial, QStringLiteral("gpMainPwr"), field("state.fMainPwr"));
    storeFieldValue(serial, QStringLiteral("gpCase"), field("state.fCase"));

    const int mainPower = field("state.fMainPwr");
    m_enumManager->setValue(m_propMainBattery, (supply == 0 && traits.batteryNeedsVoltage) ? 0 : 1 + mainPower);
    m_enumManager->setValue(m_propCase, field("state.fCase"));
    m_enumManager->setValue(m_propReserveBattery, field("state.fReservPwr"));
    m_stringManager->setValue(m_propWiredAddress, addressText());
    m_stringManager->setValue(m_propRadioAddress, QString::number(m_info.radioAddress));

    bool anyModified = false;
    for (QtProperty *property : qAsConst(m_topProperties))
        anyModified = anyModified || isPropertyModified(property);
    if (!anyModified)
        setWriteSettingsState(WidgetDeviceWriteSettings::NoChanges);

    refreshPropertyBrowser();

    if (rlChanged) {
        QString address = addressText();
        if (address == tr("Not assigned"))
            address.clear();
        qDebug().noquote() << QStringLiteral("Device %1 %2 has new repeater (RL = %3)")
                                  .arg(itemTypeName(), address, QString::number(qbswap(m_info.rl), 16));
        emit parentChanged(this);
    }
    if (changed)
        emit updated(this);
    else if (oldRssi != newRssi)
        emit rssiChanged(this);

    updatePlotAction();
}

void DeviceItem::updatePlotAction()
{
    const bool offered = featureOneRule(deviceType(), m_info.rl);
    int index = -1;
    for (int i = 0; i < m_actions.size(); ++i) {
        if (m_actions.at(i).id == PlotRssiAction) {
            index = i;
            break;
        }
    }
    if (index >= 0 && !offered)
        m_actions.removeAt(index);
    else if (index < 0 && offered)
        m_actions.append(DeviceAction{PlotRssiAction, tr("Plot RSSI data")});
}

void DeviceItem::removeAction(int index)
{
    if (index >= 0 && index < m_actions.size())
        m_actions.removeAt(index);
}

QString DeviceItem::statusText() const
{
    if (m_info.linkState != 2)
        return tr("Connection lost");
    const DeviceClasses::TypeTraits &traits = DeviceClasses::typeTraits(deviceType());
    const bool noAlarm = headValue("state.fNorma");
    QStringList texts;
    if (!noAlarm) {
        switch (traits.alarmText) {
        case DeviceClasses::TypeTraits::AlarmText::Alarm:
            texts << tr("Alarm");
            break;
        case DeviceClasses::TypeTraits::AlarmText::Fire:
            texts << tr("Fire");
            break;
        case DeviceClasses::TypeTraits::AlarmText::ExtinguishingStart:
            texts << tr("Fire extinguishing start");
            break;
        case DeviceClasses::TypeTraits::AlarmText::SmokeExhaustStart:
            texts << tr("Smoke exhaust start");
            break;
        case DeviceClasses::TypeTraits::AlarmText::None:
            break;
        }
    }
    // Bit 6 of byte 4: the first zone's failure in every layout that has one.
    if (traits.failText && isBitSet(m_stateBytes[4], 6))
        texts << tr("Fail");
    if (!headValue("state.fMainPwr"))
        texts << tr("Main power failed");
    if (traits.reservePowerText && !headValue("state.fReservPwr"))
        texts << tr("Reserve power failed");
    if (!headValue("state.fCase"))
        texts << tr("Case open");
    // A row coloured for an alarm or a fault never reads "Normal".
    if (traits.normalText && texts.isEmpty() && noAlarm && !hasAlarm() && !hasFault())
        texts << tr("Normal");
    return texts.join(QStringLiteral(", "));
}

QString DeviceItem::infoText() const
{
    QString text = tr("%1    RSSI: %2\n    power supply voltage: %3")
                       .arg(propertyTreeTextFn(m_topProperties, 1), QString::number(m_info.rssi),
                            m_propMainBatteryVoltage->valueText());
    text += tr("\n\n    Versions:\n        HW: %1\n        FW: %2")
                .arg(versionToString(hardwareVersion()), versionToString(firmwareVersion()));
    text += tr("\n\n    RL: %1").arg(QString::number(qbswap(m_info.rl), 16));
    return text;
}

void DeviceItem::parameterTitles()
{
    if (m_describe) {
        m_parameterTitleMap = titleMapOnce(m_describe);
        return;
    }
    m_parameterTitleMap.clear();
    for (const DeviceKit::TitledKey &pair : DeviceKit::baseTitles(staticFieldNames()))
        m_parameterTitleMap.insert(pair.title, pair.key);
}

QString DeviceItem::parameterKey(const QString &title) const
{
    return m_parameterTitleMap.value(title);
}

QString DeviceItem::parameterTitle(const QString &key) const
{
    return m_parameterTitleMap.key(key);
}

void DeviceItem::writeDeviceConfiguration()
{
    writeSettings();
    setWriteSettingsState(WidgetDeviceWriteSettings::WritingSettings);
}

// ---------------------------------------------------------------- the standard-item part

QVariant DeviceItem::data(int role) const
{
    switch (role) {
    case Qt::DisplayRole:
        return toolTip();
    case Qt::DecorationRole:
        return m_info.linkState == 2 ? m_onlineIcon : m_offlineIcon;
    case Qt::EditRole:
        return int(wiredAddress());
    case Qt::BackgroundRole:
        if (!isOnline())
            return QColor(210, 210, 210);
        if (hasAlarm())
            return QColor(255, 180, 180);
        if (hasFault())
            return QColor(255, 234, 173);
        return QStandardItem::data(role);
    case Qt::ForegroundRole:
        return m_info.linkState == 2 ? QColor(Qt::black) : QColor(Qt::lightGray);
    case DeviceRole::RadioAddress:
        return int(m_info.radioAddress);
    case DeviceRole::ExtraAddresses:
        return extraWireloopAddresses();
    case DeviceRole::WireloopAddress:
        return int(m_info.wireloopAddress);
    case DeviceRole::AddressText:
        return addressText();
    case DeviceRole::TypeName:
        return itemTypeName();
    case DeviceRole::DeviceType:
        return deviceType();
    case DeviceRole::AddressAndType:
        return int(quint16(m_info.wireloopAddress | (m_info.deviceType << 8)));
    case DeviceRole::SerialText:
        return serialText();
    case DeviceRole::Serial:
        return uint(m_info.serialNumber);
    case DeviceRole::Info:
        return QVariant::fromValue(m_info);
    case DeviceRole::State:
        return m_state;
    case DeviceRole::TopProperties:
        return QVariant::fromValue(m_topProperties);
    case DeviceRole::EnumManager:
        return QVariant::fromValue(m_editEnumManager);
    case DeviceRole::IntManager:
        return QVariant::fromValue(m_editIntManager);
    case DeviceRole::DoubleManager:
        return QVariant::fromValue(m_editDoubleManager);
    case DeviceRole::BoolManager:
        return QVariant::fromValue(m_editBoolManager);
    case DeviceRole::Rssi:
        return isOnline() ? int(m_info.rssi) : 0;
    case DeviceRole::RssiText:
        return tr("%1 dBm").arg(isOnline() ? int(m_info.rssi) : 0);
    case DeviceRole::LinkState:
        return int(m_info.linkState);
    case DeviceRole::Actions:
        return QVariant::fromValue(m_actions);
    case DeviceRole::StatusText:
        return statusText();
    case DeviceRole::Charge:
        return m_propMainBatteryVoltage->valueText();
    case DeviceRole::MainPowerGood:
        return bool(headValue("state.fMainPwr"));
    case DeviceRole::WritePanel:
        return QVariant::fromValue<QWidget *>(writeSettingsPanel());
    case DeviceRole::FirmwareText:
        return versionToString(firmwareVersion());
    case DeviceRole::HardwareText:
        return versionToString(hardwareVersion());
    case DeviceRole::RlValue:
        return uint(m_info.rl);
    case DeviceRole::RlSupported:
        return int(m_info.rlSupported);
    case DeviceRole::KastrelAddress:
        return int(m_info.kastrelAddress);
    case DeviceRole::SearchText:
        return QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
            .arg(versionToString(hardwareVersion()), versionToString(firmwareVersion()), itemTypeName(),
                 data(DeviceRole::RssiText).toString(), serialText(), statusText(), addressText());
    case DeviceRole::ClassFlag:
        return DeviceClasses::typeTraits(deviceType()).classFlag ? headValue("state.fMultiFunc") : 0;
    default:
        return QStandardItem::data(role);
    }
}

void DeviceItem::setData(const QVariant &value, int role)
{
    if (role != Qt::EditRole) {
        QStandardItem::setData(value, role);
        return;
    }
    // The address editor may hand over its text ("12" or "12. ..."):
    // the number before the first point counts.
    QString text = value.toString();
    const int point = text.indexOf(QLatin1Char('.'));
    if (point >= 0)
        text.truncate(point);
    bool ok = false;
    const uint address = text.trimmed().toUInt(&ok);
    changeAddress(ok && address <= 255 ? quint8(address) : 0);
}

int DeviceItem::type() const
{
    return -1;
}

bool DeviceItem::operator<(const QStandardItem &other) const
{
    const auto *item = dynamic_cast<const DeviceItem *>(&other);
    if (!item)
        return QStandardItem::operator<(other);
    if (m_kastrelMode)
        return m_info.kastrelAddress < item->m_info.kastrelAddress;
    return m_info.wireloopAddress < item->m_info.wireloopAddress;
}

// ---------------------------------------------------------------- measurements

void DeviceItem::storeFieldValue(quint32 serial, const QString &key, const QVariant &value)
{
    InfoCollector *collector = m_infoCollector;
    if (!collector)
        return;
    collector->appendValue(key, serial, isOnline() ? value : QVariant(std::numeric_limits<double>::quiet_NaN()));
}

void DeviceItem::installInfoCollector(InfoCollector *collector)
{
    m_infoCollector = collector;
    const quint32 serial = storingSerialNumber();
    const QStringList keys = InfoCollector::storedKeys(deviceType(), serial);
    qDebug().noquote() << tr("Info collector installed in %1 %2: %3")
                              .arg(itemTypeName(), QString::number(serial), keys.join(QStringLiteral(", ")));
}

InfoCollector *DeviceItem::infoCollector() const
{
    return m_infoCollector;
}

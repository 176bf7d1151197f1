// The settings of a device class as its description gives them: their
// editors, the echo of the device's values, the changed-tests, the writes and
// the configuration-file accessors.

#include "deviceitem.h"

#include "qtpropertymanager.h"
#include "senddatamanager.h"
#include "statelayout.h"

#include <QDebug>

QtProperty *DeviceItem::addSetting(QtProperty *group, const QString &key)
{
    const DeviceDescription d = describedAs();
    const SettingDescription *s = d.setting(key);
    if (!s) {
        qWarning().noquote() << QStringLiteral("No setting %1 in the description of %2")
                                    .arg(key, QLatin1String(metaObject()->className()));
        return nullptr;
    }
    const DeviceKit::PropertyKit kit(m_groupManager, m_enumManager, m_editEnumManager, m_stringManager);
    QtProperty *property = nullptr;
    if (s->readOnly) {
        property = kit.readOnlyEnum(group, s->title, s->names);
    } else if (!s->names.isEmpty()) {
        property = kit.editableEnum(group, s->title, s->names);
    } else {
        property = m_editIntManager->addProperty(s->title);
        m_editIntManager->setRange(property, s->minimum, s->maximum);
        if (group)
            group->addSubProperty(property);
    }
    m_settings.append(Setting{*s, property});
    return property;
}

const DeviceItem::Setting *DeviceItem::findSetting(const QString &key) const
{
    for (const Setting &setting : m_settings)
        if (setting.description.key == key)
            return &setting;
    return nullptr;
}

const DeviceItem::Setting *DeviceItem::findSetting(const QtProperty *property) const
{
    for (const Setting &setting : m_settings)
        if (setting.property == property)
            return &setting;
    return nullptr;
}

int DeviceItem::editorValue(const Setting &setting) const
{
    if (setting.description.readOnly)
        return m_enumManager->value(setting.property);
    if (setting.description.names.isEmpty())
        return m_editIntManager->value(setting.property);
    return m_editEnumManager->value(setting.property);
}

void DeviceItem::setEditorValue(const Setting &setting, int value)
{
    if (setting.description.readOnly)
        m_enumManager->setValue(setting.property, value);
    else if (setting.description.names.isEmpty())
        m_editIntManager->setValue(setting.property, value);
    else
        m_editEnumManager->setValue(setting.property, value);
}

std::optional<int> DeviceItem::deviceSettingValue(const QString &) const
{
    return std::nullopt;
}

bool DeviceItem::followsDevice(const Setting &setting) const
{
    return !setting.description.field.isEmpty() || deviceSettingValue(setting.description.key).has_value();
}

int DeviceItem::deviceValue(const Setting &setting) const
{
    const SettingDescription &d = setting.description;
    if (d.field.isEmpty())
        return d.editorValue(deviceSettingValue(d.key).value_or(0));
    return d.editorValue(int(stateValue(d.field.toLatin1().constData())));
}

bool DeviceItem::differs(const Setting &setting) const
{
    // A setting the base cannot read from the device is judged by its class.
    if (!followsDevice(setting))
        return false;
    return editorValue(setting) != deviceValue(setting);
}

int DeviceItem::settingValue(const QString &key) const
{
    const Setting *setting = findSetting(key);
    return setting ? editorValue(*setting) : -1;
}

void DeviceItem::echoSettings()
{
    for (const Setting &setting : qAsConst(m_settings)) {
        const SettingDescription &d = setting.description;
        QtProperty *property = setting.property;
        if (!followsDevice(setting))
            continue; // its class follows the device
        if (!d.firmware.isNull() && QVersionNumber::compare(firmwareVersion(), d.firmware) < 0) {
            setPropertyLevel(property, propertyLevel(property) | MarkNeverEditable);
            property->setEnabled(false);
        }
        if (d.readOnly || !property->isModified())
            setEditorValue(setting, deviceValue(setting));
        else if (!differs(setting))
            setPropertyModified(property, false);
    }
}

bool DeviceItem::isConfigurationChanged() const
{
    for (const Setting &setting : m_settings)
        if (!setting.description.readOnly && differs(setting))
            return true;
    return false;
}

bool DeviceItem::isPropertyChanged(QtProperty *property) const
{
    const Setting *setting = findSetting(property);
    if (!setting || setting->description.readOnly)
        return false;
    if (m_wholeConfigurationCheck)
        m_configurationClean = !isConfigurationChanged();
    return differs(*setting);
}

void DeviceItem::writeSettings()
{
    const QVersionNumber firmware = firmwareVersion();
    for (const SettingWrite &write : qAsConst(m_writes)) {
        if (!write.serves(firmware))
            continue;
        QList<const Setting *> carried;
        bool edited = write.always;
        for (const QString &key : write.settings) {
            if (const Setting *setting = findSetting(key)) {
                carried << setting;
                edited = edited || setting->property->isModified();
            }
        }
        if (!edited || carried.isEmpty())
            continue;

        QList<int> values;
        for (const Setting *setting : carried)
            values << setting->description.deviceValue(editorValue(*setting));
        QByteArray data;
        if (write.data) {
            data = write.data(values);
        } else {
            for (int value : values)
                data.append(char(value));
        }

        if (write.kind == SettingWrite::Queued) {
            SendDataManager::instance()->enqueue({this}, write.prefix + data);
        } else if (write.kind == SettingWrite::Direct) {
            emit sendPacket(packetBytes({PT_DEVICE_SEND_DATA, deviceId()}) + write.prefix + data,
                            matchPacketType(PT_DEVICE_SEND_DATA_ACK));
        } else {
            emit sendPacket(packetBytes({PT_DEVICE_EEPROM_WRITE_REQ, deviceId(), quint8(write.cell), quint8(write.cell >> 8)})
                                + data,
                            matchPacketType(PT_DEVICE_EEPROM_WRITE_ACK));
            emit sendPacket(packetBytes({PT_REBOOT_DEVICE, deviceId()}), matchPacketType(PT_REBOOT_DEVICE_ACK));
        }

        if (!write.mirror)
            continue;
        const StateLayout::Layout *layout = StateLayout::deviceLayout(deviceType());
        for (int i = 0; i < carried.size(); ++i) {
            const StateLayout::Field *field = layout ? layout->field(carried.at(i)->description.field) : nullptr;
            if (field)
                StateLayout::write(m_stored.data(), *field, StateLayout::read(m_stored.bytes(), *field) | values.at(i));
        }
    }
}

QVariant DeviceItem::fileSettingValue(const QString &key) const
{
    const Setting *setting = findSetting(key);
    if (!setting || !setting->description.carriedFor(deviceType()))
        return QVariant();
    const int value = editorValue(*setting);
    return setting->description.booleanInFiles ? QVariant(value != 0) : QVariant(value);
}

bool DeviceItem::setFileSettingValue(const QString &key, int value)
{
    const Setting *setting = findSetting(key);
    if (!setting || !setting->description.carriedFor(deviceType()) || setting->description.exportOnly)
        return false;
    setEditorValue(*setting, value);
    return true;
}

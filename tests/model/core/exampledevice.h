#pragma once

#include "deviceitem.h"
#include "qtpropertymanager.h"
#include "senddatamanager.h"

#include <QCoreApplication>

// A small device class built the way the real ones are: one switch setting
// ("Enable", state byte 1 bit 2) and two settings that share the name
// "Sensitivity" (state bytes 2 and 3).
class ExampleDevice : public DeviceItem
{
    Q_OBJECT
public:
    ExampleDevice(const deviceInfo_t &info, bool kastrelMode) : DeviceItem(info, kastrelMode)
    {
        parameterTitles();
        group = m_groupManager->addProperty(QStringLiteral("Switch"));
        enable = m_editEnumManager->addProperty(QStringLiteral("Enable"));
        m_editEnumManager->setEnumNames(enable, {QStringLiteral("No"), QStringLiteral("Yes")});
        group->addSubProperty(enable);
        near = m_editIntManager->addProperty(QStringLiteral("Sensitivity"));
        far = m_editIntManager->addProperty(QStringLiteral("Sensitivity"));
        m_editIntManager->setRange(near, 0, 9);
        m_editIntManager->setRange(far, 0, 9);
        group->addSubProperty(near);
        group->addSubProperty(far);
        m_topProperties.append(group);
    }

    static QStringList staticFieldNames() { return {QStringLiteral("gpCase"), QStringLiteral("enable")}; }
    static QString staticParameterKey(const QString &title)
    {
        return title == QLatin1String("Enabled") ? QStringLiteral("enable") : DeviceItem::staticParameterKey(title);
    }
    static QString staticParameterTitle(const QString &key)
    {
        return key == QLatin1String("enable") ? QStringLiteral("Enabled") : DeviceItem::staticParameterTitle(key);
    }
    QStringList fieldNames() const override { return staticFieldNames(); }
    void parameterTitles() override
    {
        DeviceItem::parameterTitles();
        m_parameterTitleMap.insert(staticParameterTitle(QStringLiteral("enable")), QStringLiteral("enable"));
    }

    int deviceEnable() const { return (stateByte(1) >> 2) & 1; }
    int deviceValue(QtProperty *property) const
    {
        if (property == enable)
            return deviceEnable();
        if (property == near)
            return stateByte(2);
        if (property == far)
            return stateByte(3);
        return -1;
    }
    int editorValue(QtProperty *property) const
    {
        return property == enable ? m_editEnumManager->value(property) : m_editIntManager->value(property);
    }

    bool isPropertyChanged(QtProperty *property) const override
    {
        if (property != enable && property != near && property != far)
            return false;
        return editorValue(property) != deviceValue(property);
    }
    bool isConfigurationChanged() const override
    {
        return isPropertyChanged(enable) || isPropertyChanged(near) || isPropertyChanged(far);
    }

    void updateState(const deviceInfo_t &info, QByteArray state) override
    {
        // Let the base copy the bytes first so deviceValue() reads the new ones.
        DeviceItem::updateState(info, state);
        for (QtProperty *property : {enable, near, far}) {
            if (property->isModified()) {
                if (editorValue(property) == deviceValue(property))
                    setPropertyModified(property, false);
            } else if (property == enable) {
                m_editEnumManager->setValue(enable, deviceEnable());
            } else {
                m_editIntManager->setValue(property, deviceValue(property));
            }
        }
        bool anyModified = false;
        for (QtProperty *property : {enable, near, far})
            anyModified = anyModified || property->isModified();
        if (!anyModified)
            setWriteSettingsState(0);
    }

    void writeDeviceConfiguration() override
    {
        if (enable->isModified())
            SendDataManager::instance()->enqueue({this}, QByteArray::fromHex("000102") + char(editorValue(enable)));
        DeviceItem::writeDeviceConfiguration();
    }

    QtProperty *group = nullptr;
    QtProperty *enable = nullptr;
    QtProperty *near = nullptr;
    QtProperty *far = nullptr;
};

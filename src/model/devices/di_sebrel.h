#pragma once

#include "di_abstractrepeater.h"

// The radio repeaters: they relay radio traffic for the devices bound
// through them and run from external supply lines with a battery in reserve.
// DI_Sebrel has one line; DI_Sebrel_ISP02 two, and the choice of the reserve.
class DI_Sebrel : public DI_AbstractRepeater
{
    Q_OBJECT
public:
    DI_Sebrel(const deviceInfo_t &info, bool kastrelMode);

    static DeviceDescription description();

    bool isFeatureSupported(int feature) const override;
    bool hasAlarm() const override;
    bool hasFault() const override;
    void updateState(const deviceInfo_t &info, QByteArray state) override;
    QVariant data(int role = Qt::UserRole + 1) const override;

protected:
    // The repeater with two lines builds its own line rows.
    DI_Sebrel(const deviceInfo_t &info, bool kastrelMode, DescriptionFn describe, int lines);
    // The name of a line state as shown (state 2 without voltage: none).
    QString lineText(int state, int millivolts) const;
    QString batteryText(int state) const { return DeviceKit::nameAt(m_batteryNames, state); }
    bool troubleFree() const { return m_stored.bit(0, 6) && m_stored.bit(0, 7); }
    // The status text of an online repeater from the parts of its lines:
    // then the battery and the case, or "Normal".
    QString repeaterStatus(QStringList parts, int battery) const;

    QStringList m_batteryNames;
    QStringList m_lineNames;
    QtProperty *m_propBattery = nullptr;
    QtProperty *m_propBatteryVoltage = nullptr;

private:
    QtProperty *m_propLine = nullptr;
    QtProperty *m_propLineVoltage = nullptr;
};

class DI_Sebrel_ISP02 : public DI_Sebrel
{
    Q_OBJECT
public:
    DI_Sebrel_ISP02(const deviceInfo_t &info, bool kastrelMode);

    static DeviceDescription description();

    bool isFeatureSupported(int feature) const override;
    bool hasFault() const override;
    void updateState(const deviceInfo_t &info, QByteArray state) override;
    QVariant data(int role = Qt::UserRole + 1) const override;

protected:
    std::optional<int> deviceSettingValue(const QString &key) const override;

private:
    QtProperty *m_propLine1 = nullptr;
    QtProperty *m_propLine1Voltage = nullptr;
    QtProperty *m_propLine2 = nullptr;
    QtProperty *m_propLine2Voltage = nullptr;
    QtProperty *m_propReserve = nullptr;
};

#pragma once

#include "deviceitem.h"

// The climate sensor: temperature and humidity, and carbon monoxide in the
// type that measures it. Display-only.
class DI_Wemdar : public DeviceItem
{
    Q_OBJECT
public:
    DI_Wemdar(const deviceInfo_t &info, bool kastrelMode);

    static DeviceDescription description();

    QStringList fieldNames() const override;
    bool hasAlarm() const override;
    bool hasFault() const override;
    void updateState(const deviceInfo_t &info, QByteArray state) override;
    QVariant data(int role = Qt::UserRole + 1) const override;

private:
    static constexpr int CarbonMonoxideType = 31;

    // The values in tenths (°C, %, ppm): the device's hundredths divided by 10.
    int m_temperature = 0;
    int m_humidity = 0;
    int m_carbonMonoxide = 0;

    QtProperty *m_groupSensor = nullptr;
    QtProperty *m_propTemperature = nullptr;
    QtProperty *m_propHumidity = nullptr;
    QtProperty *m_propCarbonMonoxide = nullptr;
};

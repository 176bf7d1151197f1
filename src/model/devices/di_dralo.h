#pragma once

#include "alarmkeystate.h"
#include "deviceitem.h"

// Manual fire call points and remote-start buttons: read-only push-button
// devices.
class DI_Dralo : public DeviceItem
{
    Q_OBJECT
public:
    DI_Dralo(const deviceInfo_t &info, bool kastrelMode);

    static DeviceDescription description();
    // The picture of a call-point type code.
    static QString pictureFile(int type) { return description().pictureOf(type); }

    bool isFeatureSupported(int feature) const override;
    bool hasAlarm() const override;
    bool hasFault() const override;
    void updateState(const deviceInfo_t &info, QByteArray state) override;

private:
    AlarmKeyState::Properties m_key;
};

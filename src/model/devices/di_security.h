#pragma once

#include "alarmkeystate.h"
#include "deviceitem.h"

// The alarm key (panic button): a read-only push-button device. Its titles
// are the base ones.
class DI_security : public DeviceItem
{
    Q_OBJECT
public:
    DI_security(const deviceInfo_t &info, bool kastrelMode);

    static DeviceDescription description();

    bool hasAlarm() const override;
    bool hasFault() const override;
    void updateState(const deviceInfo_t &info, QByteArray state) override;

private:
    AlarmKeyState::Properties m_key;
};

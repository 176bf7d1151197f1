#pragma once

#include "deviceitem.h"

// The water-leakage sensor: shows whether its probe found water or is
// shorted. Read-only: no settings, no commands.
class DI_Rufta : public DeviceItem
{
    Q_OBJECT
public:
    DI_Rufta(const deviceInfo_t &info, bool kastrelMode);

    static DeviceDescription description();

    bool hasAlarm() const override;
    bool hasFault() const override;
    void updateState(const deviceInfo_t &info, QByteArray state) override;
    QVariant data(int role = Qt::UserRole + 1) const override;

protected:
    DI_Rufta(const deviceInfo_t &info, bool kastrelMode, DescriptionFn describe);

    bool leak() const { return stateValue("Z1.fAlarm"); }
    bool shorted() const { return stateValue("Z1.fFail"); }

    QtProperty *m_groupLeakage = nullptr;
    QtProperty *m_propLeakState = nullptr;
};

// The leakage sensor without a case contact and without a reserve supply.
class DI_Rufta_ISP1 : public DI_Rufta
{
    Q_OBJECT
public:
    DI_Rufta_ISP1(const deviceInfo_t &info, bool kastrelMode);

    static DeviceDescription description();

    bool hasFault() const override;
    QVariant data(int role = Qt::UserRole + 1) const override;
};

#pragma once

#include "deviceitem.h"

// The acoustic sensor: its alarm, working state and sensitivity, read-only,
// and service commands from the context menu.
class DI_Vuxo_ISP1 : public DeviceItem
{
    Q_OBJECT
public:
    DI_Vuxo_ISP1(const deviceInfo_t &info, bool kastrelMode);

    static DeviceDescription description();

    bool hasAlarm() const override;
    bool hasFault() const override;
    void updateState(const deviceInfo_t &info, QByteArray state) override;
    void executeAction(const int &id) override;
    QVariant data(int role = Qt::UserRole + 1) const override;

    // The service texts kept beside the tree: the last command's answer and
    // state byte 5 in binary.
    QString debugText() const;
    QString debugStateText() const;

private:
    bool testMode() const { return stateValue("Z1.fTest"); }
    int result() const { return int(stateValue("Z1.bResult")); }

    QtProperty *m_groupAcoustic = nullptr;
    QtProperty *m_propAlarm = nullptr;
    QtProperty *m_propSensorState = nullptr;
    QtProperty *m_propSensitivity = nullptr;
    QtProperty *m_propDebug = nullptr;
    QtProperty *m_propDebugState = nullptr;
};

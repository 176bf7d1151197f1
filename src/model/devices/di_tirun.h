#pragma once

#include "deviceitem.h"

// The magnetic contact sensor: a reed switch with an anti-masking switch and
// an optional wired controlled circuit that the user switches on or off.
class DI_Tirun : public DeviceItem
{
    Q_OBJECT
public:
    // The anti-masking switch, offered in the context menu.
    enum ActionId { EnableSabotageAction = 0, DisableSabotageAction = 1 };

    DI_Tirun(const deviceInfo_t &info, bool kastrelMode);

    static DeviceDescription description();
    static QStringList staticFieldNames() { return description().fieldNames; }
    static QString staticParameterKey(const QString &title) { return description().keyOfTitle(title); }
    static QString staticParameterTitle(const QString &key) { return description().titleOfKey(key); }

    bool hasAlarm() const override;
    bool hasFault() const override;
    void updateState(const deviceInfo_t &info, QByteArray state) override;
    QVariant data(int role = Qt::UserRole + 1) const override;
    void executeAction(const int &id) override;

    // Configuration file keys "enabledCable" and "enabledSabotage".
    int enabledCable() const { return settingValue(QStringLiteral("enabledCable")); }
    void setEnabledCable(int value) { setFileSettingValue(QStringLiteral("enabledCable"), value); }
    int enabledSabotage() const { return settingValue(QStringLiteral("enabledSabotage")); }
    void setEnabledSabotage(int value) { setFileSettingValue(QStringLiteral("enabledSabotage"), value); }

public slots:
    void disableSabotage();
    void enableSabotage();

private:
    bool cableOn() const { return stateValue("Z2.fActive"); }
    int circuitState() const { return int(stateValue("Z2.bTrainState")); }
    void showCircuitDetails(bool show);

    QtProperty *m_groupGerkon = nullptr;
    QtProperty *m_propGerkonState = nullptr;
    QtProperty *m_propGerkonValue = nullptr;
    QtProperty *m_groupCircuit = nullptr;
    QtProperty *m_propEnableCircuit = nullptr;
    QtProperty *m_propCircuitState = nullptr;
    QtProperty *m_propCircuitValue = nullptr;
    QtProperty *m_propAdc = nullptr;
};

#pragma once

#include "deviceitem.h"

// The passive infrared detector with a near and a far zone: movement, each
// zone's state and sensitivity, and a test mode.
class DI_Taskel : public DeviceItem
{
    Q_OBJECT
public:
    DI_Taskel(const deviceInfo_t &info, bool kastrelMode);

    static DeviceDescription description();
    static QStringList staticFieldNames() { return description().fieldNames; }
    static QString staticParameterKey(const QString &title) { return description().keyOfTitle(title); }
    static QString staticParameterTitle(const QString &key) { return description().titleOfKey(key); }

    bool hasAlarm() const override;
    bool hasFault() const override;
    void updateState(const deviceInfo_t &info, QByteArray state) override;
    void executeAction(const int &id) override;
    QVariant data(int role = Qt::UserRole + 1) const override;

    // Configuration file keys "nearSensitivity" and "farSensitivity".
    int nearSensitivity() const { return settingValue(QStringLiteral("nearSensitivity")); }
    void setNearSensitivity(int value) { setFileSettingValue(QStringLiteral("nearSensitivity"), value); }
    int farSensitivity() const { return settingValue(QStringLiteral("farSensitivity")); }
    void setFarSensitivity(int value) { setFileSettingValue(QStringLiteral("farSensitivity"), value); }

public slots:
    void enableTestMode(int mode);
    void setRoughMode2();
    void setPreciseMode2();
    void setSensitivityLevel2(int level1, int level2);
    void setEnabledSensors(int mode);

private:
    // The editor's index once the state is echoed: the user's while edited,
    // else the device's.
    int shownIndex(QtProperty *editor, int deviceIndex) const;

    QtProperty *m_groupIr = nullptr;
    QtProperty *m_propMovement = nullptr;
    QtProperty *m_propNearSensitivity = nullptr;
    QtProperty *m_propNearZone = nullptr;
    QtProperty *m_propFarSensitivity = nullptr;
    QtProperty *m_propFarZone = nullptr;
    QtProperty *m_propTestMode = nullptr;
    QtProperty *m_propAdc = nullptr; // kept, not shown
    QString m_nearText;
    QString m_farText;
};

#pragma once

#include "deviceitem.h"

// The flame detector: its status, its detection range and response speed
// (written into the detector's memory, then a restart), and "Fixate".
class DI_Lumeq : public DeviceItem
{
    Q_OBJECT
public:
    DI_Lumeq(const deviceInfo_t &info, bool kastrelMode);

    static DeviceDescription description();
    static QStringList staticFieldNames() { return description().fieldNames; }
    static QString staticParameterKey(const QString &title) { return description().keyOfTitle(title); }
    static QString staticParameterTitle(const QString &key) { return description().titleOfKey(key); }

    bool hasAlarm() const override;
    bool hasFault() const override;
    void updateState(const deviceInfo_t &info, QByteArray state) override;
    void executeAction(const int &id) override;
    QVariant data(int role = Qt::UserRole + 1) const override;

    // Configuration file keys "specRange" and "specSpeed".
    int specRange() const { return settingValue(QStringLiteral("specRange")); }
    void setSpecRange(int value) { setFileSettingValue(QStringLiteral("specRange"), value); }
    int specSpeed() const { return settingValue(QStringLiteral("specSpeed")); }
    void setSpecSpeed(int value) { setFileSettingValue(QStringLiteral("specSpeed"), value); }

private:
    QtProperty *m_propStatusIndex = nullptr;
};

#pragma once

#include "firedetector.h"

// The optical smoke fire detector: smoke and dust levels, the case and
// tech-run commands, and its alarm level (plain fire detector or analogue
// smoke measurement with four smoke thresholds).
class DI_Mavo : public FireDetectorItem
{
    Q_OBJECT
public:
    DI_Mavo(const deviceInfo_t &info, bool kastrelMode);

    static DeviceDescription description();
    static QStringList staticFieldNames() { return description().fieldNames; }
    static QString staticParameterKey(const QString &title) { return description().keyOfTitle(title); }
    static QString staticParameterTitle(const QString &key) { return description().titleOfKey(key); }

    // 1000 one toggling case action, 1001 the alarm level readable; others
    // as isFeatureSupported.
    bool hasFeature(int feature) const;

    bool isFeatureSupported(int feature) const override;
    QStringList fieldNames() const override;
    bool addExtraProperties() override;
    bool hasFault() const override;
    void updateState(const deviceInfo_t &info, QByteArray state) override;
    bool isConfigurationChanged() const override;
    bool isPropertyChanged(QtProperty *property) const override;
    QVariant data(int role = Qt::UserRole + 1) const override;

    // The thresholds and input type last read from the device: daytime fire,
    // night fire, daytime warning, night warning, input type.
    QList<int> deviceValues() const;

public slots:
    void readAlarmLevel();
    void setAlarmLevel();
    void offAlarmLevel();
    void writeDeviceConfiguration() override;

protected:
    bool caseToggles() const override { return hasFeature(1000); }
    void alarmLevelReceived(const QByteArray &reply) override;
    int alarmLevelReplyBytes() const override { return 6; }
    QString wrongReplyTypeText(quint8 type) const override;

private:
    enum Threshold { DayFire, NightFire, DayWarning, NightWarning, ThresholdCount };

    bool extraPropertiesAdded() const { return m_propInputType != nullptr; }
    void inputTypeChanged(int value);

    int m_device[ThresholdCount] = {0, 0, 0, 0};
    int m_deviceInputType = 0;

    QtProperty *m_groupSmoke = nullptr;
    QtProperty *m_propState = nullptr;
    QtProperty *m_propSmoke = nullptr;
    QtProperty *m_propDust = nullptr;
    QtProperty *m_propInputType = nullptr;
    QtProperty *m_propThreshold[ThresholdCount] = {nullptr, nullptr, nullptr, nullptr};
};

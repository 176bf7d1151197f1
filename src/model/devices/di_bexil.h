#pragma once

#include "firedetector.h"

// The heat fire detector: its temperature and failure codes, the case and
// tech-run commands, and its alarm level (a detector class with or without
// rate-of-rise, and an optional warning threshold).
class DI_Bexil : public FireDetectorItem
{
    Q_OBJECT
public:
    DI_Bexil(const deviceInfo_t &info, bool kastrelMode);

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

    // The class last read from the device (-1 before the first reply), its
    // warning flag and value (-128: none).
    int deviceClass() const { return m_deviceClass; }
    int deviceWarning() const { return m_deviceWarning; }
    int deviceWarningValue() const { return m_deviceWarningValue; }

public slots:
    void disableWarningThreshold();
    void readAlarmLevel();
    void setAlarmLevel(int value, bool diffModeDis);
    void offAlarmLevel();
    void writeDeviceConfiguration() override;

protected:
    bool caseToggles() const override { return hasFeature(1000); }
    void alarmLevelReceived(const QByteArray &reply) override;
    int alarmLevelReplyBytes() const override { return 5; }
    QString wrongReplyTypeText(quint8 type) const override;

private:
    bool extraPropertiesAdded() const { return m_propClass != nullptr; }
    quint8 warningByte() const;
    void editorChanged(QtProperty *property);
    void clearWarningMarks();
    void sendRecord(quint8 mode, quint8 classByte, quint8 warning);

    int m_deviceClass = -1;
    int m_deviceWarning = 0;
    int m_deviceWarningValue = -128;

    QtProperty *m_groupTemperature = nullptr;
    QtProperty *m_propState = nullptr;
    QtProperty *m_propValue = nullptr;
    QtProperty *m_propClass = nullptr;
    QtProperty *m_propWarning = nullptr;
    QtProperty *m_propThreshold = nullptr;
};

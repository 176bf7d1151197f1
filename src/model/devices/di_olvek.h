#pragma once

#include "deviceitem.h"

// The passive infrared motion detector: movement and alarm state, its
// sensitivity (four levels, two on older models) and a test mode. Three
// models derive from it with small changes.
class DI_Olvek : public DeviceItem
{
    Q_OBJECT
public:
    DI_Olvek(const deviceInfo_t &info, bool kastrelMode);

    static DeviceDescription description();
    static QStringList staticFieldNames() { return description().fieldNames; }
    static QString staticParameterKey(const QString &title) { return description().keyOfTitle(title); }
    static QString staticParameterTitle(const QString &key) { return description().titleOfKey(key); }

    bool hasAlarm() const override;
    bool hasFault() const override;
    void updateState(const deviceInfo_t &info, QByteArray state) override;
    void executeAction(const int &id) override;
    void parameterTitles() override;
    bool isConfigurationChanged() const override;
    bool isPropertyChanged(QtProperty *property) const override;
    QVariant data(int role = Qt::UserRole + 1) const override;

    // Only "High" and "Low": the model and its firmware offer two levels.
    bool twoLevelSensitivity() const;

public slots:
    void writeDeviceConfiguration() override;
    void enableTestMode();
    void disableTestMode();
    void setRoughMode();
    void setPreciseMode();
    void setSensitivityLevel(int level);

protected:
    DI_Olvek(const deviceInfo_t &info, bool kastrelMode, DescriptionFn describe);
    // The family's description for other codes and a picture of their own.
    static DeviceDescription describeFamily(const QList<int> &codes, const QString &picture);

private:
    void build();
    // The device's level (byte 6 bits 0-3), 1 the most sensitive.
    int deviceSensitivity() const { return int(stateValue("Z1.btfSensitivity")); }
    bool sensitivityDiffers() const;

    QtProperty *m_groupIr = nullptr;
    QtProperty *m_propMovement = nullptr;
    QtProperty *m_propState = nullptr;
    QtProperty *m_propSensitivity = nullptr;
    QtProperty *m_propTestMode = nullptr;
    QString m_sensitivityText; // as last read from the device
    int m_writtenTwoLevel = -1; // two levels: the editor index last written; -1 none yet
};

// The model of type codes 33 and 52: the base field names and titles.
class DI_Olvek_Pemmel : public DI_Olvek
{
    Q_OBJECT
public:
    DI_Olvek_Pemmel(const deviceInfo_t &info, bool kastrelMode);

    static DeviceDescription description();
    static QStringList staticFieldNames() { return description().fieldNames; }
    static QString staticParameterKey(const QString &title) { return description().keyOfTitle(title); }
    static QString staticParameterTitle(const QString &key) { return description().titleOfKey(key); }
};

// The model of type code 26: its own status text on older firmware.
class DI_Olvek_ISP2 : public DI_Olvek
{
    Q_OBJECT
public:
    DI_Olvek_ISP2(const deviceInfo_t &info, bool kastrelMode);

    static DeviceDescription description();
    static QStringList staticFieldNames() { return description().fieldNames; }
    static QString staticParameterKey(const QString &title) { return description().keyOfTitle(title); }
    static QString staticParameterTitle(const QString &key) { return description().titleOfKey(key); }

    QVariant data(int role = Qt::UserRole + 1) const override;
};

// The model of type code 18: its own picture and feature table.
class DI_Kemrel : public DI_Olvek
{
    Q_OBJECT
public:
    DI_Kemrel(const deviceInfo_t &info, bool kastrelMode);

    static DeviceDescription description();
    static QStringList staticFieldNames() { return description().fieldNames; }
    static QString staticParameterKey(const QString &title) { return description().keyOfTitle(title); }
    static QString staticParameterTitle(const QString &key) { return description().titleOfKey(key); }
};

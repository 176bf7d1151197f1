#pragma once

#include "deviceitem.h"

// The shift sensor: an accelerometer that detects shift and tilt, its
// settings written into the device's memory, and three actions.
class DI_Yolvik_ISP1 : public DeviceItem
{
    Q_OBJECT
public:
    DI_Yolvik_ISP1(const deviceInfo_t &info, bool kastrelMode);

    static DeviceDescription description();
    static QStringList staticFieldNames() { return description().fieldNames; }
    static QString staticParameterKey(const QString &title) { return description().keyOfTitle(title); }
    static QString staticParameterTitle(const QString &key) { return description().titleOfKey(key); }

    bool hasAlarm() const override;
    bool hasFault() const override;
    void updateState(const deviceInfo_t &info, QByteArray state) override;
    void executeAction(const int &id) override;
    QVariant data(int role = Qt::UserRole + 1) const override;

    // Configuration file keys "shiftDetection", "shiftSensitivity",
    // "tiltDetection" and "tiltSensitivity".
    int shiftDetection() const { return settingValue(QStringLiteral("shiftDetection")); }
    void setShiftDetection(int value) { setFileSettingValue(QStringLiteral("shiftDetection"), value); }
    int shiftSensitivity() const { return settingValue(QStringLiteral("shiftSensitivity")); }
    void setShiftSensitivity(int value) { setFileSettingValue(QStringLiteral("shiftSensitivity"), value); }
    int tiltDetection() const { return settingValue(QStringLiteral("tiltDetection")); }
    void setTiltDetection(int value) { setFileSettingValue(QStringLiteral("tiltDetection"), value); }
    int tiltSensitivity() const { return settingValue(QStringLiteral("tiltSensitivity")); }
    void setTiltSensitivity(int value) { setFileSettingValue(QStringLiteral("tiltSensitivity"), value); }

public slots:
    void fixate();
    void enable();
    void disable();
    void writeDeviceConfiguration() override;

protected:
    DI_Yolvik_ISP1(const deviceInfo_t &info, bool kastrelMode, DescriptionFn describe);
    // The description of the family with the given codes.
    static DeviceDescription describeFamily(const QList<int> &codes);
    // The nine accelerometer values, recorded under the serial number.
    void storeAccelerometer(quint32 serial);

    QtProperty *m_groupShift = nullptr;

private:
    void build();

    QtProperty *m_propTilt = nullptr;
    QtProperty *m_propShift = nullptr;
    QtProperty *m_groupSettings = nullptr;
    QtProperty *m_propAutoFixate = nullptr;
    QtProperty *m_propNoise = nullptr; // kept, not shown
};

// The shift sensor with a reed-switch input, "Gerkon".
class DI_Yolvik : public DI_Yolvik_ISP1
{
    Q_OBJECT
public:
    DI_Yolvik(const deviceInfo_t &info, bool kastrelMode);

    static DeviceDescription description();
    static QStringList staticFieldNames() { return description().fieldNames; }
    static QString staticParameterKey(const QString &title) { return description().keyOfTitle(title); }
    static QString staticParameterTitle(const QString &key) { return description().titleOfKey(key); }

    bool hasAlarm() const override;
    void updateState(const deviceInfo_t &info, QByteArray state) override;
    QVariant data(int role = Qt::UserRole + 1) const override;

private:
    QtProperty *m_propGerkon = nullptr;
};

// The reed-switch sensor of the family: no accelerometer, no settings.
class DI_Yolvik_ISP2 : public DeviceItem
{
    Q_OBJECT
public:
    DI_Yolvik_ISP2(const deviceInfo_t &info, bool kastrelMode);

    static DeviceDescription description();
    static QStringList staticFieldNames() { return description().fieldNames; }
    static QString staticParameterKey(const QString &title) { return description().keyOfTitle(title); }
    static QString staticParameterTitle(const QString &key) { return description().titleOfKey(key); }

    bool hasAlarm() const override;
    bool hasFault() const override;
    void updateState(const deviceInfo_t &info, QByteArray state) override;
    QVariant data(int role = Qt::UserRole + 1) const override;

private:
    QtProperty *m_propGerkon = nullptr;
};

#pragma once

#include "di_abstractrepeater.h"

class SignTest;

// The battery emergency sign: a display that is lit, masked or off, and on
// newer hardware the wall control with the case and wall states.
class DI_Pondra : public DeviceItem
{
    Q_OBJECT
public:
    DI_Pondra(const deviceInfo_t &info, bool kastrelMode);

    static DeviceDescription description();

    // Feature 1000: wall control and the case and wall states (hardware 3.0
    // on); others as isFeatureSupported.
    bool hasFeature(int feature) const;
    bool hasFault() const override;
    void updateState(const deviceInfo_t &info, QByteArray state) override;
    QVariant data(int role = Qt::UserRole + 1) const override;
    void executeAction(const int &id) override;

    const SignTest *signTest() const { return m_test; }
    // The display's text: "Fail", or the mode's; and its recorded value.
    static QString signText(bool failed, int mode);
    static int signValue(bool failed, int mode);

public slots:
    void startTesting();
    void endTesting();
    void turnOn();
    void turnOff();
    void enableWallControl(int state);

protected:
    std::optional<int> deviceSettingValue(const QString &key) const override;

private:
    SignTest *m_test = nullptr;
    QtProperty *m_propCaseState = nullptr;
    QtProperty *m_propDetached = nullptr;
    QtProperty *m_propSign = nullptr;
};

// The mains or external-supply emergency sign, which also relays radio
// traffic: brightness, wall control and its power group.
class DI_Pondra_24_220 : public DI_AbstractRepeater
{
    Q_OBJECT
public:
    DI_Pondra_24_220(const deviceInfo_t &info, bool kastrelMode);

    static DeviceDescription description();

    bool hasFault() const override;
    void updateState(const deviceInfo_t &info, QByteArray state) override;
    QVariant data(int role = Qt::UserRole + 1) const override;
    void executeAction(const int &id) override;
    bool isPropertyChanged(QtProperty *property) const override;

    const SignTest *signTest() const { return m_test; }

    // Configuration file keys "brightness" (the editor's index) and
    // "wallControl" (type 50).
    int brightness() const { return settingValue(QStringLiteral("brightness")); }
    void setBrightnessValue(int index) { setFileSettingValue(QStringLiteral("brightness"), index); }
    int wallControl() const { return settingValue(QStringLiteral("wallControl")); }
    void setWallControl(int value) { setFileSettingValue(QStringLiteral("wallControl"), value); }

    // The brightness levels: 10, 50 and 100; an index outside them is 2.
    static quint8 brightnessLevel(int index);

public slots:
    void startTesting();
    void endTesting();
    void turnOn();
    void turnOff();
    void setBrightness(int level);
    void enableWallControl();
    void disableWallControl();

protected:
    std::optional<int> deviceSettingValue(const QString &key) const override;

private:
    bool wallControlOn() const { return m_stored[14] != 0; }

    QStringList m_batteryNames;
    QStringList m_lineNames;
    SignTest *m_test = nullptr;
    QtProperty *m_propCaseState = nullptr;
    QtProperty *m_propDetached = nullptr;
    QtProperty *m_propBrightness = nullptr;
    QtProperty *m_propSign = nullptr;
    QtProperty *m_groupPower = nullptr;
    QtProperty *m_propLine = nullptr;
    QtProperty *m_propLineVoltage = nullptr; // type 50 only
    QtProperty *m_propBattery = nullptr;
    QtProperty *m_propBatteryVoltage = nullptr;
};

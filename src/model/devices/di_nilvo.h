#pragma once

#include "deviceitem.h"

#include <QTimer>

// The pulse-counter adapter: three inputs that count the pulses of water or
// heat meters (inputs 1 and 2) and watch a leak detector (input 3). The
// tree takes the shape of the chosen work mode; the settings go into the
// device's memory, followed by a restart; the counters are read by a request
// of their own after each keep-alive.
class DI_Nilvo : public DeviceItem
{
    Q_OBJECT
public:
    DI_Nilvo(const deviceInfo_t &info, bool kastrelMode);

    static DeviceDescription description();
    static QStringList staticFieldNames() { return description().fieldNames; }
    static QString staticParameterKey(const QString &title) { return description().keyOfTitle(title); }
    static QString staticParameterTitle(const QString &key) { return description().titleOfKey(key); }
    // Intervals of the keep-alive and of the counter read after it (30000 and
    // 1000 ms). Tests shorten them; items made afterwards use them.
    static void setTimings(int keepAliveIntervalMs, int readDelayMs);

    bool isFeatureSupported(int feature) const override;
    bool hasAlarm() const override;
    bool hasFault() const override;
    void updateState(const deviceInfo_t &info, QByteArray state) override;
    QString addressText() const override;
    bool isConfigurationChanged() const override;
    bool isPropertyChanged(QtProperty *property) const override;
    void onPropertyChanged(QtProperty *property, bool userEdit) override;
    QVariant data(int role = Qt::UserRole + 1) const override;

    // Configuration file keys "workMode", "inputMode" and "speedMode".
    int workMode() const { return settingValue(QStringLiteral("workMode")); }
    void setWorkMode(int value) { setFileSettingValue(QStringLiteral("workMode"), value); }
    int inputMode() const { return settingValue(QStringLiteral("inputMode")); }
    void setInputMode(int value) { setFileSettingValue(QStringLiteral("inputMode"), value); }
    int speedMode() const { return settingValue(QStringLiteral("speedMode")); }
    void setSpeedMode(int value) { setFileSettingValue(QStringLiteral("speedMode"), value); }

public slots:
    void keepAlive();
    void readCounters();
    void writeDeviceConfiguration() override;

private:
    enum WorkMode { WaterCounter = 0, WaterAndLeak = 1, HeatCounter = 2 };
    static constexpr int BlockSize = 18;

    bool awake() const { return stateValue("state.fMultiFunc"); }
    bool inUse(int input) const;
    // Bits 2-3 of state byte 4 both set.
    bool heatSetUp() const { return stateValue("Z1.btfCntType") == 3; }
    int speed() const { return int(stateValue("Z1.btfSpeed")); }
    // The device's work mode m and counter type t.
    int deviceWorkMode() const;
    int deviceCounterType() const;
    quint32 count(int index) const;
    bool onCounterReply(const Packet &reply);

    // Shows, hides, enables and disables the rows for a work mode and a
    // counter value (a "Counter mode" index, 2 for the heat counter).
    void applyLayout(int workMode, int counter);
    void applyWaterLayout(bool statesShown);
    void showRow(QtProperty *group, QtProperty *property, bool shown);
    void loadEditors(int workMode, int counterType);
    void setCounterTexts(const QString &text);
    void clearEditorMarks();
    void decodeInputs(int counterType);
    void recordFields(quint32 serial, int workMode, int counterType);
    bool judgeEdit(QtProperty *property);

    QTimer m_keepAliveTimer;
    QByteArray m_counterBlock = QByteArray(BlockSize, '\0');
    QStringList m_counterTexts;
    int m_rememberedWorkMode = 0;
    int m_rememberedCounter = 0;
    bool m_settingsNotLoaded = true;
    bool m_editsPending = false;
    quint8 m_rememberedInputs = 0;
    bool m_judgingUserEdit = false;

    QtProperty *m_groupSettings = nullptr;
    QtProperty *m_propWorkMode = nullptr;
    QtProperty *m_propCounterMode = nullptr;
    QtProperty *m_propSpeedMode = nullptr;
    QtProperty *m_groupInput[3] = {nullptr, nullptr, nullptr};
    QtProperty *m_propState[3] = {nullptr, nullptr, nullptr};
    QtProperty *m_propCounter[3] = {nullptr, nullptr, nullptr};
    QtProperty *m_propBattery = nullptr;
    QtProperty *m_propInterval = nullptr;
};

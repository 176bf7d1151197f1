#pragma once

#include "devicekit.h"
#include "deviceitem.h"

// The magnetic contact sensor: a reed switch with an anti-masking switch and
// an optional wired controlled circuit that the user switches on or off.
class DI_Tirun : public DeviceItem
{
    Q_OBJECT
public:
    DI_Tirun(const deviceInfo_t &info, bool kastrelMode);

    static QStringList staticFieldNames();
    static QString staticParameterKey(const QString &title);
    static QString staticParameterTitle(const QString &key);
    // The feature table, shared with the detector built on the same board.
    static bool firmwareSupports(int feature, const QVersionNumber &firmware);

    bool isFeatureSupported(int feature) const override;
    QStringList fieldNames() const override;
    bool hasAlarm() const override;
    bool hasFault() const override;
    void updateState(const deviceInfo_t &info, QByteArray state) override;
    void parameterTitles() override;
    bool isConfigurationChanged() const override;
    bool isPropertyChanged(QtProperty *property) const override;
    QVariant data(int role = Qt::UserRole + 1) const override;

    // Configuration file keys "enabledCable" and "enabledSabotage".
    int enabledCable() const;
    void setEnabledCable(int value);
    int enabledSabotage() const;
    void setEnabledSabotage(int value);

public slots:
    void writeDeviceConfiguration() override;
    void disableSabotage();
    void enableSabotage();

private:
    static DeviceKit::TitledKeys titleTable();
    static DeviceKit::TitledKeys ownTitles();
    bool cableOn() const { return m_stored.bit(1, 2); }
    quint16 zoneWord() const { return m_stored.word(4); }
    void showCircuitDetails(bool show);

    DeviceKit::StateBytes<9> m_stored;

    QtProperty *m_groupGerkon = nullptr;
    QtProperty *m_propGerkonState = nullptr;
    QtProperty *m_propGerkonValue = nullptr;
    QtProperty *m_propSabotage = nullptr;
    QtProperty *m_groupCircuit = nullptr;
    QtProperty *m_propEnableCircuit = nullptr;
    QtProperty *m_propCircuitState = nullptr;
    QtProperty *m_propCircuitValue = nullptr;
    QtProperty *m_propAdc = nullptr;
};

#pragma once

#include "deviceitem.h"

// The radio sounder: a light and a sound output, and on hardware and
// firmware that support it the "Zones handler" setting, added and removed as
// state readings reveal the device's capability.
class DI_Hoxel : public DeviceItem
{
    Q_OBJECT
public:
    DI_Hoxel(const deviceInfo_t &info, bool kastrelMode);

    static DeviceDescription description();

    // Feature 0 from firmware 1.9; feature 2, the zones handler, on hardware
    // 2 upward from firmware 1.11 build 104.
    bool isFeatureSupported(int feature) const override;
    bool addExtraProperties() override;
    bool hasFault() const override;
    void updateState(const deviceInfo_t &info, QByteArray state) override;
    QVariant data(int role = Qt::UserRole + 1) const override;
    bool isConfigurationChanged() const override;
    bool isPropertyChanged(QtProperty *property) const override;

public slots:
    void writeDeviceConfiguration() override;

private:
    bool zonesHandlerShown() const;
    void removeZonesHandler();
    QString outputText(quint16 word) const;

    QtProperty *m_groupOuts = nullptr;
    QtProperty *m_propLight = nullptr;
    QtProperty *m_propSound = nullptr;
    QtProperty *m_propZones = nullptr; // made on first use
};

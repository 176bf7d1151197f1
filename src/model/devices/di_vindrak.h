#pragma once

#include "deviceitem.h"

// The light-and-sound alert device: light and sound notifications with a
// main and a reserve battery, and three settings written in one command.
class DI_Vindrak : public DeviceItem
{
    Q_OBJECT
public:
    DI_Vindrak(const deviceInfo_t &info, bool kastrelMode);

    static DeviceDescription description();

    bool hasFault() const override;
    void updateState(const deviceInfo_t &info, QByteArray state) override;
    QVariant data(int role = Qt::UserRole + 1) const override;
    bool isPropertyChanged(QtProperty *property) const override;

public slots:
    void writeDeviceConfiguration() override;

protected:
    std::optional<int> deviceSettingValue(const QString &key) const override;

private:
    QString notificationText(bool failed, int mode) const;

    QList<QtProperty *> m_settingProperties;
    QtProperty *m_propMainState = nullptr;
    QtProperty *m_propReserveState = nullptr;
    QtProperty *m_propMainVoltage = nullptr;
    QtProperty *m_propReserveVoltage = nullptr;
    QtProperty *m_propLight = nullptr;
    QtProperty *m_propSound = nullptr;
};

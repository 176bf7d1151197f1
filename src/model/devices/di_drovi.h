#pragma once

#include "deviceitem.h"

// The voice alert device: one spoken-message output and the wall control.
class DI_Drovi : public DeviceItem
{
    Q_OBJECT
public:
    DI_Drovi(const deviceInfo_t &info, bool kastrelMode);

    static DeviceDescription description();

    bool hasFault() const override;
    void updateState(const deviceInfo_t &info, QByteArray state) override;
    QVariant data(int role = Qt::UserRole + 1) const override;

protected:
    std::optional<int> deviceSettingValue(const QString &key) const override;

private:
    QtProperty *m_propVoice = nullptr;
};

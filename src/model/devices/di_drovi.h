#pragma once

#include "deviceitem.h"

// The voice alert device: one spoken-message output and the wall control.
class DI_Drovi : public DeviceItem
{
    Q_OBJECT
public:
    DI_Drovi(const deviceInfo_t &info, bool kastrelMode);

    static DeviceDescription description();
    static QStringList staticFieldNames() { return description().fieldNames; }
    static QString staticParameterKey(const QString &title) { return description().keyOfTitle(title); }
    static QString staticParameterTitle(const QString &key) { return description().titleOfKey(key); }

    bool hasFault() const override;
    void updateState(const deviceInfo_t &info, QByteArray state) override;
    QVariant data(int role = Qt::UserRole + 1) const override;

protected:
    std::optional<int> deviceSettingValue(const QString &key) const override;

private:
    QtProperty *m_propVoice = nullptr;
};

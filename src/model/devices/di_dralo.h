#pragma once

#include "alarmkeystate.h"
#include "deviceitem.h"

// Manual fire call points and remote-start buttons: read-only push-button
// devices.
class DI_Dralo : public DeviceItem
{
    Q_OBJECT
public:
    DI_Dralo(const deviceInfo_t &info, bool kastrelMode);

    static QStringList staticFieldNames();
    static QString staticParameterKey(const QString &title);
    static QString staticParameterTitle(const QString &key);
    // The picture of a call-point type code.
    static QString pictureFile(int type);

    bool isFeatureSupported(int feature) const override;
    QStringList fieldNames() const override;
    bool hasAlarm() const override;
    bool hasFault() const override;
    void updateState(const deviceInfo_t &info, QByteArray state) override;
    void parameterTitles() override;

private:
    static DeviceKit::TitledKeys ownTitles();
    static DeviceKit::TitledKeys titleTable();

    AlarmKeyState::Bytes m_stored;
    AlarmKeyState::Properties m_key;
};

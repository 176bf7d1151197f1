#pragma once

#include "deviceitem.h"

// The radio relay module: two outputs switched by the master or an output
// mask, a choice of main supply and a third input that serves as a button or
// as a supervised cable.
class DI_Fotra : public DeviceItem
{
    Q_OBJECT
public:
    DI_Fotra(const deviceInfo_t &info, bool kastrelMode);

    static DeviceDescription description();

    bool hasAlarm() const override;
    bool hasFault() const override;
    void updateState(const deviceInfo_t &info, QByteArray state) override;
    QVariant data(int role = Qt::UserRole + 1) const override;

    // Configuration file key "enabledCable" (written, never read back): the
    // third input is used at all.
    bool enabledCable() const { return settingValue(QStringLiteral("enabledCable")) != 0; }

protected:
    std::optional<int> deviceSettingValue(const QString &key) const override;

private:
    // The third input: 0 disabled, 1 button, 2 cable.
    int cableMode() const;
    // s6 bits 0-5; a state above 5 counts as none.
    int cableState() const;

    QStringList m_cableStates;
    QtProperty *m_propExternal = nullptr;
    QtProperty *m_groupRelay = nullptr;
    QtProperty *m_propOut1 = nullptr;
    QtProperty *m_propOut2 = nullptr;
    QtProperty *m_propCableMode = nullptr;
    QtProperty *m_propCableState = nullptr;
};

// The relay module variant with two outputs and the supply states only.
class DI_FotraISP1 : public DeviceItem
{
    Q_OBJECT
public:
    DI_FotraISP1(const deviceInfo_t &info, bool kastrelMode);

    static DeviceDescription description();

    bool hasFault() const override;
    void updateState(const deviceInfo_t &info, QByteArray state) override;
    QVariant data(int role = Qt::UserRole + 1) const override;

private:
    QtProperty *m_groupRelay = nullptr;
    QtProperty *m_propOut1 = nullptr;
    QtProperty *m_propOut2 = nullptr;
};

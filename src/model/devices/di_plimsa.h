#pragma once

#include "di_abstractrepeater.h"

// The radio mains socket: a switched outlet that measures the mains voltage,
// the load current and the active power, tells why its output is on or off,
// and relays radio traffic. The tool shows its state and never switches it.
class DI_Plimsa : public DI_AbstractRepeater
{
    Q_OBJECT
public:
    DI_Plimsa(const deviceInfo_t &info, bool kastrelMode);

    static DeviceDescription description();

    bool hasAlarm() const override;
    bool hasFault() const override;
    void updateState(const deviceInfo_t &info, QByteArray state) override;
    QVariant data(int role = Qt::UserRole + 1) const override;

private:
    // s5 bits 0-4: above 2 a mask is in force.
    int maskState() const { return m_stored[5] & 0x1F; }
    QString maskText() const;

    QStringList m_reasons; // by s12
    QtProperty *m_propState = nullptr;
    QtProperty *m_propVoltage = nullptr;
    QtProperty *m_propCurrent = nullptr;
    QtProperty *m_propPower = nullptr;
};

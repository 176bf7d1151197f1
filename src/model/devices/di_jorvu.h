#pragma once

#include "deviceitem.h"

// The two-output module: two controlled outputs, each on, off, masked,
// failed, cut or shorted. Shown and recorded only.
class DI_Jorvu : public DeviceItem
{
    Q_OBJECT
public:
    DI_Jorvu(const deviceInfo_t &info, bool kastrelMode);

    static DeviceDescription description();

    bool hasFault() const override;
    void updateState(const deviceInfo_t &info, QByteArray state) override;
    QVariant data(int role = Qt::UserRole + 1) const override;

private:
    // Shows output `zone` (1 or 2) in its property and records it.
    void showOutput(int zone, QtProperty *property, quint32 serial);

    QtProperty *m_propOut1 = nullptr;
    QtProperty *m_propOut2 = nullptr;
};

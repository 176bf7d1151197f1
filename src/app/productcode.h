#pragma once

#include <QPointer>
#include <QWidget>

#include <cstdint>

namespace Ui {
class ProductCode;
}
class DeviceItem;
class HubroItem;

// Shows the product code of one device in its four parts (Class, Type,
// Execution, Litera), or says that it is not set. A radio device is asked
// for its code; a master's code comes from its status record. The window is
// application-modal and deletes itself when closed; every later code the
// device reports refreshes it while it is open.
class ProductCode : public QWidget
{
    Q_OBJECT
public:
    // Neither item is owned. The device is asked 100 ms after construction.
    ProductCode(DeviceItem *device, HubroItem *master, QWidget *parent = nullptr);
    ~ProductCode() override;

    // The code of a master whose status record has not set it.
    static constexpr uint32_t NotSet = 0xFFFFFFFFu;
    // The code at bytes 74 to 77 of a master's status record (little-endian).
    static uint32_t masterProductCode(const HubroItem *master);

    void showProductCode(uint32_t code);

private:
    void requestCode();

    Ui::ProductCode *ui;
    QPointer<DeviceItem> m_device;
    QPointer<HubroItem> m_master;
};

#include "productcode.h"
#include "ui_productcode.h"

#include "appglobals.h"
#include "deviceitem.h"
#include "hubroinfo.h"
#include "hubroitem.h"

#include <QTimer>
#include <QtEndian>

namespace {
// The first byte of the code in the master's status record.
constexpr int MasterCodeOffset = 74;
constexpr int FirstRequestDelayMs = 100;
} // namespace

ProductCode::ProductCode(DeviceItem *device, HubroItem *master, QWidget *parent)
    : QWidget(parent), ui(new Ui::ProductCode), m_device(device), m_master(master)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint);
    setWindowModality(Qt::ApplicationModal);

    ui->lblTitle->setText(device ? device->itemTypeName() : QString());
    ui->lblInfo->clear();
    showProductCode(0);

    if (device)
        connect(device, &DeviceItem::productCodeReceived, this, &ProductCode::showProductCode);
    QTimer::singleShot(FirstRequestDelayMs, this, &ProductCode::requestCode);
}

ProductCode::~ProductCode()
{
    delete ui;
}

uint32_t ProductCode::masterProductCode(const HubroItem *master)
{
    if (!master)
        return NotSet;
    const QByteArray record = hubroInfoToBytes(master->hubroInfo());
    if (record.size() < MasterCodeOffset + 4)
        return NotSet;
    return qFromLittleEndian<quint32>(reinterpret_cast<const uchar *>(record.constData()) + MasterCodeOffset);
}

void ProductCode::requestCode()
{
    if (!m_device)
        return;
    if (masterDeviceTypes.contains(m_device->deviceType() & 0xFF)) {
        // The master's own code: the item given as master, or the device
        // itself when it is the master item.
        const HubroItem *master = m_master ? m_master.data() : qobject_cast<HubroItem *>(m_device.data());
        showProductCode(masterProductCode(master));
        return;
    }
    m_device->requestProductCode();
}

void ProductCode::showProductCode(uint32_t code)
{
    const bool set = code != NotSet;
    for (QLineEdit *edit : {ui->leLitera, ui->leExecution, ui->leType, ui->leClass})
        edit->setEnabled(set);
    if (!set) {
        ui->lblInfo->setText(tr("The product code is not set"));
        for (QLineEdit *edit : {ui->leLitera, ui->leExecution, ui->leType, ui->leClass})
            edit->clear();
        return;
    }
    ui->lblInfo->clear();
    ui->leLitera->setText(QString::number(code & 0xFF));
    ui->leExecution->setText(QString::number((code >> 8) & 0xFF));
    ui->leType->setText(QString::number((code >> 16) & 0xFF));
    ui->leClass->setText(QString::number((code >> 24) & 0xFF));
}

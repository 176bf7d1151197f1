// Requests that every device item sends by itself, and the base context
// actions 1000-1004.

#include "deviceitem.h"

#include "actionopeners.h"
#include "appglobals.h"
#include "clonewireloopdialog.h"
#include "messageboxes.h"
#include "senddatamanager.h"
#include "sendcustomdatadialog.h"
#include "togglezonestatedialog.h"
#include "uiseams.h"

#include <QDebug>
#include <QDialog>
#include <QtEndian>


void DeviceItem::changeAddress(quint8 address)
{
    qDebug().noquote() << QStringLiteral("Changing of %1 address to %2")
                              .arg(m_kastrelMode ? QStringLiteral("Kastrel") : QStringLiteral("Wireloop"))
                              .arg(address);
    if (address == 0)
        return;
    if (!masterDeviceTypes.contains(deviceType())) {
        // The device takes its extra addresses after the new one; all of them
        // must stay inside the bus's range (255 on the Kastrel bus).
        const int lastAddress = m_kastrelMode ? 255 : 127;
        if (data(DeviceRole::ExtraAddresses).toInt() + address > lastAddress) {
            showWarningMessage(tr("Wireloop address changing canceled"), tr("Wireloop address changing"));
            return;
        }
    }
    const quint8 radio = deviceId();
    QPointer<DeviceItem> self(this);
    emit sendPacket(packetBytes({quint8(m_kastrelMode ? PT_SET_DEV_KASTREL_ADDRESS : PT_SET_DEV_ADDRESS), radio, address}),
                    [self](const Packet &reply) { return self ? self->setAddressResponse(reply) : false; });
    emit wireloopAddressChanged(radio, address);
}

bool DeviceItem::setAddressResponse(const Packet &reply)
{
    switch (packetTypeOf(reply)) {
    case PT_SET_DEV_ADDRESS_ACK:
    case PT_SET_DEV_KASTREL_ADDRESS_ACK:
        if (reply.data.size() < 3) {
            qWarning().noquote() << QStringLiteral("DeviceItem::setAddressResponse packet data size = %1")
                                        .arg(reply.data.size());
            return false;
        }
        setAddress(quint8(reply.data.at(2)));
        return true;
    case PT_SET_DEV_ADDRESS_ERR_BUSY:
    case PT_SET_DEV_ADDRESS_ERR_FAIL:
        qWarning().noquote() << QStringLiteral(
            "Response from HUBRO: packet PT_SET_DEV_ADDRESS_ERR_BUSY or PT_SET_DEV_ADDRESS_ERR_FAIL");
        UiSeams::showNonModalMessage(QMessageBox::NoIcon, tr("Failed to change device address"), QString());
        return true;
    case PT_SET_DEV_KASTREL_ADDRESS_ERR_BUSY:
    case PT_SET_DEV_KASTREL_ADDRESS_ERR_FAIL:
        UiSeams::showNonModalMessage(QMessageBox::NoIcon, tr("Failed to change kastrel address"), QString());
        return true;
    default:
        qDebug().noquote() << QStringLiteral("DeviceItem::setAddressResponse default");
        return false;
    }
}

void DeviceItem::resetAddress()
{
    m_addressResetPending = true;
    emit sendPacket(packetBytes({PT_RESET_DEV_ADDRESS, deviceId(), 0x00}), matchPacketType(PT_RESET_DEV_ADDRESS_ACK));
    emit addressReseted(this);
    m_addressResetTimer.start();
}

void DeviceItem::requestProductCode()
{
    QPointer<DeviceItem> self(this);
    emit sendPacket(packetBytes({PT_GET_DEV_INFO_ADDITIONAL, deviceId()}), [self](const Packet &reply) {
        if (packetTypeOf(reply) != PT_GET_DEV_INFO_ADDITIONAL_ACK) {
            qWarning().noquote() << QStringLiteral("Wrong packet type: 0x%1")
                                        .arg(packetTypeOf(reply), 2, 16, QLatin1Char('0'));
            return false;
        }
        if (reply.data.size() < 5) {
            qWarning().noquote() << QStringLiteral("Product code reply too short: %1 bytes").arg(reply.data.size());
            return false;
        }
        const quint32 code = qFromLittleEndian<quint32>(reinterpret_cast<const uchar *>(reply.data.constData()) + 1);
        if (self)
            emit self->productCodeReceived(code);
        return false;
    });
}

void DeviceItem::executeAction(const int &id)
{
    // The modal dialogs run a nested event loop; the item may go away meanwhile.
    QPointer<DeviceItem> self(this);
    switch (id) {
    case ToggleZoneStateAction: {
        ToggleZoneStateDialog dialog;
        if (UiSeams::execDialog(&dialog) != QDialog::Accepted || !self)
            return;
        SendDataManager::instance()->enqueue(
            {this}, packetBytes({0x00, 0x01, quint8(dialog.zone()), quint8(dialog.state())}));
        break;
    }
    case SendCustomDataAction: {
        SendCustomDataDialog dialog;
        if (UiSeams::execDialog(&dialog) != QDialog::Accepted || !self)
            return;
        const QByteArray payload = dialog.data();
        if (payload.isEmpty()) {
            qWarning().noquote() << QStringLiteral("Custom data is empty, nothing sent");
            return;
        }
        SendDataManager::instance()->enqueue({this}, payload);
        break;
    }
    case PlotRssiAction:
        // The RSSI plot window comes with the radio diagnostics.
        if (!ActionOpeners::open(id, this))
            qDebug().noquote() << QStringLiteral("RSSI plot is not available");
        break;
    case ResetAddressAction:
        resetAddress();
        break;
    case CloneWireloopAction: {
        const quint8 wireloop = address();
        CloneWireloopDialog dialog(wireloop, itemTypeName());
        if (UiSeams::execDialog(&dialog) != QDialog::Accepted || !self)
            return;
        const int count = dialog.count();
        emit sendPacket(packetBytes({CLONE_DEV, deviceId(), quint8(count)}), [self, wireloop, count](const Packet &reply) {
            if (!self)
                return packetTypeOf(reply) == CLONE_DEV_ACK || packetTypeOf(reply) == CLONE_DEV_ERR;
            return self->cloneReply(reply, wireloop, count);
        });
        break;
    }
    default:
        break;
    }
}

bool DeviceItem::cloneReply(const Packet &reply, quint8 wireloopAddress, int count)
{
    switch (packetTypeOf(reply)) {
    case CLONE_DEV_ACK:
        qDebug().noquote() << QStringLiteral("Clone OK %1+%2").arg(wireloopAddress).arg(count);
        emit updated(this);
        emit addressReseted(this);
        return true;
    case CLONE_DEV_ERR:
        showWarningMessage(tr("Wireloop clone error"), tr("Wireloop clone error"));
        return true;
    default:
        showWarningMessage(tr("Comand CLONE_DEV not handled"), tr("Wireloop clone error"));
        return false;
    }
}

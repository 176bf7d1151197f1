#include "deviceoutputcontrol.h"

#include "controlpayloads.h"
#include "deviceitem.h"
#include "outputcontroldialog.h"
#include "senddatamanager.h"
#include "uiseams.h"

namespace {
constexpr quint8 DimmerType = 50;
constexpr quint8 SocketType = 57;
} // namespace

DeviceOutputControl::DeviceOutputControl(QObject *parent)
    : QObject(parent), m_dialog(new OutputControlDialog)
{
}

DeviceOutputControl::~DeviceOutputControl()
{
    delete m_dialog;
}

void DeviceOutputControl::run(const QList<DeviceItem *> &devices)
{
    if (m_running) // the dialog is already open
        return;
    m_devices = guardDevices(devices);
    if (m_devices.isEmpty())
        return;
    m_running = true;

    // The last device of the selection decides the form.
    const quint8 type = quint8(m_devices.last()->deviceType());
    m_dialog->setOutputSelectable(type != DimmerType && type != SocketType);
    m_dialog->setWindowTitle(type == SocketType ? tr("Relay control") : tr("Output control"));

    while (UiSeams::execDialog(m_dialog) == QDialog::Accepted) {
        if (!sendCommand())
            break;
    }
    m_dialog->setStatus(QString());
    m_devices.clear();
    m_running = false;
}

// Queues the dialog's command for the devices that still exist; false when
// none does.
bool DeviceOutputControl::sendCommand()
{
    const QList<DeviceItem *> live = liveDevices(m_devices);
    if (live.isEmpty())
        return false;
    const QByteArray payload = outputControlPayload(m_dialog->output(), m_dialog->mask(), m_dialog->endState(),
                                                    m_dialog->stepIndex(), m_dialog->time());
    SendDataManager::instance()->enqueue(live, payload);
    m_dialog->setStatus(tr("The command has been sent to zone %1").arg(m_dialog->output()));
    return true;
}

#include "deviceindicationcontrol.h"

#include "controlpayloads.h"
#include "devicelist.h"
#include "deviceitem.h"
#include "indicationcontroldialog.h"
#include "senddatamanager.h"
#include "uiseams.h"

DeviceIndicationControl::DeviceIndicationControl(QObject *parent) : QObject(parent) {}

void DeviceIndicationControl::run(const QList<DeviceItem *> &devices)
{
    // Devices may go away while the dialog is open (a reboot or a lost link
    // removes them): hold them weakly.
    const GuardedDevices guarded = guardDevices(devices);
    if (guarded.isEmpty())
        return;

    IndicationControlDialog dialog;
    if (UiSeams::execDialog(&dialog) != QDialog::Accepted)
        return;

    const QList<DeviceItem *> live = liveDevices(guarded);
    if (!live.isEmpty())
        SendDataManager::instance()->enqueue(live, indicationModePayload(dialog.mode()));
}

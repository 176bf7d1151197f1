#pragma once

#include "devicelist.h"

#include <QList>
#include <QObject>

class DeviceItem;
class OutputControlDialog;

// Switches an output of the selected radio devices for a time. Owns one
// dialog for its whole life, so the user's last choices are offered again.
class DeviceOutputControl : public QObject
{
    Q_OBJECT
public:
    explicit DeviceOutputControl(QObject *parent = nullptr);
    ~DeviceOutputControl() override;

    // Shows the dialog again after each accept and queues one command per
    // accept, until the user cancels or none of the devices exists any more.
    // Shows nothing for an empty list.
    void run(const QList<DeviceItem *> &devices);

    OutputControlDialog *dialog() const { return m_dialog; }

private:
    bool sendCommand();

    OutputControlDialog *m_dialog;
    GuardedDevices m_devices;
    bool m_running = false;
};

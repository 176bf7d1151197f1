#pragma once

#include <QList>
#include <QObject>

class DeviceItem;

// Sets the indication mode of the selected radio devices: asks for the mode
// and queues the command for each device.
class DeviceIndicationControl : public QObject
{
    Q_OBJECT
public:
    explicit DeviceIndicationControl(QObject *parent = nullptr);

    // Shows the mode dialog; on accept queues the command for the devices
    // that still exist then. Shows nothing for an empty list.
    void run(const QList<DeviceItem *> &devices);
};

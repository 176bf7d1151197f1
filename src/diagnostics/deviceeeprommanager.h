#pragma once

#include "packet.h"

#include <QObject>

class DeviceItem;

// Reads and writes the memory of radio devices. One manager for the whole
// process, made on first use.
class DeviceEepromManager : public QObject
{
    Q_OBJECT
public:
    static DeviceEepromManager *instance();

public slots:
    void read(DeviceItem *device);
    void write(DeviceItem *device);

signals:
    void sendPacket(QByteArray data, ResponseCb cb);

private:
    explicit DeviceEepromManager(QObject *parent = nullptr);
};

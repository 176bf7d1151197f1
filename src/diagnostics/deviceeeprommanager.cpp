#include "deviceeeprommanager.h"

DeviceEepromManager *DeviceEepromManager::instance()
{
    static DeviceEepromManager *manager = new DeviceEepromManager;
    return manager;
}

DeviceEepromManager::DeviceEepromManager(QObject *parent) : QObject(parent) {}

void DeviceEepromManager::read(DeviceItem *device)
{
    Q_UNUSED(device)
}

void DeviceEepromManager::write(DeviceItem *device)
{
    Q_UNUSED(device)
}

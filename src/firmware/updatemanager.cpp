#include "updatemanager.h"

UpdateManager *UpdateManager::instance()
{
    static UpdateManager *manager = new UpdateManager;
    return manager;
}

UpdateManager::UpdateManager(QObject *parent) : QObject(parent) {}

void UpdateManager::stop()
{
    m_queue.clear();
}

void UpdateManager::removeDevice(DeviceItem *device)
{
    if (m_queue.removeAll(device) > 0)
        emit deviceRemoved(device);
}

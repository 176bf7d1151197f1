#include "lqitestmanager.h"

LQITestManager *LQITestManager::instance()
{
    static LQITestManager *manager = new LQITestManager;
    return manager;
}

LQITestManager::LQITestManager(QObject *parent) : QObject(parent) {}

void LQITestManager::start(const QList<DeviceItem *> &devices)
{
    Q_UNUSED(devices)
}

void LQITestManager::stop()
{
    m_devices.clear();
}

void LQITestManager::removeDevice(DeviceItem *device)
{
    m_devices.removeAll(device);
}

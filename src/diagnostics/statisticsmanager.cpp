#include "statisticsmanager.h"

StatisticsManager *StatisticsManager::instance()
{
    static StatisticsManager *manager = new StatisticsManager;
    return manager;
}

StatisticsManager::StatisticsManager(QObject *parent) : QObject(parent) {}

void StatisticsManager::read(const QList<DeviceItem *> &devices)
{
    Q_UNUSED(devices)
}

void StatisticsManager::clear(const QList<DeviceItem *> &devices)
{
    Q_UNUSED(devices)
}

void StatisticsManager::removeDevice(DeviceItem *device)
{
    m_devices.removeAll(device);
}

#pragma once

#include <QList>
#include <QWidget>

class DeviceInfoCollector;
class DeviceItem;
class HubroItem;

// The viewer of stored measurements. Shows the session database of the
// collector it is given (not owned).
class SQLiteView : public QWidget
{
    Q_OBJECT
public:
    explicit SQLiteView(DeviceInfoCollector *collector, QWidget *parent = nullptr);
    ~SQLiteView() override;

    // The stored list is replaced only when it differs.
    void setDevices(const QList<DeviceItem *> &devices);
    void setMaster(HubroItem *master) { m_master = master; }

    DeviceInfoCollector *sessionCollector() const { return m_collector; }

private:
    DeviceInfoCollector *m_collector;
    HubroItem *m_master = nullptr;
    QList<DeviceItem *> m_devices;
};

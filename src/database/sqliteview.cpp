#include "sqliteview.h"

SQLiteView::SQLiteView(DeviceInfoCollector *collector, QWidget *parent)
    : QWidget(parent), m_collector(collector)
{
    setObjectName(QStringLiteral("SQLiteView"));
    setWindowTitle(tr("Show measurements"));
}

SQLiteView::~SQLiteView() = default;

void SQLiteView::setDevices(const QList<DeviceItem *> &devices)
{
    if (devices != m_devices)
        m_devices = devices;
}

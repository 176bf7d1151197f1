#include "devicediscoveryagent.h"

#include <QDebug>

DeviceDiscoveryAgent::DeviceDiscoveryAgent(QObject *parent)
    : QObject(parent)
{
    registerDiscoveredDeviceMetaType();
}

QStringList DeviceDiscoveryAgent::moduleTexts(const hubroInfo_t &info)
{
    QStringList texts;
    if (info.modules.kastrel && info.bKastrelAddr != 255)
        texts << QStringLiteral("Kastrel (%1)").arg(info.bKastrelAddr);
    if (info.modules.wireloop && info.bWireloopAddr != 255)
        texts << QStringLiteral("Wireloop (%1)").arg(info.bWireloopAddr);
    texts << (info.modules.bluetooth ? QStringLiteral("Bluetooth") : QStringLiteral("NO Bluetooth"));
    return texts;
}

void DeviceDiscoveryAgent::logModules(const hubroInfo_t &info)
{
    qDebug().noquote() << tr("Available modules: ") + QLatin1Char('(')
                              + moduleTexts(info).join(QLatin1String(", ")) + QLatin1Char(')');
}

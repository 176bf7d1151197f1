#include "infraredrules.h"

#include "deviceitem.h"

#include <QColor>

namespace InfraredRules {

void applyTestResult(DeviceKit::StateBlock &stored)
{
    if (!stored.bit(4, 5))
        return;
    const int result = stored.at(7) & 0x03;
    if (result == 2)
        stored.setBits(4, 0x80);
    else if (result == 3)
        stored.setBits(4, 0x40);
}

QVariant background(const DeviceItem &item)
{
    // A device that does not answer shows no state of its own: the base greys it.
    if (!item.isOnline())
        return QVariant();
    if (item.stateValue("Z1.fCustomBit"))
        return item.connectionState() == 3 ? QColor(210, 210, 210) : QColor(90, 255, 90);
    if (!item.stateValue("Z1.fActive"))
        return QColor(109, 144, 199);
    return QVariant();
}

QVariant roleData(const DeviceItem &item, int role, const QVariant &base)
{
    if (role == Qt::BackgroundRole) {
        const QVariant colour = background(item);
        return colour.isValid() ? colour : base;
    }
    if (role == DeviceRole::ClassValue)
        return int(item.stateValue("Z1.wAdc") & 0xFF);
    return base;
}

QString statusText(const DeviceItem &item, const StatusTexts &texts)
{
    QStringList parts;
    if (!item.stateValue("Z1.fActive"))
        parts << texts.sensorOff;
    else
        parts << (item.stateValue("Z1.fFail") ? texts.failure : texts.movement);
    parts << texts.sensitivities;
    parts << (item.stateValue("Z1.fCustomBit") ? texts.testMode : texts.base);
    parts.removeAll(QString());
    return parts.join(QStringLiteral(", "));
}

} // namespace InfraredRules

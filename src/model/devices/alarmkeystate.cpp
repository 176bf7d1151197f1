#include "alarmkeystate.h"

#include "deviceitem.h"
#include "qtpropertymanager.h"

namespace AlarmKeyState {

Properties build(const DeviceKit::PropertyKit &kit, const Texts &texts)
{
    Properties properties;
    properties.group = kit.group(texts.group);
    properties.state = kit.readOnlyEnum(properties.group, texts.state, texts.stateNames);
    properties.value = kit.readOnlyEnum(properties.group, texts.value, texts.valueNames);
    return properties;
}

void show(DeviceItem *item, QtEnumPropertyManager *enums, const Properties &properties)
{
    const int alarm = int(item->stateValue("Z1.fAlarm"));
    enums->setValue(properties.state, alarm + 2 * int(item->stateValue("Z1.fFail")));
    enums->setValue(properties.value, int(item->stateValue("Z1.fButton")));
    item->setPropertyLevel(properties.state, DeviceKit::levelWhen(alarm, DeviceItem::MarkAlarm));
}

void record(DeviceItem *item, quint32 serial)
{
    item->storeFieldValue(QStringLiteral("fFail"), serial, int(item->stateValue("Z1.fFail")));
    item->storeFieldValue(QStringLiteral("fAlarm"), serial, int(item->stateValue("Z1.fAlarm")));
    item->storeFieldValue(QStringLiteral("fButton"), serial, int(item->stateValue("Z1.fButton")));
}

} // namespace AlarmKeyState

#include "alarmkeystate.h"

#include "deviceitem.h"
#include "qtpropertymanager.h"

using DeviceKit::bitOf;

namespace AlarmKeyState {

Properties build(const DeviceKit::PropertyKit &kit, const Texts &texts)
{
    Properties properties;
    properties.group = kit.group(texts.group);
    properties.state = kit.readOnlyEnum(properties.group, texts.state, texts.stateNames);
    properties.value = kit.readOnlyEnum(properties.group, texts.value, texts.valueNames);
    return properties;
}

void show(DeviceItem *item, QtEnumPropertyManager *enums, const Properties &properties, const Bytes &state)
{
    const quint16 w = buttonWord(state);
    enums->setValue(properties.state, bitOf(w, 7) + 2 * bitOf(w, 6));
    enums->setValue(properties.value, bitOf(w, 8));
    item->setPropertyLevel(properties.state, DeviceKit::levelWhen(bitOf(w, 7), DeviceItem::MarkAlarm));
}

void record(DeviceItem *item, quint32 serial, const Bytes &state)
{
    const quint16 w = buttonWord(state);
    item->storeFieldValue(QStringLiteral("fFail"), serial, int(bitOf(w, 6)));
    item->storeFieldValue(QStringLiteral("fAlarm"), serial, int(bitOf(w, 7)));
    item->storeFieldValue(QStringLiteral("fButton"), serial, int(bitOf(w, 8)));
}

} // namespace AlarmKeyState

#pragma once

#include "devicekit.h"

#include <QString>
#include <QStringList>

class DeviceItem;
class QtEnumPropertyManager;
class QtProperty;

// What the push-button devices (call points and the alarm key) share: the
// "Alarm key" group and the recording of the button's zone ("Z1.fFail",
// "Z1.fAlarm", "Z1.fButton" of their state layout).
namespace AlarmKeyState {

// "State" = alarm bit + 2 x failure bit; "Value" = the button bit.
struct Properties
{
    QtProperty *group = nullptr;
    QtProperty *state = nullptr;
    QtProperty *value = nullptr;
};

// The group's texts, translated by the class that shows them.
struct Texts
{
    QString group;
    QString state;
    QStringList stateNames;
    QString value;
    QStringList valueNames;
};

Properties build(const DeviceKit::PropertyKit &kit, const Texts &texts);
// Sets "State" and "Value" from the item's stored state; "State" is at alarm
// level while the alarm bit is set.
void show(DeviceItem *item, QtEnumPropertyManager *enums, const Properties &properties);
// Records fFail, fAlarm and fButton under the serial number.
void record(DeviceItem *item, quint32 serial);

} // namespace AlarmKeyState

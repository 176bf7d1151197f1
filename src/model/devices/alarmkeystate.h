#pragma once

#include "devicekit.h"

#include <QString>
#include <QStringList>

class DeviceItem;
class QtEnumPropertyManager;
class QtProperty;

// The state layout of the push-button devices (call points and the alarm
// key): byte 0 the supply and case bits, bytes 4-5 the button word (bit 6
// failure, bit 7 alarm, bit 8 button pressed).
namespace AlarmKeyState {

using Bytes = DeviceKit::StateBytes<6>;

inline quint16 buttonWord(const Bytes &state)
{
    return state.word(4);
}

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
// Sets "State" and "Value" from the stored bytes; "State" is at alarm level
// while the alarm bit is set.
void show(DeviceItem *item, QtEnumPropertyManager *enums, const Properties &properties, const Bytes &state);
// Records fFail, fAlarm and fButton under the serial number.
void record(DeviceItem *item, quint32 serial, const Bytes &state);

} // namespace AlarmKeyState

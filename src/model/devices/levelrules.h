#pragma once

// Status levels that several device classes give alike, as rows: the level
// of a decoded state from its flags, and the levels that the flags of state
// byte 0 give the base "Status" rows. Which rows a class takes, and the
// levels in them, stay with the class.

#include "deviceitem.h"

#include <QList>

namespace LevelRules {

// A flag of the item's state layout and the level it gives while it is set
// (or, with `whenClear`, while it is clear).
struct FlagLevel
{
    const char *field;
    quint32 level;
    bool whenClear = false;
};
using FlagLevels = QList<FlagLevel>;

// The level of the first row whose flag holds; 0 when none does.
quint32 firstLevel(const DeviceItem &item, const FlagLevels &rows);

// A row of the tree and the flag rows that colour it.
struct RowLevel
{
    QtProperty *property;
    FlagLevels rows;
};
void apply(DeviceItem &item, const QList<RowLevel> &rows);

// A zone's state decoded as alarm bit + 2 x fault bit ("No alarm", "Alarm",
// "Failure"): a failure wins over an alarm.
inline FlagLevels zoneState(const char *alarm, const char *fail)
{
    return {{fail, DeviceItem::MarkFault}, {alarm, DeviceItem::MarkAlarm}};
}
// The detectors' state ("No alarm", "Fire", "Failure"): a fire wins.
inline FlagLevels fireState(const char *fire, const char *fail)
{
    return {{fire, DeviceItem::MarkAlarm}, {fail, DeviceItem::MarkFault}};
}

// Byte 0 of the head: a clear bit gives its row a level.
inline FlagLevel caseOpen(quint32 level) { return {"state.fCase", level, true}; }
inline FlagLevel mainSupplyLost(quint32 level) { return {"state.fMainPwr", level, true}; }
inline FlagLevel reserveSupplyLost(quint32 level) { return {"state.fReservPwr", level, true}; }
// Bit 5, which the infrared and tilt detectors read as their main battery.
inline FlagLevel batteryLow(quint32 level) { return reserveSupplyLost(level); }
// Bit 4, which the dual-zone detector reads as its reserve battery.
inline FlagLevel normaLost(quint32 level) { return {"state.fNorma", level, true}; }

} // namespace LevelRules

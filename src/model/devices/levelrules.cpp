#include "levelrules.h"

namespace LevelRules {

quint32 firstLevel(const DeviceItem &item, const FlagLevels &rows)
{
    for (const FlagLevel &row : rows)
        if ((item.stateValue(row.field) != 0) != row.whenClear)
            return row.level;
    return 0;
}

void apply(DeviceItem &item, const QList<RowLevel> &rows)
{
    for (const RowLevel &row : rows)
        item.setPropertyLevel(row.property, firstLevel(item, row.rows));
}

} // namespace LevelRules

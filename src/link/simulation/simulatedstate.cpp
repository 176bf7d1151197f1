#include "simulatedstate.h"

#include "simulationjson.h"
#include "statelayout.h"

#include <QStringList>

namespace {

// The object a field's zone names inside "extra" ("Z1.State": "State" inside
// "Z1"); an empty object where one is missing.
QJsonObject zoneObject(const QJsonObject &extra, const QString &zone)
{
    QJsonObject object = extra;
    if (zone.isEmpty())
        return object;
    for (const QString &part : zone.split(QLatin1Char('.')))
        object = object.value(part).toObject();
    return object;
}

} // namespace

QByteArray deviceStateFromJson(int typeCode, const QJsonObject &extra)
{
    const StateLayout::Layout *layout = StateLayout::deviceLayout(typeCode);
    if (!layout || !layout->simulated)
        return QByteArray();
    QByteArray block(layout->length, '\0');
    for (const StateLayout::Field &field : layout->fields) {
        if (field.has(StateLayout::View) || field.has(StateLayout::NotSimulated))
            continue;
        const QJsonValue value = zoneObject(extra, field.zone()).value(field.key());
        const qint64 number = field.has(StateLayout::MissingOnly) && !value.isUndefined()
                                  ? SimulationJson::integer(value, 0)
                                  : SimulationJson::integer(value, field.fallback);
        StateLayout::write(block, field, number);
    }
    return block;
}

#include "simulationjson.h"

#include <cmath>

namespace SimulationJson {

qint64 integer(const QJsonValue &value, qint64 fallback)
{
    if (!value.isDouble())
        return fallback;
    const double number = value.toDouble();
    // Whole numbers only, and only where a 64-bit integer holds them exactly.
    if (!std::isfinite(number) || number != std::trunc(number) || std::fabs(number) > 9.0e18)
        return fallback;
    return qint64(number);
}

QJsonObject object(const QJsonObject &parent, const char *key)
{
    return parent.value(QLatin1String(key)).toObject();
}

quint32 packBits(const QJsonObject &object, std::initializer_list<BitField> fields, quint32 into)
{
    for (const BitField &field : fields) {
        const quint32 mask = (quint32(1) << field.width) - 1;
        const quint32 value = quint32(integer(object, field.key, field.fallback)) & mask;
        into = (into & ~(mask << field.shift)) | (value << field.shift);
    }
    return into;
}

} // namespace SimulationJson

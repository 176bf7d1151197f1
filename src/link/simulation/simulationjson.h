#pragma once

// Lenient reading of values that users write by hand: a key of the wrong
// JSON type counts as missing and takes the default.

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>

#include <initializer_list>

namespace SimulationJson {

// A whole JSON number; `fallback` for a missing key, another JSON type or a
// number with a fraction. Callers cut the result to their field's width.
qint64 integer(const QJsonValue &value, qint64 fallback = 0);
inline qint64 integer(const QJsonObject &object, const char *key, qint64 fallback = 0)
{
    return integer(object.value(QLatin1String(key)), fallback);
}

// The member object `key`; an empty object when it is missing or not an object.
QJsonObject object(const QJsonObject &parent, const char *key);

// One bit field: the low `width` bits of the integer under `key`, placed at `shift`.
struct BitField
{
    const char *key;
    int shift;
    int width;
    qint64 fallback = 0;
};

// Writes each field into `into` (the other bits stay) and returns the result.
quint32 packBits(const QJsonObject &object, std::initializer_list<BitField> fields, quint32 into = 0);

// Little-endian stores into a zero-filled record, cut to the field's width.
inline void putByte(QByteArray &record, int at, qint64 value)
{
    record[at] = char(quint8(value));
}
inline void putWord(QByteArray &record, int at, qint64 value)
{
    putByte(record, at, value);
    putByte(record, at + 1, value >> 8);
}
inline void putLong(QByteArray &record, int at, qint64 value)
{
    putWord(record, at, value);
    putWord(record, at + 2, value >> 16);
}

} // namespace SimulationJson

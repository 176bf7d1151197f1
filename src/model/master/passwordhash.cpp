#include "passwordhash.h"

namespace {
constexpr quint64 Salt = 0x2B7D4E19;
constexpr quint64 Multiplier = 0x9E3779CD;
} // namespace

quint64 hashPassword(const QString &text, quint64 start)
{
    // Unsigned 64-bit arithmetic throughout: every step wraps modulo 2^64.
    quint64 h = start ^ Salt;
    for (const QChar unit : text) {
        const quint64 low = unit.unicode() & 0xFFu;
        const quint64 mixed = low * Multiplier;
        h += mixed ^ (h >> 23);
    }
    return h ^ (h << 37);
}

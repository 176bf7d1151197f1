#pragma once

#include "packet.h"

#include <QtEndian>

#include <algorithm>
#include <optional>

// Byte 0 of a reply, 0 for an empty one.
inline quint8 replyTypeOf(const Packet &reply)
{
    return reply.data.isEmpty() ? 0 : quint8(reply.data.at(0));
}

// The remaining amount of the master's busy reply: type, 32-bit amount
// (little-endian), check byte. A shorter reply carries none.
inline std::optional<quint32> busyAmount(const Packet &reply)
{
    if (reply.data.size() < 6)
        return std::nullopt;
    return qFromLittleEndian<quint32>(reinterpret_cast<const uchar *>(reply.data.constData()) + 1);
}

// Percent done when `remaining` of `total` is left: a total of 0 counts as
// done; clamped to 0..100.
inline unsigned shareDone(quint32 total, quint32 remaining)
{
    if (total == 0)
        return 100;
    const double done = (double(total) - double(remaining)) / double(total) * 100.0;
    return unsigned(std::clamp(done, 0.0, 100.0));
}

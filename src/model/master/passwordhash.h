#pragma once

#include <QString>
#include <QtGlobal>

// The 64-bit hash under which a master's password is sent and stored. Only the
// low byte of each UTF-16 code unit is mixed in, so the masters in the field
// and this function agree only as long as that stays so.
quint64 hashPassword(const QString &text, quint64 start = 0);

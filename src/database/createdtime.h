#pragma once

#include <QString>

// The `created` text of the measurement tables, "yyyy-MM-dd hh:mm:ss.zzz" in
// local time, read as whole seconds since the epoch: the same result as
// QDateTime::fromString with that format, milliseconds dropped, at a small
// part of its cost. Keeps the offset of the last local hour it read, so one
// reader belongs to one thread.
class CreatedTimeReader
{
public:
    // False for a text that is not of that form.
    bool read(const QString &text, qint64 *seconds);
    // The same for the text's bytes as SQLite hands them over (UTF-8).
    bool read(const char *text, int size, qint64 *seconds);

private:
    template <typename Char>
    bool readChars(const Char *text, int size, qint64 *seconds);

    qint64 m_hourKey = -1;  // yyyymmddhh of the cached hour
    qint64 m_hourBase = 0;  // seconds since the epoch at its start
    bool m_hourExact = false; // one zone offset throughout the hour
};

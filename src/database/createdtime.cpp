#include "createdtime.h"

#include <QDateTime>

namespace {

ushort code(QChar c)
{
    return c.unicode();
}

ushort code(char c)
{
    return uchar(c);
}

// Digits [from, from + count) as a number; -1 when one is no digit.
template <typename Char>
int digits(const Char *text, int from, int count)
{
    int value = 0;
    for (int i = from; i < from + count; ++i) {
        const ushort c = code(text[i]);
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

bool CreatedTimeReader::read(const QString &text, qint64 *seconds)
{
    return readChars(text.constData(), text.size(), seconds);
}

bool CreatedTimeReader::read(const char *text, int size, qint64 *seconds)
{
    return readChars(text, size, seconds);
}

template <typename Char>
bool CreatedTimeReader::readChars(const Char *c, int size, qint64 *seconds)
{
    if (size != 23)
        return false;
    if (code(c[4]) != '-' || code(c[7]) != '-' || code(c[10]) != ' ' || code(c[13]) != ':' || code(c[16]) != ':'
        || code(c[19]) != '.')
        return false;
    const int year = digits(c, 0, 4), month = digits(c, 5, 2), day = digits(c, 8, 2);
    const int hour = digits(c, 11, 2), minute = digits(c, 14, 2), second = digits(c, 17, 2), milli = digits(c, 20, 3);
    if (year < 0 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 || minute < 0
        || minute > 59 || second < 0 || second > 59 || milli < 0)
        return false;
    const qint64 hourKey = ((qint64(year) * 100 + month) * 100 + day) * 100 + hour;
    if (hourKey != m_hourKey) {
        const QDate date(year, month, day);
        if (!date.isValid())
            return false;
        const QDateTime start(date, QTime(hour, 0));
        const QDateTime end(date, QTime(hour, 59, 59));
        m_hourKey = hourKey;
        m_hourBase = start.toMSecsSinceEpoch() / 1000;
        // A change of offset inside the hour: its rows go the slow way.
        m_hourExact = start.isValid() && end.isValid() && end.toMSecsSinceEpoch() / 1000 - m_hourBase == 3599;
    }
    if (!m_hourExact) {
        QString text(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            text[i] = QChar(code(c[i]));
        const QDateTime exact = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
        if (!exact.isValid())
            return false;
        *seconds = exact.toMSecsSinceEpoch() / 1000;
        return true;
    }
    *seconds = m_hourBase + minute * 60 + second;
    return true;
}

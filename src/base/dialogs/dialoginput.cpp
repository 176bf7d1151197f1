#include "dialoginput.h"

namespace {
int hexDigitValue(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

template <typename T>
T fail(bool *ok, T value)
{
    if (ok)
        *ok = false;
    return value;
}
} // namespace

QByteArray parseHexBytes(const QString &text, bool *ok)
{
    QByteArray bytes;
    int runLength = 0;
    int high = 0;
    for (const QChar c : text) {
        const int digit = hexDigitValue(c);
        if (digit < 0) {
            if (runLength % 2)
                return fail(ok, QByteArray());
            runLength = 0;
            continue;
        }
        if (runLength++ % 2)
            bytes.append(char(high << 4 | digit));
        else
            high = digit;
    }
    if (runLength % 2 || bytes.isEmpty())
        return fail(ok, QByteArray());
    if (ok)
        *ok = true;
    return bytes;
}

int parseMemoryAddress(const QString &text, bool *ok)
{
    QString number = text;
    const int open = number.indexOf(QLatin1Char('('));
    if (open >= 0) {
        const int close = number.indexOf(QLatin1Char(')'), open + 1);
        number = number.mid(open + 1, close < 0 ? -1 : close - open - 1);
    }
    number.remove(QStringLiteral("0x"));
    number = number.trimmed();

    bool read = false;
    const uint address = number.toUInt(&read, 16);
    if (!read || address > 0xFFFF)
        return fail(ok, 0);
    if (ok)
        *ok = true;
    return int(address);
}

#include "reportdigest.h"

#include <QCryptographicHash>

namespace ReportDigest {

namespace {
QByteArray digest(const QByteArray &body)
{
    return QCryptographicHash::hash(body, QCryptographicHash::Sha3_512);
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
} // namespace

QByteArray trailer(const QByteArray &body)
{
    return digest(body).toHex();
}

QByteArray sign(const QByteArray &body)
{
    return body + trailer(body);
}

bool isOriginal(const QByteArray &report)
{
    if (report.size() < TrailerSize)
        return false;
    const QByteArray hex = report.right(TrailerSize);
    // fromHex skips what is no digit; such a trailer must not decode to a
    // shorter digest that happens to match.
    for (const char c : hex)
        if (!isHexDigit(c))
            return false;
    return QByteArray::fromHex(hex) == digest(report.left(report.size() - TrailerSize));
}

} // namespace ReportDigest

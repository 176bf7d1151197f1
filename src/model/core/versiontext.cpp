#include "versiontext.h"

QString versionToString(const QVersionNumber &version)
{
    return QStringLiteral("%1.%2").arg(version.majorVersion()).arg(version.minorVersion(), 2, 10, QLatin1Char('0'));
}

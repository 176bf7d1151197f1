#pragma once

#include <QString>
#include <QVersionNumber>

// "major.minor", the minor number with at least two digits: 1.5 gives
// "1.05", 12.10 "12.10", 1.123 "1.123"; a missing number counts as 0, so a
// null version gives "0.00".
QString versionToString(const QVersionNumber &version);

#include "hiddenkeywords.h"

namespace {
// Once the buffer holds more than this many characters it is cut down to
// its last KeptLength ones.
constexpr int MaxLength = 100;
constexpr int KeptLength = 30;

bool endsWith(const QString &typed, const char *word)
{
    return typed.right(int(qstrlen(word))).toLower() == QLatin1String(word);
}
} // namespace

HiddenKeyWords::Word HiddenKeyWords::type(int key)
{
    if (m_typed.size() > MaxLength)
        m_typed = m_typed.right(KeptLength);
    m_typed.append(QChar(key));

    if (endsWith(m_typed, "vobex"))
        return ShowLog;
    if (endsWith(m_typed, "trulm"))
        return ShowServiceProperties;
    if (endsWith(m_typed, "qz"))
        return MeasurementsLogging;
    if (endsWith(m_typed, "jq"))
        return ShowMeasurements;
    return None;
}

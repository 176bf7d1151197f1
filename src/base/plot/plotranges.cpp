#include "plotranges.h"

#include <cmath>

namespace PlotRanges {

std::optional<QCPRange> refusedKeyRange(const QCPRange &wanted, const QCPRange &lastAccepted, Restore how)
{
    const double span = wanted.upper - wanted.lower;
    double limit = 0.0;
    if (span < MinKeySpan)
        limit = MinKeySpan;
    else if (span > MaxKeySpan)
        limit = MaxKeySpan;
    else
        return std::nullopt;
    if (how == Restore::LastRange)
        return lastAccepted;
    return QCPRange(lastAccepted.lower, lastAccepted.lower + limit);
}

SpanStyle spanStyle(double span)
{
    SpanStyle style;
    if (span < 5.0) {
        style.tickFormat = QStringLiteral("hh:mm:ss.z");
    } else if (span <= 86400.0) {
        style.tickFormat = QStringLiteral("hh:mm:ss");
        style.markerTimeFormat = QStringLiteral("hh:mm:ss.zzz");
        style.dateLabel = SpanStyle::ShowDateLabel;
    } else {
        style.tickFormat = QStringLiteral("hh:mm:ss\ndd.MM.yyyy");
        style.markerTimeFormat = QStringLiteral("hh:mm:ss");
        style.dateLabel = SpanStyle::HideDateLabel;
    }
    return style;
}

QCPRange lastMinute(double nowSeconds)
{
    const double upper = std::floor(nowSeconds) + 1.0;
    return QCPRange(upper - 60.0, upper);
}

std::optional<QCPRange> followedRange(const QCPRange &range, double nowSeconds)
{
    const double end = nowSeconds + 0.25;
    if (!(end > range.upper))
        return std::nullopt;
    const double width = std::trunc(range.upper - range.lower) + 0.25;
    return QCPRange(end - width, end);
}

QCPRange grownValueRange(QCPRange range, double value)
{
    if (value < range.lower)
        range.lower = value > 0 ? value / 1.1 : value * 1.1;
    if (value > range.upper)
        range.upper = value > 0 ? value * 1.1 : value / 1.1;
    return range;
}

} // namespace PlotRanges

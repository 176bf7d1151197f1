#pragma once

#include <QString>

#include <optional>

#include <qcustomplot.h>

// Rules of the time axis and the value axes of the live plots. Keys are
// seconds since the epoch.
namespace PlotRanges {

// Narrowest and widest time span a user may zoom to (1 s, 30 days).
inline constexpr double MinKeySpan = 1.0;
inline constexpr double MaxKeySpan = 2592000.0;

// Where a refused time range goes back to: the last accepted range, or the
// refused limit's width laid from the last accepted lower bound.
enum class Restore { LastRange, LimitFromLastLower };

// The range the axis must go back to when `wanted` is narrower or wider than
// allowed; nothing when it is accepted.
std::optional<QCPRange> refusedKeyRange(const QCPRange &wanted, const QCPRange &lastAccepted, Restore how);

// Tick and label formats for a visible span.
struct SpanStyle
{
    enum DateLabel { KeepDateLabel, ShowDateLabel, HideDateLabel };
    QString tickFormat;
    QString markerTimeFormat; // empty: the marker keeps its format
    DateLabel dateLabel = KeepDateLabel;
};
SpanStyle spanStyle(double span);

// The minute that ends 1 s after the present whole second.
QCPRange lastMinute(double nowSeconds);

// The range scrolled so that it ends a quarter second after now, its width
// cut to whole seconds plus a quarter; nothing while it already reaches that far.
std::optional<QCPRange> followedRange(const QCPRange &range, double nowSeconds);

// A value range grown by 10 % head room past a value outside it (a NaN
// leaves it as it is); it never shrinks.
QCPRange grownValueRange(QCPRange range, double value);

} // namespace PlotRanges

#pragma once

#include <QDateTime>

#include <functional>

// The wall clock of the plot windows: keys of new points, the visible time
// range, export file names and header lines. Tests replace its source to get
// fixed times; timers keep running on the real clock.
namespace PlotClock {

// Milliseconds since the epoch.
qint64 nowMs();
// Seconds since the epoch with the milliseconds as a fraction (a plot key).
double nowSeconds();
// The current local date and time.
QDateTime now();

// Replaces the source of nowMs(); an empty function restores the system clock.
void setSource(std::function<qint64()> source);

} // namespace PlotClock

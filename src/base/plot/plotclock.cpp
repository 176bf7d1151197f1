#include "plotclock.h"

namespace PlotClock {

namespace {
std::function<qint64()> &source()
{
    static std::function<qint64()> clock;
    return clock;
}
} // namespace

qint64 nowMs()
{
    const std::function<qint64()> &clock = source();
    return clock ? clock() : QDateTime::currentMSecsSinceEpoch();
}

double nowSeconds()
{
    return nowMs() / 1000.0;
}

QDateTime now()
{
    return QDateTime::fromMSecsSinceEpoch(nowMs());
}

void setSource(std::function<qint64()> clock)
{
    source() = std::move(clock);
}

} // namespace PlotClock

#include "autonumbering.h"

#include <algorithm>

namespace AutoNumbering {
namespace {
int &finishDelayMs()
{
    static int delay = 1000;
    return delay;
}
} // namespace

int finishDelay()
{
    return finishDelayMs();
}

void setFinishDelay(int ms)
{
    finishDelayMs() = ms;
}

BlockPlan planBlock(int start, int step, const QList<int> &extraZones, int maxDeviceCount, int masterAddress,
                    const QList<Occupant> &others)
{
    BlockPlan plan;
    plan.start = start;
    // A step of 0 would give every device without extra zones the same address.
    plan.step = std::max(step, 1);
    int running = start;
    for (int extra : extraZones) {
        if (extra > maxDeviceCount)
            extra = 1;
        extra = std::max(extra, 0);
        plan.extraZones << extra;
        plan.addresses << running;
        running += extra + plan.step;
    }
    plan.end = running;

    if (start < FirstAddress || running < FirstAddress || running > LastAddress) {
        plan.result = BlockPlan::OutOfAddressSpace;
        return plan;
    }
    if (masterAddress >= start && masterAddress < running) {
        plan.result = BlockPlan::TakenByMaster;
        return plan;
    }
    for (int i = 0; i < others.size(); ++i) {
        const Occupant &other = others.at(i);
        if (other.address <= 0)
            continue;
        if (other.address < running && other.last() >= start) {
            plan.result = BlockPlan::TakenByDevice;
            plan.conflict = i;
            return plan;
        }
    }
    return plan;
}

QList<int> stepAddresses(int startNumber, const QList<Occupant> &occupied, const QList<int> &queuedExtraZones)
{
    QList<Occupant> taken;
    for (const Occupant &occupant : occupied)
        if (occupant.address > 0)
            taken << occupant;

    QList<int> addresses;
    for (int k = 0; k < queuedExtraZones.size(); ++k) {
        const int extra = std::max(queuedExtraZones.at(k), 0);
        int candidate = std::max(startNumber + k, FirstAddress);
        // Past every taken range that the candidate's zones run into, until
        // a whole pass finds none.
        bool moved = true;
        while (moved && candidate + extra <= LastAddress) {
            moved = false;
            for (const Occupant &occupant : qAsConst(taken)) {
                if (occupant.address <= candidate + extra && occupant.last() >= candidate) {
                    candidate = occupant.last() + 1;
                    moved = true;
                    break;
                }
            }
        }
        if (candidate + extra > LastAddress)
            break;
        addresses << candidate;
        taken << Occupant{candidate, extra};
    }
    return addresses;
}

} // namespace AutoNumbering

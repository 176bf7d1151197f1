#pragma once

#include <QList>

// Address allocation of the automatic addressing of radio devices: a
// contiguous block for chosen devices, and the addresses of one step of the
// numbering of devices that joined without an address. Addresses live in
// 1 to 127; a device takes its address and the extra zones after it.
namespace AutoNumbering {

constexpr int FirstAddress = 1;
constexpr int LastAddress = 127;

// A device that holds addresses: from `address` to `address + extraZones`.
struct Occupant
{
    int address = 0;
    int extraZones = 0;

    int last() const { return address + extraZones; }
    bool holds(int candidate) const { return candidate >= address && candidate <= last(); }
};

struct BlockPlan
{
    enum Result {
        Accepted,
        OutOfAddressSpace,
        TakenByMaster,
        TakenByDevice,
    };
    Result result = Accepted;
    int start = 0;
    int step = 0;           // the step used (0 is taken as 1)
    QList<int> extraZones;  // the extra zones counted for each device
    QList<int> addresses;   // the new address of each device, in order
    int end = 0;            // the running address after the last device
    int conflict = -1;      // TakenByDevice: the index in `others`
};

// The block for the devices to change, in order, from `start` with `step`
// between the end of one device's zones and the next device. A device whose
// extra zones exceed `maxDeviceCount` counts one extra zone. Refused when
// `start` is 0 or the running address after the last device lies outside
// 1 to 127 (so a block ending exactly on 127 is refused), when the master's
// address lies in [start, end), or when one of `others` (devices not being
// changed; those without an address are left out) holds an address in
// [start, end).
BlockPlan planBlock(int start, int step, const QList<int> &extraZones, int maxDeviceCount, int masterAddress,
                    const QList<Occupant> &others);

// One step of the numbering of queued devices: the k-th queued device tries
// `startNumber + k` (at least 1), moved past every occupied range it falls
// in; addresses handed out earlier in the step count as occupied with their
// extra zones, and a candidate whose own extra zones would run into a taken
// range moves past it too. Stops at the first device whose zones would go
// past 127: the result holds the addresses of the devices before it.
QList<int> stepAddresses(int startNumber, const QList<Occupant> &occupied, const QList<int> &queuedExtraZones);

// How long a planned block waits before its addresses are requested
// (1000 ms). Tests shorten it.
int finishDelay();
void setFinishDelay(int ms);

} // namespace AutoNumbering

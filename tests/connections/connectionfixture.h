#pragma once

// Start-up of the connection tests: pictures, model names and device classes
// registered, and every timer of the connection short.

#include "appglobals.h"
#include "deviceconnection.h"
#include "masterbench.h"
#include "registerdeviceclasses.h"
#include "testsupport.h"

inline void prepareConnectionTests()
{
    initTestResources();
    registerDeviceModelNames();
    registerDeviceClasses();
    registerPacketMetaTypes();
    // The master item's own timers stay out of the way; polling is quick and
    // the link gives up after six sends 100 ms apart.
    HubroItem::setTimings(fastTimings());
    DevicePoller::Intervals intervals;
    intervals.serialEventRead = 40;
    intervals.serialPolling = 5;
    intervals.kastrelEventRead = 40;
    intervals.kastrelPolling = 5;
    DevicePoller::setIntervals(intervals);
    DeviceConnection::Timings timings;
    timings.rereadAfterUpdate = 30;
    timings.transmitTimeout = 100;
    DeviceConnection::setTimings(timings);
}

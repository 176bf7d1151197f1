#pragma once

// What the benchmarks of a master's initial read share: the fake master filled
// with a mixed installation.

#include "mastersim.h"

// Device types of a mixed installation, repeated over the addresses.
inline quint8 mixedDeviceType(int address)
{
    static const quint8 types[] = {4, 3, 32, 12, 20, 30, 4, 32};
    return types[address % int(sizeof types)];
}

// Devices 0 .. devices - 1 of a mixed installation; the fake master paces at `baud`.
inline void fillMixedInstallation(SimMaster &sim, int devices, int baud)
{
    for (int address = 0; address < devices; ++address)
        sim.setDevice(simDevice(quint8(address), mixedDeviceType(address)));
    sim.fake.setBaudRate(baud);
}

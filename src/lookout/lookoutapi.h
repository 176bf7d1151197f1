#pragma once

// The Lookout library as the program sees it: the sixteen exported functions,
// looked up by these names, with these types. Texts cross as standard strings.
//
// Device line: name;;device address;;device id
// Advertisement line: local name;;AA:BB:CC:DD:EE:FF;;description

#include <string>

namespace LookoutApi {
using Init = void (*)();
using Finish = void (*)();
using CheckBLESupport = void (*)();
using GetBLESupport = int (*)();           // 0 not known yet, 1 no adapter, 2 no LE, 3 LE
using FindDevices = int (*)();
using StopDeviceWatcher = void (*)();
using DevWatcherStatus = int (*)();        // 0 created, 1 started, 2 enumerated, 3 stopping, 4 stopped, 5 aborted
using DeviceCount = int (*)();
using TakeDevice = void (*)(std::string *);
using RemoveCount = int (*)();
using TakeRemoved = void (*)(std::string *);
using StartAdvertisement = void (*)();
using StopAdvertisement = void (*)();
using AdvWatcherStatus = int (*)();        // 0 created, 1 started, 2 stopping, 3 stopped, 4 aborted
using AdverisementCount = int (*)();
using TakeAdvertisement = void (*)(std::string *);
} // namespace LookoutApi

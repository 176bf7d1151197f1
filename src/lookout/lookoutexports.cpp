// The sixteen exported functions of the Lookout library. Each library variant
// compiles this file and defines createLookoutBackend(); the linker's version
// script keeps every other name inside.

#include "lookoutapi.h"
#include "lookoutcore.h"

#include <type_traits>

namespace {
// The run's context; made by init, freed by finish.
WatcherContext *context = nullptr;
} // namespace

extern "C" {

// A context left by a run that never reached finish is freed first.
void init()
{
    delete context;
    context = nullptr;
    context = new WatcherContext(createLookoutBackend());
}

void finish()
{
    WatcherContext *done = context;
    context = nullptr;
    delete done;
}

void checkBLESupport()
{
    if (context)
        context->checkBLESupport();
}

int getBLESupport()
{
    return context ? context->bleSupport() : 0;
}

int findDevices()
{
    return context ? context->findDevices() : 0;
}

void stopDeviceWatcher()
{
    if (context)
        context->stopDeviceWatcher();
}

int devWatcherStatus()
{
    return context ? context->devWatcherStatus() : 0;
}

int deviceCount()
{
    return context ? context->deviceCount() : 0;
}

void takeDevice(std::string *out)
{
    if (out)
        *out = context ? context->takeDevice() : std::string();
}

int removeCount()
{
    return context ? context->removeCount() : 0;
}

void takeRemoved(std::string *out)
{
    if (out)
        *out = context ? context->takeRemoved() : std::string();
}

void startAdvertisement()
{
    if (context)
        context->startAdvertisement();
}

void stopAdvertisement()
{
    if (context)
        context->stopAdvertisement();
}

int advWatcherStatus()
{
    return context ? context->advWatcherStatus() : 0;
}

int adverisementCount()
{
    return context ? context->advertisementCount() : 0;
}

void takeAdvertisement(std::string *out)
{
    if (out)
        *out = context ? context->takeAdvertisement() : std::string();
}

} // extern "C"

static_assert(std::is_same<decltype(&init), LookoutApi::Init>::value, "init");
static_assert(std::is_same<decltype(&finish), LookoutApi::Finish>::value, "finish");
static_assert(std::is_same<decltype(&checkBLESupport), LookoutApi::CheckBLESupport>::value, "checkBLESupport");
static_assert(std::is_same<decltype(&getBLESupport), LookoutApi::GetBLESupport>::value, "getBLESupport");
static_assert(std::is_same<decltype(&findDevices), LookoutApi::FindDevices>::value, "findDevices");
static_assert(std::is_same<decltype(&stopDeviceWatcher), LookoutApi::StopDeviceWatcher>::value, "stopDeviceWatcher");
static_assert(std::is_same<decltype(&devWatcherStatus), LookoutApi::DevWatcherStatus>::value, "devWatcherStatus");
static_assert(std::is_same<decltype(&deviceCount), LookoutApi::DeviceCount>::value, "deviceCount");
static_assert(std::is_same<decltype(&takeDevice), LookoutApi::TakeDevice>::value, "takeDevice");
static_assert(std::is_same<decltype(&removeCount), LookoutApi::RemoveCount>::value, "removeCount");
static_assert(std::is_same<decltype(&takeRemoved), LookoutApi::TakeRemoved>::value, "takeRemoved");
static_assert(std::is_same<decltype(&startAdvertisement), LookoutApi::StartAdvertisement>::value, "startAdvertisement");
static_assert(std::is_same<decltype(&stopAdvertisement), LookoutApi::StopAdvertisement>::value, "stopAdvertisement");
static_assert(std::is_same<decltype(&advWatcherStatus), LookoutApi::AdvWatcherStatus>::value, "advWatcherStatus");
static_assert(std::is_same<decltype(&adverisementCount), LookoutApi::AdverisementCount>::value, "adverisementCount");
static_assert(std::is_same<decltype(&takeAdvertisement), LookoutApi::TakeAdvertisement>::value, "takeAdvertisement");

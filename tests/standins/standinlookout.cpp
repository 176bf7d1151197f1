// The Lookout stand-in watches through the backend its test program registered.
#include "lookoutbackend.h"
#include "standins.h"

std::unique_ptr<LookoutBackend> createLookoutBackend()
{
    LookoutBackendFactory *factory = StandIns::registeredFactory<LookoutBackendFactory>(StandIns::LookoutProperty);
    return factory ? factory->create() : nullptr;
}

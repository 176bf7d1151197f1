// The Tether stand-in connects through the backend its test program registered.
#include "tetherbackend.h"
#include "standins.h"

std::unique_ptr<TetherBackend> createTetherBackend()
{
    TetherBackendFactory *factory = StandIns::registeredFactory<TetherBackendFactory>(StandIns::TetherProperty);
    return factory ? factory->create() : nullptr;
}

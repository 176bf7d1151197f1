// The shipped Tether library connects through Qt Bluetooth.
#include "tetherqt.h"

std::unique_ptr<TetherBackend> createTetherBackend()
{
    return std::make_unique<QtTetherBackend>();
}

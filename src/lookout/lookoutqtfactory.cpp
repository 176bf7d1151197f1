// The shipped Lookout library watches through Qt Bluetooth.
#include "lookoutqt.h"

std::unique_ptr<LookoutBackend> createLookoutBackend()
{
    return std::make_unique<LookoutQtBackend>(LookoutQtBackend::makeAgent());
}

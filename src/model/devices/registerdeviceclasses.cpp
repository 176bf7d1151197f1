#include "registerdeviceclasses.h"

#include "deviceclasses.h"
#include "di_dralo.h"
#include "di_security.h"
#include "di_tirun.h"

void registerDeviceClasses()
{
    DeviceClasses::registerClass<DI_Dralo>();
    DeviceClasses::registerClass<DI_Tirun>();
    DeviceClasses::registerClass<DI_security>();
}

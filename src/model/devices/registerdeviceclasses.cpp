#include "registerdeviceclasses.h"

#include "deviceclasses.h"
#include "devicesettings.h"
#include "di_dralo.h"
#include "di_security.h"
#include "di_tirun.h"

void registerDeviceClasses()
{
    DeviceClasses::registerClass<DI_Dralo>({3, 63, 64, 67});
    DeviceClasses::registerClass<DI_Tirun>({4});
    DeviceClasses::registerClass<DI_security>({32});

    DeviceSettings::registerKeys({4}, {DeviceSettings::key("enabledCable", &DI_Tirun::enabledCable, &DI_Tirun::setEnabledCable),
                                       DeviceSettings::key("enabledSabotage", &DI_Tirun::enabledSabotage,
                                                           &DI_Tirun::setEnabledSabotage)});
}

#include "registerdeviceclasses.h"

#include "deviceclasses.h"
#include "di_dralo.h"
#include "di_security.h"
#include "di_tirun.h"
// Polling and simple devices: meter readers, leak, climate and acoustic sensors.
#include "di_nilvo.h"
#include "di_rufta.h"
#include "di_vuxo_isp1.h"
#include "di_wemdar.h"
#include "di_zelvo.h"

void registerDeviceClasses()
{
    DeviceClasses::registerClass<DI_Dralo>();
    DeviceClasses::registerClass<DI_Tirun>();
    DeviceClasses::registerClass<DI_security>();
    // Polling and simple devices: meter readers, leak, climate and acoustic sensors.
    DeviceClasses::registerClass<DI_Zelvo>();
    DeviceClasses::registerClass<DI_Nilvo>();
    DeviceClasses::registerClass<DI_Rufta>();
    DeviceClasses::registerClass<DI_Rufta_ISP1>();
    DeviceClasses::registerClass<DI_Wemdar>();
    DeviceClasses::registerClass<DI_Vuxo_ISP1>();
}

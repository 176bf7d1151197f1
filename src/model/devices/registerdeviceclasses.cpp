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
// Detectors: heat, smoke and flame, the infrared family, the shift sensors.
#include "di_bexil.h"
#include "di_lumeq.h"
#include "di_mavo.h"
#include "di_olvek.h"
#include "di_taskel.h"
#include "di_yolvik.h"
// Supply and output devices: repeaters, mains socket, relay modules, signs and alert devices.
#include "di_drovi.h"
#include "di_fotra.h"
#include "di_hoxel.h"
#include "di_jorvu.h"
#include "di_plimsa.h"
#include "di_pondra.h"
#include "di_sebrel.h"
#include "di_vindrak.h"

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
    // Detectors: heat, smoke and flame, the infrared family, the shift sensors.
    DeviceClasses::registerClass<DI_Bexil>();
    DeviceClasses::registerClass<DI_Mavo>();
    DeviceClasses::registerClass<DI_Lumeq>();
    DeviceClasses::registerClass<DI_Olvek>();
    DeviceClasses::registerClass<DI_Olvek_Pemmel>();
    DeviceClasses::registerClass<DI_Olvek_ISP2>();
    DeviceClasses::registerClass<DI_Kemrel>();
    DeviceClasses::registerClass<DI_Taskel>();
    DeviceClasses::registerClass<DI_Yolvik_ISP1>();
    DeviceClasses::registerClass<DI_Yolvik>();
    DeviceClasses::registerClass<DI_Yolvik_ISP2>();
    // Supply and output devices: repeaters, mains socket, relay modules, signs and alert devices.
    DeviceClasses::registerClass<DI_Sebrel>();
    DeviceClasses::registerClass<DI_Sebrel_ISP02>();
    DeviceClasses::registerClass<DI_Plimsa>();
    DeviceClasses::registerClass<DI_Pondra_24_220>();
    DeviceClasses::registerClass<DI_Fotra>();
    DeviceClasses::registerClass<DI_FotraISP1>();
    DeviceClasses::registerClass<DI_Jorvu>();
    DeviceClasses::registerClass<DI_Pondra>();
    DeviceClasses::registerClass<DI_Hoxel>();
    DeviceClasses::registerClass<DI_Vindrak>();
    DeviceClasses::registerClass<DI_Drovi>();
}

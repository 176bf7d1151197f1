#include "registermasterclass.h"

#include "deviceclasses.h"
#include "hubroitem.h"

#include <cstring>

void registerMasterClass()
{
    // The factory's record tells nothing of the master: an all-zero status
    // record, without the Kastrel flag.
    DeviceClasses::registerDescribed(&HubroItem::description, QStringLiteral("HubroItem"),
                                     [](const deviceInfo_t &, bool) -> DeviceItem * {
                                         hubroInfo_t info;
                                         std::memset(&info, 0, sizeof info);
                                         return new HubroItem(info, false);
                                     });
}

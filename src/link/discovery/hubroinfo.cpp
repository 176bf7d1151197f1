#include "hubroinfo.h"

#include <algorithm>
#include <cstring>

void adjustMasterType(hubroInfo_t &info)
{
    if (info.modules.bluetooth)
        info.bDevType = BluetoothMasterType;
}

uint8_t modulesByte(const hubroInfo_t &info)
{
    uint8_t value;
    std::memcpy(&value, &info.modules, 1);
    return value;
}

hubroInfo_t hubroInfoFromBytes(const QByteArray &bytes)
{
    hubroInfo_t info;
    std::memset(&info, 0, sizeof info);
    std::memcpy(&info, bytes.constData(), std::min<size_t>(size_t(bytes.size()), sizeof info));
    return info;
}

QByteArray hubroInfoToBytes(const hubroInfo_t &info)
{
    return QByteArray(reinterpret_cast<const char *>(&info), int(sizeof info));
}

#include "hubroinfo.h"

#include <algorithm>
#include <cstring>

void adjustMasterType(hubroInfo_t &info)
{
    if (info.modules.bluetooth)
        info.bDevType = BluetoothMasterType;
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

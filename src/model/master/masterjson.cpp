#include "masterjson.h"

#include "appglobals.h"

namespace {

// Keys both kinds write.
QJsonObject commonMasterKeys(const hubroInfo_t &info)
{
    QJsonObject master;
    master.insert(QStringLiteral("device"), deviceTypeName(info.bDevType));
    master.insert(QStringLiteral("hw"), int(info.bHWVer));
    // Written as a signed 32-bit value, as files in use hold it.
    master.insert(QStringLiteral("serial"), qint32(info.dwSerialId));
    master.insert(QStringLiteral("wireloop address"), int(info.bWireloopAddr));
    master.insert(QStringLiteral("keyboard lock"), bool(info.Options.fKbdLock));
    master.insert(QStringLiteral("password enabled"), bool(info.Options.fPswE));
    master.insert(QStringLiteral("power adjustment"), bool(info.Options.fPowerAdjustment));
    master.insert(QStringLiteral("interval"), info.wExchangeInterval * 0.03);
    return master;
}

} // namespace

QJsonObject masterToJsonHubro32(const hubroInfo_t &info)
{
    QJsonObject master = commonMasterKeys(info);
    master.insert(QStringLiteral("current channel"), int(info.Channels.btfRFCurr));
    return master;
}

QJsonObject masterToJsonHubro125(const hubroInfo_t &info)
{
    hubroInfo_t adjusted = info;
    adjustMasterType(adjusted);
    QJsonObject master = commonMasterKeys(adjusted);
    master.insert(QStringLiteral("current channel"), int(adjusted.ChannelsAdvanced.btfRFCurr));
    master.insert(QStringLiteral("recommended channel"), int(adjusted.ChannelsAdvanced.btfRecommended));
    master.insert(QStringLiteral("auto mode"), adjusted.bChannelMode == 1);
    master.insert(QStringLiteral("dynamic mode"), adjusted.bChannelMode == 2);
    master.insert(QStringLiteral("wireloop power"), bool(adjusted.Options.fWireloopPowerDisable));
    master.insert(QStringLiteral("mk1"), int(adjusted.wMK1FWVer));
    master.insert(QStringLiteral("mk2"), int(adjusted.wMK2FWVer));
    return master;
}

QJsonObject masterToJson(const hubroInfo_t &info, bool hubro125)
{
    return hubro125 ? masterToJsonHubro125(info) : masterToJsonHubro32(info);
}

#pragma once

#include "hubroinfo.h"

#include <QJsonObject>

// The "master" object of a configuration file, made from the master's status
// record. The 125-device kind replaces the device type by 141 when the
// record's Bluetooth module bit is set; the 32-device kind takes it as it is.
QJsonObject masterToJsonHubro32(const hubroInfo_t &info);
QJsonObject masterToJsonHubro125(const hubroInfo_t &info);

// The 125-device kind when `hubro125` is true, else the 32-device kind.
QJsonObject masterToJson(const hubroInfo_t &info, bool hubro125);

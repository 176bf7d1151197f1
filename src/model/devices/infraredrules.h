#pragma once

// What the infrared detectors share: in test mode the device's test result
// stands for its alarm and failure bits, and the list row shows test mode
// and a switched-off sensor in colours of their own.

#include "devicekit.h"

#include <QString>
#include <QStringList>
#include <QVariant>

class DeviceItem;

namespace InfraredRules {

// Byte 4 bit 5 on: a test result (byte 7 bits 0-1) of 2 sets the alarm bit
// (byte 4 bit 7), 3 the failure bit (bit 6), in the stored bytes.
void applyTestResult(DeviceKit::StateBlock &stored);

// The list row's background: test mode light green (grey for an item of a
// configuration file), a switched-off sensor blue; else invalid, the base's.
QVariant background(const DeviceItem &item);

// What the detectors answer for the background role (the colour above, else
// `base`) and role 277 (state byte 6); `base` for any other role.
QVariant roleData(const DeviceItem &item, int role, const QVariant &base);

// The online status text from its parts, translated by the class: "Sensor
// is off", else "Failure" or the movement's text; then the sensitivity
// texts; then "Test mode" or the base's text. Empty parts are left out.
struct StatusTexts
{
    QString sensorOff;
    QString failure;
    QString movement;
    QStringList sensitivities;
    QString testMode;
    QString base;
};
QString statusText(const DeviceItem &item, const StatusTexts &texts);

} // namespace InfraredRules

#pragma once

// The simulation file: a JSON document that describes a master and its radio
// devices for the simulated connection. It is only read, never written.

#include "deviceinfo.h"
#include "hubroinfo.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>

// Reads and parses the file. Returns its top-level object, or an empty object
// when the file is missing, unreadable, empty, too large, not JSON, or its
// top level is not an object or is an empty one; *error then holds a message
// for the user (and is emptied on success).
QJsonObject readSimulationFile(const QString &path, QString *error = nullptr);

// The master's status record from the file's "master" object; every key has
// a default. "Time" defaults to `now`.
hubroInfo_t masterRecordFromJson(const QJsonObject &master, const QDateTime &now);
inline hubroInfo_t masterRecordFromJson(const QJsonObject &master)
{
    return masterRecordFromJson(master, QDateTime::currentDateTimeUtc());
}

// The device-info record of one "devices" element. A missing "id" takes
// `defaultId` (the connection's next free number); a missing "serial" takes
// `serialCounter`, which then counts down by one.
deviceInfo_t deviceRecordFromJson(const QJsonObject &device, int defaultId, qint32 &serialCounter);

// Serial number of the first device without a "serial" key after a load.
constexpr qint32 FirstSimulatedSerial = 999;

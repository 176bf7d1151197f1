#pragma once

// Reading a configuration file as an offline master: the master's status
// record and the devices' records and state blocks, built from the file's
// JSON objects. Plain functions, JSON in, records out.
//
// A value of the wrong JSON type reads as 0, false or empty text. The keys
// the exporter writes are read back to the same record fields: "serial" and
// "rl" as written (signed) or unsigned, "interval" to the nearest tick, and
// the spellings other writers use ("buildNumber", "auto channel",
// "dynamic channel", "channel mode").

#include "deviceinfo.h"
#include "hubroinfo.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

namespace ConfigurationFileReader {

// Texts that stand for the same thing in each language a file may have been
// written in.
struct Vocabulary
{
    // Model-name tables indexed by device-type code, searched in order.
    QList<QStringList> modelNames;
    QStringList onWords;  // an output that is on
    QStringList offWords; // an output that is off
};

struct MasterData
{
    hubroInfo_t record;
    QString radioFirmwareText; // the "Radio firmware" row
    int intervalSeconds = 0;   // stored in the setting "interval"
};

// The type code of a model name: the first equal entry of the first table
// that holds it; 0 when none does. An empty name equals the first code
// without a model name.
int typeOfModelName(const QString &name, const QList<QStringList> &tables);
// True when one of the tables holds the name.
bool isModelName(const QString &name, const QList<QStringList> &tables);

MasterData readMaster(const QJsonObject &master, const Vocabulary &vocabulary);

// The device-info record of one "devices" element; link state 3 (taken from
// a configuration file), RSSI 0.
deviceInfo_t readDevice(const QJsonObject &device);

// The state block of a device of `typeCode` from its element; empty for a
// type without a layout.
QByteArray readDeviceState(int typeCode, const QJsonObject &device, const Vocabulary &vocabulary);

// An editable setting's value in a device element: a number or a boolean;
// false in *present when the key holds neither.
int settingValue(const QJsonObject &device, const QString &key, bool *present);

} // namespace ConfigurationFileReader

#pragma once

// The pieces of a configuration file (JSON, "version" "1.0") as plain
// functions: bytes and records in, JSON out for the exporter, and JSON in,
// packet bytes out for the importer. Nothing here talks to a link.

#include "deviceinfo.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <optional>

// The common device object of a device-info record. Stores the object's keys
// under the setting "commonProps" (and syncs the settings) when they changed.
QJsonObject deviceToJson(const deviceInfo_t &info);

namespace ConfigurationJson {

// The state keys of a device of the 125-device kind, from the state bytes
// that follow the record in a PT_GET_DEV_INFO_ACK reply: every key of the
// device's type whose bytes were sent. A key whose bytes are missing is left
// out (never written as 0); `leftOut`, when given, counts those keys. Empty
// for a type without state keys.
QJsonObject deviceState(const deviceInfo_t &info, const QByteArray &state, int *leftOut = nullptr);

// The "logs" object of the 32-device master from its PT_HUBRO_EEPROM_READ_ACK
// reply (packet type first, no check byte): "index" from byte 3, then one
// entry per 6-byte slot from byte 4, at most five, skipping slots whose error
// code is 255. Slots the reply does not hold whole are not read.
QJsonObject errorLog(const QByteArray &reply);
// The name of a master error code; empty for codes of 19 and more.
QString errorName(int code);

// The document in the indented form files are written in.
QByteArray toBytes(const QJsonObject &document);

// ---- Reading ----------------------------------------------------------------

// A version text "major.minor" (a text without "." is major.0) as the 16-bit
// word of a device record, major in the high byte. Empty when a part is not
// a number from 0 to 255.
std::optional<quint16> versionWord(const QJsonValue &text);

// A 32-bit value as the exporter writes it (signed) or as other writers do
// (unsigned): read through a 64-bit signed value, the low 32 bits kept.
quint32 unsigned32(const QJsonValue &value);

// A flag written as a boolean, or as a 0/1 number.
bool flag(const QJsonValue &value);

// "interval" (seconds, fractional) as exchange-interval ticks of 30 ms,
// rounded to the nearest tick. 0 when it is missing, not a positive number,
// or more than 16 bits of ticks.
int intervalTicks(const QJsonValue &seconds);

// The channel mode of the 125-device "master" object: 1 automatic, 2 dynamic,
// else 0. Either spelling of each flag counts ("auto channel" / "auto mode",
// "dynamic channel" / "dynamic mode").
int channelMode(const QJsonObject &master);

// "zone count" of a device object; 1 when missing or not a whole number.
int zoneCount(const QJsonObject &device);

// A byte of a device entry ("id", "type id"): a whole number from 0 to 255;
// empty for anything else (a fraction, a text, a larger number, nothing).
std::optional<quint8> entryByte(const QJsonValue &value);

// Why the "devices" of a document cannot be taken, naming the first entry
// whose device number or type does not read, or saying that there are more
// entries than `addresses`; empty when they can. Entries that are no object
// are not looked at (they are skipped by every reader).
QString devicesProblem(const QJsonArray &devices, int addresses);

// Why a document cannot be imported: no "master" object, no "wireloop
// address", no usable "interval", or devices that devicesProblem() refuses
// for a master with `addresses` radio addresses; empty when it can.
QString importProblem(const QJsonObject &document, int addresses = 256);

// The record layouts of PT_WRITE_DEV_CONFIG.
enum class RecordLayout {
    Hubro32,       // 10-byte block
    Hubro125,      // 15-byte block, master core firmware below 1.32
    Hubro125Coded, // 19-byte block with "productCode", 1.32 and above
};

// The PT_WRITE_DEV_CONFIG packet of one device object; empty (with the reason
// in *problem) when its "hardware" or "firmware" text does not read.
std::optional<QByteArray> deviceConfigPacket(const QJsonObject &device, RecordLayout layout,
                                             QString *problem = nullptr);

} // namespace ConfigurationJson

#pragma once

// How the master's status record reads: the status answer, the values derived
// from the record, their texts, and the master's alarm and fault rules. Pure
// functions, record in and values out; the master item shows what they give.

#include "connectiontypes.h"
#include "hubroinfo.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVariant>
#include <QVersionNumber>

#include <optional>

namespace HubroStatus {

// ---- Replies and the status answer ------------------------------------------

// Whether a reply's data ends with the frame's check byte on this connection:
// so on the serial, wired-bus and Bluetooth links, not on a simulation.
bool replyHasCheckByte(ConnectionType type);

// The reply's size without the check byte, packet-type byte included.
int replySize(const QByteArray &data, bool hasCheckByte);

// Record bytes a status answer must carry for a master of this device type:
// 57 for the 32-device master (type 0: record bytes 0-55, then RFNoise), else 78.
int statusRecordBytes(uint8_t askingDeviceType);

// The record in a PT_HUBRO_INFO_ACK answer, read as the master of the asking
// item's device type sends it (a 32-device master's short answer is zero-filled,
// its last byte becoming RFNoise). Empty for another packet type or an answer
// too short for its record. The master type adjustment is not applied.
std::optional<hubroInfo_t> recordFromStatusAnswer(const QByteArray &data, uint8_t askingDeviceType,
                                                  bool hasCheckByte);

// PT_HUBRO_INFO_ACK as a master of the record's device type sends it (no
// check byte): the 32-device master's short answer, else the whole record.
QByteArray statusAnswer(const hubroInfo_t &info);

// Whether the status answer of a master of this device type carries the
// power-state byte (73). The 32-device master's short answer does not: its
// records never know the byte, whatever filled it.
bool sendsPowerState(const hubroInfo_t &info);

// ---- Derived values -----------------------------------------------------------

// Device type 0 or 1 with hardware version 9 or less: channel in its first form
// (byte 51), no clock setting.
bool isOlderMaster(const hubroInfo_t &info);

QVersionNumber hardwareVersion(const hubroInfo_t &info);      // bHWVer.0
QVersionNumber coreFirmwareVersion(const hubroInfo_t &info);  // wMK2FWVer
QVersionNumber radioFirmwareVersion(const hubroInfo_t &info); // wMK1FWVer

int maxDeviceCount(const hubroInfo_t &info); // 32 or 125
int exchangeIntervalMs(const hubroInfo_t &info);
// Three exchange intervals in whole seconds.
int lossDetectionSeconds(const hubroInfo_t &info);
// The exchange interval (10 ms units) that gives this loss-detection time.
uint16_t exchangeIntervalForSeconds(int seconds);

int currentChannel(const hubroInfo_t &info);
int recommendedChannel(const hubroInfo_t &info);
int channelGroup(const hubroInfo_t &info); // 0 to 3
bool isConfigurationMode(const hubroInfo_t &info);
bool isChannelScanMode(const hubroInfo_t &info);
bool isKeyboardLocked(const hubroInfo_t &info);
bool isPasswordEnabled(const hubroInfo_t &info);
bool isCaseOpen(const hubroInfo_t &info);

// Features of the master by device type and versions (9 interference
// reporting, 11 channel groups, ...).
bool supportsFeature(const hubroInfo_t &info, int feature);
// The item's own feature question: feature 0 is radio firmware 1.15 or later.
bool isFeatureSupported(const hubroInfo_t &info, int feature);

// ---- Texts ----------------------------------------------------------------------

QString serialText(const hubroInfo_t &info); // ten digits
// The Kastrel address in Kastrel mode, else the Wireloop address; 0 is "Not assigned".
QString addressText(const hubroInfo_t &info, bool kastrelMode);
// "%1.%2"; a major number of 255 reads "Unavailable".
QString versionText(int major, int minor);
QString versionText(const QVersionNumber &version);

// A zero-terminated Latin-1 field of at most `size` bytes.
QString fieldText(const char *field, int size);
// "Aug 28 2026" (a one-digit day may be padded by a second space); invalid when
// it does not read as such.
QDate buildDate(const QString &text);
// "hh:mm:ss"; invalid when it does not read as such.
QTime buildTime(const QString &text);
// The core firmware with its build stamp, "1.29 (28.08.26 14:03:00)", or the
// version alone when the stamp does not read.
QString coreFirmwareText(const hubroInfo_t &info);
QString freeMemoryText(const hubroInfo_t &info);

// Main and reserve supply: "Disconnected" at 2000 mV or less, else volts.
QString supplyText(uint16_t millivolts);
// Volts handed to the measurement collector: 0 at 2000 mV or less.
double supplyVolts(uint16_t millivolts);

struct SupplyReading
{
    QString text;
    bool failed = false;
};
// Wireloop supply: volts between 6500 and 29999 mV, "Fail" from 30000 mV,
// "Disconnected" at 6499 mV or less; only the first is good.
SupplyReading wireloopSupply(uint16_t millivolts);

// The "WIRELOOP as supply" row: a plain yes/no value, or an editable choice
// where the master lets it be set.
struct WireloopAsSupply
{
    bool editable = false;
    int value = 0;
};
WireloopAsSupply wireloopAsSupply(const hubroInfo_t &info);

// Failure of the main and reserve supply. wireloopAsSupply is the item's
// "WIRELOOP as supply" value: at 1 both count as good. A power-state byte the
// master does not send is unknown: no failure is read from it.
bool mainSupplyFailed(const hubroInfo_t &info, int wireloopAsSupply);
bool reserveSupplyFailed(const hubroInfo_t &info, int wireloopAsSupply);

// Channel row of an older master: "%1", "Auto: %1" or "Auto: %1 (%2)".
QString olderChannelText(const hubroInfo_t &info);
// Pseudo-channels at the end of every group's list.
constexpr int AutoChannel = 10;
constexpr int DynamicChannel = 11;
// Channels of a channel group (0 to 3), ending with 10 and 11; empty for another group.
QList<int> groupChannels(int group);
// Channel row of the other masters: the texts of the group's channels, and the
// position of the channel in use (-1 when the group does not hold it).
QStringList channelChoiceTexts(const hubroInfo_t &info);
int channelChoiceIndex(const hubroInfo_t &info);

// Interference reported (and supported): RFNoise other than 0 and 255.
bool hasInterference(const hubroInfo_t &info);
QString noiseText(const hubroInfo_t &info); // "Interference!" or "No"

// Loss-detection times in seconds that the "Interval" choice offers.
QList<int> lossDetectionChoices(uint8_t deviceType, bool kastrelMode);

// Unless an older master: the master's clock is more than 60 s off.
bool clockNeedsSetting(const hubroInfo_t &info, qint64 nowSecsSinceEpoch);

// ---- Alarm, fault, status ---------------------------------------------------------

bool hasAlarm(const hubroInfo_t &info);
bool hasFault(const hubroInfo_t &info, int wireloopAsSupply);

// The master's status text: "Devices connected: N", then what applies of
// "Viewing mode", the failed supplies and "Interference!", then itemStatus,
// the item's own status text (the item passes an empty one while it is "Normal").
QString statusText(const hubroInfo_t &info, int connectedDevices, bool viewingMode,
                   int wireloopAsSupply, const QString &itemStatus);

// ---- Measurements -----------------------------------------------------------------

// The 14 keys stored for the master, in order.
const QStringList &measuredKeys();
// Their values; "RFNoise" only where interference reporting is supported.
QList<QPair<QString, QVariant>> measuredValues(const hubroInfo_t &info);

} // namespace HubroStatus

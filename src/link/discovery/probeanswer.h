#pragma once

// Checks of the answers to the discovery probes. Pure functions: bytes in, result out.

#include "discovereddevice.h"
#include "hubroinfo.h"

#include <QByteArray>
#include <QString>

#include <optional>

// PT_HUBRO_INFO with sequence byte 0x53, as a serial frame and inside an envelope for bus address 0x7F.
constexpr char SerialProbeHex[] = "2253020178";
constexpr char KastrelProbeHex[] = "7F090007225302017871";
constexpr uint8_t KastrelProbeBusAddress = 0x7F;

struct ProbeAnswer
{
    DiscoveredDevice device;
    bool hasRecord = false; // the answer was a status reply; `record` holds it as received
    hubroInfo_t record{};
};

// Answer on a serial port: a frame at byte 0, length byte 15 to 127, correct sum. A status
// reply shorter than the whole record is still reported, with protocol version 0. Any other
// packet type is a master in its firmware-update mode. Empty while the bytes hold no such answer.
std::optional<ProbeAnswer> parseSerialProbeAnswer(const QString &portName, const QByteArray &answer);

// Answer on the wired bus: byte 0 the answering bus address, the frame at byte 3, or at
// byte 4 behind 0x00 0x07 (a complete envelope). A status reply shorter than the whole
// record is not reported (the rest may still come). An echo of the probe in front of the
// answer is skipped.
std::optional<ProbeAnswer> parseKastrelProbeAnswer(const QString &portName, const QByteArray &answer);

#pragma once

// Byte-level framing of packets: the serial frame and the wired-bus (Kastrel) envelope.
// Pure functions: no threads, no Qt objects, no logging.
//
// Serial frame, packet of n bytes (n <= 254):
//   0x22, sequence, n + 1, packet..., sum of the n + 3 bytes before it (mod 256)
// Kastrel envelope, packet of n bytes (n <= 247):
//   bus address, n + 8, 0x00, 0x07, serial frame (n + 4 bytes), crc8 of the n + 8 bytes before it

#include <QByteArray>
#include <QString>
#include <QVector>

#include <cstdint>
#include <functional>

constexpr uint8_t FrameStartByte = 0x22;
constexpr int MaxSerialPacketSize = 254;
constexpr int MaxKastrelPacketSize = 247;
constexpr int KastrelHeaderSize = 4;  // address, count, 0x00, 0x07
constexpr int MinKastrelCount = 8;    // count of an envelope around an empty packet
constexpr int MinScanSize = 5;        // shortest buffer the scanner looks into

// Sum of `count` bytes modulo 256 (0 for count 0).
uint8_t frameChecksum(const uint8_t *data, int count);
uint8_t frameChecksum(const QByteArray &bytes);

// Table-driven CRC-8 of the wired bus (reflected 0x8C, one altered entry); `init` comes back for count 0.
uint8_t crc8(uint8_t init, const uint8_t *data, uint8_t count);

// Frame of one packet; empty when the packet is longer than MaxSerialPacketSize.
QByteArray buildSerialFrame(uint8_t sequence, const QByteArray &packet);

// Envelope of one packet; empty when the packet is longer than MaxKastrelPacketSize.
QByteArray buildKastrelEnvelope(uint8_t busAddress, uint8_t sequence, const QByteArray &packet);

// One valid frame found by scanFrames().
struct ScannedFrame
{
    int offset = 0;        // position of its start byte in the scanned bytes
    uint8_t sequence = 0;
    QByteArray data;       // the packet followed by the frame's check byte (never empty)

    uint8_t type() const { return uint8_t(data.at(0)); }
    int size() const { return data.size() + 3; } // whole frame
};

struct FrameScan
{
    QVector<ScannedFrame> frames; // in order of appearance
    int consumed = 0;             // bytes of the input that are done with
    QByteArray rest;              // input from `consumed` on: keep it for the next read
    // Set when `rest` starts with an incomplete frame while a complete, valid frame lies
    // behind its start byte (`behind`, offset in the input). Either that start byte is a
    // stray one and the frame behind it is real, or the frame behind is a run inside the
    // incomplete frame's packet: the bytes alone cannot tell (see strayStartAhead()).
    bool held = false;
    ScannedFrame behind;
};

// Finds the frames in received bytes. Bytes in front of a frame that are no frame are
// skipped (a bad check byte resynchronises one byte further); an incomplete frame at the
// end is kept in `rest` and waited for, even when a complete frame lies behind its start
// (reported in `held` and `behind`); input of 5 or more bytes without any start byte is
// dropped whole. A frame whose length byte is 0 carries no packet and is treated as no frame.
FrameScan scanFrames(const QByteArray &bytes);

// Whether the incomplete frame that holds back a complete one (scan.held) is to be given
// up as a stray start byte. At once when the link awaits the reply numbered
// `awaitedSequence` (-1: none), the frame behind carries that number and the incomplete
// one does not; else after a silence on the link (`silence`: its rest is not coming),
// unless the incomplete one carries the awaited number and the frame behind does not.
bool strayStartAhead(const FrameScan &scan, int awaitedSequence, bool silence);

// What takeFrames() left behind.
struct FrameIntake
{
    bool stopped = false; // `deliver` returned false: the buffer was not touched since
    bool held = false;    // the buffer starts with an incomplete frame holding back a complete one
};

// A link's handling of its receive buffer: scans it, hands every frame to `deliver`
// (with the bytes it was scanned in) and gives up a stray start byte as
// strayStartAhead() says, scanning on behind it. The buffer is cut before the frames
// are handed on; `awaitedSequence` is asked after them.
FrameIntake takeFrames(QByteArray *buffer, bool silence,
                       const std::function<bool(const QByteArray &scanned, const ScannedFrame &frame)> &deliver,
                       const std::function<int()> &awaitedSequence);

// What unwrapEnvelopes() did with the input when it stopped at a bad envelope.
enum class EnvelopeDrop {
    None,         // nothing dropped
    WrongAddress, // first byte is not the expected bus address
    BadCount,     // count byte too small for an envelope
    BadCrc,       // CRC byte does not match
};

// The content of one envelope: the bytes between the three header bytes (address, count,
// 0x00) and the CRC, with the frames found in it (offsets relative to `body`). The frame
// normally starts at body offset 1 behind 0x07; a frame right at offset 0 is accepted too.
struct EnvelopeContent
{
    QByteArray body;
    FrameScan scan;
};

struct EnvelopeUnwrap
{
    QVector<EnvelopeContent> envelopes; // complete envelopes, in order
    QByteArray rest;                    // an incomplete envelope to keep for the next read
    EnvelopeDrop dropped = EnvelopeDrop::None;
    int droppedBytes = 0;               // size of what was dropped
};

// Takes complete envelopes addressed to `busAddress` off the front of received bytes, one
// after the other. A bad envelope (wrong address, count below 8, wrong CRC) drops everything
// from it to the end of the input. Bytes of an envelope that hold no complete frame are not kept.
EnvelopeUnwrap unwrapEnvelopes(uint8_t busAddress, const QByteArray &bytes);

// Wired-bus connection address "port:bus". Split at the last colon, as port names may hold
// colons; the bus part is read as a decimal number and kept as a byte (0 when no number).
// Without a colon the whole text is the port name and its numeric value the bus address.
struct KastrelAddress
{
    QString portName;
    uint8_t busAddress = 0;
};
KastrelAddress splitKastrelAddress(const QString &address);

const char *envelopeDropText(EnvelopeDrop reason);

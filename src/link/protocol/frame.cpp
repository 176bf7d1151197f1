#include "frame.h"

namespace {

// Dallas/Maxim 1-Wire CRC-8 table, except entry 0xF9 (0xFC instead of 0xE8), as the bus expects.
const uint8_t crcTable[256] = {
    0x00, 0x5E, 0xBC, 0xE2, 0x61, 0x3F, 0xDD, 0x83, 0xC2, 0x9C, 0x7E, 0x20, 0xA3, 0xFD, 0x1F, 0x41,
    0x9D, 0xC3, 0x21, 0x7F, 0xFC, 0xA2, 0x40, 0x1E, 0x5F, 0x01, 0xE3, 0xBD, 0x3E, 0x60, 0x82, 0xDC,
    0x23, 0x7D, 0x9F, 0xC1, 0x42, 0x1C, 0xFE, 0xA0, 0xE1, 0xBF, 0x5D, 0x03, 0x80, 0xDE, 0x3C, 0x62,
    0xBE, 0xE0, 0x02, 0x5C, 0xDF, 0x81, 0x63, 0x3D, 0x7C, 0x22, 0xC0, 0x9E, 0x1D, 0x43, 0xA1, 0xFF,
    0x46, 0x18, 0xFA, 0xA4, 0x27, 0x79, 0x9B, 0xC5, 0x84, 0xDA, 0x38, 0x66, 0xE5, 0xBB, 0x59, 0x07,
    0xDB, 0x85, 0x67, 0x39, 0xBA, 0xE4, 0x06, 0x58, 0x19, 0x47, 0xA5, 0xFB, 0x78, 0x26, 0xC4, 0x9A,
    0x65, 0x3B, 0xD9, 0x87, 0x04, 0x5A, 0xB8, 0xE6, 0xA7, 0xF9, 0x1B, 0x45, 0xC6, 0x98, 0x7A, 0x24,
    0xF8, 0xA6, 0x44, 0x1A, 0x99, 0xC7, 0x25, 0x7B, 0x3A, 0x64, 0x86, 0xD8, 0x5B, 0x05, 0xE7, 0xB9,
    0x8C, 0xD2, 0x30, 0x6E, 0xED, 0xB3, 0x51, 0x0F, 0x4E, 0x10, 0xF2, 0xAC, 0x2F, 0x71, 0x93, 0xCD,
    0x11, 0x4F, 0xAD, 0xF3, 0x70, 0x2E, 0xCC, 0x92, 0xD3, 0x8D, 0x6F, 0x31, 0xB2, 0xEC, 0x0E, 0x50,
    0xAF, 0xF1, 0x13, 0x4D, 0xCE, 0x90, 0x72, 0x2C, 0x6D, 0x33, 0xD1, 0x8F, 0x0C, 0x52, 0xB0, 0xEE,
    0x32, 0x6C, 0x8E, 0xD0, 0x53, 0x0D, 0xEF, 0xB1, 0xF0, 0xAE, 0x4C, 0x12, 0x91, 0xCF, 0x2D, 0x73,
    0xCA, 0x94, 0x76, 0x28, 0xAB, 0xF5, 0x17, 0x49, 0x08, 0x56, 0xB4, 0xEA, 0x69, 0x37, 0xD5, 0x8B,
    0x57, 0x09, 0xEB, 0xB5, 0x36, 0x68, 0x8A, 0xD4, 0x95, 0xCB, 0x29, 0x77, 0xF4, 0xAA, 0x48, 0x16,
    0xE9, 0xB7, 0x55, 0x0B, 0x88, 0xD6, 0x34, 0x6A, 0x2B, 0x75, 0x97, 0xC9, 0x4A, 0x14, 0xF6, 0xA8,
    0x74, 0x2A, 0xC8, 0x96, 0x15, 0x4B, 0xA9, 0xF7, 0xB6, 0xFC, 0x0A, 0x54, 0xD7, 0x89, 0x6B, 0x35,};

} // namespace

uint8_t frameChecksum(const uint8_t *data, int count)
{
    uint8_t sum = 0;
    for (int i = 0; i < count; ++i)
        sum = uint8_t(sum + data[i]);
    return sum;
}

uint8_t frameChecksum(const QByteArray &bytes)
{
    return frameChecksum(reinterpret_cast<const uint8_t *>(bytes.constData()), bytes.size());
}

uint8_t crc8(uint8_t init, const uint8_t *data, uint8_t count)
{
    uint8_t crc = init;
    for (int i = 0; i < count; ++i)
        crc = crcTable[crc ^ data[i]];
    return crc;
}

QByteArray buildSerialFrame(uint8_t sequence, const QByteArray &packet)
{
    const int n = packet.size();
    if (n > MaxSerialPacketSize)
        return QByteArray();
    QByteArray frame(n + 4, Qt::Uninitialized);
    frame[0] = char(FrameStartByte);
    frame[1] = char(sequence);
    frame[2] = char(n + 1);
    std::copy(packet.cbegin(), packet.cend(), frame.begin() + 3);
    frame[n + 3] = char(frameChecksum(reinterpret_cast<const uint8_t *>(frame.constData()), n + 3));
    return frame;
}

QByteArray buildKastrelEnvelope(uint8_t busAddress, uint8_t sequence, const QByteArray &packet)
{
    const int n = packet.size();
    if (n > MaxKastrelPacketSize)
        return QByteArray();
    QByteArray envelope;
    envelope.reserve(n + 9);
    envelope.append(char(busAddress));
    envelope.append(char(n + 8));
    envelope.append('\x00');
    envelope.append('\x07');
    envelope.append(buildSerialFrame(sequence, packet));
    envelope.append(char(crc8(0, reinterpret_cast<const uint8_t *>(envelope.constData()), uint8_t(n + 8))));
    return envelope;
}

namespace {
// A complete frame with a length above 0 and a check byte that holds starts at `pos`.
bool completeFrameAt(const uint8_t *b, int size, int pos)
{
    if (b[pos] != FrameStartByte || size - pos < MinScanSize)
        return false;
    const int len = b[pos + 2];
    return len != 0 && size - pos >= len + 3 && frameChecksum(b + pos, len + 2) == b[pos + len + 2];
}

// The first complete, valid frame behind `pos`, or -1.
int laterCompleteFrame(const QByteArray &bytes, int pos)
{
    const auto *b = reinterpret_cast<const uint8_t *>(bytes.constData());
    for (int start = bytes.indexOf(char(FrameStartByte), pos + 1); start >= 0;
         start = bytes.indexOf(char(FrameStartByte), start + 1)) {
        if (bytes.size() - start < MinScanSize)
            return -1;
        if (completeFrameAt(b, bytes.size(), start))
            return start;
    }
    return -1;
}

ScannedFrame frameAt(const QByteArray &bytes, int pos)
{
    ScannedFrame frame;
    frame.offset = pos;
    frame.sequence = uint8_t(bytes.at(pos + 1));
    frame.data = bytes.mid(pos + 3, uint8_t(bytes.at(pos + 2)));
    return frame;
}
} // namespace

FrameScan scanFrames(const QByteArray &bytes)
{
    FrameScan scan;
    const int size = bytes.size();
    const auto *b = reinterpret_cast<const uint8_t *>(bytes.constData());
    int pos = 0;
    if (size >= MinScanSize) {
        for (;;) {
            const int start = bytes.indexOf(char(FrameStartByte), pos);
            if (start < 0) {
                pos = size; // no start byte left: nothing worth keeping
                break;
            }
            pos = start;
            if (size - pos < MinScanSize)
                break;
            const int len = b[pos + 2];
            if (size - pos < len + 3) {
                // Incomplete: wait for the rest. A complete frame behind its start is
                // only reported, as the frame being waited for may hold it.
                const int later = laterCompleteFrame(bytes, pos);
                if (later >= 0) {
                    scan.held = true;
                    scan.behind = frameAt(bytes, later);
                }
                break;
            }
            // A length of 0 would pass the sum for sequence 0xDE and carry no packet.
            if (len == 0 || frameChecksum(b + pos, len + 2) != b[pos + len + 2]) {
                ++pos;
                continue;
            }
            scan.frames.append(frameAt(bytes, pos));
            pos += len + 3;
            if (size - pos < MinScanSize)
                break;
        }
    }
    scan.consumed = pos;
    scan.rest = pos == 0 ? bytes : bytes.mid(pos);
    return scan;
}

bool strayStartAhead(const FrameScan &scan, int awaitedSequence, bool silence)
{
    if (!scan.held)
        return false;
    const bool heldAwaited = awaitedSequence >= 0 && uint8_t(scan.rest.at(1)) == awaitedSequence;
    const bool behindAwaited = awaitedSequence >= 0 && scan.behind.sequence == awaitedSequence;
    if (behindAwaited && !heldAwaited)
        return true;
    // The awaited reply itself, held up with a frame of another number inside it, waits on.
    return silence && !(heldAwaited && !behindAwaited);
}

FrameIntake takeFrames(QByteArray *buffer, bool silence,
                       const std::function<bool(const QByteArray &, const ScannedFrame &)> &deliver,
                       const std::function<int()> &awaitedSequence)
{
    FrameIntake intake;
    for (;;) {
        const QByteArray scanned = *buffer;
        const FrameScan scan = scanFrames(scanned);
        *buffer = scan.rest;
        for (const ScannedFrame &frame : scan.frames) {
            if (!deliver(scanned, frame)) {
                intake.stopped = true;
                return intake;
            }
        }
        // A delivery may have run a nested event loop that took in more bytes.
        if (*buffer != scan.rest)
            continue;
        if (!strayStartAhead(scan, awaitedSequence(), silence)) {
            intake.held = scan.held;
            return intake;
        }
        buffer->remove(0, 1);
    }
}

EnvelopeUnwrap unwrapEnvelopes(uint8_t busAddress, const QByteArray &bytes)
{
    EnvelopeUnwrap result;
    const auto *b = reinterpret_cast<const uint8_t *>(bytes.constData());
    const int size = bytes.size();
    int pos = 0;
    auto drop = [&](EnvelopeDrop reason) {
        result.dropped = reason;
        result.droppedBytes = size - pos;
        pos = size;
    };
    while (pos < size) {
        if (b[pos] != busAddress) {
            drop(EnvelopeDrop::WrongAddress);
            break;
        }
        if (size - pos < 2)
            break;
        const int count = b[pos + 1];
        if (count < MinKastrelCount) {
            drop(EnvelopeDrop::BadCount);
            break;
        }
        if (size - pos < count + 1)
            break;
        if (crc8(0, b + pos, uint8_t(count)) != b[pos + count]) {
            drop(EnvelopeDrop::BadCrc);
            break;
        }
        EnvelopeContent content;
        content.body = bytes.mid(pos + 3, count - 3);
        content.scan = scanFrames(content.body);
        result.envelopes.append(content);
        pos += count + 1;
    }
    result.rest = bytes.mid(pos);
    return result;
}

KastrelAddress splitKastrelAddress(const QString &address)
{
    KastrelAddress result;
    const int colon = address.lastIndexOf(QLatin1Char(':'));
    result.portName = colon < 0 ? address : address.left(colon);
    result.busAddress = uint8_t(address.midRef(colon + 1).toUInt());
    return result;
}

const char *envelopeDropText(EnvelopeDrop reason)
{
    switch (reason) {
    case EnvelopeDrop::None:
        return "none";
    case EnvelopeDrop::WrongAddress:
        return "wrong bus address";
    case EnvelopeDrop::BadCount:
        return "count too small";
    case EnvelopeDrop::BadCrc:
        return "bad CRC";
    }
    return "";
}

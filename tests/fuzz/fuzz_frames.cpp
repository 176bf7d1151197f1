// libFuzzer target for the frame scanner and the envelope unwrap.
// Input: byte 0 is the bus address, the rest the received bytes.
// Any broken invariant traps, so libFuzzer keeps the input as a crash.

#include "frame.h"

#include <cstddef>
#include <cstdint>

namespace {

void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

const uint8_t *raw(const QByteArray &bytes)
{
    return reinterpret_cast<const uint8_t *>(bytes.constData());
}

// Every frame reported is a real, checked frame inside the consumed part, in order.
void checkScan(const QByteArray &bytes, const FrameScan &scan)
{
    require(scan.consumed >= 0 && scan.consumed <= bytes.size());
    require(scan.rest == bytes.mid(scan.consumed));
    int end = 0;
    for (const ScannedFrame &f : scan.frames) {
        require(f.offset >= end);
        require(!f.data.isEmpty());
        require(f.offset + f.size() <= scan.consumed);
        require(uint8_t(bytes.at(f.offset)) == FrameStartByte);
        require(uint8_t(bytes.at(f.offset + 1)) == f.sequence);
        require(uint8_t(bytes.at(f.offset + 2)) == f.data.size());
        require(bytes.mid(f.offset + 3, f.data.size()) == f.data);
        require(frameChecksum(raw(bytes) + f.offset, f.data.size() + 2) == uint8_t(f.data.back()));
        end = f.offset + f.size();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0 || size > 4096)
        return 0;
    const uint8_t address = data[0];
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), int(size - 1));

    const FrameScan scan = scanFrames(bytes);
    checkScan(bytes, scan);
    // What is kept is an incomplete frame (or too short to tell): scanned alone, it stays as it is.
    const FrameScan again = scanFrames(scan.rest);
    require(again.frames.isEmpty() && again.rest == scan.rest);

    const EnvelopeUnwrap unwrap = unwrapEnvelopes(address, bytes);
    require(bytes.endsWith(unwrap.rest));
    require(unwrap.dropped == EnvelopeDrop::None || unwrap.rest.isEmpty());
    int used = 0;
    for (const EnvelopeContent &e : unwrap.envelopes) {
        require(uint8_t(bytes.at(used)) == address);
        const int count = uint8_t(bytes.at(used + 1));
        require(count >= MinKastrelCount && e.body.size() == count - 3);
        require(bytes.mid(used + 3, e.body.size()) == e.body);
        require(crc8(0, raw(bytes) + used, uint8_t(count)) == uint8_t(bytes.at(used + count)));
        checkScan(e.body, e.scan);
        used += count + 1;
    }
    require(used + unwrap.droppedBytes + unwrap.rest.size() == bytes.size());

    // What is built is found again, whole.
    if (!bytes.isEmpty() && bytes.size() <= MaxSerialPacketSize) {
        const QByteArray frame = buildSerialFrame(address, bytes);
        const FrameScan found = scanFrames(frame);
        require(found.frames.size() == 1 && found.rest.isEmpty());
        require(found.frames.at(0).data == bytes + frame.right(1));
    }
    if (!bytes.isEmpty() && bytes.size() <= MaxKastrelPacketSize) {
        const QByteArray envelope = buildKastrelEnvelope(address, uint8_t(size), bytes);
        const EnvelopeUnwrap found = unwrapEnvelopes(address, envelope);
        require(found.envelopes.size() == 1 && found.rest.isEmpty() && found.dropped == EnvelopeDrop::None);
        require(found.envelopes.at(0).scan.frames.size() == 1);
        require(found.envelopes.at(0).scan.frames.at(0).data.startsWith(bytes));
    }
    return 0;
}

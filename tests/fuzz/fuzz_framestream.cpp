// Fuzz target for a link's frame joining (takeFrames(): the scanner and the
// choice of a stray start byte), with an oracle: a stream of valid frames, cut
// anywhere, gives exactly those frames, in order.
// Input: byte 0 the mode, byte 1 starts the cuts, then the frames, each a
// sequence byte, a size byte and its packet bytes:
// - size bits 0-6: the packet takes 2 * (size & 0x7F) + 1 bytes of the input (fewer at
//   its end; at most 254 are kept);
// - size bit 7: a complete frame is built around the second half of those bytes
//   and put into the packet, where a cut can leave it whole ahead of the frame around it;
// - mode bit 0: every byte of the packet below 0x40 becomes 0x22 (text rich in start bytes);
// - mode bits 1-2: the longest piece, 1, 4, 20 or 64 bytes; the piece sizes
//   follow from byte 1 by a fixed rule;
// - mode bit 3: the link awaits no reply (unsolicited frames); else each frame
//   is the reply awaited when it arrives.
// No silence falls inside the stream: its pieces come back to back.

#include "frame.h"
#include "fuzzsupport.h"

#include <QVector>

#include <algorithm>

namespace {

struct Sent
{
    uint8_t sequence;
    QByteArray data; // packet and check byte, as the scanner reports it
};

QByteArray packetOf(const uint8_t *data, size_t size, uint8_t sizeByte, uint8_t innerSequence, bool startBytes)
{
    QByteArray packet = inputBytes(data, size);
    if (startBytes) {
        for (char &c : packet)
            if (uint8_t(c) < 0x40)
                c = char(FrameStartByte);
    }
    if ((sizeByte & 0x80) && packet.size() >= 2) {
        const int half = packet.size() / 2;
        packet = packet.left(half) + buildSerialFrame(innerSequence, packet.mid(half));
    }
    if (packet.isEmpty())
        packet.append('\x01');
    return packet.left(MaxSerialPacketSize);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2 || size > 8192)
        return 0;
    const uint8_t mode = data[0];
    const bool startBytes = mode & 1;
    const int longestPiece = QVector<int>{1, 4, 20, 64}.at((mode >> 1) & 3);
    const bool unsolicited = mode & 8;

    QVector<Sent> sent;
    QByteArray stream;
    size_t at = 2;
    while (at + 2 <= size) {
        const uint8_t sequence = data[at];
        const uint8_t sizeByte = data[at + 1];
        at += 2;
        const size_t take = std::min(size - at, 2 * size_t(sizeByte & 0x7F) + 1);
        const QByteArray packet = packetOf(data + at, take, sizeByte, uint8_t(sequence + 1), startBytes);
        at += take;
        const QByteArray frame = buildSerialFrame(sequence, packet);
        sent.append({sequence, frame.mid(3)});
        stream += frame;
    }

    QVector<Sent> delivered;
    const auto deliver = [&](const QByteArray &scanned, const ScannedFrame &frame) {
        require(scanned.mid(frame.offset + 3, frame.data.size()) == frame.data);
        delivered.append({frame.sequence, frame.data});
        return true;
    };
    const auto awaited = [&]() -> int {
        if (unsolicited || delivered.size() >= sent.size())
            return -1;
        return sent.at(delivered.size()).sequence;
    };

    QByteArray buffer;
    uint32_t cut = data[1] * 2654435761u + 1;
    for (int from = 0; from < stream.size();) {
        cut = cut * 1103515245u + 12345u;
        const int piece = 1 + int((cut >> 16) % uint32_t(longestPiece));
        buffer += stream.mid(from, piece);
        from += piece;
        takeFrames(&buffer, false, deliver, awaited);
        // Whatever has come so far is delivered in order and whole.
        require(delivered.size() <= sent.size());
        for (int i = 0; i < delivered.size(); ++i)
            require(delivered.at(i).sequence == sent.at(i).sequence && delivered.at(i).data == sent.at(i).data);
    }
    require(delivered.size() == sent.size());
    require(buffer.isEmpty());
    return 0;
}

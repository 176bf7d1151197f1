// Fuzz target for the Bluetooth LE receive path: notifications queued by the
// Tether library (its stand-in, on a scripted peripheral beside this program),
// taken by the link's receive poll and joined into frames
// (TetherInterface::processReceivedBytes).
// Input: byte 0 chooses the mode, the rest is read as pieces, each a length
// byte (1-64 bytes follow) with bit 7 set when the poll runs after the piece.
// - Mode bit 0 clear: the pieces are the received bytes as they are. Whatever
//   the link delivers is a checked frame that stands in the bytes received.
// - Mode bit 0 set: the pieces are payloads; they become a stream of valid
//   frames (0x22 only where a frame starts), cut into notifications of 1-20
//   bytes sized by the pieces again, from the first; bit 7 of their length
//   bytes again says when the poll runs. The link delivers exactly those
//   frames, in order (but for the busy master's answers, which it takes in).

#include "blepeer.h"
#include "eventwait.h"
#include "frame.h"
#include "fuzzsupport.h"
#include "packet.h"
#include "tetherinterface.h"

#include <QPointer>

namespace {
const QString Address = QStringLiteral("C0:FF:EE:00:00:02");

BlePeripheral *peer = nullptr;
TetherInterface *bleLink = nullptr;
QList<QByteArray> delivered;

void poll()
{
    require(QMetaObject::invokeMethod(bleLink, "readBleTerminal", Qt::DirectConnection));
}

void receive(const QByteArray &chunk)
{
    require(peer->service && peer->service->notifying);
    peer->service->notify(chunk);
}

// Whatever an input left behind is flushed: no frame is longer than 258 bytes.
void flush()
{
    receive(QByteArray(300, '\0'));
    poll();
    delivered.clear();
}

// The frame around `data` (its check byte last) at some place of `stream`.
bool standsIn(const QByteArray &stream, const QByteArray &data)
{
    for (int at = stream.indexOf(data); at >= 0; at = stream.indexOf(data, at + 1)) {
        if (at >= 3 && uint8_t(stream.at(at - 3)) == FrameStartByte && uint8_t(stream.at(at - 1)) == data.size()
            && frameChecksum(reinterpret_cast<const uint8_t *>(stream.constData()) + at - 3, data.size() + 2)
                   == uint8_t(data.back()))
            return true;
    }
    return false;
}

// A frame whose only start byte is its first.
QByteArray cleanFrame(uint8_t sequence, QByteArray payload)
{
    payload.replace(char(FrameStartByte), char(FrameStartByte + 1));
    if (payload.isEmpty())
        payload.append('\x01');
    if (payload.size() + 1 == FrameStartByte)
        payload.append('\x01');
    if (sequence == FrameStartByte)
        ++sequence;
    for (;;) {
        const QByteArray frame = buildSerialFrame(sequence, payload);
        if (uint8_t(frame.back()) != FrameStartByte)
            return frame;
        payload.back() = char(uint8_t(payload.back()) + 1 == FrameStartByte ? FrameStartByte + 2 : uint8_t(payload.back()) + 1);
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    startApplication();
    registerPacketMetaTypes();
    TetherInterface::Timings timings = TetherInterface::timings();
    timings.reconnectGap = 0;
    TetherInterface::setTimings(timings);
    // Never destroyed, like the application.
    peer = new BlePeripheral;
    StandIns::setTether(peer);
    bleLink = new TetherInterface(Address);
    QObject::connect(bleLink, &ConnectionInterface::unsolicitedPacket, [](const Packet &packet) {
        delivered << packet.data;
    });
    require(bleLink->connectToDevice(Address));
    require(runUntil([] { return peer->service && peer->service->notifying; }, 10000));
    bleLink->checkConnectionState();
    require(bleLink->lastStatus() == TetherReady);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0 || size > 8192)
        return 0;
    flush();
    const bool frames = data[0] & 1;
    QByteArray stream;
    QList<QByteArray> expected;
    size_t at = 1;
    QList<QPair<QByteArray, bool>> pieces; // bytes, poll after them
    while (at < size) {
        const int length = (data[at] & 0x3F) + 1;
        const bool pollAfter = data[at] & 0x80;
        ++at;
        const QByteArray piece = inputBytes(data + at, std::min(size - at, size_t(length)));
        at += size_t(piece.size());
        pieces << qMakePair(piece, pollAfter);
    }
    if (!frames) {
        for (const auto &piece : qAsConst(pieces)) {
            stream += piece.first;
            receive(piece.first);
            if (piece.second)
                poll();
        }
    } else {
        // The payloads make the stream; the length bytes of the pieces, again
        // from the first, cut it.
        uint8_t sequence = 0;
        for (const auto &piece : qAsConst(pieces)) {
            const QByteArray frame = cleanFrame(sequence++, piece.first);
            // The busy master's answer is taken in by the link, never handed on.
            if (uint8_t(frame.at(3)) != PT_TRY_AGAIN_LATER)
                expected << frame.mid(3);
            stream += frame;
        }
        int cut = 0;
        for (int i = 0; cut < stream.size(); i = (i + 1) % std::max(1, int(pieces.size()))) {
            const int length = pieces.isEmpty() ? 20 : 1 + pieces.at(i).first.size() % 20;
            receive(stream.mid(cut, length));
            cut += length;
            if (pieces.isEmpty() || pieces.at(i).second)
                poll();
        }
    }
    poll();
    for (const QByteArray &packet : qAsConst(delivered)) {
        require(!packet.isEmpty());
        require(standsIn(stream, packet));
    }
    require(delivered.size() <= stream.size() / 5);
    if (frames)
        require(delivered == expected);
    return 0;
}

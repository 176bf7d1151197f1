#include "probeanswer.h"

#include "frame.h"
#include "packet.h"

namespace {

constexpr int RecordSize = int(sizeof(hubroInfo_t));

uint8_t byteAt(const QByteArray &bytes, int index)
{
    return uint8_t(bytes.at(index));
}

// Length byte of a complete frame with a correct sum at `offset`, or -1.
int checkedFrameLength(const QByteArray &bytes, int offset)
{
    if (bytes.size() <= offset + 2 || byteAt(bytes, offset) != FrameStartByte)
        return -1;
    const int length = byteAt(bytes, offset + 2);
    if (bytes.size() - offset <= length + 2)
        return -1;
    const auto *frame = reinterpret_cast<const uint8_t *>(bytes.constData()) + offset;
    if (frame[length + 2] != frameChecksum(frame, length + 2))
        return -1;
    return length;
}

// Bytes that follow the type byte in a frame of this length byte, the check byte counted.
int bytesAfterType(int length)
{
    return length - 1;
}

// The status record carried by the frame at `offset`: the packet's payload, without the
// check byte; what the payload does not cover is zero.
hubroInfo_t recordOfFrame(const QByteArray &bytes, int offset, int length)
{
    return hubroInfoFromBytes(bytes.mid(offset + 4, length - 2));
}

void fillFromRecord(DiscoveredDevice &device, hubroInfo_t record, bool wholeRecord)
{
    adjustMasterType(record);
    device.deviceType = record.bDevType;
    device.serialNumber = record.dwSerialId;
    device.hardwareVersion = QVersionNumber(record.bHWVer, 0);
    device.mk2FirmwareVersion = QVersionNumber(record.wMK2FWVer >> 8, record.wMK2FWVer & 0xFF);
    device.mk1FirmwareVersion = QVersionNumber(record.wMK1FWVer >> 8, record.wMK1FWVer & 0xFF);
    device.passwordEnabled = record.Options.fPswE;
    device.updateMode = 0;
    device.protocolVersion = wholeRecord ? record.wProtocolVer : 0;
    device.modules = modulesByte(record);
}

} // namespace

std::optional<ProbeAnswer> parseSerialProbeAnswer(const QString &portName, const QByteArray &answer)
{
    if (answer.size() < 9)
        return std::nullopt;
    const int length = checkedFrameLength(answer, 0);
    if (length < 15 || length > 127)
        return std::nullopt;

    ProbeAnswer result;
    result.device.address = portName;
    result.device.connectionType = Serial;
    if (byteAt(answer, 3) == PT_HUBRO_INFO_ACK) {
        result.hasRecord = true;
        result.record = recordOfFrame(answer, 0, length);
        fillFromRecord(result.device, result.record, bytesAfterType(length) >= RecordSize);
        if (result.device.deviceType == 0 || result.device.deviceType == 1)
            result.device.modules = DiscoveredDevice::wireloop;
    } else {
        result.device.updateMode = 1;
    }
    return result;
}

std::optional<ProbeAnswer> parseKastrelProbeAnswer(const QString &portName, const QByteArray &received)
{
    // A bus adapter may hear its own transmission: the probe in front is no answer.
    static const QByteArray probe = QByteArray::fromHex(KastrelProbeHex);
    const QByteArray answer = received.startsWith(probe) ? received.mid(probe.size()) : received;

    // The frame follows the address and count bytes at byte 3, or sits at byte 4 behind
    // 0x00 0x07 as in an envelope; the two layouts cannot be confused (0x07 is no start byte).
    int offset = -1;
    if (answer.size() > 3 && byteAt(answer, 3) == FrameStartByte)
        offset = 3;
    else if (answer.size() > 4 && byteAt(answer, 2) == 0x00 && byteAt(answer, 3) == 0x07
             && byteAt(answer, 4) == FrameStartByte)
        offset = 4;
    if (offset < 0 || answer.size() < offset + 10)
        return std::nullopt;

    // A frame needs a type byte in front of its check byte: with a length byte of 0 or 1
    // the "type" would be a byte outside the packet.
    const int length = checkedFrameLength(answer, offset);
    if (length < 2)
        return std::nullopt;

    ProbeAnswer result;
    result.device.address = QStringLiteral("%1:%2").arg(portName).arg(byteAt(answer, 0));
    result.device.connectionType = Kastrel;
    if (byteAt(answer, offset + 3) == PT_HUBRO_INFO_ACK) {
        if (bytesAfterType(length) < RecordSize)
            return std::nullopt;
        result.hasRecord = true;
        result.record = recordOfFrame(answer, offset, length);
        fillFromRecord(result.device, result.record, true);
    } else {
        result.device.updateMode = 1;
    }
    return result;
}

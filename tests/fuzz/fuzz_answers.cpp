// libFuzzer target for the master's other answers: a nearby master's record,
// the kept firmware headers, the radio part's header pieces and the header
// they make, and the progress count of the unsolicited core-update packets.
// Input: byte 0 chooses (bit 0 an older master), the rest is the answer.

#include "deviceconnection.h"
#include "fuzzsupport.h"
#include "masterpackets.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0 || size > 1024)
        return 0;
    const bool older = data[0] & 1;
    const QByteArray answer = inputBytes(data + 1, size - 1);

    nearbyMasterInfoFromAnswer(answer, answer.size(), data[0], QDateTime::fromSecsSinceEpoch(1700000000));
    nearbyMasterInfoFromAnswer(answer, qMax(0, answer.size() - 1), data[0], QDateTime());

    const QByteArray header = firmwareHeaderFromAnswer(answer, answer.size());
    require(header.size() == FirmwareHeaderSize);
    if (!isEmptyFirmwareHeader(header)) {
        firmwareHeaderDeviceType(header);
        firmwareHeaderHardware(header);
        firmwareHeaderFirmware(header);
        firmwareHeaderBuildTime(header);
        firmwareHeaderTimeText(header);
    }

    if (const std::optional<Mk1Piece> piece = mk1PieceFromResponse(answer, older)) {
        require(piece->offset >= 0 && piece->offset + piece->data.size() <= Mk1HeaderSize);
        QByteArray whole(Mk1HeaderSize, '\0');
        whole.replace(piece->offset, piece->data.size(), piece->data);
        mk1HeaderText(decodeMk1Header(whole));
    }
    mk1HeaderText(decodeMk1Header(answer));

    quint32 counter = data[0];
    const int percent = DeviceConnection::updateProgress(counter, DeviceConnection::remainingCount(answer));
    require(percent >= 0 && percent <= 100);
    return 0;
}

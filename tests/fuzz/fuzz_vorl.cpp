// libFuzzer target for the firmware container reader.
// Input: byte 0 picks the key (bit 0: descramble the lines, bits 1-7: start value of
// the key), the rest is the text of a combined firmware file.
// Refusals are exceptions of the reader; anything else that goes wrong traps,
// so libFuzzer keeps the input as a crash.

#include "vorl.h"

#include <QtGlobal>

#include <cstddef>
#include <cstdint>

namespace {

void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

// What any container the reader hands out must hold to.
void checkContainer(const pVORL &vorl)
{
    require(bool(vorl));
    require(vorl->rawHeader().size() >= BootSectionHeaderSize + 2);
    require(quint64(vorl->image().size()) <= VORL::MaxImageSize);
    for (const QByteArray &line : vorl->lines())
        require(!line.isEmpty());
    if (vorl->header().deviceType == VORL::TextLinesDeviceType) {
        require(vorl->blocks().isEmpty() && vorl->image().isEmpty());
        return;
    }
    require(vorl->blocks().size() == vorl->lines().size());
    for (const pBlock &block : vorl->blocks()) {
        require(block->isValid());
        require(block->address() >= vorl->minAddress());
        require(block->serialize().size() == block->raw().size());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool installed = (qInstallMessageHandler(quiet), true);
    (void)installed;
    if (size < 1)
        return 0;
    FirmwareKey key{};
    for (int i = 0; i < FirmwareKeySize; ++i)
        key[size_t(i)] = quint8((data[0] >> 1) * (i + 1));
    const bool descramble = (data[0] & 1) != 0;
    const QByteArray text(reinterpret_cast<const char *>(data) + 1, int(size - 1));
    try {
        for (const QByteArray &piece : splitCombinedFirmware(text)) {
            require(!piece.isEmpty());
            checkContainer(parseContainer(piece, descramble, key));
        }
    } catch (const vorl_exception &) {
        // a refusal
    }
    return 0;
}

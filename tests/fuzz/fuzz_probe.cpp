// libFuzzer target for the answers to the discovery probes on a serial port
// and on the wired bus. Input: the bytes received after the probe.

#include "fuzzsupport.h"
#include "probeanswer.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    quietLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 1024)
        return 0;
    const QByteArray answer = inputBytes(data, size);
    const QString port = QStringLiteral("/dev/ttyFUZZ");
    if (const std::optional<ProbeAnswer> serial = parseSerialProbeAnswer(port, answer))
        require(serial->device.address == port || !serial->device.address.isEmpty());
    parseKastrelProbeAnswer(port, answer);
    return 0;
}

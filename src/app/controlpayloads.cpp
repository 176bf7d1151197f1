#include "controlpayloads.h"

namespace {
constexpr char CommandPrefix = 0x00;
constexpr char IndicationModeCommand = 0x03;
constexpr char OutputControlCommand = 0x04;
} // namespace

QByteArray indicationModePayload(quint8 mode)
{
    QByteArray payload;
    payload.append(CommandPrefix);
    payload.append(IndicationModeCommand);
    payload.append(char(mode));
    return payload;
}

quint8 outputControlFlags(int mask, bool endState, int stepIndex)
{
    return quint8(((mask & 0x1F) << 3) | (endState ? 0x04 : 0x00) | (stepIndex & 0x03));
}

QByteArray outputControlPayload(quint8 output, int mask, bool endState, int stepIndex, quint8 time)
{
    QByteArray payload;
    payload.append(CommandPrefix);
    payload.append(OutputControlCommand);
    payload.append(char(output));
    payload.append(char(outputControlFlags(mask, endState, stepIndex)));
    payload.append(char(time));
    return payload;
}

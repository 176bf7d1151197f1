#pragma once

#include <QByteArray>
#include <QtGlobal>

// Payloads of the one-off device commands. The command queue puts
// PT_DEVICE_SEND_DATA and the device's radio address in front of them.

// Indication mode: 1 automatic, 2 always on.
QByteArray indicationModePayload(quint8 mode);

// Flags byte of the output command: mask (0-31) in bits 7-3, the end state
// in bit 2, the step index (0: 125 ms, 1: 1 s, 2: 8 s, 3: 32 s) in bits 1-0.
// Each value is cut to its own field.
quint8 outputControlFlags(int mask, bool endState, int stepIndex);

// Output command: output 1 or 2, the flags above, then the time in steps
// (0xFF: endless).
QByteArray outputControlPayload(quint8 output, int mask, bool endState, int stepIndex, quint8 time);

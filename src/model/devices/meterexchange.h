#pragma once

// What the water-meter reader and the pulse-counter adapter share: the
// counter request and its reply, the command that keeps a device awake, and
// the question asked before a write to a device in power-save mode.

#include "packet.h"

#include <QByteArray>
#include <QMessageBox>
#include <QString>

namespace MeterExchange {

// PT_GET_RFADDITIONAL_DATA to the device's number.
QByteArray counterRequest(quint8 deviceId);
// Switch 1 on: the device stays awake a while longer.
QByteArray keepAlivePayload();
// The `length` bytes of a counter reply from its byte 2 on; empty, and
// logged with the device's `address`, when the reply is shorter.
QByteArray counterBlock(const Packet &reply, int length, int address);
// The unsigned 32-bit number at `at`, least significant byte first.
quint32 le32(const QByteArray &bytes, int at);
QByteArray le32Bytes(quint32 value);

// The warning that the device sleeps and a write may take hours, with the
// caller's further text and buttons; returns the button pressed.
int askPowerSave(const QString &informativeText, QMessageBox::StandardButtons buttons,
                 QMessageBox::StandardButton renamed = QMessageBox::NoButton, const QString &renamedText = QString());

} // namespace MeterExchange

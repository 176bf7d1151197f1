#pragma once

#include <QByteArray>
#include <QString>

// Pure readers of what the user types into the small device dialogs.

// Bytes of a hex text such as "00 05 02-02 1234". Any character that is not an
// ASCII hex digit separates; every run of digits between separators holds whole
// bytes, two digits each. A text without digits, or with a run of odd length
// ("1", "0x12", "00 01 1 01"), has no unambiguous reading: the result is empty
// and ok is false.
QByteArray parseHexBytes(const QString &text, bool *ok = nullptr);

// Device memory address of a text like "Reset code (0x7B)", "7b" or "0x7B": the
// part between the first "(" and the next ")" when there is a "(", every "0x"
// removed, the rest read as hexadecimal. A text that does not read as an
// address of 0 to 0xFFFF gives 0 with ok false.
int parseMemoryAddress(const QString &text, bool *ok = nullptr);

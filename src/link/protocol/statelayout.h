#pragma once

// Where each value of a radio device's state block lies: for every device-type
// code with a layout, the block's length and its fields (byte, bit, width).
// The simulation file packer, the configuration-file state reader and
// exporter, and the device classes' decoding all read these tables, so the
// place of a bit is written here only.
//
// A device field is named as simulation files hold it: the zone object and
// the key joined by "." ("Z1.fAlarm", "state.fCase", "Settings.tiltAutoFix",
// "Z1.State.fUF"), or the key alone for a key directly in "extra"
// ("bActiveZone", "voltage"). Bytes and bits count from 0, bit 0 the least
// significant; a field wider than the rest of its byte goes on into the next
// bytes, little-endian.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

namespace StateLayout {

enum FieldFlag : quint8 {
    Signed = 0x01,       // two's complement of its width
    MainPower = 0x02,    // millivolts, stored as steps of 10 above 2000 (2000 + 10 x byte)
    MissingOnly = 0x04,  // the fallback holds for a missing key; a present key that is no number reads 0
    NotSimulated = 0x08, // simulation files leave it 0
    View = 0x10,         // another reading of bits that a field before it holds: never packed
    Constant = 0x20,     // a configuration file does not carry it: always the fallback
    OnOffText = 0x40,    // a configuration file writes it as "On", "Off" or a number
};

struct Field
{
    QString name;
    int byte = 0; // the byte of the field's lowest bit
    int bit = 0;  // 0-7
    int width = 1;
    qint64 fallback = 0; // the value of a missing key
    quint8 flags = 0;

    // "Z1" of "Z1.fAlarm", "Z1.State" of "Z1.State.fUF"; empty for a key directly in "extra".
    QString zone() const;
    // "fAlarm" of "Z1.fAlarm".
    QString key() const;
    bool has(FieldFlag flag) const { return flags & flag; }
};

class Layout
{
public:
    int length = 0; // bytes of the block
    bool simulated = true; // simulation files give the type's devices this block (else an empty one)
    QList<Field> fields;

    // Null for a name the layout does not hold.
    const Field *field(const QString &name) const;
    const Field *field(QLatin1String name) const;
    // The value of `name` in `block`; 0 for a name the layout does not hold.
    qint64 value(const QByteArray &block, const QString &name) const;
};

// The field's value in `block`: bytes beyond the block read 0; a signed field
// is sign-extended, a main-power field given in millivolts.
qint64 read(const QByteArray &block, const Field &field);
// Whether `block` holds every byte the field's bits touch: a field a shorter
// block leaves out was not sent, which is not the same as 0.
bool holds(const QByteArray &block, const Field &field);
// Stores `value` into the field's bits (main power converted first), cut to
// its width; the other bits stay. Bytes beyond the block are not written.
void write(QByteArray &block, const Field &field, qint64 value);

// The layout of a type code: what the device reports, its item decodes and a
// simulation file describes. Null for a code without a layout.
const Layout *deviceLayout(int typeCode);
// The type codes that have a device layout, ascending.
QList<int> typeCodesWithLayout();
// The common head (bytes 0-3) that every item decodes, whatever its type.
const Layout &head();

// The state block a configuration file gives a device of the type code
// (its fields named by the file's keys); null for a code whose file carries none.
const Layout *fileLayout(int typeCode);
// The state keys the exporter writes for a type code that follow the bits
// one to one; null for a code without such keys.
const Layout *exportedLayout(int typeCode);

} // namespace StateLayout

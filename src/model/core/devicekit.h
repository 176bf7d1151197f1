#pragma once

// Building blocks of the device items: the stored state bytes, the device
// picture, the key-title tables and their lookups, property construction
// with the pencil mark and the firmware feature tables. They hold no texts
// of their own: every title and enum name is passed in, translated in the
// calling class's context.

#include <QByteArray>
#include <QIcon>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVersionNumber>

class DeviceItem;
class QtEnumPropertyManager;
class QtGroupPropertyManager;
class QtProperty;
class QtStringPropertyManager;

namespace DeviceKit {

inline bool bitOf(quint32 value, int bit)
{
    return (value >> bit) & 1u;
}

// A status level that holds only while `condition` does.
inline quint32 levelWhen(bool condition, quint32 level)
{
    return condition ? level : 0u;
}

// The raw state bytes a class decodes: the front of each state update, the
// bytes the update does not hold taken as zero.
class StateBlock
{
public:
    explicit StateBlock(int size = 0) : m_bytes(size, '\0') {}

    void load(const QByteArray &state);
    // As load, but an update without state bytes zeroes only the first
    // `zeroedWhenEmpty` bytes and keeps the rest.
    void loadKeepingTail(const QByteArray &state, int zeroedWhenEmpty);
    int size() const { return m_bytes.size(); }
    const QByteArray &bytes() const { return m_bytes; }
    quint8 at(int index) const { return index >= 0 && index < m_bytes.size() ? quint8(m_bytes.at(index)) : 0; }
    quint8 operator[](int index) const { return at(index); }
    bool bit(int index, int bit) const { return bitOf(at(index), bit); }
    // Little-endian 16-bit word at `index`, `index` + 1.
    quint16 word(int index) const { return quint16(at(index) | (at(index + 1) << 8)); }
    void setBits(int index, quint8 mask);
    // The bytes themselves, for a class that rewrites what it stored.
    QByteArray &data() { return m_bytes; }

private:
    QByteArray m_bytes;
};

// A block of a size fixed by the class.
template <int N>
class StateBytes : public StateBlock
{
public:
    static constexpr int Size = N;
    StateBytes() : StateBlock(N) {}
};

// The item's icon and its online and offline pictures from the picture
// ":/images/devices/<fileName>" (decoded once per process); nothing for a
// picture that is not there.
void showPicture(DeviceItem *item, const QString &fileName);

// A parameter key with its translated title.
struct TitledKey
{
    QString key;
    QString title;
};
using TitledKeys = QList<TitledKey>;

// The base titles of the given base keys, in the given order.
TitledKeys baseTitles(const QStringList &keys);
// First key whose title equals `title`; empty when none does.
QString keyOfTitle(const TitledKeys &table, const QString &title);
// Title of `key`; empty for a key not in the table.
QString titleOfKey(const TitledKeys &table, const QString &key);
// An item's title-to-key map: drops the entries of `removeKeys`, then adds
// `add`.
void adjustTitleMap(QMap<QString, QString> &titleToKey, const QStringList &removeKeys, const TitledKeys &add);

// Every index of an editable enum marked by the pencil.
QMap<int, QIcon> pencilIcons(int count);

// Creates properties through the managers of one item and adds them to
// their group.
class PropertyKit
{
public:
    PropertyKit(QtGroupPropertyManager *groups, QtEnumPropertyManager *readOnlyEnums,
                QtEnumPropertyManager *editableEnums, QtStringPropertyManager *texts)
        : m_groups(groups), m_readOnlyEnums(readOnlyEnums), m_editableEnums(editableEnums), m_texts(texts)
    {
    }

    QtProperty *group(const QString &name) const;
    QtProperty *readOnlyEnum(QtProperty *group, const QString &name, const QStringList &names,
                             int initial = 0) const;
    // With the pencil beside every name.
    QtProperty *editableEnum(QtProperty *group, const QString &name, const QStringList &names) const;
    QtProperty *text(QtProperty *group, const QString &name) const;

private:
    QtGroupPropertyManager *m_groups;
    QtEnumPropertyManager *m_readOnlyEnums;
    QtEnumPropertyManager *m_editableEnums;
    QtStringPropertyManager *m_texts;
};

// The name of an enum index; empty outside the names.
inline QString nameAt(const QStringList &names, int index)
{
    return index >= 0 && index < names.size() ? names.at(index) : QString();
}

// What an output or display mode says: 0 and 2 off, 1 on, 3 upward the
// number of the mask in force (`mask` holds %1).
struct ModeTexts
{
    QString off;
    QString on;
    QString mask;
};
QString modeText(int mode, const ModeTexts &texts);

// A status text made of the model's parts and the base's text: a part left
// empty (the base says nothing) leaves no ", " and no trailing blanks behind.
QString statusWithoutEmptyParts(const QString &text);

// `pattern` ("%1 V") filled with value / divisor, one decimal.
QString oneDecimal(const QString &pattern, int value, int divisor);

// An external supply line's state as shown: state 2 ("low") below 1000 mV
// means no line at all, shown as state 0.
inline int lineStateShown(int state, int millivolts)
{
    return state == 2 && millivolts < 1000 ? 0 : state;
}
inline bool lineAbsentAsLow(int state, int millivolts)
{
    return state == 2 && millivolts < 1000;
}

// The wall-control switch command: 00 05 01 01 A1 (on) or A0 (off).
QByteArray wallControlPayload(bool on);

// Minimum firmware of each known feature; an unknown feature is never
// supported.
struct FeatureMinimum
{
    int feature;
    QVersionNumber firmware;
};
bool featureSupported(const QList<FeatureMinimum> &table, int feature, const QVersionNumber &firmware);

} // namespace DeviceKit

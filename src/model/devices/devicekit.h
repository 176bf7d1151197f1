#pragma once

// Building blocks of the device classes: the stored state block, the device
// picture, the key-title tables, property construction with the pencil mark,
// the echo of device values into unedited settings and the firmware feature
// tables. They hold no texts of their own: every title and enum name is
// passed in, translated in the calling class's context.

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVersionNumber>

#include <array>
#include <initializer_list>

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

// A payload or request from its bytes.
inline QByteArray bytes(std::initializer_list<quint8> list)
{
    QByteArray data;
    data.reserve(int(list.size()));
    for (quint8 b : list)
        data.append(char(b));
    return data;
}

// The raw state bytes a class decodes: the front of each state update, the
// bytes the update does not hold taken as zero.
template <int N>
class StateBytes
{
public:
    static constexpr int Size = N;

    void load(const QByteArray &state)
    {
        m_bytes.fill(0);
        for (int i = 0; i < N && i < state.size(); ++i)
            m_bytes[i] = quint8(state.at(i));
    }
    quint8 at(int index) const { return index >= 0 && index < N ? m_bytes[index] : 0; }
    quint8 operator[](int index) const { return at(index); }
    bool bit(int index, int bit) const { return bitOf(at(index), bit); }
    // Little-endian 16-bit word at `index`, `index` + 1.
    quint16 word(int index) const { return quint16(at(index) | (at(index + 1) << 8)); }
    void setBits(int index, quint8 mask)
    {
        if (index >= 0 && index < N)
            m_bytes[index] |= mask;
    }

private:
    std::array<quint8, N> m_bytes{};
};

// ":/images/devices/<fileName>" as stored (the pictures are 32-bit ARGB).
QImage devicePicture(const QString &fileName);
// The item's icon and its online and offline pictures from one picture.
void showPicture(DeviceItem *item, const QImage &picture);

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

// A state update meets an editable setting: an edit still pending keeps its
// value and loses its mark once the device holds the edited value; an
// unedited setting takes the device's value. True when the setting follows
// the device.
template <class Manager>
bool followDevice(DeviceItem *item, Manager *manager, QtProperty *setting, int deviceValue);

// Minimum firmware of each known feature; an unknown feature is never
// supported.
struct FeatureMinimum
{
    int feature;
    QVersionNumber firmware;
};
bool featureSupported(const QList<FeatureMinimum> &table, int feature, const QVersionNumber &firmware);

} // namespace DeviceKit

#include "deviceitem.h"
#include "qtpropertybrowser.h"

template <class Manager>
bool DeviceKit::followDevice(DeviceItem *item, Manager *manager, QtProperty *setting, int deviceValue)
{
    if (setting->isModified()) {
        if (manager->value(setting) == deviceValue)
            item->setPropertyModified(setting, false);
        return false;
    }
    manager->setValue(setting, deviceValue);
    return true;
}

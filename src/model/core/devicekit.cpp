#include "devicekit.h"

#include "deviceitem.h"
#include "qtpropertymanager.h"
#include "resourcecache.h"

#include <algorithm>

namespace DeviceKit {

void StateBlock::load(const QByteArray &state)
{
    for (int i = 0; i < m_bytes.size(); ++i)
        m_bytes[i] = i < state.size() ? state.at(i) : '\0';
}

void StateBlock::loadKeepingTail(const QByteArray &state, int zeroedWhenEmpty)
{
    if (!state.isEmpty()) {
        load(state);
        return;
    }
    for (int i = 0; i < zeroedWhenEmpty && i < m_bytes.size(); ++i)
        m_bytes[i] = '\0';
}

void StateBlock::setBits(int index, quint8 mask)
{
    if (index >= 0 && index < m_bytes.size())
        m_bytes[index] = char(quint8(m_bytes.at(index)) | mask);
}

void showPicture(DeviceItem *item, const QString &fileName)
{
    const ResourceCache::Picture picture = ResourceCache::picture(QStringLiteral(":/images/devices/") + fileName);
    if (!picture.isNull())
        item->setDevicePicture(picture);
}

TitledKeys baseTitles(const QStringList &keys)
{
    TitledKeys table;
    for (const QString &key : keys)
        table.append(TitledKey{key, DeviceItem::staticParameterTitle(key)});
    return table;
}

QString keyOfTitle(const TitledKeys &table, const QString &title)
{
    for (const TitledKey &pair : table)
        if (pair.title == title)
            return pair.key;
    return QString();
}

QString titleOfKey(const TitledKeys &table, const QString &key)
{
    for (const TitledKey &pair : table)
        if (pair.key == key)
            return pair.title;
    return QString();
}

void adjustTitleMap(QMap<QString, QString> &titleToKey, const QStringList &removeKeys, const TitledKeys &add)
{
    for (auto it = titleToKey.begin(); it != titleToKey.end();) {
        if (removeKeys.contains(it.value()))
            it = titleToKey.erase(it);
        else
            ++it;
    }
    for (const TitledKey &pair : add)
        titleToKey.insert(pair.title, pair.key);
}

QMap<int, QIcon> pencilIcons(int count)
{
    const QIcon pencil = ResourceCache::icon(QStringLiteral(":/icons/images/icons/pencil.png"));
    QMap<int, QIcon> icons;
    for (int i = 0; i < count; ++i)
        icons.insert(i, pencil);
    return icons;
}

QtProperty *PropertyKit::group(const QString &name) const
{
    return m_groups->addProperty(name);
}

QtProperty *PropertyKit::readOnlyEnum(QtProperty *group, const QString &name, const QStringList &names,
                                      int initial) const
{
    QtProperty *property = m_readOnlyEnums->addProperty(name);
    m_readOnlyEnums->setEnumNames(property, names);
    m_readOnlyEnums->setValue(property, initial);
    if (group)
        group->addSubProperty(property);
    return property;
}

QtProperty *PropertyKit::editableEnum(QtProperty *group, const QString &name, const QStringList &names) const
{
    QtProperty *property = m_editableEnums->addProperty(name);
    m_editableEnums->setEnumNames(property, names);
    m_editableEnums->setEnumIcons(property, pencilIcons(names.size()));
    if (group)
        group->addSubProperty(property);
    return property;
}

QtProperty *PropertyKit::text(QtProperty *group, const QString &name) const
{
    QtProperty *property = m_texts->addProperty(name);
    if (group)
        group->addSubProperty(property);
    return property;
}

QString modeText(int mode, const ModeTexts &texts)
{
    if (mode == 1)
        return texts.on;
    if (mode == 0 || mode == 2)
        return texts.off;
    return texts.mask.arg(mode);
}

QString statusWithoutEmptyParts(const QString &text)
{
    QStringList parts = text.split(QStringLiteral(", "));
    parts.erase(std::remove_if(parts.begin(), parts.end(), [](const QString &part) { return part.trimmed().isEmpty(); }),
                parts.end());
    return parts.join(QStringLiteral(", ")).trimmed();
}

QString oneDecimal(const QString &pattern, int value, int divisor)
{
    return pattern.arg(double(value) / divisor, 0, 'f', 1);
}

QByteArray wallControlPayload(bool on)
{
    return QByteArray::fromHex("00050101") + char(on ? 0xA1 : 0xA0);
}

bool featureSupported(const QList<FeatureMinimum> &table, int feature, const QVersionNumber &firmware)
{
    for (const FeatureMinimum &entry : table)
        if (entry.feature == feature)
            return QVersionNumber::compare(firmware, entry.firmware) >= 0;
    return false;
}

} // namespace DeviceKit

#pragma once

// What the device class tests share: a recording measurement collector, a
// property browser whose editors make the user's edits, and a capture of
// the packets that leave through the command queue or the item itself.

#include "devicetestdata.h"

#include "infocollector.h"
#include "deviceitem.h"
#include "packet.h"
#include "qteditorfactory.h"
#include "qttreepropertybrowser.h"
#include "senddatamanager.h"
#include "widgetdevicewritesettings.h"

#include <QComboBox>
#include <QSpinBox>
#include <QPushButton>
#include <QList>
#include <QPair>
#include <QStringList>
#include <QVariant>

#include <memory>

class RecordingCollector : public InfoCollector
{
public:
    void appendValue(QString tableName, uint deviceId, QVariant value) override
    {
        keys << tableName;
        serials << deviceId;
        values << value;
    }
    QVariant valueOf(const QString &key) const
    {
        const int i = keys.lastIndexOf(key);
        return i < 0 ? QVariant() : values.at(i);
    }
    void reset()
    {
        keys.clear();
        serials.clear();
        values.clear();
    }
    QStringList keys;
    QList<uint> serials;
    QVariantList values;
};

inline QStringList propertyNames(const QList<QtProperty *> &properties)
{
    QStringList list;
    for (QtProperty *property : properties)
        list << property->propertyName();
    return list;
}

// The shown values of the properties.
inline QStringList texts(const QList<QtProperty *> &properties)
{
    QStringList list;
    for (QtProperty *property : properties)
        list << property->valueText();
    return list;
}

// The status levels of the properties, as texts ("0", "1", "2").
inline QStringList levelsOf(const DeviceItem &item, const QList<QtProperty *> &properties)
{
    QStringList list;
    for (QtProperty *property : properties)
        list << QString::number(item.propertyLevel(property));
    return list;
}

// The status levels of the properties, as numbers.
inline QList<int> levelNumbers(const DeviceItem &item, const QList<QtProperty *> &properties)
{
    QList<int> levels;
    for (QtProperty *property : properties)
        levels << int(item.propertyLevel(property));
    return levels;
}

// A state update with the item's own record, at a link state.
inline void updateWith(DeviceItem &item, const QByteArray &state, quint8 linkState = 2)
{
    deviceInfo_t info = item.deviceInfo();
    info.linkState = linkState;
    item.updateState(info, state);
}

// The property at a path of names from the item's top level: {"Controlled
// circuit", "Value"}.
inline QtProperty *propertyAt(const DeviceItem &item, const QStringList &path)
{
    QList<QtProperty *> level = item.topProperties();
    QtProperty *found = nullptr;
    for (const QString &name : path) {
        found = nullptr;
        for (QtProperty *property : level)
            if (property->propertyName() == name) {
                found = property;
                break;
            }
        if (!found)
            return nullptr;
        level = found->subProperties();
    }
    return found;
}

// The item's tree in a real browser, painted by the item and edited through
// the editors the browser's factories make.
class EditorBench
{
public:
    explicit EditorBench(DeviceItem &item)
    {
        m_browser.setFactoryForManager(item.data(DeviceRole::EnumManager).value<QtEnumPropertyManager *>(),
                                       &m_enumFactory);
        m_browser.setFactoryForManager(item.data(DeviceRole::IntManager).value<QtIntPropertyManager *>(),
                                       &m_intFactory);
        for (QtProperty *property : item.topProperties())
            m_browser.addProperty(property);
        DeviceItem::setPropertyBrowser(&m_browser);
        item.postInit(); // connects the editable managers at once
    }
    ~EditorBench() { DeviceItem::setPropertyBrowser(nullptr); }

    // The user picks `index` in the combo box of the property.
    bool choose(QtProperty *property, int index)
    {
        std::unique_ptr<QWidget> editor(m_enumFactory.createEditor(property, &m_browser));
        auto *combo = qobject_cast<QComboBox *>(editor.get());
        if (!combo)
            return false;
        combo->setCurrentIndex(index);
        return true;
    }

    // The user types `value` into the spin box of an integer property.
    bool enter(QtProperty *property, int value)
    {
        std::unique_ptr<QWidget> editor(m_intFactory.createEditor(property, &m_browser));
        auto *spin = qobject_cast<QSpinBox *>(editor.get());
        if (!spin)
            return false;
        spin->setValue(value);
        return true;
    }

    // Row colour of the property as the item painted it.
    QColor colour(QtProperty *property) const
    {
        const QList<QtBrowserItem *> rows = m_browser.items(property);
        return rows.isEmpty() ? QColor() : m_browser.backgroundColor(rows.first());
    }

    QtTreePropertyBrowser &browser() { return m_browser; }

private:
    QtTreePropertyBrowser m_browser;
    QtEnumEditorFactory m_enumFactory;
    QtSpinBoxFactory m_intFactory;
};

inline WidgetDeviceWriteSettings *panelOf(const DeviceItem &item)
{
    return qobject_cast<WidgetDeviceWriteSettings *>(item.data(DeviceRole::WritePanel).value<QWidget *>());
}

// The user presses the write-settings panel's button.
inline void pressWrite(const DeviceItem &item)
{
    panelOf(item)->findChild<QPushButton *>(QStringLiteral("pbWriteSettings"))->click();
}

// Packets leaving through the command queue and through the item's own
// requests. Queue packets are acknowledged at once, so the next one leaves.
class PacketCapture : public QObject
{
public:
    explicit PacketCapture(DeviceItem &item)
    {
        registerPacketMetaTypes();
        connect(SendDataManager::instance(), &SendDataManager::sendPacket, this,
                [this](const QByteArray &data, const ResponseCb &cb) {
                    queued << data;
                    cb(packetOf("6b"));
                });
        connect(&item, &DeviceItem::sendPacket, this, [this](const QByteArray &data, const ResponseCb &cb) {
            direct << data;
            callbacks << cb;
        });
    }
    QList<QByteArray> queued;
    QList<QByteArray> direct;
    QList<ResponseCb> callbacks;
};

// Every packet of the process-wide command queue, acknowledged at once: for
// items that queue on their own (keep-alives) from the moment they are made.
class QueueRecorder : public QObject
{
public:
    QueueRecorder()
    {
        registerPacketMetaTypes();
        connect(SendDataManager::instance(), &SendDataManager::sendPacket, this,
                [this](const QByteArray &data, const ResponseCb &cb) {
                    packets << data;
                    cb(packetOf("6b"));
                });
    }
    QList<QByteArray> packets;
};

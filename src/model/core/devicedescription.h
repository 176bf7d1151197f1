#pragma once

// What a device class is, told once: its type codes and picture, its field
// names and key-title pairs, the firmware its features need, its settings and
// the commands that write them. A class gives its description from a static
// `description()` built with its own tr(), so every text is translated in the
// class's context; the registry answers the lookups by type code from it, and
// DeviceItem builds the class's titles, settings editors, changed-tests and
// writes from it.

#include "devicekit.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVersionNumber>

#include <functional>
#include <optional>

// A setting the user edits in the property tree, or a read-only value that
// configuration files carry.
struct SettingDescription
{
    QString key;       // names it to the class and the writes; the configuration-file key where files carry it
    QString title;     // the property's name
    QStringList names; // the enum's names; none for an integer setting
    QString field;     // the state-layout field that holds the device's value; none: the class echoes and judges it
    int offset = 0;        // the editor shows the device's value minus this (levels 1-4 as indexes 0-3)
    bool inverted = false; // the editor shows 1 ("Enabled") while the device's bit is clear
    bool readOnly = false; // never edited: shows the device's value at every state
    bool inConfigurationFiles = false;
    bool booleanInFiles = false; // files carry it as true or false, not as a number
    bool exportOnly = false;     // files carry it, but opening a file does not set it back
    QList<int> fileCodes;        // the type codes whose files carry it; none: every code of the class
    int minimum = 0; // the range of an integer setting
    int maximum = 0;
    QVersionNumber firmware; // the firmware it needs: below it the setting is inactive (status level 8)

    // An editable enum, a read-only enum, an editable integer.
    static SettingDescription choice(const QString &key, const QString &title, const QStringList &names,
                                     const QString &field);
    static SettingDescription shown(const QString &key, const QString &title, const QStringList &names,
                                    const QString &field);
    static SettingDescription number(const QString &key, const QString &title, int minimum, int maximum,
                                     const QString &field);
    // The same setting, carried by configuration files (as a boolean).
    SettingDescription inFiles(bool asBoolean = false) const;
    // Written by the exporter only.
    SettingDescription exportedOnly() const;
    // Carried by the files of these type codes only.
    SettingDescription onlyForCodes(const QList<int> &codes) const;
    bool carriedFor(int code) const { return inConfigurationFiles && (fileCodes.isEmpty() || fileCodes.contains(code)); }
    SettingDescription shiftedBy(int deviceOffset) const;
    SettingDescription invertedBit() const;
    SettingDescription needsFirmware(const QVersionNumber &minimum) const;

    // The editor's value for a device value, and back.
    int editorValue(int deviceValue) const { return inverted ? int(deviceValue == 0) : deviceValue - offset; }
    int deviceValue(int editorValue) const { return inverted ? int(editorValue == 0) : editorValue + offset; }
};

// A command that writes settings into the device.
struct SettingWrite
{
    enum Kind {
        Queued,     // a payload through the command queue (PT_DEVICE_SEND_DATA to the item's address)
        Direct,     // PT_DEVICE_SEND_DATA to the device's number, sent at once by the item
        MemoryCell, // PT_DEVICE_EEPROM_WRITE_REQ to the device's number, then PT_REBOOT_DEVICE
    };
    Kind kind = Queued;
    QStringList settings; // the keys of the settings it carries, in order
    QByteArray prefix;    // Queued: the payload's bytes before the values
    quint16 cell = 0;     // MemoryCell: the memory address
    // The bytes after the prefix, or written into the cell, from the device
    // values of `settings`; without it, one byte a setting.
    std::function<QByteArray(const QList<int> &deviceValues)> data;
    QVersionNumber from;  // the firmware it serves: from `from` on (none: any) ...
    QVersionNumber below; // ... and below `below` (none: no limit)
    bool always = false;  // sent at every write; else only when one of its settings is marked modified
    bool mirror = false;  // its values are ORed into the stored state bytes until the device's next state

    // A payload through the command queue; a memory write and restart.
    static SettingWrite queued(const QByteArray &prefix, const QStringList &settings);
    static SettingWrite memoryCell(quint16 cell, const QStringList &settings);
    static SettingWrite direct(const QByteArray &prefix, const QStringList &settings);
    SettingWrite withData(std::function<QByteArray(const QList<int> &)> make) const;
    SettingWrite fromFirmware(const QVersionNumber &version) const;
    SettingWrite belowFirmware(const QVersionNumber &version) const;
    SettingWrite everyTime() const;
    SettingWrite mirrored() const;

    bool serves(const QVersionNumber &firmware) const;
};

// The key-title pairs of a class: either exactly its own, or the base's
// without some, plus its own.
struct DeviceTitles
{
    bool keepsBase = true;
    QStringList removed; // base keys the class does not have
    DeviceKit::TitledKeys added;

    static DeviceTitles base() { return {}; }
    static DeviceTitles exactly(const DeviceKit::TitledKeys &pairs) { return {false, {}, pairs}; }
    static DeviceTitles baseWithout(const QStringList &removed, const DeviceKit::TitledKeys &added)
    {
        return {true, removed, added};
    }

    // The kept base pairs in base order, then the class's own.
    DeviceKit::TitledKeys table() const;
};

struct DeviceDescription
{
    QList<int> codes;       // the type codes the factory makes the class for
    QList<int> listedCodes; // further codes whose lookups answer with these lists (made as plain items)
    QString picture;        // a file below ":/images/devices/"
    QHash<int, QString> pictures; // by type code, where it is not `picture`
    int stateBytes = 0;     // how many bytes of each state the class stores
    QStringList fieldNames;
    DeviceTitles titles;
    // Firmware minimum of each feature the class knows; none: the base's rule.
    std::optional<QList<DeviceKit::FeatureMinimum>> features;
    QList<SettingDescription> settings;
    QList<SettingWrite> writes;
    // Each changed-test first sets the configuration-clean flag to whether
    // no setting differs from the device.
    bool wholeConfigurationCheck = false;

    // The base field names (gpActiveZone ... gpUndef).
    static QStringList baseFieldNames();

    // Titles exactly these pairs, and the field names their keys in the same order.
    void setTitledFields(const DeviceKit::TitledKeys &pairs);

    QString pictureOf(int code) const { return pictures.value(code, picture); }
    QString keyOfTitle(const QString &title) const { return DeviceKit::keyOfTitle(titles.table(), title); }
    QString titleOfKey(const QString &key) const { return DeviceKit::titleOfKey(titles.table(), key); }
    const SettingDescription *setting(const QString &key) const;
    // The keys of the settings that the files of a type code carry, in order.
    QStringList fileSettingKeys(int code) const;
};

using DescriptionFn = DeviceDescription (*)();

// The description `describe` gives and its titles' table, made once per
// language: a description holds nothing but constants and texts translated
// in its class's context.
DeviceDescription describedOnce(DescriptionFn describe);
DeviceKit::TitledKeys titleTableOnce(DescriptionFn describe);
// The same titles as a map from title to key, shared by every item of the description.
QMap<QString, QString> titleMapOnce(DescriptionFn describe);

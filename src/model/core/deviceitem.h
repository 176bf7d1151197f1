#pragma once

#include "deviceaction.h"
#include "devicedescription.h"
#include "deviceinfo.h"
#include "kastrelsettings.h"
#include "packet.h"
#include "resourcecache.h"

#include <QByteArray>
#include <QHash>
#include <QIcon>
#include <QImage>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QStandardItem>
#include <QStringList>
#include <QTimer>
#include <QVariant>
#include <QVersionNumber>

#include <cstdint>
#include <optional>

class InfoCollector;
class QtAbstractPropertyManager;
class QtBoolPropertyManager;
class QtDoublePropertyManager;
class QtEnumPropertyManager;
class QtGroupPropertyManager;
class QtIntPropertyManager;
class QtProperty;
class QtStringPropertyManager;
class QtTreePropertyBrowser;
class WidgetDeviceWriteSettings;

// Item data roles of device items, besides the toolkit's own.
namespace DeviceRole {
enum : int {
    RadioAddress = Qt::UserRole,       // 256: record byte 0
    ExtraAddresses = Qt::UserRole + 1, // 257: further Wireloop addresses taken
    WireloopAddress = Qt::UserRole + 2, // 258: record byte 9
    AddressText = Qt::UserRole + 3,    // 259
    TypeName = Qt::UserRole + 4,       // 260
    DeviceType = Qt::UserRole + 5,     // 261
    AddressAndType = Qt::UserRole + 6, // 262: bytes 9-10 as one 16-bit value
    SerialText = Qt::UserRole + 7,     // 263: ten digits
    Serial = Qt::UserRole + 8,         // 264
    Info = Qt::UserRole + 9,           // 265: deviceInfo_t
    State = Qt::UserRole + 10,         // 266: the last state block
    TopProperties = Qt::UserRole + 11, // 267: QList<QtProperty *>
    EnumManager = Qt::UserRole + 12,   // 268: the editable managers
    IntManager = Qt::UserRole + 13,    // 269
    DoubleManager = Qt::UserRole + 14, // 270
    BoolManager = Qt::UserRole + 15,   // 271
    Rssi = Qt::UserRole + 16,          // 272
    RssiText = Qt::UserRole + 17,      // 273
    LinkState = Qt::UserRole + 18,     // 274: record byte 11
    Actions = Qt::UserRole + 19,       // 275: QList<DeviceAction>
    StatusText = Qt::UserRole + 20,    // 276
    ClassValue = Qt::UserRole + 21,    // 277: answered by some device classes
    Value2 = Qt::UserRole + 22,        // 278: answered by some device classes
    Value3 = Qt::UserRole + 23,        // 279: answered by the climate sensor
    Charge = Qt::UserRole + 24,        // 280: text of "Main battery voltage"
    MainPowerGood = Qt::UserRole + 25, // 281
    WritePanel = Qt::UserRole + 26,    // 282: the write-settings panel (QWidget *)
    EditMark = Qt::UserRole + 27,      // 283: kept by the item for the table model
    FirmwareText = Qt::UserRole + 28,  // 284
    HardwareText = Qt::UserRole + 29,  // 285
    RlValue = Qt::UserRole + 30,       // 286
    RlSupported = Qt::UserRole + 31,   // 287
    KastrelAddress = Qt::UserRole + 32, // 288: record byte 19
    SearchText = Qt::UserRole + 33,    // 289
    ClassFlag = Qt::UserRole + 34,     // 290
};
}

// A radio device bound to the master: a Qt object and a standard item at
// once. Holds the device-info record, the last state block, the property
// tree, the context actions and the write-settings panel; the device classes
// derive from it and override its virtual operations.
//
// Settings edits: only a commit from a property-browser editor counts as the
// user's edit (QtAbstractPropertyManager::isUserEdit). The item's own value
// updates, imports and setters never mark a setting modified or send
// anything.
class DeviceItem : public QObject, public QStandardItem
{
    Q_OBJECT
public:
    // Mark word of a property (its status level): the row colour while the
    // device is online, and whether it may ever be edited.
    enum PropertyMark : quint32 {
        MarkAlarm = 0x1,         // 255,180,180
        MarkFault = 0x2,         // 255,234,173
        MarkHighlight = 0x4,     // 200,200,250 (a detector that is arming)
        MarkNeverEditable = 0x8, // inactive, or not offered by the firmware
    };

    enum BaseActionId {
        ToggleZoneStateAction = 1000,
        SendCustomDataAction = 1001,
        PlotRssiAction = 1002,
        ResetAddressAction = 1003,
        CloneWireloopAction = 1004,
    };

    DeviceItem(const deviceInfo_t &info, bool kastrelMode);
    ~DeviceItem() override;

    // Record fields.
    quint8 deviceId() const { return m_info.radioAddress; }     // byte 0, the radio address
    quint8 radioAddress() const { return m_info.radioAddress; } // byte 0
    quint8 address() const { return m_info.wireloopAddress; }   // byte 9, the Wireloop address
    quint8 kastrelAddress() const { return m_info.kastrelAddress; } // byte 19
    // Byte 19 as the firmware, diagnostics and database code call it.
    quint8 wireloopAddress() const { return m_info.kastrelAddress; }
    quint32 serialNumber() const { return m_info.serialNumber; }
    qint8 rssi() const { return m_info.rssi; }
    quint32 rlValue() const { return m_info.rl; }
    quint32 auxValue() const { return m_info.rl; }
    quint8 rlSupported() const { return m_info.rlSupported; }
    quint8 auxFlag() const { return m_info.rlSupported; }
    deviceInfo_t deviceInfo() const { return m_info; }
    // True when the item is addressed by its Kastrel address (byte 19).
    bool kastrelMode() const { return m_kastrelMode; }
    bool isWireloopAddressing() const { return m_kastrelMode; }
    // The wired address in use: byte 19 in Kastrel mode, else byte 9.
    quint8 wiredAddress() const { return m_kastrelMode ? m_info.kastrelAddress : m_info.wireloopAddress; }

    // 0 or 1 not online, 2 online, 3 built from a configuration file.
    int connectionState() const { return m_connectionState; }
    bool isOnline() const { return m_connectionState == 2; }
    // Takes record byte 11 when it is 0, 1 or 2.
    void setConnectionState(const deviceInfo_t &info);
    void setOffline();
    QByteArray stateBlock() const { return m_state; }
    quint8 stateByte(int index) const { return index >= 0 && index < 6 ? m_stateBytes[index] : 0; }
    // A field of the state layout of the item's type, read from the state
    // bytes the class stores (a plain item: from the last state); 0 for a
    // field the layout does not have.
    qint64 stateValue(const char *name) const;
    bool isAddressResetPending() const { return m_addressResetPending; }

    // Model name of deviceType() ("Unknown type: %1" outside the table).
    QString itemTypeName() const;
    QString serialText() const;
    QString statusText() const;
    int extraWireloopAddresses() const;

    // Virtual operations of the device classes.
    virtual bool isFeatureSupported(int feature) const;
    virtual QStringList fieldNames() const;
    virtual bool addExtraProperties();
    virtual bool prepareDisconnect();
    virtual int deviceType() const;
    virtual QString typeName() const;
    virtual QString toolTip() const;
    virtual QString addressText() const;
    virtual void setAddress(quint8 address);
    virtual QVersionNumber firmwareVersion() const;
    virtual QVersionNumber hardwareVersion() const;
    virtual quint8 buildNumber() const;
    virtual bool hasAlarm() const;
    virtual bool hasFault() const;
    virtual void updateState(const deviceInfo_t &info, QByteArray state);
    virtual void executeAction(const int &id);
    // `userEdit` is true only for the commit of a property-browser editor.
    virtual void onPropertyChanged(QtProperty *property, bool userEdit);
    virtual QString infoText() const;
    virtual void parameterTitles();
    virtual bool isConfigurationChanged() const;
    virtual bool isPropertyChanged(QtProperty *property) const;

    // The standard-item part.
    QVariant data(int role = Qt::UserRole + 1) const override;
    void setData(const QVariant &value, int role = Qt::UserRole + 1) override;
    int type() const override;
    bool operator<(const QStandardItem &other) const override;

    // Requests and actions.
    void changeAddress(quint8 address);
    bool setAddressResponse(const Packet &reply);
    void resetAddress();
    void requestProductCode();

    // Measurements.
    void storeFieldValue(quint32 serial, const QString &key, const QVariant &value);
    void storeFieldValue(const QString &key, quint32 serial, const QVariant &value)
    {
        storeFieldValue(serial, key, value);
    }
    void installInfoCollector(InfoCollector *collector);
    void fillStoringMap(InfoCollector *collector) { installInfoCollector(collector); }
    InfoCollector *infoCollector() const;

    QString parameterKey(const QString &title) const;
    QString parameterTitle(const QString &key) const;

    // The settings that configuration files carry, by their keys: the
    // editor's value (a boolean where files hold one), invalid for a key the
    // item does not have; setting it is no user edit.
    QVariant fileSettingValue(const QString &key) const;
    bool setFileSettingValue(const QString &key, int value);

    QList<DeviceAction> actions() const { return m_actions; }
    void removeAction(int index);

    // Property tree helpers.
    QList<QtProperty *> topProperties() const { return m_topProperties; }
    void setSubPropertyVisible(QtProperty *parent, QtProperty *child, bool visible);
    bool isPropertyModified(QtProperty *property) const;
    void setPropertyModified(QtProperty *property, bool modified);
    quint32 propertyLevel(const QtProperty *property) const { return m_propertyMarks.value(property); }
    void setPropertyLevel(QtProperty *property, quint32 marks);
    void refreshPropertyBrowser();
    void setHiddenPropertiesVisible(bool show);
    // The write panel under the property tree, made on first request.
    WidgetDeviceWriteSettings *writeSettingsPanel() const;
    // The panel's state, also before the panel is made.
    int writeSettingsState() const;

    // Takes the device picture: a 32-bit ARGB image gives the online icon
    // and its grey copy the offline icon; other formats are refused.
    void setDeviceImage(const QImage &image);
    // Takes a decoded picture as the item's icon and its online and offline icons.
    void setDevicePicture(const ResourceCache::Picture &picture);
    QIcon onlineIcon() const { return m_onlineIcon; }
    QIcon offlineIcon() const { return m_offlineIcon; }
    // Turns a Format_ARGB32 image grey in place, alpha kept.
    static bool makeGrayscale(QImage &image);

    // The repeater (or master) under which the tree model shows this item;
    // null once that item is gone.
    DeviceItem *parentRepeater() const { return m_parentRepeater; }
    void setParentRepeater(DeviceItem *repeater) { m_parentRepeater = repeater; }

    // The RSSI plot rule (feature 1): a repeater type needs an RL value below
    // 256 with its low four bits clear, any other type an RL value of 0.
    static bool featureOneRule(int deviceType, quint32 rl);

    // Lookups by type code without an item.
    static QStringList fieldNamesForType(int type);
    static QStringList staticFieldNames();
    static QString parameterKeyForType(int type, const QString &title);
    static QString parameterTitleForType(int type, const QString &key);
    static QString staticParameterKey(const QString &title);
    static QString staticParameterTitle(const QString &key);

    // The browser whose rows refreshPropertyBrowser() paints (the main
    // window's property browser).
    static void setPropertyBrowser(QtTreePropertyBrowser *browser);
    static QtTreePropertyBrowser *propertyBrowser();

    // Delays of the item's timers: extra properties 2000 ms after
    // construction, the address-reset hold 5000 ms. Tests shorten them.
    static void setTimings(int extraPropertiesDelayMs, int addressResetHoldMs);

public slots:
    virtual void writeDeviceConfiguration();
    void lockProperties(bool lock = true);
    void unlockProperties() { lockProperties(false); }
    void postInit();

signals:
    void updated(DeviceItem *item);
    void updateProperties(DeviceItem *devItem);
    void addressChanged(DeviceItem *item);
    void addressReseted(DeviceItem *item);
    void rssiChanged(DeviceItem *item);
    void parentChanged(DeviceItem *item);
    void sendPacket(QByteArray data, ResponseCb cb);
    void rebootReqired();
    void forceReadData(int address);
    void writeInputSettingsAck(int errorCode);
    void inputSettingsReceived(t_EEKastrelSettings &config);
    void readInputSettingsError(int errorCode);
    void writeInputSettingsError(int errorCode);
    void propertyChangedFinished();
    void wireloopAddressChanged(int radioAddress, int value);
    void lockMainwindow();
    void unlockMainwindow();
    void techRunModeEnabled();
    void productCodeReceived(uint32_t code);

protected:
    // A device class: its description gives the picture, the stored state
    // bytes, the field names and titles, the feature table, the settings and
    // their writes.
    DeviceItem(const deviceInfo_t &info, bool kastrelMode, DescriptionFn describe);
    // The first steps of a class's state update: the connection state, then
    // the state's front into the stored bytes (the base's updateState stores
    // them for a class that does not).
    void loadState(const deviceInfo_t &info, const QByteArray &state);
    // The same for a class that keeps its later bytes across an update
    // without state: only the first `zeroedWhenEmpty` bytes are zeroed then.
    void loadStateKeepingTail(const deviceInfo_t &info, const QByteArray &state, int zeroedWhenEmpty);
    // The property of the description's setting `key`, made in `group` (an
    // editable enum with the pencil, an editable integer, or a read-only
    // enum); it follows the device from then on.
    QtProperty *addSetting(QtProperty *group, const QString &key);
    // The editor's value of a setting made by addSetting; -1 for another key.
    int settingValue(const QString &key) const;
    // The device's value of a described setting that has no state field, as
    // the class reads it from its state bytes; none: the class echoes and
    // judges that setting itself.
    virtual std::optional<int> deviceSettingValue(const QString &key) const;

public:
    // The serial number under which measurements are stored; the master
    // item answers the one of its status record.
    virtual quint32 storingSerialNumber() const { return m_info.serialNumber; }

protected:
    // Fills WD Type, S/N and the two address properties from the record.
    void updateBaseProperties();
    void setWriteSettingsState(int state);
    // The write panel's description and progress maximum, kept until the panel is made.
    void setWritePanelText(const QString &text);
    void setWritePanelMaximum(int maximum);
    void updatePlotAction();

    int m_connectionState = 0;
    deviceInfo_t m_info;
    quint8 m_stateBytes[6] = {0, 0, 0, 0, 0, 0};
    QByteArray m_state;
    QList<QtProperty *> m_topProperties;

    QtStringPropertyManager *m_stringManager = nullptr;
    QtGroupPropertyManager *m_groupManager = nullptr;
    QtEnumPropertyManager *m_enumManager = nullptr; // read-only
    QtBoolPropertyManager *m_boolManager = nullptr; // read-only
    QtEnumPropertyManager *m_editEnumManager = nullptr;
    QtBoolPropertyManager *m_editBoolManager = nullptr;
    QtIntPropertyManager *m_editIntManager = nullptr;
    QtDoublePropertyManager *m_editDoubleManager = nullptr;

    QtProperty *m_propWdType = nullptr;
    QtProperty *m_propSerial = nullptr;
    QtProperty *m_propWiredAddress = nullptr;
    QtProperty *m_propRadioAddress = nullptr;
    QtProperty *m_propStatus = nullptr;
    QtProperty *m_propCase = nullptr;
    QtProperty *m_propMainBattery = nullptr;
    QtProperty *m_propMainBatteryVoltage = nullptr;
    QtProperty *m_propReserveBattery = nullptr;

    QIcon m_onlineIcon;
    QIcon m_offlineIcon;
    QList<DeviceAction> m_actions;
    QPointer<InfoCollector> m_infoCollector;
    bool m_kastrelMode = false;
    mutable bool m_configurationClean = true;
    DeviceKit::StateBlock m_stored; // the state bytes a class decodes
    QMap<QString, QString> m_parameterTitleMap; // title -> key
    bool m_addressResetPending = false;

private:
    // The class's description; an empty one for a plain item.
    DeviceDescription describedAs() const;
    struct Setting
    {
        SettingDescription description;
        QtProperty *property = nullptr;
    };

    void buildProperties();
    // A field of the common head (bytes 0-3) of the last state.
    int headValue(const char *name) const;
    const Setting *findSetting(const QString &key) const;
    const Setting *findSetting(const QtProperty *property) const;
    int editorValue(const Setting &setting) const;
    void setEditorValue(const Setting &setting, int value);
    // Whether the base can read the setting's device value (a state field, or
    // the class's deviceSettingValue).
    bool followsDevice(const Setting &setting) const;
    int deviceValue(const Setting &setting) const;
    bool differs(const Setting &setting) const;
    // A state update meets the settings: an edit still pending keeps its
    // value and loses its mark once the device holds it; an unedited or
    // read-only setting takes the device's value.
    void echoSettings();
    void writeSettings();
    QList<QtAbstractPropertyManager *> editableManagers() const;
    bool cloneReply(const Packet &reply, quint8 wireloopAddress, int count);

    const QtProperty *m_lastProperty = nullptr;
    QString m_lastPropertyName;
    QString m_lastPropertyValue;
    QPointer<DeviceItem> m_parentRepeater;
    QHash<const QtProperty *, quint32> m_propertyMarks;
    DescriptionFn m_describe = nullptr;
    QList<Setting> m_settings;
    QList<SettingWrite> m_writes;
    bool m_wholeConfigurationCheck = false;
    bool m_stateLoaded = false; // by the class, in the update under way
    QTimer m_addressResetTimer;
    bool m_postInitDone = false;
    // Made when the property window first shows the item (or a write starts).
    mutable QPointer<WidgetDeviceWriteSettings> m_writeSettingsPanel;
    QString m_writePanelText;
    int m_writePanelMaximum = -1; // none set
    int m_writeState = 0;         // the panel's state while there is no panel
};

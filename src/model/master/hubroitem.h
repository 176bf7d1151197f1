#pragma once

#include "connectiontypes.h"
#include "di_abstractrepeater.h"
#include "hubroinfo.h"
#include "masterpackets.h"

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <QVersionNumber>

#include <array>
#include <memory>

class ConfigurationExporter;
class ConfigurationImporter;
class QMessageBox;
class SettingsResetProcess;

// The master (radio expander) in the device model: keeps the master's status
// record fresh, shows it as a property tree and as the first row of the device
// table, logs in to a protected master, reads the headers of the firmware
// images the master keeps, watches for nearby masters on request, and sends
// the master's own commands straight through sendPacket.
//
// Replies of serial and wired-bus links end with the frame's check byte, those
// of a simulation do not; every length check goes by the link kind given with
// setConnection() (serial until then).
//
// Settings rows are written to the master only when the user edits them in a
// property-browser editor; the rows that a refresh sets never send anything.
class HubroItem : public DI_AbstractRepeater
{
    Q_OBJECT
public:
    enum ActionId {
        LogReaderAction = 2000,
        PlotNoiseAction = 2001,
        EraseFlashAction = 2002,
        StackUsageAction = 2003,
        DebugModeAction = 2004,
        ChannelGroupAction = 2005,
    };

    // Delays of the item's timers, in milliseconds. Tests shorten them.
    struct Timings
    {
        int refresh = 5000;           // status request
        int nearby = 1000;            // nearby-master request
        int upload = 60000;           // radio firmware header again
        int compatibilityCheck = 2000; // after construction
        int currentStatus = 100;      // after connecting
        int firmwareHeaders = 5000;   // after connecting
        int clockSet = 200;           // after a status record with a wrong clock
        int mk1Ping = 300;            // between radio firmware header pieces
        int reconnectedSignal = 100;  // connected() after a password removal
    };
    static void setTimings(const Timings &timings);
    static Timings timings();

    HubroItem(const hubroInfo_t &info, bool kastrelMode);
    ~HubroItem() override;

    // ---- Operations of the device item ---------------------------------------
    bool isFeatureSupported(int feature) const override;
    bool prepareDisconnect() override;
    int deviceType() const override;
    QString typeName() const override;
    QString toolTip() const override;
    QVersionNumber firmwareVersion() const override;
    QVersionNumber hardwareVersion() const override;
    quint8 buildNumber() const override;
    bool hasAlarm() const override;
    bool hasFault() const override;
    void executeAction(const int &actionId) override;
    void onPropertyChanged(QtProperty *property, bool userEdit) override;
    QString infoText() const override;
    virtual quint16 mk1FirmwareVersion() const;
    virtual quint16 mk2FirmwareVersion() const;

    QVariant data(int role = Qt::UserRole + 1) const override;

    // Made for type code 1; its field names and titles serve every master type.
    static DeviceDescription description();
    static QStringList staticFieldNames() { return description().fieldNames; }

    // ---- The status record ---------------------------------------------------------
    hubroInfo_t hubroInfo() const { return m_info; }
    // The configuration file's "master" object of the kept record.
    QJsonObject masterJson() const { return m_masterJson; }
    int maxDeviceCount() const;
    quint32 serialNumber() const { return m_info.dwSerialId; }
    int exchangeInterval() const; // milliseconds
    int currentChannel() const;
    int channelGroup() const;
    bool isConfigurationMode() const;
    bool isChannelScanMode() const;
    bool isKeyboardLocked() const;
    bool isPasswordEnabled() const;
    QVersionNumber radioFirmwareVersion() const;
    bool supportsFeature(int feature) const;
    int connectedDevices() const { return m_connectedDevices; }
    bool isViewingMode() const { return connectionState() == DeviceFromFile; }

    // Nearby-master detection is on while its timer runs.
    bool isNearbyDetectionActive() const { return m_nearbyTimer.isActive(); }
    // The same question under the name the main window's detection action asks it.
    bool hasChannelGroup() const { return isNearbyDetectionActive(); }

    // ---- Firmware images kept by the master ------------------------------------------
    // The item standing for the master's external flash in device updates.
    DeviceItem *uploadedFirmwareInfo() const { return m_flashItem.get(); }
    // Build time of the kept header of slot 0 to 3; -1 for any other slot.
    qint64 firmwareHeaderValue(int slot) const;
    // The kept header of slot 2: the firmware uploaded into the master (all
    // zero before the master reported it).
    HUBRO32BootSectionHeader_t firmwareDates() const;
    // Byte 7 of the kept header of slot 1.
    quint8 uploadFlag() const;
    void stopUploadTimer();

    // ---- Connection ----------------------------------------------------------------------
    void setConnection(ConnectionType type);
    ConnectionType connectionType() const { return m_connectionType; }
    // Takes a new status record (master type adjustment, decoding, signals).
    void updateHubroItem(const hubroInfo_t &record);
    // Text of the "Radio firmware" row.
    void setPropertyText(const QString &text);
    // The "Interval" row becomes a plain row showing the setting "interval".
    void applyIntervalProperty();
    // Closes the open restart question and ends a running configuration reset.
    void onConnectionClosing();

    ConfigurationExporter *createConfigurationExporter(const QList<int> &deviceNumbers = {});
    ConfigurationImporter *createConfigurationImporter();

    // ---- Commands ----------------------------------------------------------------------
    void requestStatus();
    void reboot(int reconnectTimeout);
    void setKeyboardLock(bool lock);
    void clearLog();
    void requestCurrentStatus();
    void startNearbyMasterDetection();
    void stopNearbyMasterDetection();
    void startChannelScan();
    void stopChannelScan();
    void toggleConfigurationMode(bool enable);
    void enableTechRun();
    void sendDeviceUpdateStart(bool fast);
    void sendDeviceUpdateEnd();
    void eraseFlash();
    void enableDebugMode();
    void setChannelGroup();
    void changePassword(quint64 oldHash, quint64 newHash, bool showMessage);
    void removePassword(quint64 hash);

    // The open restart question, null when none is open.
    QMessageBox *reconnectPrompt() const;
    SettingsResetProcess *settingsResetProcess() const;

public slots:
    void mk1HeaderRead();
    void mk1HeaderReceived(const QByteArray &response);
    void mk1HeaderPing();
    void readUploadedFirmwareHeaders();
    void radioDeviceConnected();
    void radioDeviceDisconnected();
    void setConfigFilterSerial(quint32 serialNumber);
    void setConfigFilterDevType(int devType);
    void resetConfigFilter();

signals:
    void logCleared();
    void configStateChanged(int state);
    void channelScanStarted();
    void channelScanFinished();
    void changePasswordFailed();
    void removePasswordFailed();
    void nearbyMasterDetectionStarted();
    void nearbyMasterDetectionStopped();
    void nearbyMasterInfoUpdated(NearbyMasterInfo info);
    void restarted(int reconnectTimeout);
    void loginSuccessfull();
    void firmwareHeadersUpdated();
    void connected();
    void uploadTimeout();
    void updateTimeout();
    void updateInProgress(int address);
    void flashErasingStarted(bool ok);
    void intervalChanged(int value);
    void channelChanged(int value, bool autoMode, bool dynamicMode);
    void wireloopPowerModeChanged(int value);
    void masterDisconnect();
    void settingsResetStarted();
    void hubroInfoUpdated();
    void enableAction(bool state = true);

public:
    quint32 storingSerialNumber() const override { return m_info.dwSerialId; }

private:
    // Construction and decoding (hubroitem.cpp).
    void buildMasterProperties(const hubroInfo_t &info);
    void buildActions();
    void loginStep(const hubroInfo_t &record);
    void startupStep();
    void removeLiveOnlyRows();
    void writeDeviceRecord();
    void updateTypeRow();
    void updateChannelRows();
    void updateIdentityRows();
    void updateIntervalRow();
    void updateSettingRows();
    void updatePowerRows();
    void storeMeasurements();
    void warnInvalidInterval(int seconds);
    void checkFirmwareCompatibility();
    bool hasCheckByte() const;
    int replySize(const Packet &reply) const;
    int wireloopAsSupplyValue() const;
    QtProperty *makeTextRow(const QString &name, QtProperty *group = nullptr);

    // Commands (hubroitem_commands.cpp).
    void send(const QByteArray &packet, ResponseCb cb);
    bool onStatusAnswer(const Packet &reply);
    bool onFirmwareHeaderAnswer(int slot, const Packet &reply);
    void requestFirmwareHeader(int slot);
    void requestNearbyInfo();
    void switchNearbyDetection(bool on);
    bool filterRefused(const Packet &reply);
    void setClock();
    void loginWithPassword();
    bool onLoginAnswer(quint64 hash, const Packet &reply);
    void onStoredHashRefused(quint64 hash);
    void askAfterWrongPassword();
    void startConfigurationReset();
    void onResetStatusArrived();
    void writeSetting(QtProperty *property);
    void writeInterval(int seconds);
    void writeChannel(int value);
    bool onSettingAnswer(const Packet &reply);
    bool onChannelGroupAnswer(int group, const Packet &reply);
    bool onGroupChannelAnswer(const Packet &reply);
    void askRestart(const QString &title);

    // The kept status record. (The device-info record of the item's own row
    // is DeviceItem::m_info.)
    hubroInfo_t m_info;
    // The record the item was built with; the first start-up step decodes it.
    hubroInfo_t m_initialInfo;
    int m_connectedDevices = 0;
    int m_buildNumber = 0;
    int m_configurationMode = 0;
    ConnectionType m_connectionType = Serial;
    QPointer<QMessageBox> m_reconnectPrompt;
    QPointer<SettingsResetProcess> m_settingsReset;
    QTimer m_uploadTimer;
    QTimer m_nearbyTimer;
    QTimer m_refreshTimer;
    QTimer m_clockTimer; // one clock setting pending at a time
    std::array<QByteArray, 4> m_firmwareHeaders;
    QList<int> m_intervals; // seconds
    bool m_busy = false;
    std::unique_ptr<DeviceItem> m_flashItem;
    QJsonObject m_masterJson;

    QByteArray m_mk1Header; // the radio firmware header being assembled
    QString m_radioFirmwareText; // set once read (or given by a file); else the record's version
    bool m_startupDone = false;
    bool m_restartQuestionOpen = false;
    bool m_intervalWarningOpen = false;
    int m_warnedInterval = -1;  // the invalid loss-detection time warned about
    int m_writtenInterval = -1; // the interval last written from a refresh

    // Rows of the master's own property tree.
    QtProperty *m_propHardware = nullptr;
    QtProperty *m_propFirmwareGroup = nullptr;
    QtProperty *m_propCoreFirmware = nullptr;
    QtProperty *m_propRadioFirmware = nullptr;
    QtProperty *m_propUploadedFirmware = nullptr;
    QtProperty *m_propBackupCore = nullptr;
    QtProperty *m_propBackupRadio = nullptr;
    QtProperty *m_propBaseCore = nullptr;
    QtProperty *m_propInterval = nullptr;
    QtProperty *m_propIntervalText = nullptr; // after applyIntervalProperty()
    QtProperty *m_propPowerAdjustment = nullptr;
    QtProperty *m_propBluetooth = nullptr;
    QtProperty *m_propFreeMemory = nullptr;
    QtProperty *m_propStackUsage = nullptr;
    QtProperty *m_propTaskName = nullptr;
    QtProperty *m_propChannel = nullptr;
    bool m_channelIsText = false;
    QtProperty *m_propRecommended = nullptr;
    QtProperty *m_propNoise = nullptr;
    QtProperty *m_propPowerGroup = nullptr;
    QtProperty *m_propMainPower = nullptr;
    QtProperty *m_propReservePower = nullptr;
    QtProperty *m_propWireloopPower = nullptr;
    QtProperty *m_propWireloopSupply = nullptr;
    bool m_wireloopSupplyEditable = false;
};

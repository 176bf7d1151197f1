#pragma once

#include "autonumbering.h"
#include "connectiontypes.h"
#include "firmwaretypes.h"

#include <QList>
#include <QMainWindow>
#include <QModelIndex>
#include <QPointer>
#include <QStringList>
#include <QThread>
#include <QTimer>
#include <QVector>

#include <cstdint>
#include <functional>
#include <memory>

namespace Ui {
class MainWindow;
}
namespace ZorvoLog {
class EventFilter;
}
class AboutDialog;
class AutoNumberDialog;
class Connection;
class DeviceInfoCollector;
class DeviceItem;
class DeviceOutputControl;
class DeviceTableModel;
class FileLocker;
class HubroItem;
class NearbyExpanderView;
class NearbyHubroModel;
class ProductCode;
class PaintPacer;
class ProgressWidget;
class QAbstractItemView;
class QActionGroup;
class QJsonObject;
class QMenu;
class QtCheckBoxFactory;
class QtDoubleSpinBoxFactory;
class QtEnumEditorFactory;
class QtSpinBoxFactory;
class QtTreePropertyBrowser;
class RSSITestDock;
class SQLiteView;
class SortedDeviceModel;
class StatisticsDock;
class TaskbarIndicator;
class UpdateStatusDock;
class WaitMovie;
class WaitWidget;
struct DiscoveredDevice;

// The program's main window: the device views over the device model, the log
// and property docks, the firmware, link-quality and statistics docks, and
// the menus and toolbar. It owns the current connection.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(const QString &filePath, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The command-line file given at start (empty when none).
    QString startupFilePath() const { return startupFile; }

    // What the start step runs when no file was given: the device selection
    // (deviceOpen). Tests replace it so that no modal dialog opens; an empty
    // function restores the default.
    using DeviceSelection = std::function<void(MainWindow *window)>;
    static void setDeviceSelection(DeviceSelection selection);

    // Starts a program as a detached process: true on success, with its
    // process id, else false with the reason. Tests replace it; an empty
    // function restores QProcess.
    using ProcessStarter = std::function<bool(const QString &program, const QStringList &arguments,
                                              const QString &workingDirectory, qint64 *pid, QString *error)>;
    static void setProcessStarter(ProcessStarter starter);
    // How long the reconnection after an expander update waits after
    // closing the link (20000 ms). Tests shorten it.
    static void setExpanderReconnectDelay(int ms);
    // How much longer than the reconnect time-out the window waits for a
    // rebooted master before it says that the master does not answer
    // (2000 ms). Tests shorten it.
    static void setReconnectWaitMargin(int ms);
    // The reconnect time-out of the reboot that completes a flash erase
    // (180000 ms). Tests shorten it.
    static void setEraseReconnectTimeout(int ms);
    static int eraseReconnectTimeout();
    // How long the system report waits, watching nearby masters, before it
    // is made (300000 ms). Tests shorten it.
    static void setReportWaitTime(int ms);
    // How long after a master connects the upload controls are enabled and
    // the configuration check runs (2000 ms). Tests shorten it.
    static void setPostConnectionDelay(int ms);
    static int postConnectionDelay();

    Connection *currentConnection() const { return connection; }
    bool isMasterConnected() const { return masterIsConnected; }
    bool isCollectorRunning() const { return collectorThread.isRunning(); }

    // "1.14.4043 05.12.2026": the program version, its build number padded to
    // three digits, and the build date.
    static QString statusBarText();

    // How long the master may take to come back after a firmware update
    // before it counts as lost: by master type and hardware byte.
    static int reconnectTimeoutAfterUpdate(int type, int hardwareByte);

    // The interface language: the stored choice, Russian without one.
    static QString languageInUse();

    // Packet types the link leaves out of its "TX:"/"RX:" lines: those of
    // the unticked rows of the packet filter list, in list order.
    QVector<uint8_t> packetLogExclusions() const;

    DeviceTableModel *deviceTableModel() const { return deviceModel; }
    SortedDeviceModel *sortedDeviceModel() const { return sortedModel; }
    QtTreePropertyBrowser *propertyTreeBrowser() const { return propertyBrowser; }
    DeviceItem *propertyWindowItem() const { return currentItem; }
    // The waiting window of long operations; a new one when the user's close
    // deleted the last.
    ProgressWidget *waitWindow();
    TaskbarIndicator *taskbar() const { return taskbarButton; }
    int displayLogLevel() const { return logLevel; }

    // The view in use (list view in Tile mode, else the tree view) and the
    // radio devices selected in it, in ascending order.
    QAbstractItemView *currentItemView() const;
    QList<DeviceItem *> selectedDevices() const;
    // The same devices in the order of the selection.
    QList<DeviceItem *> selectedRadioDevices() const;

public slots:
    // Log view and packet filter.
    void newLogMessage(int level, const QString &message);
    void onPacketFilterChanged();
    void packetFilterSelectAll();
    void filterPacketFilterSelection(const QString &filterString);

    // Language.
    void setCheckedLanguage(const QString &lang);
    void changeLanguage(const QString &langName);

    // Device views.
    void sortList();
    void viewModeChanged(int mode);
    void applyViewMode(int mode);
    void setFilter();
    bool sameType(const QModelIndexList &indexes) const;
    void itemViewContextMenuRequested(const QPoint &pos);
    void itemViewCurrentItemChanged(const QModelIndex &currentIdx, const QModelIndex &previousIdx);

    // Property window.
    void refresh(DeviceItem *item);
    void updatePropertyWindow(DeviceItem *item);
    void unlockMainwindow(bool state);

    // Connection road.
    void deviceOpen();
    void deviceClose();
    bool establishConnection(ConnectionType connectionType, const QString &connectionAddress);
    void onDeviceConnected(DeviceItem *device);
    void deviceConnected(DeviceItem *device);
    void deviceStateChanged(int newState);
    void masterConnected();
    void masterDisconnected();
    void masterRestarted();
    void onConnectionLost();
    void restartMaster();
    void onUpdateInProgress(int address);
    void updateMK1Header();
    void waitForUpdatedMaster(int type);

    // Commands of the menus, the toolbar and the context menu.
    void saveConfiguration();
    void loadConfiguration(const QString &fileName = QString());
    void openConfigurationView();
    void setPreferredRs();
    void generateReport();
    void makeReport();
    void checkReport();
    void hubroToggleConfig();
    void deleteAllDevices();
    // Deactivates every online water-meter reader, when the user agrees.
    void deactivateZelvo();
    void changePassword();
    void onChangePasswordFailed();
    void firmwareUpdateDevice();
    void autoNumber();
    void autoNumberStep();
    void deleteDevice();
    void deviceSetIndication();
    void deviceSetOutput();
    void deviceEepromRead();
    void deviceEepromWrite();
    void statisticsReset();
    void statisticsGet();
    // Asks first: the cleared events cannot be read again.
    void clearErrorLogs();
    void lqiTest();
    // Nearby-master detection, for the toggle and the system report. The start
    // needs the master's feature 6: without it a hint is shown and nothing starts.
    void startNearbyHubroDetection();
    void stopNearbyHubroDetection();
    void onReadProductCode();
    void customDeviceMenuTriggered();
    void nearbyDetectionModeEnabled();
    void nearbyDetectionModeDisabled();
    void checkConfiguration();
    bool isConfigCorrupted();
    bool isConfigEnabled() const;

    void setupTaskbar();

signals:
    void openUart();
    void establishFailed();
    // The packet types the link is to leave out of its log, whenever the
    // packet filter changes; the connection hands them to its link.
    void packetLogFilterChanged(const QVector<uint8_t> &exclusions);

protected:
    void closeEvent(QCloseEvent *event) override;
    // The first show restores the saved window state once more: restored
    // before the window has its size, the docks come back squeezed.
    void showEvent(QShowEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    // The hidden key words: the keys never reach the base handler.
    void keyPressEvent(QKeyEvent *event) override;
    // Reads the hidden key words from the keys typed anywhere in the window.
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    // Reactions to the connection and to its master item.
    // Hands the viewer of measurements the current expander and devices.
    void updateMeasurementsView();
    // The device list changed: handed on to the lists that show it once the
    // current burst of arrivals is over (`dock`: the firmware dock's list and
    // the device count as well).
    void deviceListChanged(bool dock);
    void handOnDeviceList();
    void onDeviceRemoved(DeviceItem *device);
    void onMasterCoreUpdateProgress(FirmwareUploadTypes::uploadStatus_t state, int percent);
    void onStartUpload();
    void onCollectorConnectionName(const QString &name);
    void onCollectorDatabaseError(const QString &path, const QString &reason);
    void onCollectorDatabaseDamaged(const QString &path, const QString &reason, const QString &asidePath);
    // Offers to set the damaged session file aside (collectorDamage).
    void askToSetAsideSessionFile();
    void onFirmwareHeadersUpdated();
    void onMasterUpdated();
    void onChannelScanStarted();
    void onChannelScanFinished();
    void onConfigStateChanged(int state);
    void onFlashErasingStarted(bool ok);
    void onDeviceAddressChanged();
    void onLockMainwindow();
    void onUnlockMainwindow();
    // Waits reconnectTimeout + 2000 ms for the rebooted master to come back.
    void onMasterRestarted(int reconnectTimeout);
    // Ends the wait for a rebooted master: it is back, or the connection
    // gave it up (said at once, and Open device enabled).
    void onMasterBackOrGone(bool back);
    // The user gave the wait for a rebooted master up: the device is closed,
    // its reconnection stopped, and another device can be opened.
    void cancelReconnectWait();
    void reportMasterNotBack();
    // Follow-ups of a master's connection.
    void postConnectionCheck();
    void techRunCheck();
    // Closes the link after an expander update and opens it again.
    void reconnectAfterExpanderUpdate();

private:
    void onTypedKey(int key);
    void setupDocks();
    void setupPacketFilter();
    void setupActions();
    void openStartupTarget(const QString &path);
    // The device selection of the start step (deviceOpen unless replaced).
    void runDeviceSelection();
    // deviceClose with its answer: false when the device stays open. True,
    // doing nothing, without a connection.
    bool closeCurrentDevice();
    // Lets the window forget the current connection, then deletes it.
    void dropConnection();
    void installDeviceDelegates();
    void setDockWidgetsEnabled(bool enabled);
    // What the end of a master and its reboot share: the firmware dock idle
    // (a running radio-device update stopped when asked), tests stopped, the
    // docks and device actions disabled, the views and the property window
    // empty, the collector's thread ended.
    void leaveMaster(bool stopRunningUpdate);
    bool confirmInterruptUpdate();
    void showDeviceCount(int count);
    void drawTaskbarBadge(int count);
    void markEditableRows(DeviceItem *item);
    // True while radio devices are reached through a link (not a file or a
    // simulation): only then can their settings be written.
    bool radioDevicesLinked() const;
    bool isSimulation() const;
    // Say why at once, instead of sending into nothing: true when refused.
    bool refuseWithoutRadioLink(const QString &title);
    bool refuseDeletingInSimulation(const QString &title);
    void removeWritePanel();
    // The title column as wide as the titles of a new item; on a first start
    // also the dock as wide as titles and values need.
    void fitTitleColumn(bool newItem);
    // The titles whole where the values keep a third of the width, else cut
    // to leave them that third.
    void fitPropertyColumns();
    void widenPropertyDock();
    // The device columns as wide as their titles and the rows shown need;
    // while a device filter is set they only widen.
    void fitDeviceColumns();
    // Empties the property window: no item, no tree, no write panel.
    void clearPropertyWindow();
    // Shows the view's current device when it is selected, else nothing.
    void followCurrentIndex();
    void showCurrentItemValues(DeviceItem *item);
    void disconnectPropertyUpdates(DeviceItem *item);
    void addDeviceMenuAction(QMenu *menu, QAction *action, bool enabled);
    void dumpJsonObject(const QJsonObject &object);
    void onDeviceModelError(int code);
    void onDeviceModelErrorText(const QString &text);
    // The master of the device model: the item of a master type, and the
    // same as the master item that carries the master's commands.
    DeviceItem *masterDevice() const;
    HubroItem *masterItem() const;
    // The start of nearby-master detection; false when nothing was asked of
    // the master (none, or no feature 6: the hint is shown).
    bool requestNearbyDetection();
    // A saved file's name without a suffix gets `suffix`; false when that
    // name exists and the user keeps it.
    bool withSuffixConfirmed(QString &fileName, const QString &suffix, const QString &title);
    // The device model's radio devices (the master left out), by device number.
    QList<DeviceItem *> radioDevicesInAddressOrder() const;

    Ui::MainWindow *ui;
    ZorvoLog::EventFilter *logEventFilter = nullptr;
    QActionGroup *deviceActions = nullptr;
    QActionGroup *connectionActions = nullptr;
    std::unique_ptr<DiscoveredDevice> selectedDevice;
    MasterType masterType = MasterOrdinary;
    TaskbarIndicator *taskbarButton = nullptr;
    QtEnumEditorFactory *enumEditorFactory = nullptr;
    QtSpinBoxFactory *spinBoxFactory = nullptr;
    QtDoubleSpinBoxFactory *doubleSpinBoxFactory = nullptr;
    QtCheckBoxFactory *checkBoxFactory = nullptr;
    int logLevel = 3;
    // Made by the connection road; none until then.
    Connection *connection = nullptr;
    DeviceTableModel *deviceModel = nullptr;
    NearbyHubroModel *nearbyModel = nullptr;
    // Shows nearbyModel in the tree view while nearby masters are detected.
    NearbyExpanderView *nearbyView = nullptr;
    SortedDeviceModel *sortedModel = nullptr;
    DeviceInfoCollector *collector = nullptr;
    QThread collectorThread;
    // SQLite's reason for the collector's last failure, shown with the open error.
    QString collectorError;
    bool collectorOpen = false;
    // The damaged session file not yet asked about: its path, SQLite's
    // reason and the name it would be set aside as.
    struct
    {
        QString path;
        QString reason;
        QString asidePath;
    } collectorDamage;
    bool masterIsConnected = false;
    QTimer refreshTimer;
    // Runs while a rebooted master is awaited on reconnectWaitConnection.
    QTimer reconnectWaitTimer;
    QPointer<Connection> reconnectWaitConnection;
    // The handlers of the wait for a rebooted master (after a firmware update
    // or a restart); they go when the wait ends.
    QList<QMetaObject::Connection> updateWaitHandlers;
    void endUpdateWait();
    // Shows the closable waiting window of that wait: its stop gives the wait
    // up. `warningTitle` heads the warning when the master does not come back.
    void showReconnectWait(const QString &title, const QString &text, const QString &warningTitle);
    // Times the wait for the master of the current connection.
    void awaitRebootedMaster(int reconnectTimeout);
    // The title of the no-response warning: the operation the wait belongs to.
    QString reconnectWaitTitle;
    DeviceItem *currentItem = nullptr;
    AboutDialog *aboutDialog = nullptr;
    AutoNumberDialog *autoNumberDialog = nullptr;
    QtTreePropertyBrowser *propertyBrowser = nullptr;
    UpdateStatusDock *updateDock = nullptr;
    RSSITestDock *rssiTestDock = nullptr;
    StatisticsDock *statisticsDock = nullptr;
    FileLocker *fileLocker = nullptr;
    QString startupFile;
    DeviceOutputControl *outputControl = nullptr;
    // Deletes itself when a close is accepted; the guarded pointer drops it
    // then, and waitWindow() makes the next.
    QPointer<ProgressWidget> progressWidget;
    PaintPacer *paintPacer = nullptr;
    QList<DeviceItem *> autoNumberQueue;
    // Addresses handed out by automatic numbering that the devices do not report yet:
    // they count as occupied until then, so a later step never hands them out again.
    QList<QPair<QPointer<DeviceItem>, AutoNumbering::Occupant>> autoNumberPending;
    QPointer<WaitMovie> autoNumberWait;
    QTimer autoNumberTimer;
    // Fits the device columns once the model's changes of a turn are in.
    QTimer deviceColumnsTimer;
    // Devices arriving in one burst hand the device list on once, when the
    // burst is over (a zero-time single shot).
    QTimer deviceListTimer;
    // The firmware dock and the device count wait for that hand-over too.
    bool deviceListDockDue = false;
    QPointer<SQLiteView> measurementsView;
    // The configuration file last chosen with the view action.
    QString pendingViewFile;
    QStringList draggedFiles;
    QPointer<WaitWidget> expanderUpdateWait;
    // Parentless; deletes itself when closed.
    QPointer<ProductCode> productCodeWindow;
    // False on a first start until the dock has been given its width; a
    // restored window state keeps the width it was closed with.
    bool dockWidthChosen = false;
    bool shownBefore = false;
    // The key press last read for the key words (not dereferenced).
    const QEvent *countedKeyPress = nullptr;
    // Set while the start step's device selection runs.
    bool startupChoice = false;
};

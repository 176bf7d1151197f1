#pragma once

#include "bootsectionheader.h"
#include "connectiontypes.h"
#include "firmwaremap.h"
#include "firmwaretypes.h"
#include "firmwareuploadmanager.h"
#include "vorl.h"

#include <QDockWidget>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QTimer>

class CheckUpdates;
class CompositeUpdate;
class DeviceItem;
class HubroItem;
class ProgressWidget;
class UpdateManager;
class UpdateStatusWidget;
class QCheckBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QVBoxLayout;

// The main window's firmware dock: uploads images into the master (upper
// half) and updates radio devices group by group (lower half, one status
// widget per group) through the two process-wide managers. A batch from the
// batch update window runs its radio-device images first, each uploaded into
// the master and then applied to its groups, and the master's own images last.
class UpdateStatusDock : public QDockWidget
{
    Q_OBJECT
public:
    // The dock's chained waits, in milliseconds; tests shorten them.
    struct Delays
    {
        int step = 10;         // between the steps of a batch start
        int nextImage = 1000;  // before the next master image
        int recheck = 5000;    // re-read of the stored headers after a stopped upload
        int attach = 7000;     // before joining a running update
        int confirm = 15000;   // for the master's header of an image uploaded for devices
    };

    explicit UpdateStatusDock(QWidget *parent = nullptr);
    ~UpdateStatusDock() override;

    void setDelays(const Delays &delays) { m_delays = delays; }
    void setMaster(HubroItem *master);
    HubroItem *master() const;
    // The link kind of the connection: sets the upload manager's line limit before each upload.
    void setConnectionKind(ConnectionType kind) { m_connectionKind = kind; }
    // The radio devices of the current connection, offered for updates.
    void setAvailableDevices(const QList<DeviceItem *> &devices);
    QList<DeviceItem *> availableDevices() const;
    // Enables the upload controls (true) or only the stop control (false).
    void setUploadEnabled(bool enabled);
    bool isUploadEnabled() const;
    // Resets the upload manager and the upload half to idle; an upload that
    // still runs is reported as failed.
    void resetUpload();
    // The upload that runs, if any, was cut (the link lost, the master gone):
    // the dock says so until the next upload starts, and the batch ends.
    void uploadCut(const QString &reason);
    // What runs now, for a refusal: empty when nothing does.
    QString runningWork() const;
    // True when no upload or update runs; otherwise says what runs and why
    // nothing else starts, and returns false.
    bool checkIdle();
    // The last batch's outcome as shown under the groups (empty: none).
    QString updateSummary() const;
    // The connection goes with its devices: the current group is marked
    // stopped, the batch dropped and the update queue forgotten quietly.
    void forget();
    bool isUpdating() const { return updating; }
    bool isUploading() const { return uploading; }
    bool isBatchRunning() const { return currentFirmware >= 0 && currentFirmware < firmwareQueue.size(); }
    QList<UpdateStatusWidget *> statusWidgetList() const;
    UpdateStatusWidget *currentStatusWidget() const;
    CompositeUpdate *compositeUpdateWindow() const;

public slots:
    void onUploadStatus(FirmwareUploadTypes::uploadStatus_t status, unsigned progress);
    void onUploadProgress(unsigned progress);
    void onUploadStarted(const pVORL &firmware);
    void onUploadFinished();
    void onUploadError(FirmwareUploadManager::uploadError_t error);
    void setCurrUpdateStatusWidgetFailed();
    void onDeviceUpdateStarted(DeviceItem *device);
    void setupUpdateStatusWidget(UpdateStatusWidget *w, int radioAddress, bool &match);
    void onUpdateProgress(unsigned percent);
    void onDeviceUpdateFinished(DeviceItem *device);
    void onDeviceUpdateFailed(DeviceItem *device);
    void checkIfUpdateRequired();
    void resetState();
    void stopUpdate();
    void updateNext(const QList<DeviceItem *> &devices);
    void filter60minNILVO();
    void attachToUpdate(int addr);
    void attachToUpdate();
    void openFiles(const QStringList &fileNames);
    void closeCompasiteUpdateWidget();
    CompositeUpdate *openCompositeUpdateWidget();
    void onInternalUpdate(const QList<DeviceItem *> &devices, bool fMode);
    void onDefaultUpdate(const FirmwareMap &map, bool fMode);
    void onOfflineUpdate(const pVORL &firmware);
    void onUpdateFinished(const QList<DeviceItem *> &updatedDevices, const QList<DeviceItem *> &failedDevices);
    void nextDevice(UpdateStatusWidget *widget);
    void uploadMasterFirmware();
    void nextFirmware(const pVORL &firmware);
    // Opens the program-update window over the available devices, or shows
    // the one already open.
    CheckUpdates *showCheckUpdates();
    void loadFirmware();

signals:
    void uploadPreparationStart();
    void uploadPreparationStop();
    void waitUpdateComplate(int type);
    void availableDevicesUpdated(QList<DeviceItem *> devices);

private:
    struct QueueEntry
    {
        pVORL firmware;
        QList<QPointer<DeviceItem>> devices;
        QList<DeviceItem *> liveDevices() const;
    };

    void buildForm();
    // Styles the upload bar in `colour` unless it already has that colour.
    void setUploadBarColour(const QString &colour);
    void uploadIdle();
    void discardStatusWidgets();
    UpdateStatusWidget *makeStatusWidgets(const QList<DeviceItem *> &devices, const HUBRO32BootSectionHeader_t &header,
                                          const pVORL &firmware);
    QList<DeviceItem *> keepDespiteLowBattery(const QList<DeviceItem *> &devices);
    void setMasterHeader(const HUBRO32BootSectionHeader_t &header);
    bool isCoreTypeOfMaster(int type) const;
    bool masterWaitsForReady() const;
    void startMasterBatch();
    // Uploads an image into the master, with the line limit of the link.
    void upload(const pVORL &firmware);
    // Saves the configuration backup, then uploads `firmware`.
    void backupConfiguration(const pVORL &firmware);
    void onBackupFailed(const pVORL &firmware);
    // The batch ends without a word: no further image, group or master upload.
    void dropBatch();
    // Moves to the next entry with devices and an image; false past the last.
    bool advanceBatch();
    // The end of a group with no group of it left: next image, master images or the end.
    void continueBatch();
    void finishBatch();
    void removeDevice(DeviceItem *device);
    // The master read its stored headers: an image uploaded for a batch is
    // confirmed (the batch goes on) or not (it ends).
    void onMasterHeadersRead();
    // The batch's current entry to its devices (its image is in the master).
    void resumeBatch();
    void imageNotConfirmed(const pVORL &image);
    void startInternalUpdate(const QList<DeviceItem *> &devices, bool fMode);
    void showUploadFailure(const QString &text);
    // Shows and logs which devices of the groups were updated, failed or not
    // updated, once per batch; the text stays until the next batch starts.
    void summarize(const QString &headline);
    void setSummary(const QString &text);
    void onCollapseAllChanged(int state);
    void onGroupVisibilityChanged(bool state);
    QString statusText(FirmwareUploadTypes::uploadStatus_t status) const;
    void askRestart(const QString &heading, const QString &question, const QString &text);

    // form
    QPushButton *pbCheckUpdates = nullptr;
    QGroupBox *gbUpload = nullptr;
    QLabel *lblUploadStatus = nullptr;
    QPushButton *pbUploadFirmware = nullptr;
    QProgressBar *pBarUpload = nullptr;
    QString uploadBarColour; // the colour of pBarUpload's style sheet
    QPushButton *pbStopUpload = nullptr;
    QLabel *lblUploadedFirmwareLabel = nullptr;
    QLabel *lblUploadedFirmware = nullptr;
    QGroupBox *gbUpdate = nullptr;
    QCheckBox *cbCollapseAll = nullptr;
    QPushButton *pbStopUpdate = nullptr;
    QLabel *lblUpdateSummary = nullptr;
    QScrollArea *scrollArea = nullptr;
    QWidget *scrollAreaContents = nullptr;
    QVBoxLayout *scrollLayout = nullptr;

    FirmwareUploadManager *uploadManager = nullptr;
    UpdateManager *updateManager = nullptr;
    HUBRO32BootSectionHeader_t masterFirmwareInfo;
    QPointer<HubroItem> m_master;
    QList<QPointer<DeviceItem>> m_availableDevices;
    QPointer<CheckUpdates> checkUpdatesWindow;
    QPointer<DeviceItem> updatingDevice;
    QPointer<CompositeUpdate> compositeUpdate;
    QList<QPointer<UpdateStatusWidget>> statusWidgets;
    QPointer<UpdateStatusWidget> currUpdateStatusWidget;
    HUBRO32BootSectionHeader_t currentFirmwareInfo;
    QList<QPointer<DeviceItem>> devicesToUpdate;
    QList<QPointer<DeviceItem>> deferredDevices;
    QTimer filterTimer;
    QList<QueueEntry> firmwareQueue;
    int currentFirmware = 0; // past the last entry when no batch runs
    QList<pVORL> masterFirmwares;
    bool severalFirmwares = false;
    bool updating = false;
    bool uploading = false;
    bool fastMode = true;
    bool stopRequested = false;
    int attachAddress = -1;
    bool collapseGuard = false;
    pVORL offlineFirmware;
    bool lowBatteryYesToAll = false;
    bool lowBatteryNoToAll = false;

    Delays m_delays;
    ConnectionType m_connectionKind = Serial;
    QTimer attachTimer;
    QPointer<ProgressWidget> backupWait;
    pVORL uploadingImage;   // the image of the running upload
    pVORL nextUpload;       // an image about to go up (the backup is made first)
    pVORL awaitingImage;    // uploaded for a batch, not yet confirmed by the master
    QTimer confirmTimer;
    QString uploadFailure;  // kept in the status line until the next upload starts
    bool summaryPending = false;
};

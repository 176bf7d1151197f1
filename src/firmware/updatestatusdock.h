#pragma once

#include "firmwaretypes.h"

#include <QDockWidget>
#include <QList>
#include <QPointer>
#include <QStringList>

class CheckUpdates;
class DeviceItem;
class HubroItem;
class QPushButton;

// The main window's firmware dock: uploads images into the master and
// updates radio devices through the two process-wide managers. Until a
// master offers firmware it stays idle.
class UpdateStatusDock : public QDockWidget
{
    Q_OBJECT
public:
    explicit UpdateStatusDock(QWidget *parent = nullptr);
    ~UpdateStatusDock() override;

    void setMaster(HubroItem *master) { m_master = master; }
    HubroItem *master() const { return m_master; }
    // The radio devices of the current connection, offered for updates.
    void setAvailableDevices(const QList<DeviceItem *> &devices);
    QList<DeviceItem *> availableDevices() const { return m_availableDevices; }
    // Enables the upload controls (true) or only the stop control (false).
    void setUploadEnabled(bool enabled);
    bool isUploadEnabled() const { return m_uploadEnabled; }
    // Resets the upload manager and the upload half to idle.
    void resetUpload();
    // True while a radio-device update runs.
    bool isUpdating() const { return m_updating; }
    bool isUploading() const { return m_uploading; }

public slots:
    void onUploadStatus(FirmwareUploadTypes::uploadStatus_t status, unsigned progress);
    void checkIfUpdateRequired();
    void resetState();
    void stopUpdate();
    void openFiles(const QStringList &fileNames);
    void closeCompasiteUpdateWidget();
    // Opens the program-update window over the available devices, or shows
    // the one already open.
    CheckUpdates *showCheckUpdates();

signals:
    void uploadPreparationStart();
    void uploadPreparationStop();
    void waitUpdateComplate(int type);
    void availableDevicesUpdated(QList<DeviceItem *> devices);

private:
    // No window shows this button yet; it stays hidden.
    QPushButton *pbCheckUpdates = nullptr;
    // Parentless; deletes itself when closed.
    QPointer<CheckUpdates> checkUpdatesWindow;
    HubroItem *m_master = nullptr;
    QList<DeviceItem *> m_availableDevices;
    bool m_uploadEnabled = false;
    bool m_updating = false;
    bool m_uploading = false;
};

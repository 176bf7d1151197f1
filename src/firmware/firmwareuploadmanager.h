#pragma once

#include "firmwaretypes.h"
#include "packet.h"

#include <QMetaType>
#include <QObject>

// Uploads firmware images into the master. One manager for the whole
// process, made on first use; it talks to the master only through
// sendPacket, which the main window connects to the current link.
class FirmwareUploadManager : public QObject, public FirmwareUploadTypes
{
    Q_OBJECT
public:
    enum uploadError_t : int {
        EraseError = 0,
        CheckEraseError = 1,
        WriteError = 2,
        DataError = 3,
        TaskCreateError = 4,
        VerifyError = 5,
    };
    Q_ENUM(uploadError_t)

    static FirmwareUploadManager *instance();

    // True while an image is being uploaded into the master.
    bool isUploading() const { return m_uploading; }
    // The master's automatic update switch as last reported.
    bool isAutoUpdateOn() const { return m_autoUpdateOn; }

public slots:
    // Forgets the loaded image and the upload state.
    void reset();
    // The master reported that it is ready to take the image.
    void startUpload();
    // Sends the next block of the image being uploaded.
    void sendNextBlock();
    void uploadPing();

signals:
    void sendPacket(QByteArray data, ResponseCb cb);
    void uploadError(FirmwareUploadManager::uploadError_t error);
    void uploadProgress(unsigned progress);
    void uploadStatus(FirmwareUploadTypes::uploadStatus_t status, unsigned progress);
    void autoUpdateSwitchOn();

private:
    explicit FirmwareUploadManager(QObject *parent = nullptr);

    bool m_uploading = false;
    bool m_autoUpdateOn = false;
};

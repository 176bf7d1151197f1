#include "firmwareuploadmanager.h"

FirmwareUploadManager *FirmwareUploadManager::instance()
{
    static FirmwareUploadManager *manager = new FirmwareUploadManager;
    return manager;
}

FirmwareUploadManager::FirmwareUploadManager(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<FirmwareUploadTypes::uploadStatus_t>("FirmwareUploadManager::uploadStatus_t");
    qRegisterMetaType<uploadError_t>("FirmwareUploadManager::uploadError_t");
}

void FirmwareUploadManager::reset()
{
    m_uploading = false;
}

void FirmwareUploadManager::startUpload()
{
    // No image is held: nothing to send.
}

void FirmwareUploadManager::sendNextBlock()
{
    // No image is held: nothing to send.
}

void FirmwareUploadManager::uploadPing()
{
    // Pings only while an upload waits on the master; none is under way.
}

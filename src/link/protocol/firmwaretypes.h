#pragma once

#include <QMetaType>

// Stage values of a firmware upload, shared by the upload manager and the connection
// (which reports the master's own core update with them). Depends on Qt Core only.
//
// FirmwareUploadManager derives from FirmwareUploadTypes, so that both
// FirmwareUploadManager::uploadStatus_t and FirmwareUploadManager::Erasing name these.
// The values are stored and compared as numbers: do not renumber.

struct FirmwareUploadTypes
{
    enum uploadStatus_t : int {
        Erasing = 0,       // the master erases its flash
        CheckingErase = 1, // the master checks the erased flash
        Writing = 2,       // data lines are being sent
        Verifying = 3,     // the master verifies the written image
        Finished = 4,      // the master accepted the image
        Stopped = 5,       // the upload was abandoned
    };
};

// One metatype for every translation unit (declaring it in one header only gave the
// same enum two metatype ids, and queued signals between them failed).
Q_DECLARE_METATYPE(FirmwareUploadTypes::uploadStatus_t)

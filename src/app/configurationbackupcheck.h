#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstdint>

// The check, after a master firmware update, of the master's live
// configuration against the backup written before the update. Findings go to
// the log; a difference means the backup is to be loaded back.
namespace ConfigurationBackupCheck {

// True when the stored "serial" is the connected master's serial number:
// only then is the backup the connected master's own.
bool isBackupOf(const QVariant &storedSerial, quint32 masterSerial);

enum class Verdict {
    Unreadable,    // the backup cannot be opened or is not JSON
    Agrees,
    CountMismatch, // the device counts differ: logged, nothing loaded
    Differs,       // the backup is to be loaded
};

// Compares the live master object and device objects with the backup file.
// The keys "password enabled", "mk1", "mk2" and "hw" of the master objects
// never count; devices are matched by "id" and compared on `commonProps`.
Verdict check(const QString &backupPath, const QJsonObject &liveMaster, const QJsonArray &liveDevices,
              const QStringList &commonProps);

// True when the live device object agrees with every backup element of the
// same "id" on the keys (a device missing from the backup agrees).
bool isDeviceOk(const QJsonObject &device, const QJsonArray &backupDevices, const QStringList &commonProps);

// Logs an object key by key at debug level.
void dumpJsonObject(const QJsonObject &object);

} // namespace ConfigurationBackupCheck

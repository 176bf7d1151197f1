#include "configurationbackupcheck.h"

#include <QDebug>
#include <QFile>
#include <QJsonDocument>
#include <QJsonParseError>

namespace ConfigurationBackupCheck {
namespace {
// No backup comes near this size; a larger file is not read.
constexpr qint64 MaxFileSize = 16 * 1024 * 1024;

QJsonObject comparableMaster(QJsonObject master)
{
    for (const char *key : {"password enabled", "mk1", "mk2", "hw"})
        master.remove(QLatin1String(key));
    return master;
}
} // namespace

bool isBackupOf(const QVariant &storedSerial, quint32 masterSerial)
{
    bool ok = false;
    const qlonglong stored = storedSerial.toLongLong(&ok);
    // A serial written as a signed 32-bit number is the same master.
    return ok && (stored == qlonglong(masterSerial) || stored == qlonglong(qint32(masterSerial)));
}

void dumpJsonObject(const QJsonObject &object)
{
    qDebug() << "QJsonObject {";
    for (auto it = object.begin(); it != object.end(); ++it)
        qDebug().noquote() << QStringLiteral("  ") + it.key() + QLatin1Char(':') << it.value();
    qDebug() << "} size =" << object.size();
}

bool isDeviceOk(const QJsonObject &device, const QJsonArray &backupDevices, const QStringList &commonProps)
{
    const int id = device.value(QStringLiteral("id")).toInt();
    bool ok = true;
    for (const QJsonValue &element : backupDevices) {
        const QJsonObject backup = element.toObject();
        if (backup.value(QStringLiteral("id")).toInt() != id)
            continue;
        for (const QString &key : commonProps) {
            if (device.value(key) != backup.value(key)) {
                ok = false;
                qWarning() << "device" << id << "key:" << key << "in HUBRO =" << device.value(key)
                           << "in backup =" << backup.value(key);
                break;
            }
        }
    }
    return ok;
}

Verdict check(const QString &backupPath, const QJsonObject &liveMaster, const QJsonArray &liveDevices,
              const QStringList &commonProps)
{
    QFile file(backupPath);
    if (backupPath.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        qWarning() << "Failed to open configuration backup file";
        return Verdict::Unreadable;
    }
    const QByteArray bytes = file.read(MaxFileSize + 1);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (bytes.size() > MaxFileSize || error.error != QJsonParseError::NoError) {
        qWarning().noquote() << QStringLiteral("Configuration backup file read error ")
                                    + (bytes.size() > MaxFileSize ? QStringLiteral("the file is too large")
                                                                  : error.errorString());
        return Verdict::Unreadable;
    }
    const QJsonObject backup = document.object();

    const QJsonObject current = comparableMaster(liveMaster);
    const QJsonObject stored = comparableMaster(backup.value(QStringLiteral("master")).toObject());
    if (current != stored) {
        qWarning() << "The master configuration is corrupted";
        qWarning() << ":";
        qWarning() << "CURRENT";
        dumpJsonObject(current);
        qWarning() << "BACKUP";
        dumpJsonObject(stored);
        qDebug() << ".";
        return Verdict::Differs;
    }
    qDebug() << "Configuration of master is ok";

    const QJsonArray backupDevices = backup.value(QStringLiteral("devices")).toArray();
    if (backupDevices.isEmpty()) {
        if (!liveDevices.isEmpty()) {
            qWarning() << "Fake devices found in HUBRO";
            return Verdict::Differs;
        }
        qDebug() << "No devices in HUBRO and backup configuration";
        return Verdict::Agrees;
    }
    if (liveDevices.size() != backupDevices.size()) {
        qWarning().noquote()
            << QStringLiteral("The number of sensors on the HUBRO is wrong. In device = %1, in backup = %2")
                   .arg(liveDevices.size())
                   .arg(backupDevices.size());
        return Verdict::CountMismatch;
    }
    qDebug() << "The number of sensors on the HUBRO is ok";
    for (const QJsonValue &device : liveDevices) {
        if (!isDeviceOk(device.toObject(), backupDevices, commonProps)) {
            qWarning() << "Configuration of devices is failed";
            return Verdict::Differs;
        }
    }
    qDebug() << "Configuration of devices is ok";
    return Verdict::Agrees;
}

} // namespace ConfigurationBackupCheck

#pragma once

#include "reportdigest.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

class DeviceItem;

// What a system report is made of. The window gathers it when the report is
// written; the master and the devices must be alive for the call.
struct SystemReportSources
{
    QString programName;    // the application's display name
    QString programVersion;
    QString programPath;    // the running program file
    QDateTime time;
    const DeviceItem *master = nullptr;
    QList<DeviceItem *> devices; // the connection's radio devices, by device key
    QString nearbyText;          // the nearby-master rows
    QString linkQualityText;     // the last link-quality test
};

// The report text without its trailer. Without a master its information
// text is left out.
QString systemReportBody(const SystemReportSources &sources);

// The file's bytes: the UTF-8 body followed by its digest trailer.
QByteArray systemReportFile(const SystemReportSources &sources);

// No report comes near this size (a full master's report is some tens of
// kilobytes); a larger file is refused without being read.
constexpr qint64 MaxSystemReportFileSize = 4 * 1024 * 1024;

struct SystemReportCheck
{
    ReportDigest::Verdict verdict = ReportDigest::Verdict::Unreadable;
    QString problem; // why an unreadable file was refused, for the user
};

// Reads a report file and checks its trailer. Only a regular file of at most
// MaxSystemReportFileSize bytes is read: opening never blocks, and a pipe,
// folder or device is refused before anything is read from it.
SystemReportCheck checkSystemReportFile(const QString &path);

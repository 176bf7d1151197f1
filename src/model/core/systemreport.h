#pragma once

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

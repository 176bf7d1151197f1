#include "systemreport.h"

#include "deviceitem.h"
#include "filelocker.h"

#include <QCoreApplication>

QString systemReportBody(const SystemReportSources &sources)
{
    QString text = sources.programName + QLatin1Char('\t') + sources.programVersion + QLatin1Char('\n')
                   + sources.programPath + QLatin1Char('\n')
                   + sources.time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    if (sources.master)
        text += sources.master->infoText();
    text += QCoreApplication::translate("MainWindow", "\n\n----------- Devices -----------\n");
    for (const DeviceItem *device : sources.devices)
        text += device->infoText() + QStringLiteral("\n\n----------------------\n");
    text += QCoreApplication::translate("MainWindow", "\n\n----------- Radio Controller Finder ------------\n");
    text += sources.nearbyText;
    text += QStringLiteral("\n\n\n");
    text += QCoreApplication::translate("MainWindow", "\n\n----------- Link quality test -------------\n");
    text += sources.linkQualityText;
    return text;
}

QByteArray systemReportFile(const SystemReportSources &sources)
{
    return ReportDigest::sign(systemReportBody(sources).toUtf8());
}

SystemReportCheck checkSystemReportFile(const QString &path)
{
    SystemReportCheck check;
    const QByteArray report = FileLocker::readRegularFile(path, &check.problem, MaxSystemReportFileSize);
    if (check.problem.isEmpty())
        check.verdict =
            ReportDigest::isOriginal(report) ? ReportDigest::Verdict::Original : ReportDigest::Verdict::Altered;
    return check;
}

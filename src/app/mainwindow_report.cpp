// The system report: made after a wait in which nearby masters are watched,
// and checked against its digest trailer.
#include "mainwindow.h"

#include "connection.h"
#include "hubroitem.h"
#include "messageboxes.h"
#include "nearbyhubromodel.h"
#include "reportnearbydetection.h"
#include "rssitestdock.h"
#include "screenfit.h"
#include "settings.h"
#include "systemreport.h"
#include "uiseams.h"
#include "waitgenerating.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <QSaveFile>

namespace {
int s_reportWaitMs = 300000;
}

void MainWindow::setReportWaitTime(int ms)
{
    s_reportWaitMs = ms;
}

void MainWindow::generateReport()
{
    if (!connection || !connection->master())
        return;
    auto *wait = new WaitGenerating(s_reportWaitMs);
    connect(wait, &WaitGenerating::breakWaiting, this, &MainWindow::makeReport);
    connect(wait, &WaitGenerating::waitingFinished, this, &MainWindow::makeReport);
    connect(connection, &Connection::masterDisconnected, wait, &QObject::deleteLater);
    ReportNearbyDetection::begin(
        connection, wait, [this] { return requestNearbyDetection(); }, [this] { stopNearbyHubroDetection(); });
    fitOnScreen(wait, this);
    wait->show();
}

void MainWindow::makeReport()
{
    const QString title = tr("Save system report file");
    // A master restart during the wait leaves the connection without a master.
    const auto noMaster = [this, &title] {
        if (connection && connection->master())
            return false;
        showWarningMessage(tr("The master is not connected. The report was not written."), title);
        return true;
    };
    if (noMaster())
        return;
    QString fileName = UiSeams::getSaveFileName(
        this, title, readSetting(QLatin1String(SettingsKey::ReportFileDir)).toString(), tr("Report (*.rpt)"));
    if (fileName.isEmpty() || noMaster())
        return;
    // The check's dialog lists "*.rpt" only.
    if (!withSuffixConfirmed(fileName, QStringLiteral("rpt"), title) || noMaster())
        return;

    // Written whole or not at all: an old report of that name stays as it was.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        showWarningMessage(tr("Failed to write the report file %1:\n%2").arg(fileName, file.errorString()), title);
        return;
    }
    appSettings.setValue(QLatin1String(SettingsKey::ReportFileDir), fileName);

    SystemReportSources sources;
    sources.programName = QGuiApplication::applicationDisplayName();
    sources.programVersion = QCoreApplication::applicationVersion();
    sources.programPath = QCoreApplication::applicationFilePath();
    sources.time = QDateTime::currentDateTime();
    sources.master = connection->master();
    sources.devices = connection->devices();
    sources.nearbyText = nearbyModel->reportText();
    sources.linkQualityText = rssiTestDock->reportInfo();
    const QByteArray bytes = systemReportFile(sources);
    // commit() does not see a failed flush of the buffer: flush first.
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit())
        showWarningMessage(tr("Failed to write the report file %1:\n%2").arg(fileName, file.errorString()), title);
}

void MainWindow::checkReport()
{
    const QString fileName = UiSeams::getOpenFileName(
        this, tr("System report file"), readSetting(QLatin1String(SettingsKey::ReportFileDir)).toString(),
        tr("Report (*.rpt)"));
    if (fileName.isEmpty())
        return;
    const QString title = tr("Report check");
    // A pipe or an oversized file named like a report is refused without
    // holding the window.
    const SystemReportCheck check = checkSystemReportFile(fileName);
    switch (check.verdict) {
    case ReportDigest::Verdict::Unreadable:
        showWarningDetails(tr("Failed to open the file"), check.problem, title);
        break;
    case ReportDigest::Verdict::Original:
        // The digest has no key: it shows accidental changes, not deliberate ones.
        showInformationDetails(tr("Report file is original"),
                               tr("The text matches its checksum, so it was not changed by accident. The checksum has "
                                  "no key: whoever edits a report can write a new checksum too."),
                               title);
        break;
    case ReportDigest::Verdict::Altered:
        showWarningMessage(tr("Report file was altered"), title);
        break;
    }
}

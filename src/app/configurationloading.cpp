#include "configurationloading.h"

#include "configurationimporter.h"
#include "connection.h"
#include "deviceitem.h"
#include "filelocker.h"
#include "hubroitem.h"
#include "messageboxes.h"
#include "progresswidget.h"
#include "settings.h"
#include "uiseams.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QJsonDocument>

namespace ConfigurationLoading {
namespace {
// Ends the import on either outcome: the importer goes, the wait window hides.
void finishImport(ConfigurationImporter *importer, const QPointer<ProgressWidget> &wait)
{
    importer->deleteLater();
    if (wait)
        wait->hide();
}
} // namespace

QString fileMasterModel(const QJsonObject &document)
{
    return document.value(QStringLiteral("master")).toObject().value(QStringLiteral("device")).toString();
}

bool fitsMaster(const QString &fileModel, const QString &masterModel)
{
    return fileModel.contains(masterModel) || masterModel.contains(fileModel);
}

bool load(Connection *connection, const QString &fileName, QWidget *dialogParent, QPointer<ProgressWidget> wait)
{
    if (!connection)
        return false;
    HubroItem *master = connection->master();
    if (!master) {
        qWarning().noquote() << QStringLiteral("No master to load the configuration into");
        return false;
    }
    // The master of a configuration file has no link to import through.
    if (connection->connectionType() == File) {
        showWarningMessage(QCoreApplication::translate("MainWindow",
                                                       "A configuration cannot be loaded into a configuration file. "
                                                       "Connect to the device to load a configuration."),
                           QCoreApplication::translate("MainWindow", "Configuration load"));
        return false;
    }

    QString path = fileName;
    if (path.isEmpty()) {
        path = UiSeams::getOpenFileName(dialogParent,
                                        QCoreApplication::translate("MainWindow", "Select configuration file"),
                                        appSettings.value(QLatin1String(SettingsKey::LastLoadConfPath)).toString(),
                                        QCoreApplication::translate("MainWindow", "Config files(*.conf)"));
        if (path.isEmpty())
            return false;
    }

    // Never a blocking read on a pipe: only a regular file is read.
    QString readError;
    const QByteArray bytes = FileLocker::readRegularFile(path, &readError);
    if (!readError.isEmpty()) {
        qWarning().noquote() << QCoreApplication::translate("MainWindow", "Can't open confifuration file %1")
                                    .arg(QDir::toNativeSeparators(path));
        showWarningMessage(readError, QCoreApplication::translate("MainWindow", "Configuration load"));
        return false;
    }
    // A parse error gives an empty object: its empty model fits, and the
    // importer below refuses the file.
    const QJsonObject document = QJsonDocument::fromJson(bytes).object();
    const QString fileModel = fileMasterModel(document);
    const QString masterModel = master->itemTypeName();
    if (!fitsMaster(fileModel, masterModel)) {
        showWarningMessage(
            QCoreApplication::translate("MainWindow", "Configuration file intend for %1, current device is %2")
                .arg(fileModel, masterModel),
            QCoreApplication::translate("MainWindow", "Configuration loading"));
        return false;
    }

    ConfigurationImporter *importer = master->createConfigurationImporter();
    if (!importer->loadFile(path)) {
        const QString problem = importer->problem();
        importer->deleteLater();
        const QString text = QCoreApplication::translate("MainWindow", "Error occured while configuration loading");
        const QString title = QCoreApplication::translate("MainWindow", "Configuration load");
        if (problem.isEmpty())
            showWarningMessage(text, title);
        else
            showWarningDetails(text, problem, title);
        return false;
    }

    if (wait) {
        wait->setTitle(QCoreApplication::translate("MainWindow", "Load configuration"));
        wait->setText(QCoreApplication::translate("MainWindow", "Importing configuration.\nPlease wait..."));
    }
    QPointer<HubroItem> guardedMaster(master);
    QObject::connect(importer, &ConfigurationImporter::writeFinished, importer, [importer, wait, guardedMaster] {
        finishImport(importer, wait);
        qDebug().noquote() << QCoreApplication::translate("MainWindow",
                                                          "Configuration loaded. Device will be restarted");
        if (guardedMaster)
            guardedMaster->reboot(RebootReconnectTimeoutMs);
    });
    QObject::connect(importer, &ConfigurationImporter::writeFailed, importer, [importer, wait](const QString &reason) {
        finishImport(importer, wait);
        showWarningMessage(QCoreApplication::translate("MainWindow", "Error occured while configuration loading")
                               + QLatin1Char('\n') + reason,
                           QCoreApplication::translate("MainWindow", "Configuration load"));
    });
    // The importer goes with the master item when the link or the master goes.
    QObject::connect(importer, &QObject::destroyed, [wait] {
        if (wait)
            wait->hide();
    });

    // The file is good: the devices of the file replace the current ones.
    for (DeviceItem *device : connection->devices())
        connection->removeDeviceItem(device);
    const QPointer<ConfigurationImporter> guardedImporter(importer);
    QCoreApplication::processEvents();
    // The link may have gone meanwhile, and the master and its importer with it.
    if (!guardedImporter)
        return false;

    importer->start();
    if (wait)
        wait->show();
    appSettings.setValue(QLatin1String(SettingsKey::LastLoadConfPath), path);
    return true;
}

} // namespace ConfigurationLoading

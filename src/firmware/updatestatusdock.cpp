#include "updatestatusdock.h"

#include "firmwareuploadmanager.h"

UpdateStatusDock::UpdateStatusDock(QWidget *parent) : QDockWidget(parent)
{
    setObjectName(QStringLiteral("UpdateStatusDock"));
    setWindowTitle(tr("Firmware update"));
    resize(564, 500);
    auto *contents = new QWidget(this);
    contents->setObjectName(QStringLiteral("dockWidgetContents"));
    setWidget(contents);
}

UpdateStatusDock::~UpdateStatusDock() = default;

void UpdateStatusDock::setAvailableDevices(const QList<DeviceItem *> &devices)
{
    m_availableDevices = devices;
    emit availableDevicesUpdated(devices);
}

void UpdateStatusDock::setUploadEnabled(bool enabled)
{
    m_uploadEnabled = enabled;
}

void UpdateStatusDock::resetUpload()
{
    FirmwareUploadManager::instance()->reset();
    m_uploading = false;
}

void UpdateStatusDock::onUploadStatus(FirmwareUploadTypes::uploadStatus_t status, unsigned progress)
{
    Q_UNUSED(status)
    Q_UNUSED(progress)
}

void UpdateStatusDock::checkIfUpdateRequired() {}

void UpdateStatusDock::resetState() {}

void UpdateStatusDock::stopUpdate()
{
    m_updating = false;
}

void UpdateStatusDock::openFiles(const QStringList &fileNames)
{
    Q_UNUSED(fileNames)
}

void UpdateStatusDock::closeCompasiteUpdateWidget() {}

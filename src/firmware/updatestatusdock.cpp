#include "updatestatusdock.h"

#include "checkupdates.h"
#include "firmwareuploadmanager.h"

#include <QPushButton>

UpdateStatusDock::UpdateStatusDock(QWidget *parent) : QDockWidget(parent)
{
    setObjectName(QStringLiteral("UpdateStatusDock"));
    setWindowTitle(tr("Firmware update"));
    resize(564, 500);
    auto *contents = new QWidget(this);
    contents->setObjectName(QStringLiteral("dockWidgetContents"));
    setWidget(contents);
    pbCheckUpdates = new QPushButton(tr("Check for updates"), contents);
    pbCheckUpdates->setObjectName(QStringLiteral("pbCheckUpdates"));
    pbCheckUpdates->hide();
    connect(pbCheckUpdates, &QPushButton::clicked, this, &UpdateStatusDock::showCheckUpdates);
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

CheckUpdates *UpdateStatusDock::showCheckUpdates()
{
    if (!checkUpdatesWindow)
        checkUpdatesWindow = new CheckUpdates(m_availableDevices);
    checkUpdatesWindow->show();
    checkUpdatesWindow->setInfoText(tr("Attention! Before updating, you need to make sure that the new versions of "
                                       "HUBRO and sensor software are compatible!"),
                                    QStringLiteral("color: rgb(0, 0, 0);"));
    return checkUpdatesWindow;
}

#include "updatestatusdock.h"

#include "appglobals.h"
#include "cachedgroupbox.h"
#include "checkupdates.h"
#include "compositeupdate.h"
#include "configurationsave.h"
#include "deviceitem.h"
#include "firmwarematching.h"
#include "hubroitem.h"
#include "messageboxes.h"
#include "progresswidget.h"
#include "screenfit.h"
#include "settings.h"
#include "updatemanager.h"
#include "updatestatuswidget.h"
#include "versiontext.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpacerItem>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <memory>

namespace {

constexpr int MeterType = 13;
constexpr int KernelType = 45;
constexpr int SixtyMinuteRole = DeviceRole::ClassFlag;
constexpr int BatteryGoodRole = DeviceRole::MainPowerGood;

QList<DeviceItem *> alive(const QList<QPointer<DeviceItem>> &list)
{
    QList<DeviceItem *> devices;
    for (const QPointer<DeviceItem> &device : list)
        if (device)
            devices << device;
    return devices;
}

QList<QPointer<DeviceItem>> guardedList(const QList<DeviceItem *> &list)
{
    QList<QPointer<DeviceItem>> devices;
    for (DeviceItem *device : list)
        devices << device;
    return devices;
}

QFont labelFont()
{
    QFont font;
    font.setPointSize(10);
    return font;
}

QString addressText(const DeviceItem *device)
{
    return device->data(Qt::UserRole + 3).toString();
}

} // namespace

QList<DeviceItem *> UpdateStatusDock::QueueEntry::liveDevices() const
{
    return alive(devices);
}

UpdateStatusDock::UpdateStatusDock(QWidget *parent)
    : QDockWidget(parent), uploadManager(FirmwareUploadManager::instance()), updateManager(UpdateManager::instance())
{
    registerFirmwareMetaTypes();
    qRegisterMetaType<FirmwareMap>("FirmwareMap");
    buildForm();
    currentFirmware = 0;
    attachTimer.setSingleShot(true);
    connect(&attachTimer, &QTimer::timeout, this, qOverload<>(&UpdateStatusDock::attachToUpdate));
    confirmTimer.setSingleShot(true);
    connect(&confirmTimer, &QTimer::timeout, this, [this] {
        const pVORL image = awaitingImage;
        awaitingImage.reset();
        if (image)
            imageNotConfirmed(image);
    });

    connect(pbUploadFirmware, &QPushButton::clicked, this, &UpdateStatusDock::openCompositeUpdateWidget);
    connect(cbCollapseAll, &QCheckBox::stateChanged, this, &UpdateStatusDock::onCollapseAllChanged);
    connect(uploadManager, &FirmwareUploadManager::uploadStatus, this,
            [this](FirmwareUploadTypes::uploadStatus_t status, unsigned progress) { onUploadStatus(status, progress); });
    connect(uploadManager, &FirmwareUploadManager::uploadError, this, &UpdateStatusDock::onUploadError);
    connect(uploadManager, &FirmwareUploadManager::uploadProgress, this, &UpdateStatusDock::onUploadProgress);
    connect(uploadManager, &FirmwareUploadManager::uploadStarted, this, &UpdateStatusDock::onUploadStarted);
    connect(uploadManager, &FirmwareUploadManager::uploadFinished, this, &UpdateStatusDock::onUploadFinished);
    connect(uploadManager, &FirmwareUploadManager::autoUpdateSwitchOn, this, &UpdateStatusDock::loadFirmware);
    connect(pbStopUpload, &QPushButton::clicked, this, [this] {
        stopRequested = true;
        summarize(tr("Update stopped."));
        // The stop ends the batch: its master images are not uploaded later.
        dropBatch();
        uploadManager->reset();
        QTimer::singleShot(m_delays.recheck, this, [this] {
            if (!uploading && !updating && m_master)
                m_master->readUploadedFirmwareHeaders();
        });
    });
    connect(updateManager, &UpdateManager::updateFinished, this, &UpdateStatusDock::onUpdateFinished);
    connect(updateManager, &UpdateManager::deviceUpdateStarted, this, &UpdateStatusDock::onDeviceUpdateStarted);
    connect(updateManager, &UpdateManager::deviceUpdateProgress, this, &UpdateStatusDock::onUpdateProgress);
    connect(updateManager, &UpdateManager::deviceUpdateFinished, this, &UpdateStatusDock::onDeviceUpdateFinished);
    connect(updateManager, &UpdateManager::deviceUpdateFailed, this, &UpdateStatusDock::onDeviceUpdateFailed);
    connect(updateManager, &UpdateManager::deviceRemoved, this, &UpdateStatusDock::removeDevice);
    connect(pbStopUpdate, &QPushButton::clicked, this, [this] {
        stopRequested = true;
        stopUpdate();
    });
    connect(&filterTimer, &QTimer::timeout, this, &UpdateStatusDock::filter60minNILVO);
    connect(pbCheckUpdates, &QPushButton::clicked, this, &UpdateStatusDock::showCheckUpdates);
}

UpdateStatusDock::~UpdateStatusDock()
{
    if (compositeUpdate)
        delete compositeUpdate.data();
    // Parentless: it goes with the dock.
    delete backupWait.data();
}

void UpdateStatusDock::buildForm()
{
    setObjectName(QStringLiteral("UpdateStatusDock"));
    setWindowTitle(tr("Firmware update"));
    resize(564, 500);
    setFloating(true);
    auto *contents = new QWidget(this);
    contents->setObjectName(QStringLiteral("dockWidgetContents"));
    auto *layout = new QVBoxLayout(contents);

    pbCheckUpdates = new QPushButton(QIcon(QStringLiteral(":/icons/images/icons/png/updated.png")),
                                     tr("Check updates"), contents);
    pbCheckUpdates->setObjectName(QStringLiteral("pbCheckUpdates"));
    pbCheckUpdates->hide();
    layout->addWidget(pbCheckUpdates);

    gbUpload = new CachedGroupBox(tr("Firmware uploading"), contents);
    gbUpload->setObjectName(QStringLiteral("gbUpload"));
    auto *grid = new QGridLayout(gbUpload);
    lblUploadStatus = new QLabel(gbUpload);
    lblUploadStatus->setObjectName(QStringLiteral("lblUploadStatus"));
    lblUploadStatus->setFont(labelFont());
    lblUploadStatus->setWordWrap(true);
    grid->addWidget(lblUploadStatus, 0, 0, 1, 3);
    pbUploadFirmware = new QPushButton(QIcon(QStringLiteral(":/icons/images/icons/png/download.png")),
                                       tr("Upload firmware"), gbUpload);
    pbUploadFirmware->setObjectName(QStringLiteral("pbUploadFirmware"));
    pbUploadFirmware->setMinimumWidth(140);
    pbUploadFirmware->setEnabled(false);
    grid->addWidget(pbUploadFirmware, 1, 0);
    pBarUpload = new QProgressBar(gbUpload);
    pBarUpload->setObjectName(QStringLiteral("pBarUpload"));
    pBarUpload->setValue(0);
    setUploadBarColour(QStringLiteral("#96C8FF"));
    grid->addWidget(pBarUpload, 1, 1);
    pbStopUpload = new QPushButton(QIcon(QStringLiteral(":/icons/images/icons/png/remove.png")), QString(), gbUpload);
    pbStopUpload->setObjectName(QStringLiteral("pbStopUpload"));
    pbStopUpload->setFlat(true);
    pbStopUpload->setMinimumWidth(30);
    pbStopUpload->setEnabled(false);
    grid->addWidget(pbStopUpload, 1, 2);
    lblUploadedFirmwareLabel = new QLabel(tr("Currently uploaded WD firmware:"), gbUpload);
    lblUploadedFirmwareLabel->setObjectName(QStringLiteral("lblUploadedFirmwareLabel"));
    lblUploadedFirmwareLabel->setFont(labelFont());
    grid->addWidget(lblUploadedFirmwareLabel, 2, 0);
    lblUploadedFirmware = new QLabel(tr("No information"), gbUpload);
    lblUploadedFirmware->setObjectName(QStringLiteral("lblUploadedFirmware"));
    lblUploadedFirmware->setFont(labelFont());
    grid->addWidget(lblUploadedFirmware, 2, 1, 1, 2);
    layout->addWidget(gbUpload);

    gbUpdate = new CachedGroupBox(tr("Device updating"), contents);
    gbUpdate->setObjectName(QStringLiteral("gbUpdate"));
    auto *updateLayout = new QVBoxLayout(gbUpdate);
    auto *row = new QHBoxLayout;
    cbCollapseAll = new QCheckBox(tr("Collapse all"), gbUpdate);
    cbCollapseAll->setObjectName(QStringLiteral("cbCollapseAll"));
    cbCollapseAll->setTristate(true);
    cbCollapseAll->setEnabled(false);
    row->addWidget(cbCollapseAll);
    row->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    pbStopUpdate = new QPushButton(QIcon(QStringLiteral(":/icons/images/icons/png/remove.png")), tr("Stop update"),
                                   gbUpdate);
    pbStopUpdate->setObjectName(QStringLiteral("pbStopUpdate"));
    pbStopUpdate->setFlat(true);
    pbStopUpdate->setMinimumSize(140, 30);
    pbStopUpdate->setEnabled(false);
    row->addWidget(pbStopUpdate);
    updateLayout->addLayout(row);
    // What the last batch did: it outlives the groups (a master image's
    // restart discards them).
    lblUpdateSummary = new QLabel(gbUpdate);
    lblUpdateSummary->setObjectName(QStringLiteral("lblUpdateSummary"));
    lblUpdateSummary->setFont(labelFont());
    lblUpdateSummary->setWordWrap(true);
    lblUpdateSummary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblUpdateSummary->hide();
    updateLayout->addWidget(lblUpdateSummary);
    scrollArea = new QScrollArea(gbUpdate);
    scrollArea->setObjectName(QStringLiteral("scrollArea"));
    scrollArea->setWidgetResizable(true);
    // The dock shares its place with the property window: it must not hold the window tall.
    scrollArea->setMinimumHeight(1);
    scrollAreaContents = new QWidget;
    scrollAreaContents->setObjectName(QStringLiteral("scrollAreaContents"));
    scrollLayout = new QVBoxLayout(scrollAreaContents);
    const QMargins margins = scrollLayout->contentsMargins();
    scrollLayout->setContentsMargins(6, margins.top(), 6, margins.bottom());
    scrollLayout->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding));
    scrollArea->setWidget(scrollAreaContents);
    updateLayout->addWidget(scrollArea);
    layout->addWidget(gbUpdate, 1);
    setWidget(contents);
}

// ---------------------------------------------------------------- main window's calls

void UpdateStatusDock::setMaster(HubroItem *master)
{
    if (m_master && m_master != master)
        disconnect(m_master, &HubroItem::firmwareHeadersUpdated, this, &UpdateStatusDock::onMasterHeadersRead);
    m_master = master;
    if (master)
        connect(master, &HubroItem::firmwareHeadersUpdated, this, &UpdateStatusDock::onMasterHeadersRead,
                Qt::UniqueConnection);
    if (compositeUpdate)
        compositeUpdate->setMaster(master);
}

HubroItem *UpdateStatusDock::master() const
{
    return m_master;
}

void UpdateStatusDock::setAvailableDevices(const QList<DeviceItem *> &devices)
{
    // The list grows and shrinks a device at a time: the guards of the
    // devices before the first difference stay.
    int kept = 0;
    while (kept < m_availableDevices.size() && kept < devices.size() && m_availableDevices.at(kept) == devices.at(kept))
        ++kept;
    m_availableDevices.erase(m_availableDevices.begin() + kept, m_availableDevices.end());
    for (int i = kept; i < devices.size(); ++i)
        m_availableDevices << devices.at(i);
    emit availableDevicesUpdated(devices);
}

QList<DeviceItem *> UpdateStatusDock::availableDevices() const
{
    return alive(m_availableDevices);
}

void UpdateStatusDock::setUploadEnabled(bool enabled)
{
    if (enabled)
        gbUpload->setEnabled(true);
    pbUploadFirmware->setEnabled(enabled);
    pbStopUpload->setEnabled(!enabled);
}

bool UpdateStatusDock::isUploadEnabled() const
{
    return pbUploadFirmware->isEnabled();
}

void UpdateStatusDock::uploadIdle()
{
    gbUpload->setEnabled(true);
    pbUploadFirmware->setEnabled(true);
    pbStopUpload->setEnabled(false);
}

void UpdateStatusDock::resetUpload()
{
    uploadCut(tr("the upload was interrupted"));
    uploadManager->reset();
    pBarUpload->setValue(0);
    if (uploadFailure.isEmpty())
        lblUploadStatus->clear();
    uploadIdle();
    uploading = false;
}

void UpdateStatusDock::resetState()
{
    if (uploadFailure.isEmpty())
        lblUploadStatus->clear();
    pBarUpload->setValue(0);
    lblUploadedFirmware->setText(tr("No information"));
}

void UpdateStatusDock::showUploadFailure(const QString &text)
{
    uploadFailure = text;
    lblUploadStatus->setText(QStringLiteral("<div style=\"color: red; font-size:large;\">%1</div>").arg(text.toHtmlEscaped()));
}

void UpdateStatusDock::uploadCut(const QString &reason)
{
    if (!uploading)
        return;
    uploading = false;
    const QString text =
        tr("Upload failed: %1; the master may hold an incomplete image: reconnect and upload again").arg(reason);
    qCritical().noquote() << text;
    showUploadFailure(text);
    setUploadBarColour(QStringLiteral("rgb(255, 150, 150)"));
    setCurrUpdateStatusWidgetFailed();
    summarize(tr("The batch ended: the upload was cut."));
    dropBatch();
}

QString UpdateStatusDock::runningWork() const
{
    if (uploading && uploadingImage)
        return tr("The firmware %1 is being uploaded to the master.").arg(UpdateStatusWidget::firmwareText(uploadingImage));
    if (uploading || nextUpload)
        return tr("A firmware is being uploaded to the master.");
    if (updating || updateManager->isBusy())
        return tr("Devices are being updated with the firmware %1.")
            .arg(UpdateStatusWidget::fileHeaderText(currentFirmwareInfo));
    if (isBatchRunning())
        return tr("A batch update is running: the firmware %1 is next.")
            .arg(UpdateStatusWidget::firmwareText(firmwareQueue.at(currentFirmware).firmware));
    if (!masterFirmwares.isEmpty())
        return tr("A batch update is running: the master's firmware %1 is next.")
            .arg(UpdateStatusWidget::firmwareText(masterFirmwares.first()));
    return QString();
}

bool UpdateStatusDock::checkIdle()
{
    const QString running = runningWork();
    if (running.isEmpty())
        return true;
    qWarning().noquote() << QStringLiteral("Update refused: ") + running;
    showWarningDetails(running, tr("Wait until it ends, or stop it, before starting another upload or update."),
                       tr("Firmware update is running"));
    return false;
}

QString UpdateStatusDock::updateSummary() const
{
    return lblUpdateSummary->text();
}

void UpdateStatusDock::setSummary(const QString &text)
{
    lblUpdateSummary->setText(text);
    lblUpdateSummary->setVisible(!text.isEmpty());
}

void UpdateStatusDock::summarize(const QString &headline)
{
    if (!summaryPending)
        return;
    summaryPending = false;
    QStringList updated;
    QStringList failed;
    QStringList notUpdated;
    for (UpdateStatusWidget *w : statusWidgetList()) {
        for (DeviceItem *device : w->devices()) {
            const QString name = QStringLiteral("%1 (%2)").arg(addressText(device), device->itemTypeName());
            if (w->isUpdated(device))
                updated << name;
            else if (w->isFailed(device))
                failed << name;
            else
                notUpdated << name;
        }
    }
    QStringList lines{headline};
    lines << (updated.isEmpty() ? tr("Updated: none") : tr("Updated: %1").arg(updated.join(QStringLiteral(", "))));
    if (!failed.isEmpty())
        lines << tr("Failed: %1").arg(failed.join(QStringLiteral(", ")));
    if (!notUpdated.isEmpty())
        lines << tr("Not updated: %1").arg(notUpdated.join(QStringLiteral(", ")));
    // In the log at a level the user sees by default when something was left out.
    const bool complete = failed.isEmpty() && notUpdated.isEmpty();
    for (const QString &line : lines) {
        if (complete)
            qWarning().noquote() << line;
        else
            qCritical().noquote() << line;
    }
    setSummary(lines.join(QLatin1Char('\n')));
}

void UpdateStatusDock::forget()
{
    if (currUpdateStatusWidget)
        currUpdateStatusWidget->setStopped();
    summarize(tr("The batch ended: the master went away."));
    dropBatch();
    attachTimer.stop();
    filterTimer.stop();
    updating = false;
    updatingDevice = nullptr;
    devicesToUpdate.clear();
    deferredDevices.clear();
    updateManager->forget();
    pbStopUpdate->setEnabled(false);
    // Its devices go with it: the batch window keeps no row of them.
    masterFirmwareInfo = HUBRO32BootSectionHeader_t();
    m_availableDevices.clear();
    emit availableDevicesUpdated({});
    if (compositeUpdate) {
        compositeUpdate->setMaster(nullptr);
        compositeUpdate->setSavedHeader(masterFirmwareInfo);
    }
}

UpdateStatusWidget *UpdateStatusDock::currentStatusWidget() const
{
    return currUpdateStatusWidget;
}

CompositeUpdate *UpdateStatusDock::compositeUpdateWindow() const
{
    return compositeUpdate;
}

QList<UpdateStatusWidget *> UpdateStatusDock::statusWidgetList() const
{
    QList<UpdateStatusWidget *> list;
    for (const QPointer<UpdateStatusWidget> &w : statusWidgets)
        if (w)
            list << w;
    return list;
}

// ---------------------------------------------------------------- status widgets

void UpdateStatusDock::discardStatusWidgets()
{
    for (const QPointer<UpdateStatusWidget> &w : statusWidgets)
        if (w) {
            w->hide();
            w->deleteLater();
        }
    statusWidgets.clear();
    // Whatever had to be said of them was said before they went.
    summaryPending = false;
    currUpdateStatusWidget = nullptr;
    firmwareQueue.clear();
    currentFirmware = 0;
    cbCollapseAll->setEnabled(false);
}

UpdateStatusWidget *UpdateStatusDock::makeStatusWidgets(const QList<DeviceItem *> &devices,
                                                         const HUBRO32BootSectionHeader_t &header,
                                                         const pVORL &firmware)
{
    QList<DeviceItem *> remaining = devices;
    while (!remaining.isEmpty()) {
        DeviceItem *first = remaining.takeFirst();
        QList<DeviceItem *> group{first};
        for (int i = remaining.size() - 1; i >= 0; --i)
            if (remaining.at(i)->deviceType() == first->deviceType())
                group << remaining.takeAt(i);
        auto *w = new UpdateStatusWidget;
        connect(w, &UpdateStatusWidget::visibilityChanged, this, &UpdateStatusDock::onGroupVisibilityChanged);
        const QString text = deviceTypeName(header.deviceType) + QLatin1Char(' ') + tr("hw ")
                             + QString::number(first->hardwareVersion().majorVersion()) + QLatin1Char(' ') + tr("fw ")
                             + versionToString(first->firmwareVersion());
        w->setText(text);
        w->setFileHeader(header);
        if (firmware)
            w->setFirmware(firmware);
        w->setDevices(group);
        scrollLayout->insertWidget(scrollLayout->count() - 1, w);
        statusWidgets << w;
        cbCollapseAll->setEnabled(true);
        summaryPending = true;
    }
    const QList<UpdateStatusWidget *> list = statusWidgetList();
    return list.isEmpty() ? nullptr : list.first();
}

void UpdateStatusDock::onCollapseAllChanged(int state)
{
    if (collapseGuard)
        return;
    if (state == Qt::PartiallyChecked) {
        cbCollapseAll->setCheckState(Qt::Checked);
        return;
    }
    for (UpdateStatusWidget *w : statusWidgetList())
        w->setCollapsed(state == Qt::Checked);
}

void UpdateStatusDock::onGroupVisibilityChanged(bool state)
{
    collapseGuard = true;
    const QList<UpdateStatusWidget *> widgets = statusWidgetList();
    if (widgets.size() < 2) {
        cbCollapseAll->setCheckState(state ? Qt::Unchecked : Qt::Checked);
    } else {
        int visible = 0;
        for (UpdateStatusWidget *w : widgets)
            if (!w->isCollapsed())
                ++visible;
        cbCollapseAll->setCheckState(visible == widgets.size() ? Qt::Unchecked : Qt::PartiallyChecked);
    }
    QCoreApplication::processEvents();
    collapseGuard = false;
}

// ---------------------------------------------------------------- batch window

CompositeUpdate *UpdateStatusDock::openCompositeUpdateWidget()
{
    // No second upload or update while one runs, whichever road asks.
    if (!checkIdle())
        return nullptr;
    if (!compositeUpdate) {
        auto *window = new CompositeUpdate(masterFirmwareInfo, availableDevices(), m_master, this);
        compositeUpdate = window;
        connect(window, &CompositeUpdate::internalUpdate, this, &UpdateStatusDock::onInternalUpdate);
        connect(window, &CompositeUpdate::defaultUpdate, this, &UpdateStatusDock::onDefaultUpdate);
        connect(window, &CompositeUpdate::offlineUpdate, this, &UpdateStatusDock::onOfflineUpdate);
        connect(this, &UpdateStatusDock::availableDevicesUpdated, window, &CompositeUpdate::onDevicesChanged);
        connect(window, &QObject::destroyed, this, [this] { compositeUpdate = nullptr; });
    }
    fitOnScreen(compositeUpdate);
    compositeUpdate->show();
    return compositeUpdate;
}

void UpdateStatusDock::openFiles(const QStringList &fileNames)
{
    if (CompositeUpdate *window = openCompositeUpdateWidget())
        window->loadFirmwareFiles(fileNames);
}

void UpdateStatusDock::closeCompasiteUpdateWidget()
{
    if (!compositeUpdate)
        return;
    CompositeUpdate *window = compositeUpdate;
    window->disconnect();
    disconnect(window);
    disconnect(this, &UpdateStatusDock::availableDevicesUpdated, window, nullptr);
    compositeUpdate = nullptr;
    window->close();
}

CheckUpdates *UpdateStatusDock::showCheckUpdates()
{
    if (!checkUpdatesWindow)
        checkUpdatesWindow = new CheckUpdates(availableDevices());
    checkUpdatesWindow->show();
    checkUpdatesWindow->setInfoText(tr("Attention! Before updating, you need to make sure that the new versions of "
                                       "HUBRO and sensor software are compatible!"),
                                    QStringLiteral("color: rgb(0, 0, 0);"));
    return checkUpdatesWindow;
}

// ---------------------------------------------------------------- master uploads

bool UpdateStatusDock::isCoreTypeOfMaster(int type) const
{
    const int masterType = m_master ? (m_master->deviceType() & 0xFF) : 0;
    if (masterType == 0 || masterType == 1)
        return type == 1;
    return type == 41 || type == 44;
}

bool UpdateStatusDock::masterWaitsForReady() const
{
    if (!m_master)
        return false;
    const int masterType = m_master->deviceType() & 0xFF;
    return (masterType == 0 && m_master->hardwareVersion().majorVersion() < 7)
           || packedVersion(m_master->firmwareVersion()) == 0;
}

void UpdateStatusDock::startMasterBatch()
{
    if (masterWaitsForReady())
        uploadManager->setWaitForReady(true);
    else
        uploadManager->setAutoUpdate(false);
    uploadMasterFirmware();
}

void UpdateStatusDock::upload(const pVORL &firmware)
{
    uploadManager->setMaxLineLength(FirmwareUploadManager::maxLineLengthFor(m_connectionKind));
    uploadManager->upload(firmware);
}

void UpdateStatusDock::uploadMasterFirmware()
{
    summarize(tr("Radio devices done; the master's firmware is uploaded next."));
    discardStatusWidgets();
    if (masterFirmwares.isEmpty())
        return;
    const pVORL image = masterFirmwares.takeFirst();
    nextUpload = image;
    currentFirmwareInfo = image->fileHeader();
    if (image->deviceType() == KernelType || isCoreTypeOfMaster(image->deviceType())) {
        backupConfiguration(image);
        return;
    }
    qDebug() << "uploadManager->upload(vorl);";
    upload(image);
}

void UpdateStatusDock::backupConfiguration(const pVORL &firmware)
{
    const QString location = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (location.isEmpty() || !QDir().mkpath(location)) {
        showCriticalMessage(tr("Written location not found"), tr("Save configuration"));
        upload(firmware);
        return;
    }
    const QList<DeviceItem *> devices = availableDevices();
    QList<int> numbers;
    for (const DeviceItem *device : devices)
        numbers << device->deviceId();
    qDebug().noquote() << QString::number(numbers.size()) + QStringLiteral(" devices will be saved in .conf");

    // A backup of an earlier update must not stand in for this one.
    const QString path = QDir::toNativeSeparators(location + QStringLiteral("/backup.conf"));
    QFile::remove(path);
    appSettings.remove(QLatin1String(SettingsKey::HasPassword));
    appSettings.remove(QLatin1String(SettingsKey::BackupPath));
    appSettings.remove(QLatin1String(SettingsKey::Serial));
    appSettings.sync();

    if (!backupWait)
        backupWait = new ProgressWidget;
    backupWait->setTitle(tr("Save configuration"));
    backupWait->setText(tr("Exporting configuration.\nPlease wait..."));

    auto done = std::make_shared<bool>(false);
    const QPointer<HubroItem> master = m_master;
    const bool started = saveMasterConfiguration(
        m_master, numbers, [this] { return availableDevices(); }, path, this,
        [this, done, firmware, path, master](const ConfigurationSaveResult &result) {
            *done = true;
            if (backupWait)
                backupWait->hide();
            if (result.outcome != ConfigurationSaveResult::Saved || !master) {
                onBackupFailed(firmware);
                return;
            }
            appSettings.setValue(QLatin1String(SettingsKey::HasPassword), master->isPasswordEnabled());
            appSettings.setValue(QLatin1String(SettingsKey::BackupPath), path);
            appSettings.setValue(QLatin1String(SettingsKey::Serial), master->serialNumber());
            appSettings.sync();
            qDebug().noquote() << (master->isPasswordEnabled() ? QStringLiteral("Password protected configuration")
                                                               : QStringLiteral("Configuration"))
                               << "backup to"
                               << appSettings.value(QLatin1String(SettingsKey::BackupPath), QStringLiteral("def"))
                                      .toString();
            qDebug() << "uploadManager->upload(vorl);";
            upload(firmware);
        });
    if (started) {
        if (backupWait)
            backupWait->show();
    } else if (!*done) {
        onBackupFailed(firmware);
    }
}

void UpdateStatusDock::onBackupFailed(const pVORL &firmware)
{
    if (backupWait)
        backupWait->hide();
    const int answer = askUser(tr("Configuration backup failed."), tr("Upload the firmware without a backup?"),
                               tr("Save configuration"), QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes) {
        qDebug() << "uploadManager->upload(vorl);";
        upload(firmware);
        return;
    }
    dropBatch();
    uploadIdle();
}

void UpdateStatusDock::nextFirmware(const pVORL &firmware)
{
    if (!firmware) {
        qCritical() << "Nullptr firmware in UpdateStatusDock::nextFirmware";
        return;
    }
    if (!isBatchRunning()) {
        if (uploadManager->isAutoUpdateOn()) {
            discardStatusWidgets();
        } else {
            for (DeviceItem *device : availableDevices()) {
                if ((device->deviceType() & 0xFF) != firmware->deviceType()
                    || device->hardwareVersion().majorVersion() != firmware->hardwareVersion().majorVersion())
                    continue;
                discardStatusWidgets();
                firmwareQueue << QueueEntry{firmware, {device}};
                makeStatusWidgets({device}, firmware->fileHeader(), firmware);
            }
            // Past the last entry: no batch runs.
            currentFirmware = firmwareQueue.size();
        }
    }
    currentFirmwareInfo = firmware->fileHeader();
    upload(firmware);
}

void UpdateStatusDock::loadFirmware()
{
    nextFirmware(offlineFirmware);
}

void UpdateStatusDock::onOfflineUpdate(const pVORL &firmware)
{
    if (!checkIdle())
        return;
    setSummary(QString());
    qDebug() << "Offline updating init";
    discardStatusWidgets();
    offlineFirmware = firmware;
    QTimer::singleShot(m_delays.step, this, [this] { uploadManager->setAutoUpdate(true); });
}

void UpdateStatusDock::onUploadStarted(const pVORL &firmware)
{
    uploadingImage = firmware;
    nextUpload.reset();
    uploadFailure.clear();
    pBarUpload->setValue(0);
    pbUploadFirmware->setEnabled(false);
    pbStopUpload->setEnabled(true);
    pbStopUpdate->setEnabled(false);
    uploading = true;
    stopRequested = false;
    const QString text = UpdateStatusWidget::firmwareText(firmware);
    lblUploadStatus->setText(tr("Upload firmware %1 to device").arg(text));
    qDebug().noquote() << QStringLiteral("Upload started. Firmware ") + text;
}

void UpdateStatusDock::onUploadProgress(unsigned progress)
{
    // Called for every line sent: the bar is restyled only when its colour
    // changes, and repainted only when the percentage does (setValue).
    setUploadBarColour(QStringLiteral("#96C8FF"));
    pBarUpload->setValue(int(progress));
    uploading = true;
}

void UpdateStatusDock::setUploadBarColour(const QString &colour)
{
    if (colour == uploadBarColour)
        return;
    uploadBarColour = colour;
    pBarUpload->setStyleSheet(UpdateStatusWidget::makeStyleSheet(1, colour));
}

QString UpdateStatusDock::statusText(FirmwareUploadTypes::uploadStatus_t status) const
{
    switch (status) {
    case FirmwareUploadTypes::Erasing:
        return tr("Busy erasing flash memory");
    case FirmwareUploadTypes::CheckingErase:
        return tr("Busy checking flash memory");
    case FirmwareUploadTypes::Writing:
        return tr("Upload firmware %1 to device").arg(UpdateStatusWidget::fileHeaderText(currentFirmwareInfo));
    case FirmwareUploadTypes::Verifying:
        return tr("Checking uploaded firmware");
    case FirmwareUploadTypes::Finished:
        return tr("Upload finished");
    case FirmwareUploadTypes::Stopped:
        return tr("Upload stopped");
    }
    return QString();
}

void UpdateStatusDock::onUploadStatus(FirmwareUploadTypes::uploadStatus_t status, unsigned progress)
{
    if (!(status == FirmwareUploadTypes::Stopped && !uploading))
        qDebug().noquote() << QStringLiteral("Upload status %1: %2").arg(statusText(status)).arg(progress);
    pBarUpload->setValue(int(progress));
    const auto stopped = [this] {
        setUploadBarColour(QStringLiteral("rgb(255, 255, 150)"));
        gbUpload->setEnabled(true);
        pbUploadFirmware->setEnabled(true);
        pbStopUpload->setEnabled(false);
        pbStopUpdate->setEnabled(false);
        uploading = false;
        discardStatusWidgets();
    };
    const bool autoUpdate = uploadManager->isAutoUpdateOn();
    if (autoUpdate && status == FirmwareUploadTypes::Finished) {
        lblUploadStatus->setText(tr("Offline update mode is on"));
        pbStopUpload->setEnabled(false);
        qDebug() << "***?RESTART?***";
        return;
    }
    if (autoUpdate && status == FirmwareUploadTypes::Stopped) {
        if (uploadFailure.isEmpty())
            lblUploadStatus->setText(tr("Upload stopped"));
        QTimer::singleShot(1000, this, [this] { uploadManager->setAutoUpdate(false); });
        stopped();
        return;
    }
    lblUploadStatus->setText(statusText(status));
    switch (status) {
    case FirmwareUploadTypes::Erasing:
        emit uploadPreparationStart();
        pbStopUpload->setEnabled(true);
        if (!statusWidgetList().isEmpty())
            lblUploadedFirmware->setText(tr("No information"));
        break;
    case FirmwareUploadTypes::Writing:
        emit uploadPreparationStop();
        break;
    case FirmwareUploadTypes::Finished:
        pbStopUpload->setEnabled(false);
        qDebug() << "***?RESTART?***";
        break;
    case FirmwareUploadTypes::Stopped:
        // A cut or failed upload keeps saying so.
        if (!uploadFailure.isEmpty())
            showUploadFailure(uploadFailure);
        stopped();
        break;
    default:
        break;
    }
}

void UpdateStatusDock::onUploadError(FirmwareUploadManager::uploadError_t error)
{
    static const char *const texts[] = {
        QT_TR_NOOP("Failed to erase flash memory"), QT_TR_NOOP("Memory check failed"),
        QT_TR_NOOP("Failed to write firmware to flash memory"), QT_TR_NOOP("Firmware check failed"),
        QT_TR_NOOP("General failure"), QT_TR_NOOP("Uploaded firmware is corrupt"),
    };
    const int index = int(error);
    const QString text = index >= 0 && index < 6 ? tr(texts[index]) : QString();
    const QString failure = tr("Upload failed: %1; the master may hold an incomplete image: upload again").arg(text);
    qCritical().noquote() << failure;
    showUploadFailure(failure);
    setCurrUpdateStatusWidgetFailed();
    // Idle first: going on starts the next upload, whose buttons must stay.
    updating = false;
    uploading = false;
    gbUpload->setEnabled(true);
    pbUploadFirmware->setEnabled(true);
    pbStopUpload->setEnabled(false);
    if (error == FirmwareUploadManager::VerifyError && isBatchRunning() && currentFirmware + 1 < firmwareQueue.size()) {
        const int answer = askWarning(tr("Warning! Uploaded firmware is corrupt, uploading stopped.\nDo you want to proceed?"),
                                      QString(), tr("Upload error"), QMessageBox::Yes | QMessageBox::No);
        if (answer == QMessageBox::Yes && advanceBatch()) {
            nextFirmware(firmwareQueue.at(currentFirmware).firmware);
            return;
        }
    }
    // The batch ends here: a later header read resumes nothing of it.
    summarize(tr("The batch ended: %1.").arg(text));
    dropBatch();
}

void UpdateStatusDock::askRestart(const QString &heading, const QString &question, const QString &text)
{
    const int answer = askUser(text, question, heading, QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes) {
        if (m_master)
            m_master->stopUploadTimer();
        emit waitUpdateComplate(currentFirmwareInfo.deviceType);
    } else if (m_master) {
        m_master->readUploadedFirmwareHeaders();
    }
}

void UpdateStatusDock::onUploadFinished()
{
    pBarUpload->setValue(100);
    setUploadBarColour(QStringLiteral("#96ff96"));
    uploadIdle();
    uploading = false;
    if (uploadManager->isAutoUpdateOn()) {
        if (m_master)
            m_master->readUploadedFirmwareHeaders();
        return;
    }
    const int type = currentFirmwareInfo.deviceType;
    const bool radioModule = type == 0 || type == 40 || type == 43;
    const bool core = type == 1 || type == 41 || type == 44 || type == 141 || type == KernelType;
    if (!radioModule && !core) {
        if (!statusWidgetList().isEmpty()) {
            pbStopUpdate->setEnabled(true);
            stopRequested = false;
        }
        // The batch goes on once the master's header names this image.
        if (isBatchRunning() && uploadingImage) {
            awaitingImage = uploadingImage;
            confirmTimer.start(m_delays.confirm);
        }
        if (m_master)
            m_master->readUploadedFirmwareHeaders();
        return;
    }
    if (!masterFirmwares.isEmpty()) {
        QCoreApplication::processEvents();
        QTimer::singleShot(m_delays.nextImage, this, [this] {
            if (masterFirmwares.isEmpty())
                return;
            const pVORL image = masterFirmwares.takeFirst();
            currentFirmwareInfo = image->fileHeader();
            upload(image);
        });
        return;
    }
    QString heading;
    QString question;
    QString text = tr("Device needs to be restarted in order to install new firmware.");
    if (radioModule) {
        heading = severalFirmwares ? tr("New core and radio firmwares uploaded") : tr("New radio firmware uploaded");
        question = severalFirmwares ? tr("Restart now?")
                                    : tr("Restart now? Click \"No\" if you also want to upload new core firmware.");
    } else {
        const bool both = severalFirmwares || type == KernelType;
        heading = both ? tr("New core and radio firmwares uploaded") : tr("New core firmware uploaded");
        question = both ? tr("Restart now?")
                        : tr("Restart now? Click \"No\" if you also want to upload new radio firmware.");
    }
    if (type == KernelType) {
        heading = tr("Basic kernel software uploaded");
        text = tr("Basic kernel software is ready to install.") + QString(44, QLatin1Char(' '));
        discardStatusWidgets();
        pbUploadFirmware->setEnabled(false);
        DeviceItem *flashItem = m_master ? m_master->uploadedFirmwareInfo() : nullptr;
        if (flashItem) {
            UpdateStatusWidget *w = makeStatusWidgets({flashItem}, currentFirmwareInfo, pVORL());
            currUpdateStatusWidget = w;
            if (w)
                w->setCurrent();
            fastMode = false;
            updateManager->update({flashItem}, currentFirmwareInfo);
            updateManager->stop();
        }
    }
    askRestart(heading, question, text);
}

void UpdateStatusDock::setMasterHeader(const HUBRO32BootSectionHeader_t &header)
{
    masterFirmwareInfo = header;
    currentFirmwareInfo = header;
    if (compositeUpdate)
        compositeUpdate->setSavedHeader(header);
    lblUploadedFirmware->setText(tr("No information"));
    if (header.buildTime == 0 || header.deviceType == 0 || header.deviceType == 1)
        return;
    updateManager->setFirmwareSize(header.firmwareSize);
    const QVersionNumber version = versionOfPackedWord(header.firmwareVersion);
    lblUploadedFirmware->setText(
        QStringLiteral("%3 - %1 (%2)")
            .arg(deviceTypeName(header.deviceType),
                 QDateTime::fromSecsSinceEpoch(qint64(header.buildTime)).toString(QStringLiteral("dd.MM.yyyy hh:mm")),
                 QStringLiteral("%1.%2").arg(version.majorVersion()).arg(version.minorVersion())));
    uploadIdle();
}

void UpdateStatusDock::checkIfUpdateRequired()
{
    if (updateManager->isBusy() || updating || uploading) {
        if (updateManager->isBusy())
            qDebug() << "Update manager is busy. Update check canceled";
        else if (updating)
            qDebug() << "Updating in progress. Update check canceled";
        else
            qDebug() << "Uploading in progress. Update check canceled";
        pbUploadFirmware->setEnabled(false);
        return;
    }
    if (!m_master)
        return;
    const HUBRO32BootSectionHeader_t header = m_master->firmwareDates();
    if (header.deviceType == 0 && header.hardwareVersion == 0) {
        setMasterHeader(HUBRO32BootSectionHeader_t());
        return;
    }
    if (header.deviceType > 73)
        return;
    setMasterHeader(header);
    // An image uploaded for the batch is confirmed by the header read first.
    if (awaitingImage)
        return;
    resumeBatch();
}

void UpdateStatusDock::resumeBatch()
{
    if (!isBatchRunning())
        return;
    const QList<DeviceItem *> devices = firmwareQueue.at(currentFirmware).liveDevices();
    if (devices.isEmpty()) {
        // Its devices went while the image was uploaded: on as after a group.
        continueBatch();
        return;
    }
    updateNext(devices);
}

void UpdateStatusDock::onMasterHeadersRead()
{
    if (!awaitingImage || !m_master)
        return;
    const pVORL image = awaitingImage;
    awaitingImage.reset();
    confirmTimer.stop();
    const HUBRO32BootSectionHeader_t stored = m_master->firmwareDates();
    const HUBRO32BootSectionHeader_t sent = image->fileHeader();
    if (stored.deviceType == sent.deviceType && stored.hardwareVersion == sent.hardwareVersion
        && stored.firmwareVersion == sent.firmwareVersion && stored.buildTime == sent.buildTime) {
        setMasterHeader(stored);
        resumeBatch();
        return;
    }
    qCritical().noquote() << QStringLiteral("The master holds %1 instead of the uploaded image")
                                 .arg(UpdateStatusWidget::fileHeaderText(stored));
    imageNotConfirmed(image);
}

void UpdateStatusDock::imageNotConfirmed(const pVORL &image)
{
    const QString headline = tr("The master did not confirm the uploaded image %1: no device was updated with it.")
                                 .arg(UpdateStatusWidget::firmwareText(image));
    setCurrUpdateStatusWidgetFailed();
    QStringList lines;
    if (summaryPending) {
        summarize(headline);
        lines = updateSummary().split(QLatin1Char('\n'));
        lines.removeFirst();
    }
    dropBatch();
    updating = false;
    pbStopUpdate->setEnabled(false);
    uploadIdle();
    showWarningDetails(headline, lines.join(QLatin1Char('\n')), tr("Device update"));
}

// ---------------------------------------------------------------- radio-device updates

QList<DeviceItem *> UpdateStatusDock::keepDespiteLowBattery(const QList<DeviceItem *> &devices)
{
    if (lowBatteryYesToAll)
        return devices;
    QList<DeviceItem *> kept;
    for (DeviceItem *device : devices) {
        if (device->data(BatteryGoodRole).toBool() || (device->deviceType() & 0xFF) == KernelType) {
            kept << device;
            continue;
        }
        if (lowBatteryNoToAll)
            continue;
        if (lowBatteryYesToAll) {
            kept << device;
            continue;
        }
        const int answer = askWarning(
            tr("Warning! Low battery of the device with the address %1\nThis can impact on the update process. In some "
               "cases it can be impossible to update device with low battery. Do you want to proceed?")
                .arg(addressText(device)),
            QString(), tr("Battry is low"),
            QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No | QMessageBox::NoToAll);
        switch (answer) {
        case QMessageBox::Yes:
            kept << device;
            break;
        case QMessageBox::YesToAll:
            kept << device;
            lowBatteryYesToAll = true;
            break;
        case QMessageBox::NoToAll:
            lowBatteryNoToAll = true;
            lowBatteryYesToAll = false;
            break;
        default:
            break;
        }
    }
    return kept;
}

void UpdateStatusDock::onDefaultUpdate(const FirmwareMap &map, bool fMode)
{
    if (map.isEmpty()) {
        showInformationMessage(tr("There is no selected firmwares."), tr("Firmware upload"));
        return;
    }
    if (!checkIdle())
        return;
    setSummary(QString());
    pbUploadFirmware->setEnabled(false);
    qDebug().noquote() << QStringLiteral("Default update of %1 firmwares").arg(map.size());
    discardStatusWidgets();
    masterFirmwares.clear();
    firmwareQueue.clear();
    lowBatteryYesToAll = false;
    lowBatteryNoToAll = false;
    for (const FirmwareMap::Entry &entry : map.entries()) {
        if (!entry.first)
            continue;
        if (isMasterDeviceType(entry.first->deviceType())) {
            masterFirmwares << entry.first;
            continue;
        }
        lowBatteryYesToAll = false;
        lowBatteryNoToAll = false;
        const QList<DeviceItem *> kept = keepDespiteLowBattery(entry.second);
        const int dropped = entry.second.size() - kept.size();
        if (dropped > 0)
            qDebug().noquote() << QString::number(dropped) + QStringLiteral(" devices will be skipped");
        if (!kept.isEmpty())
            firmwareQueue << QueueEntry{entry.first, guardedList(kept)};
    }
    severalFirmwares = masterFirmwares.size() > 1;
    if (firmwareQueue.isEmpty()) {
        currentFirmware = 0;
        if (!masterFirmwares.isEmpty())
            QTimer::singleShot(m_delays.step, this, &UpdateStatusDock::startMasterBatch);
        return;
    }
    currentFirmware = 0;
    for (const QueueEntry &entry : firmwareQueue)
        makeStatusWidgets(entry.liveDevices(), entry.firmware->fileHeader(), entry.firmware);
    fastMode = fMode;
    QString names = QStringLiteral("Devices for update: ");
    for (const DeviceItem *device : firmwareQueue.first().liveDevices())
        names += QStringLiteral("%1 %2 (%3) ")
                     .arg(addressText(device), device->itemTypeName())
                     .arg(device->serialNumber());
    qDebug().noquote() << names;
    QTimer::singleShot(m_delays.step, this, [this] {
        if (!isBatchRunning())
            return;
        uploadManager->setAutoUpdate(false);
        nextFirmware(firmwareQueue.at(currentFirmware).firmware);
    });
}

void UpdateStatusDock::onInternalUpdate(const QList<DeviceItem *> &devices, bool fMode)
{
    if (!checkIdle())
        return;
    setSummary(QString());
    startInternalUpdate(devices, fMode);
}

void UpdateStatusDock::startInternalUpdate(const QList<DeviceItem *> &devices, bool fMode)
{
    discardStatusWidgets();
    pbUploadFirmware->setEnabled(false);
    QList<DeviceItem *> ofType;
    for (DeviceItem *device : devices)
        if ((device->deviceType() & 0xFF) == masterFirmwareInfo.deviceType)
            ofType << device;
    makeStatusWidgets(ofType, currentFirmwareInfo, pVORL());
    fastMode = fMode;
    updateNext(devices);
}

void UpdateStatusDock::nextDevice(UpdateStatusWidget *widget)
{
    if (!widget)
        return;
    currUpdateStatusWidget = widget;
    widget->setCurrent();
    QCoreApplication::processEvents();
    currentFirmwareInfo = widget->fileHeader();
    updateNext(widget->devices());
}

void UpdateStatusDock::updateNext(const QList<DeviceItem *> &devices)
{
    if (m_master) {
        if (fastMode)
            m_master->sendDeviceUpdateStart(true);
        else
            m_master->sendDeviceUpdateEnd();
    }
    gbUpload->setEnabled(false);
    devicesToUpdate = guardedList(devices);
    if (!devices.isEmpty())
        filter60minNILVO();
}

void UpdateStatusDock::filter60minNILVO()
{
    deferredDevices.clear();
    const QList<DeviceItem *> devices = alive(devicesToUpdate);
    for (DeviceItem *device : devices) {
        const int type = device->deviceType() & 0xFF;
        if ((type == MeterType || waterMeterDeviceTypes.contains(type)) && device->data(SixtyMinuteRole).toInt() == 0
            && !deferredDevices.contains(device))
            deferredDevices << device;
    }
    updating = true;
    updateManager->update(devices, currentFirmwareInfo);
    filterTimer.stop();
    if (updateManager->isBusy())
        return;
    // None of them can take the image (offline, another type): the group has
    // failed and the batch goes on as after it, instead of waiting for ever.
    if (currUpdateStatusWidget) {
        for (DeviceItem *device : devices)
            currUpdateStatusWidget->setDeviceResult(device, false);
    } else {
        setCurrUpdateStatusWidgetFailed();
    }
    updating = false;
    onUpdateFinished({}, devices);
}

void UpdateStatusDock::setupUpdateStatusWidget(UpdateStatusWidget *w, int radioAddress, bool &match)
{
    if (!w)
        return;
    DeviceItem *found = nullptr;
    for (DeviceItem *device : w->devices())
        if (device->deviceId() == radioAddress)
            found = device;
    if (found) {
        match = true;
        w->setCurrent();
        currUpdateStatusWidget = w;
    }
    if (currUpdateStatusWidget) {
        scrollArea->ensureWidgetVisible(currUpdateStatusWidget, 10, 10);
        if (found)
            w->scrollToDevice(found);
    }
}

void UpdateStatusDock::onDeviceUpdateStarted(DeviceItem *device)
{
    pbUploadFirmware->setEnabled(false);
    pbStopUpload->setEnabled(false);
    pbStopUpdate->setEnabled(true);
    bool match = false;
    const pVORL image = isBatchRunning() ? firmwareQueue.at(currentFirmware).firmware : pVORL();
    for (UpdateStatusWidget *w : statusWidgetList()) {
        if (match)
            break;
        if (!firmwareQueue.isEmpty() && w->firmware() != image)
            continue;
        setupUpdateStatusWidget(w, device ? device->deviceId() : -1, match);
    }
    if (match) {
        updatingDevice = device;
        return;
    }
    qWarning() << "No updateable device found";
    gbUpload->setEnabled(true);
    pbUploadFirmware->setEnabled(true);
    pbStopUpload->setEnabled(false);
    pbStopUpdate->setEnabled(false);
    updatingDevice = nullptr;
}

void UpdateStatusDock::onUpdateProgress(unsigned percent)
{
    if (currUpdateStatusWidget && updatingDevice)
        currUpdateStatusWidget->setProgress(updatingDevice, int(percent));
}

void UpdateStatusDock::onDeviceUpdateFinished(DeviceItem *device)
{
    if (currUpdateStatusWidget)
        currUpdateStatusWidget->setDeviceResult(device, true);
    deferredDevices.removeAll(device); // updated: not for the stop's report
    updating = false;
}

void UpdateStatusDock::onDeviceUpdateFailed(DeviceItem *device)
{
    if (!currUpdateStatusWidget)
        return;
    // The queue goes on with the rest of the group; the batch moves on once,
    // when the group has finished.
    currUpdateStatusWidget->setDeviceResult(device, false);
    updating = false;
    pbStopUpdate->setEnabled(updateManager->isBusy());
}

void UpdateStatusDock::setCurrUpdateStatusWidgetFailed()
{
    if (!isBatchRunning())
        return;
    const pVORL image = firmwareQueue.at(currentFirmware).firmware;
    for (DeviceItem *device : firmwareQueue.at(currentFirmware).liveDevices())
        for (UpdateStatusWidget *w : statusWidgetList())
            if (w->firmware() == image && w->contains(device->deviceId()))
                w->setDeviceResult(device, false);
}

bool UpdateStatusDock::advanceBatch()
{
    for (int next = currentFirmware + 1; next < firmwareQueue.size(); ++next) {
        const QueueEntry &entry = firmwareQueue.at(next);
        if (entry.firmware && !entry.liveDevices().isEmpty()) {
            currentFirmware = next;
            return true;
        }
    }
    currentFirmware = firmwareQueue.size();
    return false;
}

void UpdateStatusDock::onUpdateFinished(const QList<DeviceItem *> &updatedDevices,
                                        const QList<DeviceItem *> &failedDevices)
{
    Q_UNUSED(failedDevices)
    updating = false;
    if (UpdateStatusWidget *current = currUpdateStatusWidget) {
        if (current->devices().size() == updatedDevices.size())
            current->updateText();
        for (UpdateStatusWidget *w : statusWidgetList()) {
            if (w == current || w->state() != UpdateStatusWidget::NotStarted)
                continue;
            const bool sameImage = current->firmware() && w->firmware() == current->firmware();
            const bool sameHeader = !current->firmware() && current->fileHeader().deviceType != 0
                                    && w->fileHeader() == current->fileHeader();
            if (sameImage || sameHeader) {
                nextDevice(w);
                return;
            }
        }
    }
    continueBatch();
}

void UpdateStatusDock::continueBatch()
{
    if (isBatchRunning() && advanceBatch()) {
        nextFirmware(firmwareQueue.at(currentFirmware).firmware);
        return;
    }
    if (!masterFirmwares.isEmpty()) {
        currentFirmware = firmwareQueue.size();
        uploadMasterFirmware();
        return;
    }
    finishBatch();
}

void UpdateStatusDock::finishBatch()
{
    if (!firmwareQueue.isEmpty())
        qDebug() << (stopRequested ? "Update stopped" : "Update complite");
    summarize(stopRequested ? tr("Update stopped.") : tr("Update finished."));
    currentFirmware = firmwareQueue.size();
    pbStopUpdate->setEnabled(false);
    gbUpload->setEnabled(true);
    if (m_master)
        m_master->sendDeviceUpdateEnd();
    uploadIdle();
}

void UpdateStatusDock::dropBatch()
{
    awaitingImage.reset();
    confirmTimer.stop();
    nextUpload.reset();
    masterFirmwares.clear();
    currentFirmware = firmwareQueue.size();
    currUpdateStatusWidget = nullptr;
}

void UpdateStatusDock::removeDevice(DeviceItem *device)
{
    if (!device)
        return;
    for (QueueEntry &entry : firmwareQueue)
        for (int i = entry.devices.size() - 1; i >= 0; --i)
            if (!entry.devices.at(i) || entry.devices.at(i) == device)
                entry.devices.removeAt(i);
    devicesToUpdate.removeAll(device);
    deferredDevices.removeAll(device);
    for (UpdateStatusWidget *w : statusWidgetList())
        w->removeDevice(device);
    if (updatingDevice == device)
        updatingDevice = nullptr;
}

void UpdateStatusDock::stopUpdate()
{
    if (currUpdateStatusWidget)
        currUpdateStatusWidget->setStopped();
    // Groups the batch had not reached say so too.
    if (isBatchRunning())
        for (UpdateStatusWidget *w : statusWidgetList())
            if (w->state() == UpdateStatusWidget::NotStarted)
                w->setStopped();
    summarize(tr("Update stopped."));
    // The stop ends the batch: no group, image or master upload follows.
    dropBatch();
    updateManager->stop();
    gbUpload->setEnabled(true);
    pbUploadFirmware->setEnabled(true);
    pbStopUpload->setEnabled(false);
    pbStopUpdate->setEnabled(false);
    updating = false;
    filterTimer.stop();
    const QList<DeviceItem *> deferred = alive(deferredDevices);
    deferredDevices.clear();
    if (deferred.isEmpty())
        return;
    QStringList lines;
    for (const DeviceItem *device : deferred)
        lines << QStringLiteral("(%1)").arg(addressText(device));
    showWarningMessage(tr("Not updated NILVO(s):\n%1").arg(lines.join(QLatin1Char('\n'))), tr("Updating stop"));
}

void UpdateStatusDock::attachToUpdate(int addr)
{
    attachAddress = addr;
    gbUpload->setEnabled(false);
    attachTimer.start(m_delays.attach);
}

void UpdateStatusDock::attachToUpdate()
{
    qDebug() << "UpdateStatusDock::attachToUpdate()";
    for (DeviceItem *device : availableDevices()) {
        if (device->deviceId() != attachAddress)
            continue;
        currentFirmwareInfo = masterFirmwareInfo;
        updateManager->setFirmwareSize(masterFirmwareInfo.firmwareSize);
        startInternalUpdate({device}, fastMode);
    }
    for (UpdateStatusWidget *w : statusWidgetList()) {
        for (DeviceItem *device : w->devices()) {
            if (device->data(Qt::UserRole).toInt() != attachAddress || !updating)
                continue;
            if (updateManager->isBusy())
                qWarning() << "updateManager->isBusy()";
            updateManager->attach(device);
        }
    }
}

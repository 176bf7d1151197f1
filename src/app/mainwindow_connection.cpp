// The window's road to a master: choosing and making the connection, the
// reactions to the master and its devices, closing, configuration files
// opened or dropped, and the reconnection after an expander update.
#include "mainwindow.h"
#include "sqliteview.h"
#include "ui_mainwindow.h"

#include "addressdelegate.h"
#include "channelscan.h"
#include "connectioninterface.h"
#include "deviceconnection.h"
#include "deviceeeprommanager.h"
#include "deviceinfocollector.h"
#include "deviceitem.h"
#include "deviceitemdelegate.h"
#include "devicetableitemdelegate.h"
#include "devicetablemodel.h"
#include "discovereddevice.h"
#include "droppedfiles.h"
#include "fileconnection.h"
#include "firmwareuploadmanager.h"
#include "hubroitem.h"
#include "lqitestmanager.h"
#include "messageboxes.h"
#include "offlineconnections.h"
#include "opendevicedialog.h"
#include "paintpacer.h"
#include "progresswidget.h"
#include "qttreepropertybrowser.h"
#include "rssitestdock.h"
#include "senddatamanager.h"
#include "settings.h"
#include "simulatedconnection.h"
#include "sorteddevicemodel.h"
#include "statisticsdock.h"
#include "statisticsmanager.h"
#include "uiseams.h"
#include "updatemanager.h"
#include "updatestatusdock.h"
#include "waitmovie.h"
#include "waitwidget.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QProcess>

#include <memory>

namespace {
MainWindow::ProcessStarter &processStarter()
{
    static MainWindow::ProcessStarter starter;
    return starter;
}

int &expanderReconnectDelay()
{
    static int delay = 20000;
    return delay;
}

bool startDetachedProcess(const QString &program, const QStringList &arguments, const QString &workingDirectory,
                          qint64 *pid, QString *error)
{
    if (processStarter())
        return processStarter()(program, arguments, workingDirectory, pid, error);
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setWorkingDirectory(workingDirectory);
    if (process.startDetached(pid))
        return true;
    *error = process.errorString();
    return false;
}

// The file name of a path: the text after its last "/".
QString fileNameOf(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

bool isLiveKind(ConnectionType type)
{
    return type == Serial || type == Kastrel || type == Bluetooth;
}
} // namespace

void MainWindow::setProcessStarter(ProcessStarter starter)
{
    processStarter() = std::move(starter);
}

void MainWindow::setExpanderReconnectDelay(int ms)
{
    expanderReconnectDelay() = ms;
}

// ---------------------------------------------------------------- choosing

void MainWindow::deviceOpen()
{
    auto dialog = std::make_unique<OpenDeviceDialog>(this);
    QCoreApplication::processEvents();
    const int result = UiSeams::execDialog(dialog.get());
    if (result != QDialog::Accepted) {
        // Nothing to work on and nothing chosen at start: the program ends.
        if (result == QDialog::Rejected && startupChoice && !connection) {
            qDebug().noquote() << QStringLiteral("No device chosen at start-up");
            QCoreApplication::exit(0);
        }
        return;
    }
    const DiscoveredDevice chosen = dialog->selectedDevice();
    const MasterType chosenType = dialog->selectedMasterType();
    // The dialog's agents stop before the chosen port is opened.
    dialog.reset();

    if (connection) {
        if (connection->connectionType() == File)
            deviceClose();
        dropConnection();
    }
    selectedDevice = std::make_unique<DiscoveredDevice>(chosen);
    if (chosen.connectionType == File) {
        ui->acTROMBELView->setVisible(false);
    } else {
        masterType = chosenType;
        ui->acTROMBELView->setVisible(masterType == MasterTrombel);
    }
    ui->acSaveConfiguration->setVisible(chosen.connectionType != File);
    establishConnection(chosen.connectionType, chosen.address);
}

// ---------------------------------------------------------------- making the connection

void MainWindow::dropConnection()
{
    // The rows of the old connection's items go before the items do.
    if (masterIsConnected)
        masterDisconnected();
    Connection *old = connection;
    connection = nullptr;
    delete old;
}

void MainWindow::installDeviceDelegates()
{
    QAbstractItemDelegate *oldList = ui->listView->itemDelegate();
    ui->listView->setItemDelegate(new DeviceItemDelegate(connection, this));
    QAbstractItemDelegate *oldStatus = ui->treeView->itemDelegateForColumn(DeviceTableModel::StatusColumn);
    ui->treeView->setItemDelegateForColumn(DeviceTableModel::StatusColumn, new DeviceStatusDelegate(this));
    QAbstractItemDelegate *oldAddress = ui->treeView->itemDelegateForColumn(DeviceTableModel::AddressColumn);
    ui->treeView->setItemDelegateForColumn(DeviceTableModel::AddressColumn, new AddressDelegate(connection, this));
    // Only the delegates of an earlier connection go; the views' own stay.
    for (QAbstractItemDelegate *old : {oldList, oldStatus, oldAddress})
        if (old && old->parent() == this)
            old->deleteLater();
}

bool MainWindow::establishConnection(ConnectionType connectionType, const QString &connectionAddress)
{
    qDebug().noquote() << tr("MainWindow::establishConnection %1 connection with %2")
                              .arg(connectionTypeName(connectionType), connectionAddress);
    Connection *made = nullptr;
    switch (connectionType) {
    case Serial:
    case Kastrel:
    case Bluetooth:
        made = new DeviceConnection;
        break;
    case File:
    case Simulation:
        made = OfflineConnections::create(connectionType);
        break;
    }
    if (!made) {
        // An unknown kind: the current connection and the actions stay as they are.
        qWarning().noquote() << QStringLiteral("Establish failed");
        emit establishFailed();
        return false;
    }
    dropConnection();
    connection = made;

    const bool live = isLiveKind(connectionType);
    updateDock->setVisible(live);
    rssiTestDock->setVisible(live);
    statisticsDock->setVisible(live);
    ui->acUpdatePanel->setVisible(live);
    ui->acLQIPanel->setVisible(live);
    ui->acStatisticsPanel->setVisible(live);

    // A fresh numbering pass; a wait window of the last one must not stay up.
    autoNumberQueue.clear();
    autoNumberPending.clear();
    autoNumberTimer.stop();
    if (autoNumberWait)
        autoNumberWait->close();
    autoNumberWait = nullptr;

    deviceModel->setConnectionKind(connectionType);

    connect(connection, &Connection::deviceConnected, this, &MainWindow::onDeviceConnected);
    connect(connection, &Connection::masterConnected, this, &MainWindow::onDeviceConnected);
    connect(connection, &Connection::deviceConnected, this, &MainWindow::deviceConnected);
    connect(connection, &Connection::deviceStateChanged, this, &MainWindow::deviceStateChanged);
    connect(connection, &Connection::masterConnected, this, &MainWindow::masterConnected);
    connect(connection, &Connection::masterDisconnected, this, &MainWindow::masterDisconnected);
    connect(connection, &Connection::masterRestarted, this, &MainWindow::masterRestarted);
    connect(connection, &Connection::masterRestarted, this, &MainWindow::onMasterRestarted);
    // A master that comes back, or that the connection gives up, ends the wait at once.
    connect(connection, &Connection::masterConnected, this, [this] { onMasterBackOrGone(true); });
    connect(connection, &Connection::masterDisconnected, this, [this] { onMasterBackOrGone(false); });
    connect(connection, &Connection::deviceRemoved, this, &MainWindow::onDeviceRemoved);
    connect(connection, &Connection::masterCoreUpdateProgress, this, &MainWindow::onMasterCoreUpdateProgress);
    connect(connection, &Connection::startUpload, this, &MainWindow::onStartUpload);
    connect(connection, &Connection::connectionLost, this, &MainWindow::onConnectionLost);
    connect(this, &MainWindow::packetLogFilterChanged, connection, &Connection::setLogFilter);

    installDeviceDelegates();

    if (!connection->connectToMaster(connectionType, connectionAddress, masterType)) {
        qWarning().noquote() << QStringLiteral("Establish failed");
        // Nothing is open: nothing to close.
        ui->acCloseDevice->setEnabled(false);
        ui->acOpenDevice->setEnabled(true);
        emit establishFailed();
        if (connectionType == Serial || connectionType == Kastrel) {
            // The system's reason (missing, busy, no access) below the text.
            const QString reason = connection->errorString();
            const QString text = tr("The port %1 cannot be opened.").arg(connectionAddress);
            if (reason.isEmpty())
                showWarningMessage(text, tr("Device opening"));
            else
                showWarningDetails(text, reason, tr("Device opening"));
        }
        if (connectionType == File || connectionType == Simulation) {
            OfflineConnections::reportFailure(connectionType, connection);
            // The user chooses again.
            runDeviceSelection();
        }
        return false;
    }

    if (connectionType == File || connectionType == Simulation)
        deviceActions->setEnabled(true);
    ui->statusBar->clearMessage();
    if (auto *simulation = qobject_cast<SimulatedConnection *>(connection)) {
        connect(simulation->follower(), &FileFollower::lostChanged, this, [this, connectionAddress](bool lost) {
            if (lost)
                ui->statusBar->showMessage(
                    tr("The simulation file %1 is gone: no longer followed until it is back")
                        .arg(QDir::toNativeSeparators(connectionAddress)));
            else
                ui->statusBar->clearMessage();
        });
    }
    if (auto *file = qobject_cast<FileConnection *>(connection)) {
        // Opened again as another program left it, once the question is through.
        const QPointer<Connection> asked(connection);
        connect(file, &FileConnection::reloadRequested, this, [this, asked](const QString &path) {
            QTimer::singleShot(0, this, [this, asked, path] {
                if (asked && connection == asked)
                    establishConnection(File, path);
            });
        });
    }
    if (connectionType == File) {
        setWindowTitle(fileNameOf(connectionAddress));
        if (HubroItem *master = connection->master()) {
            master->setOffline();
            master->applyIntervalProperty();
            refresh(master);
        }
        QTimer::singleShot(100, this, [this] {
            QAbstractItemView *view = currentItemView();
            const QModelIndex first = view->model()->index(0, 0);
            if (first.isValid())
                view->selectionModel()->setCurrentIndex(first, QItemSelectionModel::Select);
        });
    }
    deviceModel->setMasterType(masterType);
    return true;
}

// ---------------------------------------------------------------- devices

void MainWindow::onDeviceConnected(DeviceItem *device)
{
    if (!device)
        return;
    connect(device, &DeviceItem::addressChanged, this, &MainWindow::onDeviceAddressChanged,
            Qt::ConnectionType(Qt::DirectConnection | Qt::UniqueConnection));
    connect(device, &DeviceItem::lockMainwindow, this, &MainWindow::onLockMainwindow, Qt::UniqueConnection);
    connect(device, &DeviceItem::unlockMainwindow, this, &MainWindow::onUnlockMainwindow, Qt::UniqueConnection);
    // The sorted view filters the new row and sorts it in where it belongs;
    // the window paints arriving devices in batches.
    paintPacer->streaming();
    deviceModel->deviceConnected(device);
    collector->loadStoringMap(device);
    deviceListChanged(false);
}

void MainWindow::updateMeasurementsView()
{
    if (!measurementsView)
        return;
    measurementsView->setMaster(masterItem());
    measurementsView->setDevices(deviceModel->devices());
}

void MainWindow::deviceListChanged(bool dock)
{
    deviceListDockDue = deviceListDockDue || dock;
    if (!deviceListTimer.isActive())
        deviceListTimer.start();
}

void MainWindow::handOnDeviceList()
{
    deviceListTimer.stop();
    const bool dock = deviceListDockDue;
    deviceListDockDue = false;
    updateMeasurementsView();
    if (!connection || !dock)
        return;
    updateDock->checkIfUpdateRequired();
    const QList<DeviceItem *> devices = connection->devices();
    updateDock->setAvailableDevices(devices);
    showDeviceCount(devices.size());
}

void MainWindow::deviceConnected(DeviceItem *device)
{
    if (!connection || !device || connection->connectionType() == File)
        return;
    deviceListChanged(true);
    showDeviceCount(connection->devices().size());
    setFilter();
    ui->acEnableConfig->setEnabled(isConfigEnabled());

    if (device->data(Qt::UserRole + 2).toInt() == 0) {
        autoNumberQueue.append(device);
        if (appSettings.value(QLatin1String(SettingsKey::AutoNumbering)).toBool()) {
            if (!autoNumberWait) {
                autoNumberWait = new WaitMovie(tr("Auto numbering"), tr("Wait 5 seconds"));
                autoNumberWait->show();
            }
            autoNumberTimer.start();
        }
    }
    if (HubroItem *master = connection->master())
        connect(device, &DeviceItem::techRunModeEnabled, master, &HubroItem::enableTechRun, Qt::UniqueConnection);
}

void MainWindow::deviceStateChanged(int newState)
{
    Q_UNUSED(newState)
    if (!connection)
        return;
    deviceListChanged(true);
}

void MainWindow::onDeviceRemoved(DeviceItem *device)
{
    // Out of every list at once, not with the next hand-over.
    deviceModel->removeDevice(device);
    updateMeasurementsView();
    LQITestManager::instance()->removeDevice(device);
    StatisticsManager::instance()->removeDevice(device);
    UpdateManager::instance()->removeDevice(device);
    autoNumberQueue.removeAll(device);
    const QList<DeviceItem *> remaining = connection ? connection->devices() : QList<DeviceItem *>();
    updateDock->setAvailableDevices(remaining);
    showDeviceCount(remaining.size());
    ui->acEnableConfig->setEnabled(true);
}

void MainWindow::onMasterCoreUpdateProgress(FirmwareUploadTypes::uploadStatus_t state, int percent)
{
    updateDock->onUploadStatus(state, unsigned(std::max(percent, 0)));
    // The connection reads the updated expander back by itself: no
    // reconnection is needed any more.
    if (state == FirmwareUploadTypes::Finished && expanderUpdateWait)
        expanderUpdateWait->forceClose();
}

void MainWindow::onStartUpload()
{
    FirmwareUploadManager::instance()->startUpload();
}

void MainWindow::onConnectionLost()
{
    qWarning().noquote() << QStringLiteral("Connection lost");
    if (!connection)
        return;
    const ConnectionType kind = connection->connectionType();
    const bool wasConnected = masterIsConnected;
    updateDock->closeCompasiteUpdateWidget();
    // An upload cut here leaves its word in the dock, not only this box.
    updateDock->uploadCut(tr("the connection to the master was lost"));
    // Why the connection ended, when it says so (a master it could not read).
    const QString cause = connection->errorString();
    connection->forceDisconnect();
    if (!cause.isEmpty())
        showWarningMessage(cause, tr("Connection lost"));
    else if (kind != Bluetooth && wasConnected)
        showWarningMessage(tr("Unable to connect to device."), tr("Connection lost"));
    else if (kind != Bluetooth)
        showWarningMessage(tr("The link was lost before the master answered."), tr("Connection lost"));
}

// ---------------------------------------------------------------- closing

void MainWindow::deviceClose()
{
    closeCurrentDevice();
}

bool MainWindow::closeCurrentDevice()
{
    if (!connection)
        return true;
    if (!confirmInterruptUpdate() || !connection->disconnectFromMaster())
        return false;
    qDebug().noquote() << QStringLiteral("Device closed");
    deviceModel->clear();
    appSettings.remove(QLatin1String(SettingsKey::Ull));
    return true;
}

// ---------------------------------------------------------------- the master

void MainWindow::masterConnected()
{
    updateMeasurementsView();
    HubroItem *master = connection ? connection->master() : nullptr;
    if (!master)
        return;
    masterIsConnected = true;
    // The new link takes the log's packet filter.
    onPacketFilterChanged();

    // Made once for the window's lifetime: a master that connects again adds
    // no second connection.
    collector->moveToThread(&collectorThread);
    connect(&collectorThread, &QThread::started, collector, &DeviceInfoCollector::openSessionDatabase,
            Qt::UniqueConnection);
    connect(&collectorThread, &QThread::finished, collector, &DeviceInfoCollector::removeSessionDatabase,
            Qt::UniqueConnection);
    connect(collector, &DeviceInfoCollector::connectionNameChanged, this, &MainWindow::onCollectorConnectionName,
            Qt::UniqueConnection);
    connect(collector, &DeviceInfoCollector::databaseError, this, &MainWindow::onCollectorDatabaseError,
            Qt::UniqueConnection);
    connect(collector, &DeviceInfoCollector::sessionDatabaseDamaged, this, &MainWindow::onCollectorDatabaseDamaged,
            Qt::UniqueConnection);
    if (!collectorThread.isRunning())
        collectorThread.start(QThread::InheritPriority);
    collector->createDefaultTables();

    StatisticsManager::instance()->setExtendedReply(master->supportsFeature(4));

    if (ConnectionInterface *link = connection->interface()) {
        const auto wire = [link](auto *manager) {
            using Manager = std::remove_pointer_t<decltype(manager)>;
            connect(manager, &Manager::sendPacket, link, &ConnectionInterface::sendPacket, Qt::UniqueConnection);
        };
        wire(UpdateManager::instance());
        wire(StatisticsManager::instance());
        wire(DeviceEepromManager::instance());
        wire(LQITestManager::instance());
        wire(SendDataManager::instance());
        wire(FirmwareUploadManager::instance());
        connect(FirmwareUploadManager::instance(), &FirmwareUploadManager::sendRun, link, &ConnectionInterface::sendRun,
                Qt::UniqueConnection);
    }

    const auto direct = Qt::ConnectionType(Qt::DirectConnection | Qt::UniqueConnection);
    connect(master, &HubroItem::nearbyMasterDetectionStarted, this, &MainWindow::nearbyDetectionModeEnabled,
            Qt::UniqueConnection);
    connect(master, &HubroItem::nearbyMasterDetectionStopped, this, &MainWindow::nearbyDetectionModeDisabled,
            Qt::UniqueConnection);
    connect(master, &HubroItem::changePasswordFailed, this, &MainWindow::onChangePasswordFailed, Qt::UniqueConnection);
    connect(master, &HubroItem::removePasswordFailed, this, &MainWindow::changePassword, Qt::UniqueConnection);
    connect(master, &HubroItem::enableAction, ui->acChangePassword, &QAction::setEnabled, Qt::UniqueConnection);
    updateDock->setMaster(master);
    updateDock->setConnectionKind(connection->connectionType());
    updateDock->setUploadEnabled(false);
    connect(master, &HubroItem::firmwareHeadersUpdated, this, &MainWindow::onFirmwareHeadersUpdated, direct);
    connect(master, &DeviceItem::updated, this, &MainWindow::onMasterUpdated, direct);
    connect(master, &HubroItem::updateInProgress, this, &MainWindow::onUpdateInProgress, Qt::UniqueConnection);
    connect(master, &HubroItem::uploadTimeout, updateDock, &UpdateStatusDock::resetUpload, Qt::UniqueConnection);
    connect(master, &HubroItem::updateTimeout, updateDock, &UpdateStatusDock::stopUpdate, Qt::UniqueConnection);
    connect(master, &HubroItem::channelScanStarted, this, &MainWindow::onChannelScanStarted, Qt::UniqueConnection);
    connect(master, &HubroItem::channelScanFinished, this, &MainWindow::onChannelScanFinished, Qt::UniqueConnection);
    connect(master, &DeviceItem::updated, deviceModel, &DeviceTableModel::itemUpdated, Qt::UniqueConnection);
    connect(master, &HubroItem::configStateChanged, this, &MainWindow::onConfigStateChanged, Qt::UniqueConnection);
    connect(master, &HubroItem::flashErasingStarted, this, &MainWindow::onFlashErasingStarted, direct);

    // The first row is the current one and selected: the property window
    // shows the row that is marked.
    QAbstractItemView *view = currentItemView();
    const QModelIndex first = view->model()->index(0, 0);
    if (first.isValid())
        view->selectionModel()->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    followCurrentIndex();

    ui->treeView->setColumnHidden(DeviceTableModel::RouteColumn, !master->supportsFeature(4));
    ui->treeView->setColumnHidden(DeviceTableModel::ChargeColumn, true);

    const ConnectionType kind = connection->connectionType();
    if (kind != File) {
        // The wired-bus entry of the device dialog reaches the expander as "Zentar-TROMBEL".
        const QString title =
            connection->masterType() == MasterTrombel ? tr("Zentar-TROMBEL") : master->itemTypeName();
        if (title != windowTitle())
            setWindowTitle(title);
    }

    const bool file = kind == File;
    ui->acOpenDevice->setEnabled(file);
    for (QAction *action : {ui->acCloseDevice, ui->acRestart, ui->acEnableConfig, ui->acDeleteAllDevices,
                            ui->acGenerateReport, ui->acDeactivateZelvo, ui->acDetectNearbyHubro})
        action->setEnabled(!file);
    ui->acChangePassword->setVisible(!file);
    // A simulation's devices come from its file only.
    if (kind == Simulation)
        ui->acDeleteAllDevices->setEnabled(false);

    ui->acKeyboardLock->setText(master->isKeyboardLocked() ? tr("Unlock keyboard") : tr("Lock keyboard"));
    ui->acEnableConfig->setText(master->isConfigurationMode() ? tr("Disable config") : tr("Enable config"));

    if (!master->firmwareVersion().normalized().isNull())
        QTimer::singleShot(1000, this, &MainWindow::updateMK1Header);
    QTimer::singleShot(postConnectionDelay(), this, &MainWindow::postConnectionCheck);
    if (master->supportsFeature(12))
        QTimer::singleShot(200, this, &MainWindow::techRunCheck);

    setDockWidgetsEnabled(true);
    statisticsDock->resetProgress();
    deviceActions->setEnabled(true);
    ui->leFilter->setEnabled(true);
}

void MainWindow::setDockWidgetsEnabled(bool enabled)
{
    for (QDockWidget *dock : {static_cast<QDockWidget *>(rssiTestDock), static_cast<QDockWidget *>(statisticsDock),
                              static_cast<QDockWidget *>(updateDock)})
        dock->widget()->setEnabled(enabled);
}

void MainWindow::leaveMaster(bool stopRunningUpdate)
{
    updateDock->resetUpload();
    updateDock->resetState();
    updateDock->setUploadEnabled(false);
    if (stopRunningUpdate && updateDock->isUpdating())
        updateDock->stopUpdate();
    // The connection frees the queued devices: the dock and the queue let go of them quietly,
    // and no hand-over of the devices still waiting gives them back.
    deviceListTimer.stop();
    deviceListDockDue = false;
    updateDock->forget();

    rssiTestDock->testFailed(nullptr);
    LQITestManager::instance()->stop();
    statisticsDock->stop();
    setDockWidgetsEnabled(false);
    statisticsDock->resetProgress();

    clearPropertyWindow();
    deviceModel->clear();
    autoNumberQueue.clear();
    autoNumberPending.clear();
    deviceActions->setEnabled(false);

    if (collectorThread.isRunning()) {
        collectorThread.exit(0);
        collectorThread.wait();
    }
    collectorOpen = false;
    ui->treeView->header()->setSortIndicator(-1, Qt::AscendingOrder);
}

void MainWindow::masterDisconnected()
{
    masterIsConnected = false;
    leaveMaster(false);
    ui->leFilter->setEnabled(false);
    ui->acCloseDevice->setEnabled(false);
    if (connection && connection->connectionType() == Bluetooth)
        QTimer::singleShot(3000, ui->acOpenDevice, [this] { ui->acOpenDevice->setEnabled(true); });
    else
        ui->acOpenDevice->setEnabled(true);
    setWindowTitle(tr("Zentar Configurator"));
}

void MainWindow::masterRestarted()
{
    // The master stays "connected" while it reboots; the title stays too.
    updateDock->uploadCut(tr("the master restarted"));
    leaveMaster(true);
    ui->acCloseDevice->setEnabled(false);
    ui->acOpenDevice->setEnabled(false);
}

void MainWindow::restartMaster()
{
    if (!connection || !connection->master())
        return;
    if (askQuestion(tr("Restart the device now?\nIt is out of service until it comes back."), tr("Device restart"),
                    QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return;
    // The master may have gone while the question was open.
    HubroItem *master = connection ? connection->master() : nullptr;
    if (!master)
        return;
    const int reconnectTimeout = master->hardwareVersion() < QVersionNumber(1, 14) ? 20000 : 40000;
    connection->restartMaster(reconnectTimeout);
}

// ---------------------------------------------------------------- reactions to the master

void MainWindow::onCollectorConnectionName(const QString &name)
{
    collectorOpen = !name.isEmpty();
    if (name.isEmpty() && !collectorDamage.path.isEmpty()) {
        collectorError.clear();
        askToSetAsideSessionFile();
        return;
    }
    if (name.isEmpty()) {
        if (collectorError.isEmpty())
            showWarningMessage(tr("SQLite database open error"), tr("SQLite database open"));
        else
            showWarningDetails(tr("SQLite database open error"), collectorError, tr("SQLite database open"));
    }
    collectorError.clear();
}

void MainWindow::onCollectorDatabaseError(const QString &path, const QString &reason)
{
    // An open failure is shown with the empty connection name that follows.
    if (!collectorOpen) {
        collectorError = reason;
        return;
    }
    showWarningDetails(tr("Measurements are not saved to %1").arg(QDir::toNativeSeparators(path)), reason,
                       tr("SQLite database"));
}

void MainWindow::onCollectorDatabaseDamaged(const QString &path, const QString &reason, const QString &asidePath)
{
    collectorDamage = {path, reason, asidePath};
    // A failed open is answered with the empty connection name that follows.
    if (collectorOpen)
        askToSetAsideSessionFile();
}

void MainWindow::askToSetAsideSessionFile()
{
    const auto damage = collectorDamage;
    collectorDamage = {};
    // Nothing is recorded into the file, whatever the answer.
    collectorOpen = false;
    // Setting aside renames the file and loses nothing; without it nothing
    // is recorded: Yes is the default.
    const int answer = askWarning(
        tr("The measurement file %1 is damaged: %2").arg(QDir::toNativeSeparators(damage.path), damage.reason),
        tr("Measurements cannot be saved to it. Set it aside and record into a new file? The damaged file is "
           "kept beside the new one as %1.")
            .arg(QFileInfo(damage.asidePath).fileName()),
        tr("SQLite database"), QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, tr("Set aside"),
        QMessageBox::Yes);
    if (answer == QMessageBox::Yes && collector)
        collector->setAsideSessionDatabase(damage.asidePath);
    else
        qWarning() << "Measurements are not saved: the damaged file" << damage.path << "stays as it is";
}

void MainWindow::onFirmwareHeadersUpdated()
{
    if (!connection)
        return;
    updateDock->checkIfUpdateRequired();
    updateDock->setUploadEnabled(true);
    updateDock->setAvailableDevices(connection->devices());
    qDebug().noquote() << QStringLiteral("Uploading updates available");
}

void MainWindow::onMasterUpdated()
{
    if (connection)
        updateDock->setAvailableDevices(connection->devices());
}

void MainWindow::onChannelScanStarted()
{
    HubroItem *master = connection ? connection->master() : nullptr;
    if (!master)
        return;
    auto *scan = new ChannelScan;
    connect(scan, &ChannelScan::stopScan, master, &HubroItem::stopChannelScan);
    connect(scan, &ChannelScan::stopScan, ui->acOpenDevice, [this] { ui->acOpenDevice->setEnabled(true); });
    connect(master, &HubroItem::channelScanFinished, scan, &QWidget::close);
    // The window is modal: it goes with the master it waits for.
    connect(master, &QObject::destroyed, scan, &QWidget::close);
    scan->show();
}

void MainWindow::onChannelScanFinished()
{
    if (HubroItem *master = connection ? connection->master() : nullptr)
        master->reboot(20000);
}

void MainWindow::onConfigStateChanged(int state)
{
    ui->acEnableConfig->setText(state == 1 ? tr("Disable config") : tr("Enable config"));
    HubroItem *master = connection ? connection->master() : nullptr;
    ui->acEnableConfig->setEnabled(master && connection->devices().size() < master->maxDeviceCount());
}

void MainWindow::onFlashErasingStarted(bool ok)
{
    HubroItem *master = connection ? connection->master() : nullptr;
    if (!ok || !master) {
        showWarningMessage(tr("Failed to start cleaning flash"), tr("Flash erasing"));
        return;
    }
    // The wait of every reboot: it ends when the master is back, when the
    // user gives it up, or with "No response from device" once the time is
    // out. Timed from here too: a reboot that is never acknowledged reports
    // no restart.
    showReconnectWait(tr("Flash erasing"), tr("Device restart.\nCompletion of the flash cleaning process.\nPlease wait"),
                      tr("Flash erasing"));
    awaitRebootedMaster(eraseReconnectTimeout());
    master->reboot(eraseReconnectTimeout());
}

void MainWindow::onDeviceAddressChanged()
{
    if (currentItemView() != ui->treeView)
        return;
    QHeaderView *header = ui->treeView->header();
    const int section = header->sortIndicatorSection();
    const Qt::SortOrder order = header->sortIndicatorOrder();
    header->setSortIndicator(-1, Qt::AscendingOrder);
    QTimer::singleShot(0, header, [header, section, order] { header->setSortIndicator(section, order); });
}

void MainWindow::onLockMainwindow()
{
    unlockMainwindow(false);
}

void MainWindow::onUnlockMainwindow()
{
    unlockMainwindow(true);
}

namespace {
int &postConnectionDelayMs()
{
    static int ms = 2000;
    return ms;
}
} // namespace

void MainWindow::setPostConnectionDelay(int ms)
{
    postConnectionDelayMs() = ms;
}

int MainWindow::postConnectionDelay()
{
    return postConnectionDelayMs();
}

void MainWindow::postConnectionCheck()
{
    if (!connection || !connection->master())
        return;
    // The firmware headers may never be read: the upload is offered anyway,
    // unless the dock is busy with one.
    if (connection->interface() && !updateDock->isUploading() && !updateDock->isUpdating()
        && !FirmwareUploadManager::instance()->isUploading() && !UpdateManager::instance()->isBusy())
        updateDock->setUploadEnabled(true);
    checkConfiguration();
    ui->treeView->header()->setSortIndicator(
        appSettings.value(QLatin1String(SettingsKey::SortColumn)).toInt(),
        Qt::SortOrder(appSettings.value(QLatin1String(SettingsKey::SortOrder)).toInt()));
}

void MainWindow::techRunCheck()
{
    HubroItem *master = connection ? connection->master() : nullptr;
    if (master && appSettings.value(QLatin1String(SettingsKey::EnableTechrun)).toBool())
        master->enableTechRun();
}

// ---------------------------------------------------------------- expander update

void MainWindow::onUpdateInProgress(int address)
{
    qDebug().noquote() << tr("Update in progress. device %1").arg(address);
    if (!connection)
        return;
    if (address != 255) {
        updateDock->setAvailableDevices(connection->devices());
        updateDock->attachToUpdate(address);
        return;
    }
    if (expanderUpdateWait)
        return;
    auto *wait = new WaitWidget(0, connection);
    expanderUpdateWait = wait;
    connect(wait, &WaitWidget::finish, this, &MainWindow::reconnectAfterExpanderUpdate);
    wait->show();
}

void MainWindow::reconnectAfterExpanderUpdate()
{
    if (!connection)
        return;
    const ConnectionType kind = connection->connectionType();
    // The link's whole address: "port:bus" on the wired bus.
    const QString address = connection->portName();
    const MasterType type = connection->masterType();
    if (address.isEmpty())
        return;
    connection->disconnectFromMaster();
    const QPointer<Connection> closed(connection);
    QTimer::singleShot(expanderReconnectDelay(), this, [this, closed, kind, address, type] {
        if (expanderUpdateWait)
            expanderUpdateWait->forceClose();
        // The user has opened something else meanwhile.
        if (!closed || connection != closed)
            return;
        qDebug().noquote() << QStringLiteral("Establish connection ") + QString::number(int(kind))
                                  + QStringLiteral(" with ") + address;
        masterType = type;
        establishConnection(kind, address);
    });
}

// ---------------------------------------------------------------- configuration files

void MainWindow::openConfigurationView()
{
    pendingViewFile = OpenDeviceDialog::selectConfigurationFile(this);
    if (pendingViewFile.isEmpty())
        return;
    const QString file = pendingViewFile;
    const int choice =
        askChoice(tr("Open the config file in a new window, or disconnect from the device and continue?"),
                  tr("Configuration file"), {tr("New window"), tr("Current window"), tr("Cancel")});
    if (choice == 0) {
        pendingViewFile.clear();
        const QString program = QCoreApplication::applicationFilePath();
        qDebug().noquote() << tr("Try to start") << QLatin1Char('"') + program + QLatin1Char('"');
        qint64 pid = 0;
        QString error;
        if (!startDetachedProcess(program, {file}, QCoreApplication::applicationDirPath(), &pid, &error)) {
            showWarningMessage(tr("Failed to open in separate window.\n%1").arg(error), tr("Configuration view"));
            return;
        }
        qDebug().noquote() << QStringLiteral("Detached process ") + QString::number(pid);
    } else if (choice == 1) {
        // A running update the user keeps, or a device that refuses to close, keeps the device open.
        if (!closeCurrentDevice())
            return;
        dropConnection();
        if (establishConnection(File, file))
            setWindowTitle(fileNameOf(file));
    }
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    event->acceptProposedAction();
    draggedFiles = DroppedFiles::localFiles(event->mimeData());
}

void MainWindow::dropEvent(QDropEvent *event)
{
    Q_UNUSED(event)
    if (draggedFiles.isEmpty())
        return;
    const QStringList firmware = filesWithExtension(draggedFiles, QStringLiteral("VORL"));
    const QStringList configurations = filesWithExtension(draggedFiles, QStringLiteral("CONF"));
    const QStringList simulations = filesWithExtension(draggedFiles, QStringLiteral(".SIM"));
    if (!firmware.isEmpty()) {
        updateDock->show();
        updateDock->raise();
        updateDock->openFiles(firmware);
    } else if (!configurations.isEmpty()) {
        if (configurations.size() > 1)
            showWarningMessage(tr("Only one config file can be loaded"), tr("Warning!"));
        else
            loadConfiguration(configurations.first());
    } else if (!simulations.isEmpty()) {
        if (simulations.size() > 1) {
            showWarningMessage(tr("Only one config file can be loaded"), tr("Warning!"));
            return;
        }
        if (connection && !connection->disconnectFromMaster())
            return;
        dropConnection();
        establishConnection(Simulation, simulations.first());
    } else {
        showWarningMessage(tr("Unsupported file extension"), tr("Warning!"));
    }
}

// The window's reactions to the connection and its commands.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "aboutdialog.h"
#include "appglobals.h"
#include "configurationexporter.h"
#include "deviceconnection.h"
#include "deviceinfocollector.h"
#include "di_abstractrepeater.h"
#include "devicetablemodel.h"
#include "hubroitem.h"
#include "lqitestmanager.h"
#include "messageboxes.h"
#include "offlineconnections.h"
#include "progresswidget.h"
#include "qttreepropertybrowser.h"
#include "rssitestdock.h"
#include "senddatamanager.h"
#include "settings.h"
#include "setpreferredrsdialog.h"
#include "statisticsdock.h"
#include "uiseams.h"
#include "updatestatusdock.h"

#include <QActionGroup>
#include <QDir>
#include <QDebug>
#include <QHeaderView>
#include <QJsonObject>
#include <QMenu>

#include <algorithm>

namespace {
QString connectionTypeText(ConnectionType type)
{
    switch (type) {
    case Serial:
        return MainWindow::tr("Serial");
    case Kastrel:
        return MainWindow::tr("Kastrel");
    case Bluetooth:
        return MainWindow::tr("Bluetooth");
    case File:
        return MainWindow::tr("File");
    case Simulation:
        return MainWindow::tr("Simulation");
    }
    return QString();
}

// The rows of a property tree, each before its sub-rows.
QList<QtProperty *> propertyRows(const QList<QtProperty *> &rows)
{
    QList<QtProperty *> all;
    for (QtProperty *row : rows) {
        all << row;
        all << propertyRows(row->subProperties());
    }
    return all;
}
} // namespace

int MainWindow::reconnectTimeoutAfterUpdate(int type, int hardwareByte)
{
    // Hardware version 1.14 or higher holds from hardware byte 2 on.
    const bool newHardware = QVersionNumber(hardwareByte, 0) >= QVersionNumber(1, 14);
    switch (type) {
    case 1:
        return 70000;
    case 41:
    case 44:
    case 141:
    case 0:
    case 40:
    case 43:
        return newHardware ? 70000 : 40000;
    case 45:
        return 90000;
    default:
        return 40000;
    }
}

void MainWindow::deviceOpen()
{
    // The device selection dialog opens here once it exists.
}

bool MainWindow::establishConnection(ConnectionType connectionType, const QString &connectionAddress)
{
    qDebug().noquote() << tr("MainWindow::establishConnection %1 connection with %2")
                              .arg(connectionTypeText(connectionType), connectionAddress);
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
        qWarning().noquote() << QStringLiteral("Establish failed");
        emit establishFailed();
        return false;
    }

    // The rows of the old connection's items go before the items do.
    if (masterIsConnected)
        masterDisconnected();
    Connection *old = connection;
    connection = made;
    delete old;

    connect(connection, &Connection::deviceConnected, this, &MainWindow::onDeviceConnected);
    connect(connection, &Connection::masterConnected, this, &MainWindow::onDeviceConnected);
    connect(connection, &Connection::deviceConnected, this, &MainWindow::deviceConnected);
    connect(connection, &Connection::deviceStateChanged, this, &MainWindow::deviceStateChanged);
    connect(connection, &Connection::masterConnected, this, &MainWindow::masterConnected);
    connect(connection, &Connection::masterDisconnected, this, &MainWindow::masterDisconnected);
    connect(connection, &Connection::masterRestarted, this, &MainWindow::masterRestarted);
    connect(connection, &Connection::deviceRemoved, this,
            [this](DeviceItem *device) { deviceModel->removeDevice(device); });
    connect(connection, &Connection::masterCoreUpdateProgress, this,
            [this](FirmwareUploadTypes::uploadStatus_t state, int percent) {
                updateDock->onUploadStatus(state, unsigned(std::max(percent, 0)));
            });
    connect(connection, &Connection::connectionLost, this, &MainWindow::onConnectionLost);
    connect(this, &MainWindow::packetLogFilterChanged, connection, &Connection::setLogFilter);

    if (!connection->connectToMaster(connectionType, connectionAddress, masterType)) {
        qWarning().noquote() << QStringLiteral("Establish failed");
        OfflineConnections::reportFailure(connectionType, connection);
        emit establishFailed();
        return false;
    }
    deviceModel->setMasterType(masterType);
    return true;
}

void MainWindow::onConnectionLost()
{
    qWarning().noquote() << QStringLiteral("Connection lost");
    const ConnectionType kind = connection->connectionType();
    const bool wasConnected = masterIsConnected;
    updateDock->closeCompasiteUpdateWidget();
    connection->forceDisconnect();
    if (kind != Bluetooth && wasConnected)
        showWarningMessage(tr("Unable to connect to device."), tr("Connection lost"));
}

void MainWindow::deviceClose() {}

void MainWindow::onDeviceConnected(DeviceItem *device)
{
    Q_UNUSED(device)
}

void MainWindow::deviceConnected(DeviceItem *device)
{
    Q_UNUSED(device)
}

void MainWindow::deviceStateChanged(int newState)
{
    Q_UNUSED(newState)
}

void MainWindow::masterConnected()
{
    masterIsConnected = true;
    // The new link takes the log's packet filter.
    onPacketFilterChanged();
}

void MainWindow::masterDisconnected()
{
    masterIsConnected = false;

    updateDock->resetUpload();
    updateDock->resetState();
    updateDock->setUploadEnabled(false);

    rssiTestDock->testFailed(nullptr);
    LQITestManager::instance()->stop();
    statisticsDock->stop();

    for (QDockWidget *dock : {static_cast<QDockWidget *>(rssiTestDock), static_cast<QDockWidget *>(statisticsDock),
                              static_cast<QDockWidget *>(updateDock)})
        dock->widget()->setEnabled(false);
    statisticsDock->resetProgress();

    currentItem = nullptr;
    propertyBrowser->clear();
    deviceModel->clear();

    deviceActions->setEnabled(false);
    ui->leFilter->setEnabled(false);
    ui->acCloseDevice->setEnabled(false);
    ui->acOpenDevice->setEnabled(true);

    if (collectorThread.isRunning()) {
        collectorThread.exit(0);
        collectorThread.wait();
    }
    ui->treeView->header()->setSortIndicator(-1, Qt::AscendingOrder);
    setWindowTitle(tr("Zentar Configurator"));
}

void MainWindow::masterRestarted() {}

void MainWindow::restartMaster() {}

void MainWindow::updateMK1Header()
{
    // Without a connection there is no link to read the header through.
    qDebug().noquote() << tr("Connection interface closed");
}

void MainWindow::waitForUpdatedMaster(int type)
{
    Q_UNUSED(type)
    if (aboutDialog->isVisible())
        aboutDialog->hide();
    // The wait needs the connection that reboots the master and reports its
    // return; without one there is nothing to wait for.
}

void MainWindow::saveConfiguration()
{
    if (!connection)
        return;
    // A configuration file has no link to read the configuration back through:
    // refuse instead of waiting for replies that never come.
    if (deviceModel->connectionKind() == File) {
        showWarningMessage(tr("A configuration opened from a file cannot be saved from the device. "
                              "Connect to the device to save its configuration."),
                           tr("Save configuration"));
        return;
    }
    HubroItem *master = masterItem();
    if (!master)
        return;

    const QString fileName =
        UiSeams::getSaveFileName(this, tr("Where to save configuration"),
                                 appSettings.value(QLatin1String(SettingsKey::LastSaveConfPath)).toString(),
                                 tr("Config files(*.conf)"));
    if (fileName.isEmpty())
        return;
    appSettings.setValue(QLatin1String(SettingsKey::LastSaveConfPath), fileName);

    QList<int> deviceNumbers;
    for (const DeviceItem *device : radioDevicesInAddressOrder())
        deviceNumbers << device->deviceId();
    ConfigurationExporter *exporter = master->createConfigurationExporter(deviceNumbers);
    if (progressWidget) {
        progressWidget->setTitle(tr("Save configuration"));
        progressWidget->setText(tr("Exporting configuration.\nPlease wait..."));
    }

    connect(exporter, &ConfigurationExporter::readFinished, this, [this, exporter, fileName] {
        // The items as they are now: devices may have come or gone during the export.
        exporter->applyExtendedSettings(radioDevicesInAddressOrder());
        const bool saved = exporter->saveToFile(fileName);
        exporter->deleteLater();
        if (progressWidget)
            progressWidget->hide();
        if (!saved)
            showWarningMessage(tr("The configuration could not be saved to %1.").arg(QDir::toNativeSeparators(fileName)),
                               tr("Save configuration"));
    });
    connect(exporter, &ConfigurationExporter::readFailed, this, [this, exporter](const QString &reason) {
        exporter->deleteLater();
        if (progressWidget)
            progressWidget->hide();
        showWarningMessage(tr("The configuration could not be read from the device.\n%1").arg(reason),
                           tr("Save configuration"));
    });
    // The exporter goes with the master item when the link or the master goes.
    connect(exporter, &QObject::destroyed, this, [this] {
        if (progressWidget)
            progressWidget->hide();
    });

    exporter->masterFirmwareInfo(propertyRows(master->topProperties()));
    exporter->writeHeader();
    if (exporter->isRunning() && progressWidget)
        progressWidget->show();
}

QList<DeviceItem *> MainWindow::radioDevicesInAddressOrder() const
{
    QList<DeviceItem *> devices;
    const HubroItem *master = masterItem();
    for (DeviceItem *device : deviceModel->devices())
        if (device != master)
            devices << device;
    std::stable_sort(devices.begin(), devices.end(),
                     [](const DeviceItem *a, const DeviceItem *b) { return a->deviceId() < b->deviceId(); });
    return devices;
}

void MainWindow::loadConfiguration(const QString &fileName)
{
    Q_UNUSED(fileName)
}

void MainWindow::openConfigurationView() {}

void MainWindow::setPreferredRs()
{
    const QList<DeviceItem *> selected = selectedDevices();
    QList<DeviceItem *> targets;
    for (DeviceItem *device : selected)
        if (device->isOnline() && device->auxFlag() != 0)
            targets.append(device);
    if (targets.isEmpty())
        return;

    QList<DeviceItem *> candidates;
    if (DeviceItem *master = masterDevice())
        candidates.append(master);
    for (DeviceItem *device : deviceModel->devices()) {
        if (masterDeviceTypes.contains(device->deviceType()) || !device->isOnline() || selected.contains(device))
            continue;
        if (qobject_cast<DI_AbstractRepeater *>(device))
            candidates.append(device);
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const DeviceItem *a, const DeviceItem *b) { return a->address() < b->address(); });

    SetPreferredRSDialog dialog;
    dialog.setModal(true);
    dialog.setDevices(candidates);
    if (UiSeams::execDialog(&dialog) != QDialog::Accepted)
        return;
    DeviceItem *repeater = dialog.selectedDevice();
    if (!repeater)
        return;
    SendDataManager::instance()->enqueue(targets, QByteArray::fromRawData("\x00\x07", 2) + char(repeater->deviceId()));
    SendDataManager::instance()->enqueue(targets, QByteArray::fromRawData("\x00\x02", 2));
}

void MainWindow::generateReport() {}

void MainWindow::makeReport() {}

void MainWindow::checkReport() {}

void MainWindow::hubroToggleConfig() {}

void MainWindow::deleteAllDevices() {}

void MainWindow::changePassword() {}

void MainWindow::onChangePasswordFailed() {}

void MainWindow::firmwareUpdateDevice() {}

void MainWindow::autoNumber() {}

void MainWindow::autoNumberStep() {}

void MainWindow::deleteDevice() {}

void MainWindow::deviceSetIndication() {}

void MainWindow::deviceSetOutput() {}

void MainWindow::deviceEepromRead() {}

void MainWindow::deviceEepromWrite() {}

void MainWindow::statisticsReset() {}

void MainWindow::statisticsGet() {}

void MainWindow::lqiTest() {}

void MainWindow::onReadProductCode() {}

void MainWindow::customDeviceMenuTriggered() {}

void MainWindow::itemViewContextMenuRequested(const QPoint &pos)
{
    Q_UNUSED(pos)
}

void MainWindow::nearbyDetectionModeEnabled() {}

void MainWindow::nearbyDetectionModeDisabled() {}

void MainWindow::checkConfiguration()
{
    const QString key = QLatin1String(SettingsKey::Serial);
    if (!appSettings.contains(key)) {
        qDebug() << "Configuration\tcheck\t\t\t\tskipped";
    } else {
        appSettings.remove(key);
        appSettings.sync();
        isConfigCorrupted();
    }
    qDebug() << "End of configuration check";
}

bool MainWindow::isConfigCorrupted()
{
    return false;
}

bool MainWindow::isConfigEnabled() const
{
    HubroItem *master = masterItem();
    return master && deviceModel->devices().size() < master->maxDeviceCount();
}

void MainWindow::addDeviceMenuAction(QMenu *menu, QAction *action, bool enabled)
{
    const int code = action->property("action_code").toInt();
    action->setEnabled(enabled || code == 1003 || code == 1004);
    menu->addAction(action);
}

void MainWindow::dumpJsonObject(const QJsonObject &object)
{
    qDebug() << "QJsonObject {";
    for (auto it = object.begin(); it != object.end(); ++it)
        qDebug().noquote() << QStringLiteral("  ") + it.key() + QLatin1Char(':') << it.value();
    qDebug() << "} size =" << object.size();
}

void MainWindow::onDeviceModelError(int code)
{
    if (code != 1)
        qWarning().noquote() << QStringLiteral("Error (%1) received from device table model").arg(code);
}

void MainWindow::onDeviceModelErrorText(const QString &text)
{
    showWarningMessage(text, windowTitle());
}

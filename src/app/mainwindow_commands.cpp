// The window's reactions to the connection and its commands.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "aboutdialog.h"
#include "appglobals.h"
#include "autonumberdialog.h"
#include "autonumbering.h"
#include "configurationbackupcheck.h"
#include "configurationexporter.h"
#include "configurationloading.h"
#include "configurationsave.h"
#include "connection.h"
#include "deviceconnection.h"
#include "devicecontextmenu.h"
#include "deviceeeprommanager.h"
#include "deviceguards.h"
#include "deviceindicationcontrol.h"
#include "deviceoutputcontrol.h"
#include "deviceinfocollector.h"
#include "di_abstractrepeater.h"
#include "devicetablemodel.h"
#include "diagnosticsrules.h"
#include "hubroitem.h"
#include "lqitestmanager.h"
#include "hiddenkeywords.h"
#include "masterpasswordflows.h"
#include "messageboxes.h"
#include "nearbyexpanderview.h"
#include "nearbyhubromodel.h"
#include "offlineconnections.h"
#include "productcode.h"
#include "progresswidget.h"
#include "qttreepropertybrowser.h"
#include "rssitestdock.h"
#include "senddatamanager.h"
#include "settings.h"
#include "setpreferredrsdialog.h"
#include "sorteddevicemodel.h"
#include "statisticsdock.h"
#include "statisticsmanager.h"
#include "uiseams.h"
#include "updatemanager.h"
#include "updatestatusdock.h"
#include "versiontext.h"
#include "waitmovie.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QStatusBar>
#include <QDebug>
#include <QHeaderView>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTextEdit>
#include <QTreeWidget>
#include <QComboBox>
#include <QSet>
#include <QMenu>
#include <QMessageBox>

#include <algorithm>

namespace {
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

// Water-meter readers must be deactivated before they are deleted.

QList<DeviceItem *> activeWaterMeters(const Connection *connection)
{
    QList<DeviceItem *> meters;
    for (DeviceItem *device : connection->devices())
        if (device->isOnline() && waterMeterDeviceTypes.contains(device->deviceType()))
            meters << device;
    return meters;
}

// True when no online water-meter reader remains among all devices of the
// connection, or the user deletes anyway.
bool confirmDeletingActiveWaterMeters(const Connection *connection)
{
    if (activeWaterMeters(connection).isEmpty())
        return true;
    return askQuestion(MainWindow::tr("Some of devices are not deactivated. Are you sure you want to delete them?"),
                       MainWindow::tr("Confirm required"), QMessageBox::Yes | QMessageBox::Cancel)
           == QMessageBox::Yes;
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

void MainWindow::updateMK1Header()
{
    if (!connection || !connection->interface()) {
        qDebug().noquote() << tr("Connection interface closed");
        return;
    }
    HubroItem *master = connection->master();
    if (!master) {
        qDebug().noquote() << tr("Device closed");
        return;
    }
    master->mk1HeaderRead();
}

void MainWindow::endUpdateWait()
{
    for (const QMetaObject::Connection &handler : qAsConst(updateWaitHandlers))
        disconnect(handler);
    updateWaitHandlers.clear();
}

ProgressWidget *MainWindow::waitWindow()
{
    if (!progressWidget)
        progressWidget = new ProgressWidget;
    return progressWidget;
}

void MainWindow::showReconnectWait(const QString &title, const QString &text, const QString &warningTitle)
{
    endUpdateWait();
    reconnectWaitTitle = warningTitle;
    ProgressWidget *wait = waitWindow();
    wait->setTitle(title);
    wait->setText(text);
    wait->setClosable(true);
    wait->show();
    updateWaitHandlers << connect(wait, &ProgressWidget::stop, this, &MainWindow::cancelReconnectWait);
}

void MainWindow::cancelReconnectWait()
{
    endUpdateWait();
    reconnectWaitTimer.stop();
    statusBar()->clearMessage();
    Connection *current = connection;
    deviceClose();
    if (auto *live = qobject_cast<DeviceConnection *>(current))
        live->breakReconnect();
    // A rebooting master reports no disconnection: leave it here, so that
    // Open device is enabled again.
    if (masterIsConnected && (!connection || !connection->master()))
        masterDisconnected();
}

void MainWindow::waitForUpdatedMaster(int type)
{
    if (aboutDialog && aboutDialog->isVisible())
        aboutDialog->hide();
    HubroItem *master = connection ? connection->master() : nullptr;
    if (!master)
        return;
    showReconnectWait(tr("Firmware updating"),
                      tr("The device is being updated.\nPlease wait and do not turn off the power."),
                      tr("Firmware update"));
    const int reconnectTimeout = reconnectTimeoutAfterUpdate(type, master->hardwareVersion().majorVersion());
    updateWaitHandlers << connect(connection, &Connection::masterRequested, this, [this] {
        endUpdateWait();
        if (progressWidget && progressWidget->isVisible())
            progressWidget->hide();
        reconnectWaitTimer.stop();
    });
    // The connection's restart report starts the no-response timer (onMasterRestarted).
    connection->restartMaster(reconnectTimeout);
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

    QString fileName =
        UiSeams::getSaveFileName(this, tr("Where to save configuration"),
                                 appSettings.value(QLatin1String(SettingsKey::LastSaveConfPath)).toString(),
                                 tr("Config files(*.conf)"));
    if (fileName.isEmpty())
        return;
    // The open and load dialogs list "*.conf" only.
    if (!withSuffixConfirmed(fileName, QStringLiteral("conf"), tr("Save configuration")))
        return;
    appSettings.setValue(QLatin1String(SettingsKey::LastSaveConfPath), fileName);

    QList<int> deviceNumbers;
    for (const DeviceItem *device : radioDevicesInAddressOrder())
        deviceNumbers << device->deviceId();
    ProgressWidget *wait = waitWindow();
    wait->setTitle(tr("Save configuration"));
    wait->setText(tr("Exporting configuration.\nPlease wait..."));
    wait->setClosable(false);
    // The items as they are when the read ends: devices may have come or gone during the export.
    const auto items = [this] { return radioDevicesInAddressOrder(); };
    const bool started = saveMasterConfiguration(
        master, deviceNumbers, items, fileName, this, [this, fileName](const ConfigurationSaveResult &result) {
            if (progressWidget)
                progressWidget->hide();
            if (result.outcome == ConfigurationSaveResult::ReadFailed)
                showWarningMessage(tr("The configuration could not be read from the device.\n%1").arg(result.reason),
                                   tr("Save configuration"));
            else if (result.outcome == ConfigurationSaveResult::SaveFailed)
                showWarningMessage(
                    tr("The configuration could not be saved to %1.").arg(QDir::toNativeSeparators(fileName)),
                    tr("Save configuration"));
            else if (result.outcome == ConfigurationSaveResult::Saved)
                statusBar()->showMessage(tr("Configuration saved to %1").arg(QDir::toNativeSeparators(fileName)));
        });
    if (started && progressWidget)
        progressWidget->show();
}

bool MainWindow::withSuffixConfirmed(QString &fileName, const QString &suffix, const QString &title)
{
    if (!QFileInfo(fileName).suffix().isEmpty())
        return true;
    fileName += QLatin1Char('.') + suffix;
    // The save dialog asked about the name without the suffix only.
    return !QFileInfo::exists(fileName)
           || askQuestion(tr("%1 already exists.\nDo you want to replace it?").arg(QDir::toNativeSeparators(fileName)),
                          title, QMessageBox::Yes | QMessageBox::No)
                  == QMessageBox::Yes;
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
    ProgressWidget *wait = waitWindow();
    wait->setClosable(false);
    ConfigurationLoading::load(connection, fileName, this, wait);
}

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
    const QSet<DeviceItem *> selectedSet(selected.cbegin(), selected.cend());
    for (DeviceItem *device : deviceModel->devices()) {
        if (masterDeviceTypes.contains(device->deviceType()) || !device->isOnline() || selectedSet.contains(device))
            continue;
        if (qobject_cast<DI_AbstractRepeater *>(device))
            candidates.append(device);
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const DeviceItem *a, const DeviceItem *b) { return a->address() < b->address(); });

    // Devices may go while the dialog is open.
    const QList<QPointer<DeviceItem>> guardedTargets = guarded(targets);
    const QList<QPointer<DeviceItem>> guardedCandidates = guarded(candidates);

    SetPreferredRSDialog dialog;
    dialog.setModal(true);
    dialog.setDevices(candidates);
    if (UiSeams::execDialog(&dialog) != QDialog::Accepted)
        return;
    DeviceItem *repeater = dialog.selectedDevice();
    if (!repeater || !stillThere(guardedCandidates).contains(repeater))
        return;
    targets = stillThere(guardedTargets);
    if (targets.isEmpty())
        return;
    SendDataManager::instance()->enqueue(targets, QByteArray::fromRawData("\x00\x07", 2) + char(repeater->deviceId()));
    SendDataManager::instance()->enqueue(targets, QByteArray::fromRawData("\x00\x02", 2));
}

void MainWindow::hubroToggleConfig()
{
    HubroItem *master = connection ? connection->master() : nullptr;
    if (!master)
        return;
    const bool switchingOn = !master->isConfigurationMode();
    const int channel = master->currentChannel();
    const QString disableKey = QLatin1String(SettingsKey::DisableExtendedChannelWarning);
    if (switchingOn && channel > 3 && !appSettings.value(disableKey).toBool()) {
        QMessageBox box(QMessageBox::Warning, tr("Warning!"),
                        tr("Current channel is: %1. You cannot add devices which are not updated to use channel above "
                           "3. If you experience problems with adding new devices try to change channel to channel 0")
                            .arg(channel),
                        QMessageBox::Ok);
        box.setCheckBox(new QCheckBox(tr("Disable warning"), &box));
        UiSeams::execDialog(&box);
        if (box.checkBox()->isChecked())
            appSettings.setValue(disableKey, true);
        // The master may have gone while the box was open.
        if (!connection || connection->master() != master)
            return;
    }
    ui->acEnableConfig->setEnabled(false);
    master->toggleConfigurationMode(switchingOn);
}

bool MainWindow::isSimulation() const
{
    return deviceModel->connectionKind() == Simulation;
}

bool MainWindow::refuseWithoutRadioLink(const QString &title)
{
    if (radioDevicesLinked())
        return false;
    showWarningMessage(isSimulation() ? tr("The devices of a simulation do not answer requests: this needs a "
                                           "device connected through a master.")
                                      : tr("The devices of a configuration file do not answer requests: this "
                                           "needs a device connected through a master."),
                       title);
    return true;
}

bool MainWindow::refuseDeletingInSimulation(const QString &title)
{
    if (!isSimulation())
        return false;
    showWarningMessage(tr("The devices of a simulation come from its file: remove them from the file."), title);
    return true;
}

void MainWindow::deleteAllDevices()
{
    if (!connection || refuseDeletingInSimulation(tr("Delete all devices")))
        return;
    if (askQuestion(tr("Are you sure you want to remove all connected devices?"), tr("Confirm required"),
                    QMessageBox::Yes | QMessageBox::Cancel)
        != QMessageBox::Yes)
        return;
    if (!connection || !confirmDeletingActiveWaterMeters(connection) || !connection)
        return;
    for (DeviceItem *device : connection->devices())
        connection->removeDeviceItem(device);
}

void MainWindow::deactivateZelvo()
{
    if (!connection)
        return;
    if (askQuestion(tr("Are you sure you want to deactivate all devices?"), tr("Confirm required"),
                    QMessageBox::Yes | QMessageBox::No)
            != QMessageBox::Yes
        || !connection)
        return;
    for (DeviceItem *device : activeWaterMeters(connection))
        QMetaObject::invokeMethod(device, "deactivate");
}

void MainWindow::changePassword()
{
    MasterPasswordFlows::changePassword(connection ? connection->master() : nullptr, this);
}

void MainWindow::onChangePasswordFailed()
{
    MasterPasswordFlows::onChangePasswordFailed(connection ? connection->master() : nullptr, this);
}

void MainWindow::firmwareUpdateDevice()
{
    if (currentItemView()->selectionModel()->selectedIndexes().isEmpty())
        return;
    const QList<DeviceItem *> devices = selectedDevices();
    QStringList names;
    for (const DeviceItem *device : devices)
        names << device->itemTypeName() + QLatin1Char(' ') + QString::number(device->deviceId());
    qDebug() << "MainWindow::firmwareUpdateDevice()" << names;
    HubroItem *master = connection ? connection->master() : nullptr;
    if (!master)
        return;
    // Not beside an upload or update that runs: the user is told which.
    if (!updateDock->checkIdle())
        return;
    UpdateManager::instance()->update(devices, master->firmwareDates());
}

void MainWindow::autoNumber()
{
    HubroItem *master = connection ? connection->master() : nullptr;
    if (!master)
        return;
    // The master keeps its address: it is what the block is checked against.
    QList<DeviceItem *> devicesToChange = selectedRadioDevices();
    qDebug() << "devicesToChange.size() =" << devicesToChange.size();
    if (devicesToChange.isEmpty())
        return;

    const QList<QPointer<DeviceItem>> selected = guarded(devicesToChange);
    if (UiSeams::execDialog(autoNumberDialog) != QDialog::Accepted || !connection || connection->master() != master)
        return;
    // Devices that went while the dialog was open are not numbered.
    devicesToChange = stillThere(selected);
    if (devicesToChange.isEmpty())
        return;
    const int start = quint8(autoNumberDialog->start());
    const int step = quint8(autoNumberDialog->step());

    QList<int> extraZones;
    for (DeviceItem *device : devicesToChange)
        extraZones << quint8(device->data(DeviceRole::ExtraAddresses).toUInt());
    QList<DeviceItem *> others;
    QList<AutoNumbering::Occupant> occupants;
    const QSet<DeviceItem *> changing(devicesToChange.cbegin(), devicesToChange.cend());
    for (DeviceItem *device : connection->devices()) {
        if (changing.contains(device))
            continue;
        others << device;
        occupants << AutoNumbering::Occupant{device->wiredAddress(),
                                             quint8(device->data(DeviceRole::ExtraAddresses).toUInt())};
    }
    const AutoNumbering::BlockPlan plan = AutoNumbering::planBlock(start, step, extraZones, master->maxDeviceCount(),
                                                                   master->wiredAddress(), occupants);
    for (const int extra : plan.extraZones)
        qDebug() << "extraZonesCount =" << extra << "step" << plan.step;
    qDebug() << "Autoaddressing need range [" << start << ":" << plan.end << "]";
    qDebug() << "newAddresses.size() =" << plan.addresses.size();

    switch (plan.result) {
    case AutoNumbering::BlockPlan::OutOfAddressSpace:
        showWarningMessage(tr("Autoaddressing can not be proceeded.\nOut of address space."), tr("Warning"));
        return;
    case AutoNumbering::BlockPlan::TakenByMaster:
    case AutoNumbering::BlockPlan::TakenByDevice: {
        const DeviceItem *holder =
            plan.result == AutoNumbering::BlockPlan::TakenByMaster ? master : others.at(plan.conflict);
        showWarningDetails(tr("Autoaddressing can not be proceeded"),
                           tr("Selected address range is already occupied by device: %1").arg(holder->itemTypeName()),
                           tr("Warning"));
        return;
    }
    case AutoNumbering::BlockPlan::Accepted:
        break;
    }

    // The devices may go before the addresses are requested.
    QList<QPointer<DeviceItem>> devices;
    for (DeviceItem *device : devicesToChange)
        devices << device;
    QList<int> addresses = plan.addresses;
    QTimer::singleShot(AutoNumbering::finishDelay(), this, [this, devices, addresses]() mutable {
        std::sort(addresses.begin(), addresses.end());
        for (int i = 0; i < devices.size() && i < addresses.size(); ++i)
            if (devices.at(i))
                devices.at(i)->changeAddress(quint8(addresses.at(i)));
        if (ui->cbViewMode->currentIndex() == 0) {
            sortList();
        } else {
            sortedModel->setSortRole(Qt::DisplayRole);
            sortedModel->sort(appSettings.value(QLatin1String(SettingsKey::SortColumn)).toInt(),
                              Qt::SortOrder(appSettings.value(QLatin1String(SettingsKey::SortOrder)).toInt()));
        }
    });
}

void MainWindow::autoNumberStep()
{
    if (!appSettings.value(QLatin1String(SettingsKey::AutoNumbering)).toBool())
        return;
    bool stalled = false;
    if (connection && !autoNumberQueue.isEmpty()) {
        QList<AutoNumbering::Occupant> occupied;
        for (DeviceItem *device : connection->devices())
            occupied << AutoNumbering::Occupant{device->data(DeviceRole::WireloopAddress).toInt(),
                                                quint8(device->data(DeviceRole::ExtraAddresses).toUInt())};
        // Handed out earlier, not confirmed yet: still taken.
        for (auto it = autoNumberPending.begin(); it != autoNumberPending.end();) {
            DeviceItem *device = it->first;
            if (!device || device->data(DeviceRole::WireloopAddress).toInt() == it->second.address) {
                it = autoNumberPending.erase(it);
                continue;
            }
            occupied << it->second;
            ++it;
        }
        QList<int> queuedZones;
        for (DeviceItem *device : qAsConst(autoNumberQueue))
            queuedZones << quint8(device->data(DeviceRole::ExtraAddresses).toUInt());
        const QList<int> addresses = AutoNumbering::stepAddresses(
            appSettings.value(QLatin1String(SettingsKey::StartNumber)).toInt(), occupied, queuedZones);
        for (const int address : addresses) {
            DeviceItem *device = autoNumberQueue.takeFirst();
            qDebug() << device->radioAddress() << "address need autonumber";
            autoNumberPending.append({QPointer<DeviceItem>(device),
                                      AutoNumbering::Occupant{address,
                                                              int(quint8(device->data(DeviceRole::ExtraAddresses).toUInt()))}});
            device->changeAddress(quint8(address));
        }
        if (!autoNumberQueue.isEmpty()) {
            qWarning().noquote() << QStringLiteral("No free address for automatic numbering of device %1")
                                        .arg(autoNumberQueue.first()->radioAddress());
            stalled = true;
        }
    }
    // Nothing more comes of the wait when the rest finds no address.
    if (autoNumberWait && (autoNumberQueue.isEmpty() || stalled)) {
        autoNumberWait->close();
        autoNumberWait = nullptr;
    }
}

void MainWindow::deleteDevice()
{
    if (!connection || currentItemView()->selectionModel()->selectedIndexes().isEmpty())
        return;
    if (refuseDeletingInSimulation(tr("Delete device")))
        return;
    const QList<DeviceItem *> devices = selectedDevices();
    // The questions run event loops: devices, or the connection, may go meanwhile.
    const QList<QPointer<DeviceItem>> guards = guarded(devices);
    if (!devices.isEmpty()
        && askUser(tr("Are you sure you want to delete selected devices?"),
                   tr("%1 devices will be deleted").arg(devices.size()), tr("Attention!"),
                   QMessageBox::Yes | QMessageBox::No)
               != QMessageBox::Yes)
        return;
    if (!connection || !confirmDeletingActiveWaterMeters(connection) || !connection)
        return;
    for (DeviceItem *device : stillThere(guards))
        connection->removeDeviceItem(device);
    const QList<DeviceItem *> remaining = connection->devices();
    updateDock->setAvailableDevices(remaining);
    if (!remaining.isEmpty())
        ui->acDeleteAllDevices->setEnabled(true);
}

void MainWindow::deviceSetIndication()
{
    if (refuseWithoutRadioLink(tr("Indication control")))
        return;
    DeviceIndicationControl control;
    control.run(selectedDevices());
}

void MainWindow::deviceSetOutput()
{
    if (refuseWithoutRadioLink(tr("Output control")))
        return;
    outputControl->run(selectedDevices());
}

void MainWindow::deviceEepromRead()
{
    if (refuseWithoutRadioLink(tr("Read device EEPROM")))
        return;
    const QList<DeviceItem *> devices = selectedDevices();
    if (!devices.isEmpty())
        DeviceEepromManager::instance()->read(devices);
}

void MainWindow::deviceEepromWrite()
{
    if (refuseWithoutRadioLink(tr("Write to device EEPROM")))
        return;
    const QList<DeviceItem *> devices = selectedDevices();
    if (!devices.isEmpty())
        DeviceEepromManager::instance()->write(devices);
}

void MainWindow::statisticsReset()
{
    const QList<DeviceItem *> devices = selectedDevices();
    if (devices.isEmpty())
        return;
    const QList<QPointer<DeviceItem>> guards = guarded(devices);
    // The counters are gone once reset.
    if (askQuestion(tr("Reset the radio statistics of %n selected device(s)?", nullptr, devices.size()),
                    tr("Reset statistics"), QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return;
    const QList<DeviceItem *> remaining = stillThere(guards);
    if (!remaining.isEmpty())
        StatisticsManager::instance()->clear(remaining);
}

void MainWindow::clearErrorLogs()
{
    HubroItem *master = masterItem();
    if (!master)
        return;
    const QPointer<HubroItem> guard(master);
    if (askQuestion(tr("Clear the master's error log?\nThe events in it cannot be read again."),
                    tr("Clear error logs"), QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            == QMessageBox::Yes
        && guard && guard == masterItem())
        guard->clearLog();
}

void MainWindow::statisticsGet()
{
    QList<DeviceItem *> readList;
    QStringList refused;
    for (DeviceItem *device : selectedDevices()) {
        const QVersionNumber hardware = device->hardwareVersion();
        const QVersionNumber firmware = device->firmwareVersion();
        if (statisticsVersionGate(device->deviceType(), hardware, firmware)) {
            readList << device;
            continue;
        }
        const QString line = device->itemTypeName() + QLatin1Char(' ')
                             + tr("hw. %1 fw. %2").arg(versionToString(hardware), versionToString(firmware));
        if (!refused.contains(line))
            refused << line;
    }
    const QString title = tr("Get statistics");
    const QList<QPointer<DeviceItem>> guards = guarded(readList);
    if (!refused.isEmpty()) {
        // The devices that pass are read all the same.
        showInformationMessage(
            tr("Radio statistic is not supported by that version device\n%1.").arg(refused.join(QLatin1Char('\n'))),
            title);
    } else if (readList.isEmpty()) {
        showInformationMessage(tr("No devices supporting statistics collection selected."), title);
        return;
    }
    statisticsDock->show();
    statisticsDock->raise();
    HubroItem *master = masterItem();
    StatisticsManager::instance()->setMaxAttempts(diagnosticsAttemptLimit(master ? master->exchangeInterval() : 0));
    StatisticsManager *manager = StatisticsManager::instance();
    manager->read(stillThere(guards));
    if (!manager->isBusy())
        return;
    const QString file = QDir::toNativeSeparators(manager->statisticsFileName());
    statusBar()->showMessage(manager->isStatisticsFileOpen()
                                 ? tr("Radio statistics are recorded in %1").arg(file)
                                 : tr("Radio statistics cannot be recorded: %1 does not open for writing").arg(file));
}

void MainWindow::lqiTest()
{
    const QList<DeviceItem *> selected = selectedDevices();
    if (selected.isEmpty())
        return;
    QList<LqiCandidate> candidates;
    for (DeviceItem *device : selected) {
        LqiCandidate candidate;
        candidate.type = device->deviceType();
        candidate.auxValue = device->auxValue();
        candidate.testsThroughRepeater = device->isFeatureSupported(0);
        candidate.modelName = device->itemTypeName();
        candidate.firmware = device->firmwareVersion();
        candidate.hardware = device->hardwareVersion();
        candidates << candidate;
    }
    const LqiSelection selection = selectForLqiTest(candidates);
    QList<DeviceItem *> tested;
    for (int index : selection.tested)
        tested << selected.at(index);
    const QList<QPointer<DeviceItem>> guards = guarded(tested);

    const QString title = tr("LQI test");
    HubroItem *master = masterItem();
    if (selection.throughRepeater && master && !master->isFeatureSupported(0))
        showInformationMessage(tr("Performing a link quality test for devices operating through a repeater is not "
                                  "available on the current version of the device."),
                               title);
    if (!selection.unsupported.isEmpty())
        showInformationMessage(tr("Performing a link level test is not available for devices of this version "
                                  "operating through a repeater:")
                                   + QStringLiteral("\n\n") + selection.unsupported.join(QLatin1Char('\n')),
                               title);
    tested = stillThere(guards);
    if (tested.isEmpty())
        return;
    rssiTestDock->show();
    rssiTestDock->raise();
    master = masterItem();
    LQITestManager::instance()->setTimeout(int(diagnosticsAttemptLimit(master ? master->exchangeInterval() : 0)));
    LQITestManager::instance()->start(tested);
}

bool MainWindow::requestNearbyDetection()
{
    HubroItem *master = masterItem();
    if (!master)
        return false;
    if (!master->supportsFeature(6)) {
        showInformationMessage(
            tr("This command is supported on base firmware 1.19 and radio firmware 1.06 and higher."),
            tr("Attention!"));
        return false;
    }
    connect(master, &HubroItem::nearbyMasterInfoUpdated, nearbyModel, &NearbyHubroModel::updateData,
            Qt::UniqueConnection);
    master->startNearbyMasterDetection();
    return true;
}

void MainWindow::startNearbyHubroDetection()
{
    requestNearbyDetection();
}

void MainWindow::stopNearbyHubroDetection()
{
    if (HubroItem *master = masterItem())
        master->stopNearbyMasterDetection();
}

void MainWindow::onReadProductCode()
{
    const QModelIndexList selected = currentItemView()->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return;
    DeviceItem *device = DeviceTableModel::itemAt(selected.first());
    if (!device)
        return;
    // One window at a time; it deletes itself when closed.
    if (productCodeWindow)
        productCodeWindow->close();
    productCodeWindow = new ProductCode(device, masterItem());
    productCodeWindow->show();
}

void MainWindow::customDeviceMenuTriggered()
{
    qDebug() << "Menu triggered";
    auto *action = qobject_cast<QAction *>(sender());
    if (!action)
        return;
    const int code = action->property("action_code").toInt();
    qDebug() << "action valid";
    const QModelIndexList indexes = currentItemView()->selectionModel()->selectedIndexes();
    qDebug().noquote() << QStringLiteral("devices selected: %1").arg(indexes.size());
    // Taken before the first action runs: an action's dialog may change the
    // selection or remove devices.
    QList<QPointer<DeviceItem>> devices;
    for (const QModelIndex &index : indexes)
        if (index.column() == 0)
            devices << QPointer<DeviceItem>(DeviceTableModel::itemAt(index));
    for (const QPointer<DeviceItem> &device : qAsConst(devices)) {
        qDebug() << "getting next device";
        if (!device) {
            qDebug() << "Can't get device pointer";
            continue;
        }
        if (code == HubroItem::EraseFlashAction
            && askQuestion(tr("Flash erasing.\nAll settings and all backups will be removed.\nDo you want to proceed?"),
                           tr("Flash erasing"), QMessageBox::Yes | QMessageBox::No)
                   != QMessageBox::Yes)
            return;
        if (!device)
            continue;
        qDebug() << "running action";
        device->executeAction(code);
    }
}

void MainWindow::itemViewContextMenuRequested(const QPoint &pos)
{
    auto *view = qobject_cast<QAbstractItemView *>(sender());
    if (!view)
        return;
    const QModelIndex index = view->indexAt(pos);
    if (!index.isValid())
        return;
    DeviceItem *clicked = DeviceTableModel::itemAt(index);
    if (!clicked)
        return;

    DeviceContextMenu::Context context;
    context.clicked = clicked;
    const QModelIndexList selected = view->selectionModel()->selectedIndexes();
    for (const QModelIndex &selectedIndex : selected)
        context.selected << DeviceTableModel::itemAt(selectedIndex);
    context.sameType = sameType(selected);
    const HubroItem *master = masterItem();
    context.autoNumberSupported =
        master && DeviceContextMenu::autoNumberSupported(master->deviceType(), master->hardwareVersion());
    context.configEnabled = isConfigEnabled();
    context.selectedRadioDevices = selectedDevices().size();
    context.linked = radioDevicesLinked();
    context.deletable = !isSimulation();

    DeviceContextMenu::Actions actions;
    actions.autoNumber = ui->acAutoNumber;
    actions.enableConfig = ui->acEnableConfig;
    actions.keyboardLock = ui->acKeyboardLock;
    actions.channelScan = ui->acChannelScan;
    actions.indicationControl = ui->acIndicationControl;
    actions.outputControl = ui->acOutputControl;
    actions.readEeprom = ui->acDeviceReadEeprom;
    actions.writeEeprom = ui->acDeviceWriteEeprom;
    actions.lqiTest = ui->acLQITest;
    actions.statisticGet = ui->acStatisticGet;
    actions.statisticsReset = ui->acStatisticsReset;
    actions.setPreferredRS = ui->acSetPreferredRS;
    actions.deleteDevice = ui->acDeleteDevice;
    actions.readProductCode = ui->acReadProductCode;
    actions.updateDevice = ui->acUpdateDevice;
    actions.clearErrorLogs = ui->acClearErrorLogs;
    actions.deactivateWaterMeters = ui->acDeactivateZelvo;

    QMenu menu(this);
    DeviceContextMenu::build(&menu, context, actions, [this](QAction *action) {
        connect(action, &QAction::triggered, this, &MainWindow::customDeviceMenuTriggered);
    });
    // The position is in the viewport's coordinates for every item view.
    DeviceContextMenu::run(&menu, view->viewport()->mapToGlobal(pos));
}

namespace {
// Widgets where letters are ordinary typing: they never feed the key words.
bool takesTyping(const QWidget *widget, const QWidget *propertyBrowser)
{
    if (qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QAbstractSpinBox *>(widget))
        return true;
    if (const auto *text = qobject_cast<const QTextEdit *>(widget))
        return !text->isReadOnly();
    if (const auto *text = qobject_cast<const QPlainTextEdit *>(widget))
        return !text->isReadOnly();
    if (const auto *combo = qobject_cast<const QComboBox *>(widget))
        return combo->isEditable();
    // The property editors choose their entries by the letters typed.
    return propertyBrowser && propertyBrowser->isAncestorOf(widget);
}
} // namespace

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    // The key words are read by eventFilter, wherever the focus is; the keys
    // never reach the base handler.
    event->accept();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize) {
        // The property columns follow the dock's width.
        if (propertyBrowser && watched == propertyBrowser->treeWidget()->viewport())
            fitPropertyColumns();
    } else if (event->type() == QEvent::KeyRelease) {
        countedKeyPress = nullptr;
    } else if (event->type() == QEvent::KeyPress && event != countedKeyPress) {
        // A key press that the focus widget ignores travels up to its
        // parents as the same event: it counts once.
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->window() == this) {
            countedKeyPress = event;
            if (!takesTyping(widget, propertyBrowser))
                onTypedKey(static_cast<QKeyEvent *>(event)->key());
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::onTypedKey(int key)
{
    // Lives as long as the program: a restart of the window keeps what was typed.
    static HiddenKeyWords typedKeys;
    switch (typedKeys.type(key)) {
    case HiddenKeyWords::ShowLog:
        ui->logDock->show();
        break;
    case HiddenKeyWords::ShowServiceProperties:
        if (connection)
            for (DeviceItem *device : connection->devices())
                device->setHiddenPropertiesVisible(true);
        ui->treeView->setColumnHidden(DeviceTableModel::ChargeColumn, false);
        break;
    case HiddenKeyWords::MeasurementsLogging:
        ui->acMeasurementsLogging->trigger();
        break;
    case HiddenKeyWords::ShowMeasurements:
        ui->acShowMeasurements->trigger();
        break;
    case HiddenKeyWords::None:
        break;
    }
}

void MainWindow::nearbyDetectionModeEnabled()
{
    const QModelIndexList selected = currentItemView()->selectionModel()->selectedIndexes();
    itemViewCurrentItemChanged(QModelIndex(), selected.isEmpty() ? QModelIndex() : selected.first());
    if (HubroItem *master = connection ? connection->master() : nullptr)
        connect(master, &HubroItem::nearbyMasterInfoUpdated, nearbyModel, &NearbyHubroModel::updateData,
                Qt::UniqueConnection);
    nearbyView->enter();
    // After the switch: the change of view mode selects the current device anew.
    clearPropertyWindow();
}

void MainWindow::nearbyDetectionModeDisabled()
{
    nearbyView->leave(sortedModel);
    // The tree view has a new selection model after the change of model.
    for (QAbstractItemView *view : {static_cast<QAbstractItemView *>(ui->listView),
                                    static_cast<QAbstractItemView *>(ui->treeView)})
        connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this,
                &MainWindow::itemViewCurrentItemChanged, Qt::UniqueConnection);

    // The first device again, selected, so that the property window shows
    // the row that is marked.
    const QModelIndex first = sortedModel->index(0, 0);
    if (first.isValid())
        currentItemView()->selectionModel()->setCurrentIndex(
            first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    followCurrentIndex();
}

void MainWindow::checkConfiguration()
{
    const QString key = QLatin1String(SettingsKey::Serial);
    const HubroItem *master = connection ? connection->master() : nullptr;
    if (!appSettings.contains(key)) {
        qDebug() << "Configuration\tcheck\t\t\t\tskipped";
    } else if (!master || !ConfigurationBackupCheck::isBackupOf(appSettings.value(key), master->serialNumber())) {
        // Another master's backup: it waits for its own master.
        qDebug().noquote() << QStringLiteral("Configuration check skipped: the backup belongs to master %1, "
                                             "the connected master is %2")
                                  .arg(appSettings.value(key).toString(),
                                       master ? QString::number(master->serialNumber()) : QStringLiteral("none"));
    } else {
        appSettings.remove(key);
        appSettings.sync();
        isConfigCorrupted();
    }
    qDebug() << "End of configuration check";
}

bool MainWindow::isConfigCorrupted()
{
    const HubroItem *master = connection ? connection->master() : nullptr;
    if (!master)
        return false;
    const QString backupPath = appSettings.value(QLatin1String(SettingsKey::BackupPath)).toString();
    const ConfigurationBackupCheck::Verdict verdict = ConfigurationBackupCheck::check(
        backupPath, master->masterJson(), connection->devicesJArray(),
        appSettings.value(QLatin1String(SettingsKey::CommonProps)).toStringList());
    if (verdict != ConfigurationBackupCheck::Verdict::Differs)
        return false;
    qWarning().noquote() << tr("The configuration is corrupted. The configuration from the backup will be loaded.");
    if (!backupPath.isEmpty())
        loadConfiguration(backupPath);
    return true;
}

bool MainWindow::isConfigEnabled() const
{
    HubroItem *master = masterItem();
    return master && deviceModel->devices().size() < master->maxDeviceCount();
}

void MainWindow::addDeviceMenuAction(QMenu *menu, QAction *action, bool enabled)
{
    DeviceContextMenu::addRuledAction(menu, action, enabled);
}

void MainWindow::dumpJsonObject(const QJsonObject &object)
{
    ConfigurationBackupCheck::dumpJsonObject(object);
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

namespace {
int &reconnectWaitMargin()
{
    static int margin = 2000;
    return margin;
}

int &eraseReconnectTime()
{
    static int timeout = 180000;
    return timeout;
}
} // namespace

void MainWindow::setReconnectWaitMargin(int ms)
{
    reconnectWaitMargin() = ms;
}

void MainWindow::setEraseReconnectTimeout(int ms)
{
    eraseReconnectTime() = ms;
}

int MainWindow::eraseReconnectTimeout()
{
    return eraseReconnectTime();
}

void MainWindow::awaitRebootedMaster(int reconnectTimeout)
{
    reconnectWaitConnection = connection;
    reconnectWaitTimer.start(reconnectTimeout + reconnectWaitMargin());
    statusBar()->showMessage(tr("The device is restarting. Waiting for it to come back..."),
                             reconnectWaitTimer.interval());
}

void MainWindow::onMasterRestarted(int reconnectTimeout)
{
    awaitRebootedMaster(reconnectTimeout);
    // Open and Close are off while the master reboots: the waiting window
    // offers the way out. The wait after a firmware update and a flash
    // erase show their own.
    if (!updateWaitHandlers.isEmpty())
        return;
    reconnectWaitTitle = tr("Device restart");
    if (!(progressWidget && progressWidget->isVisible()))
        showReconnectWait(tr("Device restart"), tr("The device is restarting.\nPlease wait..."), tr("Device restart"));
}

void MainWindow::onMasterBackOrGone(bool back)
{
    // Only the wait for a rebooted master of this connection ends here.
    if (!reconnectWaitTimer.isActive() || connection != reconnectWaitConnection)
        return;
    reconnectWaitTimer.stop();
    statusBar()->clearMessage();
    if (!updateWaitHandlers.isEmpty()) {
        endUpdateWait();
        if (progressWidget)
            progressWidget->hide();
    }
    if (!back)
        reportMasterNotBack();
}

void MainWindow::reportMasterNotBack()
{
    // A simulation comes back from its file: what is wrong with the file is the reason.
    if (connection && connection->connectionType() == Simulation && !connection->errorString().isEmpty())
        OfflineConnections::reportFailure(Simulation, connection);
    else
        showWarningMessage(tr("No response from device"), reconnectWaitTitle);
    ui->acOpenDevice->setEnabled(true);
}

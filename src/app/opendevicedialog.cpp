#include "opendevicedialog.h"
#include "ui_opendevicedialog.h"

#include "appglobals.h"
#include "blelibraries.h"
#include "bluetoothdevicediscoveryagent.h"
#include "devicediscoveryagent.h"
#include "kastreldevicediscoveryagent.h"
#include "messageboxes.h"
#include "portdiscoveryagent.h"
#include "serialdevicediscoveryagent.h"
#include "settings.h"
#include "uiseams.h"

#include <QDebug>
#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidgetItem>
#include <QVBoxLayout>
#include <QStandardPaths>

#include <algorithm>

namespace {
// Where the help text's links lead.
const QString SupportPage = QStringLiteral("https://support.zorvo.invalid/zentar/configurator");
const QString Hubro32Driver = QStringLiteral("https://support.zorvo.invalid/zentar/drivers/hubro32");
const QString Hubro125Driver = QStringLiteral("https://support.zorvo.invalid/zentar/drivers/hubro125");

const char PasswordIcon[] = ":/icons/images/icons/password.png";

OpenDeviceDialog::AgentFactory &agentFactory()
{
    static OpenDeviceDialog::AgentFactory factory;
    return factory;
}

OpenDeviceDialog::Agents defaultAgents()
{
    OpenDeviceDialog::Agents made;
    if (BleLibraries::available())
        made.bluetooth = new BluetoothDeviceDiscoveryAgent;
    made.serial = new SerialDeviceDiscoveryAgent;
    made.kastrel = new KastrelDeviceDiscoveryAgent;
    return made;
}

DiscoveredDevice recordOf(const QListWidgetItem *item)
{
    return item ? item->data(OpenDeviceDialog::RecordRole).value<DiscoveredDevice>() : DiscoveredDevice();
}

bool isBluetoothEntry(const QListWidgetItem *item)
{
    return item && recordOf(item).connectionType == Bluetooth;
}
} // namespace

QString connectionTypeName(ConnectionType type)
{
    switch (type) {
    case Serial:
        return QObject::tr("Serial");
    case Kastrel:
        return QObject::tr("Kastrel");
    case Bluetooth:
        return QObject::tr("Bluetooth");
    case File:
        return QObject::tr("File");
    case Simulation:
        return QObject::tr("Simulation");
    }
    return QString();
}

void OpenDeviceDialog::setAgentFactory(AgentFactory factory)
{
    agentFactory() = std::move(factory);
}

OpenDeviceDialog::OpenDeviceDialog(QWidget *parent, Qt::WindowFlags flags)
    : QDialog(parent, flags), ui(new Ui::OpenDeviceDialog)
{
    registerDiscoveredDeviceMetaType();
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    ui->pbOpen->setEnabled(false);
    ui->lblBLE->setEnabled(false);

    // Over the list's empty area: the list itself paints nothing there.
    searchState = new QLabel(ui->lwDevices->viewport());
    searchState->setObjectName(QStringLiteral("lblSearchState"));
    searchState->setAlignment(Qt::AlignCenter);
    searchState->setWordWrap(true);
    searchState->setEnabled(false);
    auto *stateLayout = new QVBoxLayout(ui->lwDevices->viewport());
    stateLayout->addWidget(searchState);
    connect(ui->lwDevices->model(), &QAbstractItemModel::rowsInserted, this, &OpenDeviceDialog::showSearchState);
    connect(ui->lwDevices->model(), &QAbstractItemModel::rowsRemoved, this, &OpenDeviceDialog::showSearchState);
    connect(ui->lwDevices->model(), &QAbstractItemModel::modelReset, this, &OpenDeviceDialog::showSearchState);

    connect(ui->lwDevices, &QListWidget::itemDoubleClicked, this, &OpenDeviceDialog::tryAcceptItem);
    connect(ui->lwDevices, &QListWidget::itemActivated, this, &OpenDeviceDialog::tryAcceptItem);
    connect(ui->lwDevices, &QListWidget::itemSelectionChanged, this, &OpenDeviceDialog::deviceSelected);
    connect(ui->pbFailedToConnect, &QPushButton::clicked, this, &OpenDeviceDialog::showHelpDialog);
    connect(ui->pbOpen, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->pbRescan, &QPushButton::clicked, this, &OpenDeviceDialog::startDiscovery);
    connect(ui->pbViewConfig, &QPushButton::clicked, this, &OpenDeviceDialog::openFile);
    connect(ui->pbCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->pbSearchPort, &QPushButton::clicked, this, &OpenDeviceDialog::searchTypedPort);
    // Enter in the path searches it: the dialog's default button would connect.
    ui->lePortPath->installEventFilter(this);

    const Agents made = agentFactory() ? agentFactory()() : defaultAgents();
    for (DeviceDiscoveryAgent *agent : {made.serial, made.kastrel}) {
        if (!agent)
            continue;
        connect(agent, &DeviceDiscoveryAgent::deviceDiscovered, this,
                QOverload<const DiscoveredDevice &>::of(&OpenDeviceDialog::onDeviceDiscovered));
        connect(agent, &DeviceDiscoveryAgent::discoveryFinished, this, &OpenDeviceDialog::onDiscoveryFinished);
    }
    if (DeviceDiscoveryAgent *ble = made.bluetooth) {
        connect(ble, &DeviceDiscoveryAgent::discoveryFinished, this, &OpenDeviceDialog::onDiscoveryFinished);
        connect(ble, SIGNAL(deviceDiscovered(DiscoveredDevice, QString, QString, QString)), this,
                SLOT(onDeviceDiscovered(DiscoveredDevice, QString, QString, QString)));
        connect(ble, SIGNAL(advReceived(QString, QString)), this, SLOT(onAdvReceived(QString, QString)));
        connect(ble, SIGNAL(deviceRemoved(QString)), this, SLOT(onRemovedReceived(QString)));
        connect(ble, SIGNAL(removeInactive()), this, SLOT(onRemoveInactive()));
        agents << ble;
    } else if (!BleLibraries::available()) {
        qWarning().noquote() << QStringLiteral("Current OS do not support Bluetooth connection with device");
    }
    for (DeviceDiscoveryAgent *agent : {made.serial, made.kastrel})
        if (agent)
            agents << agent;

    startDiscovery();
}

OpenDeviceDialog::~OpenDeviceDialog()
{
    // A port agent still probing may hold the very port the chosen entry
    // opens next: its destructor ends the run and waits for its thread.
    qDeleteAll(agents);
    // The list empties its model as it goes: no search state for it.
    ui->lwDevices->model()->disconnect(this);
    delete ui;
}

// ---------------------------------------------------------------- the result

DiscoveredDevice OpenDeviceDialog::selectedDevice() const
{
    return recordOf(ui->lwDevices->selectedItems().value(0));
}

MasterType OpenDeviceDialog::selectedMasterType() const
{
    const QListWidgetItem *item = ui->lwDevices->selectedItems().value(0);
    if (!item)
        return MasterOrdinary;
    bool ok = false;
    const int type = item->data(MasterTypeRole).toInt(&ok);
    return ok ? MasterType(type) : MasterOrdinary;
}

// ---------------------------------------------------------------- entries

QString OpenDeviceDialog::entryText(const DiscoveredDevice &device, const QString &model)
{
    const bool portEntry = device.connectionType == Serial || device.connectionType == Kastrel;
    const QString where = portEntry ? device.address : connectionTypeName(device.connectionType);
    const bool bluetoothMaster =
        device.connectionType == Bluetooth || (device.modules & DiscoveredDevice::bluetooth);
    const QString name = bluetoothMaster ? deviceTypeName(BluetoothMasterType) : model;
    const QString serial = device.serialNumber != 0 ? QString::number(device.serialNumber) : tr("unknown");
    return tr("%1. %2 (s/n: %3)").arg(where, name, serial);
}

MasterType OpenDeviceDialog::masterTypeOf(const DiscoveredDevice &device)
{
    const QVersionNumber &version = device.hardwareVersion;
    if ((version.segmentCount() > 0 && version.majorVersion() >= 7) || device.deviceType != 0)
        return MasterOrdinary;
    return MasterHubro32Slow;
}

QListWidgetItem *OpenDeviceDialog::addEntry(const QString &text, const DiscoveredDevice &device, MasterType type)
{
    auto *item = new QListWidgetItem(text);
    item->setData(RecordRole, QVariant::fromValue(device));
    item->setData(MasterTypeRole, int(type));
    if (device.passwordEnabled)
        item->setIcon(QIcon(QString::fromLatin1(PasswordIcon)));
    if (device.connectionType == Bluetooth)
        item->setForeground(Qt::darkGray);
    ui->lwDevices->addItem(item);
    return item;
}

void OpenDeviceDialog::onDeviceDiscovered(const DiscoveredDevice &device)
{
    const bool first = ui->lwDevices->count() == 0;
    if (device.updateMode != 0) {
        addEntry(entryText(device, tr("Zentar-HUBRO32 - Updating firmware")), device, MasterOrdinary);
    } else {
        const MasterType type = masterTypeOf(device);
        const QString model = deviceTypeName(device.deviceType);
        const bool asMaster = device.modules & DiscoveredDevice::wireloop;
        const bool asTrombel = device.modules & DiscoveredDevice::kastrel;
        if (asMaster)
            addEntry(entryText(device, model), device, type);
        if (asTrombel)
            addEntry(entryText(device, tr("Zentar-TROMBEL")), device, MasterTrombel);
        if (!asMaster && !asTrombel)
            addEntry(entryText(device, model), device, type);
    }
    // The run's first master is chosen, also when it gave two entries.
    if (first)
        ui->lwDevices->setCurrentRow(0);
}

void OpenDeviceDialog::onDeviceDiscovered(const DiscoveredDevice &device, const QString &deviceName,
                                          const QString &deviceAddress, const QString &deviceId)
{
    if (device.updateMode != 0 || !(device.modules & DiscoveredDevice::bluetooth))
        return;
    QListWidgetItem *item = addEntry(entryText(device, deviceName), device, MasterOrdinary);
    qDebug().noquote() << QStringLiteral("OpenDeviceDialog::onDeviceDiscovered deviceAddress =") << deviceAddress;
    item->setData(BleAddressRole, deviceAddress);
    item->setData(BleIdRole, deviceId);
    item->setData(BleNameRole, deviceName);
    item->setHidden(device.serialNumber == 0);
    showSearchState();
    ui->lblBLE->setEnabled(true);
}

void OpenDeviceDialog::onAdvReceived(const QString &deviceAddress, const QString &info)
{
    for (int row = 0; row < ui->lwDevices->count(); ++row) {
        QListWidgetItem *item = ui->lwDevices->item(row);
        if (item->data(AdvertisedRole).toInt() == 1
            || item->data(BleAddressRole).toString().compare(deviceAddress, Qt::CaseInsensitive) != 0)
            continue;
        DiscoveredDevice device = recordOf(item);
        const QStringList parts = info.split(QStringLiteral(", "));
        for (const QString &part : parts) {
            const int colon = part.indexOf(QStringLiteral(": "));
            if (colon < 0)
                continue;
            const QString value = part.mid(colon + 2);
            if (part.contains(QLatin1String("device type")))
                device.deviceType = uint8_t(value.toUInt());
            else if (part.contains(QLatin1String("serial")))
                device.serialNumber = value.toUInt();
            else if (part.contains(QLatin1String("password")))
                device.passwordEnabled = value == QLatin1String("1");
        }
        item->setData(RecordRole, QVariant::fromValue(device));
        item->setText(entryText(device, item->data(BleNameRole).toString()));
        item->setIcon(device.passwordEnabled ? QIcon(QString::fromLatin1(PasswordIcon)) : QIcon());
        item->setData(AdvertisedRole, 1);
        item->setHidden(device.serialNumber == 0);
    }
    showSearchState();
}

void OpenDeviceDialog::onRemoveInactive()
{
    for (int row = ui->lwDevices->count() - 1; row >= 0; --row) {
        QListWidgetItem *item = ui->lwDevices->item(row);
        if (isBluetoothEntry(item) && item->data(AdvertisedRole).toInt() != 1)
            delete ui->lwDevices->takeItem(row);
    }
}

void OpenDeviceDialog::onRemovedReceived(const QString &deviceId)
{
    deviceSelected();
    if (deviceId.isEmpty())
        return;
    for (int row = 0; row < ui->lwDevices->count(); ++row) {
        if (ui->lwDevices->item(row)->data(BleIdRole).toString() == deviceId) {
            delete ui->lwDevices->takeItem(row);
            return;
        }
    }
    qWarning().noquote() << QStringLiteral("Not found for remove ") + deviceId;
}

// ---------------------------------------------------------------- the discovery run

void OpenDeviceDialog::startDiscovery()
{
    scanning = true;
    ui->lwDevices->clear();
    ui->pbRescan->setEnabled(false);
    ui->pbSearchPort->setEnabled(false);
    ui->lblPortState->clear();
    for (DeviceDiscoveryAgent *agent : qAsConst(agents))
        if (auto *ports = qobject_cast<PortDiscoveryAgent *>(agent))
            ports->setExtraPorts(typedPorts);
    ui->pbOpen->setEnabled(false);
    ui->lblBLE->setEnabled(false);
    pendingAgents = agents;
    showSearchState();
    onDiscoveryFinished(-1);
}

QString OpenDeviceDialog::searchStateText() const
{
    return searchState->isVisibleTo(ui->lwDevices) ? searchState->text() : QString();
}

void OpenDeviceDialog::showSearchState()
{
    bool anyShown = false;
    for (int row = 0; row < ui->lwDevices->count() && !anyShown; ++row)
        anyShown = !ui->lwDevices->item(row)->isHidden();
    searchState->setText(scanning ? tr("Searching for devices...") : tr("No device found"));
    searchState->setVisible(!anyShown);
}

void OpenDeviceDialog::onDiscoveryFinished(int state)
{
    Q_UNUSED(state)
    if (!pendingAgents.isEmpty()) {
        pendingAgents.takeLast()->start();
        return;
    }
    scanning = false;
    ui->pbRescan->setEnabled(true);
    ui->pbSearchPort->setEnabled(true);
    QStringList silent = typedPorts;
    for (int row = 0; row < ui->lwDevices->count(); ++row) {
        QListWidgetItem *item = ui->lwDevices->item(row);
        if (isBluetoothEntry(item))
            item->setForeground(Qt::black);
        // A wired-bus entry's address is the port, a colon and the bus address.
        const QString address = recordOf(item).address;
        silent.erase(std::remove_if(silent.begin(), silent.end(),
                                    [&address](const QString &port) {
                                        return address == port || address.startsWith(port + QLatin1Char(':'));
                                    }),
                     silent.end());
    }
    if (!silent.isEmpty())
        ui->lblPortState->setText(tr("No master answered on %1").arg(silent.join(QStringLiteral(", "))));
    showSearchState();
    deviceSelected();
}

// ---------------------------------------------------------------- choosing

void OpenDeviceDialog::deviceSelected()
{
    if (ui->lwDevices->count() == 0)
        return;
    const QListWidgetItem *item = ui->lwDevices->selectedItems().value(0);
    if (!item || (isBluetoothEntry(item) && scanning)) {
        ui->pbOpen->setEnabled(false);
        return;
    }
    ui->pbOpen->setEnabled(true);
    ui->pbOpen->setFocus();
}

void OpenDeviceDialog::tryAcceptItem(QListWidgetItem *item)
{
    if (!item || (scanning && isBluetoothEntry(item)))
        return;
    accept();
}

QString OpenDeviceDialog::fileDialogStart()
{
    const QString last = appSettings.value(QLatin1String(SettingsKey::ConfigFileName)).toString();
    return last.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) : last;
}

QString OpenDeviceDialog::selectConfigurationFile(QWidget *parent)
{
    return UiSeams::getOpenFileName(parent, tr("Select configuration file"), fileDialogStart(),
                                    tr("Config files(*.conf)"));
}

void OpenDeviceDialog::openFile()
{
    // Simulation files are offered too: the dialog opens both kinds.
    const QString path = UiSeams::getOpenFileName(this, tr("Select configuration file"), fileDialogStart(),
                                                  tr("Config files(*.conf)") + QStringLiteral(";;")
                                                      + tr("Simulation files(*.sim)"));
    if (path.isEmpty())
        return;
    if (!QFileInfo::exists(path)) {
        showWarningMessage(tr("Failed to open file: %1\nFile not found").arg(path), tr("Warning"));
        return;
    }
    const QString suffix = QFileInfo(path).suffix();
    DiscoveredDevice device;
    if (suffix == QLatin1String("conf")) {
        device.connectionType = File;
    } else if (suffix == QLatin1String("sim")) {
        device.connectionType = Simulation;
    } else {
        showWarningMessage(tr("Failed to open file: %1\nUnknown file format").arg(path), tr("Warning"));
        return;
    }
    device.address = path;

    auto *item = new QListWidgetItem;
    item->setData(RecordRole, QVariant::fromValue(device));
    ui->lwDevices->addItem(item);
    ui->lwDevices->setCurrentItem(item);
    appSettings.setValue(QLatin1String(SettingsKey::ConfigFileName), path);
    accept();
}

bool OpenDeviceDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->lePortPath && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (ui->pbSearchPort->isEnabled())
                searchTypedPort();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString OpenDeviceDialog::typedPortProblem(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return tr("The port %1 does not exist.").arg(path);
    // A serial port is a device file: a folder or a regular file is none.
    if (info.isDir() || info.isFile())
        return tr("%1 is not a serial port.").arg(path);
    return QString();
}

void OpenDeviceDialog::searchTypedPort()
{
    const QString path = ui->lePortPath->text().trimmed();
    if (path.isEmpty() || scanning)
        return;
    const QString problem = typedPortProblem(path);
    if (!problem.isEmpty()) {
        showWarningMessage(problem, tr("Warning"));
        return;
    }
    // Kept for every later run of this dialog; the newest first.
    typedPorts.removeAll(path);
    typedPorts.prepend(path);
    startDiscovery();
}

void OpenDeviceDialog::showHelpDialog()
{
    const QString text =
        QStringLiteral("<p>%1</p><p>%2</p><p>%3 <a href=\"%4\">%5</a></p><p>%6 <a href=\"%7\">%8</a>, "
                       "<a href=\"%9\">%10</a></p>")
            .arg(tr("If you are unable to establish a connection with the device, follow these steps:"),
                 tr("1. Make sure the USB cable is working and, if present, test the connection with a "
                    "different cable."),
                 tr("2. Make sure you have the latest version of the Zentar Configurator software installed. It "
                    "can be downloaded from the support page:"),
                 SupportPage, tr("Click here"), tr("3. Reinstall the device driver from the support page:"),
                 Hubro32Driver, tr("Download for HUBRO32"), Hubro125Driver)
            .arg(tr("Download for HUBRO125"));
    showInformationMessage(text, tr("Failed to connect?"));
}

#pragma once

#include "connectiontypes.h"
#include "discovereddevice.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <functional>

namespace Ui {
class OpenDeviceDialog;
}
class DeviceDiscoveryAgent;
class QLabel;
class QListWidgetItem;

// Display text of a connection kind: "Serial", "Kastrel", "Bluetooth", "File",
// "Simulation".
QString connectionTypeName(ConnectionType type);

// The window in which the user chooses what to work on: a master found on a
// serial port or on the wired bus, a master found over Bluetooth LE, or a
// configuration or simulation file. The discovery agents run one after the
// other while the dialog is open; an accepted dialog leaves the chosen entry
// readable through selectedDevice() and selectedMasterType().
class OpenDeviceDialog : public QDialog
{
    Q_OBJECT
public:
    // Item data roles of the entries.
    enum Role {
        RecordRole = Qt::UserRole,          // DiscoveredDevice
        MasterTypeRole = Qt::UserRole + 1,  // MasterType (discovered entries)
        BleAddressRole = Qt::UserRole + 2,  // Bluetooth device address
        BleIdRole = Qt::UserRole + 3,       // Bluetooth device id
        AdvertisedRole = Qt::UserRole + 10, // 1 once an advertisement was applied
        BleNameRole = Qt::UserRole + 11,    // Bluetooth device name
    };

    // The agents a dialog runs, each owned by the dialog. The Bluetooth agent
    // is connected by its signals' signatures (deviceDiscovered with name,
    // address and id, advReceived, deviceRemoved, removeInactive).
    struct Agents
    {
        DeviceDiscoveryAgent *bluetooth = nullptr;
        DeviceDiscoveryAgent *serial = nullptr;
        DeviceDiscoveryAgent *kastrel = nullptr;
    };
    using AgentFactory = std::function<Agents()>;
    // Replaces the agents of the dialogs made from now on; an empty function
    // restores the default (the Bluetooth agent where this build has it, the
    // serial and the wired-bus agent).
    static void setAgentFactory(AgentFactory factory);

    explicit OpenDeviceDialog(QWidget *parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~OpenDeviceDialog() override;

    // The record of the first selected entry; an empty record when none is.
    DiscoveredDevice selectedDevice() const;
    // The master type of the first selected entry; 0 when none is.
    MasterType selectedMasterType() const;
    bool isScanning() const { return scanning; }
    // What the empty list says: that it is searching, or that nothing
    // answered; empty while the list shows entries.
    QString searchStateText() const;

    // Why a typed port path cannot be searched ("does not exist", "is not a
    // serial port"); empty when it can.
    static QString typedPortProblem(const QString &path);
    // The port paths typed in this dialog, searched by every run with the
    // listed ports; the newest first.
    QStringList typedPortPaths() const { return typedPorts; }

    // Asks for a configuration file ("configfilename" is the start, not
    // written); empty when cancelled.
    static QString selectConfigurationFile(QWidget *parent);

    // The text of a discovered entry: "%1. %2 (s/n: %3)".
    static QString entryText(const DiscoveredDevice &device, const QString &model);
    // The master type of a serial or wired-bus master: 2 for a 32-device
    // master (type 0) whose version is empty or below 7, else 0.
    static MasterType masterTypeOf(const DiscoveredDevice &device);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    // Adds the typed path to the ports searched and runs the search again.
    void searchTypedPort();
    void openFile();
    void deviceSelected();
    void tryAcceptItem(QListWidgetItem *item);
    void onDeviceDiscovered(const DiscoveredDevice &device);
    void onDeviceDiscovered(const DiscoveredDevice &device, const QString &deviceName, const QString &deviceAddress,
                            const QString &deviceId);
    void onDiscoveryFinished(int state = -1);
    void startDiscovery();
    void showHelpDialog();
    void onAdvReceived(const QString &deviceAddress, const QString &info);
    void onRemovedReceived(const QString &deviceId);
    void onRemoveInactive();

private:
    QListWidgetItem *addEntry(const QString &text, const DiscoveredDevice &device, MasterType type);
    static QString fileDialogStart();
    // Shows over the empty list whether the search runs or found nothing.
    void showSearchState();

    Ui::OpenDeviceDialog *ui;
    QList<DeviceDiscoveryAgent *> agents;
    QList<DeviceDiscoveryAgent *> pendingAgents;
    bool scanning = false;
    QLabel *searchState = nullptr;
    QStringList typedPorts;
};

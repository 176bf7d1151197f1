#pragma once

#include <QList>
#include <QPoint>
#include <QVersionNumber>

#include <functional>

class DeviceItem;
class QAction;
class QMenu;

// The context menu of the device views: what the user may do with the
// clicked device and the selection, rebuilt on every right-click.
namespace DeviceContextMenu {

// The window's actions that the menu offers.
struct Actions
{
    QAction *autoNumber = nullptr;
    QAction *enableConfig = nullptr;
    QAction *keyboardLock = nullptr;
    QAction *channelScan = nullptr;
    QAction *indicationControl = nullptr;
    QAction *outputControl = nullptr;
    QAction *readEeprom = nullptr;
    QAction *writeEeprom = nullptr;
    QAction *lqiTest = nullptr;
    QAction *statisticGet = nullptr;
    QAction *statisticsReset = nullptr;
    QAction *setPreferredRS = nullptr;
    QAction *deleteDevice = nullptr;
    QAction *readProductCode = nullptr;
    QAction *updateDevice = nullptr;
    QAction *clearErrorLogs = nullptr;
    // Hidden from the toolbar: offered by the water-meter readers' menu.
    QAction *deactivateWaterMeters = nullptr;
};

struct Context
{
    DeviceItem *clicked = nullptr;
    // The items behind the view's selected indexes (all columns).
    QList<DeviceItem *> selected;
    // All selected items are of one type.
    bool sameType = true;
    // The master offers automatic addressing (autoNumberSupported).
    bool autoNumberSupported = false;
    // The master takes more devices (the configuration mode may be switched).
    bool configEnabled = false;
    // The number of radio devices selected (the master left out).
    int selectedRadioDevices = 0;
    // Radio devices are reached through a link: false for a configuration
    // file and a simulation, whose devices cannot answer a request.
    bool linked = true;
    // Devices may be deleted (a simulation's come from its file only).
    bool deletable = true;
};

// Codes of device actions that work on offline devices too.
bool isAlwaysEnabled(int actionCode);

// Models whose outputs the master switches by the output-control command:
// the relay modules (14, 15), the two-output module (23), the 24 V emergency
// sign (50) and the mains socket (57).
bool hasSwitchedOutputs(int deviceType);

// A master of a type other than 0, or with hardware version 7 or more.
bool autoNumberSupported(int masterDeviceType, const QVersionNumber &masterHardware);

// Adds the action enabled as `allOnline` says, except that the codes 1003
// and 1004 (property "action_code") are always enabled.
void addRuledAction(QMenu *menu, QAction *action, bool allOnline);

// Fills the menu for the context. The model-specific actions of the clicked
// device are made as children of the menu, carry their code in the property
// "action_code" and are handed to `connectDeviceAction` to be wired.
void build(QMenu *menu, const Context &context, const Actions &actions,
           const std::function<void(QAction *)> &connectDeviceAction);

// Shows the menu modally at the global position. Tests replace the runner so
// that no menu blocks; an empty function restores QMenu::exec.
using Runner = std::function<void(QMenu *menu, const QPoint &globalPos)>;
void setRunner(Runner runner);
void run(QMenu *menu, const QPoint &globalPos);

} // namespace DeviceContextMenu

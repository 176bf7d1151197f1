#include "devicecontextmenu.h"

#include "appglobals.h"
#include "deviceaction.h"
#include "deviceitem.h"

#include <QAction>
#include <QCoreApplication>
#include <QDebug>
#include <QMenu>

namespace DeviceContextMenu {
namespace {
Runner &runner()
{
    static Runner r;
    return r;
}

// "Set preferred RS" is offered while fewer devices than this are selected.
constexpr int PreferredRSLimit = 21;
} // namespace

bool isAlwaysEnabled(int actionCode)
{
    return actionCode == DeviceItem::ResetAddressAction || actionCode == DeviceItem::CloneWireloopAction;
}

bool hasSwitchedOutputs(int deviceType)
{
    switch (deviceType) {
    case 14:
    case 15:
    case 23:
    case 50:
    case 57:
        return true;
    default:
        return false;
    }
}

bool autoNumberSupported(int masterDeviceType, const QVersionNumber &masterHardware)
{
    return masterDeviceType != 0 || (masterHardware.segmentCount() > 0 && masterHardware.majorVersion() >= 7);
}

void addRuledAction(QMenu *menu, QAction *action, bool allOnline)
{
    action->setEnabled(allOnline || isAlwaysEnabled(action->property("action_code").toInt()));
    menu->addAction(action);
}

void build(QMenu *menu, const Context &context, const Actions &actions,
           const std::function<void(QAction *)> &connectDeviceAction)
{
    DeviceItem *clicked = context.clicked;
    if (!clicked)
        return;
    bool allOnline = clicked->isOnline();
    for (const DeviceItem *item : context.selected)
        allOnline = allOnline && item && item->isOnline();

    // What a radio device has to answer needs a link to it.
    const bool reachable = allOnline && context.linked;

    if (context.sameType) {
        const QList<DeviceAction> deviceActions = clicked->data(DeviceRole::Actions).value<QList<DeviceAction>>();
        for (const DeviceAction &entry : deviceActions) {
            auto *action = new QAction(entry.text, menu);
            action->setProperty("action_code", uint(entry.id));
            addRuledAction(menu, action, reachable);
            if (connectDeviceAction)
                connectDeviceAction(action);
        }
    }

    if (context.autoNumberSupported)
        menu->addAction(actions.autoNumber);
    else
        qDebug().noquote() << QCoreApplication::translate("MainWindow", "Auto numbering unsupported");

    const int type = clicked->deviceInfo().deviceType;
    if (type == 0) {
        addRuledAction(menu, actions.enableConfig, allOnline);
        actions.enableConfig->setEnabled(context.configEnabled);
        addRuledAction(menu, actions.keyboardLock, allOnline);
        addRuledAction(menu, actions.channelScan, allOnline);
        // The master's code is in its status record: no request is needed.
        if (actions.readProductCode)
            addRuledAction(menu, actions.readProductCode, allOnline);
        if (actions.clearErrorLogs)
            addRuledAction(menu, actions.clearErrorLogs, allOnline && context.linked);
        return;
    }
    if (type != 10 && type != 31)
        addRuledAction(menu, actions.indicationControl, reachable);
    // The output command goes to every selected device: offered when all of
    // them have outputs.
    bool allSwitched = hasSwitchedOutputs(type);
    for (const DeviceItem *item : context.selected)
        if (item && !masterDeviceTypes.contains(item->deviceInfo().deviceType) && item->deviceInfo().radioAddress != 255)
            allSwitched = allSwitched && hasSwitchedOutputs(item->deviceInfo().deviceType);
    if (allSwitched && actions.outputControl)
        addRuledAction(menu, actions.outputControl, reachable);
    if (actions.readEeprom)
        addRuledAction(menu, actions.readEeprom, reachable);
    if (actions.writeEeprom)
        addRuledAction(menu, actions.writeEeprom, reachable);
    if (actions.readProductCode)
        addRuledAction(menu, actions.readProductCode, reachable);
    if (actions.updateDevice)
        addRuledAction(menu, actions.updateDevice, reachable);
    // The window's action stays off the toolbar; the readers' menu offers it.
    if (actions.deactivateWaterMeters && waterMeterDeviceTypes.contains(type)) {
        auto *entry = new QAction(actions.deactivateWaterMeters->text(), menu);
        QObject::connect(entry, &QAction::triggered, actions.deactivateWaterMeters, &QAction::trigger);
        addRuledAction(menu, entry, reachable);
    }
    menu->addSection(QCoreApplication::translate("MainWindow", "Statistics"));
    addRuledAction(menu, actions.lqiTest, reachable);
    addRuledAction(menu, actions.statisticGet, reachable);
    addRuledAction(menu, actions.statisticsReset, reachable);
    if (clicked->auxFlag() != 0 && context.selectedRadioDevices < PreferredRSLimit)
        addRuledAction(menu, actions.setPreferredRS, reachable);
    menu->addSeparator();
    menu->addAction(actions.deleteDevice);
    actions.deleteDevice->setEnabled(context.deletable);
}

void setRunner(Runner r)
{
    runner() = std::move(r);
}

void run(QMenu *menu, const QPoint &globalPos)
{
    if (runner())
        runner()(menu, globalPos);
    else
        menu->exec(globalPos);
}

} // namespace DeviceContextMenu

#pragma once

#include <functional>

class DeviceItem;

// Windows that a device item opens for a context action but that belong to a
// library above the device model (the diagnostics windows: the RSSI plot, the
// master's noise window, log reader and stack-usage dialog). The library that
// owns a window registers an opener under the action id at start-up, as the
// device classes register themselves; the item's executeAction hands the
// action to the opener and logs that the window is not available when none is
// registered.
//
// An opener makes the window for the item, connects the window's sendPacket
// signal to the item's DeviceItem::sendPacket and shows it; it must not run a
// nested event loop. It runs on the GUI thread with a live item.
namespace ActionOpeners {

using Opener = std::function<void(DeviceItem *item)>;

// Registers (or replaces) the opener of an action id; an empty one removes it.
void registerOpener(int actionId, Opener opener);
bool hasOpener(int actionId);
// Runs the opener of the action for the item; false when none is registered.
bool open(int actionId, DeviceItem *item);
// Forgets every opener (tests).
void clear();

} // namespace ActionOpeners

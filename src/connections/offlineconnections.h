#pragma once

#include "connectiontypes.h"

class Connection;

// The main window's side of the offline kinds: making their connection and
// telling the user why one did not open. MainWindow::establishConnection
// calls these for the kinds File (3) and Simulation (4).
namespace OfflineConnections {

// A new connection, without parent, for File or Simulation; null for the
// live kinds.
Connection *create(ConnectionType type);

// After connectToMaster of such a connection returned false: a warning box
// ("Error while configuration file opening" under "Configuration file
// opening", or the simulation's counterpart) with the reason the connection
// gives. Nothing for the live kinds.
void reportFailure(ConnectionType type, const Connection *connection);

} // namespace OfflineConnections

#include "offlineconnections.h"

#include "fileconnection.h"
#include "messageboxes.h"
#include "simulatedconnection.h"

#include <QCoreApplication>

namespace OfflineConnections {

Connection *create(ConnectionType type)
{
    switch (type) {
    case File:
        return new FileConnection;
    case Simulation:
        return new SimulatedConnection;
    case Serial:
    case Kastrel:
    case Bluetooth:
        break;
    }
    return nullptr;
}

void reportFailure(ConnectionType type, const Connection *connection)
{
    const QString details = connection ? connection->errorString() : QString();
    if (type == File)
        showWarningDetails(QCoreApplication::translate("MainWindow", "Error while configuration file opening"), details,
                           QCoreApplication::translate("MainWindow", "Configuration file opening"));
    else if (type == Simulation)
        showWarningDetails(QCoreApplication::translate("MainWindow", "Error while simulation file opening"), details,
                           QCoreApplication::translate("MainWindow", "Simulation file opening"));
}

} // namespace OfflineConnections

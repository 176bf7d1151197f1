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
    if (type == File) {
        const auto *file = qobject_cast<const FileConnection *>(connection);
        showWarningDetails(QCoreApplication::translate("MainWindow", "Error while configuration file opening"),
                           file ? file->errorString() : QString(),
                           QCoreApplication::translate("MainWindow", "Configuration file opening"));
    } else if (type == Simulation) {
        const auto *simulation = qobject_cast<const SimulatedConnection *>(connection);
        showWarningDetails(QCoreApplication::translate("MainWindow", "Error while simulation file opening"),
                           simulation ? simulation->errorString() : QString(),
                           QCoreApplication::translate("MainWindow", "Simulation file opening"));
    }
}

} // namespace OfflineConnections

#pragma once

#include <QJsonObject>
#include <QPointer>
#include <QString>

class Connection;
class ProgressWidget;
class QWidget;

// Writing a configuration file into the connected master: the file is
// chosen, read and checked against the connected master first; only when
// the master's importer has taken the file are the current radio devices
// removed and the import started. The master reboots when the import ends.
namespace ConfigurationLoading {

// The model the file was made for: "master" -> "device", empty when absent.
QString fileMasterModel(const QJsonObject &document);

// The file fits the master when either model name contains the other
// (case-sensitive); an empty name fits every master.
bool fitsMaster(const QString &fileModel, const QString &masterModel);

// Loads `fileName` (asked for with a file dialog when empty) into the master
// of the connection. True when the import has started; every refusal is
// logged or shown to the user and changes nothing. `wait` is shown during
// the import and hidden when it ends.
bool load(Connection *connection, const QString &fileName, QWidget *dialogParent, QPointer<ProgressWidget> wait);

// The reconnect time-out of the reboot that ends an import, in ms.
constexpr int RebootReconnectTimeoutMs = 20000;

} // namespace ConfigurationLoading

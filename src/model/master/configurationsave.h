#pragma once

#include <QList>
#include <QString>

#include <functional>

class DeviceItem;
class HubroItem;
class QObject;

// Exports the master's configuration into a file: reads it over the link, puts
// in the extended settings of the items `items()` gives when the read ends
// (devices may have come or gone meanwhile), and saves the document. `done`
// runs once, on `context`'s thread while `context` lives: saved, or not (with
// the read's reason). True while the read runs after the call.
struct ConfigurationSaveResult
{
    enum Outcome { Saved, ReadFailed, SaveFailed, ExporterGone };
    Outcome outcome = ExporterGone;
    QString reason; // of a failed read
};
bool saveMasterConfiguration(HubroItem *master, const QList<int> &deviceNumbers,
                             std::function<QList<DeviceItem *>()> items, const QString &fileName, QObject *context,
                             std::function<void(const ConfigurationSaveResult &)> done);

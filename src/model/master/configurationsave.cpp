#include "configurationsave.h"

#include "configurationexporter.h"
#include "hubroitem.h"
#include "qtpropertybrowser.h"

#include <QPointer>

#include <memory>

namespace {

QList<QtProperty *> propertyRows(const QList<QtProperty *> &rows)
{
    QList<QtProperty *> all;
    for (QtProperty *row : rows) {
        all << row;
        all << propertyRows(row->subProperties());
    }
    return all;
}

} // namespace

bool saveMasterConfiguration(HubroItem *master, const QList<int> &deviceNumbers,
                             std::function<QList<DeviceItem *>()> items, const QString &fileName, QObject *context,
                             std::function<void(const ConfigurationSaveResult &)> done)
{
    if (!master)
        return false;
    ConfigurationExporter *exporter = master->createConfigurationExporter(deviceNumbers);
    // One report only, whichever of the three ends comes first.
    auto reported = std::make_shared<bool>(false);
    auto report = [reported, done](const ConfigurationSaveResult &result) {
        if (*reported)
            return;
        *reported = true;
        done(result);
    };
    QObject::connect(exporter, &ConfigurationExporter::readFinished, context, [exporter, items, fileName, report] {
        exporter->applyExtendedSettings(items());
        ConfigurationSaveResult result;
        result.outcome = exporter->saveToFile(fileName) ? ConfigurationSaveResult::Saved
                                                        : ConfigurationSaveResult::SaveFailed;
        exporter->deleteLater();
        report(result);
    });
    QObject::connect(exporter, &ConfigurationExporter::readFailed, context, [exporter, report](const QString &reason) {
        exporter->deleteLater();
        ConfigurationSaveResult result;
        result.outcome = ConfigurationSaveResult::ReadFailed;
        result.reason = reason;
        report(result);
    });
    QObject::connect(exporter, &QObject::destroyed, context, [report] { report(ConfigurationSaveResult()); });

    exporter->masterFirmwareInfo(propertyRows(master->topProperties()));
    const QPointer<ConfigurationExporter> guard(exporter);
    exporter->writeHeader();
    return guard && guard->isRunning();
}

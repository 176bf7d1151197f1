#include "configurationexporter.h"

ConfigurationExporter::ConfigurationExporter(const QList<int> &deviceNumbers, int lastDeviceNumber,
                                             QObject *parent)
    : QObject(parent), m_lastDeviceNumber(lastDeviceNumber), m_pendingDevices(deviceNumbers)
{
    registerPacketMetaTypes();
}

ConfigurationExporterHubro125::ConfigurationExporterHubro125(const QList<int> &deviceNumbers, QObject *parent)
    : ConfigurationExporter(deviceNumbers, 124, parent)
{
}

ConfigurationExporterHubro32::ConfigurationExporterHubro32(const QList<int> &deviceNumbers, QObject *parent)
    : ConfigurationExporter(deviceNumbers, 31, parent)
{
}

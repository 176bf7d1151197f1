#include "configurationimporter.h"

#include "hubroitem.h"

ConfigurationImporter::ConfigurationImporter(HubroItem *master, QObject *parent)
    : QObject(parent), m_master(master)
{
    registerPacketMetaTypes();
}

ConfigurationImporterHubro125::ConfigurationImporterHubro125(HubroItem *master, QObject *parent)
    : ConfigurationImporter(master, parent)
{
}

ConfigurationImporterHubro32::ConfigurationImporterHubro32(HubroItem *master, QObject *parent)
    : ConfigurationImporter(master, parent)
{
}

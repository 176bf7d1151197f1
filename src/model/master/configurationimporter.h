#pragma once

#include "packet.h"

#include <QByteArray>
#include <QJsonObject>
#include <QObject>
#include <QPointer>

class HubroItem;

// Writes a configuration document back into a live master, one request at a
// time. So far only what the master item needs to make one: the kind by
// master type, the master it writes to and the signals.
class ConfigurationImporter : public QObject
{
    Q_OBJECT
public:
    HubroItem *master() const { return m_master; }

signals:
    void sendPacket(QByteArray packet, ResponseCb cb);
    void writeFinished();

protected:
    ConfigurationImporter(HubroItem *master, QObject *parent);

    QPointer<HubroItem> m_master;
    QJsonObject m_document;
    int m_step = 0;
    int m_deviceIndex = 0;
};

// The 125-device masters.
class ConfigurationImporterHubro125 : public ConfigurationImporter
{
    Q_OBJECT
public:
    ConfigurationImporterHubro125(HubroItem *master, QObject *parent);
};

// The 32-device master (device type 0).
class ConfigurationImporterHubro32 : public ConfigurationImporter
{
    Q_OBJECT
public:
    ConfigurationImporterHubro32(HubroItem *master, QObject *parent);
};

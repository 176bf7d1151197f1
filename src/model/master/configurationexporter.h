#pragma once

#include "packet.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QObject>

// Reads a live master and its radio devices into a configuration document,
// one request at a time. So far only what the master item needs to make one:
// the kind by master type, the device numbers to read and the signals.
class ConfigurationExporter : public QObject
{
    Q_OBJECT
public:
    // The device numbers still to read, in the order given.
    QList<int> pendingDevices() const { return m_pendingDevices; }
    // The highest device number of the master kind: 124 or 31.
    int lastDeviceNumber() const { return m_lastDeviceNumber; }

signals:
    void sendPacket(QByteArray request, ResponseCb cb);
    void readFinished();

protected:
    ConfigurationExporter(const QList<int> &deviceNumbers, int lastDeviceNumber, QObject *parent);

    QJsonObject m_document;
    int m_lastDeviceNumber;
    QList<int> m_pendingDevices;
};

// The 125-device masters.
class ConfigurationExporterHubro125 : public ConfigurationExporter
{
    Q_OBJECT
public:
    ConfigurationExporterHubro125(const QList<int> &deviceNumbers, QObject *parent);
};

// The 32-device master (device type 0).
class ConfigurationExporterHubro32 : public ConfigurationExporter
{
    Q_OBJECT
public:
    ConfigurationExporterHubro32(const QList<int> &deviceNumbers, QObject *parent);
};

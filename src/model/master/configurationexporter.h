#pragma once

#include "deviceinfo.h"
#include "hubroinfo.h"
#include "packet.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>

class DeviceItem;
class QtProperty;
class TransferChain;

// Reads a live master and its radio devices into a configuration document,
// one request at a time, each reply sending the next request: the status
// record, (32-device kind) the error log, then the device records of the
// device numbers given at construction. The run ends with readFinished(), or
// with readFailed() when a reply is lost, wrong or unreadable.
//
// The master item makes the exporter of its kind as its child; the caller
// then applies the items' extended settings and saves the document.
class ConfigurationExporter : public QObject
{
    Q_OBJECT
public:
    // The device numbers still to read, in the order given.
    QList<int> pendingDevices() const { return m_pendingDevices; }
    // The highest device number of the master kind: 124 or 31.
    int lastDeviceNumber() const { return m_lastDeviceNumber; }
    QJsonObject document() const { return m_document; }
    // From writeHeader() until readFinished() or readFailed().
    bool isRunning() const;

    // Sets "mk2" and "mk1" of the "master" object to the texts of the
    // properties named "Core firmware" and "Radio firmware". The status reply
    // replaces the whole "master" object later.
    void masterFirmwareInfo(const QList<QtProperty *> &properties);
    // Puts the items' editable settings into the device objects (the keys of
    // the item's type in DeviceSettings); a device object without an item of
    // its number is dropped.
    void applyExtendedSettings(const QList<DeviceItem *> &items);

public slots:
    // Writes the header keys and sends the first request. Only the first call
    // of an exporter starts a run.
    virtual void writeHeader();
    // Writes the document to the file in one step (nothing is left half
    // written); refuses a file that another opener holds locked. False when
    // nothing was saved.
    virtual bool saveToFile(const QString &fileName);

signals:
    void sendPacket(QByteArray request, ResponseCb cb);
    void readFinished();
    // The export ended without a document; `reason` is for the log and the user.
    void readFailed(const QString &reason);

protected slots:
    // The status reply, packet type first, without the link's check byte.
    virtual void exportMaster(const QByteArray &reply) = 0;
    // One device-information reply, in the same form.
    virtual void exportDevices(const QByteArray &reply) = 0;

protected:
    ConfigurationExporter(const QList<int> &deviceNumbers, int lastDeviceNumber, QObject *parent);

    // Sends `request`; a reply of type `answer` goes to `handler`, others are
    // refused (and the run ends at the time-out).
    void request(const QByteArray &request, quint8 answer, void (ConfigurationExporter::*handler)(const QByteArray &));
    // Requests the next pending device, or finishes when none is left.
    void requestNextDevice();
    // The record of a status reply, read as a master of `askingType` sends it
    // (type 0: the short answer). A reply too short for it fails the export.
    bool takeStatusRecord(const QByteArray &reply, uint8_t askingType, hubroInfo_t *record);
    // The record of a device reply (packet type first). A reply too short for
    // one ends the export and gives false.
    bool takeDeviceRecord(const QByteArray &reply, deviceInfo_t *info);
    void appendDevice(const QJsonObject &device);
    // Goes on after a device reply unless it was the last device number.
    void continueAfterDevice(int deviceNumber);
    void finish();
    void fail(const QString &reason);

    QJsonObject m_document;
    int m_lastDeviceNumber;
    QList<int> m_pendingDevices;

private:
    bool replyHasCheckByte() const;

    TransferChain *m_chain;
    bool m_started = false;
};

// The 125-device masters: device records with state keys, no error log.
class ConfigurationExporterHubro125 : public ConfigurationExporter
{
    Q_OBJECT
public:
    ConfigurationExporterHubro125(const QList<int> &deviceNumbers, QObject *parent);

protected:
    void exportMaster(const QByteArray &reply) override;
    void exportDevices(const QByteArray &reply) override;
};

// The 32-device master (device type 0): its error log, plain device records.
class ConfigurationExporterHubro32 : public ConfigurationExporter
{
    Q_OBJECT
public:
    ConfigurationExporterHubro32(const QList<int> &deviceNumbers, QObject *parent);

protected:
    void exportMaster(const QByteArray &reply) override;
    void exportDevices(const QByteArray &reply) override;

private:
    void errorLogToJson(const QByteArray &reply);
};

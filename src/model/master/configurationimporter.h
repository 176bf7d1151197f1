#pragma once

#include "configurationjson.h"
#include "packet.h"

#include <QByteArray>
#include <QJsonObject>
#include <QObject>
#include <QPointer>

#include <functional>

class HubroItem;
class TransferChain;

// Writes a configuration document back into a live master, one request at a
// time, each reply sending the next: the master's Wireloop address, keyboard
// lock, power adjustment, (125-device kind) Wireloop power and channel, the
// exchange interval, then one PT_WRITE_DEV_CONFIG per device object. The run
// ends with writeFinished(), or with writeFailed() when a settings reply is
// lost or wrong. A device the master refuses is counted in failedCount() and
// the import goes on with the next one.
class ConfigurationImporter : public QObject
{
    Q_OBJECT
public:
    HubroItem *master() const { return m_master; }
    QJsonObject document() const { return m_document; }
    // Devices refused by the master, answered wrongly, or unreadable in the file.
    int failedCount() const { return m_failedCount; }
    // Why the last loadFile() refused the document's contents (no master
    // object, unreadable device entries ...); empty otherwise.
    QString problem() const { return m_problem; }
    // From start() until writeFinished() or writeFailed().
    bool isRunning() const;

public slots:
    // Reads and checks the file: it must be a JSON object with a "master"
    // object holding "wireloop address" and a positive "interval".
    virtual bool loadFile(const QString &filePath);
    virtual void start();
    // Devices the master acknowledged so far.
    virtual int addedCount() const { return m_addedCount; }

signals:
    void sendPacket(QByteArray packet, ResponseCb cb);
    void writeFinished();
    // The import stopped before its end; `reason` is for the log and the user.
    void writeFailed(const QString &reason);

protected slots:
    // One step of the kind's step machine; m_step names it.
    virtual void nextStep() = 0;

protected:
    ConfigurationImporter(HubroItem *master, QObject *parent);

    QJsonObject masterObject() const;
    // Runs the steps both kinds share: the Wireloop address, keyboard lock and
    // power adjustment (steps 0 to 2), the exchange interval at step
    // `intervalAt`, then one device a step. False for a step of the kind's own.
    bool sharedStep(int intervalAt);
    void requestSetAddress(quint8 device, quint8 address);
    void requestKeyboardLock(bool lock);
    void requestPowerAdjustment(bool on);
    void requestInterval(int ticks);
    // A settings request: the reply of type `answer` runs `acknowledged` (when
    // given) and the next step; any other reply is refused.
    void requestSetting(const QByteArray &request, quint8 answer, std::function<void()> acknowledged = {});
    // Writes the device at m_deviceIndex, or finishes after the last one.
    void importDevices();
    void sendDeviceConfig(const QByteArray &packet);
    void fail(const QString &reason);
    virtual ConfigurationJson::RecordLayout recordLayout() const = 0;

    QPointer<HubroItem> m_master;
    QJsonObject m_document;
    int m_step = 0;
    int m_deviceIndex = 0;
    int m_addedCount = 0;
    int m_failedCount = 0;
    QString m_problem;

private:
    TransferChain *m_chain;
};

// The 125-device masters.
class ConfigurationImporterHubro125 : public ConfigurationImporter
{
    Q_OBJECT
public:
    ConfigurationImporterHubro125(HubroItem *master, QObject *parent);

protected:
    void nextStep() override;
    ConfigurationJson::RecordLayout recordLayout() const override;
};

// The 32-device master (device type 0).
class ConfigurationImporterHubro32 : public ConfigurationImporter
{
    Q_OBJECT
public:
    ConfigurationImporterHubro32(HubroItem *master, QObject *parent);

protected:
    void nextStep() override;
    ConfigurationJson::RecordLayout recordLayout() const override;
};

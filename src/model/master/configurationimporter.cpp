#include "configurationimporter.h"

#include "appglobals.h"
#include "configurationtransfer.h"
#include "filelocker.h"
#include "hubroitem.h"

#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QVersionNumber>

ConfigurationImporter::ConfigurationImporter(HubroItem *master, QObject *parent)
    : QObject(parent), m_master(master), m_chain(new TransferChain(this))
{
    registerPacketMetaTypes();
    connect(m_chain, &TransferChain::timedOut, this,
            [this] { fail(tr("The master did not answer while the configuration was written")); });
}

bool ConfigurationImporter::isRunning() const
{
    return m_chain->isRunning();
}

QJsonObject ConfigurationImporter::masterObject() const
{
    return m_document.value(QStringLiteral("master")).toObject();
}

bool ConfigurationImporter::loadFile(const QString &filePath)
{
    m_problem.clear();
    // Only a regular file is read: a pipe would block the window for good.
    QString readError;
    const QByteArray bytes = FileLocker::readRegularFile(filePath, &readError);
    if (!readError.isEmpty()) {
        qWarning().noquote() << tr("Configuration file error ") + readError;
        m_problem = readError;
        return false;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        qWarning().noquote() << tr("Configuration file error ") + error.errorString();
        // Too deep a nesting is one of these: the parser's own words say which.
        m_problem = tr("The file is not valid JSON: %1 at offset %2").arg(error.errorString()).arg(error.offset);
        return false;
    }
    m_document = document.object();
    m_problem = ConfigurationJson::importProblem(m_document, m_master ? m_master->maxDeviceCount() : 256);
    if (!m_problem.isEmpty()) {
        qWarning().noquote() << m_problem;
        return false;
    }
    return true;
}

void ConfigurationImporter::start()
{
    if (isRunning()) {
        qWarning().noquote() << tr("The configuration import is already running");
        return;
    }
    m_step = 0;
    m_deviceIndex = 0;
    m_addedCount = 0;
    m_failedCount = 0;
    m_chain->begin();
    nextStep();
}

void ConfigurationImporter::fail(const QString &reason)
{
    m_chain->stop();
    qWarning().noquote() << reason;
    // Never inside the caller's start(): it may not be ready for the end yet.
    QMetaObject::invokeMethod(this, [this, reason] { emit writeFailed(reason); }, Qt::QueuedConnection);
}

bool ConfigurationImporter::sharedStep(int intervalAt)
{
    const QJsonObject master = masterObject();
    if (m_step == 0) {
        // Checked again: start() may come without a successful loadFile().
        const QString problem =
            ConfigurationJson::importProblem(m_document, m_master ? m_master->maxDeviceCount() : 256);
        if (!problem.isEmpty()) {
            fail(problem);
            return true;
        }
        m_step = 1;
        requestSetAddress(255, quint8(master.value(QStringLiteral("wireloop address")).toInt()));
    } else if (m_step == 1) {
        m_step = 2;
        requestKeyboardLock(ConfigurationJson::flag(master.value(QStringLiteral("keyboard lock"))));
    } else if (m_step == 2) {
        m_step = 3;
        requestPowerAdjustment(ConfigurationJson::flag(master.value(QStringLiteral("power adjustment"))));
    } else if (m_step == intervalAt) {
        m_step = intervalAt + 1;
        m_deviceIndex = -1;
        requestInterval(ConfigurationJson::intervalTicks(master.value(QStringLiteral("interval"))));
    } else if (m_step > intervalAt) {
        ++m_deviceIndex;
        importDevices();
    } else {
        return false;
    }
    return true;
}

void ConfigurationImporter::requestSetting(const QByteArray &request, quint8 answer,
                                           std::function<void()> acknowledged)
{
    const ResponseCb cb = m_chain->request([this, answer, acknowledged](const Packet &reply) {
        if (reply.data.isEmpty() || packetTypeOf(reply) != answer)
            return false;
        if (acknowledged)
            acknowledged();
        nextStep();
        return true;
    });
    emit sendPacket(request, cb);
}

void ConfigurationImporter::requestSetAddress(quint8 device, quint8 address)
{
    QByteArray request = plainRequest(PT_SET_DEV_ADDRESS);
    request.append(char(device));
    request.append(char(address));
    // Any answer goes on; only the acknowledgement is the expected one.
    const ResponseCb cb = m_chain->request([this](const Packet &reply) {
        nextStep();
        return packetTypeOf(reply) == PT_SET_DEV_ADDRESS_ACK;
    });
    emit sendPacket(request, cb);
}

void ConfigurationImporter::requestKeyboardLock(bool lock)
{
    QByteArray request = plainRequest(PT_KEYBOARD_LOCK);
    request.append(char(lock ? 1 : 0));
    requestSetting(request, PT_KEYBOARD_LOCK_ACK);
}

void ConfigurationImporter::requestPowerAdjustment(bool on)
{
    QByteArray request = plainRequest(PT_HUBRO_POWER_ADJUSTMENT);
    request.append(char(on ? 1 : 0));
    requestSetting(request, PT_HUBRO_POWER_ADJUSTMENT_ACK, [this, on] {
        qDebug().noquote() << tr("Power adjustment %1").arg(on ? tr("ON") : tr("OFF"));
    });
}

void ConfigurationImporter::requestInterval(int ticks)
{
    QByteArray request = plainRequest(PT_EXCHANGE_INTERVAL);
    request.append(char(ticks & 0xFF));
    request.append(char((ticks >> 8) & 0xFF));
    requestSetting(request, PT_EXCHANGE_INTERVAL_ACK, [this, ticks] {
        qDebug().noquote() << tr("New interval %1").arg(QString::number(ticks * 0.03, 'g'));
    });
}

void ConfigurationImporter::importDevices()
{
    const QJsonArray devices = m_document.value(QStringLiteral("devices")).toArray();
    for (; m_deviceIndex < devices.size(); ++m_deviceIndex) {
        const QJsonObject device = devices.at(m_deviceIndex).toObject();
        QString problem;
        const std::optional<QByteArray> packet =
            ConfigurationJson::deviceConfigPacket(device, recordLayout(), &problem);
        if (!packet) {
            qWarning().noquote() << problem;
            ++m_failedCount;
            continue;
        }
        const int typeId = quint8(device.value(QStringLiteral("type id")).toInt());
        qDebug().noquote() << tr("From config file: %1 %2 address %3")
                                  .arg(deviceTypeName(typeId))
                                  .arg(ConfigurationJson::unsigned32(device.value(QStringLiteral("serial"))))
                                  .arg(quint8(device.value(QStringLiteral("wireloop address")).toInt()));
        if (recordLayout() != ConfigurationJson::RecordLayout::Hubro32)
            qDebug() << "send PT_WRITE_DEV_CONFIG sizeof =" << packet->size() - 2;
        sendDeviceConfig(*packet);
        return;
    }

    m_chain->stop();
    qDebug().noquote() << tr("%1 devices added from configuration file").arg(m_addedCount);
    if (m_failedCount > 0)
        qWarning().noquote() << tr("%1 devices of the configuration file were not added").arg(m_failedCount);
    emit writeFinished();
}

void ConfigurationImporter::sendDeviceConfig(const QByteArray &packet)
{
    const ResponseCb cb = m_chain->request([this](const Packet &reply) {
        const quint8 type = packetTypeOf(reply);
        bool expected = true;
        if (type == PT_WRITE_DEV_CONFIG_ACK) {
            ++m_addedCount;
            qDebug().noquote() << tr("Device added ") + QString::number(m_deviceIndex);
        } else if (type == PT_WRITE_DEV_CONFIG_ERROR) {
            ++m_failedCount;
            const QJsonObject device =
                m_document.value(QStringLiteral("devices")).toArray().at(m_deviceIndex).toObject();
            qWarning().noquote() << tr("Device %1 refused by the master").arg(device.value(QStringLiteral("id")).toInt());
        } else {
            ++m_failedCount;
            qWarning().noquote() << tr("Error (%1) while device configuration").arg(type);
            expected = false;
        }
        nextStep();
        return expected;
    });
    emit sendPacket(packet, cb);
}

// ---------------------------------------------------------------- 125-device kind

ConfigurationImporterHubro125::ConfigurationImporterHubro125(HubroItem *master, QObject *parent)
    : ConfigurationImporter(master, parent)
{
}

ConfigurationJson::RecordLayout ConfigurationImporterHubro125::recordLayout() const
{
    if (m_master && m_master->firmwareVersion() >= QVersionNumber(1, 32))
        return ConfigurationJson::RecordLayout::Hubro125Coded;
    return ConfigurationJson::RecordLayout::Hubro125;
}

void ConfigurationImporterHubro125::nextStep()
{
    if (sharedStep(5))
        return;
    const QJsonObject master = masterObject();
    if (m_step == 3) {
        m_step = 4;
        QByteArray request = plainRequest(PT_WIRELOOP_POWER_MODE_SET);
        request.append(char(ConfigurationJson::flag(master.value(QStringLiteral("wireloop power"))) ? 1 : 0));
        requestSetting(request, PT_WIRELOOP_POWER_MODE_SET_ACK);
    } else if (m_step == 4) {
        m_step = 5;
        QByteArray request = plainRequest(PT_USB_CHANNEL_SET);
        request.append(char(ConfigurationJson::channelMode(master)));
        request.append(char(quint8(master.value(QStringLiteral("current channel")).toInt())));
        requestSetting(request, PT_USB_CHANNEL_SET_ACK);
    }
}

// ---------------------------------------------------------------- 32-device kind

ConfigurationImporterHubro32::ConfigurationImporterHubro32(HubroItem *master, QObject *parent)
    : ConfigurationImporter(master, parent)
{
}

ConfigurationJson::RecordLayout ConfigurationImporterHubro32::recordLayout() const
{
    return ConfigurationJson::RecordLayout::Hubro32;
}

void ConfigurationImporterHubro32::nextStep()
{
    sharedStep(3);
}

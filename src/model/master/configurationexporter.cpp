#include "configurationexporter.h"

#include "configurationjson.h"
#include "configurationtransfer.h"
#include "devicesettings.h"
#include "hubroitem.h"
#include "hubrostatus.h"
#include "masterjson.h"
#include "qtpropertybrowser.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QJsonArray>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// Holds an exclusive lock on an existing file while it lives. Busy when
// another opener holds one: a window working on that configuration file, in
// this process or another.
class TargetLock
{
public:
    explicit TargetLock(const QString &path)
    {
        // Non-blocking, so that a pipe or device under the name cannot hang the window.
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (m_fd >= 0 && ::flock(m_fd, LOCK_EX | LOCK_NB) != 0)
            m_busy = errno == EWOULDBLOCK;
    }
    ~TargetLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    TargetLock(const TargetLock &) = delete;
    TargetLock &operator=(const TargetLock &) = delete;

    bool isBusy() const { return m_busy; }

private:
    int m_fd = -1;
    bool m_busy = false;
};

// Any device type but 0 reads the full status record.
constexpr uint8_t FullRecordType = 40;

} // namespace

ConfigurationExporter::ConfigurationExporter(const QList<int> &deviceNumbers, int lastDeviceNumber,
                                             QObject *parent)
    : QObject(parent),
      m_lastDeviceNumber(lastDeviceNumber),
      m_pendingDevices(deviceNumbers),
      m_chain(new TransferChain(this))
{
    registerPacketMetaTypes();
    connect(m_chain, &TransferChain::timedOut, this,
            [this] { fail(tr("The master did not answer while the configuration was read")); });
}

bool ConfigurationExporter::isRunning() const
{
    return m_chain->isRunning();
}

bool ConfigurationExporter::replyHasCheckByte() const
{
    const auto *master = qobject_cast<const HubroItem *>(parent());
    return HubroStatus::replyHasCheckByte(master ? master->connectionType() : Serial);
}

void ConfigurationExporter::writeHeader()
{
    if (m_started) {
        qWarning().noquote() << tr("The configuration export has already run");
        return;
    }
    m_started = true;
    m_document.insert(QStringLiteral("created"), QDateTime::currentDateTime().toString());
    m_document.insert(QStringLiteral("version"), QStringLiteral("1.0"));
    QJsonObject configurator;
    configurator.insert(QStringLiteral("version"), QCoreApplication::applicationVersion());
    configurator.insert(QStringLiteral("application"), QCoreApplication::applicationFilePath());
    m_document.insert(QStringLiteral("configurator"), configurator);

    m_chain->begin();
    request(plainRequest(PT_HUBRO_INFO), PT_HUBRO_INFO_ACK, &ConfigurationExporter::exportMaster);
}

void ConfigurationExporter::request(const QByteArray &request, quint8 answer,
                                    void (ConfigurationExporter::*handler)(const QByteArray &))
{
    const ResponseCb cb = m_chain->request([this, answer, handler](const Packet &reply) {
        const quint8 type = packetTypeOf(reply);
        if (type != answer) {
            if (answer == PT_GET_DEV_INFO_ACK)
                qWarning().noquote() << tr("readDeviceInfo responce error ") + QString::number(type);
            return false;
        }
        (this->*handler)(reply.data.left(HubroStatus::replySize(reply.data, replyHasCheckByte())));
        return true;
    });
    emit sendPacket(request, cb);
}

void ConfigurationExporter::requestNextDevice()
{
    if (m_pendingDevices.isEmpty()) {
        finish();
        return;
    }
    const int number = m_pendingDevices.takeFirst();
    QByteArray packet(1, char(PT_GET_DEV_INFO));
    packet.append(char(quint8(number)));
    request(packet, PT_GET_DEV_INFO_ACK, &ConfigurationExporter::exportDevices);
}

bool ConfigurationExporter::takeStatusRecord(const QByteArray &reply, uint8_t askingType, hubroInfo_t *record)
{
    const std::optional<hubroInfo_t> read = HubroStatus::recordFromStatusAnswer(reply, askingType, false);
    if (!read) {
        fail(tr("The master's status answer is too short"));
        return false;
    }
    *record = *read;
    return true;
}

bool ConfigurationExporter::takeDeviceRecord(const QByteArray &reply, deviceInfo_t *info)
{
    // Both kinds end the export at a reply too short for a record.
    if (reply.size() <= DeviceInfoSize) {
        finish();
        return false;
    }
    deviceInfoFromBytes(reply, 1, info);
    return true;
}

void ConfigurationExporter::appendDevice(const QJsonObject &device)
{
    QJsonArray devices = m_document.value(QStringLiteral("devices")).toArray();
    devices.append(device);
    m_document.insert(QStringLiteral("devices"), devices);
}

void ConfigurationExporter::continueAfterDevice(int deviceNumber)
{
    if (deviceNumber < m_lastDeviceNumber)
        requestNextDevice();
    else
        finish();
}

void ConfigurationExporter::finish()
{
    m_chain->stop();
    emit readFinished();
}

void ConfigurationExporter::fail(const QString &reason)
{
    m_chain->stop();
    qWarning().noquote() << reason;
    emit readFailed(reason);
}

void ConfigurationExporter::masterFirmwareInfo(const QList<QtProperty *> &properties)
{
    QJsonObject master = m_document.value(QStringLiteral("master")).toObject();
    for (const QtProperty *property : properties) {
        if (!property)
            continue;
        if (property->propertyName() == HubroItem::tr("Core firmware"))
            master.insert(QStringLiteral("mk2"), property->valueText());
        else if (property->propertyName() == HubroItem::tr("Radio firmware"))
            master.insert(QStringLiteral("mk1"), property->valueText());
    }
    m_document.insert(QStringLiteral("master"), master);
}

void ConfigurationExporter::applyExtendedSettings(const QList<DeviceItem *> &items)
{
    const QString devicesKey = QStringLiteral("devices");
    if (!m_document.contains(devicesKey))
        return;
    QJsonArray devices;
    for (const QJsonValue &value : m_document.value(devicesKey).toArray()) {
        QJsonObject device = value.toObject();
        const int id = device.value(QStringLiteral("id")).toInt();
        const auto item = std::find_if(items.cbegin(), items.cend(),
                                       [id](const DeviceItem *candidate) { return candidate && candidate->deviceId() == id; });
        if (item == items.cend())
            continue;
        for (const QString &key : DeviceSettings::keys(device.value(QStringLiteral("type id")).toInt())) {
            const QVariant setting = DeviceSettings::value(*item, key);
            if (setting.isValid())
                device.insert(key, QJsonValue::fromVariant(setting));
        }
        devices.append(device);
    }
    m_document.insert(devicesKey, devices);
}

bool ConfigurationExporter::saveToFile(const QString &fileName)
{
    // Held until the new file has taken the name, so that no window locks the
    // old one meanwhile.
    const TargetLock lock(fileName);
    if (lock.isBusy()) {
        qWarning().noquote() << tr("Can't save configuration %1")
                                    .arg(tr("%1 is locked by another window").arg(fileName));
        return false;
    }
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        qWarning().noquote() << tr("Can't save configuration %1").arg(file.errorString());
        return false;
    }
    const QByteArray bytes = ConfigurationJson::toBytes(m_document);
    // commit() does not see a failed flush of the buffer: flush first.
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit()) {
        qWarning().noquote() << tr("Error occured while configuration file written %1").arg(file.errorString());
        file.cancelWriting();
        return false;
    }
    qDebug().noquote() << tr("Configuration saved into %1").arg(fileName);
    return true;
}

// ---------------------------------------------------------------- 125-device kind

ConfigurationExporterHubro125::ConfigurationExporterHubro125(const QList<int> &deviceNumbers, QObject *parent)
    : ConfigurationExporter(deviceNumbers, 124, parent)
{
}

void ConfigurationExporterHubro125::exportMaster(const QByteArray &reply)
{
    hubroInfo_t record;
    if (!takeStatusRecord(reply, FullRecordType, &record))
        return;
    m_document.insert(QStringLiteral("master"), masterToJsonHubro125(record));
    m_document.insert(QStringLiteral("devices"), QJsonArray());
    requestNextDevice();
}

void ConfigurationExporterHubro125::exportDevices(const QByteArray &reply)
{
    deviceInfo_t info;
    if (!takeDeviceRecord(reply, &info))
        return;
    if (info.linkState != 0) {
        QJsonObject device = deviceToJson(info);
        device.insert(QStringLiteral("protocol"), int(info.rlSupported));
        device.insert(QStringLiteral("zone count"), reply.size() > 23 ? int(quint8(reply.at(23))) : 0);
        const QByteArray state = reply.mid(1 + DeviceInfoSize);
        int leftOut = 0;
        const QJsonObject stateKeys = ConfigurationJson::deviceState(info, state, &leftOut);
        if (leftOut > 0)
            qDebug().noquote() << ConfigurationExporter::tr("Device %1 sent %2 state bytes; its state is not saved")
                                      .arg(info.radioAddress)
                                      .arg(state.size());
        for (auto it = stateKeys.begin(); it != stateKeys.end(); ++it)
            device.insert(it.key(), it.value());
        appendDevice(device);
    }
    continueAfterDevice(info.radioAddress);
}

// ---------------------------------------------------------------- 32-device kind

ConfigurationExporterHubro32::ConfigurationExporterHubro32(const QList<int> &deviceNumbers, QObject *parent)
    : ConfigurationExporter(deviceNumbers, 31, parent)
{
}

void ConfigurationExporterHubro32::exportMaster(const QByteArray &reply)
{
    hubroInfo_t record;
    if (!takeStatusRecord(reply, 0, &record))
        return;
    m_document.insert(QStringLiteral("master"), masterToJsonHubro32(record));
    // The error log: 32 bytes from EEPROM address 0x03D3.
    request(QByteArray::fromRawData("\x70\xD3\x03\x20", 4), PT_HUBRO_EEPROM_READ_ACK,
            static_cast<void (ConfigurationExporter::*)(const QByteArray &)>(&ConfigurationExporterHubro32::errorLogToJson));
}

void ConfigurationExporterHubro32::errorLogToJson(const QByteArray &reply)
{
    m_document.insert(QStringLiteral("logs"), ConfigurationJson::errorLog(reply));
    m_document.insert(QStringLiteral("devices"), QJsonArray());
    requestNextDevice();
}

void ConfigurationExporterHubro32::exportDevices(const QByteArray &reply)
{
    deviceInfo_t info;
    if (!takeDeviceRecord(reply, &info))
        return;
    if (info.linkState != 0)
        appendDevice(deviceToJson(info));
    continueAfterDevice(info.radioAddress);
}

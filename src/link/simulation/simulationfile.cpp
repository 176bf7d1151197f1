#include "simulationfile.h"

#include "simulationjson.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QStringList>

#include <limits>

using namespace SimulationJson;

namespace {

// A hand-written simulation file is a few kilobytes; anything near this is
// not one.
constexpr qint64 MaxSimulationFileSize = 16 * 1024 * 1024;

// Never a result of integer() for a number, so it marks a missing key.
constexpr qint64 NoValue = std::numeric_limits<qint64>::min();

QJsonObject refuse(QString *error, const QString &message, const QString &logged)
{
    qDebug().noquote() << QStringLiteral("Simulation file error ") + logged;
    if (error)
        *error = message;
    return QJsonObject();
}

QJsonObject refuse(QString *error, const QString &message)
{
    return refuse(error, message, message);
}

// A version part: text that is no number counts 0; a number outside 0-255
// (too long for any integer too) is refused.
bool versionPart(const QString &text, uint *part)
{
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (!ok) {
        *part = 0;
        return text.trimmed().isEmpty() || !text.trimmed().at(0).isDigit();
    }
    *part = uint(value);
    return value >= 0 && value <= 255;
}

// "2.15" -> 0x020F: major in the high byte, minor in the low one. A value
// that is not text with a point, or with a part above 255, gives 1.0.
quint16 versionFromText(const QJsonValue &value)
{
    const QString text = value.toString();
    if (!text.contains(QLatin1Char('.')))
        return 0x0100;
    const QStringList parts = text.split(QLatin1Char('.'));
    uint major = 0;
    uint minor = 0;
    if (!versionPart(parts.at(0), &major) || !versionPart(parts.at(1), &minor))
        return 0x0100;
    return quint16((major << 8) | minor);
}

// Zero-terminated Latin-1 text of at most 13 characters at `at`.
void putText(QByteArray &record, int at, const QJsonValue &value, const char *fallback)
{
    const QByteArray text = (value.isString() ? value.toString() : QLatin1String(fallback)).toLatin1().left(13);
    record.replace(at, text.size(), text);
}

// A byte of a device entry given in the file: a whole number from 0 to 255.
bool entryByteReads(const QJsonValue &value)
{
    if (value.isUndefined())
        return true; // the default applies
    const double number = value.toDouble(-1);
    return value.isDouble() && number >= 0 && number <= 255 && number == double(int(number));
}

// Why the devices of a simulation cannot be taken: an entry whose number or
// type does not read (wrapped, it would stand for another device), or more
// entries than the master has addresses. Empty when they can.
QString devicesProblem(const QJsonObject &root)
{
    const QJsonArray devices = root.value(QLatin1String("devices")).toArray();
    const QJsonObject master = root.value(QLatin1String("master")).toObject();
    const int addresses = masterRecordFromJson(master, QDateTime()).bDevType == 0 ? 32 : 125;
    if (devices.size() > addresses) {
        return QCoreApplication::translate("SimulationFile", "%1 device entries, more than the %2 addresses of the master")
            .arg(devices.size())
            .arg(addresses);
    }
    for (int i = 0; i < devices.size(); ++i) {
        const QJsonObject device = devices.at(i).toObject();
        for (const char *key : {"id", "type"}) {
            const QJsonValue value = device.value(QLatin1String(key));
            if (!entryByteReads(value)) {
                return QCoreApplication::translate("SimulationFile", "device entry %1: \"%2\" %3 cannot be read")
                    .arg(i + 1)
                    .arg(QLatin1String(key))
                    .arg(QString::fromUtf8(QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact))
                             .mid(1)
                             .chopped(1)
                             .left(40));
            }
        }
    }
    return QString();
}

} // namespace

QJsonObject readSimulationFile(const QString &path, QString *error)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        return refuse(error, QCoreApplication::translate("SimulationFile", "The simulation file %1 does not exist")
                                 .arg(path));
    }
    if (!info.isFile()) {
        return refuse(error, QCoreApplication::translate("SimulationFile",
                                                         "%1 is not a simulation file: it is not a regular file")
                                 .arg(path));
    }
    const QString tooLarge = QCoreApplication::translate("SimulationFile",
                                                         "The simulation file %1 is too large: more than %2 bytes")
                                 .arg(path)
                                 .arg(MaxSimulationFileSize);
    if (info.size() > MaxSimulationFileSize)
        return refuse(error, tooLarge);
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.read(MaxSimulationFileSize + 1);
    if (file.error() != QFileDevice::NoError) {
        return refuse(error, QCoreApplication::translate("SimulationFile", "The simulation file %1 cannot be read: %2")
                                 .arg(path, file.errorString()));
    }
    if (bytes.size() > MaxSimulationFileSize)
        return refuse(error, tooLarge);
    if (bytes.trimmed().isEmpty())
        return refuse(error, QCoreApplication::translate("SimulationFile", "The simulation file %1 is empty").arg(path));

    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        return refuse(error,
                      QCoreApplication::translate("SimulationFile", "The simulation file %1 is not valid JSON: %2 at offset %3")
                          .arg(path, parseError.errorString())
                          .arg(parseError.offset),
                      parseError.errorString());
    }
    if (!document.isObject()) {
        return refuse(error, QCoreApplication::translate("SimulationFile",
                                                         "The simulation file %1 does not hold a JSON object")
                                 .arg(path));
    }
    if (document.object().isEmpty()) {
        return refuse(error, QCoreApplication::translate("SimulationFile",
                                                         "The simulation file %1 describes nothing: its object is empty")
                                 .arg(path));
    }

    const QString devices = devicesProblem(document.object());
    if (!devices.isEmpty()) {
        return refuse(error, QCoreApplication::translate("SimulationFile", "The simulation file %1 cannot be used: %2")
                                 .arg(path, devices));
    }

    qDebug().noquote() << QStringLiteral("Simulation reload successfull");
    if (error)
        error->clear();
    return document.object();
}

hubroInfo_t masterRecordFromJson(const QJsonObject &master, const QDateTime &now)
{
    QByteArray record(int(sizeof(hubroInfo_t)), '\0');
    putByte(record, 0, integer(master, "bDevType", 0));
    putByte(record, 1, integer(master, "bHWVer", 10));
    putWord(record, 2, versionFromText(master.value(QLatin1String("wMK1FWVer"))));
    putWord(record, 4, versionFromText(master.value(QLatin1String("wMK2FWVer"))));
    putText(record, 6, master.value(QLatin1String("szDate")), "Aug 28 2026");
    putText(record, 20, master.value(QLatin1String("szTime")), "16:01:40");
    putByte(record, 34,
            packBits(object(master, "Options"), {{"fKbdLock", 0, 1},
                                                 {"btfRFMode", 1, 2},
                                                 {"fPswE", 3, 1},
                                                 {"fRestricted", 4, 1},
                                                 {"fPowerAdjustment", 5, 1},
                                                 {"fWireloopPowerDisable", 6, 1},
                                                 {"fReserv", 7, 1}}));
    putWord(record, 35, integer(master, "wPowerMain", 12000));
    putWord(record, 37, integer(master, "wPowerBackup", 12000));
    putWord(record, 39, integer(master, "wPowerWireloop", 9000));
    putByte(record, 41, integer(master, "bJamperState", 3));
    putByte(record, 42, integer(master, "bCaseState", 1));
    putLong(record, 43, integer(master, "dwSerialId", 123456));
    putWord(record, 47, integer(master, "wExchangeInterval", 9000));
    putWord(record, 49, integer(master, "wHeapFree", 3000));

    const QJsonObject channels = object(master, "Channels");
    putByte(record, 51, packBits(channels, {{"btfRFCurr", 0, 2},
                                            {"btfRecommended", 2, 2},
                                            {"reserved", 4, 2},
                                            {"fDynamicEnable", 6, 1},
                                            {"fAutoEnable", 7, 1}}));
    const QJsonObject advanced = object(channels, "ChannelsAdvanced");
    putByte(record, 63, packBits(advanced, {{"btfRFCurr", 0, 4}}));
    putByte(record, 66, integer(advanced, "ChannelGroup"));

    putByte(record, 52, integer(master, "bWireloopAddr"));
    putWord(record, 53, integer(master, "wProtocolVer"));
    putByte(record, 55, packBits(object(master, "HUBROError"), {{"btfType", 0, 2}, {"btfData", 2, 6}}));
    putLong(record, 56, integer(master, "Time", now.toSecsSinceEpoch()));
    putWord(record, 60, integer(master, "wLogQntMsg"));
    putByte(record, 65, integer(master, "bKastrelAddr"));
    // Bit 0 main supply good, bit 1 reserve supply good.
    putByte(record, 73, integer(master, "bPowerState"));
    return hubroInfoFromBytes(record);
}

deviceInfo_t deviceRecordFromJson(const QJsonObject &device, int defaultId, qint32 &serialCounter)
{
    QByteArray record(DeviceInfoSize, '\0');
    putByte(record, 0, integer(device, "id", defaultId));
    const qint64 serial = integer(device, "serial", NoValue);
    putLong(record, 1, serial != NoValue ? serial : serialCounter--);
    putWord(record, 5, versionFromText(device.value(QLatin1String("fwVer"))));
    putWord(record, 7, versionFromText(device.value(QLatin1String("hwVer"))));
    putByte(record, 9, integer(device, "address"));
    putByte(record, 10, integer(device, "type", 12));
    putByte(record, 11, integer(device, "state", 2));
    putByte(record, 12, integer(device, "rssi", -40));

    // Hexadecimal text, stored most significant byte first.
    bool ok = false;
    const quint32 rl = device.value(QLatin1String("rl")).toString().toUInt(&ok, 16);
    if (ok) {
        for (int i = 0; i < 4; ++i)
            putByte(record, 13 + i, rl >> (24 - 8 * i));
    }
    putByte(record, 17, integer(device, "protocolVersion"));
    putByte(record, 18, integer(device, "buildNumber"));

    deviceInfo_t info;
    deviceInfoFromBytes(record, 0, &info);
    return info;
}

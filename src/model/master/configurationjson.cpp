#include "configurationjson.h"

#include "appglobals.h"
#include "packet.h"
#include "settings.h"
#include "versiontext.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QVersionNumber>

#include <cmath>

namespace {

QVersionNumber versionOfWord(quint16 word)
{
    return QVersionNumber(word >> 8, word & 0xFF);
}

void appendLittleEndian(QByteArray &bytes, quint32 value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.append(char((value >> (8 * i)) & 0xFF));
}

// The state bytes e0 to e8 of a device.
class StateView
{
public:
    explicit StateView(const QByteArray &state) : m_state(state) {}
    int operator[](int index) const { return quint8(m_state.at(index)); }
    int bit(int index, int position) const { return ((*this)[index] >> position) & 1; }

private:
    const QByteArray &m_state;
};

// Motion and glass-break detectors: type codes 6, 18, 26, 27 and 28.
void detectorState(const deviceInfo_t &info, const StateView &e, QJsonObject &keys)
{
    const int type = info.deviceType;
    const bool testMode = e.bit(4, 5);
    keys.insert(QStringLiteral("test mode"), testMode);

    const QVersionNumber firmware = versionOfWord(info.firmwareVersion);
    const bool sensitivityKnown = !(type == 6 && firmware < QVersionNumber(1, 6))
                                  && !(type == 18 && firmware < QVersionNumber(1, 3));
    if (sensitivityKnown)
        keys.insert(QStringLiteral("sensitivity"), (e[6] & 0x0F) - 1);

    int b = e[4];
    if (testMode) {
        if ((e[7] & 0x03) == 2)
            b |= 0x80;
        else if ((e[7] & 0x03) == 3)
            b |= 0x40;
    }
    int state = 0;
    if (b & 0x80)
        state = e[5] == 2 ? 1 : 3;
    else if (b & 0x40)
        state = 2;
    keys.insert(QStringLiteral("state"), state);
    keys.insert(QStringLiteral("movement"), e.bit(1, 1) || testMode ? e[5] : 0);

    const int w = e[6] + 256 * e[7];
    keys.insert(QStringLiteral("ADC value"), w);
    if (type != 27 && type != 28)
        return;

    keys.insert(QStringLiteral("sensitivity far zone"), (e[6] >> 4) - 1);
    const int near = (w >> 8) & 0x03;
    const int farA = (w >> 10) & 0x03;
    const int farB = (w >> 12) & 0x03;
    keys.insert(QStringLiteral("Near zone"), near == 2 ? 1 : near == 3 ? 2 : 0);
    int far = 0;
    if (farA == 2 || farB == 2)
        far = 1;
    else if (farA == 3 || farB == 3)
        far = 2;
    keys.insert(QStringLiteral("Far zone"), far);
    int active = 0;
    if (near != 0 && farA == 0)
        active = 3;
    else if (near != 0 && farA != 0)
        active = 1;
    else if (farA != 0)
        active = 2;
    keys.insert(QStringLiteral("Active zones"), active - 1);
}

QString outputText(int s)
{
    if (s == 0 || s == 2)
        return QCoreApplication::translate("ConfigurationExporter", "Off");
    if (s == 1)
        return QCoreApplication::translate("ConfigurationExporter", "On");
    return QString::number(s);
}

// Relay modules: type codes 14 and 15.
void relayState(const StateView &e, QJsonObject &keys)
{
    keys.insert(QStringLiteral("out 1"), outputText(e[4] & 0x1F));
    keys.insert(QStringLiteral("out 2"), outputText(e[5] & 0x1F));
    keys.insert(QStringLiteral("fReserved"), e.bit(0, 0));
    keys.insert(QStringLiteral("main source"), e.bit(0, 1));
    keys.insert(QStringLiteral("bActiveZone"), e[1]);
    keys.insert(QStringLiteral("btfTrainState"), e[6] & 0x3F);
    keys.insert(QStringLiteral("bAdc"), e[7]);
}

// Two-zone input module: type code 4.
void inputState(const StateView &e, QJsonObject &keys)
{
    keys.insert(QStringLiteral("bActiveZone"), e[1]);
    keys.insert(QStringLiteral("Z1.fAlarm"), e.bit(4, 7));
    keys.insert(QStringLiteral("Z1.fFail"), e.bit(4, 6));
    keys.insert(QStringLiteral("Z2.fAlarm"), e.bit(6, 7));
    keys.insert(QStringLiteral("Z2.fFail"), e.bit(6, 6));
}

// Shift and tilt detectors: type codes 16, 24 and 25.
void tiltState(const StateView &e, QJsonObject &keys)
{
    keys.insert(QStringLiteral("Z2.fAlarm"), e.bit(8, 7));
    keys.insert(QStringLiteral("Z1.fShift"), e.bit(5, 0));
    keys.insert(QStringLiteral("Z1.fLean"), e.bit(5, 1));
    keys.insert(QStringLiteral("Z1.fNoise"), e.bit(5, 7));
    keys.insert(QStringLiteral("shiftSensitivity"), e[6] & 0x07);
    keys.insert(QStringLiteral("shiftDisableDetection"), e.bit(6, 3));
    keys.insert(QStringLiteral("tiltSensitivity"), e[7] & 0x07);
    keys.insert(QStringLiteral("tiltDisableDetection"), e.bit(7, 3));
    keys.insert(QStringLiteral("tiltAutoFix"), e.bit(7, 4));
}

} // namespace

QJsonObject deviceToJson(const deviceInfo_t &info)
{
    QJsonObject device;
    device.insert(QStringLiteral("id"), int(info.radioAddress));
    // Signed 32 bits, as files in use hold it.
    device.insert(QStringLiteral("serial"), qint32(info.serialNumber));
    device.insert(QStringLiteral("firmware"), versionToString(versionOfWord(info.firmwareVersion)));
    device.insert(QStringLiteral("hardware"), versionToString(versionOfWord(info.hardwareVersion)));
    device.insert(QStringLiteral("wireloop address"), int(info.wireloopAddress));
    device.insert(QStringLiteral("type id"), int(info.deviceType));
    device.insert(QStringLiteral("type"), deviceTypeName(info.deviceType));
    device.insert(QStringLiteral("build number"), int(info.buildNumber));
    device.insert(QStringLiteral("rl"), qint64(info.rl));

    const QString key = QLatin1String(SettingsKey::CommonProps);
    const QStringList keys = device.keys();
    if (appSettings.value(key).toStringList() != keys) {
        appSettings.setValue(key, keys);
        appSettings.sync();
    }
    return device;
}

namespace ConfigurationJson {

QJsonObject deviceState(const deviceInfo_t &info, const QByteArray &state)
{
    QJsonObject keys;
    if (state.size() < StateBytes)
        return keys;
    const StateView e(state);
    switch (info.deviceType) {
    case 6:
    case 26:
    case 18:
    case 27:
    case 28:
        detectorState(info, e, keys);
        break;
    case 14:
    case 15:
        relayState(e, keys);
        break;
    case 4:
        inputState(e, keys);
        break;
    case 16:
    case 24:
    case 25:
        tiltState(e, keys);
        break;
    default:
        break;
    }
    return keys;
}

QString errorName(int code)
{
    static const char *const names[] = {
        "OK",
        "TASK_WDT",
        "ERR_RF_TYPE",
        "ERR_RF_UNKNOWN_TYPE",
        "ERR_INSUFF_MEM",
        "ERR_DB_BAD_REC",
        "ERR_COLLISTON",
        "ERR_COMMUNICATION",
        "ERR_TASK_CREATE",
        "ERR_TYPE_TO_LARGE",
        "ERR_EVENT_BAD_EE_ADDR",
        "ERR_MEM_OVERFLOW",
        "POR",
        "HLVD",
        "ERR_MEM_CORRUPT",
        "USR_NILVO_ZONES",
        "USR_MCU1_FAILURE",
        "ERR_ASSERT",
        "ERR_FIRMWARE_DAMAGE",
    };
    if (code < 0 || code >= int(sizeof names / sizeof names[0]))
        return QString();
    return QString::fromLatin1(names[code]);
}

QJsonObject errorLog(const QByteArray &reply)
{
    constexpr int FirstSlot = 4;
    constexpr int SlotSize = 6;
    constexpr int Slots = 5;
    auto byte = [&reply](int index) { return int(quint8(reply.at(index))); };

    QJsonObject log;
    log.insert(QStringLiteral("index"), reply.size() > 3 ? byte(3) : 0);
    QJsonArray entries;
    for (int n = 0; n < Slots; ++n) {
        const int at = FirstSlot + SlotSize * n;
        if (at + SlotSize > reply.size())
            break;
        const int code = byte(at + 3);
        if (code == 255)
            continue;
        QJsonObject entry;
        entry.insert(QStringLiteral("pclatu"), byte(at));
        entry.insert(QStringLiteral("pclath"), byte(at + 1));
        entry.insert(QStringLiteral("pcl"), byte(at + 2));
        entry.insert(QStringLiteral("error code"), code);
        entry.insert(QStringLiteral("data"), byte(at + 4) | (byte(at + 5) << 8));
        const QString name = errorName(code);
        if (!name.isEmpty())
            entry.insert(QStringLiteral("description"), name);
        entries.append(entry);
    }
    log.insert(QStringLiteral("logs"), entries);
    return log;
}

QByteArray toBytes(const QJsonObject &document)
{
    return QJsonDocument(document).toJson(QJsonDocument::Indented);
}

std::optional<quint16> versionWord(const QJsonValue &text)
{
    if (!text.isString())
        return std::nullopt;
    const QStringList parts = text.toString().split(QLatin1Char('.'));
    if (parts.size() > 2)
        return std::nullopt;
    bool ok = false;
    const uint major = parts.at(0).toUInt(&ok);
    if (!ok || major > 255)
        return std::nullopt;
    uint minor = 0;
    if (parts.size() == 2) {
        minor = parts.at(1).toUInt(&ok);
        if (!ok || minor > 255)
            return std::nullopt;
    }
    return quint16((major << 8) | minor);
}

quint32 unsigned32(const QJsonValue &value)
{
    if (!value.isDouble())
        return 0;
    const double number = value.toDouble();
    // Beyond what a 64-bit value holds, the conversion below would be undefined.
    if (!(std::fabs(number) < 9.2e18))
        return 0;
    return quint32(quint64(qint64(number)));
}

bool flag(const QJsonValue &value)
{
    if (value.isBool())
        return value.toBool();
    return value.isDouble() && value.toDouble() != 0;
}

int intervalTicks(const QJsonValue &seconds)
{
    if (!seconds.isDouble())
        return 0;
    const double ticks = std::round(seconds.toDouble() / 0.03);
    if (!(ticks >= 1 && ticks <= 0xFFFF))
        return 0;
    return int(ticks);
}

int channelMode(const QJsonObject &master)
{
    if (flag(master.value(QStringLiteral("auto channel"))) || flag(master.value(QStringLiteral("auto mode"))))
        return 1;
    if (flag(master.value(QStringLiteral("dynamic channel"))) || flag(master.value(QStringLiteral("dynamic mode"))))
        return 2;
    return 0;
}

int zoneCount(const QJsonObject &device)
{
    const QJsonValue value = device.value(QStringLiteral("zone count"));
    if (!value.isDouble())
        return 1;
    const double count = value.toDouble();
    if (count != std::floor(count) || std::fabs(count) > 1e9)
        return 1;
    return int(count);
}

QString importProblem(const QJsonObject &document)
{
    const QJsonValue masterValue = document.value(QStringLiteral("master"));
    const QJsonValue devices = document.value(QStringLiteral("devices"));
    if (!masterValue.isObject() || !(devices.isUndefined() || devices.isArray()))
        return QCoreApplication::translate("ConfigurationImporter", "Wrong format of configuration file");
    const QJsonObject master = masterValue.toObject();
    if (!master.value(QStringLiteral("wireloop address")).isDouble())
        return QCoreApplication::translate("ConfigurationImporter", "Wireloop address of HUBRO is undefined");
    if (intervalTicks(master.value(QStringLiteral("interval"))) == 0)
        return QCoreApplication::translate("ConfigurationImporter", "Interval of HUBRO is undefined");
    return QString();
}

std::optional<QByteArray> deviceConfigPacket(const QJsonObject &device, RecordLayout layout, QString *problem)
{
    const std::optional<quint16> hardware = versionWord(device.value(QStringLiteral("hardware")));
    const std::optional<quint16> firmware = versionWord(device.value(QStringLiteral("firmware")));
    if (!hardware || !firmware) {
        if (problem)
            *problem = QCoreApplication::translate("ConfigurationImporter", "Unreadable version of device %1")
                           .arg(device.value(QStringLiteral("id")).toInt());
        return std::nullopt;
    }
    const quint32 serial = unsigned32(device.value(QStringLiteral("serial")));
    const quint8 typeId = quint8(device.value(QStringLiteral("type id")).toInt());
    const quint8 wireloopAddress = quint8(device.value(QStringLiteral("wireloop address")).toInt());
    const quint8 buildNumber = quint8(device.value(QStringLiteral("build number")).toInt());
    const quint8 zones = quint8(zoneCount(device));

    QByteArray packet;
    packet.append(char(PT_WRITE_DEV_CONFIG));
    packet.append(char(quint8(device.value(QStringLiteral("id")).toInt())));
    if (layout == RecordLayout::Hubro125Coded) {
        packet.append('\0');
        appendLittleEndian(packet, unsigned32(device.value(QStringLiteral("productCode"))), 4);
    }
    appendLittleEndian(packet, serial, 4);
    appendLittleEndian(packet, *hardware, 2);
    appendLittleEndian(packet, *firmware, 2);
    if (layout == RecordLayout::Hubro32) {
        packet.append(char(typeId));
        packet.append(char(wireloopAddress));
        return packet;
    }
    packet.append(char(buildNumber));
    packet.append(char(typeId));
    // The coded layout keeps bit 7 of this byte for itself.
    packet.append(char(layout == RecordLayout::Hubro125Coded ? zones & 0x7F : zones));
    packet.append(char(wireloopAddress));
    packet.append(layout == RecordLayout::Hubro125Coded ? 2 : 3, '\0');
    return packet;
}

} // namespace ConfigurationJson

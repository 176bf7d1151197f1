#include "configurationjson.h"

#include "appglobals.h"
#include "packet.h"
#include "settings.h"
#include "statelayout.h"
#include "versiontext.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QVersionNumber>

#include <cmath>
#include <initializer_list>

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

// The state keys of one device as they are made: a key goes in only when the
// device sent every field it is read from; the others are counted left out.
class StateKeys
{
public:
    StateKeys(const StateLayout::Layout &layout, const QByteArray &state) : m_layout(layout), m_state(state) {}

    int value(const char *field) const { return int(m_layout.value(m_state, QLatin1String(field))); }
    bool sent(std::initializer_list<const char *> fields) const
    {
        for (const char *name : fields) {
            const StateLayout::Field *field = m_layout.field(QLatin1String(name));
            if (!field || !StateLayout::holds(m_state, *field))
                return false;
        }
        return true;
    }
    void insert(const QString &key, const QJsonValue &value, std::initializer_list<const char *> fields)
    {
        if (sent(fields))
            m_keys.insert(key, value);
        else
            ++m_leftOut;
    }
    void insertIf(const QString &key, const QJsonValue &value, bool sent)
    {
        if (sent)
            m_keys.insert(key, value);
        else
            ++m_leftOut;
    }

    QJsonObject keys() const { return m_keys; }
    int leftOut() const { return m_leftOut; }

private:
    const StateLayout::Layout &m_layout;
    const QByteArray &m_state;
    QJsonObject m_keys;
    int m_leftOut = 0;
};

// Motion and glass-break detectors: type codes 6, 18, 26, 27 and 28. Their
// keys are made from the fields, not copied from them.
void detectorState(const deviceInfo_t &info, StateKeys &keys)
{
    const auto value = [&keys](const char *name) { return keys.value(name); };
    const int type = info.deviceType;
    const bool testMode = value("Z1.fCustomBit");
    keys.insert(QStringLiteral("test mode"), testMode, {"Z1.fCustomBit"});

    const QVersionNumber firmware = versionOfWord(info.firmwareVersion);
    const bool sensitivityKnown = !(type == 6 && firmware < QVersionNumber(1, 6))
                                  && !(type == 18 && firmware < QVersionNumber(1, 3));
    if (sensitivityKnown)
        keys.insert(QStringLiteral("sensitivity"), value("Z1.btfSensitivity") - 1, {"Z1.btfSensitivity"});

    // In test mode the test's result stands for the zone's flags.
    const int testResult = value("Z1.btfTestResult");
    const bool alarm = value("Z1.fAlarm") || (testMode && testResult == 2);
    const bool fail = value("Z1.fFail") || (testMode && testResult == 3);
    const int movement = value("Z1.bMove");
    int state = 0;
    if (alarm)
        state = movement == 2 ? 1 : 3;
    else if (fail)
        state = 2;
    keys.insertIf(QStringLiteral("state"), state,
                keys.sent({"Z1.fCustomBit", "Z1.fAlarm", "Z1.fFail", "Z1.bMove"})
                    && (!testMode || keys.sent({"Z1.btfTestResult"})));
    keys.insert(QStringLiteral("movement"), value("Z1.fActive") || testMode ? movement : 0,
                {"Z1.fActive", "Z1.fCustomBit", "Z1.bMove"});
    keys.insert(QStringLiteral("ADC value"), value("Z1.wAdc"), {"Z1.wAdc"});
    if (type != 27 && type != 28)
        return;

    keys.insert(QStringLiteral("sensitivity far zone"), value("Z1.btfFarSensitivity") - 1, {"Z1.btfFarSensitivity"});
    const int near = testResult;
    const int farA = value("Z1.btfFarState1");
    const int farB = value("Z1.btfFarState2");
    keys.insert(QStringLiteral("Near zone"), near == 2 ? 1 : near == 3 ? 2 : 0, {"Z1.btfTestResult"});
    int far = 0;
    if (farA == 2 || farB == 2)
        far = 1;
    else if (farA == 3 || farB == 3)
        far = 2;
    keys.insert(QStringLiteral("Far zone"), far, {"Z1.btfFarState1", "Z1.btfFarState2"});
    int active = 0;
    if (near != 0 && farA == 0)
        active = 3;
    else if (near != 0 && farA != 0)
        active = 1;
    else if (farA != 0)
        active = 2;
    keys.insert(QStringLiteral("Active zones"), active - 1, {"Z1.btfTestResult", "Z1.btfFarState1"});
}

QString outputText(int s)
{
    if (s == 0 || s == 2)
        return QCoreApplication::translate("ConfigurationExporter", "Off");
    if (s == 1)
        return QCoreApplication::translate("ConfigurationExporter", "On");
    return QString::number(s);
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

QJsonObject deviceState(const deviceInfo_t &info, const QByteArray &state, int *leftOut)
{
    const int type = info.deviceType;
    const bool detector = type == 6 || type == 26 || type == 18 || type == 27 || type == 28;
    const StateLayout::Layout *layout =
        detector ? StateLayout::deviceLayout(type) : StateLayout::exportedLayout(type);
    if (!layout) {
        if (leftOut)
            *leftOut = 0;
        return QJsonObject();
    }
    StateKeys keys(*layout, state);
    if (detector) {
        detectorState(info, keys);
    } else {
        for (const StateLayout::Field &field : layout->fields) {
            const int value = int(StateLayout::read(state, field));
            keys.insertIf(field.name, field.has(StateLayout::OnOffText) ? QJsonValue(outputText(value)) : QJsonValue(value),
                        StateLayout::holds(state, field));
        }
    }
    if (leftOut)
        *leftOut = keys.leftOut();
    return keys.keys();
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

std::optional<quint8> entryByte(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!(number >= 0 && number <= 255) || number != double(int(number)))
        return std::nullopt;
    return quint8(number);
}

namespace {
// A value as the file shows it, for messages: 257, 1.5, "a", missing.
QString entryText(const QJsonValue &value)
{
    if (value.isUndefined())
        return QCoreApplication::translate("ConfigurationImporter", "missing");
    if (value.isString())
        return QLatin1Char('"') + value.toString().left(40) + QLatin1Char('"');
    if (value.isDouble())
        return QString::number(value.toDouble(), 'g', 12);
    if (value.isBool())
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    return value.isNull() ? QStringLiteral("null") : value.isArray() ? QStringLiteral("[...]") : QStringLiteral("{...}");
}
} // namespace

QString devicesProblem(const QJsonArray &devices, int addresses)
{
    if (devices.size() > addresses)
        return QCoreApplication::translate("ConfigurationImporter",
                                           "The file holds %1 device entries, more than the %2 addresses of the master")
            .arg(devices.size())
            .arg(addresses);
    for (int i = 0; i < devices.size(); ++i) {
        if (!devices.at(i).isObject())
            continue;
        const QJsonObject device = devices.at(i).toObject();
        const QJsonValue id = device.value(QStringLiteral("id"));
        if (!entryByte(id))
            return QCoreApplication::translate("ConfigurationImporter",
                                               "Device entry %1: the device number %2 cannot be read")
                .arg(i + 1)
                .arg(entryText(id));
        const QJsonValue type = device.value(QStringLiteral("type id"));
        if (!entryByte(type))
            return QCoreApplication::translate("ConfigurationImporter",
                                               "Device entry %1 (device %2): the device type %3 cannot be read")
                .arg(i + 1)
                .arg(int(*entryByte(id)))
                .arg(entryText(type));
    }
    return QString();
}

QString importProblem(const QJsonObject &document, int addresses)
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
    return devicesProblem(devices.toArray(), addresses);
}

std::optional<QByteArray> deviceConfigPacket(const QJsonObject &device, RecordLayout layout, QString *problem)
{
    // Never a wrapped number or type: the master would take it as another device.
    const std::optional<quint8> id = entryByte(device.value(QStringLiteral("id")));
    const std::optional<quint8> type = entryByte(device.value(QStringLiteral("type id")));
    if (!id || !type) {
        if (problem)
            *problem = devicesProblem(QJsonArray{device}, 1);
        return std::nullopt;
    }
    const std::optional<quint16> hardware = versionWord(device.value(QStringLiteral("hardware")));
    const std::optional<quint16> firmware = versionWord(device.value(QStringLiteral("firmware")));
    if (!hardware || !firmware) {
        if (problem)
            *problem = QCoreApplication::translate("ConfigurationImporter", "Unreadable version of device %1")
                           .arg(device.value(QStringLiteral("id")).toInt());
        return std::nullopt;
    }
    const quint32 serial = unsigned32(device.value(QStringLiteral("serial")));
    const quint8 typeId = *type;
    const quint8 wireloopAddress = quint8(device.value(QStringLiteral("wireloop address")).toInt());
    const quint8 buildNumber = quint8(device.value(QStringLiteral("build number")).toInt());
    const quint8 zones = quint8(zoneCount(device));

    QByteArray packet;
    packet.append(char(PT_WRITE_DEV_CONFIG));
    packet.append(char(*id));
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

#include "configurationfilereader.h"

#include "configurationjson.h"
#include "hubrostatus.h"
#include "statelayout.h"

#include <QJsonValue>
#include <QStringList>

#include <cstring>
#include <optional>

namespace ConfigurationFileReader {
namespace {

// A whole number that fits in 32 signed bits; 0 for anything else.
int integer(const QJsonObject &object, const char *key)
{
    return object.value(QLatin1String(key)).toInt();
}

bool boolean(const QJsonObject &object, const char *key)
{
    return ConfigurationJson::flag(object.value(QLatin1String(key)));
}

// A flag of a state table: a number whose lowest bit counts, or a boolean.
int bit(const QJsonObject &object, const QString &key)
{
    const QJsonValue value = object.value(key);
    return value.isBool() ? int(value.toBool()) : (value.toInt() & 1);
}

// A version part as a number from 0 to 255; text that is no number counts
// 0 (`number` false), a number outside that range is refused.
std::optional<quint8> versionPart(const QString &text, bool *number = nullptr)
{
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (number)
        *number = ok;
    if (!ok)
        return text.trimmed().isEmpty() || !text.trimmed().at(0).isDigit() ? std::optional<quint8>(0) : std::nullopt;
    if (value < 0 || value > 255)
        return std::nullopt;
    return quint8(value);
}

// "3.1 (28.08.26 16:01:40)" or "3.1": the dotted version before the first
// blank; a missing minor counts 0, a text that is no version gives 0, and so
// does a part above 255. A number is the firmware word itself.
quint16 firmwareWord(const QJsonValue &value)
{
    if (!value.isString())
        return quint16(value.toInt());
    const QStringList parts = value.toString().split(QLatin1Char(' ')).at(0).split(QLatin1Char('.'));
    bool number = false;
    const std::optional<quint8> major = versionPart(parts.at(0), &number);
    if (!major || !number)
        return 0;
    std::optional<quint8> minor = quint8(0);
    if (parts.size() > 1) {
        minor = versionPart(parts.at(1), &number);
        if (!minor || !number)
            return 0;
    }
    return quint16((*major << 8) | *minor);
}

// Text into a 14-byte field; at most 13 bytes, so the field stays terminated.
void putText(char (&field)[14], const QString &text)
{
    const QByteArray bytes = text.toUtf8().left(13);
    std::memset(field, 0, sizeof field);
    std::memcpy(field, bytes.constData(), size_t(bytes.size()));
}

// "major.minor" as a record word; 0 without a point.
quint16 versionWord(const QJsonValue &value)
{
    const QStringList parts = value.toString().split(QLatin1Char('.'));
    if (parts.size() < 2)
        return 0;
    const std::optional<quint8> major = versionPart(parts.at(0));
    const std::optional<quint8> minor = versionPart(parts.at(1));
    if (!major || !minor)
        return 0;
    return quint16((*major << 8) | *minor);
}

// "out 1" and "out 2" of relay modules: "On", "Off" (in any language) or a
// state number, of which the low five bits count.
int outputState(const QJsonValue &value, const Vocabulary &vocabulary)
{
    if (value.isDouble())
        return value.toInt() & 0x1F;
    const QString text = value.toString();
    if (vocabulary.onWords.contains(text))
        return 1;
    if (vocabulary.offWords.contains(text))
        return 0;
    return text.toInt() & 0x1F;
}

// The value of one field of a file's state block.
qint64 fileValue(const StateLayout::Field &field, const QJsonObject &d, const Vocabulary &vocabulary)
{
    if (field.has(StateLayout::Constant))
        return field.fallback;
    if (field.has(StateLayout::OnOffText))
        return outputState(d.value(field.name), vocabulary);
    return field.width == 1 ? bit(d, field.name) : d.value(field.name).toInt();
}

} // namespace

int typeOfModelName(const QString &name, const QList<QStringList> &tables)
{
    for (const QStringList &table : tables) {
        const int code = table.indexOf(name);
        if (code >= 0)
            return code;
    }
    return 0;
}

bool isModelName(const QString &name, const QList<QStringList> &tables)
{
    for (const QStringList &table : tables)
        if (table.contains(name))
            return true;
    return false;
}

MasterData readMaster(const QJsonObject &m, const Vocabulary &vocabulary)
{
    MasterData data;
    hubroInfo_t &r = data.record;
    std::memset(&r, 0, sizeof r);

    const int type = typeOfModelName(m.value(QLatin1String("device")).toString(), vocabulary.modelNames);
    r.bDevType = quint8(type);
    r.bHWVer = quint8(integer(m, "hw"));

    const QJsonValue mk1 = m.value(QLatin1String("mk1"));
    const QJsonValue mk2 = m.value(QLatin1String("mk2"));
    r.wMK1FWVer = firmwareWord(mk1);
    r.wMK2FWVer = firmwareWord(mk2);
    const QStringList words = mk2.toString().split(QLatin1Char(' '));
    if (words.size() > 2) {
        putText(r.szDate, words.at(1).right(8));
        putText(r.szTime, words.at(2).left(8));
    }
    if (mk1.isString()) {
        data.radioFirmwareText = mk1.toString();
    } else {
        const int word = r.wMK1FWVer;
        data.radioFirmwareText = QStringLiteral("%1.%2").arg(word / 256).arg(word % 256);
    }

    const bool wireloopPower = boolean(m, "wireloop power");
    r.Options.fKbdLock = boolean(m, "keyboard lock");
    r.Options.btfRFMode = quint8(integer(m, "rf mode") & 0x03);
    r.Options.fPswE = boolean(m, "password enabled");
    r.Options.fPowerAdjustment = boolean(m, "power adjustment");
    r.Options.fWireloopPowerDisable = wireloopPower;
    r.wPowerMain = quint16(integer(m, "power main"));
    r.wPowerBackup = quint16(integer(m, "power backup"));
    // The file holds no Wireloop supply voltage: the field carries the flag.
    r.wPowerWireloop = wireloopPower ? 1 : 0;
    r.bJamperState = boolean(m, "jamper state") ? 1 : 0;
    r.bCaseState = boolean(m, "case state") ? 1 : 0;
    r.dwSerialId = ConfigurationJson::unsigned32(m.value(QLatin1String("serial")));

    const int ticks = ConfigurationJson::intervalTicks(m.value(QLatin1String("interval")));
    r.wExchangeInterval = quint16(ticks);
    data.intervalSeconds = HubroStatus::lossDetectionSeconds(r);

    r.wHeapFree = quint16(integer(m, "heapfree"));
    const int current = integer(m, "current channel");
    const int recommended = integer(m, "recommended channel");
    if (type == 0) {
        r.Channels.btfRFCurr = quint8(current & 0x03);
        r.Channels.btfRecommended = quint8(recommended & 0x03);
        r.Channels.reserved = quint8(integer(m, "channel") & 0x03);
        r.Channels.fDynamicEnable = boolean(m, "dynamic channel");
        r.Channels.fAutoEnable = boolean(m, "auto channel");
    } else {
        const QJsonValue mode = m.value(QLatin1String("channel mode"));
        r.bChannelMode = quint8(mode.isDouble() ? mode.toInt() : ConfigurationJson::channelMode(m));
        r.ChannelsAdvanced.btfRFCurr = quint8(current & 0x0F);
        r.ChannelsAdvanced.btfRecommended = quint8(recommended & 0x0F);
    }
    r.bWireloopAddr = quint8(integer(m, "wireloop address"));
    r.wProtocolVer = quint16(integer(m, "protocol version"));
    return data;
}

deviceInfo_t readDevice(const QJsonObject &d)
{
    deviceInfo_t info;
    info.radioAddress = quint8(integer(d, "id"));
    info.serialNumber = ConfigurationJson::unsigned32(d.value(QLatin1String("serial")));
    info.firmwareVersion = versionWord(d.value(QLatin1String("firmware")));
    info.hardwareVersion = versionWord(d.value(QLatin1String("hardware")));
    info.wireloopAddress = quint8(integer(d, "wireloop address"));
    info.deviceType = quint8(integer(d, "type id"));
    info.linkState = 3;
    info.rssi = 0;
    info.rl = ConfigurationJson::unsigned32(d.value(QLatin1String("rl")));
    info.rlSupported = quint8(integer(d, "protocol"));
    const QJsonValue build = d.value(QLatin1String("build number"));
    info.buildNumber = quint8(build.isDouble() ? build.toInt() : integer(d, "buildNumber"));
    return info;
}

QByteArray readDeviceState(int typeCode, const QJsonObject &device, const Vocabulary &vocabulary)
{
    const StateLayout::Layout *layout = StateLayout::fileLayout(typeCode);
    if (!layout)
        return QByteArray();
    QByteArray block(layout->length, '\0');
    for (const StateLayout::Field &field : layout->fields)
        StateLayout::write(block, field, fileValue(field, device, vocabulary));
    // The exporter writes a detector's zone as "test mode" and "state" instead
    // of these flags: 1 and 3 are alarms, 2 a failure.
    const int state = integer(device, "state");
    const std::pair<const char *, int> exported[] = {
        {"fCustomBit", bit(device, QStringLiteral("test mode"))},
        {"fFail", state == 2},
        {"fAlarm", state == 1 || state == 3},
    };
    for (const auto &[key, value] : exported) {
        const StateLayout::Field *field = layout->field(QLatin1String(key));
        if (field && !device.contains(QLatin1String(key)))
            StateLayout::write(block, *field, value);
    }
    return block;
}

int settingValue(const QJsonObject &device, const QString &key, bool *present)
{
    const QJsonValue value = device.value(key);
    *present = value.isDouble() || value.isBool();
    return value.isBool() ? int(value.toBool()) : value.toInt();
}

} // namespace ConfigurationFileReader

#include "hubrostatus.h"

#include "packet.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <cstdlib>

namespace HubroStatus {

namespace {

constexpr int FullRecordBytes = int(sizeof(hubroInfo_t));
constexpr int ShortRecordBytes = 57;
// The short answer's record bytes 0-55; the byte after them is RFNoise.
constexpr int ShortRecordCopied = 56;

constexpr uint16_t SupplyDisconnectedMv = 2000;
constexpr uint16_t WireloopLowMv = 6499;
constexpr uint16_t WireloopHighMv = 30000;
constexpr qint64 ClockToleranceSecs = 60;

int majorOf(uint16_t word)
{
    return word >> 8;
}

int minorOf(uint16_t word)
{
    return word & 0xFF;
}

bool isDemoBoard(uint8_t type)
{
    return type == 43 || type == 44;
}

bool noiseReported(uint8_t noise)
{
    return noise != 0 && noise != 255;
}

} // namespace

bool replyHasCheckByte(ConnectionType type)
{
    switch (type) {
    case Serial:
    case Kastrel:
    case Bluetooth:
        return true;
    case File:
    case Simulation:
        break;
    }
    return false;
}

int replySize(const QByteArray &data, bool hasCheckByte)
{
    return std::max(0, data.size() - (hasCheckByte ? 1 : 0));
}

int statusRecordBytes(uint8_t askingDeviceType)
{
    return askingDeviceType == 0 ? ShortRecordBytes : FullRecordBytes;
}

std::optional<hubroInfo_t> recordFromStatusAnswer(const QByteArray &data, uint8_t askingDeviceType,
                                                  bool hasCheckByte)
{
    if (data.isEmpty() || uint8_t(data.at(0)) != PT_HUBRO_INFO_ACK)
        return std::nullopt;
    const int recordBytes = replySize(data, hasCheckByte) - 1;
    if (recordBytes < statusRecordBytes(askingDeviceType))
        return std::nullopt;

    hubroInfo_t info;
    std::memset(&info, 0, sizeof info);
    const char *record = data.constData() + 1;
    if (askingDeviceType == 0) {
        std::memcpy(&info, record, ShortRecordCopied);
        info.RFNoise = uint8_t(record[ShortRecordCopied]);
    } else {
        std::memcpy(&info, record, sizeof info);
    }
    return info;
}

QByteArray statusAnswer(const hubroInfo_t &info)
{
    const QByteArray record = hubroInfoToBytes(info);
    QByteArray answer(1, char(PT_HUBRO_INFO_ACK));
    if (statusRecordBytes(info.bDevType) == ShortRecordBytes)
        answer += record.left(ShortRecordCopied) + char(info.RFNoise);
    else
        answer += record;
    return answer;
}

bool sendsPowerState(const hubroInfo_t &info)
{
    return statusRecordBytes(info.bDevType) > int(offsetof(hubroInfo_t, bPowerState));
}

bool isOlderMaster(const hubroInfo_t &info)
{
    return (info.bDevType == 0 || info.bDevType == 1) && info.bHWVer <= 9;
}

QVersionNumber hardwareVersion(const hubroInfo_t &info)
{
    return QVersionNumber(info.bHWVer, 0);
}

QVersionNumber coreFirmwareVersion(const hubroInfo_t &info)
{
    return QVersionNumber(majorOf(info.wMK2FWVer), minorOf(info.wMK2FWVer));
}

QVersionNumber radioFirmwareVersion(const hubroInfo_t &info)
{
    return QVersionNumber(majorOf(info.wMK1FWVer), minorOf(info.wMK1FWVer));
}

int maxDeviceCount(const hubroInfo_t &info)
{
    return info.bDevType == 0 ? 32 : 125;
}

int exchangeIntervalMs(const hubroInfo_t &info)
{
    return int(info.wExchangeInterval) * 10;
}

int lossDetectionSeconds(const hubroInfo_t &info)
{
    // Three intervals of 10 ms units, in whole seconds: w * 0.03 without the
    // rounding of a floating-point product.
    return int(info.wExchangeInterval) * 3 / 100;
}

uint16_t exchangeIntervalForSeconds(int seconds)
{
    const int units = std::max(0, seconds) * 100 / 3;
    return uint16_t(std::min(units, 0xFFFF));
}

int currentChannel(const hubroInfo_t &info)
{
    return isOlderMaster(info) ? info.Channels.btfRFCurr : info.ChannelsAdvanced.btfRFCurr;
}

int recommendedChannel(const hubroInfo_t &info)
{
    return isOlderMaster(info) ? info.Channels.btfRecommended : info.ChannelsAdvanced.btfRecommended;
}

int channelGroup(const hubroInfo_t &info)
{
    if (info.bDevType == 0 || info.bDevType == 1)
        return 0;
    if (isDemoBoard(info.bDevType) || coreFirmwareVersion(info) >= QVersionNumber(1, 29))
        return std::min<int>(info.ChannelGroup, 3);
    return 0;
}

bool isConfigurationMode(const hubroInfo_t &info)
{
    return info.Options.btfRFMode == 1;
}

bool isChannelScanMode(const hubroInfo_t &info)
{
    return info.Options.btfRFMode == 2;
}

bool isKeyboardLocked(const hubroInfo_t &info)
{
    return info.Options.fKbdLock;
}

bool isPasswordEnabled(const hubroInfo_t &info)
{
    return info.Options.fPswE;
}

bool isCaseOpen(const hubroInfo_t &info)
{
    return info.bCaseState != 0;
}

bool supportsFeature(const hubroInfo_t &info, int feature)
{
    const uint8_t type = info.bDevType;
    const QVersionNumber fw = coreFirmwareVersion(info);
    if (feature == 9)
        return fw >= (type == 44 ? QVersionNumber(0, 32) : QVersionNumber(1, 32));
    if (type == 0 || type == 1) {
        if (feature > 10)
            return false;
        if (feature == 7)
            return fw > QVersionNumber(1, 11);
        if (feature == 6)
            return radioFirmwareVersion(info) >= QVersionNumber(1, 6) && fw > QVersionNumber(1, 19);
        return info.bHWVer > 9;
    }
    if (isDemoBoard(type))
        return true;
    switch (feature) {
    case 11:
        return fw >= QVersionNumber(1, 29);
    case 3:
        return hardwareVersion(info) < QVersionNumber(14, 0);
    case 12:
        return fw >= QVersionNumber(1, 31);
    case 13:
        return fw > QVersionNumber(1, 31);
    default:
        return true;
    }
}

bool isFeatureSupported(const hubroInfo_t &info, int feature)
{
    return feature == 0 && radioFirmwareVersion(info) >= QVersionNumber(1, 15);
}

QString serialText(const hubroInfo_t &info)
{
    return QStringLiteral("%1").arg(info.dwSerialId, 10, 10, QLatin1Char('0'));
}

QString addressText(const hubroInfo_t &info, bool kastrelMode)
{
    const int address = kastrelMode ? info.bKastrelAddr : info.bWireloopAddr;
    return address == 0 ? QCoreApplication::translate("HubroStatus", "Not assigned") : QString::number(address);
}

QString versionText(int major, int minor)
{
    if (major == 255)
        return QCoreApplication::translate("HubroStatus", "Unavailable");
    return QStringLiteral("%1.%2").arg(major).arg(minor);
}

QString versionText(const QVersionNumber &version)
{
    return versionText(version.majorVersion(), version.minorVersion());
}

QString fieldText(const char *field, int size)
{
    const void *end = std::memchr(field, 0, size_t(std::max(0, size)));
    const int length = end ? int(static_cast<const char *>(end) - field) : size;
    return QString::fromLatin1(field, length);
}

QDate buildDate(const QString &text)
{
    QString single = text;
    while (single.contains(QLatin1String("  ")))
        single.replace(QLatin1String("  "), QLatin1String(" "));
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    QDate date = english.toDate(single, QStringLiteral("MMM d yyyy"));
    if (!date.isValid())
        date = english.toDate(single, QStringLiteral("MMM dd yyyy"));
    return date;
}

QTime buildTime(const QString &text)
{
    return QTime::fromString(text, QStringLiteral("hh:mm:ss"));
}

QString coreFirmwareText(const hubroInfo_t &info)
{
    const QString version = versionText(coreFirmwareVersion(info));
    const QDate date = buildDate(fieldText(info.szDate, int(sizeof info.szDate)));
    const QTime time = buildTime(fieldText(info.szTime, int(sizeof info.szTime)));
    if (!date.isValid() || !time.isValid())
        return version;
    return QStringLiteral("%1 (%2 %3)")
        .arg(version, date.toString(QStringLiteral("dd.MM.yy")), time.toString(QStringLiteral("hh:mm:ss")));
}

QString freeMemoryText(const hubroInfo_t &info)
{
    return QCoreApplication::translate("HubroStatus", "%1 B").arg(info.wHeapFree);
}

QString supplyText(uint16_t millivolts)
{
    if (millivolts <= SupplyDisconnectedMv)
        return QCoreApplication::translate("HubroStatus", "Disconnected");
    return QCoreApplication::translate("HubroStatus", "%1 V").arg(millivolts / 1000.0, 0, 'f', 1);
}

double supplyVolts(uint16_t millivolts)
{
    return millivolts <= SupplyDisconnectedMv ? 0.0 : millivolts / 1000.0;
}

SupplyReading wireloopSupply(uint16_t millivolts)
{
    if (millivolts >= WireloopHighMv)
        return {QCoreApplication::translate("HubroStatus", "Fail"), true};
    if (millivolts <= WireloopLowMv)
        return {QCoreApplication::translate("HubroStatus", "Disconnected"), true};
    return {QCoreApplication::translate("HubroStatus", "%1 V").arg(millivolts / 1000.0, 0, 'f', 1), false};
}

WireloopAsSupply wireloopAsSupply(const hubroInfo_t &info)
{
    const int disabled = info.Options.fWireloopPowerDisable;
    if (isOlderMaster(info)) {
        if (info.bDevType == 0)
            return {false, (info.bJamperState & 1) ? 0 : 1};
        return {false, disabled};
    }
    const bool plain = info.bDevType != 0 && info.bDevType != 1 && !isDemoBoard(info.bDevType)
        && hardwareVersion(info) >= QVersionNumber(14, 0);
    return {!plain, disabled};
}

bool mainSupplyFailed(const hubroInfo_t &info, int wireloopAsSupply)
{
    return wireloopAsSupply != 1 && sendsPowerState(info) && !(info.bPowerState & 0x01);
}

bool reserveSupplyFailed(const hubroInfo_t &info, int wireloopAsSupply)
{
    return wireloopAsSupply != 1 && sendsPowerState(info) && !(info.bPowerState & 0x02);
}

QString olderChannelText(const hubroInfo_t &info)
{
    const int current = info.Channels.btfRFCurr;
    const int recommended = info.Channels.btfRecommended;
    if (!info.Channels.fAutoEnable)
        return QStringLiteral("%1").arg(current);
    if (recommended != current)
        return QCoreApplication::translate("HubroStatus", "Auto: %1 (%2)").arg(recommended).arg(current);
    return QCoreApplication::translate("HubroStatus", "Auto: %1").arg(recommended);
}

QList<int> groupChannels(int group)
{
    switch (group) {
    case 0:
        return {0, 1, 2, 3, AutoChannel, DynamicChannel};
    case 1:
        return {1, 4, 7, AutoChannel, DynamicChannel};
    case 2:
        return {2, 5, 8, AutoChannel, DynamicChannel};
    case 3:
        return {3, 6, 9, AutoChannel, DynamicChannel};
    default:
        return {};
    }
}

QStringList channelChoiceTexts(const hubroInfo_t &info)
{
    const int current = currentChannel(info);
    QStringList texts;
    for (const int channel : groupChannels(channelGroup(info))) {
        if (channel == AutoChannel)
            texts << (info.bChannelMode == 1 ? QCoreApplication::translate("HubroStatus", "Auto: %1").arg(current) : QCoreApplication::translate("HubroStatus", "Auto"));
        else if (channel == DynamicChannel)
            texts << (info.bChannelMode == 2 ? QCoreApplication::translate("HubroStatus", "Dynamic: %1").arg(current) : QCoreApplication::translate("HubroStatus", "Dynamic"));
        else
            texts << QStringLiteral("%1").arg(channel);
    }
    return texts;
}

int channelChoiceIndex(const hubroInfo_t &info)
{
    int channel = currentChannel(info);
    if (info.bChannelMode == 2)
        channel = DynamicChannel;
    else if (info.bChannelMode == 1)
        channel = AutoChannel;
    return groupChannels(channelGroup(info)).indexOf(channel);
}

bool hasInterference(const hubroInfo_t &info)
{
    return supportsFeature(info, 9) && noiseReported(info.RFNoise);
}

QString noiseText(const hubroInfo_t &info)
{
    return hasInterference(info) ? QCoreApplication::translate("HubroStatus", "Interference!") : QCoreApplication::translate("HubroStatus", "No");
}

QList<int> lossDetectionChoices(uint8_t deviceType, bool kastrelMode)
{
    if (deviceType == 0 && !kastrelMode)
        return {30, 45, 90, 180, 270, 360, 540, 720, 900};
    return {180, 270, 360, 540, 720, 900};
}

bool clockNeedsSetting(const hubroInfo_t &info, qint64 nowSecsSinceEpoch)
{
    if (isOlderMaster(info))
        return false;
    return std::llabs(qint64(info.Time) - nowSecsSinceEpoch) > ClockToleranceSecs;
}

bool hasAlarm(const hubroInfo_t &info)
{
    return isCaseOpen(info) || hasInterference(info);
}

bool hasFault(const hubroInfo_t &info, int wireloopAsSupply)
{
    if (info.RFNoise != 0)
        return true;
    if (wireloopAsSupply == 1)
        return info.wPowerWireloop < WireloopLowMv || info.wPowerWireloop > WireloopHighMv;
    return mainSupplyFailed(info, wireloopAsSupply) || reserveSupplyFailed(info, wireloopAsSupply);
}

QString statusText(const hubroInfo_t &info, int connectedDevices, bool viewingMode,
                   int wireloopAsSupply, const QString &itemStatus)
{
    QStringList parts;
    parts << QCoreApplication::translate("HubroStatus", "Devices connected: %1").arg(connectedDevices);
    if (viewingMode)
        parts << QCoreApplication::translate("HubroStatus", "Viewing mode");
    // A configuration file measures no supply: it reports none failed.
    if (!viewingMode && mainSupplyFailed(info, wireloopAsSupply))
        parts << QCoreApplication::translate("HubroStatus", "Main power failed");
    if (!viewingMode && reserveSupplyFailed(info, wireloopAsSupply))
        parts << QCoreApplication::translate("HubroStatus", "Reserve power failed");
    if (!viewingMode && wireloopSupply(info.wPowerWireloop).failed)
        parts << QCoreApplication::translate("HubroStatus", "WIRELOOP power failed");
    if (hasInterference(info))
        parts << QCoreApplication::translate("HubroStatus", "Interference!");
    // Any other noise byte but 0 is a fault too (255, or a master that
    // cannot report interference): the row's colour says so, and so does the text.
    else if (info.RFNoise != 0)
        parts << QCoreApplication::translate("HubroStatus", "Radio noise fault (%1)").arg(int(info.RFNoise));
    if (!itemStatus.isEmpty())
        parts << itemStatus;
    return parts.join(QStringLiteral(", "));
}

const QStringList &measuredKeys()
{
    static const QStringList keys{
        QStringLiteral("bCaseState"),     QStringLiteral("wHeapFree"),
        QStringLiteral("btfRFMode"),      QStringLiteral("channelGroup"),
        QStringLiteral("btfRFCurr"),      QStringLiteral("btfRecommended"),
        QStringLiteral("RFNoise"),        QStringLiteral("wExchangeInterval"),
        QStringLiteral("fPowerAdjustment"), QStringLiteral("wPowerMain"),
        QStringLiteral("wPowerBackup"),   QStringLiteral("fWireloopPowerDisable"),
        QStringLiteral("wPowerWireloop"), QStringLiteral("fPswE"),
    };
    return keys;
}

QList<QPair<QString, QVariant>> measuredValues(const hubroInfo_t &info)
{
    int radioMode = 0;
    if (!isOlderMaster(info) && (info.bChannelMode == 1 || info.bChannelMode == 2))
        radioMode = info.bChannelMode;

    QList<QPair<QString, QVariant>> values;
    const QStringList &keys = measuredKeys();
    values << qMakePair(keys.at(0), QVariant(int(info.bCaseState)));
    values << qMakePair(keys.at(1), QVariant(int(info.wHeapFree)));
    values << qMakePair(keys.at(2), QVariant(radioMode));
    values << qMakePair(keys.at(3), QVariant(channelGroup(info)));
    values << qMakePair(keys.at(4), QVariant(currentChannel(info)));
    values << qMakePair(keys.at(5), QVariant(recommendedChannel(info)));
    if (supportsFeature(info, 9))
        values << qMakePair(keys.at(6), QVariant(int(info.RFNoise)));
    values << qMakePair(keys.at(7), QVariant(lossDetectionSeconds(info)));
    values << qMakePair(keys.at(8), QVariant(int(info.Options.fPowerAdjustment)));
    values << qMakePair(keys.at(9), QVariant(supplyVolts(info.wPowerMain)));
    values << qMakePair(keys.at(10), QVariant(supplyVolts(info.wPowerBackup)));
    values << qMakePair(keys.at(11), QVariant(int(info.Options.fWireloopPowerDisable)));
    values << qMakePair(keys.at(12), QVariant(int(info.wPowerWireloop)));
    values << qMakePair(keys.at(13), QVariant(int(info.Options.fPswE)));
    return values;
}

} // namespace HubroStatus

#include "diagnosticsrecords.h"

#include "configurationjson.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>

namespace {
quint8 byteAt(const QByteArray &data, int index)
{
    return index >= 0 && index < data.size() ? quint8(data.at(index)) : 0;
}

quint16 wordAt(const QByteArray &data, int index)
{
    return quint16(byteAt(data, index) | (byteAt(data, index + 1) << 8));
}

quint32 longAt(const QByteArray &data, int index)
{
    return quint32(wordAt(data, index)) | (quint32(wordAt(data, index + 2)) << 16);
}

// A text field of fixed width: up to its first zero byte, never past its width.
QByteArray textField(const QByteArray &data, int offset, int width)
{
    const QByteArray field = data.mid(offset, width);
    const int end = field.indexOf('\0');
    return end < 0 ? field : field.left(end);
}

} // namespace

// ---------------------------------------------------------------- statistics

bool statisticsFromBytes(const QByteArray &bytes, statistics_t *stats)
{
    if (bytes.size() < StatisticsRecordSize)
        return false;
    stats->softwareReboots = wordAt(bytes, 0);
    stats->hardwareReboots = wordAt(bytes, 2);
    stats->linkLost = wordAt(bytes, 4);
    stats->linkRestored = wordAt(bytes, 6);
    stats->packetsSent = wordAt(bytes, 8);
    for (int i = 0; i < int(stats->repeatCounters.size()); ++i)
        stats->repeatCounters[size_t(i)] = wordAt(bytes, 10 + 2 * i);
    return true;
}

quint16 statisticsCounter(quint16 word)
{
    return word == 0xFFFF ? 0 : word;
}

QString repeatPercentText(const statistics_t &stats, int k)
{
    if (k < 1 || k > 8 || stats.packetsSent == 0)
        return QStringLiteral("0.00");
    const quint16 repeated =
        quint16(stats.repeatCounters[size_t(k - 1)] - stats.repeatCounters[size_t(k)]); // modulo 65536
    return QString::asprintf("%.2f", double(repeated) / double(stats.packetsSent) * 100.0);
}

// ---------------------------------------------------------------- link quality

bool rssiShortTestFromReply(const QByteArray &reply, rssiShortTest_t *result)
{
    if (reply.size() < 6)
        return false;
    result->first = byteAt(reply, 1);
    result->received = byteAt(reply, 2);
    result->average = qint8(byteAt(reply, 3));
    result->minimum = qint8(byteAt(reply, 4));
    result->maximum = qint8(byteAt(reply, 5));
    return true;
}

int rssiBarWidth(int value, int width)
{
    // Whole numbers: truncated toward zero, and -60 dBm is exactly 60 %.
    return value * width / 100;
}

// ---------------------------------------------------------------- abort codes

const std::array<const char *, 98> abortCodeNames{
    "ABORT_DUMMY", "ABORT_MODULE_COUNT_OVERFLOW", "ABORT_TASK_COUNT_OVERFLOW", "ABORT_EVENT_GROUP_INVALID",
    "ABORT_EVENT_DUPLICATE_REGISTRATION", "ABORT_EVENT_REGISTRATION_OVERFLOW", "ABORT_EVENT_NOT_FOUND",
    "ABORT_EVENT_SUBSCRIPTION_OVERFLOW", "ABORT_EVENT_QUEUE_OVERFLOW", "ABORT_MEMMGR_BAD_ALLOC_SIZE",
    "ABORT_MEMMGR_ALLOC_FAILED2", "ABORT_MEMMGR_BAD_FREE_ADDRESS", "ABORT_MEMMGR_BAD_FREE_STATE",
    "ABORT_MEMMGR_HEAP_CORRUPTED", "ABORT_MEMMGR_ALLOC_FAILED", "ABORT_MEMMGR_HEAP_CORRUPTED2",
    "ABORT_RADIO_CLEAR_COMMAND_FAILED1", "ABORT_RADIO_CLEAR_COMMAND_FAILED2",
    "ABORT_RADIO_CLEAR_COMMAND_FAILED3", "ABORT_RADIO_INIT_POWER_OFF_FAILED",
    "ABORT_RADIO_INIT_POWER_ON_FAILED", "ABORT_RADIO_INIT_DEFINE_QUEUE_FAILED",
    "ABORT_RADIO_INIT_AUX_POWER_ON_FAILED", "ABORT_RADIO_INIT_XOSC_ON_FAILED",
    "ABORT_RADIO_INIT_XOSC_SET_FAILED", "ABORT_RADIO_CONTINIOUS_MODE_FAILED",
    "ABORT_RADIO_RECEIVE_ON_DEFINE_QUEUE_FAILED", "ABORT_RADIO_RECEIVE_ON_FAILED",
    "ABORT_RADIO_FAST_RECEIVE_ON_DEFINE_QUEUE_FAILED", "ABORT_RADIO_FAST_RECEIVE_ON_FAILED",
    "ABORT_NWK_INIT_NULLPTR", "ABORT_NWK_ED_BAD_PACKET_ID", "ABORT_NWK_RS_BAD_PACKET_ID",
    "ABORT_NWK_PREPARATION_PACKET_TOO_BIG", "ABORT_RADIO_TRANSMIT_FAILED", "ABORT_RADIO_TRANSMIT_FAILED2",
    "ABORT_AES_BUSY", "ABORT_AES_KEY_ALLOCATE_FAILED", "ABORT_AES_TRANSACTION_FAILED",
    "ABORT_AES_KEY_RELEASE_FAILED", "ABORT_RANDOM_BUSY", "ABORT_HUBRO32_READ_COMMAND_NULL",
    "ABORT_HUBRO32_READ_DATA_OVERFLOW", "ABORT_HUBRO32_CONFIG_HANDLER_OVERFLOW",
    "ABORT_COORD_REG_STATUS_BAD_ADDRESS", "ABORT_COORD_PARSE_DATA_BAD_SENT_STATE",
    "ABORT_COORD_BAD_PACKET_ID", "ABORT_COORD_PARSE_DATA_ACK_BAD_SENT_STATE",
    "ABORT_COORD_DATA_SENT_ADDRESS_CHANGED", "ABORT_COORD_DATA_SEND_BUFFER_CHANGED",
    "ABORT_COORD_LOAD_DEVICE_INCORRECT_LENGTH", "ABORT_COORD_LOAD_DEVICE_INCORRECT",
    "ABORT_COORD_LOAD_DEVICE_DUPLICATE_TASK", "ABORT_COORD_LOAD_DEVICE_INCORRECT_ADDRESS",
    "ABORT_COORD_PARSE_DATA_EX_DATA_TOO_BIG", "ABORT_UART_TRANSMIT_FAILED", "ABORT_UART_TRANSMIT_FAILED2",
    "ABORT_UART_TRANSMIT_ZERO_LENGTH", "ABORT_UART_RECEIVE_NULL_BUFFER", "ABORT_UART_TRANSMIT_FAILED3",
    "ABORT_UART_RECEIVE_STRUCT_ERROR", "ABORT_UART_TRANSMIT_ZERO_LENGTH2", "ABORT_UART_TRANSMIT_FAILED4",
    "ABORT_UART_TRANSMIT_ZERO_LENGTH3", "ABORT_UART_TRANSMIT_ZERO_LENGTH4", "ABORT_UART_TRANSMIT_FAILED5",
    "ABORT_UART_PROTECTION_TASK", "ABORT_PTR_NWK_IS_NULL", "ABORT_NWK_BAD_EXPECTED_PACK_ID",
    "ABORT_NWK_OVERFLOW_PACK_LENGTH", "ABORT_RF_BUSY_CHANNEL", "ABORT_FIRMWARE_UPDATE_NOT_VALID_CRC",
    "ABORT_FIRMWARE_UPDATE_NOT_VALID_ADR", "ABORT_FIRMWARE_UPDATE_OVERFLOW_POS_MARKER",
    "ABORT_FIRMWARE_UPDATE_OVERFLOW_POS_DATA", "ABORT_FIRMWARE_UPDATE_BAD_SAVE_IN_EEPROM",
    "ABORT_FIRMWARE_UPDATE_FINISH_OVERFLOW_POS_MARKET", "ABORT_FIRMWARE_UPDATE_NOT_CHECK_CRC_HEADER",
    "ABORT_FIRMWARE_UPDATE_NOT_STARTED", "ABORT_RS_LIST_OVERFLOW_ADR_IN_PRINT_MEMORY",
    "ABORT_RS_LIST_OVERFLOW_ADR_IN_FIND_CLEAR_FLASH", "ABORT_RS_LIST_OVERFLOW_ADR_IN_REFORMATED_MEMORY",
    "ABORT_RS_LIST_OVERFLOW_ADR_NEW_SAVE_DATA", "ABORT_RS_LIST_OVERFLOW_CLEAR_BLOCK_SIZE",
    "ABORT_RS_LIST_LOWFLOW_OR_OVERFLOW_PTR_DATA", "ABORT_RS_LIST_LOWFLOW_OR_OVERFLOW_PTR_STATUS",
    "ABORT_RS_LIST_LOWFLOW_OR_OVERFLOW_IN_DEBUG_INFO", "ABORT_RS_TABLE_NOT_ADD_RECORD",
    "ABORT_RS_BAD_INDEX_IN_RUN_HANDLER_MODE", "ABORT_FREE_ENTRY",
    "ABORT_DATA_COLLECTOR_BAD_INDEX_ZONE_IN_SW_ZONE", "ABORT_DATA_COLLECTOR_BAD_INDEX_ZONE_IN_MES_CIR",
    "ABORT_DATA_COLLECTOR_BAD_LEN_DATA_EX", "ABORT_DATA_COLLECTOR_BAD_INDEX_ZONE_IN_SET_ALARM",
    "ABORT_ED_BAD_INDEX_IN_RUN_HANDLER", "ABORT_DATA_COLLECTOR_BAD_INDEX_ZONE_ADD_ZONE_DATA",
    "ABORT_DATA_COLLECTOR_INVALID_DATA_TYPE_0", "ABORT_DATA_COLLECTOR_INVALID_DATA_TYPE_1"
};

QString localeTextDate(const QDateTime &time)
{
    return QLocale().toString(time, QStringLiteral("ddd MMM d hh:mm:ss yyyy"));
}

// ---------------------------------------------------------------- the master's event log

bool logEntryFromReply(const QByteArray &reply, t_Log_TROMBEL *entry)
{
    if (reply.size() < 1 + LogEntrySize)
        return false;
    const QByteArray e = reply.mid(1, LogEntrySize);
    entry->eventName = textField(e, 1, 23);
    entry->eventParameter = byteAt(e, 24);
    entry->taskName = textField(e, 25, 16);
    entry->stack = wordAt(e, 41);
    entry->stackPercent = byteAt(e, 43);
    entry->time = longAt(e, 44);
    entry->data = longAt(e, 48);
    entry->description = textField(e, 52, 72);
    return true;
}

QStringList logEntryTexts(const t_Log_TROMBEL &entry)
{
    return {localeTextDate(QDateTime::fromSecsSinceEpoch(qint64(entry.time))),
            QStringLiteral("%1 (%2)").arg(QString::fromLocal8Bit(entry.eventName)).arg(entry.eventParameter),
            QString::fromLocal8Bit(entry.taskName),
            QStringLiteral("%1 (%2%)").arg(entry.stack).arg(entry.stackPercent),
            QString::fromUtf8(entry.description),
            logDataText(entry.eventName, entry.data)};
}

QString logDataText(const QByteArray &eventName, quint32 data)
{
    if (!eventName.contains("USR_MCU1_FAILURE"))
        return QString::number(data, 16);
    if (data > 255)
        return QCoreApplication::translate("MasterLogReaderWidget", "Hard fault: 0x%1").arg(data, 8, 16, QLatin1Char('0'));
    if (data < abortCodeNames.size())
        return QCoreApplication::translate("MasterLogReaderWidget", "%1 (%2)")
            .arg(QLatin1String(abortCodeNames[data]))
            .arg(data);
    return QCoreApplication::translate("MasterLogReaderWidget", "UNKNOWN_ABORT: %1").arg(data, 16);
}

QList<EepromLogRecord> eepromLogRecords(const QByteArray &reply)
{
    QList<EepromLogRecord> records;
    for (int at = 4; at + 6 <= reply.size() && at <= 28; at += 6) {
        EepromLogRecord record;
        record.pclatu = byteAt(reply, at);
        record.pclath = byteAt(reply, at + 1);
        record.pcl = byteAt(reply, at + 2);
        record.errorCode = byteAt(reply, at + 3);
        record.data = wordAt(reply, at + 4);
        records << record;
    }
    return records;
}

QString eepromLogEventText(quint8 code)
{
    QString name = ConfigurationJson::errorName(code);
    if (name.isEmpty())
        name = QCoreApplication::translate("MasterLogReaderWidget", "Unknown error %1").arg(code);
    return QStringLiteral("%1 [%2]").arg(name).arg(code);
}

int eepromLogLastIndex(const QByteArray &reply)
{
    return int(qint8(byteAt(reply, 3))) + 1;
}

// ---------------------------------------------------------------- device EEPROM

quint8 eepromReadLength(int address, int length)
{
    int floor = 0;
    switch (address) {
    case 0x50:
        floor = 9;
        break;
    case 0x60:
        floor = 26;
        break;
    case 0x7A:
        floor = 4;
        break;
    default:
        break;
    }
    return quint8(qBound(0, qMax(length, floor), 255));
}

QString eepromDecodedText(int address, const QByteArray &reply, bool *tooShort)
{
    if (tooShort)
        *tooShort = false;
    constexpr int Data = 5;
    if (address == 0x50) {
        if (reply.size() < Data + 9) {
            if (tooShort)
                *tooShort = true;
            return QString();
        }
        const auto b = [&reply](int i) { return uint(byteAt(reply, Data + i)); };
        return QString::fromUtf8("Статистика Zentar-BEXIL\nПерезагрузки: \t%1\nВскрытия корпуса: \t%2\n"
                                 "Отправлено тревог: \t%3\nНапр. основной: \t%4\nНапр. резервной: \t%5\n"
                                 "Отправлено неспр.: \t%6\nКод неисправности: \t%7\nНепрерывн. неиспр.: \t%8\n"
                                 "Непрерывн. тревог: \t%9\n")
            .arg(b(0))
            .arg(b(1))
            .arg(b(2))
            .arg((b(3) + 200) * 10)
            .arg((b(4) + 200) * 10)
            .arg(b(5))
            .arg(b(6))
            .arg(b(7))
            .arg(b(8));
    }
    if (address == 0x7A) {
        if (reply.size() < Data + 1) {
            if (tooShort)
                *tooShort = true;
            return QString();
        }
        const quint8 code = byteAt(reply, Data);
        if (code < abortCodeNames.size())
            return QStringLiteral("%1 (%2)").arg(QLatin1String(abortCodeNames[code])).arg(code);
        return QString::number(code, 16);
    }
    return QString();
}

// ---------------------------------------------------------------- master stack usage

StackEntry stackEntryFromRecord(const QByteArray &record)
{
    StackEntry entry;
    entry.size = wordAt(record, 0);
    entry.usage = byteAt(record, 2);
    entry.taskName = QString::fromUtf8(textField(record, 3, 16));
    entry.priority = QString::fromLocal8Bit(textField(record, 19, 16));
    entry.type = QString::fromLocal8Bit(textField(record, 35, 16));
    return entry;
}

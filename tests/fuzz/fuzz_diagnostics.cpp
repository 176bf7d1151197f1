// Fuzz target for the diagnostics answers: radio statistics, the link-quality
// result, the master's event log entries, the first master model's EEPROM log
// records, a device's EEPROM read and the master's stack listing.
// Input: bytes 0-1 the EEPROM address read (little-endian), the rest the answer
// (type byte first).

#include "diagnosticsrecords.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    quietLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2 || size > 1024)
        return 0;
    const int address = data[0] | (data[1] << 8);
    const QByteArray answer = inputBytes(data + 2, size - 2);

    statistics_t stats;
    require(statisticsFromBytes(answer, &stats) == (answer.size() >= StatisticsRecordSize));
    for (int k = 0; k <= 9; ++k) {
        bool number = false;
        require(repeatPercentText(stats, k).toDouble(&number) >= 0 && number);
    }
    statisticsCounter(stats.packetsSent);

    rssiShortTest_t rssi;
    if (rssiShortTestFromReply(answer, &rssi))
        for (const int width : {0, 1, 100, 333}) {
            const int bar = rssiBarWidth(rssi.average + 120, width);
            require(bar >= -width * 9 / 10 && bar <= width * 4);
        }

    t_Log_TROMBEL entry;
    if (logEntryFromReply(answer, &entry)) {
        require(answer.size() >= 1 + LogEntrySize);
        require(entry.eventName.size() <= 23 && !entry.eventName.contains('\0'));
        require(entry.taskName.size() <= 16 && entry.description.size() <= 72);
        require(logEntryTexts(entry).size() == 6);
    } else {
        require(answer.size() < 1 + LogEntrySize);
    }
    logDataText(answer.left(40), quint32(address) * 0x10001u);
    logDataText(QByteArrayLiteral("USR_MCU1_FAILURE"), quint32(address));

    const QList<EepromLogRecord> records = eepromLogRecords(answer);
    require(records.size() == (answer.size() < 10 ? 0 : qMin(5, (answer.size() - 4) / 6)));
    for (const EepromLogRecord &record : records)
        require(eepromLogEventText(record.errorCode).endsWith(QStringLiteral("[%1]").arg(record.errorCode)));
    const int last = eepromLogLastIndex(answer);
    require(last >= -127 && last <= 128);

    const quint8 length = eepromReadLength(address, answer.size());
    require(length >= qMin(answer.size(), 255));
    bool tooShort = false;
    const QString decoded = eepromDecodedText(address, answer, &tooShort);
    require(!(tooShort && !decoded.isEmpty()));

    const StackEntry stack = stackEntryFromRecord(answer.mid(2, StackEntryRecordSize));
    require(stack.taskName.size() <= 16 && stack.priority.size() <= 16 && stack.type.size() <= 16);
    return 0;
}

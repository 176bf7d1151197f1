#pragma once

// The records that diagnostics answers carry and the texts they are shown
// as: pure functions, bytes in, values and texts out.

#include <QByteArray>
#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <array>

// ---------------------------------------------------------------- statistics

// A device's radio statistics: fourteen little-endian words as it sends them.
struct statistics_t
{
    quint16 softwareReboots = 0; // w0
    quint16 hardwareReboots = 0; // w1
    quint16 linkLost = 0;        // w2
    quint16 linkRestored = 0;    // w3
    quint16 packetsSent = 0;     // w4
    std::array<quint16, 9> repeatCounters{}; // w5 .. w13
};
Q_DECLARE_METATYPE(statistics_t)

constexpr int StatisticsRecordSize = 28;

// Reads the record from the first 28 bytes; false (record untouched) when
// fewer are there.
bool statisticsFromBytes(const QByteArray &bytes, statistics_t *stats);
// A counter as shown: 0xFFFF means no value and shows 0.
quint16 statisticsCounter(quint16 word);
// Repeat row k (1 .. 8): the packets repeated k times, in percent of those
// sent, two decimals; "0.00" when none were sent.
QString repeatPercentText(const statistics_t &stats, int k);

// ---------------------------------------------------------------- link quality

// A device's link-quality result: bytes 1 to 5 of the test's READY answer.
struct rssiShortTest_t
{
    quint8 first = 0;
    quint8 received = 0; // test packets received of 100; 0: the test failed
    qint8 average = 0;   // dBm
    qint8 minimum = 0;
    qint8 maximum = 0;
};
Q_DECLARE_METATYPE(rssiShortTest_t)

// The READY answer (type byte first) needs 6 bytes; false when shorter.
bool rssiShortTestFromReply(const QByteArray &reply, rssiShortTest_t *result);
// Pixels of a level bar of `width` for a level in dBm plus 120 (a percentage).
int rssiBarWidth(int value, int width);

// ---------------------------------------------------------------- abort codes

// Names of the abort codes 0 to 97 of the master and the radio devices (the
// error codes of the first master model's EEPROM log are named by
// ConfigurationJson::errorName).
extern const std::array<const char *, 98> abortCodeNames;

// A time as weekday, month, day, time and year, with the names of the
// interface's language (the default locale).
QString localeTextDate(const QDateTime &time);

// ---------------------------------------------------------------- the master's event log

// One entry of the master's event log: the 124 bytes after the type byte of
// PT_LOG_FIND_ACK (little-endian).
struct t_Log_TROMBEL
{
    QByteArray eventName;   // bytes 1-23, up to the first zero byte, 8-bit
    quint8 eventParameter = 0;
    QByteArray taskName;    // bytes 25-40
    quint16 stack = 0;
    quint8 stackPercent = 0;
    quint32 time = 0;       // seconds since 1970-01-01 UTC
    quint32 data = 0;
    QByteArray description; // bytes 52-123, UTF-8
};
Q_DECLARE_METATYPE(t_Log_TROMBEL)

constexpr int LogEntrySize = 124;

// Reads an entry from the reply (type byte first); false when the reply holds
// fewer than 125 bytes.
bool logEntryFromReply(const QByteArray &reply, t_Log_TROMBEL *entry);
// The texts of the six columns: Time, Event, Task, Stack, Description, Data.
QStringList logEntryTexts(const t_Log_TROMBEL &entry);
// The Data column: an abort or fault code for USR_MCU1_FAILURE events, else
// the data in hexadecimal.
QString logDataText(const QByteArray &eventName, quint32 data);

// The first master model's EEPROM error log: PT_HUBRO_EEPROM_READ_ACK (type
// byte first) needs 34 bytes.
constexpr int EepromLogReplySize = 34;
struct EepromLogRecord
{
    quint8 pclatu = 0;
    quint8 pclath = 0;
    quint8 pcl = 0;
    quint8 errorCode = 0xFF; // 0xFF: an empty record
    quint16 data = 0;
};
// The five records at offsets 4, 10, 16, 22 and 28 of the reply.
QList<EepromLogRecord> eepromLogRecords(const QByteArray &reply);
// "%1 [%2]" with the code's name ("Unknown error %1" past the table).
QString eepromLogEventText(quint8 code);
// The index of the last restart record shown: byte 3 as a signed byte, plus 1.
int eepromLogLastIndex(const QByteArray &reply);

// ---------------------------------------------------------------- device EEPROM

// The length a device EEPROM read asks for: raised to 9 at 0x50, 26 at 0x60
// and 4 at 0x7A.
quint8 eepromReadLength(int address, int length);
// The debug text decoding a well-known address from a PT_DEVICE_EEPROM_RECEIVED
// answer (type byte first): the statistics block at 0x50, the last assert code
// at 0x7A. Empty for other addresses and for answers too short to decode (then
// `tooShort` is set).
QString eepromDecodedText(int address, const QByteArray &reply, bool *tooShort = nullptr);

// ---------------------------------------------------------------- master stack usage

// One task of the master's stack listing: the 51 bytes from byte 2 of
// PT_USB_DEBUG_STACK_INFO_ACK.
struct StackEntry
{
    quint16 size = 0;
    quint8 usage = 0;
    QString taskName;
    QString priority;
    QString type;
};
constexpr int StackEntryRecordSize = 51;
// Reads the record; missing bytes read as zeros.
StackEntry stackEntryFromRecord(const QByteArray &record);

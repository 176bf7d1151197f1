// The records of the diagnostics answers and the texts they are shown as.
#include "diagnosticsrecords.h"

#include <QDateTime>
#include <QtTest>

namespace {
QByteArray words(const QList<int> &values)
{
    QByteArray data;
    for (int v : values)
        data.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
    return data;
}

QByteArray field(const QByteArray &text, int width)
{
    return text.left(width) + QByteArray(qMax(0, width - text.size()), '\0');
}

// PT_LOG_FIND_ACK with one entry.
QByteArray logReply(const QByteArray &event, quint8 parameter, const QByteArray &task, quint16 stack, quint8 percent,
                    quint32 time, quint32 data, const QByteArray &description)
{
    QByteArray reply(1, char(0xEB));
    reply += char(0x11); // not shown
    reply += field(event, 23);
    reply += char(parameter);
    reply += field(task, 16);
    reply += words({stack});
    reply += char(percent);
    reply += words({int(time & 0xFFFF), int(time >> 16)});
    reply += words({int(data & 0xFFFF), int(data >> 16)});
    reply += field(description, 72);
    return reply;
}
} // namespace

class DiagnosticsRecordsTest : public QObject
{
    Q_OBJECT
private slots:
    void statisticsRows_data()
    {
        QTest::addColumn<QList<int>>("record"); // w0 .. w13
        QTest::addColumn<QStringList>("counters"); // hardware, software, lost, restored, sent
        QTest::addColumn<QStringList>("repeats");  // rows 1 .. 8
        QTest::newRow("the usual spread")
            << QList<int>{1, 2, 3, 4, 100, 100, 60, 30, 10, 0, 0, 0, 0, 0}
            << QStringList{"2", "1", "3", "4", "100"}
            << QStringList{"40.00", "30.00", "20.00", "10.00", "0.00", "0.00", "0.00", "0.00"};
        QTest::newRow("nothing sent") << QList<int>{0, 0, 0, 0, 0, 5, 3, 0, 0, 0, 0, 0, 0, 0}
                                      << QStringList{"0", "0", "0", "0", "0"}
                                      << QStringList{"0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00"};
        // 0xFFFF shows 0, yet stays the divisor; a counter below the next wraps.
        QTest::newRow("no values, wrapped counters")
            << QList<int>{0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0, 1, 1, 1, 1, 1, 1, 1, 1}
            << QStringList{"0", "0", "0", "0", "0"}
            << QStringList{"100.00", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00"};
        QTest::newRow("thirds") << QList<int>{0, 0, 0, 0, 3, 2, 1, 0, 0, 0, 0, 0, 0, 0}
                                << QStringList{"0", "0", "0", "0", "3"}
                                << QStringList{"33.33", "33.33", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00"};
    }
    void statisticsRows()
    {
        QFETCH(QList<int>, record);
        QFETCH(QStringList, counters);
        QFETCH(QStringList, repeats);
        statistics_t stats;
        QVERIFY(!statisticsFromBytes(words(record).left(27), &stats));
        QVERIFY(statisticsFromBytes(words(record), &stats));
        QCOMPARE((QStringList{QString::number(statisticsCounter(stats.hardwareReboots)),
                              QString::number(statisticsCounter(stats.softwareReboots)),
                              QString::number(statisticsCounter(stats.linkLost)),
                              QString::number(statisticsCounter(stats.linkRestored)),
                              QString::number(statisticsCounter(stats.packetsSent))}),
                 counters);
        QStringList rows;
        for (int k = 1; k <= 8; ++k)
            rows << repeatPercentText(stats, k);
        QCOMPARE(rows, repeats);
    }

    void levelTest_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("read");
        QTest::addColumn<QList<int>>("bars"); // average, lowest, highest, at width 200
        QTest::newRow("87 packets") << QByteArray::fromHex("9401") + char(87) + char(-63) + char(-71) + char(-55)
                                    << true << QList<int>{114, 98, 130};
        QTest::newRow("too short") << QByteArray::fromHex("940157c1b9") << false << QList<int>();
    }
    void levelTest()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, read);
        QFETCH(QList<int>, bars);
        rssiShortTest_t result;
        QCOMPARE(rssiShortTestFromReply(reply, &result), read);
        if (!read)
            return;
        QCOMPARE(int(result.received), 87);
        QCOMPARE((QList<int>{rssiBarWidth(result.average + 120, 200), rssiBarWidth(result.minimum + 120, 200),
                             rssiBarWidth(result.maximum + 120, 200)}),
                 bars);
        QCOMPARE(rssiBarWidth(5, 333), 16); // a failed row's stub: truncated
    }

    void logDataColumn_data()
    {
        QTest::addColumn<QByteArray>("event");
        QTest::addColumn<quint32>("data");
        QTest::addColumn<QString>("text");
        QTest::newRow("hard fault") << QByteArray("USR_MCU1_FAILURE") << 256u << "Hard fault: 0x00000100";
        QTest::newRow("last abort code") << QByteArray("USR_MCU1_FAILURE") << 97u
                                         << "ABORT_DATA_COLLECTOR_INVALID_DATA_TYPE_1 (97)";
        QTest::newRow("first abort code") << QByteArray("x USR_MCU1_FAILURE y") << 0u << "ABORT_DUMMY (0)";
        QTest::newRow("unknown abort") << QByteArray("USR_MCU1_FAILURE") << 98u
                                       << QStringLiteral("UNKNOWN_ABORT: ") + QString(14, QLatin1Char(' ')) + "98";
        QTest::newRow("other event") << QByteArray("POR") << 255u << "ff";
        QTest::newRow("case matters") << QByteArray("usr_mcu1_failure") << 256u << "100";
    }
    void logDataColumn()
    {
        QFETCH(QByteArray, event);
        QFETCH(quint32, data);
        QFETCH(QString, text);
        QCOMPARE(logDataText(event, data), text);
    }

    void logEntry()
    {
        const quint32 time = quint32(QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7), Qt::UTC).toSecsSinceEpoch());
        // The task name fills its 16 bytes: it ends where its field does.
        const QByteArray reply = logReply("RF_LINK_LOST", 12, "RadioTaskLongNam", 412, 61, time, 0xABCD,
                                          QString::fromUtf8("Связь потеряна").toUtf8());
        t_Log_TROMBEL entry;
        QVERIFY(!logEntryFromReply(reply.left(124), &entry));
        QVERIFY(logEntryFromReply(reply, &entry));
        QCOMPARE(logEntryTexts(entry),
                 (QStringList{QDateTime::fromSecsSinceEpoch(time).toString(Qt::TextDate), "RF_LINK_LOST (12)",
                              "RadioTaskLongNam", "412 (61%)", QString::fromUtf8("Связь потеряна"), "abcd"}));
    }

    void masterEepromLog()
    {
        QByteArray reply = QByteArray::fromHex("710000ff");
        for (int n = 0; n < 5; ++n)
            reply += QByteArray::fromHex("010203ff0000"); // empty records
        QCOMPARE(eepromLogLastIndex(reply), 0);
        QList<quint8> used;
        for (const EepromLogRecord &r : eepromLogRecords(reply))
            if (r.errorCode != 0xFF)
                used << r.errorCode;
        QVERIFY(used.isEmpty());
        reply[3] = char(2);
        reply.replace(4, 6, QByteArray::fromHex("0102030c3412"));  // POR, 0x1234
        reply.replace(22, 6, QByteArray::fromHex("010203130100")); // 19
        QCOMPARE(eepromLogLastIndex(reply), 3);
        const QList<EepromLogRecord> records = eepromLogRecords(reply);
        QCOMPARE(records.size(), 5);
        QCOMPARE(int(records.at(0).data), 0x1234);
        QCOMPARE(eepromLogEventText(records.at(0).errorCode), QStringLiteral("POR [12]"));
        QCOMPARE(eepromLogEventText(records.at(3).errorCode), QStringLiteral("Unknown error 19 [19]"));
        QCOMPARE(eepromLogEventText(18), QStringLiteral("ERR_FIRMWARE_DAMAGE [18]"));
    }

    void eepromFloors_data()
    {
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("sent");
        QTest::newRow("statistics block") << 0x50 << 4 << 9;
        QTest::newRow("statistics block, longer") << 0x50 << 20 << 20;
        QTest::newRow("0x60") << 0x60 << 10 << 26;
        QTest::newRow("assert code") << 0x7A << 1 << 4;
        QTest::newRow("other address") << 0x7B << 1 << 1;
        QTest::newRow("0x150 is not 0x50") << 0x150 << 2 << 2;
    }
    void eepromFloors()
    {
        QFETCH(int, address);
        QFETCH(int, length);
        QFETCH(int, sent);
        QCOMPARE(int(eepromReadLength(address, length)), sent);
    }

    void eepromDecodes_data()
    {
        QTest::addColumn<int>("address");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("tooShort");
        QTest::newRow("assert 97") << 0x7A << QByteArray::fromHex("64037a000061") << "ABORT_DATA_COLLECTOR_INVALID_DATA_TYPE_1 (97)"
                                   << false;
        QTest::newRow("assert 98") << 0x7A << QByteArray::fromHex("64037a000062") << "62" << false;
        QTest::newRow("assert, no byte") << 0x7A << QByteArray::fromHex("64037a0000") << QString() << true;
        QTest::newRow("statistics block")
            << 0x50 << QByteArray::fromHex("640350000003010a0a1402070809")
            << QString::fromUtf8("Статистика Zentar-BEXIL\nПерезагрузки: \t3\nВскрытия корпуса: \t1\n"
                                 "Отправлено тревог: \t10\nНапр. основной: \t2100\nНапр. резервной: \t2200\n"
                                 "Отправлено неспр.: \t2\nКод неисправности: \t7\nНепрерывн. неиспр.: \t8\n"
                                 "Непрерывн. тревог: \t9\n")
            << false;
        QTest::newRow("statistics block, 8 bytes") << 0x50 << QByteArray::fromHex("640350000003010a0a14020708")
                                                   << QString() << true;
        QTest::newRow("other address") << 0x185 << QByteArray::fromHex("64038501000102") << QString() << false;
    }
    void eepromDecodes()
    {
        QFETCH(int, address);
        QFETCH(QByteArray, reply);
        QFETCH(QString, text);
        QFETCH(bool, tooShort);
        bool shortAnswer = false;
        QCOMPARE(eepromDecodedText(address, reply, &shortAnswer), text);
        QCOMPARE(shortAnswer, tooShort);
    }

    void stackEntry()
    {
        QByteArray record = words({1024});
        record += char(37);
        record += field("TaskRadioHandler", 16); // fills its field: no NUL
        record += field("HIGH", 16);
        record += field("static", 16);
        QCOMPARE(record.size(), StackEntryRecordSize);
        const StackEntry entry = stackEntryFromRecord(record);
        QCOMPARE(int(entry.size), 1024);
        QCOMPARE(int(entry.usage), 37);
        QCOMPARE(entry.taskName, QStringLiteral("TaskRadioHandler"));
        QCOMPARE(entry.priority, QStringLiteral("HIGH"));
        QCOMPARE(entry.type, QStringLiteral("static"));
    }
};

QTEST_MAIN(DiagnosticsRecordsTest)
#include "tst_diagnosticsrecords.moc"

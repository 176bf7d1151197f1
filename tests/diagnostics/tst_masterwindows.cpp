// The master's log reader and stack-usage dialog against a tap on their
// sendPacket signal: the chains, their ends, and replies that come too late.
#include "masterlogreaderwidget.h"
#include "masterstackusagedialog.h"
#include "packettap.h"
#include "plotclock.h"
#include "settings.h"
#include "testsupport.h"

#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QByteArray field(const QByteArray &text, int width)
{
    return text.left(width) + QByteArray(qMax(0, width - text.size()), '\0');
}

QByteArray logEntry(const QByteArray &event, quint32 data)
{
    QByteArray reply(1, char(PT_LOG_FIND_ACK));
    reply += char(0) + field(event, 23) + char(1) + field("Main", 16);
    reply += QByteArray::fromHex("6400") + char(50);
    reply += QByteArray::fromHex("c0ecf565"); // 2024-03-16 19:02:24 UTC
    for (int i = 0; i < 4; ++i)
        reply += char((data >> (8 * i)) & 0xFF);
    reply += field("entry", 72);
    return reply;
}

QByteArray stackAnswer(int index, const QByteArray &task)
{
    QByteArray reply = QByteArray(1, char(PT_USB_DEBUG_STACK_INFO_ACK)) + char(index);
    reply += QByteArray::fromHex("0002") + char(40) + field(task, 16) + field("NORMAL", 16) + field("dyn", 16);
    return reply;
}

QStringList column(QTableWidget *table, int column)
{
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row)
        texts << (table->item(row, column) ? table->item(row, column)->text() : QString());
    return texts;
}
} // namespace

class MasterWindowsTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initTestResources();
        registerPacketMetaTypes();
        // 2026-12-07 22:43:03 local (three hours east of UTC).
        PlotClock::setSource([] { return qint64(1796672583) * 1000; });
    }
    void cleanupTestCase() { PlotClock::setSource(nullptr); }
    void init() { appSettings.remove(QLatin1String(SettingsKey::LogWindowGeometry)); }

    // A new read ends the chain before it: its later replies add nothing.
    void eventLogChains()
    {
        auto *log = new MasterLogReaderWidget(40, 12345);
        PacketTap tap(log);
        QTRY_COMPARE(tap.count(PT_LOG_FIND_FIRST), 1); // read once on opening
        QVERIFY(log->findChild<QLabel *>(QStringLiteral("lblIndex"))->isHidden());

        QVERIFY(tap.answerLast(PT_LOG_FIND_FIRST, logEntry("POR", 1)));
        // The next entry is asked for before the row is added.
        QCOMPARE(tap.requests().last(), QByteArray(1, char(PT_LOG_FIND_NEXT)));
        QCOMPARE(log->table()->rowCount(), 1);
        const PacketTap::Sent oldChain = tap.sent.last();

        QTest::mouseClick(log->findChild<QPushButton *>(QStringLiteral("pbReadLog")), Qt::LeftButton);
        QCOMPARE(log->table()->rowCount(), 0);
        QVERIFY(!oldChain.cb(PacketTap::packet(logEntry("STALE", 2))));
        QCOMPARE(log->table()->rowCount(), 0);

        QVERIFY(tap.answerLast(PT_LOG_FIND_FIRST, logEntry("USR_MCU1_FAILURE", 256)));
        // A short entry is skipped, the chain goes on (the check byte makes 124).
        QVERIFY(tap.answerLast(PT_LOG_FIND_NEXT, logEntry("CUT", 3).left(123)));
        QCOMPARE(tap.count(PT_LOG_FIND_NEXT), 3);
        QVERIFY(!tap.answerLast(PT_LOG_FIND_NEXT, QByteArray(1, char(PT_LOG_ERR))));
        QVERIFY(tap.answerLast(PT_LOG_FIND_NEXT, QByteArray(1, char(PT_LOG_FIND_NOT_FOUND))));
        QCOMPARE(column(log->table(), MasterLogReaderWidget::DataColumn),
                 QStringList{QStringLiteral("Hard fault: 0x00000100")});
        QCOMPARE(tap.count(PT_LOG_FIND_NEXT), 3);

        // Closing stops the chain; replies after the window is gone are dropped.
        const PacketTap::Sent last = tap.sent.last();
        QPointer<MasterLogReaderWidget> guard(log);
        log->close();
        QVERIFY(!last.cb(PacketTap::packet(logEntry("LATE", 4))));
        QTRY_VERIFY(!guard);
        QVERIFY(!last.cb(PacketTap::packet(logEntry("LATE", 4))));
        QVERIFY(appSettings.contains(QLatin1String(SettingsKey::LogWindowGeometry)));
    }

    // The first master model's EEPROM log: two records shown, saved as five
    // lines; a file that cannot be opened is warned about.
    void eepromLog()
    {
        auto *log = new MasterLogReaderWidget(0, 12345);
        PacketTap tap(log);
        QTRY_COMPARE(tap.count(PT_HUBRO_EEPROM_READ), 1);
        QCOMPARE(tap.requests().first(), QByteArray::fromHex("70d30320"));
        QVERIFY(log->findChild<QPushButton *>(QStringLiteral("pbReadLog"))->isHidden());
        QVERIFY(log->table()->isColumnHidden(MasterLogReaderWidget::TimeColumn));

        QByteArray reply = QByteArray::fromHex("71d30301");
        reply += QByteArray::fromHex("0102030c0500") + QByteArray::fromHex("010203ff0000")
                 + QByteArray::fromHex("010203130100") + QByteArray::fromHex("010203ff0000")
                 + QByteArray::fromHex("010203ff0000");
        QVERIFY(tap.answerLast(PT_HUBRO_EEPROM_READ, reply.left(32))); // 33 with the check byte: skipped
        QCOMPARE(log->table()->rowCount(), 0);
        QVERIFY(tap.answerLast(PT_HUBRO_EEPROM_READ, reply));
        QCOMPARE(column(log->table(), MasterLogReaderWidget::EventColumn),
                 (QStringList{"POR [12]", "Unknown error 19 [19]"}));
        QCOMPARE(log->findChild<QLabel *>(QStringLiteral("lblIndexValue"))->text(), QStringLiteral("2"));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("log.CSV"));
        MessageBoxRecorder boxes;
        FileDialogScript files;
        files.answer(path);
        QTest::mouseClick(log->findChild<QPushButton *>(QStringLiteral("pbSaveLog")), Qt::LeftButton);
        QCOMPARE(files.requests().first().caption, QStringLiteral("Save log"));
        QCOMPARE(files.requests().first().filter, QStringLiteral("CSV files(*.CSV);;All files(*)"));
        QVERIFY(files.requests().first().directory.endsWith(QStringLiteral("/0000012345_07122026_224303.CSV")));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("Start log 07.12.2026-22:43:03\nPOR [12]\t5\nUnknown error 19 [19]\t1\n"
                                            "Last restart\t2\nEnd log\n"));

        files.answer(dir.filePath(QStringLiteral("no/such/folder/log.CSV")));
        QTest::mouseClick(log->findChild<QPushButton *>(QStringLiteral("pbSaveLog")), Qt::LeftButton);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().kind, UiSeams::MessageBoxRequest::Warning);
        QCOMPARE(boxes.last().text, QStringLiteral("Failed to save selected file"));
        delete log;
    }

    // The listing asks entry after entry until a short answer; Refresh ends
    // the running chain, so rows never double.
    void stackListing()
    {
        auto *dialog = new MasterStackUsageDialog;
        PacketTap tap(dialog);
        QTRY_COMPARE(tap.count(PT_USB_DEBUG_STACK_INFO), 1);
        QCOMPARE(tap.requests().last(), QByteArray::fromHex("9a00"));
        QVERIFY(tap.answerLast(PT_USB_DEBUG_STACK_INFO, stackAnswer(0, "Idle")));
        QTRY_COMPARE(tap.count(PT_USB_DEBUG_STACK_INFO), 2);
        QCOMPARE(tap.requests().last(), QByteArray::fromHex("9a01"));
        const PacketTap::Sent running = tap.sent.last();
        QCOMPARE(column(dialog->table(), 2), QStringList{QStringLiteral("512 B")});
        QCOMPARE(column(dialog->table(), 3), QStringList{QStringLiteral("40%")});

        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("pbRefresh")), Qt::LeftButton);
        QCOMPARE(dialog->table()->rowCount(), 0);
        QTRY_COMPARE(tap.count(PT_USB_DEBUG_STACK_INFO), 3);
        QCOMPARE(tap.requests().last(), QByteArray::fromHex("9a00"));
        QVERIFY(!running.cb(PacketTap::packet(stackAnswer(1, "Radio"))));
        QVERIFY(tap.answerLast(PT_USB_DEBUG_STACK_INFO, stackAnswer(0, "Idle")));
        QTRY_COMPARE(tap.count(PT_USB_DEBUG_STACK_INFO), 4);
        QVERIFY(tap.answerLast(PT_USB_DEBUG_STACK_INFO, stackAnswer(1, "Radio")));
        QTRY_COMPARE(tap.count(PT_USB_DEBUG_STACK_INFO), 5);
        QVERIFY(tap.answerLast(PT_USB_DEBUG_STACK_INFO, QByteArray::fromHex("9b02"))); // the end
        QTest::qWait(20);
        QCOMPARE(tap.count(PT_USB_DEBUG_STACK_INFO), 5);
        QCOMPARE(column(dialog->table(), 1), (QStringList{"Idle", "Radio"}));
        QCOMPARE(column(dialog->table(), 0), (QStringList{"0", "1"}));

        const PacketTap::Sent last = tap.sent.last();
        delete dialog;
        QVERIFY(!last.cb(PacketTap::packet(stackAnswer(2, "Late"))));
        QVERIFY(appSettings.contains(QLatin1String(SettingsKey::StackWindowState)));
    }

    // A master that answers an entry already listed (or an index past the
    // one-byte range) would be asked forever: the listing ends there and
    // keeps the rows it read.
    void stackListingEndsOnAnIndexNotNew_data()
    {
        QTest::addColumn<QList<int>>("indexes"); // answered in turn; past them, the index asked for
        QTest::addColumn<int>("requests");
        QTest::addColumn<int>("rows");
        QTest::newRow("the same entry again") << QList<int>{0, 1, 1} << 3 << 2;
        QTest::newRow("back to the first") << QList<int>{0, 1, 2, 0} << 4 << 3;
        QTest::newRow("a negative index") << QList<int>{0, -1} << 2 << 1;
        QTest::newRow("ahead, then repeated") << QList<int>{0, 5, 5} << 3 << 2;
        QTest::newRow("past the one-byte range") << QList<int>{} << 129 << 128;
    }
    void stackListingEndsOnAnIndexNotNew()
    {
        QFETCH(QList<int>, indexes);
        QFETCH(int, requests);
        QFETCH(int, rows);
        auto *dialog = new MasterStackUsageDialog;
        PacketTap tap(dialog);
        for (int answered = 0; answered < requests; ++answered) {
            QTRY_COMPARE(tap.count(PT_USB_DEBUG_STACK_INFO), answered + 1);
            const int asked = int(qint8(tap.sent.last().data.at(1)));
            QVERIFY(tap.answerLast(PT_USB_DEBUG_STACK_INFO,
                                   stackAnswer(indexes.value(answered, asked), "Task")));
        }
        QTest::qWait(20);
        QCOMPARE(tap.count(PT_USB_DEBUG_STACK_INFO), requests);
        QCOMPARE(dialog->table()->rowCount(), rows);
        QCOMPARE(column(dialog->table(), 0).first(), QStringLiteral("0"));
        delete dialog;
    }
};

QTEST_MAIN(MasterWindowsTest)
#include "tst_masterwindows.moc"

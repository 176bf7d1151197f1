// The master firmware upload on a scripted link: each request is answered by
// the test, in order, and the manager's requests and signals are checked.
#include "containerbuilder.h"
#include "firmwareuploadmanager.h"
#include "frame.h"
#include "firmwarereplies.h"
#include "masterbench.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

using Status = QPair<int, unsigned>;


pVORL container(int lines, int lineSize = 8)
{
    ContainerBuilder builder;
    for (int i = 0; i < lines; ++i)
        builder.record(recordV1(quint16(0x100 + i * lineSize), QByteArray(lineSize - 3, char('a' + i))));
    return builder.parse();
}

// One step of a conversation: the request the manager must have sent, and the
// master's reply; a step without a request calls startUpload (the master's
// readiness on its own).
struct Step
{
    quint8 request;
    QByteArray reply;
};
const quint8 Ready = 0;

constexpr int Erasing = FirmwareUploadTypes::Erasing;
constexpr int CheckingErase = FirmwareUploadTypes::CheckingErase;
constexpr int Writing = FirmwareUploadTypes::Writing;
constexpr int Verifying = FirmwareUploadTypes::Verifying;
constexpr int Finished = FirmwareUploadTypes::Finished;
constexpr int Stopped = FirmwareUploadTypes::Stopped;

} // namespace

Q_DECLARE_METATYPE(QList<Step>)
Q_DECLARE_METATYPE(QList<Status>)
Q_DECLARE_METATYPE(QList<unsigned>)

class FirmwareUploadTest : public QObject
{
    Q_OBJECT

    struct Bench
    {
        Bench()
        {
            FirmwareTimings t;
            t.uploadPing = 0;
            t.endAckPing = 0;
            t.readyWait = 60000;
            manager.setTimings(t);
        }
        // Answers the oldest request waiting.
        bool reply(const QByteArray &answer)
        {
            const ScriptedLink::Request request = link.pending.takeFirst();
            return request.cb(link.packet(answer, request.data));
        }
        quint8 oldestType() const { return quint8(link.pending.constFirst().data.at(0)); }
        QList<Status> statuses() const
        {
            QList<Status> list;
            for (const QList<QVariant> &s : status)
                list << Status(s.at(0).toInt(), s.at(1).toUInt());
            return list;
        }
        QList<unsigned> progresses() const
        {
            QList<unsigned> list;
            for (const QList<QVariant> &p : progress)
                list << p.at(0).toUInt();
            return list;
        }
        // Lets due pings go out.
        static void settle()
        {
            for (int i = 0; i < 3; ++i)
                QCoreApplication::processEvents();
        }

        FirmwareUploadManager manager;
        ScriptedLink link{&manager};
        QSignalSpy status{&manager, &FirmwareUploadManager::uploadStatus};
        QSignalSpy progress{&manager, &FirmwareUploadManager::uploadProgress};
        QSignalSpy errors{&manager, &FirmwareUploadManager::uploadError};
        QSignalSpy finished{&manager, &FirmwareUploadManager::uploadFinished};
        QSignalSpy started{&manager, &FirmwareUploadManager::uploadStarted};
    };

private slots:
    void initTestCase() { registerFirmwareMetaTypes(); }

    void conversation_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<bool>("waitForReady");
        QTest::addColumn<QList<Step>>("steps");
        QTest::addColumn<QList<unsigned>>("progress");
        QTest::addColumn<QList<Status>>("statuses");

        const QList<Step> fourLines{{PT_FW_UPLOAD_BODY, plainReply(PT_FW_UPLOAD_BODY_ACK)},
                                    {PT_FW_UPLOAD_BODY, plainReply(PT_FW_UPLOAD_BODY_ACK)},
                                    {PT_FW_UPLOAD_BODY, plainReply(PT_FW_UPLOAD_BODY_ACK)},
                                    {PT_FW_UPLOAD_BODY, plainReply(PT_FW_UPLOAD_BODY_ACK)},
                                    {PT_FW_UPLOAD_END, plainReply(PT_FW_UPLOAD_END_ACK)}};
        QTest::newRow("erase, check, four lines, verify")
            << 4 << false
            << (QList<Step>{{PT_FW_UPLOAD_START, plainReply(PT_FW_UPLOAD_START_ACK)},
                            {PT_FW_UPLOAD_PING, busyReply(PT_FW_ERASE_BUSY, 1000)},
                            {PT_FW_UPLOAD_PING, busyReply(PT_FW_ERASE_BUSY, 600)},
                            {PT_FW_UPLOAD_PING, busyReply(PT_FW_ERASE_BUSY, 0)},
                            {PT_FW_UPLOAD_PING, busyReply(PT_FW_CHECK_ERASE_BUSY, 50)},
                            {PT_FW_UPLOAD_PING, plainReply(PT_FW_UPLOAD_READY)}}
                + fourLines
                + QList<Step>{{PT_FW_UPLOAD_PING, busyReply(PT_FW_VERIFY_BUSY, 10)},
                              {PT_FW_UPLOAD_PING, plainReply(PT_FW_VERIFY_ACK)}})
            << QList<unsigned>{0, 40, 100, 0, 0, 25, 50, 75, 0}
            << QList<Status>{{Erasing, 0},       {Erasing, 40},  {Erasing, 100},  {CheckingErase, 0},
                             {Writing, 100}, {Verifying, 0}, {Finished, 100}};
        QTest::newRow("readiness on its own, no ping while waiting")
            << 4 << true
            << (QList<Step>{{PT_FW_UPLOAD_START, plainReply(PT_FW_UPLOAD_START_ACK)}, {Ready, QByteArray()}} + fourLines
                + QList<Step>{{PT_FW_UPLOAD_PING, plainReply(PT_FW_VERIFY_ACK)}})
            << QList<unsigned>{0, 25, 50, 75} << QList<Status>{{Writing, 100}, {Finished, 100}};
        QTest::newRow("no lines: readiness leads to the end")
            << 0 << false
            << QList<Step>{{PT_FW_UPLOAD_START, plainReply(PT_FW_UPLOAD_START_ACK)},
                           {PT_FW_UPLOAD_PING, plainReply(PT_FW_UPLOAD_READY)},
                           {PT_FW_UPLOAD_END, plainReply(PT_FW_UPLOAD_END_ACK)},
                           {PT_FW_UPLOAD_PING, plainReply(PT_FW_VERIFY_ACK)}}
            << QList<unsigned>{} << QList<Status>{{Writing, 100}, {Finished, 100}};
        QTest::newRow("unlisted replies are pinged through")
            << 0 << false
            << QList<Step>{{PT_FW_UPLOAD_START, plainReply(PT_FW_UPLOAD_START_ACK)},
                           {PT_FW_UPLOAD_PING, plainReply(PT_FW_UPLOAD_TIMEOUT)},
                           {PT_FW_UPLOAD_PING, plainReply(PT_FW_UPLOAD_TASK_EXIST_ERROR)},
                           {PT_FW_UPLOAD_PING, plainReply(PT_FW_UPLOAD_INSUFF_MEM_ERROR)},
                           {PT_FW_UPLOAD_PING, plainReply(PT_UNKNOWN_REQ_ERROR)},
                           {PT_FW_UPLOAD_PING, plainReply(PT_FW_UPLOAD_READY)},
                           {PT_FW_UPLOAD_END, plainReply(PT_FW_UPLOAD_END_ACK)},
                           {PT_FW_UPLOAD_PING, plainReply(PT_FW_VERIFY_ACK)}}
            << QList<unsigned>{} << QList<Status>{{Writing, 100}, {Finished, 100}};
        // More lines than percents: each percent is reported once, as it is reached.
        QList<Step> manyLines{{PT_FW_UPLOAD_START, plainReply(PT_FW_UPLOAD_START_ACK)},
                              {PT_FW_UPLOAD_PING, plainReply(PT_FW_UPLOAD_READY)}};
        for (int i = 0; i < 250; ++i)
            manyLines << Step{PT_FW_UPLOAD_BODY, plainReply(PT_FW_UPLOAD_BODY_ACK)};
        manyLines << Step{PT_FW_UPLOAD_END, plainReply(PT_FW_UPLOAD_END_ACK)}
                  << Step{PT_FW_UPLOAD_PING, plainReply(PT_FW_VERIFY_ACK)};
        QList<unsigned> everyPercent;
        for (unsigned percent = 0; percent < 100; ++percent)
            everyPercent << percent;
        QTest::newRow("250 lines, each percent once") << 250 << false << manyLines << everyPercent
                                                      << QList<Status>{{Writing, 100}, {Finished, 100}};
        // Type, amount and check byte make 6 bytes: a shorter busy reply has no amount.
        QTest::newRow("busy amounts: none, zero total, overshoot")
            << 0 << false
            << QList<Step>{{PT_FW_UPLOAD_START, plainReply(PT_FW_UPLOAD_START_ACK)},
                           {PT_FW_UPLOAD_PING, QByteArray::fromHex("130102")},
                           {PT_FW_UPLOAD_PING, busyReply(PT_FW_CHECK_ERASE_BUSY, 0)},
                           {PT_FW_UPLOAD_PING, busyReply(PT_FW_VERIFY_BUSY, 10)},
                           {PT_FW_UPLOAD_PING, busyReply(PT_FW_VERIFY_BUSY, 20)},
                           {PT_FW_UPLOAD_PING, plainReply(PT_FW_UPLOAD_READY)},
                           {PT_FW_UPLOAD_END, plainReply(PT_FW_UPLOAD_END_ACK)},
                           {PT_FW_UPLOAD_PING, plainReply(PT_FW_VERIFY_ACK)}}
            << QList<unsigned>{100, 0, 0}
            << QList<Status>{{Erasing, 0},    {CheckingErase, 100}, {Verifying, 0},
                             {Verifying, 0},  {Writing, 100},       {Finished, 100}};
    }
    void conversation()
    {
        QFETCH(int, lines);
        QFETCH(bool, waitForReady);
        QFETCH(QList<Step>, steps);
        QFETCH(QList<unsigned>, progress);
        QFETCH(QList<Status>, statuses);

        Bench bench;
        bench.manager.setWaitForReady(waitForReady);
        const pVORL firmware = container(lines);
        bench.manager.upload(firmware);
        QCOMPARE(bench.started.size(), 1);
        QVERIFY(bench.manager.isUploading());
        for (int i = 0; i < steps.size(); ++i) {
            const Step &step = steps.at(i);
            if (step.request == Ready) {
                Bench::settle();
                QVERIFY2(bench.link.pending.isEmpty(), "nothing is sent while waiting for readiness");
                bench.manager.startUpload();
                continue;
            }
            QTRY_VERIFY2(!bench.link.pending.isEmpty(), qPrintable(QStringLiteral("step %1").arg(i)));
            QCOMPARE(bench.link.pending.size(), 1);
            QCOMPARE(bench.oldestType(), step.request);
            const bool unlisted = QList<quint8>{PT_FW_UPLOAD_TIMEOUT, PT_FW_UPLOAD_TASK_EXIST_ERROR,
                                                PT_FW_UPLOAD_INSUFF_MEM_ERROR, PT_UNKNOWN_REQ_ERROR}
                                      .contains(quint8(step.reply.at(0)));
            QCOMPARE(bench.reply(step.reply), !unlisted);
        }
        Bench::settle();
        QVERIFY(bench.link.pending.isEmpty());
        QCOMPARE(bench.progresses(), progress);
        QCOMPARE(bench.statuses(), statuses);
        QCOMPARE(bench.finished.size(), 1);
        QCOMPARE(bench.finished.at(0).at(0).value<Header>().deviceType, firmware->header().deviceType);
        QVERIFY(!bench.manager.isUploading());
        QVERIFY(!bench.manager.firmware());
        // The lines went out once each, in order, as read from the file.
        QList<QByteArray> bodies;
        for (const QByteArray &body : bench.link.sentOfType(PT_FW_UPLOAD_BODY))
            bodies << body.mid(1);
        QCOMPARE(bodies, firmware->lines());
        QCOMPARE(bench.link.sent.constFirst(), plainReply(PT_FW_UPLOAD_START) + firmware->rawHeader());
    }

    void workedExampleGoesOutFramed()
    {
        Bench bench;
        const pVORL firmware = parseContainer("Device: Zentar-TEST, HW:1.2\nDAACAQUBAgcEAAAAAABMAwAAAPFTZQAAGgI=\n"
                                              "ABAE3q2+7w==\n",
                                              false, countingKey());
        bench.manager.upload(firmware);
        bench.reply(plainReply(PT_FW_UPLOAD_START_ACK));
        QTRY_COMPARE(bench.link.pending.size(), 1);
        bench.reply(plainReply(PT_FW_UPLOAD_READY));
        const QByteArray body = bench.link.sent.constLast();
        QCOMPARE(body, QByteArray::fromHex("20001004deadbeef"));
        QCOMPARE(buildSerialFrame(1, body), QByteArray::fromHex("2201092000100" "4deadbeef98"));
    }

    void errors_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("held");
        QTest::newRow("erase") << plainReply(PT_FW_UPLOAD_ERASE_ERROR) << int(FirmwareUploadManager::EraseError) << false;
        QTest::newRow("check erase") << plainReply(PT_FW_UPLOAD_CHECK_ERASE_ERROR)
                                     << int(FirmwareUploadManager::CheckEraseError) << false;
        QTest::newRow("body") << plainReply(PT_FW_UPLOAD_BODY_ERROR) << int(FirmwareUploadManager::WriteError) << false;
        QTest::newRow("data") << plainReply(PT_FW_UPLOAD_DATA_ERROR) << int(FirmwareUploadManager::DataError) << false;
        QTest::newRow("task create") << plainReply(PT_FW_UPLOAD_TASK_CREATE_ERROR)
                                     << int(FirmwareUploadManager::TaskCreateError) << false;
        QTest::newRow("verify: firmware kept") << plainReply(PT_FW_UPLOAD_VERIFY_ERROR)
                                               << int(FirmwareUploadManager::VerifyError) << true;
    }
    void errors()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, error);
        QFETCH(bool, held);
        Bench bench;
        bench.manager.upload(container(2));
        QVERIFY(bench.reply(plainReply(PT_FW_UPLOAD_START_ACK)));
        QTRY_COMPARE(bench.link.pending.size(), 1);
        QVERIFY(bench.reply(reply));
        QCOMPARE(bench.errors.size(), 1);
        QCOMPARE(bench.errors.at(0).at(0).value<FirmwareUploadManager::uploadError_t>(), error);
        QCOMPARE(bool(bench.manager.firmware()), held);
        QCOMPARE(bench.manager.isUploading(), held);
        Bench::settle();
        QVERIFY2(bench.link.pending.isEmpty(), "no retry");
    }

    void waitForReadyTimesOut()
    {
        Bench bench;
        FirmwareTimings t = bench.manager.timings();
        t.readyWait = 20;
        bench.manager.setTimings(t);
        bench.manager.setWaitForReady(true);
        bench.manager.upload(container(2));
        bench.reply(plainReply(PT_FW_UPLOAD_START_ACK));
        QTRY_COMPARE(bench.errors.size(), 1);
        QCOMPARE(bench.errors.at(0).at(0).value<FirmwareUploadManager::uploadError_t>(),
                 FirmwareUploadManager::WriteError);
        QVERIFY(!bench.manager.isUploading());
        QVERIFY(bench.manager.firmware());
        QVERIFY(bench.link.pending.isEmpty());
    }

    void bodyAckWithNothingPending()
    {
        Bench bench;
        bench.manager.upload(container(0));
        bench.reply(plainReply(PT_FW_UPLOAD_START_ACK));
        QTRY_COMPARE(bench.link.pending.size(), 1);
        bench.reply(plainReply(PT_FW_UPLOAD_READY));
        QCOMPARE(bench.oldestType(), quint8(PT_FW_UPLOAD_END));
        QTest::ignoreMessage(QtWarningMsg, "Firmware empty!");
        QVERIFY(bench.reply(plainReply(PT_FW_UPLOAD_BODY_ACK)));
        Bench::settle();
        QVERIFY(bench.link.pending.isEmpty());
    }

    // A ping left from a stopped upload, or a reply to one of its requests,
    // must not reach the next upload: a second line in flight drops a line.
    void resetThenUploadLeavesNothingOfTheFirst()
    {
        Bench bench;
        bench.manager.upload(container(3));
        bench.reply(plainReply(PT_FW_UPLOAD_START_ACK)); // a ping is now due
        bench.manager.reset();
        QCOMPARE(bench.statuses().constLast(), Status(Stopped, 0));
        QVERIFY(!bench.manager.isUploading());
        const pVORL second = container(3);
        bench.manager.upload(second);
        Bench::settle();
        QCOMPARE(bench.link.pending.size(), 1);
        QCOMPARE(bench.link.countOf(PT_FW_UPLOAD_PING), 0);

        // A start of the first upload, answered late, is dropped too.
        bench.manager.reset();
        bench.manager.upload(second);
        QCOMPARE(bench.link.pending.size(), 2);
        QVERIFY(!bench.reply(plainReply(PT_FW_UPLOAD_START_ACK)));
        Bench::settle();
        QCOMPARE(bench.link.pending.size(), 1);
        QVERIFY(bench.reply(plainReply(PT_FW_UPLOAD_START_ACK)));
        QTRY_COMPARE(bench.link.pending.size(), 1);
        bench.reply(plainReply(PT_FW_UPLOAD_READY));
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(bench.link.pending.size(), 1);
            QCOMPARE(bench.oldestType(), quint8(PT_FW_UPLOAD_BODY));
            QCOMPARE(bench.link.pending.constFirst().data.mid(1), second->lines().at(i));
            bench.reply(plainReply(PT_FW_UPLOAD_BODY_ACK));
        }
        QCOMPARE(bench.oldestType(), quint8(PT_FW_UPLOAD_END));
    }

    // Readiness starts the writing once: on its own while a ping is due or in
    // flight, and again as a reply, it leaves one line in flight.
    void readinessStartsTheWritingOnce()
    {
        Bench bench;
        const pVORL firmware = container(3);

        bench.manager.startUpload(); // no upload: dropped
        QVERIFY(bench.link.sent.isEmpty());

        bench.manager.upload(firmware);
        bench.reply(plainReply(PT_FW_UPLOAD_START_ACK)); // a ping is due
        bench.manager.startUpload();                // ... and cancelled
        Bench::settle();
        QCOMPARE(bench.link.countOf(PT_FW_UPLOAD_PING), 0);
        QCOMPARE(bench.link.pending.size(), 1);
        QCOMPARE(bench.oldestType(), quint8(PT_FW_UPLOAD_BODY));
        bench.manager.startUpload(); // a second readiness: dropped
        QCOMPARE(bench.link.pending.size(), 1);

        // Readiness on its own while a ping is in flight: the ping's answer is stale.
        bench.link.pending.clear();
        bench.manager.upload(firmware);
        bench.reply(plainReply(PT_FW_UPLOAD_START_ACK));
        QTRY_COMPARE(bench.link.pending.size(), 1);
        QCOMPARE(bench.oldestType(), quint8(PT_FW_UPLOAD_PING));
        bench.manager.startUpload();
        QCOMPARE(bench.link.pending.size(), 2);
        QVERIFY(!bench.reply(plainReply(PT_FW_UPLOAD_READY)));
        QCOMPARE(bench.link.pending.size(), 1);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(bench.link.pending.size(), 1);
            QCOMPARE(bench.link.pending.constFirst().data.mid(1), firmware->lines().at(i));
            bench.reply(plainReply(PT_FW_UPLOAD_BODY_ACK));
            bench.manager.startUpload(); // never a second line in flight
        }
        QCOMPARE(bench.link.pending.size(), 1);
        QCOMPARE(bench.oldestType(), quint8(PT_FW_UPLOAD_END));
    }

    void lineLongerThanTheLinkCarriesIsRefused()
    {
        Bench bench;
        const pVORL wide = container(2, 247);
        bench.manager.upload(wide);
        QCOMPARE(bench.errors.size(), 1);
        QCOMPARE(bench.errors.at(0).at(0).value<FirmwareUploadManager::uploadError_t>(),
                 FirmwareUploadManager::DataError);
        QVERIFY(bench.link.sent.isEmpty());
        QVERIFY(!bench.manager.isUploading());

        bench.manager.setMaxLineLength(FirmwareUploadManager::maxLineLengthFor(Serial));
        bench.manager.upload(wide);
        QCOMPARE(bench.link.countOf(PT_FW_UPLOAD_START), 1);
        QCOMPARE(FirmwareUploadManager::maxLineLengthFor(Kastrel), 246);
        QCOMPARE(FirmwareUploadManager::maxLineLengthFor(Serial), 253);
        QCOMPARE(FirmwareUploadManager::maxLineLengthFor(Bluetooth), 253);
        // Every limit is one the link frames.
        QVERIFY(!buildKastrelEnvelope(1, 1, QByteArray(1 + 246, 'x')).isEmpty());
        QVERIFY(!buildSerialFrame(1, QByteArray(1 + 253, 'x')).isEmpty());
    }

    void autoUpdateSwitch_data()
    {
        QTest::addColumn<bool>("on");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("result");
        QTest::addColumn<bool>("autoUpdateOn");
        QTest::addColumn<int>("switchedOn");
        QTest::newRow("on, confirmed") << true << QByteArray::fromHex("9f01") << true << true << 1;
        QTest::newRow("on, master says off") << true << QByteArray::fromHex("9f00") << true << false << 0;
        QTest::newRow("off") << false << QByteArray::fromHex("9f01") << true << false << 0;
        QTest::newRow("on, other reply") << true << QByteArray::fromHex("ff") << false << true << 0;
    }
    void autoUpdateSwitch()
    {
        QFETCH(bool, on);
        QFETCH(QByteArray, reply);
        QFETCH(bool, result);
        QFETCH(bool, autoUpdateOn);
        QFETCH(int, switchedOn);
        Bench bench;
        QSignalSpy switched(&bench.manager, &FirmwareUploadManager::autoUpdateSwitchOn);
        bench.manager.setAutoUpdate(on);
        QCOMPARE(bench.link.pending.constFirst().data, QByteArray(1, char(PT_AUTO_UPDATES_EN)) + char(on ? 1 : 0));
        if (!result)
            QTest::ignoreMessage(QtWarningMsg, "Auto update switch on/off error. Packet type: -1");
        QCOMPARE(bench.reply(reply), result);
        QCOMPARE(bench.manager.isAutoUpdateOn(), autoUpdateOn);
        QCOMPARE(switched.size(), switchedOn);
    }
};

QTEST_GUILESS_MAIN(FirmwareUploadTest)
#include "tst_firmwareupload.moc"

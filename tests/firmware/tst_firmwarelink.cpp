// Both firmware managers over the serial link to the simulated master: an
// upload checked frame by frame, and a radio-device update of the devices a
// live connection reads from the master.
#include "connectionfixture.h"
#include "containerbuilder.h"
#include "deviceconnection.h"
#include "firmwareuploadmanager.h"
#include "frame.h"
#include "serialconnectioninterface.h"
#include "simfirmware.h"
#include "updatemanager.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

pVORL manyLines(int count)
{
    ContainerBuilder builder;
    builder.key(countingKey());
    for (int i = 0; i < count; ++i)
        builder.record(recordV1(quint16(0x100 + 16 * i), QByteArray(16, char('a' + i % 26))));
    return builder.parse();
}

pVORL fourLines()
{
    return manyLines(4);
}

// As the live connection and the main window wire the manager to the link;
// `run`: the lines may go as one run.
void wireManager(FirmwareUploadManager &manager, ConnectionInterface &link, bool run)
{
    QObject::connect(&manager, &FirmwareUploadManager::sendPacket, &link, &ConnectionInterface::sendPacket);
    if (run)
        QObject::connect(&manager, &FirmwareUploadManager::sendRun, &link, &ConnectionInterface::sendRun);
    QObject::connect(&link, &ConnectionInterface::unsolicitedPacket, &manager, [&manager](const Packet &packet) {
        if (!packet.data.isEmpty() && quint8(packet.data.at(0)) == PT_FW_UPLOAD_READY)
            manager.startUpload();
    });
}

FirmwareTimings quickTimings()
{
    FirmwareTimings t;
    t.uploadPing = 5;
    t.endAckPing = 5;
    t.readyWait = 5000;
    t.updatePing = 5;
    return t;
}

} // namespace

class FirmwareLinkTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        prepareConnectionTests();
        registerFirmwareMetaTypes();
    }

    // The lines one by one through the GUI thread, or as one run the link
    // thread sends on by itself: the same frames either way.
    void uploadFrameByFrame_data()
    {
        QTest::addColumn<bool>("readyOnItsOwn");
        QTest::addColumn<bool>("run");
        for (const bool run : {false, true}) {
            const char *how = run ? ", lines as a run" : ", lines one by one";
            QTest::addRow("readiness in a ping reply%s", how) << false << run;
            QTest::addRow("readiness on its own%s", how) << true << run;
        }
    }
    void uploadFrameByFrame()
    {
        QFETCH(bool, readyOnItsOwn);
        QFETCH(bool, run);
        SimMaster sim(healthyRecord());
        SimFirmware firmware(sim);
        firmware.setVerification({busyReply(PT_FW_VERIFY_BUSY, 5)});
        if (readyOnItsOwn)
            firmware.setUnsolicitedReady(20);
        else
            firmware.setPreparation({busyReply(PT_FW_ERASE_BUSY, 100), busyReply(PT_FW_ERASE_BUSY, 0),
                                     busyReply(PT_FW_CHECK_ERASE_BUSY, 10)});

        constexpr int Baud = 38462;
        sim.fake.setBaudRate(Baud);

        SerialConnectionInterface link(Serial, MasterOrdinary);
        QVERIFY(link.connectToDevice(sim.address()));
        FirmwareUploadManager manager;
        manager.setTimings(quickTimings());
        manager.setWaitForReady(readyOnItsOwn);
        wireManager(manager, link, run);
        QSignalSpy progress(&manager, &FirmwareUploadManager::uploadProgress);
        QSignalSpy finished(&manager, &FirmwareUploadManager::uploadFinished);
        QSignalSpy errors(&manager, &FirmwareUploadManager::uploadError);

        const pVORL vorl = fourLines();
        manager.upload(vorl);
        QVERIFY(finished.wait(5000));
        QCOMPARE(errors.size(), 0);

        QList<QByteArray> expected{QByteArray(1, char(PT_FW_UPLOAD_START)) + vorl->rawHeader()};
        if (!readyOnItsOwn)
            for (int i = 0; i < 4; ++i)
                expected << plainReply(PT_FW_UPLOAD_PING);
        for (const QByteArray &line : vorl->lines())
            expected << QByteArray(1, char(PT_FW_UPLOAD_BODY)) + line;
        expected << plainReply(PT_FW_UPLOAD_END) << plainReply(PT_FW_UPLOAD_PING) << plainReply(PT_FW_UPLOAD_PING);

        const QVector<FakeMaster::Received> received = sim.fake.received();
        const QVector<int> replyBytes = sim.replyWireBytes();
        QCOMPARE(received.size(), expected.size());
        for (int i = 0; i < received.size(); ++i) {
            const FakeMaster::Received &frame = received.at(i);
            QCOMPARE(frame.packet, expected.at(i));
            QCOMPARE(frame.sequence, quint8(received.constFirst().sequence + i));
            QCOMPARE(frame.raw, buildSerialFrame(frame.sequence, expected.at(i)));
            // Each reply is on the wire no earlier than its request and itself allow.
            const qint64 wireNs = qint64(frame.raw.size() + replyBytes.at(i)) * 10 * 1000000000LL / Baud;
            QVERIFY2(frame.replyWrittenNs - frame.receivedNs >= wireNs, qPrintable(QString::number(i)));
        }
        QCOMPARE(firmware.lines(), vorl->lines());
        QCOMPARE(firmware.startHeader(), vorl->rawHeader());
        // Each percent of the lines as it is reached, then the busy stages'.
        QList<unsigned> percents;
        for (const QList<QVariant> &args : qAsConst(progress))
            percents << args.at(0).toUInt();
        const QList<unsigned> lineSteps{0, 25, 50, 75};
        bool reported = false;
        for (int i = 0; i + lineSteps.size() <= percents.size() && !reported; ++i)
            reported = percents.mid(i, lineSteps.size()) == lineSteps;
        QVERIFY2(reported, qPrintable(QString::number(percents.size())));
    }

    void uploadAtAChosenStep_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("silentOn");
        QTest::addColumn<int>("error"); // -1: none
        QTest::addColumn<QList<int>>("lines"); // the lines the master took, by index
        QTest::addColumn<bool>("run");
        // Steps: 0 the start, 1 the ping answered with readiness, 2.. the lines.
        for (const bool run : {false, true}) {
            const char *how = run ? ", lines as a run" : "";
            QTest::addRow("erase error at the start%s", how)
                << 0 << plainReply(PT_FW_UPLOAD_ERASE_ERROR) << false << int(FirmwareUploadManager::EraseError)
                << QList<int>{} << run;
            QTest::addRow("write error on the second line%s", how)
                << 3 << plainReply(PT_FW_UPLOAD_BODY_ERROR) << false << int(FirmwareUploadManager::WriteError)
                << QList<int>{0, 1} << run;
            // The link sends the line again; the upload goes on.
            QTest::addRow("a reply lost on the third line%s", how)
                << 4 << QByteArray() << false << -1 << QList<int>{0, 1, 2, 2, 3} << run;
            // The manager does not time the master out: the link gives up after six sends.
            QTest::addRow("silent from the third line%s", how)
                << 4 << QByteArray() << true << -1 << QList<int>{0, 1, 2, 2, 2, 2, 2, 2} << run;
        }
    }
    void uploadAtAChosenStep()
    {
        QFETCH(bool, run);
        QFETCH(int, step);
        QFETCH(QByteArray, reply);
        QFETCH(bool, silentOn);
        QFETCH(int, error);
        QFETCH(QList<int>, lines);
        SimMaster sim(healthyRecord());
        SimFirmware firmware(sim);
        if (silentOn)
            firmware.setUploadSilentFrom(step);
        else
            firmware.setUploadReply(step, reply);
        SerialConnectionInterface link(Serial, MasterOrdinary);
        link.setTimingsForTesting(20, 1);
        QVERIFY(link.connectToDevice(sim.address()));
        FirmwareUploadManager manager;
        manager.setTimings(quickTimings());
        connect(&manager, &FirmwareUploadManager::sendPacket, &link, &ConnectionInterface::sendPacket);
        if (run)
            connect(&manager, &FirmwareUploadManager::sendRun, &link, &ConnectionInterface::sendRun);
        QSignalSpy errors(&manager, &FirmwareUploadManager::uploadError);
        QSignalSpy finished(&manager, &FirmwareUploadManager::uploadFinished);
        QSignalSpy lost(&link, &ConnectionInterface::connectionLost);

        const pVORL vorl = fourLines();
        manager.upload(vorl);
        QVERIFY(QTest::qWaitFor([&] { return !errors.isEmpty() || !finished.isEmpty() || !lost.isEmpty(); }, 5000));
        QList<QByteArray> taken;
        for (const int line : lines)
            taken << vorl->lines().at(line);
        QCOMPARE(firmware.lines(), taken);
        if (error >= 0) {
            QCOMPARE(errors.size(), 1);
            QCOMPARE(errors.at(0).at(0).value<FirmwareUploadManager::uploadError_t>(), error);
            QVERIFY(!manager.isUploading());
        } else {
            QCOMPARE(errors.size(), 0);
            QCOMPARE(finished.size(), silentOn ? 0 : 1);
            QCOMPARE(lost.size(), silentOn ? 1 : 0);
        }
    }

    // A stop while the link thread sends the lines as a run: the line in flight
    // is the last the master gets, and nothing of the run reaches the manager.
    void stopDuringARun()
    {
        SimMaster sim(healthyRecord());
        SimFirmware firmware(sim);
        firmware.setUnsolicitedReady(20);
        sim.fake.setBaudRate(38462);
        SerialConnectionInterface link(Serial, MasterOrdinary);
        QVERIFY(link.connectToDevice(sim.address()));
        FirmwareUploadManager manager;
        manager.setTimings(quickTimings());
        manager.setWaitForReady(true);
        wireManager(manager, link, true);
        QSignalSpy progress(&manager, &FirmwareUploadManager::uploadProgress);
        QSignalSpy finished(&manager, &FirmwareUploadManager::uploadFinished);
        QSignalSpy errors(&manager, &FirmwareUploadManager::uploadError);
        manager.upload(manyLines(200));
        QVERIFY(QTest::qWaitFor([&] { return firmware.lines().size() >= 20; }, 10000));
        manager.reset();
        const int taken = firmware.lines().size();
        const int reports = progress.size();
        // Three times a line's time on the wire at this speed.
        QTest::qWait(30);
        QVERIFY2(firmware.lines().size() <= taken + 1, qPrintable(QString::number(firmware.lines().size())));
        QCOMPARE(progress.size(), reports);
        QVERIFY(finished.isEmpty());
        QVERIFY(errors.isEmpty());
        QVERIFY(!manager.isUploading());
    }

    // Three meters read from the master; the one on the 60-minute interval goes last.
    void threeDeviceUpdate()
    {
        SimMaster sim(healthyRecord());
        for (const quint8 radio : {3, 5, 7}) {
            SimDevice meter = simDevice(radio, 13);
            if (radio != 5)
                meter.state[0] = char(0xF2); // on the short interval
            sim.setDevice(meter);
        }
        sim.setDevice(simDevice(9, 4));
        SimFirmware firmware(sim);
        firmware.setDeviceScript(7, {{}, {busyReply(PT_FW_UPDATE_BUSY, 300), busyReply(PT_FW_UPDATE_BUSY, 0),
                                          plainReply(PT_FW_UPDATE_ACK)}});

        DeviceConnection connection;
        QSignalSpy connected(&connection, &Connection::deviceConnected);
        QVERIFY(connection.connectToMaster(Serial, sim.address(), MasterOrdinary));
        QTRY_COMPARE_WITH_TIMEOUT(connection.devices().size(), 4, 10000);

        UpdateManager manager;
        manager.setTimings(quickTimings());
        manager.setFirmwareSize(600);
        connect(&manager, &UpdateManager::sendPacket, connection.interface(), &ConnectionInterface::sendPacket);
        QSignalSpy finished(&manager, &UpdateManager::updateFinished);
        QSignalSpy progress(&manager, &UpdateManager::deviceUpdateProgress);
        HUBRO32BootSectionHeader_t header;
        header.deviceType = 13;
        manager.update(connection.devices(), header);
        QVERIFY(finished.wait(30000));

        QCOMPARE(firmware.starts(), (QList<int>{3, 7, 5}));
        const QList<DeviceItem *> updated = finished.at(0).at(0).value<QList<DeviceItem *>>();
        QCOMPARE(updated.size(), 3);
        QCOMPARE(updated.constLast()->deviceId(), quint8(5));
        QVERIFY(finished.at(0).at(1).value<QList<DeviceItem *>>().isEmpty());
        QList<unsigned> reported;
        for (const QList<QVariant> &p : progress)
            reported << p.at(0).toUInt();
        QCOMPARE(reported, (QList<unsigned>{16, 100, 50, 100, 16, 100}));
        QVERIFY(!manager.isBusy());
        connection.forceDisconnect();
    }
};

QTEST_MAIN(FirmwareLinkTest)
#include "tst_firmwarelink.moc"

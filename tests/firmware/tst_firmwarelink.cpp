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

pVORL fourLines()
{
    ContainerBuilder builder;
    builder.key(countingKey());
    for (int i = 0; i < 4; ++i)
        builder.record(recordV1(quint16(0x100 + 16 * i), QByteArray(16, char('a' + i))));
    return builder.parse();
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

    void uploadFrameByFrame_data()
    {
        QTest::addColumn<bool>("readyOnItsOwn");
        QTest::newRow("readiness in a ping reply") << false;
        QTest::newRow("readiness on its own") << true;
    }
    void uploadFrameByFrame()
    {
        QFETCH(bool, readyOnItsOwn);
        SimMaster sim(healthyRecord());
        SimFirmware firmware(sim);
        firmware.setVerification({busyReply(PT_FW_VERIFY_BUSY, 5)});
        if (readyOnItsOwn)
            firmware.setUnsolicitedReady(20);
        else
            firmware.setPreparation({busyReply(PT_FW_ERASE_BUSY, 100), busyReply(PT_FW_ERASE_BUSY, 0),
                                     busyReply(PT_FW_CHECK_ERASE_BUSY, 10)});

        SerialConnectionInterface link(Serial, MasterOrdinary);
        QVERIFY(link.connectToDevice(sim.address()));
        FirmwareUploadManager manager;
        manager.setTimings(quickTimings());
        manager.setWaitForReady(readyOnItsOwn);
        connect(&manager, &FirmwareUploadManager::sendPacket, &link, &ConnectionInterface::sendPacket);
        // As the live connection and the main window hand it on.
        connect(&link, &ConnectionInterface::unsolicitedPacket, &manager, [&manager](const Packet &packet) {
            if (!packet.data.isEmpty() && quint8(packet.data.at(0)) == PT_FW_UPLOAD_READY)
                manager.startUpload();
        });
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
        QCOMPARE(received.size(), expected.size());
        for (int i = 0; i < received.size(); ++i) {
            const FakeMaster::Received &frame = received.at(i);
            QCOMPARE(frame.packet, expected.at(i));
            QCOMPARE(frame.sequence, quint8(received.constFirst().sequence + i));
            QCOMPARE(frame.raw, buildSerialFrame(frame.sequence, expected.at(i)));
        }
        QCOMPARE(firmware.lines(), vorl->lines());
        QCOMPARE(firmware.startHeader(), vorl->rawHeader());
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
        QVERIFY(finished.wait(5000));

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

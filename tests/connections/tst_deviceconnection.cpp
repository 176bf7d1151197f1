// The live device connection end to end: a scripted master on a
// pseudo-terminal, the serial link and its thread, the master item, the
// device poller and the device classes.
#include "blelibraries.h"
#include "connectionfixture.h"
#include "deviceitem.h"
#include "frame.h"
#include "mastersim.h"

#include <QJsonObject>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(FakeMaster::Layout)
// The firmware library declares it with its upload manager, which is not linked here.

namespace {

// A 125-address master's devices: the classes of types 3, 4 and 32, plain
// ones, a repeater (30) and a device behind it, and the last address.
QList<SimDevice> deviceMix()
{
    return {simDevice(0, 4),         simDevice(1, 3),  simDevice(2, 32),          simDevice(5, 12),
            simDevice(9, 30, 0x10), simDevice(10, 20, 0x10), simDevice(77, 32), simDevice(124, 4)};
}

// The pointer a signal carried, without looking at the object (it may be gone).
template <class T>
T *pointerIn(const QVariant &value)
{
    return *static_cast<T *const *>(value.constData());
}

QList<int> addressesOf(const QList<DeviceItem *> &items)
{
    QList<int> addresses;
    for (DeviceItem *item : items)
        addresses << item->deviceId();
    return addresses;
}

QList<int> range(int from, int count)
{
    QList<int> list;
    for (int i = 0; i < count; ++i)
        list << from + i;
    return list;
}

QByteArray le32(quint32 value)
{
    QByteArray data;
    for (int i = 0; i < 4; ++i)
        data.append(char((value >> (8 * i)) & 0xFF));
    return data;
}

// A connection with its master, its devices and the signals it gave.
struct Run
{
    explicit Run(const hubroInfo_t &status, FakeMaster::Layout layout = FakeMaster::Layout::Serial,
                 const QList<SimDevice> &devices = deviceMix())
        : sim(status, layout), expected(devices)
    {
        for (const SimDevice &device : devices)
            sim.setDevice(device);
    }

    ConnectionType kind() const { return sim.fake.layout() == FakeMaster::Layout::Serial ? Serial : Kastrel; }

    // Connects and waits for the master and every device.
    void connectAll()
    {
        QVERIFY(sim.fake.isValid());
        QVERIFY(connection.connectToMaster(kind(), sim.address(), MasterOrdinary));
        QTRY_COMPARE(masterConnected.size(), 1);
        QTRY_COMPARE(deviceConnected.size(), expected.size());
        QCOMPARE(masterRequested.size(), 1);
    }

    // Waits until every request sent so far has been answered: a marker
    // request goes after them on the same link.
    void drainLink()
    {
        bool answered = false;
        connection.interface()->sendPacket(QByteArray(1, char(PT_USB_TEST_OK)), [&answered](const Packet &) {
            answered = true;
            return true;
        });
        QTRY_VERIFY(answered);
    }

    SimMaster sim;
    QList<SimDevice> expected;
    DeviceConnection connection;
    QSignalSpy masterRequested{&connection, &Connection::masterRequested};
    QSignalSpy masterConnected{&connection, &Connection::masterConnected};
    QSignalSpy masterDisconnected{&connection, &Connection::masterDisconnected};
    QSignalSpy masterRestarted{&connection, &Connection::masterRestarted};
    QSignalSpy deviceConnected{&connection, &Connection::deviceConnected};
    QSignalSpy deviceRemoved{&connection, &Connection::deviceRemoved};
    QSignalSpy deviceStateChanged{&connection, &Connection::deviceStateChanged};
    QSignalSpy connectionLost{&connection, &Connection::connectionLost};
};

hubroInfo_t firmwareZeroRecord()
{
    hubroInfo_t info = healthyRecord();
    info.wMK2FWVer = 0;
    return info;
}

// A 32-device master with hardware 6: no event reading.
hubroInfo_t hubro32Hw6Record()
{
    hubroInfo_t info = hubro32Record();
    info.bHWVer = 6;
    return info;
}

} // namespace

class DeviceConnectionTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { prepareConnectionTests(); }
    // Items a connection released go now, not with the next test.
    void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    void connectsWithEveryDevice_data()
    {
        QTest::addColumn<FakeMaster::Layout>("layout");
        QTest::newRow("serial") << FakeMaster::Layout::Serial;
        QTest::newRow("wired bus") << FakeMaster::Layout::KastrelAt4;
    }
    void connectsWithEveryDevice()
    {
        QFETCH(FakeMaster::Layout, layout);
        Run run(healthyRecord(), layout);
        run.connectAll();
        DeviceConnection &c = run.connection;

        QVERIFY(c.isConnected());
        QCOMPARE(c.portName(), run.sim.address());
        QCOMPARE(c.connectionType(), run.kind());
        HubroItem *master = c.master();
        QVERIFY(master);
        QCOMPARE(run.masterConnected.first().first().value<HubroItem *>(), master);
        QCOMPARE(c.device(255), master);
        QCOMPARE(master->maxDeviceCount(), 125);

        // One sweep of every address; the devices in address order.
        run.drainLink();
        QCOMPARE(run.sim.infoRequests().mid(0, 125), range(0, 125));
        const QList<int> expected{0, 1, 2, 5, 9, 10, 77, 124};
        QList<int> signalled;
        for (const QList<QVariant> &args : qAsConst(run.deviceConnected))
            signalled << args.first().value<DeviceItem *>()->deviceId();
        QCOMPARE(signalled, expected);
        QCOMPARE(addressesOf(c.devices()), expected);
        QCOMPARE(master->connectedDevices(), expected.size());
        QCOMPARE(c.device(3), nullptr);

        // Each type got its class, its record and its state bytes.
        QCOMPARE(c.device(0)->metaObject()->className(), "DI_Tirun");
        QCOMPARE(c.device(1)->metaObject()->className(), "DI_Dralo");
        QCOMPARE(c.device(2)->metaObject()->className(), "DI_security");
        QCOMPARE(c.device(5)->metaObject()->className(), "DeviceItem");
        QCOMPARE(c.device(10)->rlValue(), quint32(0x10)); // behind the repeater at 9
        QCOMPARE(c.device(9)->deviceType(), 30);
        QCOMPARE(c.device(124)->serialNumber(), quint32(100124));
        QCOMPARE(c.device(124)->stateBlock(), run.sim.device(124).state);
        QCOMPARE(c.device(5)->connectionState(), int(DeviceOnline));

        // One configuration-file object per device.
        QList<int> ids;
        for (const QJsonValue &value : c.devicesJArray())
            ids << value.toObject().value(QStringLiteral("id")).toInt();
        QCOMPARE(ids, expected);

        // The master answers event reads: events it is. The answer comes
        // after the sweep's last reply, so it may still be on its way.
        QTRY_VERIFY(c.poller()->isTimerActive());
        QCOMPARE(c.poller()->mode(), DevicePoller::Mode::EventRead);
        QCOMPARE(c.poller()->timerInterval(), 40);
    }

    void eventsKeepItemsCurrent()
    {
        Run run(healthyRecord());
        run.connectAll();
        DeviceConnection &c = run.connection;

        SimDevice changed = run.sim.device(5);
        changed.state[3] = char(0x55);
        run.sim.setDevice(changed);
        run.sim.raiseEvent(5);
        QTRY_COMPARE(c.device(5)->stateBlock(), changed.state);

        // A device that drops off line reports its new state.
        SimDevice lost = run.sim.device(77);
        lost.record.linkState = 1;
        run.sim.setDevice(lost);
        run.sim.raiseEvent(77);
        QTRY_COMPARE(run.deviceStateChanged.size(), 1);
        QCOMPARE(run.deviceStateChanged.first().first().value<ConnectionState>(), DeviceNotOnlineLost);
        QCOMPARE(c.device(77)->connectionState(), int(DeviceNotOnlineLost));

        // A forced read without an event.
        SimDevice forced = run.sim.device(9);
        forced.state[0] = char(0x01);
        run.sim.setDevice(forced);
        emit c.device(9)->forceReadData(9);
        QTRY_COMPARE(c.device(9)->stateBlock(), forced.state);

        QCOMPARE(run.deviceConnected.size(), run.expected.size()); // no item made twice
        QCOMPARE(run.sim.fake.receivedCount(PT_DELETE_DEVICE), 0);
    }

    void pollingKeepsItemsCurrent_data()
    {
        QTest::addColumn<bool>("firmwareZero");
        QTest::addColumn<int>("eventReads");
        QTest::addColumn<int>("interval");
        // Not asked: polling starts at once, at the polling interval.
        QTest::newRow("firmware 0.0") << true << 0 << 5;
        // Asked and refused: the interval chosen before the answer stays.
        QTest::newRow("event reads refused") << false << 1 << 40;
    }
    void pollingKeepsItemsCurrent()
    {
        QFETCH(bool, firmwareZero);
        QFETCH(int, eventReads);
        QFETCH(int, interval);
        Run run(firmwareZero ? firmwareZeroRecord() : healthyRecord());
        run.sim.setEventsSupported(false);
        run.connectAll();
        DeviceConnection &c = run.connection;
        // The refusal answers the request sent after the sweep: it may come
        // after the last device.
        QTRY_COMPARE(c.poller()->mode(), DevicePoller::Mode::Polling);
        QTRY_VERIFY(c.poller()->isTimerActive());
        QCOMPARE(c.poller()->timerInterval(), interval);

        SimDevice changed = run.sim.device(5);
        changed.state[3] = char(0x66);
        run.sim.setDevice(changed);
        QTRY_COMPARE(c.device(5)->stateBlock(), changed.state);
        // Requests, not transmissions: a loaded machine may see one re-sent.
        QSet<int> eventRequests;
        for (const FakeMaster::Received &r : run.sim.fake.received())
            if (r.type() == PT_NEW_EVENTS_READ)
                eventRequests.insert(r.sequence);
        QCOMPARE(eventRequests.size(), eventReads);

        // The ring goes on after the sweep's last address with address 0.
        QTRY_VERIFY(run.sim.infoRequests().indexOf(0, 125) > 0);
        const QList<int> asked = run.sim.infoRequests();
        QCOMPARE(asked.at(asked.indexOf(0, 125) - 1), 124);
    }

    void emptyAddressRemovesTheItemOnly()
    {
        Run run(healthyRecord());
        run.connectAll();
        DeviceConnection &c = run.connection;
        DeviceItem *raw = c.device(5);
        QPointer<DeviceItem> item = raw;
        // Events are read once the poller reads them; an event raised before
        // may go with the first reading's answer.
        QTRY_COMPARE(c.poller()->mode(), DevicePoller::Mode::EventRead);
        QTRY_VERIFY(c.poller()->isTimerActive());
        run.drainLink();

        run.sim.dropDevice(5);
        run.sim.raiseEvent(5);
        QTRY_COMPARE(run.deviceRemoved.size(), 1);
        QCOMPARE(pointerIn<DeviceItem>(run.deviceRemoved.first().first()), raw);
        QCOMPARE(c.device(5), nullptr);
        QCOMPARE(c.master()->connectedDevices(), run.expected.size() - 1);
        for (const QJsonValue &value : c.devicesJArray())
            QVERIFY(value.toObject().value(QStringLiteral("id")).toInt() != 5);
        QCOMPARE(c.devicesJArray().size(), run.expected.size() - 1);
        QTRY_VERIFY(item.isNull()); // released later
        // The master was not asked to delete anything.
        QCOMPARE(run.sim.fake.receivedCount(PT_DELETE_DEVICE), 0);
    }

    // The answer to the first event read carries events too: a device the
    // master dropped while it was swept is read again and goes.
    void firstEventAnswerCounts()
    {
        Run run(healthyRecord());
        QHash<quint8, QByteArray> answers;
        for (int radio = 0; radio < 125; ++radio)
            answers.insert(quint8(radio), run.sim.infoAnswer(quint8(radio)));
        auto asked = std::make_shared<int>(0);
        run.sim.setScript(PT_GET_DEV_INFO, [answers, asked](const FakeMaster::Received &request) {
            const quint8 radio = quint8(request.packet.at(1));
            // Device 5 is gone after its first answer.
            if (radio == 5 && (*asked)++ > 0)
                return QVector<FakeMaster::Reply>{FakeMaster::Reply(QByteArray(1, char(PT_GET_DEV_INFO_ACK)) + char(5))};
            return QVector<FakeMaster::Reply>{FakeMaster::Reply(answers.value(radio))};
        });
        run.sim.raiseEvent(5);
        run.connectAll();
        DeviceConnection &c = run.connection;
        QTRY_COMPARE(run.deviceRemoved.size(), 1);
        QCOMPARE(c.device(5), nullptr);
        QCOMPARE(c.poller()->mode(), DevicePoller::Mode::EventRead);
    }

    void removeDeviceAsksTheMaster_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("removed");
        QTest::newRow("acknowledged") << int(PT_DELETE_DEVICE_ACK) << true;
        QTest::newRow("refused") << int(PT_UNKNOWN_REQ_ERROR) << false;
    }
    void removeDeviceAsksTheMaster()
    {
        QFETCH(int, answer);
        QFETCH(bool, removed);
        Run run(healthyRecord());
        run.sim.setDeleteAnswer(quint8(answer));
        run.connectAll();
        DeviceConnection &c = run.connection;
        DeviceItem *item = c.device(2);

        c.removeDeviceItem(item);
        run.drainLink();
        QCOMPARE(run.sim.fake.requestCount(PT_DELETE_DEVICE), 1);
        for (const FakeMaster::Received &r : run.sim.fake.received())
            if (r.type() == PT_DELETE_DEVICE)
                QCOMPARE(r.packet, QByteArray::fromHex("0b02"));
        QCOMPARE(run.deviceRemoved.size(), removed ? 1 : 0);
        QCOMPARE(c.device(2) == nullptr, removed);
    }

    void rebootReconnects_data()
    {
        QTest::addColumn<FakeMaster::Layout>("layout");
        QTest::newRow("serial") << FakeMaster::Layout::Serial;
        QTest::newRow("wired bus") << FakeMaster::Layout::KastrelAt4;
    }
    void rebootReconnects()
    {
        QFETCH(FakeMaster::Layout, layout);
        Run run(healthyRecord(), layout);
        run.connectAll();
        DeviceConnection &c = run.connection;
        QPointer<HubroItem> oldMaster = c.master();

        // What the connection holds when it reports the reboot, read as it
        // reports it: a loaded machine may let the short reconnect time-out
        // pass before a test polling afterwards looks.
        struct Rebooting
        {
            bool seen = false, noMaster = false, noDevices = false, noInterface = false, pending = false;
            QString address;
        } rebooting;
        connect(&c, &Connection::masterRestarted, &c, [&c, &rebooting] {
            rebooting.seen = true;
            rebooting.noMaster = c.master() == nullptr;
            rebooting.noDevices = c.devices().isEmpty();
            rebooting.noInterface = c.interface() == nullptr;
            rebooting.pending = c.isReconnectPending();
            rebooting.address = c.reconnectAddress();
        });
        c.restartMaster(150);
        QTRY_COMPARE(run.masterRestarted.size(), 1);
        QCOMPARE(run.masterRestarted.first().first().toInt(), 150);
        QVERIFY(rebooting.seen);
        QVERIFY(rebooting.noMaster);
        QVERIFY(rebooting.noDevices);
        QVERIFY(rebooting.noInterface);
        QVERIFY(rebooting.pending);
        // On the wired bus the bus address stays part of it.
        QCOMPARE(rebooting.address, run.sim.address());

        QTRY_COMPARE(run.masterConnected.size(), 2);
        QTRY_COMPARE(run.deviceConnected.size(), 2 * run.expected.size());
        QVERIFY(oldMaster.isNull());
        QVERIFY(c.master());
        QCOMPARE(c.portName(), run.sim.address());
        QCOMPARE(c.connectionType(), run.kind());
        QCOMPARE(addressesOf(c.devices()).size(), run.expected.size());
        QCOMPARE(c.devicesJArray().size(), run.expected.size());
        QCOMPARE(run.sim.fake.receivedCount(PT_HUBRO_INFO) >= 2, true);
        QCOMPARE(run.masterDisconnected.size(), 0);
    }

    void breakReconnectKeepsItClosed()
    {
        Run run(healthyRecord());
        run.connectAll();
        DeviceConnection &c = run.connection;
        // Long enough that the break comes first however loaded the machine.
        c.restartMaster(60000);
        QTRY_COMPARE(run.masterRestarted.size(), 1);
        QVERIFY(c.isReconnectPending());
        c.breakReconnect();
        QVERIFY(!c.isReconnectPending());
        QVERIFY(!run.masterRequested.wait(400));
        QCOMPARE(c.interface(), nullptr);
    }

    // A master behind a converter that writes 20 bytes at a time, its devices'
    // states holding whole frames and text rich in start bytes: every device is
    // read, the link holds.
    void twentyBytePiecesReadEveryDevice()
    {
        QList<SimDevice> devices;
        for (const quint8 radio : {0, 3, 17, 40, 64, 99, 124}) {
            SimDevice device = simDevice(radio, radio % 2 ? 12 : 20);
            device.state = QByteArray::fromHex("f000") + buildSerialFrame(quint8(radio + 1), QByteArray::fromHex("06aa"))
                + QByteArray("\"a\": \"\"\"\", \"b\": \"\\\"\\\"\"");
            devices << device;
        }
        Run run(healthyRecord(), FakeMaster::Layout::Serial, devices);
        run.sim.setPieceSize(20);
        run.connectAll();
        DeviceConnection &c = run.connection;
        run.drainLink();
        QCOMPARE(run.sim.infoRequests().mid(0, 125), range(0, 125));
        for (const SimDevice &device : qAsConst(devices))
            QCOMPARE(c.device(device.record.radioAddress)->stateBlock(), device.state);
        QCOMPARE(run.connectionLost.size(), 0);
    }

    void silenceLosesTheLinkWithItemsKept()
    {
        Run run(healthyRecord());
        run.connectAll();
        DeviceConnection &c = run.connection;
        QPointer<DeviceItem> item = c.device(0);

        run.sim.setSilent(true);
        QVERIFY(run.connectionLost.wait(5000));
        QVERIFY(!c.isConnected());
        QVERIFY(c.master());
        QCOMPARE(c.devices().size(), run.expected.size());
        QCOMPARE(run.masterDisconnected.size(), 0);

        // What the window does next.
        c.forceDisconnect();
        QCOMPARE(run.masterDisconnected.size(), 1);
        QCOMPARE(c.master(), nullptr);
        QVERIFY(c.devices().isEmpty());
        QCOMPARE(c.interface(), nullptr);
        QVERIFY(!c.poller()->isActive());
        QTRY_VERIFY(item.isNull());
    }

    void hubro32ConnectsWithItsShortAnswer()
    {
        QList<SimDevice> devices{simDevice(0, 4), simDevice(7, 3, 0x10), simDevice(31, 12)};
        Run run(hubro32Hw6Record(), FakeMaster::Layout::Serial, devices);
        run.connectAll();
        DeviceConnection &c = run.connection;
        QCOMPARE(c.master()->maxDeviceCount(), 32);
        QCOMPARE(c.master()->deviceType(), 0);

        // Hardware below 7: polling without asking, started at once.
        QCOMPARE(run.sim.fake.receivedCount(PT_NEW_EVENTS_READ), 0);
        QCOMPARE(c.poller()->mode(), DevicePoller::Mode::Polling);
        QVERIFY(c.poller()->isTimerActive());
        QTRY_VERIFY(run.sim.infoRequests().indexOf(0, 32) > 0);
        const QList<int> asked = run.sim.infoRequests();
        QCOMPARE(asked.mid(0, 32), range(0, 32));
        // The ring goes on with address 0 after the last one.
        QCOMPARE(asked.at(asked.indexOf(0, 32) - 1), 31);

        // The short record: state from byte 14, record bytes 13-19 zero.
        QCOMPARE(c.device(7)->stateBlock(), run.sim.device(7).state);
        QCOMPARE(c.device(7)->rlValue(), quint32(0));
        QCOMPARE(c.device(7)->serialNumber(), quint32(100007));
    }

    void shortStatusAnswerMakesNoMaster()
    {
        Run run(healthyRecord());
        run.sim.truncateStatusAnswer(1); // 77 record bytes from a 125-device master
        QVERIFY(run.connection.connectToMaster(Serial, run.sim.address(), MasterOrdinary));
        QTRY_COMPARE(run.masterRequested.size(), 1);
        run.drainLink();
        QCOMPARE(run.connection.master(), nullptr);
        QCOMPARE(run.masterConnected.size(), 0);
        // Not a silent dead end: the connection ends and says why.
        QTRY_COMPARE(run.connectionLost.size(), 1);
        QCOMPARE(run.connection.errorString(),
                 QStringLiteral("The master's status answer is too short (79 bytes): the master cannot be read."));
    }

    void secondMasterConnectedWiresThePollerOnce()
    {
        Run run(healthyRecord());
        run.connectAll();
        DeviceConnection &c = run.connection;
        run.drainLink();
        QCOMPARE(run.sim.infoRequests().size(), 125);

        // The master item reports itself connected again (as after a password removal).
        emit c.master()->connected();
        QCOMPARE(run.masterConnected.size(), 2);
        run.drainLink();
        QCOMPARE(run.sim.infoRequests().size(), 250);
        QCOMPARE(run.deviceConnected.size(), run.expected.size());
        QCOMPARE(c.devicesJArray().size(), run.expected.size());
    }

    void updateProgress_data()
    {
        QTest::addColumn<QList<quint32>>("remaining");
        QTest::addColumn<QList<int>>("percent");
        QTest::newRow("counting down") << QList<quint32>{1000, 500, 0} << QList<int>{0, 50, 100};
        QTest::newRow("first packet empty") << QList<quint32>{0} << QList<int>{100};
        QTest::newRow("a later, smaller update") << QList<quint32>{1000, 0, 250} << QList<int>{0, 100, 75};
        QTest::newRow("truncated") << QList<quint32>{3, 2} << QList<int>{0, 33};
    }
    void updateProgress()
    {
        QFETCH(QList<quint32>, remaining);
        QFETCH(QList<int>, percent);
        quint32 counter = 0;
        QList<int> got;
        for (const quint32 value : remaining)
            got << DeviceConnection::updateProgress(counter, value);
        QCOMPARE(got, percent);
    }

    void coreUpdatePacketsReportProgress()
    {
        Run run(healthyRecord());
        run.connectAll();
        DeviceConnection &c = run.connection;
        // Quiet link: nothing in flight, so the packets below are unsolicited.
        c.poller()->onMasterDisconnected();
        run.drainLink();

        QSignalSpy progress(&c, &Connection::masterCoreUpdateProgress);
        QSignalSpy upload(&c, &Connection::startUpload);
        const auto push = [&](const QByteArray &packet) { run.sim.fake.writeRaw(run.sim.fake.wrap(0xEE, packet)); };
        push(QByteArray(1, char(PT_FW_UPDATE_ERASE)) + le32(200));
        push(QByteArray(1, char(PT_FW_UPDATE_ERASE)) + le32(50));
        push(QByteArray(1, char(PT_FW_UPDATE_BUSY)) + le32(0));
        push(QByteArray(1, char(PT_FW_UPLOAD_READY)));
        QTRY_COMPARE(progress.size(), 3);
        QTRY_COMPARE(upload.size(), 1);
        QCOMPARE(progress.at(0).at(0).value<FirmwareUploadTypes::uploadStatus_t>(), FirmwareUploadTypes::Erasing);
        QCOMPARE(progress.at(0).at(1).toInt(), 0);
        QCOMPARE(progress.at(1).at(1).toInt(), 75);
        QCOMPARE(progress.at(2).at(0).value<FirmwareUploadTypes::uploadStatus_t>(), FirmwareUploadTypes::Writing);
        QCOMPARE(progress.at(2).at(1).toInt(), 100);

        // Done: the master is asked for its status again a little later.
        const int statusRequests = run.sim.fake.receivedCount(PT_HUBRO_INFO);
        push(QByteArray(1, char(PT_FW_UPDATE_ACK)));
        QTRY_COMPARE(progress.size(), 4);
        QCOMPARE(progress.at(3).at(0).value<FirmwareUploadTypes::uploadStatus_t>(), FirmwareUploadTypes::Finished);
        QCOMPARE(progress.at(3).at(1).toInt(), 100);
        QTRY_VERIFY(run.sim.fake.receivedCount(PT_HUBRO_INFO) > statusRequests);
    }

    void connectFailures_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("address");
        QTest::newRow("no such port") << int(Serial) << QStringLiteral("/nonexistent/tty");
        QTest::newRow("no such bus port") << int(Kastrel) << QStringLiteral("/nonexistent/tty:5");
        QTest::newRow("bluetooth, built without its libraries") << int(Bluetooth) << QStringLiteral("00:11:22:33:44:55");
        QTest::newRow("file") << int(File) << QStringLiteral("/tmp/x.conf");
        QTest::newRow("simulation") << int(Simulation) << QStringLiteral("/tmp/x.sim");
    }
    void connectFailures()
    {
        QFETCH(int, kind);
        QFETCH(QString, address);
        BleLibraries::setAvailableForTesting(0);
        DeviceConnection c;
        QSignalSpy requested(&c, &Connection::masterRequested);
        QVERIFY(!c.connectToMaster(ConnectionType(kind), address, MasterOrdinary));
        BleLibraries::setAvailableForTesting(-1);
        QCOMPARE(c.interface(), nullptr);
        QVERIFY(!c.isConnected());
        QCOMPARE(c.portName(), QString());
        QVERIFY(c.disconnectFromMaster()); // nothing to close
        QCoreApplication::processEvents();
        QCOMPARE(requested.size(), 0);
    }

    void disconnectReleasesEverything()
    {
        Run run(healthyRecord());
        run.connectAll();
        DeviceConnection &c = run.connection;
        QPointer<HubroItem> master = c.master();
        QPointer<DeviceItem> item = c.device(124);
        c.setLogFilter({PT_GET_DEV_INFO});

        QVERIFY(c.disconnectFromMaster());
        QCOMPARE(run.masterDisconnected.size(), 1);
        QCOMPARE(c.master(), nullptr);
        QVERIFY(c.devices().isEmpty());
        QCOMPARE(c.interface(), nullptr);
        QVERIFY(!c.poller()->isTimerActive());
        QTRY_VERIFY(master.isNull() && item.isNull());
        QVERIFY(c.disconnectFromMaster());
        QCOMPARE(run.masterDisconnected.size(), 1);
    }
};

QTEST_MAIN(DeviceConnectionTest)
#include "tst_deviceconnection.moc"

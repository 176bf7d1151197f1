// The simulated connection on real simulation files in a temporary folder:
// refused files, the canned answers, a file edited on disk while the
// connection runs (written in place, replaced by rename, briefly missing),
// the serial counter and closing.

#include "appglobals.h"
#include "connectionfixture.h"
#include "deviceitem.h"
#include "filefollower.h"
#include "hubroitem.h"
#include "masterbench.h"
#include "mastersim.h"
#include "messagecapture.h"
#include "registerdeviceclasses.h"
#include "simulatedconnection.h"
#include "testsupport.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

enum class Save { InPlace, ByRename };

bool save(const QString &path, const QByteArray &contents, Save how = Save::InPlace)
{
    if (how == Save::ByRename) {
        QSaveFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size() && file.commit();
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

// A simulation file: a master of type 41 and the devices given, each
// "id:type" or "id:type:extra JSON".
QByteArray simulation(const QStringList &devices, const QByteArray &master = "\"dwSerialId\": 5000")
{
    QByteArray text = "{\"master\": {\"bDevType\": 41, \"wMK2FWVer\": \"1.32\", " + master + "}, \"devices\": [";
    for (int i = 0; i < devices.size(); ++i) {
        const QStringList parts = devices.at(i).split(QLatin1Char(':'));
        text += QStringLiteral("%1{\"id\": %2, \"type\": %3, \"serial\": %4%5}")
                    .arg(i ? QStringLiteral(", ") : QString(), parts.at(0), parts.at(1),
                         QString::number(7000 + parts.at(0).toInt()),
                         parts.size() > 2 ? QStringLiteral(", \"extra\": ") + parts.mid(2).join(QLatin1Char(':'))
                                          : QString())
                    .toUtf8();
    }
    return text + "]}";
}

QList<int> numbers(const SimulatedConnection &connection)
{
    QList<int> list;
    for (DeviceItem *item : connection.devices())
        list << item->deviceId();
    return list;
}

Packet answer(SimulatedConnection &connection, const QByteArray &request)
{
    Packet reply;
    int calls = 0;
    connection.sendPacket(request, [&](const Packet &packet) {
        reply = packet;
        ++calls;
        return true;
    });
    if (calls != 1)
        qWarning("the callback ran %d times", calls);
    return reply;
}

void dropDeletedItems()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class SimulatedConnectionTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<MessageBoxRecorder> boxes;

    QString path(const QString &name = QStringLiteral("sim.sim")) const { return dir.filePath(name); }

private slots:
    void initTestCase()
    {
        prepareConnectionTests();
        FileFollower::setRetryTiming(10, 500);
        boxes = std::make_unique<MessageBoxRecorder>();
    }
    void cleanup() { dropDeletedItems(); }

    void refusesWhatIsNoSimulation_data()
    {
        QTest::addColumn<QByteArray>("contents"); // "<none>": no file
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << QByteArray("<none>") << "does not exist";
        QTest::newRow("empty") << QByteArray("") << "is empty";
        QTest::newRow("not JSON") << QByteArray("{\"master\": {") << "not valid JSON";
        QTest::newRow("array") << QByteArray("[{\"master\": {}}]") << "does not hold a JSON object";
        QTest::newRow("empty object") << QByteArray("{}") << "describes nothing";
    }
    void refusesWhatIsNoSimulation()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, message);
        const QString file = path(QStringLiteral("refused.sim"));
        QFile::remove(file);
        if (contents != "<none>")
            QVERIFY(save(file, contents));

        SimulatedConnection connection;
        QSignalSpy announced(&connection, &Connection::deviceConnected);
        QVERIFY(!connection.connectToMaster(Simulation, file, MasterOrdinary));
        QVERIFY2(connection.errorString().contains(message), qPrintable(connection.errorString()));
        QVERIFY(!connection.master());
        QVERIFY(!connection.follower()->isWatching());
        QCOMPARE(announced.count(), 0);

        // Another kind is refused before the file is looked at.
        QVERIFY(save(file, simulation({"1:3"})));
        QVERIFY(!connection.connectToMaster(File, file, MasterOrdinary));
        QVERIFY(!connection.master());
    }

    void buildsTheMasterAndTheDevices()
    {
        QVERIFY(save(path(), "{\"master\": {\"bDevType\": 41, \"wMK2FWVer\": \"1.32\"},"
                             " \"devices\": [{\"id\": 4, \"type\": 4}, {\"type\": 32}, {\"id\": 2, \"type\": 74}]}"));
        SimulatedConnection connection;
        QSignalSpy announced(&connection, &Connection::deviceConnected);
        QSignalSpy connected(&connection, &Connection::masterConnected);
        QVERIFY(connection.connectToMaster(Simulation, path(), MasterOrdinary));
        QVERIFY(connection.errorString().isEmpty());
        QVERIFY(connection.master());
        QCOMPARE(connection.master()->hubroInfo().bDevType, quint8(41));
        QCOMPARE(connection.master()->connectionType(), Simulation);
        QCOMPARE(numbers(connection), QList<int>({2, 4, 5})); // no "id": one past the largest so far
        QCOMPARE(announced.count(), 3);
        QCOMPARE(connection.device(4)->metaObject()->className(), "DI_Tirun");
        QCOMPARE(connection.device(4)->serialNumber(), quint32(999)); // no "serial": counted down
        QCOMPARE(connection.device(5)->serialNumber(), quint32(998));
        QVERIFY(!connection.isConnected());

        // masterConnected follows the master item's own start-up.
        QCOMPARE(connected.count(), 0);
        QVERIFY(connected.wait(2000));
        QCOMPARE(connected.at(0).at(0).value<HubroItem *>(), connection.master());
    }

    void answersTheMaster_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("reply"); // "<record>": 02 and the master's record
        QTest::newRow("status") << QByteArray::fromHex("01") << QByteArray("<record>");
        QTest::newRow("firmware header") << QByteArray::fromHex("3000") << QByteArray::fromHex("fe");
        QTest::newRow("radio firmware header") << QByteArray::fromHex("7a0102") << QByteArray::fromHex("fe");
        QTest::newRow("current status") << QByteArray::fromHex("c8") << QByteArray::fromHex("c900");
        QTest::newRow("known device") << QByteArray::fromHex("0504")
                                      << QByteArray::fromHex("06 04 5c1b0000 0001 0001 00 04 02 d8 00000000 00 00 0000"
                                                             "f0 03 00 64 0000 00 00 00");
        QTest::newRow("unknown device") << QByteArray::fromHex("0509") << QByteArray::fromHex("0609");
        QTest::newRow("anything else") << QByteArray::fromHex("44aabb") << QByteArray::fromHex("45aabb");
    }
    void answersTheMaster()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, reply);
        QVERIFY(save(path(), simulation({"4:4"})));
        SimulatedConnection connection;
        QVERIFY(connection.connectToMaster(Simulation, path(), MasterOrdinary));
        if (reply == "<record>")
            reply = char(0x02) + hubroInfoToBytes(connection.masterRecord());

        const qint64 before = QDateTime::currentMSecsSinceEpoch();
        const Packet packet = answer(connection, request);
        QCOMPARE(packet.data.toHex(' '), reply.toHex(' '));
        QCOMPARE(packet.request, request);
        QVERIFY(packet.timestamp >= before);
        connection.sendPacket(request); // no callback: the answer is dropped
    }

    void followsTheFile_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("written in place") << int(Save::InPlace);
        QTest::newRow("replaced by rename") << int(Save::ByRename);
    }
    void followsTheFile()
    {
        QFETCH(int, how);
        QVERIFY(save(path(), simulation({"1:3", "2:4", "3:32"})));
        SimulatedConnection connection;
        QVERIFY(connection.connectToMaster(Simulation, path(), MasterOrdinary));
        QPointer<DeviceItem> kept = connection.device(1);
        QPointer<DeviceItem> retyped = connection.device(2);
        QSignalSpy removed(&connection, &Connection::deviceRemoved);
        QSignalSpy announced(&connection, &Connection::deviceConnected);

        // Each save: one device changes its state, one its type, one goes,
        // one comes. Twice, so that the path is still followed after the first.
        for (int round = 0; round < 2; ++round) {
            removed.clear();
            announced.clear();
            const QString alarm = round == 0 ? QStringLiteral("{\"Z1\": {\"fAlarm\": 1}}") : QStringLiteral("{}");
            const QStringList devices = round == 0 ? QStringList{"1:3:" + alarm, "2:32", "9:4"}
                                                   : QStringList{"1:3:" + alarm, "2:4", "3:32"};
            QVERIFY(save(path(), simulation(devices), Save(how)));
            QTRY_COMPARE(announced.count(), 2);
            QTRY_COMPARE(removed.count(), 2);
            QCOMPARE(numbers(connection), round == 0 ? QList<int>({1, 2, 9}) : QList<int>({1, 2, 3}));
            QCOMPARE(connection.device(1), kept.data());
            QCOMPARE(connection.device(1)->stateByte(4) & 0x80, round == 0 ? 0x80 : 0);
            QCOMPARE(connection.device(2)->deviceType(), round == 0 ? 32 : 4);
            QVERIFY(connection.follower()->isWatching());
            // The master counts the simulated devices as they come and go.
            QVERIFY2(connection.master()->data(276).toString().startsWith(QStringLiteral("Devices connected: 3")),
                     qPrintable(connection.master()->data(276).toString()));
        }
        dropDeletedItems();
        QVERIFY(retyped.isNull()); // replaced items are released
        QVERIFY(kept);
    }

    void keepsGoingThroughBadSaves()
    {
        QVERIFY(save(path(), simulation({"1:3"})));
        SimulatedConnection connection;
        QVERIFY(connection.connectToMaster(Simulation, path(), MasterOrdinary));
        QSignalSpy announced(&connection, &Connection::deviceConnected);

        // Half-written: nothing changes, the file stays followed.
        QVERIFY(save(path(), "{\"devices\": [{\"id\": 1"));
        QTRY_VERIFY(connection.follower()->isWatching());
        QVERIFY(save(path(), "[]", Save::ByRename));
        QVERIFY(save(path(), simulation({"1:3", "2:32"}), Save::ByRename));
        QTRY_COMPARE(announced.count(), 1);
        QCOMPARE(numbers(connection), QList<int>({1, 2}));

        // Gone for a moment, as some editors do: followed again once it is back.
        QVERIFY(QFile::remove(path()));
        QTRY_VERIFY(connection.follower()->isRetrying());
        QVERIFY(save(path(), simulation({"1:3", "2:32", "3:4"})));
        QTRY_COMPARE(announced.count(), 2);
        QVERIFY(connection.follower()->isWatching());
        QVERIFY(!connection.follower()->isRetrying());
    }

    // A folder that takes the file's name for a while is not followed in its
    // place, and a file gone for long is reported lost but still looked for.
    void followsOnlyTheFileAndNeverGivesUp()
    {
        FileFollower::setRetryTiming(10, 5);
        MessageCapture log;
        QVERIFY(save(path(), simulation({"1:3"})));
        SimulatedConnection connection;
        QVERIFY(connection.connectToMaster(Simulation, path(), MasterOrdinary));
        QSignalSpy announced(&connection, &Connection::deviceConnected);
        QSignalSpy lost(connection.follower(), &FileFollower::lostChanged);

        QVERIFY(QFile::remove(path()));
        QVERIFY(QDir().mkdir(path()));
        QTRY_COMPARE(lost.count(), 1);
        QCOMPARE(lost.last().first().toBool(), true);
        QVERIFY(connection.follower()->isLost());
        QVERIFY(connection.follower()->isRetrying());
        QVERIFY(!connection.follower()->isWatching());

        QVERIFY(QDir().rmdir(path()));
        QVERIFY(save(path(), simulation({"1:3", "2:32"})));
        QTRY_COMPARE(announced.count(), 1);
        QCOMPARE(lost.count(), 2);
        QCOMPARE(lost.last().first().toBool(), false);
        QVERIFY(connection.follower()->isWatching());
        // The log tells what the follower does: it looks on, then follows again.
        const QString file = QStringLiteral("File (%1) ").arg(path());
        QCOMPARE(log.count(file + QStringLiteral("is gone, looked for until it is back")), 1);
        QCOMPARE(log.count(file + QStringLiteral("is back, followed again")), 1);
        QCOMPARE(log.matching(QStringLiteral("no longer followed")), QStringList());

        // Followed as before: the next save is seen.
        QVERIFY(save(path(), simulation({"1:3", "2:32", "3:4"})));
        QTRY_COMPARE(announced.count(), 2);
        FileFollower::setRetryTiming(10, 500);
    }

    void refreshInstantShowsTheMasterAtOnce_data()
    {
        QTest::addColumn<QByteArray>("refresh");
        QTest::addColumn<bool>("atOnce");
        QTest::newRow("instant") << QByteArray("\"instant\"") << true;
        QTest::newRow("other") << QByteArray("\"later\"") << false;
        QTest::newRow("not text") << QByteArray("1") << false;
    }
    void refreshInstantShowsTheMasterAtOnce()
    {
        QFETCH(QByteArray, refresh);
        QFETCH(bool, atOnce);
        QVERIFY(save(path(), simulation({"1:3"})));
        SimulatedConnection connection;
        QSignalSpy connected(&connection, &Connection::masterConnected);
        QVERIFY(connection.connectToMaster(Simulation, path(), MasterOrdinary));
        QVERIFY(connected.wait(2000));
        QByteArray edited = simulation({"1:3"}, "\"dwSerialId\": 6000");
        edited.insert(1, "\"refresh\": " + refresh + ", ");
        QVERIFY(save(path(), edited));
        QTRY_VERIFY(connection.masterRecord().dwSerialId == 6000);
        QCOMPARE(connection.master()->serialNumber() == 6000, atOnce);
        // The next status request brings it in any case.
        connection.master()->requestStatus();
        QCOMPARE(connection.master()->serialNumber(), quint32(6000));
    }

    // A simulated 32-device master answers and reads as the same master does
    // live over the serial link: its short status answer, and its status text.
    void simulated32DeviceMasterAsLive_data()
    {
        QTest::addColumn<QByteArray>("master");
        QTest::addColumn<QString>("supplyMode"); // "WIRELOOP as supply"
        // The clock's low byte (0x7B) lies where the short answer puts RFNoise.
        const QByteArray common = "\"bDevType\": 0, \"wMK2FWVer\": \"1.32\", \"bCaseState\": 0, \"Time\": 1754000251";
        QTest::newRow("hardware 9, jumper set") << common + ", \"bHWVer\": 9, \"bJamperState\": 1" << "No";
        QTest::newRow("hardware 9, jumper clear") << common + ", \"bHWVer\": 9, \"bJamperState\": 0" << "Yes";
        QTest::newRow("hardware 10, Options bit 6 clear") << common + ", \"bHWVer\": 10" << "Deny";
        QTest::newRow("hardware 10, Options bit 6 set")
            << common + ", \"bHWVer\": 10, \"Options\": {\"fWireloopPowerDisable\": 1}" << "Allow";
    }
    void simulated32DeviceMasterAsLive()
    {
        QFETCH(QByteArray, master);
        QFETCH(QString, supplyMode);
        QVERIFY(save(path(), "{\"master\": {" + master + "}, \"devices\": []}"));
        SimulatedConnection simulated;
        QSignalSpy simulatedUp(&simulated, &Connection::masterConnected);
        QVERIFY(simulated.connectToMaster(Simulation, path(), MasterOrdinary));
        QVERIFY(simulatedUp.wait(2000));
        const hubroInfo_t record = simulated.masterRecord();
        QCOMPARE(quint8(record.Time & 0xFF), quint8(0x7B));

        SimMaster sim(record);
        QVERIFY(sim.fake.isValid());
        DeviceConnection live;
        QSignalSpy liveUp(&live, &Connection::masterConnected);
        QVERIFY(live.connectToMaster(Serial, sim.address(), MasterOrdinary));
        QVERIFY(liveUp.wait(5000));

        // The same answer, byte for byte (the serial frame's check byte aside).
        Packet liveAnswer;
        live.interface()->sendPacket(QByteArray(1, char(PT_HUBRO_INFO)), [&liveAnswer](const Packet &reply) {
            liveAnswer = reply;
            return true;
        });
        QTRY_VERIFY(!liveAnswer.data.isEmpty());
        const Packet simulatedAnswer = answer(simulated, QByteArray(1, char(PT_HUBRO_INFO)));
        QCOMPARE(simulatedAnswer.data.size(), 1 + 57);
        QCOMPARE(simulatedAnswer.data.toHex(' '), liveAnswer.data.chopped(1).toHex(' '));

        // After a refresh both items read the same: no interference from the
        // clock, no supply failure from a byte never sent, no fault.
        HubroItem *liveMaster = live.master();
        QSignalSpy liveRefreshed(liveMaster, &HubroItem::hubroInfoUpdated);
        liveMaster->requestStatus();
        QVERIFY(liveRefreshed.wait(2000));
        HubroItem *simulatedMaster = simulated.master();
        simulatedMaster->requestStatus();
        for (HubroItem *item : {simulatedMaster, liveMaster}) {
            QCOMPARE(item->data(DeviceRole::StatusText).toString(), QStringLiteral("Devices connected: 0"));
            QCOMPARE(rowText(*item, QStringLiteral("WIRELOOP as supply")), supplyMode);
            QCOMPARE(rowText(*item, QStringLiteral("Radio noise")), QStringLiteral("No"));
            QVERIFY(!item->hasFault());
            QVERIFY(!item->hasAlarm());
        }
        QCOMPARE(hubroInfoToBytes(simulatedMaster->hubroInfo()).toHex(' '),
                 hubroInfoToBytes(liveMaster->hubroInfo()).toHex(' '));
        live.disconnectFromMaster();
    }

    void serialNumbersOfDevicesWithoutOne()
    {
        // Given numbers, no serial numbers: the items are kept and take the
        // serial numbers handed out.
        const QByteArray file = "{\"master\": {}, \"devices\": [{\"id\": 1, \"type\": 3}, {\"id\": 2, \"type\": 3}]}";
        QVERIFY(save(path(), file));
        SimulatedConnection connection;
        QCOMPARE(connection.serialCounter(), 999);
        QVERIFY(connection.connectToMaster(Simulation, path(), MasterOrdinary));
        QCOMPARE(connection.device(1)->serialNumber(), quint32(999));
        QCOMPARE(connection.device(2)->serialNumber(), quint32(998));
        QCOMPARE(connection.serialCounter(), 997); // not set back after connecting

        QSignalSpy changed(&connection, &Connection::deviceStateChanged);
        for (const quint32 first : {997u, 999u, 999u}) {
            changed.clear();
            QVERIFY(save(path(), file + " ", Save::ByRename));
            QTRY_COMPARE(changed.count(), 2);
            QCOMPARE(connection.device(1)->serialNumber(), first);
            QCOMPARE(connection.device(2)->serialNumber(), first - 1);
            QCOMPARE(connection.serialCounter(), 999);
        }
    }

    void closingStopsFollowing()
    {
        QVERIFY(save(path(), simulation({"1:3", "2:4"})));
        SimulatedConnection connection;
        QVERIFY(connection.connectToMaster(Simulation, path(), MasterOrdinary));
        QPointer<HubroItem> master = connection.master();
        QSignalSpy disconnected(&connection, &Connection::masterDisconnected);
        QSignalSpy announced(&connection, &Connection::deviceConnected);
        QVERIFY(connection.disconnectFromMaster());
        QCOMPARE(disconnected.count(), 1);
        QVERIFY(!connection.master());
        QVERIFY(connection.devices().isEmpty());
        QVERIFY(!connection.follower()->isWatching());
        dropDeletedItems();
        QVERIFY(master.isNull());

        // A late change report brings nothing back.
        QVERIFY(save(path(), simulation({"1:3", "2:4", "3:32"})));
        emit connection.follower()->changed();
        QCOMPARE(announced.count(), 0);
        QVERIFY(connection.devices().isEmpty());
    }

    void theDemoRuns()
    {
        const QString demo = QStringLiteral(TANDREL_EXAMPLES_DIR "/demo.sim");
        SimulatedConnection connection;
        QVERIFY2(connection.connectToMaster(Simulation, demo, MasterOrdinary), qPrintable(connection.errorString()));
        const hubroInfo_t master = connection.masterRecord();
        QVERIFY(master.bDevType == 41 || master.bDevType == 141);
        QVERIFY((master.wMK2FWVer & 0xFF) >= 12); // passes the master's compatibility check
        // One item for every device of the file.
        QFile file(demo);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const int count = QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("devices")).toArray().size();
        QVERIFY(count >= 12);
        QCOMPARE(connection.devices().size(), count);
        QSet<quint32> serials;
        QSet<QString> classes;
        bool repeated = false;
        for (DeviceItem *item : connection.devices()) {
            serials << item->serialNumber();
            classes << QString::fromLatin1(item->metaObject()->className());
            if (repeaterDeviceTypes.contains(item->deviceType())) {
                for (DeviceItem *other : connection.devices())
                    repeated = repeated || (other != item && other->rlValue() == item->rlValue() && other->rlValue());
            }
        }
        QCOMPARE(serials.size(), count);
        QVERIFY(!serials.contains(999)); // every device has its own "serial"
        QVERIFY(classes.contains(QSet<QString>({"DI_Dralo", "DI_Tirun", "DI_security", "DI_Sebrel"})));
        QVERIFY(repeated); // a device behind the repeater
    }
};

QTEST_MAIN(SimulatedConnectionTest)
#include "tst_simulatedconnection.moc"

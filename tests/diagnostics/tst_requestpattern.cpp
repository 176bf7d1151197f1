// The request pattern of the three diagnostics managers, as one table: a
// scripted link answers each device by a behaviour of its own, with a 5 ms
// ping, and each case ends with the manager idle.
#include "deviceeeprommanager.h"
#include "deviceitem.h"
#include "lqitestmanager.h"
#include "masterbench.h"
#include "statisticsmanager.h"
#include "testsupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

enum class Manager { Statistics, LinkQuality, Eeprom };

// How a device answers its requests and pings.
enum class Behaviour {
    Prompt,      // acknowledges the request, sends the data on the first ping
    Busy,        // acknowledges, then busy on every ping
    Error,       // acknowledges, then an error answer on every ping
    Silent,      // nothing at all: the link drops every request
    OtherType,   // answers everything with the master's status answer
    Short,       // acknowledges, then data too short to read
    OtherDevice, // acknowledges, then the data of the next device
};

struct Types
{
    quint8 request, ack, ping, busy, data, error;
    quint32 limit; // pings a cycle in these tests
    QString failedLine;
};

Types typesOf(Manager manager)
{
    switch (manager) {
    case Manager::Statistics:
        return {PT_STATISTIC_READ_REQ, PT_STATISTIC_READ_ACK, PT_STATISTIC_READ_PING,
                PT_STATISTIC_BUSY,     PT_STATISTIC_RECEIVED, PT_STATISTIC_ERROR,
                2,                     QStringLiteral("Failed to read statistics from device #%1")};
    case Manager::LinkQuality:
        return {PT_RSSI_TEST_READ_REQ,  PT_RSSI_TEST_READ_ACK,   PT_RSSI_TEST_READ_PING,
                PT_RSSI_TEST_READ_BUSY, PT_RSSI_TEST_READ_READY, PT_RSSI_TEST_READ_ERROR,
                2,                      QStringLiteral("Failed to test LQI on device #%1")};
    case Manager::Eeprom:
        break;
    }
    return {PT_DEVICE_EEPROM_READ_REQ, PT_DEVICE_EEPROM_READ_ACK,   PT_DEVICE_EEPROM_READ_PING,
            PT_DEVICE_EEPROM_READ_BUSY, PT_DEVICE_EEPROM_RECEIVED, PT_DEVICE_EEPROM_READ_ERROR,
            DeviceEepromManager::PingLimit, QStringLiteral("Failed to read EEPROM from device #%1")};
}

// The data answer of a device (type byte first, no check byte).
QByteArray dataAnswer(Manager manager, quint8 device, bool shortened)
{
    QByteArray data;
    switch (manager) {
    case Manager::Statistics:
        data = QByteArray(1, char(PT_STATISTIC_RECEIVED)) + QByteArray(5, '\0');
        for (int w = 0; w < 14; ++w)
            data += QByteArray(1, char(device + w)) + '\0';
        data += char(0x77); // the trailing byte before the check byte
        return shortened ? data.left(12) : data;
    case Manager::LinkQuality:
        data = bytesOf({PT_RSSI_TEST_READ_READY, 1, 87, -63, -71, -55});
        return shortened ? data.left(3) : data;
    case Manager::Eeprom:
        data = bytesOf({PT_DEVICE_EEPROM_RECEIVED, device, 0x7A, 0x00, 0x00, 0x61, 0x01, 0x02, 0x03});
        return shortened ? data.left(2) : data;
    }
    return data;
}

// Captures the critical lines of the log.
class CriticalLines
{
public:
    CriticalLines()
    {
        s_lines = &m_lines;
        m_previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
            if (type == QtCriticalMsg && s_lines)
                *s_lines << text;
        });
    }
    ~CriticalLines()
    {
        qInstallMessageHandler(m_previous);
        s_lines = nullptr;
    }
    const QStringList &lines() const { return m_lines; }

private:
    static inline QStringList *s_lines = nullptr;
    QStringList m_lines;
    QtMessageHandler m_previous;
};

// One manager of each kind on a scripted link, and devices numbered 3, 5, 7.
struct Rig
{
    explicit Rig(Manager kind) : kind(kind), types(typesOf(kind))
    {
        for (quint8 number : {3, 5, 7}) {
            deviceInfo_t info;
            info.radioAddress = number;
            info.wireloopAddress = quint8(number + 10);
            info.deviceType = 4;
            info.linkState = 2;
            devices << new DeviceItem(info, false);
        }
        switch (kind) {
        case Manager::Statistics:
            statistics = std::make_unique<StatisticsManager>();
            statistics->setStatisticsFolder(dir.path());
            statistics->setMaxAttempts(types.limit);
            statistics->run().setPingInterval(5);
            link = std::make_unique<ScriptedLink>(*statistics);
            break;
        case Manager::LinkQuality:
            lqi = std::make_unique<LQITestManager>();
            lqi->setMaxAttempts(types.limit);
            lqi->run().setPingInterval(5);
            link = std::make_unique<ScriptedLink>(*lqi);
            break;
        case Manager::Eeprom:
            eeprom = std::make_unique<DeviceEepromManager>();
            eeprom->run().setPingInterval(5);
            link = std::make_unique<ScriptedLink>(*eeprom);
            break;
        }
    }
    ~Rig() { qDeleteAll(devices); }

    DeviceRequestRun &run()
    {
        return statistics ? statistics->run() : lqi ? lqi->run() : eeprom->run();
    }
    bool busy() const
    {
        return statistics ? statistics->isBusy() : lqi ? lqi->isBusy() : eeprom->isBusy();
    }
    void start(const QList<DeviceItem *> &list)
    {
        if (statistics)
            statistics->read(list);
        else if (lqi)
            lqi->start(list);
        else {
            dialogs.then([](QDialog *dialog) {
                dialog->findChild<QComboBox *>(QStringLiteral("cbAddress"))->setCurrentText(QStringLiteral("0x7A"));
                dialog->findChild<QSpinBox *>(QStringLiteral("sbLength"))->setValue(4);
                return int(QDialog::Accepted);
            });
            eeprom->read(list);
        }
    }
    void stop()
    {
        if (statistics)
            statistics->stop();
        else if (lqi)
            lqi->stop();
        else
            eeprom->run().stop();
    }
    void remove(DeviceItem *device)
    {
        if (statistics)
            statistics->removeDevice(device);
        else if (lqi)
            lqi->removeDevice(device);
        else
            eeprom->deviceDestroyed(device);
    }

    // Every request and ping is answered by the behaviour of its device.
    void behave(const QHash<quint8, Behaviour> &behaviours)
    {
        const auto answer = [this, behaviours](const QByteArray &request) -> QList<QByteArray> {
            const bool isRequest = quint8(request.at(0)) == types.request;
            // The level test's ping is the bare type: it is the last request's device's.
            const quint8 device = request.size() > 1 ? quint8(request.at(1)) : lastDevice;
            if (isRequest)
                lastDevice = device;
            switch (behaviours.value(device, Behaviour::Prompt)) {
            case Behaviour::Silent:
                return {};
            case Behaviour::OtherType:
                return {bytesOf({PT_HUBRO_INFO_ACK, device})};
            case Behaviour::Prompt:
                return {isRequest ? bytesOf({types.ack, device}) : dataAnswer(kind, device, false)};
            case Behaviour::Busy:
                return {bytesOf({isRequest ? types.ack : types.busy, device})};
            case Behaviour::Error:
                return {bytesOf({isRequest ? types.ack : types.error, device})};
            case Behaviour::Short:
                return {isRequest ? bytesOf({types.ack, device}) : dataAnswer(kind, device, true)};
            case Behaviour::OtherDevice:
                return {isRequest ? bytesOf({types.ack, device}) : dataAnswer(kind, quint8(device + 2), false)};
            }
            return {};
        };
        link->scriptReplies(types.request, answer);
        link->scriptReplies(types.ping, answer);
    }

    // Requests (cycles) and pings each device got, in the order sent.
    int requestsTo(quint8 device) const
    {
        int count = 0;
        for (const QByteArray &data : link->sentOfType(types.request))
            count += quint8(data.at(1)) == device ? 1 : 0;
        return count;
    }
    QList<quint8> requestOrder() const
    {
        QList<quint8> order;
        for (const QByteArray &data : link->sentOfType(types.request))
            order << quint8(data.at(1));
        return order;
    }

    Manager kind;
    Types types;
    QTemporaryDir dir;
    QList<DeviceItem *> devices;
    std::unique_ptr<StatisticsManager> statistics;
    std::unique_ptr<LQITestManager> lqi;
    std::unique_ptr<DeviceEepromManager> eeprom;
    std::unique_ptr<ScriptedLink> link;
    DialogScript dialogs;
    quint8 lastDevice = 0;
};

const QList<std::pair<const char *, Manager>> managers{
    {"statistics", Manager::Statistics}, {"link quality", Manager::LinkQuality}, {"EEPROM", Manager::Eeprom}};

} // namespace

class RequestPatternTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initTestResources();
        registerPacketMetaTypes();
        qRegisterMetaType<DeviceItem *>();
    }

    // Device 3 behaves as the row says, 5 and 7 answer at once: each device
    // gets the requests and pings its behaviour earns, the failing one fails
    // alone, the others are served in order, and the run ends idle.
    void oneDeviceMisbehaves_data()
    {
        QTest::addColumn<int>("manager");
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<int>("requests"); // cycles device 3 got
        QTest::addColumn<bool>("fails");
        for (const auto &m : managers) {
            const auto row = [&m](const char *what, Behaviour b, int requests, bool fails) {
                QTest::addRow("%s: %s", m.first, what) << int(m.second) << int(b) << requests << fails;
            };
            row("answers at once", Behaviour::Prompt, 1, false);
            row("only busy", Behaviour::Busy, 3, true);
            row("error answers", Behaviour::Error, 3, true);
            row("a dropped request", Behaviour::Silent, 3, true);
            row("a refused answer type", Behaviour::OtherType, 3, true);
            // Statistics and level tests fail the device at once; EEPROM skips
            // the answer and pings on.
            row("a short answer", Behaviour::Short, m.second == Manager::Eeprom ? 3 : 1, true);
            if (m.second == Manager::Eeprom) // each foreign answer uses a cycle
                row("another device's answer", Behaviour::OtherDevice, 3, true);
        }
    }
    void oneDeviceMisbehaves()
    {
        QFETCH(int, manager);
        QFETCH(int, behaviour);
        QFETCH(int, requests);
        QFETCH(bool, fails);
        Rig rig{Manager(manager)};
        CriticalLines critical;
        rig.behave({{3, Behaviour(behaviour)}});
        QSignalSpy lqiFailed(rig.lqi.get(), &LQITestManager::testFailed);
        QSignalSpy lqiDone(rig.lqi.get(), &LQITestManager::testFinished);

        rig.start(rig.devices);
        QVERIFY(rig.busy());
        QTRY_VERIFY_WITH_TIMEOUT(!rig.busy(), 10000);

        QCOMPARE(rig.requestsTo(3), requests);
        QCOMPARE(rig.requestsTo(5), 1);
        QCOMPARE(rig.requestsTo(7), 1);
        // Served in order: device 3's cycles first, then 5 and 7 at once.
        QCOMPARE(rig.requestOrder().mid(requests), (QList<quint8>{5, 7}));
        if (Behaviour(behaviour) != Behaviour::Prompt && Behaviour(behaviour) != Behaviour::Short
            && Behaviour(behaviour) != Behaviour::OtherDevice) {
            // Every cycle pinged up to the limit.
            int pingsTo3 = 0;
            for (const QByteArray &ping : rig.link->sentOfType(rig.types.ping))
                pingsTo3 += ping.size() < 2 || quint8(ping.at(1)) == 3 ? 1 : 0;
            if (rig.kind != Manager::LinkQuality) // the bare level-test ping names no device
                QCOMPARE(pingsTo3, int(3 * rig.types.limit));
        }
        QCOMPARE(critical.lines(), fails ? QStringList{rig.types.failedLine.arg(3)} : QStringList());
        if (rig.lqi) {
            QCOMPARE(lqiFailed.size(), fails ? 1 : 0);
            QCOMPARE(lqiDone.size(), fails ? 2 : 3);
        }
        // No record is left on the items.
        for (DeviceItem *device : qAsConst(rig.devices))
            for (const QByteArray &name : device->dynamicPropertyNames())
                QVERIFY2(!device->property(name.constData()).isValid(), name.constData());
    }

    // A statistics device that fails files nothing; the others are filed in
    // the order they answered and the run ends with finished.
    void statisticsFailureFilesNothing()
    {
        Rig rig{Manager::Statistics};
        rig.behave({{3, Behaviour::Short}});
        QSignalSpy failed(rig.statistics.get(), &StatisticsManager::failed);
        QSignalSpy finished(rig.statistics.get(), QOverload<>::of(&StatisticsManager::finished));
        rig.start(rig.devices);
        QTRY_COMPARE(finished.size(), 1);
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed.first().first().value<DeviceItem *>(), rig.devices.at(0));
        QFile file(rig.statistics->statisticsFileName());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray expected;
        for (quint8 device : {5, 7}) {
            const QByteArray sent = dataAnswer(Manager::Statistics, device, false);
            const QByteArray answer = sent + checkByteOf(sent); // as the link hands it over
            expected += char(device) + QByteArray(1, char(device + 10)) + answer.mid(6, answer.size() - 8);
        }
        QCOMPARE(file.readAll(), expected);
    }

    // The served device removed (or destroyed) fails and the next begins at
    // once; a waiting one just leaves. Removing the last one ends the run.
    void removedDevicesLeave_data()
    {
        QTest::addColumn<int>("manager");
        QTest::addColumn<bool>("destroy");
        for (const auto &m : managers) {
            QTest::addRow("%s: removed", m.first) << int(m.second) << false;
            QTest::addRow("%s: destroyed", m.first) << int(m.second) << true;
        }
    }
    void removedDevicesLeave()
    {
        QFETCH(int, manager);
        QFETCH(bool, destroy);
        Rig rig{Manager(manager)};
        rig.run().setPingInterval(60000); // no ping comes: device 3 stays served
        rig.behave({});
        rig.start(rig.devices);
        QTRY_COMPARE(rig.link->results, QList<bool>{true}); // acknowledged

        // 7 waits: it leaves without a word; 3 is served: 5 begins at once.
        const auto drop = [&rig, destroy](int at) {
            DeviceItem *device = rig.devices.takeAt(at);
            if (destroy)
                delete device;
            else {
                rig.remove(device);
                rig.devices.insert(at, device); // deleted at the end
            }
        };
        drop(2);
        QCOMPARE(rig.requestOrder(), (QList<quint8>{3}));
        drop(0);
        QCOMPARE(rig.requestOrder(), (QList<quint8>{3, 5}));
        QVERIFY(rig.busy());
        drop(destroy ? 0 : 1);
        QVERIFY(!rig.busy());
        QTest::qWait(30); // the timer stopped with the run
        QCOMPARE(rig.requestOrder(), (QList<quint8>{3, 5}));
    }

    // After stop a new run begins at once; replies to the stopped run, and to
    // a device no longer served, are refused and change nothing.
    void staleRepliesChangeNothing_data()
    {
        QTest::addColumn<int>("manager");
        for (const auto &m : managers)
            QTest::addRow("%s", m.first) << int(m.second);
    }
    void staleRepliesChangeNothing()
    {
        QFETCH(int, manager);
        Rig rig{Manager(manager)};
        rig.run().setPingInterval(60000); // every answer by hand
        DeviceItem *device = rig.devices.first();
        const QByteArray data = dataAnswer(rig.kind, 3, false);

        rig.start({device});
        QVERIFY(rig.link->hasPending(rig.types.request));
        rig.stop();
        QVERIFY(!rig.busy());
        rig.start({device, rig.devices.at(1)});
        QVERIFY(rig.busy());
        // The first run's request gets its answer now: refused.
        QVERIFY(!rig.link->respond(rig.types.request, data));
        QCOMPARE(rig.run().served(), device);
        // The second run's is taken; a copy of its callback stays for later.
        const ResponseCb late = rig.link->pending.first().cb;
        QVERIFY(rig.link->respond(rig.types.request, data));
        QCOMPARE(rig.run().served(), rig.devices.at(1));
        // A late answer for device 3 while 5 is served: refused too.
        QVERIFY(!late(rig.link->packet(data)));
        QCOMPARE(rig.run().served(), rig.devices.at(1));
        QVERIFY(rig.busy());
        rig.stop();
    }

    // A statistics clear and an EEPROM write send each device one request:
    // its acknowledgement moves on, and so does (for a clear) an error answer;
    // no answer, or a refused one, ends in the job's time-out, a critical
    // line, and the next device.
    void singleRequestJobs_data()
    {
        QTest::addColumn<int>("manager");
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<bool>("fails");
        for (const auto &m : {std::make_pair("clear", Manager::Statistics), std::make_pair("write", Manager::Eeprom)}) {
            QTest::addRow("%s: acknowledged", m.first) << int(m.second) << int(Behaviour::Prompt) << false;
            QTest::addRow("%s: no answer", m.first) << int(m.second) << int(Behaviour::Silent) << true;
            QTest::addRow("%s: a refused answer type", m.first) << int(m.second) << int(Behaviour::OtherType) << true;
        }
        QTest::addRow("clear: an error answer") << int(Manager::Statistics) << int(Behaviour::Error) << false;
    }
    void singleRequestJobs()
    {
        QFETCH(int, manager);
        QFETCH(int, behaviour);
        QFETCH(bool, fails);
        Rig rig{Manager(manager)};
        CriticalLines critical;
        rig.run().setJobTimeout(20);
        const bool clearing = rig.statistics != nullptr;
        const quint8 request = clearing ? PT_STATISTIC_RESET : PT_DEVICE_EEPROM_WRITE_REQ;
        const quint8 ack = clearing ? PT_STATISTIC_RESET_ACK : PT_DEVICE_EEPROM_WRITE_ACK;
        const Behaviour b = Behaviour(behaviour);
        rig.link->scriptReplies(request, [b, ack](const QByteArray &data) -> QList<QByteArray> {
            const quint8 device = quint8(data.at(1));
            if (device != 3 || b == Behaviour::Prompt)
                return {bytesOf({ack, device})};
            if (b == Behaviour::Error)
                return {bytesOf({PT_STATISTIC_ERROR, device})};
            if (b == Behaviour::OtherType)
                return {bytesOf({PT_HUBRO_INFO_ACK, device})};
            return {};
        });
        if (clearing) {
            rig.statistics->clear(rig.devices);
        } else {
            rig.dialogs.then([](QDialog *dialog) {
                dialog->findChild<QLineEdit *>(QStringLiteral("leMemoryAddress"))->setText(QStringLiteral("185"));
                dialog->findChild<QLineEdit *>(QStringLiteral("leData"))->setText(QStringLiteral("A1B"));
                return int(QDialog::Accepted);
            });
            rig.eeprom->write(rig.devices);
        }
        QVERIFY(rig.busy());
        QTRY_VERIFY(!rig.busy());
        QList<QByteArray> expected;
        for (quint8 device : {3, 5, 7})
            expected << (clearing ? bytesOf({request, device}) : bytesOf({request, device, 0x85, 0x01, 0x0A, 0x1B}));
        QCOMPARE(rig.link->sentOfType(request), expected);
        QCOMPARE(critical.lines().size(), fails ? 1 : 0);
        if (fails)
            QVERIFY(critical.lines().first().endsWith(QStringLiteral("#3")));
    }

    // A manager refuses a new run while one is going; an empty list starts
    // nothing.
    void busyAndEmpty_data() { staleRepliesChangeNothing_data(); }
    void busyAndEmpty()
    {
        QFETCH(int, manager);
        Rig rig{Manager(manager)};
        rig.run().setPingInterval(60000);
        rig.start({});
        QVERIFY(!rig.busy());
        QCOMPARE(rig.link->sent.size(), 0);
        rig.start({rig.devices.at(0)});
        rig.start({rig.devices.at(1)});
        QCOMPARE(rig.requestOrder(), (QList<quint8>{3}));
        QCOMPARE(rig.run().queue(), (QList<DeviceItem *>{rig.devices.at(0)}));
        rig.stop();
    }
};

QTEST_MAIN(RequestPatternTest)
#include "tst_requestpattern.moc"

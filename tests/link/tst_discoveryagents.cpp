// Serial and wired-bus discovery agents probing real pseudo-terminals in their threads.

#include "discoverytestdata.h"
#include "fakemaster.h"
#include "frame.h"
#include "kastreldevicediscoveryagent.h"
#include "packet.h"
#include "serialdevicediscoveryagent.h"

#include <QtTest>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <memory>

using namespace DiscoveryTestData;

Q_DECLARE_METATYPE(FakeMaster::Layout)
Q_DECLARE_METATYPE(QVector<FakeMaster::Reply>)

namespace {

// A port with nothing behind it: bytes written to it are kept for inspection, never answered.
class SilentPty
{
public:
    SilentPty()
    {
        char name[256] = {};
        if (openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0) {
            fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
            m_name = QString::fromLocal8Bit(name);
        }
    }
    ~SilentPty()
    {
        for (int fd : {m_master, m_slave})
            if (fd >= 0)
                ::close(fd);
    }
    SilentPty(const SilentPty &) = delete;
    SilentPty &operator=(const SilentPty &) = delete;

    QString portName() const { return m_name; }

    // Everything written to the port so far.
    QByteArray received()
    {
        char buffer[1024];
        ssize_t n;
        while ((n = ::read(m_master, buffer, sizeof buffer)) > 0)
            m_received.append(buffer, int(n));
        return m_received;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_name;
    QByteArray m_received;
};

// Receives the agent's signals on the test's thread, as the device dialog does.
class Collector : public QObject
{
    Q_OBJECT
public:
    explicit Collector(DeviceDiscoveryAgent *agent)
    {
        connect(agent, &DeviceDiscoveryAgent::deviceDiscovered, this, &Collector::onDevice);
        connect(agent, &DeviceDiscoveryAgent::discoveryFinished, this, &Collector::onFinished);
    }

    QList<DiscoveredDevice> devices;
    QList<int> finished;
    QList<Qt::HANDLE> deviceThreads;

signals:
    void finishedRun();

private slots:
    void onDevice(const DiscoveredDevice &device)
    {
        devices.append(device);
        deviceThreads.append(QThread::currentThreadId());
    }
    void onFinished(int state)
    {
        finished.append(state);
        emit finishedRun();
    }
};

// Short enough for silent ports, long enough that a busy machine's master thread
// still answers within the wait (a late answer would count as silence).
const ProbeTiming ShortTiming{500, 5};
// Waits no run outlasts unless stopped: a stop that waited them out would take seconds,
// however busy the machine, while a prompt one takes well under the bound below.
const ProbeTiming LongTiming{5000, 100};
constexpr int PromptMs = 1000;

SerialPortLister listOf(const QList<SerialPortEntry> &ports)
{
    return [ports] { return ports; };
}

SerialPortEntry entry(const QString &name, const QString &description = QStringLiteral("USB serial"))
{
    return {name, description};
}

int probesIn(const QByteArray &bytes, const char *probeHex)
{
    return bytes.count(QByteArray::fromHex(probeHex));
}

} // namespace

class TestDiscoveryAgents : public QObject
{
    Q_OBJECT

private slots:
    void serialFindsMasterAmongSilentPorts();
    void kastrelFindsMasterOnBothLayouts_data();
    void kastrelFindsMasterOnBothLayouts();
    void writesAndReadsPerPort_data();
    void writesAndReadsPerPort();
    void noPortsFinishesAndRescansFromFinished();
    void stopEndsRunMidway();
    void destroyWhileScanningReturnsPromptly();
    void parseAnswerReportsQueuedCopy();
};

void TestDiscoveryAgents::serialFindsMasterAmongSilentPorts()
{
    SilentPty before1, before2, bluetooth, after;
    FakeMaster master;
    QVERIFY(master.isValid());
    master.answer(PT_HUBRO_INFO, FakeMaster::Reply(statusReply()));

    SerialDeviceDiscoveryAgent agent;
    agent.setProbeTiming(ShortTiming);
    agent.setPortLister(listOf({entry(before1.portName()),
                                entry(QStringLiteral("/dev/tandrel-no-such-port")),
                                entry(bluetooth.portName(), QStringLiteral("Standard Serial over Bluetooth link")),
                                entry(before2.portName()),
                                entry(master.portName()),
                                entry(after.portName())}));
    Collector collector(&agent);
    agent.start();
    QVERIFY(agent.isRunning());
    QTRY_COMPARE_WITH_TIMEOUT(collector.finished, QList<int>{-1}, 10000);
    QVERIFY(!agent.isRunning());

    QCOMPARE(collector.devices.size(), 1);
    QCOMPARE(collector.devices.first(), expectedDevice(master.portName(), Serial));
    QVERIFY(collector.deviceThreads.first() == QThread::currentThreadId());

    QCOMPARE(master.receivedCount(PT_HUBRO_INFO), 1);
    QCOMPARE(master.received().first().raw, QByteArray::fromHex(SerialProbeHex));
    // A silent port gets one probe; a Bluetooth port is not opened at all.
    for (SilentPty *silent : {&before1, &before2, &after})
        QCOMPARE(silent->received(), QByteArray::fromHex(SerialProbeHex));
    QCOMPARE(bluetooth.received(), QByteArray());
}

void TestDiscoveryAgents::kastrelFindsMasterOnBothLayouts_data()
{
    QTest::addColumn<FakeMaster::Layout>("layout");
    QTest::newRow("frame at byte 4") << FakeMaster::Layout::KastrelAt4;
    QTest::newRow("frame at byte 3") << FakeMaster::Layout::KastrelAt3;
}

void TestDiscoveryAgents::kastrelFindsMasterOnBothLayouts()
{
    QFETCH(FakeMaster::Layout, layout);

    SilentPty before, after;
    // Answers the broadcast probe from bus address 5: the reported address is the answering one.
    FakeMaster master(layout, 5);
    QVERIFY(master.isValid());
    master.setAnswerAnyAddress(true);
    master.answer(PT_HUBRO_INFO, FakeMaster::Reply(statusReply(statusRecord({0, 0x02}))));

    KastrelDeviceDiscoveryAgent agent;
    agent.setProbeTiming(ShortTiming);
    agent.setPortLister(listOf({entry(before.portName()), entry(master.portName()), entry(after.portName())}));
    Collector collector(&agent);
    agent.start();
    QTRY_COMPARE_WITH_TIMEOUT(collector.finished, QList<int>{-1}, 10000);

    // Type 0 keeps its module byte on the wired bus.
    const DiscoveredDevice expected = expectedDevice(master.portName() + QStringLiteral(":5"), Kastrel, 0, 0x02);
    QCOMPARE(collector.devices, QList<DiscoveredDevice>{expected});
    QCOMPARE(splitKastrelAddress(collector.devices.first().address).portName, master.portName());

    QCOMPARE(master.receivedCount(), 1);
    QCOMPARE(master.received().first().raw, QByteArray::fromHex(KastrelProbeHex));
    QCOMPARE(int(master.received().first().busAddress), 0x7F);
    QCOMPARE(probesIn(before.received(), KastrelProbeHex), 1);
    QCOMPARE(probesIn(after.received(), KastrelProbeHex), 1);
}

void TestDiscoveryAgents::writesAndReadsPerPort_data()
{
    QTest::addColumn<QVector<FakeMaster::Reply>>("replies");
    QTest::addColumn<int>("probes");
    QTest::addColumn<int>("updateMode"); // -1: nothing reported

    FakeMaster::Reply answer(statusReply());
    QTest::newRow("answer") << QVector<FakeMaster::Reply>{answer} << 1 << 0;

    FakeMaster::Reply split = answer;
    split.chunkSize = 50;
    split.chunkGapMs = 10;
    QTest::newRow("answer in chunks, reported once") << QVector<FakeMaster::Reply>{split} << 1 << 0;

    FakeMaster::Reply late = answer;
    late.delayMs = 30;
    QTest::newRow("answer within the wait") << QVector<FakeMaster::Reply>{late} << 1 << 0;

    QTest::newRow("firmware-update mode") << QVector<FakeMaster::Reply>{FakeMaster::Reply(QByteArray(14, char(0x44)))}
                                          << 1 << 1;

    FakeMaster::Reply bad = answer;
    bad.badChecksum = true;
    QTest::newRow("wrong sum, then quiet") << QVector<FakeMaster::Reply>{bad} << 1 << -1;

    // A port that keeps sending bytes that do not parse: three reads per write, three writes.
    // Each probe starts a stream far longer than the nine reads take, so a probe thread
    // held up on a busy machine still finds bytes at every read.
    QVector<FakeMaster::Reply> stream;
    for (int i = 0; i < 100; ++i) {
        FakeMaster::Reply r = bad;
        r.delayMs = 15;
        stream.append(r);
    }
    QTest::newRow("keeps sending bad frames") << stream << 3 << -1;
}

void TestDiscoveryAgents::writesAndReadsPerPort()
{
    QFETCH(QVector<FakeMaster::Reply>, replies);
    QFETCH(int, probes);
    QFETCH(int, updateMode);

    FakeMaster master;
    QVERIFY(master.isValid());
    master.answer(PT_HUBRO_INFO, replies);

    SerialDeviceDiscoveryAgent agent;
    agent.setProbeTiming(ShortTiming);
    agent.setPortLister(listOf({entry(master.portName())}));
    Collector collector(&agent);
    agent.start();
    QTRY_COMPARE_WITH_TIMEOUT(collector.finished.size(), 1, 10000);

    // The last probe may still be on its way through the master's thread.
    QVERIFY(master.waitForReceived(probes, 5000));
    QCOMPARE(master.receivedCount(PT_HUBRO_INFO), probes);
    if (updateMode < 0) {
        QCOMPARE(collector.devices.size(), 0);
    } else {
        QCOMPARE(collector.devices.size(), 1);
        QCOMPARE(collector.devices.first().updateMode, updateMode);
        QCOMPARE(collector.devices.first().address, master.portName());
    }
}

void TestDiscoveryAgents::noPortsFinishesAndRescansFromFinished()
{
    SerialDeviceDiscoveryAgent agent;
    agent.setPortLister(listOf({}));
    Collector collector(&agent);
    // The device dialog's rescan: a new run started right from the end of the previous one.
    connect(&collector, &Collector::finishedRun, &agent, [&] {
        if (collector.finished.size() == 1)
            agent.start();
    });
    agent.start();
    QTRY_COMPARE(collector.finished, (QList<int>{-1, -1}));
    QVERIFY(collector.devices.isEmpty());
    QVERIFY(!agent.isRunning());
}

void TestDiscoveryAgents::stopEndsRunMidway()
{
    std::vector<std::unique_ptr<SilentPty>> silent(6);
    QList<SerialPortEntry> ports;
    for (auto &pty : silent) {
        pty = std::make_unique<SilentPty>();
        ports.append(entry(pty->portName()));
    }
    FakeMaster master(FakeMaster::Layout::KastrelAt4);
    master.answer(PT_HUBRO_INFO, FakeMaster::Reply(statusReply()));
    ports.append(entry(master.portName()));

    KastrelDeviceDiscoveryAgent agent;
    QCOMPARE(agent.probeTiming().waitMs, 200);
    agent.setProbeTiming(LongTiming);
    agent.setPortLister(listOf(ports));
    Collector collector(&agent);
    agent.start();
    agent.start(); // no effect while running
    QTRY_COMPARE(probesIn(silent[0]->received(), KastrelProbeHex), 1);

    QElapsedTimer clock;
    clock.start();
    agent.stop();
    QTRY_COMPARE(collector.finished.size(), 1);
    QVERIFY2(clock.elapsed() < PromptMs, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(collector.finished.first(), -1);
    for (size_t i = 1; i < silent.size(); ++i)
        QCOMPARE(silent[i]->received(), QByteArray());
    QCOMPARE(master.receivedCount(), 0);
    QVERIFY(collector.devices.isEmpty());

    // A stopped agent scans again from the start.
    agent.setProbeTiming(ShortTiming);
    agent.start();
    QTRY_COMPARE_WITH_TIMEOUT(collector.finished.size(), 2, 10000);
    QCOMPARE(collector.devices, QList<DiscoveredDevice>{expectedDevice(master.portName() + QStringLiteral(":127"), Kastrel)});
    QCOMPARE(probesIn(silent[5]->received(), KastrelProbeHex), 1);
}

void TestDiscoveryAgents::destroyWhileScanningReturnsPromptly()
{
    SilentPty first, second, third;
    auto agent = std::make_unique<KastrelDeviceDiscoveryAgent>();
    agent->setProbeTiming(LongTiming);
    agent->setPortLister(listOf({entry(first.portName()), entry(second.portName()), entry(third.portName())}));
    Collector collector(agent.get());
    agent->start();
    QTRY_COMPARE(probesIn(first.received(), KastrelProbeHex), 1);

    QElapsedTimer clock;
    clock.start();
    agent.reset();
    QVERIFY2(clock.elapsed() < PromptMs, qPrintable(QString::number(clock.elapsed())));
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCOMPARE(second.received(), QByteArray());
    QCOMPARE(third.received(), QByteArray());
    QVERIFY(collector.finished.isEmpty());
}

void TestDiscoveryAgents::parseAnswerReportsQueuedCopy()
{
    SerialDeviceDiscoveryAgent agent;
    Collector collector(&agent);
    QList<DiscoveredDevice> queued;
    connect(&agent, &DeviceDiscoveryAgent::deviceDiscovered, this,
            [&queued](const DiscoveredDevice &device) { queued.append(device); }, Qt::QueuedConnection);

    const QString port = QStringLiteral("ttyACM0");
    const QByteArray frame = buildSerialFrame(0x53, statusReply());
    QVERIFY(!agent.parseAnswer(port, frame.left(30)));
    QTest::ignoreMessage(QtDebugMsg, ModulesLine);
    QVERIFY(agent.parseAnswer(port, frame));
    QVERIFY(queued.isEmpty());
    QTRY_COMPARE(queued.size(), 1);
    QCOMPARE(queued.first(), expectedDevice(port, Serial));
    QCOMPARE(collector.devices, queued);
}

QTEST_GUILESS_MAIN(TestDiscoveryAgents)
#include "tst_discoveryagents.moc"

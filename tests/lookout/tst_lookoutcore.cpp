// The Lookout watcher over scripted watchers: its text lines, its maps and
// queue, its statuses, and its sixteen exports (linked in directly), with and
// without a context.
#include "lookoutapi.h"
#include "lookoutcore.h"
#include "lookoutradio.h"

#include <QtTest>

#include <thread>

extern "C" {
void init();
void finish();
void checkBLESupport();
int getBLESupport();
int findDevices();
void stopDeviceWatcher();
int devWatcherStatus();
int deviceCount();
void takeDevice(std::string *);
int removeCount();
void takeRemoved(std::string *);
void startAdvertisement();
void stopAdvertisement();
int advWatcherStatus();
int adverisementCount();
void takeAdvertisement(std::string *);
}

namespace {
LookoutRadio *radio = nullptr;

LookoutDevice device(const std::string &id, const std::string &name, const std::string &address = "aa:bb")
{
    LookoutDevice d;
    d.id = id;
    d.name = name;
    d.properties = {{"System.Devices.Aep.IsConnected", "False"}, {"System.Devices.Aep.DeviceAddress", address}};
    return d;
}

LookoutAdvertisement advertisement(const std::string &name, uint64_t address, const std::vector<std::string> &data)
{
    LookoutAdvertisement a;
    a.localName = name;
    a.address = address;
    a.manufacturerData = data;
    return a;
}

std::string bytes(const char *hex)
{
    return QByteArray::fromHex(hex).toStdString();
}

QString q(const std::string &text)
{
    return QString::fromStdString(text);
}
} // namespace

// The library's backend, here: the scripted radio of the running test.
std::unique_ptr<LookoutBackend> createLookoutBackend()
{
    return radio ? radio->create() : nullptr;
}

class LookoutCoreTest : public QObject
{
    Q_OBJECT

    LookoutRadio m_radio;

private slots:
    void init()
    {
        m_radio = LookoutRadio();
        radio = &m_radio;
    }
    void cleanup()
    {
        ::finish();
        radio = nullptr;
    }

    void advertisementLines_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qulonglong>("address");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("line");
        QTest::newRow("the example") << "M1" << 0x0123456789ABull << QByteArray::fromHex("28010201000000000000000000000000")
                                     << "M1;;01:23:45:67:89:AB;;device type: 40, hardware: 1, radio: 258, core: 0, "
                                        "bluetooth: 0, serial: 0, kastrel: 0, password: 0";
        QTest::newRow("every field") << "HUBRO" << 0xA1B2C3D4E5F6ull
                                     << QByteArray::fromHex("8d0734127856bc9a785634120203ffff")
                                     << "HUBRO;;A1:B2:C3:D4:E5:F6;;device type: 141, hardware: 7, radio: 4660, "
                                        "core: 22136, bluetooth: 39612, serial: 305419896, kastrel: 1, password: 1";
        QTest::newRow("other bits of 12 and 13") << "M" << 0x0A0000000001ull
                                                 << QByteArray::fromHex("000000000000000000000000fdfe0000")
                                                 << "M;;0A:00:00:00:00:01;;device type: 0, hardware: 0, radio: 0, "
                                                    "core: 0, bluetooth: 0, serial: 0, kastrel: 0, password: 0";
        QTest::newRow("serial with its top bit") << "M" << 0x1ull << QByteArray::fromHex("0000000000000000ffffffff00000000")
                                                 << "M;;00:00:00:00:00:01;;device type: 0, hardware: 0, radio: 0, "
                                                    "core: 0, bluetooth: 0, serial: 4294967295, kastrel: 0, password: 0";
        QTest::newRow("15 bytes") << "M" << 0x1ull << QByteArray(15, '\x01')
                                  << "M;;00:00:00:00:00:01;;Incorrect size of manufacturer data=15";
        QTest::newRow("17 bytes") << "M" << 0x1ull << QByteArray(17, '\x01')
                                  << "M;;00:00:00:00:00:01;;Incorrect size of manufacturer data=17";
        QTest::newRow("empty section") << "M" << 0x1ull << QByteArray()
                                       << "M;;00:00:00:00:00:01;;Incorrect size of manufacturer data=0";
        QTest::newRow(";; in the name") << "A;;B" << 0x1ull << QByteArray(2, '\0')
                                        << "A;;B;;00:00:00:00:00:01;;Incorrect size of manufacturer data=2";
    }
    void advertisementLines()
    {
        QFETCH(QString, name);
        QFETCH(qulonglong, address);
        QFETCH(QByteArray, data);
        QFETCH(QString, line);
        WatcherContext context(nullptr);
        context.advertisementReceived(advertisement(name.toStdString(), address, {data.toStdString()}));
        QCOMPARE(context.advertisementCount(), 1);
        QCOMPARE(q(context.takeAdvertisement()), line);
        QCOMPARE(context.advertisementCount(), 0);
    }

    void advertisementsNeedNameAndData()
    {
        WatcherContext context(nullptr);
        context.advertisementReceived(advertisement("", 1, {std::string(16, '\0')}));
        context.advertisementReceived(advertisement("M", 1, {}));
        QCOMPARE(context.advertisementCount(), 0);
        // The first section only, oldest line first.
        context.advertisementReceived(advertisement("first", 1, {std::string(15, '\0'), std::string(16, '\0')}));
        context.advertisementReceived(advertisement("second", 2, {std::string(16, '\0')}));
        QCOMPARE(q(context.takeAdvertisement()), QStringLiteral("first;;00:00:00:00:00:01;;Incorrect size of manufacturer data=15"));
        QVERIFY(q(context.takeAdvertisement()).startsWith(QStringLiteral("second;;00:00:00:00:00:02;;device type: 0")));
    }

    void devicesFilteredByTagAndAddress_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("withAddress");
        QTest::addColumn<bool>("kept");
        QTest::newRow("tag") << "ZORVO HUBRO" << true << true;
        QTest::newRow("tag inside") << "xZORVOx" << true << true;
        QTest::newRow("tag in other case") << "Zorvo HUBRO" << true << false;
        QTest::newRow("no tag") << "Phone" << true << false;
        QTest::newRow("no address property") << "ZORVO HUBRO" << false << false;
    }
    void devicesFilteredByTagAndAddress()
    {
        QFETCH(QString, name);
        QFETCH(bool, withAddress);
        QFETCH(bool, kept);
        WatcherContext context(nullptr);
        LookoutDevice d = device("id1", name.toStdString(), "c0:01");
        if (!withAddress)
            d.properties.pop_back();
        context.deviceAdded(d);
        QCOMPARE(context.deviceCount(), kept ? 1 : 0);
        if (kept)
            QCOMPARE(q(context.takeDevice()), name + QStringLiteral(";;c0:01;;id1"));
    }

    void devicesTakenByIdOrder()
    {
        WatcherContext context(nullptr);
        context.deviceAdded(device("b", "ZORVO 2"));
        context.deviceAdded(device("a", "ZORVO 1"));
        context.deviceAdded(device("c", "ZORVO 3"));
        context.deviceAdded(device("b", "ZORVO 2 again", "new"));
        QCOMPARE(context.deviceCount(), 3);
        QCOMPARE(q(context.takeDevice()), QStringLiteral("ZORVO 1;;aa:bb;;a"));
        QCOMPARE(q(context.takeDevice()), QStringLiteral("ZORVO 2 again;;new;;b"));
        QCOMPARE(q(context.takeDevice()), QStringLiteral("ZORVO 3;;aa:bb;;c"));
        QCOMPARE(q(context.takeDevice()), QString());
    }

    void removalsMoveOnlyWhatIsStillFound()
    {
        WatcherContext context(nullptr);
        context.deviceAdded(device("a", "ZORVO 1"));
        context.deviceAdded(device("b", "ZORVO 2"));
        QCOMPARE(q(context.takeDevice()), QStringLiteral("ZORVO 1;;aa:bb;;a"));
        context.deviceRemoved("a");       // taken already
        context.deviceRemoved("b");       // not taken yet
        context.deviceRemoved("unknown"); // never found
        QCOMPARE(context.deviceCount(), 0);
        QCOMPARE(context.removeCount(), 1);
        QCOMPARE(q(context.takeRemoved()), QStringLiteral("ZORVO 2;;aa:bb;;b"));
        QCOMPARE(q(context.takeRemoved()), QString());
    }

    void reportsFromAnotherThreadAreAllKept()
    {
        WatcherContext context(nullptr);
        constexpr int count = 2000;
        std::thread platform([&context] {
            for (int i = 0; i < count; ++i) {
                context.advertisementReceived(advertisement("M", uint64_t(i), {std::string(16, '\0')}));
                context.deviceAdded(device(std::to_string(i), "ZORVO"));
            }
        });
        int lines = 0;
        int devices = 0;
        while (lines < count || devices < count) {
            lines += context.takeAdvertisement().empty() ? 0 : 1;
            devices += context.takeDevice().empty() ? 0 : 1;
        }
        platform.join();
        QCOMPARE(lines, count);
        QCOMPARE(devices, count);
        QCOMPARE(context.advertisementCount() + context.deviceCount(), 0);
    }

    // ---------------------------------------------------------------- the exports

    void exportsWithoutContextAreNeutral()
    {
        std::string out = "stale";
        ::finish();
        ::finish();
        ::checkBLESupport();
        ::stopDeviceWatcher();
        ::startAdvertisement();
        ::stopAdvertisement();
        QCOMPARE(::getBLESupport(), 0);
        QCOMPARE(::findDevices(), 0);
        QCOMPARE(::devWatcherStatus(), 0);
        QCOMPARE(::deviceCount(), 0);
        QCOMPARE(::removeCount(), 0);
        QCOMPARE(::advWatcherStatus(), 0);
        QCOMPARE(::adverisementCount(), 0);
        for (void (*take)(std::string *) : {&::takeDevice, &::takeRemoved, &::takeAdvertisement}) {
            out = "stale";
            take(&out);
            QCOMPARE(q(out), QString());
        }
        QCOMPARE(m_radio.made_, 0);
    }

    void aRunThroughTheExports()
    {
        m_radio.addMaster("ZORVO HUBRO", 0x0A0102030405ull, 5150, 5, 5, true);
        m_radio.removals.push_back({30, "nobody"});
        ::init();
        ::checkBLESupport();
        QCOMPARE(::getBLESupport(), 0); // answered from the event loop
        QTRY_COMPARE(::getBLESupport(), 3);
        QCOMPARE(::devWatcherStatus(), 0);
        QCOMPARE(::findDevices(), 0);
        QCOMPARE(::devWatcherStatus(), 1);
        QTRY_COMPARE(::deviceCount(), 1);
        std::string line;
        ::takeDevice(&line);
        QCOMPARE(q(line), QStringLiteral("ZORVO HUBRO;;0A:01:02:03:04:05;;BluetoothLE#0A:01:02:03:04:05"));
        QCOMPARE(::advWatcherStatus(), 0);
        ::startAdvertisement();
        QCOMPARE(::advWatcherStatus(), 1);
        QTRY_COMPARE(::adverisementCount(), 1);
        ::takeAdvertisement(&line);
        QVERIFY(q(line).endsWith(QStringLiteral("serial: 5150, kastrel: 0, password: 1")));
        ::stopAdvertisement();
        QCOMPARE(::advWatcherStatus(), 3);
        ::stopDeviceWatcher();
        QCOMPARE(::devWatcherStatus(), 0);
        QCOMPARE(::removeCount(), 0);
        ::finish();
        QCOMPARE(m_radio.alive, 0);
        ::finish();
    }

    // A run that ended at the adapter check never called finish: the next
    // init frees its context and with it the watchers.
    void initFreesALiveContext()
    {
        m_radio.support = 1;
        ::init();
        ::checkBLESupport();
        QTRY_COMPARE(::getBLESupport(), 1);
        ::findDevices();
        QCOMPARE(m_radio.alive, 1);
        ::init();
        QCOMPARE(m_radio.made_, 2);
        QCOMPARE(m_radio.alive, 1);
        QCOMPARE(::devWatcherStatus(), 0);
        QCOMPARE(::getBLESupport(), 0);
    }
};

QTEST_GUILESS_MAIN(LookoutCoreTest)
#include "tst_lookoutcore.moc"

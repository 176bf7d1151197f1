// The shipped Lookout library on this machine's radio, through its exports
// only; skipped where the machine has a Bluetooth adapter.
#include "librarysymbols.h"
#include "lookoutapi.h"

#include <QBluetoothLocalDevice>
#include <QLibrary>
#include <QtTest>

class LookoutLibraryTest : public QObject
{
    Q_OBJECT

    QLibrary library{QStringLiteral(TANDREL_LOOKOUT_LIBRARY)};

    template <class F>
    F resolve(const char *name)
    {
        return reinterpret_cast<F>(library.resolve(name));
    }

private slots:
    void exportsExactlyItsSixteenNames()
    {
        const QStringList names = exportedNames(library.fileName());
        if (names.isEmpty())
            QSKIP("nm is not available");
        QStringList expected{"init", "finish", "checkBLESupport", "getBLESupport", "findDevices", "stopDeviceWatcher",
                             "devWatcherStatus", "deviceCount", "takeDevice", "removeCount", "takeRemoved",
                             "startAdvertisement", "stopAdvertisement", "advWatcherStatus", "adverisementCount",
                             "takeAdvertisement"};
        expected.sort();
        QCOMPARE(names, expected);
    }

    void aRunWithoutAnAdapter()
    {
        if (!QBluetoothLocalDevice::allDevices().isEmpty())
            QSKIP("This machine has a Bluetooth adapter");
        QVERIFY2(library.load(), qPrintable(library.errorString()));
        const auto init = resolve<LookoutApi::Init>("init");
        const auto finish = resolve<LookoutApi::Finish>("finish");
        const auto checkBLESupport = resolve<LookoutApi::CheckBLESupport>("checkBLESupport");
        const auto getBLESupport = resolve<LookoutApi::GetBLESupport>("getBLESupport");
        const auto findDevices = resolve<LookoutApi::FindDevices>("findDevices");
        const auto devWatcherStatus = resolve<LookoutApi::DevWatcherStatus>("devWatcherStatus");
        const auto startAdvertisement = resolve<LookoutApi::StartAdvertisement>("startAdvertisement");
        const auto advWatcherStatus = resolve<LookoutApi::AdvWatcherStatus>("advWatcherStatus");
        const auto deviceCount = resolve<LookoutApi::DeviceCount>("deviceCount");
        const auto takeDevice = resolve<LookoutApi::TakeDevice>("takeDevice");
        const auto takeRemoved = resolve<LookoutApi::TakeRemoved>("takeRemoved");
        const auto takeAdvertisement = resolve<LookoutApi::TakeAdvertisement>("takeAdvertisement");
        QVERIFY(init && finish && checkBLESupport && getBLESupport && findDevices && devWatcherStatus
                && startAdvertisement && advWatcherStatus && deviceCount && takeDevice && takeRemoved
                && takeAdvertisement);

        init();
        checkBLESupport();
        QTRY_COMPARE(getBLESupport(), 1);
        findDevices();
        QCOMPARE(devWatcherStatus(), 5);
        startAdvertisement();
        QCOMPARE(advWatcherStatus(), 4);
        QCOMPARE(deviceCount(), 0);
        for (LookoutApi::TakeDevice take : {takeDevice, takeRemoved, takeAdvertisement}) {
            std::string out = "stale";
            take(&out);
            QVERIFY(out.empty());
        }
        finish();
        finish();
        QCOMPARE(getBLESupport(), 0);
    }
};

QTEST_GUILESS_MAIN(LookoutLibraryTest)
#include "tst_lookoutlibrary.moc"

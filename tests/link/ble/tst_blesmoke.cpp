// The shipped libraries beside the program, on this machine's radio: a
// Bluetooth discovery ends at the adapter check, and a BLE connect fails at
// once, telling the user. Skipped where the machine has a Bluetooth adapter.
#include "blelibraries.h"
#include "bluetoothdevicediscoveryagent.h"
#include "messagecapture.h"
#include "tetherinterface.h"
#include "testsupport.h"

#include <QBluetoothLocalDevice>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

class BleSmokeTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initTestResources();
        if (!QBluetoothLocalDevice::allDevices().isEmpty())
            QSKIP("This machine has a Bluetooth adapter");
        BleLibraries::setFolderForTesting(QStringLiteral(TANDREL_PROGRAM_DIR));
        BluetoothDeviceDiscoveryAgent::Timings timings;
        timings.supportCheck = 50;
        BluetoothDeviceDiscoveryAgent::setTimings(timings);
    }

    void discoveryEndsWithoutAnAdapter()
    {
        MessageCapture log;
        BluetoothDeviceDiscoveryAgent agent;
        QSignalSpy finished(&agent, &DeviceDiscoveryAgent::discoveryFinished);
        agent.start();
        QVERIFY(finished.wait(2000));
        QCOMPARE(finished.first().first().toInt(), 1);
        QCOMPARE(log.count(QStringLiteral("Bluetooth adapter not found")), 1);
        QVERIFY(!finished.wait(200));
    }

    void aConnectFailsAtOnce()
    {
        MessageBoxRecorder boxes;
        MessageCapture log;
        TetherInterface link(QStringLiteral("C0:FF:EE:00:00:01"));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!link.connectToDevice(QStringLiteral("C0:FF:EE:00:00:01")));
        QVERIFY(clock.elapsed() < 1000);
        QCOMPARE(log.count(QStringLiteral("Error(s) occurred while BLE device connecting: Cannot find local adapter")), 1);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, QStringLiteral("Unable to connect to BLE device."));
        QCOMPARE(boxes.last().title, QStringLiteral("Connection lost"));
        link.disconnectFromDevice();
        QVERIFY(!link.ownsLibraryObject());
    }
};

QTEST_MAIN(BleSmokeTest)
#include "tst_blesmoke.moc"

// The shipped Tether library on this machine's radio, through its exports
// only; the connect is skipped where the machine has a Bluetooth adapter.
#include "librarysymbols.h"
#include "tetherapi.h"

#include <QBluetoothLocalDevice>
#include <QElapsedTimer>
#include <QLibrary>
#include <QtTest>

class TetherLibraryTest : public QObject
{
    Q_OBJECT

    QLibrary library{QStringLiteral(TANDREL_TETHER_LIBRARY)};

    template <class F>
    F resolve(const char *name)
    {
        F function = reinterpret_cast<F>(library.resolve(name));
        if (!function)
            qWarning("missing export %s", name);
        return function;
    }

private slots:
    void exportsExactlyItsThirteenNames()
    {
        const QStringList names = exportedNames(library.fileName());
        if (names.isEmpty())
            QSKIP("nm is not available");
        QStringList expected{"makeConnection", "closeConnection", "connectToDevice", "disconnectFromDevice",
                             "connectionState", "controlState", "isConnected", "receivedCount", "getReceived",
                             "errorCount", "takeError", "writeCharacteristic", "writesInProgress"};
        expected.sort();
        QCOMPARE(names, expected);
    }

    void aConnectWithoutAnAdapter()
    {
        QVERIFY2(library.load(), qPrintable(library.errorString()));
        const auto makeConnection = resolve<TetherApi::MakeConnection>("makeConnection");
        const auto closeConnection = resolve<TetherApi::CloseConnection>("closeConnection");
        const auto connectToDevice = resolve<TetherApi::ConnectToDevice>("connectToDevice");
        const auto disconnectFromDevice = resolve<TetherApi::DisconnectFromDevice>("disconnectFromDevice");
        const auto connectionState = resolve<TetherApi::ConnectionState>("connectionState");
        const auto controlState = resolve<TetherApi::ControlState>("controlState");
        const auto isConnected = resolve<TetherApi::IsConnected>("isConnected");
        const auto receivedCount = resolve<TetherApi::ReceivedCount>("receivedCount");
        const auto getReceived = resolve<TetherApi::GetReceived>("getReceived");
        const auto errorCount = resolve<TetherApi::ErrorCount>("errorCount");
        const auto takeError = resolve<TetherApi::TakeError>("takeError");
        const auto writeCharacteristic = resolve<TetherApi::WriteCharacteristic>("writeCharacteristic");
        QVERIFY(makeConnection && closeConnection && connectToDevice && disconnectFromDevice && connectionState
                && controlState && isConnected && receivedCount && getReceived && errorCount && takeError
                && writeCharacteristic);

        // No object: the closed link's answers.
        std::string text;
        takeError(&text);
        QCOMPARE(QString::fromStdString(text), QStringLiteral("Connection closed"));
        QByteArray received("untouched");
        getReceived(&received);
        QCOMPARE(received, QByteArray("untouched"));
        QCOMPARE(connectionState() + controlState() + isConnected() + receivedCount() + errorCount(), 0);

        if (!QBluetoothLocalDevice::allDevices().isEmpty())
            QSKIP("This machine has a Bluetooth adapter");
        QVERIFY(makeConnection());
        const std::string address = "C0:FF:EE:00:00:01";
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(connectToDevice(&address), 0);
        QVERIFY2(clock.elapsed() < 1000, "the connect fails at once");
        QCOMPARE(errorCount(), 1);
        takeError(&text);
        QCOMPARE(QString::fromStdString(text), QStringLiteral("Cannot find local adapter"));
        QCOMPARE(connectionState(), int(TetherError));
        QCOMPARE(controlState(), 0);
        QCOMPARE(isConnected(), 0);
        QCOMPARE(receivedCount(), 0);
        const QByteArray data("x");
        QTest::ignoreMessage(QtWarningMsg, "Connection already closed");
        writeCharacteristic(&data);
        disconnectFromDevice();
        closeConnection();
        closeConnection();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(connectionState(), 0);
    }
};

QTEST_GUILESS_MAIN(TetherLibraryTest)
#include "tst_tetherlibrary.moc"

#pragma once

// One Bluetooth LE connection, as central, to a master offering the UART
// service: bytes written go to its TX characteristic, notifications of its RX
// characteristic queue up until taken. Everything runs in the calling thread,
// which must run a Qt event loop; connecting and disconnecting wait in nested
// event loops.

#include "tetherapi.h"
#include "tetherbackend.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRecursiveMutex>
#include <QString>
#include <QStringList>

#include <memory>

class QEventLoop;

class Tether : public QObject, private TetherControllerEvents, private TetherServiceEvents
{
public:
    // How long the nested waits last and when a service error reconnects.
    struct Waits
    {
        int connect = 2000;
        int disconnect = 1000;
        int serviceReconnect = 1000;
    };
    static void setWaits(const Waits &waits);
    static Waits waits();

    static const QBluetoothUuid &serviceUuid();
    static const QBluetoothUuid &txUuid();
    static const QBluetoothUuid &rxUuid();

    explicit Tether(std::unique_ptr<TetherBackend> backend, QObject *parent = nullptr);
    ~Tether() override;

    // 1 when no error text is queued once the wait ends, else 0.
    int connectToDevice(const QString &address);
    void disconnectFromDevice();
    int connectionState() const { return m_state; }
    int controlState() const;
    int isConnected() const;
    int receivedCount() const { return m_received.size(); }
    // The oldest notification; empty when none.
    QByteArray takeReceived();
    int errorCount() const { return m_errors.size(); }
    // The oldest error text; empty when none.
    QString takeError();
    void writeCharacteristic(const QByteArray &data);
    // Writes under way: handed to the service, neither acknowledged nor failed.
    int writesInProgress() const { return m_writing; }
    // Deleted through the event loop; inside one of its own waits, once the wait is over.
    void close();

private:
    // Runs a nested loop until quit or `ms`; the object stays alive meanwhile
    // (a close() that came meanwhile takes effect at the end).
    void wait(QEventLoop *&slot, int ms);
    bool connectCentral(const QString &address);
    void disconnectCentral();
    void releaseController();
    void dropService();

    // TetherControllerEvents
    void controllerConnected() override;
    void controllerDisconnected() override;
    void controllerError() override;
    void controllerServiceDiscovered(const QBluetoothUuid &uuid) override;
    void controllerDiscoveryFinished() override;
    // TetherServiceEvents
    void serviceStateChanged(TetherService *sender, int state) override;
    void serviceCharacteristicChanged(TetherService *sender, const QBluetoothUuid &characteristic,
                                      const QByteArray &value) override;
    void serviceDescriptorWritten(TetherService *sender, const QBluetoothUuid &descriptor,
                                  const QByteArray &value) override;
    void serviceCharacteristicWritten(TetherService *sender, const QBluetoothUuid &characteristic,
                                      const QByteArray &value) override;
    void serviceError(TetherService *sender, int error) override;

    QList<QBluetoothUuid> m_services;
    TetherController *m_controller = nullptr;
    TetherService *m_service = nullptr;
    bool m_txValid = false;
    int m_state = TetherDisconnected;
    QByteArray m_lastReceived;
    QList<QByteArray> m_received;
    QStringList m_errors;
    QByteArray m_lastWritten;
    int m_writing = 0; // writes of TX under way
    bool m_disconnecting = false;
    mutable QRecursiveMutex m_mutex;

    std::unique_ptr<TetherBackend> m_backend;
    QEventLoop *m_connectLoop = nullptr;
    QEventLoop *m_disconnectLoop = nullptr;
    int m_waits = 0;           // nested waits under way
    bool m_closeLater = false; // close() came during a wait
};

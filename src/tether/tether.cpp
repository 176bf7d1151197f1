#include "tether.h"

#include <QCoreApplication>
#include <QDebug>
#include <QEventLoop>
#include <QLowEnergyController>
#include <QLowEnergyService>
#include <QMetaEnum>
#include <QMutexLocker>
#include <QTimer>

namespace {
Tether::Waits &currentWaits()
{
    static Tether::Waits waits;
    return waits;
}

QString text(const char *source)
{
    return QCoreApplication::translate("Tether", source);
}

template <class Enum>
QByteArray enumName(int value)
{
    const char *name = QMetaEnum::fromType<Enum>().valueToKey(value);
    return name ? QByteArray(name) : QByteArray::number(value);
}

const QByteArray NotificationsOn = QByteArray::fromHex("0100");
} // namespace

void Tether::setWaits(const Waits &waits)
{
    currentWaits() = waits;
}

Tether::Waits Tether::waits()
{
    return currentWaits();
}

const QBluetoothUuid &Tether::serviceUuid()
{
    static const QBluetoothUuid uuid(QStringLiteral("{6e400001-b5a3-f393-e0a9-e50e24dcca9e}"));
    return uuid;
}

const QBluetoothUuid &Tether::txUuid()
{
    static const QBluetoothUuid uuid(QStringLiteral("{6e400002-b5a3-f393-e0a9-e50e24dcca9e}"));
    return uuid;
}

const QBluetoothUuid &Tether::rxUuid()
{
    static const QBluetoothUuid uuid(QStringLiteral("{6e400003-b5a3-f393-e0a9-e50e24dcca9e}"));
    return uuid;
}

Tether::Tether(std::unique_ptr<TetherBackend> backend, QObject *parent)
    : QObject(parent)
    , m_backend(std::move(backend))
{
}

Tether::~Tether()
{
    // The controller and the service are children: they go with the object,
    // and must not report into it on the way.
    if (m_service)
        m_service->setEvents(nullptr);
    if (m_controller)
        m_controller->setEvents(nullptr);
}

void Tether::close()
{
    if (m_waits > 0)
        m_closeLater = true;
    else
        deleteLater();
}

void Tether::wait(QEventLoop *&slot, int ms)
{
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QEventLoop *outer = slot;
    slot = &loop;
    ++m_waits;
    timer.start(ms);
    loop.exec();
    --m_waits;
    slot = outer;
    // Deleted by the event loop once the callers have returned.
    if (m_waits == 0 && m_closeLater)
        deleteLater();
}

// ---------------------------------------------------------------- connecting

int Tether::connectToDevice(const QString &address)
{
    QMutexLocker lock(&m_mutex);
    const int errorsBefore = m_errors.size();
    if (!connectCentral(address)) {
        m_errors << text(QT_TRANSLATE_NOOP("Tether", "Bluetooth controller creation failed"));
        return 0;
    }
    // A controller that failed at once (and is gone already) or that is
    // connected already needs no wait.
    const bool failedAtOnce = m_errors.size() > errorsBefore || !m_controller;
    if (!failedAtOnce && m_controller->state() < QLowEnergyController::ConnectedState)
        wait(m_connectLoop, currentWaits().connect);
    return m_errors.isEmpty() ? 1 : 0;
}

bool Tether::connectCentral(const QString &address)
{
    QMutexLocker lock(&m_mutex);
    if (m_controller) {
        qWarning().noquote() << QStringLiteral("connectCentral(): previous controller still alive, forcing cleanup first");
        m_controller->setEvents(nullptr);
        m_controller->deleteLater();
        m_controller = nullptr;
        m_disconnecting = false;
    }
    TetherController *controller = m_backend ? m_backend->createCentral(address, this) : nullptr;
    if (!controller)
        return false;
    m_controller = controller;
    controller->setEvents(this);
    controller->connectToDevice();
    return true;
}

void Tether::controllerConnected()
{
    m_state = TetherConnected;
    if (m_connectLoop)
        m_connectLoop->quit();
    if (m_controller)
        m_controller->discoverServices();
}

void Tether::controllerServiceDiscovered(const QBluetoothUuid &uuid)
{
    if (!m_services.contains(uuid))
        m_services << uuid;
}

void Tether::controllerDiscoveryFinished()
{
    m_state = TetherDiscovered;
    if (!m_controller)
        return;
    const QList<QBluetoothUuid> offered = m_controller->services();
    for (const QBluetoothUuid &uuid : offered) {
        if (!m_services.contains(uuid) || uuid.toString() != serviceUuid().toString())
            continue;
        TetherService *service = m_controller->createServiceObject(uuid, this);
        if (!service)
            continue;
        // A service of an earlier discovery (after a reconnection) reports no more.
        dropService();
        m_service = service;
        m_txValid = false;
        service->setEvents(this);
        QPointer<TetherService> guard(service);
        QTimer::singleShot(0, this, [guard] {
            if (guard)
                guard->discoverDetails();
        });
        break;
    }
}

void Tether::controllerError()
{
    m_state = TetherError;
    if (m_controller)
        m_errors << m_controller->errorString();
    if (m_connectLoop)
        m_connectLoop->quit();
    if (m_disconnectLoop)
        m_disconnectLoop->quit();
    if (m_disconnecting)
        releaseController();
    else
        disconnectCentral();
}

void Tether::controllerDisconnected()
{
    m_state = TetherDisconnected;
    if (m_disconnectLoop)
        m_disconnectLoop->quit();
    if (m_disconnecting)
        releaseController();
}

// ---------------------------------------------------------------- the service

void Tether::serviceStateChanged(TetherService *sender, int state)
{
    if (state != QLowEnergyService::ServiceDiscovered)
        return;
    if (!sender) {
        m_errors << QStringLiteral("Can't cast sender() to QLowEnergyService*");
        return;
    }
    if (sender != m_service)
        return;
    m_txValid = sender->hasCharacteristic(txUuid());
    if (!m_txValid) {
        m_errors << QStringLiteral("Terminal TX failed to get characteristic BLE_UUID_NUS_TX_CHARACTERISTIC");
        return;
    }
    if (!sender->hasCharacteristic(rxUuid())) {
        m_errors << QStringLiteral("Terminal RX failed to get characteristic BLE_UUID_NUS_RX_CHARACTERISTIC");
        return;
    }
    const QBluetoothUuid notify(QBluetoothUuid::ClientCharacteristicConfiguration);
    if (!sender->hasDescriptor(rxUuid(), notify)) {
        m_errors << QStringLiteral("Terminal RX failed to get notify descriptor for BLE_UUID_NUS_RX_CHARACTERISTIC");
        return;
    }
    sender->writeDescriptor(rxUuid(), notify, NotificationsOn);
}

void Tether::serviceDescriptorWritten(TetherService *sender, const QBluetoothUuid &descriptor, const QByteArray &value)
{
    Q_UNUSED(sender)
    Q_UNUSED(descriptor)
    if (value == NotificationsOn)
        m_state = TetherReady;
}

void Tether::serviceCharacteristicChanged(TetherService *sender, const QBluetoothUuid &characteristic,
                                          const QByteArray &value)
{
    Q_UNUSED(characteristic)
    if (!sender || sender != m_service)
        return;
    m_lastReceived = value;
    m_received << value;
}

void Tether::serviceCharacteristicWritten(TetherService *sender, const QBluetoothUuid &characteristic,
                                          const QByteArray &value)
{
    Q_UNUSED(value)
    if (sender && sender == m_service && characteristic == txUuid() && m_writing > 0)
        --m_writing;
}

void Tether::serviceError(TetherService *sender, int error)
{
    if (!sender || sender != m_service)
        return;
    // Which write failed is not told: none is counted as under way any more.
    m_writing = 0;
    const QString uuid = sender->serviceUuid().toString();
    const int serviceState = sender->state();
    qWarning().noquote() << uuid << QStringLiteral("BLE serice error occured:")
                         << QString::fromLatin1(enumName<QLowEnergyService::ServiceError>(error));
    qWarning().noquote() << uuid << QStringLiteral("state:")
                         << QString::fromLatin1(enumName<QLowEnergyService::ServiceState>(serviceState));
    if (serviceState == QLowEnergyService::ServiceDiscovered || !m_controller)
        return;
    m_controller->disconnectFromDevice();
    QTimer::singleShot(currentWaits().serviceReconnect, this, [this] {
        if (m_controller)
            m_controller->connectToDevice();
    });
}

void Tether::dropService()
{
    if (!m_service)
        return;
    m_service->setEvents(nullptr);
    m_service->deleteLater();
    m_service = nullptr;
    m_writing = 0;
}

// ---------------------------------------------------------------- disconnecting

void Tether::disconnectFromDevice()
{
    dropService();
    disconnectCentral();
}

void Tether::disconnectCentral()
{
    QMutexLocker lock(&m_mutex);
    if (!m_controller || m_disconnecting)
        return;
    m_disconnecting = true;
    if (m_controller->state() != QLowEnergyController::UnconnectedState) {
        m_controller->disconnectFromDevice();
        // It may have gone at once.
        if (m_controller && m_controller->state() != QLowEnergyController::UnconnectedState)
            wait(m_disconnectLoop, currentWaits().disconnect);
    }
    releaseController();
}

void Tether::releaseController()
{
    QMutexLocker lock(&m_mutex);
    if (!m_controller || !m_disconnecting)
        return;
    m_controller->setEvents(nullptr);
    m_controller->deleteLater();
    m_controller = nullptr;
    m_disconnecting = false;
}

// ---------------------------------------------------------------- queries and data

int Tether::controlState() const
{
    QMutexLocker lock(&m_mutex);
    return m_controller ? m_controller->state() : 0;
}

int Tether::isConnected() const
{
    QMutexLocker lock(&m_mutex);
    return m_controller && m_controller->state() != QLowEnergyController::UnconnectedState ? 1 : 0;
}

QByteArray Tether::takeReceived()
{
    return m_received.isEmpty() ? QByteArray() : m_received.takeFirst();
}

QString Tether::takeError()
{
    return m_errors.isEmpty() ? QString() : m_errors.takeFirst();
}

void Tether::writeCharacteristic(const QByteArray &data)
{
    m_errors.clear();
    m_lastWritten = data;
    if (!m_service) {
        qWarning().noquote() << text(QT_TRANSLATE_NOOP("Tether", "Connection already closed"));
        return;
    }
    if (m_txValid) {
        ++m_writing;
        m_service->writeCharacteristic(txUuid(), m_lastWritten);
    }
}

#include "tetherinterface.h"

#include "blelibraries.h"
#include "frame.h"
#include "messageboxes.h"

#include <QDateTime>
#include <QDebug>
#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>

#include <algorithm>
#include <string>

namespace {
TetherInterface::Timings &currentTimings()
{
    static TetherInterface::Timings timings;
    return timings;
}

// Shared by every interface: when the last one let its link go (ms since the
// epoch, 0 before), and which interface made the library's current object.
qint64 lastDisconnectMs = 0;
const TetherInterface *objectOwner = nullptr;

qint64 nowMs()
{
    return QDateTime::currentMSecsSinceEpoch();
}
} // namespace

void TetherInterface::setTimings(const Timings &timings)
{
    currentTimings() = timings;
}

TetherInterface::Timings TetherInterface::timings()
{
    return currentTimings();
}

QString TetherInterface::statusName(int status)
{
    static const char *const names[] = {"Disconnected", "Error", "Connected", "Discovered", "Ready"};
    return status >= 0 && status < 5 ? QString::fromLatin1(names[status]) : QString::number(status);
}

TetherInterface::TetherInterface(const QString &address, QObject *parent)
    : ConnectionInterface(parent)
    , m_address(address)
    , m_resendTimer(this)
    , m_pollTimer(this)
    , m_responseTimer(this)
    , m_stateCheckTimer(this)
{
    qRegisterMetaType<TetherStatus>("TetherStatus");
    const Timings t = currentTimings();
    m_resendTimer.setInterval(t.resend);
    m_pollTimer.setInterval(t.poll);
    m_pollTimer.setTimerType(Qt::PreciseTimer);
    m_responseTimer.setInterval(t.response);
    m_responseTimer.setSingleShot(true);
    m_stateCheckTimer.setSingleShot(true);
    connect(&m_resendTimer, &QTimer::timeout, this, &TetherInterface::onResendTimeout);
    connect(&m_pollTimer, &QTimer::timeout, this, &TetherInterface::readBleTerminal);
    connect(&m_responseTimer, &QTimer::timeout, this, &TetherInterface::onResponseTimeout);
    connect(&m_stateCheckTimer, &QTimer::timeout, this, &TetherInterface::checkConnectionState);
}

TetherInterface::~TetherInterface()
{
    // A connection object made by a later interface is not ours to close.
    if (ownsLibraryObject()) {
        objectOwner = nullptr;
        m_api.closeConnection();
    }
}

bool TetherInterface::ownsLibraryObject() const
{
    return m_loaded && objectOwner == this;
}

// ---------------------------------------------------------------- the library

bool TetherInterface::bindLibrary()
{
    const QString path = BleLibraries::locate(QStringLiteral("Tether"));
    if (!QFileInfo::exists(path)) {
        qWarning().noquote() << QStringLiteral("File ") + path + QStringLiteral(" not found");
        return false;
    }
    qDebug().noquote() << QStringLiteral("BLE connection DLL found ") + path;
    m_library.setFileName(path);
    if (!resolveApi()) {
        qWarning().noquote() << QStringLiteral("Can't resolve BLE connection API: ") + m_library.errorString();
        qWarning().noquote() << tr("Can't make BLE connection");
        return false;
    }
    m_loaded = true;
    return true;
}

bool TetherInterface::resolveApi()
{
    Api api;
    const bool all = BleLibraries::resolve(m_library, api.makeConnection, "makeConnection")
                     && BleLibraries::resolve(m_library, api.closeConnection, "closeConnection")
                     && BleLibraries::resolve(m_library, api.connectToDevice, "connectToDevice")
                     && BleLibraries::resolve(m_library, api.disconnectFromDevice, "disconnectFromDevice")
                     && BleLibraries::resolve(m_library, api.controlState, "controlState")
                     && BleLibraries::resolve(m_library, api.connectionState, "connectionState")
                     && BleLibraries::resolve(m_library, api.errorCount, "errorCount")
                     && BleLibraries::resolve(m_library, api.takeError, "takeError")
                     && BleLibraries::resolve(m_library, api.receivedCount, "receivedCount")
                     && BleLibraries::resolve(m_library, api.getReceived, "getReceived")
                     && BleLibraries::resolve(m_library, api.writeCharacteristic, "writeCharacteristic");
    if (!all)
        return false;
    // A library without it: re-sends count from the start of each write.
    BleLibraries::resolve(m_library, api.writesInProgress, "writesInProgress");
    m_api = api;
    return true;
}

// ---------------------------------------------------------------- connecting

bool TetherInterface::connectToDevice(const QString &address)
{
    m_address = address;
    m_closing = false;
    m_reconnectBudget = ReconnectChecks;
    if (!m_loaded && !bindLibrary())
        return false;
    abandonRequests();
    m_received.clear();
    m_held = false;

    QPointer<TetherInterface> self(this);
    if (lastDisconnectMs > 0) {
        const qint64 rest = currentTimings().reconnectGap - (nowMs() - lastDisconnectMs);
        if (rest > 0) {
            QEventLoop loop;
            QTimer::singleShot(int(rest), &loop, &QEventLoop::quit);
            loop.exec();
            if (!self)
                return false;
        }
    }

    qDebug().noquote() << QStringLiteral("connectToDevice to ") + address;
    const Api api = m_api;
    api.makeConnection();
    objectOwner = this;
    const std::string text = address.toStdString();
    const int result = api.connectToDevice(&text);
    if (!self)
        return false;
    qDebug().noquote() << QStringLiteral("connectToDevice(&str); res=") + QString::number(result);
    if (result != 0) {
        qDebug().noquote() << QStringLiteral("Connecting started");
        const int state = api.connectionState();
        qDebug().noquote() << QStringLiteral("BLE connection state:") << state;
        emit statusChanged(TetherStatus(state));
        return true;
    }

    QStringList errors;
    const int count = api.errorCount();
    for (int i = 0; i < count; ++i) {
        std::string error;
        api.takeError(&error);
        errors << QString::fromStdString(error);
    }
    qWarning().noquote() << QStringLiteral("Error(s) occurred while BLE device connecting:")
                         << errors.join(QStringLiteral(", "));
    showWarningMessage(tr("Unable to connect to BLE device."), tr("Connection lost"));
    return false;
}

void TetherInterface::disconnectFromDevice()
{
    if (m_closing)
        return;
    m_closing = true;
    lastDisconnectMs = nowMs();
    m_resendTimer.stop();
    m_pollTimer.stop();
    m_responseTimer.stop();
    m_stateCheckTimer.stop();
    abandonRequests();
    if (!ownsLibraryObject())
        return;
    // The library waits in an event loop: this object may be gone after it.
    objectOwner = nullptr;
    const Api api = m_api;
    api.disconnectFromDevice();
    api.closeConnection();
}

void TetherInterface::setQuiet(bool quiet)
{
    m_quiet = quiet;
}

bool TetherInterface::isOpen() const
{
    return m_lastStatus > TetherError;
}

void TetherInterface::setLogFilter(const QVector<uint8_t> &filter)
{
    m_logFilter = filter;
}

QString TetherInterface::portName() const
{
    return m_address;
}

int TetherInterface::pendingCount() const
{
    return m_pending.size();
}

// ---------------------------------------------------------------- sending

void TetherInterface::sendPacket(const QByteArray &data, const ResponseCb &cb)
{
    Request request;
    request.frame = buildSerialFrame(tetherSequence.load(), data);
    if (request.frame.isEmpty()) {
        qWarning().noquote() << QStringLiteral("Packet of %1 bytes is too long for a frame, not sent (type %2)")
                                    .arg(data.size())
                                    .arg(QString::fromLatin1(packetTypeName(data.isEmpty() ? 0 : uint8_t(data.at(0)))));
        return;
    }
    ++tetherSequence;
    request.cb = cb;
    if (m_inFlight == 0) {
        m_current = request;
        writeCurrent();
    } else {
        m_pending.append(request);
    }
}

void TetherInterface::abandonRequests()
{
    // Their callbacks are never called; a late reply finds no request to answer.
    ++m_epoch;
    m_resendTimer.stop();
    m_responseTimer.stop();
    m_inFlight = 0;
    m_writing = false;
    m_current = Request();
    m_pending.clear();
}

void TetherInterface::writeCurrent()
{
    if (!ownsLibraryObject() || m_api.controlState() != 4) {
        // Services not discovered: the request and the queue are dropped.
        abandonRequests();
        return;
    }
    if (m_current.attempts >= MaxWrites) {
        abandonRequests();
        emit connectionLost();
        return;
    }
    m_inFlight = 1;
    const QByteArray frame = m_current.frame;
    m_api.writeCharacteristic(&frame);
    const uint8_t type = uint8_t(frame.at(3));
    if (!m_logFilter.contains(type))
        qDebug() << "TX:" << frame.toHex() << packetTypeName(type);
    ++m_current.attempts;
    m_writeClock.start();
    m_writing = m_api.writesInProgress != nullptr;
    if (m_writing)
        m_resendTimer.stop();
    else
        m_resendTimer.start();
    m_responseTimer.start();
    if (!m_pollTimer.isActive())
        m_pollTimer.start();
}

void TetherInterface::onResendTimeout()
{
    writeCurrent();
}

void TetherInterface::checkWriteEnded()
{
    if (!m_writing)
        return;
    // A write the library never reports ended counts as ended after the response time.
    if (m_api.writesInProgress() > 0 && m_writeClock.elapsed() < currentTimings().response)
        return;
    m_writing = false;
    if (m_inFlight != 0 && !m_current.answered && m_current.attempts > 0)
        m_resendTimer.start();
}

// ---------------------------------------------------------------- receiving

void TetherInterface::readBleTerminal()
{
    if (!ownsLibraryObject())
        return;
    const int state = m_api.connectionState();
    const bool changed = state != m_lastStatus;
    m_lastStatus = state;
    checkWriteEnded();
    if (state == TetherReady) {
        const int count = m_api.receivedCount();
        if (count <= 0) {
            // A frame held back by an incomplete one comes through after a silence.
            const Timings t = currentTimings();
            if (m_held && m_receivedClock.elapsed() >= std::min(t.strayGap, t.resend / 2))
                takeReceived(true);
            return;
        }
        m_responseTimer.stop();
        QPointer<TetherInterface> self(this);
        const Api api = m_api;
        for (int i = 0; i < count; ++i) {
            QByteArray chunk;
            api.getReceived(&chunk);
            processReceivedBytes(chunk);
            if (!self || !ownsLibraryObject())
                return;
        }
        return;
    }
    if (changed) {
        qWarning().noquote() << QStringLiteral("BLE terminal not ready. Connection state: ") + statusName(state);
        QPointer<TetherInterface> self(this);
        emit statusChanged(TetherStatus(state));
        if (!self)
            return;
    }
    if (state == TetherDisconnected || state == TetherError) {
        m_pollTimer.stop();
        m_reconnectBudget = ReconnectChecks;
        checkConnectionState();
    }
}

void TetherInterface::processReceivedBytes(QByteArray &chunk)
{
    // Replies come in notifications of 20 bytes: a frame is whole only once
    // its last piece is there.
    m_received.append(chunk);
    chunk.clear();
    if (m_received.size() > MaxBuffered)
        m_received = m_received.right(MaxBuffered);
    m_receivedClock.start();
    takeReceived(false);
}

void TetherInterface::takeReceived(bool silence)
{
    const FrameIntake intake = takeFrames(
        &m_received, silence,
        [this](const QByteArray &buffer, const ScannedFrame &frame) {
            return handleFrame(buffer, frame.offset, frame.sequence, frame.data);
        },
        [this] { return awaitedSequence(); });
    if (!intake.stopped)
        m_held = intake.held;
}

int TetherInterface::awaitedSequence() const
{
    if (m_inFlight == 0 || m_current.answered || m_current.attempts == 0)
        return -1;
    return uint8_t(m_current.frame.at(1));
}

bool TetherInterface::handleFrame(const QByteArray &buffer, int offset, uint8_t sequence, const QByteArray &data)
{
    const uint8_t type = uint8_t(data.at(0));
    if (!m_logFilter.contains(type))
        qDebug() << "RX:" << buffer.mid(offset).toHex() << packetTypeName(type);

    const bool written = awaitedSequence() >= 0;
    if (type == PT_TRY_AGAIN_LATER) {
        // The busy master's answer does not count against the writes; the
        // running re-send timer writes the request again.
        if (written)
            --m_current.attempts;
        return true;
    }

    m_resendTimer.stop();
    Packet packet;
    packet.data = data;
    packet.timestamp = nowMs();
    QPointer<TetherInterface> self(this);
    const quint32 epoch = m_epoch;
    if (written && sequence == uint8_t(m_current.frame.at(1))) {
        packet.request = m_current.frame;
        const ResponseCb cb = m_current.cb;
        m_current.answered = true;
        m_responseTimer.stop();
        onPacketReceived(packet, cb);
        if (!self || epoch != m_epoch)
            return false;
        if (!m_pending.isEmpty()) {
            m_current = m_pending.takeFirst();
            QTimer::singleShot(currentTimings().sendGap, Qt::PreciseTimer, this, [this, epoch] {
                if (epoch == m_epoch)
                    writeCurrent();
            });
        } else {
            m_inFlight = 0;
        }
        return true;
    }
    // Not the answer awaited: the request in flight gets its full re-send time
    // again (from the end of its write, when that is still to come).
    qWarning().noquote() << QStringLiteral("onPacketReceived with nullptr");
    if (written && !m_writing)
        m_resendTimer.start();
    onPacketReceived(packet, ResponseCb());
    return self && epoch == m_epoch;
}

// ---------------------------------------------------------------- giving up

void TetherInterface::checkConnectionState()
{
    qDebug().noquote() << QStringLiteral("TetherInterface::checkConnectionState()");
    if (!ownsLibraryObject() || m_closing)
        return;
    const int state = m_api.connectionState();
    if (state != m_lastStatus) {
        m_lastStatus = state;
        QPointer<TetherInterface> self(this);
        emit statusChanged(TetherStatus(state));
        if (!self || m_closing)
            return;
    }
    if (m_lastStatus >= TetherReady)
        return;
    if (m_reconnectBudget < 1) {
        abortConnection(QStringLiteral("did not become ready within reconnect timeout, giving up"));
        return;
    }
    --m_reconnectBudget;
    m_stateCheckTimer.start(currentTimings().stateCheck);
}

void TetherInterface::onResponseTimeout()
{
    abortConnection(QStringLiteral("did not respond within timeout, disconnecting"));
}

void TetherInterface::abortConnection(const QString &reason)
{
    if (m_closing)
        return;
    qWarning().noquote() << QStringLiteral("BLE device") << m_address << reason;
    abandonRequests();
    const bool quiet = m_quiet;
    QPointer<TetherInterface> self(this);
    disconnectFromDevice();
    if (self)
        emit connectionLost();
    if (!quiet)
        showWarningMessage(tr("Unable to connect to BLE device."), tr("Connection lost"));
}

#include "portdiscoveryagent.h"

#include <QCoreApplication>
#include <QDebug>
#include <QElapsedTimer>
#include <QSerialPort>
#include <QThread>

#include <algorithm>

namespace {
constexpr int WriteAttempts = 3;
constexpr int ReadAttempts = 3;
// Longest time a blocking call of the probe thread goes without looking for a stop request.
constexpr int SliceMs = 20;

bool portFailed(const QSerialPort &port)
{
    return port.error() != QSerialPort::NoError && port.error() != QSerialPort::TimeoutError;
}
} // namespace

PortDiscoveryAgent::PortDiscoveryAgent(const Profile &profile, const ProbeTiming &timing, QObject *parent)
    : DeviceDiscoveryAgent(parent)
    , m_profile(profile)
    , m_thread(new QThread(this))
    , m_timing(timing)
{
    connect(m_thread, &QThread::started, this, &PortDiscoveryAgent::discovery, Qt::DirectConnection);
    connect(m_thread, &QThread::finished, this, &PortDiscoveryAgent::onThreadFinished, Qt::QueuedConnection);
}

PortDiscoveryAgent::~PortDiscoveryAgent()
{
    m_thread->requestInterruption();
    m_thread->quit();
    m_thread->wait();
}

void PortDiscoveryAgent::start()
{
    if (m_running)
        return;
    m_running = true;
    m_runLister = m_portLister ? m_portLister : serialPortLister();
    m_runTiming = m_timing;
    m_runExtraPorts = m_extraPorts;
    m_thread->start();
}

void PortDiscoveryAgent::stop()
{
    if (m_running)
        m_thread->requestInterruption();
}

void PortDiscoveryAgent::onThreadFinished()
{
    m_running = false;
    emit discoveryFinished(-1);
}

bool PortDiscoveryAgent::parseAnswer(const QString &portName, const QByteArray &answer)
{
    const std::optional<ProbeAnswer> parsed = m_profile.parse(portName, answer);
    if (!parsed)
        return false;
    if (parsed->hasRecord)
        logModules(parsed->record);
    emit deviceDiscovered(parsed->device);
    return true;
}

bool PortDiscoveryAgent::interrupted()
{
    return QThread::currentThread()->isInterruptionRequested();
}

// Runs in the agent's thread.
void PortDiscoveryAgent::discovery()
{
    const QByteArray probe = QByteArray::fromHex(m_profile.probeHex);
    QList<SerialPortEntry> ports = m_runLister();
    for (const QString &path : qAsConst(m_runExtraPorts)) {
        const bool listed = std::any_of(ports.cbegin(), ports.cend(),
                                        [&path](const SerialPortEntry &entry) { return entry.portName == path; });
        if (!listed)
            ports.append(SerialPortEntry{path, QString()});
    }

    QSerialPort port;
    for (const SerialPortEntry &entry : ports) {
        if (interrupted())
            break;
        if (entry.description.contains(QLatin1String("bluetooth"), Qt::CaseInsensitive))
            continue;
        port.setPortName(entry.portName);
        if (!port.open(QIODevice::ReadWrite)) {
            qWarning().noquote() << m_profile.logPrefix + QLatin1String("Fail to open") << entry.portName;
            continue;
        }
        qDebug().noquote() << m_profile.probingText + entry.portName;
        if (!port.setBaudRate(m_profile.baudRate))
            qWarning().noquote() << m_profile.logPrefix + QLatin1String("Baud rate is not set") << port.baudRate();
        probePort(port, entry.portName, probe);
        port.close();
    }
    port.close();
    QThread::currentThread()->quit(); // before the event loop: the thread ends on return
}

// Reports under the name the port was listed with (QSerialPort shortens /dev paths).
void PortDiscoveryAgent::probePort(QSerialPort &port, const QString &portName, const QByteArray &probe)
{
    for (int attempt = 0; attempt < WriteAttempts && !interrupted(); ++attempt) {
        if (m_profile.logTransmit)
            qDebug().noquote() << QStringLiteral("TX:") << QString::fromLatin1(probe.toHex(' '));
        port.write(probe);
        if (!waitWritten(port))
            qWarning().noquote() << m_profile.logPrefix + QLatin1String("attempt to write to ") + portName
                                        + QLatin1String(" port failed");

        QByteArray answer;
        int readsLeft = ReadAttempts;
        while (readsLeft > 0 && !interrupted()) {
            if (port.bytesAvailable() == 0 && !waitReadable(port))
                break;
            pause(m_runTiming.settleMs);
            QCoreApplication::processEvents();
            answer += port.readAll();
            qDebug().noquote() << m_profile.responseText + QString::fromLatin1(answer.toHex(' '));
            if (parseAnswer(portName, answer))
                break;
            --readsLeft;
        }
        if (readsLeft > 0) // answered, silent or stopped: no further write
            return;
    }
}

bool PortDiscoveryAgent::waitWritten(QSerialPort &port) const
{
    QElapsedTimer clock;
    clock.start();
    while (port.bytesToWrite() > 0) {
        const int left = m_runTiming.waitMs - int(clock.elapsed());
        if (left <= 0 || interrupted())
            return false;
        if (!port.waitForBytesWritten(std::min(left, SliceMs))) {
            if (portFailed(port))
                return false;
            port.clearError();
        }
    }
    return true;
}

bool PortDiscoveryAgent::waitReadable(QSerialPort &port) const
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const int left = m_runTiming.waitMs - int(clock.elapsed());
        if (left <= 0 || interrupted())
            return false;
        if (port.waitForReadyRead(std::min(left, SliceMs)))
            return true;
        if (portFailed(port))
            return false;
        port.clearError();
    }
}

void PortDiscoveryAgent::pause(int ms) const
{
    QElapsedTimer clock;
    clock.start();
    for (int left = ms; left > 0 && !interrupted(); left = ms - int(clock.elapsed()))
        QThread::msleep(std::min(left, SliceMs));
}

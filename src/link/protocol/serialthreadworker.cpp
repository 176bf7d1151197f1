#include "serialthreadworker.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QSerialPort>
#include <QThread>

SerialThreadWorker::SerialThreadWorker(QSerialPort *port, bool kastrelMode, MasterType masterType, QObject *parent)
    : QObject(parent)
    , m_port(port)
    , m_kastrelMode(kastrelMode)
    , m_transmitTimer(this)
    , m_strayTimer(this)
{
    int interval = SerialTimeoutMs;
    if (kastrelMode)
        interval = KastrelTimeoutMs;
    else if (masterType == MasterHubro32Slow)
        interval = SlowMasterTimeoutMs;
    m_transmitInterval = interval;
    m_transmitTimer.setInterval(interval);
    m_transmitTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_transmitTimer, &QTimer::timeout, this, &SerialThreadWorker::transmitTimeout);
    connect(m_port, &QSerialPort::readyRead, this, &SerialThreadWorker::onReadyRead, Qt::DirectConnection);
    m_strayTimer.setSingleShot(true);
    m_strayTimer.setInterval(StrayGapMs);
    connect(&m_strayTimer, &QTimer::timeout, this, &SerialThreadWorker::strayTimeout);
}

QByteArray SerialThreadWorker::buildFrame(const QByteArray &packet)
{
    const QByteArray frame = buildSerialFrame(m_sequence, packet);
    if (!frame.isEmpty())
        ++m_sequence;
    return frame;
}

QByteArray SerialThreadWorker::buildKastrelFrame(const QByteArray &packet)
{
    const QByteArray envelope = buildKastrelEnvelope(m_busAddress, m_sequence, packet);
    if (!envelope.isEmpty())
        ++m_sequence;
    return envelope;
}

SerialThreadWorker::Request SerialThreadWorker::makeRequest(const QByteArray &data)
{
    Request request;
    request.frame = m_kastrelMode ? buildKastrelFrame(data) : buildFrame(data);
    if (request.frame.isEmpty())
        qWarning().noquote() << QStringLiteral("Packet of %1 bytes is too long for a frame, not sent (type %2)")
                                    .arg(data.size())
                                    .arg(QString::fromLatin1(packetTypeName(data.isEmpty() ? 0 : uint8_t(data.at(0)))));
    return request;
}

void SerialThreadWorker::submit(const Request &request)
{
    if (m_busy == 0) {
        m_current = request;
        transmitCurrent();
    } else {
        m_queue.append(request);
        updateCounters();
    }
}

void SerialThreadWorker::sendPacket(const QByteArray &data, const ResponseCb &cb)
{
    Request request = makeRequest(data);
    if (request.frame.isEmpty())
        return;
    request.cb = cb;
    submit(request);
}

void SerialThreadWorker::sendRun(const PacketRun &run)
{
    if (run.packets.isEmpty() || run.cancelled->load())
        return;
    Request request = makeRequest(run.packets.constFirst());
    if (request.frame.isEmpty())
        return;
    request.run = std::make_shared<PacketRun>(run);
    submit(request);
}

bool SerialThreadWorker::runReplied(const Packet &packet, uint8_t type, const Request &request)
{
    const std::shared_ptr<PacketRun> run = request.run;
    if (run->cancelled->load())
        return false;
    const PacketRunStep step = packetRunStep(*run, request.index, type);
    const int answered = step.answered;
    if (step.sendNext) {
        Request next = makeRequest(run->packets.at(answered));
        if (!next.frame.isEmpty()) {
            if (step.report)
                emit packetReceived(packet, [run, answered](const Packet &) {
                    if (run->progress && !run->cancelled->load())
                        run->progress(answered);
                    return true;
                });
            next.run = run;
            next.index = answered;
            // Nothing else waiting: the next packet goes at once, as a request the GUI
            // thread sent after this reply would.
            const bool atOnce = m_queue.isEmpty();
            m_queue.append(next);
            updateCounters();
            return atOnce;
        }
    }
    emit packetReceived(packet, [run, answered](const Packet &reply) {
        if (run->done && !run->cancelled->load())
            run->done(reply, answered);
        return true;
    });
    return false;
}

void SerialThreadWorker::transmitCurrent()
{
    if (!m_port->isOpen()) {
        abandonRequests();
        return;
    }
    if (m_current.sendCount < MaxTransmissions) {
        m_busy = 1;
        m_port->write(m_current.frame);
        m_port->flush();
        const uint8_t type = requestType(m_current.frame);
        if (!m_logFilter.contains(type))
            qDebug() << "TX:" << m_current.frame.toHex() << packetTypeName(type);
        ++m_current.sendCount;
        m_transmitTimer.start();
        return;
    }
    abandonRequests();
    m_port->close();
    updateCounters();
    emit connectionLost();
}

void SerialThreadWorker::transmitTimeout()
{
    transmitCurrent();
}

void SerialThreadWorker::abandonRequests()
{
    // Their callbacks are never called; forgetting the request in flight also keeps a late
    // reply from reaching it after a reconnection.
    m_transmitTimer.stop();
    ++m_epoch;
    m_busy = 0;
    m_current = Request();
    m_queue.clear();
    updateCounters();
}

void SerialThreadWorker::onReadyRead()
{
    m_rxBuffer.append(m_port->readAll());
    if (!m_kastrelMode) {
        takeReceived(false);
        return;
    }
    const EnvelopeUnwrap unwrap = unwrapEnvelopes(m_busAddress, m_rxBuffer);
    m_rxBuffer = unwrap.rest;
    if (unwrap.dropped != EnvelopeDrop::None)
        qDebug().noquote() << QStringLiteral("Kastrel: %1 bytes dropped, %2")
                                  .arg(unwrap.droppedBytes)
                                  .arg(QString::fromLatin1(envelopeDropText(unwrap.dropped)));
    for (const EnvelopeContent &envelope : unwrap.envelopes)
        handleFrames(envelope.body, envelope.scan);
}

void SerialThreadWorker::takeReceived(bool silence)
{
    const FrameIntake intake = takeFrames(
        &m_rxBuffer, silence,
        [this](const QByteArray &buffer, const ScannedFrame &frame) {
            handleFrame(buffer, frame);
            return true;
        },
        [this] { return awaitedSequence(); });
    // A frame held back by an incomplete one comes through after a silence.
    if (intake.held)
        m_strayTimer.start();
    else
        m_strayTimer.stop();
}

void SerialThreadWorker::strayTimeout()
{
    // Bytes that came meanwhile end the silence (and are taken in by onReadyRead).
    if (m_port->isOpen() && m_port->waitForReadyRead(0))
        return;
    takeReceived(true);
}

int SerialThreadWorker::awaitedSequence() const
{
    if (m_current.answered || m_current.sendCount == 0 || m_current.frame.isEmpty())
        return -1;
    return requestSequence(m_current.frame);
}

void SerialThreadWorker::handleFrames(const QByteArray &buffer, const FrameScan &scan)
{
    for (const ScannedFrame &frame : scan.frames)
        handleFrame(buffer, frame);
}

void SerialThreadWorker::handleFrame(const QByteArray &buffer, const ScannedFrame &frame)
{
    const uint8_t type = frame.type();
    // The "RX:" line is written after the packet is on its way: formatting and writing a
    // log line must not delay the reply.
    const auto logReceived = [&] {
        if (!m_logFilter.contains(type))
            qDebug() << "RX:" << buffer.mid(frame.offset).toHex() << packetTypeName(type);
    };

    if (type == PT_TRY_AGAIN_LATER) {
        // Busy master: this transmission does not count; the running timer re-sends.
        // Only a request on the wire gets one back (none is during the send gap).
        if (m_transmitTimer.isActive() && !m_current.answered && m_current.sendCount > 0)
            --m_current.sendCount;
        logReceived();
        return;
    }

    Packet packet;
    packet.data = frame.data;
    packet.timestamp = QDateTime::currentMSecsSinceEpoch();
    if (!m_current.answered && !m_current.frame.isEmpty() && frame.sequence == requestSequence(m_current.frame)) {
        packet.request = m_kastrelMode ? m_current.frame.mid(KastrelHeaderSize) : m_current.frame;
        const ResponseCb cb = m_current.cb;
        m_transmitTimer.stop();
        m_current.answered = true;
        bool atOnce = false;
        if (m_current.run)
            atOnce = runReplied(packet, type, m_current);
        else
            emit packetReceived(packet, cb);
        if (!m_queue.isEmpty()) {
            m_current = m_queue.takeFirst();
            updateCounters();
            if (atOnce) {
                // Logged first, so the log keeps each reply before the request it sends.
                logReceived();
                transmitCurrent();
                return;
            }
            // Requests abandoned meanwhile (a reconnection) must not be sent by this shot.
            const quint32 epoch = m_epoch;
            QTimer::singleShot(m_sendGapMs, Qt::PreciseTimer, this, [this, epoch] {
                if (epoch == m_epoch)
                    transmitCurrent();
            });
        } else {
            m_busy = 0;
        }
    } else {
        emit packetReceived(packet, ResponseCb());
    }
    logReceived();
}

uint8_t SerialThreadWorker::requestSequence(const QByteArray &frame) const
{
    return uint8_t(frame.at(m_kastrelMode ? KastrelHeaderSize + 1 : 1));
}

uint8_t SerialThreadWorker::requestType(const QByteArray &frame) const
{
    return uint8_t(frame.at(m_kastrelMode ? KastrelHeaderSize + 3 : 3));
}

bool SerialThreadWorker::connectToDevice(const QString &serial)
{
    m_port->close();
    abandonRequests();
    QString portName = serial;
    if (m_kastrelMode) {
        const KastrelAddress address = splitKastrelAddress(serial);
        portName = address.portName;
        m_busAddress = address.busAddress;
    }
    m_rxBuffer.clear();
    m_strayTimer.stop();
    m_port->setPortName(portName);
    m_openError.clear();
    if (!m_port->open(QIODevice::ReadWrite)) {
        m_openError = m_port->errorString();
        qWarning().noquote() << QStringLiteral("Failed to connect: ") + portName;
    } else {
        const qint32 baud = m_kastrelMode ? KastrelBaudRate : SerialBaudRate;
        if (!m_port->setBaudRate(baud))
            qWarning().noquote() << QStringLiteral("Baud rate %1 not accepted by %2: %3")
                                        .arg(baud)
                                        .arg(portName, m_port->errorString());
        m_port->setDataBits(QSerialPort::Data8);
        m_port->setParity(QSerialPort::NoParity);
        m_port->setStopBits(QSerialPort::OneStop);
        m_port->setFlowControl(QSerialPort::NoFlowControl);
    }
    updateCounters();
    return m_port->isOpen();
}

void SerialThreadWorker::disconnectFromDevice()
{
    if (m_port->isOpen())
        m_port->close();
    abandonRequests();
    // Ends the link thread's event loop; never the application's.
    QThread *thread = QThread::currentThread();
    if (thread != nullptr && (QCoreApplication::instance() == nullptr || thread != QCoreApplication::instance()->thread()))
        thread->exit(0);
}

void SerialThreadWorker::setLogFilter(const QVector<uint8_t> &filter)
{
    m_logFilter = filter;
}

void SerialThreadWorker::setTimings(int transmitTimeoutMs, int sendGapMs)
{
    m_transmitInterval = transmitTimeoutMs;
    m_transmitTimer.setInterval(transmitTimeoutMs);
    m_sendGapMs = sendGapMs;
    // The silence must end before the re-send, whose reply would break it again.
    m_strayTimer.setInterval(std::min(int(StrayGapMs), transmitTimeoutMs / 2));
}

void SerialThreadWorker::updateCounters()
{
    m_portOpen = m_port->isOpen();
    m_queued = m_queue.size();
}

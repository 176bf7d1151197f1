#include "serialconnectioninterface.h"

#include "serialthreadworker.h"
#include "threadpriority.h"

#include <QDebug>
#include <QSerialPort>

#include <atomic>

SerialConnectionInterface::SerialConnectionInterface(ConnectionType type, MasterType masterType, QObject *parent)
    : ConnectionInterface(parent)
    , m_port(new QSerialPort)
    , m_worker(new SerialThreadWorker(m_port, type == Kastrel, masterType))
{
    m_thread.setObjectName(QStringLiteral("SerialLink"));
    m_port->moveToThread(&m_thread);
    m_worker->moveToThread(&m_thread);
    connect(this, &SerialConnectionInterface::privateSendPacket, m_worker, &SerialThreadWorker::sendPacket,
            Qt::QueuedConnection);
    connect(this, &SerialConnectionInterface::privateSendRun, m_worker, &SerialThreadWorker::sendRun,
            Qt::QueuedConnection);
    connect(m_worker, &SerialThreadWorker::packetReceived, this, &SerialConnectionInterface::packetReceived);
    connect(m_worker, &SerialThreadWorker::connectionLost, this, &ConnectionInterface::connectionLost);
    // Run in the link thread as it starts: a reply is read and the next request sent as soon
    // as the bytes arrive, also while every core is busy.
    connect(&m_thread, &QThread::started, m_worker, &SerialConnectionInterface::raiseLinkThread, Qt::DirectConnection);
    m_thread.start(QThread::InheritPriority);
}

void SerialConnectionInterface::raiseLinkThread()
{
    QString why;
    const ThreadPriority::Outcome outcome = ThreadPriority::raiseCurrentThread(&why);
    // Said once: the link thread starts again with every connection.
    static std::atomic<bool> told{false};
    if (told.exchange(true))
        return;
    if (outcome == ThreadPriority::Outcome::Refused)
        qDebug().noquote() << QStringLiteral("Serial link thread priority not raised: %1").arg(why);
    else
        qDebug().noquote() << QStringLiteral("Serial link thread priority: %1")
                                  .arg(QLatin1String(ThreadPriority::outcomeName(outcome)));
}

SerialConnectionInterface::~SerialConnectionInterface()
{
    disconnectFromDevice();
    // The link thread has ended: nothing runs in it any more.
    delete m_worker;
    delete m_port;
}

bool SerialConnectionInterface::ensureThreadRunning()
{
    if (m_thread.isRunning())
        return true;
    m_thread.start(QThread::InheritPriority);
    return m_thread.isRunning();
}

bool SerialConnectionInterface::connectToDevice(const QString &address)
{
    m_address = address;
    if (!ensureThreadRunning())
        return false;
    bool open = false;
    QMetaObject::invokeMethod(m_worker, "connectToDevice", Qt::BlockingQueuedConnection,
                              Q_RETURN_ARG(bool, open), Q_ARG(QString, address));
    return open;
}

void SerialConnectionInterface::disconnectFromDevice()
{
    // A blocking invocation into a thread that has ended would never return.
    if (!m_thread.isRunning())
        return;
    QMetaObject::invokeMethod(m_worker, "disconnectFromDevice", Qt::BlockingQueuedConnection);
    m_thread.wait();
}

void SerialConnectionInterface::sendPacket(const QByteArray &data, const ResponseCb &cb)
{
    emit privateSendPacket(data, cb);
}

void SerialConnectionInterface::sendRun(const PacketRun &run)
{
    emit privateSendRun(run);
}

bool SerialConnectionInterface::isOpen() const
{
    return m_worker->isPortOpen();
}

void SerialConnectionInterface::setLogFilter(const QVector<uint8_t> &filter)
{
    if (m_thread.isRunning())
        QMetaObject::invokeMethod(m_worker, "setLogFilter", Qt::BlockingQueuedConnection,
                                  Q_ARG(QVector<uint8_t>, filter));
    else
        m_worker->setLogFilter(filter);
}

QString SerialConnectionInterface::portName() const
{
    return m_address;
}

int SerialConnectionInterface::pendingCount() const
{
    return m_worker->queuedCount();
}

QString SerialConnectionInterface::errorString() const
{
    // Written by the worker before its blocking connectToDevice returned.
    return m_worker->openError();
}

int SerialConnectionInterface::transmitTimeout() const
{
    return m_worker->transmitInterval();
}

void SerialConnectionInterface::setTimingsForTesting(int transmitTimeoutMs, int sendGapMs)
{
    if (m_thread.isRunning())
        QMetaObject::invokeMethod(m_worker, "setTimings", Qt::BlockingQueuedConnection,
                                  Q_ARG(int, transmitTimeoutMs), Q_ARG(int, sendGapMs));
    else
        m_worker->setTimings(transmitTimeoutMs, sendGapMs);
}

void SerialConnectionInterface::packetReceived(const Packet &packet, const ResponseCb &cb)
{
    onPacketReceived(packet, cb);
}

#include "firmwareuploadmanager.h"

#include "firmwareprogress.h"
#include "frame.h"

#include <QDebug>
#include <QMetaMethod>
#include <QPointer>

#include <algorithm>

FirmwareUploadManager *FirmwareUploadManager::instance()
{
    static FirmwareUploadManager *manager = new FirmwareUploadManager;
    return manager;
}

FirmwareUploadManager::FirmwareUploadManager(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<FirmwareUploadTypes::uploadStatus_t>("FirmwareUploadManager::uploadStatus_t");
    qRegisterMetaType<uploadError_t>("FirmwareUploadManager::uploadError_t");
    registerFirmwareMetaTypes();
    registerPacketMetaTypes();
    m_waitTimer.setSingleShot(true);
    m_pingTimer.setSingleShot(true);
    connect(&m_waitTimer, &QTimer::timeout, this, &FirmwareUploadManager::onWaitTimeout);
    connect(&m_pingTimer, &QTimer::timeout, this, &FirmwareUploadManager::uploadPing);
}

int FirmwareUploadManager::maxLineLengthFor(ConnectionType type)
{
    // A line travels after the packet type byte.
    switch (type) {
    case Serial:
    case Bluetooth:
        return MaxSerialPacketSize - 1;
    case Kastrel:
        return MaxKastrelPacketSize - 1;
    default:
        return DefaultMaxLineLength;
    }
}

void FirmwareUploadManager::send(const QByteArray &data)
{
    const quint32 request = ++m_lastRequest;
    QPointer<FirmwareUploadManager> self(this);
    emit sendPacket(data, [self, request](const Packet &reply) {
        return self ? self->onReply(request, reply) : false;
    });
}

void FirmwareUploadManager::upload(const pVORL &firmware)
{
    if (!firmware) {
        qCritical().noquote() << tr("Firmware object not created");
        return;
    }
    const int longest = firmware->longestLine();
    if (longest > m_maxLineLength) {
        qWarning().noquote() << tr("Firmware line of %1 bytes is longer than the link carries (%2 bytes)")
                                    .arg(longest)
                                    .arg(m_maxLineLength);
        emit uploadError(DataError);
        return;
    }
    stopLines();
    m_pingTimer.stop();
    m_waitTimer.stop();
    m_writing = false;
    m_firmware = firmware;
    m_pending = firmware->lines();
    m_total = m_pending.size();
    send(QByteArray(1, char(PT_FW_UPLOAD_START)) + firmware->rawHeader());
    emit uploadStarted(firmware);
    m_uploading = true;
}

void FirmwareUploadManager::reset()
{
    stopLines();
    m_pingTimer.stop();
    m_waitTimer.stop();
    ++m_lastRequest; // whatever is in flight is answered to nobody
    m_writing = false;
    m_pending.clear();
    m_total = 0;
    releaseFirmware();
    emit uploadStatus(Stopped, 0);
    m_uploading = false;
}

void FirmwareUploadManager::releaseFirmware()
{
    m_firmware.reset();
}

void FirmwareUploadManager::startUpload()
{
    onReady("startUpload");
}

void FirmwareUploadManager::onReady(const char *source)
{
    if (!m_firmware) {
        qDebug().noquote() << QStringLiteral("Upload ready (%1) with no upload: dropped").arg(QLatin1String(source));
        return;
    }
    if (m_writing) {
        qDebug().noquote() << QStringLiteral("Upload ready (%1) again: dropped").arg(QLatin1String(source));
        return;
    }
    m_writing = true;
    m_lineProgress = -1;
    m_waitTimer.stop();
    m_pingTimer.stop();
    sendNextBlock();
    emit uploadStatus(Writing, 100);
}

void FirmwareUploadManager::sendNextBlock()
{
    if (!m_firmware)
        return;
    if (m_pending.isEmpty()) {
        send(QByteArray(1, char(PT_FW_UPLOAD_END)));
        return;
    }
    if (!sendLines())
        send(QByteArray(1, char(PT_FW_UPLOAD_BODY)) + m_pending.constFirst());
    reportLines();
}

void FirmwareUploadManager::reportLines()
{
    // Said once per percent, not once per line.
    const unsigned progress = shareDone(quint32(m_total), quint32(m_pending.size()));
    if (int(progress) != m_lineProgress) {
        m_lineProgress = int(progress);
        emit uploadProgress(progress);
    }
}

bool FirmwareUploadManager::sendLines()
{
    if (!isSignalConnected(QMetaMethod::fromSignal(&FirmwareUploadManager::sendRun)))
        return false;
    stopLines();
    PacketRun run;
    run.packets.reserve(m_pending.size());
    for (const QByteArray &line : qAsConst(m_pending))
        run.packets.append(QByteArray(1, char(PT_FW_UPLOAD_BODY)) + line);
    run.acceptType = PT_FW_UPLOAD_BODY_ACK;
    // Often enough for every percent, without a turn of this thread per line.
    run.reportEvery = std::max(1, m_total / 200);
    m_linesCancelled = run.cancelled;
    const quint32 request = ++m_lastRequest;
    const int sent = m_pending.size();
    QPointer<FirmwareUploadManager> self(this);
    // The lines answered so far leave the pending ones, as if each had been sent on its own.
    const auto dropAnswered = [self, sent](int answered) {
        while (self->m_pending.size() > sent - answered)
            self->m_pending.removeFirst();
    };
    run.progress = [self, request, dropAnswered](int answered) {
        if (!self || request != self->m_lastRequest)
            return;
        dropAnswered(answered);
        self->reportLines();
    };
    run.done = [self, request, dropAnswered](const Packet &reply, int answered) {
        if (!self || request != self->m_lastRequest)
            return;
        self->m_linesCancelled.reset();
        dropAnswered(answered);
        if (replyTypeOf(reply) == PT_FW_UPLOAD_BODY_ACK)
            self->sendNextBlock();
        else
            self->onReply(request, reply);
    };
    emit sendRun(run);
    return true;
}

void FirmwareUploadManager::stopLines()
{
    if (m_linesCancelled)
        m_linesCancelled->store(true);
    m_linesCancelled.reset();
}

void FirmwareUploadManager::uploadPing()
{
    if (!m_firmware)
        return;
    send(QByteArray(1, char(PT_FW_UPLOAD_PING)));
}

void FirmwareUploadManager::onBusy(const Packet &reply, uploadStatus_t stage)
{
    if (const std::optional<quint32> remaining = busyAmount(reply)) {
        if (m_busyTotal == 0)
            m_busyTotal = *remaining;
        m_busyProgress = shareDone(m_busyTotal, *remaining);
        emit uploadProgress(m_busyProgress);
    }
    m_pingTimer.start(m_timings.uploadPing);
    emit uploadStatus(stage, m_busyProgress);
}

void FirmwareUploadManager::fail(uploadError_t error)
{
    stopLines();
    m_pingTimer.stop();
    m_waitTimer.stop();
    emit uploadError(error);
    qCritical().noquote() << QStringLiteral("goto deleteFirmware;");
    m_uploading = false;
    releaseFirmware();
}

bool FirmwareUploadManager::onReply(quint32 request, const Packet &reply)
{
    const quint8 type = replyTypeOf(reply);
    if (request != m_lastRequest) {
        qDebug().noquote() << QStringLiteral("Reply %1 to an earlier upload request: dropped")
                                  .arg(QLatin1String(packetTypeName(type)));
        return false;
    }
    if (!m_firmware) {
        qCritical().noquote() << tr("Firmware object not created");
        return false;
    }
    if (type != m_previousReplyType) {
        m_busyTotal = 0;
        m_busyProgress = 0;
        m_previousReplyType = type;
    }

    switch (type) {
    case PT_FW_UPLOAD_START_ACK:
        if (m_waitForReady)
            m_waitTimer.start(m_timings.readyWait);
        else
            m_pingTimer.start(m_timings.uploadPing);
        return true;
    case PT_FW_ERASE_BUSY:
        onBusy(reply, Erasing);
        return true;
    case PT_FW_CHECK_ERASE_BUSY:
        onBusy(reply, CheckingErase);
        return true;
    case PT_FW_UPLOAD_READY:
        onReady("reply");
        return true;
    case PT_FW_UPLOAD_BODY_ACK:
        if (m_pending.isEmpty()) {
            qWarning().noquote() << QStringLiteral("Firmware empty!");
            return true;
        }
        m_pending.removeFirst();
        sendNextBlock();
        return true;
    case PT_FW_UPLOAD_END_ACK:
        m_pingTimer.start(m_waitForReady ? m_timings.endAckPing : m_timings.uploadPing);
        return true;
    case PT_FW_VERIFY_BUSY:
        onBusy(reply, Verifying);
        return true;
    case PT_FW_VERIFY_ACK: {
        const Header header = m_firmware->header();
        emit uploadStatus(Finished, 100);
        emit uploadFinished(header);
        releaseFirmware();
        m_uploading = false;
        return true;
    }
    case PT_FW_UPLOAD_VERIFY_ERROR:
        emit uploadError(VerifyError);
        return true;
    case PT_FW_UPLOAD_ERASE_ERROR:
        fail(EraseError);
        return true;
    case PT_FW_UPLOAD_CHECK_ERASE_ERROR:
        fail(CheckEraseError);
        return true;
    case PT_FW_UPLOAD_BODY_ERROR:
        fail(WriteError);
        return true;
    case PT_FW_UPLOAD_DATA_ERROR:
        fail(DataError);
        return true;
    case PT_FW_UPLOAD_TASK_CREATE_ERROR:
        qWarning().noquote() << QStringLiteral("Task create error!");
        fail(TaskCreateError);
        return true;
    default:
        uploadPing();
        return false;
    }
}

void FirmwareUploadManager::onWaitTimeout()
{
    emit uploadError(WriteError);
    m_uploading = false;
}

void FirmwareUploadManager::setAutoUpdate(bool on)
{
    QPointer<FirmwareUploadManager> self(this);
    emit sendPacket(QByteArray(1, char(PT_AUTO_UPDATES_EN)) + char(on ? 1 : 0), [self, on](const Packet &reply) {
        if (!self)
            return false;
        const quint8 type = replyTypeOf(reply);
        if (type == PT_AUTO_UPDATES_EN_ACK) {
            self->m_autoUpdateOn = on && reply.data.size() > 1 && reply.data.at(1) != 0;
            qDebug().noquote() << QStringLiteral("Auto update %1")
                                      .arg(self->m_autoUpdateOn ? QStringLiteral("ON") : QStringLiteral("OFF"));
            if (self->m_autoUpdateOn)
                emit self->autoUpdateSwitchOn();
            return true;
        }
        self->m_autoUpdateOn = on;
        qWarning().noquote() << tr("Auto update switch on/off error. Packet type: %1").arg(int(qint8(type)));
        return false;
    });
}

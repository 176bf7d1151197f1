#pragma once

#include "connectiontypes.h"
#include "firmwaretimings.h"
#include "firmwaretypes.h"
#include "packet.h"
#include "vorl.h"

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <memory>

// Uploads firmware containers into the master, one data line per packet,
// stop-and-wait: each request's reply decides the next step; the stages the
// master takes a while over are polled. One manager for the whole process,
// made on first use; it talks to the master only through sendPacket, which the
// main window connects to the current link.
//
// Only the reply to the last request sent is acted on: a reply to an earlier
// one (a ping overtaken by the master's own readiness, a request of an upload
// since replaced or reset) is logged and dropped, so one request at most is
// ever in flight.
class FirmwareUploadManager : public QObject, public FirmwareUploadTypes
{
    Q_OBJECT
public:
    enum uploadError_t : int {
        EraseError = 0,
        CheckEraseError = 1,
        WriteError = 2,
        DataError = 3,
        TaskCreateError = 4,
        VerifyError = 5,
    };
    Q_ENUM(uploadError_t)

    // Lines up to this long fit every link's frame.
    static constexpr int DefaultMaxLineLength = 246;

    static FirmwareUploadManager *instance();
    explicit FirmwareUploadManager(QObject *parent = nullptr);

    void setTimings(const FirmwareTimings &timings) { m_timings = timings; }
    FirmwareTimings timings() const { return m_timings; }

    // Starts an upload; replaces any held firmware and pending lines. A
    // container with a line longer than maxLineLength() is refused with
    // uploadError(DataError) and nothing is sent.
    void upload(const pVORL &firmware);
    // Sends the master's automatic update switch.
    void setAutoUpdate(bool on);
    // Waits for the master's own readiness after the start instead of pinging.
    void setWaitForReady(bool on) { m_waitForReady = on; }
    bool waitForReady() const { return m_waitForReady; }
    // The longest data line the link in use can carry in one packet.
    void setMaxLineLength(int bytes) { m_maxLineLength = bytes; }
    int maxLineLength() const { return m_maxLineLength; }
    static int maxLineLengthFor(ConnectionType type);

    // True while an image is being uploaded into the master.
    bool isUploading() const { return m_uploading; }
    // The master's automatic update switch as last reported.
    bool isAutoUpdateOn() const { return m_autoUpdateOn; }
    // The firmware held (null when none).
    pVORL firmware() const { return m_firmware; }
    // True while a ping waits for its time.
    bool isPingPending() const { return m_pingTimer.isActive(); }
    // Lines not yet acknowledged.
    int pendingLines() const { return m_pending.size(); }

public slots:
    // Forgets the held firmware and the upload state; cancels pending pings
    // and the wait for readiness. Emits uploadStatus(Stopped, 0).
    void reset();
    // The master reported on its own that it is ready to take the lines.
    // Starts the writing once per upload; any later readiness is dropped.
    void startUpload();
    // Sends the next line, or the end of the lines when none is pending.
    void sendNextBlock();
    void uploadPing();

signals:
    void sendPacket(QByteArray data, ResponseCb cb);
    // The lines go as one run where a link takes it (connected), else one by one.
    void sendRun(PacketRun run);
    void uploadStarted(pVORL firmware);
    void uploadFinished(Header header);
    void uploadError(FirmwareUploadManager::uploadError_t error);
    // Percent done: of a busy stage at each busy reply, of the lines when it changes.
    void uploadProgress(unsigned progress);
    void uploadStatus(FirmwareUploadTypes::uploadStatus_t status, unsigned progress);
    void autoUpdateSwitchOn();

private:
    void send(const QByteArray &data);
    bool onReply(quint32 request, const Packet &reply);
    // Sends the lines still pending as one run; false where no link takes runs.
    bool sendLines();
    void stopLines();
    void reportLines();
    void onReady(const char *source);
    void onBusy(const Packet &reply, uploadStatus_t stage);
    void fail(uploadError_t error);
    void onWaitTimeout();
    void releaseFirmware();

    FirmwareTimings m_timings;
    pVORL m_firmware;
    int m_total = 0;
    QList<QByteArray> m_pending;
    bool m_uploading = false;
    bool m_autoUpdateOn = false;
    bool m_waitForReady = false;
    bool m_writing = false; // the master's readiness was taken for this upload
    int m_lineProgress = -1; // percent of the lines last reported
    int m_maxLineLength = DefaultMaxLineLength;
    QTimer m_waitTimer;
    QTimer m_pingTimer;
    quint32 m_lastRequest = 0; // id of the request whose reply is awaited
    std::shared_ptr<std::atomic<bool>> m_linesCancelled; // of the run of lines in flight
    quint8 m_previousReplyType = 0;
    quint32 m_busyTotal = 0;
    unsigned m_busyProgress = 0;
};

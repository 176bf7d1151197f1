#pragma once

// A scripted master on the far side of a pseudo-terminal, for link tests and benchmarks.
//
//   FakeMaster master;                                  // opens the pty pair, starts its thread
//   master.answer(PT_HUBRO_INFO, FakeMaster::Reply(statusPacket));
//   link.connectToDevice(master.portName());            // the slave path, e.g. /dev/pts/7
//   QTRY_COMPARE(master.receivedCount(PT_HUBRO_INFO), 1);
//
// Requests are read on the master side by a thread of its own (poll()), parsed as serial
// frames or wired-bus envelopes (layout()), logged, and answered from the script: a one-shot
// queue per packet type first, then the standing rule of the type; no rule means silence.
// Every reply echoes the request's sequence byte unless told otherwise, and can be delayed,
// duplicated, split across writes, preceded by garbage or replaced by PT_TRY_AGAIN_LATER.
// Both directions can be paced at a baud rate (10 bits a byte): a request counts as arrived
// when its last byte would have crossed the wire (requests back to back queue up), and a
// reply of k bytes, due no earlier than that, is written in one go when its last byte would
// have arrived.
// All public functions are thread-safe. The destructor stops the thread and closes both ends.

#include <QByteArray>
#include <QHash>
#include <QMetaType>
#include <QString>
#include <QVector>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class FakeMaster
{
public:
    enum class Layout {
        Serial,     // 0x22 frames
        KastrelAt4, // address, count, 0x00, 0x07, frame, crc8
        KastrelAt3, // address, count, 0x00, frame, crc8 (what older bus discovery reads)
    };

    struct Reply
    {
        Reply() = default;
        explicit Reply(const QByteArray &packet) : packet(packet) {}

        QByteArray packet;        // type byte first; empty: this reply is dropped (nothing written)
        int delayMs = 0;          // after the request (or after the previous reply of the same request)
        int copies = 1;           // 2: the same reply written twice (duplicate)
        int chunkSize = 0;        // > 0: written in chunks of this many bytes ...
        int chunkGapMs = 2;       // ... this far apart
        QByteArray garbageBefore; // bytes written in front of the frame, in the same write
        int sequence = -1;        // sequence byte to use; -1 echoes the request's
        bool badChecksum = false; // spoil the frame's check byte (or the envelope's CRC)

        static Reply dropped() { return Reply(); }
        static Reply tryAgainLater(int delayMs = 0)
        {
            Reply r(QByteArray(1, char(0xFE)));
            r.delayMs = delayMs;
            return r;
        }
    };

    // One request frame read from the program.
    struct Received
    {
        QByteArray raw;          // the frame, or the whole envelope on the wired bus
        QByteArray packet;       // type byte first, without the check byte
        uint8_t sequence = 0;
        uint8_t busAddress = 0;  // wired bus only
        qint64 receivedNs = 0;   // steady clock
        qint64 replyWrittenNs = 0; // taken just before the write of its last reply's last bytes; 0 before
        // The same frame again right after itself: the program's re-transmission
        // (a reply it waited too long for, e.g. on a busy machine), not a new request.
        bool resent = false;
        uint8_t type() const { return packet.isEmpty() ? 0 : uint8_t(packet.at(0)); }
    };

    // Full control over the answers (runs on the master's thread); overrides the rules when set.
    using Responder = std::function<QVector<Reply>(const Received &)>;

    explicit FakeMaster(Layout layout = Layout::Serial, uint8_t busAddress = 0x7F);
    ~FakeMaster();
    FakeMaster(const FakeMaster &) = delete;
    FakeMaster &operator=(const FakeMaster &) = delete;

    bool isValid() const { return m_masterFd >= 0; }
    QString portName() const { return m_portName; } // slave path for QSerialPort
    Layout layout() const { return m_layout; }
    uint8_t busAddress() const { return m_busAddress; }

    // Standing rule: every request of `type` gets these replies, in order.
    void answer(uint8_t type, const Reply &reply) { answer(type, QVector<Reply>{reply}); }
    void answer(uint8_t type, const QVector<Reply> &replies);
    // One-shot: the next request of `type` gets these replies; queued ones are used in order.
    void answerOnce(uint8_t type, const QVector<Reply> &replies);
    void silence(uint8_t type); // removes rule and queued one-shots of the type
    void setResponder(Responder responder);
    // When false (default), envelopes to another bus address are logged but not answered.
    void setAnswerAnyAddress(bool any);
    // 0: no pacing.
    void setBaudRate(int baud);
    // Puts the master's thread on the lowest real-time priority, as the link's own thread
    // is, so a busy machine delays it no more than it delays a real master; false where the
    // system refuses (then it stays as it was).
    bool raiseThreadPriority();

    // Output speed the program set on the line (the pseudo-terminal keeps any rate); -1 unknown.
    qint32 lineBaudRate() const;

    // Writes bytes as they are (unsolicited frames, garbage), after `delayMs`.
    void writeRaw(const QByteArray &bytes, int delayMs = 0);

    // Frame or envelope of a packet in this master's layout.
    QByteArray wrap(uint8_t sequence, const QByteArray &packet, bool badChecksum = false) const;

    QVector<Received> received() const;
    int receivedCount() const;
    int receivedCount(uint8_t type) const;
    // Requests of `type`, each once: re-transmissions left out.
    int requestCount(uint8_t type) const;
    qint64 bytesReceived() const;
    void clearLog();
    // Blocks the calling thread until `count` frames were received or `timeoutMs` passed.
    bool waitForReceived(int count, int timeoutMs) const;

    static qint64 nowNs();

private:
    struct Output
    {
        qint64 dueNs = 0;
        QByteArray bytes;
        int logIndex = -1;   // log entry whose replyWrittenNs is set once written
        qint64 generation = 0;
    };

    void run();
    void readInput();
    void handleRequest(Received request);
    void schedule(qint64 dueNs, const QByteArray &bytes, int logIndex);
    void wake();

    const Layout m_layout;
    const uint8_t m_busAddress;
    int m_masterFd = -1;
    int m_slaveFd = -1;
    int m_wakeFd = -1;
    QString m_portName;
    std::thread m_thread;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_receivedChanged;
    bool m_stop = false;
    QHash<uint8_t, QVector<Reply>> m_rules;
    QHash<uint8_t, std::deque<QVector<Reply>>> m_once;
    Responder m_responder;
    bool m_answerAnyAddress = false;
    int m_baud = 0;
    qint64 m_wireFreeNs = 0;   // replies: when the wire to the program is free
    qint64 m_inWireFreeNs = 0; // requests: when the wire from the program is free
    QVector<Received> m_log;
    qint64 m_bytesReceived = 0;
    qint64 m_logGeneration = 0;
    std::deque<Output> m_output; // ordered by dueNs

    // master thread only
    QByteArray m_input;
};

Q_DECLARE_METATYPE(FakeMaster::Reply)

#include "fakemaster.h"

#include "frame.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <pty.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

namespace {
constexpr qint64 NsPerMs = 1000000;
}

qint64 FakeMaster::nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

FakeMaster::FakeMaster(Layout layout, uint8_t busAddress)
    : m_layout(layout)
    , m_busAddress(busAddress)
{
    char name[256] = {};
    if (openpty(&m_masterFd, &m_slaveFd, name, nullptr, nullptr) != 0) {
        m_masterFd = m_slaveFd = -1;
        return;
    }
    termios tio{};
    if (tcgetattr(m_slaveFd, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(m_slaveFd, TCSANOW, &tio);
    }
    fcntl(m_masterFd, F_SETFL, fcntl(m_masterFd, F_GETFL) | O_NONBLOCK);
    fcntl(m_masterFd, F_SETFD, FD_CLOEXEC);
    fcntl(m_slaveFd, F_SETFD, FD_CLOEXEC);
    m_portName = QString::fromLocal8Bit(name);
    m_wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    m_thread = std::thread([this] { run(); });
}

FakeMaster::~FakeMaster()
{
    if (m_thread.joinable()) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        wake();
        m_thread.join();
    }
    for (int fd : {m_wakeFd, m_masterFd, m_slaveFd})
        if (fd >= 0)
            ::close(fd);
}

void FakeMaster::wake()
{
    const uint64_t one = 1;
    if (m_wakeFd >= 0)
        (void)!::write(m_wakeFd, &one, sizeof one);
}

void FakeMaster::answer(uint8_t type, const QVector<Reply> &replies)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_rules.insert(type, replies);
}

void FakeMaster::answerOnce(uint8_t type, const QVector<Reply> &replies)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_once[type].push_back(replies);
}

void FakeMaster::silence(uint8_t type)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_rules.remove(type);
    m_once.remove(type);
}

void FakeMaster::setResponder(Responder responder)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_responder = std::move(responder);
}

void FakeMaster::setAnswerAnyAddress(bool any)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_answerAnyAddress = any;
}

void FakeMaster::setBaudRate(int baud)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_baud = baud;
}

bool FakeMaster::raiseThreadPriority()
{
    if (!m_thread.joinable())
        return false;
    sched_param param{};
    param.sched_priority = sched_get_priority_min(SCHED_RR);
    return pthread_setschedparam(m_thread.native_handle(), SCHED_RR, &param) == 0;
}

void FakeMaster::writeRaw(const QByteArray &bytes, int delayMs)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        schedule(nowNs() + delayMs * NsPerMs, bytes, -1);
    }
    wake();
}

QByteArray FakeMaster::wrap(uint8_t sequence, const QByteArray &packet, bool badChecksum) const
{
    QByteArray frame = buildSerialFrame(sequence, packet);
    if (m_layout == Layout::Serial) {
        if (badChecksum && !frame.isEmpty())
            frame[frame.size() - 1] = char(frame.at(frame.size() - 1) ^ 0x5A);
        return frame;
    }
    QByteArray envelope;
    envelope.append(char(m_busAddress));
    envelope.append('\0'); // count, below
    envelope.append('\0');
    if (m_layout == Layout::KastrelAt4)
        envelope.append('\x07');
    envelope.append(frame);
    envelope[1] = char(envelope.size());
    uint8_t crc = crc8(0, reinterpret_cast<const uint8_t *>(envelope.constData()), uint8_t(envelope.size()));
    if (badChecksum)
        crc ^= 0x5A;
    envelope.append(char(crc));
    return envelope;
}

QVector<FakeMaster::Received> FakeMaster::received() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_log;
}

int FakeMaster::receivedCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_log.size();
}

int FakeMaster::receivedCount(uint8_t type) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    int count = 0;
    for (const Received &r : m_log)
        count += r.type() == type ? 1 : 0;
    return count;
}

int FakeMaster::requestCount(uint8_t type) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    int count = 0;
    for (const Received &r : m_log)
        count += r.type() == type && !r.resent ? 1 : 0;
    return count;
}

qint64 FakeMaster::bytesReceived() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bytesReceived;
}

void FakeMaster::clearLog()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_log.clear();
    ++m_logGeneration;
}

bool FakeMaster::waitForReceived(int count, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_receivedChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                      [&] { return m_log.size() >= count; });
}

// Called with m_mutex held.
void FakeMaster::schedule(qint64 dueNs, const QByteArray &bytes, int logIndex)
{
    if (m_baud > 0) {
        const qint64 start = std::max(dueNs, m_wireFreeNs);
        dueNs = start + qint64(bytes.size()) * 10 * 1000000000LL / m_baud;
        m_wireFreeNs = dueNs;
    }
    Output out{dueNs, bytes, logIndex, m_logGeneration};
    auto it = m_output.end();
    while (it != m_output.begin() && std::prev(it)->dueNs > dueNs)
        --it;
    m_output.insert(it, out);
}

void FakeMaster::run()
{
    bool waitWritable = false;
    for (;;) {
        timespec timeout{};
        timespec *timeoutPtr = nullptr;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stop)
                return;
            if (!m_output.empty() && !waitWritable) {
                const qint64 wait = std::max<qint64>(0, m_output.front().dueNs - nowNs());
                timeout.tv_sec = wait / 1000000000LL;
                timeout.tv_nsec = wait % 1000000000LL;
                timeoutPtr = &timeout;
            }
        }
        pollfd fds[2] = {{m_masterFd, short(POLLIN | (waitWritable ? POLLOUT : 0)), 0}, {m_wakeFd, POLLIN, 0}};
        const int n = ppoll(fds, 2, timeoutPtr, nullptr);
        if (n < 0 && errno != EINTR)
            return;
        if (fds[1].revents & POLLIN) {
            uint64_t value;
            (void)!::read(m_wakeFd, &value, sizeof value);
        }
        if (fds[0].revents & POLLIN)
            readInput();
        waitWritable = false;
        // Write every due output; a partial write waits for POLLOUT.
        for (;;) {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (m_output.empty() || m_output.front().dueNs > nowNs())
                break;
            Output &out = m_output.front();
            // Stamped before the write: a thread descheduled after it would
            // stamp the reply later than the program could have read it.
            const qint64 writeNs = nowNs();
            const ssize_t written = ::write(m_masterFd, out.bytes.constData(), size_t(out.bytes.size()));
            if (written < 0) {
                if (errno == EAGAIN || errno == EINTR) {
                    waitWritable = errno == EAGAIN;
                    break;
                }
                m_output.pop_front(); // the slave side is gone: nothing to deliver to
                continue;
            }
            if (written < out.bytes.size()) {
                out.bytes.remove(0, int(written));
                waitWritable = true;
                break;
            }
            if (out.logIndex >= 0 && out.generation == m_logGeneration && out.logIndex < m_log.size())
                m_log[out.logIndex].replyWrittenNs = writeNs;
            m_output.pop_front();
        }
    }
}

void FakeMaster::readInput()
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_masterFd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        m_input.append(buffer, int(n));
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bytesReceived += n;
    }
    const qint64 now = nowNs();
    QVector<Received> requests;
    if (m_layout == Layout::Serial) {
        const FrameScan scan = scanFrames(m_input);
        for (const ScannedFrame &frame : scan.frames) {
            Received r;
            r.raw = m_input.mid(frame.offset, frame.size());
            r.packet = frame.data.left(frame.data.size() - 1);
            r.sequence = frame.sequence;
            r.receivedNs = now;
            requests.append(r);
        }
        m_input = scan.rest;
    } else if (!m_input.isEmpty()) {
        // Any address is read; whether it is answered is decided below.
        const EnvelopeUnwrap unwrap = unwrapEnvelopes(uint8_t(m_input.at(0)), m_input);
        int offset = 0;
        for (const EnvelopeContent &envelope : unwrap.envelopes) {
            const int size = envelope.body.size() + 4;
            for (const ScannedFrame &frame : envelope.scan.frames) {
                Received r;
                r.raw = m_input.mid(offset, size);
                r.packet = frame.data.left(frame.data.size() - 1);
                r.sequence = frame.sequence;
                r.busAddress = uint8_t(m_input.at(offset));
                r.receivedNs = now;
                requests.append(r);
            }
            offset += size;
        }
        m_input = unwrap.rest;
    }
    for (const Received &r : requests)
        handleRequest(r);
}

void FakeMaster::handleRequest(Received request)
{
    Responder responder;
    int logIndex;
    bool answerAny;
    qint64 arrivedNs = request.receivedNs;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        request.resent = !m_log.isEmpty() && m_log.constLast().raw == request.raw;
        if (m_baud > 0) {
            // The request's last byte arrives when the wire has carried it.
            arrivedNs = std::max(arrivedNs, m_inWireFreeNs) + qint64(request.raw.size()) * 10 * 1000000000LL / m_baud;
            m_inWireFreeNs = arrivedNs;
        }
        logIndex = m_log.size();
        m_log.append(request);
        responder = m_responder;
        answerAny = m_answerAnyAddress;
    }
    m_receivedChanged.notify_all();
    if (m_layout != Layout::Serial && !answerAny && request.busAddress != m_busAddress)
        return;

    QVector<Reply> replies;
    if (responder) {
        replies = responder(request);
    } else {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto once = m_once.find(request.type());
        if (once != m_once.end() && !once->empty()) {
            replies = once->front();
            once->pop_front();
        } else {
            replies = m_rules.value(request.type());
        }
    }

    std::lock_guard<std::mutex> lock(m_mutex);
    qint64 due = arrivedNs;
    for (const Reply &reply : replies) {
        due += reply.delayMs * NsPerMs;
        if (reply.packet.isEmpty())
            continue;
        const uint8_t sequence = reply.sequence >= 0 ? uint8_t(reply.sequence) : request.sequence;
        const QByteArray frame = wrap(sequence, reply.packet, reply.badChecksum);
        for (int copy = 0; copy < reply.copies; ++copy) {
            const QByteArray bytes = (copy == 0 ? reply.garbageBefore : QByteArray()) + frame;
            if (reply.chunkSize <= 0) {
                schedule(due, bytes, logIndex);
                continue;
            }
            for (int at = 0; at < bytes.size(); at += reply.chunkSize) {
                schedule(due, bytes.mid(at, reply.chunkSize), logIndex);
                if (at + reply.chunkSize < bytes.size())
                    due += reply.chunkGapMs * NsPerMs;
            }
        }
    }
}

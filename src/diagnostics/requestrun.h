#pragma once

#include "packet.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMetaObject>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QTimer>

class DeviceItem;

// One device's progress in a polled diagnostics run; the run keeps it on the
// device item as a dynamic property while the device is in the run.
struct RequestState
{
    quint32 cycle = 0;    // request cycles begun for the device in this run
    quint32 attempts = 0; // pings sent in the current cycle
};
Q_DECLARE_METATYPE(RequestState *)

// The device's Wireloop address (its data under DeviceRole::WireloopAddress)
// as a byte, 0 when it does not read as a number.
quint8 wireloopAddressOf(const DeviceItem *device);

// What a diagnostics manager lends its run: the packets, the link and what
// becomes of the run's events.
class RequestRunClient
{
public:
    enum class Mode {
        Idle,
        Polled, // request, acknowledgement, pings until the data come; up to 3 cycles a device
        Single, // one request a device; its answer or a time-out moves on
    };

    virtual ~RequestRunClient() = default;
    // The request that begins a cycle on the device, and the ping of a polled run.
    virtual QByteArray requestPacket(DeviceItem *device) const = 0;
    virtual QByteArray pingPacket(DeviceItem *device) const = 0;
    // Hands a request to the link.
    virtual void sendRequest(const QByteArray &data, const ResponseCb &cb) = 0;
    // A reply to a request of the running run, for the device being served.
    virtual bool handleReply(const Packet &reply) = 0;
    // The request of a cycle went out.
    virtual void cycleBegun(DeviceItem *device) { Q_UNUSED(device) }
    // A device of a polled run gave up or went away while served; it has left
    // the queue. The item may be being destroyed: the pointer only compares.
    virtual void deviceFailed(DeviceItem *device) { Q_UNUSED(device) }
    // The queue became empty: the run is over.
    virtual void runEnded(Mode mode, bool afterFailure)
    {
        Q_UNUSED(mode)
        Q_UNUSED(afterFailure)
    }
};

// The request pattern the diagnostics managers share. A run serves a list of
// devices one after the other, first device first. A polled run gives each
// device a fresh RequestState, begins a cycle (cycle + 1, attempts 0, the
// request) and pings the served device whenever the ping timer runs out, up to
// the limit a cycle; after three cycles the device fails and the next begins.
// A single run sends each device one request; its answer, or the job time-out,
// moves on.
//
// The one timer is restarted by every send and by restart() (the client calls
// it for an acknowledgement, a busy or an error answer), so a request the link
// drops or an answer the client refuses still leads to a ping or a time-out;
// it stops with the run. Every request carries a callback that hands its
// replies to the client only while the run that sent it still serves that
// device: replies to an earlier run or an earlier device change nothing and
// are refused. A device destroyed in a run leaves it at once (the next device
// begins when it was served); the run never touches it again.
class DeviceRequestRun : public QObject
{
    Q_OBJECT
public:
    using Mode = RequestRunClient::Mode;

    struct Job
    {
        Mode mode = Mode::Idle;
        quint32 limit = 45;     // pings a cycle
        QString timeoutWarning; // a cycle ran out of pings
        QString failedLine;     // critical; %1 the device's number
    };

    static constexpr quint32 MaxCycles = 3;

    DeviceRequestRun(RequestRunClient *client, const char *stateProperty, QObject *parent = nullptr);
    ~DeviceRequestRun() override;

    void setPingInterval(int ms) { m_pingInterval = ms; }
    int pingInterval() const { return m_pingInterval; }
    void setJobTimeout(int ms) { m_jobTimeout = ms; }
    int jobTimeout() const { return m_jobTimeout; }
    // Changes the ping limit of the running run too.
    void setLimit(quint32 pings) { m_job.limit = pings; }

    bool isIdle() const { return m_queue.isEmpty(); }
    Mode mode() const { return m_queue.isEmpty() ? Mode::Idle : m_job.mode; }
    const QList<DeviceItem *> &queue() const { return m_queue; }
    DeviceItem *served() const { return m_queue.isEmpty() ? nullptr : m_queue.first(); }
    RequestState *state(DeviceItem *device) const { return m_entries.value(device).state; }
    // Changes with every run and every stop: a client compares it around
    // signals it emits, which may stop the run or begin another.
    quint64 id() const { return m_id; }

    // Takes the devices (nulls and repeats left out) for a new run; false when
    // none is left. The caller then calls begin().
    bool take(const QList<DeviceItem *> &devices, const Job &job);
    // Begins a cycle on the served device.
    void begin();
    // Ends the run at once: nothing is sent or reported.
    void stop();

    // For the client's reply handler, about the served device:
    void restart();  // the ping timer starts again (polled runs)
    void complete(); // it is done: the next device begins, or the run ends
    void retry();    // a new cycle on it, or its failure after the last
    void fail();     // it failed: critical line, deviceFailed, next device
    // A device leaves the run; when it was served the next one begins.
    void remove(DeviceItem *device);

    // One step of the ping timer (also reachable as the managers' ping slots).
    void pingStep();

private:
    struct Entry
    {
        RequestState *state = nullptr;
        QMetaObject::Connection watch;
    };

    void send(DeviceItem *device, const QByteArray &data);
    bool serves(quint64 id, DeviceItem *device) const;
    void remove(DeviceItem *device, bool destroyed);
    void forget(DeviceItem *device, bool destroyed);
    void dropServed();
    void next(bool afterFailure);
    void clearQueue();

    RequestRunClient *m_client;
    QByteArray m_property;
    QList<DeviceItem *> m_queue;
    QHash<DeviceItem *, Entry> m_entries;
    Job m_job;
    QTimer m_timer;
    quint64 m_id = 0;
    int m_pingInterval = 1000;
    int m_jobTimeout = 7000;
};

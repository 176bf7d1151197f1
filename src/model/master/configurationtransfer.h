#pragma once

#include "packet.h"

#include <QObject>
#include <QTimer>

#include <functional>

// The request chain of a configuration export or import: one request at a
// time, each reply callback tied to the latest request, and a time-out that
// ends the run when a request gets no accepted reply.
class TransferChain : public QObject
{
    Q_OBJECT
public:
    explicit TransferChain(QObject *parent);

    // Longer than the link's own give-up time (six transmissions of up to
    // 1000 ms each), so a lost link is reported by the link first.
    static constexpr int DefaultReplyTimeout = 15000;
    // For requests made from now on; tests shorten it. 0 or less restores the default.
    static void setReplyTimeout(int ms);
    static int replyTimeout();

    void begin();
    // Ends the run: the time-out stops and replies still to come are ignored.
    void stop();
    bool isRunning() const { return m_running; }

    // Starts the time-out of a new request and returns its callback. The
    // handler runs for the reply while the run goes on and no newer request
    // was made; when it does not accept the reply the time-out keeps running.
    ResponseCb request(std::function<bool(const Packet &)> handler);

signals:
    void timedOut();

private:
    QTimer m_timer;
    quint64 m_generation = 0;
    bool m_running = false;
};

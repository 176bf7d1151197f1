#include "configurationtransfer.h"

#include <QPointer>

namespace {
int replyTimeoutMs = TransferChain::DefaultReplyTimeout;
}

TransferChain::TransferChain(QObject *parent) : QObject(parent)
{
    registerPacketMetaTypes();
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_running = false;
        emit timedOut();
    });
}

void TransferChain::setReplyTimeout(int ms)
{
    replyTimeoutMs = ms > 0 ? ms : DefaultReplyTimeout;
}

int TransferChain::replyTimeout()
{
    return replyTimeoutMs;
}

void TransferChain::begin()
{
    m_running = true;
}

void TransferChain::stop()
{
    m_running = false;
    m_timer.stop();
    ++m_generation;
}

ResponseCb TransferChain::request(std::function<bool(const Packet &)> handler)
{
    const quint64 generation = ++m_generation;
    m_timer.start(replyTimeoutMs);
    // The callback may come after the owner is gone (deleted with the master item).
    QPointer<TransferChain> self(this);
    return [self, generation, handler](const Packet &reply) {
        if (!self || !self->m_running || self->m_generation != generation)
            return false;
        const bool accepted = handler(reply);
        if (accepted && self && self->m_generation == generation)
            self->m_timer.stop();
        return accepted;
    };
}

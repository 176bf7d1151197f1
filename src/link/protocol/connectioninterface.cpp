#include "connectioninterface.h"

#include <QPointer>

#include <algorithm>

std::atomic<uint8_t> tetherSequence{0};

ConnectionInterface::ConnectionInterface(QObject *parent)
    : QObject(parent)
{
    registerPacketMetaTypes();
    tetherSequence = 0;
}

ConnectionInterface::~ConnectionInterface() = default;

void ConnectionInterface::onPacketReceived(const Packet &packet, const ResponseCb &cb)
{
    if (cb)
        cb(packet);
    else
        emit unsolicitedPacket(packet);
}

void ConnectionInterface::sendRun(const PacketRun &run)
{
    if (!run.packets.isEmpty())
        sendRunPacket(std::make_shared<PacketRun>(run), 0);
}

void ConnectionInterface::sendRunPacket(const std::shared_ptr<PacketRun> &run, int index)
{
    const QPointer<ConnectionInterface> self(this);
    sendPacket(run->packets.at(index), [self, run, index](const Packet &reply) {
        if (run->cancelled->load())
            return true;
        const bool accepted = !reply.data.isEmpty() && uint8_t(reply.data.at(0)) == run->acceptType;
        const int answered = accepted ? index + 1 : index;
        if (accepted && answered < run->packets.size() && self) {
            if (run->progress && answered % std::max(1, run->reportEvery) == 0)
                run->progress(answered);
            if (!run->cancelled->load())
                self->sendRunPacket(run, answered);
        } else if (run->done) {
            run->done(reply, answered);
        }
        return true;
    });
}

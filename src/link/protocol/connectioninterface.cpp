#include "connectioninterface.h"

#include <QPointer>

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
        const PacketRunStep step = packetRunStep(*run, index, reply.data.isEmpty() ? 0 : uint8_t(reply.data.at(0)));
        if (step.sendNext && self) {
            if (step.report && run->progress)
                run->progress(step.answered);
            if (!run->cancelled->load())
                self->sendRunPacket(run, step.answered);
        } else if (run->done) {
            run->done(reply, step.answered);
        }
        return true;
    });
}

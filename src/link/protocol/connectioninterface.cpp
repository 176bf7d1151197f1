#include "connectioninterface.h"

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

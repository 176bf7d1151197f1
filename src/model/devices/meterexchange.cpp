#include "meterexchange.h"

#include "messageboxes.h"

#include <QCoreApplication>
#include <QDebug>

namespace MeterExchange {

QByteArray counterRequest(quint8 deviceId)
{
    return packetBytes({PT_GET_RFADDITIONAL_DATA, deviceId});
}

QByteArray keepAlivePayload()
{
    return packetBytes({0x00, 0x05, 0x01, 0x01, 0x01});
}

QByteArray counterBlock(const Packet &reply, int length, int address)
{
    if (reply.data.size() < 2 + length) {
        qWarning().noquote() << QStringLiteral("%1 counter reply too short: %2 bytes, %3 expected")
                                    .arg(address)
                                    .arg(reply.data.size())
                                    .arg(2 + length);
        return QByteArray();
    }
    return reply.data.mid(2, length);
}

quint32 le32(const QByteArray &bytes, int at)
{
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | (at + i < bytes.size() ? quint8(bytes.at(at + i)) : 0u);
    return value;
}

QByteArray le32Bytes(quint32 value)
{
    return packetBytes({quint8(value), quint8(value >> 8), quint8(value >> 16), quint8(value >> 24)});
}

int askPowerSave(const QString &informativeText, QMessageBox::StandardButtons buttons,
                 QMessageBox::StandardButton renamed, const QString &renamedText)
{
    return askWarning(QCoreApplication::translate("MeterExchange", "Warning! Device is in the powersave mode!"),
                      informativeText, QCoreApplication::translate("MeterExchange", "Warning!"), buttons, renamed,
                      renamedText);
}

} // namespace MeterExchange

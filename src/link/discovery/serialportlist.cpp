#include "serialportlist.h"

#include <QSerialPortInfo>

namespace {
SerialPortLister &currentLister()
{
    static SerialPortLister lister;
    return lister;
}
} // namespace

QList<SerialPortEntry> systemSerialPorts()
{
    QList<SerialPortEntry> ports;
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos)
        ports.append({info.portName(), info.description()});
    return ports;
}

void setSerialPortLister(SerialPortLister lister)
{
    currentLister() = std::move(lister);
}

SerialPortLister serialPortLister()
{
    const SerialPortLister &lister = currentLister();
    return lister ? lister : SerialPortLister(systemSerialPorts);
}

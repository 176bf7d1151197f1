#pragma once

#include <QList>
#include <QString>

#include <functional>

// A serial port as discovery sees it.
struct SerialPortEntry
{
    QString portName;    // what the port is opened with and reported as
    QString description; // ports of Bluetooth devices are recognised by it
};

using SerialPortLister = std::function<QList<SerialPortEntry>()>;

// The system's serial ports, in the order the platform gives them.
QList<SerialPortEntry> systemSerialPorts();

// The lister that discovery agents use unless they were given their own. Called from the
// agents' threads. An empty function restores systemSerialPorts(); for tests, where the
// system does not list pseudo-terminals.
void setSerialPortLister(SerialPortLister lister);
SerialPortLister serialPortLister();

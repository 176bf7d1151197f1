// The thirteen exported functions of the Tether library. Each library variant
// compiles this file and defines createTetherBackend(); the linker's version
// script keeps every other name inside.

#include "tether.h"
#include "tetherapi.h"

#include <type_traits>

namespace {
// The current connection object; made by makeConnection, forgotten by closeConnection.
Tether *current = nullptr;
} // namespace

extern "C" {

// A previous object not closed is no longer reachable: it goes.
Tether *makeConnection()
{
    if (current)
        current->close();
    current = new Tether(createTetherBackend());
    return current;
}

void closeConnection()
{
    Tether *done = current;
    current = nullptr;
    if (done)
        done->close();
}

int connectToDevice(const std::string *address)
{
    if (!current || !address)
        return 0;
    return current->connectToDevice(QString::fromStdString(*address));
}

void disconnectFromDevice()
{
    if (current)
        current->disconnectFromDevice();
}

int connectionState()
{
    return current ? current->connectionState() : 0;
}

int controlState()
{
    return current ? current->controlState() : 0;
}

int isConnected()
{
    return current ? current->isConnected() : 0;
}

int receivedCount()
{
    return current ? current->receivedCount() : 0;
}

void getReceived(QByteArray *out)
{
    if (current && out)
        *out = current->takeReceived();
}

int errorCount()
{
    return current ? current->errorCount() : 0;
}

void takeError(std::string *out)
{
    if (out)
        *out = current ? current->takeError().toStdString() : std::string("Connection closed");
}

void writeCharacteristic(const QByteArray *data)
{
    if (current && data)
        current->writeCharacteristic(*data);
}

int writesInProgress()
{
    return current ? current->writesInProgress() : 0;
}

} // extern "C"

static_assert(std::is_same<decltype(&makeConnection), TetherApi::MakeConnection>::value, "makeConnection");
static_assert(std::is_same<decltype(&closeConnection), TetherApi::CloseConnection>::value, "closeConnection");
static_assert(std::is_same<decltype(&connectToDevice), TetherApi::ConnectToDevice>::value, "connectToDevice");
static_assert(std::is_same<decltype(&disconnectFromDevice), TetherApi::DisconnectFromDevice>::value,
              "disconnectFromDevice");
static_assert(std::is_same<decltype(&connectionState), TetherApi::ConnectionState>::value, "connectionState");
static_assert(std::is_same<decltype(&controlState), TetherApi::ControlState>::value, "controlState");
static_assert(std::is_same<decltype(&isConnected), TetherApi::IsConnected>::value, "isConnected");
static_assert(std::is_same<decltype(&receivedCount), TetherApi::ReceivedCount>::value, "receivedCount");
static_assert(std::is_same<decltype(&getReceived), TetherApi::GetReceived>::value, "getReceived");
static_assert(std::is_same<decltype(&errorCount), TetherApi::ErrorCount>::value, "errorCount");
static_assert(std::is_same<decltype(&takeError), TetherApi::TakeError>::value, "takeError");
static_assert(std::is_same<decltype(&writeCharacteristic), TetherApi::WriteCharacteristic>::value,
              "writeCharacteristic");
static_assert(std::is_same<decltype(&writesInProgress), TetherApi::WritesInProgress>::value, "writesInProgress");

#pragma once

// The Tether library as the program sees it: the thirteen exported functions,
// looked up by these names, with these types. Texts cross as standard strings,
// bytes as QByteArray.

#include <string>

class QByteArray;
class Tether;

// State of the library's link.
enum TetherStatus : int {
    TetherDisconnected = 0,
    TetherError = 1,
    TetherConnected = 2,
    TetherDiscovered = 3,
    TetherReady = 4, // notifications of the receive characteristic are on
};

namespace TetherApi {
using MakeConnection = Tether *(*)();
using CloseConnection = void (*)();
using ConnectToDevice = int (*)(const std::string *address);
using DisconnectFromDevice = void (*)();
using ConnectionState = int (*)();    // TetherStatus
using ControlState = int (*)();       // the controller's state in Qt's numbering; 4: services discovered
using IsConnected = int (*)();
using ReceivedCount = int (*)();
using GetReceived = void (*)(QByteArray *out);
using ErrorCount = int (*)();
using TakeError = void (*)(std::string *out);
using WriteCharacteristic = void (*)(const QByteArray *data);
// Writes handed to the radio whose end (the peripheral's acknowledgement or a
// failure) has not come yet.
using WritesInProgress = int (*)();
} // namespace TetherApi

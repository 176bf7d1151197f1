#pragma once

// The master's 78-byte status record, the payload of PT_HUBRO_INFO_ACK.
// Packed, little-endian, bit fields numbered from the least significant bit.

#include <QByteArray>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "hubroInfo_t is read in place: little-endian hosts only");

#pragma pack(push, 1)

struct hubroOptions_t
{
    uint8_t fKbdLock : 1;              // keyboard locked
    uint8_t btfRFMode : 2;             // 0 normal, 1 configuration mode, 2 channel scanning
    uint8_t fPswE : 1;                 // password enabled
    uint8_t fRestricted : 1;           // Bluetooth shown as off
    uint8_t fPowerAdjustment : 1;      // transmit power adjustment enabled
    uint8_t fWireloopPowerDisable : 1; // radio part powered from the Wireloop bus disabled
    uint8_t fReserv : 1;
};

struct hubroChannels_t
{
    uint8_t btfRFCurr : 2;
    uint8_t btfRecommended : 2;
    uint8_t reserved : 2;
    uint8_t fDynamicEnable : 1;
    uint8_t fAutoEnable : 1;
};

struct hubroError_t
{
    uint8_t btfType : 2;
    uint8_t btfData : 6;
};

struct hubroChannelsAdvanced_t
{
    uint8_t btfRFCurr : 4;
    uint8_t btfRecommended : 4;
};

struct hubroModules_t
{
    uint8_t wireloop : 1;  // Wireloop bus interface
    uint8_t kastrel : 1;   // Kastrel bus interface
    uint8_t bluetooth : 1; // Bluetooth interface
    uint8_t reserved : 5;
};

struct hubroInfo_t
{
    uint8_t bDevType;                         //  0 device-type code
    uint8_t bHWVer;                           //  1 hardware version (major; minor is 0)
    uint16_t wMK1FWVer;                       //  2 radio firmware: high byte major, low byte minor
    uint16_t wMK2FWVer;                       //  4 core firmware: high byte major, low byte minor
    char szDate[14];                          //  6 core firmware build date, "Aug 28 2026"
    char szTime[14];                          // 20 core firmware build time, "hh:mm:ss"
    hubroOptions_t Options;                   // 34
    uint16_t wPowerMain;                      // 35 mV
    uint16_t wPowerBackup;                    // 37 mV
    uint16_t wPowerWireloop;                  // 39 mV
    uint8_t bJamperState;                     // 41
    uint8_t bCaseState;                       // 42 0 closed, else open
    uint32_t dwSerialId;                      // 43
    uint16_t wExchangeInterval;               // 47 units of 10 ms
    uint16_t wHeapFree;                       // 49 bytes
    hubroChannels_t Channels;                 // 51 channel, first form
    uint8_t bWireloopAddr;                    // 52 0: not assigned
    uint16_t wProtocolVer;                    // 53
    hubroError_t HUBROError;                  // 55
    uint32_t Time;                            // 56 seconds since 1970 (UTC)
    uint16_t wLogQntMsg;                      // 60 messages in the event log
    uint8_t bChannelMode;                     // 62 1 automatic, 2 dynamic, else fixed
    hubroChannelsAdvanced_t ChannelsAdvanced; // 63 channel, second form
    hubroModules_t modules;                   // 64
    uint8_t bKastrelAddr;                     // 65
    uint8_t ChannelGroup;                     // 66
    uint8_t reserved67[4];                    // 67
    uint8_t bTestRunMode;                     // 71 1 while the test run is on
    uint8_t RFNoise;                          // 72 0 and 255: no interference
    uint8_t bPowerState;                      // 73 bit 0 main good, bit 1 reserve good
    uint8_t reserved74[4];                    // 74
};

#pragma pack(pop)

static_assert(sizeof(hubroInfo_t) == 78, "hubroInfo_t must stay 78 bytes");
static_assert(offsetof(hubroInfo_t, Options) == 34, "hubroInfo_t layout");
static_assert(offsetof(hubroInfo_t, dwSerialId) == 43, "hubroInfo_t layout");
static_assert(offsetof(hubroInfo_t, wProtocolVer) == 53, "hubroInfo_t layout");
static_assert(offsetof(hubroInfo_t, modules) == 64, "hubroInfo_t layout");
static_assert(offsetof(hubroInfo_t, RFNoise) == 72, "hubroInfo_t layout");

// Device-type code of a master with a Bluetooth module.
constexpr uint8_t BluetoothMasterType = 141;

// Sets bDevType to 141 when the record's Bluetooth module bit is set.
void adjustMasterType(hubroInfo_t &info);

// The modules byte (64) as one value: bit 0 Wireloop, bit 1 Kastrel, bit 2 Bluetooth.
uint8_t modulesByte(const hubroInfo_t &info);

// Record from the first bytes of `bytes`; bytes it does not cover are zero.
hubroInfo_t hubroInfoFromBytes(const QByteArray &bytes);

// The record's 78 bytes.
QByteArray hubroInfoToBytes(const hubroInfo_t &info);

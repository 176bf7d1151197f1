#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QStringList>
#include <QVector>

#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>

// One received protocol message.
struct Packet
{
    QByteArray data;       // byte 0 the packet type, then the payload (on serial links the check byte follows)
    QByteArray request;    // the request frame this answers; empty when unsolicited
    qint64 timestamp = 0;  // milliseconds since the epoch (UTC), taken when the frame was recognised
};
Q_DECLARE_METATYPE(Packet)

// Reply callback of a request; called once on the GUI thread. Returns true when the
// packet was the reply it expected; the link ignores the result.
using ResponseCb = std::function<bool(const Packet &)>;
Q_DECLARE_METATYPE(ResponseCb)

// Packets sent one after the other: each reply of `acceptType` sends the next,
// in the link's own thread where the link has one, so a long run of requests
// does not wake the GUI thread for every reply. Its callbacks run on the GUI
// thread, like a request's, and never once `cancelled` is set.
struct PacketRun
{
    QVector<QByteArray> packets;
    uint8_t acceptType = 0;
    // progress(answered) after every so many accepted replies (never the last one's).
    int reportEvery = 1;
    std::shared_ptr<std::atomic<bool>> cancelled = std::make_shared<std::atomic<bool>>(false);
    std::function<void(int answered)> progress;
    // The reply that ended the run: the last packet's accepted one, or the first of
    // another type; `answered` counts the packets whose replies were accepted.
    std::function<void(const Packet &reply, int answered)> done;
};
Q_DECLARE_METATYPE(PacketRun)

// What a reply of `type` to packet `index` of `run` leads to: the packets whose
// replies were accepted, whether the next packet goes and whether progress is told.
struct PacketRunStep
{
    int answered = 0;
    bool sendNext = false;
    bool report = false;
};
PacketRunStep packetRunStep(const PacketRun &run, int index, uint8_t type);

// Registers "Packet", "ResponseCb", "PacketRun" and "QVector<uint8_t>" with the
// meta-type system. Safe to call any number of times from any thread.
void registerPacketMetaTypes();

// Packet-type codes (byte 0 of a packet). Unused codes have no enumerator.
enum PacketType : uint8_t {
    DUMMY = 0x00,
    PT_HUBRO_INFO = 0x01,
    PT_HUBRO_INFO_ACK = 0x02,
    PT_NEW_EVENTS_READ = 0x03,
    PT_NEW_EVENTS_READ_ACK = 0x04,
    PT_GET_DEV_INFO = 0x05,
    PT_GET_DEV_INFO_ACK = 0x06,
    PT_SET_DEV_ADDRESS = 0x07,
    PT_SET_DEV_ADDRESS_ACK = 0x08,
    PT_SET_DEV_ADDRESS_ERR_BUSY = 0x09,
    PT_SET_DEV_ADDRESS_ERR_FAIL = 0x0A,
    PT_DELETE_DEVICE = 0x0B,
    PT_DELETE_DEVICE_ACK = 0x0C,
    PT_WRITE_DEV_CONFIG = 0x0D,
    PT_WRITE_DEV_CONFIG_ACK = 0x0E,
    PT_WRITE_DEV_CONFIG_ERROR = 0x0F,
    PT_FW_UPLOAD_START = 0x10,
    PT_FW_UPLOAD_START_ACK = 0x11,
    PT_FW_UPLOAD_PING = 0x12,
    PT_FW_ERASE_BUSY = 0x13,
    PT_FW_CHECK_ERASE_BUSY = 0x14,
    PT_FW_UPLOAD_READY = 0x15,
    PT_FW_UPLOAD_ERASE_ERROR = 0x16,
    PT_FW_UPLOAD_CHECK_ERASE_ERROR = 0x17,
    PT_FW_UPLOAD_ERASE_FLASH = 0x18,
    PT_FW_UPLOAD_ERASE_FLASH_ACK = 0x19,
    PT_SET_DEV_KASTREL_ADDRESS = 0x1A,
    PT_SET_DEV_KASTREL_ADDRESS_ACK = 0x1B,
    PT_SET_DEV_KASTREL_ADDRESS_ERR_BUSY = 0x1C,
    PT_SET_DEV_KASTREL_ADDRESS_ERR_FAIL = 0x1D,
    PT_BT_DISABLE = 0x1E,
    PT_BT_DISABLE_ACK = 0x1F,
    PT_FW_UPLOAD_BODY = 0x20,
    PT_FW_UPLOAD_BODY_ACK = 0x21,
    PT_FW_UPLOAD_END = 0x22,
    PT_FW_UPLOAD_END_ACK = 0x23,
    PT_FW_VERIFY_BUSY = 0x24,
    PT_FW_VERIFY_ACK = 0x25,
    PT_FW_UPLOAD_BODY_ERROR = 0x26,
    PT_FW_UPLOAD_VERIFY_ERROR = 0x27,
    PT_FW_UPLOAD_TIMEOUT = 0x28,
    PT_FW_UPLOAD_DATA_ERROR = 0x29,
    PT_FW_UPLOAD_TASK_CREATE_ERROR = 0x2A,
    PT_FW_UPLOAD_TASK_EXIST_ERROR = 0x2B,
    PT_FW_UPLOAD_INSUFF_MEM_ERROR = 0x2C,
    PT_FW_READ_HEADER = 0x30,
    PT_FW_READ_HEADER_ACK = 0x31,
    PT_READ_KASTREL_SETTINGS = 0x32,
    PT_READ_KASTREL_SETTINGS_ACK = 0x33,
    PT_WRITE_KASTREL_SETTINGS = 0x34,
    PT_WRITE_KASTREL_SETTINGS_ACK = 0x35,
    PT_RW_KASTREL_SETTINGS_ERROR = 0x36,
    PT_USB_TEST_OK = 0x38,
    PT_FW_UPDATE_RF_RETURN = 0x3F,
    PT_FW_UPDATE_START = 0x40,
    PT_FW_UPDATE_START_ACK = 0x41,
    PT_FW_UPDATE_PING = 0x42,
    PT_FW_UPDATE_ACK = 0x43,
    PT_FW_UPDATE_BUSY = 0x44,
    PT_FW_UPDATE_TIMEOUT = 0x45,
    PT_FW_UPDATE_ERROR = 0x46,
    PT_FW_UPDATE_DATA_ERROR = 0x47,
    PT_FW_UPDATE_TASK_CREATE_ERROR = 0x48,
    PT_FW_UPDATE_CANCEL = 0x49,
    PT_FW_UPDATE_CANCEL_ACK = 0x4A,
    PT_FW_UPDATE_VERIFY = 0x4B,
    PT_FW_UPDATE_VERIFY_OK = 0x4C,
    PT_FW_UPDATE_ERASE = 0x4D,
    PT_FW_UPDATE_ERASE_OK = 0x4E,
    PT_USB_CONFIG_ENABLE_ERROR = 0x4F,
    PT_STATISTIC_READ_REQ = 0x50,
    PT_STATISTIC_READ_ACK = 0x51,
    PT_STATISTIC_READ_PING = 0x52,
    PT_STATISTIC_BUSY = 0x53,
    PT_STATISTIC_RECEIVED = 0x54,
    PT_STATISTIC_ERROR = 0x55,
    PT_STATISTIC_RESET = 0x56,
    PT_STATISTIC_RESET_ACK = 0x57,
    PT_USB_TIME_SET = 0x58,
    PT_USB_TIME_SET_ACK = 0x59,
    PT_USB_CONFIG_ENABLE = 0x5A,
    PT_USB_CONFIG_ENABLE_ACK = 0x5B,
    PT_USB_CONFIG_DISABLE = 0x5C,
    PT_USB_CONFIG_DISABLE_ACK = 0x5D,
    PT_USB_CONFIG_SET_FILTER = 0x5E,
    PT_USB_CONFIG_SET_FILTER_ACK = 0x5F,
    PT_DEVICE_EEPROM_READ_REQ = 0x60,
    PT_DEVICE_EEPROM_READ_ACK = 0x61,
    PT_DEVICE_EEPROM_READ_PING = 0x62,
    PT_DEVICE_EEPROM_READ_BUSY = 0x63,
    PT_DEVICE_EEPROM_RECEIVED = 0x64,
    PT_DEVICE_EEPROM_READ_ERROR = 0x65,
    PT_DEVICE_EEPROM_WRITE_REQ = 0x66,
    PT_DEVICE_EEPROM_WRITE_ACK = 0x67,
    PT_USB_TIME_SET_WAS_SYNC_ACK = 0x68,
    PT_DEVICE_SEND_DATA = 0x6A,
    PT_DEVICE_SEND_DATA_ACK = 0x6B,
    PT_USB_DEVICE_LOST = 0x6D,
    PT_USB_DEVICE_LOST_ACK = 0x6E,
    PT_HUBRO_EEPROM_READ = 0x70,
    PT_HUBRO_EEPROM_READ_ACK = 0x71,
    PT_HUBRO_EEPROM_WRITE = 0x72,
    PT_HUBRO_EEPROM_WRITE_ACK = 0x73,
    PT_RADIO_SNIFF = 0x74,
    PT_RADIO_SNIFF_ACK = 0x75,
    PT_GET_DEV_INFO_ADDITIONAL = 0x76,
    PT_GET_DEV_INFO_ADDITIONAL_ACK = 0x77,
    PT_SET_QNT_ACTIVE_ZONE = 0x78,
    PT_SET_QNT_ACTIVE_ZONE_ACK = 0x79,
    PT_HEADER_FIRMWARE_READ_REQ = 0x7A,
    PT_HEADER_FIRMWARE_READ_ACK = 0x7B,
    PT_HEADER_FIRMWARE_READ_PING = 0x7C,
    PT_HEADER_FIRMWARE_READ_BUSY = 0x7D,
    PT_HEADER_FIRMWARE_READ_RECEIVED = 0x7E,
    PT_HEADER_FIRMWARE_READ_ERROR = 0x7F,
    PT_GET_RFADDITIONAL_DATA = 0x80,
    PT_GET_RFADDITIONAL_DATA_ACK = 0x81,
    PT_NEARBY_HUBRO_INFO_READ_START = 0x82,
    PT_NEARBY_HUBRO_INFO_READ_START_ACK = 0x83,
    PT_NEARBY_HUBRO_INFO_READ_STOP = 0x84,
    PT_NEARBY_HUBRO_INFO_READ_STOP_ACK = 0x85,
    PT_NEARBY_HUBRO_INFO_READ = 0x86,
    PT_NEARBY_HUBRO_INFO_ACK = 0x87,
    PT_USB_SET_HUBRO_MODE = 0x88,
    PT_USB_SET_HUBRO_MODE_ACK = 0x89,
    PT_USB_CHANNEL_GROUP_SET = 0x8A,
    PT_USB_CHANNEL_GROUP_SET_ACK = 0x8B,
    PT_USB_CHANNEL_SET = 0x8C,
    PT_USB_CHANNEL_SET_ACK = 0x8D,
    PT_WIRELOOP_POWER_MODE_SET = 0x8E,
    PT_WIRELOOP_POWER_MODE_SET_ACK = 0x8F,
    PT_RSSI_TEST_READ_REQ = 0x90,
    PT_RSSI_TEST_READ_ACK = 0x91,
    PT_RSSI_TEST_READ_PING = 0x92,
    PT_RSSI_TEST_READ_BUSY = 0x93,
    PT_RSSI_TEST_READ_READY = 0x94,
    PT_RSSI_TEST_READ_ERROR = 0x95,
    PT_SET_RFADDITIONAL_DATA = 0x96,
    PT_SET_RFADDITIONAL_DATA_ACK = 0x97,
    PT_RESET_DEV_ADDRESS = 0x98,
    PT_RESET_DEV_ADDRESS_ACK = 0x99,
    PT_USB_DEBUG_STACK_INFO = 0x9A,
    PT_USB_DEBUG_STACK_INFO_ACK = 0x9B,
    PT_SET_TRASITION_TIME = 0x9C,
    PT_SET_TRASITION_TIME_ACK = 0x9D,
    PT_AUTO_UPDATES_EN = 0x9E,
    PT_AUTO_UPDATES_EN_ACK = 0x9F,
    PT_KEYBOARD_LOCK = 0xA0,
    PT_KEYBOARD_LOCK_ACK = 0xA1,
    PT_EXCHANGE_INTERVAL = 0xA2,
    PT_EXCHANGE_INTERVAL_ACK = 0xA3,
    PT_HUBRO_DEFAULT_ADDR = 0xA4,
    PT_HUBRO_DEFAULT_ADDR_ACK = 0xA5,
    PT_HUBRO_POWER_ADJUSTMENT = 0xA6,
    PT_HUBRO_POWER_ADJUSTMENT_ACK = 0xA7,
    PT_REBOOT = 0xB0,
    PT_REBOOT_ACK = 0xB1,
    PT_RESET_SETTINGS_REQ = 0xB8,
    PT_RESET_SETTINGS_ACK = 0xB9,
    PT_RESET_SETTINGS_PING = 0xBA,
    PT_RESET_SETTINGS_BUSY = 0xBB,
    PT_RESET_SETTINGS_DONE = 0xBC,
    PT_RESET_SETTINGS_FAIL = 0xBD,
    PT_REBOOT_DEVICE = 0xC0,
    PT_REBOOT_DEVICE_ACK = 0xC1,
    PT_CURRENT_STATUS_REQ = 0xC8,
    PT_CURRENT_STATUS_ACK = 0xC9,
    PT_USB_CHANNEL_SCAN_ENABLE = 0xD0,
    PT_USB_CHANNEL_SCAN_ENABLE_ACK = 0xD1,
    PT_USB_CHANNEL_SCAN_DISABLE = 0xD2,
    PT_USB_CHANNEL_SCAN_DISABLE_ACK = 0xD3,
    PT_FLASH_CHIP_INFO_READ = 0xD4,
    PT_FLASH_CHIP_INFO_READ_ACK = 0xD5,
    PT_FLASH_CHIP_INFO_NOT_FOUND = 0xD6,
    PT_FLASH_LAYOUT_READ = 0xD7,
    PT_FLASH_LAYOUT_READ_ACK = 0xD8,
    PT_FLASH_LAYOUT_NOT_FOUND = 0xD9,
    PT_FLASH_NOT_FOUND = 0xDA,
    PT_PASSWORD_REMOVE = 0xDE,
    PT_PASSWORD_REMOVE_ACK = 0xDF,
    PT_PASSWORD_LOGIN = 0xE0,
    PT_PASSWORD_LOGIN_OK = 0xE1,
    PT_PASSWORD_LOGIN_FAIL = 0xE2,
    PT_PASSWORD_ACCESS_DENIED = 0xE3,
    PT_PASSWORD_LOGOFF = 0xE4,
    PT_PASSWORD_LOGOFF_ACK = 0xE5,
    PT_PASSWORD_CHANGE = 0xE6,
    PT_PASSWORD_CHANGE_ACK = 0xE7,
    PT_PASSWORD_CHANGE_FAIL = 0xE8,
    PT_LOG_FIND_FIRST = 0xE9,
    PT_LOG_FIND_NEXT = 0xEA,
    PT_LOG_FIND_ACK = 0xEB,
    PT_LOG_FIND_NOT_FOUND = 0xEC,
    PT_LOG_CLEAR = 0xED,
    PT_LOG_CLEAR_ACK = 0xEE,
    PT_LOG_ERR = 0xEF,
    CLONE_DEV = 0xF5,
    CLONE_DEV_ACK = 0xF6,
    CLONE_DEV_ERR = 0xF7,
    PT_CORRUPTED_MESSAGE = 0xF8,
    DEBUG_DATA_SEND = 0xF9,
    DEBUG_DATA_SEND_ACK = 0xFA,
    PT_USB_DEBUG_MODE_ON = 0xFB,
    PT_USB_BUFFER_SIZE_ERROR = 0xFC,
    PT_USB_DBASE_ERROR = 0xFD,
    PT_TRY_AGAIN_LATER = 0xFE,
    PT_UNKNOWN_REQ_ERROR = 0xFF,
};

// Name of every code, "DUMMY" (0x00) to "PT_UNKNOWN_REQ_ERROR" (0xFF); unused codes are "FREE<n>".
extern const char *const packetTypeNames[256];

// The 256 names in code order, for lists the user picks packet types from.
QStringList packetTypeNameList();

inline const char *packetTypeName(uint8_t type)
{
    return packetTypeNames[type];
}

// A callback that accepts exactly the packets whose type byte is `type`; false for an empty packet.
ResponseCb matchPacketType(uint8_t type);

// Byte 0 of a packet (its type), 0 for an empty one.
uint8_t packetTypeOf(const Packet &packet);
// A request or payload from its bytes.
QByteArray packetBytes(std::initializer_list<uint8_t> bytes);
// A request that is its type byte alone.
QByteArray plainRequest(PacketType type);

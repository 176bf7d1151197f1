// libFuzzer target for the master's status and device records: the status
// answer, both record readers, the poller's device-info and event readers,
// and the state decoding of every device class over the record bytes.
// Input: byte 0 chooses (bit 0 the check byte, bit 1 the long record, bit 2
// the 32-device master asking), the rest is the answer (type byte first).

#include "deviceclasses.h"
#include "deviceinfo.h"
#include "deviceitem.h"
#include "devicepoller.h"
#include "fuzzsupport.h"
#include "hubroinfo.h"
#include "hubrostatus.h"
#include "registerdeviceclasses.h"
#include "registermasterclass.h"

#include <map>
#include <memory>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    startApplication();
    registerDeviceClasses();
    registerMasterClass();
    // One item of every type first: what the library and its plugins make
    // once, on the first use, is not taken for a leak of an input.
    for (int type = 0; type < 256; ++type) {
        deviceInfo_t info{};
        info.deviceType = quint8(type);
        std::unique_ptr<DeviceItem> item(createDeviceItem(info, false));
        if (item)
            item->updateState(info, QByteArray(64, '\x01'));
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0 || size > 1024)
        return 0;
    const bool checkByte = data[0] & 1;
    const bool longRecord = data[0] & 2;
    const uint8_t asking = (data[0] & 4) ? 0 : 40;
    const QByteArray answer = inputBytes(data + 1, size - 1);

    if (const std::optional<hubroInfo_t> record = HubroStatus::recordFromStatusAnswer(answer, asking, checkByte)) {
        const int addresses = HubroStatus::maxDeviceCount(*record);
        require(addresses == 32 || addresses == 125);
        HubroStatus::hardwareVersion(*record);
        HubroStatus::coreFirmwareVersion(*record);
        HubroStatus::radioFirmwareVersion(*record);
        HubroStatus::exchangeIntervalMs(*record);
        HubroStatus::lossDetectionSeconds(*record);
    }
    hubroInfoFromBytes(answer);

    deviceInfo_t info{};
    if (deviceInfoFromBytes(answer, 1, &info))
        require(deviceInfoToBytes(info) == answer.mid(1, DeviceInfoSize));

    for (const quint8 address : DevicePoller::eventAddresses(answer, checkByte))
        (void)address;

    const DevicePoller::DeviceInfoReply reply = DevicePoller::readDeviceInfo(answer, checkByte, longRecord);
    if (reply.kind == DevicePoller::DeviceInfoReply::Record) {
        // One item per type, made once (making one costs far more than
        // decoding): each answer decodes over what the last one left.
        static std::map<int, std::unique_ptr<DeviceItem>> items;
        std::unique_ptr<DeviceItem> &item = items[reply.record.deviceType];
        if (!item)
            item.reset(createDeviceItem(reply.record, false));
        if (item) {
            item->updateState(reply.record, reply.state);
            // A second answer decodes over what the first left.
            item->updateState(reply.record, reply.state.left(reply.state.size() / 2));
            item->stateBlock();
        }
    }
    return 0;
}

#include "firmwarematching.h"

#include "deviceitem.h"
#include "hubroitem.h"

const QList<int> &skippedDeviceTypes()
{
    static const QList<int> types{35, 36, 37, 38, 39, 58, 59, 61, 62};
    return types;
}

const QList<int> &masterSectionTypes()
{
    static const QList<int> types{0, 1, 40, 41, 42, 43, 44, 141};
    return types;
}

bool isMasterDeviceType(int type)
{
    return type == 45 || masterSectionTypes().contains(type);
}

MasterFacts masterFactsOf(const HubroItem *master)
{
    MasterFacts facts;
    if (!master)
        return facts;
    facts.type = master->deviceType() & 0xFF;
    facts.hardwareMajor = master->hardwareVersion().majorVersion();
    facts.radioFirmware = master->radioFirmwareVersion();
    return facts;
}

DeviceFacts deviceFactsOf(const DeviceItem *device)
{
    DeviceFacts facts;
    if (!device)
        return facts;
    facts.type = device->deviceType() & 0xFF;
    facts.hardware = device->hardwareVersion();
    facts.firmware = device->firmwareVersion();
    facts.buildNumber = device->buildNumber();
    return facts;
}

QList<int> radioSectionTypes(int masterType)
{
    if (masterType == 0 || masterType == 1)
        return {0};
    if (masterType == 44)
        return {40, 43};
    return {40, 43, 42};
}

QList<int> coreSectionTypes(int masterType)
{
    if (masterType == 0 || masterType == 1)
        return {1};
    return {41, 44};
}

int matchLevel(const HUBRO32BootSectionHeader_t &header, const DeviceFacts &device, int masterType)
{
    if ((device.type & 0xFF) != header.deviceType)
        return NotForDevice;
    const QVersionNumber fileHardware = versionOfPackedWord(header.hardwareVersion);
    if (device.type == 13) {
        const QVersionNumber special(2, 6);
        const bool deviceSpecial = device.hardware.majorVersion() == 2 && device.hardware.minorVersion() == 6;
        const bool fileSpecial = fileHardware == special;
        if (deviceSpecial != fileSpecial)
            return IncompatibleHardware;
    } else if (device.type == 30) {
        if (packedVersion(device.hardware) >= packedVersion(QVersionNumber(1, 2)) && header.firmwareVersion < 0x0103)
            return IncompatibleHardware;
    }
    if (device.hardware.majorVersion() != (header.hardwareVersion >> 8))
        return IncompatibleHardware;
    const int deviceFirmware = packedVersion(device.firmware);
    if (deviceFirmware < header.firmwareVersion)
        return Newer;
    if (deviceFirmware > header.firmwareVersion)
        return NotNewer;
    if (masterType == 0)
        return NotNewer;
    return device.buildNumber < header.buildNumber ? Newer : NotNewer;
}

bool fitsMasterRadio(const HUBRO32BootSectionHeader_t &header, const MasterFacts &master)
{
    switch (header.deviceType) {
    case 40:
    case 43:
        return master.type != 0;
    case 0:
        return master.type == 0 && master.radioFirmware.majorVersion() != 255
               && !((header.flags & 0x01) && master.hardwareMajor < 9);
    default:
        return false;
    }
}

bool isMasterSectionFor(const HUBRO32BootSectionHeader_t &header, const MasterFacts &master)
{
    switch (header.deviceType) {
    case 0:
    case 40:
    case 43:
        return fitsMasterRadio(header, master);
    case 1:
    case 41:
    case 141:
    case 44:
        return (header.hardwareVersion >> 8) == master.hardwareMajor;
    default:
        return false;
    }
}

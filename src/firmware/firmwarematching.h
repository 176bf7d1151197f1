#pragma once

// Which targets a firmware container may go to: a radio device of the master
// or one of the master's own sections. Pure functions of a header and small
// descriptions of the device and the master.

#include "bootsectionheader.h"

#include <QList>
#include <QVersionNumber>

class DeviceItem;
class HubroItem;

// Device types whose containers are ignored wherever containers are looked at.
const QList<int> &skippedDeviceTypes();
// Device types of the master's own sections.
const QList<int> &masterSectionTypes();
// The master's own device types: their firmware goes to the master, not to radio devices.
bool isMasterDeviceType(int type);

struct MasterFacts
{
    int type = 0;                        // the master's device-type code
    int hardwareMajor = 0;
    QVersionNumber radioFirmware;        // the radio part's firmware version
};

struct DeviceFacts
{
    int type = 0;                        // low byte of the device-type code
    QVersionNumber hardware;
    QVersionNumber firmware;
    int buildNumber = 0;
};

MasterFacts masterFactsOf(const HubroItem *master);
DeviceFacts deviceFactsOf(const DeviceItem *device);

// Radio and core section types of a master of this type.
QList<int> radioSectionTypes(int masterType);
QList<int> coreSectionTypes(int masterType);

enum MatchLevel { NotForDevice = 0, IncompatibleHardware = 1, NotNewer = 2, Newer = 3 };

// How a firmware fits one radio device: 0 other type, 1 incompatible
// hardware, 2 compatible but not newer, 3 newer.
int matchLevel(const HUBRO32BootSectionHeader_t &header, const DeviceFacts &device, int masterType);
// A radio section (types 0, 40, 43) that the master can take.
bool fitsMasterRadio(const HUBRO32BootSectionHeader_t &header, const MasterFacts &master);
// A radio or core section that fits the master.
bool isMasterSectionFor(const HUBRO32BootSectionHeader_t &header, const MasterFacts &master);

// A version as one number: major * 256 + minor (missing segments count 0).
inline int packedVersion(const QVersionNumber &version)
{
    return version.majorVersion() * 256 + version.minorVersion();
}

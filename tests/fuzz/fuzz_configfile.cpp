// libFuzzer target for the configuration-file reader: the master, the device
// entries and their checks, the state blocks and the settings of each entry.
// Input: a JSON document.

#include "appglobals.h"
#include "configurationfilereader.h"
#include "configurationjson.h"
#include "devicesettings.h"
#include "fuzzsupport.h"
#include "hubrostatus.h"

#include <QJsonArray>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 200000)
        return 0;
    QJsonObject root;
    if (!inputObject(inputBytes(data, size), &root))
        return 0;
    static const ConfigurationFileReader::Vocabulary vocabulary = [] {
        ConfigurationFileReader::Vocabulary v;
        v.modelNames << deviceModelNames << untranslatedDeviceModelNames();
        v.onWords = QStringList{QStringLiteral("On")};
        v.offWords = QStringList{QStringLiteral("Off")};
        return v;
    }();

    const QJsonObject master = root.value(QLatin1String("master")).toObject();
    const ConfigurationFileReader::MasterData read = ConfigurationFileReader::readMaster(master, vocabulary);
    const int addresses = HubroStatus::maxDeviceCount(read.record);
    require(addresses == 32 || addresses == 125);
    const QJsonArray devices = root.value(QLatin1String("devices")).toArray();
    const QString problem = ConfigurationJson::devicesProblem(devices, addresses);
    if (problem.isEmpty())
        require(devices.size() <= addresses);
    for (int i = 0; i < devices.size() && i < 300; ++i) {
        if (!devices.at(i).isObject())
            continue;
        const QJsonObject device = devices.at(i).toObject();
        const deviceInfo_t info = ConfigurationFileReader::readDevice(device);
        if (problem.isEmpty()) {
            // An entry that passed the checks keeps its own number and type.
            require(info.radioAddress == *ConfigurationJson::entryByte(device.value(QLatin1String("id"))));
            require(info.deviceType == *ConfigurationJson::entryByte(device.value(QLatin1String("type id"))));
        }
        ConfigurationFileReader::readDeviceState(info.deviceType, device, vocabulary);
        for (const QString &key : DeviceSettings::keys(info.deviceType)) {
            bool present = false;
            ConfigurationFileReader::settingValue(device, key, &present);
        }
    }
    return 0;
}

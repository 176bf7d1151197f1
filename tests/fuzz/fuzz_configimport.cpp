// libFuzzer target for the checks of a configuration before it is written to
// a master, and the device-configuration packets made from it. Input: a JSON
// document.

#include "configurationjson.h"
#include "fuzzsupport.h"
#include "packet.h"

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
    using ConfigurationJson::RecordLayout;
    const bool importable = ConfigurationJson::importProblem(root, 125).isEmpty();
    ConfigurationJson::importProblem(root);
    const QJsonArray devices = root.value(QLatin1String("devices")).toArray();
    for (int i = 0; i < devices.size() && i < 300; ++i) {
        const QJsonObject device = devices.at(i).toObject();
        const std::optional<quint8> id = ConfigurationJson::entryByte(device.value(QLatin1String("id")));
        if (importable && devices.at(i).isObject())
            require(id.has_value());
        for (const RecordLayout layout : {RecordLayout::Hubro32, RecordLayout::Hubro125, RecordLayout::Hubro125Coded}) {
            QString problem;
            const std::optional<QByteArray> packet = ConfigurationJson::deviceConfigPacket(device, layout, &problem);
            if (!packet) {
                require(!problem.isEmpty());
                continue;
            }
            // Never a wrapped number: the packet names the entry's own device.
            require(id.has_value());
            require(packet->size() >= 2 && quint8(packet->at(0)) == PT_WRITE_DEV_CONFIG
                    && quint8(packet->at(1)) == *id);
        }
        ConfigurationJson::zoneCount(device);
        ConfigurationJson::channelMode(root.value(QLatin1String("master")).toObject());
    }
    ConfigurationJson::intervalTicks(root.value(QLatin1String("master")).toObject().value(QLatin1String("interval")));
    return 0;
}

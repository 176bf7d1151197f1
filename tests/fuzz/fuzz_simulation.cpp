// libFuzzer target for the simulation reader: the file checks, the master's
// record, the device records and the state blocks packed from "extra".
// Input: the file's bytes.

#include "fuzzsupport.h"
#include "simulatedstate.h"
#include "simulationfile.h"

#include <QJsonArray>

#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    quietLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 200000)
        return 0;
    // The reader takes a path: a file in memory, named through /proc.
    static const int fd = ::memfd_create("simulation", 0);
    require(fd >= 0);
    require(::ftruncate(fd, 0) == 0);
    require(::pwrite(fd, data, size, 0) == ssize_t(size));
    QString error;
    const QJsonObject root = readSimulationFile(QStringLiteral("/proc/self/fd/%1").arg(fd), &error);
    require(root.isEmpty() != error.isEmpty());
    if (root.isEmpty())
        return 0;

    masterRecordFromJson(root.value(QLatin1String("master")).toObject(), QDateTime::fromSecsSinceEpoch(1700000000));
    const QJsonArray devices = root.value(QLatin1String("devices")).toArray();
    qint32 serials = FirstSimulatedSerial;
    for (int i = 0; i < devices.size(); ++i) {
        const QJsonObject device = devices.at(i).toObject();
        const deviceInfo_t info = deviceRecordFromJson(device, i, serials);
        // A file that was taken has numbers and types that need no wrapping.
        const QJsonValue id = device.value(QLatin1String("id"));
        if (!id.isUndefined())
            require(info.radioAddress == id.toInt());
        const QJsonValue type = device.value(QLatin1String("type"));
        if (!type.isUndefined())
            require(info.deviceType == type.toInt());
        deviceStateFromJson(info.deviceType, device.value(QLatin1String("extra")).toObject());
    }
    return 0;
}

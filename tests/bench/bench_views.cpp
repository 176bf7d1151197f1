// Device views: the time to fill the device table model with a master and
// 125 devices and read every row through the sorting proxy (as an expanded
// view does), and the time of one re-sort, in each view mode; for devices
// spread over repeaters and for devices all heard by the master directly.
// Prints the median and the worst of the rounds, and per view mode the
// growth of the fill from 32 to 125 devices heard directly (the devices grow
// 3.9 times). Last line: the slowest median fill of 125 devices.
//
//   bench_views [--rounds N]

#include "appglobals.h"
#include "benchstats.h"
#include "deviceitem.h"
#include "devicetablemodel.h"
#include "di_abstractrepeater.h"
#include "sorteddevicemodel.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

namespace {
deviceInfo_t record(int radio, int type, quint32 rl)
{
    deviceInfo_t info;
    info.radioAddress = quint8(radio);
    info.serialNumber = 1000000u + quint32(radio) * 7919u % 100000u;
    info.firmwareVersion = quint16(0x0100 + radio % 9);
    info.hardwareVersion = 0x020A;
    info.wireloopAddress = quint8(radio);
    info.deviceType = quint8(type);
    info.linkState = radio % 17 == 0 ? 0 : 2;
    info.rssi = qint8(-40 - radio % 50);
    info.rl = rl;
    info.rlSupported = 1;
    info.buildNumber = quint8(radio % 13);
    return info;
}

struct Installation
{
    std::vector<std::unique_ptr<DeviceItem>> items;

    // flat: that many devices, all heard by the master directly; 0: the
    // installation with repeaters.
    explicit Installation(int flat)
    {
        items.push_back(std::make_unique<DI_AbstractRepeater>(record(255, 40, 0), false));
        if (flat > 0) {
            for (int radio = 1; radio <= flat; ++radio)
                items.push_back(std::make_unique<DeviceItem>(record(radio, 4, 0), false));
            return;
        }
        // Ten repeaters on two levels, the devices spread over them and the master.
        for (int radio = 1; radio <= 125; ++radio) {
            const int group = radio % 11;
            if (radio <= 10) {
                const quint32 rl = radio <= 5 ? quint32(radio << 4) : quint32((radio - 5) << 4 | 1);
                items.push_back(std::make_unique<DI_AbstractRepeater>(record(radio, 30, rl), false));
            } else {
                const quint32 rl = group == 0 ? 0 : (group <= 5 ? quint32(group << 4) : quint32((group - 5) << 4 | 1));
                items.push_back(std::make_unique<DeviceItem>(record(radio, 4, rl), false));
            }
        }
    }
};

// Reads every row through the proxy, as a fully expanded view does.
int walk(const QAbstractItemModel &model, const QModelIndex &parent = QModelIndex())
{
    int rows = model.rowCount(parent);
    for (int row = 0; row < model.rowCount(parent); ++row)
        rows += walk(model, model.index(row, 0, parent));
    return rows;
}

} // namespace

int main(int argc, char **argv)
{
    // Offscreen, and never the user's settings store.
    const int isolated = runIsolated(argv);
    if (isolated >= 0)
        return isolated;
    QApplication app(argc, argv);
    qInstallMessageHandler(discardMessage);
    const int rounds = roundsFromArguments(app, QStringLiteral("Rounds per view mode."));
    registerDeviceModelNames();

    const char *modeNames[] = {"tile", "table", "tree"};
    std::map<int, std::vector<double>> fillByDevices; // median fill per mode, by installation
    for (const int flat : {0, 32, 125}) {
        Installation site(flat);
        std::printf("devices: %zu (master, %s), rounds: %d\n", site.items.size(),
                    flat ? "every device heard directly" : "10 repeaters, 115 devices", rounds);
        for (int mode = 0; mode < 3; ++mode) {
            std::vector<double> fill, resort;
            for (int round = 0; round < rounds; ++round) {
                DeviceTableModel model;
                model.setViewMode(mode);
                SortedDeviceModel proxy;
                proxy.setSourceModel(&model);
                if (mode == DeviceTableModel::TileMode)
                    proxy.applySortChoice(1);
                else
                    proxy.sort(DeviceTableModel::AddressColumn);

                QElapsedTimer timer;
                timer.start();
                for (const auto &item : site.items)
                    model.deviceConnected(item.get());
                if (walk(proxy) != int(site.items.size()))
                    qFatal("rows lost");
                fill.push_back(timer.nsecsElapsed() / 1e6);

                timer.restart();
                if (mode == DeviceTableModel::TileMode) {
                    proxy.applySortChoice(2);
                    proxy.applySortChoice(3);
                } else {
                    proxy.sort(DeviceTableModel::StatusColumn, Qt::DescendingOrder);
                    proxy.sort(DeviceTableModel::SerialColumn, Qt::AscendingOrder);
                }
                resort.push_back(timer.nsecsElapsed() / 2e6);
                model.clear();
            }
            std::printf("%-5s  fill: median %7.3f ms, worst %7.3f ms   re-sort: median %7.3f ms, worst %7.3f ms\n",
                        modeNames[mode], median(fill), worst(fill), median(resort), worst(resort));
            fillByDevices[flat].push_back(median(fill));
        }
    }
    for (int mode = 0; mode < 3; ++mode)
        std::printf("%-5s  fill growth from 32 to 125 devices: %.2f\n", modeNames[mode],
                    fillByDevices[125][size_t(mode)] / fillByDevices[32][size_t(mode)]);
    double slowest = 0;
    for (const int flat : {0, 125})
        slowest = std::max(slowest, worst(fillByDevices[flat]));
    std::printf("result: %.3f ms\n", slowest);
    return 0;
}

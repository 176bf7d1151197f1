#include "diagnosticsopeners.h"

#include "actionopeners.h"
#include "devicerssiplot.h"
#include "hubroitem.h"
#include "masternoise.h"

void registerDiagnosticsOpeners()
{
    ActionOpeners::registerOpener(DeviceItem::PlotRssiAction, [](DeviceItem *item) {
        auto *plot = new DeviceRSSIPlot(item);
        QObject::connect(plot, &DeviceRSSIPlot::sendPacket, item, &DeviceItem::sendPacket);
        plot->show();
    });
    ActionOpeners::registerOpener(HubroItem::PlotNoiseAction, [](DeviceItem *item) {
        auto *noise = new MasterNoise(item->itemTypeName());
        QObject::connect(noise, &MasterNoise::sendPacket, item, &DeviceItem::sendPacket);
        noise->show();
        noise->initPlot();
    });
}

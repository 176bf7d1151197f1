#include "diagnosticsopeners.h"

#include "actionopeners.h"
#include "devicerssiplot.h"
#include "hubroitem.h"
#include "masterlogreaderwidget.h"
#include "masternoise.h"
#include "masterstackusagedialog.h"
#include "screenfit.h"

void registerDiagnosticsOpeners()
{
    ActionOpeners::registerOpener(DeviceItem::PlotRssiAction, [](DeviceItem *item) {
        auto *plot = new DeviceRSSIPlot(item);
        QObject::connect(plot, &DeviceRSSIPlot::sendPacket, item, &DeviceItem::sendPacket);
        fitOnScreen(plot);
        plot->show();
    });
    ActionOpeners::registerOpener(HubroItem::PlotNoiseAction, [](DeviceItem *item) {
        auto *noise = new MasterNoise(item->itemTypeName());
        QObject::connect(noise, &MasterNoise::sendPacket, item, &DeviceItem::sendPacket);
        fitOnScreen(noise);
        noise->show();
        noise->initPlot();
    });
    ActionOpeners::registerOpener(HubroItem::LogReaderAction, [](DeviceItem *item) {
        auto *master = qobject_cast<HubroItem *>(item);
        auto *log = new MasterLogReaderWidget(quint8(item->deviceType()), master ? master->serialNumber() : 0);
        QObject::connect(log, &MasterLogReaderWidget::sendPacket, item, &DeviceItem::sendPacket);
        fitOnScreen(log);
        log->show();
    });
    ActionOpeners::registerOpener(HubroItem::StackUsageAction, [](DeviceItem *item) {
        auto *stack = new MasterStackUsageDialog;
        QObject::connect(stack, &MasterStackUsageDialog::sendPacket, item, &DeviceItem::sendPacket);
        fitOnScreen(stack);
        stack->show();
    });
}

#include "rssitestdock.h"

RSSITestDock::RSSITestDock(QWidget *parent) : QDockWidget(parent)
{
    setObjectName(QStringLiteral("RSSITestDock"));
    setWindowTitle(tr("Link quality test"));
    resize(308, 454);
    auto *contents = new QWidget(this);
    contents->setObjectName(QStringLiteral("dockWidgetContents"));
    setWidget(contents);
}

RSSITestDock::~RSSITestDock() = default;

void RSSITestDock::testFailed(DeviceItem *device)
{
    Q_UNUSED(device)
}

QString RSSITestDock::reportInfo() const
{
    return QString();
}

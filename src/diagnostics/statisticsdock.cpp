#include "statisticsdock.h"

StatisticsDock::StatisticsDock(QWidget *parent) : QDockWidget(parent)
{
    setObjectName(QStringLiteral("StatisticsDock"));
    setWindowTitle(tr("Radio statistics"));
    resize(339, 552);
    auto *contents = new QWidget(this);
    contents->setObjectName(QStringLiteral("dockWidgetContents"));
    setWidget(contents);
}

StatisticsDock::~StatisticsDock() = default;

void StatisticsDock::stop()
{
    m_running = false;
}

void StatisticsDock::resetProgress() {}

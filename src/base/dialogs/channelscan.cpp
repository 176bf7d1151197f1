#include "channelscan.h"
#include "ui_channelscan.h"

#include "playwhileshown.h"

#include <QMovie>

ChannelScan::ChannelScan(QWidget *parent)
    : QWidget(parent),
      ui(new Ui::ChannelScan),
      movie(new QMovie(QStringLiteral(":/images/wait.gif"), QByteArray(), this))
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint);
    ui->lblGif->setMovie(movie);
    playWhileShown(movie, this);
    connect(ui->pbStop, &QPushButton::clicked, this, &ChannelScan::stopScan);
}

ChannelScan::~ChannelScan()
{
    delete ui;
}

#include "waitmovie.h"
#include "ui_waitmovie.h"

#include "playwhileshown.h"

#include <QMovie>

WaitMovie::WaitMovie(const QString &title, const QString &text, QWidget *parent)
    : QWidget(parent),
      ui(new Ui::WaitMovie),
      movie(new QMovie(QStringLiteral(":/images/wait.gif"), QByteArray(), this))
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    // A window of its own even when given a parent.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowModality(Qt::ApplicationModal);
    ui->lblTitle->setText(title);
    ui->lblText->setText(text);
    ui->lblGif->setMovie(movie);
    playWhileShown(movie, this);
}

WaitMovie::~WaitMovie()
{
    delete ui;
}

#include "waitgenerating.h"
#include "ui_waitgenerating.h"

#include "playwhileshown.h"

#include <QCloseEvent>
#include <QMovie>
#include <QPointer>
#include <QTimer>

namespace {
int s_tickInterval = 1000;
}

WaitGenerating::WaitGenerating(int waitingTimeMs, QWidget *parent)
    : QWidget(parent),
      ui(new Ui::WaitGenerating),
      movie(new QMovie(QStringLiteral(":/images/wait.gif"), QByteArray(), this)),
      waitingTime(waitingTimeMs),
      timer(new QTimer(this)),
      interval(s_tickInterval)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Window | Qt::WindowCloseButtonHint);
    setWindowModality(Qt::ApplicationModal);
    ui->lblGIF->setMovie(movie);
    playWhileShown(movie, this);

    connect(timer, &QTimer::timeout, this, &WaitGenerating::onTick);
    connect(ui->pbBreak, &QPushButton::clicked, this, &QWidget::close);
    timer->start(interval);
}

WaitGenerating::~WaitGenerating()
{
    delete ui;
}

void WaitGenerating::setTickInterval(int ms)
{
    s_tickInterval = qMax(1, ms);
}

int WaitGenerating::tickInterval()
{
    return s_tickInterval;
}

void WaitGenerating::onTick()
{
    ++ticks;
    const qint64 elapsed = qint64(interval) * ticks;
    if (elapsed >= waitingTime) {
        ui->progress->setValue(100);
        const QPointer<WaitGenerating> self(this); // a receiver may delete the window
        emit waitingFinished();
        if (self)
            close();
        return;
    }
    ui->progress->setValue(int(elapsed * 100 / waitingTime));
}

void WaitGenerating::closeEvent(QCloseEvent *event)
{
    movie->stop();
    // A window may be asked to close more than once before it is deleted;
    // only the first close ends the waiting.
    timer->stop();
    if (!ended) {
        ended = true;
        if (ui->progress->value() < 100)
            emit breakWaiting();
    }
    event->accept();
}

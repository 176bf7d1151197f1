#include "waitwidget.h"
#include "ui_waitwidget.h"

#include "connection.h"
#include "playwhileshown.h"

#include <QCloseEvent>
#include <QMovie>

namespace {
WaitWidget::Timings &currentTimings()
{
    static WaitWidget::Timings timings;
    return timings;
}
} // namespace

void WaitWidget::setTimings(const Timings &timings)
{
    currentTimings() = timings;
}

WaitWidget::Timings WaitWidget::timings()
{
    return currentTimings();
}

WaitWidget::WaitWidget(int deviceType, Connection *connection, QWidget *parent)
    : QWidget(parent),
      ui(new Ui::WaitWidget),
      movie(new QMovie(QStringLiteral(":/images/wait.gif"), QByteArray(), this)),
      deviceType(deviceType),
      connection(connection)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    // A title bar without buttons: only forceClose() ends the window.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    ui->lblGif->setMovie(movie);
    playWhileShown(movie, this);

    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, &WaitWidget::waitRanOut);
    timer.start(currentTimings().wait);
}

WaitWidget::~WaitWidget()
{
    delete ui;
}

void WaitWidget::closeEvent(QCloseEvent *event)
{
    if (!closeAllowed) {
        event->ignore();
        return;
    }
    movie->stop();
    event->accept();
}

void WaitWidget::forceClose()
{
    closeAllowed = true;
    close();
}

void WaitWidget::waitRanOut()
{
    emit finish();
    forceClose();
}

void WaitWidget::onMasterConnected()
{
    if (!connection) {
        forceClose();
        return;
    }
    connectionType = connection->connectionType();
    address = connection->portName();
    masterType = connection->masterType();
    // The connection stays with its owner, who decides when it goes.
    if (!connection->disconnectFromMaster()) {
        forceClose();
        return;
    }
    const bool slow = deviceType == 1 || deviceType == 41 || deviceType == 141;
    const Timings t = currentTimings();
    QTimer::singleShot(slow ? t.reestablishSlow : t.reestablish, this,
                       [this] { emit establish(connectionType, address, masterType); });
}

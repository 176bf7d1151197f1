#include "progresswidget.h"
#include "ui_progresswidget.h"

#include "messageboxes.h"
#include "playwhileshown.h"

#include <QCloseEvent>
#include <QMovie>

ProgressWidget::ProgressWidget(QWidget *parent)
    : QDialog(parent), ui(new Ui::ProgressWidget), movie(new QMovie(QStringLiteral(":/images/wait.gif"), QByteArray(), this))
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    applyWindowFlags();
    ui->pBar->hide();
    ui->lblGif->setMovie(movie);
    playWhileShown(movie, this);
}

ProgressWidget::~ProgressWidget()
{
    delete ui;
}

void ProgressWidget::setClosable(bool closable)
{
    this->closable = closable;
    // New window flags hide a shown window; keep it on screen.
    const bool wasVisible = isVisible();
    applyWindowFlags();
    if (wasVisible)
        show();
}

void ProgressWidget::setText(const QString &text)
{
    ui->lblStatus->setText(text);
}

void ProgressWidget::setTitle(const QString &text)
{
    setWindowTitle(text);
}

void ProgressWidget::setProgress(int value)
{
    ui->pBar->show();
    ui->pBar->setValue(value);
}

void ProgressWidget::reject()
{
    // QDialog's own reject hides and deletes the window without a close event.
    close();
}

void ProgressWidget::closeEvent(QCloseEvent *event)
{
    if (!closable) {
        event->accept();
        emit stop();
        return;
    }
    event->ignore();
    const int answer = askQuestion(tr("Are you sure you want to close the waiting window?"),
                                   tr("Waiting window"), QMessageBox::Yes | QMessageBox::No);
    hide();
    // Last: a receiver of stop() may delete this window.
    if (answer == QMessageBox::Yes)
        emit stop();
}

void ProgressWidget::applyWindowFlags()
{
    Qt::WindowFlags flags = Qt::Dialog | Qt::WindowTitleHint;
    if (closable)
        flags |= Qt::WindowCloseButtonHint;
    setWindowFlags(flags);
}

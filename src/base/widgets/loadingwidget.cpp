#include "loadingwidget.h"
#include "ui_loadingwidget.h"

LoadingWidget::LoadingWidget(QWidget *parent) : QWidget(parent), ui(new Ui::LoadingWidget)
{
    ui->setupUi(this);
    connect(&m_timer, &QTimer::timeout, this, &LoadingWidget::onTimer);
}

LoadingWidget::~LoadingWidget()
{
    delete ui;
}

void LoadingWidget::onTimer()
{
    ui->progressBar->setValue(ui->progressBar->value() + 1);
    if (ui->progressBar->value() >= ui->progressBar->maximum()) {
        m_timer.stop();
        hide();
    }
}

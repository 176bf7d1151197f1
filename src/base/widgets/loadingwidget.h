#pragma once

#include <QTimer>
#include <QWidget>

namespace Ui {
class LoadingWidget;
}

// "Loading..." strip with a progress bar that advances one step per tick of
// its timer and hides itself when full. The owner starts the timer with the
// interval it wants.
class LoadingWidget : public QWidget
{
    Q_OBJECT
public:
    explicit LoadingWidget(QWidget *parent = nullptr);
    ~LoadingWidget() override;

    QTimer *timer() { return &m_timer; }

private slots:
    void onTimer();

private:
    Ui::LoadingWidget *ui;
    QTimer m_timer;
};

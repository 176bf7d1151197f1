#pragma once

#include <QWidget>

namespace Ui {
class WaitGenerating;
}
class QMovie;
class QTimer;

// Application-modal window shown while the system report is generated. Counts
// the waiting time up in ticks; exactly one of waitingFinished() (the time ran
// out) and breakWaiting() (closed earlier) is emitted, then it deletes itself.
class WaitGenerating : public QWidget
{
    Q_OBJECT
public:
    explicit WaitGenerating(int waitingTimeMs, QWidget *parent = nullptr);
    ~WaitGenerating() override;

    // Tick interval of windows created afterwards (1000 ms unless changed;
    // tests shorten it).
    static void setTickInterval(int ms);
    static int tickInterval();

signals:
    void breakWaiting();
    void waitingFinished();

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void onTick();

private:
    Ui::WaitGenerating *ui;
    QMovie *movie;
    int waitingTime;
    int ticks = 0;
    QTimer *timer;
    int interval;
    bool ended = false;
};

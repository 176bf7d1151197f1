#pragma once

#include <QDockWidget>

// The main window's radio statistics dock: follows a read run of
// StatisticsManager.
class StatisticsDock : public QDockWidget
{
    Q_OBJECT
public:
    explicit StatisticsDock(QWidget *parent = nullptr);
    ~StatisticsDock() override;

    bool isRunning() const { return m_running; }

public slots:
    void stop();
    void resetProgress();

signals:
    void getStatistics();

private:
    bool m_running = false;
};

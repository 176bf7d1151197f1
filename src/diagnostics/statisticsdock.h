#pragma once

#include "diagnosticsrecords.h"

#include <QDockWidget>
#include <QFrame>
#include <QList>

class DeviceItem;
class QLabel;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QVBoxLayout;
class StatisticsManager;

// One device's radio statistics: reboots, link losses, packets sent and the
// share of packets repeated 1 to 8 times.
class StatisticsResultWidget : public QFrame
{
    Q_OBJECT
public:
    StatisticsResultWidget(DeviceItem *device, const statistics_t &stats, QWidget *parent = nullptr);
};

// The main window's dock "Radio statistics": follows a read run of
// StatisticsManager with a progress bar, a status line and one result frame
// per device whose statistics arrived, newest at the bottom. Frames stay until
// Clear. The run counts as going from its start until it finishes or is
// stopped: a failed device does not end it.
class StatisticsDock : public QDockWidget
{
    Q_OBJECT
public:
    // Follows the manager given, else the process-wide one.
    explicit StatisticsDock(QWidget *parent = nullptr, StatisticsManager *manager = nullptr);
    ~StatisticsDock() override;

    bool isRunning() const { return m_running; }
    const QList<QWidget *> &results() const { return m_results; }

public slots:
    void onStarted(const QList<DeviceItem *> &devices);
    void onFinished(DeviceItem *device, const statistics_t &stats);
    void onFinished();
    void onFailed(DeviceItem *device);
    // Stops the manager's run, when one is going.
    void stop();
    void clearList();
    void resetProgress();

signals:
    void getStatistics();

private:
    StatisticsManager *m_manager;
    QList<QWidget *> m_results;
    bool m_running = false;
    QPushButton *m_stop;
    QPushButton *m_clear;
    QProgressBar *m_progress;
    QLabel *m_message;
    QScrollArea *m_scroll;
    QVBoxLayout *m_resultsLayout;
};

#pragma once

#include <QObject>

#include <functional>

class Connection;
class HubroItem;

// The nearby-master detection that a system report runs while it waits:
// switched on when the master has it off, and off again when the wait ends,
// only when the report switched it on and only while that master still runs it.
// Started and stopped through the window's own pair (`start` is false when
// nothing was asked of the master).
class ReportNearbyDetection : public QObject
{
    Q_OBJECT
public:
    // Starts detection on the connection's master unless it runs already;
    // the end of `wait` (its destruction) ends it.
    static void begin(Connection *connection, QObject *wait, const std::function<bool()> &start,
                      std::function<void()> stop);

private:
    ReportNearbyDetection(HubroItem *master, std::function<void()> stop);
    void onStarted();
    void finish();
    void forget();
    void stop();

    HubroItem *m_master;
    std::function<void()> m_stop;
    bool m_pending = false;  // asked to start, no answer yet
    bool m_running = false;  // started by the report
    bool m_finished = false; // the wait has ended
    bool m_gone = false;     // the master disconnected or restarted
};

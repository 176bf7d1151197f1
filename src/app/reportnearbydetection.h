#pragma once

#include <QObject>

class Connection;
class HubroItem;

// The nearby-master detection that a system report runs while it waits:
// switched on when the master has it off, and off again when the wait ends,
// only when the report switched it on and only while that master still runs it.
class ReportNearbyDetection : public QObject
{
    Q_OBJECT
public:
    // Starts detection on the connection's master unless it runs already;
    // the end of `wait` (its destruction) ends it.
    static void begin(Connection *connection, QObject *wait);

private:
    explicit ReportNearbyDetection(HubroItem *master);
    void onStarted();
    void finish();
    void forget();
    void stop();

    HubroItem *m_master;
    bool m_pending = false;  // asked to start, no answer yet
    bool m_running = false;  // started by the report
    bool m_finished = false; // the wait has ended
    bool m_gone = false;     // the master disconnected or restarted
};

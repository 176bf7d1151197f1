#pragma once

#include "deviceaction.h"

#include <QList>
#include <QObject>
#include <QTimer>

class DeviceItem;

// The test of an emergency sign: each state reading that shows the display
// as the last command asked sends the opposite command, until the user ends
// the test. A command that has not taken effect when the watchdog expires is
// reported in a box and repeated at the next reading. A child of its item:
// it goes with it.
class SignTest : public QObject
{
    Q_OBJECT
public:
    explicit SignTest(DeviceItem *item);

    void start();
    void end();
    bool isRunning() const { return m_running; }
    // A state reading: the display lit or dark.
    void onReading(bool lit);
    const QTimer &watchdog() const { return m_watchdog; }

    // The switch commands, queued for the item.
    static void turnOn(DeviceItem *item);
    static void turnOff(DeviceItem *item);

    // The sign's context-menu entries: 0 starts the test, 1 ends it.
    enum ActionId { StartAction = 0, EndAction = 1 };
    static QList<DeviceAction> actions();

    // Watchdog interval, 40000 ms; tests shorten it.
    static void setWatchdogInterval(int ms);

private:
    void expired();
    void showFailure();

    DeviceItem *m_item;
    bool m_running = false;
    bool m_toggle = false; // the state the test last asked for: lit
    bool m_boxOpen = false;
    QTimer m_watchdog;
};

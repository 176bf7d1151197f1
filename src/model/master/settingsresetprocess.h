#pragma once

#include "packet.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QMessageBox;

// Resets the master's configuration to factory settings. The master arms the
// reset on request and then waits for its case button; meanwhile a warning
// with a countdown is shown and the master is asked once a tick for the
// outcome. The Qt parent owns the object; abort() ends it early and deletes it.
class SettingsResetProcess : public QObject
{
    Q_OBJECT
public:
    explicit SettingsResetProcess(QObject *parent = nullptr);
    ~SettingsResetProcess() override;

    // Length of a countdown tick and of the pause before each ping (1000 ms).
    void setTickInterval(int ms);
    int tickInterval() const { return m_tickMs; }

    // The warning shown while the master waits for its case button; null
    // before and after.
    QMessageBox *confirmationBox() const;
    int secondsShown() const { return secondsLeft; }

public slots:
    void start();
    // Ends the procedure from outside: closes the warning, reports the abort
    // unless an outcome was already shown, and deletes the object later.
    void abort();

signals:
    void sendPacket(QByteArray packet, ResponseCb cb);
    void restartMaster(int reconnectTimeoutMs);
    void closeConnection();

private:
    bool onRequestReply(const Packet &reply);
    bool onPingReply(const Packet &reply);
    void countdownStep();
    void ping();
    void onConfirmBoxDestroyed();
    void finish();
    void reportFailure(const QString &text);

    QPointer<QMessageBox> confirmBox;
    bool aborted = false;
    QTimer countdownTimer;
    int secondsLeft = 0;

    QTimer pingTimer;
    int m_tickMs = 1000;
    bool m_started = false;
    bool m_outcomeShown = false;
};

#pragma once

#include "devicediscoveryagent.h"
#include "probeanswer.h"
#include "serialportlist.h"

#include <QString>

#include <optional>

class QSerialPort;
class QThread;

// Waits of one probe, in milliseconds.
struct ProbeTiming
{
    int waitMs = 75;   // for the probe to be written, and for the first answer bytes
    int settleMs = 20; // before each read, for the rest of the answer to arrive
};

// Common part of the agents that probe serial ports one after another in a thread of
// their own: every port (but Bluetooth ones) is opened, sent the probe up to three times
// and closed; each answer that checks out is reported. stop() and the destructor end a
// run within a few tens of milliseconds.
class PortDiscoveryAgent : public DeviceDiscoveryAgent
{
    Q_OBJECT
public:
    ~PortDiscoveryAgent() override;

    // Starts a run; no effect while one is going on. discoveryFinished(-1) follows the
    // end of the run's thread, so a new run can be started from a slot connected to it.
    void start() override;
    bool isRunning() const { return m_running; }

    // Checks the answer bytes read so far from a port; reports a complete, correct answer
    // with deviceDiscovered and returns true.
    bool parseAnswer(const QString &portName, const QByteArray &answer);

    // Seams: the ports to probe (default: serialPortLister()) and the waits. Take effect
    // at the next start().
    void setPortLister(SerialPortLister lister) { m_portLister = std::move(lister); }
    void setProbeTiming(const ProbeTiming &timing) { m_timing = timing; }
    ProbeTiming probeTiming() const { return m_timing; }
    // Ports the user named by path (a link under /dev/serial/by-id, a
    // pseudo-terminal), probed after the listed ones unless listed already.
    // Takes effect at the next start().
    void setExtraPorts(const QStringList &paths) { m_extraPorts = paths; }
    QStringList extraPorts() const { return m_extraPorts; }

public slots:
    // Ends the current run early; its discoveryFinished(-1) still comes.
    void stop();

protected:
    using Parser = std::optional<ProbeAnswer> (*)(const QString &portName, const QByteArray &answer);

    // What tells the agents apart; fixed by the subclass's constructor.
    struct Profile
    {
        const char *probeHex = nullptr;
        qint32 baudRate = 0;
        QString logPrefix;     // "[Serial] "
        QString probingText;   // translated "[Serial] Probing port "
        QString responseText;  // translated "[Serial] Response: "
        bool logTransmit = false;
        Parser parse = nullptr;
    };

    PortDiscoveryAgent(const Profile &profile, const ProbeTiming &timing, QObject *parent);

private slots:
    void discovery();
    void onThreadFinished();

private:
    void probePort(QSerialPort &port, const QString &portName, const QByteArray &probe);
    bool waitWritten(QSerialPort &port) const;
    bool waitReadable(QSerialPort &port) const;
    void pause(int ms) const;
    static bool interrupted();

    const Profile m_profile;
    QThread *m_thread;
    bool m_running = false;
    SerialPortLister m_portLister;
    ProbeTiming m_timing;
    QStringList m_extraPorts;
    // Copies for the run in progress, read by its thread.
    SerialPortLister m_runLister;
    ProbeTiming m_runTiming;
    QStringList m_runExtraPorts;
};

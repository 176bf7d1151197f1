#pragma once

#include "connectioninterface.h"
#include "tetherapi.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QLibrary>
#include <QList>
#include <QMetaType>
#include <QTimer>

// Link to a master over Bluetooth LE through the Tether library, loaded at the
// first connect and kept for the life of the process. Requests travel as serial
// frames numbered by tetherSequence, one in flight at a time; the received
// notifications are polled every 15 ms and joined into frames. A request is
// written again when its re-send time has passed since its write ended (a
// long write of many pieces can outlast that time): the library tells when
// its writes end; one that does not tell counts from the write's start.
// Everything runs on the GUI thread; connecting waits in nested event loops.
class TetherInterface : public ConnectionInterface
{
    Q_OBJECT
public:
    // Intervals of the link; tests shorten them.
    struct Timings
    {
        int resend = 500;        // a request unanswered this long after its write ended is written again
        int poll = 15;           // receive poll
        int response = 5000;     // nothing received this long after a write: the link is dropped
        int stateCheck = 2000;   // state checks while not ready
        int reconnectGap = 1500; // least time between a disconnect and the next connect
        int sendGap = 3;         // after a reply, before the next request
        int strayGap = 200;      // silence (at most half the re-send time) after which an incomplete
                                 // frame holding back a complete one is given up
    };
    static void setTimings(const Timings &timings);
    static Timings timings();

    static constexpr int MaxWrites = 6;
    static constexpr int ReconnectChecks = 5;
    // Received bytes kept while a frame is incomplete.
    static constexpr int MaxBuffered = 4096;

    explicit TetherInterface(const QString &address, QObject *parent = nullptr);
    ~TetherInterface() override;

    bool connectToDevice(const QString &address) override;
    void disconnectFromDevice() override;
    void sendPacket(const QByteArray &data, const ResponseCb &cb) override;
    // Connected, Discovered or Ready as last seen.
    bool isOpen() const override;
    void setLogFilter(const QVector<uint8_t> &filter) override;
    QString portName() const override;
    // Requests waiting behind the one in flight.
    int pendingCount() const override;

    // A quiet link shows no message box when it gives up.
    void setQuiet(bool quiet);
    bool isQuiet() const { return m_quiet; }
    int lastStatus() const { return m_lastStatus; }
    // Whether this interface made the library's current connection object;
    // only that one calls the library.
    bool ownsLibraryObject() const;

    static QString statusName(int status);

public slots:
    // Reads the library's state; while not ready, again after the state-check
    // interval until the budget of checks is spent.
    void checkConnectionState();

signals:
    void statusChanged(TetherStatus status);

private slots:
    void readBleTerminal();
    void onResponseTimeout();
    void onResendTimeout();

private:
    struct Request
    {
        QByteArray frame;
        ResponseCb cb;
        int attempts = 0;
        bool answered = false;
    };

    bool bindLibrary();
    bool resolveApi();
    void abortConnection(const QString &reason);
    void writeCurrent();
    void abandonRequests();
    // Once the write in flight has ended (or the library cannot tell), its re-send time starts.
    void checkWriteEnded();
    // Joins a received chunk to what came before and hands on every complete frame.
    void processReceivedBytes(QByteArray &chunk);
    // Hands on the frames of the receive buffer; `silence`: no bytes came for a while.
    void takeReceived(bool silence);
    // Sequence byte of the reply awaited: a request written and not answered; -1 when none.
    int awaitedSequence() const;
    // False when the interface is gone or the link was reset meanwhile.
    bool handleFrame(const QByteArray &buffer, int offset, uint8_t sequence, const QByteArray &data);

    QString m_address;
    QLibrary m_library;
    struct Api
    {
        TetherApi::MakeConnection makeConnection = nullptr;
        TetherApi::CloseConnection closeConnection = nullptr;
        TetherApi::ConnectToDevice connectToDevice = nullptr;
        TetherApi::DisconnectFromDevice disconnectFromDevice = nullptr;
        TetherApi::ControlState controlState = nullptr;
        TetherApi::ConnectionState connectionState = nullptr;
        TetherApi::ErrorCount errorCount = nullptr;
        TetherApi::TakeError takeError = nullptr;
        TetherApi::ReceivedCount receivedCount = nullptr;
        TetherApi::GetReceived getReceived = nullptr;
        TetherApi::WriteCharacteristic writeCharacteristic = nullptr;
        TetherApi::WritesInProgress writesInProgress = nullptr; // optional
    } m_api;
    bool m_loaded = false;
    int m_lastStatus = TetherDisconnected;
    int m_reconnectBudget = ReconnectChecks;
    bool m_closing = false;
    bool m_quiet = false;
    int m_inFlight = 0;
    bool m_writing = false;     // the last write is still under way in the library
    QElapsedTimer m_writeClock; // since the last write
    Request m_current;
    QList<Request> m_pending;
    QTimer m_resendTimer;
    QTimer m_pollTimer;
    QTimer m_responseTimer;
    QTimer m_stateCheckTimer;
    QVector<uint8_t> m_logFilter;
    QByteArray m_received; // bytes of a frame not complete yet
    bool m_held = false;   // it starts with an incomplete frame holding back a complete one
    QElapsedTimer m_receivedClock; // since the last received chunk
    quint32 m_epoch = 0;   // counts resets of the requests; stale shots and callbacks check it
};

Q_DECLARE_METATYPE(TetherStatus)

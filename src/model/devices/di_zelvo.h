#pragma once

#include "deviceitem.h"

#include <QTimer>

// The water-meter reader: counts the pulses of a water meter in litres. Its
// counter is asked for by a request of its own every few seconds, the device
// is kept awake by a command every minute, the user may write a new counter
// value into its memory, and a deactivation parks the device.
class DI_Zelvo : public DeviceItem
{
    Q_OBJECT
public:
    DI_Zelvo(const deviceInfo_t &info, bool kastrelMode);

    static DeviceDescription description();
    // Intervals of the counter request, the keep-alive and the deactivation's
    // last step (5000, 60000 and 30000 ms). Tests shorten them; items made
    // afterwards use them.
    static void setTimings(int readIntervalMs, int keepAliveIntervalMs, int deactivationMs);

    bool hasAlarm() const override;
    bool hasFault() const override;
    void updateState(const deviceInfo_t &info, QByteArray state) override;
    void executeAction(const int &id) override;
    QVariant data(int role = Qt::UserRole + 1) const override;
    void setData(const QVariant &value, int role = Qt::UserRole + 1) override;

    bool isWritePending() const { return m_marker == PendingMarker; }
    bool isDeactivating() const { return m_deactivating; }

public slots:
    void readCounter();
    void keepAlive();
    void deactivate();

private:
    static constexpr int PendingMarker = 666;
    static constexpr int RecordSize = 16;

    bool awake() const { return stateValue("state.fMultiFunc"); }
    quint32 recordCounter() const;
    bool onCounterReply(const Packet &reply);
    void writeCounter(quint32 value);

    QByteArray m_record = QByteArray(RecordSize, '\0'); // the last counter record whose counter changed
    quint32 m_counter = 0;
    quint64 m_serial = 0; // the meter's, d4-d9 of the last reply
    quint32 m_pendingValue = 0;
    int m_marker = 0;
    bool m_deactivating = false;
    QTimer m_readTimer;
    QTimer m_keepAliveTimer;

    QtProperty *m_groupCounter = nullptr;
    QtProperty *m_propMeterSerial = nullptr;
    QtProperty *m_propValue = nullptr;
    QtProperty *m_propReed = nullptr;
    QtProperty *m_propInterval = nullptr;
};

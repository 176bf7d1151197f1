#pragma once

#include "packet.h"

#include <QByteArray>
#include <QPointer>
#include <QTimer>
#include <QVector>
#include <QWidget>

class CustomPlotView;
class DeviceItem;

// One level-test record of a READY answer: what the device and the master
// measured on their link (dBm, signed).
struct RssiRecord
{
    qint8 device = 0;   // byte 0: the device's received level
    qint8 noise = 0;    // byte 1
    qint8 maxNoise = 0; // byte 2
    qint8 master = 0;   // byte 3: the master's received level
    qint8 rfOffset = 0; // byte 4
};

// The window "Plot RSSI plot" of one radio device: a CustomPlotView with six
// graphs (the device's and the master's received level, noise, maximum
// noise, RF offset, signal to noise) fed by the device's level test.
//
// Start asks the device to measure, every sampling tick polls it while the
// poll gate is open; a READY with records adds its points, closes the gate
// and starts the pause timer, whose time-out opens it again, so a lost READY
// never stops the polling. Stop and closing the window send the stop request.
// The device is held by a guarded pointer: nothing is sent once it is gone.
// Replies after Stop, or after the window is gone, are dropped.
class DeviceRSSIPlot : public QWidget
{
    Q_OBJECT
public:
    explicit DeviceRSSIPlot(DeviceItem *device, QWidget *parent = nullptr);
    ~DeviceRSSIPlot() override;

    CustomPlotView *view() const { return m_view; }
    bool isActive() const { return m_active; }
    bool pollGateOpen() const { return m_pollGateOpen; }

    // The whole records of a READY's data (records from byte 6, five bytes
    // each; a partial record and the serial check byte are left out).
    static QVector<RssiRecord> decodeRecords(const QByteArray &data);

    // The pause after each READY (5000 ms; tests shorten it).
    static void setPollPause(int ms);
    static int pollPause();

signals:
    void sendPacket(QByteArray data, ResponseCb cb);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void onStart();
    void onStop();
    void onTick();
    ResponseCb replyHandler();
    bool onReply(const Packet &reply);

    QPointer<DeviceItem> m_device;
    CustomPlotView *m_view;
    bool m_active = false;
    bool m_pollGateOpen = true;
    qint64 m_lastReplyTime = 0;
    QTimer m_pollTimer;
};

#pragma once

#include "bootsectionheader.h"
#include "firmwaretimings.h"
#include "packet.h"

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QPointer>
#include <QTimer>

class DeviceItem;

// Where one device stands in a run: kept in the device item's property
// "update_state" and owned by the item; the next run on it replaces it.
class UpdateState : public QObject
{
    Q_OBJECT
public:
    explicit UpdateState(QObject *owner) : QObject(owner) {}

    int step = 0;     // 0 start requested, 1 start accepted, 2 progress reported
    int attempts = 0; // start requests sent for the device in this run
};
Q_DECLARE_METATYPE(UpdateState *)

// The update queue of radio devices: one manager for the whole process, made
// on first use. The firmware is already in the master; the manager tells it
// which device to update next, polls it while it works, restarts a device
// after recoverable errors and reports each device and the end of the run. It
// drives the master through sendPacket, which the main window connects to the
// current link.
//
// One ping at most is pending, and only the reply to the last request sent is
// acted on: a start, restart, stop or forget cancels the pending ping, and
// replies to earlier requests are logged and dropped. Devices are held by
// guarded pointers; one that is gone is dropped from the run.
class UpdateManager : public QObject
{
    Q_OBJECT
public:
    static UpdateManager *instance();
    explicit UpdateManager(QObject *parent = nullptr);

    void setTimings(const FirmwareTimings &timings) { m_timings = timings; }
    FirmwareTimings timings() const { return m_timings; }

    // Starts a run for the online devices of the header's device type, in the
    // given order (meters on the 60-minute interval last). Refused while a
    // run is going on.
    void update(const QList<DeviceItem *> &devices, const HUBRO32BootSectionHeader_t &header);
    // Makes the device the whole queue, already started by the master, and polls it.
    void attach(DeviceItem *device);
    // The 100 % mark of a device's progress (the container's firmware size).
    void setFirmwareSize(quint32 size) { m_firmwareSize = size; }
    quint32 firmwareSize() const { return m_firmwareSize; }

    // True while devices wait in the queue or are being updated.
    bool isBusy() const { return !queue().isEmpty(); }
    // True while a ping of the head waits for its time.
    bool isPingPending() const { return m_pingTimer.isActive(); }
    // The devices still to update; the head is being updated.
    QList<DeviceItem *> queue() const;
    // The state of the device's latest run (null when it never ran).
    static UpdateState *stateOf(const DeviceItem *device);

public slots:
    // Cancels the run: the master is told, updateFinished reports it.
    void stop();
    // Takes a device out of the run.
    void removeDevice(DeviceItem *device);
    // Forgets the run without a word to the master or anyone: for a
    // connection that is going away with its devices.
    void forget();
    // Polls the master about the head device.
    void updatePing();

signals:
    void updateStarted(QList<DeviceItem *> devices);
    void updateFinished(QList<DeviceItem *> updatedDevices, QList<DeviceItem *> failedDevices);
    void deviceUpdateStarted(DeviceItem *device);
    void deviceUpdateProgress(unsigned percentComplete);
    void deviceUpdateFinished(DeviceItem *device);
    void deviceUpdateFailed(DeviceItem *device);
    void deviceRemoved(DeviceItem *device);
    void sendPacket(QByteArray data, ResponseCb cb);

private:
    using DeviceList = QList<QPointer<DeviceItem>>;

    static UpdateState *newState(DeviceItem *device, int step, int attempts);
    void send(const QByteArray &data, bool cancel = false);
    void beginUpdate();
    bool parseResponse(quint32 request, const Packet &reply);
    void updateStartParseResponse();
    void updatePingParseResponse(const Packet &reply);
    void updatePingParseAck();
    void parseError(const char *handler, bool restartNote);
    void restartOrFail();
    // The head is given up: failed, reported, and the run goes on or ends.
    void failHead();
    // The run ends when the queue ran empty.
    void finishIfEmpty();
    void cancelPing();

    FirmwareTimings m_timings;
    quint32 m_firmwareSize = 0;
    DeviceList updateQueue;
    DeviceList failedDevices;
    DeviceList updatedDevices;
    QTimer m_pingTimer;
    quint32 m_lastRequest = 0;
};

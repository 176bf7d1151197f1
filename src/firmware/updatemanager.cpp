#include "updatemanager.h"

#include "deviceitem.h"
#include "firmwareprogress.h"

#include <QDebug>

#include <algorithm>

namespace {

constexpr int NilvoDeviceType = 13;
constexpr int MaxErrorStarts = 3;   // start requests of a device the master answers with errors
constexpr int MaxRestartStarts = 4; // start requests of a device whose link is lost or times out

// The device's number in the master's device table, as sent to the master.
int numberOf(const DeviceItem *device)
{
    return device->data(DeviceRole::RadioAddress).toInt();
}

QList<DeviceItem *> liveDevices(const QList<QPointer<DeviceItem>> &list)
{
    QList<DeviceItem *> devices;
    for (const QPointer<DeviceItem> &device : list)
        if (device)
            devices << device.data();
    return devices;
}

} // namespace

UpdateManager *UpdateManager::instance()
{
    static UpdateManager *manager = new UpdateManager;
    return manager;
}

UpdateManager::UpdateManager(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<UpdateState *>("UpdateState *");
    qRegisterMetaType<QList<DeviceItem *>>("QList<DeviceItem*>");
    registerBootSectionHeaderMetaType();
    registerPacketMetaTypes();
    m_pingTimer.setSingleShot(true);
    connect(&m_pingTimer, &QTimer::timeout, this, &UpdateManager::updatePing);
}

QList<DeviceItem *> UpdateManager::queue() const
{
    return liveDevices(updateQueue);
}

UpdateState *UpdateManager::stateOf(const DeviceItem *device)
{
    return device ? device->property("update_state").value<UpdateState *>() : nullptr;
}

UpdateState *UpdateManager::newState(DeviceItem *device, int step, int attempts)
{
    delete stateOf(device);
    auto *state = new UpdateState(device);
    state->step = step;
    state->attempts = attempts;
    device->setProperty("update_state", QVariant::fromValue(state));
    return state;
}

void UpdateManager::cancelPing()
{
    m_pingTimer.stop();
}

void UpdateManager::send(const QByteArray &data, bool cancel)
{
    const quint32 request = ++m_lastRequest;
    QPointer<UpdateManager> self(this);
    emit sendPacket(data, [self, request, cancel](const Packet &reply) {
        if (cancel)
            qDebug().noquote() << tr("Update stopped");
        return self ? self->parseResponse(request, reply) : false;
    });
}

void UpdateManager::update(const QList<DeviceItem *> &devices, const HUBRO32BootSectionHeader_t &header)
{
    if (isBusy()) {
        qCritical().noquote() << tr("Update manager is busy!");
        return;
    }
    cancelPing();
    ++m_lastRequest; // replies of an earlier run are no one's now
    updateQueue.clear();
    for (DeviceItem *device : devices)
        if (device && device->isOnline() && quint16(device->deviceType() & 0xFF) == header.deviceType)
            updateQueue << device;
    for (const QPointer<DeviceItem> &device : updateQueue)
        newState(device, 0, 0);
    if (updateQueue.isEmpty())
        return;
    beginUpdate();
    emit updateStarted(queue());
}

void UpdateManager::attach(DeviceItem *device)
{
    if (!device)
        return;
    cancelPing();
    ++m_lastRequest;
    updateQueue.clear();
    updateQueue << device;
    newState(device, 1, 1);
    m_pingTimer.start(m_timings.updatePing);
    emit updateStarted(queue());
    emit deviceUpdateStarted(device);
}

void UpdateManager::beginUpdate()
{
    const int before = updateQueue.size();
    updateQueue.removeAll(QPointer<DeviceItem>());
    if (updateQueue.size() != before)
        qDebug().noquote() << QStringLiteral("UpdateManager: %1 device(s) gone, dropped").arg(before - updateQueue.size());
    if (updateQueue.isEmpty()) {
        if (updateQueue.size() != before)
            finishIfEmpty();
        return;
    }

    DeviceList kept;
    DeviceList moved;
    for (const QPointer<DeviceItem> &device : qAsConst(updateQueue)) {
        if (device->deviceType() == NilvoDeviceType && device->data(DeviceRole::ClassFlag).toInt() == 0) {
            qDebug().noquote() << tr("NILVO %1 with 60 min interval moved to end").arg(numberOf(device));
            moved << device;
        } else {
            kept << device;
        }
    }
    updateQueue = kept + moved;

    DeviceItem *head = updateQueue.constFirst();
    UpdateState *state = stateOf(head);
    if (!state)
        state = newState(head, 0, 0);
    send(QByteArray(1, char(PT_FW_UPDATE_START)) + char(quint8(numberOf(head))));
    ++state->attempts;
}

void UpdateManager::updatePing()
{
    if (updateQueue.isEmpty())
        return;
    const QPointer<DeviceItem> head = updateQueue.constFirst();
    if (!head || !head->isOnline()) {
        // Given up, and the run goes on with the next device.
        failHead();
        finishIfEmpty();
        beginUpdate();
        return;
    }
    send(QByteArray(1, char(PT_FW_UPDATE_PING)));
}

void UpdateManager::failHead()
{
    const QPointer<DeviceItem> head = updateQueue.takeFirst();
    failedDevices << head;
    if (head)
        emit deviceUpdateFailed(head);
    else
        qDebug().noquote() << QStringLiteral("UpdateManager: the device being updated is gone");
}

void UpdateManager::finishIfEmpty()
{
    if (!updateQueue.isEmpty())
        return;
    const QList<DeviceItem *> updated = liveDevices(updatedDevices);
    const QList<DeviceItem *> failed = liveDevices(failedDevices);
    updatedDevices.clear();
    failedDevices.clear();
    emit updateFinished(updated, failed);
}

bool UpdateManager::parseResponse(quint32 request, const Packet &reply)
{
    const quint8 type = replyTypeOf(reply);
    if (request != m_lastRequest) {
        qDebug().noquote() << QStringLiteral("Reply %1 to an earlier update request: dropped")
                                  .arg(QLatin1String(packetTypeName(type)));
        return false;
    }
    if (updateQueue.isEmpty()) {
        if (type == PT_FW_UPDATE_BUSY)
            qDebug().noquote() << QStringLiteral("UpdateManager::parseResponse PT_FW_UPDATE_BUSY");
        return false;
    }
    if (!updateQueue.constFirst()) {
        failHead();
        finishIfEmpty();
        beginUpdate();
        return false;
    }

    switch (type) {
    case PT_FW_UPDATE_RF_RETURN:
    case PT_FW_UPDATE_START_ACK:
    case PT_FW_UPDATE_ACK:
    case PT_FW_UPDATE_TIMEOUT:
    case PT_FW_UPDATE_ERROR:
    case PT_FW_UPDATE_DATA_ERROR:
    case PT_FW_UPDATE_TASK_CREATE_ERROR:
        qDebug().noquote() << QStringLiteral("in UpdateManager ") + QLatin1String(packetTypeName(type));
        break;
    default:
        break;
    }

    switch (type) {
    case PT_FW_UPDATE_RF_RETURN:
        qWarning().noquote() << tr("Connection was lost and restored while updating device!");
        restartOrFail();
        return true;
    case PT_FW_UPDATE_START_ACK:
        updateStartParseResponse();
        return true;
    case PT_FW_UPDATE_ACK:
        updatePingParseAck();
        return true;
    case PT_FW_UPDATE_BUSY:
        updatePingParseResponse(reply);
        return true;
    case PT_FW_UPDATE_TIMEOUT:
        qWarning().noquote() << tr("Timeout updating device!");
        restartOrFail();
        return true;
    case PT_FW_UPDATE_ERROR:
        parseError("parseUpdateError()", false);
        return true;
    case PT_FW_UPDATE_DATA_ERROR:
        parseError("parseDataError()", true);
        return true;
    case PT_FW_UPDATE_TASK_CREATE_ERROR:
        parseError("parseTaskCreateError()", true);
        return true;
    default:
        return false;
    }
}

namespace {

void logIncorrectState(const char *handler, int expected, int got)
{
    qCritical().noquote() << QStringLiteral("Incorrect update state! In %1, expected: %2, got: %3")
                                 .arg(QLatin1String(handler))
                                 .arg(expected)
                                 .arg(got);
}

} // namespace

void UpdateManager::updateStartParseResponse()
{
    DeviceItem *head = updateQueue.constFirst();
    UpdateState *state = stateOf(head);
    if (state->step != 0)
        logIncorrectState("updateStartParseResponse", 0, state->step);
    state->step = 1;
    emit deviceUpdateStarted(head);
    m_pingTimer.start(m_timings.updatePing);
}

void UpdateManager::updatePingParseResponse(const Packet &reply)
{
    UpdateState *state = stateOf(updateQueue.constFirst());
    if (state->step != 1 && state->step != 2)
        logIncorrectState("updatePingParseResponse", 1, state->step);
    state->step = 2;
    if (const std::optional<quint32> remaining = busyAmount(reply)) {
        if (m_firmwareSize == 0)
            m_firmwareSize = *remaining;
        const unsigned progress = shareDone(m_firmwareSize, *remaining);
        qDebug().noquote() << QStringLiteral("firmware update status: %1 (%2)").arg(*remaining).arg(progress);
        emit deviceUpdateProgress(progress);
    }
    m_pingTimer.start(m_timings.updatePing);
}

void UpdateManager::updatePingParseAck()
{
    DeviceItem *head = updateQueue.constFirst();
    UpdateState *state = stateOf(head);
    if (state->step != 2) {
        logIncorrectState("updatePingParseAck", 2, state->step);
        return;
    }
    qDebug().noquote() << QStringLiteral("Finished updating device #%1").arg(head->data(DeviceRole::AddressText).toString());
    updatedDevices << updateQueue.takeFirst();
    qDebug().noquote() << QStringLiteral("Successfully updated = %1. Updating failed = %2. In queue = %3")
                              .arg(updatedDevices.size())
                              .arg(failedDevices.size())
                              .arg(updateQueue.size());
    emit deviceUpdateFinished(head);
    if (!updateQueue.isEmpty())
        beginUpdate();
    else
        finishIfEmpty();
}

void UpdateManager::parseError(const char *handler, bool restartNote)
{
    qWarning().noquote() << tr("Something went wrong");
    UpdateState *state = stateOf(updateQueue.constFirst());
    if (state->attempts < MaxErrorStarts) {
        state->step = 0;
        if (restartNote)
            qDebug().noquote() << QLatin1String(handler) + QStringLiteral(" Restarting update");
    } else {
        qCritical().noquote() << QLatin1String(handler) + QLatin1Char(' ') + tr("Failed to update device!");
        failHead();
        finishIfEmpty();
    }
    beginUpdate();
}

void UpdateManager::restartOrFail()
{
    DeviceItem *head = updateQueue.constFirst();
    UpdateState *state = stateOf(head);
    if (state->attempts < MaxRestartStarts && head->isOnline()) {
        state->step = 0;
        beginUpdate();
        return;
    }
    failHead();
    qCritical().noquote() << tr("Failed to update device!");
    finishIfEmpty();
    beginUpdate();
}

void UpdateManager::stop()
{
    if (updateQueue.isEmpty())
        return;
    updateQueue.clear();
    cancelPing();
    send(QByteArray(1, char(PT_FW_UPDATE_CANCEL)), true);
    finishIfEmpty();
}

void UpdateManager::removeDevice(DeviceItem *device)
{
    if (!device)
        return;
    const quint8 id = device->deviceId();
    const auto sameDevice = [device, id](const QPointer<DeviceItem> &queued) {
        return queued && (queued == device || queued->deviceId() == id);
    };
    if (std::none_of(updateQueue.cbegin(), updateQueue.cend(), sameDevice))
        return;
    qDebug().noquote() << QStringLiteral("UpdateManager::removeDevice ") + device->itemTypeName();
    emit deviceRemoved(device);
    updateQueue.erase(std::remove_if(updateQueue.begin(), updateQueue.end(), sameDevice), updateQueue.end());
    cancelPing();
    if (!updateQueue.isEmpty()) {
        qDebug().noquote() << QStringLiteral("beginUpdate();");
        beginUpdate();
        return;
    }
    qDebug().noquote() << QStringLiteral("removeDevice emit deviceUpdateFailed(device);");
    emit deviceUpdateFailed(device);
    finishIfEmpty();
}

void UpdateManager::forget()
{
    cancelPing();
    ++m_lastRequest;
    updateQueue.clear();
    updatedDevices.clear();
    failedDevices.clear();
}

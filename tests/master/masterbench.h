#pragma once

// What the master item tests share: status records to start from, status
// answers as a master sends them, and a scripted link that answers the item's
// requests by request type.

#include "hubroitem.h"
#include "hubrostatus.h"
#include "packet.h"
#include "qtpropertybrowser.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTimer>

#include <QSignalSpy>

#include <cstring>
#include <functional>
#include <initializer_list>
#include <memory>

// A healthy 125-device master: type 40, hardware 14, core 1.32, radio 1.20,
// 180 s loss detection, channel 2 of group 0, supplies good, case closed,
// clock right, no password.
inline hubroInfo_t healthyRecord()
{
    hubroInfo_t info;
    std::memset(&info, 0, sizeof info);
    info.bDevType = 40;
    info.bHWVer = 14;
    info.wMK1FWVer = 0x0114;
    info.wMK2FWVer = 0x0120;
    std::memcpy(info.szDate, "Aug 28 2026", 11);
    std::memcpy(info.szTime, "14:03:00", 8);
    info.wPowerMain = 12000;
    info.wPowerBackup = 12500;
    info.wPowerWireloop = 24000;
    info.dwSerialId = 123456;
    info.wExchangeInterval = 6000; // 180 s
    info.wHeapFree = 2048;
    info.bWireloopAddr = 7;
    info.Time = quint32(QDateTime::currentSecsSinceEpoch());
    info.ChannelsAdvanced.btfRFCurr = 2;
    info.ChannelsAdvanced.btfRecommended = 2;
    info.bPowerState = 0x03;
    return info;
}

// A 32-device master: type 0, hardware 9 (an older master: first channel form).
inline hubroInfo_t hubro32Record()
{
    hubroInfo_t info = healthyRecord();
    info.bDevType = 0;
    info.bHWVer = 9;
    info.ChannelsAdvanced.btfRFCurr = 0;
    info.ChannelsAdvanced.btfRecommended = 0;
    info.Channels.btfRFCurr = 1;
    info.Channels.btfRecommended = 1;
    info.Time = 0; // its clock is never set
    return info;
}

// Check byte of a serial frame; any value the item must not read as data.
inline char checkByteOf(const QByteArray &data)
{
    char sum = char(0x5A);
    for (const char c : data)
        sum = char(sum ^ c);
    return sum;
}

// PT_HUBRO_INFO_ACK as the master sends it: the whole record, or the 32-device
// master's short answer (record bytes 0-55, then RFNoise).
inline QByteArray statusAnswer(const hubroInfo_t &info)
{
    const QByteArray record = hubroInfoToBytes(info);
    QByteArray data(1, char(PT_HUBRO_INFO_ACK));
    if (info.bDevType == 0) {
        data += record.left(56);
        data += char(info.RFNoise);
    } else {
        data += record;
    }
    return data;
}

inline QByteArray bytesOf(std::initializer_list<int> list)
{
    QByteArray data;
    for (const int b : list)
        data.append(char(b));
    return data;
}

// Stands in for the link: records every request the item sends and answers it
// by its type byte, a turn of the event loop later as a link would, with a
// Packet whose data end with the check byte on serial and wired-bus links.
// Requests of a type without a script wait in `pending` for respond().
class ScriptedLink : public QObject
{
public:
    using Answer = std::function<QByteArray(const QByteArray &request)>;

    struct Request
    {
        QByteArray data;
        ResponseCb cb;
    };

    explicit ScriptedLink(HubroItem &item, ConnectionType type = Serial) : m_type(type)
    {
        registerPacketMetaTypes();
        item.setConnection(type);
        connect(&item, &DeviceItem::sendPacket, this, [this](const QByteArray &data, const ResponseCb &cb) {
            sent << data;
            const quint8 type = data.isEmpty() ? 0 : quint8(data.at(0));
            const auto script = m_scripts.constFind(type);
            if (script == m_scripts.constEnd()) {
                pending << Request{data, cb};
                return;
            }
            const QByteArray reply = (*script)(data);
            QTimer::singleShot(0, this, [this, data, cb, reply] { results << cb(packet(reply, data)); });
        });
    }

    // Answers every request of this type.
    void script(quint8 requestType, Answer answer) { m_scripts.insert(requestType, std::move(answer)); }
    void script(quint8 requestType, const QByteArray &reply)
    {
        script(requestType, [reply](const QByteArray &) { return reply; });
    }
    void unscript(quint8 requestType) { m_scripts.remove(requestType); }

    // The reply as the link hands it over.
    Packet packet(const QByteArray &reply, const QByteArray &request = QByteArray()) const
    {
        Packet p;
        p.data = reply;
        if (HubroStatus::replyHasCheckByte(m_type))
            p.data.append(checkByteOf(reply));
        p.request = request;
        p.timestamp = QDateTime::currentMSecsSinceEpoch();
        return p;
    }

    // Answers the oldest waiting request of the type; returns the callback's
    // result (false when none waits).
    bool respond(quint8 requestType, const QByteArray &reply)
    {
        for (int i = 0; i < pending.size(); ++i) {
            if (!pending.at(i).data.isEmpty() && quint8(pending.at(i).data.at(0)) == requestType) {
                const Request request = pending.takeAt(i);
                return request.cb(packet(reply, request.data));
            }
        }
        return false;
    }
    bool hasPending(quint8 requestType) const
    {
        for (const Request &request : pending)
            if (!request.data.isEmpty() && quint8(request.data.at(0)) == requestType)
                return true;
        return false;
    }

    QList<QByteArray> sentOfType(quint8 type) const
    {
        QList<QByteArray> list;
        for (const QByteArray &data : sent)
            if (!data.isEmpty() && quint8(data.at(0)) == type)
                list << data;
        return list;
    }
    int countOf(quint8 type) const { return sentOfType(type).size(); }

    QList<QByteArray> sent;
    QList<Request> pending;
    QList<bool> results; // of the scripted answers, in order

private:
    ConnectionType m_type;
    QHash<quint8, Answer> m_scripts;
};

// The row of that name anywhere in the item's tree; null when there is none.
inline QtProperty *findRow(const QList<QtProperty *> &rows, const QString &name)
{
    for (QtProperty *row : rows) {
        if (row->propertyName() == name)
            return row;
        if (QtProperty *found = findRow(row->subProperties(), name))
            return found;
    }
    return nullptr;
}

inline QtProperty *findRow(const DeviceItem &item, const QString &name)
{
    return findRow(item.topProperties(), name);
}

inline QString rowText(const DeviceItem &item, const QString &name)
{
    QtProperty *row = findRow(item, name);
    return row ? row->valueText() : QStringLiteral("<no row>");
}

// Timers of the item short enough for tests; the refresh is slow unless a test
// asks for it.
inline HubroItem::Timings fastTimings(int refreshMs = 60000)
{
    HubroItem::Timings t;
    t.refresh = refreshMs;
    t.nearby = 20;
    t.upload = 60000;
    t.compatibilityCheck = 60000;
    t.currentStatus = 60000;
    t.firmwareHeaders = 60000;
    t.clockSet = 10;
    t.mk1Ping = 10;
    t.reconnectedSignal = 10;
    return t;
}

// A test's master item on its scripted link.
class MasterFixture
{
protected:
    // A new master, connected; its status answer gives `info` from now on.
    // The requests of the connecting are forgotten.
    bool connectMaster(const hubroInfo_t &info, bool kastrelMode = false, ConnectionType type = Serial)
    {
        m_link.reset();
        m_item = std::make_unique<HubroItem>(info, kastrelMode);
        m_link = std::make_unique<ScriptedLink>(*m_item, type);
        m_link->script(PT_HUBRO_INFO, statusAnswer(info));
        QSignalSpy connected(m_item.get(), &HubroItem::connected);
        const bool ok = connected.wait(2000);
        m_link->sent.clear();
        return ok;
    }

    void releaseMaster()
    {
        m_link.reset();
        m_item.reset();
    }

    std::unique_ptr<HubroItem> m_item;
    std::unique_ptr<ScriptedLink> m_link;
};

#pragma once

// Devices, masters and a connection stand-in for the device view tests.

#include "addresscombobox.h"
#include "appglobals.h"
#include "deviceinfo.h"
#include "deviceitem.h"
#include "devicesource.h"
#include "di_abstractrepeater.h"
#include "testsupport.h"

#include <QAbstractItemModel>
#include <QObject>
#include <QtEndian>

#include <memory>

// Pictures, model names and metatypes; short item and editor timers.
inline void prepareViewTests()
{
    initTestResources();
    registerDeviceModelNames();
    registerDeviceInfoMetaType();
    qRegisterMetaType<QList<QPersistentModelIndex>>();
    qRegisterMetaType<QAbstractItemModel::LayoutChangeHint>();
    DeviceItem::setTimings(10, 10);
    ComboBox::setPopupDelay(5);
}

// RL bytes 13..16 of the record, in record order.
inline quint32 route(quint8 b13, quint8 b14 = 0, quint8 b15 = 0, quint8 b16 = 0)
{
    return quint32(b13) | quint32(b14) << 8 | quint32(b15) << 16 | quint32(b16) << 24;
}

struct Record
{
    deviceInfo_t info;

    explicit Record(quint8 radio, int type = 4)
    {
        info.radioAddress = radio;
        info.serialNumber = 100000u + radio;
        info.firmwareVersion = 0x0105;
        info.hardwareVersion = 0x020A;
        info.wireloopAddress = radio;
        info.deviceType = quint8(type);
        info.linkState = 2;
        info.rssi = -60;
        info.rlSupported = 1;
        info.buildNumber = 7;
        info.kastrelAddress = quint8(radio + 100);
    }
    Record &wireloop(quint8 a) { info.wireloopAddress = a; return *this; }
    Record &kastrel(quint8 a) { info.kastrelAddress = a; return *this; }
    Record &rl(quint32 value) { info.rl = value; return *this; }
    Record &rlSupported(quint8 value) { info.rlSupported = value; return *this; }
    Record &serial(quint32 value) { info.serialNumber = value; return *this; }
    Record &rssi(qint8 value) { info.rssi = value; return *this; }
    Record &link(quint8 value) { info.linkState = value; return *this; }
    Record &firmware(quint16 value) { info.firmwareVersion = value; return *this; }
    Record &hardware(quint16 value) { info.hardwareVersion = value; return *this; }
    Record &build(quint8 value) { info.buildNumber = value; return *this; }
    operator deviceInfo_t() const { return info; }
};

// State bytes of a device that takes `extra` further addresses (bits 2..4
// of state byte 1) and reports everything normal.
inline QByteArray stateWithSpan(int extra)
{
    QByteArray state(6, '\0');
    state[0] = char(0xF0);
    quint8 bits = 0;
    for (int i = 0; i < extra && i < 3; ++i)
        bits |= quint8(1 << (2 + i));
    state[1] = char(bits);
    state[3] = char(100);
    return state;
}

inline std::unique_ptr<DeviceItem> makeDevice(const deviceInfo_t &info, int span = 0, bool kastrelMode = false)
{
    auto item = std::make_unique<DeviceItem>(info, kastrelMode);
    item->updateState(info, stateWithSpan(span));
    return item;
}

// Masters and repeaters are plain repeater items with the type code.
inline std::unique_ptr<DI_AbstractRepeater> makeRepeater(const deviceInfo_t &info)
{
    auto item = std::make_unique<DI_AbstractRepeater>(info, false);
    item->updateState(info, stateWithSpan(0));
    return item;
}

inline std::unique_ptr<DI_AbstractRepeater> makeMaster(int type = 40, quint8 wireloop = 0)
{
    return makeRepeater(Record(255, type).wireloop(wireloop).rl(0).kastrel(0));
}

// Moves a device to another route the way a poll does.
inline void reroute(DeviceItem *item, quint32 rl)
{
    deviceInfo_t info = item->deviceInfo();
    info.rl = rl;
    item->updateState(info, item->stateBlock());
}

// The connection as the delegates see it.
class FakeSource : public QObject, public DeviceSource
{
public:
    MasterType type = MasterOrdinary;
    DeviceItem *masterItem = nullptr;
    QList<DeviceItem *> deviceList;

    MasterType masterType() const override { return type; }
    DeviceItem *master() const override { return masterItem; }
    QList<DeviceItem *> devices() const override { return deviceList; }
};

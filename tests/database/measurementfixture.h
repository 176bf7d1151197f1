#pragma once

// Device items for the measurement windows: radio devices of a type code and
// serial number, and an expander item.

#include "deviceitem.h"
#include "hubroitem.h"

#include <QApplication>
#include <QWidget>

#include <memory>

inline std::unique_ptr<DeviceItem> radioDevice(int type, quint32 serial)
{
    deviceInfo_t info{};
    info.deviceType = quint8(type);
    info.serialNumber = serial;
    info.linkState = 2;
    return std::make_unique<DeviceItem>(info, false);
}

inline std::unique_ptr<HubroItem> expander(quint32 serial, int type = 1)
{
    hubroInfo_t info{};
    info.bDevType = quint8(type);
    info.bHWVer = 9;
    info.wMK2FWVer = 0x0200;
    info.dwSerialId = serial;
    info.wExchangeInterval = 100; // 1 s
    return std::make_unique<HubroItem>(info, false);
}

// The one shown top-level widget of that class; null when none.
template <typename T>
T *shownWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<T *>(widget); window && window->isVisible())
            return window;
    }
    return nullptr;
}

#pragma once

#include "deviceinfo.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <initializer_list>

class DeviceItem;

// Which class represents each device-type code, and where the lists of
// parameter keys and titles of a code come from. The device classes live
// above the device model, so they enter themselves here (the devices
// library's registration function, run once at start-up); a code that has
// nothing registered gets a plain DeviceItem and the base lists.
namespace DeviceClasses {

using Creator = std::function<DeviceItem *(const deviceInfo_t &info, bool kastrelMode)>;
using FieldNamesFn = QStringList (*)();
using TitleLookupFn = QString (*)(const QString &);

void registerCreator(int code, const QString &className, Creator creator);
void registerFieldNames(int code, FieldNamesFn fieldNames);
void registerTitles(int code, TitleLookupFn keyOfTitle, TitleLookupFn titleOfKey);

// A device class T made for the codes given, with its static lists
// (T::staticFieldNames, T::staticParameterKey, T::staticParameterTitle)
// for the same codes.
template <class T>
void registerClass(std::initializer_list<int> codes)
{
    for (int code : codes) {
        registerCreator(code, QString::fromLatin1(T::staticMetaObject.className()),
                        [](const deviceInfo_t &info, bool kastrelMode) -> DeviceItem * {
                            return new T(info, kastrelMode);
                        });
        registerFieldNames(code, &T::staticFieldNames);
        registerTitles(code, &T::staticParameterKey, &T::staticParameterTitle);
    }
}

// The class made for a code: the registered one, else "DeviceItem".
QString className(int code);
bool hasCreator(int code);

// Forgets every registration (tests).
void clear();

} // namespace DeviceClasses

// Makes the item of a device-info record by its type code (byte 10); the
// caller owns it.
DeviceItem *createDeviceItem(const deviceInfo_t &info, bool kastrelMode);

#pragma once

#include "devicedescription.h"
#include "deviceinfo.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <initializer_list>

class DeviceItem;

// Which class represents each device-type code, and where the lists of
// parameter keys, titles and settings of a code come from. The device
// classes live above the device model, so they enter themselves here (the
// devices library's registration function, run once at start-up); a code
// that has nothing registered gets a plain DeviceItem and the base lists.
namespace DeviceClasses {

using Creator = std::function<DeviceItem *(const deviceInfo_t &info, bool kastrelMode)>;
using FieldNamesFn = std::function<QStringList()>;
using TitleLookupFn = std::function<QString(const QString &)>;

void registerCreator(int code, const QString &className, Creator creator);
void registerFieldNames(int code, FieldNamesFn fieldNames);
void registerTitles(int code, TitleLookupFn keyOfTitle, TitleLookupFn titleOfKey);

// A described class: made by `creator` for the description's codes, its
// lists answered for those and its listed codes.
void registerDescribed(DescriptionFn describe, const QString &className, Creator creator);

// A device class T with its description (T::description): one line per class.
template <class T>
void registerClass()
{
    registerDescribed(&T::description, QString::fromLatin1(T::staticMetaObject.className()),
                      [](const deviceInfo_t &info, bool kastrelMode) -> DeviceItem * {
                          return new T(info, kastrelMode);
                      });
}

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
// The description registered for a code; null when none is.
DescriptionFn description(int code);

// Forgets every registration (tests).
void clear();

// What the base item does differently for some type codes: one row for
// every code.
struct TypeTraits
{
    enum class AlarmText { Alarm, Fire, ExtinguishingStart, SmokeExhaustStart, None };
    AlarmText alarmText = AlarmText::Alarm; // said while state byte 0 bit 4 is clear
    bool failText = true;                   // "Fail" for bit 6 of state byte 4
    bool reservePowerText = true;           // "Reserve power failed"
    bool normalText = true;                 // "Normal" when nothing else is said
    bool batteryVoltage = true;             // "Main battery voltage" shows the supply
    bool batteryNeedsVoltage = true;        // "Main battery state" reads "Not inserted" without a voltage
    bool extraAddresses = true;             // bits 2-4 of state byte 1 take further Wireloop addresses
    bool classFlag = false;                 // role 290 answers bit 1 of state byte 0
};
const TypeTraits &typeTraits(int code);

} // namespace DeviceClasses

// Makes the item of a device-info record by its type code (byte 10); the
// caller owns it.
DeviceItem *createDeviceItem(const deviceInfo_t &info, bool kastrelMode);

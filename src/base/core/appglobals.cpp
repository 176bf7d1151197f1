#include "appglobals.h"

#include <QObject>
#include <QTranslator>

#include <functional>

QStringList deviceModelNames = [] {
    QStringList names;
    for (int i = 0; i < DeviceModelCount; ++i)
        names << QString();
    return names;
}();

const QList<int> masterDeviceTypes{0, 1, 40, 41, 42, 43, 44, 141};
const QList<int> hubro125DeviceTypes{40, 41, 43, 44, 141};
const QList<int> repeaterDeviceTypes{30, 51, 71, 49, 50, 51, 57, 66};
const QList<int> communicatorDeviceTypes{35, 36, 37, 38, 39, 58, 59, 61, 62};
const QList<int> waterMeterDeviceTypes{19, 56};

const QString programTitle = QStringLiteral("Zentar Configurator");
const QString updateCheckUrl = QStringLiteral("http://updates.zorvo.invalid/version/");

namespace {
struct ModelName
{
    int code;
    const char *source; // translated in the context "QObject"
};

const ModelName modelNames[] = {
    {0, QT_TRANSLATE_NOOP("QObject", "Zentar-HUBRO32")},
    {1, QT_TRANSLATE_NOOP("QObject", "Zentar-HUBRO32-MK2")},
    {2, QT_TRANSLATE_NOOP("QObject", "Zentar-BEXIL")},
    {3, QT_TRANSLATE_NOOP("QObject", "Zentar-DRALO")},
    {4, QT_TRANSLATE_NOOP("QObject", "Zentar-TIRUN")},
    {5, QT_TRANSLATE_NOOP("QObject", "Zentar-MAVO")},
    {6, QT_TRANSLATE_NOOP("QObject", "Zentar-OLVEK")},
    {7, QT_TRANSLATE_NOOP("QObject", "Zentar-HOXEL")},
    {10, QT_TRANSLATE_NOOP("QObject", "Zentar-WEMDAR")},
    {11, QT_TRANSLATE_NOOP("QObject", "Zentar-QUABE")},
    {12, QT_TRANSLATE_NOOP("QObject", "Zentar-TEST_DEV")},
    {13, QT_TRANSLATE_NOOP("QObject", "Zentar-NILVO2")},
    {14, QT_TRANSLATE_NOOP("QObject", "Zentar-FOTRA")},
    {15, QT_TRANSLATE_NOOP("QObject", "Zentar-FOTRA ISP01")},
    {16, QT_TRANSLATE_NOOP("QObject", "Zentar-YOLVIK")},
    {17, QT_TRANSLATE_NOOP("QObject", "Zentar-VUXO")},
    {18, QT_TRANSLATE_NOOP("QObject", "Zentar-KEMREL")},
    {19, QT_TRANSLATE_NOOP("QObject", "Water meter")},
    {20, QT_TRANSLATE_NOOP("QObject", "Zentar-PONDRA")},
    {21, QT_TRANSLATE_NOOP("QObject", "Zentar-Lumeq-207")},
    {22, QT_TRANSLATE_NOOP("QObject", "Zentar-Lumeq-609-Exd")},
    {23, QT_TRANSLATE_NOOP("QObject", "Zentar-JORVU")},
    {24, QT_TRANSLATE_NOOP("QObject", "Zentar-YOLVIK ISP01")},
    {25, QT_TRANSLATE_NOOP("QObject", "Zentar-YOLVIK ISP02")},
    {26, QT_TRANSLATE_NOOP("QObject", "Zentar-OLVEK ISP02")},
    {27, QT_TRANSLATE_NOOP("QObject", "Zentar-TASKEL")},
    {28, QT_TRANSLATE_NOOP("QObject", "Zentar-TASKEL-SH")},
    {29, QT_TRANSLATE_NOOP("QObject", "Zentar-RUFTA")},
    {30, QT_TRANSLATE_NOOP("QObject", "Zentar-SEBREL")},
    {31, QT_TRANSLATE_NOOP("QObject", "Zentar-WEMDAR ISP01")},
    {32, QT_TRANSLATE_NOOP("QObject", "Zentar-GURTA")},
    {33, QT_TRANSLATE_NOOP("QObject", "Zentar-PEMMEL 53")},
    {34, QT_TRANSLATE_NOOP("QObject", "Zentar-VUXO ISP01")},
    {37, QT_TRANSLATE_NOOP("QObject", "Kestrune GSM-Р ISP00")},
    {38, QT_TRANSLATE_NOOP("QObject", "Kestrune GSM-Р ISP01")},
    {39, QT_TRANSLATE_NOOP("QObject", "Kestrune LTE ISP0")},
    {40, QT_TRANSLATE_NOOP("QObject", "Zentar-HUBRO125")},
    {41, QT_TRANSLATE_NOOP("QObject", "Zentar-HUBRO125")},
    {42, QT_TRANSLATE_NOOP("QObject", "Pyxal")},
    {43, QT_TRANSLATE_NOOP("QObject", "Zentar-MK1-Demo-TOVRA13")},
    {44, QT_TRANSLATE_NOOP("QObject", "Zentar-MK2-Demo-TOVRA13")},
    {45, QT_TRANSLATE_NOOP("QObject", "Zentar-HUBRO32-ExtFlash")},
    {46, QT_TRANSLATE_NOOP("QObject", "BOOTLOADER ISP00")},
    {47, QT_TRANSLATE_NOOP("QObject", "BOOTLOADER LTE ISP0")},
    {48, QT_TRANSLATE_NOOP("QObject", "BOOTLOADER LTE ISP01")},
    {49, QT_TRANSLATE_NOOP("QObject", "Zentar-PONDRA-220")},
    {50, QT_TRANSLATE_NOOP("QObject", "Zentar-PONDRA-24")},
    {51, QT_TRANSLATE_NOOP("QObject", "Zentar-SEBREL")},
    {52, QT_TRANSLATE_NOOP("QObject", "Zentar-PEMMEL 55")},
    {53, QT_TRANSLATE_NOOP("QObject", "Zentar-RUFTA SER01")},
    {54, QT_TRANSLATE_NOOP("QObject", "Zentar-NUDRA")},
    {55, QT_TRANSLATE_NOOP("QObject", "Zentar-RUFTA ISP01")},
    {56, QT_TRANSLATE_NOOP("QObject", "Water meter")},
    {57, QT_TRANSLATE_NOOP("QObject", "Zentar-Plimsa")},
    {58, QT_TRANSLATE_NOOP("QObject", "Kestrune GSM Flash")},
    {59, QT_TRANSLATE_NOOP("QObject", "Kestrune GSM WEB")},
    {61, QT_TRANSLATE_NOOP("QObject", "Kestrune LTE Flash ISP0")},
    {62, QT_TRANSLATE_NOOP("QObject", "Kestrune LTE Flash ISP01")},
    {63, QT_TRANSLATE_NOOP("QObject", "Zentar-QUENDAL")},
    {64, QT_TRANSLATE_NOOP("QObject", "Zentar-QUENDAL ISP02")},
    {65, QT_TRANSLATE_NOOP("QObject", "Zentar-DROVI")},
    {67, QT_TRANSLATE_NOOP("QObject", "Zentar-DRALO-4")},
    {68, QT_TRANSLATE_NOOP("QObject", "Kestrune LTE ISP01")},
    {70, QT_TRANSLATE_NOOP("QObject", "Zentar-VINDRAK")},
    {71, QT_TRANSLATE_NOOP("QObject", "Zentar-SEBREL isp. 02")},
    {141, QT_TRANSLATE_NOOP("QObject", "Zentar-HUBRO125 exec. 01")},
};

QStringList modelNameTable(const std::function<QString(const char *)> &text)
{
    QStringList names;
    for (int i = 0; i < DeviceModelCount; ++i)
        names << QString();
    for (const ModelName &name : modelNames)
        names[name.code] = text(name.source);
    return names;
}
} // namespace

void registerDeviceModelNames()
{
    deviceModelNames = modelNameTable([](const char *source) { return QObject::tr(source); });
}

QStringList untranslatedDeviceModelNames()
{
    return modelNameTable([](const char *source) { return QString::fromUtf8(source); });
}

QStringList deviceModelNamesIn(const QTranslator &translator)
{
    return modelNameTable([&translator](const char *source) {
        const QString text = translator.translate("QObject", source);
        return text.isEmpty() ? QString::fromUtf8(source) : text;
    });
}

QString deviceTypeName(int code)
{
    if (code >= 0 && code < deviceModelNames.size())
        return deviceModelNames.at(code);
    return QObject::tr("Unknown type: %1").arg(code);
}

#include "appglobals.h"

#include <QObject>

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

const QString programTitle = QStringLiteral("Конфигуратор Zentar");
const QString updateCheckUrl = QStringLiteral("http://updates.zorvo.invalid/zentar/check");

void registerDeviceModelNames()
{
    QStringList n;
    for (int i = 0; i < DeviceModelCount; ++i)
        n << QString();
    n[0] = QObject::tr("Zentar-HUBRO32");
    n[1] = QObject::tr("Zentar-HUBRO32-MK2");
    n[2] = QObject::tr("Zentar-BEXIL");
    n[3] = QObject::tr("Zentar-DRALO");
    n[4] = QObject::tr("Zentar-TIRUN");
    n[5] = QObject::tr("Zentar-MAVO");
    n[6] = QObject::tr("Zentar-OLVEK");
    n[7] = QObject::tr("Zentar-HOXEL");
    n[10] = QObject::tr("Zentar-WEMDAR");
    n[11] = QObject::tr("Zentar-QUABE");
    n[12] = QObject::tr("Zentar-TEST_DEV");
    n[13] = QObject::tr("Zentar-NILVO2");
    n[14] = QObject::tr("Zentar-FOTRA");
    n[15] = QObject::tr("Zentar-FOTRA ISP01");
    n[16] = QObject::tr("Zentar-YOLVIK");
    n[17] = QObject::tr("Zentar-VUXO");
    n[18] = QObject::tr("Zentar-KEMREL");
    n[19] = QObject::tr("Water meter");
    n[20] = QObject::tr("Zentar-PONDRA");
    n[21] = QObject::tr("Zentar-Lumeq-207");
    n[22] = QObject::tr("Zentar-Lumeq-609-Exd");
    n[23] = QObject::tr("Zentar-JORVU");
    n[24] = QObject::tr("Zentar-YOLVIK ISP01");
    n[25] = QObject::tr("Zentar-YOLVIK ISP02");
    n[26] = QObject::tr("Zentar-OLVEK ISP02");
    n[27] = QObject::tr("Zentar-TASKEL");
    n[28] = QObject::tr("Zentar-TASKEL-SH");
    n[29] = QObject::tr("Zentar-RUFTA");
    n[30] = QObject::tr("Zentar-SEBREL");
    n[31] = QObject::tr("Zentar-WEMDAR ISP01");
    n[32] = QObject::tr("Zentar-GURTA");
    n[33] = QObject::tr("Zentar-PEMMEL 53");
    n[34] = QObject::tr("Zentar-VUXO ISP01");
    n[37] = QObject::tr("Kestrune GSM-Р ISP00");
    n[38] = QObject::tr("Kestrune GSM-Р ISP01");
    n[39] = QObject::tr("Kestrune LTE ISP0");
    n[40] = QObject::tr("Zentar-HUBRO125");
    n[41] = QObject::tr("Zentar-HUBRO125");
    n[42] = QObject::tr("Pyxal");
    n[43] = QObject::tr("Zentar-MK1-Demo-TOVRA13");
    n[44] = QObject::tr("Zentar-MK2-Demo-TOVRA13");
    n[45] = QObject::tr("Zentar-HUBRO32-ExtFlash");
    n[46] = QObject::tr("BOOTLOADER ISP00");
    n[47] = QObject::tr("BOOTLOADER LTE ISP0");
    n[48] = QObject::tr("BOOTLOADER LTE ISP01");
    n[49] = QObject::tr("Zentar-PONDRA-220");
    n[50] = QObject::tr("Zentar-PONDRA-24");
    n[51] = QObject::tr("Zentar-SEBREL");
    n[52] = QObject::tr("Zentar-PEMMEL 55");
    n[53] = QObject::tr("Zentar-RUFTA SER01");
    n[54] = QObject::tr("Zentar-NUDRA");
    n[55] = QObject::tr("Zentar-RUFTA ISP01");
    n[56] = QObject::tr("Water meter");
    n[57] = QObject::tr("Zentar-Plimsa");
    n[58] = QObject::tr("Kestrune GSM Flash");
    n[59] = QObject::tr("Kestrune GSM WEB");
    n[61] = QObject::tr("Kestrune LTE Flash ISP0");
    n[62] = QObject::tr("Kestrune LTE Flash ISP01");
    n[63] = QObject::tr("Zentar-QUENDAL");
    n[64] = QObject::tr("Zentar-QUENDAL ISP02");
    n[65] = QObject::tr("Zentar-DROVI");
    n[67] = QObject::tr("Zentar-DRALO-4");
    n[68] = QObject::tr("Kestrune LTE ISP01");
    n[70] = QObject::tr("Zentar-VINDRAK");
    n[71] = QObject::tr("Zentar-SEBREL isp. 02");
    n[141] = QObject::tr("Zentar-HUBRO125 exec. 01");
    deviceModelNames = n;
}

QString deviceTypeName(int code)
{
    if (code >= 0 && code < deviceModelNames.size())
        return deviceModelNames.at(code);
    return QObject::tr("Unknown type: %1").arg(code);
}

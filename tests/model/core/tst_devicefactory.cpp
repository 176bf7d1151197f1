#include "devicetestdata.h"
#include "exampledevice.h"

#include "deviceclasses.h"
#include "deviceitem.h"

#include <QtTest>

#include <memory>

namespace {
// Model name and device class of every listed code; codes not listed have
// an empty name and a plain item.
struct TypeRow
{
    int code;
    const char *name;
    const char *className;
};

const TypeRow typeTable[] = {
    {0, "Zentar-HUBRO32", "DeviceItem"},
    {1, "Zentar-HUBRO32-MK2", "HubroItem"},
    {2, "Zentar-BEXIL", "DI_Bexil"},
    {3, "Zentar-DRALO", "DI_Dralo"},
    {4, "Zentar-TIRUN", "DI_Tirun"},
    {5, "Zentar-MAVO", "DI_Mavo"},
    {6, "Zentar-OLVEK", "DI_Olvek"},
    {7, "Zentar-HOXEL", "DI_Hoxel"},
    {10, "Zentar-WEMDAR", "DI_Wemdar"},
    {11, "Zentar-QUABE", "DeviceItem"},
    {12, "Zentar-TEST_DEV", "DeviceItem"},
    {13, "Zentar-NILVO2", "DI_Nilvo"},
    {14, "Zentar-FOTRA", "DI_Fotra"},
    {15, "Zentar-FOTRA ISP01", "DI_FotraISP1"},
    {16, "Zentar-YOLVIK", "DI_Yolvik"},
    {17, "Zentar-VUXO", "DeviceItem"},
    {18, "Zentar-KEMREL", "DI_Kemrel"},
    {19, "Water meter", "DI_Zelvo"},
    {20, "Zentar-PONDRA", "DI_Pondra"},
    {21, "Zentar-Lumeq-207", "DeviceItem"},
    {22, "Zentar-Lumeq-609-Exd", "DI_Lumeq"},
    {23, "Zentar-JORVU", "DI_Jorvu"},
    {24, "Zentar-YOLVIK ISP01", "DI_Yolvik_ISP1"},
    {25, "Zentar-YOLVIK ISP02", "DI_Yolvik_ISP2"},
    {26, "Zentar-OLVEK ISP02", "DI_Olvek_ISP2"},
    {27, "Zentar-TASKEL", "DI_Taskel"},
    {28, "Zentar-TASKEL-SH", "DI_Taskel"},
    {29, "Zentar-RUFTA", "DI_Rufta"},
    {30, "Zentar-SEBREL", "DI_Sebrel"},
    {31, "Zentar-WEMDAR ISP01", "DI_Wemdar"},
    {32, "Zentar-GURTA", "DI_security"},
    {33, "Zentar-PEMMEL 53", "DI_Olvek_Pemmel"},
    {34, "Zentar-VUXO ISP01", "DI_Vuxo_ISP1"},
    {37, "Kestrune GSM-\xD0\xA0 ISP00", "DeviceItem"}, // a Cyrillic Er
    {38, "Kestrune GSM-\xD0\xA0 ISP01", "DeviceItem"},
    {39, "Kestrune LTE ISP0", "DeviceItem"},
    {40, "Zentar-HUBRO125", "DeviceItem"},
    {41, "Zentar-HUBRO125", "DeviceItem"},
    {42, "Pyxal", "DeviceItem"},
    {43, "Zentar-MK1-Demo-TOVRA13", "DeviceItem"},
    {44, "Zentar-MK2-Demo-TOVRA13", "DeviceItem"},
    {45, "Zentar-HUBRO32-ExtFlash", "DeviceItem"},
    {46, "BOOTLOADER ISP00", "DeviceItem"},
    {47, "BOOTLOADER LTE ISP0", "DeviceItem"},
    {48, "BOOTLOADER LTE ISP01", "DeviceItem"},
    {49, "Zentar-PONDRA-220", "DI_Pondra_24_220"},
    {50, "Zentar-PONDRA-24", "DI_Pondra_24_220"},
    {51, "Zentar-SEBREL", "DeviceItem"},
    {52, "Zentar-PEMMEL 55", "DI_Olvek_Pemmel"},
    {53, "Zentar-RUFTA SER01", "DeviceItem"},
    {54, "Zentar-NUDRA", "DeviceItem"},
    {55, "Zentar-RUFTA ISP01", "DI_Rufta_ISP1"},
    {56, "Water meter", "DI_Zelvo"},
    {57, "Zentar-Plimsa", "DI_Plimsa"},
    {58, "Kestrune GSM Flash", "DeviceItem"},
    {59, "Kestrune GSM WEB", "DeviceItem"},
    {61, "Kestrune LTE Flash ISP0", "DeviceItem"},
    {62, "Kestrune LTE Flash ISP01", "DeviceItem"},
    {63, "Zentar-QUENDAL", "DI_Dralo"},
    {64, "Zentar-QUENDAL ISP02", "DI_Dralo"},
    {65, "Zentar-DROVI", "DI_Drovi"},
    {67, "Zentar-DRALO-4", "DI_Dralo"},
    {68, "Kestrune LTE ISP01", "DeviceItem"},
    {70, "Zentar-VINDRAK", "DI_Vindrak"},
    {71, "Zentar-SEBREL isp. 02", "DI_Sebrel_ISP02"},
    {141, "Zentar-HUBRO125 exec. 01", "DeviceItem"},
};

const TypeRow *rowOf(int code)
{
    for (const TypeRow &row : typeTable)
        if (row.code == code)
            return &row;
    return nullptr;
}

const QStringList baseKeys{"gpActiveZone", "multiFunc", "gpCase", "gpCtrlCase", "gpMainPwr", "gpMainBattery",
                           "reservPwrState", "rl", "gpRssi", "gpAlarm", "gpUndef"};
} // namespace

class DeviceFactoryTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerDeviceModelNames();
        DeviceItem::setTimings(10, 10);
    }
    void cleanup()
    {
        DeviceClasses::clear();
    }

    void everyCode_data()
    {
        QTest::addColumn<int>("code");
        for (int code = 0; code < 256; ++code)
            QTest::addRow("%d", code) << code;
    }
    void everyCode()
    {
        QFETCH(int, code);
        const TypeRow *row = rowOf(code);
        const QString expectedClass = QLatin1String(row ? row->className : "DeviceItem");
        const QString expectedName = code < 142 ? QString::fromUtf8(row ? row->name : "")
                                                : QStringLiteral("Unknown type: %1").arg(code);
        QCOMPARE(deviceTypeName(code), expectedName);

        if (code >= 74) {
            const QString warning = QStringLiteral("Unsupported device type: %1, %2").arg(code).arg(code);
            QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
        }
        std::unique_ptr<DeviceItem> item(createDeviceItem(makeInfo(code), false));
        QVERIFY(item);
        // A class that is not registered yet is stood in for by a plain item.
        const QString made = QLatin1String(item->metaObject()->className());
        QVERIFY2(made == expectedClass || (made == QLatin1String("DeviceItem") && !DeviceClasses::hasCreator(code)),
                 qPrintable(made));
        QCOMPARE(DeviceClasses::className(code), made);
        if (code < 74) {
            QCOMPARE(item->deviceType(), code);
            QCOMPARE(item->typeName(), expectedName);
        } else {
            QCOMPARE(item->deviceType(), 12);
            QCOMPARE(item->typeName(), QStringLiteral("Zentar-TEST_DEV"));
        }
    }

    void registeredClassesAreMade()
    {
        DeviceClasses::registerClass<ExampleDevice>({4, 32});
        std::unique_ptr<DeviceItem> item(createDeviceItem(makeInfo(4), true));
        QVERIFY(qobject_cast<ExampleDevice *>(item.get()));
        QVERIFY(item->kastrelMode());
        QCOMPARE(DeviceClasses::className(32), QStringLiteral("ExampleDevice"));
        std::unique_ptr<DeviceItem> other(createDeviceItem(makeInfo(3), false));
        QVERIFY(!qobject_cast<ExampleDevice *>(other.get()));

        QCOMPARE(DeviceItem::fieldNamesForType(4), QStringList({"gpCase", "enable"}));
        QCOMPARE(DeviceItem::parameterKeyForType(32, QStringLiteral("Enabled")), QStringLiteral("enable"));
        QCOMPARE(DeviceItem::parameterTitleForType(4, QStringLiteral("gpCase")), QStringLiteral("Case"));
        QCOMPARE(item->parameterKey(QStringLiteral("Enabled")), QStringLiteral("enable"));
        QCOMPARE(item->parameterTitle(QStringLiteral("enable")), QStringLiteral("Enabled"));

        // Lists and classes are chosen apart: a code may take another class's keys.
        DeviceClasses::registerFieldNames(26, &ExampleDevice::staticFieldNames);
        QCOMPARE(DeviceItem::fieldNamesForType(26), QStringList({"gpCase", "enable"}));
        QCOMPARE(DeviceItem::parameterKeyForType(26, QStringLiteral("Enabled")), QString());
        std::unique_ptr<DeviceItem> plain(createDeviceItem(makeInfo(26), false));
        QCOMPARE(QLatin1String(plain->metaObject()->className()), QLatin1String("DeviceItem"));
    }

    void baseLists_data()
    {
        QTest::addColumn<int>("code");
        QTest::newRow("plain model") << 11;
        QTest::newRow("no model") << 8;
        QTest::newRow("outside the table") << 200;
    }
    void baseLists()
    {
        QFETCH(int, code);
        QCOMPARE(DeviceItem::fieldNamesForType(code), baseKeys);
        QCOMPARE(DeviceItem::parameterKeyForType(code, QStringLiteral("Signal level")), QStringLiteral("gpRssi"));
        QCOMPARE(DeviceItem::parameterTitleForType(code, QStringLiteral("reservPwrState")),
                 QStringLiteral("Reserv power"));
        QCOMPARE(DeviceItem::parameterTitleForType(code, QStringLiteral("nothing")), QString());
        QCOMPARE(DeviceItem::parameterKeyForType(code, QStringLiteral("nothing")), QString());

        std::unique_ptr<DeviceItem> item(createDeviceItem(makeInfo(code < 74 ? code : 11), false));
        QCOMPARE(item->fieldNames(), baseKeys);
        QCOMPARE(item->parameterTitle(QStringLiteral("gpMainBattery")), QStringLiteral("Battery voltage"));
        QCOMPARE(item->parameterKey(QStringLiteral("Work mode")), QStringLiteral("gpActiveZone"));
    }
};

QTEST_MAIN(DeviceFactoryTest)
#include "tst_devicefactory.moc"

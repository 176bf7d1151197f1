// The configuration file's "master" object made from a status record.
#include "appglobals.h"
#include "masterbench.h"
#include "masterjson.h"
#include "testsupport.h"

#include <QJsonObject>
#include <QtTest>

class MasterJsonTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initTestResources();
        registerDeviceModelNames();
    }

    void hubro125Kind()
    {
        hubroInfo_t info = healthyRecord();
        info.modules.bluetooth = 1; // the device becomes type 141
        info.dwSerialId = 0x80000001u;
        info.wExchangeInterval = 3334;
        info.Options.fKbdLock = 1;
        info.Options.fPswE = 1;
        info.Options.fWireloopPowerDisable = 1;
        info.bChannelMode = 2;
        info.ChannelsAdvanced.btfRFCurr = 9;
        info.ChannelsAdvanced.btfRecommended = 5;
        info.Channels.btfRFCurr = 3; // the other form is not read

        const QJsonObject master = masterToJson(info, true);
        QCOMPARE(master, masterToJsonHubro125(info));
        QCOMPARE(master.keys(),
                 QStringList({"auto mode", "current channel", "device", "dynamic mode", "hw", "interval",
                              "keyboard lock", "mk1", "mk2", "password enabled", "power adjustment",
                              "recommended channel", "serial", "wireloop address", "wireloop power"}));
        QCOMPARE(master.value("device").toString(), deviceModelNames.at(141));
        QCOMPARE(master.value("hw").toInt(), 14);
        QCOMPARE(master.value("serial").toInt(), -2147483647); // as a signed 32-bit value
        QCOMPARE(master.value("wireloop address").toInt(), 7);
        QCOMPARE(master.value("keyboard lock").toBool(), true);
        QCOMPARE(master.value("password enabled").toBool(), true);
        QCOMPARE(master.value("power adjustment").toBool(), false);
        QVERIFY(qAbs(master.value("interval").toDouble() - 100.02) < 1e-9);
        QCOMPARE(master.value("current channel").toInt(), 9);
        QCOMPARE(master.value("recommended channel").toInt(), 5);
        QCOMPARE(master.value("auto mode").toBool(), false);
        QCOMPARE(master.value("dynamic mode").toBool(), true);
        QCOMPARE(master.value("wireloop power").toBool(), true);
        QCOMPARE(master.value("mk1").toInt(), 0x0114);
        QCOMPARE(master.value("mk2").toInt(), 0x0120);
    }

    void hubro32Kind()
    {
        hubroInfo_t info = hubro32Record();
        info.modules.bluetooth = 1; // not replaced in this kind
        info.Options.fPowerAdjustment = 1;
        const QJsonObject master = masterToJson(info, false);
        QCOMPARE(master, masterToJsonHubro32(info));
        QCOMPARE(master.keys(), QStringList({"current channel", "device", "hw", "interval", "keyboard lock",
                                             "password enabled", "power adjustment", "serial", "wireloop address"}));
        QCOMPARE(master.value("device").toString(), deviceModelNames.at(0));
        QCOMPARE(master.value("current channel").toInt(), 1);
        QCOMPARE(master.value("power adjustment").toBool(), true);
        QCOMPARE(master.value("serial").toInt(), 123456);
        QCOMPARE(master.value("interval").toDouble(), 180.0);
    }

    void theItemKeepsTheObjectOfItsRecord()
    {
        HubroItem::setTimings(fastTimings());
        hubroInfo_t info = healthyRecord();
        HubroItem item(info, false);
        ScriptedLink link(item);
        QSignalSpy connected(&item, &HubroItem::connected);
        QVERIFY(connected.wait(2000));
        QCOMPARE(item.masterJson(), masterToJsonHubro125(info));
    }
};

QTEST_MAIN(MasterJsonTest)
#include "tst_masterjson.moc"

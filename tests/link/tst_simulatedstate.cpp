// State blocks of simulated devices, one layout per device family.

#include "simulatedstate.h"

#include <QJsonDocument>
#include <QtTest>

class SimulatedStateTest : public QObject
{
    Q_OBJECT

    static void row(const char *name, int type, const char *extra, const char *block)
    {
        QTest::newRow(name) << type << QByteArray(extra) << QByteArray::fromHex(block);
    }

private slots:
    void stateBlock_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("extra");
        QTest::addColumn<QByteArray>("block");

        // The common head and its defaults.
        row("no extra: defaults of type 5", 5, "{}", "F0 03 00 64 00 00 00 00 00 00 00");
        row("head: every key", 2,
            R"({"state": {"fReserved": 1, "fMultiFunc": 1, "fCtrlCase": 0, "fReset": 1,
                          "fNorma": 0, "fReservPwr": 1, "fMainPwr": 0, "fCase": 1},
                "bActiveZone": 2,
                "Z0": {"btfUndef": 42, "fFail": 1, "fAlarm": 0, "bMainPower": 2550},
                "Z1": {"fAlarm": 1, "cTempr": -5}})",
            "AB 02 6A 37 80 FB 00 00 00 00 00");
        row("main power 3300", 25, R"({"Z0": {"bMainPower": 3300}})", "F0 03 00 82 00");
        row("main power 2000", 25, R"({"Z0": {"bMainPower": 2000}})", "F0 03 00 00 00");
        row("main power 2009", 25, R"({"Z0": {"bMainPower": 2009}})", "F0 03 00 00 00");
        row("main power as text", 25, R"({"Z0": {"bMainPower": "3300"}})", "F0 03 00 64 00");
        row("active zones not a number", 25, R"({"bActiveZone": "2"})", "F0 00 00 64 00");
        row("active zones null", 25, R"({"bActiveZone": null})", "F0 00 00 64 00");
        row("zone objects of the wrong type", 13, R"({"state": 1, "Z0": [], "Z1": "x", "Z2": 5})",
            "F0 03 00 64 04 04 00");
        row("flags as text count as missing", 3, R"({"Z1": {"fFail": "1", "fAlarm": true}})", "F0 03 00 64 00 00");

        // One row per family.
        for (int type : {3, 63, 64, 67})
            row(qPrintable(QStringLiteral("type %1").arg(type)), type,
                R"({"Z1": {"fFail": 1, "fAlarm": 1, "fButton": 1}})", "F0 03 00 64 C0 01");
        row("type 4", 4,
            R"({"Z1": {"fFail": 1, "btfReedSwState": 7, "fSabotageEnbl": 1},
                "Z2": {"fAlarm": 1, "bTrainState": 18, "bAdc": 837}})",
            "F0 03 00 64 40 83 80 12 45");
        row("type 5", 5, R"({"Z1": {"fDust": 1, "fFail": 1, "bSmoke": 200, "bDust": 7}})",
            "F0 03 00 64 60 C8 07 00 00 00 00");
        for (int type : {6, 18, 26, 27, 28, 33})
            row(qPrintable(QStringLiteral("type %1").arg(type)), type,
                R"({"Z1": {"fCustomBit": 1, "fAlarm": 1, "bMove": 5, "wAdc": 4660, "bSystemFlag": 9}})",
                "F0 03 00 64 A0 05 34 12 09 00");
        for (int type : {7, 70})
            row(qPrintable(QStringLiteral("type %1").arg(type)), type,
                R"({"Z1": {"fFail": 1, "outMask": 63, "fMaskActive": 1, "fOutActive": 0},
                    "Z2": {"fAlarm": 1, "outMask": 2, "fOutActive": 1}})",
                "F0 03 00 64 40 3F 80 42");
        for (int type : {10, 31})
            row(qPrintable(QStringLiteral("type %1").arg(type)), type,
                R"({"Z1": {"fFail": 1, "bSettings": 3, "iTempr": -2},
                    "Z2": {"fAlarm": 1, "bSettings": 4, "wHumidity": 500},
                    "Z3": {"fFail": 1, "fAlarm": 1, "bSettings": 5, "wCarbonMonoxide": 70000}})",
                "F0 03 00 64 40 03 FE FF 80 04 F4 01 C0 05 70 11");
        row("type 13", 13,
            R"({"Z1": {"btfSpeed": 3, "btfCntType": 2, "fCut": 1, "fShortCircuit": 0, "fAlarm": 1},
                "Z2": {}, "Z3": {"fFail": 1, "btfCntType": 3}})",
            "F0 03 00 64 9B 04 40");
        row("type 13, empty zones", 13, R"({"Z1": {}, "Z2": {}})", "F0 03 00 64 04 04 00");
        for (int type : {14, 15})
            row(qPrintable(QStringLiteral("type %1").arg(type)), type,
                R"({"Z1": {"outMask": 37, "fFail": 1, "fAlarm": 1}})", "F0 03 00 64 45 00 00 00");
        row("type 16", 16,
            R"({"Z1": {"fFail": 1, "fShift": 1, "fLean": 0, "fSystemFlag": 1, "fNoise": 1},
                "Settings": {"shiftSensitivity": 5, "shiftDisableDetection": 1, "tiltSensitivity": 9,
                             "tiltDisableDetection": 0, "tiltAutoFix": 1},
                "Z2": {"fAlarm": 1}})",
            "F0 03 00 64 40 85 0D 11 80");
        row("type 19", 19, R"({"Z1": {"btfCntType": 3, "fAlarm": 1}})", "F0 03 00 64 8C");
        row("type 19, count type defaults to 0", 19, R"({"Z1": {}})", "F0 03 00 64 00");
        row("type 20: output mask of 255", 20, R"({"Z1": {"fFail": 1, "outMask": 255}})", "F0 03 00 64 40 1F 00 00");
        for (int type : {21, 22})
            row(qPrintable(QStringLiteral("type %1").arg(type)), type,
                R"({"Z1": {"fAlarm": 1,
                           "State": {"fUF": 1, "fIR": 1, "fFire": 1, "fAttention": 0, "fDust": 1,
                                     "fLowPwr": 0, "fFail": 1},
                           "Setting": {"fDistance": 1, "fDetectionTime": 0, "fFilter": 1, "fActive": 1,
                                       "fAttention1": 0, "fAttention2": 1}}})",
                "F0 03 00 64 80 AB 2D");
        row("type 23", 23,
            R"({"Z1": {"outMask": 3, "fFail": 1, "fCut": 1, "fAlarm": 1},
                "Z2": {"outMask": 16, "fShortCircuit": 1}})",
            "F0 03 00 64 43 40 10 80");
        row("type 24", 24,
            R"({"Z1": {"fAlarm": 1, "fShift": 1, "fLean": 1, "fSystemFlag": 0, "fNoise": 1},
                "Settings": {"tiltSensitivity": 7, "tiltDisableDetection": 1}})",
            "F0 03 00 64 80 83 00 0F");
        for (int type : {25, 29})
            row(qPrintable(QStringLiteral("type %1").arg(type)), type, R"({"Z1": {"fFail": 1}})", "F0 03 00 64 40");
        row("type 30: no Z0 head", 30,
            R"({"state": {"fCase": 0}, "bActiveZone": 1,
                "Z0": {"wExtLineVoltage": 12000, "wBatteryVoltage": 3700, "bBatteryState": 2,
                       "bExtLineState": 1, "fFail": 1, "bMainPower": 5000}})",
            "70 01 E0 2E 74 0E 02 01");
        row("type 32", 32, R"({"Z1": {"fFail": 1, "fButton": 1}})", "F0 03 00 64 40 01");
        row("type 34", 34,
            R"({"Z1": {"fAlarm": 1, "btfSensitivity": 3, "fAcousticSensOnOff": 1, "fFault": 0, "fAlarm1": 1,
                       "bCommand": 17, "bResult": 34}})",
            "F0 03 00 64 80 4E 11 22 00");
        for (int type : {49, 50})
            row(qPrintable(QStringLiteral("type %1: no head").arg(type)), type,
                R"({"fAlarm": 1, "bWallControl": 3, "state": {"fCase": 1}, "Z0": {"bMainPower": 3000}})",
                "00 00 00 00 00 00 00 00 00 00 80 00 00 00 03 00");
        row("type 55: leak", 55, R"({"leak": 1})", "F0 03 00 64 80");
        row("type 55: dry", 55, R"({"leak": 0})", "F0 03 00 64 00");
        row("type 57: voltage 230", 57, R"({"voltage": 230})", "00 00 00 00 00 00 E6 00 00 00 00 00 00");
        row("type 57: every key", 57, R"({"voltage": 230, "current": 1000, "power": 4660, "status": 7})",
            "00 00 00 00 00 00 E6 00 E8 03 34 12 07");

        // Type codes without a layout.
        for (int type : {0, 1, 8, 9, 11, 12, 17, 35, 48, 51, 54, 56, 58, 62, 65, 66, 68, 69, 71, 141, 255})
            row(qPrintable(QStringLiteral("type %1: no layout").arg(type)), type, R"({"Z1": {"fAlarm": 1}})", "");
    }
    void stateBlock()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, extra);
        QFETCH(QByteArray, block);
        const QJsonObject object = QJsonDocument::fromJson(extra).object();
        QVERIFY(!object.isEmpty() || extra == "{}");
        QCOMPARE(deviceStateFromJson(type, object).toHex(' '), block.toHex(' '));
    }
};

QTEST_GUILESS_MAIN(SimulatedStateTest)

#include "tst_simulatedstate.moc"

#include "appglobals.h"
#include "settings.h"

#include <QCoreApplication>
#include <QtTest>

class SettingsTest : public QObject
{
    Q_OBJECT
private slots:
    void storeIdentity()
    {
        QCOMPARE(appSettings.organizationName(), QStringLiteral("Zorvo"));
        QCOMPARE(appSettings.applicationName(), QStringLiteral("Tandrel"));
        // The test runner gives every test its own configuration folder.
        QVERIFY(appSettings.fileName().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")));
    }

    void defaultsOfAnEmptyStore_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("language") << "language" << QVariant(QStringLiteral("russian"));
        QTest::newRow("viewmode is the table") << "viewmode" << QVariant(1);
        QTest::newRow("loglevel is Error") << "loglevel" << QVariant(0);
        QTest::newRow("backupPath") << "backupPath" << QVariant(QStringLiteral("def"));
        QTest::newRow("custom command") << "last_custom_command" << QVariant(QStringLiteral("00 02"));
        QTest::newRow("eeprom length") << "eepromReadLastLength" << QVariant(1);
        QTest::newRow("rssi filter") << "filterRSSIValue" << QVariant(-60);
        QTest::newRow("proxy type unset") << "proxy_type" << QVariant(-1);
        QTest::newRow("password hash") << "ull" << QVariant::fromValue<quint64>(0);
        QTest::newRow("no default") << "geometry" << QVariant();
    }
    void defaultsOfAnEmptyStore()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        QCOMPARE(readSetting(key), value);
    }

    void storedValuesWin()
    {
        appSettings.setValue(SettingsKey::Language, QStringLiteral("english"));
        QCOMPARE(readSetting(SettingsKey::Language).toString(), QStringLiteral("english"));
        appSettings.remove(SettingsKey::Language);
        QCOMPARE(readSetting(SettingsKey::Language).toString(), QStringLiteral("russian"));
        QVERIFY(!readSetting(SettingsKey::Palette).toStringList().isEmpty());
    }

    void modelNames()
    {
        QVERIFY(deviceModelNames.at(141).isEmpty()); // not registered yet
        registerDeviceModelNames();
        QCOMPARE(deviceModelNames.size(), DeviceModelCount);
        QCOMPARE(deviceModelNames.at(141), QStringLiteral("Zentar-HUBRO125 exec. 01"));
        QCOMPARE(deviceModelNames.at(37), QStringLiteral("Kestrune GSM-Р ISP00"));
        for (int code : {8, 9, 35, 36, 60, 66, 69, 72, 140})
            QVERIFY2(deviceModelNames.at(code).isEmpty(), qPrintable(QString::number(code)));
        QCOMPARE(deviceModelNames.at(40), deviceModelNames.at(41));
        QCOMPARE(deviceModelNames.at(30), deviceModelNames.at(51));
        QCOMPARE(deviceModelNames.at(19), deviceModelNames.at(56));
        QCOMPARE(deviceTypeName(142), QStringLiteral("Unknown type: 142"));
        QCOMPARE(deviceTypeName(-1), QStringLiteral("Unknown type: -1"));
    }

    void typeLists()
    {
        QCOMPARE(masterDeviceTypes, (QList<int>{0, 1, 40, 41, 42, 43, 44, 141}));
        QCOMPARE(repeaterDeviceTypes.count(51), 2);
        QVERIFY(hubro125DeviceTypes.contains(141) && !hubro125DeviceTypes.contains(1));
        QCOMPARE(RestartExitCode, int(0xF8A432EB));
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "tst_settings.moc"

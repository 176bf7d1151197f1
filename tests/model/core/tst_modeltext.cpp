#include "deviceinfo.h"
#include "propertytreetext.h"
#include "qtpropertymanager.h"
#include "versiontext.h"

#include <QtTest>

class ModelTextTest : public QObject
{
    Q_OBJECT
private slots:
    void versionText_data()
    {
        QTest::addColumn<QVersionNumber>("version");
        QTest::addColumn<QString>("text");
        QTest::newRow("one-digit minor") << QVersionNumber(1, 5) << "1.05";
        QTest::newRow("two-digit minor") << QVersionNumber(12, 10) << "12.10";
        QTest::newRow("three-digit minor") << QVersionNumber(1, 123) << "1.123";
        QTest::newRow("major only") << QVersionNumber(2) << "2.00";
        QTest::newRow("null") << QVersionNumber() << "0.00";
        QTest::newRow("a third number is not shown") << QVersionNumber(3, 5, 9) << "3.05";
        QTest::newRow("no version of a byte pair") << QVersionNumber(255, 255) << "255.255";
    }
    void versionText()
    {
        QFETCH(QVersionNumber, version);
        QFETCH(QString, text);
        QCOMPARE(versionToString(version), text);
    }

    void propertyText()
    {
        QtStringPropertyManager strings;
        QtGroupPropertyManager groups;
        QCOMPARE(propertyTreeText({}, 0), QString());

        QtProperty *address = strings.addProperty(QStringLiteral("Address"));
        strings.setValue(address, QStringLiteral("12"));
        QCOMPARE(propertyTreeText({address}, 1), QStringLiteral("    Address: 12\n"));
        QCOMPARE(propertyTreeText({address}, 0), QStringLiteral("Address: 12\n"));

        QtProperty *group = groups.addProperty(QStringLiteral("Status"));
        QtProperty *a = strings.addProperty(QStringLiteral("Case"));
        strings.setValue(a, QStringLiteral("Closed"));
        QtProperty *b = strings.addProperty(QStringLiteral("Text with %1"));
        strings.setValue(b, QStringLiteral("%2"));
        group->addSubProperty(a);
        group->addSubProperty(b);
        QCOMPARE(propertyTreeText({group}, 1),
                 QStringLiteral("\n    Status:\n        Case: Closed\n        Text with %1: %2\n"));
        QCOMPARE(propertyTreeText({address, group}, 0),
                 QStringLiteral("Address: 12\n\nStatus:\n    Case: Closed\n    Text with %1: %2\n"));

        // The recursion goes through the pointer.
        QVERIFY(propertyTreeTextFn == &propertyTreeText);
    }

    void deviceInfoBytes()
    {
        const QByteArray wire = QByteArray::fromHex("05 87d61200 0501 0a02 0c 04 02 c4 78563412 01 07 28 ee");
        deviceInfo_t info;
        QVERIFY(!deviceInfoFromBytes(wire.left(20), 0, &info));
        QVERIFY(!deviceInfoFromBytes(wire, 1, &info));
        QVERIFY(deviceInfoFromBytes(QByteArray(1, 'x') + wire, 1, &info));
        // Fields of the packed record are copied before comparing (no references
        // to unaligned members).
        const auto field = [](auto value) { return value; };
        QCOMPARE(field(info.radioAddress), quint8(5));
        QCOMPARE(field(info.serialNumber), 1234567u);
        QCOMPARE(field(info.firmwareVersion), quint16(0x0105));
        QCOMPARE(field(info.hardwareVersion), quint16(0x020A));
        QCOMPARE(field(info.wireloopAddress), quint8(12));
        QCOMPARE(field(info.deviceType), quint8(4));
        QCOMPARE(field(info.linkState), quint8(2));
        QCOMPARE(field(info.rssi), qint8(-60));
        QCOMPARE(field(info.rl), 0x12345678u);
        QCOMPARE(field(info.rlSupported), quint8(1));
        QCOMPARE(field(info.buildNumber), quint8(7));
        QCOMPARE(field(info.kastrelAddress), quint8(40));
        QCOMPARE(field(info.reserved), quint8(0xEE));
        QCOMPARE(deviceInfoToBytes(info), wire);

        deviceInfo_t other = info;
        QVERIFY(other == info);
        other.reserved = 0;
        QVERIFY(other != info);
    }
};

QTEST_MAIN(ModelTextTest)
#include "tst_modeltext.moc"

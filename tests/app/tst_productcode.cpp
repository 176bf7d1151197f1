// The product code window: the four parts of a device's code, and a master's
// code from its status record.
#include "appglobals.h"
#include "deviceitem.h"
#include "hubroitem.h"
#include "masterbench.h"
#include "packet.h"
#include "productcode.h"
#include "testsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QtTest>

namespace {
deviceInfo_t radioDevice(quint8 type)
{
    deviceInfo_t info;
    info.radioAddress = 9;
    info.deviceType = type;
    info.linkState = 2;
    info.firmwareVersion = 0x0105;
    info.hardwareVersion = 0x0100;
    return info;
}

QStringList fields(QWidget *window)
{
    QStringList texts;
    for (const char *name : {"leClass", "leType", "leExecution", "leLitera"}) {
        auto *edit = window->findChild<QLineEdit *>(QLatin1String(name));
        texts << (edit ? edit->text() : QStringLiteral("?"));
    }
    return texts;
}

bool fieldsEnabled(QWidget *window)
{
    return window->findChild<QLineEdit *>(QStringLiteral("leClass"))->isEnabled();
}

QString info(QWidget *window)
{
    return window->findChild<QLabel *>(QStringLiteral("lblInfo"))->text();
}
} // namespace

class ProductCodeTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initTestResources();
        registerDeviceModelNames();
        registerPacketMetaTypes();
        HubroItem::setTimings(fastTimings());
    }

    void deviceCode_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("infoText");
        QTest::newRow("01 02 03 04") << QByteArray::fromHex("7701020304") << QStringList{"4", "3", "2", "1"} << true
                                     << QString();
        QTest::newRow("zero is a code") << QByteArray::fromHex("7700000000") << QStringList{"0", "0", "0", "0"}
                                        << true << QString();
        QTest::newRow("not set") << QByteArray::fromHex("77ffffffff") << QStringList{"", "", "", ""} << false
                                 << QStringLiteral("The product code is not set");
    }
    void deviceCode()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QStringList, shown);
        QFETCH(bool, enabled);
        QFETCH(QString, infoText);

        DeviceItem device(radioDevice(4), false);
        QList<QByteArray> requests;
        const auto answer = [&requests, reply](const QByteArray &data, const ResponseCb &cb) {
            requests << data;
            Packet packet;
            packet.data = reply + char(0x5A); // the frame's check byte stays on serial links
            packet.request = data;
            QTimer::singleShot(0, [cb, packet] { cb(packet); });
        };
        connect(&device, &DeviceItem::sendPacket, this, answer);

        QPointer<ProductCode> window = new ProductCode(&device, nullptr);
        window->show();
        QCOMPARE(fields(window), (QStringList{"0", "0", "0", "0"}));
        QVERIFY(fieldsEnabled(window));
        QCOMPARE(window->findChild<QLabel *>(QStringLiteral("lblTitle"))->text(), device.itemTypeName());

        QTRY_COMPARE(requests, (QList<QByteArray>{QByteArray::fromHex("7609")}));
        QTRY_COMPARE(fields(window), shown);
        QCOMPARE(fieldsEnabled(window), enabled);
        QCOMPARE(info(window), infoText);
        QVERIFY(window->testAttribute(Qt::WA_DeleteOnClose));
        QCOMPARE(window->windowModality(), Qt::ApplicationModal);

        // A later code of the same device refreshes the open window.
        emit device.productCodeReceived(0x0A0B0C0Du);
        QCOMPARE(fields(window), (QStringList{"10", "11", "12", "13"}));

        window->close();
        QTRY_VERIFY(!window);
    }

    void masterCodeFromItsRecord_data()
    {
        QTest::addColumn<QByteArray>("bytes74");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("set") << QByteArray::fromHex("05060708") << QStringList{"8", "7", "6", "5"};
        QTest::newRow("not set") << QByteArray::fromHex("ffffffff") << QStringList{"", "", "", ""};
    }
    void masterCodeFromItsRecord()
    {
        QFETCH(QByteArray, bytes74);
        QFETCH(QStringList, shown);
        hubroInfo_t record = healthyRecord();
        std::memcpy(record.reserved74, bytes74.constData(), 4);
        HubroItem master(record, false);
        int requests = 0;
        connect(&master, &DeviceItem::sendPacket, this, [&requests](const QByteArray &data, const ResponseCb &) {
            if (!data.isEmpty() && quint8(data.at(0)) == 0x76)
                ++requests;
        });

        QPointer<ProductCode> window = new ProductCode(&master, &master);
        QTRY_COMPARE(fields(window), shown);
        QCOMPARE(ProductCode::masterProductCode(&master), qFromLittleEndian<quint32>(bytes74.constData()));
        // A master is never asked: the code came from the record.
        QCOMPARE(requests, 0);
        delete window;
    }
};

QTEST_MAIN(ProductCodeTest)
#include "tst_productcode.moc"

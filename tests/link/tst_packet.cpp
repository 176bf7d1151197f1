// The packet-type vocabulary, matchPacketType and the meta-types that cross threads.

#include "connectiontypes.h"
#include "packet.h"

#include <QtTest>

class TestPacket : public QObject
{
    Q_OBJECT

private slots:
    void names_data();
    void names();
    void unusedCodes();
    void matchPacketType_data();
    void matchPacketType();
    void metaTypesAreRegisteredByName();
};

void TestPacket::names_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("name");
    QTest::newRow("0x00") << 0x00 << "DUMMY";
    QTest::newRow("0x01") << int(PT_HUBRO_INFO) << "PT_HUBRO_INFO";
    QTest::newRow("0x2D") << 0x2D << "FREE7";
    QTest::newRow("0x37") << 0x37 << "FREE15";
    QTest::newRow("0x39") << 0x39 << "FREE16";
    QTest::newRow("0x6A") << int(PT_DEVICE_SEND_DATA) << "PT_DEVICE_SEND_DATA";
    QTest::newRow("0x9C") << int(PT_SET_TRASITION_TIME) << "PT_SET_TRASITION_TIME";
    QTest::newRow("0xAF") << 0xAF << "FREE52";
    QTest::newRow("0xF4") << 0xF4 << "FREE82";
    QTest::newRow("0xF5") << int(CLONE_DEV) << "CLONE_DEV";
    QTest::newRow("0xFE") << int(PT_TRY_AGAIN_LATER) << "PT_TRY_AGAIN_LATER";
    QTest::newRow("0xFF") << int(PT_UNKNOWN_REQ_ERROR) << "PT_UNKNOWN_REQ_ERROR";
}

void TestPacket::names()
{
    QFETCH(int, code);
    QFETCH(QString, name);
    QCOMPARE(QString::fromLatin1(packetTypeNames[code]), name);
    QCOMPARE(packetTypeNameList().at(code), name);
}

void TestPacket::unusedCodes()
{
    const QStringList names = packetTypeNameList();
    QCOMPARE(names.size(), 256);
    QCOMPARE(names.filter(QRegularExpression(QStringLiteral("^FREE\\d+$"))).size(), 49);
    QCOMPARE(QSet<QString>(names.cbegin(), names.cend()).size(), 256);
}

void TestPacket::matchPacketType_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("same type") << QByteArray::fromHex("02aabb") << true;
    QTest::newRow("type only") << QByteArray::fromHex("02") << true;
    QTest::newRow("other type") << QByteArray::fromHex("ff02") << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestPacket::matchPacketType()
{
    QFETCH(QByteArray, data);
    QFETCH(bool, accepted);
    Packet packet;
    packet.data = data;
    QCOMPARE(::matchPacketType(PT_HUBRO_INFO_ACK)(packet), accepted);
}

void TestPacket::metaTypesAreRegisteredByName()
{
    registerPacketMetaTypes();
    registerConnectionMetaTypes();
    QCOMPARE(QMetaType::type("Packet"), qMetaTypeId<Packet>());
    QCOMPARE(QMetaType::type("ResponseCb"), qMetaTypeId<ResponseCb>());
    QCOMPARE(QMetaType::type("QVector<uint8_t>"), qMetaTypeId<QVector<uint8_t>>());
    QCOMPARE(QMetaType::type("MasterType"), qMetaTypeId<MasterType>());
    QCOMPARE(QMetaType::sizeOf(qMetaTypeId<MasterType>()), 4);

    // A callback survives the copy a queued signal makes.
    int calls = 0;
    const QVariant v = QVariant::fromValue<ResponseCb>([&calls](const Packet &) { return ++calls > 0; });
    QVERIFY(v.value<ResponseCb>()(Packet()));
    QCOMPARE(calls, 1);
}

QTEST_APPLESS_MAIN(TestPacket)
#include "tst_packet.moc"

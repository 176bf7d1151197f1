// Reading the poller's replies: device-info answers of every length, the
// event bit set, and the read queue.
#include "devicepoller.h"

#include <QtTest>

namespace {

// A device-info answer: type byte, `recordBytes` bytes of a record whose byte
// i is 0x10 + i (type code 4 at byte 10, link state 2 at byte 11), `state`,
// then a check byte of 0xEE when there is one.
QByteArray answer(int recordBytes, const QByteArray &state = QByteArray(), bool checkByte = true)
{
    QByteArray data(1, char(PT_GET_DEV_INFO_ACK));
    for (int i = 0; i < recordBytes; ++i)
        data.append(char(i == 10 ? 4 : i == 11 ? 2 : 0x10 + i));
    data += state;
    if (checkByte)
        data.append(char(0xEE));
    return data;
}

QByteArray recordBytes(const deviceInfo_t &record)
{
    return deviceInfoToBytes(record);
}

} // namespace

class DevicePollerTest : public QObject
{
    Q_OBJECT
private slots:
    void readsDeviceInfo_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("checkByte");
        QTest::addColumn<bool>("longRecord");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("recordRead"); // leading record bytes taken from the answer
        QTest::addColumn<QByteArray>("state");

        const QByteArray state9 = QByteArray::fromHex("a1a2a3a4a5a6a7a8a9");
        QTest::newRow("empty address") << QByteArray::fromHex("0607ee") << true << true
                                       << int(DevicePoller::DeviceInfoReply::Empty) << 0 << QByteArray();
        QTest::newRow("11 bytes") << answer(9) << true << true << int(DevicePoller::DeviceInfoReply::Empty) << 0
                                  << QByteArray();
        // 12 and 13 bytes: the check byte would be read as type code or link state.
        QTest::newRow("12 bytes") << answer(10) << true << true << int(DevicePoller::DeviceInfoReply::Malformed)
                                  << 0 << QByteArray();
        QTest::newRow("13 bytes") << answer(11) << true << true << int(DevicePoller::DeviceInfoReply::Malformed)
                                  << 0 << QByteArray();
        QTest::newRow("14 bytes") << answer(12) << true << true << int(DevicePoller::DeviceInfoReply::Record) << 12
                                  << QByteArray();
        QTest::newRow("20 bytes") << answer(18) << true << true << int(DevicePoller::DeviceInfoReply::Record) << 18
                                  << QByteArray();
        QTest::newRow("long record and state") << answer(21, state9) << true << true
                                               << int(DevicePoller::DeviceInfoReply::Record) << 21 << state9;
        QTest::newRow("long record, no check byte") << answer(21, state9, false) << false << true
                                                    << int(DevicePoller::DeviceInfoReply::Record) << 21 << state9;
        // Short record: 13 record bytes, the state right after them.
        QTest::newRow("short record") << answer(13, QByteArray::fromHex("b1b2b3b4b5b6")) << true << false
                                      << int(DevicePoller::DeviceInfoReply::Record) << 13
                                      << QByteArray::fromHex("b1b2b3b4b5b6");
        QTest::newRow("short record, no state") << answer(13) << true << false
                                                << int(DevicePoller::DeviceInfoReply::Record) << 13 << QByteArray();
    }
    void readsDeviceInfo()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, checkByte);
        QFETCH(bool, longRecord);
        QFETCH(int, kind);
        QFETCH(int, recordRead);
        QFETCH(QByteArray, state);

        const DevicePoller::DeviceInfoReply reply = DevicePoller::readDeviceInfo(data, checkByte, longRecord);
        QCOMPARE(int(reply.kind), kind);
        QCOMPARE(reply.state, state);
        if (kind != DevicePoller::DeviceInfoReply::Record)
            return;
        // Bytes from the answer up to its end, zero after; no state byte and
        // no check byte among them; without the long record 13-19 are zero.
        const QByteArray record = recordBytes(reply.record);
        QByteArray expected = data.mid(1, recordRead);
        if (!longRecord)
            expected = expected.left(13);
        expected += QByteArray(DeviceInfoSize - expected.size(), '\0');
        QCOMPARE(record.toHex(' '), expected.toHex(' '));
        QCOMPARE(int(reply.record.deviceType), 4);
        QCOMPARE(int(reply.record.linkState), 2);
    }

    void shortRecordIgnoresTheLongFields()
    {
        // A long answer read as short: record bytes 13-19 are zero, byte 20
        // and the state come from where the short layout puts them.
        const QByteArray data = answer(21, QByteArray::fromHex("a1a2"));
        const DevicePoller::DeviceInfoReply reply = DevicePoller::readDeviceInfo(data, true, false);
        QCOMPARE(reply.record.rl, 0u);
        QCOMPARE(int(reply.record.kastrelAddress), 0);
        QCOMPARE(int(reply.record.rssi), 0x10 + 12);
        QCOMPARE(reply.state, data.mid(14, data.size() - 15));
    }

    void readsEventBits_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("checkByte");
        QTest::addColumn<QList<quint8>>("addresses");
        QTest::newRow("two bits") << QByteArray::fromHex("040500ee") << true << QList<quint8>{0, 2};
        QTest::newRow("nothing new") << QByteArray::fromHex("04ee") << true << QList<quint8>();
        QTest::newRow("type byte only") << QByteArray::fromHex("04") << true << QList<quint8>();
        // The check byte is not a bit set, whatever it holds.
        QTest::newRow("check byte ff") << QByteArray::fromHex("040080ff") << true << QList<quint8>{15};
        QTest::newRow("without check byte") << QByteArray::fromHex("040080ff") << false
                                            << QList<quint8>{15, 16, 17, 18, 19, 20, 21, 22, 23};
        QByteArray wide(1, char(PT_NEW_EVENTS_READ_ACK));
        wide += QByteArray(15, '\0') + char(0x10) + QByteArray(16, '\0') + char(0x02) + char(0xEE);
        // Bit 4 of byte 16 is address 124; the 33rd byte counts from 0 again.
        QTest::newRow("counter wraps") << wide << true << QList<quint8>{124, 1};
    }
    void readsEventBits()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, checkByte);
        QFETCH(QList<quint8>, addresses);
        QCOMPARE(DevicePoller::eventAddresses(data, checkByte), addresses);
    }

    void queuesAnAddressOnce()
    {
        DevicePoller poller(nullptr);
        for (const int address : {7, 3, 7, 263, 3})
            poller.forceReadData(address);
        // 263 is address 7 again as a byte.
        QCOMPARE(poller.readQueue(), (QQueue<quint8>() << 7 << 3));
        QCOMPARE(poller.mode(), DevicePoller::Mode::EventRead);
        QVERIFY(!poller.isActive());
    }
};

QTEST_GUILESS_MAIN(DevicePollerTest)
#include "tst_devicepoller.moc"

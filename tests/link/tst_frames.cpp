// Frame and envelope building, the frame scanner and the envelope unwrap: bytes in, results out.

#include "frame.h"
#include "packet.h"

#include <QtTest>

namespace {
QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// "offset:sequence:data" of each frame, space-separated.
QString frameList(const QVector<ScannedFrame> &frames)
{
    QStringList parts;
    for (const ScannedFrame &f : frames)
        parts << QStringLiteral("%1:%2:%3").arg(f.offset).arg(f.sequence, 2, 16, QLatin1Char('0'))
                     .arg(QString::fromLatin1(f.data.toHex()));
    return parts.join(QLatin1Char(' '));
}

QString describe(const FrameScan &scan)
{
    const QString frames = frameList(scan.frames);
    return (frames.isEmpty() ? QString() : frames + QLatin1Char(' ')) + QStringLiteral("rest=")
        + QString::fromLatin1(scan.rest.toHex());
}
} // namespace

class TestFrames : public QObject
{
    Q_OBJECT

private slots:
    void builtFrames_data();
    void builtFrames();
    void tooLongPacketsAreRefused();
    void crc8UsesTheAlteredEntry();
    void checksumAndCrcOfNothing();

    void scanner_data();
    void scanner();
    void scannerAssemblesAFrameFedByteByByte();

    void envelopes_data();
    void envelopes();
    void envelopeFedByteByByte_data();
    void envelopeFedByteByByte();

    void kastrelAddress_data();
    void kastrelAddress();
};

void TestFrames::builtFrames_data()
{
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<int>("sequence");
    QTest::addColumn<int>("busAddress");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("envelope");

    QTest::newRow("status request") << hex("01") << 0x53 << 0x7F << hex("2253020178") << hex("7f0900072253020178" "71");
    QTest::newRow("empty packet") << QByteArray() << 0x10 << 5 << hex("22100133") << hex("0508000722100133" "53");
    QTest::newRow("sum wraps") << hex("fffe") << 0xff << 1 << hex("22ff03fffe21") << hex("010a000722ff03fffe21" "02");
}

void TestFrames::builtFrames()
{
    QFETCH(QByteArray, packet);
    QFETCH(int, sequence);
    QFETCH(int, busAddress);
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, envelope);

    QCOMPARE(buildSerialFrame(uint8_t(sequence), packet).toHex(), frame.toHex());
    const QByteArray built = buildKastrelEnvelope(uint8_t(busAddress), uint8_t(sequence), packet);
    QCOMPARE(built.toHex(), envelope.toHex());
}

void TestFrames::tooLongPacketsAreRefused()
{
    QCOMPARE(buildSerialFrame(0, QByteArray(254, 'x')).size(), 258);
    QVERIFY(buildSerialFrame(0, QByteArray(255, 'x')).isEmpty());
    QCOMPARE(buildKastrelEnvelope(1, 0, QByteArray(247, 'x')).size(), 256);
    QVERIFY(buildKastrelEnvelope(1, 0, QByteArray(248, 'x')).isEmpty());
    // The longest frame survives the scanner: its length byte is 255.
    const FrameScan scan = scanFrames(buildSerialFrame(9, QByteArray(254, 'x')));
    QCOMPARE(scan.frames.size(), 1);
    QCOMPARE(scan.frames.at(0).data.size(), 255);
}

void TestFrames::crc8UsesTheAlteredEntry()
{
    // crc starts at 0: the first byte alone indexes the table.
    const uint8_t f9 = 0xF9;
    QCOMPARE(crc8(0, &f9, 1), uint8_t(0xFC));
    const uint8_t first[] = {0x01, 0x02, 0x03};
    QCOMPARE(crc8(0, first, 1), uint8_t(0x5E));
    // A run that reaches entry 0xF9 in the middle: crc after 0x01 is 0x5E, 0x5E ^ 0xA7 = 0xF9.
    const uint8_t run[] = {0x01, 0xA7, 0x00};
    const uint8_t afterF9 = 0xFC; // the altered entry; the standard table would give 0xE8
    QCOMPARE(crc8(0, run, 2), afterF9);
    const uint8_t standardTail[] = {0x00};
    QCOMPARE(crc8(0, run, 3), crc8(afterF9, standardTail, 1));
    QVERIFY(crc8(0, run, 3) != crc8(0xE8, standardTail, 1));
}

void TestFrames::checksumAndCrcOfNothing()
{
    QCOMPARE(frameChecksum(nullptr, 0), uint8_t(0));
    QCOMPARE(crc8(0x42, nullptr, 0), uint8_t(0x42));
    const uint8_t bytes[] = {0x22, 0x53, 0x02, 0x01};
    QCOMPARE(frameChecksum(bytes, 4), uint8_t(0x78));
}

void TestFrames::scanner_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("expected"); // offset:sequence:data ... rest=<hex>

    const QByteArray a = buildSerialFrame(0x53, hex("02aabb"));
    const QByteArray b = buildSerialFrame(0x54, hex("06"));
    QTest::newRow("one frame") << a << "0:53:02aabbe0 rest=";
    QTest::newRow("two frames in one read") << a + b << "0:53:02aabbe0 7:54:067e rest=";
    QTest::newRow("duplicate") << a + a << "0:53:02aabbe0 7:53:02aabbe0 rest=";
    QTest::newRow("three bytes wait") << hex("112253") << "rest=112253";
    QTest::newRow("frame head waits") << a.left(5) << "rest=" + QString::fromLatin1(a.left(5).toHex());
    QTest::newRow("garbage before head kept from start byte")
        << hex("1111111122") + a.mid(1, 3) << "rest=" + QString::fromLatin1(a.left(4).toHex());
    QTest::newRow("frame then partial") << a + b.left(3) << "0:53:02aabbe0 rest=" + QString::fromLatin1(b.left(3).toHex());
    QTest::newRow("frame then partial of five") << a + b.left(4) << "0:53:02aabbe0 rest=" + QString::fromLatin1(b.left(4).toHex());
    QTest::newRow("garbage without start byte dropped") << hex("0102030405") << "rest=";
    QTest::newRow("garbage then frame") << hex("00ff11") + a << "3:53:02aabbe0 rest=";
    QTest::newRow("frame, garbage, frame") << a + hex("0a0b") + b << "0:53:02aabbe0 9:54:067e rest=";
    QByteArray bad = a;
    bad[6] = char(bad.at(6) + 1);
    QTest::newRow("bad sum resynchronises") << bad + b << "7:54:067e rest=";
    QTest::newRow("start byte inside garbage") << hex("229901") + b << "3:54:067e rest=";
    // 0x22 + 0xDE = 0x100: a zero length byte would pass the sum and carry nothing.
    QTest::newRow("zero length is no frame") << hex("22de00") + b << "3:54:067e rest=";
    QTest::newRow("zero length alone") << hex("22de000000") << "rest=";
    // Found by the fuzzer while zero lengths were still taken as frames.
    QTest::newRow("fuzz crash-7beaa8c1") << hex("0222de00000000") << "rest=";
    QTest::newRow("foreign sequence delivered as found") << buildSerialFrame(0x07, hex("ff")) << "0:07:ff2a rest=";
    QTest::newRow("empty packet frame needs a fifth byte") << hex("22100133") << "rest=22100133";
    QTest::newRow("empty packet frame") << hex("2210013300") << "0:10:33 rest=00";
    QTest::newRow("long length waits") << hex("2201ff0000000000") << "rest=2201ff0000000000";
    // A stray start byte in front of a reply claims a length the reply does
    // not reach: the whole reply behind it is taken all the same.
    QTest::newRow("stray start byte before a reply") << hex("22") + b << "1:54:067e rest=";
    QTest::newRow("stray 22 44 c8 before a reply") << hex("2244c8") + b << "3:54:067e rest=";
    QTest::newRow("stray start byte before two replies") << hex("22ff") + a + b
                                                          << "2:53:02aabbe0 9:54:067e rest=";
    QTest::newRow("stray start byte before a partial reply waits") << hex("22") + a.left(6)
                                                                   << "rest=22" + QString::fromLatin1(a.left(6).toHex());
}

void TestFrames::scanner()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, expected);
    const FrameScan scan = scanFrames(input);
    QCOMPARE(describe(scan), expected);
    QCOMPARE(scan.consumed + scan.rest.size(), input.size());
    QCOMPARE(input.mid(scan.consumed), scan.rest);
}

void TestFrames::scannerAssemblesAFrameFedByteByByte()
{
    const QByteArray stream = hex("0000") + buildSerialFrame(1, hex("0203")) + hex("ee") + buildSerialFrame(2, hex("04"));
    QByteArray buffer;
    QVector<uint8_t> sequences;
    for (char c : stream) {
        buffer.append(c);
        const FrameScan scan = scanFrames(buffer);
        for (const ScannedFrame &f : scan.frames)
            sequences << f.sequence;
        buffer = scan.rest;
    }
    QCOMPARE(sequences, (QVector<uint8_t>{1, 2}));
}

void TestFrames::envelopes_data()
{
    QTest::addColumn<int>("busAddress");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("expected"); // per envelope "[frames]", then rest and drop reason

    const QByteArray e1 = buildKastrelEnvelope(5, 0x30, hex("02aa"));
    const QByteArray e2 = buildKastrelEnvelope(5, 0x31, hex("04"));
    // The older layout: frame right behind address, count and 0x00.
    QByteArray at3 = QByteArray(1, 5) + QByteArray(1, 0) + QByteArray(1, 0) + buildSerialFrame(0x32, hex("06"));
    at3[1] = char(at3.size());
    at3.append(char(crc8(0, reinterpret_cast<const uint8_t *>(at3.constData()), uint8_t(at3.size()))));
    QByteArray badCrc = e1;
    badCrc[badCrc.size() - 1] = char(badCrc.back() ^ 1);
    QByteArray shortCount = hex("05030000");

    QTest::newRow("worked example") << 0x7F << hex("7f0900072253020178" "71") << "[1:53:0178] rest= none";
    QTest::newRow("one envelope") << 5 << e1 << "[1:30:02aa01] rest= none";
    QTest::newRow("two envelopes in one read") << 5 << e1 + e2 << "[1:30:02aa01] [1:31:0459] rest= none";
    QTest::newRow("frame at byte 3") << 5 << at3 << "[0:32:065c] rest= none";
    QTest::newRow("incomplete kept") << 5 << e1.left(7) << "rest=" + QString::fromLatin1(e1.left(7).toHex()) + " none";
    QTest::newRow("address only kept") << 5 << e1.left(1) << "rest=05 none";
    QTest::newRow("envelope then partial") << 5 << e1 + e2.left(3) << "[1:30:02aa01] rest=" + QString::fromLatin1(e2.left(3).toHex()) + " none";
    QTest::newRow("wrong address") << 6 << e1 + e2 << "rest= wrong bus address";
    QTest::newRow("wrong address behind a good one") << 5 << e1 + buildKastrelEnvelope(6, 1, hex("01")) << "[1:30:02aa01] rest= wrong bus address";
    QTest::newRow("bad crc drops the rest") << 5 << badCrc + e2 << "rest= bad CRC";
    QTest::newRow("count below 8") << 5 << shortCount << "rest= count too small";
    QTest::newRow("count 0") << 0 << hex("0000") << "rest= count too small";
    // A valid envelope whose inside is no frame: nothing is delivered and nothing lingers.
    QByteArray noFrame = hex("050800070000000000");
    noFrame[8] = char(crc8(0, reinterpret_cast<const uint8_t *>(noFrame.constData()), 8));
    QTest::newRow("envelope without a frame") << 5 << noFrame + e2 << "[] [1:31:0459] rest= none";
    QByteArray cutFrame = hex("0508000722300401");
    cutFrame.append(char(crc8(0, reinterpret_cast<const uint8_t *>(cutFrame.constData()), 8)));
    QTest::newRow("envelope with a cut frame") << 5 << cutFrame + e2 << "[] [1:31:0459] rest= none";
}

void TestFrames::envelopes()
{
    QFETCH(int, busAddress);
    QFETCH(QByteArray, input);
    QFETCH(QString, expected);

    const EnvelopeUnwrap unwrap = unwrapEnvelopes(uint8_t(busAddress), input);
    QStringList parts;
    for (const EnvelopeContent &e : unwrap.envelopes)
        parts << QLatin1Char('[') + frameList(e.scan.frames) + QLatin1Char(']');
    parts << QStringLiteral("rest=") + QString::fromLatin1(unwrap.rest.toHex());
    parts << QString::fromLatin1(envelopeDropText(unwrap.dropped));
    QCOMPARE(parts.join(QLatin1Char(' ')), expected);
    if (unwrap.dropped != EnvelopeDrop::None)
        QVERIFY(unwrap.droppedBytes > 0);
}

void TestFrames::envelopeFedByteByByte_data()
{
    QTest::addColumn<int>("chunk");
    QTest::newRow("1") << 1;
    QTest::newRow("4") << 4;
    QTest::newRow("13") << 13;
}

void TestFrames::envelopeFedByteByByte()
{
    QFETCH(int, chunk);
    QByteArray stream;
    for (int i = 0; i < 5; ++i)
        stream += buildKastrelEnvelope(9, uint8_t(i), QByteArray(i * 3 + 1, char(i)));
    QByteArray buffer;
    QVector<uint8_t> sequences;
    for (int at = 0; at < stream.size(); at += chunk) {
        buffer += stream.mid(at, chunk);
        const EnvelopeUnwrap unwrap = unwrapEnvelopes(9, buffer);
        QCOMPARE(unwrap.dropped, EnvelopeDrop::None);
        for (const EnvelopeContent &e : unwrap.envelopes)
            for (const ScannedFrame &f : e.scan.frames)
                sequences << f.sequence;
        buffer = unwrap.rest;
    }
    QCOMPARE(sequences, (QVector<uint8_t>{0, 1, 2, 3, 4}));
    QVERIFY(buffer.isEmpty());
}

void TestFrames::kastrelAddress_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("port");
    QTest::addColumn<int>("bus");

    QTest::newRow("windows") << "COM7:5" << "COM7" << 5;
    QTest::newRow("linux") << "/dev/ttyUSB0:127" << "/dev/ttyUSB0" << 127;
    QTest::newRow("colon in path") << "/dev/serial/by-path/pci-0000:00:14.0-usb-0:1:1.0-port0:12"
                                   << "/dev/serial/by-path/pci-0000:00:14.0-usb-0:1:1.0-port0" << 12;
    QTest::newRow("no number") << "COM7:x" << "COM7" << 0;
    QTest::newRow("empty bus") << "COM7:" << "COM7" << 0;
    QTest::newRow("no colon") << "COM7" << "COM7" << 0;
}

void TestFrames::kastrelAddress()
{
    QFETCH(QString, address);
    QFETCH(QString, port);
    QFETCH(int, bus);
    const KastrelAddress parsed = splitKastrelAddress(address);
    QCOMPARE(parsed.portName, port);
    QCOMPARE(int(parsed.busAddress), bus);
}

QTEST_APPLESS_MAIN(TestFrames)
#include "tst_frames.moc"

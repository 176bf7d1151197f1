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
    QString text = (frames.isEmpty() ? QString() : frames + QLatin1Char(' ')) + QStringLiteral("rest=")
        + QString::fromLatin1(scan.rest.toHex());
    if (scan.held)
        text += QStringLiteral(" held=%1:%2").arg(scan.behind.offset).arg(scan.behind.sequence, 2, 16, QLatin1Char('0'));
    return text;
}

// A packet that holds a whole frame in its middle.
QByteArray packetHoldingAFrame(uint8_t innerSequence)
{
    return QByteArray::fromHex("6b0a0b") + buildSerialFrame(innerSequence, QByteArray::fromHex("0203")) + QByteArray(12, 'x');
}

// Text as a master's name or log line may carry it: many 0x22 bytes.
QByteArray quotedText()
{
    return QByteArray("{ \"\"name\"\": \"\"\"\", \"\"nr\"\": \"\\\"22\\\"\", \"a\": \"\"\"\"\"\"\"\"\"\"\" }");
}

// Feeds the pieces one after the other as a link does (takeFrames()), the link
// awaiting `awaited` (-1: nothing) until a frame with that number came, then
// nothing; with `silence` a silence follows the last piece. "sequence:data" of
// every frame handed on, space-separated.
QString joined(const QList<QByteArray> &pieces, int awaited, bool silence, QByteArray *left = nullptr)
{
    QStringList frames;
    QByteArray buffer;
    const auto deliver = [&](const QByteArray &scanned, const ScannedFrame &frame) {
        if (scanned.mid(frame.offset + 3, frame.data.size()) != frame.data)
            frames << QStringLiteral("misplaced");
        if (frame.sequence == awaited)
            awaited = -1;
        frames << QStringLiteral("%1:%2").arg(frame.sequence, 2, 16, QLatin1Char('0')).arg(QString::fromLatin1(frame.data.toHex()));
        return true;
    };
    const auto awaitedSequence = [&] { return awaited; };
    for (const QByteArray &piece : pieces) {
        buffer += piece;
        takeFrames(&buffer, false, deliver, awaitedSequence);
    }
    if (silence)
        takeFrames(&buffer, true, deliver, awaitedSequence);
    if (left)
        *left = buffer;
    return frames.join(QLatin1Char(' '));
}

QString described(const QList<QByteArray> &frames)
{
    QStringList parts;
    for (const QByteArray &frame : frames)
        parts << QStringLiteral("%1:%2").arg(uint8_t(frame.at(1)), 2, 16, QLatin1Char('0')).arg(QString::fromLatin1(frame.mid(3).toHex()));
    return parts.join(QLatin1Char(' '));
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
    void joiningLosesNothingWhereverCut_data();
    void joiningLosesNothingWhereverCut();
    void strayStartByte_data();
    void strayStartByte();

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
    // A stray start byte in front of a reply claims a length the reply does not
    // reach: the scanner waits and shows the complete frame it holds back.
    QTest::newRow("stray start byte before a reply") << hex("22") + b << "rest=22" + QString::fromLatin1(b.toHex()) + " held=1:54";
    QTest::newRow("stray 22 44 c8 before a reply") << hex("2244c8") + b << "rest=2244c8" + QString::fromLatin1(b.toHex()) + " held=3:54";
    QTest::newRow("stray start byte before two replies")
        << hex("22ff") + a + b << "rest=22ff" + QString::fromLatin1(QByteArray(a + b).toHex()) + " held=2:53";
    QTest::newRow("stray start byte before a partial reply waits") << hex("22") + a.left(6)
                                                                   << "rest=22" + QString::fromLatin1(a.left(6).toHex());
    // A reply whose packet holds a whole frame: cut behind that frame, the reply
    // is waited for, never given up for the frame inside it.
    const QByteArray outer = buildSerialFrame(0x60, packetHoldingAFrame(0x61));
    QTest::newRow("frame inside a partial reply")
        << outer.left(16) << "rest=" + QString::fromLatin1(outer.left(16).toHex()) + " held=6:61";
    QTest::newRow("reply holding a frame") << outer << "0:60:" + QString::fromLatin1(outer.mid(3).toHex()) + " rest=";
    const QByteArray text = buildSerialFrame(0x22, quotedText());
    QTest::newRow("text rich in start bytes, partial") << text.left(20) << "rest=" + QString::fromLatin1(text.left(20).toHex());
    QTest::newRow("text rich in start bytes") << text + b << "0:22:" + QString::fromLatin1(text.mid(3).toHex()) + " "
            + QString::number(text.size()) + ":54:067e rest=";
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

void TestFrames::joiningLosesNothingWhereverCut_data()
{
    QTest::addColumn<QList<QByteArray>>("frames");

    QTest::newRow("reply holding a frame of its own number")
        << QList<QByteArray>{buildSerialFrame(0x60, packetHoldingAFrame(0x60)), buildSerialFrame(0x61, hex("02"))};
    QTest::newRow("reply holding the next reply")
        << QList<QByteArray>{buildSerialFrame(0x60, packetHoldingAFrame(0x61)), buildSerialFrame(0x61, hex("02"))};
    QTest::newRow("reply holding the next reply whole")
        << QList<QByteArray>{buildSerialFrame(0x70, hex("06") + buildSerialFrame(0x71, hex("0607")) + hex("00")),
                             buildSerialFrame(0x71, hex("0607"))};
    QTest::newRow("text rich in start bytes")
        << QList<QByteArray>{buildSerialFrame(0x22, quotedText()), buildSerialFrame(0x23, quotedText().left(9)),
                             buildSerialFrame(0x24, QByteArray(40, '"'))};
    QTest::newRow("longest packet holding frames")
        << QList<QByteArray>{buildSerialFrame(1, QByteArray(packetHoldingAFrame(1) + packetHoldingAFrame(2)).repeated(6).left(254))};
}

// A stream of valid frames, cut in two at every place and in pieces of every
// size up to 24, whether the link awaits each as its reply or awaits nothing.
void TestFrames::joiningLosesNothingWhereverCut()
{
    QFETCH(QList<QByteArray>, frames);
    const QByteArray stream = frames.join();
    const QString expected = described(frames);
    for (const int awaits : {0, 1}) {
        const int awaited = awaits ? uint8_t(frames.first().at(1)) : -1;
        for (int cut = 1; cut < stream.size(); ++cut) {
            QByteArray left;
            QCOMPARE(joined({stream.left(cut), stream.mid(cut)}, awaited, false, &left), expected);
            QVERIFY2(left.isEmpty(), qPrintable(QStringLiteral("cut at %1").arg(cut)));
        }
        for (int piece = 1; piece <= 24; ++piece) {
            QList<QByteArray> pieces;
            for (int at = 0; at < stream.size(); at += piece)
                pieces << stream.mid(at, piece);
            QCOMPARE(joined(pieces, awaited, false), expected);
        }
    }
}

void TestFrames::strayStartByte_data()
{
    QTest::addColumn<QList<QByteArray>>("pieces");
    QTest::addColumn<int>("awaited");
    QTest::addColumn<bool>("silence");
    QTest::addColumn<QString>("expected");

    const QByteArray a = buildSerialFrame(0x53, hex("02aabb"));
    const QByteArray b = buildSerialFrame(0x54, hex("06"));
    using Pieces = QList<QByteArray>;
    QTest::newRow("before the awaited reply: given up at once") << Pieces{hex("22") + b} << 0x54 << false << "54:067e";
    QTest::newRow("22 44 c8 before the awaited reply") << Pieces{hex("2244c8"), b} << 0x54 << false << "54:067e";
    QTest::newRow("before two replies") << Pieces{hex("22ff") + a + b} << 0x53 << false << "53:02aabbe0 54:067e";
    QTest::newRow("carrying the awaited number: held") << Pieces{hex("2254c8") + b} << 0x54 << false << "";
    QTest::newRow("carrying the awaited number: silence") << Pieces{hex("2254c8") + b} << 0x54 << true << "54:067e";
    QTest::newRow("nothing awaited: held") << Pieces{hex("22") + b} << -1 << false << "";
    QTest::newRow("nothing awaited: silence") << Pieces{hex("22") + b} << -1 << true << "54:067e";
    QTest::newRow("another reply awaited: silence") << Pieces{hex("22") + b} << 0x10 << true << "54:067e";
    // The frame inside the reply carries the awaited number: the stray byte
    // goes, the reply is waited for.
    const QByteArray same = buildSerialFrame(0x60, packetHoldingAFrame(0x60));
    QTest::newRow("before a reply holding a frame of its number")
        << Pieces{hex("22") + same.left(16), same.mid(16)} << 0x60 << false << "60:" + QString::fromLatin1(same.mid(3).toHex());
    const QByteArray other = buildSerialFrame(0x60, packetHoldingAFrame(0x61));
    QTest::newRow("before a reply holding a frame of another number")
        << Pieces{hex("22") + other.left(16), other.mid(16)} << 0x60 << false << "60:" + QString::fromLatin1(other.mid(3).toHex());
    QTest::newRow("silence inside the awaited reply holding a frame: kept")
        << Pieces{other.left(16)} << 0x60 << true << "";
    QTest::newRow("silence inside a reply holding nothing: kept") << Pieces{a.left(6)} << 0x53 << true << "";
}

// A stray start byte in front of a reply costs the reply nothing: the link
// gives it up at once when the frame behind carries the number it awaits,
// else after a silence.
void TestFrames::strayStartByte()
{
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(int, awaited);
    QFETCH(bool, silence);
    QFETCH(QString, expected);
    QCOMPARE(joined(pieces, awaited, silence), expected);
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

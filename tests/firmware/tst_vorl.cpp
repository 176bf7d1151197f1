// Firmware containers: reading, descrambling, the image, combined files and
// every refusal, on containers made by the test's builder.
#include "containerbuilder.h"
#include "vorl.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

#include <functional>

namespace {

// The worked example: its sums hold whatever the key.
const QByteArray WorkedExample = "Device: Zentar-TEST, HW:1.2\n"
                                 "DAACAQUBAgcEAAAAAABMAwAAAPFTZQAAGgI=\n"
                                 "ABAE3q2+7w==\n";

QByteArray filled(int size, char first)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(first + i);
    return bytes;
}

// What a refusal carries.
struct Refusal
{
    QString kind;
    QString message;
};

Refusal refusalOf(const std::function<void()> &read)
{
    try {
        read();
    } catch (const not_exists_exception &e) {
        return {QStringLiteral("not_exists"), e.message()};
    } catch (const bad_format_exception &e) {
        return {QStringLiteral("bad_format"), e.message()};
    } catch (const vorl_exception &e) {
        return {QStringLiteral("vorl"), e.message()};
    }
    return {QStringLiteral("none"), QString()};
}

} // namespace

using Check = std::function<void(const pVORL &)>;
Q_DECLARE_METATYPE(Check)
Q_DECLARE_METATYPE(FirmwareKey)

class VorlTest : public QObject
{
    Q_OBJECT
private slots:
    void workedExamplePassesWithAnyKey_data()
    {
        QTest::addColumn<FirmwareKey>("key");
        QTest::newRow("zero key") << FirmwareKey{};
        QTest::newRow("counting key") << countingKey();
    }
    void workedExamplePassesWithAnyKey()
    {
        QFETCH(FirmwareKey, key);
        const pVORL vorl = parseContainer(WorkedExample, false, key);
        const Header header = vorl->header();
        QCOMPARE(header.name, QStringLiteral("Zentar-TEST"));
        QCOMPARE(vorl->deviceType(), 12);
        QCOMPARE(vorl->hardwareVersion(), QVersionNumber(1, 2));
        QCOMPARE(vorl->firmwareVersion(), QVersionNumber(1, 5));
        QCOMPARE(header.buildNumber, quint16(7));
        QCOMPARE(header.flags, quint8(2));
        QCOMPARE(header.firmwareSize, quint32(4));
        QCOMPARE(header.buildTime.toSecsSinceEpoch(), qint64(1700000000));
        QCOMPARE(vorl->fileHeader().buildTime, quint32(1700000000));
        QCOMPARE(vorl->rawHeader().size(), 26);
        // Lines go to the master as read, whatever the key.
        QCOMPARE(vorl->lines(), QList<QByteArray>{QByteArray::fromHex("001004deadbeef")});
        QCOMPARE(vorl->blocks().size(), 1);
    }

    // Containers the reader takes, with what it makes of them.
    void reads_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("descramble");
        QTest::addColumn<FirmwareKey>("key");
        QTest::addColumn<Check>("check");

        const FirmwareKey key = countingKey();
        {
            const ContainerBuilder b =
                ContainerBuilder().key(key).record(recordV1(0x1000, "\x01\x02\x03\x04")).record(recordV1(0x1008, "\x05\x06"));
            QTest::newRow("gap filled with 0xFF") << b.bytes() << false << key << Check([](const pVORL &v) {
                QCOMPARE(v->image(), QByteArray::fromHex("01020304ffffffff0506"));
                QCOMPARE(v->minAddress(), quint32(0x1000));
                QCOMPARE(v->maxAddress(), quint32(0x1009));
            });
        }
        {
            const ContainerBuilder b =
                ContainerBuilder().key(key).record(recordV1(0x1000, "\x01\x02\x03\x04")).record(recordV1(0x1002, "\x05\x06"));
            QTest::newRow("block below the position appended without a gap")
                << b.bytes() << false << key << Check([](const pVORL &v) {
                       QCOMPARE(v->image(), QByteArray::fromHex("010203040506"));
                       QCOMPARE(v->maxAddress(), quint32(0x1003));
                   });
        }
        {
            const ContainerBuilder b = ContainerBuilder().key(key).flags(0x03).record(recordV2(0x08000010, "\xAA\xBB"));
            QTest::newRow("32-bit addresses") << b.bytes() << false << key << Check([](const pVORL &v) {
                QCOMPARE(v->blocks().size(), 1);
                QCOMPARE(v->blocks().at(0)->version(), 1);
                QCOMPARE(v->blocks().at(0)->address(), quint32(0x08000010));
                QCOMPARE(v->image(), QByteArray::fromHex("aabb"));
            });
        }
        {
            // Two lines of 20 bytes: the second uses key positions 20-30, then 0-8.
            const QByteArray first = recordV1(0x2000, filled(17, 0x40));
            const QByteArray second = recordV1(0x2011, filled(17, 0x60));
            const ContainerBuilder b = ContainerBuilder().key(key).record(first).record(second);
            QTest::newRow("key position runs across lines, lines as read")
                << b.bytes() << false << key << Check([key, first, second](const pVORL &v) {
                       const QList<QByteArray> lines = v->lines();
                       QCOMPARE(lines.size(), 2);
                       QCOMPARE(quint8(lines[1][0]), quint8(quint8(second[0]) ^ key[20]));
                       QCOMPARE(quint8(lines[1][10]), quint8(quint8(second[10]) ^ key[30]));
                       QCOMPARE(quint8(lines[1][11]), quint8(quint8(second[11]) ^ key[0]));
                       QCOMPARE(v->blocks().at(0)->raw(), first);
                       QCOMPARE(v->blocks().at(1)->raw(), second);
                       QCOMPARE(v->image(), filled(17, 0x40) + filled(17, 0x60));
                   });
            QTest::newRow("descrambled lines") << b.bytes() << true << key << Check([first, second](const pVORL &v) {
                QCOMPARE(v->lines(), (QList<QByteArray>{first, second}));
            });
        }
        {
            // The empty line neither counts nor moves the key: the next line still reads right.
            const ContainerBuilder b = ContainerBuilder()
                                           .key(key)
                                           .record(recordV1(0x10, "\x01\x02"))
                                           .emptyLine()
                                           .record(recordV1(0x12, "\x03\x04"));
            QTest::newRow("empty line skipped") << b.bytes() << false << key << Check([](const pVORL &v) {
                QCOMPARE(v->lines().size(), 2);
                QCOMPARE(v->image(), QByteArray::fromHex("01020304"));
            });
        }
        {
            const ContainerBuilder b = ContainerBuilder().key(key).crlf().record(recordV1(0x10, "\x01\x02"));
            QTest::newRow("CR LF line ends") << b.bytes() << false << key << Check([](const pVORL &v) {
                QCOMPARE(v->header().name, QStringLiteral("Zentar-TEST"));
                QCOMPARE(v->image(), QByteArray::fromHex("0102"));
            });
        }
        {
            const ContainerBuilder b = ContainerBuilder().key(key).type(59).textLine("AT+ONE").textLine("AT+TWO");
            QTest::newRow("text lines of device type 59") << b.bytes() << false << key << Check([](const pVORL &v) {
                QCOMPARE(v->lines(), (QList<QByteArray>{"AT+ONE\n", "AT+TWO\n"}));
                QVERIFY(v->blocks().isEmpty());
                QVERIFY(v->image().isEmpty());
            });
            QTest::newRow("device type 59 has no firmware sum check")
                << ContainerBuilder(b).spoilFirmwareSum().bytes() << false << key
                << Check([](const pVORL &v) { QCOMPARE(v->lines().size(), 2); });
        }
        {
            // Garbage with the zero key: blocks at 0 and 0xF0000000 would ask for 4 GiB.
            const ContainerBuilder b =
                ContainerBuilder().flags(0x01).record(recordV2(0, "\x01")).record(recordV2(0xF0000000, "\x02"));
            QTest::newRow("blocks 4 GiB apart: no image, file taken") << b.bytes() << false << FirmwareKey{}
                                                                      << Check([](const pVORL &v) {
                                                                             QCOMPARE(v->blocks().size(), 2);
                                                                             QCOMPARE(v->maxAddress(), quint32(0xF0000000));
                                                                             QVERIFY(v->image().isEmpty());
                                                                             QCOMPARE(v->lines().size(), 2);
                                                                         });
        }
        {
            const ContainerBuilder b = ContainerBuilder().key(key).record(recordV1(0, QByteArray()));
            QTest::newRow("record without data at address 0") << b.bytes() << false << key << Check([](const pVORL &v) {
                QCOMPARE(v->blocks().size(), 1);
                QCOMPARE(v->maxAddress(), quint32(0));
                QVERIFY(v->image().isEmpty());
            });
        }
    }
    void reads()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, descramble);
        QFETCH(FirmwareKey, key);
        QFETCH(Check, check);
        if (QByteArray(QTest::currentDataTag()).contains("4 GiB"))
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("not assembled")));
        const pVORL vorl = parseContainer(text, descramble, key);
        QVERIFY(vorl);
        check(vorl);
    }

    void refuses_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");

        const ContainerBuilder good = ContainerBuilder().record(recordV1(0x10, "\x01\x02"));
        QTest::newRow("header sum") << ContainerBuilder(good).spoilHeaderSum().bytes() << "bad_format"
                                    << "Header crc is broken";
        QByteArray changed = good.decodedHeader();
        changed[5] = char(changed[5] + 1);
        QTest::newRow("header byte changed") << ContainerBuilder(good).headerLine(changed).bytes() << "bad_format"
                                             << "Header crc is broken";
        QTest::newRow("firmware sum") << ContainerBuilder(good).spoilFirmwareSum().bytes() << "bad_format"
                                      << "CRC Check error for firmware: Device: Zentar-TEST, HW:1.2\n";
        // 25 bytes whose last two hold the sum of the others: under 26, refused all the same.
        QByteArray shortHeader(23, '\x01');
        shortHeader += QByteArray::fromHex("1700");
        QTest::newRow("header under 26 bytes") << ContainerBuilder(good).headerLine(shortHeader).bytes() << "bad_format"
                                               << "Header is too short";
        QTest::newRow("no header line") << QByteArray("Device: Zentar-TEST, HW:1.2\n") << "bad_format"
                                        << "Header is too short";
        QTest::newRow("16-bit record under its prefix") << ContainerBuilder().record(QByteArray(2, '\x10')).bytes() << "bad_format"
                                                        << "Data record in line 3 is too short";
        QTest::newRow("32-bit record under its prefix")
            << ContainerBuilder().flags(1).record(recordV2(0x10, "\x01")).record(QByteArray(4, '\x10')).bytes()
            << "bad_format"
            << "Data record in line 4 is too short";
    }
    void refuses()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, kind);
        QFETCH(QString, message);
        const Refusal refusal = refusalOf([&] { parseContainer(text, false, FirmwareKey{}); });
        QCOMPARE(refusal.kind, kind);
        QCOMPARE(refusal.message, message);
    }

    void files_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file
        QTest::addColumn<int>("containers");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");

        const QByteArray a = ContainerBuilder().type(12).record(recordV1(0x10, "\x01")).bytes();
        const QByteArray b = ContainerBuilder().type(20).record(recordV1(0x20, "\x02")).bytes();
        const QByteArray marker = "\n---END_OF_VORL---\n";
        const QByteArray broken = ContainerBuilder().type(20).spoilHeaderSum().bytes();
        QTest::newRow("plain container") << a << 1 << "none" << QString();
        QTest::newRow("two with final marker") << a + marker + b + marker << 2 << "none" << QString();
        QTest::newRow("two without final marker") << a + marker + b << 2 << "none" << QString();
        QByteArray crlf = a + marker + b + marker;
        crlf.replace("\n", "\r\n");
        QTest::newRow("CR LF combined file") << crlf << 2 << "none" << QString();
        QTest::newRow("marker at the start") << marker + a << 0 << "bad_format" << "Empty firmware in combined file";
        QTest::newRow("two markers in a row") << a + marker + marker + b << 0 << "bad_format"
                                              << "Empty firmware in combined file";
        QTest::newRow("second piece broken: nothing returned") << a + marker + broken << 0 << "bad_format"
                                                               << "Header crc is broken";
        QTest::newRow("missing file") << QByteArray() << 0 << "not_exists" << "file does not exists";
    }
    void files()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, containers);
        QFETCH(QString, kind);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("firmware.vorl"));
        if (!content.isNull()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        QList<pVORL> loaded;
        // A missing file is the single reader's refusal; the combined loader cannot open it.
        const Refusal refusal = content.isNull()
            ? refusalOf([&] { readContainer(path, false, FirmwareKey{}); })
            : refusalOf([&] { loaded = loadCombinedFirmware(path, false, FirmwareKey{}); });
        QCOMPARE(refusal.kind, kind);
        QCOMPARE(refusal.message, message);
        QCOMPARE(loaded.size(), containers);
        if (containers == 2) {
            QCOMPARE(loaded.at(0)->deviceType(), 12);
            QCOMPARE(loaded.at(1)->deviceType(), 20);
        }
    }

    void unreadableFiles()
    {
        QTemporaryDir dir;
        // A folder exists but does not open as a file.
        QCOMPARE(refusalOf([&] { readContainer(dir.path(), false); }).message, QStringLiteral("Cannot open file"));
        QCOMPARE(refusalOf([&] { loadCombinedFirmware(dir.path(), false); }).kind, QStringLiteral("vorl"));
        QCOMPARE(refusalOf([&] { loadCombinedFirmware(dir.filePath(QStringLiteral("none")), false); }).message,
                 QStringLiteral("Cannot open file"));
        // A pipe with no writer is refused at once instead of blocking the reader.
        const QString pipe = dir.filePath(QStringLiteral("pipe.vorl"));
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QCOMPARE(refusalOf([&] { readContainer(pipe, false); }).message, QStringLiteral("Cannot open file"));
        QCOMPARE(refusalOf([&] { loadCombinedFirmware(pipe, false); }).message, QStringLiteral("Cannot open file"));
    }

    void blocksSerializeTheirOwnWidth()
    {
        BlockV1 v1(recordV1(0x1234, "\x01\x02\x03"));
        QVERIFY(v1.isValid());
        QCOMPARE(v1.checksum(), quint8(6));
        v1.append(0xFF);
        v1.prepend(0x00);
        QCOMPARE(v1.data(), QByteArray::fromHex("00010203ff"));
        v1.setAddress(0x00ABCDEF); // 16 bits kept
        QCOMPARE(v1.address(), quint32(0xCDEF));
        QCOMPARE(v1.serialize(), QByteArray::fromHex("efcd0500010203ff"));
        QCOMPARE(v1.checksum(), quint8(5));

        BlockV2 v2(recordV2(0x08001000, QByteArray(300 - 44, '\x01')));
        QCOMPARE(v2.address(), quint32(0x08001000));
        QCOMPARE(v2.serialize().left(5), QByteArray::fromHex("0010000800")); // low byte of 256
        QCOMPARE(BlockV2(QByteArray("\x01\x02", 2)).isValid(), false);
    }

    void bootSectionHeaderHasOneLayout()
    {
        const QByteArray bytes = QByteArray::fromHex("0c00020105010207040000000000" "4c03" "0000" "00f15365" "3412");
        const HUBRO32BootSectionHeader_t header = bootSectionHeaderFromBytes(bytes);
        QCOMPARE(header.deviceType, quint16(12));
        QCOMPARE(header.hardwareVersion, quint16(0x0102));
        QCOMPARE(header.firmwareVersion, quint16(0x0105));
        QCOMPARE(header.buildNumber, quint8(7));
        QCOMPARE(header.firmwareSize, quint32(4));
        QCOMPARE(header.firmwareSum, quint16(0x034C));
        QCOMPARE(header.buildTime, quint32(1700000000));
        QCOMPARE(header.reserved3, quint16(0x1234));
        QCOMPARE(bootSectionHeaderBytes(header), bytes);
        QCOMPARE(bootSectionHeaderFromBytes(bytes.left(3)).hardwareVersion, quint16(0x0002));

        registerFirmwareMetaTypes();
        const QVariant carried = QVariant::fromValue(header);
        QCOMPARE(QMetaType::type("HUBRO32BootSectionHeader_t"), carried.userType());
        QVERIFY(carried.value<HUBRO32BootSectionHeader_t>() == header);
    }
};

QTEST_GUILESS_MAIN(VorlTest)
#include "tst_vorl.moc"

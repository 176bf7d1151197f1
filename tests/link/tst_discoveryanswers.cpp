// Answers to the discovery probes, the status record and the module log line: pure functions.

#include "devicediscoveryagent.h"
#include "discoverytestdata.h"
#include "discovereddevice.h"
#include "frame.h"
#include "hubroinfo.h"
#include "probeanswer.h"

#include <QtEndian>
#include <QtTest>

using namespace DiscoveryTestData;

namespace {

const QString Port = QStringLiteral("/dev/ttyUSB0");

// Wired-bus answer with the frame at byte 3: address, count, 0x00, frame, CRC.
QByteArray frameAtThree(uint8_t bus, const QByteArray &frame)
{
    QByteArray answer;
    answer.append(char(bus)).append(char(frame.size() + 3)).append('\0').append(frame);
    answer.append(char(crc8(0, reinterpret_cast<const uint8_t *>(answer.constData()), uint8_t(answer.size()))));
    return answer;
}

// Frame whose check byte is right for whatever the length byte says.
QByteArray rawFrame(uint8_t length, const QByteArray &body)
{
    QByteArray frame;
    frame.append(char(FrameStartByte)).append(char(0x53)).append(char(length)).append(body);
    frame.append(char(frameChecksum(frame)));
    return frame;
}

} // namespace

class TestDiscoveryAnswers : public QObject
{
    Q_OBJECT

private slots:
    void probesAreTheStatusRequest();
    void serialAnswer_data();
    void serialAnswer();
    void kastrelAnswer_data();
    void kastrelAnswer();
    void kastrelAddressSplitsBack();
    void statusRecordLayout();
    void adjustMasterType_data();
    void adjustMasterType();
    void moduleLogLine_data();
    void moduleLogLine();
};

void TestDiscoveryAnswers::probesAreTheStatusRequest()
{
    const QByteArray request(1, char(0x01));
    QCOMPARE(QByteArray::fromHex(SerialProbeHex), buildSerialFrame(0x53, request));
    QCOMPARE(QByteArray::fromHex(KastrelProbeHex), buildKastrelEnvelope(KastrelProbeBusAddress, 0x53, request));
}

void TestDiscoveryAnswers::serialAnswer_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("found");
    QTest::addColumn<DiscoveredDevice>("expected");

    const QByteArray full = buildSerialFrame(0x53, statusReply(statusRecord()));
    QCOMPARE(full.left(4), QByteArray::fromHex("22535002"));
    const DiscoveredDevice master = expectedDevice(Port, Serial, 40, 0x02);

    QTest::newRow("status reply") << full << true << master;
    QTest::newRow("bytes after the frame") << full + QByteArray::fromHex("22aa55") << true << master;
    QTest::newRow("first chunk only") << full.left(40) << false << DiscoveredDevice();
    QTest::newRow("one byte missing") << full.chopped(1) << false << DiscoveredDevice();
    QByteArray badSum = full;
    badSum[full.size() - 1] = char(badSum.at(full.size() - 1) + 1);
    QTest::newRow("wrong sum") << badSum << false << DiscoveredDevice();
    QTest::newRow("garbage in front") << char(0x00) + full << false << DiscoveredDevice();
    QTest::newRow("empty") << QByteArray() << false << DiscoveredDevice();
    QTest::newRow("eight bytes") << full.left(8) << false << DiscoveredDevice();

    QTest::newRow("type 0: Wireloop only") << buildSerialFrame(0x53, statusReply(statusRecord({0, 0x02}))) << true
                                           << expectedDevice(Port, Serial, 0, DiscoveredDevice::wireloop);
    QTest::newRow("type 1: Wireloop only") << buildSerialFrame(0x53, statusReply(statusRecord({1, 0x03})))
                                           << true << expectedDevice(Port, Serial, 1, DiscoveredDevice::wireloop);
    QTest::newRow("Bluetooth module: type 141") << buildSerialFrame(0x53, statusReply(statusRecord({0, 0x06})))
                                                << true << expectedDevice(Port, Serial, 141, 0x06);

    // A record 10 bytes short is reported without its protocol version.
    QTest::newRow("short record") << buildSerialFrame(0x53, statusReply(statusRecord().left(68))) << true
                                  << expectedDevice(Port, Serial, 40, 0x02, 0);
    // The check byte of a short answer is no record byte: here it would be the module byte.
    QTest::newRow("check byte not a record byte") << buildSerialFrame(0x53, statusReply(statusRecord().left(64)))
                                                  << true << expectedDevice(Port, Serial, 40, 0x00, 0);

    // Another packet type: a master busy with a firmware update.
    QTest::newRow("other type, length 15") << buildSerialFrame(0x53, QByteArray(14, char(0x44))) << true
                                           << updatingDevice(Port, Serial);
    QTest::newRow("length 14") << buildSerialFrame(0x53, QByteArray(13, char(0x44))) << false << DiscoveredDevice();
    QTest::newRow("length 127") << buildSerialFrame(0x53, statusReply(statusRecord()) + QByteArray(47, '\0'))
                                << true << master;
    QTest::newRow("length 128") << buildSerialFrame(0x53, statusReply(statusRecord()) + QByteArray(48, '\0'))
                                << false << DiscoveredDevice();
    QTest::newRow("the probe itself") << QByteArray::fromHex(SerialProbeHex) + QByteArray(8, '\0') << false
                                      << DiscoveredDevice();
}

void TestDiscoveryAnswers::serialAnswer()
{
    QFETCH(QByteArray, answer);
    QFETCH(bool, found);
    QFETCH(DiscoveredDevice, expected);

    const std::optional<ProbeAnswer> result = parseSerialProbeAnswer(Port, answer);
    QCOMPARE(result.has_value(), found);
    if (found) {
        QCOMPARE(result->device, expected);
        QCOMPARE(result->hasRecord, expected.updateMode == 0);
    }
}

void TestDiscoveryAnswers::kastrelAnswer_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("found");
    QTest::addColumn<DiscoveredDevice>("expected");

    const QString address = Port + QStringLiteral(":5");
    struct Layout
    {
        const char *name;
        std::function<QByteArray(const QByteArray &packet)> wrap;
    };
    const Layout layouts[] = {
        {"envelope", [](const QByteArray &packet) { return buildKastrelEnvelope(5, 0x53, packet); }},
        {"frame at 3", [](const QByteArray &packet) { return frameAtThree(5, buildSerialFrame(0x53, packet)); }},
    };
    for (const Layout &layout : layouts) {
        auto row = [&layout](const char *name) -> QTestData & {
            return QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(layout.name), QLatin1String(name))));
        };
        const QByteArray full = layout.wrap(statusReply(statusRecord()));

        row("status reply") << full << true << expectedDevice(address, Kastrel, 40, 0x02);
        row("first chunk only") << full.left(30) << false << DiscoveredDevice();
        row("type 0 keeps its module byte") << layout.wrap(statusReply(statusRecord({0, 0x02}))) << true
                                            << expectedDevice(address, Kastrel, 0, 0x02);
        row("Bluetooth module: type 141") << layout.wrap(statusReply(statusRecord({0, 0x06}))) << true
                                          << expectedDevice(address, Kastrel, 141, 0x06);
        row("short record") << layout.wrap(statusReply(statusRecord().left(68))) << false << DiscoveredDevice();
        row("other type, short frame") << layout.wrap(QByteArray::fromHex("15010203040506")) << true
                                       << updatingDevice(address, Kastrel);
    }

    // Envelope CRC is not checked; the frame's sum is.
    QByteArray badCrc = buildKastrelEnvelope(5, 0x53, statusReply(statusRecord()));
    badCrc[badCrc.size() - 1] = char(badCrc.at(badCrc.size() - 1) ^ 0xFF);
    QTest::newRow("wrong CRC") << badCrc << true << expectedDevice(address, Kastrel, 40, 0x02);
    QByteArray badSum = buildKastrelEnvelope(5, 0x53, statusReply(statusRecord()));
    badSum[badSum.size() - 2] = char(badSum.at(badSum.size() - 2) + 1);
    QTest::newRow("wrong sum") << badSum << false << DiscoveredDevice();

    QByteArray noMarker = buildKastrelEnvelope(5, 0x53, statusReply(statusRecord()));
    noMarker[2] = char(0x01);
    QTest::newRow("frame at 4 without 00 07") << noMarker << false << DiscoveredDevice();
    QTest::newRow("twelve bytes") << frameAtThree(5, buildSerialFrame(0x53, QByteArray::fromHex("1501"))).left(12)
                                  << false << DiscoveredDevice();
    // Length byte 0 with sequence 0xDE passes the sum (0x22 + 0xDE = 0) but carries no packet.
    QTest::newRow("length byte 0") << frameAtThree(5, QByteArray::fromHex("22de00") + QByteArray::fromHex("15aabbccddeeff"))
                                   << false << DiscoveredDevice();
    QTest::newRow("length byte 1") << frameAtThree(5, rawFrame(1, QByteArray()) + QByteArray::fromHex("15aabbccddeeff"))
                                   << false << DiscoveredDevice();
    // Our own probe heard back on the bus is no answer; an answer behind it is.
    const QByteArray echo = QByteArray::fromHex(KastrelProbeHex);
    QTest::newRow("own probe echoed") << echo + QByteArray(4, '\0') << false << DiscoveredDevice();
    QTest::newRow("answer behind the echo") << echo + buildKastrelEnvelope(5, 0x53, statusReply(statusRecord()))
                                            << true << expectedDevice(address, Kastrel, 40, 0x02);
    QTest::newRow("garbage") << QByteArray::fromHex("00112233445566778899aabbccddeeff") << false
                             << DiscoveredDevice();
}

void TestDiscoveryAnswers::kastrelAnswer()
{
    QFETCH(QByteArray, answer);
    QFETCH(bool, found);
    QFETCH(DiscoveredDevice, expected);

    const std::optional<ProbeAnswer> result = parseKastrelProbeAnswer(Port, answer);
    QCOMPARE(result.has_value(), found);
    if (found)
        QCOMPARE(result->device, expected);
}

void TestDiscoveryAnswers::kastrelAddressSplitsBack()
{
    // Linux device paths may hold colons; the bus address follows the last one.
    const QString port = QStringLiteral("/dev/serial/by-path/pci-0000:00:14.0-usb-0:1:1.0-port0");
    const auto result = parseKastrelProbeAnswer(port, buildKastrelEnvelope(200, 1, statusReply(statusRecord())));
    QVERIFY(result);
    QCOMPARE(result->device.address, port + QStringLiteral(":200"));
    const KastrelAddress split = splitKastrelAddress(result->device.address);
    QCOMPARE(split.portName, port);
    QCOMPARE(int(split.busAddress), 200);
}

void TestDiscoveryAnswers::statusRecordLayout()
{
    QByteArray bytes(78, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 7 + 3);
    bytes[34] = char(0b01011010); // fPswE, btfRFMode 1, fRestricted, fWireloopPowerDisable
    bytes[51] = char(0b10001110); // btfRFCurr 2, btfRecommended 3, fAutoEnable
    bytes[63] = char(0x5A);
    bytes[64] = char(0x05);       // Wireloop and Bluetooth

    const hubroInfo_t info = hubroInfoFromBytes(bytes);
    QCOMPARE(hubroInfoToBytes(info), bytes); // unread bytes are carried unchanged
    QCOMPARE(int(info.bHWVer), int(uint8_t(bytes.at(1))));
    QCOMPARE(uint(info.wMK1FWVer), uint(qFromLittleEndian<quint16>(bytes.constData() + 2)));
    QCOMPARE(uint(info.dwSerialId), uint(qFromLittleEndian<quint32>(bytes.constData() + 43)));
    QCOMPARE(uint(info.wProtocolVer), uint(qFromLittleEndian<quint16>(bytes.constData() + 53)));
    QCOMPARE(uint(info.Time), uint(qFromLittleEndian<quint32>(bytes.constData() + 56)));
    QCOMPARE(int(info.bKastrelAddr), int(uint8_t(bytes.at(65))));
    QCOMPARE(int(info.RFNoise), int(uint8_t(bytes.at(72))));
    QCOMPARE(int(info.bPowerState), int(uint8_t(bytes.at(73))));

    QCOMPARE(int(info.Options.fKbdLock), 0);
    QCOMPARE(int(info.Options.btfRFMode), 1);
    QCOMPARE(int(info.Options.fPswE), 1);
    QCOMPARE(int(info.Options.fRestricted), 1);
    QCOMPARE(int(info.Options.fPowerAdjustment), 0);
    QCOMPARE(int(info.Options.fWireloopPowerDisable), 1);
    QCOMPARE(int(info.Channels.btfRFCurr), 2);
    QCOMPARE(int(info.Channels.btfRecommended), 3);
    QCOMPARE(int(info.Channels.fDynamicEnable), 0);
    QCOMPARE(int(info.Channels.fAutoEnable), 1);
    QCOMPARE(int(info.ChannelsAdvanced.btfRFCurr), 0xA);
    QCOMPARE(int(info.ChannelsAdvanced.btfRecommended), 0x5);
    QCOMPARE(int(info.modules.wireloop), 1);
    QCOMPARE(int(info.modules.kastrel), 0);
    QCOMPARE(int(info.modules.bluetooth), 1);
    QCOMPARE(int(modulesByte(info)), 0x05);

    // A short input fills the rest with zeros.
    const hubroInfo_t shortInfo = hubroInfoFromBytes(bytes.left(10));
    QCOMPARE(hubroInfoToBytes(shortInfo), bytes.left(10) + QByteArray(68, '\0'));
}

void TestDiscoveryAnswers::adjustMasterType_data()
{
    QTest::addColumn<int>("devType");
    QTest::addColumn<int>("modules");
    QTest::addColumn<int>("adjusted");

    QTest::newRow("Bluetooth bit, type 40") << 40 << 0x04 << 141;
    QTest::newRow("Bluetooth bit, type 0") << 0 << 0x07 << 141;
    QTest::newRow("no Bluetooth bit") << 40 << 0x03 << 40;
    QTest::newRow("unused bits only") << 1 << 0xF8 << 1;
}

void TestDiscoveryAnswers::adjustMasterType()
{
    QFETCH(int, devType);
    QFETCH(int, modules);
    QFETCH(int, adjusted);

    QByteArray bytes(78, '\0');
    bytes[0] = char(devType);
    bytes[64] = char(modules);
    hubroInfo_t info = hubroInfoFromBytes(bytes);
    ::adjustMasterType(info);
    QCOMPARE(int(info.bDevType), adjusted);
    QCOMPARE(int(modulesByte(info)), modules);
}

void TestDiscoveryAnswers::moduleLogLine_data()
{
    QTest::addColumn<int>("modules");
    QTest::addColumn<int>("kastrelAddress");
    QTest::addColumn<int>("wireloopAddress");
    QTest::addColumn<QString>("line");

    QTest::newRow("Wireloop address 255") << 0x03 << 5 << 255 << "Available modules: (Kastrel (5), NO Bluetooth)";
    QTest::newRow("all three") << 0x07 << 3 << 9 << "Available modules: (Kastrel (3), Wireloop (9), Bluetooth)";
    QTest::newRow("Kastrel address 255") << 0x02 << 255 << 9 << "Available modules: (NO Bluetooth)";
    QTest::newRow("addresses without module bits") << 0x04 << 3 << 9 << "Available modules: (Bluetooth)";
}

void TestDiscoveryAnswers::moduleLogLine()
{
    QFETCH(int, modules);
    QFETCH(int, kastrelAddress);
    QFETCH(int, wireloopAddress);
    QFETCH(QString, line);

    QByteArray bytes(78, '\0');
    bytes[64] = char(modules);
    bytes[65] = char(kastrelAddress);
    bytes[52] = char(wireloopAddress);
    QTest::ignoreMessage(QtDebugMsg, qPrintable(line));
    DeviceDiscoveryAgent::logModules(hubroInfoFromBytes(bytes));
}

QTEST_GUILESS_MAIN(TestDiscoveryAnswers)
#include "tst_discoveryanswers.moc"

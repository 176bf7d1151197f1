// Which targets a firmware header fits: the match level against a radio
// device and the test of the master's own sections.
#include "firmwarematching.h"

#include <QtTest>

Q_DECLARE_METATYPE(DeviceFacts)
Q_DECLARE_METATYPE(MasterFacts)

namespace {

HUBRO32BootSectionHeader_t header(int type, quint16 hardware, quint16 firmware, int build = 0, int flags = 0x02)
{
    HUBRO32BootSectionHeader_t h;
    h.deviceType = quint16(type);
    h.hardwareVersion = hardware;
    h.firmwareVersion = firmware;
    h.buildNumber = quint8(build);
    h.flags = quint8(flags);
    return h;
}

DeviceFacts device(int type, QVersionNumber hardware, QVersionNumber firmware, int build = 0)
{
    DeviceFacts d;
    d.type = type;
    d.hardware = hardware;
    d.firmware = firmware;
    d.buildNumber = build;
    return d;
}

MasterFacts master(int type, int hardwareMajor, QVersionNumber radio = QVersionNumber(1, 0))
{
    MasterFacts m;
    m.type = type;
    m.hardwareMajor = hardwareMajor;
    m.radioFirmware = radio;
    return m;
}

} // namespace

class FirmwareMatchingTest : public QObject
{
    Q_OBJECT
private slots:
    void levels_data()
    {
        QTest::addColumn<HUBRO32BootSectionHeader_t>("file");
        QTest::addColumn<DeviceFacts>("target");
        QTest::addColumn<int>("masterType");
        QTest::addColumn<int>("level");
        const QVersionNumber v12(1, 2);
        QTest::newRow("other type") << header(4, 0x0100, 0x0200) << device(5, {1, 0}, {1, 0}) << 40 << 0;
        QTest::newRow("type compared by its low byte") << header(12, 0x0100, 0x0200) << device(12 + 256, {1, 0}, {1, 0})
                                                        << 40 << 3;
        QTest::newRow("other hardware major") << header(4, 0x0200, 0x0200) << device(4, {1, 9}, {1, 0}) << 40 << 1;
        QTest::newRow("minor hardware ignored") << header(4, 0x0105, 0x0200) << device(4, {1, 0}, {1, 0}) << 40 << 3;
        QTest::newRow("device without hardware") << header(4, 0x0000, 0x0200) << device(4, {}, {1, 0}) << 40 << 3;
        QTest::newRow("1.10 against 1.9") << header(4, 0x0100, 0x0109) << device(4, {1, 0}, {1, 10}) << 40 << 2;
        QTest::newRow("1.10 against 2.0") << header(4, 0x0100, 0x0200) << device(4, {1, 0}, {1, 10}) << 40 << 3;
        QTest::newRow("equal, master 0, higher build") << header(4, 0x0100, 0x0105, 9) << device(4, {1, 0}, {1, 5}, 2)
                                                       << 0 << 2;
        QTest::newRow("equal, higher build in file") << header(4, 0x0100, 0x0105, 9) << device(4, {1, 0}, {1, 5}, 2)
                                                     << 40 << 3;
        QTest::newRow("equal, same build") << header(4, 0x0100, 0x0105, 2) << device(4, {1, 0}, {1, 5}, 2) << 40 << 2;
        QTest::newRow("equal, lower build in file") << header(4, 0x0100, 0x0105, 1) << device(4, {1, 0}, {1, 5}, 2)
                                                    << 40 << 2;
        QTest::newRow("30: hw 1.2, fw 1.2 file") << header(30, 0x0102, 0x0102) << device(30, v12, {1, 0}) << 40 << 1;
        QTest::newRow("30: hw 1.2, fw 1.3 file") << header(30, 0x0102, 0x0103) << device(30, v12, {1, 0}) << 40 << 3;
        QTest::newRow("30: hw 1.1, fw 1.2 file") << header(30, 0x0101, 0x0102) << device(30, {1, 1}, {1, 0}) << 40 << 3;
        QTest::newRow("30: hw 2.0, old file") << header(30, 0x0200, 0x0102) << device(30, {2, 0}, {1, 0}) << 40 << 1;
        QTest::newRow("13: 2.6 device, 2.5 file") << header(13, 0x0205, 0x0200) << device(13, {2, 6}, {1, 0}) << 40 << 1;
        QTest::newRow("13: 2.5 device, 2.6 file") << header(13, 0x0206, 0x0200) << device(13, {2, 5}, {1, 0}) << 40 << 1;
        QTest::newRow("13: both 2.6") << header(13, 0x0206, 0x0200) << device(13, {2, 6}, {1, 0}) << 40 << 3;
        QTest::newRow("13: both 2.5") << header(13, 0x0205, 0x0100) << device(13, {2, 5}, {1, 0}) << 40 << 2;
    }
    void levels()
    {
        QFETCH(HUBRO32BootSectionHeader_t, file);
        QFETCH(DeviceFacts, target);
        QFETCH(int, masterType);
        QFETCH(int, level);
        QCOMPARE(matchLevel(file, target, masterType), level);
    }

    void masterSections_data()
    {
        QTest::addColumn<HUBRO32BootSectionHeader_t>("file");
        QTest::addColumn<MasterFacts>("target");
        QTest::addColumn<bool>("fits");
        QTest::newRow("40 on master 40") << header(40, 0x0100, 0x0100) << master(40, 1) << true;
        QTest::newRow("43 on master 0") << header(43, 0x0100, 0x0100) << master(0, 1) << false;
        QTest::newRow("0 on master 0") << header(0, 0x0100, 0x0100) << master(0, 8) << true;
        QTest::newRow("0 on master 40") << header(0, 0x0100, 0x0100) << master(40, 8) << false;
        QTest::newRow("0, radio 255.x") << header(0, 0x0100, 0x0100) << master(0, 8, {255, 0}) << false;
        QTest::newRow("0, 32-bit blocks, hw 8") << header(0, 0x0100, 0x0100, 0, 0x03) << master(0, 8) << false;
        QTest::newRow("0, 32-bit blocks, hw 9") << header(0, 0x0100, 0x0100, 0, 0x03) << master(0, 9) << true;
        QTest::newRow("core, same hardware") << header(41, 0x0300, 0x0100) << master(40, 3) << true;
        QTest::newRow("core 141, other hardware") << header(141, 0x0200, 0x0100) << master(40, 3) << false;
        QTest::newRow("core 1, same hardware") << header(1, 0x0205, 0x0100) << master(1, 2) << true;
        QTest::newRow("42 is no section") << header(42, 0x0100, 0x0100) << master(40, 1) << false;
        QTest::newRow("a device type") << header(12, 0x0100, 0x0100) << master(40, 1) << false;
    }
    void masterSections()
    {
        QFETCH(HUBRO32BootSectionHeader_t, file);
        QFETCH(MasterFacts, target);
        QFETCH(bool, fits);
        QCOMPARE(isMasterSectionFor(file, target), fits);
    }

    void sectionTypesByMaster()
    {
        QCOMPARE(radioSectionTypes(0), QList<int>{0});
        QCOMPARE(coreSectionTypes(1), QList<int>{1});
        QCOMPARE(radioSectionTypes(44), (QList<int>{40, 43}));
        QCOMPARE(coreSectionTypes(44), (QList<int>{41, 44}));
        QCOMPARE(radioSectionTypes(40), (QList<int>{40, 43, 42}));
        QCOMPARE(coreSectionTypes(141), (QList<int>{41, 44}));
        QVERIFY(skippedDeviceTypes().contains(37));
        QVERIFY(isMasterDeviceType(45) && isMasterDeviceType(141) && !isMasterDeviceType(12));
    }
};

QTEST_MAIN(FirmwareMatchingTest)
#include "tst_firmwarematching.moc"

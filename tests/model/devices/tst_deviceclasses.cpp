#include "devicebench.h"

#include "deviceclasses.h"
#include "devicekit.h"
#include "devicesettings.h"
#include "di_dralo.h"
#include "registerdeviceclasses.h"
#include "resources.h"

#include <QTranslator>
#include <QtTest>

#include <memory>

namespace {
// Stands for another language: every text marked.
class MarkingTranslator : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char *, const char *source, const char *, int) const override
    {
        return QStringLiteral("RU ") + QString::fromUtf8(source);
    }
};

// Every name of the tree, sub-properties included.
QStringList treeNames(const QList<QtProperty *> &properties)
{
    QStringList names;
    for (QtProperty *property : properties)
        names << property->propertyName() << treeNames(property->subProperties());
    return names;
}

QImage imageOf(const QIcon &icon)
{
    return icon.pixmap(icon.availableSizes().value(0)).toImage().convertToFormat(QImage::Format_ARGB32);
}

// An image as a pixmap of it shows it (premultiplied on the way).
QImage shown(const QImage &image)
{
    return QPixmap::fromImage(image).toImage().convertToFormat(QImage::Format_ARGB32);
}
} // namespace

class DeviceClassesTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerDeviceModelNames();
        registerDeviceClasses();
        registerDeviceClasses(); // a second run changes nothing
        DeviceItem::setTimings(10, 10);
    }

    // What the measurement selection offers of a model is what its item
    // records: every listed value reaches the collector on a state update.
    // A few are recorded only in the device's mode that has them (the pulse
    // counter's input states and third input, the relay module's cable
    // state): left out here.
    void listedValuesAreRecorded()
    {
        const QStringList byMode{"13 Zone1State", "13 Zone2State", "13 Zone3fAlarm", "14 Zone3Mode"};
        QStringList missing;
        for (int code = 1; code < 74; ++code) {
            if (masterDeviceTypes.contains(code))
                continue;
            std::unique_ptr<DeviceItem> item(createDeviceItem(makeInfo(code), false));
            RecordingCollector collector;
            item->installInfoCollector(&collector);
            item->updateState(item->deviceInfo(), QByteArray(16, char(0xF6)));
            for (const QString &key : item->fieldNames())
                if (!collector.keys.contains(key) && !byMode.contains(QStringLiteral("%1 %2").arg(code).arg(key)))
                    missing << QStringLiteral("%1 %2").arg(code).arg(key);
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(", ")));
    }

    void factoryByCode()
    {
        QHash<int, QString> classes{{3, "DI_Dralo"}, {4, "DI_Tirun"},  {32, "DI_security"},
                                    {63, "DI_Dralo"}, {64, "DI_Dralo"}, {67, "DI_Dralo"}};
        // Polling and simple devices: meter readers, leak, climate and acoustic sensors.
        classes.insert({{10, "DI_Wemdar"}, {13, "DI_Nilvo"}, {19, "DI_Zelvo"}, {29, "DI_Rufta"}, {31, "DI_Wemdar"},
                        {34, "DI_Vuxo_ISP1"}, {55, "DI_Rufta_ISP1"}, {56, "DI_Zelvo"}});
        // Detectors: heat, smoke and flame, the infrared family, the shift sensors.
        classes.insert({{2, "DI_Bexil"},        {5, "DI_Mavo"},         {6, "DI_Olvek"},        {16, "DI_Yolvik"},
                        {18, "DI_Kemrel"},      {22, "DI_Lumeq"},       {24, "DI_Yolvik_ISP1"}, {25, "DI_Yolvik_ISP2"},
                        {26, "DI_Olvek_ISP2"},  {27, "DI_Taskel"},      {28, "DI_Taskel"},      {33, "DI_Olvek_Pemmel"},
                        {52, "DI_Olvek_Pemmel"}});
        // Supply and output devices: repeaters, mains socket, relay modules, signs and alert devices.
        classes.insert({{7, "DI_Hoxel"},      {14, "DI_Fotra"},         {15, "DI_FotraISP1"}, {20, "DI_Pondra"},
                        {23, "DI_Jorvu"},     {30, "DI_Sebrel"},        {49, "DI_Pondra_24_220"},
                        {50, "DI_Pondra_24_220"}, {57, "DI_Plimsa"},    {65, "DI_Drovi"},
                        {70, "DI_Vindrak"},   {71, "DI_Sebrel_ISP02"}});
        for (int code = 0; code < 256; ++code) {
            const QString expected = classes.value(code, QStringLiteral("DeviceItem"));
            QCOMPARE(DeviceClasses::className(code), expected);
            if (code >= 74)
                continue; // made as the unsupported type 12, checked below
            std::unique_ptr<DeviceItem> item(createDeviceItem(makeInfo(code), false));
            QCOMPARE(QString::fromLatin1(item->metaObject()->className()), expected);
            if (classes.contains(code)) {
                // The class shows its own picture, in colour and grey.
                QVERIFY2(!item->onlineIcon().isNull(), qPrintable(expected));
                QVERIFY(!item->offlineIcon().isNull());
                QVERIFY(!item->icon().isNull());
            }
        }
        QTest::ignoreMessage(QtWarningMsg, "Unsupported device type: 200, 200");
        std::unique_ptr<DeviceItem> unknown(createDeviceItem(makeInfo(200), false));
        QCOMPARE(QString::fromLatin1(unknown->metaObject()->className()), QStringLiteral("DeviceItem"));
    }

    void pictures_data()
    {
        QTest::addColumn<QString>("path");
        for (int type : {3, 63, 64, 67})
            QTest::newRow(qPrintable(QString::number(type)))
                << QStringLiteral(":/images/devices/") + DI_Dralo::pictureFile(type);
        QTest::newRow("contact sensor") << QStringLiteral(":/images/devices/zentar-tirun.png");
        QTest::newRow("alarm key") << QStringLiteral(":/images/devices/zentar-gurta.png");
        for (const char *file : {"zentar-bexil.png", "zentar-lumeq.png", "zentar-olvek.png", "zentar-olvek_isp2.png",
                                 "zentar-kemrel.png", "zentar-taskel.png", "zentar-yolvik.png"})
            QTest::newRow(file) << QStringLiteral(":/images/devices/") + QLatin1String(file);
        QTest::newRow("write button") << QStringLiteral(":/icons/images/icons/png/save.png");
    }
    void pictures()
    {
        QFETCH(QString, path);
        initTandrelResources();
        const QImage image(path);
        QVERIFY2(!image.isNull(), qPrintable(path));
        // The device item takes nothing else.
        QCOMPARE(image.format(), QImage::Format_ARGB32);
        QVERIFY(image.pixelColor(0, 0).alpha() < 255); // drawn on a clear ground
    }

    void pictureOfEachCallPoint()
    {
        QCOMPARE(DI_Dralo::pictureFile(3), QStringLiteral("zentar-dralo.png"));
        QCOMPARE(DI_Dralo::pictureFile(63), QStringLiteral("zentar-quendal.png"));
        QCOMPARE(DI_Dralo::pictureFile(64), QStringLiteral("zentar-quendal_isp2.png"));
        QCOMPARE(DI_Dralo::pictureFile(67), QStringLiteral("zentar-dralo-4.png"));
    }

    void settingsKeysByType()
    {
        QCOMPARE(DeviceSettings::keys(4), QStringList({"enabledCable", "enabledSabotage"}));
        for (int type : {3, 32, 25, 0, 2, 5, 6, 33})
            QVERIFY(DeviceSettings::keys(type).isEmpty());
        QCOMPARE(DeviceSettings::keys(22), QStringList({"specRange", "specSpeed"}));
        for (int type : {27, 28})
            QCOMPARE(DeviceSettings::keys(type), QStringList({"nearSensitivity", "farSensitivity"}));
        for (int type : {16, 24})
            QCOMPARE(DeviceSettings::keys(type),
                     QStringList({"shiftDetection", "shiftSensitivity", "tiltDetection", "tiltSensitivity"}));
        // A key of another type is not served.
        std::unique_ptr<DeviceItem> dralo(createDeviceItem(makeInfo(3), false));
        QVERIFY(!DeviceSettings::value(dralo.get(), QStringLiteral("enabledCable")).isValid());
        QVERIFY(!DeviceSettings::setValue(dralo.get(), QStringLiteral("enabledCable"), 1));
        QVERIFY(!DeviceSettings::value(nullptr, QStringLiteral("enabledCable")).isValid());
    }

    // Titles and setting names are translated once per language: a change of
    // the translators reaches the lookups by type code and the items made after it.
    void titlesFollowTheLanguage()
    {
        const QString rssi = QStringLiteral("gpRssi");
        QCOMPARE(DeviceItem::parameterTitleForType(6, rssi), QStringLiteral("Signal level"));
        QCOMPARE(DeviceItem::parameterTitleForType(6, QStringLiteral("sens")), QStringLiteral("Sensitivity"));
        std::unique_ptr<DeviceItem> before(createDeviceItem(makeInfo(6), false));
        QCOMPARE(before->parameterTitle(QStringLiteral("fAlarm")), QStringLiteral("Alarm"));

        MarkingTranslator translator;
        QVERIFY(QCoreApplication::installTranslator(&translator));
        QCOMPARE(DeviceItem::parameterTitleForType(6, rssi), QStringLiteral("RU Signal level"));
        QCOMPARE(DeviceItem::parameterKeyForType(6, QStringLiteral("RU Sensitivity")), QStringLiteral("sens"));
        QCOMPARE(DeviceItem::staticParameterTitle(rssi), QStringLiteral("RU Signal level"));
        QCOMPARE(DeviceItem::parameterTitleForType(200, rssi), QStringLiteral("RU Signal level"));
        std::unique_ptr<DeviceItem> after(createDeviceItem(makeInfo(6), false));
        QCOMPARE(after->parameterTitle(QStringLiteral("fAlarm")), QStringLiteral("RU Alarm"));
        QCOMPARE(after->parameterKey(QStringLiteral("RU Signal level")), rssi);
        QVERIFY(treeNames(after->topProperties()).contains(QStringLiteral("RU Test mode")));
        QCOMPARE(after->fieldNames(), before->fieldNames());

        QVERIFY(QCoreApplication::removeTranslator(&translator));
        QCOMPARE(DeviceItem::parameterTitleForType(6, rssi), QStringLiteral("Signal level"));
        std::unique_ptr<DeviceItem> again(createDeviceItem(makeInfo(6), false));
        QCOMPARE(again->parameterTitle(QStringLiteral("fAlarm")), QStringLiteral("Alarm"));
        QVERIFY(treeNames(again->topProperties()).contains(QStringLiteral("Test mode")));
    }

    // Items show their class's picture online and its grey copy offline; the
    // items of one picture share it, decoded once.
    void picturesOnlineAndGrey_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("file");
        QTest::newRow("motion detector") << 6 << QStringLiteral("zentar-olvek.png");
        QTest::newRow("contact sensor") << 4 << QStringLiteral("zentar-tirun.png");
        QTest::newRow("repeater model") << 63 << DI_Dralo::pictureFile(63);
    }
    void picturesOnlineAndGrey()
    {
        QFETCH(int, code);
        QFETCH(QString, file);
        initTandrelResources();
        const QImage stored(QStringLiteral(":/images/devices/") + file);
        std::unique_ptr<DeviceItem> item(createDeviceItem(makeInfo(code), false));
        const QImage online = imageOf(item->onlineIcon());
        QCOMPARE(online, shown(stored));
        QCOMPARE(imageOf(item->icon()), shown(stored));
        QImage grey = stored;
        QVERIFY(DeviceItem::makeGrayscale(grey));
        QVERIFY(grey != stored);
        QCOMPARE(imageOf(item->offlineIcon()), shown(grey));
        // The view's icon follows the link state.
        QCOMPARE(item->data(Qt::DecorationRole).value<QIcon>().cacheKey(), item->onlineIcon().cacheKey());
        std::unique_ptr<DeviceItem> offline(createDeviceItem(makeInfo(code, 11, 0), false));
        QCOMPARE(offline->data(Qt::DecorationRole).value<QIcon>().cacheKey(), item->offlineIcon().cacheKey());
    }

    void titleTableHelpers()
    {
        const DeviceKit::TitledKeys table{{"a", "Same"}, {"b", "Same"}, {"c", "Other"}};
        QCOMPARE(DeviceKit::keyOfTitle(table, QStringLiteral("Same")), QStringLiteral("a"));
        QVERIFY(DeviceKit::keyOfTitle(table, QStringLiteral("None")).isEmpty());
        QVERIFY(DeviceKit::titleOfKey(table, QStringLiteral("z")).isEmpty());

        QMap<QString, QString> map{{"Work mode", "gpActiveZone"}, {"Case", "gpCase"}, {"Alarm", "gpAlarm"}};
        DeviceKit::adjustTitleMap(map, {"gpActiveZone", "gpAlarm"}, {{"workMode", "Work mode"}});
        QCOMPARE(map, (QMap<QString, QString>{{"Work mode", "workMode"}, {"Case", "gpCase"}}));
    }

    void stateBytes()
    {
        DeviceKit::StateBytes<4> state;
        state.load(hexBytes("0102030405"));
        QCOMPARE(state.word(2), quint16(0x0403));
        QCOMPARE(state.at(4), quint8(0)); // beyond the block
        QCOMPARE(state.word(3), quint16(0x0004));
        state.load(hexBytes("80"));
        QVERIFY(state.bit(0, 7));
        QCOMPARE(state.at(1), quint8(0));
        state.setBits(1, 0x04);
        QVERIFY(state.bit(1, 2));
        state.load(QByteArray());
        QCOMPARE(state.at(1), quint8(0));
    }
};

QTEST_MAIN(DeviceClassesTest)
#include "tst_deviceclasses.moc"

#include "devicetestdata.h"
#include "exampledevice.h"

#include "infocollector.h"
#include "deviceitem.h"
#include "propertytreetext.h"
#include "qteditorfactory.h"
#include "qttreepropertybrowser.h"
#include "settings.h"
#include "widgetdevicewritesettings.h"

#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

#include <cmath>
#include <memory>

namespace {
struct Value
{
    QString key;
    uint serial;
    QVariant value;
};

class RecordingCollector : public InfoCollector
{
public:
    void appendValue(QString tableName, uint deviceId, QVariant value) override
    {
        values.append(Value{tableName, deviceId, value});
    }
    QList<Value> values;
};

QStringList names(const QList<QtProperty *> &properties)
{
    QStringList list;
    for (QtProperty *property : properties)
        list << property->propertyName();
    return list;
}

QtProperty *child(QtProperty *parent, const QString &name)
{
    for (QtProperty *property : parent->subProperties())
        if (property->propertyName() == name)
            return property;
    return nullptr;
}

// A commit from a real editor of the property (made by the factory of its
// manager in a browser): the user's edit.
template <class Factory, class Editor, class Set>
void editThroughEditor(QtProperty *property, Set set)
{
    Factory factory;
    QtTreePropertyBrowser browser;
    using Manager = std::remove_pointer_t<decltype(factory.propertyManager(property))>;
    browser.setFactoryForManager(qobject_cast<Manager *>(property->propertyManager()), &factory);
    browser.addProperty(property);
    std::unique_ptr<QWidget> editor(factory.createEditor(property, &browser));
    auto *typed = qobject_cast<Editor *>(editor.get());
    QVERIFY(typed);
    set(typed);
}

void editEnum(QtProperty *property, int index)
{
    editThroughEditor<QtEnumEditorFactory, QComboBox>(property, [index](QComboBox *c) { c->setCurrentIndex(index); });
}

void editInt(QtProperty *property, int value)
{
    editThroughEditor<QtSpinBoxFactory, QSpinBox>(property, [value](QSpinBox *s) { s->setValue(value); });
}

WidgetDeviceWriteSettings *panelOf(const DeviceItem &item)
{
    return qobject_cast<WidgetDeviceWriteSettings *>(item.data(DeviceRole::WritePanel).value<QWidget *>());
}
} // namespace

class DeviceItemTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerDeviceModelNames();
        DeviceItem::setTimings(10, 10);
    }

    void dataRoles_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<QVariant>("online");
        QTest::addColumn<QVariant>("offline");
        const QString tip = QStringLiteral(" #10, 11, 12, 13\nZentar-TIRUN \n(hw: 2.10 fw: 1.05)\ns/n: 0001234567");
        QTest::newRow("display") << 0 << QVariant(tip) << QVariant(tip);
        QTest::newRow("edit: the Wireloop address") << 2 << QVariant(10) << QVariant(10);
        QTest::newRow("background") << 8 << QVariant() << QVariant(QColor(210, 210, 210));
        QTest::newRow("foreground") << 9 << QVariant(QColor(Qt::black)) << QVariant(QColor(Qt::lightGray));
        QTest::newRow("radio address") << 256 << QVariant(5) << QVariant(5);
        QTest::newRow("extra addresses") << 257 << QVariant(3) << QVariant(3);
        QTest::newRow("wireloop address") << 258 << QVariant(10) << QVariant(10);
        QTest::newRow("address text") << 259 << QVariant("10, 11, 12, 13") << QVariant("10, 11, 12, 13");
        QTest::newRow("model") << 260 << QVariant("Zentar-TIRUN") << QVariant("Zentar-TIRUN");
        QTest::newRow("type") << 261 << QVariant(4) << QVariant(4);
        QTest::newRow("address and type") << 262 << QVariant(10 + 4 * 256) << QVariant(10 + 4 * 256);
        QTest::newRow("serial text") << 263 << QVariant("0001234567") << QVariant("0001234567");
        QTest::newRow("serial") << 264 << QVariant(1234567u) << QVariant(1234567u);
        QTest::newRow("rssi") << 272 << QVariant(-60) << QVariant(0);
        QTest::newRow("rssi text") << 273 << QVariant("-60 dBm") << QVariant("0 dBm");
        QTest::newRow("link state") << 274 << QVariant(2) << QVariant(1);
        QTest::newRow("status") << 276 << QVariant("Normal") << QVariant("Connection lost");
        QTest::newRow("charge") << 280 << QVariant("3.00 V") << QVariant("3.00 V");
        QTest::newRow("main power") << 281 << QVariant(true) << QVariant(true);
        QTest::newRow("firmware") << 284 << QVariant("1.05") << QVariant("1.05");
        QTest::newRow("hardware") << 285 << QVariant("2.10") << QVariant("2.10");
        QTest::newRow("rl") << 286 << QVariant(0x12345678u) << QVariant(0x12345678u);
        QTest::newRow("rl supported") << 287 << QVariant(1) << QVariant(1);
        QTest::newRow("kastrel address") << 288 << QVariant(40) << QVariant(40);
        QTest::newRow("search text")
            << 289 << QVariant("2.10 1.05 Zentar-TIRUN -60 dBm 0001234567 Normal 10, 11, 12, 13")
            << QVariant("2.10 1.05 Zentar-TIRUN 0 dBm 0001234567 Connection lost 10, 11, 12, 13");
        QTest::newRow("flag of other types") << 290 << QVariant(0) << QVariant(0);
    }
    void dataRoles()
    {
        QFETCH(int, role);
        QFETCH(QVariant, online);
        QFETCH(QVariant, offline);
        for (quint8 link : {2, 1}) {
            deviceInfo_t info = makeInfo(4, 10, link);
            info.rl = 0x12345678;
            info.rlSupported = 1;
            DeviceItem item(info, false);
            item.updateState(info, hexBytes("f01c006400"));
            const QVariant expected = link == 2 ? online : offline;
            const QVariant actual = item.data(role);
            if (expected.type() == QVariant::Color)
                QCOMPARE(actual.value<QColor>(), expected.value<QColor>());
            else if (!expected.isValid())
                QVERIFY(!actual.isValid());
            else
                QCOMPARE(actual.toString(), expected.toString());
        }
    }

    void objectRoles()
    {
        const deviceInfo_t info = makeInfo(4);
        DeviceItem item(info, false);
        item.updateState(info, hexBytes("f0"));
        QCOMPARE(item.data(DeviceRole::Info).value<deviceInfo_t>(), info);
        QCOMPARE(item.data(DeviceRole::State).toByteArray(), hexBytes("f0"));
        QCOMPARE(names(item.data(DeviceRole::TopProperties).value<QList<QtProperty *>>()),
                 QStringList({"WD Type", "S/N", "Wireloop address", "Radio address", "Status"}));
        for (int role : {268, 269, 270, 271}) {
            auto *manager = qobject_cast<QtAbstractPropertyManager *>(item.data(role).value<QObject *>());
            QVERIFY2(manager, qPrintable(QString::number(role)));
            QVERIFY(manager->isEditable());
        }
        QVERIFY(qobject_cast<QtEnumPropertyManager *>(item.data(268).value<QObject *>()));
        QVERIFY(qobject_cast<QtIntPropertyManager *>(item.data(269).value<QObject *>()));
        QVERIFY(qobject_cast<QtDoublePropertyManager *>(item.data(270).value<QObject *>()));
        QVERIFY(qobject_cast<QtBoolPropertyManager *>(item.data(271).value<QObject *>()));
        QVERIFY(panelOf(item));
        QCOMPARE(item.type(), -1);

        // Roles the item does not answer itself are kept as a standard item's.
        item.setData(true, DeviceRole::EditMark);
        QCOMPARE(item.data(DeviceRole::EditMark).toBool(), true);
    }

    void backgroundFollowsAlarmAndFault()
    {
        class Flags : public DeviceItem
        {
        public:
            using DeviceItem::DeviceItem;
            bool hasAlarm() const override { return alarm; }
            bool hasFault() const override { return fault; }
            bool alarm = false;
            bool fault = false;
        } item(makeInfo(4), false);
        item.setData(QColor(Qt::green), Qt::BackgroundRole);
        QCOMPARE(item.data(Qt::BackgroundRole).value<QColor>(), QColor(Qt::green));
        item.fault = true;
        QCOMPARE(item.data(Qt::BackgroundRole).value<QColor>(), QColor(255, 234, 173));
        item.alarm = true;
        QCOMPARE(item.data(Qt::BackgroundRole).value<QColor>(), QColor(255, 180, 180));
    }

    void statusText_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<int>("link");
        QTest::addColumn<QString>("text");
        QTest::newRow("normal") << 4 << hexBytes("f0000000 0000") << 2 << "Normal";
        QTest::newRow("alarm and case") << 4 << hexBytes("60") << 2 << "Alarm, Case open";
        QTest::newRow("reserve alone") << 4 << hexBytes("d0") << 2 << "Reserve power failed";
        QTest::newRow("fail bit") << 4 << hexBytes("f0000000 40") << 2 << "Fail";
        QTest::newRow("fire") << 3 << hexBytes("e0") << 2 << "Fire";
        QTest::newRow("extinguishing") << 63 << hexBytes("e0") << 2 << "Fire extinguishing start";
        QTest::newRow("smoke exhaust") << 64 << hexBytes("e0") << 2 << "Smoke exhaust start";
        QTest::newRow("no alarm text, no fail") << 6 << hexBytes("e0000000 40") << 2 << "";
        QTest::newRow("meter: no reserve, no fail") << 13 << hexBytes("90000000 40") << 2 << "Main power failed";
        QTest::newRow("never normal") << 14 << hexBytes("f0") << 2 << "";
        QTest::newRow("everything failed") << 4 << hexBytes("00000000 40") << 2
                                           << "Alarm, Fail, Main power failed, Reserve power failed, Case open";
        QTest::newRow("empty state") << 4 << QByteArray() << 2
                                     << "Alarm, Main power failed, Reserve power failed, Case open";
        QTest::newRow("not online") << 4 << hexBytes("f0") << 0 << "Connection lost";
        QTest::newRow("from a file") << 4 << hexBytes("f0") << 3 << "Connection lost";
    }
    void statusText()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, state);
        QFETCH(int, link);
        QFETCH(QString, text);
        const deviceInfo_t info = makeInfo(type, 10, quint8(link));
        DeviceItem item(info, false);
        item.updateState(info, state);
        QCOMPARE(item.data(DeviceRole::StatusText).toString(), text);
    }

    void unsupportedTypeReadsAsTestDevice()
    {
        QTest::ignoreMessage(QtWarningMsg, "Unsupported device type: 80, 80");
        const deviceInfo_t info = makeInfo(80);
        DeviceItem item(info, false);
        QCOMPARE(item.deviceType(), 12);
        QCOMPARE(item.itemTypeName(), QStringLiteral("Zentar-TEST_DEV"));
        QSignalSpy updated(&item, &DeviceItem::updated);
        item.updateState(info, QByteArray());
        QCOMPARE(updated.count(), 0); // the record as built is no change
        item.updateState(info, hexBytes("f0"));
        item.updateState(info, hexBytes("f0"));
        QCOMPARE(updated.count(), 1);
        QCOMPARE(item.deviceType(), 12);
    }

    void versions()
    {
        deviceInfo_t info = makeInfo(4);
        info.firmwareVersion = 0xFFFF;
        info.hardwareVersion = 0xFFFF;
        DeviceItem item(info, false);
        QVERIFY(item.firmwareVersion().isNull());
        QCOMPARE(item.hardwareVersion(), QVersionNumber(255, 255));
        QCOMPARE(item.data(DeviceRole::FirmwareText).toString(), QStringLiteral("0.00"));
        QCOMPARE(item.data(DeviceRole::HardwareText).toString(), QStringLiteral("255.255"));
        QCOMPARE(item.buildNumber(), quint8(7));
    }

    void updateSignals()
    {
        deviceInfo_t info = makeInfo(4);
        info.rlSupported = 1;
        DeviceItem item(info, false);
        item.updateState(info, hexBytes("f0"));
        QSignalSpy updated(&item, &DeviceItem::updated);
        QSignalSpy rssi(&item, &DeviceItem::rssiChanged);
        QSignalSpy parent(&item, &DeviceItem::parentChanged);

        info.rssi = -70; // only the signal level
        item.updateState(info, hexBytes("f0"));
        QCOMPARE(updated.count(), 0);
        QCOMPARE(rssi.count(), 1);

        info.rssi = -75; // and the state block
        item.updateState(info, hexBytes("f1"));
        QCOMPARE(updated.count(), 1);
        QCOMPARE(rssi.count(), 1);

        info.reserved = 1; // any other record byte
        item.updateState(info, hexBytes("f1"));
        QCOMPARE(updated.count(), 2);

        info.rl = 0x00002001; // a new repeater
        item.updateState(info, hexBytes("f1"));
        QCOMPARE(parent.count(), 1);
        QCOMPARE(updated.count(), 3);
    }

    void addressText_data()
    {
        QTest::addColumn<bool>("kastrel");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("wireloop");
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<QString>("text");
        QTest::newRow("past the range") << false << 4 << 126 << hexBytes("f00c") << "126, 127, *";
        QTest::newRow("not assigned") << false << 4 << 0 << hexBytes("f01c") << "Not assigned";
        QTest::newRow("kastrel address") << true << 4 << 10 << hexBytes("f0") << "40";
        QTest::newRow("master takes none") << false << 40 << 10 << hexBytes("f01c") << "10";
        QTest::newRow("type 2 takes none") << false << 2 << 10 << hexBytes("f01c") << "10";
        QTest::newRow("zone byte 32 and up") << false << 4 << 10 << hexBytes("f03c") << "10";
    }
    void addressText()
    {
        QFETCH(bool, kastrel);
        QFETCH(int, type);
        QFETCH(int, wireloop);
        QFETCH(QByteArray, state);
        QFETCH(QString, text);
        const deviceInfo_t info = makeInfo(type, quint8(wireloop));
        DeviceItem item(info, kastrel);
        item.updateState(info, state);
        QCOMPARE(item.addressText(), text);
        QString starred = text;
        QCOMPARE(item.toolTip().section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral(" #") + starred.replace(QStringLiteral("Not assigned"), QStringLiteral("*")));
    }

    void sortsByTheWiredAddress()
    {
        deviceInfo_t a = makeInfo(4, 200), b = makeInfo(4, 20);
        a.kastrelAddress = 1;
        b.kastrelAddress = 2;
        DeviceItem wa(a, false), wb(b, false), ka(a, true), kb(b, true);
        QVERIFY(wb < wa); // unsigned: 20 before 200
        QVERIFY(ka < kb);
    }

    void propertyTree()
    {
        const deviceInfo_t info = makeInfo(4);
        DeviceItem item(info, false);
        const QList<QtProperty *> top = item.topProperties();
        QtProperty *status = top.last();
        QCOMPARE(names(status->subProperties()), QStringList({"Case", "Main battery state", "Reserve battery state"}));
        QCOMPARE(top.at(1)->valueText(), QStringLiteral("0001234567"));
        QCOMPARE(top.at(3)->valueText(), QStringLiteral("5"));

        item.updateState(info, hexBytes("c0000064"));
        QCOMPARE(top.at(0)->valueText(), QStringLiteral("Zentar-TIRUN"));
        QCOMPARE(child(status, "Case")->valueText(), QStringLiteral("Closed"));
        QCOMPARE(child(status, "Main battery state")->valueText(), QStringLiteral("Good"));
        QCOMPARE(child(status, "Reserve battery state")->valueText(), QStringLiteral("Low"));

        item.setHiddenPropertiesVisible(true);
        item.setHiddenPropertiesVisible(true);
        QCOMPARE(names(status->subProperties()),
                 QStringList({"Case", "Main battery state", "Main battery voltage", "Reserve battery state"}));
        QCOMPARE(child(status, "Main battery voltage")->valueText(), QStringLiteral("3.00 V"));
        item.updateState(info, hexBytes("00"));
        QCOMPARE(child(status, "Main battery state")->valueText(), QStringLiteral("Not inserted"));
        QCOMPARE(child(status, "Main battery voltage")->valueText(), QStringLiteral("0 V"));
        item.setHiddenPropertiesVisible(false);
        QCOMPARE(status->subProperties().size(), 3);

        DeviceItem kastrel(info, true);
        QCOMPARE(kastrel.topProperties().at(2)->propertyName(), QStringLiteral("Kastrel address"));
        QCOMPARE(kastrel.topProperties().at(2)->valueText(), QStringLiteral("40"));
    }

    void batteryRules()
    {
        // Type 22 has no "Not inserted"; repeater-like types keep no voltage.
        const deviceInfo_t lumeq = makeInfo(22);
        DeviceItem a(lumeq, false);
        a.updateState(lumeq, hexBytes("40"));
        QCOMPARE(a.data(DeviceRole::Charge).toString(), QStringLiteral("0 V"));
        QCOMPARE(child(a.topProperties().last(), "Main battery state")->valueText(), QStringLiteral("Good"));

        const deviceInfo_t sebrel = makeInfo(30);
        DeviceItem b(sebrel, false);
        b.updateState(sebrel, hexBytes("40000064"));
        QCOMPARE(b.data(DeviceRole::Charge).toString(), QString());
    }

    void measurements()
    {
        QVariantMap map;
        map.insert(QStringLiteral("4:1234567"), QStringList({"gpCase", "rl"}));
        appSettings.setValue(QLatin1String(SettingsKey::SQLiteStoringMap), map);

        deviceInfo_t info = makeInfo(4);
        info.rl = 0x20;
        DeviceItem item(info, false);
        RecordingCollector collector;
        item.updateState(info, hexBytes("f0"));
        QVERIFY(collector.values.isEmpty());

        QTest::ignoreMessage(QtDebugMsg, "Info collector installed in Zentar-TIRUN 1234567: gpCase, rl");
        item.fillStoringMap(&collector);
        QCOMPARE(item.infoCollector(), &collector);
        item.updateState(info, hexBytes("e2051f64"));
        QStringList keys;
        for (const Value &v : collector.values)
            keys << v.key;
        QCOMPARE(keys, QStringList({"gpMainBattery", "gpUndef", "gpAlarm", "rl", "gpRssi", "gpActiveZone",
                                    "multiFunc", "gpCtrlCase", "reservPwrState", "gpMainPwr", "gpCase"}));
        QCOMPARE(collector.values.at(0).serial, 1234567u);
        QCOMPARE(collector.values.at(0).value.toDouble(), 3.0);
        QCOMPARE(collector.values.at(1).value.toInt(), 0x1F);
        QCOMPARE(collector.values.at(3).value.toUInt(), 0x20u);
        QCOMPARE(collector.values.at(4).value.toInt(), -60);
        QCOMPARE(collector.values.at(5).value.toInt(), 5);
        QCOMPARE(collector.values.at(6).value.toInt(), 1);
        QCOMPARE(collector.values.at(10).value.toInt(), 1);

        collector.values.clear();
        info.linkState = 0;
        item.updateState(info, hexBytes("e2"));
        QCOMPARE(collector.values.size(), 11);
        for (const Value &v : collector.values)
            QVERIFY(std::isnan(v.value.toDouble()));
        appSettings.remove(QLatin1String(SettingsKey::SQLiteStoringMap));
    }

    void onlyEditorCommitsAreUserEdits()
    {
        const deviceInfo_t info = makeInfo(4);
        ExampleDevice item(info, false);
        item.postInit();
        item.updateState(info, hexBytes("f000"));
        WidgetDeviceWriteSettings *panel = panelOf(item);
        QSignalSpy finished(&item, &DeviceItem::propertyChangedFinished);

        // The item's own value changes, marks and locks are no edits.
        auto *enums = qobject_cast<QtEnumPropertyManager *>(item.data(268).value<QObject *>());
        enums->setValue(item.enable, 1);
        item.lockProperties(true);
        item.lockProperties(false);
        item.setPropertyModified(item.near, true);
        item.setPropertyModified(item.near, false);
        QVERIFY(!item.enable->isModified());
        QCOMPARE(panel->state(), 0);
        QVERIFY(finished.count() > 0);
        enums->setValue(item.enable, 0);

        // An editor's commit of a value the device does not hold is.
        editEnum(item.enable, 1);
        QVERIFY(item.enable->isModified());
        QCOMPARE(panel->state(), 1);

        // The device does not hold it yet: the edit stays.
        item.updateState(info, hexBytes("f000"));
        QVERIFY(item.enable->isModified());
        QCOMPARE(item.editorValue(item.enable), 1);
        QCOMPARE(panel->state(), 1);

        // Edited back to the device's value: the mark goes; the panel keeps
        // asking for a write, since the configuration is no longer clean.
        editEnum(item.enable, 0);
        QVERIFY(!item.enable->isModified());
        QCOMPARE(panel->state(), 1);

        // An unedited setting follows the device.
        item.updateState(info, hexBytes("f004"));
        QCOMPARE(item.editorValue(item.enable), 1);
        QVERIFY(!item.enable->isModified());
        QCOMPARE(panel->state(), 0);
    }

    void settingsSharingANameAreBothSeen()
    {
        const deviceInfo_t info = makeInfo(4);
        ExampleDevice item(info, false);
        item.postInit();
        item.updateState(info, hexBytes("f0000101"));
        editInt(item.near, 3);
        editInt(item.far, 3); // same name, same value text: still another setting
        QVERIFY(item.near->isModified());
        QVERIFY(item.far->isModified());
        QVERIFY(item.isPropertyModified(item.group));

        // The device takes the near value only.
        item.updateState(info, hexBytes("f0000301"));
        QVERIFY(!item.near->isModified());
        QVERIFY(item.far->isModified());
        QCOMPARE(panelOf(item)->state(), 1);
    }

    void writeLocksUntilTheDeviceAnswers()
    {
        const deviceInfo_t info = makeInfo(4);
        ExampleDevice item(info, false);
        item.postInit();
        item.updateState(info, hexBytes("f000"));
        item.setPropertyLevel(item.far, DeviceItem::MarkNeverEditable);
        QList<QByteArray> wire;
        const auto connection = connect(SendDataManager::instance(), &SendDataManager::sendPacket, this,
                                        [&wire](const QByteArray &data, const ResponseCb &) { wire << data; });

        editEnum(item.enable, 1);
        WidgetDeviceWriteSettings *panel = panelOf(item);
        QTest::mouseClick(panel->findChild<QPushButton *>(QStringLiteral("pbWriteSettings")), Qt::LeftButton);
        QCOMPARE(panel->state(), 2);
        QCOMPARE(wire.value(0), hexBytes("6a05 00010201"));
        QVERIFY(!item.enable->isEnabled());
        QVERIFY(!item.near->isEnabled());

        item.updateState(info, hexBytes("f004")); // the device holds the value now
        QVERIFY(!item.enable->isModified());
        QCOMPARE(panel->state(), 0);
        QVERIFY(item.enable->isEnabled());
        QVERIFY(item.near->isEnabled());
        QVERIFY(!item.far->isEnabled());
        disconnect(connection);
        SendDataManager::forgetDevice(&item);
    }

    void plotActionFollowsTheRule_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<uint>("rl");
        QTest::addColumn<bool>("offered");
        QTest::newRow("repeater, rl 0x10") << 30 << 0x10u << true;
        QTest::newRow("repeater, low bits set") << 30 << 0x11u << false;
        QTest::newRow("repeater, 256") << 30 << 0x100u << false;
        QTest::newRow("repeater 57, 0xF0") << 57 << 0xF0u << true;
        QTest::newRow("sensor, rl 0") << 4 << 0u << true;
        QTest::newRow("sensor, rl 0x10") << 4 << 0x10u << false;
    }
    void plotActionFollowsTheRule()
    {
        QFETCH(int, type);
        QFETCH(uint, rl);
        QFETCH(bool, offered);
        deviceInfo_t info = makeInfo(type);
        info.rl = rl;
        DeviceItem item(info, false);
        QCOMPARE(item.isFeatureSupported(1), offered);
        QVERIFY(!item.isFeatureSupported(0));
        QVERIFY(!item.isFeatureSupported(2));

        // A class that answers false for feature 1 still offers the plot.
        class NoFeatures : public DeviceItem
        {
        public:
            using DeviceItem::DeviceItem;
            bool isFeatureSupported(int) const override { return false; }
        } classItem(info, false);
        for (DeviceItem *device : {&item, static_cast<DeviceItem *>(&classItem)}) {
            device->updateState(info, hexBytes("f0"));
            device->updateState(info, hexBytes("f0"));
            const QList<DeviceAction> actions = device->data(DeviceRole::Actions).value<QList<DeviceAction>>();
            const bool present = actions.contains(DeviceAction{1002, QStringLiteral("Plot RSSI data")});
            QCOMPARE(present, offered);
            QCOMPARE(actions.size(), offered ? 1 : 0);
        }
        info.rl = 0x11; // fails for every type
        item.updateState(info, hexBytes("f0"));
        QVERIFY(item.actions().isEmpty());
    }

    void rowColoursFollowTheMarks()
    {
        const deviceInfo_t info = makeInfo(4);
        DeviceItem item(info, false);
        item.updateState(info, hexBytes("f0"));
        QtTreePropertyBrowser browser;
        DeviceItem::setPropertyBrowser(&browser);
        for (QtProperty *property : item.topProperties())
            browser.addProperty(property);
        QtProperty *status = item.topProperties().last();
        QtProperty *caseProperty = child(status, "Case");
        QtProperty *battery = child(status, "Main battery state");
        QtProperty *reserve = child(status, "Reserve battery state");
        item.setPropertyLevel(caseProperty, DeviceItem::MarkAlarm | DeviceItem::MarkFault);
        item.setPropertyLevel(battery, DeviceItem::MarkFault | DeviceItem::MarkHighlight);
        item.setPropertyLevel(reserve, DeviceItem::MarkNeverEditable);
        item.refreshPropertyBrowser();
        const auto colour = [&browser](QtProperty *property) {
            return browser.backgroundColor(browser.items(property).value(0));
        };
        QCOMPARE(colour(caseProperty), QColor(255, 180, 180));
        QCOMPARE(colour(battery), QColor(255, 234, 173));
        QCOMPARE(colour(reserve), QColor(Qt::white));
        QCOMPARE(colour(item.topProperties().first()), QColor(Qt::white));

        deviceInfo_t offline = info;
        offline.linkState = 0;
        item.updateState(offline, hexBytes("f0"));
        QCOMPARE(colour(caseProperty), QColor(Qt::white));
        DeviceItem::setPropertyBrowser(nullptr);
    }

    void grayscalePictures()
    {
        QImage image(2, 1, QImage::Format_ARGB32);
        image.setPixel(0, 0, qRgba(200, 100, 50, 128));
        image.setPixel(1, 0, qRgba(0, 255, 0, 255));
        QVERIFY(DeviceItem::makeGrayscale(image));
        QCOMPARE(image.pixel(0, 0), qRgba(126, 126, 126, 128));
        QCOMPARE(image.pixel(1, 0), qRgba(127, 127, 127, 255));

        QImage rgb(1, 1, QImage::Format_RGB32);
        rgb.fill(qRgb(200, 100, 50));
        QTest::ignoreMessage(QtWarningMsg, "Wrong image format. QImage::Format_ARGB32 supported only");
        QVERIFY(!DeviceItem::makeGrayscale(rgb));
        QCOMPARE(rgb.pixel(0, 0), qRgb(200, 100, 50));

        DeviceItem item(makeInfo(4, 10, 1), false);
        QTest::ignoreMessage(QtWarningMsg, "Wrong image format. QImage::Format_ARGB32 supported only");
        item.setDeviceImage(rgb);
        QVERIFY(item.onlineIcon().isNull());
        QImage picture(4, 4, QImage::Format_ARGB32);
        picture.fill(qRgba(255, 0, 0, 255));
        item.setDeviceImage(picture);
        QVERIFY(!item.onlineIcon().isNull());
        const QImage grey = item.data(Qt::DecorationRole).value<QIcon>().pixmap(4, 4).toImage();
        QCOMPARE(qRed(grey.pixel(1, 1)), qGreen(grey.pixel(1, 1))); // not online: the grey copy
    }

    void parentPointerDoesNotDangle()
    {
        auto *repeater = new DeviceItem(makeInfo(30), false);
        DeviceItem device(makeInfo(4), false);
        device.setParentRepeater(repeater);
        QCOMPARE(device.parentRepeater(), repeater);
        delete repeater;
        QCOMPARE(device.parentRepeater(), nullptr);
    }

    void extraPropertiesAfterTheDelay()
    {
        class Extra : public DeviceItem
        {
        public:
            using DeviceItem::DeviceItem;
            bool addExtraProperties() override
            {
                ++calls;
                return true;
            }
            int calls = 0;
        } item(makeInfo(4), false);
        QTRY_COMPARE(item.calls, 1);
    }

    void infoText()
    {
        deviceInfo_t info = makeInfo(4);
        info.rl = 0x12345678;
        DeviceItem item(info, false);
        item.updateState(info, hexBytes("f0000064"));
        item.setHiddenPropertiesVisible(true);
        QCOMPARE(item.infoText(), propertyTreeText(item.topProperties(), 1)
                                      + QStringLiteral("    RSSI: -60\n    power supply voltage: 3.00 V"
                                                       "\n\n    Versions:\n        HW: 2.10\n        FW: 1.05"
                                                       "\n\n    RL: 78563412"));
    }
};

QTEST_MAIN(DeviceItemTest)
#include "tst_deviceitem.moc"

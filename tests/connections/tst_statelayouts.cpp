// Every type code with a state layout, round trip: a state packed from the
// keys of a simulation file is decoded by the item the factory makes for the
// code (its stored bytes, what it records) to the same values, and a
// configuration file written by the exporter from that state and read back
// by the file reader gives the same bits.

#include "appglobals.h"
#include "configurationfilereader.h"
#include "configurationjson.h"
#include "deviceclasses.h"
#include "infocollector.h"
#include "deviceitem.h"
#include "registerdeviceclasses.h"
#include "simulatedstate.h"
#include "statelayout.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QtTest>

#include <memory>

namespace {

using StateLayout::Field;

class Collector : public InfoCollector
{
public:
    void appendValue(QString key, uint, QVariant value) override { values.insert(key, value); }
    QHash<QString, QVariant> values;
};

QStringList &layoutWarnings()
{
    static QStringList warnings;
    return warnings;
}

QtMessageHandler previousHandler = nullptr;

void recordLayoutWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith(QLatin1String("No state field")))
        layoutWarnings() << message;
    previousHandler(type, context, message);
}

// A value that fits the field, different for each field and code.
qint64 valueFor(const Field &field, QRandomGenerator &random)
{
    if (field.has(StateLayout::MainPower))
        return 2000 + 10 * random.bounded(256);
    const qint64 span = qint64(1) << qMin(field.width, 31);
    const qint64 raw = qint64(random.bounded(quint32(span)));
    return field.has(StateLayout::Signed) ? raw - span / 2 : raw;
}

// Puts `value` under the field's zone objects ("Z1.State.fUF").
void insertAt(QJsonObject &extra, const QStringList &path, qint64 value)
{
    if (path.size() == 1) {
        extra.insert(path.first(), value);
        return;
    }
    QJsonObject inner = extra.value(path.first()).toObject();
    insertAt(inner, path.mid(1), value);
    extra.insert(path.first(), inner);
}

// What the configuration file does not carry: constant bytes, and the system
// flag of the motion detectors, which the exporter does not write.
bool notCarried(const Field &field)
{
    return field.has(StateLayout::Constant) || field.name == QLatin1String("bSystemFlag");
}

// The class's recorded values that copy one field each.
QList<QPair<QString, QString>> recordedCopies(int code)
{
    const QList<QPair<QString, QString>> button{{"fFail", "Z1.fFail"}, {"fAlarm", "Z1.fAlarm"}, {"fButton", "Z1.fButton"}};
    switch (code) {
    case 3: case 32: case 63: case 64: case 67:
        return button;
    case 4:
        return {{"Zone1fFail", "Z1.fFail"},
                {"Zone1fAlarm", "Z1.fAlarm"},
                {"Zone1btfReedSwState", "Z1.btfReedSwState"},
                {"Zone1fSabotageEnbl", "Z1.fSabotageEnbl"},
                {"Zone2bTrainState", "Z2.bTrainState"}};
    // Polling and simple devices: meter readers, leak, climate and acoustic sensors.
    case 10: case 31:
        return {{"Zone1fFail", "Z1.fFail"}, {"Zone1fAlarm", "Z1.fAlarm"}, {"Zone1bSettings", "Z1.bSettings"},
                {"Zone2fFail", "Z2.fFail"}, {"Zone2fAlarm", "Z2.fAlarm"}, {"Zone2bSettings", "Z2.bSettings"},
                {"Zone3fFail", "Z3.fFail"}, {"Zone3fAlarm", "Z3.fAlarm"}, {"Zone3bSettings", "Z3.bSettings"}};
    case 13:
        return {{"Zone1btfCntType", "Z1.btfCntType"}, {"Zone1fFail", "Z1.fFail"}, {"Zone1fAlarm", "Z1.fAlarm"},
                {"Zone2btfSpeed", "Z2.btfSpeed"},     {"Zone2btfCntType", "Z2.btfCntType"},
                {"Zone2fFail", "Z2.fFail"},           {"Zone2fAlarm", "Z2.fAlarm"}, {"Zone3fAlarm", "Z3.fAlarm"}};
    case 19: case 56:
        return {{"fAlarm", "Z1.fAlarm"}};
    case 29:
        return {{"fFail", "Z1.fFail"}, {"fAlarm", "Z1.fAlarm"}};
    case 55:
        return {{"fFail", "Z1.fFail"}, {"fAlarm", "leak"}};
    case 34:
        return {{"fTest", "Z1.fTest"},           {"btfSensitivity", "Z1.btfSensitivity"}, {"fFault", "Z1.fFault"},
                {"fAlarm", "Z1.fAlarm"},         {"fInterference", "Z1.fInterference"}};
    // Detectors: heat, smoke and flame, the infrared family, the shift sensors.
    case 2:
        return {{"fFail", "Z1.fFail"}, {"fAlarm", "Z1.fAlarm"}, {"cTempr", "Z1.cTempr"}};
    case 5:
        return {{"fAlarm", "Z1.fAlarm"}, {"bDust", "Z1.bDust"}};
    case 6: case 18: case 26: case 33: case 52:
        return {{"fCustomBit", "Z1.fCustomBit"}, {"fAlarm", "Z1.fAlarm"}};
    case 27: case 28:
        return {{"fFail", "Z1.fFail"}, {"fAlarm", "Z1.fAlarm"}, {"fCustomBit", "Z1.fCustomBit"}};
    case 22:
        return {{"fAlarm", "Z1.fAlarm"}, {"fDistance", "Z1.Setting.fDistance"},
                {"fDetectionTime", "Z1.Setting.fDetectionTime"}};
    case 16:
        return {{"Zone1fAlarm", "Z1.fAlarm"}, {"Zone1fShift", "Z1.fShift"}, {"Zone1fLean", "Z1.fLean"},
                {"Zone1shiftSensitivity", "Settings.shiftSensitivity"},
                {"Zone1tiltSensitivity", "Settings.tiltSensitivity"}, {"fAlarm", "Z2.fAlarm"}};
    case 24:
        return {{"Zone1fAlarm", "Z1.fAlarm"}, {"Zone1fShift", "Z1.fShift"}, {"Zone1fLean", "Z1.fLean"},
                {"Zone1shiftSensitivity", "Settings.shiftSensitivity"},
                {"Zone1tiltSensitivity", "Settings.tiltSensitivity"}};
    case 25:
        return {{"fAlarm", "Z1.fAlarm"}};
    default:
        return {};
    }
}

// The base item's records of the common head.
const QList<QPair<QString, QString>> headRecords{
    {"gpCase", "state.fCase"},          {"gpMainPwr", "state.fMainPwr"},   {"reservPwrState", "state.fReservPwr"},
    {"multiFunc", "state.fMultiFunc"}, {"gpCtrlCase", "state.fCtrlCase"}, {"gpActiveZone", "bActiveZone"},
    {"gpAlarm", "Z0.fAlarm"},          {"gpUndef", "Z0.btfUndef"}};

deviceInfo_t onlineRecord(int code)
{
    deviceInfo_t info;
    info.radioAddress = 9;
    info.serialNumber = 7654321;
    info.firmwareVersion = 0x0210;
    info.hardwareVersion = 0x0201;
    info.wireloopAddress = 20;
    info.deviceType = quint8(code);
    info.linkState = 2;
    return info;
}

} // namespace

class StateLayoutsTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerDeviceModelNames();
        registerDeviceClasses();
        DeviceItem::setTimings(10, 10);
        previousHandler = qInstallMessageHandler(recordLayoutWarnings);
    }
    void cleanupTestCase()
    {
        qInstallMessageHandler(previousHandler);
    }

    void roundTrip_data()
    {
        QTest::addColumn<int>("code");
        const QList<int> codes = StateLayout::typeCodesWithLayout();
        QVERIFY(codes.size() > 30);
        for (int code : codes)
            QTest::addRow("%d %s", code, qPrintable(DeviceClasses::className(code))) << code;
    }

    void roundTrip()
    {
        QFETCH(int, code);
        const StateLayout::Layout &layout = *StateLayout::deviceLayout(code);
        QRandomGenerator random(quint32(code) * 7919u);

        // Keys of a simulation file, every field a value of its own. A motion
        // detector's zone goes into a file as one state: it stays out of test
        // mode, with its sensor on and not in alarm and failure at once.
        const bool detector = layout.field(QStringLiteral("Z1.fCustomBit"));
        QHash<QString, qint64> values;
        QJsonObject extra;
        QByteArray full(layout.length, '\0'); // what the device reports: every field set
        for (const Field &field : layout.fields) {
            if (field.has(StateLayout::View))
                continue;
            qint64 value = valueFor(field, random);
            if (detector && field.name == QLatin1String("Z1.fCustomBit"))
                value = 0;
            if (detector && field.name == QLatin1String("bActiveZone"))
                value |= 0x02;
            if (detector && field.name == QLatin1String("Z1.fAlarm") && values.value(QStringLiteral("Z1.fFail")))
                value = 0;
            if (field.name.endsWith(QLatin1String("outMask")) && value == 2)
                value = 3; // "Off" in a file
            values.insert(field.name, value);
            insertAt(extra, field.name.split(QLatin1Char('.')), value);
            StateLayout::write(full, field, value);
        }

        // The simulation packer fills what simulation files describe.
        const QByteArray block = deviceStateFromJson(code, extra);
        QCOMPARE(block.size(), layout.simulated ? layout.length : 0);
        for (const Field &field : layout.fields) {
            if (field.has(StateLayout::View) || !layout.simulated)
                continue;
            const qint64 expected = field.has(StateLayout::NotSimulated) ? 0 : values.value(field.name);
            QVERIFY2(StateLayout::read(block, field) == expected, qPrintable(field.name));
        }

        // The item of the code decodes and records the same values.
        layoutWarnings().clear();
        const deviceInfo_t info = onlineRecord(code);
        std::unique_ptr<DeviceItem> item(createDeviceItem(info, false));
        Collector collector;
        item->installInfoCollector(&collector);
        item->updateState(info, full);
        for (const Field &field : layout.fields)
            if (!field.has(StateLayout::View))
                QVERIFY2(item->stateValue(qPrintable(field.name)) == values.value(field.name), qPrintable(field.name));
        for (const auto &copy : recordedCopies(code)) {
            if (collector.values.contains(copy.first))
                QVERIFY2(collector.values.value(copy.first).toLongLong() == values.value(copy.second),
                         qPrintable(copy.first));
        }
        if (layout.field(QStringLiteral("Z0.bMainPower"))) {
            for (const auto &record : headRecords)
                QVERIFY2(collector.values.value(record.first).toLongLong() == values.value(record.second),
                         qPrintable(record.first));
            QCOMPARE(collector.values.value(QStringLiteral("gpMainBattery")).toDouble(),
                     values.value(QStringLiteral("Z0.bMainPower")) / 1000.0);
        }
        QVERIFY2(layoutWarnings().isEmpty(), qPrintable(layoutWarnings().join(QLatin1Char('\n'))));

        // Exported to a configuration file and read back, the bits the file carries stay.
        const StateLayout::Layout *file = StateLayout::fileLayout(code);
        if (!file)
            return;
        QJsonObject device = ConfigurationJson::deviceState(info, full);
        device.insert(QStringLiteral("zone count"), int(quint8(full.at(1))));
        ConfigurationFileReader::Vocabulary vocabulary;
        vocabulary.onWords << QCoreApplication::translate("ConfigurationExporter", "On");
        vocabulary.offWords << QCoreApplication::translate("ConfigurationExporter", "Off");
        const QByteArray read = ConfigurationFileReader::readDeviceState(code, device, vocabulary);
        QCOMPARE(read.size(), file->length);
        for (const Field &field : file->fields) {
            if (!notCarried(field))
                QVERIFY2(StateLayout::read(read, field) == StateLayout::read(full, field), qPrintable(field.name));
        }
    }

    void layoutsHoldTheirFields()
    {
        // No two packed fields share a bit, and every field lies inside its block.
        for (int code : StateLayout::typeCodesWithLayout()) {
            const StateLayout::Layout &layout = *StateLayout::deviceLayout(code);
            QByteArray taken(layout.length, '\0');
            for (const Field &field : layout.fields) {
                const QString where = QStringLiteral("%1 %2").arg(code).arg(field.name);
                QVERIFY2(field.byte * 8 + field.bit + field.width <= layout.length * 8, qPrintable(where));
                if (field.has(StateLayout::View))
                    continue;
                Field plain = field;
                plain.flags = 0;
                QByteArray bits(layout.length, '\0');
                StateLayout::write(bits, plain, -1);
                for (int i = 0; i < layout.length; ++i) {
                    QVERIFY2((taken.at(i) & bits.at(i)) == 0, qPrintable(where));
                    taken[i] = char(taken.at(i) | bits.at(i));
                }
            }
        }
    }
};

QTEST_MAIN(StateLayoutsTest)
#include "tst_statelayouts.moc"

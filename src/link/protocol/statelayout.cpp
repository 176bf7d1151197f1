#include "statelayout.h"

#include <QHash>

#include <algorithm>
#include <vector>

namespace StateLayout {

QString Field::zone() const
{
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.left(dot);
}

QString Field::key() const
{
    return name.mid(name.lastIndexOf(QLatin1Char('.')) + 1);
}

const Field *Layout::field(const QString &name) const
{
    for (const Field &f : fields)
        if (f.name == name)
            return &f;
    return nullptr;
}

const Field *Layout::field(QLatin1String name) const
{
    for (const Field &f : fields)
        if (f.name == name)
            return &f;
    return nullptr;
}

qint64 Layout::value(const QByteArray &block, const QString &name) const
{
    const Field *f = field(name);
    return f ? read(block, *f) : 0;
}

namespace {

quint64 mask(int width)
{
    return width >= 64 ? ~quint64(0) : (quint64(1) << width) - 1;
}

// The bytes the field's bits touch, from its first byte on.
int spanOf(const Field &field)
{
    return (field.bit + field.width + 7) / 8;
}

} // namespace

qint64 read(const QByteArray &block, const Field &field)
{
    quint64 raw = 0;
    for (int i = 0; i < spanOf(field); ++i) {
        const int at = field.byte + i;
        if (at >= 0 && at < block.size())
            raw |= quint64(quint8(block.at(at))) << (8 * i);
    }
    raw = (raw >> field.bit) & mask(field.width);
    if (field.has(Signed) && field.width < 64 && (raw >> (field.width - 1)) & 1)
        return qint64(raw | ~mask(field.width));
    if (field.has(MainPower))
        return 2000 + 10 * qint64(raw);
    return qint64(raw);
}

bool holds(const QByteArray &block, const Field &field)
{
    return field.byte >= 0 && field.byte + spanOf(field) <= block.size();
}

void write(QByteArray &block, const Field &field, qint64 value)
{
    if (field.has(MainPower))
        value = (value - 2000) / 10; // cut toward zero
    const quint64 bits = (quint64(value) & mask(field.width)) << field.bit;
    const quint64 keep = ~(mask(field.width) << field.bit);
    for (int i = 0; i < spanOf(field); ++i) {
        const int at = field.byte + i;
        if (at < 0 || at >= block.size())
            continue;
        const quint8 old = quint8(block.at(at));
        const quint8 kept = quint8(old & (keep >> (8 * i)));
        block[at] = char(kept | quint8(bits >> (8 * i)));
    }
}

namespace {

// A row as the tables below write it: the bit may count on beyond the first
// byte (bit 8 of a word at byte 4 is bit 0 of byte 5).
struct Row
{
    QString name;
    int byte;
    int bit;
    int width;
    qint64 fallback = 0;
    quint8 flags = 0;
};
using Rows = std::vector<Row>;

Field fieldOf(const Row &row)
{
    return Field{row.name, row.byte + row.bit / 8, row.bit % 8, row.width, row.fallback,
                 row.flags};
}

Rows operator+(Rows a, const Rows &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The device flags and the active zones (bytes 0 and 1), with the zones'
// on-bits of byte 1 as views.
const Rows flagsAndZones{
    {"state.fReserved", 0, 0, 1},
    {"state.fMultiFunc", 0, 1, 1},
    {"state.fCtrlCase", 0, 2, 1},
    {"state.fReset", 0, 3, 1},
    {"state.fNorma", 0, 4, 1, 1},
    {"state.fReservPwr", 0, 5, 1, 1},
    {"state.fMainPwr", 0, 6, 1, 1},
    {"state.fCase", 0, 7, 1, 1},
    {"bActiveZone", 1, 0, 8, 3, MissingOnly},
    {"Z1.fActive", 1, 1, 1, 0, View},
    {"Z2.fActive", 1, 2, 1, 0, View},
    {"Z3.fActive", 1, 3, 1, 0, View},
    {"Z4.fActive", 1, 4, 1, 0, View},
};

// Bytes 2 and 3 from "Z0": its flags and the main supply.
const Rows zoneZero{
    {"Z0.btfUndef", 2, 0, 6},
    {"Z0.fFail", 2, 6, 1},
    {"Z0.fAlarm", 2, 7, 1},
    {"Z0.bMainPower", 3, 0, 8, 3000, MainPower},
};

const Rows commonHead = flagsAndZones + zoneZero;

// Bit 6 "fFail" and bit 7 "fAlarm" of a zone object, in `byte`.
Rows zoneFlags(const QString &zone, int byte)
{
    return {{zone + QLatin1String(".fFail"), byte, 6, 1}, {zone + QLatin1String(".fAlarm"), byte, 7, 1}};
}

// The shift and tilt settings word of the tilt detectors, at bytes 6-7.
const Rows tiltSettings{
    {"Settings.shiftSensitivity", 6, 0, 3},
    {"Settings.shiftDisableDetection", 6, 3, 1},
    {"Settings.tiltSensitivity", 6, 8, 3},
    {"Settings.tiltDisableDetection", 6, 11, 1},
    {"Settings.tiltAutoFix", 6, 12, 1},
};

// The infrared detectors' block from byte 4 on.
const Rows infraredRows = commonHead + Rows{{"Z1.fCustomBit", 4, 5, 1}} + zoneFlags("Z1", 4)
    + Rows{{"Z1.bMove", 5, 0, 8},
           {"Z1.wAdc", 6, 0, 16},
           {"Z1.bSystemFlag", 8, 0, 8},
           // What the detectors make of the ADC word.
           {"Z1.btfSensitivity", 6, 0, 4, 0, View},
           {"Z1.btfFarSensitivity", 6, 4, 4, 0, View},
           {"Z1.btfTestResult", 7, 0, 2, 0, View}, // also the near zone's state
           {"Z1.btfFarState1", 7, 2, 2, 0, View},
           {"Z1.btfFarState2", 7, 4, 2, 0, View}};

struct Family
{
    std::vector<int> codes;
    int length;
    Rows rows;
    bool simulated = true;
};

// The state blocks by type code. A family "with the head" starts with the
// common head; 30 has bytes 0-1 of it only, 49, 50 and 57 none. A family
// that simulation files do not describe says so (simulated false), and a
// field they leave 0 is NotSimulated.
std::vector<Family> families()
{
    return {
        {{2}, 11, commonHead + zoneFlags("Z1", 4) + Rows{{"Z1.cTempr", 5, 0, 8, 0, Signed}}},
        {{3, 63, 64, 67}, 6, commonHead + zoneFlags("Z1", 4) + Rows{{"Z1.fButton", 4, 8, 1}}},
        {{4},
         9,
         commonHead + zoneFlags("Z1", 4)
             + Rows{{"Z1.btfReedSwState", 4, 8, 2}, {"Z1.fSabotageEnbl", 4, 15, 1}} + zoneFlags("Z2", 6)
             + Rows{{"Z2.bTrainState", 7, 0, 8}, {"Z2.bAdc", 8, 0, 8}}},
        {{5},
         11,
         commonHead + Rows{{"Z1.fDust", 4, 5, 1}} + zoneFlags("Z1", 4)
             + Rows{{"Z1.bSmoke", 5, 0, 8}, {"Z1.bDust", 6, 0, 8}}},
        {{6, 18, 26, 27, 28, 33}, 10, infraredRows},
        // The four-level model of the infrared family, which simulation files do not describe.
        {{52}, 10, infraredRows, false},
        {{7, 70},
         8,
         commonHead + zoneFlags("Z1", 4)
             + Rows{{"Z1.outMask", 4, 8, 5}, {"Z1.fMaskActive", 4, 13, 1}, {"Z1.fOutActive", 4, 14, 1}}
             + zoneFlags("Z2", 6)
             + Rows{{"Z2.outMask", 6, 8, 5}, {"Z2.fMaskActive", 6, 13, 1}, {"Z2.fOutActive", 6, 14, 1}}},
        {{10, 31},
         16,
         commonHead + zoneFlags("Z1", 4) + Rows{{"Z1.bSettings", 5, 0, 8}, {"Z1.iTempr", 6, 0, 16, 0, Signed}}
             + zoneFlags("Z2", 8) + Rows{{"Z2.bSettings", 9, 0, 8}, {"Z2.wHumidity", 10, 0, 16}}
             + zoneFlags("Z3", 12) + Rows{{"Z3.bSettings", 13, 0, 8}, {"Z3.wCarbonMonoxide", 14, 0, 16}}},
        {{13},
         7,
         commonHead
             + Rows{{"Z1.btfSpeed", 4, 0, 2}, {"Z1.btfCntType", 4, 2, 2, 1}, {"Z1.fCut", 4, 4, 1},
                    {"Z1.fShortCircuit", 4, 5, 1}}
             + zoneFlags("Z1", 4)
             + Rows{{"Z2.btfSpeed", 5, 0, 2}, {"Z2.btfCntType", 5, 2, 2, 1}, {"Z2.fCut", 5, 4, 1},
                    {"Z2.fShortCircuit", 5, 5, 1}}
             + zoneFlags("Z2", 5) + zoneFlags("Z3", 6)},
        {{14, 15},
         8,
         commonHead
             + Rows{{"Z1.outMask", 4, 0, 5},
                    {"Z1.fFail", 4, 6, 1},
                    // Bytes 5-7 of the relay modules, which simulation files leave 0.
                    {"Z2.outMask", 5, 0, 5, 0, NotSimulated},
                    {"Z2.fFail", 5, 6, 1, 0, NotSimulated},
                    {"Z3.btfTrainState", 6, 0, 6, 0, NotSimulated},
                    {"Z3.bAdc", 7, 0, 8, 0, NotSimulated}}},
        {{16},
         9,
         commonHead + zoneFlags("Z1", 4)
             + Rows{{"Z1.fShift", 4, 8, 1}, {"Z1.fLean", 4, 9, 1}, {"Z1.fSystemFlag", 4, 10, 1}, {"Z1.fNoise", 4, 15, 1}}
             + tiltSettings + zoneFlags("Z2", 8)},
        {{19}, 5, commonHead + Rows{{"Z1.btfCntType", 4, 2, 2}} + zoneFlags("Z1", 4)},
        // The second water-meter reader: the first one's block, which simulation files do not describe.
        {{56}, 5, commonHead + Rows{{"Z1.btfCntType", 4, 2, 2}} + zoneFlags("Z1", 4), false},
        {{20}, 8, commonHead + zoneFlags("Z1", 4) + Rows{{"Z1.outMask", 5, 0, 5}}},
        {{21, 22},
         7,
         commonHead + zoneFlags("Z1", 4)
             + Rows{{"Z1.State.fUF", 5, 0, 1},          {"Z1.State.fIR", 5, 1, 1},
                    {"Z1.State.fFire", 5, 3, 1},        {"Z1.State.fAttention", 5, 4, 1},
                    {"Z1.State.fDust", 5, 5, 1},        {"Z1.State.fLowPwr", 5, 6, 1},
                    {"Z1.State.fFail", 5, 7, 1},        {"Z1.Setting.fDistance", 6, 0, 1},
                    {"Z1.Setting.fDetectionTime", 6, 1, 1}, {"Z1.Setting.fFilter", 6, 2, 1},
                    {"Z1.Setting.fActive", 6, 3, 1},    {"Z1.Setting.fAttention1", 6, 4, 1},
                    {"Z1.Setting.fAttention2", 6, 5, 1}}},
        {{23},
         8,
         commonHead
             + Rows{{"Z1.outMask", 4, 0, 5},     {"Z1.fFail", 4, 6, 1},     {"Z1.fCut", 5, 6, 1},
                    {"Z1.fShortCircuit", 5, 7, 1}, {"Z2.outMask", 6, 0, 5},   {"Z2.fFail", 6, 6, 1},
                    {"Z2.fCut", 7, 6, 1},          {"Z2.fShortCircuit", 7, 7, 1}}},
        {{24},
         8,
         commonHead + zoneFlags("Z1", 4)
             + Rows{{"Z1.fShift", 5, 0, 1}, {"Z1.fLean", 5, 1, 1}, {"Z1.fSystemFlag", 5, 2, 1}, {"Z1.fNoise", 5, 7, 1}}
             + tiltSettings},
        {{25, 29}, 5, commonHead + zoneFlags("Z1", 4)},
        {{30},
         8,
         flagsAndZones
             + Rows{{"Z0.wExtLineVoltage", 2, 0, 16},
                    {"Z0.wBatteryVoltage", 4, 0, 16},
                    {"Z0.bBatteryState", 6, 0, 8},
                    {"Z0.bExtLineState", 7, 0, 8}}},
        {{32}, 6, commonHead + zoneFlags("Z1", 4) + Rows{{"Z1.fButton", 5, 0, 1}}},
        {{34},
         9,
         commonHead + zoneFlags("Z1", 4)
             + Rows{{"Z1.btfSensitivity", 5, 1, 2},
                    {"Z1.fAcousticSensOnOff", 5, 3, 1},
                    {"Z1.fFault", 5, 4, 1},
                    {"Z1.fAlarm1", 5, 6, 1},
                    {"Z1.bCommand", 6, 0, 8},
                    {"Z1.bResult", 7, 0, 8},
                    // The acoustic sensor's test mode and interference, which simulation files leave 0.
                    {"Z1.fTest", 5, 0, 1, 0, NotSimulated},
                    {"Z1.fInterference", 5, 5, 1, 0, NotSimulated}}},
        {{49, 50}, 16, Rows{{"fAlarm", 10, 7, 1}, {"bWallControl", 14, 0, 8}}},
        // The leak bit read as the zone's alarm, beside its shorted circuit, which simulation files leave 0.
        {{55},
         5,
         commonHead + Rows{{"leak", 4, 7, 1}, {"Z1.fFail", 4, 6, 1, 0, NotSimulated}, {"Z1.fAlarm", 4, 7, 1, 0, View}}},
        {{57}, 13, Rows{{"voltage", 6, 0, 16}, {"current", 8, 0, 16}, {"power", 10, 0, 16}, {"status", 12, 0, 8}}},
    };
}

Layout layoutOf(int length, const Rows &rows)
{
    Layout layout;
    layout.length = length;
    for (const Row &row : rows)
        layout.fields.append(fieldOf(row));
    return layout;
}

struct Tables
{
    QHash<int, Layout> devices;
    Layout head;
    QList<Layout> files; // detectors, relays, the contact sensor, tilt detectors, zone count
    QHash<int, int> fileOfCode;     // index into files
    QHash<int, int> exportedOfCode; // index into files
};

// A configuration-file field that stands for the device field `device` of
// `code`'s layout, under the file's key.
Field fileField(const Tables &t, int code, const char *key, const char *device, quint8 flags = 0)
{
    Field f = *t.devices.value(code).field(QString::fromLatin1(device));
    f.name = QString::fromLatin1(key);
    f.flags = flags;
    f.fallback = 0;
    return f;
}

Layout fileLayoutOf(const Tables &t, int length, int code, const std::vector<std::pair<const char *, const char *>> &keys,
                    quint8 flags = 0)
{
    Layout layout;
    layout.length = length;
    for (const auto &key : keys)
        layout.fields.append(fileField(t, code, key.first, key.second, flags));
    return layout;
}

Tables buildTables()
{
    Tables t;
    t.head = layoutOf(4, commonHead);
    for (const Family &family : families()) {
        Layout layout = layoutOf(family.length, family.rows);
        layout.simulated = family.simulated;
        for (int code : family.codes)
            t.devices.insert(code, layout);
    }

    // Motion detectors: the file gives no active zones (3) and no supply flags.
    Layout detectors = fileLayoutOf(t, 9, 6,
                                    {{"fCustomBit", "Z1.fCustomBit"},
                                     {"fFail", "Z1.fFail"},
                                     {"fAlarm", "Z1.fAlarm"},
                                     {"movement", "Z1.bMove"},
                                     {"ADC value", "Z1.wAdc"},
                                     {"bSystemFlag", "Z1.bSystemFlag"}});
    Field zones = fileField(t, 6, "bActiveZone", "bActiveZone", Constant);
    zones.fallback = 3;
    detectors.fields.prepend(zones);

    Layout relays = fileLayoutOf(t, 8, 14,
                                 {{"fReserved", "state.fReserved"},
                                  {"main source", "state.fMultiFunc"},
                                  {"bActiveZone", "bActiveZone"},
                                  {"btfTrainState", "Z3.btfTrainState"},
                                  {"bAdc", "Z3.bAdc"}});
    relays.fields << fileField(t, 14, "out 1", "Z1.outMask", OnOffText)
                  << fileField(t, 14, "out 2", "Z2.outMask", OnOffText);

    const Layout contact = fileLayoutOf(t, 9, 4,
                                        {{"bActiveZone", "bActiveZone"},
                                         {"Z1.fAlarm", "Z1.fAlarm"},
                                         {"Z1.fFail", "Z1.fFail"},
                                         {"Z2.fAlarm", "Z2.fAlarm"},
                                         {"Z2.fFail", "Z2.fFail"}});
    const Layout tilt = fileLayoutOf(t, 9, 16,
                                     {{"Z2.fAlarm", "Z2.fAlarm"},
                                      {"Z1.fShift", "Z1.fShift"},
                                      {"Z1.fLean", "Z1.fLean"},
                                      {"Z1.fNoise", "Z1.fNoise"},
                                      {"shiftSensitivity", "Settings.shiftSensitivity"},
                                      {"shiftDisableDetection", "Settings.shiftDisableDetection"},
                                      {"tiltSensitivity", "Settings.tiltSensitivity"},
                                      {"tiltDisableDetection", "Settings.tiltDisableDetection"},
                                      {"tiltAutoFix", "Settings.tiltAutoFix"}});
    const Layout zoneCount = fileLayoutOf(t, 9, 4, {{"zone count", "bActiveZone"}});

    t.files = {detectors, relays, contact, tilt, zoneCount};
    // The reader's rows are tried in this order, a later one replacing an
    // earlier: 24 and 25 end with the zone count.
    using CodeRows = std::vector<std::pair<int, std::vector<int>>>;
    const CodeRows read{
        {0, {6, 18, 26, 27, 28}}, {1, {14, 15}}, {2, {4}}, {3, {16, 24, 25}}, {4, {7, 10, 13, 23, 24, 25, 31, 70}}};
    for (const auto &row : read)
        for (int code : row.second)
            t.fileOfCode.insert(code, row.first);
    const CodeRows exported{{1, {14, 15}}, {2, {4}}, {3, {16, 24, 25}}};
    for (const auto &row : exported)
        for (int code : row.second)
            t.exportedOfCode.insert(code, row.first);
    return t;
}

const Tables &tables()
{
    static const Tables t = buildTables();
    return t;
}

} // namespace

const Layout *deviceLayout(int typeCode)
{
    const auto it = tables().devices.constFind(typeCode);
    return it == tables().devices.constEnd() ? nullptr : &*it;
}

QList<int> typeCodesWithLayout()
{
    QList<int> codes = tables().devices.keys();
    std::sort(codes.begin(), codes.end());
    return codes;
}

const Layout &head()
{
    return tables().head;
}

const Layout *fileLayout(int typeCode)
{
    const int index = tables().fileOfCode.value(typeCode, -1);
    return index < 0 ? nullptr : &tables().files.at(index);
}

const Layout *exportedLayout(int typeCode)
{
    const int index = tables().exportedOfCode.value(typeCode, -1);
    return index < 0 ? nullptr : &tables().files.at(index);
}

} // namespace StateLayout

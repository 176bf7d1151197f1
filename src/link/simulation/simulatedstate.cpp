#include "simulatedstate.h"

#include "simulationjson.h"

using namespace SimulationJson;

namespace {

// Bit 6 "fFail" and bit 7 "fAlarm" of a zone object, then `more`.
quint32 zoneFlags(const QJsonObject &zone, std::initializer_list<BitField> more = {})
{
    return packBits(zone, more, packBits(zone, {{"fFail", 6, 1}, {"fAlarm", 7, 1}}));
}

// Bytes 0 and 1: the device flags and the active zone count.
void putHead(QByteArray &block, const QJsonObject &extra)
{
    putByte(block, 0,
            packBits(object(extra, "state"), {{"fReserved", 0, 1},
                                              {"fMultiFunc", 1, 1},
                                              {"fCtrlCase", 2, 1},
                                              {"fReset", 3, 1},
                                              {"fNorma", 4, 1, 1},
                                              {"fReservPwr", 5, 1, 1},
                                              {"fMainPwr", 6, 1, 1},
                                              {"fCase", 7, 1, 1}}));
    // Missing: 3 zones; present but not a whole number: 0.
    const QJsonValue zones = extra.value(QLatin1String("bActiveZone"));
    putByte(block, 1, zones.isUndefined() ? 3 : integer(zones, 0));
}

// Bytes 2 and 3 from "Z0": its flags and the main supply in steps of 10 mV above 2000 mV.
void putZone0(QByteArray &block, const QJsonObject &extra)
{
    const QJsonObject z0 = object(extra, "Z0");
    putByte(block, 2, zoneFlags(z0, {{"btfUndef", 0, 6}}));
    putByte(block, 3, (integer(z0, "bMainPower", 3000) - 2000) / 10);
}

// The shift and tilt settings word of the tilt detectors.
quint32 tiltSettings(const QJsonObject &extra)
{
    return packBits(object(extra, "Settings"), {{"shiftSensitivity", 0, 3},
                                                {"shiftDisableDetection", 3, 1},
                                                {"tiltSensitivity", 8, 3},
                                                {"tiltDisableDetection", 11, 1},
                                                {"tiltAutoFix", 12, 1}});
}

// Length of the block of a type code, and whether it starts with the
// common head (bytes 0-3); 0 for a code without a layout.
struct Layout
{
    int length;
    bool head;
};

Layout layoutOf(int typeCode)
{
    switch (typeCode) {
    case 2: case 5:
        return {11, true};
    case 3: case 63: case 64: case 67: case 32:
        return {6, true};
    case 4: case 16: case 34:
        return {9, true};
    case 6: case 18: case 26: case 27: case 28: case 33:
        return {10, true};
    case 7: case 70: case 14: case 15: case 20: case 23: case 24:
        return {8, true};
    case 10: case 31:
        return {16, true};
    case 13: case 21: case 22:
        return {7, true};
    case 19: case 25: case 29: case 55:
        return {5, true};
    case 30:
        return {8, false}; // bytes 0-1 of the head only
    case 49: case 50:
        return {16, false};
    case 57:
        return {13, false};
    default:
        return {0, false};
    }
}

} // namespace

QByteArray deviceStateFromJson(int typeCode, const QJsonObject &extra)
{
    const Layout layout = layoutOf(typeCode);
    QByteArray block(layout.length, '\0');
    if (layout.length == 0)
        return block;
    if (layout.head) {
        putHead(block, extra);
        putZone0(block, extra);
    }
    const QJsonObject z0 = object(extra, "Z0");
    const QJsonObject z1 = object(extra, "Z1");
    const QJsonObject z2 = object(extra, "Z2");
    const QJsonObject z3 = object(extra, "Z3");

    switch (typeCode) {
    case 2:
        putByte(block, 4, zoneFlags(z1));
        putByte(block, 5, integer(z1, "cTempr"));
        break;
    case 3: case 63: case 64: case 67:
        putWord(block, 4, zoneFlags(z1, {{"fButton", 8, 1}}));
        break;
    case 4:
        putWord(block, 4, zoneFlags(z1, {{"btfReedSwState", 8, 2}, {"fSabotageEnbl", 15, 1}}));
        putByte(block, 6, zoneFlags(z2));
        putByte(block, 7, integer(z2, "bTrainState"));
        putByte(block, 8, integer(z2, "bAdc"));
        break;
    case 5:
        putByte(block, 4, zoneFlags(z1, {{"fDust", 5, 1}}));
        putByte(block, 5, integer(z1, "bSmoke"));
        putByte(block, 6, integer(z1, "bDust"));
        break;
    case 6: case 18: case 26: case 27: case 28: case 33:
        putByte(block, 4, zoneFlags(z1, {{"fCustomBit", 5, 1}}));
        putByte(block, 5, integer(z1, "bMove"));
        putWord(block, 6, integer(z1, "wAdc"));
        putByte(block, 8, integer(z1, "bSystemFlag"));
        break;
    case 7: case 70: {
        const std::initializer_list<BitField> outputs = {
            {"outMask", 8, 5}, {"fMaskActive", 13, 1}, {"fOutActive", 14, 1}};
        putWord(block, 4, zoneFlags(z1, outputs));
        putWord(block, 6, zoneFlags(z2, outputs));
        break;
    }
    case 10: case 31:
        putByte(block, 4, zoneFlags(z1));
        putByte(block, 5, integer(z1, "bSettings"));
        putWord(block, 6, integer(z1, "iTempr"));
        putByte(block, 8, zoneFlags(z2));
        putByte(block, 9, integer(z2, "bSettings"));
        putWord(block, 10, integer(z2, "wHumidity"));
        putByte(block, 12, zoneFlags(z3));
        putByte(block, 13, integer(z3, "bSettings"));
        putWord(block, 14, integer(z3, "wCarbonMonoxide"));
        break;
    case 13: {
        const std::initializer_list<BitField> line = {
            {"btfSpeed", 0, 2}, {"btfCntType", 2, 2, 1}, {"fCut", 4, 1}, {"fShortCircuit", 5, 1}};
        putByte(block, 4, zoneFlags(z1, line));
        putByte(block, 5, zoneFlags(z2, line));
        putByte(block, 6, zoneFlags(z3));
        break;
    }
    case 14: case 15:
        putByte(block, 4, packBits(z1, {{"outMask", 0, 5}, {"fFail", 6, 1}}));
        break;
    case 16:
        putWord(block, 4, zoneFlags(z1, {{"fShift", 8, 1}, {"fLean", 9, 1}, {"fSystemFlag", 10, 1}, {"fNoise", 15, 1}}));
        putWord(block, 6, tiltSettings(extra));
        putByte(block, 8, zoneFlags(z2));
        break;
    case 19:
        putByte(block, 4, zoneFlags(z1, {{"btfCntType", 2, 2}}));
        break;
    case 20:
        putByte(block, 4, zoneFlags(z1));
        putByte(block, 5, packBits(z1, {{"outMask", 0, 5}}));
        break;
    case 21: case 22:
        putByte(block, 4, zoneFlags(z1));
        putByte(block, 5, packBits(object(z1, "State"), {{"fUF", 0, 1},
                                                         {"fIR", 1, 1},
                                                         {"fFire", 3, 1},
                                                         {"fAttention", 4, 1},
                                                         {"fDust", 5, 1},
                                                         {"fLowPwr", 6, 1},
                                                         {"fFail", 7, 1}}));
        putByte(block, 6, packBits(object(z1, "Setting"), {{"fDistance", 0, 1},
                                                           {"fDetectionTime", 1, 1},
                                                           {"fFilter", 2, 1},
                                                           {"fActive", 3, 1},
                                                           {"fAttention1", 4, 1},
                                                           {"fAttention2", 5, 1}}));
        break;
    case 23: {
        const std::initializer_list<BitField> output = {{"outMask", 0, 5}, {"fFail", 6, 1}};
        const std::initializer_list<BitField> line = {{"fCut", 6, 1}, {"fShortCircuit", 7, 1}};
        putByte(block, 4, packBits(z1, output));
        putByte(block, 5, packBits(z1, line));
        putByte(block, 6, packBits(z2, output));
        putByte(block, 7, packBits(z2, line));
        break;
    }
    case 24:
        putByte(block, 4, zoneFlags(z1));
        putByte(block, 5, packBits(z1, {{"fShift", 0, 1}, {"fLean", 1, 1}, {"fSystemFlag", 2, 1}, {"fNoise", 7, 1}}));
        putWord(block, 6, tiltSettings(extra));
        break;
    case 25: case 29:
        putByte(block, 4, zoneFlags(z1));
        break;
    case 30:
        putHead(block, extra);
        putWord(block, 2, integer(z0, "wExtLineVoltage"));
        putWord(block, 4, integer(z0, "wBatteryVoltage"));
        putByte(block, 6, integer(z0, "bBatteryState"));
        putByte(block, 7, integer(z0, "bExtLineState"));
        break;
    case 32:
        putByte(block, 4, zoneFlags(z1));
        putByte(block, 5, packBits(z1, {{"fButton", 0, 1}}));
        break;
    case 34:
        putByte(block, 4, zoneFlags(z1));
        putByte(block, 5, packBits(z1, {{"btfSensitivity", 1, 2},
                                        {"fAcousticSensOnOff", 3, 1},
                                        {"fFault", 4, 1},
                                        {"fAlarm1", 6, 1}}));
        putByte(block, 6, integer(z1, "bCommand"));
        putByte(block, 7, integer(z1, "bResult"));
        break;
    case 49: case 50:
        putByte(block, 10, packBits(extra, {{"fAlarm", 7, 1}}));
        putByte(block, 14, integer(extra, "bWallControl"));
        break;
    case 55:
        putByte(block, 4, packBits(extra, {{"leak", 7, 1}}));
        break;
    case 57:
        putWord(block, 6, integer(extra, "voltage"));
        putWord(block, 8, integer(extra, "current"));
        putWord(block, 10, integer(extra, "power"));
        putByte(block, 12, integer(extra, "status"));
        break;
    }
    return block;
}

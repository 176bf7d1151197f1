#pragma once

// State blocks of simulated radio devices: the bytes a device of a given
// type code would report, built from the "extra" object of its element in
// the simulation file.

#include <QByteArray>
#include <QJsonObject>

// The state block of a device of `typeCode`; empty for a type code that has
// no state layout (its "extra" is not read then).
QByteArray deviceStateFromJson(int typeCode, const QJsonObject &extra);

#pragma once

#include <QByteArray>
#include <QMetaType>

// Input settings of a device on the Kastrel bus, as the master stores them.
// The model only carries them between the device classes and their windows;
// the raw bytes are kept as they came.
struct t_EEKastrelSettings
{
    QByteArray raw;
};
Q_DECLARE_METATYPE(t_EEKastrelSettings)

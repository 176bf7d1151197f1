#pragma once

#include <QString>

// Watches the keys typed in the main window for the service key words:
// "vobex" shows the log, "trulm" the devices' service properties, "qz" opens
// the measurement logging and "jq" shows the measurements. The words are
// matched case-insensitively against the end of what was typed, so any text
// may come before them, and a word fires again each time it is completed.
class HiddenKeyWords
{
public:
    enum Word {
        None,
        ShowLog,               // "vobex"
        ShowServiceProperties, // "trulm"
        MeasurementsLogging,   // "qz"
        ShowMeasurements,      // "jq"
    };

    // Adds the character of a key code (letter keys come as upper-case
    // letters) and tells which word, if any, it completes.
    Word type(int key);

    QString typed() const { return m_typed; }

private:
    QString m_typed;
};

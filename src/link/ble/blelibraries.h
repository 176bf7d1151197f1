#pragma once

// Bluetooth LE reaches masters through two libraries loaded at run time:
// Lookout (discovery) and Tether (the link). Each is looked up by file name in
// the program's folder, then two folders above it in <name>/release.

#include <QLibrary>
#include <QString>

namespace BleLibraries {

// Resolves one export of a library into a function pointer; false when it is missing.
template <class F>
bool resolve(QLibrary &library, F &function, const char *name)
{
    function = reinterpret_cast<F>(library.resolve(name));
    return function != nullptr;
}

// Whether this build has both libraries, and with them the Bluetooth kind of
// connection and discovery.
bool available();
// Tests: 0 or 1 forces the answer, -1 gives it back to the build.
void setAvailableForTesting(int available);

// "lib<name>.so"
QString fileName(const QString &name);
// The first place of the two where the file exists, else the last one looked at.
QString locate(const QString &name);
// Tests: the folder that stands for the program's (empty: the program's own).
void setFolderForTesting(const QString &folder);

} // namespace BleLibraries

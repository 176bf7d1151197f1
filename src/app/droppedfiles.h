#pragma once

#include <QString>
#include <QStringList>

class QMimeData;

// Files dragged onto the main window, told apart by their names.
namespace DroppedFiles {

// The local file paths of dragged data; none unless it carries "text/uri-list".
QStringList localFiles(const QMimeData *data);

// The files whose names end in `suffix` (four characters, upper case:
// "VORL", "CONF", ".SIM"), compared upper-cased.
QStringList withSuffix(const QStringList &files, const QString &suffix);

// A simulation file by its name: it ends in ".sim" in any letter case.
bool isSimulationFile(const QString &path);

} // namespace DroppedFiles

#pragma once

#include <QString>
#include <QStringList>

class QMimeData;

// The files whose names end in `extension` (four characters, upper case:
// "VORL", "CONF", ".SIM"), compared upper-cased, in their order.
QStringList filesWithExtension(const QStringList &files, const QString &extension);

// Files dragged onto a window, told apart by their names.
namespace DroppedFiles {

// The local file paths of dragged data; none unless it carries "text/uri-list".
QStringList localFiles(const QMimeData *data);

// A simulation file by its name: it ends in ".sim" in any letter case.
bool isSimulationFile(const QString &path);

} // namespace DroppedFiles

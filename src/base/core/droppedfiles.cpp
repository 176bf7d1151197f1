#include "droppedfiles.h"

#include <QMimeData>
#include <QUrl>

QStringList filesWithExtension(const QStringList &files, const QString &extension)
{
    QStringList matching;
    for (const QString &file : files)
        if (file.right(4).toUpper() == extension)
            matching << file;
    return matching;
}

namespace DroppedFiles {

QStringList localFiles(const QMimeData *data)
{
    QStringList files;
    if (!data || !data->hasFormat(QStringLiteral("text/uri-list")))
        return files;
    const QList<QUrl> urls = data->urls();
    for (const QUrl &url : urls) {
        const QString path = url.toLocalFile();
        if (!path.isEmpty())
            files << path;
    }
    return files;
}

bool isSimulationFile(const QString &path)
{
    return !filesWithExtension({path}, QStringLiteral(".SIM")).isEmpty();
}

} // namespace DroppedFiles

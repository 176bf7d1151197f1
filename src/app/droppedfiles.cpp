#include "droppedfiles.h"

#include <QMimeData>
#include <QUrl>

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

QStringList withSuffix(const QStringList &files, const QString &suffix)
{
    QStringList matching;
    for (const QString &file : files)
        if (file.right(4).toUpper() == suffix)
            matching << file;
    return matching;
}

bool isSimulationFile(const QString &path)
{
    return !withSuffix({path}, QStringLiteral(".SIM")).isEmpty();
}

} // namespace DroppedFiles

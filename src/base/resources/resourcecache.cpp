#include "resourcecache.h"

#include "resources.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QThread>

namespace {

quint64 generation = 0; // used on the application's thread only

// Held by the application object: what it holds goes with it.
class Store : public QObject
{
public:
    explicit Store(QCoreApplication *app) : QObject(app)
    {
        ++generation;
        app->installEventFilter(this);
    }

    QHash<QString, ResourceCache::Picture> pictures;
    QHash<QString, QIcon> icons;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::LanguageChange && watched == parent())
            ++generation;
        return false;
    }
};

// The store of the running application, made on first use; none off its thread.
Store *store()
{
    static QPointer<Store> current;
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread())
        return nullptr;
    if (!current || current->parent() != app)
        current = new Store(app);
    return current;
}

ResourceCache::Picture decodePicture(const QString &path)
{
    initTandrelResources();
    ResourceCache::Picture picture;
    QImage image(path);
    if (image.isNull())
        return picture;
    image = image.convertToFormat(QImage::Format_ARGB32);
    picture.online = QIcon(QPixmap::fromImage(image));
    ResourceCache::makeGrey(image);
    picture.offline = QIcon(QPixmap::fromImage(image));
    return picture;
}

QIcon decodeIcon(const QString &path)
{
    initTandrelResources();
    return QIcon(path);
}

// What `decode` makes of `path`, from the store's `table` once it is there.
template <class Value>
Value kept(QHash<QString, Value> Store::*table, const QString &path, Value (*decode)(const QString &))
{
    Store *s = store();
    if (!s)
        return decode(path);
    QHash<QString, Value> &values = s->*table;
    auto it = values.constFind(path);
    if (it == values.constEnd())
        it = values.insert(path, decode(path));
    return *it;
}

} // namespace

namespace ResourceCache {

Picture picture(const QString &path)
{
    return kept(&Store::pictures, path, decodePicture);
}

QIcon icon(const QString &path)
{
    return kept(&Store::icons, path, decodeIcon);
}

bool makeGrey(QImage &image)
{
    if (image.format() != QImage::Format_ARGB32)
        return false;
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            const int grey = (11 * qRed(p) + 16 * qGreen(p) + 5 * qBlue(p)) >> 5;
            line[x] = qRgba(grey, grey, grey, qAlpha(p));
        }
    }
    return true;
}

quint64 languageGeneration()
{
    return store() ? generation : 0;
}

} // namespace ResourceCache

// Pictures and icons decoded once per application, their grey copies, and
// the language generation that tables translated once per language follow.
#include "resourcecache.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QThread>
#include <QTranslator>
#include <QtTest>

#include <functional>

namespace {
// Marks every text of the test's context.
class MarkingTranslator : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *source, const char *, int) const override
    {
        return qstrcmp(context, "ResourceCacheTest") == 0 ? QStringLiteral("X ") + QString::fromUtf8(source) : QString();
    }
};

QImage imageOf(const QIcon &icon)
{
    return icon.pixmap(icon.availableSizes().value(0)).toImage().convertToFormat(QImage::Format_ARGB32);
}

// An image as a pixmap of it shows it (premultiplied on the way).
QImage shown(const QImage &image)
{
    return QPixmap::fromImage(image).toImage().convertToFormat(QImage::Format_ARGB32);
}

// Runs `work` in a thread of its own and waits for it.
void inThread(const std::function<void()> &work)
{
    QThread *thread = QThread::create(work);
    thread->start();
    QVERIFY(thread->wait(30000));
    delete thread;
}
} // namespace

class ResourceCacheTest : public QObject
{
    Q_OBJECT
private slots:
    void picturesInColourAndGrey_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("device") << QStringLiteral(":/images/devices/zentar-olvek.png");
        QTest::newRow("master") << QStringLiteral(":/images/devices/zentar-hubro32.png");
    }
    void picturesInColourAndGrey()
    {
        QFETCH(QString, path);
        const QImage stored = QImage(path).convertToFormat(QImage::Format_ARGB32);
        QVERIFY(!stored.isNull());
        const ResourceCache::Picture picture = ResourceCache::picture(path);
        const QImage online = imageOf(picture.online);
        const QImage offline = imageOf(picture.offline);
        QCOMPARE(online, shown(stored));
        QImage grey(stored.size(), QImage::Format_ARGB32);
        bool coloured = false;
        for (int y = 0; y < stored.height(); ++y) {
            for (int x = 0; x < stored.width(); ++x) {
                const QRgb p = stored.pixel(x, y);
                const int level = (11 * qRed(p) + 16 * qGreen(p) + 5 * qBlue(p)) >> 5;
                grey.setPixel(x, y, qRgba(level, level, level, qAlpha(p)));
                coloured = coloured || qRed(p) != qGreen(p) || qGreen(p) != qBlue(p);
            }
        }
        QCOMPARE(offline, shown(grey));
        QVERIFY(coloured); // so the grey copy differs from the picture
        QVERIFY(online != offline);

        // Asked again: the same decoded pixmaps.
        const ResourceCache::Picture again = ResourceCache::picture(path);
        QCOMPARE(again.online.cacheKey(), picture.online.cacheKey());
        QCOMPARE(again.offline.cacheKey(), picture.offline.cacheKey());
    }

    void iconsAndAbsentPictures()
    {
        const QString pencil = QStringLiteral(":/icons/images/icons/pencil.png");
        const QIcon icon = ResourceCache::icon(pencil);
        QVERIFY(!icon.isNull());
        QCOMPARE(ResourceCache::icon(pencil).cacheKey(), icon.cacheKey());
        QCOMPARE(imageOf(icon), shown(QImage(pencil)));
        QVERIFY(ResourceCache::picture(QStringLiteral(":/images/devices/absent.png")).isNull());
    }

    void greyOnlyFromArgb()
    {
        QImage rgb(4, 4, QImage::Format_RGB32);
        rgb.fill(QColor(200, 10, 10));
        const QImage before = rgb;
        QVERIFY(!ResourceCache::makeGrey(rgb));
        QCOMPARE(rgb, before);
    }

    // A table translated once is made again after every change of the
    // translators, and holds in between.
    void tablesFollowTheLanguage()
    {
        ResourceCache::Translated<int, QString> table;
        int made = 0;
        const auto make = [&made] {
            ++made;
            return QCoreApplication::translate("ResourceCacheTest", "Signal level");
        };
        QCOMPARE(table.value(1, make), QStringLiteral("Signal level"));
        QCOMPARE(table.value(1, make), QStringLiteral("Signal level"));
        QCOMPARE(made, 1);

        MarkingTranslator translator;
        QVERIFY(QCoreApplication::installTranslator(&translator));
        QCOMPARE(table.value(1, make), QStringLiteral("X Signal level"));
        QCOMPARE(table.value(1, make), QStringLiteral("X Signal level"));
        QCOMPARE(made, 2);

        QVERIFY(QCoreApplication::removeTranslator(&translator));
        QCOMPARE(table.value(1, make), QStringLiteral("Signal level"));
        QCOMPARE(made, 3);
    }

    // Off the application's thread nothing is kept: each call makes anew.
    void nothingKeptOffTheApplicationThread()
    {
        quint64 generation = 1;
        int made = 0;
        inThread([&] {
            generation = ResourceCache::languageGeneration();
            ResourceCache::Translated<int, int> table;
            table.value(1, [&made] { return ++made; });
            table.value(1, [&made] { return ++made; });
        });
        QCOMPARE(generation, quint64(0));
        QCOMPARE(made, 2);
        QVERIFY(ResourceCache::languageGeneration() > 0);
    }
};

QTEST_MAIN(ResourceCacheTest)
#include "tst_resourcecache.moc"

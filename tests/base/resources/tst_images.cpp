// Embedded pictures resolve at the paths the program uses and decode.
#include "testsupport.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QMap>
#include <QMovie>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

namespace {

// Named in the sources, but deliberately not embedded: the code falls back.
const QSet<QString> toleratedMissing = {
    QStringLiteral(":/fonts/fonts/digital display tfb.ttf"),
};

const QString devicePictures = QStringLiteral(":/images/devices/");

// Resource paths named by the sources below dir (.cpp, .h, .ui), each with the
// first file that names it. Device classes name their pictures by bare file
// name, which the device kit resolves below devicePictures.
QMap<QString, QString> resourcePathsInSources(const QString &dir)
{
    static const QRegularExpression resourcePath(
        QStringLiteral(R"re(:/[A-Za-z0-9_./ -]*\.(?:png|gif|svg|ico|jpg|jpeg|bmp|ttf|json)\b)re"));
    static const QRegularExpression pictureName(QStringLiteral(R"re("([A-Za-z0-9_.-]+\.png)")re"));
    QMap<QString, QString> paths;
    QDirIterator it(dir, {QStringLiteral("*.cpp"), QStringLiteral("*.h"), QStringLiteral("*.ui")},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromUtf8(f.readAll());
        const QString where = file.mid(dir.size() + 1);
        auto note = [&](const QString &path) {
            if (!paths.contains(path))
                paths.insert(path, where);
        };
        for (auto m = resourcePath.globalMatch(text); m.hasNext();)
            note(m.next().captured(0));
        if (where.startsWith(QLatin1String("model/devices/"))) {
            for (auto m = pictureName.globalMatch(text); m.hasNext();)
                note(devicePictures + m.next().captured(1));
        }
    }
    return paths;
}

// Empty when the embedded file at path decodes the way its users need it.
QString resourceProblem(const QString &path)
{
    if (!QFile::exists(path))
        return QStringLiteral("not embedded");
    if (path.endsWith(QLatin1String(".json")) || path.endsWith(QLatin1String(".ttf")))
        return QFileInfo(path).size() > 0 ? QString() : QStringLiteral("empty");
    if (path.endsWith(QLatin1String(".gif"))) {
        QMovie movie(path);
        return movie.isValid() && movie.frameCount() > 0 ? QString() : QStringLiteral("bad animation");
    }
    QImageReader reader(path);
    const QByteArray format = reader.format();
    const QImage image = reader.read();
    if (image.isNull())
        return reader.errorString();
    if (path.endsWith(QLatin1String(".png"))) {
        if (format != "png")
            return QStringLiteral("not a PNG file");
        // The device item takes 32-bit ARGB pictures only; icons may come premultiplied.
        const bool argb = image.format() == QImage::Format_ARGB32;
        if (!argb && (path.startsWith(devicePictures)
                      || image.format() != QImage::Format_ARGB32_Premultiplied))
            return QStringLiteral("not 32-bit RGBA (QImage format %1)").arg(image.format());
    }
    return QString();
}

QStringList embeddedPicturePaths()
{
    QStringList paths = {QStringLiteral(":/updated.png")};
    for (const QString &root : {QStringLiteral(":/images"), QStringLiteral(":/icons")}) {
        QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            paths << it.next();
    }
    paths.sort();
    return paths;
}

} // namespace

class ImagesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initTestResources(); }

    void pngIcons_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        QTest::newRow("logo") << ":/icons/images/icons/png/logo.png" << QSize(96, 96);
        QTest::newRow("warning") << ":/icons/images/icons/png/warning.png" << QSize(64, 64);
        QTest::newRow("pencil") << ":/icons/images/icons/pencil.png" << QSize(16, 16);
    }

    void pngIcons()
    {
        QFETCH(QString, path);
        QImageReader reader(path);
        QCOMPARE(reader.format(), QByteArray("png"));
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        QTEST(image.size(), "size");
        // 32-bit RGBA with real transparency: clear corners, opaque middle.
        QCOMPARE(image.format(), QImage::Format_ARGB32);
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        QVERIFY(qAlpha(image.pixel(image.width() / 2, image.height() / 2)) == 255);
    }

    void waitAnimation()
    {
        QMovie movie(QStringLiteral(":/images/wait.gif"));
        QVERIFY(movie.isValid());
        QCOMPARE(movie.format(), QByteArray("gif"));
        QVERIFY(movie.frameCount() >= 4);
        QImageReader reader(QStringLiteral(":/images/wait.gif"));
        QCOMPARE(reader.loopCount(), -1); // forever

        QList<QImage> frames;
        for (int i = 0; i < movie.frameCount(); ++i) {
            QVERIFY(movie.jumpToFrame(i));
            const QImage frame = movie.currentImage();
            QCOMPARE(frame.size(), QSize(64, 64));
            QVERIFY(movie.nextFrameDelay() > 0);
            frames << frame;
        }
        QVERIFY(frames.first() != frames.at(1));
        QCOMPARE(qAlpha(frames.first().pixel(0, 0)), 0);
    }

    // The scan itself must see the uses we know of, or the next test proves nothing.
    void sourceScanSeesKnownUses()
    {
        const auto paths = resourcePathsInSources(QStringLiteral(SOURCE_DIR "/src"));
        QVERIFY(paths.contains(QStringLiteral(":/images/wait.gif")));
        QVERIFY(paths.contains(QStringLiteral(":/icons/images/icons/pencil.png")));
        QVERIFY(paths.contains(QStringLiteral(":/images/devices/zentar-tirun.png")));
        QVERIFY(!paths.contains(QStringLiteral(":/images/devices/.png")));
    }

    void sourceResourcePaths_data()
    {
        QTest::addColumn<QString>("path");
        const auto paths = resourcePathsInSources(QStringLiteral(SOURCE_DIR "/src"));
        for (auto it = paths.cbegin(); it != paths.cend(); ++it) {
            if (!toleratedMissing.contains(it.key()))
                QTest::newRow(qPrintable(it.key() + QLatin1String(" in ") + it.value())) << it.key();
        }
    }

    void sourceResourcePaths()
    {
        QFETCH(QString, path);
        const QString problem = resourceProblem(path);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    // Everything embedded, used yet or not: 32-bit RGBA with a see-through
    // background around an opaque drawing; device pictures at least 64 pixels.
    void embeddedPictures_data()
    {
        QTest::addColumn<QString>("path");
        for (const QString &path : embeddedPicturePaths())
            QTest::newRow(qPrintable(path)) << path;
    }

    void embeddedPictures()
    {
        QFETCH(QString, path);
        const QString problem = resourceProblem(path);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        if (!path.endsWith(QLatin1String(".png")))
            return;
        const QImage image(path);
        QCOMPARE(image.width(), image.height());
        QVERIFY(image.width() >= (path.startsWith(devicePictures) ? 64 : 16));
        int lowest = 255, highest = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                lowest = qMin(lowest, qAlpha(image.pixel(x, y)));
                highest = qMax(highest, qAlpha(image.pixel(x, y)));
            }
        }
        QCOMPARE(lowest, 0);
        QCOMPARE(highest, 255);
    }

    // The window icon of the update check shares the update icon's file.
    void updateWindowIcon()
    {
        QCOMPARE(QImage(QStringLiteral(":/updated.png")),
                 QImage(QStringLiteral(":/icons/images/icons/png/updated.png")));
    }
};

QTEST_MAIN(ImagesTest)
#include "tst_images.moc"

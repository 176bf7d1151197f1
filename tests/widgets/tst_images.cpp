// Embedded pictures resolve at the paths the program uses and decode.
#include "testsupport.h"

#include <QImage>
#include <QImageReader>
#include <QMovie>
#include <QtTest>

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
};

QTEST_MAIN(ImagesTest)
#include "tst_images.moc"

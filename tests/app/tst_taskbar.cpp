// The taskbar badge picture and the window's taskbar during radio-device updates.
#include "mainwindow.h"
#include "taskbarindicator.h"
#include "testsupport.h"
#include "updatemanager.h"

#include <QtTest>

namespace {
int darkPixels(const QImage &image, const QRect &area)
{
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qAlpha(image.pixel(x, y)) > 200 && qGray(image.pixel(x, y)) < 100)
                ++dark;
    return dark;
}
} // namespace

class TaskbarTest : public QObject
{
    Q_OBJECT
private slots:
    void badgePicture()
    {
        const QImage badge = taskbarBadgeImage(7);
        QCOMPARE(badge.size(), QSize(64, 64));
        QVERIFY(badge.hasAlphaChannel());
        for (const QPoint corner : {QPoint(0, 0), QPoint(63, 0), QPoint(0, 63), QPoint(63, 63)})
            QCOMPARE(qAlpha(badge.pixel(corner)), 0);
        // Light blue inside the disc, away from the number.
        const QColor inner = badge.pixelColor(12, 33);
        QVERIFY2(qAbs(inner.red() - 200) < 8 && qAbs(inner.green() - 200) < 8 && inner.blue() > 245,
                 qPrintable(inner.name()));
        // Black outline at the disc's top; the number drawn dark in the middle.
        QVERIFY(qGray(badge.pixel(33, 2)) < 128);
        QVERIFY(darkPixels(badge, QRect(20, 16, 26, 32)) > 10);
        QCOMPARE(darkPixels(badge, QRect(6, 24, 10, 16)), 0);
        QVERIFY(taskbarBadgeImage(8) != badge);
        QCOMPARE(taskbarBadgeImage(7), badge);
    }

    void updateProgressAndCount_data()
    {
        QTest::addColumn<bool>("lastFails");
        QTest::newRow("last one fails") << true;
        QTest::newRow("last one succeeds") << false;
    }

    void updateProgressAndCount()
    {
        QFETCH(bool, lastFails);
        MainWindow::setDeviceSelection([](MainWindow *) {});
        MainWindow window{QString()};
        TaskbarIndicator *taskbar = window.taskbar();
        QTRY_COMPARE(taskbar->window(), static_cast<QWidget *>(&window));
        QVERIFY(!taskbar->hasOverlay());

        UpdateManager *updates = UpdateManager::instance();
        emit updates->updateStarted(QList<DeviceItem *>{nullptr, nullptr, nullptr});
        QVERIFY(taskbar->isProgressVisible());
        QCOMPARE(taskbar->overlayCount(), 3);
        emit updates->deviceUpdateProgress(40);
        QCOMPARE(taskbar->progressValue(), 40);
        emit updates->deviceUpdateFinished(nullptr);
        QCOMPARE(taskbar->overlayCount(), 2);
        emit updates->deviceUpdateFailed(nullptr);
        QCOMPARE(taskbar->overlayCount(), 1);
        if (lastFails) {
            emit updates->deviceUpdateFailed(nullptr);
            QVERIFY(!taskbar->hasOverlay());
        } else {
            emit updates->deviceUpdateFinished(nullptr);
            QCOMPARE(taskbar->overlayCount(), 0);
            QVERIFY(taskbar->hasOverlay());
        }
        emit updates->updateFinished({}, {});
        QCOMPARE(taskbar->progressValue(), 0);
        QVERIFY(!taskbar->hasOverlay());
        QVERIFY(taskbar->isProgressVisible());
        MainWindow::setDeviceSelection(nullptr);
    }
};

QTEST_MAIN(TaskbarTest)
#include "tst_taskbar.moc"

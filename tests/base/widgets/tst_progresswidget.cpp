// The waiting window of long device operations: progress bar, closable and
// non-closable closing, window flags, the animation only while shown.
#include "progresswidget.h"
#include "testsupport.h"

#include <QLabel>
#include <QMovie>
#include <QPointer>
#include <QProgressBar>
#include <QSignalSpy>
#include <QtTest>

using UiSeams::MessageBoxRequest;

class ProgressWidgetTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initTestResources(); }

    void freshWindow()
    {
        auto *w = new ProgressWidget;
        QPointer<ProgressWidget> guard(w);
        w->setTitle(QStringLiteral("Save configuration"));
        w->setText(QStringLiteral("Exporting configuration.\nPlease wait..."));
        w->show();

        QCOMPARE(w->objectName(), QStringLiteral("ProgressWidget"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Save configuration"));
        QCOMPARE(w->findChild<QLabel *>(QStringLiteral("lblStatus"))->text(),
                 QStringLiteral("Exporting configuration.\nPlease wait..."));
        QVERIFY(w->testAttribute(Qt::WA_DeleteOnClose));
        QCOMPARE(w->windowModality(), Qt::ApplicationModal);
        QCOMPARE(w->windowType(), Qt::Dialog);
        QVERIFY(w->windowFlags().testFlag(Qt::WindowTitleHint));
        QVERIFY(!w->windowFlags().testFlag(Qt::WindowCloseButtonHint));
        auto *gif = w->findChild<QLabel *>(QStringLiteral("lblGif"));
        QVERIFY(gif->movie());
        QVERIFY(gif->movie()->isValid());
        QCOMPARE(gif->movie()->state(), QMovie::Running);

        auto *bar = w->findChild<QProgressBar *>(QStringLiteral("pBar"));
        QVERIFY(!bar->isVisible());
        w->setProgress(40);
        QVERIFY(bar->isVisible());
        QCOMPARE(bar->value(), 40);
        delete w;
    }

    // The close button and Escape take one road.
    void closableAsksFirst_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("escape");
        QTest::addColumn<int>("stops");
        QTest::newRow("close, no") << int(QMessageBox::No) << false << 0;
        QTest::newRow("close, yes") << int(QMessageBox::Yes) << false << 1;
        QTest::newRow("escape, no") << int(QMessageBox::No) << true << 0;
        QTest::newRow("escape, yes") << int(QMessageBox::Yes) << true << 1;
    }

    void closableAsksFirst()
    {
        QFETCH(int, answer);
        QFETCH(bool, escape);
        auto *w = new ProgressWidget;
        QPointer<ProgressWidget> guard(w);
        QSignalSpy stop(w, &ProgressWidget::stop);
        w->setClosable(true);
        w->show();
        QVERIFY(w->windowFlags().testFlag(Qt::WindowCloseButtonHint));

        MessageBoxRecorder recorder;
        recorder.answer(answer);
        if (escape)
            QTest::keyClick(w, Qt::Key_Escape);
        else
            QVERIFY(!w->close());
        QCOMPARE(recorder.count(), 1);
        const MessageBoxRequest r = recorder.last();
        QCOMPARE(r.kind, MessageBoxRequest::Question);
        QCOMPARE(r.title, QStringLiteral("Waiting window"));
        QCOMPARE(r.text, QStringLiteral("Are you sure you want to close the waiting window?"));
        QCOMPARE(r.buttons, QMessageBox::StandardButtons(QMessageBox::Yes | QMessageBox::No));
        // Enter, Escape and the close button keep the operation going.
        QCOMPARE(r.defaultButton, QMessageBox::No);
        QCOMPARE(r.escapeButton, QMessageBox::No);

        QTEST(stop.count(), "stops");
        QVERIFY(w->isHidden());
        // Hidden, not deleted: it can be shown again.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!guard.isNull());
        w->show();
        QVERIFY(w->isVisible());
        delete w;
    }

    void notClosableStopsAndGoesAway_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("close") << false;
        QTest::newRow("escape") << true;
    }
    void notClosableStopsAndGoesAway()
    {
        QFETCH(bool, escape);
        auto *w = new ProgressWidget;
        QPointer<ProgressWidget> guard(w);
        QSignalSpy stop(w, &ProgressWidget::stop);
        w->show();
        MessageBoxRecorder recorder;
        if (escape)
            QTest::keyClick(w, Qt::Key_Escape);
        else
            QVERIFY(w->close());
        QCOMPARE(stop.count(), 1);
        QCOMPARE(recorder.count(), 0);
        QTRY_VERIFY(guard.isNull());
    }

    void setClosableKeepsAShownWindowShown()
    {
        ProgressWidget w;
        w.setAttribute(Qt::WA_DeleteOnClose, false);
        w.show();
        w.setClosable(true);
        QVERIFY(w.isVisible());
        QVERIFY(w.windowFlags().testFlag(Qt::WindowCloseButtonHint));
        w.setClosable(false);
        QVERIFY(w.isVisible());
        QCOMPARE(w.windowType(), Qt::Dialog);
        QVERIFY(!w.windowFlags().testFlag(Qt::WindowCloseButtonHint));
        // A hidden window stays hidden.
        w.hide();
        w.setClosable(true);
        QVERIFY(w.isHidden());
    }

    // The main window builds this window ahead and keeps it hidden: its
    // animation runs only while it is on screen, through every change of
    // window flags.
    void animationRunsOnlyWhileShown()
    {
        ProgressWidget w;
        w.setAttribute(Qt::WA_DeleteOnClose, false);
        QMovie *movie = w.findChild<QLabel *>(QStringLiteral("lblGif"))->movie();
        QCOMPARE(movie->state(), QMovie::NotRunning);
        w.setClosable(true);
        QCOMPARE(movie->state(), QMovie::NotRunning);

        QSignalSpy frames(movie, &QMovie::frameChanged);
        w.show();
        QCOMPARE(movie->state(), QMovie::Running);
        QVERIFY(frames.wait(2000));
        w.setClosable(false);
        QCOMPARE(movie->state(), QMovie::Running);

        w.hide();
        QCOMPARE(movie->state(), QMovie::Paused);
        w.setClosable(true);
        QCOMPARE(movie->state(), QMovie::Paused);
        const int frame = movie->currentFrameNumber();
        w.show();
        QCOMPARE(movie->state(), QMovie::Running);
        QCOMPARE(movie->currentFrameNumber(), frame);
    }
};

QTEST_MAIN(ProgressWidgetTest)
#include "tst_progresswidget.moc"

// The window's paint pacer: repaints as Qt makes them until changes stream
// in; then at most one per period, the held-back one showing the latest state.
#include "paintpacer.h"

#include <QPainter>
#include <QScopeGuard>
#include <QWidget>
#include <QtTest>

namespace {
// Paints the number it holds and remembers what it painted.
class Counter : public QWidget
{
public:
    using QWidget::QWidget;
    int value = 0;
    QList<int> painted;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter(this).drawText(rect(), QString::number(value));
        painted << value;
    }
};
} // namespace

class PaintPacerTest : public QObject
{
    Q_OBJECT
private slots:
    void pacesOnlyWhileStreaming()
    {
        const auto restore = qScopeGuard([period = PaintPacer::period()] { PaintPacer::setPeriod(period); });
        PaintPacer::setPeriod(300);
        QWidget window;
        auto *counter = new Counter(&window);
        counter->resize(80, 40);
        auto *pacer = new PaintPacer(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto change = [counter](int value) {
            counter->value = value;
            counter->update();
            QCoreApplication::processEvents();
        };

        // Without a stream, every change is painted on the next turn.
        counter->painted.clear();
        for (int value = 1; value <= 3; ++value)
            change(value);
        QCOMPARE(counter->painted, QList<int>({1, 2, 3}));

        // A stream: the first change after a quiet spell is painted at once,
        // the next ones together when the period is over.
        QTest::qWait(PaintPacer::period() + 50);
        pacer->streaming();
        QVERIFY(pacer->isPacing());
        for (int value = 10; value <= 15; ++value)
            change(value);
        QCOMPARE(counter->painted, QList<int>({1, 2, 3, 10}));
        QTRY_COMPARE(counter->painted, QList<int>({1, 2, 3, 10, 15}));

        // The stream over, changes are painted at once again.
        QTRY_VERIFY(!pacer->isPacing());
        change(20);
        change(21);
        QCOMPARE(counter->painted.mid(5), QList<int>({20, 21}));
    }
};

QTEST_MAIN(PaintPacerTest)
#include "tst_paintpacer.moc"

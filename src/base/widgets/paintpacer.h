#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QWidget;

// Paces the repaints of a top-level window while a stream of changes flows
// into it. Qt paints a window once per turn of the event loop in which
// anything in it changed, so rows arriving one by one, each in its own turn,
// repaint the whole view for every one of them. After streaming() the window
// paints at most once per period for a while: changes made within the period
// after a repaint are painted together when the period is over. Otherwise,
// and for exposed parts of the window, painting is as Qt does it.
class PaintPacer : public QObject
{
public:
    explicit PaintPacer(QWidget *window);

    // Changes are streaming in: pace the repaints for the next half second.
    void streaming();
    bool isPacing() const;

    // 100 ms between repaints while pacing.
    static int period();
    static void setPeriod(int ms);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void paintHeldBack();

    QWidget *m_window;
    QElapsedTimer m_clock;
    qint64 m_pacingUntilMs = -1;
    qint64 m_paintedMs = -1;
    QTimer m_due;
    bool m_releasing = false;
};

#include "paintpacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace {
int s_periodMs = 100;
constexpr int PacingSpanMs = 500;
} // namespace

PaintPacer::PaintPacer(QWidget *window) : QObject(window), m_window(window)
{
    m_clock.start();
    m_due.setSingleShot(true);
    connect(&m_due, &QTimer::timeout, this, &PaintPacer::paintHeldBack);
    window->installEventFilter(this);
}

int PaintPacer::period()
{
    return s_periodMs;
}

void PaintPacer::setPeriod(int ms)
{
    s_periodMs = qMax(0, ms);
}

void PaintPacer::streaming()
{
    m_pacingUntilMs = m_clock.elapsed() + PacingSpanMs;
}

bool PaintPacer::isPacing() const
{
    return m_clock.elapsed() < m_pacingUntilMs;
}

bool PaintPacer::eventFilter(QObject *watched, QEvent *event)
{
    // An update request makes the window paint what changed since its last one.
    if (watched != m_window || event->type() != QEvent::UpdateRequest || m_releasing)
        return false;
    const qint64 now = m_clock.elapsed();
    const qint64 sincePaint = m_paintedMs < 0 ? s_periodMs : now - m_paintedMs;
    if (!isPacing() || sincePaint >= s_periodMs) {
        m_due.stop();
        m_paintedMs = now;
        return false;
    }
    // Held back: the window asks for no other paint while this one is
    // pending, and paints everything changed meanwhile when it comes.
    if (!m_due.isActive())
        m_due.start(int(s_periodMs - sincePaint));
    return true;
}

void PaintPacer::paintHeldBack()
{
    m_paintedMs = m_clock.elapsed();
    QEvent request(QEvent::UpdateRequest);
    m_releasing = true;
    QCoreApplication::sendEvent(m_window, &request);
    m_releasing = false;
}

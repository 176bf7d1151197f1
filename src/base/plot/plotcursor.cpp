#include "plotcursor.h"

#include <QApplication>
#include <QCursor>
#include <QList>

BlankCursorGuard::~BlankCursorGuard()
{
    release();
}

void BlankCursorGuard::hold()
{
    if (m_held)
        return;
    QApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
    m_held = true;
}

void BlankCursorGuard::release()
{
    if (!m_held)
        return;
    m_held = false;
    // The stack can only be popped from the top: lift the cursors pushed above
    // ours, drop ours and put the others back in their order. Blank overrides
    // are all alike, so the topmost blank one stands for ours.
    // When someone else already popped it, everything lifted goes back.
    QList<QCursor> above;
    while (const QCursor *top = QApplication::overrideCursor()) {
        const bool blank = top->shape() == Qt::BlankCursor;
        if (!blank)
            above.prepend(*top);
        QApplication::restoreOverrideCursor();
        if (blank)
            break;
    }
    for (const QCursor &cursor : qAsConst(above))
        QApplication::setOverrideCursor(cursor);
}

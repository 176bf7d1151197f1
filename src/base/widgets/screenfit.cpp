#include "screenfit.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLayout>
#include <QScreen>
#include <QWidget>

namespace {

// Room for the frame the window manager puts around a window not yet shown:
// a title bar and a thin border.
constexpr QMargins UsualFrame(4, 32, 4, 4);

QMargins frameOf(const QWidget *window)
{
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    if (!window->isVisible() || frame == inner)
        return UsualFrame;
    return QMargins(inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
                    frame.bottom() - inner.bottom());
}

} // namespace

QScreen *screenFor(const QWidget *window, const QWidget *anchor)
{
    const QWidget *parent = window->parentWidget();
    const QWidget *active = QApplication::activeWindow();
    for (const QWidget *widget : {anchor, parent, active}) {
        if (widget && widget->window() != window)
            return widget->screen();
    }
    return QGuiApplication::primaryScreen();
}

void fitOnScreen(QWidget *window, const QWidget *anchor)
{
    if (!window || window->isMaximized() || window->isFullScreen())
        return;
    const QMargins frame = frameOf(window);
    if (QLayout *layout = window->layout())
        layout->activate(); // its minimum size counts from here on
    if (!window->testAttribute(Qt::WA_Resized))
        window->adjustSize();
    if (window->testAttribute(Qt::WA_Moved)) {
        const QRect framed = window->geometry().marginsAdded(frame);
        if (QScreen *own = QGuiApplication::screenAt(framed.center())) {
            if (own->availableGeometry().contains(framed))
                return;
        }
    }
    QScreen *screen = screenFor(window, anchor);
    if (!screen)
        return;
    const QRect room = screen->availableGeometry().marginsRemoved(frame);
    const QSize least = window->minimumSize();
    if (least.width() > room.width() || least.height() > room.height())
        window->setMinimumSize(least.boundedTo(room.size()));
    window->resize(window->size().boundedTo(room.size()));
    QRect placed(QPoint(), window->size());
    placed.moveCenter(room.center());
    // A window's position is that of its frame.
    window->move(placed.topLeft() - QPoint(frame.left(), frame.top()));
}

void fitHeaderTitles(QHeaderView *header)
{
    for (int section = 0; section < header->count(); ++section) {
        if (header->isSectionHidden(section))
            continue;
        const int title = header->sectionSizeHint(section);
        if (header->sectionSize(section) < title)
            header->resizeSection(section, title);
    }
}

#pragma once

class QHeaderView;
class QScreen;
class QWidget;

// Makes a window no larger than the free area of the screen it opens on and
// centres it there. A window that already lies wholly on a screen (a restored
// or a shown one) keeps its place and size. The screen is that of `anchor`,
// else of the window's parent, else of the active window, else the primary
// one. Call it before show().
void fitOnScreen(QWidget *window, const QWidget *anchor = nullptr);

// The screen fitOnScreen places the window on.
QScreen *screenFor(const QWidget *window, const QWidget *anchor = nullptr);

// Widens every section of the header that is narrower than its title.
void fitHeaderTitles(QHeaderView *header);

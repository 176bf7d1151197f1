#pragma once

#include <QWidget>

// A title bar with only the close button. The window type is kept, so a
// dialog given a parent stays a window of its own.
inline void setCloseButtonOnly(QWidget *window)
{
    window->setWindowFlags((window->windowFlags() & Qt::WindowType_Mask) | Qt::CustomizeWindowHint
                           | Qt::WindowCloseButtonHint);
}

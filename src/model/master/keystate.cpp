#include "keystate.h"

#include <QGuiApplication>
#include <QString>

// The X11 headers define macros (None, Bool, Status, ...) that clash with Qt's
// names: they come after every Qt header.
#ifdef TANDREL_HAVE_XKB
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#endif

namespace KeyState {

namespace {
std::function<bool()> &capsLockSource()
{
    static std::function<bool()> source;
    return source;
}

#ifdef TANDREL_HAVE_XKB
// One connection of our own for the life of the process, opened on first use.
// Null when the display cannot be opened; not tried again then.
Display *keyboardDisplay()
{
    static Display *const display = XOpenDisplay(nullptr);
    return display;
}

bool x11CapsLockOn()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return false;
    Display *display = keyboardDisplay();
    if (!display)
        return false;
    XkbStateRec state;
    if (XkbGetState(display, XkbUseCoreKbd, &state) != Success)
        return false;
    return (state.locked_mods & LockMask) != 0;
}
#endif
} // namespace

bool capsLockOn()
{
    if (capsLockSource())
        return capsLockSource()();
#ifdef TANDREL_HAVE_XKB
    return x11CapsLockOn();
#else
    return false;
#endif
}

void setCapsLockSource(std::function<bool()> source)
{
    capsLockSource() = std::move(source);
}

} // namespace KeyState

#pragma once

#include <functional>

// The keyboard's lock keys, read from the windowing system where it tells them
// (the X11 keyboard state); false where it does not, e.g. on the offscreen
// platform.
namespace KeyState {

bool capsLockOn();

// Tests replace the reading; an empty function restores the real one.
void setCapsLockSource(std::function<bool()> source);

} // namespace KeyState

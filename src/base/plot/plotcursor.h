#pragma once

// The blank override cursor a plot shows while the mouse is over it (its
// crosshair stands in for the pointer). One guard pushes at most one override
// however often hold() is called, and release() takes exactly that one off
// the application's override stack, even when other windows have pushed their
// own cursors above it since; theirs stay as they are.
class BlankCursorGuard
{
public:
    BlankCursorGuard() = default;
    ~BlankCursorGuard();
    BlankCursorGuard(const BlankCursorGuard &) = delete;
    BlankCursorGuard &operator=(const BlankCursorGuard &) = delete;

    void hold();
    void release();
    bool isHeld() const { return m_held; }

private:
    bool m_held = false;
};

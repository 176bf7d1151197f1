#pragma once

class QMovie;
class QWidget;

// Runs the animation only while the window is on screen: it starts (or goes
// on) when the window is shown and pauses when it is hidden, so a window that
// is built ahead and kept hidden wakes nobody. Starts at once when the window
// is already visible. The hook lives as long as the animation.
void playWhileShown(QMovie *movie, QWidget *window);

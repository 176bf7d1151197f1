#pragma once

#include <functional>

class QApplication;
class QWidget;

// Seams for tests of the start-up loop; empty in the shipped program.
namespace TestHooks {
// Called once per pass of the start-up loop right after the main window is shown.
extern std::function<void(QWidget *mainWindow)> afterMainWindowShown;
} // namespace TestHooks

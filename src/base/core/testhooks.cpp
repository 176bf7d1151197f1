#include "testhooks.h"

namespace TestHooks {
std::function<void(QWidget *mainWindow)> afterMainWindowShown;
}

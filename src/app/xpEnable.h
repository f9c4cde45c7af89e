#pragma once

#include <functional>

namespace tavlo {

struct Platform;
class Form1;

// The start-up module: shows the main window, then runs the version check when online.
// `versionCheck` receives the main window; returns the event loop's exit code.
int SubMain(const Platform &platform, const std::function<void(Form1 &)> &versionCheck);

// Makes the Tahoma look-alike fonts available when the machine has them.
void loadConsoleFonts();

} // namespace tavlo

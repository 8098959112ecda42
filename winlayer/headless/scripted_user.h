// Runs the program through its entry point on one thread, with a user whose every
// next action comes from a function: the loops of the program (main window, About
// boxes, open dialog, message box) each ask it in turn. When it has nothing more to
// do, the user leaves and the program is asked to end.
#pragma once

#include "winlayer/core/backend.h"
#include "winlayer/core/window.h"

#include <functional>

namespace winlayer::headless {

// `act` performs one action and returns true, or returns false when done.
// Returns the program's exit status.
int RunProgram(const std::function<bool()>& act);

// The main window of the running program, or null.
HWND MainWindow();

} // namespace winlayer::headless

#pragma once
// The main function's steps around the program object, shared by the real entry point
// and the tests.

#include <functional>

#include "app/TProgram.h"

namespace app {

// Creates the program's window and display, checks the screen, makes the program's
// folders, runs `beforeRun` (the player thread, the title screen) and the frame loop.
// Returns the process's exit code (0, as a second copy and a refused display also end
// quietly).
int ProgramMain(TProgram& program, Host& host, const std::function<void()>& beforeRun = {});

}  // namespace app

#pragma once
// The main function's steps around the program object, shared by the real entry point
// and the tests.

#include "app/TProgram.h"

namespace app {

// Creates the program's window and display, checks the screen, makes the program's
// folders and runs the frame loop. Returns the process's exit code (0, as a second copy
// and a refused display also end quietly).
int ProgramMain(TProgram& program, Host& host);

}  // namespace app

#pragma once
// The descriptor the window system's events arrive on, kept apart from the window system's
// headers, whose macros would clash with the program's names.

#include <SDL.h>

namespace platform::sdl {

// The connection the window's events arrive on, or -1 when SDL does not say (not X11).
int NativeEventFd(SDL_Window* window);

}  // namespace platform::sdl

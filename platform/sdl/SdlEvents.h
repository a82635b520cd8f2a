#pragma once
// Turning SDL events into window messages: a pure function, so it is tested with
// hand-made events.

#include <SDL.h>

#include <optional>
#include <vector>

#include "platform/Messages.h"

namespace platform::sdl {

// Where the logical screen lies in the window: integer scale, centred (letterboxed).
struct Viewport {
    int scale = 1;
    int offsetX = 0;
    int offsetY = 0;
    int logicalWidth = 240;
    int logicalHeight = 320;
};

Viewport ComputeViewport(int windowWidth, int windowHeight, int logicalWidth, int logicalHeight);

// The largest whole scale up to `asked` at which the logical screen fits an area of the
// desktop; 1 when even that does not fit.
int FitScale(int asked, int areaWidth, int areaHeight, int logicalWidth, int logicalHeight);

// Whether a window of w x h with its top-left corner at (x, y) shows enough of itself
// (a quarter of each side) on one of the displays to be found and moved by the user.
bool ShowsOnADisplay(int x, int y, int w, int h, const std::vector<SDL_Rect>& displays);

// The virtual-key code of an SDL key, or 0 for keys the program does not use.
std::uint32_t VirtualKeyFromSdl(SDL_Keycode key);

// Stylus events outside the logical screen are dropped unless the stylus is captured,
// when they arrive with coordinates past the edges (negative on the left and top).
// Motion is reported only while the left button is down: a stylus does not hover.
std::optional<Msg> TranslateSdlEvent(const SDL_Event& event, const Viewport& viewport,
                                     bool captured);

}  // namespace platform::sdl

#pragma once
// The display of the real program: the back buffer scaled by whole pixels into the SDL
// window's own surface, letterboxed when the window's shape differs.

#include <cstdint>

#include "gfx/display/Display.h"

struct SDL_Surface;

namespace gfx::sdl {

// A factory for windows of the SDL backend.
DisplayFactory displayFactory();

// Converts and scales an RGB565 frame into a 32-bit surface with the given channel
// shifts, at `scale`, with its top-left at (offsetX, offsetY). Pure, for tests and benches.
void scaleFrameTo32(const Surface& frame, std::uint32_t* dst, int dstPitchBytes, int dstWidth,
                    int dstHeight, int scale, int offsetX, int offsetY, int redShift,
                    int greenShift, int blueShift);

}  // namespace gfx::sdl

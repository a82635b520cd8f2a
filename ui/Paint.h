#pragma once
// Fills for widgets whose size may shrink to nothing.

#include <cstdint>

#include "gfx/Draw.h"

namespace ui {

// gfx::fillRect with inclusive corners, doing nothing for an empty or inverted box (a
// widget narrower than its frame, a list of no rows).
inline void fillBox(gfx::Surface& s, int left, int top, int right, int bottom,
                    std::uint16_t colour) {
    if (right < left || bottom < top || right < 0 || bottom < 0 || left >= s.Width() ||
        top >= s.Height())
        return;
    gfx::fillRect(s, left, top, right, bottom, colour);
}

}  // namespace ui

#pragma once
// Pixel drawing into surfaces: fills, lines, rectangles, circles.

#include <cstdint>
#include <span>

#include "gfx/Surface.h"

namespace gfx {

struct Rect {
    int left;
    int top;
    int right;   // exclusive
    int bottom;  // exclusive
};

inline Rect fullRect(const Surface& s) {
    return Rect{0, 0, s.Width(), s.Height()};
}

struct Point {
    int x;
    int y;
};

// Every pixel, two per 32-bit word.
void clear(Surface& s, std::uint16_t colour);
inline std::uint16_t getPixel(const Surface& s, int x, int y) {
    return s.Row(y)[x];
}
void setPixel(Surface& s, int x, int y, std::uint16_t colour, const Rect& clip);
// length + 1 pixels from (x, y); the parts off the surface are clipped away.
void hLine(Surface& s, int x, int y, int length, std::uint16_t colour);
void vLine(Surface& s, int x, int y, int length, std::uint16_t colour);
// An outline whose right and bottom edges lie on `right` and `bottom`.
void rectangle(Surface& s, int left, int top, int right, int bottom, std::uint16_t colour);
// Inclusive corners. alpha 0 fills solid; a higher alpha keeps more of what was there.
void fillRect(Surface& s, int left, int top, int right, int bottom, std::uint16_t colour,
              int alpha = 0);
// Column 0 (or row 0 when vertical) is colourA, the last colourB.
void gradientRect(Surface& s, int x, int y, int width, int height, std::uint16_t colourA,
                  std::uint16_t colourB, bool vertical);
// 16.16 DDA from end to end, steps + 1 pixels; a single point draws nothing.
void line(Surface& s, int x0, int y0, int x1, int y1, std::uint16_t colour);
void polyline(Surface& s, std::span<const Point> points, std::uint16_t colour);
void circle(Surface& s, int cx, int cy, int radius, std::uint16_t colour, bool filled,
            const Rect& clip);
// A small triangle outline pointing up (direction 0) or down (1).
void arrow(Surface& s, int x, int y, int size, std::uint16_t colour, int direction);

}  // namespace gfx

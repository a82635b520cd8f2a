#pragma once
// Anti-aliased shapes in one colour with alpha, drawn into the attached RGB565 pixels.
//
// Coordinates are pixels of the attached surface with pixel centres at n + 0.5. Colours
// are 32-bit: red bits 0-7, green 8-15, blue 16-23, alpha 24-31. A line width of 0 fills
// the shape; any other width strokes its outline. Everything is clipped to the attached
// buffer. Main thread only: the target is one program-wide setting.

#include <cstdint>
#include <span>

#include "gfx/Surface.h"

namespace gfx {

struct PointD {
    double x;
    double y;
};

constexpr std::uint32_t VectorColour(int r, int g, int b, int a = 255) {
    return static_cast<std::uint32_t>(r & 255) | static_cast<std::uint32_t>(g & 255) << 8 |
           static_cast<std::uint32_t>(b & 255) << 16 | static_cast<std::uint32_t>(a & 255) << 24;
}

// Points the drawing at `pixels` (rows `strideBytes` apart; a negative stride puts the first
// row at pixels - (height - 1) x stride). Null pixels or an empty size detach it.
void attachSurface(std::uint16_t* pixels, int width, int height, int strideBytes);
void attachSurface(Surface& surface);

// steps 0 lets the number of segments follow the radii.
void drawEllipse(double cx, double cy, double rx, double ry, double lineWidth, int steps,
                 std::uint32_t colour);
// A corner radius too large for the rectangle is scaled down (a capsule, not a crossing).
void drawRoundedRect(double x1, double y1, double x2, double y2, double r, double lineWidth,
                     std::uint32_t colour);
// rx, ry of the two corners at y1, then rx, ry of the two corners at y2.
void drawRoundedRectRadii(double x1, double y1, double x2, double y2, double rx1, double ry1,
                          double rx2, double ry2, double lineWidth, std::uint32_t colour);
// From (x1 + 0.5, y1 + 0.5) to (x2 + 0.5, y2 + 0.5); dash > 0 alternates dashes and gaps of
// that length.
void drawLine(double x1, double y1, double x2, double y2, double width, double dash,
              std::uint32_t colour);
// Closed and filled (non-zero winding).
void fillPolygon(std::span<const PointD> points, std::uint32_t colour);

}  // namespace gfx

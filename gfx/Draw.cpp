#include "gfx/Draw.h"

#include <algorithm>
#include <cstdlib>

#include "gfx/Pixel.h"

namespace gfx {

namespace {
bool Inside(const Surface& s, int x, int y) {
    return x >= 0 && y >= 0 && x < s.Width() && y < s.Height();
}
}  // namespace

void clear(Surface& s, std::uint16_t colour) {
    if (static_cast<std::size_t>(s.pitch) * s.height < 4) return;
    for (int y = 0; y < s.Height(); ++y)
        std::fill_n(s.Row(y), s.pitch / 2, colour);
}

void setPixel(Surface& s, int x, int y, std::uint16_t colour, const Rect& clip) {
    if (x < clip.left || x >= clip.right || y < clip.top || y >= clip.bottom) return;
    if (!Inside(s, x, y)) return;
    s.Row(y)[x] = colour;
}

void hLine(Surface& s, int x, int y, int length, std::uint16_t colour) {
    if (y < 0 || y >= s.Height()) return;
    int x0 = std::max(x, 0);
    int x1 = std::min(x + length, s.Width() - 1);
    if (x0 > x1) return;
    std::fill(s.Row(y) + x0, s.Row(y) + x1 + 1, colour);
}

void vLine(Surface& s, int x, int y, int length, std::uint16_t colour) {
    if (x < 0 || x >= s.Width()) return;
    int y0 = std::max(y, 0);
    int y1 = std::min(y + length, s.Height() - 1);
    for (int row = y0; row <= y1; ++row)
        s.Row(row)[x] = colour;
}

void rectangle(Surface& s, int left, int top, int right, int bottom, std::uint16_t colour) {
    hLine(s, left, top, right - left, colour);
    hLine(s, left, bottom, right - left, colour);
    vLine(s, left, top, bottom - top, colour);
    vLine(s, right, top, bottom - top, colour);
}

void fillRect(Surface& s, int left, int top, int right, int bottom, std::uint16_t colour,
              int alpha) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, s.Width() - 1);
    bottom = std::min(bottom, s.Height() - 1);
    if (left > right || top > bottom) return;  // wholly off the surface
    int weight = 31 - std::clamp(alpha, 0, 31);
    for (int y = top; y <= bottom; ++y) {
        std::uint16_t* row = s.Row(y);
        if (alpha == 0) {
            std::fill(row + left, row + right + 1, colour);
            continue;
        }
        for (int x = left; x <= right; ++x)
            row[x] = MoveToward(row[x], colour, weight);
    }
}

void gradientRect(Surface& s, int x, int y, int width, int height, std::uint16_t colourA,
                  std::uint16_t colourB, bool vertical) {
    if (width <= 0 || height <= 0) return;
    int steps = vertical ? height : width;
    for (int i = 0; i < steps; ++i) {
        auto w = static_cast<std::uint32_t>(((steps - 1 - i) * 32) / steps);
        std::uint16_t c = Mix(colourB, colourA, w);
        if (vertical) {
            hLine(s, x, y + i, width - 1, c);
        } else {
            vLine(s, x + i, y, height - 1, c);
        }
    }
}

void line(Surface& s, int x0, int y0, int x1, int y1, std::uint16_t colour) {
    if (y0 > y1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
    }
    int dx = x1 - x0;
    int dy = y1 - y0;
    int steps = std::max(std::abs(dx), std::abs(dy));
    if (steps == 0) return;
    std::int32_t stepX = (dx * 65536) / steps;  // 16.16
    std::int32_t stepY = (dy * 65536) / steps;
    std::int32_t x = x0 * 65536;
    std::int32_t y = y0 * 65536;
    for (int i = 0; i <= steps; ++i, x += stepX, y += stepY) {
        int px = x >> 16;
        int py = y >> 16;
        if (Inside(s, px, py)) s.Row(py)[px] = colour;
    }
}

void polyline(Surface& s, std::span<const Point> points, std::uint16_t colour) {
    for (std::size_t i = 1; i < points.size(); ++i)
        line(s, points[i - 1].x, points[i - 1].y, points[i].x, points[i].y, colour);
}

void circle(Surface& s, int cx, int cy, int radius, std::uint16_t colour, bool filled,
            const Rect& clip) {
    auto plot = [&](int x, int y) {
        if (filled) {
            hLine(s, cx - x, cy + y, 2 * x, colour);
            hLine(s, cx - x, cy - y, 2 * x, colour);
            hLine(s, cx - y, cy + x, 2 * y, colour);
            hLine(s, cx - y, cy - x, 2 * y, colour);
            return;
        }
        for (auto [px, py] : {Point{x, y}, Point{-x, y}, Point{x, -y}, Point{-x, -y}, Point{y, x},
                              Point{-y, x}, Point{y, -x}, Point{-y, -x}})
            setPixel(s, cx + px, cy + py, colour, clip);
    };
    int x = 0;
    int y = radius;
    int d = 3 - 2 * radius;
    while (x < y) {
        plot(x, y);
        if (d >= 0) {
            d += 4 * (x - y) + 10;
            --y;
        } else {
            d += 4 * x + 6;
        }
        ++x;
    }
    if (x == y) plot(x, y);
}

void arrow(Surface& s, int x, int y, int size, std::uint16_t colour, int direction) {
    int half = std::min(size / 4, 8);
    if (direction == 0) {
        Point up[] = {{x, y}, {x - half, y + 4}, {x + half, y + 4}, {x, y}};
        polyline(s, up, colour);
    } else {
        Point down[] = {{x - half, y}, {x + half, y}, {x, y + 4}, {x - half, y}};
        polyline(s, down, colour);
    }
}

}  // namespace gfx

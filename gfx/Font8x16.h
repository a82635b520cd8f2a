#pragma once
// The built-in 8 x 16 glyphs, converted at build time from the system's VGA console fonts:
// 256 glyphs in code page 437 order, 16 rows each from the top, most significant bit
// leftmost.

#include <array>
#include <cstdint>

namespace gfx {
extern const std::array<std::uint8_t, 4096> FONT_8X16;
}
